// Go to pixels: one Go in a frequency window — the sweep, the curve turned
// into chart items and drawn over the picture — and then a full repaint of
// the chart into an image, at 800 x 600 on the offscreen platform.
#include "app/Messages.h"
#include "freq/FreqChild.h"
#include "model/Model.h"
#include "plot/ChartExport.h"
#include "plot/TRChart.h"

#include <benchmark/benchmark.h>

namespace {

// The start-up loop, compensator and plant, closed, 1000 points, in the
// view given by the benchmark's argument.
void BM_FreqWindowGoToPixels(benchmark::State& state)
{
  ModelScope model;
  // A failed sweep would show a message box: answer it instead.
  MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
  TFreqChildForm window;
  window.resize(800, 600);
  window.show();
  FREQSTAT& st = window.settings();
  st.set.points = 1000;
  st.loop.compIn = true;
  st.loop.closedLoop = true;
  window.ChangeView(static_cast<FreqView>(state.range(0)));
  TRChart* chart = window.chart();
  for (auto _ : state) {
    // Each Go overlays its curve: start every one from an empty chart.
    chart->ClearGraph();
    window.Go1Click();
    benchmark::DoNotOptimize(RenderChartImage(*chart, chart->size()));
  }
  if (!window.responseDrawn(window.view()))
    state.SkipWithError("the sweep failed");
  state.SetLabel(kFreqViewNames[state.range(0)].cli);
  window.hide();
  MessageSeam::reset();
}
BENCHMARK(BM_FreqWindowGoToPixels)->DenseRange(0, kFreqViews - 1)->Unit(benchmark::kMillisecond);

}  // namespace
