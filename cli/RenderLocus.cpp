// render locus: the root window's chart after Go at the picture's size, with
// the contours and closed-loop marks its menus add on request.

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"
#include "engine/root/RootEngine.h"

#include "cli/Cli.h"
#include "engine/root/RootDraw.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

int RenderLocus(TRChart& chart, CliContext& ctx)
{
  const std::unique_ptr<ROOTSTAT> rec = CreateRootLocus(Sys());
  rec->loop = ctx.switches(false);
  double xMin = 0.0, xMax = 0.0, yMin = 0.0;
  const bool hasXMin = ctx.takeNumber("--xmin", xMin);
  const bool hasXMax = ctx.takeNumber("--xmax", xMax);
  const bool hasYMin = ctx.takeNumber("--ymin", yMin);
  double points = rec->points, zeta = 0.0, settling = rec->settlingTime;
  ctx.takeInRange("--points", ranges::kRootPoints, points);
  const bool damping = ctx.takeInRange("--damping", ranges::kDampingStart, zeta);
  const bool settle = ctx.takeInRange("--settling", ranges::kSettlingTime, settling);
  const bool contours = ctx.takeFlag("--contours");
  const bool marks = ctx.takeFlag("--closed-loop-marks");
  const bool noCircle = ctx.takeFlag("--no-unit-circle");
  if (ctx.takeFlag("--mark-labels"))
    Sys().showMarkLabels = true;
  if (!ctx.usageError().empty())
    return 2;
  if (ErrorPending())
    return 1;
  rec->points = static_cast<int>(points);
  rec->settlingTime = settling;

  // The chart of the plane, with the scales dialog's ranges.
  if (!PrepareRootLoop(Sys(), *rec))
    return 1;
  ApplyChartSetup(chart, PlaneChartSetup(rec->zPlane));
  if (hasXMin)
    chart.SetRangeLoX(xMin);
  if (hasXMax)
    chart.SetRangeHiX(xMax);
  if (hasYMin)
    chart.SetRangeLoY(yMin);
  if (!MaxExceedsMin(chart.RangeLoX(), chart.RangeHiX())) {
    SetError(kMaxMustExceedMin);
    return 1;
  }
  chart.SetIsometric(true);

  const ChartPens pens = PensOf(Sys());
  DisplayList& list = chart.Items();
  DrawPoleZeroMarks(list, rec->decoded.model.denRoots, rec->decoded.model.numRoots, pens);
  if (rec->zPlane && !noCircle)
    DrawUnitCircle(list);
  if (!RootGo(Sys(), *rec, GeometryOf(chart), pens, list))
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
  if (damping) {
    if (!DampingContour(*rec, zeta))
      return 1;
    DrawDampingContour(list, *rec, zeta, pens);
  }
  if (settle) {
    if (!SettlingContour(Sys(), *rec))
      return 1;
    DrawSettlingContour(list, *rec, pens);
  }
  if (marks) {
    if (!PrepareRootReport(Sys(), *rec, true))
      return 1;
    MarkClosedLoopPoles(list, rec->report.poles, Sys().gain, pens);
  }
  return 0;
}
