// Speed of the describing-function analysis: 200 amplitudes of a backlash
// with 512 samples per period, and the limit-cycle search of the start-up
// loop as a new frequency window has it, for each of its nonlinearities.

#include "engine/freq/DescribingFunction.h"
#include "engine/freq/LimitCycles.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_Backlash200Amplitudes512(benchmark::State& state)
{
  ModelScope model;
  SetText(Sys().fwdNlText, "hyst(x,0.5)");
  auto rec = std::make_unique<FREQSTAT>();
  InitFreqSettings(Sys(), *rec);
  rec->loop.fwdNl = true;
  rec->set.amplitudes = 200;
  rec->set.dftPoints = 512;
  for (auto _ : state) {
    const FreqLoop loop = DecodeFreqLoop(Sys(), *rec, FreqUse::DescribingFunction);
    benchmark::DoNotOptimize(ComputeDescribingFunction(loop, *rec, LoopContext(loop.loop, ActiveDomain::Frequency)));
    benchmark::DoNotOptimize(rec->result.points[199]);
  }
}
BENCHMARK(BM_Backlash200Amplitudes512)->Unit(benchmark::kMillisecond);

// The start-up loop's forward hyst(x,a) (arg 0) or feedback quant(x,b)
// (arg 1) over the window's amplitudes 1 to 10.
void BM_LimitCyclesStartUpLoop(benchmark::State& state)
{
  ModelScope model;
  auto rec = std::make_unique<FREQSTAT>();
  InitFreqSettings(Sys(), *rec);
  rec->loop.fwdNl = state.range(0) == 0;
  rec->loop.fbkNl = state.range(0) == 1;
  LimitCycleList list;
  for (auto _ : state) {
    const FreqLoop loop = DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop);
    benchmark::DoNotOptimize(ComputeLimitCycles(loop, *rec, LoopContext(loop.loop, ActiveDomain::Frequency), list));
    benchmark::DoNotOptimize(list.count);
  }
}
BENCHMARK(BM_LimitCyclesStartUpLoop)->DenseRange(0, 1)->ArgName("fbk")->Unit(benchmark::kMicrosecond);

}  // namespace
