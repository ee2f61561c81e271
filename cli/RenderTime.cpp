// vanto-cli render time: the time-domain window's chart after one Go and
// its autoscale.

#include "cli/TimeOptions.h"

#include "model/Error.h"
#include "model/Model.h"
#include "plot/GraphInteractions.h"
#include "plot/TRChart.h"
#include "time/TransDraw.h"

#include <memory>

int RenderTime(TRChart& chart, CliContext& ctx)
{
  const auto st = std::make_unique<TRANSTAT>();
  bool characteristics = false;
  if (const int rc = TakeTimeOptions(ctx, *st, characteristics); rc != 0)
    return rc;
  const bool phase = st->plotType == TransPlot::PhasePlane;
  ApplyChartSetup(chart, phase ? PhaseChart : TimeChart);
  if (phase) {
    chart.SetIdAbscissa(QString::fromLatin1(st->phaseXText));
    chart.SetIdOrdinate(QString::fromLatin1(st->phaseYText));
  }
  ClearError();
  if (!TimeEngine(*st))
    return 1;
  const TransResult& r = st->result;
  DrawTransRun(chart.Items(), r, PensOf(Sys()), st->discreteInterpolation);
  if (characteristics) {
    ResponseCharacteristics c;
    if (ComputeCharacteristics(r, c))
      DrawCharacteristics(chart.Items(), r, c);
  }
  // The window's autoscale: the time axis over the duration, the values
  // fitted with 5 % margins (both axes of the phase plane).
  if (phase) {
    (void)GraphInteractions::AutoscaleChart(chart, 5, 5);
  } else {
    chart.ZoomTo(0, chart.RangeLoY(), st->duration, chart.RangeHiY());
    (void)GraphInteractions::AutoscaleChart(chart, -1, 5);
  }
  chart.ShowGraph();
  return 0;
}
