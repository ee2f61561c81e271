// The root window through the frame: the plane and its marks following the
// sample-hold time and the elements, Go drawing one line per branch, the
// status bar, the contours and the scales dialog; marks and contours checked
// against poles and rays computed here.

#include "tests/gui/root/RootWinTestSupport.h"

#include "engine/base/Error.h"
#include "engine/model/NumberFormat.h"
#include "gui/root/RootScalesDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The poles of a plant written out, mapped by exp(sT) when T > 0.
std::vector<LC> Poles(const LPoly& den, double T)
{
  std::vector<LC> p = Roots(den);
  if (T > 0)
    for (LC& z : p)
      z = std::exp(z * static_cast<long double>(T));
  return p;
}

// Every expected point has a mark at it and there are no others.
void ExpectMarks(const std::vector<ChartItem>& marks, const std::vector<LC>& expected, const char* what)
{
  ASSERT_EQ(marks.size(), expected.size()) << what;
  for (const LC& z : expected)
    EXPECT_LT(Nearest(At(marks), z), 1e-9) << what << " at " << (double)z.real() << "," << (double)z.imag();
}

TEST_F(RootWinTest, PlaneAndMarksFollowTheSampleHoldTimeAndTheElements)
{
  // The start-up plant with its pole at -1 written as -a (a = 1 at start).
  SetText(Sys().den[kPlant], "(s+a)(s^2+1.4s+6)");
  const LPoly plantAlone = {6, 7.4L, 2.4L, 1};
  const LPoly plantA3 = {18, 10.2L, 4.4L, 1};  // (s+3)(s^2+1.4s+6)
  EXPECT_TRUE(win->splaneChart()->isVisible());
  EXPECT_FALSE(win->findChild<QAction*>("Unitcircle1")->isEnabled());

  const auto holdTime = [this](const char* t) {
    answer([t](QDialog& dlg) {
      type(dlg, "Edit1", QLatin1String(t));
      press(dlg, "OKBtn");
    });
    action("Sampleholdtime1")->trigger();
  };
  const auto parameterA = [this](const char* a) {
    answer([a](QDialog& dlg) {
      type(dlg, "aEdit", QLatin1String(a));
      press(dlg, "OKBtn");
    });
    action("Parameters1")->trigger();
  };
  const struct Step {
    const char* what;
    std::function<void()> act;
    bool zPlane;
    std::vector<LC> crosses, circles;
    bool circle;  // the unit circle drawn
  } steps[] = {
      {"compensator in", [this] { click("CompSpdBtn"); }, false, Roots({0, 6, 7.4L, 2.4L, 1}), {LC(-2, 0)}, false},
      {"plant out: the compensator alone", [this] { click("PlantSpdBtn"); }, false, {LC(0, 0)}, {LC(-2, 0)}, false},
      {"plant in", [this] { click("PlantSpdBtn"); }, false, Roots({0, 6, 7.4L, 2.4L, 1}), {LC(-2, 0)}, false},
      {"compensator out", [this] { click("CompSpdBtn"); }, false, Roots(plantAlone), {}, false},
      {"sampled: the z-plane", [&] { holdTime("0.5"); }, true, Poles(plantAlone, 0.5), {}, true},
      {"another sample-hold time", [&] { holdTime("0.2"); }, true, Poles(plantAlone, 0.2), {}, true},
      {"new parameters", [&] { parameterA("3"); }, true, Poles(plantA3, 0.2), {}, true},
      {"continuous again", [&] { holdTime("0"); }, false, Roots(plantA3), {}, false},
      {"parameters again", [&] { parameterA("1"); }, false, Roots(plantAlone), {}, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    TRChart* target = s.zPlane ? win->zplaneChart() : win->splaneChart();
    s.act();
    ASSERT_EQ(chart(), target);
    EXPECT_TRUE(target->isVisible());
    EXPECT_FALSE((s.zPlane ? win->splaneChart() : win->zplaneChart())->isVisible());
    QAction* circleItem = win->findChild<QAction*>(QStringLiteral("Unitcircle1"));
    EXPECT_EQ(circleItem->isEnabled(), s.zPlane);
    EXPECT_EQ(circleItem->isChecked(), s.zPlane);
    // The chart holds the present marks only: those of the loop as it was
    // are gone, also from a plane shown again.
    ExpectMarks(itemsOf(ItemKind::Mark, kMarkCross), s.crosses, "poles");
    if (!s.zPlane)  // the zeros of a sampled plant are its discretisation's
      ExpectMarks(itemsOf(ItemKind::Mark, kMarkCircle), s.circles, "zeros");
    EXPECT_EQ(itemsOf(ItemKind::Ellipse).size(), s.circle ? 1u : 0u);
    EXPECT_FALSE(Sys().strictCheck);
  }
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // The unit circle off wipes the z-plane (locus included); on draws it again.
  holdTime("0.5");
  click("GoSpdBtn");
  ASSERT_TRUE(win->traced());
  choose("Unitcircle1");
  EXPECT_FALSE(win->traced());
  EXPECT_TRUE(itemsOf(ItemKind::Polyline).empty());
  EXPECT_TRUE(itemsOf(ItemKind::Ellipse).empty());
  EXPECT_EQ(itemsOf(ItemKind::Mark, kMarkCross).size(), 3u);
  choose("Unitcircle1");
  ASSERT_EQ(itemsOf(ItemKind::Ellipse).size(), 1u);
  EXPECT_EQ(itemsOf(ItemKind::Ellipse)[0].x2, 1.0);

  // A sample-hold time changed while this window was not looking: the next
  // command finds the plane, its chart gets its marks, the locus goes there.
  Sys().sampleHold = 0;
  click("GoSpdBtn");
  ASSERT_EQ(chart(), win->splaneChart());
  ExpectMarks(itemsOf(ItemKind::Mark, kMarkCross), Roots(plantAlone), "poles after the switch");
  EXPECT_EQ(itemsOf(ItemKind::Polyline).size(), static_cast<std::size_t>(rec().result.branchCount));
  EXPECT_TRUE(win->traced());

  // The y range follows the window's shape.
  win->window()->resize(700, 300);
  QApplication::processEvents();
  const QRectF area = chart()->PlotArea();
  EXPECT_NEAR((chart()->RangeHiY() - chart()->RangeLoY()) / (chart()->RangeHiX() - chart()->RangeLoX()),
              area.height() / area.width(), 0.02);
}

// Go draws each branch as one line from its start, never jumping between
// branches; a failed Go draws nothing and leaves no cursor.
TEST_F(RootWinTest, GoDrawsOneLinePerBranch)
{
  const struct Case {
    const char *num, *den;
    bool compIn;
  } cases[] = {{"1", "(s+1)(s+3)", false}, {"6", "(s+1)(s^2+1.4s+6)", true}, {"s+3", "s(s+1)(s+2)(s+4)", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.den);
    Loop(c.num, c.den, c.compIn);
    click("WipeSpdBtn");
    click("GoSpdBtn");
    ASSERT_TRUE(win->traced());
    const LocusResult& r = rec().result;
    const std::vector<ChartItem> lines = itemsOf(ItemKind::Polyline);
    ASSERT_EQ(static_cast<int>(lines.size()), r.branchCount);
    std::size_t points = 0;
    for (int b = 0; b < r.branchCount; ++b) {
      const std::vector<ChartPoint> p = pointsOf(lines[b]);
      EXPECT_EQ(lines[b].colour, Sys().pen[1]);
      EXPECT_NEAR(p[0].x, r.starts[b].x, 1e-6);
      EXPECT_NEAR(p[0].y, r.starts[b].y, 1e-6);
      for (std::size_t i = 1; i < p.size(); ++i)
        EXPECT_LT(std::hypot(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y), 1.5 * r.step) << b << " " << i;
      points += p.size();
    }
    EXPECT_EQ(static_cast<int>(points), r.count);
  }
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // Autoscale fits the marks of the poles -1 and -3 with 100 % margins and
  // traces once more over the wiped chart.
  Loop("1", "(s+1)(s+3)");
  click("GoSpdBtn");
  click("AutoScaleSpdBtn");
  EXPECT_NEAR((chart()->RangeLoX() + chart()->RangeHiX()) / 2, -2, 1e-9);
  EXPECT_GE(chart()->RangeHiX() - chart()->RangeLoX(), 2 * 1.5 * 2 - 1e-9);
  EXPECT_EQ(itemsOf(ItemKind::Polyline).size(), 2u);
  EXPECT_TRUE(win->traced());

  Loop("1", "s+1000");
  const std::size_t before = chart()->Items().size();
  int dialogs = 0;
  MessageSeam::setModalHook([&](QDialog&) { return ++dialogs; });
  click("CursSpdBtn");
  EXPECT_EQ(lastMessage(), QStringLiteral("No loci on screen"));
  EXPECT_EQ(chart()->Items().size(), before);
  EXPECT_EQ(dialogs, 0) << "traced before, but the failed trace left no locus to walk";
}

TEST_F(RootWinTest, StatusBarShowsArgDampingAndPolarCoordinates)
{
  Loop("1", "(s+1)(s+3)");
  click("WipeSpdBtn");  // the window validates the new loop
  const auto panels = [this](double x, double y) {
    emit chart()->OnMouseMoveInChart(true, x, y);
    return frame->findChild<QLabel*>("StatusPanel1")->text() + " | " +
           frame->findChild<QLabel*>("StatusPanel2")->text();
  };
  // On the locus (arg G = -180) where the rays of damping ratio 0.5 cross it.
  EXPECT_EQ(panels(-2, 2 * std::sqrt(3.0)), "Real = -2, Imag = 3.464 | Arg{G(s)} = -180 deg, Damping ratio = 0.5");
  EXPECT_EQ(panels(1, 1), "Real = 1, Imag = 1 | Arg{G(s)} = -40.6 deg");  // -atan(1/2) - atan(1/4)
  choose("Polarcoordinates1");
  EXPECT_EQ(panels(-2, 2 * std::sqrt(3.0)), "Mag = 4, Ang = 120 deg | Arg{G(s)} = -180 deg, Damping ratio = 0.5");
  EXPECT_EQ(panels(0, 0).left(20), "Mag = 0, Ang = 0 deg");
  // Every read-out shows whole, also with nine significant figures.
  std::snprintf(Sys().numberFormat, sizeof Sys().numberFormat, "%s", "%0.9g");
  panels(-1.23456789, 2.3456789);
  const QLabel* panel2 = frame->findChild<QLabel*>("StatusPanel2");
  EXPECT_TRUE(panel2->text().contains("Damping ratio = 0.46"));
  EXPECT_LE(panel2->fontMetrics().horizontalAdvance(panel2->text()), panel2->contentsRect().width());
  std::snprintf(Sys().numberFormat, sizeof Sys().numberFormat, "%s", "%0.4g");
  // A loop that does not update shows no Arg and leaves nothing pending.
  SetText(Sys().den[kPlant], "(s+1");
  Sys().factoredDecodeDone = false;
  EXPECT_EQ(panels(-1, 1), "Mag = 1.414, Ang = 135 deg | ");
  EXPECT_FALSE(ErrorPending());
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(RootWinTest, ContoursFromTheirDialogs)
{
  Sys().showMarkLabels = true;
  // Damping ratios from the contours dialog at its start values: rays from
  // the origin at cos(angle) = -zeta, each labelled.
  QString caption, labels;
  answer([&](QDialog& dlg) {
    caption = dlg.windowTitle();
    for (const char* name : {"StartLabel", "EndLabel"})
      labels += dlg.findChild<QLabel*>(QLatin1String(name))->text() + ",";
    labels += text(dlg, "StartValueEdit") + "," + text(dlg, "EndValueEdit") + "," + text(dlg, "IncrementValueEdit");
    press(dlg, "OKBtn");
  });
  std::size_t first = chart()->Items().size();
  choose("Dampingratiocontour1");
  EXPECT_EQ(caption, "Damping ratio contour");
  EXPECT_EQ(labels, "Start zeta value,End zeta value,0.1,0.9,0.2");
  const std::vector<ChartItem> rays = itemsOf(ItemKind::Polyline, 0, first);
  ASSERT_EQ(rays.size(), 5u);
  for (std::size_t k = 0; k < rays.size(); ++k) {
    const double zeta = 0.1 + 0.2 * static_cast<double>(k);
    const std::vector<ChartPoint> p = pointsOf(rays[k]);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(rays[k].colour, Sys().pen[3]);
    EXPECT_EQ(p[1].x + p[1].y, 0.0);
    for (const ChartPoint& end : {p[0], p[2]})
      EXPECT_NEAR(-end.x / std::hypot(end.x, end.y), zeta, 1e-6) << zeta;  // stored as floats
  }
  const std::vector<ChartItem> texts = itemsOf(ItemKind::Text, 0, first);
  ASSERT_FALSE(texts.empty());
  EXPECT_STREQ(texts[0].text, "  0.1");

  // A refused end value keeps the dialog open; Cancel draws nothing.
  bool open = false;
  answer([&](QDialog& dlg) {
    type(dlg, "EndValueEdit", "1.5");
    press(dlg, "OKBtn");
    open = dlg.isVisible();
    press(dlg, "CancelBtn");
  });
  first = chart()->Items().size();
  choose("Dampingratiocontour2");
  EXPECT_TRUE(open);
  EXPECT_EQ(lastMessage(), "End zeta value must lie between 0 and 1");
  EXPECT_EQ(chart()->Items().size(), first);

  // Settling time: cancelled, the line for the time there was (x = -3/1);
  // then 2 s, x = -1.5, labelled.
  for (const char* t : {"", "2"}) {
    answer([t](QDialog& dlg) {
      EXPECT_EQ(dlg.windowTitle(), "5% settling time");
      type(dlg, "Edit1", QLatin1String(t));
      press(dlg, *t ? "OKBtn" : "CancelBtn");
    });
    first = chart()->Items().size();
    choose("Settlingtimecontour1");
    const std::vector<ChartItem> line = itemsOf(ItemKind::Polyline, 0, first);
    ASSERT_EQ(line.size(), 1u);
    const std::vector<ChartPoint> p = pointsOf(line[0]);
    const double x = *t ? -1.5 : -3.0;
    EXPECT_EQ(p.front().x, x);
    EXPECT_EQ(p.back().x, x);
    EXPECT_EQ(p.front().y, static_cast<float>(chart()->RangeLoY()));
    EXPECT_EQ(p.back().y, static_cast<float>(chart()->RangeHiY()));
  }
  EXPECT_STREQ(itemsOf(ItemKind::Text, 0, first)[0].text, "  2");
}

TEST_F(RootWinTest, ScalesRefuseBadEntriesAndStoreTheRectangle)
{
  const struct {
    const char *edit, *text, *message;
  } refused[] = {
      {"XminEdit", "1e6", "Max must exceed Min"},
      {"XmaxEdit", "-1e6", "Max must exceed Min"},
      {"YminEdit", "1+*2", "Syntax error"},
      {"YminEdit", "1e21", "Y-axis min must lie between -1E20 and 1E20"},  // the trace's own check
      {"npointsEdit", "4", "No of Points must lie between 5 and 1000"},
      {"npointsEdit", "1000.5", "No of Points must lie between 5 and 1000"},  // before truncation
  };
  const double ends = chart()->RangeLoX() + chart()->RangeHiX();
  for (const auto& c : refused) {
    bool open = false;
    answer([&](QDialog& dlg) {
      type(dlg, c.edit, QLatin1String(c.text));
      press(dlg, "OKBtn");
      open = dlg.isVisible();
      press(dlg, "CancelBtn");
    });
    click("ScaleSpdBtn");
    EXPECT_TRUE(open) << c.text;
    EXPECT_EQ(lastMessage(), QLatin1String(c.message)) << c.text;
    EXPECT_EQ(chart()->RangeLoX() + chart()->RangeHiX() + rec().points, ends + 200) << c.text;
  }

  QString focus;
  answer([&](QDialog& dlg) {
    auto* e = qobject_cast<QLineEdit*>(dlg.focusWidget());
    focus = e ? e->objectName() + e->selectedText() : QString();
    type(dlg, "npointsEdit", "300.7");
    type(dlg, "XminEdit", "-2*pi");
    type(dlg, "YminEdit", "-2");
    press(dlg, "OKBtn");
  });
  click("ScaleSpdBtn");
  EXPECT_EQ(focus, "npointsEdit200");
  EXPECT_EQ(rec().points, 300);
  // The rectangle asked for stays in view (in a flat window x widens).
  EXPECT_LE(chart()->RangeLoX(), -2 * M_PI);
  EXPECT_LE(chart()->RangeLoY(), -2.0);
  // The trace's rectangle is the chart's, the y maximum from its shape.
  EXPECT_EQ(rec().xMin, chart()->RangeLoX());
  EXPECT_EQ(rec().yMin, -2.0);
  EXPECT_EQ(rec().yMax, chart()->RangeHiY());
  const QRectF area = chart()->PlotArea();
  EXPECT_NEAR((rec().yMax - rec().yMin) / (rec().xMax - rec().xMin), area.height() / area.width(), 0.02);

  EXPECT_EQ(TRootScalesDlg(nullptr).Execute(), QDialog::Rejected);
  EXPECT_EQ(lastMessage(), "Null child pointer");
}

TEST_F(RootWinTest, ScalesDialogEditsACopyAndHandsItBackOnOK)
{
  // Shown from the record it is given; OK offers what was typed (points cut
  // to a whole number, the y max as given) to take; a refusal is shown and
  // keeps the dialog open with the record as it was; the window's record
  // and chart are never touched by the dialog itself.
  const AxisRanges chartBefore = RangesOf(*chart());
  const int pointsBefore = rec().points;
  TRootScalesDlg dlg(win);
  dlg.scales = {{-3.0, 1.0, -2.0, 7.0}, 50};
  std::vector<RootScales> offered;
  dlg.take = [&](const RootScales& s) {
    offered.push_back(s);
    return offered.size() == 1 ? QStringLiteral("Too tall") : QString();
  };
  QString shown;
  bool openAfterRefusal = false;
  double kept = 0.0;
  answer([&](QDialog& d) {
    for (const char* name : {"XminEdit", "XmaxEdit", "YminEdit", "npointsEdit"})
      shown += d.findChild<QLineEdit*>(QLatin1String(name))->text() + ' ';
    type(d, "XmaxEdit", "4");
    type(d, "npointsEdit", "77.9");
    press(d, "OKBtn");
    openAfterRefusal = d.isVisible();
    kept = dlg.scales.axes.xMax;
    press(d, "OKBtn");
  });
  EXPECT_EQ(dlg.Execute(), QDialog::Accepted);
  EXPECT_EQ(shown, "-3 1 -2 50 ");
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(kept, 1.0);
  EXPECT_EQ(lastMessage(), "Too tall");
  ASSERT_EQ(offered.size(), 2u);
  const RootScales& s = dlg.scales;
  EXPECT_EQ(s.axes.xMin, -3.0);
  EXPECT_EQ(s.axes.xMax, 4.0);
  EXPECT_EQ(s.axes.yMin, -2.0);
  EXPECT_EQ(s.axes.yMax, 7.0);
  EXPECT_EQ(s.points, 77);
  EXPECT_EQ(offered[1].axes.xMax, 4.0);
  EXPECT_EQ(offered[1].points, 77);
  EXPECT_EQ(rec().points, pointsBefore);
  const AxisRanges chartAfter = RangesOf(*chart());
  EXPECT_EQ(chartAfter.xMin, chartBefore.xMin);
  EXPECT_EQ(chartAfter.xMax, chartBefore.xMax);
  EXPECT_EQ(chartAfter.yMin, chartBefore.yMin);
  EXPECT_EQ(chartAfter.yMax, chartBefore.yMax);

  // Cancel hands nothing back, whatever was typed.
  offered.clear();
  answer([&](QDialog& d) {
    type(d, "XminEdit", "-9");
    press(d, "CancelBtn");
  });
  EXPECT_EQ(dlg.Execute(), QDialog::Rejected);
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(dlg.scales.axes.xMin, -3.0);
}

}  // namespace

namespace {

// The parameter mode: a refused entry keeps the dialog open and stores
// nothing; Go then draws every branch through roots of the characteristic
// polynomial s^3 + (a+1)s^2 + (a+6)s + 12, ticks at the marked values, and
// the closed-loop report lists the stable gain and parameter ranges.
TEST_F(RootWinTest, ParameterLocusFromItsDialog)
{
  Loop("6", "(s+1)(s^2+as+6)");
  const auto fill = [](QDialog& dlg, int parameter, const char* from, const char* to, const char* points,
                       const char* marks) {
    dlg.findChild<QCheckBox*>("OnCheck")->setChecked(true);
    dlg.findChild<QComboBox*>("ParameterCombo")->setCurrentIndex(parameter + 1);
    type(dlg, "FromEdit", QLatin1String(from));
    type(dlg, "ToEdit", QLatin1String(to));
    type(dlg, "PointsEdit", QLatin1String(points));
    type(dlg, "MarksEdit", QLatin1String(marks));
  };
  const struct {
    int parameter;
    const char *from, *to, *points, *marks, *message;
  } refused[] = {
      {0, "3", "-2", "50", "", "Max must exceed Min"},
      {1, "0", "1", "50", "", "Parameter b is not used by the loop"},
      {0, "-2", "3", "1", "", "No of Points must lie between 2 and 10000"},
      {0, "-2", "3", "50", "1, 1+*2", "Syntax error"},
  };
  for (const auto& c : refused) {
    bool open = false;
    answer([&](QDialog& dlg) {
      fill(dlg, c.parameter, c.from, c.to, c.points, c.marks);
      press(dlg, "OKBtn");
      open = dlg.isVisible();
      press(dlg, "CancelBtn");
    });
    choose("Parameterlocus1");
    EXPECT_TRUE(open) << c.message;
    EXPECT_EQ(lastMessage(), QLatin1String(c.message));
    EXPECT_FALSE(win->paramSettings().on) << c.message;
  }
  const auto refusals = shown().size();

  answer([&](QDialog& dlg) {
    fill(dlg, 0, "-2", "3", "50", "1, 2");
    press(dlg, "OKBtn");
  });
  choose("Parameterlocus1");
  ASSERT_TRUE(win->paramSettings().on);
  click("WipeSpdBtn");
  const std::size_t before = chart()->Items().size();
  click("GoSpdBtn");
  ASSERT_TRUE(win->traced());
  const auto charPoly = [](long double a) { return LPoly{12, a + 6, a + 1, 1}; };
  const std::vector<ChartItem> lines = itemsOf(ItemKind::Polyline, 0, before);
  ASSERT_EQ(lines.size(), 3u);
  const ParamLocus& locus = *win->paramLocus();
  for (std::size_t b = 0; b < lines.size(); ++b) {
    const std::vector<ChartPoint> p = pointsOf(lines[b]);
    ASSERT_EQ(static_cast<int>(p.size()), locus.count);
    EXPECT_EQ(lines[b].colour, Sys().pen[1]);
    for (std::size_t k = 0; k < p.size(); ++k) {
      const LC z(p[k].x, p[k].y);
      EXPECT_LT(std::abs(Eval(charPoly(locus.samples[k].p), z)), 1e-9L * (1 + std::pow(std::abs(z), 3)));
    }
  }
  EXPECT_EQ(itemsOf(ItemKind::Mark, kMarkDot, before).size(), 6u);  // the roots at -2 and at 3
  const std::vector<ChartItem> ticks = itemsOf(ItemKind::Mark, kMarkTick, before);
  ASSERT_EQ(ticks.size(), 6u);
  for (std::size_t i = 0; i < ticks.size(); ++i)
    EXPECT_LT(Nearest(Roots(charPoly(i < 3 ? 1 : 2)), LC(ticks[i].x, ticks[i].y)), 1e-9L) << i;
  EXPECT_GT(rec().result.count, 0);  // the cursor's points
  EXPECT_EQ(shown().size(), refusals) << lastMessage().toStdString();

  // With a = 1: s^3 + 2s^2 + 7s + 6 + 6K, stable while 14 > 6 + 6K; the
  // parameter from a^2 + 7a - 6 = 0 on.
  QStringList report;
  answer([&](QDialog& dlg) {
    report = dlg.findChild<QTextEdit*>("RichEdit")->toPlainText().split('\n');
    press(dlg, "CloseBtn");
  });
  click("ClosedLoopSpdBtn");
  const int gainAt = static_cast<int>(report.indexOf("Stable gain ranges:"));
  ASSERT_GE(gainAt, 0) << report.join('|').toStdString();
  EXPECT_EQ(report.value(gainAt + 2), "0\t1.333");
  const int paramAt = static_cast<int>(report.indexOf("Stable a ranges:"));
  ASSERT_GT(paramAt, gainAt);
  EXPECT_EQ(report.value(paramAt + 2), "0.772\t3");

  // A value where a text fails interrupts the locus; the status bar says where.
  Loop("6", "(s+1)(s+[1/a])");
  answer([&](QDialog& dlg) {
    fill(dlg, 0, "-1", "1", "9", "");
    press(dlg, "OKBtn");
  });
  choose("Parameterlocus1");
  click("GoSpdBtn");
  EXPECT_EQ(frame->findChild<QLabel*>("StatusPanel2")->text(), "Locus interrupted for a from 0 to 0: Division by zero");
  EXPECT_EQ(shown().size(), refusals) << lastMessage().toStdString();
}

}  // namespace
