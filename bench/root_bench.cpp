// Speed of the root-locus engine: tracing the start-up loop (compensator
// and plant) in the start rectangle at the default and the finest
// resolution, the closed-loop roots of the report, and the parameter locus.

#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/root/ParamLocus.h"
#include "engine/root/RootEngine.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_TraceStartupLoop(benchmark::State& state)
{
  ModelScope model;
  const auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = true;
  rec->points = static_cast<int>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec));
  state.counters["points"] = rec->result.count;
}
BENCHMARK(BM_TraceStartupLoop)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_ClosedLoopReport(benchmark::State& state)
{
  ModelScope model;
  const auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = true;
  for (auto _ : state)
    benchmark::DoNotOptimize(PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true));
}
BENCHMARK(BM_ClosedLoopReport)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The parameter locus of a fourth-order loop (compensator and plant, the
// parameter inside the plant's quadratic) over 1000 values, and its stable
// ranges.
void BM_ParameterLocus(benchmark::State& state)
{
  ModelScope model;
  SetText(Sys().den[kPlant], "(s+1)(s^2+as+6)");
  LoopSwitches loop = SwitchesFromModel(Sys());
  loop.compIn = true;
  const ParamSweep sw{0, 0.1, 1000, 1000, true};
  const auto locus = std::make_unique<ParamLocus>();
  for (auto _ : state)
    benchmark::DoNotOptimize(TraceParamLocus(Sys(), loop, sw, *locus));
  state.counters["samples"] = locus->count;
}
BENCHMARK(BM_ParameterLocus)->Unit(benchmark::kMicrosecond);

void BM_StableRanges(benchmark::State& state)
{
  ModelScope model;
  SetText(Sys().den[kPlant], "(s+1)(s^2+as+6)");
  LoopSwitches loop = SwitchesFromModel(Sys());
  loop.compIn = true;
  const ParamSweep sw{0, -2, 3, 1000, false};
  StableRanges ranges;
  for (auto _ : state)
    benchmark::DoNotOptimize(FindStableRanges(Sys(), loop, sw, false, ranges));
  state.counters["ranges"] = ranges.count;
}
BENCHMARK(BM_StableRanges)->Unit(benchmark::kMicrosecond);

}  // namespace
