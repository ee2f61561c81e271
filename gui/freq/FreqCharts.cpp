#include "gui/freq/FreqCharts.h"

#include "engine/freq/FreqDraw.h"
#include "gui/chart/TRChart.h"

namespace {
constexpr QRgb kMinus180Colour = 0xC0C0C0;  // silver
}  // namespace

void AddMinus180Line(TRChart& chart, FreqView view)
{
  if (view == FreqView::Nichols) {
    chart.CrossHairSetup(3, QColor::fromRgb(kMinus180Colour), 1, 0, 2);
    chart.CrossHairPosition(3, -180, 0);
  } else if (view == FreqView::BodePhase) {
    chart.CrossHairSetup(3, QColor::fromRgb(kMinus180Colour), 1, 0, 1);
    chart.CrossHairPosition(3, 0, -180);
  }
}

bool MatchBodeUnits(TRChart& chart, const FreqSettings& set)
{
  const double factor = BodeUnitFactor(set, chart.IdAbscissa().toLatin1().constData());
  if (factor == 0.0)
    return false;
  chart.SetRangeLoX(chart.RangeLoX() * factor);
  chart.SetRangeHiX(chart.RangeHiX() * factor);
  chart.SetIdAbscissa(QLatin1String(set.units));
  chart.ClearGraph();
  return true;
}
