#include "cli/LocusOptions.h"

#include "engine/base/Error.h"
#include "engine/model/ValueRanges.h"

int TakeLocusOptions(CliContext& ctx, ROOTSTAT& rec, LocusRequest& asked)
{
  rec.loop = ctx.switches(false);
  asked.hasXMin = ctx.takeNumber("--xmin", asked.xMin);
  asked.hasXMax = ctx.takeNumber("--xmax", asked.xMax);
  asked.hasYMin = ctx.takeNumber("--ymin", asked.yMin);
  asked.hasYMax = ctx.takeNumber("--ymax", asked.yMax);
  double points = rec.points, settling = rec.settlingTime;
  ctx.takeInRange("--points", ranges::kRootPoints, points);
  asked.damping = ctx.takeInRange("--damping", ranges::kDampingStart, asked.zeta);
  asked.settling = ctx.takeInRange("--settling", ranges::kSettlingTime, settling);
  if (!ctx.usageError().empty())
    return 2;
  if (ErrorPending())
    return 1;
  rec.points = static_cast<int>(points);
  rec.settlingTime = settling;
  return 0;
}
