// Speed of the frequency engine: a 1000-point sweep of the start-up loop in
// closed loop, nine M contours and the stability margins with a delay.

#include "engine/base/Error.h"
#include "engine/freq/FreqEngine.h"
#include "engine/freq/Margins.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The start-up loop with compensator and plant.
std::unique_ptr<FREQSTAT> StartUpLoop(bool closed)
{
  auto rec = std::make_unique<FREQSTAT>();
  InitFreqSettings(Sys(), *rec);
  rec->loop.compIn = true;
  rec->loop.plantIn = true;
  rec->loop.closedLoop = closed;
  return rec;
}

void BM_Sweep1000ClosedLoop(benchmark::State& state)
{
  ModelScope model;
  auto rec = StartUpLoop(true);
  rec->set.points = 1000;
  rec->set.view = static_cast<FreqView>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec));
    benchmark::DoNotOptimize(rec->result.points[999]);
  }
}
BENCHMARK(BM_Sweep1000ClosedLoop)->DenseRange(0, kFreqViews - 1)->ArgName("view");

void BM_NineMContours200(benchmark::State& state)
{
  ModelScope model;
  auto rec = StartUpLoop(false);
  rec->set.view = static_cast<FreqView>(state.range(0));
  for (auto _ : state) {
    for (double m = -12; m <= 12; m += 3)
      benchmark::DoNotOptimize(ComputeMContour(*rec, m));
    benchmark::DoNotOptimize(rec->result.points[0]);
  }
}
BENCHMARK(BM_NineMContours200)->DenseRange(0, 2)->ArgName("view");

void BM_MarginsWithDelay(benchmark::State& state)
{
  ModelScope model;
  Sys().delay = 0.5;
  auto rec = StartUpLoop(false);
  StabilityMargins m;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m));
    benchmark::DoNotOptimize(m.gain[0]);
  }
}
BENCHMARK(BM_MarginsWithDelay);

}  // namespace
