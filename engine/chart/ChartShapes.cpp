#include "engine/chart/ChartShapes.h"

#include "engine/chart/DisplayList.h"

void DrawUnitCircle(DisplayList& list)
{
  list.ellipse(0, 0, 1, 1, 0x000000);
}
