// vanto-cli nlin: the static characteristic of the nonlinearities, as the
// nonlinear window computes it on Go.

#include "cli/Cli.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/nlin/NlinDraw.h"
#include "engine/nlin/NlinEngine.h"

#include <ostream>

int TakeNlinOptions(CliContext& ctx, NLINSTAT& rec)
{
  CreateNonlinearCurve(rec, kNlinChart.xLo, kNlinChart.xHi);
  rec.loop.fwdNl = !ctx.takeFlag("--no-fwd");
  rec.loop.fbkNl = ctx.takeFlag("--fbk");
  double xMin = rec.xMin, xMax = rec.xMax, n = rec.points;
  ctx.takeInRange("--xmin", ranges::kXAxisMin, xMin);
  ctx.takeInRange("--xmax", ranges::kXAxisMax, xMax);
  if (ctx.takeInRange("--points", ranges::kNlinPoints, n))
    rec.points = static_cast<std::int32_t>(n);
  if (ctx.usageError().empty() && !ErrorPending() && SetInputRange(rec, xMin, xMax))
    return 0;
  return ErrorPending() ? 1 : 2;
}

int CmdNlin(CliContext& ctx)
{
  static NLINSTAT rec;  // 16 kB: kept off the stack
  ClearError();
  if (const int rc = TakeNlinOptions(ctx, rec); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  if (ctx.leftover())
    return 2;
  const Loop loop = DecodeNlinLoop(Sys());
  const EvalContext eval = LoopContext(loop, ActiveDomain::Nonlinear);
  if (!ComputeCharacteristic(loop, rec, eval))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)ComputeCharacteristic(DecodeNlinLoop(Sys()), rec, eval); });

  const NlinResult& r = rec.result;
  ctx.out << "x,y\n";
  for (std::int32_t i = 0; i < r.count; ++i) {
    const NlinPoint& p = r.points[static_cast<std::size_t>(i)];
    ctx.out << FormatSingle(p.x) << ',' << FormatSingle(p.y) << '\n';
  }
  if (r.cut)
    ctx.out << "# " << kNlinCutNote << '\n';
  return 0;
}
