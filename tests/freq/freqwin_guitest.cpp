// The frequency window: views and their menus and read-outs, the
// describing-function mode's refusals and states, element toggles with
// curves checked against L(j w), M contours through the contours dialog
// checked against |L/(1 + L)| = M, and the margins dialog against crossings
// found here by bisection.

#include "FreqWinTestSupport.h"

#include "app/FrameAccess.h"
#include "freq/Margins.h"

#include <QApplication>
#include <QLabel>
#include <QTableWidget>

#include <cmath>

namespace {

constexpr long double kDeg = 180.0L / 3.141592653589793238462643383279502884L;

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
      {"BodePhase1", FreqView::BodePhase, true, false, false, 0.5, -90,
       "Frequency = 0.5 rad/s,  Phase = -90 deg", ""},
      {"InverseNyquist2", FreqView::InverseNyquist, false, true, true, -1, 1, "Real = -1, Imag = 1",
       "Mag = 1.414, Ang = 135 deg"},
      {"DirectNyquist1", FreqView::DirectNyquist, false, true, true, 0, 0, "Real = 0, Imag = 0",
       "Mag = 0, Ang = 0 deg"},
  };
  const char* names[2][kFreqViews] = {{"DirectNyquist1", "InverseNyquist1", "Nichols1", "BodeGain1", "BodePhase1"},
                                      {"DirectNyquist2", "InverseNyquist2", "Nichols2", "BodeGain2", "BodePhase2"}};
  for (const auto& c : kCases) {
    // Relative mode ends with the chart it was on.
    win->graph().MouseMoveInChart(true, 0.1, 0.1);
    choose("Relativemode1");
    choose(c.item);
    EXPECT_FALSE(win->graph().relative()) << c.item;
    ASSERT_EQ(win->view(), c.view) << c.item;
    for (int v = 0; v < kFreqViews; ++v) {
      const bool current = v == static_cast<int>(c.view);
      EXPECT_EQ(win->ChartOfView(static_cast<FreqView>(v))->isVisible(), current) << c.item << " chart " << v;
      for (const auto& menu : names)
        EXPECT_EQ(item(menu[v])->isChecked(), current) << menu[v] << " after " << c.item;
    }
    EXPECT_EQ(win->chart(), win->ChartOfView(c.view));
    EXPECT_EQ(item("HorizSubTicks1")->isEnabled(), c.subTicks) << c.item;
    EXPECT_EQ(item("HorizSubTicks2")->isEnabled(), c.subTicks) << c.item;
    EXPECT_EQ(item("Unitcircle1")->isEnabled(), c.unitCircle) << c.item;
    EXPECT_EQ(item("MContour1")->isEnabled(), c.contours) << c.item;
    EXPECT_EQ(item("MContour2")->isEnabled(), c.contours) << c.item;
    win->graph().MouseMoveInChart(true, c.x, c.y);
    EXPECT_EQ(StatusPanel(1), QLatin1String(c.panel1));
    EXPECT_EQ(StatusPanel(2), QLatin1String(c.panel2));
  }
  // Choosing the current view keeps its check.
  choose("DirectNyquist1");
  EXPECT_TRUE(item("DirectNyquist1")->isChecked());

  choose("BodeGain1");
  const bool ticks = win->chart()->ShortTicksX();
  choose("HorizSubTicks2");
  EXPECT_NE(win->chart()->ShortTicksX(), ticks);
  EXPECT_EQ(item("HorizSubTicks1")->isChecked(), !ticks);
}

TEST_F(FreqWinTest, NyquistChartsStayIsometricWhenResized)
{
  for (const QSize size : {QSize(700, 300), QSize(300, 600)}) {
    win->parentWidget()->resize(size);
    QApplication::processEvents();
    const TRChart* c = win->chart();
    const QRectF a = c->PlotArea();
    const double perPixelX = (c->RangeHiX() - c->RangeLoX()) / a.width();
    const double perPixelY = (c->RangeHiY() - c->RangeLoY()) / a.height();
    EXPECT_NEAR(perPixelY / perPixelX, 1.0, 1e-9) << size.width() << "x" << size.height();
  }
}

TEST_F(FreqWinTest, DescribingFunctionModeRefusalsAndStates)
{
  const struct {
    bool closed;
    const char* viewItem;
    const char* message;
  } kRefusals[] = {
      // Both refusals apply: only the later message is shown.
      {true, "BodeGain1", "Describing function not available in the Bode views"},
      {true, "DirectNyquist1", "Describing function only available in open-loop"},
      {false, "BodePhase1", "Describing function not available in the Bode views"},
  };
  for (const auto& r : kRefusals) {
    choose(r.closed ? "Closedloop1" : "Openloop1");
    choose(r.viewItem);
    const qsizetype before = shown().size();
    choose("Describingfunction1");
    ASSERT_EQ(shown().size(), before + 1) << r.message;
    EXPECT_EQ(lastMessage(), QLatin1String(r.message));
    EXPECT_FALSE(win->describingFunctionMode());
    EXPECT_FALSE(item("Describingfunction2")->isChecked());
  }

  choose("Openloop1");
  choose("Nichols1");
  choose("Describingfunction2");
  ASSERT_TRUE(win->describingFunctionMode());
  EXPECT_TRUE(item("Describingfunction1")->isChecked());
  EXPECT_TRUE(st().loop.fwdNl) << "the forward nonlinearity is chosen when none is";
  for (const char* off : {"ClosedLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn"})
    EXPECT_FALSE(button(off)->isEnabled()) << off;
  EXPECT_FALSE(item("Closedloop1")->isEnabled());
  EXPECT_TRUE(button("FwdNlinSpdBtn")->isEnabled() && button("FwdNlinSpdBtn")->isChecked());
  const DiagramView d = win->state().diagram;
  EXPECT_TRUE(d.fwdNl.showContent && !d.fbkNl.showContent);
  EXPECT_FALSE(d.compensator.showContent || d.plant.showContent || d.gain || d.load);

  // Exactly one nonlinearity: choosing one drops the other, dropping it
  // chooses the other; the elements stay as they are.
  const struct {
    const char* item;
    bool fwd, fbk;
  } kSteps[] = {{"FbkNlin1", false, true}, {"FbkNlin1", true, false}, {"Plant1", true, false}};
  for (const auto& s : kSteps) {
    choose(s.item);
    EXPECT_EQ(st().loop.fwdNl, s.fwd) << s.item;
    EXPECT_EQ(st().loop.fbkNl, s.fbk) << s.item;
    EXPECT_EQ(button("FbkNlinSpdBtn")->isChecked(), s.fbk) << s.item;
  }
  EXPECT_TRUE(st().loop.plantIn);

  choose("BodeGain2");
  EXPECT_EQ(lastMessage(), QStringLiteral("Describing function not available in the Bode views"));
  EXPECT_EQ(win->view(), FreqView::Nichols);
  EXPECT_TRUE(item("Nichols1")->isChecked() && !item("BodeGain1")->isChecked());
  // Go refuses a Bode view reached some other way.
  win->ChangeView(FreqView::BodePhase);
  choose("Go1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Describing functions not available in Bode views"));
  EXPECT_TRUE(win->chart()->Items().size() == 0);

  choose("Nichols1");
  choose("Describingfunction1");
  EXPECT_FALSE(win->describingFunctionMode());
  EXPECT_TRUE(button("ClosedLoopSpdBtn")->isEnabled() && button("CompSpdBtn")->isEnabled());
  EXPECT_FALSE(button("FwdNlinSpdBtn")->isEnabled());
}

TEST_F(FreqWinTest, CurvesFollowTheElementsAndOverlayUntilWiped)
{
  const struct {
    const char* item;
    bool compIn, plantIn, closed;
  } kSteps[] = {
      {"Compensator1", true, true, false},
      {"Plant1", true, false, false},
      {"Compensator1", false, true, false},  // the compensator out while the plant is out: the plant comes in
      {"Closedloop1", false, true, true},
  };
  const TRChart* c = win->chart();
  for (std::size_t n = 0; n < std::size(kSteps); ++n) {
    const auto& s = kSteps[n];
    choose(s.item);
    ASSERT_EQ(st().loop.compIn, s.compIn) << s.item;
    ASSERT_EQ(st().loop.plantIn, s.plantIn) << s.item;
    EXPECT_EQ(button("CompSpdBtn")->isChecked(), s.compIn);
    choose("Go1");
    const auto lines = Polylines(*c, Sys().pen[s.closed ? 1 : 0]);
    ASSERT_FALSE(lines.empty()) << s.item;
    const auto& pts = lines.back();
    ASSERT_EQ(static_cast<int>(pts.size()), st().set.points);
    for (std::size_t i = 0; i < pts.size(); i += 17) {
      const long double w = st().result.omega[i];
      Cld l = s.plantIn ? StartUpLoop(w, s.compIn) : (1.0L + 0.5L * Cld(0, w)) / Cld(0, w);
      if (s.closed)
        l /= 1.0L + l;
      const double tol = 1e-6 * (1 + std::abs(l));
      EXPECT_NEAR(pts[i].x, static_cast<double>(l.real()), tol) << s.item << " w " << static_cast<double>(w);
      EXPECT_NEAR(pts[i].y, static_cast<double>(l.imag()), tol) << s.item << " w " << static_cast<double>(w);
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
  int asked = 0;
  answer([&asked](QDialog& dlg) {
    ++asked;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("M contours"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("StartLabel"))->text(), QStringLiteral("Start M value"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("EndLabel"))->text(), QStringLiteral("End M value"));
    type(dlg, "StartValueEdit", QStringLiteral("-6"));
    type(dlg, "EndValueEdit", QStringLiteral("6"));
    type(dlg, "IncrementValueEdit", QStringLiteral("6"));
    press(dlg, "OKBtn");
  });
  // |L/(1 + L)| in dB for the point of a view.
  const auto mOf = [](FreqView v, const ChartPoint& p) {
    const Cld l = v == FreqView::DirectNyquist ? Cld(p.x, p.y) : std::polar(std::pow(10.0L, p.y / 20.0L), p.x / kDeg);
    return static_cast<double>(20 * std::log10(std::abs(l / (1.0L + l))));
  };
  for (const char* view : {"DirectNyquist1", "Nichols1"}) {
    choose(view);
    choose("MContour1");
    const auto lines = Polylines(*win->chart(), Sys().pen[3]);
    ASSERT_EQ(lines.size(), 3u) << view;
    for (std::size_t k = 0; k < 3; ++k) {
      const double m = -6.0 + 6.0 * static_cast<double>(k);
      for (std::size_t i = 0; i < lines[k].size(); i += 7) {
        const ChartPoint& p = lines[k][i];
        if (m == 0 && win->view() == FreqView::DirectNyquist) {
          EXPECT_DOUBLE_EQ(p.x, -0.5);  // the line Re L = -1/2
          continue;
        }
        if (std::hypot(p.x, p.y) > 1e3 && win->view() == FreqView::Nichols)
          continue;  // the ends of the 0 dB contour stand for |L| = infinity
        EXPECT_NEAR(mOf(win->view(), p), m, 1e-4) << view << " M " << m << " point " << i;
      }
    }
    int labels = 0;
    for (std::size_t i = 0; i < win->chart()->Items().size(); ++i)
      labels += win->chart()->Items().item(i).kind == ItemKind::Text;
    EXPECT_EQ(labels, 3) << view;
  }
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(win->mContourStart(), -6.0);
  EXPECT_EQ(win->mContourStep(), 6.0);

  // Cancel draws nothing; the Bode views have none.
  answer([](QDialog& dlg) { press(dlg, "CancelBtn"); });
  const std::size_t before = win->chart()->Items().size();
  choose("MContour2");
  EXPECT_EQ(win->chart()->Items().size(), before);
}

// The crossings of L found on a fine grid and refined by bisection.
struct Crossing {
  long double w;
  Cld l;
};
std::vector<Crossing> Crossings(long double lo, long double hi, const std::function<Cld(long double)>& L,
                                const std::function<long double(Cld)>& f, bool negativeReal)
{
  std::vector<Crossing> out;
  long double a = lo, fa = f(L(a));
  for (int i = 1; i <= 40000; ++i) {
    long double b = lo * std::pow(hi / lo, i / 40000.0L), fb = f(L(b));
    if ((fa < 0) != (fb < 0)) {
      long double lo = a, hi = b, flo = fa;
      for (int k = 0; k < 200; ++k) {
        const long double mid = (lo + hi) / 2, fm = f(L(mid));
        ((fm < 0) == (flo < 0) ? lo : hi) = mid;
        if ((fm < 0) == (flo < 0))
          flo = fm;
      }
      if (!negativeReal || L(lo).real() < 0)
        out.push_back({lo, L(lo)});
    }
    a = b;
    fa = fb;
  }
  return out;
}

TEST_F(FreqWinTest, MarginsDialogMatchesCrossingsFoundIndependently)
{
  // The plant alone, gain K, delay Td: with K = 1.285 the plant's
  // resonance lifts |L| above 1 again (three gain crossovers), and the
  // delay gives a phase crossover every 2 pi / 0.2 rad/s.
  const struct {
    double k, delay;
  } kLoops[] = {{0.5, 0.0}, {1.285, 0.2}};
  for (const auto& loop : kLoops) {
    Sys().gain = loop.k;
    Sys().delay = loop.delay;
    const auto L = [&loop](long double w) {
      return StartUpLoop(w, false, loop.k) * std::polar(1.0L, -w * loop.delay);
    };
    // Searched over the band the margins are searched in.
    StabilityMargins band;
    ASSERT_TRUE(ComputeMargins(st(), band));
    const auto gain = Crossings(band.bandLo, band.bandHi, L, [](Cld l) { return std::norm(l) - 1; }, false);
    const auto phase = Crossings(band.bandLo, band.bandHi, L, [](Cld l) { return l.imag(); }, true);
    EXPECT_EQ(gain.size(), loop.k > 1 ? 3u : 0u);
    QStringList rows;
    answer([&rows](QDialog& dlg) {
      auto* t = dlg.findChild<QTableWidget*>(QStringLiteral("MarginsTable"));
      for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c)
          cells << t->item(r, c)->text();
        rows << cells.join(QLatin1Char('|'));
      }
      press(dlg, "CloseBtn");
    });
    choose("Margins1");
    ASSERT_EQ(rows.size(), std::max<qsizetype>(1, gain.size()) + std::max<qsizetype>(1, phase.size()))
        << rows.join(QLatin1Char('\n')).toStdString();
    const auto near = [](const QString& cell, long double v) {
      return std::fabs(cell.toDouble() - v) <= 5e-4L * std::fabs(v) + 1e-9L;
    };
    for (std::size_t i = 0; i < gain.size(); ++i) {
      const QStringList cells = rows[static_cast<qsizetype>(i)].split(QLatin1Char('|'));
      const long double pm = 180 + std::arg(gain[i].l) * kDeg;
      const long double dm = std::fmod(pm + 360, 360.0L) / kDeg / gain[i].w;
      EXPECT_TRUE(cells[0] == QStringLiteral("Gain") && near(cells[1], gain[i].w) && near(cells[2], pm) &&
                  near(cells[4], dm))
          << cells.join(QLatin1Char(' ')).toStdString() << " against w " << static_cast<double>(gain[i].w)
          << " PM " << static_cast<double>(pm) << " DM " << static_cast<double>(dm);
    }
    if (gain.empty()) {
      EXPECT_EQ(rows[0], QStringLiteral("Gain|None|None||None"));
    }
    for (std::size_t i = 0; i < phase.size(); ++i) {
      const QStringList cells = rows[static_cast<qsizetype>(std::max<std::size_t>(1, gain.size()) + i)].split(QLatin1Char('|'));
      const long double gm = -20 * std::log10(std::abs(phase[i].l));
      EXPECT_TRUE(cells[0] == QStringLiteral("Phase") && near(cells[1], phase[i].w) && near(cells[3], gm))
          << cells.join(QLatin1Char(' ')).toStdString() << " against w " << static_cast<double>(phase[i].w)
          << " GM " << static_cast<double>(gm);
    }
  }

  // Marks: refused on the Nyquist views, drawn on the Bode gain chart as a
  // line from 0 dB to -GM at each phase crossover.
  StabilityMargins m;
  ASSERT_TRUE(ComputeMargins(st(), m));
  EXPECT_FALSE(win->MarkMargins(m));
  EXPECT_EQ(lastMessage(), QStringLiteral("Margins are marked on the Bode and Nichols views only"));
  EXPECT_EQ(win->chart()->Items().size(), 0u);
  choose("BodeGain1");
  ASSERT_TRUE(win->MarkMargins(m));
  int lines = 0;
  for (std::size_t i = 0; i < win->chart()->Items().size(); ++i) {
    const ChartItem& it = win->chart()->Items().item(i);
    if (it.kind != ItemKind::Line)
      continue;
    EXPECT_EQ(it.x, m.phase[lines].omega);
    EXPECT_EQ(it.y2, -m.phase[lines].gainMarginDb);
    ++lines;
  }
  EXPECT_EQ(lines, m.phaseCount);
}

}  // namespace
