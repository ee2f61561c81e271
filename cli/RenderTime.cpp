// vanto-cli render time: the time-domain window's chart after one Go and
// its autoscale.

#include "cli/TimeOptions.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/time/TransDraw.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/GraphInteractions.h"
#include "gui/chart/TRChart.h"

#include <memory>

int RenderTime(TRChart& chart, CliContext& ctx)
{
  const auto st = std::make_unique<TRANSTAT>();
  if (const int rc = TakeTimeOptions(ctx, *st); rc != 0)
    return rc;
  const bool phase = st->plotType == TransPlot::PhasePlane;
  ApplyChartSetup(chart, phase ? PhaseChart : TimeChart);
  if (phase) {
    chart.SetIdAbscissa(QString::fromLatin1(st->phaseXText));
    chart.SetIdOrdinate(QString::fromLatin1(st->phaseYText));
  }
  DisplayList& list = chart.Items();
  const Loop loop = DecodeTimeLoop(Sys(), *st);
  if (!TimeGo(loop, *st, LoopContext(loop, ActiveDomain::Time), PensOf(Sys()), list) && ErrorPending())
    return 1;
  // The window's autoscale.
  const TimeAutoscale rule = TimeAutoscaleOf(*st);
  if (rule.timeAxis)
    chart.ZoomTo(0, chart.RangeLoY(), rule.duration, chart.RangeHiY());
  (void)GraphInteractions::AutoscaleChart(chart, rule.marginX, rule.marginY);
  chart.ShowGraph();
  return 0;
}
