#include "gui/chart/ChartSetupApply.h"

#include "gui/chart/TRChart.h"

void ApplyChartSetup(TRChart& chart, const ChartSetup& setup)
{
  chart.setObjectName(QLatin1String(setup.name));
  chart.SetCaption(QLatin1String(setup.caption));
  chart.SetIdAbscissa(QLatin1String(setup.abscissa));
  chart.SetIdOrdinate(QLatin1String(setup.ordinate));
  chart.SetLogScaleX(setup.logX);
  chart.SetShortTicksX(setup.shortTicksX);
  chart.SetGridDx(setup.gridShown ? 0 : 1e15);
  chart.SetGridDy(setup.gridShown ? 0 : 1e15);
  chart.ZoomTo(setup.xLo, setup.yLo, setup.xHi, setup.yHi);
  chart.SetIsometric(setup.isometric);
}

ChartGeometry GeometryOf(const TRChart& chart)
{
  return {chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY(), chart.width(), chart.height()};
}
