#pragma once
// vanto-cli sweep: what the parameter sweep's options say, shared by the
// parameter locus and stable ranges (CmdSweep.cpp) and the families of time
// and frequency responses (--family, SweepFamily.cpp).

#include "cli/Cli.h"

#include <string>

// The swept quantity: a user parameter a..d or the loop gain.
enum class SweepOver { A, B, C, D, Gain };

struct SweepPlan {
  SweepOver over = SweepOver::A;
  // The range P1..P2 (from < to; both > 0 with log). hasRange is false only
  // for --over gain --stable-ranges without --from/--to.
  double from = 0.0;
  double to = 0.0;
  bool hasRange = true;
  // --points N of the locus; 0 in the family form, where --points belongs to
  // the time or freq options left in the context.
  int points = 0;
  bool log = false;  // values spread logarithmically
};

// The index of a user parameter in ParameterSet::v (0..3), -1 for the gain.
[[nodiscard]] inline int SweepParameterIndex(SweepOver over)
{
  return over == SweepOver::Gain ? -1 : static_cast<int>(over);
}

// "a", "b", "c", "d" or "gain".
[[nodiscard]] inline const char* SweepOverName(SweepOver over)
{
  constexpr const char* kNames[] = {"a", "b", "c", "d", "gain"};
  return kNames[static_cast<int>(over)];
}

// `sweep ... --family time|freq [that subcommand's options] [--members N]`:
// family is "time" or "freq"; ctx holds the arguments the sweep options
// left (the subcommand's options and --members). Returns the exit status as
// a subcommand does (0, 1 with a system error, 2 after a usage error).
int RunSweepFamily(CliContext& ctx, const SweepPlan& plan, const std::string& family);
