#pragma once
// Fixture of the frequency-window suites: the shown main frame with one
// frequency window, helpers that drive its items and answer its dialogs,
// and the start-up loop's L(j w) in long double for independent values.

#include "tests/gui/FrameTest.h"

#include "gui/chart/TRChart.h"
#include "gui/freq/FreqChild.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <complex>
#include <vector>

class FreqWinTest : public FrameTest {
protected:
  void SetUp() override
  {
    FrameTest::SetUp();
    win = static_cast<TFreqChildForm*>(frame->NewWindow(ActiveDomain::Frequency));
  }

  FREQSTAT& st() { return win->settings(); }
  QAction* item(const char* name) const { return win->findChild<QAction*>(QLatin1String(name)); }
  void choose(const char* name)
  {
    ASSERT_NE(item(name), nullptr) << name;
    item(name)->trigger();
  }

  // The polylines of a chart's display list in a colour, each as its points.
  static std::vector<std::vector<ChartPoint>> Polylines(const TRChart& c, Rgb colour)
  {
    std::vector<std::vector<ChartPoint>> lines;
    for (std::size_t i = 0; i < c.Items().size(); ++i) {
      const ChartItem& it = c.Items().item(i);
      if (it.kind == ItemKind::Polyline && it.colour == colour)
        lines.emplace_back(c.Items().points(it), c.Items().points(it) + it.count);
    }
    return lines;
  }

  TFreqChildForm* win = nullptr;
};

using Cld = std::complex<long double>;
inline constexpr long double kDegL = 57.295779513082320876798154814105170L;

// K Gp(j w) of the start-up plant 6/((s+1)(s^2+1.4s+6)), times the
// compensator (1+0.5s)/s when it is in the loop.
inline Cld StartUpLoop(long double w, bool compensator, long double k = 1)
{
  const Cld s(0, w);
  const Cld l = k * 6.0L / ((s + 1.0L) * (s * s + 1.4L * s + 6.0L));
  return compensator ? l * (1.0L + 0.5L * s) / s : l;
}

// A value shown with four significant figures, against the exact one.
inline bool Shown(const QString& shown, long double exact)
{
  return std::fabs(shown.toDouble() - exact) <= 6e-4L * std::fabs(exact) + 1e-9L;
}
