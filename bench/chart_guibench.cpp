// Chart drawing speed: a full redraw of a busy chart and the incremental
// draw of one new curve, at 800 x 600 on the offscreen platform.
#include "gui/chart/ChartExport.h"
#include "gui/chart/TRChart.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kCurves = 20;
constexpr int kPoints = 2000;

void AddCurve(TRChart& c, int k)
{
  c.SetDataColorRgb(0x102030u * static_cast<unsigned>(k + 1) & 0xFFFFFFu);
  for (int i = 0; i < kPoints; ++i) {
    const double t = 10.0 * i / (kPoints - 1);
    const double y = std::sin(t * (1.0 + 0.1 * k)) * std::exp(-0.05 * k * t) + 0.05 * k;
    if (i == 0)
      c.MoveTo(t, y);
    else
      c.DrawTo(t, y);
  }
}

// Shows c and waits until its window is exposed: a repaint of a window not
// yet exposed paints nothing.
void ShowExposed(TRChart& c)
{
  c.show();
  for (int i = 0; i < 100 && !(c.windowHandle() && c.windowHandle()->isExposed()); ++i)
    QApplication::processEvents();
}

void Fill(TRChart& c)
{
  c.resize(800, 600);
  c.SetCaption(QStringLiteral("Benchmark"));
  c.SetIdAbscissa(QStringLiteral("Time"));
  c.SetIdOrdinate(QStringLiteral("Response"));
  c.ZoomTo(0, -1.2, 10, 2.2);
  for (int k = 0; k < kCurves; ++k)
    AddCurve(c, k);
  c.SetDataColor(Qt::black);
  for (int i = 0; i < 200; ++i)
    c.MarkAt(0.05 * i, 2.0 - 0.01 * i,
             (i % 5 == 0)   ? 6
             : (i % 5 == 1) ? 15
             : (i % 5 == 2) ? 17
             : (i % 5 == 3) ? 19
                            : 24);
  for (int i = 0; i < 50; ++i)
    c.TextAt(0.2 * i, -1.0 + 0.02 * i, QStringLiteral("  %1").arg(i), 8);
}

// Everything: frame, scales, grid, 40000 segments, 200 markers, 50 texts,
// and the paint of the widget.
void BM_ChartShowGraph(benchmark::State& state)
{
  TRChart c;
  Fill(c);
  ShowExposed(c);
  c.ShowGraph();
  c.repaint();
  for (auto _ : state) {
    c.ShowGraph();
    c.repaint();
  }
  state.counters["segments"] = static_cast<double>(kCurves * (kPoints - 1));
  c.hide();
}
BENCHMARK(BM_ChartShowGraph)->Unit(benchmark::kMillisecond);

// One more 2000-point curve drawn over the picture already there.
void BM_ChartShowNewItems(benchmark::State& state)
{
  TRChart c;
  Fill(c);
  ShowExposed(c);
  c.ShowGraph();
  int k = 0, added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Keep the list from growing without end: go back to the base picture.
    if (added == 50) {
      for (int i = 0; i < added * kPoints; ++i)  // a MoveTo and 1999 DrawTos each
        c.RemoveLastItem();
      c.ShowGraph();
      added = 0;
    }
    AddCurve(c, ++k % kCurves);
    ++added;
    state.ResumeTiming();
    c.ShowNewItems();
    c.repaint();
  }
  c.hide();
}
BENCHMARK(BM_ChartShowNewItems)->Unit(benchmark::kMillisecond);

// The same picture into an image for a screen of device pixel ratio 2.
void BM_ChartRenderHighDpi(benchmark::State& state)
{
  TRChart c;
  Fill(c);
  for (auto _ : state)
    benchmark::DoNotOptimize(RenderChartImage(c, QSize(800, 600), 2.0));
}
BENCHMARK(BM_ChartRenderHighDpi)->Unit(benchmark::kMillisecond);

}  // namespace
