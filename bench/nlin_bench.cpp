// Speed of the nonlinear characteristic: Go of the nonlinear window
// (compilation, memory start and the sweep up and back).

#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/nlin/NlinEngine.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

void Characteristic(benchmark::State& state, const char* fwd, const char* fbk, bool fbkIn)
{
  ModelScope model;
  SetText(Sys().fwdNlText, fwd);
  SetText(Sys().fbkNlText, fbk);
  auto rec = std::make_unique<NLINSTAT>();
  rec->loop.fbkNl = fbkIn;
  rec->points = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    const Loop loop = DecodeNlinLoop(Sys());
    if (!ComputeCharacteristic(loop, *rec, LoopContext(loop, ActiveDomain::Nonlinear)))
      std::abort();
    benchmark::DoNotOptimize(rec->result.points.data());
  }
  state.counters["stored"] = rec->result.count;
}

// The start-up pair in series: backlash then quantiser, both branches.
void BM_BacklashThenQuantiser(benchmark::State& state)
{
  Characteristic(state, "hyst(x,0.5)", "quant(x,0.25)", true);
}
BENCHMARK(BM_BacklashThenQuantiser)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

// No memory: one sweep up.
void BM_Quantiser(benchmark::State& state)
{
  Characteristic(state, "quant(x,0.25)", "x", false);
}
BENCHMARK(BM_Quantiser)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
