// render freq: the frequency window's chart after Go, with the M contours,
// unit circle and margin marks its commands add; with --df the open-loop
// response, then the describing-function locus drawn over it as the
// window's Go draws it in that mode, and with --limit-cycles the predicted
// limit cycles marked at their crossings.

#include "cli/FreqOptions.h"

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqDraw.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"
#include "gui/freq/FreqCharts.h"

#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

#include <memory>
#include <string>

int RenderFreq(TRChart& chart, CliContext& ctx)
{
  const auto rec = std::make_unique<FREQSTAT>();
  if (const int rc = TakeFreqOptions(ctx, *rec); rc != 0)
    return rc;
  const bool describing = rec->describingMode;
  double single = 0.0;
  const bool one = TakeMContour(ctx, "--mcontour", single);
  const bool family = ctx.takeFlag("--mcontours");
  const bool circle = ctx.takeFlag("--unit-circle");
  const bool margins = ctx.takeFlag("--margins");
  const bool limitCycles = ctx.takeFlag("--limit-cycles");
  if (ctx.takeFlag("--labels"))
    Sys().showMarkLabels = true;
  if (ErrorPending())
    return 1;
  if (!ctx.usageError().empty())
    return 2;
  const FreqView view = rec->set.view;
  const bool bode = view == FreqView::BodeGain || view == FreqView::BodePhase;
  if ((one || family) && bode) {
    ctx.setUsageError("render freq: the Bode views have no M contours");
    return 2;
  }
  if (limitCycles && !describing) {
    ctx.setUsageError("render freq --limit-cycles: goes with --df fwd|fbk");
    return 2;
  }

  ApplyChartSetup(chart, FreqChartSetup(view));
  AddMinus180Line(chart, view);
  if (bode)
    (void)MatchBodeUnits(chart, rec->set);  // as the window's view change does
  const ChartPens pens = PensOf(Sys());
  DisplayList& list = chart.Items();
  const auto go = [&](FreqCurve curve) {
    const FreqLoop loop = DecodeFreqLoop(Sys(), *rec, GoUse(curve));
    return FreqGo(loop, *rec, LoopContext(loop.loop, ActiveDomain::Frequency), curve, GeometryOf(chart), pens, list);
  };
  if (!go(FreqCurve::Response))
    return 1;
  if (margins) {
    StabilityMargins m;
    if (!ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m))
      return 1;
    DrawMarginMarks(list, *rec, m, pens);
  }
  if (family && !DrawMContours(list, *rec, rec->mContours, pens))
    return 1;
  if (one) {
    if (!ComputeMContour(*rec, single))
      return 1;
    DrawMContour(list, *rec, single, pens);
  }
  // Over the response, as the window's Go draws in that mode.
  if (describing && !go(FreqCurve::DescribingFunction))
    return 1;
  if (limitCycles) {
    LimitCycleList cycles;
    const FreqLoop loop = DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop);
    if (!ComputeLimitCycles(loop, *rec, LoopContext(loop.loop, ActiveDomain::Frequency), cycles))
      return 1;
    DrawLimitCycleMarks(list, *rec, cycles, GeometryOf(chart), pens);
  }
  if (circle && (view == FreqView::DirectNyquist || view == FreqView::InverseNyquist))
    DrawUnitCircle(list);
  return 0;
}
