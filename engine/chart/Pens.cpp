#include "engine/chart/Pens.h"

#include "engine/model/SysData.h"

#include <algorithm>
#include <iterator>

ChartPens PensOf(const SYSDATA& s)
{
  ChartPens pens{{s.pen[0], s.pen[1], s.pen[2], s.pen[3]}, s.showMarkLabels};
  static_assert(sizeof pens.numberFormat == sizeof s.numberFormat);
  std::copy(std::begin(s.numberFormat), std::end(s.numberFormat), pens.numberFormat);
  return pens;
}

std::uint32_t FamilyPen(int i, int n)
{
  const double f = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
  const double hue = 240.0 * (1.0 - (f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f)));  // degrees, blue to red
  constexpr double kValue = 0.85;
  const double sector = hue / 60.0;
  const int k = static_cast<int>(sector) % 6;
  const double frac = sector - static_cast<int>(sector);
  const double rising = kValue * frac;
  const double falling = kValue * (1.0 - frac);
  double r = 0.0, g = 0.0, b = 0.0;
  switch (k) {
    case 0:
      r = kValue, g = rising;
      break;
    case 1:
      r = falling, g = kValue;
      break;
    case 2:
      g = kValue, b = rising;
      break;
    case 3:
      g = falling, b = kValue;
      break;
    default:
      r = rising, b = kValue;
      break;  // 240 degrees exactly: blue
  }
  const auto byte = [](double c) { return static_cast<std::uint32_t>(c * 255.0 + 0.5); };
  return byte(r) << 16 | byte(g) << 8 | byte(b);
}
