// Go to pixels: one Go in a time window — the simulation, the run turned
// into chart items and drawn over the picture — and then a full repaint of
// the chart into an image, at 800 x 600 on the offscreen platform.
#include "app/Messages.h"
#include "model/Model.h"
#include "plot/ChartExport.h"
#include "plot/TRChart.h"
#include "time/TransChild.h"

#include <benchmark/benchmark.h>

namespace {

// The start-up loop, compensator and plant, closed, 1000 points; the
// control effort and the reference drawn with the output.
void BM_TimeWindowGoToPixels(benchmark::State& state)
{
  ModelScope model;
  // A failed run would show a message box: answer it instead.
  MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
  TTransChildForm window;
  window.resize(800, 600);
  window.show();
  window.settings().points = 1000;
  window.settings().loop.compIn = true;
  TRChart* chart = window.timeChart();
  chart->ShowGraph();
  for (auto _ : state) {
    // Each Go overlays its run: start every one from an empty chart.
    chart->ClearGraph();
    window.Go1Click();
    benchmark::DoNotOptimize(RenderChartImage(*chart, chart->size()));
  }
  if (!window.settings().result.valid)
    state.SkipWithError("the run failed");
  state.counters["items"] = static_cast<double>(chart->Items().size());
  window.hide();
  MessageSeam::reset();
}
BENCHMARK(BM_TimeWindowGoToPixels)->Unit(benchmark::kMillisecond);

}  // namespace
