// Speed of a response family: ten time runs of 2000 points and ten
// frequency sweeps of 1000 points over the loop gain.

#include "engine/base/Error.h"
#include "engine/freq/FreqFamily.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/time/TimeFamily.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A second-order discrete plant of 1 ms samples in closed loop, so
// that a run of 1.999 s stores 2000 points; the frequency window sweeps
// the continuous start-up loop over its 1000-point grid.
void BM_FamilyTenTimeRunsAndTenSweeps(benchmark::State& state)
{
  ModelScope model;
  SYSDATA& s = Sys();
  const auto st = std::make_unique<TRANSTAT>();
  SetText(s.num[kPlant], "0.0001z+0.0001");
  SetText(s.den[kPlant], "(z-0.99)(z-0.995)");
  s.sampleHold = 0.001;
  st->duration = 1.999;
  const auto rec = std::make_unique<FREQSTAT>();
  InitFreqSettings(s, *rec);
  rec->set.points = kMaxFreqPoints;
  const FamilyPlan plan{kFamilyGain, 0.2, 2.0, kMaxFamilyMembers, false};
  const auto timeFamily = std::make_unique<TimeFamily>();
  const auto timeWork = std::make_unique<TimeFamilyScratch>();
  const auto freqFamily = std::make_unique<FreqFamily>();
  const auto freqWork = std::make_unique<FreqFamilyScratch>();
  // the frequency family of the continuous loop
  const auto continuous = std::make_unique<SYSDATA>();
  LoadExampleSystem(*continuous);
  for (auto _ : state) {
    ClearError();
    if (!RunTimeFamily(s, *st, plan, *timeFamily, *timeWork) ||
        !RunFreqFamily(*continuous, *rec, plan, false, *freqFamily, *freqWork)) {
      state.SkipWithError(ErrorMessage());
      break;
    }
    benchmark::DoNotOptimize(timeFamily->results[9].trace[1999]);
    benchmark::DoNotOptimize(freqFamily->results[9].points[999]);
  }
  if (timeFamily->results[9].pointCount != kTraceCapacity || freqFamily->results[9].count != kMaxFreqPoints)
    state.SkipWithError("the family is not of 2000-point runs and 1000-point sweeps");
}
BENCHMARK(BM_FamilyTenTimeRunsAndTenSweeps)->Unit(benchmark::kMillisecond);

}  // namespace
