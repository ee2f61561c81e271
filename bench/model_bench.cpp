// Speed of the loop model: the root finder, the zero-order hold with a
// fractional delay and UpdateLoop of the start-up example loop.

#include "engine/base/Error.h"
#include "engine/model/Discrete.h"
#include "engine/model/Model.h"
#include "engine/model/Roots.h"
#include "engine/model/SysData.h"
#include "engine/model/UpdateLoop.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

void BM_FindRootsQuartic(benchmark::State& state)
{
  ModelScope model;
  // (s+1)(s+2)(s^2+2s+5)
  const double coeffs[kMaxCoeffs] = {10, 19, 15, 5, 1};
  for (auto _ : state) {
    double a[kMaxCoeffs];
    std::memcpy(a, coeffs, sizeof a);
    RootSet set;
    double gain = 1.0;
    benchmark::DoNotOptimize(FindRoots(a, 5, gain, set));
    benchmark::DoNotOptimize(set);
  }
}
BENCHMARK(BM_FindRootsQuartic);

void BM_ZohFractionalDelayOrder4(benchmark::State& state)
{
  ModelScope model;
  const Polynomial num{{7, 1, 0.3, 0.02, 0}, 4};
  const Polynomial den{{24, 50, 35, 10, 1}, 5};  // (s+1)(s+2)(s+3)(s+4)
  for (auto _ : state) {
    ZPolynomial nz, dz;
    int m = 0;
    benchmark::DoNotOptimize(ZohTransfer(num, den, 0.1, 0.25, nz, dz, m));
    benchmark::DoNotOptimize(dz);
  }
}
BENCHMARK(BM_ZohFractionalDelayOrder4);

void BM_UpdateLoopExample(benchmark::State& state)
{
  ModelScope model;
  SYSDATA& s = Sys();
  for (auto _ : state) {
    ClearError();
    benchmark::DoNotOptimize(UpdateLoop(s));
  }
}
BENCHMARK(BM_UpdateLoopExample);

void BM_UpdateLoopExampleBothElementsRoot(benchmark::State& state)
{
  ModelScope model;
  SYSDATA& s = Sys();
  s.firstElement = kCompensator;
  s.activeDomain = ActiveDomain::Root;
  for (auto _ : state) {
    ClearError();
    benchmark::DoNotOptimize(UpdateLoop(s));
  }
}
BENCHMARK(BM_UpdateLoopExampleBothElementsRoot);

}  // namespace
