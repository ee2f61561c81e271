// Go to pixels in a frequency window: the sweep drawn and painted.
#include "GoToPixels.h"

#include "gui/freq/FreqChild.h"

namespace {

// The start-up loop, compensator and plant, closed, 1000 points, in the
// view given by the benchmark's argument.
void BM_FreqWindowGoToPixels(benchmark::State& state)
{
  GoToPixels<TFreqChildForm> bench;
  TFreqChildForm& window = bench.window;
  FREQSTAT& st = window.settings();
  st.set.points = 1000;
  st.loop.compIn = true;
  st.loop.closedLoop = true;
  window.ChangeView(static_cast<FreqView>(state.range(0)));
  bench.run(state, *window.chart());
  if (!window.responseDrawn(window.view()))
    state.SkipWithError("the sweep failed");
  state.SetLabel(kFreqViewNames[state.range(0)].cli);
}
BENCHMARK(BM_FreqWindowGoToPixels)->DenseRange(0, kFreqViews - 1)->Unit(benchmark::kMillisecond);

}  // namespace
