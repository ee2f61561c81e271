// The nonlinear window end to end through the frame's buttons and the real
// widgets of its dialogs; curves and read-outs against closed forms of the
// nonlinearities computed here.
#include "tests/gui/FrameTest.h"

#include "engine/model/SysData.h"
#include "gui/chart/TRChart.h"
#include "gui/nlin/NlinChild.h"
#include "gui/nlin/NlinScalesDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

class NlinWindowTest : public FrameTest {
protected:
  void SetUp() override
  {
    FrameTest::SetUp();
    win = qobject_cast<TNlinChildForm*>(frame->NewWindow(ActiveDomain::Nonlinear));
    ASSERT_NE(win, nullptr);
  }
  TRChart* chart() const { return win->chart(); }
  // The nonlinearities in use, chosen with the frame's F4 and F5 buttons.
  void Use(bool fwd, bool fbk)
  {
    if (button("FwdNlinSpdBtn")->isChecked() != fwd)
      click("FwdNlinSpdBtn");
    if (button("FbkNlinSpdBtn")->isChecked() != fbk)
      click("FbkNlinSpdBtn");
  }
  // The points of the newest item, a polyline after Go.
  std::vector<ChartPoint> LastCurve() const
  {
    const ChartItem& it = chart()->Items().item(chart()->Items().size() - 1);
    return {chart()->Items().points(it), chart()->Items().points(it) + it.count};
  }
  // Runs steps on every modal dialog while it is shown and active.
  static void OnDialogs(std::function<void(QDialog&)> steps)
  {
    MessageSeam::setModalHook([steps](QDialog& dlg) {
      QWidget* active = QApplication::activeWindow();
      dlg.show();
      QApplication::setActiveWindow(&dlg);
      steps(dlg);
      dlg.hide();
      QApplication::setActiveWindow(active);
      return dlg.result();
    });
  }
  static void Click(QDialog& dlg, const char* name)
  {
    QTest::mouseClick(dlg.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
  }
  static QLineEdit* Edit(QDialog& dlg, const char* name) { return dlg.findChild<QLineEdit*>(QLatin1String(name)); }
  static void Type(QDialog& dlg, const char* name, const char* text)
  {
    Edit(dlg, name)->setFocus();
    Edit(dlg, name)->selectAll();
    QTest::keyClicks(Edit(dlg, name), QLatin1String(text));
  }
  // The scales dialog with one entry typed and OK pressed (Cancel when it
  // stays open); true when OK closed it.
  bool Scales(const char* edit, const char* text)
  {
    bool closed = false;
    OnDialogs([&](QDialog& dlg) {
      Type(dlg, edit, text);
      Click(dlg, "OKBtn");
      if (!(closed = !dlg.isVisible()))
        Click(dlg, "CancelBtn");
    });
    click("ScaleSpdBtn");
    return closed;
  }
  TNlinChildForm* win = nullptr;
};

// Go over x = -5 + 10 i/200 (and back down with memory), captioned by the
// nonlinearities F4/F5 put in use; Wipe empties the chart and its caption.
TEST_F(NlinWindowTest, GoDrawsTheCharacteristicOfTheNonlinearitiesInUse)
{
  using Curve = double (*)(double);
  const struct {
    const char *fwd, *fbk;
    bool fwdIn, fbkIn;
    const char* caption;
    Curve up, down;
  } kCases[] = {
      // the texts not in use are not compiled
      {"hyst(x,1)", "1+*2", false, false, "No nonlinearity", [](double x) { return x; }, nullptr},
      {"x", "2*x", true, true, "Both nonlinearities", [](double x) { return 2 * x; }, nullptr},
      {"hyst(x,1)", "quant(x,", true, false, "Forward path nonlinearity",
       [](double x) { return std::max(-4.0, x - 1); }, [](double x) { return std::min(4.0, x + 1); }},
  };
  for (const auto& c : kCases) {
    SetText(Sys().fwdNlText, c.fwd);
    SetText(Sys().fbkNlText, c.fbk);
    Use(c.fwdIn, c.fbkIn);
    click("GoSpdBtn");
    EXPECT_EQ(chart()->Caption(), QLatin1String(c.caption));
    const std::vector<ChartPoint> p = LastCurve();
    ASSERT_EQ(p.size(), c.down ? 401u : 201u) << c.caption;
    for (std::size_t k = 0; k < p.size(); ++k) {
      const double x = -5 + 10.0 * static_cast<double>(k <= 200 ? k : 400 - k) / 200;
      EXPECT_NEAR(p[k].x, x, 1e-6) << c.caption << k;
      EXPECT_NEAR(p[k].y, k <= 200 ? c.up(x) : c.down(x), 1e-6) << c.caption << k;
    }
    click("WipeSpdBtn");
    EXPECT_EQ(chart()->Caption() + QString::number(chart()->Items().size()), QStringLiteral("0"));
  }
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // A failed Go leaves no plot: the cursor does not open on an earlier curve.
  click("GoSpdBtn");
  SetText(Sys().fwdNlText, "1+*2");
  int dialogs = 0;
  MessageSeam::setModalHook([&](QDialog&) { return ++dialogs; });
  click("CursSpdBtn");
  EXPECT_EQ(dialogs, 0);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown()[0].caption + shown()[0].text, QStringLiteral("ErrorInvalid nonlinear function"));
}

// The scales dialog reads only what was typed, refuses with a message and
// stays open, and keeps the focus where it was; it changes the axes and N,
// never the sweep's input range, which follows the chart's x range at
// autoscale, zoom-in and zoom back, not at a pan.
TEST_F(NlinWindowTest, ScalesAndInputRange)
{
  const struct {
    const char *edit, *text, *message;
  } kRefused[] = {
      {"XminEdit", "1+*2", "Syntax error"},
      {"YminEdit", "1/0", "Division by zero"},
      {"XminEdit", "5", "Max must exceed Min"},
      {"YmaxEdit", "-6", "Max must exceed Min"},
      {"XmaxEdit", "1e308", "X-axis max must lie between -1E20 and 1E20"},
      {"npointsEdit", "1000.5", "No of Points must lie between 2 and 1000"},  // before truncation
  };
  for (const auto& c : kRefused) {
    EXPECT_FALSE(Scales(c.edit, c.text)) << c.text;
    EXPECT_EQ(lastMessage(), QLatin1String(c.message)) << c.text;
    EXPECT_EQ(chart()->RangeLoX() + chart()->RangeHiY() + win->record().points, -5 + 5 + 200) << c.text;
  }

  // First the focus is in the number of points, then where it was last;
  // with N alone changed the ranges stay exact.
  QString focus[2];
  int shows = 0;
  OnDialogs([&](QDialog& dlg) {
    auto* e = qobject_cast<QLineEdit*>(dlg.focusWidget());
    focus[shows] = e->objectName() + e->selectedText();
    Type(dlg, "npointsEdit", shows == 0 ? "2.9" : "2");
    if (shows++ == 0)
      Type(dlg, "XminEdit", "-4*pi");
    Click(dlg, "OKBtn");
  });
  click("ScaleSpdBtn");
  click("ScaleSpdBtn");
  EXPECT_EQ(focus[0], QStringLiteral("npointsEdit200"));
  EXPECT_EQ(focus[1], QStringLiteral("XminEdit-12.57"));
  EXPECT_EQ(chart()->RangeLoX(), -4 * M_PI);

  Use(false, false);
  const auto sweep = [this] {
    click("GoSpdBtn");
    const std::vector<ChartPoint> p = LastCurve();
    return std::vector<double>{p.front().x, p[1].x, p.back().x};
  };
  EXPECT_EQ(sweep(), (std::vector<double>{-5, 0, 5})) << "N = 2 over the input range -5..5";

  click("AutoScaleSpdBtn");  // x stays; y 5 % of the data's -5..5 each side
  EXPECT_EQ(chart()->RangeLoX(), -4 * M_PI);
  EXPECT_NEAR(chart()->RangeHiY(), 5.5, 1e-12);
  const float x0 = static_cast<float>(-4 * M_PI), x1 = static_cast<float>(-2 * M_PI + 2.5);
  EXPECT_EQ(sweep(), (std::vector<double>{x0, x1, 5}));

  const auto drag = [this](double xa, double ya, double xb, double yb) {
    const QPoint a = chart()->DataToPixel(xa, ya).toPoint(), b = chart()->DataToPixel(xb, yb).toPoint();
    QTest::mousePress(chart(), Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(chart(), b);
    QTest::mouseRelease(chart(), Qt::LeftButton, Qt::NoModifier, b);
  };
  click("PanSpdBtn");
  drag(0, 0, 3, 0);
  click("PanSpdBtn");
  EXPECT_EQ(win->record().xMin, -4 * M_PI);
  click("ZoominSpdBtn");
  drag(-3, -2, 1, 2);
  const double lo = chart()->RangeLoX(), hi = chart()->RangeHiX();
  EXPECT_NEAR(lo, -3, 0.1);
  EXPECT_EQ(win->record().xMin, lo);
  EXPECT_EQ(win->record().xMax, hi);
  click("ZoomoutSpdBtn");  // the same centre, 1.4 times as wide
  EXPECT_DOUBLE_EQ(win->record().xMin, (lo + hi) / 2 - 0.7 * (hi - lo));
  EXPECT_DOUBLE_EQ(win->record().xMax, (lo + hi) / 2 + 0.7 * (hi - lo));

  // 1000 steps of a backlash need 2001 entries: cut, and said in a panel
  // wide enough for it until a wipe.
  EXPECT_TRUE(Scales("npointsEdit", "1000"));
  Use(true, false);
  click("GoSpdBtn");
  EXPECT_EQ(LastCurve().size(), 2000u);
  auto* panel = frame->findChild<QLabel*>(QStringLiteral("StatusPanel2"));
  EXPECT_EQ(panel->text(), QLatin1String(kNlinCutNote));
  EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()));
  click("WipeSpdBtn");
  EXPECT_EQ(panel->text(), QString());

  EXPECT_EQ(TNlinScalesDlg(nullptr).Execute(), QDialog::Rejected);
  EXPECT_EQ(lastMessage(), QStringLiteral("Null child pointer"));
}

// The cursor walks the chart's x axis in N = 200 steps through hyst(x,1)
// then 2x, the backlash remembering the path from x = -5:
// out = clamp(out, x - 1, x + 1), y = 2 out.
TEST_F(NlinWindowTest, CursorWalksTheAxisWithMemoryMarksAndReference)
{
  SetText(Sys().fwdNlText, "hyst(x,1)");
  SetText(Sys().fbkNlText, "2*x");
  Sys().showMarkLabels = true;
  Use(true, true);
  const struct {
    int position;
    std::string pressed;  // after moving there
  } kWalk[] = {{50, ""}, {200, ""}, {150, ""}, {120, "RelativeBtn"}, {100, "MarkBtn"}, {90, "AbsoluteBtn"}, {0, ""}};

  const DisplayList& l = chart()->Items();
  std::size_t before = 0;
  int evaluators = 0;
  OnDialogs([&](QDialog& dlg) {
    if (dlg.objectName() == QLatin1String("EvalDlg")) {
      ++evaluators;
      return;
    }
    before = l.size() - 3;  // under the crosshair
    double out = -5, refX = 0, refY = 0;
    std::size_t marked = 0;
    for (const auto& w : kWalk) {
      dlg.findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))->setValue(w.position);
      const double x = -5 + 10.0 * w.position / 200;
      out = std::clamp(out, x - 1, x + 1);
      const double y = 2 * out;
      if (!w.pressed.empty())
        Click(dlg, w.pressed.c_str());
      if (w.pressed == "RelativeBtn" || w.pressed == "AbsoluteBtn")
        refX = w.pressed == "RelativeBtn" ? x : 0, refY = w.pressed == "RelativeBtn" ? y : 0;
      marked += w.pressed == "MarkBtn" ? 2 : 0;
      const bool relative = refX != 0 || refY != 0;
      const std::string tag = std::to_string(w.position) + w.pressed;
      EXPECT_EQ(dlg.windowTitle(), relative ? QStringLiteral("Nonlinear cursor - relative mode")
                                            : QStringLiteral("Nonlinear cursor - absolute mode"));
      EXPECT_EQ(Edit(dlg, "XValue")->text(), QString::number(x - refX, 'g', 4)) << tag;
      EXPECT_EQ(Edit(dlg, "YValue")->text(), QString::number(y - refY, 'g', 4)) << tag;
      EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("OffScreenMsg"))->text(),
                std::fabs(y) > 5 ? QStringLiteral("Cursor off graph") : QString())
          << tag;
      // Newest items: the reference cross in relative mode, then the
      // crosshair, a black ring of 5 pixels around (x, y) and arms of 10.
      ASSERT_EQ(l.size(), before + marked + (relative ? 2 : 0) + 3) << tag;
      const ChartItem &ring = l.item(l.size() - 3), &arm = l.item(l.size() - 2);
      EXPECT_EQ(ring.kind, ItemKind::Ellipse);
      EXPECT_EQ(ring.colour, 0u);
      const QPointF c = chart()->DataToPixel(x, y), r = chart()->DataToPixel(x + ring.x2, y + ring.y2);
      EXPECT_EQ(chart()->DataToPixel(ring.x, ring.y), c) << tag;
      EXPECT_NEAR(r.x() - c.x(), 5, 1e-6) << tag;
      EXPECT_NEAR(c.y() - r.y(), 5, 1e-6) << tag;
      EXPECT_NEAR(chart()->DataToPixel(arm.x2, arm.y2).x() - c.x(), 10, 1e-6) << tag;
      if (relative) {
        EXPECT_EQ(l.item(l.size() - 5).y, refY) << tag;
      }
    }
    Click(dlg, "EqBtn2");
    Click(dlg, "EqBitBtn");
    Click(dlg, "CloseBtn");
  });
  click("CursSpdBtn");
  EXPECT_EQ(evaluators, 2);
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // Closed: the markers are gone; the mark at (0, 2) in Pen1 and its label stay.
  ASSERT_EQ(l.size(), before + 2);
  EXPECT_EQ(l.item(before).kind, ItemKind::Mark);
  EXPECT_EQ(l.item(before).colour, Sys().pen[0]);
  EXPECT_EQ(l.item(before).y, 2);
  EXPECT_STREQ(l.item(before + 1).text, "  0,2");
}

// The axis reaches where the nonlinearity cannot be evaluated: the error is
// shown and there is no reading or crosshair there, until a point that can.
TEST_F(NlinWindowTest, CursorWhereTheNonlinearityFailsShowsNoPoint)
{
  SetText(Sys().fwdNlText, "sqrt(x)");
  ASSERT_TRUE(SetInputRange(win->record(), 0, 5));
  QString readings;
  OnDialogs([&](QDialog& dlg) {
    readings = Edit(dlg, "XValue")->text() + "," + Edit(dlg, "YValue")->text() + ";";
    EXPECT_EQ(chart()->Items().size(), 1u) << "the curve alone";
    dlg.findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))->setValue(150);
    readings += Edit(dlg, "XValue")->text() + "," + Edit(dlg, "YValue")->text();
    EXPECT_EQ(chart()->Items().size(), 4u);
    Click(dlg, "CloseBtn");
  });
  click("CursSpdBtn");
  EXPECT_EQ(readings, QStringLiteral("-2.5,;2.5,") + QString::number(std::sqrt(2.5), 'g', 4));
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown()[0].text, QStringLiteral("Function range"));
}

}  // namespace
