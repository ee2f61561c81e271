// The transfer-function editor driven by its controls: transforms checked
// against pulse transfer functions computed here, the restore question,
// rewrites in other forms, and OK and Cancel with good and bad texts.

#include "tests/gui/GuiTestSupport.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/TfParser.h"
#include "gui/dialogs/EditTFDlg.h"

#include "tests/engine/model/ComplexPoly.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <string>
#include <utility>

namespace {

class EditTFTest : public GuiTest {
protected:
  void TearDown() override
  {
    if (dlg.isVisible())
      dlg.reject();
    GuiTest::TearDown();
  }
  void open(int elem)
  {
    dlg.setElement(elem);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    if (!dlg.toolsShown())
      click("MoreSpdBtn");
  }
  QWidget* part(const char* name) { return dlg.findChild<QWidget*>(QLatin1String(name)); }
  bool checked(const char* name) { return static_cast<QRadioButton*>(part(name))->isChecked(); }
  void click(const char* name) { QTest::mouseClick(part(name), Qt::LeftButton); }
  QLineEdit* box(const char* name) { return static_cast<QLineEdit*>(part(name)); }
  void type(const char* name, const QString& text)
  {
    box(name)->selectAll();
    QTest::keyClick(box(name), Qt::Key_Delete);
    QTest::keyClicks(box(name), text);
  }
  Polynomial decoded(const QString& text)
  {
    Polynomial p;
    Sys().currentVariable = ' ';
    EXPECT_TRUE(PolyDecode(Sys(), text.toLatin1().constData(), p)) << text.toStdString() << ": " << ErrorMessage();
    return p;
  }
  // num/(z^m den) against want at z on the unit circle, within what writing
  // each coefficient with 6 significant figures can move it.
  static void ExpectNear(const Polynomial& num, const Polynomial& den, int m, Cplx z, Cplx want)
  {
    const Cplx n = EvalPoly(num.c, num.n, z), d = EvalPoly(den.c, den.n, z);
    double bound = 1e-12;
    for (const auto& [p, v] : {std::pair{&num, n}, std::pair{&den, d}})
      for (int i = 0; i < p->n; ++i)
        bound += 5e-6 * std::fabs(p->c[i]) / std::abs(v);
    EXPECT_LE(std::abs(n / (std::pow(z, m) * d) - want), bound * std::abs(want)) << "at z = " << z;
  }

  TEditTFDlg dlg;
};

const double kAngles[] = {0.3, 1.2, 2.8};  // points e^(jw) away from z = 1 and -1

// Everything the editor may change, and what is decoded from it.
void ExpectSameModel(const SYSDATA& a, const SYSDATA& b)
{
  for (int e = 0; e < 2; ++e) {
    for (const auto text : {&SYSDATA::num, &SYSDATA::den})
      EXPECT_STREQ((a.*text)[e], (b.*text)[e]);
    EXPECT_STREQ(a.stored[e].storedNum, b.stored[e].storedNum);
    EXPECT_STREQ(a.stored[e].storedDen, b.stored[e].storedDen);
    EXPECT_EQ(a.stored[e].transformed, b.stored[e].transformed);
    EXPECT_EQ(a.stored[e].changedSinceTransform, b.stored[e].changedSinceTransform);
    EXPECT_EQ(a.variable[e], b.variable[e]);
    for (const auto poly : {&SYSDATA::numPoly, &SYSDATA::denPoly})
      for (int i = 0; i < kMaxCoeffs; ++i)
        EXPECT_EQ((a.*poly)[e].c[i], (b.*poly)[e].c[i]);
  }
  EXPECT_EQ(a.delayChanged, b.delayChanged);
  EXPECT_EQ(a.strictCheck, b.strictCheck);
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.activeDomain, b.activeDomain);
  EXPECT_EQ(a.firstElement, b.firstElement);
  EXPECT_EQ(a.lastElement, b.lastElement);
}

TEST_F(EditTFTest, TustinOnTheCompensatorAndBack)
{
  open(kCompensator);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Compensator"));
  EXPECT_FALSE(part("TustinRadioBtn")->isEnabled()) << "no transforms without a sample-hold time";
  EXPECT_FALSE(part("StoZApplyBtn")->isEnabled());
  click("CancelBtn");

  const double T = 0.1;
  Sys().sampleHold = T;
  open(kCompensator);
  click("TustinRadioBtn");
  click("StoZApplyBtn");
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();
  const Polynomial n = decoded(box("NumEdit")->text()), d = decoded(box("DenEdit")->text());
  for (double w : kAngles) {
    const Cplx z = std::polar(1.0, w), s = 2 / T * (z - 1.0) / (z + 1.0);
    ExpectNear(n, d, 0, z, (1.0 + 0.5 * s) / s);
  }
  EXPECT_FALSE(part("TustinRadioBtn")->isEnabled()) << "the element is in z now";
  EXPECT_TRUE(checked("RestoreRadioBtn")) << "the one choice left";

  click("StoZApplyBtn");
  EXPECT_TRUE(shown().isEmpty()) << "unchanged since the transform: no question";
  EXPECT_EQ(box("NumEdit")->text() + QLatin1Char('/') + box("DenEdit")->text(), QStringLiteral("1+0.5s/s"));
  EXPECT_TRUE(checked("ZOHRadioBtn"));
  click("OKBtn");
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(Sys().stored[kCompensator].transformed);
  EXPECT_TRUE(Sys().strictCheck);
}

TEST_F(EditTFTest, RestoreAfterTypingAsksWithNoAsDefault)
{
  Sys().sampleHold = 0.1;
  const char* const questions[2] = {"Controller changed since z-transform! Continue ?",
                                    "Plant or delay changed since z-transform! Continue ?"};
  for (const int elem : {kCompensator, kPlant}) {
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
      MessageSeam::reset();
      MessageSeam::setMessageHook([answer](const MessageRecord&) { return answer; });
      const QString s0 = QLatin1String(Sys().num[elem]);
      open(elem);
      click("TustinRadioBtn");
      click("StoZApplyBtn");
      const QString z0 = box("NumEdit")->text() + QStringLiteral(" ");
      type("NumEdit", z0);  // typed, though the same function
      click("RestoreRadioBtn");
      click("StoZApplyBtn");
      ASSERT_EQ(shown().size(), 1);
      EXPECT_EQ(shown()[0].text, QLatin1String(questions[elem]));
      EXPECT_EQ(shown()[0].icon, MsgIcon::Question);
      EXPECT_EQ(shown()[0].buttons, MsgButtons::YesNo) << "a Yes/No question has No as default";
      EXPECT_EQ(box("NumEdit")->text(), answer == MsgResult::Yes ? s0 : z0);
      EXPECT_EQ(dlg.loop().stored[elem].transformed, answer == MsgResult::No);
      click("CancelBtn");
    }
  }
}

// The zero-order hold of the start-up plant with T = 0.1 and a delay of
// 2 T + 0.05, from the partial fractions c_i/(s - p_i) of G(s)/s beside
// G(0)/s = 1/s: (1 - 1/z) z^-3 (1/(1 - 1/z) + sum c_i e^(0.05 p_i)/(1 - e^(0.1 p_i)/z)).
Cplx ZohOfStartUpPlant(Cplx z)
{
  const double wd = std::sqrt(6 - 0.49);
  Cplx sum = 1.0 / (1.0 - 1.0 / z);
  for (const Cplx p : {Cplx(-1.0), Cplx(-0.7, wd), Cplx(-0.7, -wd)}) {
    const Cplx dD = (p * p + 1.4 * p + 6.0) + (p + 1.0) * (2.0 * p + 1.4);  // D'(p)
    sum += 6.0 / (p * dD) * std::exp(0.05 * p) / (1.0 - std::exp(0.1 * p) / z);
  }
  return (1.0 - 1.0 / z) * std::pow(z, -3) * sum;
}

TEST_F(EditTFTest, ZeroOrderHoldOfThePlantThenCancel)
{
  Sys().sampleHold = 0.1;
  Sys().delay = 0.25;
  const SYSDATA before = Sys();
  open(kPlant);
  click("StoZApplyBtn");  // zero-order hold, the default
  const QString den = box("DenEdit")->text();
  ASSERT_TRUE(den.startsWith(QStringLiteral("z^2(")) && den.endsWith(QLatin1Char(')'))) << den.toStdString();
  const Polynomial n = decoded(box("NumEdit")->text()), d = decoded(den.mid(4, den.size() - 5));
  for (double w : kAngles)
    ExpectNear(n, d, 2, std::polar(1.0, w), ZohOfStartUpPlant(std::polar(1.0, w)));
  // order 3 with a fractional delay and two whole samples makes order 6:
  // written, told at once, and not taken by OK
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown()[0].text, QStringLiteral("Order too high"));
  type("NumEdit", QStringLiteral("7"));
  EXPECT_TRUE(dlg.loop().delayChanged) << "typing in the plant";
  ExpectSameModel(Sys(), before);  // the document waits for OK
  click("OKBtn");
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(lastMessage(), QStringLiteral("Order too high"));
  click("CancelBtn");
  ExpectSameModel(Sys(), before);  // texts, store, both flags
}

// The coefficient a factored form is normalised by: the lowest one of 1e-10
// or more (Bode form) or the highest one (pole-zero form).
double Norm(const Polynomial& p, bool bode)
{
  int i = bode ? 0 : p.n - 1;
  while (bode && std::fabs(p.c[i]) < 1e-10)
    ++i;
  return p.c[i];
}

TEST_F(EditTFTest, RewritesKeepTheTransferFunction)
{
  const struct {
    const char* num;
    const char* den;
    const char* form;
    bool doNum, doDen;
    double a;             // the parameter a
    const char* written;  // the documented numerator, or the refusal
  } cases[] = {
      {"6", "s^2+1.4s+6", "BodeRadioBtn", true, true, 1, "1"},
      {"6", "(s+1)(s^2+1.4s+6)", "PoleZeroRadioBtn", true, true, 1, "6"},
      {"2s+4", "4s^2+8s+20", "BodeRadioBtn", true, false, 1, nullptr},
      {"2s+4", "4s^2+8s+20", "PoleZeroRadioBtn", false, true, 1, nullptr},
      {"1+0.5s", "3s^2+6s", "BodeRadioBtn", true, true, 1, nullptr},  // a pole at the origin
      {"-3(s-2)", "(s+1)(s+1)(s+1)", "BodeRadioBtn", true, true, 1, nullptr},
      {"0.5z-0.4", "2z^2-3z+1.4", "PoleZeroRadioBtn", true, true, 1, nullptr},
      {"a(s+2)", "[2*pi]s^2+1", "EvaluateRadioBtn", true, true, 0.5, nullptr},
      {"(s+1)(s^2+1.4s+6)", "2(1+0.1s)", "PolynomialRadioBtn", true, true, 1, nullptr},
      // ten parameters of nine characters: 99 characters
      {"a+a+a+a+a+a+a+a+a+a", "s+1", "EvaluateRadioBtn", true, true, 1.234567e-5, "Expression too long"},
      {"1", "1e-12s+1e-11", "BodeRadioBtn", true, true, 1, "Coefficient too small"},
  };
  for (const auto& k : cases) {
    const std::string what = std::string(k.num) + " / " + k.den;
    SetParameter(0, k.a);
    SetText(Sys().num[kPlant], k.num);
    SetText(Sys().den[kPlant], k.den);
    open(kPlant);
    dlg.findChild<QTabWidget*>()->setCurrentIndex(1);
    click(k.form);
    static_cast<QCheckBox*>(part("NumChkBox"))->setChecked(k.doNum);
    static_cast<QCheckBox*>(part("DenChkBox"))->setChecked(k.doDen);
    click("ManipulateApplyBtn");
    const QString num = box("NumEdit")->text(), den = box("DenEdit")->text();
    const std::string form = k.form;
    if (!shown().isEmpty()) {  // refused: nothing written
      EXPECT_EQ(lastMessage(), QLatin1String(k.written)) << what;
      EXPECT_EQ(num + QLatin1Char('/') + den, QLatin1String(k.num) + QLatin1Char('/') + QLatin1String(k.den));
      click("CancelBtn");
      continue;
    }
    EXPECT_TRUE(!k.written || num == QLatin1String(k.written)) << what << ": " << num.toStdString();
    EXPECT_TRUE(k.doNum || num == QLatin1String(k.num)) << what << ": an unchecked text stays";
    EXPECT_TRUE(k.doDen || den == QLatin1String(k.den)) << what;
    // [2*pi] goes in with 4 figures, the printed factors with 6
    const double tol = form == "EvaluateRadioBtn" ? 1e-4 : 1e-5;
    const Polynomial n0 = decoded(QLatin1String(k.num)), d0 = decoded(QLatin1String(k.den));
    const Polynomial n1 = decoded(num), d1 = decoded(den);
    for (Cplx x : {Cplx(0.3, 0.2), Cplx(-0.5, 1.7), Cplx(2.0, -0.4)}) {
      const Cplx want = EvalPoly(n0.c, n0.n, x) / EvalPoly(d0.c, d0.n, x);
      EXPECT_LE(std::abs(EvalPoly(n1.c, n1.n, x) / EvalPoly(d1.c, d1.n, x) - want), tol * std::abs(want)) << what;
    }
    const bool bode = form == "BodeRadioBtn";
    if (bode || form == "PoleZeroRadioBtn") {
      // the denominator by its own coefficient (1 when both are checked),
      // the ratio of the two in front of the numerator
      const double dn = Norm(d0, bode), nn = Norm(n0, bode) / (k.doNum && k.doDen ? dn : 1.0);
      EXPECT_NEAR(Norm(d1, bode), k.doNum && k.doDen ? 1.0 : dn, 1e-5 * std::fabs(dn)) << what;
      EXPECT_NEAR(Norm(n1, bode), nn, 1e-5 * std::fabs(nn)) << what;
    }
    click("OKBtn");
    EXPECT_FALSE(dlg.isVisible()) << what;
  }
}

TEST_F(EditTFTest, BadInputIsRefusedInItsBox)
{
  Sys().sampleHold = 0.1;  // the compensator's transforms apply
  const SYSDATA before = Sys();
  const struct {
    const char* box;
    const char* text;
    const char* message;
  } cases[] = {
      {"NumEdit", "", "Numerator expected"},
      {"NumEdit", "s+1)", "No corresponding '('"},
      {"NumEdit", "[1/0]s", "Division by zero"},
      {"DenEdit", "(s+1)()", "Term expected"},
      {"DenEdit", "s^5", "Order too high"},
      {"DenEdit", "2*s", "Invalid variable"},
      {"PreWarpFreqEdit", "1+", "Mistake"},
      {"PreWarpFreqEdit", "1/0", "Division by zero"},
      {"PreWarpFreqEdit", "40", "Prewarping frequency too high"},  // above pi/T
  };
  for (const auto& k : cases) {
    MessageSeam::reset();
    MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
    open(kCompensator);
    type(k.box, QLatin1String(k.text));
    const bool prewarp = std::string(k.box) == "PreWarpFreqEdit";
    if (prewarp)
      click("TustinPWRadioBtn");
    click(prewarp ? "StoZApplyBtn" : "OKBtn");
    EXPECT_TRUE(dlg.isVisible()) << k.text;
    ASSERT_EQ(shown().size(), 1) << k.text;
    EXPECT_EQ(shown()[0].caption + ": " + shown()[0].text, QStringLiteral("Error: ") + QLatin1String(k.message))
        << k.text;
    EXPECT_EQ(dlg.focusWidget(), part(k.box)) << k.text;
    EXPECT_EQ(box(k.box)->cursorPosition(), box(k.box)->text().size());
    click("CancelBtn");
    ExpectSameModel(Sys(), before);
  }
  // 79 characters a box; a longer paste is refused whole, not cut
  open(kCompensator);
  type("NumEdit", QString(85, QLatin1Char('1')));
  EXPECT_EQ(box("NumEdit")->text().size(), 79);
  box("DenEdit")->insert(QString(80, QLatin1Char('2')));
  EXPECT_EQ(box("DenEdit")->text(), QStringLiteral("s"));
  click("CancelBtn");
}

}  // namespace
