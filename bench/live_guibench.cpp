// Live tuning, from a mouse move to every open window repainted: the main
// frame at 1600 x 1000 with the four domain windows open and computed on
// the start-up loop with a delay (0.02 s) and a sample-hold time (0.05 s; a
// whole sample of delay more makes the z-plane loop too big for the root
// locus): the time run at the program's most points, a 1000-point sweep in
// the Bode gain view, the root locus with its closed-loop marks. Then 500
// synthetic moves of each kind
// of drag: a closed-loop root along the locus, the Bode gain curve, the
// parameter slider of a, and the zero of a compensator 2(z-0.5)/(z-0.9)
// along the real axis. A move is timed until the event loop has nothing
// left to paint, and the time, frequency and root charts must each have
// repainted it (a move the drag refuses changes nothing and says why in
// the status bar; those are counted as "refused"). Reported: the 50th, 95th
// and 99th percentiles in milliseconds, one benchmark run per kind.

#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/root/CompensatorDrag.h"
#include "engine/root/RootDraw.h"
#include "engine/root/RootEngine.h"

#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/chart/TRChart.h"
#include "gui/frame/MainForm.h"
#include "gui/frame/ParameterPanel.h"
#include "gui/freq/FreqChild.h"
#include "gui/root/RootChild.h"
#include "gui/time/TransChild.h"
#include "gui/window/LiveDrag.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kMoves = 500;

// The mouse events a user's drag sends to the chart.
void Send(QWidget* w, QEvent::Type type, QPoint at)
{
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// What the status bar's third panel says.
std::string StatusText()
{
  auto* l = MainFrame()->findChild<QLabel*>(QStringLiteral("StatusPanel2"));
  return l ? l->text().toStdString() : std::string();
}

struct Desk {
  TMainForm frame;
  TTransChildForm* time = nullptr;
  TFreqChildForm* freq = nullptr;
  TRootChildForm* root = nullptr;
  TDomainChildForm* nlin = nullptr;

  Desk()
  {
    MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
    MessageSeam::setModalHook([](QDialog&) { return 0; });
    frame.resize(1600, 1000);
    frame.show();
    Sys().delay = 0.02;
    Sys().sampleHold = 0.05;
    nlin = frame.NewWindow(ActiveDomain::Nonlinear);
    nlin->Go1Click();
    time = static_cast<TTransChildForm*>(frame.NewWindow(ActiveDomain::Time));
    time->settings().points = 1000;
    time->Go1Click();
    freq = static_cast<TFreqChildForm*>(frame.NewWindow(ActiveDomain::Frequency));
    freq->settings().set.points = 1000;
    freq->ChangeView(FreqView::BodeGain);
    freq->Go1Click();
    root = static_cast<TRootChildForm*>(frame.NewWindow(ActiveDomain::Root));
    root->Go1Click();
    // The closed-loop marks, as the report's Mark button draws them.
    if (ClosedLoopRoots(DecodeRootLoop(Sys(), root->record(), RootUse::ClosedRoots).closed, root->record()))
      MarkClosedLoopPoles(root->chart()->Items(), root->record().report.poles, Sys().gain, PensOf(Sys()));
    root->chart()->ShowGraph();
    QApplication::processEvents();
    watchPaints();
  }
  ~Desk() { MessageSeam::reset(); }

  // One move: the event, then the event loop turned until nothing is left
  // to paint (the coalesced computation, then the repaint of every widget
  // it changed), as a user's display shows it. The time, frequency and
  // root charts must each have painted the move: every drag changes what
  // they show.
  double timed(const std::function<void()>& move)
  {
    painted_.fill(0);
    SetStatusPanel(2, QString());
    const auto t0 = std::chrono::steady_clock::now();
    move();
    for (int pass = 0; pass < 50; ++pass) {
      const int before = paints_;
      QApplication::processEvents();
      if (pass > 0 && paints_ == before)
        break;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (painted_[0] == 0 || painted_[1] == 0 || painted_[2] == 0)
      ++(StatusText().empty() ? missed : refused);
    return ms;
  }
  // Moves after which a window did not paint, and moves the drag refused
  // (a point where no gain puts a root, say), saying why in the status bar.
  int missed = 0;
  int refused = 0;

  // Counts every paint, and each chart's paints by window.
  struct PaintCounter : QObject {
    Desk* desk = nullptr;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
      if (event->type() == QEvent::Paint) {
        ++desk->paints_;
        for (std::size_t k = 0; k < desk->charts_.size(); ++k)
          if (watched == desk->charts_[k])
            ++desk->painted_[k];
      }
      return false;
    }
  };
  PaintCounter counter_;
  int paints_ = 0;
  std::array<QObject*, 3> charts_{};
  std::array<int, 3> painted_{};

  void watchPaints()
  {
    charts_ = {time->chart(), freq->chart(), root->chart()};
    counter_.desk = this;
    qApp->installEventFilter(&counter_);
  }
};

void Report(benchmark::State& state, std::vector<double> ms)
{
  std::sort(ms.begin(), ms.end());
  const auto at = [&ms](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
  state.counters["p50_ms"] = at(0.50);
  state.counters["p95_ms"] = at(0.95);
  state.counters["p99_ms"] = at(0.99);
  state.counters["moves"] = static_cast<double>(ms.size());
}

// Reports the moves, or fails the run when a window did not follow a move
// the drag took.
void Finish(benchmark::State& state, const Desk& d, std::vector<double> ms)
{
  if (d.missed > 0)
    state.SkipWithError(("a window did not repaint after " + std::to_string(d.missed) + " moves").c_str());
  else
    Report(state, std::move(ms));
  state.counters["refused"] = d.refused;
}

void BM_LiveRootDrag(benchmark::State& state)
{
  for (auto _ : state) {
    Desk d;
    TRChart* c = d.root->chart();
    const LocusResult& r = d.root->record().result;
    double x = 0, y = -1;
    for (std::size_t i = 0; i < c->Items().size(); ++i)
      if (c->Items().item(i).code == kMarkTriangle && c->Items().item(i).y > y) {
        x = c->Items().item(i).x;
        y = c->Items().item(i).y;
      }
    if (r.count == 0 || y < 0) {
      const QString why = MessageSeam::shown().isEmpty() ? QString() : MessageSeam::shown().last().text;
      state.SkipWithError(("no locus or no complex closed-loop root: " + why.toStdString()).c_str());
      return;
    }
    Send(c, QEvent::MouseButtonPress, c->DataToPixel(x, y).toPoint());
    std::vector<double> ms;
    for (int k = 0; k < kMoves; ++k) {
      const LocusPoint& p = r.points[(k * 7) % r.count];
      ms.push_back(d.timed([&] { Send(c, QEvent::MouseMove, c->DataToPixel(p.x, p.y).toPoint()); }));
    }
    Send(c, QEvent::MouseButtonRelease, QPoint());
    Finish(state, d, ms);
  }
}
BENCHMARK(BM_LiveRootDrag)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LiveBodeGainDrag(benchmark::State& state)
{
  for (auto _ : state) {
    Desk d;
    TRChart* c = d.freq->chart();
    // A point a third along the longest curve.
    const DisplayList& l = c->Items();
    const ChartItem* curve = nullptr;
    for (std::size_t i = 0; i < l.size(); ++i)
      if (l.item(i).kind == ItemKind::Polyline && (!curve || l.item(i).count > curve->count))
        curve = &l.item(i);
    if (!curve) {
      state.SkipWithError("no sweep");
      return;
    }
    const ChartPoint g = l.points(*curve)[curve->count / 3];
    const QPoint from = c->DataToPixel(g.x, g.y).toPoint();
    Send(c, QEvent::MouseButtonPress, from);
    if (!d.freq->liveDrag(FreqView::BodeGain) || !d.freq->liveDrag(FreqView::BodeGain)->active()) {
      state.SkipWithError("the press missed the curve");
      return;
    }
    std::vector<double> ms;
    for (int k = 0; k < kMoves; ++k)
      ms.push_back(d.timed([&] { Send(c, QEvent::MouseMove, from + QPoint(0, (k % 40) - 20)); }));
    Send(c, QEvent::MouseButtonRelease, QPoint());
    Finish(state, d, ms);
  }
}
BENCHMARK(BM_LiveBodeGainDrag)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LiveParameterSlider(benchmark::State& state)
{
  for (auto _ : state) {
    Desk d;
    d.frame.findChild<QAction*>(QStringLiteral("Parameterpanel1"))->trigger();
    auto* slider = d.frame.findChild<QSlider*>(QStringLiteral("aSlider"));
    slider->setSliderDown(true);
    std::vector<double> ms;
    for (int k = 0; k < kMoves; ++k)
      ms.push_back(d.timed([&] { slider->setValue(400 + (k % 200)); }));
    slider->setSliderDown(false);
    Finish(state, d, ms);
  }
}
BENCHMARK(BM_LiveParameterSlider)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LiveCompensatorDrag(benchmark::State& state)
{
  for (auto _ : state) {
    Desk d;
    // A discrete compensator (the loop is sampled) put into the root
    // window's loop, its locus traced again; without the delay, whose
    // fraction of a sample adds an order the loop has no room for.
    Sys().delay = 0;
    SetText(Sys().num[0], "2(z-0.5)");
    SetText(Sys().den[0], "(z-0.9)");
    d.frame.findChild<QAbstractButton*>(QStringLiteral("CompSpdBtn"))->click();
    d.root->Go1Click();
    QApplication::processEvents();
    TRChart* c = d.root->chart();
    CompensatorRoots comp;
    if (!DecodeCompensator(Sys(), comp) || comp.zeros.n == 0 || !d.root->traced()) {
      state.SkipWithError("no compensator zero or no locus");
      return;
    }
    const Complex z = comp.zeros.r[0];
    const QPoint from = c->DataToPixel(z.re, z.im).toPoint();
    Send(c, QEvent::MouseButtonPress, from);
    if (!d.root->compensatorDrag() || !d.root->compensatorDrag()->active()) {
      state.SkipWithError("the press missed the zero");
      return;
    }
    std::vector<double> ms;
    for (int k = 0; k < kMoves; ++k)
      ms.push_back(d.timed([&] { Send(c, QEvent::MouseMove, from + QPoint((k % 40) - 20, 0)); }));
    Send(c, QEvent::MouseButtonRelease, from);
    Finish(state, d, ms);
  }
}
BENCHMARK(BM_LiveCompensatorDrag)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
