#include "plot/ChartShapes.h"

#include "plot/TRChart.h"

void DrawUnitCircle(TRChart& chart)
{
  chart.SetDataColor(Qt::black);
  chart.EllipseItem(0, 0, 1, 1);
}
