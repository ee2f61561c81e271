// The frequency window's dialogs: the unit switch acting at once (and on
// the Bode charts), the scales dialog's refusals storing nothing, the
// describing-function page, the cursor's read-outs against L(j w) in
// absolute and relative mode with its warnings, and the input choice.

#include "FreqWinTestSupport.h"

#include "model/Toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr long double kDeg = 180.0L / 3.141592653589793238462643383279502884L;

TEST_F(FreqWinTest, UnitSwitchActsAtOnceAndCancelKeepsIt)
{
  choose("BodeGain1");
  choose("Go1");
  ASSERT_TRUE(win->responseDrawn(FreqView::BodeGain));
  st().set.startFreq = 6.283185307179586;
  QString start, x1;
  answer([&](QDialog& dlg) {
    dlg.findChild<QRadioButton*>(QStringLiteral("HzRadio"))->click();
    start = text(dlg, "fminEdit");
    x1 = text(dlg, "BGx1Edit");
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("FUnits3"))->text(), QStringLiteral("Hz"));
    press(dlg, "CancelBtn");
  });
  choose("Scales1");
  EXPECT_EQ(start, QStringLiteral("1"));
  EXPECT_EQ(x1, QStringLiteral("0.01592"));
  EXPECT_STREQ(st().set.units, "Hz");
  EXPECT_EQ(st().set.startFreq, 6.283185307179586) << "Cancel stores nothing else";
  // The Bode chart follows the unit at once: its axis, and no curve of the other unit.
  const TRChart* gain = win->chart();
  EXPECT_EQ(gain->IdAbscissa(), QStringLiteral("Hz"));
  EXPECT_NEAR(gain->RangeLoX(), 0.1 / (2 * kPi), 1e-15);
  EXPECT_NEAR(gain->RangeHiX(), 10 / (2 * kPi), 1e-15);
  EXPECT_EQ(gain->Items().size(), 0u);

  // The other Bode chart when it is chosen; its curve against Hz.
  choose("BodePhase2");
  EXPECT_EQ(win->chart()->IdAbscissa(), QStringLiteral("Hz"));
  EXPECT_NEAR(win->chart()->RangeHiX(), 10 / (2 * kPi), 1e-15);
  choose("Go1");
  const auto curve = Polylines(*win->chart(), Sys().pen[0]).at(0);
  EXPECT_NEAR(curve.back().x, 8 / (2 * kPi), 1e-6);

  // Back to rad/s with OK: the frequencies read back exactly, the chart wiped.
  answer([](QDialog& dlg) {
    dlg.findChild<QRadioButton*>(QStringLiteral("RadsRadio"))->click();
    press(dlg, "OKBtn");
  });
  choose("Scales1");
  EXPECT_STREQ(st().set.units, "rad/s");
  EXPECT_NEAR(st().set.startFreq, 6.283185307179586, 1e-14);
  EXPECT_EQ(win->chart()->IdAbscissa(), QStringLiteral("rad/s"));
  EXPECT_NEAR(win->chart()->RangeHiX(), 10, 1e-14);
  EXPECT_EQ(win->chart()->Items().size(), 0u);
}

TEST_F(FreqWinTest, ScalesRefusalsStoreNothing)
{
  const struct {
    const char* view;
    const char* edit;
    const char* entry;
    const char* message;
    const char* focus;
  } kCases[] = {
      {"Nichols1", "Nichy1Edit", "40", "Max must exceed Min", "Nichy2Edit"},
      {"BodePhase1", "BPy2Edit", "-300", "Max must exceed Min", "BPy2Edit"},
      {"BodeGain1", "BGx1Edit", "0", "X-axis min must be positive on a logarithmic axis", "BGx1Edit"},
      {"DirectNyquist1", "Nyqx1Edit", "1", "Max must exceed Min", "Nyqx2Edit"},
      {"DirectNyquist1", "npointsEdit", "1500", "No of Points must lie between 1 and 1000", "npointsEdit"},
      {"DirectNyquist1", "npointsEdit", "0.5", "No of Points must lie between 1 and 1000", "npointsEdit"},
      {"DirectNyquist1", "fminEdit", "-1", "Start frequency must be positive", "fminEdit"},
      {"DirectNyquist1", "fmaxEdit", "0.2", "End frequency must exceed start frequency", "fmaxEdit"},
      {"DirectNyquist1", "fminEdit", "0",
       "Don't use logarithmic frequency increment with zero start frequency", "fminEdit"},
  };
  for (const auto& c : kCases) {
    choose(c.view);
    const FreqSettings before = st().set;
    const auto same = [&before](const FreqSettings& now) {
      return now.startFreq == before.startFreq && now.endFreq == before.endFreq && now.points == before.points &&
             now.logIncrement == before.logIncrement && now.monotonicPhase == before.monotonicPhase;
    };
    const double lo = win->chart()->RangeLoX(), hi = win->chart()->RangeHiY();
    QString focus;
    answer([&](QDialog& dlg) {
      type(dlg, c.edit, QLatin1String(c.entry));
      press(dlg, "OKBtn");
      EXPECT_TRUE(dlg.isVisible()) << c.message;
      focus = dlg.focusWidget() ? dlg.focusWidget()->objectName() : QString();
      press(dlg, "CancelBtn");
    });
    choose("Scales1");
    EXPECT_EQ(lastMessage(), QLatin1String(c.message));
    EXPECT_EQ(focus, QLatin1String(c.focus)) << c.message;
    EXPECT_TRUE(same(st().set)) << c.message;
    EXPECT_EQ(win->chart()->RangeLoX(), lo);
    EXPECT_EQ(win->chart()->RangeHiY(), hi);
  }

  // The increment flag is stored at once, even when the zero start is refused.
  st().set.logIncrement = false;
  answer([](QDialog& dlg) {
    type(dlg, "fminEdit", QStringLiteral("0"));
    dlg.findChild<QCheckBox*>(QStringLiteral("lgflgChk"))->setChecked(true);
    press(dlg, "OKBtn");
    press(dlg, "CancelBtn");
  });
  choose("Scales1");
  EXPECT_TRUE(st().set.logIncrement);
  EXPECT_EQ(st().set.startFreq, 0.2);

  // Accepted: frequencies typed in Hz stored in rad/s, points cut to a whole number.
  std::strcpy(st().set.units, "Hz");
  choose("Nichols1");
  answer([](QDialog& dlg) {
    type(dlg, "fminEdit", QStringLiteral("1/2"));
    type(dlg, "npointsEdit", QStringLiteral("99.9"));
    type(dlg, "Nichy2Edit", QStringLiteral("45"));
    press(dlg, "OKBtn");
  });
  choose("Scales1");
  EXPECT_DOUBLE_EQ(st().set.startFreq, kPi);
  EXPECT_NEAR(st().set.endFreq, 8.0, 1e-14) << "an untouched box keeps its value";
  EXPECT_EQ(st().set.points, 99);
  EXPECT_EQ(win->chart()->RangeHiY(), 45);
}

TEST_F(FreqWinTest, DescribingFunctionPageChecksTheAmplitudes)
{
  choose("Describingfunction1");
  ASSERT_TRUE(win->describingFunctionMode());
  const struct {
    const char* min;
    const char* max;
    const char* count;
    const char* message;  // empty: stored
  } kCases[] = {
      {"-1", "10", "20", "Start amplitude must be positive"},
      {"2", "2", "20", "End amplitude must exceed start amplitude"},
      {"1", "10", "201", "Number of points must lie between 1 and 200"},
      {"0", "5", "50.7", ""},
  };
  for (const auto& c : kCases) {
    bool unitsShown = true;
    answer([&](QDialog& dlg) {
      unitsShown = dlg.findChild<QGroupBox*>(QStringLiteral("FreqUnitsRadioGroup"))->isVisible();
      EXPECT_TRUE(dlg.findChild<QWidget*>(QStringLiteral("MinAmpEdit"))->isVisible());
      EXPECT_FALSE(dlg.findChild<QWidget*>(QStringLiteral("fminEdit"))->isVisible());
      type(dlg, "MinAmpEdit", QLatin1String(c.min));
      type(dlg, "MaxAmpEdit", QLatin1String(c.max));
      type(dlg, "nDFpointsEdit", QLatin1String(c.count));
      dlg.findChild<QComboBox*>(QStringLiteral("NDFTPointsCombo"))->setCurrentText(QStringLiteral("64"));
      press(dlg, "OKBtn");
      if (dlg.isVisible())
        press(dlg, "CancelBtn");
    });
    const qsizetype before = shown().size();
    choose("Scales1");
    EXPECT_FALSE(unitsShown);
    if (*c.message) {
      EXPECT_EQ(lastMessage(), QLatin1String(c.message));
      EXPECT_EQ(st().set.startAmp, 1.0);
      EXPECT_EQ(st().set.dftPoints, 128);
    } else {
      EXPECT_EQ(shown().size(), before);
      EXPECT_EQ(st().set.startAmp, 0.0);
      EXPECT_EQ(st().set.endAmp, 5.0);
      EXPECT_EQ(st().set.amplitudes, 50);
      EXPECT_EQ(st().set.dftPoints, 64);
    }
  }
}

// The cursor's seven read-outs, as numbers.
struct Readings {
  double freq, olGain, olDb, olPhase, clGain, clDb, clPhase;
};
Readings Read(QDialog& dlg)
{
  const auto n = [&dlg](const char* name) { return dlg.findChild<QLineEdit*>(QLatin1String(name))->text().toDouble(); };
  return {n("FreqEdit"), n("OLGain"), n("OLGaindB"), n("OLPhase"), n("CLGain"), n("CLGaindB"), n("CLPhase")};
}
// Within the four significant figures shown.
bool Shown(double shown, long double exact) { return std::fabs(shown - exact) <= 6e-4L * std::fabs(exact) + 1e-9L; }

TEST_F(FreqWinTest, CursorReadsTheCurveAbsoluteAndRelative)
{
  choose("Compensator1");
  // The phase of the drawn curve: tracked from the first grid point, which
  // starts in (-270, 90] deg.
  const auto phases = [this] {
    std::vector<long double> out;
    long double prev = 0;
    for (int i = 0; i < st().result.gridCount; ++i) {
      long double p = std::arg(StartUpLoop(st().result.omega[i], true)) * kDeg;
      if (i == 0)
        p -= 360 * std::ceil((p - 90) / 360);
      else
        p += 360 * std::round((prev - p) / 360);
      out.push_back(prev = p);
    }
    return out;
  };
  for (const char* view : {"DirectNyquist1", "BodePhase1"}) {
    choose(view);
    const bool bode = win->view() == FreqView::BodePhase;
    std::size_t itemsBefore = 0;
    int opened = 0;
    answer([&](QDialog& dlg) {
      ++opened;
      const std::vector<long double> phase = phases();
      const auto expect = [&](int i, int ref, const char* what) {
        const Readings r = Read(dlg);
        const long double w = st().result.omega[static_cast<std::size_t>(i)];
        const Cld l = StartUpLoop(w, true), t = l / (1.0L + l);
        const long double w0 = ref < 0 ? 0 : st().result.omega[static_cast<std::size_t>(ref)];
        const Cld l0 = ref < 0 ? Cld(1) : StartUpLoop(w0, true), t0 = ref < 0 ? Cld(1) : l0 / (1.0L + l0);
        const long double p0 = ref < 0 ? 0 : phase[static_cast<std::size_t>(ref)];
        EXPECT_TRUE(Shown(r.freq, w - w0)) << what << " " << r.freq;
        EXPECT_TRUE(Shown(r.olGain, std::abs(l) / std::abs(l0))) << what << " " << r.olGain;
        EXPECT_TRUE(Shown(r.olDb, 20 * std::log10(std::abs(l) / std::abs(l0)))) << what << " " << r.olDb;
        EXPECT_TRUE(Shown(r.olPhase, phase[static_cast<std::size_t>(i)] - p0)) << what << " " << r.olPhase;
        EXPECT_TRUE(Shown(r.clGain, std::abs(t) / std::abs(t0))) << what << " " << r.clGain;
        EXPECT_TRUE(Shown(r.clDb, 20 * std::log10(std::abs(t) / std::abs(t0)))) << what << " " << r.clDb;
      };
      auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"));
      EXPECT_EQ(bar->maximum(), st().set.points - 1);
      expect(0, -1, "first point");
      EXPECT_EQ(win->chart()->Items().size(), itemsBefore + (bode ? 0 : 3)) << "the cursor's ellipse and cross";
      EXPECT_EQ(win->chart()->CrossHairAt(1).mode, bode ? 2 : 0);
      bar->setValue(150);
      // Moving backwards reads the same phase as the curve, not a turn off it.
      bar->setValue(60);
      expect(60, -1, "absolute");
      press(dlg, "RelativeBitBtn");
      EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Frequency domain cursor - relative mode"));
      bar->setValue(190);
      expect(190, 60, "relative");
      EXPECT_EQ(win->chart()->Items().size(), itemsBefore + (bode ? 0 : 5)) << "and the reference cross";
      press(dlg, "AbsoluteBitBtn");
      expect(190, -1, "absolute again");
      press(dlg, "CloseBtn");
    });
    choose("Wipe1");
    itemsBefore = 1;  // the curve the cursor's Go draws
    choose("Plotcursor1");
    EXPECT_EQ(win->chart()->Items().size(), 1u) << "the cursor's Go, its own items taken back";
    EXPECT_EQ(win->chart()->CrossHairAt(1).mode, 0);
    EXPECT_EQ(win->chart()->CrossHairAt(2).mode, 0);
    EXPECT_EQ(opened, 1);
  }
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(FreqWinTest, CursorWarnsWhenTheReferenceGainIsTooSmall)
{
  // (s^2 + 4)/(s + 1)^3 in closed loop vanishes at 2 rad/s, the middle point.
  SetText(Sys().num[kPlant], "s^2+4");
  SetText(Sys().den[kPlant], "s^3+3s^2+3s+1");
  choose("Closedloop1");
  st().set.startFreq = 1;
  st().set.endFreq = 3;
  st().set.points = 3;
  st().set.logIncrement = false;
  QStringList messages;
  answer([&](QDialog& dlg) {
    auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"));
    bar->setValue(1);
    const qsizetype before = shown().size();
    press(dlg, "RelativeBitBtn");
    for (qsizetype i = before; i < shown().size(); ++i)
      messages << shown()[i].text;
    bar->setValue(2);
    // Gains against 1 (absolute), the frequency still relative.
    const Cld s(0, 3), l = (s * s + 4.0L) / std::pow(s + 1.0L, 3);
    const Readings r = Read(dlg);
    EXPECT_TRUE(Shown(r.freq, 1));
    EXPECT_TRUE(Shown(r.olGain, std::abs(l))) << r.olGain;
    EXPECT_TRUE(Shown(r.clGain, std::abs(l / (1.0L + l)))) << r.clGain;
    press(dlg, "CloseBtn");
  });
  choose("Plotcursor1");
  EXPECT_EQ(messages, (QStringList{"Open-loop gain too small, showing absolute gain",
                                   "Closed-loop gain too small, showing absolute gain"}));

  // A failing Go is reported and opens no cursor.
  int cursors = 0;
  MessageSeam::setModalHook([&cursors](QDialog&) { return ++cursors, int(QDialog::Rejected); });
  st().set.startFreq = 0;
  SetText(Sys().den[kPlant], "s(s+1)");
  choose("Plotcursor1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Zero initial frequency only allowed with Type 0 systems"));
  EXPECT_EQ(cursors, 0);
}

TEST_F(FreqWinTest, ConfigurationChoosesTheInput)
{
  const struct {
    const char* radio;
    bool ref, load, noise;
  } kCases[] = {{"NoiseRadio", false, false, true}, {"LoadRadio", false, true, false}, {"RefRadio", true, false, false}};
  for (const auto& c : kCases) {
    answer([&c](QDialog& dlg) {
      dlg.findChild<QRadioButton*>(QLatin1String(c.radio))->click();
      press(dlg, "OKBtn");
    });
    choose("Config1");
    EXPECT_EQ(st().loop.refInput, c.ref) << c.radio;
    EXPECT_EQ(st().loop.loadInput, c.load) << c.radio;
    EXPECT_EQ(st().loop.noiseInput, c.noise) << c.radio;
    const DiagramView d = win->state().diagram;
    EXPECT_EQ(d.noise, c.noise) << c.radio;
    EXPECT_EQ(d.load, c.load) << c.radio;
  }
}

}  // namespace
