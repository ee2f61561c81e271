// render locus: the root window's chart after Go at the picture's size, with
// the contours and closed-loop marks its menus add on request.

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"
#include "engine/root/RootEngine.h"

#include "cli/Cli.h"
#include "cli/LocusOptions.h"
#include "engine/root/RootDraw.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

int RenderLocus(TRChart& chart, CliContext& ctx)
{
  const std::unique_ptr<ROOTSTAT> rec = CreateRootLocus(Sys());
  LocusRequest asked;
  const int rc = TakeLocusOptions(ctx, *rec, asked);
  const bool contours = ctx.takeFlag("--contours");
  const bool marks = ctx.takeFlag("--closed-loop-marks");
  const bool noCircle = ctx.takeFlag("--no-unit-circle");
  if (ctx.takeFlag("--mark-labels"))
    Sys().showMarkLabels = true;
  // The picture's y range follows from its shape: no --ymax here.
  if (asked.hasYMax)
    ctx.setUsageError("unexpected argument: --ymax");
  if (rc == 2 || !ctx.usageError().empty())
    return 2;
  if (rc == 1 || ErrorPending())
    return 1;

  // The chart of the plane, with the scales dialog's ranges.
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *rec).roots, *rec))
    return 1;
  ApplyChartSetup(chart, PlaneChartSetup(rec->zPlane));
  // The picture's rectangle: x from the options, y from its low end, the
  // high end following from the chart's shape (the plane is isometric).
  if (asked.hasXMin)
    chart.SetRangeLoX(asked.xMin);
  if (asked.hasXMax)
    chart.SetRangeHiX(asked.xMax);
  if (asked.hasYMin)
    chart.SetRangeLoY(asked.yMin);
  if (!MaxExceedsMin(chart.RangeLoX(), chart.RangeHiX())) {
    SetError(kMaxMustExceedMin);
    return 1;
  }
  chart.SetIsometric(true);

  const ChartPens pens = PensOf(Sys());
  DisplayList& list = chart.Items();
  DrawPoleZeroMarks(list, rec->decoded.denRoots, rec->decoded.numRoots, pens);
  if (rec->zPlane && !noCircle)
    DrawUnitCircle(list);
  if (!RootGo(DecodeRootLoop(Sys(), *rec).roots, *rec, GeometryOf(chart), pens, list))
    return 1;
  if (contours) {
    double zetas[kMaxDampingContours];
    const ContourSteps& d = rec->dampingContours;
    const int n = DampingRatios(d.start, d.end, d.step, zetas, kMaxDampingContours);
    for (int i = 0; i < n; ++i) {
      if (!DampingContour(*rec, zetas[i]))
        return 1;
      DrawDampingContour(list, *rec, zetas[i], pens);
    }
  }
  if (asked.damping) {
    if (!DampingContour(*rec, asked.zeta))
      return 1;
    DrawDampingContour(list, *rec, asked.zeta, pens);
  }
  if (asked.settling) {
    if (!SettlingContour(rec->decoded, *rec))
      return 1;
    DrawSettlingContour(list, *rec, pens);
  }
  if (marks) {
    if (!PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true))
      return 1;
    MarkClosedLoopPoles(list, rec->report.poles, Sys().gain, pens);
  }
  return 0;
}
