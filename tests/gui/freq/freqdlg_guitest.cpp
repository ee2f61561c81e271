// The frequency window's scales and cursor dialogs: the unit switch acting
// at once (and on the Bode charts), refusals that store nothing (the
// describing-function page's too), and the cursor's read-outs against
// L(j w) in absolute and relative mode with its warnings.

#include "tests/gui/freq/FreqWinTestSupport.h"

#include "engine/model/Toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>
#include <cstring>
#include <string>

namespace {

TEST_F(FreqWinTest, UnitSwitchActsAtOnceAndCancelKeepsIt)
{
  choose("BodeGain1");
  choose("Go1");
  st().set.startFreq = 6.283185307179586;
  QString start, x1;
  answer([&](QDialog& dlg) {
    dlg.findChild<QRadioButton*>(QStringLiteral("HzRadio"))->click();
    start = text(dlg, "fminEdit");
    x1 = text(dlg, "BGx1Edit");
    press(dlg, "CancelBtn");
  });
  choose("Scales1");
  EXPECT_EQ(start, QStringLiteral("1"));
  EXPECT_EQ(x1, QStringLiteral("0.01592"));
  EXPECT_STREQ(st().set.units, "Hz");
  EXPECT_EQ(st().set.startFreq, 6.283185307179586) << "Cancel stores nothing else";
  // The Bode charts take the unit: the current one at once, the other when
  // chosen; the curves of the other unit are wiped.
  for (const char* view : {"BodeGain1", "BodePhase2"}) {
    choose(view);
    EXPECT_EQ(win->chart()->IdAbscissa(), QStringLiteral("Hz"));
    EXPECT_NEAR(win->chart()->RangeLoX(), 0.1 / (2 * kPi), 1e-15);
    EXPECT_NEAR(win->chart()->RangeHiX(), 10 / (2 * kPi), 1e-15);
    EXPECT_EQ(win->chart()->Items().size(), 0u);
  }
  choose("Go1");
  EXPECT_NEAR(Polylines(*win->chart(), Sys().pen[0]).at(0).back().x, 8 / (2 * kPi), 1e-6);

  // Back to rad/s with OK: the frequencies left alone read back exactly.
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
    const char* view;  // the describing-function page in describing-function mode
    const char* edit;
    const char* entry;
    const char* message;
    const char* focus;
  } kCases[] = {
      {"Nichols1", "Nichy1Edit", "40", "Max must exceed Min", "Nichy2Edit"},
      {"BodePhase1", "BPy2Edit", "-300", "Max must exceed Min", "BPy2Edit"},
      {"BodeGain1", "BGx1Edit", "0", "X-axis min must be positive on a logarithmic axis", "BGx1Edit"},
      {"DirectNyquist1", "Nyqx1Edit", "1e6", "Max must exceed Min", "Nyqx2Edit"},
      {"DirectNyquist1", "npointsEdit", "1500", "No of Points must lie between 1 and 1000", "npointsEdit"},
      {"DirectNyquist1", "npointsEdit", "0.5", "No of Points must lie between 1 and 1000", "npointsEdit"},
      {"DirectNyquist1", "fminEdit", "-1", "Start frequency must be positive", "fminEdit"},
      {"DirectNyquist1", "fmaxEdit", "0.2", "End frequency must exceed start frequency", "fmaxEdit"},
      {"DirectNyquist1", "fmaxEdit", "1e39", "End frequency must lie between 0 and 1E20", "fmaxEdit"},
      {"DirectNyquist1", "fminEdit", "0", "Don't use logarithmic frequency increment with zero start frequency",
       "fminEdit"},
      {"Describingfunction1", "MinAmpEdit", "-1", "Start amplitude must be positive", "MinAmpEdit"},
      {"Nichols1", "MaxAmpEdit", "1", "End amplitude must exceed start amplitude", "MaxAmpEdit"},
      {"Nichols1", "nDFpointsEdit", "201", "Number of points must lie between 1 and 200", "nDFpointsEdit"},
  };
  for (const auto& c : kCases) {
    choose(c.view);
    const FreqSettings before = st().set;
    const double lo = win->chart()->RangeLoX(), hi = win->chart()->RangeHiY();
    QString focus;
    answer([&](QDialog& dlg) {
      // The units only outside describing-function mode, with the page of the mode.
      const bool df = win->describingFunctionMode();
      EXPECT_EQ(dlg.findChild<QGroupBox*>(QStringLiteral("FreqUnitsRadioGroup"))->isVisible(), !df);
      EXPECT_EQ(dlg.findChild<QWidget*>(QStringLiteral("fminEdit"))->isVisible(), !df);
      type(dlg, c.edit, QLatin1String(c.entry));
      press(dlg, "OKBtn");
      EXPECT_TRUE(dlg.isVisible()) << c.message;
      focus = dlg.focusWidget()->objectName();
      press(dlg, "CancelBtn");
    });
    choose("Scales1");
    EXPECT_EQ(lastMessage(), QLatin1String(c.message));
    EXPECT_EQ(focus, QLatin1String(c.focus)) << c.message;
    const FreqSettings& now = st().set;
    EXPECT_TRUE(now.startFreq == before.startFreq && now.endFreq == before.endFreq && now.points == before.points &&
                now.startAmp == before.startAmp && now.endAmp == before.endAmp && now.amplitudes == before.amplitudes)
        << c.message;
    EXPECT_TRUE(win->chart()->RangeLoX() == lo && win->chart()->RangeHiY() == hi) << c.message;
  }

  // Accepted amplitudes, their count cut to a whole number.
  answer([](QDialog& dlg) {
    type(dlg, "MinAmpEdit", QStringLiteral("0"));
    type(dlg, "nDFpointsEdit", QStringLiteral("50.7"));
    dlg.findChild<QComboBox*>(QStringLiteral("NDFTPointsCombo"))->setCurrentText(QStringLiteral("64"));
    press(dlg, "OKBtn");
  });
  choose("Scales1");
  EXPECT_TRUE(st().set.startAmp == 0 && st().set.endAmp == 10 && st().set.amplitudes == 50 && st().set.dftPoints == 64);
  choose("Describingfunction1");

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

  // Accepted: frequencies typed in Hz stored in rad/s, points cut to a whole number.
  std::strcpy(st().set.units, "Hz");
  answer([](QDialog& dlg) {
    type(dlg, "fminEdit", QStringLiteral("1/2"));
    type(dlg, "npointsEdit", QStringLiteral("99.9"));
    type(dlg, "Nichy2Edit", QStringLiteral("45"));
    press(dlg, "OKBtn");
  });
  choose("Scales1");
  EXPECT_DOUBLE_EQ(st().set.startFreq, kPi);
  EXPECT_NEAR(st().set.endFreq, 8.0, 1e-14) << "a box left alone keeps its value";
  EXPECT_EQ(st().set.points, 99);
  EXPECT_EQ(win->chart()->RangeHiY(), 45);
}

TEST_F(FreqWinTest, CursorReadsTheCurveAbsoluteAndRelative)
{
  choose("Compensator1");
  // Autoscaled Bode charts end at the curve's first and last points.
  const struct {
    FreqView view;
    bool hz, autoscale;
  } kCases[] = {{FreqView::BodePhase, false, true},
                {FreqView::DirectNyquist, false, false},
                {FreqView::BodePhase, true, false},
                {FreqView::BodePhase, true, true}};
  for (const auto& c : kCases) {
    const FreqView view = c.view;
    SCOPED_TRACE(std::string(c.hz ? "Hz" : "rad/s") + (c.autoscale ? ", autoscaled" : ""));
    std::strcpy(st().set.units, c.hz ? "Hz" : "rad/s");
    win->ChangeView(view);
    const bool bode = view == FreqView::BodePhase;
    choose("Wipe1");
    if (c.autoscale)
      choose("Autoscale1");
    const std::size_t curves = c.autoscale ? 2 : 1;  // the cursor's Go draws one more
    const long double unit = c.hz ? 2 * kPi : 1;     // rad/s per display unit
    int opened = 0;
    answer([&](QDialog& dlg) {
      ++opened;
      // The phase of the drawn curve: from the first grid point, which
      // starts in (-270, 90] deg, without jumps.
      std::vector<long double> phase;
      for (int i = 0; i < st().result.gridCount; ++i) {
        const long double p = std::arg(StartUpLoop(st().result.omega[i], true)) * kDegL;
        phase.push_back(i == 0 ? p - 360 * std::ceil((p - 90) / 360) : p + 360 * std::round((phase.back() - p) / 360));
      }
      // Point i read against point ref (absolute: ref < 0).
      const auto expect = [&](int i, int ref) {
        const auto at = [&](int j) { return st().result.omega[static_cast<std::size_t>(j)]; };
        const Cld l = StartUpLoop(at(i), true), l0 = ref < 0 ? Cld(1) : StartUpLoop(at(ref), true);
        const Cld t = l / (1.0L + l), t0 = ref < 0 ? Cld(1) : l0 / (1.0L + l0);
        const long double values[] = {
            (at(i) - (ref < 0 ? 0 : at(ref))) / unit, std::abs(l / l0), 20 * std::log10(std::abs(l / l0)),
            phase[i] - (ref < 0 ? 0 : phase[ref]),    std::abs(t / t0), 20 * std::log10(std::abs(t / t0))};
        const char* edits[] = {"FreqEdit", "OLGain", "OLGaindB", "OLPhase", "CLGain", "CLGaindB"};
        for (int k = 0; k < 6; ++k)
          EXPECT_TRUE(Shown(text(dlg, edits[k]), values[k]))
              << edits[k] << " " << text(dlg, edits[k]).toStdString() << " against " << double(values[k]) << " at " << i
              << " from " << ref;
      };
      auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"));
      EXPECT_EQ(bar->maximum(), st().set.points - 1);
      const auto offGraph = [&dlg] { return dlg.findChild<QLabel*>(QStringLiteral("OffScreenMsg"))->text(); };
      if (bode) {  // the last and the first point on the chart's edges, in either unit
        bar->setValue(bar->maximum());
        EXPECT_EQ(offGraph(), QString());
      }
      bar->setValue(0);
      expect(0, -1);
      if (bode) {
        EXPECT_EQ(offGraph(), QString());
      }
      EXPECT_EQ(win->chart()->Items().size(), curves + (bode ? 0 : 3))
          << "the curves, and the cursor's ellipse and cross";
      EXPECT_EQ(win->chart()->CrossHairAt(1).mode, bode ? 2 : 0);
      bar->setValue(150);
      bar->setValue(60);  // backwards: the phase of the curve, not a turn off it
      expect(60, -1);
      press(dlg, "RelativeBitBtn");
      EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Frequency domain cursor - relative mode"));
      bar->setValue(190);
      expect(190, 60);
      EXPECT_EQ(win->chart()->Items().size(), curves + (bode ? 0 : 5)) << "and the reference cross";
      press(dlg, "AbsoluteBitBtn");
      expect(190, -1);
      press(dlg, "CloseBtn");
    });
    choose("Plotcursor1");  // Go first: the one curve
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(win->chart()->Items().size(), curves) << "the cursor's own items taken back";
    EXPECT_TRUE(win->chart()->CrossHairAt(1).mode == 0 && win->chart()->CrossHairAt(2).mode == 0);
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
    EXPECT_TRUE(Shown(text(dlg, "FreqEdit"), 1));
    EXPECT_TRUE(Shown(text(dlg, "OLGain"), std::abs(l))) << text(dlg, "OLGain").toStdString();
    EXPECT_TRUE(Shown(text(dlg, "CLGain"), std::abs(l / (1.0L + l)))) << text(dlg, "CLGain").toStdString();
    press(dlg, "CloseBtn");
  });
  choose("Plotcursor1");
  EXPECT_EQ(messages, (QStringList{"Open-loop gain too small, showing absolute gain",
                                   "Closed-loop gain too small, showing absolute gain"}));

  // In the inverse Nyquist view 1/L does not exist where L vanishes: a mark
  // there would stand nowhere and is not made.
  win->ChangeView(FreqView::InverseNyquist);
  answer([&](QDialog& dlg) {
    dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"))->setValue(1);
    press(dlg, "MarkBtn");
    press(dlg, "CloseBtn");
  });
  choose("Plotcursor1");
  const DisplayList& items = win->chart()->Items();
  ASSERT_GT(items.size(), 0u);
  for (std::size_t i = 0; i < items.size(); ++i)
    EXPECT_TRUE(items.item(i).kind == ItemKind::Polyline ||
                (std::isfinite(items.item(i).x) && std::isfinite(items.item(i).y)))
        << "item " << i << " of kind " << int(items.item(i).kind);

  // A failing Go is reported and opens no cursor.
  int cursors = 0;
  MessageSeam::setModalHook([&cursors](QDialog&) { return ++cursors, int(QDialog::Rejected); });
  st().set.startFreq = 0;
  SetText(Sys().den[kPlant], "s(s+1)");
  choose("Plotcursor1");
  EXPECT_EQ(lastMessage(), QStringLiteral("Zero initial frequency only allowed with Type 0 systems"));
  EXPECT_EQ(cursors, 0);
}

}  // namespace
