// Start-up: from constructing the main frame (which creates the loop model
// and the long-lived windows) to its first painted picture.

#include "gui/frame/MainForm.h"

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

static void BM_StartupToFirstPaint(benchmark::State& state)
{
  for (auto _ : state) {
    TMainForm frame;
    frame.show();
    QApplication::processEvents();
    const QPixmap picture = frame.grab();
    benchmark::DoNotOptimize(picture.cacheKey());
  }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);
