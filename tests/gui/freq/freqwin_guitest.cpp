// The frequency window: views with their menus and read-outs, the
// describing-function mode's refusals and states, element toggles and
// inputs with curves checked against L(j w), M contours through their
// dialog checked against |L/(1 + L)| = M, and the margins dialog against
// crossings found here by bisection.

#include "tests/gui/freq/FreqWinTestSupport.h"

#include "engine/chart/Pens.h"
#include "engine/freq/FreqFamily.h"
#include "engine/freq/Margins.h"
#include "gui/base/FrameAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include "gui/window/LiveDrag.h"

#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

#include <cmath>

namespace {

TEST_F(FreqWinTest, ViewsSwitchChartsMenusAndReadouts)
{
  const struct {
    const char* item;
    FreqView view;
    bool subTicks, unitCircle, contours;
    double x, y;
    const char* panel1;
    const char* panel2;
  } kCases[] = {
      {"Nichols1", FreqView::Nichols, false, false, true, -180, 6, "Gain = 6 dB, Phase = -180 deg", ""},
      {"BodeGain2", FreqView::BodeGain, true, false, false, 2, -3.5, "Frequency = 2 rad/s,  Gain = -3.5 dB", ""},
      {"BodePhase1", FreqView::BodePhase, true, false, false, 0.5, -90, "Frequency = 0.5 rad/s,  Phase = -90 deg", ""},
      {"InverseNyquist2", FreqView::InverseNyquist, false, true, true, -1, 1, "Real = -1, Imag = 1",
       "Mag = 1.414, Ang = 135 deg"},
      {"DirectNyquist1", FreqView::DirectNyquist, false, true, true, 0, 0, "Real = 0, Imag = 0",
       "Mag = 0, Ang = 0 deg"},
  };
  const char* names[2][kFreqViews] = {{"DirectNyquist1", "InverseNyquist1", "Nichols1", "BodeGain1", "BodePhase1"},
                                      {"DirectNyquist2", "InverseNyquist2", "Nichols2", "BodeGain2", "BodePhase2"}};
  for (const auto& c : kCases) {
    win->graph().MouseMoveInChart(true, 0.1, 0.1);
    choose("Relativemode1");
    choose(c.item);
    EXPECT_FALSE(win->graph().relative()) << "relative mode ends with its chart";
    ASSERT_EQ(win->view(), c.view) << c.item;
    for (int v = 0; v < kFreqViews; ++v) {
      const bool current = v == static_cast<int>(c.view);
      EXPECT_EQ(win->ChartOfView(static_cast<FreqView>(v))->isVisible(), current) << c.item << " chart " << v;
      for (const auto& menu : names)
        EXPECT_EQ(item(menu[v])->isChecked(), current) << menu[v] << " after " << c.item;
    }
    for (const auto& [name, on] : {std::pair{"HorizSubTicks1", c.subTicks},
                                   {"HorizSubTicks2", c.subTicks},
                                   {"Unitcircle1", c.unitCircle},
                                   {"MContour1", c.contours},
                                   {"MContour2", c.contours}})
      EXPECT_EQ(item(name)->isEnabled(), on) << name << " after " << c.item;
    win->graph().MouseMoveInChart(true, c.x, c.y);
    EXPECT_EQ(StatusPanel(1), QLatin1String(c.panel1));
    EXPECT_EQ(StatusPanel(2), QLatin1String(c.panel2));
  }
  choose("DirectNyquist1");
  EXPECT_TRUE(item("DirectNyquist1")->isChecked()) << "the current view chosen again keeps its check";
}

TEST_F(FreqWinTest, DescribingFunctionModeRefusalsAndStates)
{
  const struct {
    const char* loop;
    const char* view;
    const char* message;
  } kRefusals[] = {
      // Both refusals apply: only the later message is shown.
      {"Closedloop1", "BodeGain1", "Describing function not available in the Bode views"},
      {"Closedloop1", "DirectNyquist1", "Describing function only available in open-loop"},
      {"Openloop1", "BodePhase1", "Describing function not available in the Bode views"},
  };
  for (const auto& r : kRefusals) {
    choose(r.loop);
    choose(r.view);
    const qsizetype before = shown().size();
    choose("Describingfunction1");
    ASSERT_EQ(shown().size(), before + 1) << r.message;
    EXPECT_EQ(lastMessage(), QLatin1String(r.message));
    EXPECT_FALSE(win->describingFunctionMode() || item("Describingfunction2")->isChecked());
  }

  choose("Openloop1");
  choose("Nichols1");
  choose("Describingfunction2");
  ASSERT_TRUE(win->describingFunctionMode() && item("Describingfunction1")->isChecked());
  EXPECT_TRUE(st().loop.fwdNl) << "the forward nonlinearity is chosen when none is";
  for (const char* off : {"ClosedLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn"})
    EXPECT_FALSE(button(off)->isEnabled()) << off;
  EXPECT_FALSE(item("Closedloop1")->isEnabled());
  EXPECT_TRUE(button("FwdNlinSpdBtn")->isEnabled() && button("FwdNlinSpdBtn")->isChecked());
  EXPECT_TRUE(win->state().diagram.fwdNl.showContent && !win->state().diagram.plant.showContent);

  // Exactly one nonlinearity; the element commands do nothing meanwhile.
  const struct {
    const char* item;
    bool fwd, fbk;
  } kSteps[] = {{"FbkNlin1", false, true}, {"FbkNlin1", true, false}, {"Plant1", true, false}};
  for (const auto& s : kSteps) {
    choose(s.item);
    EXPECT_TRUE(st().loop.fwdNl == s.fwd && st().loop.fbkNl == s.fbk && st().loop.plantIn) << s.item;
    EXPECT_EQ(button("FbkNlinSpdBtn")->isChecked(), s.fbk) << s.item;
  }

  choose("BodeGain2");
  EXPECT_EQ(lastMessage(), QStringLiteral("Describing function not available in the Bode views"));
  EXPECT_TRUE(win->view() == FreqView::Nichols && item("Nichols1")->isChecked() && !item("BodeGain1")->isChecked());
  win->ChangeView(FreqView::BodePhase);  // a Bode view reached some other way
  choose("Go1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Describing functions not available in Bode views"));
  EXPECT_EQ(win->chart()->Items().size(), 0u);

  choose("Nichols1");
  choose("Describingfunction1");
  EXPECT_FALSE(win->describingFunctionMode());
  EXPECT_TRUE(button("ClosedLoopSpdBtn")->isEnabled() && button("CompSpdBtn")->isEnabled());
  EXPECT_FALSE(button("FwdNlinSpdBtn")->isEnabled());
}

TEST_F(FreqWinTest, CurvesFollowTheElementsAndInputsUntilWiped)
{
  // Each step, then Go: the newest curve against its formula at the grid.
  const struct {
    const char* item;
    const char* input;  // the configuration dialog's choice, or none
    bool compIn, plantIn, closed;
    std::function<Cld(Cld gc, Cld kgp)> value;
  } kSteps[] = {
      {"Compensator1", nullptr, true, true, false, [](Cld gc, Cld kgp) { return gc * kgp; }},
      {"Plant1", nullptr, true, false, false, [](Cld gc, Cld) { return gc; }},
      // The compensator out while the plant is out: the plant comes in.
      {"Compensator1", nullptr, false, true, false, [](Cld, Cld kgp) { return kgp; }},
      {"Compensator1", "LoadRadio", true, true, true, [](Cld gc, Cld kgp) { return kgp / (1.0L + gc * kgp); }},
      {"Closedloop1", "NoiseRadio", true, true, true, [](Cld gc, Cld kgp) { return 1.0L / (1.0L + gc * kgp); }},
  };
  const TRChart* c = win->chart();
  for (const auto& s : kSteps) {
    choose(s.item);
    if (s.closed)
      choose("Closedloop1");
    if (s.input) {
      answer([&s](QDialog& dlg) {
        dlg.findChild<QRadioButton*>(QLatin1String(s.input))->click();
        press(dlg, "OKBtn");
      });
      choose("Config1");
      const DiagramView d = win->state().diagram;
      EXPECT_TRUE(d.load == st().loop.loadInput && d.noise == st().loop.noiseInput && !d.reference) << s.input;
    }
    ASSERT_TRUE(st().loop.compIn == s.compIn && st().loop.plantIn == s.plantIn) << s.item;
    EXPECT_EQ(button("CompSpdBtn")->isChecked(), s.compIn);
    choose("Go1");
    const auto lines = Polylines(*c, Sys().pen[s.closed ? 1 : 0]);
    ASSERT_FALSE(lines.empty()) << s.item;
    ASSERT_EQ(static_cast<int>(lines.back().size()), st().set.points);
    for (std::size_t i = 0; i < lines.back().size(); i += 17) {
      const long double w = st().result.omega[i];
      const Cld v = s.value((1.0L + 0.5L * Cld(0, w)) / Cld(0, w), StartUpLoop(w, false));
      const ChartPoint& p = lines.back()[i];
      EXPECT_LE(std::abs(Cld(p.x, p.y) - v), 1e-6L * (1 + std::abs(v))) << s.item << " w " << double(w);
    }
  }
  EXPECT_EQ(c->Items().size(), std::size(kSteps));
  choose("Wipe1");
  EXPECT_EQ(c->Items().size(), 0u);
  EXPECT_FALSE(win->responseDrawn(FreqView::DirectNyquist));
}

TEST_F(FreqWinTest, MContoursFromTheirDialogSatisfyTheirEquation)
{
  Sys().showMarkLabels = true;
  answer([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("M contours"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("StartLabel"))->text(), QStringLiteral("Start M value"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("EndLabel"))->text(), QStringLiteral("End M value"));
    type(dlg, "StartValueEdit", QStringLiteral("-6"));
    type(dlg, "EndValueEdit", QStringLiteral("6"));
    type(dlg, "IncrementValueEdit", QStringLiteral("6"));
    press(dlg, "OKBtn");
  });
  for (const FreqView view : {FreqView::DirectNyquist, FreqView::Nichols}) {
    win->ChangeView(view);
    choose("MContour1");
    const auto lines = Polylines(*win->chart(), Sys().pen[3]);
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      const long double m = -6.0L + 6 * k;
      for (std::size_t i = 0; i < lines[k].size(); i += 7) {
        const ChartPoint& p = lines[k][i];
        const Cld l =
            view == FreqView::DirectNyquist ? Cld(p.x, p.y) : std::polar(std::pow(10.0L, p.y / 20.0L), p.x / kDegL);
        if (std::abs(l) > 1e3)
          continue;  // the ends of the Nichols 0 dB contour stand for L at infinity
        if (m == 0 && view == FreqView::DirectNyquist)
          EXPECT_EQ(p.x, -0.5) << "the 0 dB line Re L = -1/2";
        else
          EXPECT_NEAR(double(20 * std::log10(std::abs(l / (1.0L + l)))), double(m), 1e-4) << i;
      }
    }
    std::size_t labels = 0;
    for (std::size_t i = 0; i < win->chart()->Items().size(); ++i)
      labels += win->chart()->Items().item(i).kind == ItemKind::Text;
    EXPECT_EQ(labels, 3u);
  }
  EXPECT_TRUE(win->mContourStart() == -6 && win->mContourEnd() == 6 && win->mContourStep() == 6);

  answer([](QDialog& dlg) { press(dlg, "CancelBtn"); });
  const std::size_t before = win->chart()->Items().size();
  choose("MContour2");
  EXPECT_EQ(win->chart()->Items().size(), before) << "Cancel draws nothing";
}

// Where f(L(w)) changes sign on a fine logarithmic grid over [lo, hi],
// refined by bisection: the crossing frequencies with L there.
std::vector<std::pair<long double, Cld>> Crossings(long double lo, long double hi,
                                                   const std::function<Cld(long double)>& L,
                                                   const std::function<long double(Cld)>& f)
{
  std::vector<std::pair<long double, Cld>> out;
  long double a = lo;
  for (int i = 1; i <= 40000; ++i) {
    const long double b = lo * std::pow(hi / lo, i / 40000.0L);
    if ((f(L(a)) < 0) != (f(L(b)) < 0)) {
      long double x = a, y = b;
      for (int k = 0; k < 100; ++k)
        ((f(L((x + y) / 2)) < 0) == (f(L(x)) < 0) ? x : y) = (x + y) / 2;
      out.emplace_back(x, L(x));
    }
    a = b;
  }
  return out;
}

TEST_F(FreqWinTest, MarginsDialogMatchesCrossingsFoundIndependently)
{
  // The plant alone: with K = 1.285 its resonance lifts |L| above 1 again
  // (three gain crossovers); a delay of 0.2 s adds a phase crossover every
  // 2 pi / 0.2 rad/s. With K = 0.5 there is no gain crossover.
  for (const auto& [k, delay] : {std::pair{0.5, 0.0}, std::pair{1.285, 0.2}}) {
    Sys().gain = k;
    Sys().delay = delay;
    const auto L = [k, delay](long double w) { return StartUpLoop(w, false, k) * std::polar(1.0L, -w * delay); };
    StabilityMargins band;  // the band the margins are searched in
    ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), st(), FreqUse::OpenLoop), band));
    const auto gain = Crossings(band.bandLo, band.bandHi, L, [](Cld l) { return std::norm(l) - 1; });
    auto phase = Crossings(band.bandLo, band.bandHi, L, [](Cld l) { return l.imag(); });
    std::erase_if(phase, [](const auto& c) { return c.second.real() > 0; });
    EXPECT_EQ(gain.size(), k > 1 ? 3u : 0u);
    QList<QStringList> rows;
    answer([&rows](QDialog& dlg) {
      auto* t = dlg.findChild<QTableWidget*>(QStringLiteral("MarginsTable"));
      for (int r = 0; r < t->rowCount(); ++r) {
        rows.append(QStringList());
        for (int c = 0; c < t->columnCount(); ++c)
          rows.back() << t->item(r, c)->text();
      }
      press(dlg, "CloseBtn");
    });
    choose("Margins1");
    ASSERT_EQ(rows.size(), qsizetype(std::max<std::size_t>(1, gain.size()) + phase.size()));
    if (gain.empty()) {
      EXPECT_EQ(rows[0], (QStringList{"Gain", "None", "None", "", "None"}));
    }
    for (std::size_t i = 0; i < gain.size(); ++i) {
      const QStringList& r = rows[qsizetype(i)];
      const long double w = gain[i].first, pm = 180 + std::arg(gain[i].second) * kDegL;
      EXPECT_TRUE(r[0] == "Gain" && Shown(r[1], w) && Shown(r[2], pm) &&
                  Shown(r[4], std::fmod(pm + 360, 360) / kDegL / w))
          << r.join(' ').toStdString() << " against " << double(w) << " rad/s, PM " << double(pm);
    }
    for (std::size_t i = 0; i < phase.size(); ++i) {
      const QStringList& r = rows[qsizetype(std::max<std::size_t>(1, gain.size()) + i)];
      const long double gm = -20 * std::log10(std::abs(phase[i].second));
      EXPECT_TRUE(r[0] == "Phase" && Shown(r[1], phase[i].first) && Shown(r[3], gm))
          << r.join(' ').toStdString() << " against " << double(phase[i].first) << " rad/s, GM " << double(gm);
    }
  }

  // Marks: refused on the Nyquist views; on the Bode gain chart a line from
  // 0 dB to -GM at each phase crossover.
  StabilityMargins m;
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), st(), FreqUse::OpenLoop), m));
  EXPECT_FALSE(win->MarkMargins(m));
  EXPECT_EQ(lastMessage(), QStringLiteral("Margins are marked on the Bode and Nichols views only"));
  choose("BodeGain1");
  ASSERT_TRUE(win->MarkMargins(m));
  int lines = 0;
  for (std::size_t i = 0; i < win->chart()->Items().size(); ++i) {
    const ChartItem& it = win->chart()->Items().item(i);
    if (it.kind == ItemKind::Line) {
      EXPECT_TRUE(it.x == m.phase[lines].omega && it.y == 0 && it.y2 == -m.phase[lines].gainMarginDb);
      ++lines;
    }
  }
  EXPECT_EQ(lines, m.phaseCount);
}

// A family over the gain on the Bode gain chart: each member is 20 log10
// |K L(j w)| in its graded pen with the document's gain bold over them, the
// pointer reads the nearest member, and the margins of each member follow
// from the current one (the gain leaves the phase crossovers where they
// are and lowers the gain margin by 20 log10 K).
TEST_F(FreqWinTest, FamilyOverTheGainOnTheBodeChartAndItsMargins)
{
  choose("BodeGain1");
  answer([](QDialog& dlg) {
    dlg.findChild<QCheckBox*>(QStringLiteral("FamilyOnCheck"))->setChecked(true);
    dlg.findChild<QComboBox*>(QStringLiteral("FamilyParamCombo"))->setCurrentIndex(kFamilyGain);
    type(dlg, "FamilyFromEdit", QStringLiteral("0.5"));
    type(dlg, "FamilyToEdit", QStringLiteral("2"));
    type(dlg, "FamilyMembersEdit", QStringLiteral("4"));
    press(dlg, "OKBtn");
  });
  choose("Family1");
  choose("Go1");
  ASSERT_EQ(win->family().members.count, 4);
  const TRChart& c = *win->ChartOfView(FreqView::BodeGain);
  const bool comp = st().loop.compIn;
  for (int m = 0; m < 4; ++m) {
    const long double k = 0.5L + 0.5L * m;
    const auto lines = Polylines(c, FamilyPen(m, 4));
    ASSERT_EQ(lines.size(), 1u) << m;
    ASSERT_EQ(lines[0].size(), 200u);
    for (std::size_t i = 0; i < lines[0].size(); i += 19) {
      const ChartPoint p = lines[0][i];
      EXPECT_NEAR(p.y, double(20 * std::log10(std::abs(StartUpLoop(p.x, comp, k)))), 1e-4) << m << ' ' << i;
    }
  }
  const ChartItem& bold = c.Items().item(c.Items().size() - 1);
  EXPECT_EQ(bold.code, kCurrentResponseWidth);
  EXPECT_EQ(bold.colour, Sys().pen[0]) << "the open loop's pen";
  EXPECT_TRUE(win->familyLegend()->isVisible());

  // 1 rad/s: members lie 3.5 dB and more apart.
  for (int m = 0; m < 4; ++m) {
    const long double k = 0.5L + 0.5L * m;
    const double y = double(20 * std::log10(std::abs(StartUpLoop(1.0L, comp, k))));
    win->graph().MouseMoveInChart(true, 1.0, y + 0.5);
    EXPECT_EQ(StatusPanel(2), QStringLiteral("Nearest curve: member %1, gain = %2").arg(m + 1).arg(double(k)));
  }

  StabilityMargins current;
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), st(), FreqUse::OpenLoop), current));
  ASSERT_GT(current.phaseCount, 0);
  answer([&](QDialog& dlg) {
    auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("FamilyTable"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 5);
    for (int m = 0; m < 4; ++m) {
      const long double k = 0.5L + 0.5L * m;
      EXPECT_TRUE(Shown(table->item(m, 4)->text(), current.phase[0].omega)) << m;
      EXPECT_TRUE(Shown(table->item(m, 5)->text(), current.phase[0].gainMarginDb - 20 * std::log10(k))) << m;
    }
    press(dlg, "CloseBtn");
  });
  choose("Margins1");
  // The legend goes with the chart the family is on.
  choose("Nichols1");
  EXPECT_FALSE(win->familyLegend()->isVisible());
  EXPECT_EQ(win->nearestMember(-180.0, 0.0), -1);
  choose("BodeGain1");
  EXPECT_TRUE(win->familyLegend()->isVisible());
  choose("Wipe1");
  EXPECT_EQ(win->family().members.count, 0);
  EXPECT_FALSE(win->familyLegend()->isVisible());
  EXPECT_EQ(win->nearestMember(1.0, 0.0), -1);
}

// The Bode gain curve dragged up: K scales so that every point of the curve
// is 20 log10 |K L(j w)| (evaluated here), the gain-margin lines follow
// (the phase crossovers stay, GM falls by 20 log10 K), and one undo puts
// K back.
TEST_F(FreqWinTest, DraggingTheBodeGainCurveScalesTheGainAndTheMarginsFollow)
{
  choose("BodeGain1");
  win->Go1Click();
  StabilityMargins m;
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), st(), FreqUse::OpenLoop), m));
  ASSERT_GE(m.phaseCount, 1);
  ASSERT_TRUE(win->MarkMargins(m));
  const bool comp = Sys().firstElement == kCompensator;
  TRChart* c = win->chart();
  const auto curve = [c] {
    std::vector<ChartPoint> longest;
    for (const auto& line : Polylines(*c, Sys().pen[0]))
      if (line.size() > longest.size())
        longest = line;
    return longest;
  };
  const std::vector<ChartPoint> before = curve();
  ASSERT_GT(before.size(), 10u);
  const ChartPoint grab = before[before.size() / 3];
  const QPoint from = c->DataToPixel(grab.x, grab.y).toPoint(), to = from - QPoint(0, 40);
  QTest::mousePress(c, Qt::LeftButton, {}, from);
  ASSERT_TRUE(win->liveDrag(FreqView::BodeGain) && win->liveDrag(FreqView::BodeGain)->active());
  QTest::mouseMove(c, from - QPoint(0, 20));
  QCoreApplication::processEvents();
  QTest::mouseMove(c, to);
  QTest::mouseRelease(c, Qt::LeftButton, {}, to);
  const double k = Sys().gain;
  ASSERT_GT(k, 1.0);

  const std::vector<ChartPoint> after = curve();
  ASSERT_EQ(after.size(), before.size());
  // The sweep's store keeps single precision.
  for (const ChartPoint& p : after)
    EXPECT_NEAR(p.y, (double)(20 * std::log10(std::abs(StartUpLoop(p.x, comp, k)))), 1e-5) << p.x;
  int lines = 0;
  for (std::size_t i = 0; i < c->Items().size(); ++i) {
    const ChartItem& it = c->Items().item(i);
    if (it.kind == ItemKind::Line && lines < m.phaseCount) {
      EXPECT_EQ(it.x, m.phase[lines].omega);
      EXPECT_NEAR(it.y2, -(m.phase[lines].gainMarginDb - 20 * std::log10(k)), 1e-9);
      ++lines;
    }
  }
  EXPECT_EQ(lines, m.phaseCount);

  action("Undo1")->trigger();
  EXPECT_EQ(Sys().gain, 1.0);
  EXPECT_FALSE(action("Undo1")->isEnabled());
}

}  // namespace
