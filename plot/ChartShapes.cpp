#include "plot/ChartShapes.h"

#include "plot/DisplayList.h"

void DrawUnitCircle(DisplayList& list) { list.ellipse(0, 0, 1, 1, 0x000000); }
