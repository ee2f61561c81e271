// vanto-cli sweep: the parameter locus (the closed-loop roots as a user
// parameter or the loop gain runs over a range) and the ranges of that value
// over which the closed loop is stable.

#include "cli/Cli.h"
#include "cli/SweepFamily.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/root/ParamLocus.h"

#include <memory>
#include <ostream>
#include <string>

namespace {

bool ParseOver(const std::string& text, SweepOver& over)
{
  for (int i = 0; i <= static_cast<int>(SweepOver::Gain); ++i)
    if (text == SweepOverName(static_cast<SweepOver>(i))) {
      over = static_cast<SweepOver>(i);
      return true;
    }
  return false;
}

// One block per branch of each uninterrupted part of the locus.
void PrintLocus(CliContext& ctx, const ParamLocus& locus)
{
  ctx.out << "p,re,im\n";
  bool firstBlock = true;
  for (int start = 0; start < locus.count;) {
    int end = start + 1;
    while (end < locus.count && !locus.samples[static_cast<std::size_t>(end)].newSegment)
      ++end;
    const int branches = locus.samples[static_cast<std::size_t>(start)].n;
    for (int b = 0; b < branches; ++b) {
      if (!firstBlock)
        ctx.out << '\n';
      firstBlock = false;
      for (int k = start; k < end; ++k) {
        const SweepSample& s = locus.samples[static_cast<std::size_t>(k)];
        ctx.out << FormatDouble(s.p) << ',' << FormatDouble(s.r[b].re) << ',' << FormatDouble(s.r[b].im) << '\n';
      }
    }
    start = end;
  }
}

}  // namespace

int CmdSweep(CliContext& ctx)
{
  std::string overText, family;
  const bool hasOver = ctx.takeValue("--over", overText);
  SweepPlan plan;
  const bool hasFrom = ctx.takeNumber("--from", plan.from);
  const bool hasTo = ctx.takeNumber("--to", plan.to);
  plan.log = ctx.takeFlag("--log");
  // The family form: what is left belongs to the time or freq options.
  if (ctx.takeValue("--family", family)) {
    if (!ctx.usageError().empty())
      return 2;
    if (!hasOver || !ParseOver(overText, plan.over)) {
      ctx.setUsageError("sweep: --over a, b, c, d or gain expected");
      return 2;
    }
    if (!hasFrom || !hasTo) {
      ctx.setUsageError("sweep: --from P1 --to P2 expected");
      return 2;
    }
    return RunSweepFamily(ctx, plan, family);
  }
  double points = 200;
  ctx.takeInRange("--points", kSweepPoints, points);
  const bool stableRanges = ctx.takeFlag("--stable-ranges");
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  if (!hasOver || !ParseOver(overText, plan.over)) {
    ctx.setUsageError("sweep: --over a, b, c, d or gain expected");
    return 2;
  }
  plan.hasRange = hasFrom || hasTo;
  if (hasFrom != hasTo || (!plan.hasRange && !(stableRanges && plan.over == SweepOver::Gain))) {
    ctx.setUsageError("sweep: --from P1 --to P2 expected");
    return 2;
  }
  if (ErrorPending())
    return ctx.systemError();
  plan.points = static_cast<int>(points);

  const LoopSwitches loop = ctx.switches(true);
  const ParamSweep sw{SweepParameterIndex(plan.over), plan.from, plan.to, plan.points, plan.log};
  if (stableRanges) {
    StableRanges ranges;
    const bool whole = !plan.hasRange;
    if (!FindStableRanges(Sys(), loop, sw, whole, ranges))
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)FindStableRanges(Sys(), loop, sw, whole, ranges); });
    ctx.out << "from,to\n";
    if (ranges.count == 0)
      ctx.out << "none\n";
    for (int i = 0; i < ranges.count; ++i)
      ctx.out << FormatDouble(ranges.from[i]) << ',' << FormatDouble(ranges.to[i]) << '\n';
    return 0;
  }
  const auto locus = std::make_unique<ParamLocus>();
  if (!TraceParamLocus(Sys(), loop, sw, *locus))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)TraceParamLocus(Sys(), loop, sw, *locus); });
  if (locus->interrupted)
    ctx.out << "# locus interrupted for " << SweepOverName(plan.over) << " from " << FormatDouble(locus->badFrom)
            << " to " << FormatDouble(locus->badTo) << ": " << locus->badMessage << '\n';
  PrintLocus(ctx, *locus);
  return 0;
}
