// Speed of the time-domain simulation: one Go of the start-up loop with
// everything in it.

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/time/TimeEngine.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One Go of st for each iteration.
void TimeGo(benchmark::State& state, TRANSTAT& st)
{
  for (auto _ : state) {
    const Loop loop = DecodeTimeLoop(Sys(), st);
    if (!TimeEngine(loop, st, LoopContext(loop, ActiveDomain::Time)))
      state.SkipWithError(ErrorMessage());
    benchmark::DoNotOptimize(st.result.trace[999]);
  }
}

// Closed loop, compensator and plant (not merged: the load and the forward
// nonlinearity keep them apart), 1000 points, reference, load and noise with
// the texts a new window starts with, hyst(x,a) forward and quant(x,b)
// feedback, cost integ(e*e).
void EverythingOn(TRANSTAT& st)
{
  st.points = 1000;
  st.loop.compIn = true;
  st.loop.fwdNl = true;
  st.loop.fbkNl = true;
  st.loop.loadInput = true;
  st.loop.noiseInput = true;
  st.costOnGo = true;
  SetText(st.costText, "integ(e*e)");
}

void BM_TimeEngineStartUpLoopEverythingOn(benchmark::State& state)
{
  ModelScope model;
  const auto st = std::make_unique<TRANSTAT>();
  EverythingOn(*st);
  TimeGo(state, *st);
}
BENCHMARK(BM_TimeEngineStartUpLoopEverythingOn)->Unit(benchmark::kMicrosecond);

// The same with a square-wave load and sinusoidal noise: the evaluation of
// sin and sqwave at every step shows.
void BM_TimeEngineStartUpLoopWaveInputs(benchmark::State& state)
{
  ModelScope model;
  const auto st = std::make_unique<TRANSTAT>();
  EverythingOn(*st);
  SetText(st->loadText, "0.2*sqwave(t)");
  SetText(st->noiseText, "0.01*sin(50*t)");
  TimeGo(state, *st);
}
BENCHMARK(BM_TimeEngineStartUpLoopWaveInputs)->Unit(benchmark::kMicrosecond);

// The start-up plant alone, 1000 points: the least a run costs.
void BM_TimeEnginePlantStep(benchmark::State& state)
{
  ModelScope model;
  const auto st = std::make_unique<TRANSTAT>();
  st->points = 1000;
  TimeGo(state, *st);
}
BENCHMARK(BM_TimeEnginePlantStep)->Unit(benchmark::kMicrosecond);

}  // namespace
