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
