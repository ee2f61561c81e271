// Speed of the root-locus engine: tracing the start-up loop (compensator
// and plant) in the start rectangle at the default and the finest
// resolution, and the closed-loop roots of the report.

#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/root/RootEngine.h"

#include <benchmark/benchmark.h>

namespace {

void BM_TraceStartupLoop(benchmark::State& state)
{
  ModelScope model;
  const auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = true;
  rec->points = static_cast<int>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(TraceLocus(Sys(), *rec));
  state.counters["points"] = rec->result.count;
}
BENCHMARK(BM_TraceStartupLoop)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_ClosedLoopReport(benchmark::State& state)
{
  ModelScope model;
  const auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = true;
  for (auto _ : state)
    benchmark::DoNotOptimize(PrepareRootReport(Sys(), *rec, true));
}
BENCHMARK(BM_ClosedLoopReport)->Unit(benchmark::kMicrosecond);

}  // namespace
