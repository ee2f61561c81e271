// The time-domain window: runs overlaid until wiped, the element toggles,
// the cursor refused without a readable run, the cost line, the plot-type
// switch and the characteristics dialog, each checked against closed forms.

#include "tests/gui/time/TransWinTestSupport.h"

#include "engine/chart/Pens.h"
#include "engine/model/Toolkit.h"
#include "engine/time/TimeCharacteristics.h"
#include "engine/time/TimeFamily.h"
#include "engine/time/TransDraw.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>

#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>

#include <vector>

namespace {

// The output polylines of the display list (one per run), by their colour.
std::vector<std::vector<ChartPoint>> OutputPaths(const TRChart& c, Rgb colour)
{
  std::vector<std::vector<ChartPoint>> paths;
  const DisplayList& list = c.Items();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ChartItem& it = list.item(i);
    if (it.kind == ItemKind::Polyline && it.colour == colour)
      paths.emplace_back(list.points(it), list.points(it) + it.count);
  }
  return paths;
}

TEST_F(TransWinTest, RunsOverlayUntilWiped)
{
  st().points = 1000;
  const double gains[] = {1.0, 3.0};
  for (double k : gains) {
    Sys().gain = k;
    choose("Go1");
  }
  const auto paths = OutputPaths(*win->timeChart(), Sys().pen[1]);
  ASSERT_EQ(paths.size(), 2u);
  for (std::size_t r = 0; r < 2; ++r) {
    const double k = gains[r];
    ASSERT_EQ(static_cast<int>(paths[r].size()), run().pointCount + 1);  // MoveTo and a DrawTo per point
    for (const ChartPoint& p : paths[r])
      ASSERT_NEAR(p.y, FirstOrderStep(k, p.x), 0.01 * k / (1 + k)) << "K " << k << " t " << p.x;
  }
  choose("Wipe1");
  EXPECT_EQ(items(win->timeChart()), 0u);
  EXPECT_FALSE(win->plotted(TransPlot::TimeResponse));
}

TEST_F(TransWinTest, ElementTogglesKeepOneElementIn)
{
  struct Step {
    const char* item;
    bool compIn, plantIn;
  };
  const Step steps[] = {{"Plant1", true, false},  // the plant out brings the compensator in
                        {"Compensator1", false, true},
                        {"Compensator1", true, true},
                        {"Plant1", true, false}};
  for (const Step& s : steps) {
    choose(s.item);
    EXPECT_EQ(st().loop.compIn, s.compIn) << s.item;
    EXPECT_EQ(st().loop.plantIn, s.plantIn) << s.item;
    EXPECT_EQ(win->findChild<QAction*>(QStringLiteral("Compensator1"))->isChecked(), s.compIn);
    EXPECT_EQ(button("PlantSpdBtn")->isChecked(), s.plantIn);
  }
  // The controller alone runs only in open loop: its output is the
  // compensator's step response, 0.5 + t for (1+0.5s)/s.
  choose("Go1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Controller alone must be open-loop"));
  choose("Openloop1");
  EXPECT_TRUE(button("OpenLoopSpdBtn")->isChecked());
  choose("Go1");
  ASSERT_TRUE(run().valid);
  EXPECT_NEAR(run().trace[static_cast<std::size_t>(run().pointCount - 1)].y, 10.5, 0.01 * 10.5);
}

TEST_F(TransWinTest, CursorNeedsARunThatIsDrawnAndComplete)
{
  int cursors = 0;
  answer([&cursors](QDialog& dlg) {
    cursors += dlg.objectName() == QLatin1String("TransCursorDlg");
    click(dlg, "CloseBtn");
  });
  const auto cursor = [&](bool opens, const char* when) {
    const int before = cursors;
    const qsizetype messages = shown().size();
    choose("Plotcursor2");
    EXPECT_EQ(cursors - before, opens ? 1 : 0) << when;
    ASSERT_EQ(shown().size() - messages, opens ? 0 : 1) << when;
    if (!opens) {
      EXPECT_EQ(shown().last().caption, QStringLiteral("Warning"));
      EXPECT_EQ(lastMessage(), QStringLiteral("You need a plot for the cursor")) << when;
    }
  };
  cursor(false, "before any Go");
  choose("Go1");
  cursor(true, "after a run");
  const std::size_t drawn = items(win->timeChart());
  SetText(st().refText, "sin(");
  choose("Go1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Invalid reference input function"));
  EXPECT_EQ(items(win->timeChart()), drawn) << "a failed run draws nothing";
  cursor(false, "after a failed run: the plot stays, its run is gone");
  SetText(st().refText, "1");
  choose("Go1");
  choose("Wipe1");
  cursor(false, "after Wipe");
}

TEST_F(TransWinTest, CostLineCutsLongTextsAndLeavesTheShortcutsToTheWindow)
{
  // integral of e^2 for e = 1 - y = (1 + e^{-2t})/2 over 0..10.
  const double exact = 2.5 + 0.25 * (1 - std::exp(-20.0)) + 0.0625 * (1 - std::exp(-40.0));
  struct Case {
    const char* cost;
    const char* shown;
  };
  const Case cases[] = {{"integ(e*e)", "integ(e*e)"},
                        {"integ(e*e)+0*t", "integ(e*e)+0*t"},  // 14 characters: whole
                        {"integ(e*e)+00*t", "integ(e*e)+0..."},
                        {"integ(e*e)+0*(t+y+u)", "integ(e*e)+0..."}};
  st().points = 1000;
  EXPECT_FALSE(win->costPanelShown());
  for (const Case& c : cases) {
    answer([&c](QDialog& dlg) {
      type(dlg, "CostFnEdit", QLatin1String(c.cost));
      dlg.findChild<QCheckBox*>(QStringLiteral("CostFnChk"))->setChecked(true);
      click(dlg, "OKBtn");
    });
    choose("Config1");
    EXPECT_TRUE(win->costPanelShown()) << c.cost;
    QApplication::processEvents();
    auto* panel = win->findChild<QWidget*>(QStringLiteral("CostFnPanel"));
    EXPECT_EQ(panel->height(), panel->sizeHint().height()) << "one line: the chart keeps the rest";
    choose("Go1");
    ASSERT_TRUE(run().costEvaluated) << lastMessage().toStdString();
    EXPECT_NEAR(run().cost, exact, 0.01 * exact) << c.cost;
    EXPECT_EQ(win->costLine(),
              QLatin1String(c.shown) + QStringLiteral(" = ") + QString::fromStdString(FormatModelNumber(run().cost)));
  }

  // A click on the read-only cost line leaves the window's shortcuts to the
  // window: Ctrl+A autoscales instead of selecting the line's text.
  TRChart* c = win->timeChart();
  c->ZoomTo(2, 3, 4, 5);
  auto* line = win->findChild<QLineEdit*>(QStringLiteral("CostFnEdit"));
  frame->activateWindow();  // as the user's click does, after the dialog
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus ? focus : frame.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(line->hasSelectedText());
  EXPECT_EQ(c->RangeLoX(), 0.0);
  EXPECT_EQ(c->RangeHiX(), st().duration) << "autoscaled";
  EXPECT_LT(c->RangeLoY(), 0.0);
}

TEST_F(TransWinTest, PlotTypeSwitchRerunsGoWhereThereIsAPlot)
{
  choose("PhasePlot2");
  EXPECT_EQ(win->chart(), win->phaseChart());
  EXPECT_TRUE(win->findChild<QAction*>(QStringLiteral("PhasePlot1"))->isChecked());
  choose("Go1");
  EXPECT_EQ(items(win->phaseChart()), 1u);  // one path
  choose("TimePlot1");
  EXPECT_EQ(items(win->timeChart()), 0u) << "no plot there: no run";
  choose("PhasePlot1");
  ASSERT_EQ(items(win->phaseChart()), 2u) << "the plot there is run again";
  EXPECT_EQ(run().plot, TransPlot::PhasePlane);

  // A new axis function names its axis (cut to 50 characters) and wipes
  // the path of the old one.
  const QString x = QStringLiteral("y+0*(t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t+t)");
  answer([&x](QDialog& dlg) {
    type(dlg, "PPXAxisFnEdit", x);
    click(dlg, "OKBtn");
  });
  choose("Config1");
  EXPECT_EQ(win->phaseChart()->IdAbscissa(), x.left(50));
  EXPECT_EQ(items(win->phaseChart()), 0u);
  EXPECT_FALSE(win->plotted(TransPlot::PhasePlane));
}

TEST_F(TransWinTest, AutoscaleFitsTheRunAndTheReadoutFollowsThePlotType)
{
  // Output 0..0.5, control effort 1..0.5, reference 1: data 0..1 with 5 % margins.
  st().duration = 5;
  win->chart()->ZoomTo(2, 3, 4, 5);
  choose("Plotcontroleffort1");  // effort off ...
  choose("Plotcontroleffort1");  // ... and on again
  EXPECT_TRUE(win->findChild<QAction*>(QStringLiteral("Plotcontroleffort1"))->isChecked());
  choose("Autoscale1");
  const TRChart* c = win->timeChart();
  EXPECT_EQ(c->RangeLoX(), 0.0);
  EXPECT_EQ(c->RangeHiX(), 5.0) << "the time axis spans the duration";
  EXPECT_NEAR(c->RangeLoY(), -0.05, 1e-6);
  EXPECT_NEAR(c->RangeHiY(), 1.05, 1e-6);
  EXPECT_EQ(items(win->timeChart()), 3u) << "effort, output and reference";
  win->graph().MouseMoveInChart(true, 2.5, 0.25);
  EXPECT_EQ(StatusPanel(1), QStringLiteral("Time = 2.5,  Value = 0.25"));

  choose("PhasePlot1");
  choose("Autoscale1");
  // y runs over 0..0.5 (to 0.5 (1 - e^-10)), diff(y) from 1 down to 0.
  const TRChart* p = win->phaseChart();
  const double yEnd = FirstOrderStep(1, 5);
  EXPECT_NEAR(p->RangeLoX(), -0.05 * yEnd, 1e-3);
  EXPECT_NEAR(p->RangeHiX(), 1.05 * yEnd, 1e-3);
  win->graph().MouseMoveInChart(true, 0.125, 0.5);
  EXPECT_EQ(StatusPanel(1), QStringLiteral("X = 0.125,  Y = 0.5"));
}

// The unit step of 1/(s^2+s+1) (the plant 1/(s(s+1)) in closed loop):
// zeta = 0.5, wn = 1.
double SecondOrderStep(double t)
{
  const double wd = std::sqrt(0.75);
  return 1 - std::exp(-0.5 * t) * (std::cos(wd * t) + 0.5 / wd * std::sin(wd * t));
}

// First time the closed form reaches level (bisection on the rising edge).
double FirstReach(double level)
{
  double lo = 0, hi = 2.5;
  for (int i = 0; i < 60; ++i)
    (SecondOrderStep(0.5 * (lo + hi)) < level ? lo : hi) = 0.5 * (lo + hi);
  return lo;
}

TEST_F(TransWinTest, CharacteristicsAgreeWithTheClosedForm)
{
  choose("Characteristics1");
  EXPECT_EQ(lastMessage(), QStringLiteral("You need a time response for its characteristics"));
  SetText(Sys().den[kPlant], "s(s+1)");
  st().duration = 20;
  st().points = 1000;
  choose("Go1");
  ASSERT_TRUE(run().valid) << lastMessage().toStdString();

  // Settling: the last time the closed form is outside 1 +- 0.05, on a fine grid.
  double settle = 0;
  for (double t = 0; t <= 20; t += 1e-4)
    if (std::fabs(SecondOrderStep(t) - 1) > 0.05)
      settle = t;
  const double wd = std::sqrt(0.75);
  ResponseCharacteristics c;
  ASSERT_TRUE(ComputeCharacteristics(run(), c));
  const std::size_t before = items(win->timeChart());
  answer([&](QDialog& dlg) {
    EXPECT_NEAR(number(dlg, "FinalValue"), 1.0, 1e-3);
    EXPECT_NEAR(number(dlg, "PeakValue"), 1 + std::exp(-kPi * 0.5 / wd), 2e-3);
    EXPECT_NEAR(number(dlg, "PeakTime"), kPi / wd, 0.03);
    EXPECT_NEAR(text(dlg, "OvershootValue").chopped(2).toDouble(), 100 * std::exp(-kPi * 0.5 / wd), 0.2);
    EXPECT_TRUE(text(dlg, "OvershootValue").endsWith(QStringLiteral(" %")));
    EXPECT_NEAR(number(dlg, "RiseTimeValue"), FirstReach(0.9) - FirstReach(0.1), 0.03);
    EXPECT_NEAR(number(dlg, "SettlingTimeValue"), settle, 0.03);
    // The dialog shows what the measuring routine found, in the user's format.
    EXPECT_EQ(text(dlg, "SettlingTimeValue"), QString::fromStdString(FormatModelNumber(c.settlingTime)));
    click(dlg, "MarkCharBtn");
    EXPECT_FALSE(dlg.findChild<QAbstractButton*>(QStringLiteral("MarkCharBtn"))->isEnabled());
    click(dlg, "CloseBtn");
  });
  choose("Characteristics1");
  EXPECT_GT(items(win->timeChart()), before + 5) << "final line, peak, 10/90 % and settling marks";

  // A response ending at zero has no relative measures.
  SetText(st().refText, "0");
  choose("Go1");
  answer([](QDialog& dlg) {
    for (const char* name : {"OvershootValue", "RiseTimeValue", "SettlingTimeValue"})
      EXPECT_EQ(text(dlg, name), QStringLiteral("none")) << name;
    click(dlg, "CloseBtn");
  });
  choose("Characteristics1");
  choose("PhasePlot1");
  choose("Characteristics1");
  EXPECT_EQ(lastMessage(), QStringLiteral("You need a time response for its characteristics"));
}

// A family over the gain of 1/(s+1) in closed loop: each member is the
// closed form at its gain in its graded pen, the document's gain 1 bold over
// them, the legend names them, the pointer reads the nearest member, the
// characteristics list every member, and a member whose loop fails leaves
// nothing.
TEST_F(TransWinTest, FamilyDrawsEveryMemberTheCurrentBoldAndReadsTheNearest)
{
  const auto setFamily = [this](int over, const char* from, const char* to, const char* members, bool log) {
    answer([=](QDialog& dlg) {
      dlg.findChild<QCheckBox*>(QStringLiteral("FamilyOnCheck"))->setChecked(true);
      dlg.findChild<QComboBox*>(QStringLiteral("FamilyParamCombo"))->setCurrentIndex(over);
      dlg.findChild<QCheckBox*>(QStringLiteral("FamilyLogCheck"))->setChecked(log);
      type(dlg, "FamilyFromEdit", QLatin1String(from));
      type(dlg, "FamilyToEdit", QLatin1String(to));
      type(dlg, "FamilyMembersEdit", QLatin1String(members));
      click(dlg, "OKBtn");
    });
    choose("Family1");
  };
  setFamily(kFamilyGain, "2", "8", "3", true);
  ASSERT_TRUE(win->familyOn());
  choose("Go1");
  const TimeFamily& f = win->family();
  ASSERT_EQ(f.members.count, 3);
  const DisplayList& list = win->timeChart()->Items();
  ASSERT_EQ(list.size(), 4u) << "three members and the current run";
  for (int m = 0; m < 4; ++m) {
    const ChartItem& it = list.item(static_cast<std::size_t>(m));
    const double k = m < 3 ? 2.0 * std::pow(2.0, m) : 1.0;
    ASSERT_EQ(it.kind, ItemKind::Polyline);
    EXPECT_EQ(it.colour, m < 3 ? FamilyPen(m, 3) : Sys().pen[kClosedOutputPen]) << m;
    EXPECT_EQ(it.code, m < 3 ? 0 : kCurrentCurveWidth) << m;
    ASSERT_EQ(it.count, 201u);
    for (std::size_t i = 0; i < it.count; i += 20) {
      const ChartPoint p = list.points(it)[i];
      EXPECT_NEAR(p.y, FirstOrderStep(k, p.x), 1e-4) << m << ' ' << i;
    }
  }
  const QLabel* legend = win->familyLegend();
  EXPECT_TRUE(legend->isVisible());
  for (const char* part : {"gain:", "&nbsp;2", "&nbsp;4", "&nbsp;8", "1 (current)"})
    EXPECT_TRUE(legend->text().contains(QLatin1String(part))) << part;
  EXPECT_TRUE(legend->text().contains(QStringLiteral("#%1").arg(FamilyPen(1, 3), 6, 16, QLatin1Char('0'))));

  // The pointer on a member's curve (a little off it) names that member.
  for (int m = 0; m < 3; ++m) {
    const double k = 2.0 * std::pow(2.0, m);
    win->graph().MouseMoveInChart(true, 3.0, FirstOrderStep(k, 3.0) + 0.01);
    EXPECT_EQ(StatusPanel(2), QStringLiteral("Nearest curve: member %1, gain = %2").arg(m + 1).arg(k));
  }

  // The characteristics of every member and of the current run.
  answer([&](QDialog& dlg) {
    auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("FamilyTable"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
      const double k = r < 3 ? 2.0 * std::pow(2.0, r) : 1.0;
      EXPECT_NEAR(table->item(r, 1)->text().toDouble(), FirstOrderStep(k, 10.0), 1e-3) << r;
      EXPECT_NEAR(table->item(r, 4)->text().toDouble(), 0.0, 1e-9) << "no overshoot " << r;
    }
    EXPECT_TRUE(table->item(3, 0)->text().endsWith(QStringLiteral(" (current)")));
    click(dlg, "CloseBtn");
  });
  choose("Characteristics1");

  // A member whose loop fails: its message, nothing stored, nothing drawn.
  SetText(Sys().den[kPlant], "a s+1");
  setFamily(0, "0", "1", "2", false);
  choose("Go1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Family member 1 (a = 0): Closed-loop systems must be strictly proper"));
  EXPECT_EQ(win->family().members.count, 0);
  EXPECT_EQ(list.size(), 4u);
  EXPECT_FALSE(legend->isVisible());
  EXPECT_EQ(win->nearestMember(3.0, 0.5), -1);

  // As many members as the dialog takes (the eleventh is refused there):
  // ten more curves and the current one, each the closed form at its gain.
  setFamily(kFamilyGain, "1", "10", "10", false);
  choose("Go1");
  ASSERT_EQ(win->family().members.count, kMaxFamilyMembers);
  ASSERT_EQ(list.size(), 4u + kMaxFamilyMembers + 1);
  for (int m = 0; m <= kMaxFamilyMembers; ++m) {
    const ChartItem& it = list.item(4u + static_cast<std::size_t>(m));
    const double k = m < kMaxFamilyMembers ? 1.0 + m : 1.0;
    ASSERT_EQ(it.count, 201u) << m;
    for (std::size_t i = 0; i < it.count; i += 40)
      EXPECT_NEAR(list.points(it)[i].y, FirstOrderStep(k, list.points(it)[i].x), 1e-4) << m << ' ' << i;
  }
}

}  // namespace
