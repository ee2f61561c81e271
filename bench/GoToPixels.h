#pragma once
// Go to pixels in a domain window: one Go — the computation, its result
// turned into chart items and drawn over the picture — and then a full
// repaint of the chart into an image, at 800 x 600 on the offscreen platform.

#include "engine/model/Model.h"

#include "gui/base/Messages.h"
#include "gui/chart/ChartExport.h"
#include "gui/chart/TRChart.h"

#include <benchmark/benchmark.h>

template <typename Window>
class GoToPixels {
public:
  GoToPixels()
  {
    window.resize(800, 600);
    window.show();
  }
  ~GoToPixels() { window.hide(); }

  // Each Go overlays its result: every one starts from an empty chart.
  void run(benchmark::State& state, TRChart& chart)
  {
    for (auto _ : state) {
      chart.ClearGraph();
      window.Go1Click();
      benchmark::DoNotOptimize(RenderChartImage(chart, chart.size()));
    }
  }

private:
  // A failed Go would show a message box: it is answered instead.
  struct Answered {
    Answered()
    {
      MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
    }
    ~Answered() { MessageSeam::reset(); }
  };
  ModelScope model_;
  Answered answered_;

public:
  Window window;
};
