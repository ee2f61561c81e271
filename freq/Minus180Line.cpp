#include "freq/Minus180Line.h"

#include "plot/TRChart.h"

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
