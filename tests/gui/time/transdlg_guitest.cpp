// The time window's dialogs: what the scales and configuration dialogs
// refuse (and that a refusal stores nothing), what they store, and the
// cursor in both modes on both plot types.

#include "tests/gui/time/TransWinTestSupport.h"

#include "engine/model/Toolkit.h"
#include "gui/diagram/SysDef.h"
#include "gui/time/TransConfigDlg.h"
#include "gui/time/TransScalesDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>

#include <utility>
#include <vector>

namespace {

struct Refusal {
  const char* item;
  std::vector<std::pair<const char*, const char*>> typed;
  const char* message;
};

TEST_F(TransWinTest, DialogsRefuseBadEntriesAndStoreNothing)
{
  const char* points = "No of Points must lie between 2 and 1000";
  const Refusal cases[] = {
      {"Scales1", {{"XminEdit", "3"}, {"XmaxEdit", "3"}}, "Max must exceed Min"},
      {"Scales1", {{"YminEdit", "2"}, {"YmaxEdit", "1"}, {"DurationEdit", "20"}}, "Max must exceed Min"},
      {"Scales1", {{"npointsEdit", "1"}}, points},
      {"Scales1", {{"npointsEdit", "1001"}}, points},
      {"Scales1", {{"npointsEdit", "1000.5"}}, points},  // in range only once cut to a whole number
      {"Scales1", {{"DurationEdit", "0"}}, "Duration must lie between 1E-20 and 1E20"},
      {"Scales1", {{"DurationEdit", "1/0"}, {"npointsEdit", "500"}}, "Division by zero"},
      {"Config1", {{"PeriodEdit", ""}}, "Input period must lie between 1E-20 and 1E20"},
      {"Config1", {{"GpIcEdit", "sqrt(-1)"}}, "Function range"},
      {"Config1", {{"GcIcEdit", "3.5e38"}}, "Initial compensator output must lie between -1E20 and 1E20"},
      {"Family1", {{"FamilyMembersEdit", "11"}}, "A family has at most 10 members"},
      {"Family1", {{"FamilyMembersEdit", "1e30"}}, "A family has at most 10 members"},
      {"Family1", {{"FamilyFromEdit", "2"}, {"FamilyToEdit", "2"}}, "Family range: the start must be below the end"},
      {"Family1", {{"FamilyFromEdit", "0"}, {"FamilyMembersEdit", "3"}}, "A logarithmic family range must be positive"},
  };
  for (const Refusal& c : cases) {
    bool open = false;
    answer([&](QDialog& dlg) {
      // Periodic inputs stay off: the period box is emptied while it is on.
      auto* periodic = dlg.findChild<QCheckBox*>(QStringLiteral("PeriodChk"));
      if (auto* log = dlg.findChild<QCheckBox*>(QStringLiteral("FamilyLogCheck")))
        log->setChecked(true);
      if (periodic)
        periodic->setChecked(true);
      for (const auto& [name, text] : c.typed)
        type(dlg, name, QLatin1String(text));
      if (periodic) {
        periodic->setChecked(false);
        dlg.findChild<QCheckBox*>(QStringLiteral("RefChk"))->setChecked(false);
      }
      click(dlg, "OKBtn");
      open = dlg.isVisible();
    });
    const qsizetype before = shown().size();
    choose(c.item);
    EXPECT_TRUE(open) << c.message;
    ASSERT_EQ(shown().size(), before + 1) << c.message;
    EXPECT_EQ(lastMessage(), QLatin1String(c.message));
    // Nothing stored.
    EXPECT_EQ(st().points, 200);
    EXPECT_EQ(st().duration, 10.0);
    EXPECT_EQ(st().period, 1.0);
    EXPECT_TRUE(st().loop.refInput);
    EXPECT_EQ(win->chart()->RangeHiX(), 10.0);
    EXPECT_EQ(win->chart()->RangeLoY(), 0.0);
    EXPECT_FALSE(win->familyOn());
    EXPECT_EQ(win->familyPlan().members, FamilyPlan{}.members);
    EXPECT_FALSE(win->familyPlan().log);
  }

  // Without a time window the dialogs only warn.
  TTransConfigDlg config(nullptr, frame.get());
  config.Execute();
  EXPECT_EQ(lastMessage(), QStringLiteral("No Trans child"));
  TTransScalesDlg scales(nullptr, frame.get());
  scales.Execute();
  EXPECT_EQ(lastMessage(), QStringLiteral("Null child pointer"));
}

TEST_F(TransWinTest, DialogsStoreWhatTheyRead)
{
  answer([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Time response scales"));
    type(dlg, "npointsEdit", QStringLiteral("2.9"));
    type(dlg, "XmaxEdit", QStringLiteral("2*pi"));
    type(dlg, "YminEdit", QStringLiteral("-1"));
    click(dlg, "OKBtn");
  });
  choose("Scales1");
  EXPECT_EQ(st().points, 2);
  EXPECT_DOUBLE_EQ(win->chart()->RangeHiX(), 2 * kPi);
  EXPECT_EQ(win->chart()->RangeLoY(), -1.0);
  EXPECT_EQ(st().duration, 10.0) << "not edited, not read";

  // The load input and the initial plant output; the diagram shows the
  // load and the dialog opens again on the page it was left on.
  TSysDefForm* diagram = frame->sysDefForm();
  EXPECT_FALSE(diagram->findChild<QWidget*>(QStringLiteral("LoadSummer"))->isVisibleTo(diagram));
  int page = -1;
  answer([](QDialog& dlg) {
    dlg.findChild<QCheckBox*>(QStringLiteral("LoadChk"))->setChecked(true);
    dlg.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
    dlg.findChild<QCheckBox*>(QStringLiteral("GpIcChk"))->setChecked(true);
    type(dlg, "GpIcEdit", QStringLiteral("0.5"));
    click(dlg, "SecErrorRadio");
    click(dlg, "OKBtn");
  });
  choose("Config1");
  EXPECT_TRUE(st().loop.loadInput);
  EXPECT_TRUE(diagram->findChild<QWidget*>(QStringLiteral("LoadSummer"))->isVisibleTo(diagram));
  EXPECT_TRUE(Sys().plantInitEnabled);
  EXPECT_EQ(st().initPlantOutput, 0.5);
  EXPECT_EQ(st().secondary, SecondaryTrace::Error);
  EXPECT_FALSE(win->findChild<QAction*>(QStringLiteral("Plotcontroleffort1"))->isChecked());
  answer([&page](QDialog& dlg) {
    page = dlg.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentIndex();
    click(dlg, "CancelBtn");
  });
  choose("Config1");
  EXPECT_EQ(page, 2);
}

TEST_F(TransWinTest, CursorFollowsTheTimeResponse)
{
  Sys().showMarkLabels = true;
  choose("Go1");
  const double h = run().step;
  TRChart* c = win->timeChart();
  const std::size_t drawn = items(c);
  answer([&](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Time domain cursor - absolute mode"));
    EXPECT_EQ(c->CrossHairAt(1).style, 2);  // dotted
    EXPECT_EQ(c->CrossHairAt(1).mode, 2);   // vertical
    auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("ScrollBar1"));
    EXPECT_EQ(bar->maximum(), run().pointCount - 1);
    bar->setValue(20);
    EXPECT_NEAR(number(dlg, "OutputValue"), FirstOrderStep(1, 20 * h), 2e-3);
    click(dlg, "RelativeBitBtn");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Time domain cursor - relative mode"));
    for (const char* name : {"TimeValue", "InputValue", "OutputValue", "ControlValue"})
      EXPECT_EQ(text(dlg, name), QStringLiteral("0")) << name;
    EXPECT_EQ(c->CrossHairAt(2).style, 3);  // dash-dot
    EXPECT_EQ(c->CrossHairAt(2).mode, 2);
    bar->setValue(50);
    EXPECT_NEAR(number(dlg, "TimeValue"), 30 * h, 1e-9);
    EXPECT_NEAR(number(dlg, "OutputValue"), FirstOrderStep(1, 50 * h) - FirstOrderStep(1, 20 * h), 2e-3);
    EXPECT_TRUE(dlg.findChild<QLabel*>(QStringLiteral("OffScreenMsg"))->text().isEmpty());
    c->SetRangeHiX(1);  // zoomed in: t = 2.5 lies beyond
    bar->setValue(51);
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("OffScreenMsg"))->text(), QStringLiteral("Cursor off graph"));
    click(dlg, "MarkBtn");
    click(dlg, "EqBitBtn");
    click(dlg, "AbsoluteBitBtn");
    EXPECT_EQ(c->CrossHairAt(2).mode, 0);
    click(dlg, "CloseBtn");
  });
  choose("Plotcursor2");
  EXPECT_EQ(evaluatorShown, 1);
  EXPECT_EQ(c->CrossHairAt(1).mode, 0);
  // Output and control effort marked, each with its coordinates.
  ASSERT_EQ(items(c), drawn + 4);
  const ChartItem& label = c->Items().item(drawn + 1);
  EXPECT_EQ(label.kind, ItemKind::Text);
  const TracePoint& p = run().trace[51];
  EXPECT_STREQ(label.text, ("  " + FormatModelNumber(51 * h) + "," + FormatModelNumber(p.y)).c_str());
}

TEST_F(TransWinTest, PhasePlaneCursorIsTakenBackItemByItem)
{
  choose("PhasePlot1");
  choose("Go1");
  TRChart* c = win->phaseChart();
  answer([&](QDialog& dlg) {
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("InputLabel"))->text(), QStringLiteral("y"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("OutputLabel"))->text(), QStringLiteral("diff(y)"));
    EXPECT_FALSE(dlg.findChild<QLineEdit*>(QStringLiteral("ControlValue"))->isVisible());
    ASSERT_EQ(items(c), 1u + 3u);  // the path, then ellipse and cross
    const ChartItem& ellipse = c->Items().item(1);
    EXPECT_NEAR(ellipse.x2 * c->PlotArea().width() / (c->RangeHiX() - c->RangeLoX()), 5.0, 1e-9);
    auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("ScrollBar1"));
    bar->setValue(40);
    click(dlg, "RelativeBitBtn");
    EXPECT_EQ(items(c), 1u + 2u + 3u);  // the reference cross under the cursor
    bar->setValue(60);
    EXPECT_NEAR(number(dlg, "InputValue"), run().trace[60].input - run().trace[40].input, 1e-3);
    click(dlg, "MarkBtn");
    EXPECT_EQ(items(c), 1u + 1u + 2u + 3u);
    EXPECT_EQ(c->Items().item(1).kind, ItemKind::Mark);
    click(dlg, "CloseBtn");
  });
  choose("Plotcursor2");
  EXPECT_EQ(items(c), 2u) << "the path and the mark stay";
}

}  // namespace
