#include "engine/chart/Pens.h"

#include "engine/model/SysData.h"

ChartPens PensOf(const SYSDATA& s)
{
  return {{s.pen[0], s.pen[1], s.pen[2], s.pen[3]}, s.showMarkLabels};
}
