// The nonlinearity editor driven as a user would, from the Edit menu and the
// diagram's blocks: texts that compile are stored and shown, the others
// refused with their message; the picker, the preview against closed forms,
// and Cancel leaving the loop model as it was.

#include "tests/gui/FrameTest.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/nlin/NlinEngine.h"
#include "gui/base/HelpViewer.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

QWidget* diagramPart(TMainForm& frame, const char* name)
{
  return frame.sysDefForm()->findChild<QWidget*>(QLatin1String(name));
}

QString diagramText(TMainForm& frame, bool forward)
{
  return frame.sysDefForm()
      ->findChild<QLabel*>(QLatin1String(forward ? "FwdNonlinFnLabel" : "FbkNonlinFnLabel"))
      ->text();
}

bool Compiles(const QString& text)
{
  const char* const x[] = {"x"};
  CompiledExpr e;
  BindVariables(e, x, 1);
  const bool ok = parse(text.toLatin1().constData(), e);
  ClearError();
  return ok;
}

// What the editor may touch of the loop model, and the built-ins' restart
// flag as the next evaluation sees it.
struct NonlinearityFields {
  explicit NonlinearityFields(const SYSDATA& s)
      : fwd(s.fwdNlText),
        fbk(s.fbkNlText),
        fwdCode(std::begin(s.fwdNl.code), std::end(s.fwdNl.code)),
        domain(s.activeDomain),
        fwdIn(s.fwdNlInUse),
        fbkIn(s.fbkNlInUse),
        restart(CurrentEval().restart)
  {
  }
  bool operator==(const NonlinearityFields&) const = default;
  std::string fwd, fbk;
  std::string fwdCode;
  ActiveDomain domain;
  bool fwdIn, fbkIn, restart;
};

}  // namespace

TEST_F(FrameTest, NonlinearityEditorStoresOnlyTextsThatCompile)
{
  // 79 characters that compile; an 80th cannot be typed.
  const QString longest = QStringLiteral("x+0.") + QString(75, QLatin1Char('0'));
  const struct {
    const char* opener;  // an Edit entry or a part of the diagram
    bool forward;
    QString good;
  } kOpeners[] = {{"Forwardpathnonlinearity1", true, QStringLiteral("clip(x,0.5)")},
                  {"FwdNlinPanel", true, QStringLiteral("2*relay(hyst(x, a))")},
                  {"FwdNonlinFnLabel", true, longest},  // the text passes the click to its block
                  {"Feedbackpathnonlinearity1", false, QStringLiteral("dzone(x,b)+x^3")},
                  {"FbkNlinPanel", false, QStringLiteral("quant(x,0.25)")}};
  const char* const kBad[] = {"1+*2", "", "sin(x", "2x", "y", "clip(x)", "x%2", "sin (x)"};
  for (const auto& k : kOpeners) {
    SCOPED_TRACE(k.opener);
    const char* message =
        k.forward ? "Invalid forward path non-linear function" : "Invalid feedback path non-linear function";
    const std::string before = k.forward ? Sys().fwdNlText : Sys().fbkNlText;
    const QString shownBefore = diagramText(*frame, k.forward);
    QString title;
    answer([&](QDialog& dlg) {
      title = dlg.windowTitle();
      EXPECT_EQ(text(dlg, "NlinEdit"), QString::fromStdString(before));
      for (const char* bad : kBad) {
        const auto boxes = shown().size();
        type(dlg, "NlinEdit", QLatin1String(bad));
        press(dlg, "OKBtn");
        ASSERT_EQ(shown().size(), boxes + 1) << bad;
        EXPECT_EQ(shown().last().caption + shown().last().text, QStringLiteral("Error") + QLatin1String(message))
            << bad;
        EXPECT_TRUE(dlg.isVisible()) << bad;
        EXPECT_EQ(k.forward ? Sys().fwdNlText : Sys().fbkNlText, before) << bad;
        EXPECT_EQ(diagramText(*frame, k.forward), shownBefore) << bad;
      }
      type(dlg, "NlinEdit", k.good + QStringLiteral("0"));  // the 80th character is refused
      EXPECT_EQ(text(dlg, "NlinEdit"), (k.good + QStringLiteral("0")).left(79));
      type(dlg, "NlinEdit", k.good);
      press(dlg, "OKBtn");
    });
    if (QAction* entry = action(k.opener))
      entry->trigger();
    else
      QTest::mouseClick(diagramPart(*frame, k.opener), Qt::LeftButton);
    EXPECT_EQ(title,
              k.forward ? QStringLiteral("Forward path nonlinearity") : QStringLiteral("Feedback path nonlinearity"));
    EXPECT_EQ(QLatin1String(k.forward ? Sys().fwdNlText : Sys().fbkNlText), k.good);
    EXPECT_EQ(diagramText(*frame, k.forward), k.good);
    EXPECT_FALSE(ErrorPending());
  }

  // A caption still acts as its tool button on the active window, with no editor.
  frame->NewWindow(ActiveDomain::Nonlinear);
  bool opened = false;
  answer([&](QDialog&) { opened = true; });
  ASSERT_TRUE(button("FwdNlinSpdBtn")->isChecked());
  QTest::mouseClick(diagramPart(*frame, "FwdNlinLabel1"), Qt::LeftButton);
  EXPECT_FALSE(button("FwdNlinSpdBtn")->isChecked());
  EXPECT_FALSE(opened);
}

TEST_F(FrameTest, NonlinearityPickerInsertsCharacteristicsThatCompile)
{
  const auto templates = CharacteristicTemplates();
  answer([&](QDialog& dlg) {
    auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("NlinEdit"));
    auto* pick = dlg.findChild<QComboBox*>(QStringLiteral("PickCombo"));
    ASSERT_EQ(pick->count(), static_cast<int>(templates.size()));
    for (int i = 0; i < pick->count(); ++i) {
      const QString inserted = QLatin1String(templates[static_cast<std::size_t>(i)].text);
      SCOPED_TRACE(inserted.toStdString());
      EXPECT_TRUE(pick->itemText(i).contains(inserted));
      edit->selectAll();
      emit pick->activated(i);  // the user's choice in the list
      EXPECT_EQ(edit->text(), inserted);
      EXPECT_TRUE(Compiles(edit->text()));
      EXPECT_EQ(pick->currentIndex(), -1) << "the picker keeps no choice";
      // the first parameter is selected, ready to be typed over
      const int comma = static_cast<int>(inserted.indexOf(QLatin1Char(',')));
      if (comma >= 0 && inserted.at(comma + 1).isDigit()) {
        EXPECT_EQ(edit->selectionStart(), comma + 1);
      }
      EXPECT_TRUE(edit->selectedText().isEmpty() || edit->selectedText().toDouble() > 0)
          << edit->selectedText().toStdString();
    }
    // Inserted at the caret, into what is already there.
    edit->setText(QStringLiteral("0.1*x+"));
    edit->end(false);
    emit pick->activated(0);
    EXPECT_EQ(edit->text(), QStringLiteral("0.1*x+") + QLatin1String(templates[0].text));
    QTest::keyClicks(edit, QStringLiteral("2"));  // over the selected limit
    const QString typed = edit->text();
    EXPECT_TRUE(Compiles(typed)) << typed.toStdString();
    // An insertion that would pass 79 characters is refused whole.
    const QString full = QStringLiteral("x+") + QString(74, QLatin1Char('1'));
    edit->setText(full);
    edit->end(false);
    emit pick->activated(0);
    EXPECT_EQ(edit->text(), full);
    edit->setText(typed);
    press(dlg, "OKBtn");
  });
  action("Feedbackpathnonlinearity1")->trigger();
  EXPECT_STREQ(Sys().fbkNlText, "0.1*x+clip(x,2)");
  EXPECT_EQ(diagramText(*frame, false), QStringLiteral("0.1*x+clip(x,2)"));
}

TEST_F(FrameTest, NonlinearityPreviewDrawsTheTypedTextAndCancelChangesNothing)
{
  const NonlinearityFields before(Sys());
  const QString shownBefore = diagramText(*frame, true);
  answer([&](QDialog& dlg) {
    const TRChart* chart = dlg.findChild<TRChart*>(QStringLiteral("PreviewChart"));
    ASSERT_NE(chart, nullptr);
    auto* why = dlg.findChild<QLabel*>(QStringLiteral("PreviewMsgLabel"));
    type(dlg, "NlinEdit", QStringLiteral("clip(x,0.5)"));
    type(dlg, "XminEdit", QStringLiteral("-2"));
    type(dlg, "XmaxEdit", QStringLiteral("4/2"));  // a range box takes expressions
    ASSERT_EQ(chart->Items().size(), 1u);
    const ChartItem& curve = chart->Items().item(0);
    EXPECT_EQ(curve.kind, ItemKind::Polyline);
    ASSERT_EQ(curve.count, 201u);
    const ChartPoint* p = chart->Items().points(curve);
    for (std::size_t i = 0; i < curve.count; ++i) {
      const double x = -2 + 4.0 * static_cast<double>(i) / 200;
      EXPECT_NEAR(p[i].x, x, 2e-7 * 2) << i;
      EXPECT_NEAR(p[i].y, std::clamp(x, -0.5, 0.5), 2e-7) << i;
    }
    EXPECT_EQ(chart->RangeLoX(), -2);
    EXPECT_EQ(chart->RangeHiX(), 2);
    EXPECT_LE(chart->RangeLoY(), -0.5);
    EXPECT_GE(chart->RangeHiY(), 0.5);
    EXPECT_LT(chart->RangeHiY(), 1) << "the y range follows the characteristic";
    EXPECT_EQ(why->text(), QString());

    // A backlash is drawn up and back down: 2N + 1 points ending at x min.
    type(dlg, "NlinEdit", QStringLiteral("hyst(x,1)"));
    ASSERT_EQ(chart->Items().size(), 1u);
    EXPECT_EQ(chart->Items().item(0).count, 401u);
    EXPECT_EQ(chart->Items().points(chart->Items().item(0))[400].x, -2.0f);

    // Nothing to draw: the reason instead.
    const struct {
      const char* field;
      const char* text;
      const char* why;
    } kEmpty[] = {{"NlinEdit", "1+*2", "Syntax error"},
                  {"NlinEdit", "sqrt(x)", "Function range"},
                  {"XmaxEdit", "-3", "Max must exceed Min"},
                  {"XmaxEdit", "1/0", "Division by zero"}};
    for (const auto& c : kEmpty) {
      type(dlg, "NlinEdit", QStringLiteral("x"));
      type(dlg, "XmaxEdit", QStringLiteral("2"));
      ASSERT_EQ(chart->Items().size(), 1u);
      type(dlg, c.field, QLatin1String(c.text));
      EXPECT_EQ(chart->Items().size(), 0u) << c.text;
      EXPECT_EQ(why->text(), QLatin1String(c.why)) << c.text;
      EXPECT_FALSE(ErrorPending()) << c.text;
    }
    press(dlg, "HelpBtn");
    EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/nlinedit.html"));
    type(dlg, "XmaxEdit", QStringLiteral("2"));
    dlg.findChild<QLineEdit*>(QStringLiteral("NlinEdit"))->selectAll();
    emit dlg.findChild<QComboBox*>(QStringLiteral("PickCombo"))->activated(1);
    ASSERT_EQ(chart->Items().size(), 1u) << "the inserted dead zone is drawn";
    press(dlg, "CancelBtn");
  });
  action("Forwardpathnonlinearity1")->trigger();
  EXPECT_TRUE(NonlinearityFields(Sys()) == before);
  EXPECT_EQ(diagramText(*frame, true), shownBefore);
  EXPECT_TRUE(shown().isEmpty());
}
