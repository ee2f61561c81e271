// Go in the root window to pixels: trace the start-up loop with N = 1000,
// draw the marks and the locus on an 800 x 600 s-plane chart and paint it.

#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/root/RootEngine.h"

#include "engine/root/RootDraw.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RootGoToPixels(benchmark::State& state)
{
  ModelScope model;
  const auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = true;
  rec->points = 1000;
  TRChart chart;
  chart.resize(800, 600);
  ApplyChartSetup(chart, kSplaneChart);
  chart.show();
  for (auto _ : state) {
    chart.ClearGraph();
    SetWindow(*rec, chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY());
    if (!TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec))
      state.SkipWithError("trace failed");
    DrawPoleZeroMarks(chart.Items(), rec->decoded.denRoots, rec->decoded.numRoots, PensOf(Sys()));
    DrawLocus(chart.Items(), *rec, PensOf(Sys()));
    chart.ShowGraph();
    chart.repaint();
  }
  state.counters["points"] = rec->result.count;
  chart.hide();
}
BENCHMARK(BM_RootGoToPixels)->Unit(benchmark::kMillisecond);

}  // namespace
