// vanto-cli sweep --family time|freq: the time or frequency table of each
// member of a family, each block after a remark "# p = V".

#include "cli/SweepFamily.h"

#include "cli/FreqOptions.h"
#include "cli/TimeOptions.h"

#include "engine/base/Error.h"
#include "engine/freq/FreqFamily.h"
#include "engine/model/Model.h"
#include "engine/time/TimeFamily.h"

#include <memory>
#include <ostream>

namespace {

void PrintMemberRemark(std::ostream& out, const FamilyMembers& m, int i)
{
  out << "# p = " << FormatDouble(m.value[static_cast<std::size_t>(i)]) << '\n';
}

int TimeFamilyRun(CliContext& ctx, const FamilyPlan& plan)
{
  // the settings, copies and the ten stores are too big for the stack
  const auto st = std::make_unique<TRANSTAT>();
  if (const int rc = TakeTimeOptions(ctx, *st); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  const auto fam = std::make_unique<TimeFamily>();
  const auto work = std::make_unique<TimeFamilyScratch>();
  ClearError();
  if (!RunTimeFamily(Sys(), *st, plan, *fam, *work))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)RunTimeFamily(Sys(), *st, plan, *fam, *work); });
  for (int i = 0; i < fam->members.count; ++i) {
    const TransResult& r = fam->results[static_cast<std::size_t>(i)];
    PrintMemberRemark(ctx.out, fam->members, i);
    PrintTrace(ctx.out, r);
    if (st->characteristicsOnGo)
      PrintCharacteristics(ctx.out, r);
    if (st->costOnGo)
      ctx.out << "# cost = " << FormatDouble(r.cost) << '\n';
  }
  return 0;
}

int FreqFamilyRun(CliContext& ctx, const FamilyPlan& plan)
{
  const auto rec = std::make_unique<FREQSTAT>();
  if (const int rc = TakeFreqOptions(ctx, *rec); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  const bool margins = ctx.takeFlag("--margins");
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  if (rec->describingMode) {
    ctx.setUsageError("sweep --family freq: a family is of responses or margins, not of --df");
    return 2;
  }
  const auto fam = std::make_unique<FreqFamily>();
  const auto work = std::make_unique<FreqFamilyScratch>();
  ClearError();
  if (!RunFreqFamily(Sys(), *rec, plan, margins, *fam, *work))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)RunFreqFamily(Sys(), *rec, plan, margins, *fam, *work); });
  for (int i = 0; i < fam->members.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    PrintMemberRemark(ctx.out, fam->members, i);
    if (margins)
      PrintMargins(ctx.out, fam->margins[k]);
    else
      PrintResponse(ctx.out, *rec, fam->results[k]);
  }
  return 0;
}

}  // namespace

int RunSweepFamily(CliContext& ctx, const SweepPlan& plan, const std::string& family)
{
  FamilyPlan fs;
  fs.over = plan.over == SweepOver::Gain ? kFamilyGain : SweepParameterIndex(plan.over);
  fs.from = plan.from;
  fs.to = plan.to;
  fs.log = plan.log;
  long members = fs.members;
  if (ctx.takeCount("--members", members))
    fs.members = members > kMaxFamilyMembers ? kMaxFamilyMembers + 1 : static_cast<int>(members);
  if (!ctx.usageError().empty())
    return 2;
  if (family == "time")
    return TimeFamilyRun(ctx, fs);
  if (family == "freq")
    return FreqFamilyRun(ctx, fs);
  ctx.setUsageError("sweep --family: time or freq expected");
  return 2;
}
