// Go to pixels in a time window: the simulation drawn and painted.
#include "GoToPixels.h"

#include "gui/time/TransChild.h"

namespace {

// The start-up loop, compensator and plant, closed, 1000 points; the
// control effort and the reference drawn with the output.
void BM_TimeWindowGoToPixels(benchmark::State& state)
{
  GoToPixels<TTransChildForm> bench;
  TTransChildForm& window = bench.window;
  window.settings().points = 1000;
  window.settings().loop.compIn = true;
  TRChart* chart = window.timeChart();
  chart->ShowGraph();
  bench.run(state, *chart);
  if (!window.settings().result.valid)
    state.SkipWithError("the run failed");
  state.counters["items"] = static_cast<double>(chart->Items().size());
}
BENCHMARK(BM_TimeWindowGoToPixels)->Unit(benchmark::kMillisecond);

}  // namespace
