// No engine run allocates: this program replaces every global allocation
// function with one that counts while armed, sets each engine up (loop
// document, records, stores, display list) with the counter off, and arms
// it around the run alone.

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqDraw.h"
#include "engine/freq/FreqFamily.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/nlin/NlinDraw.h"
#include "engine/nlin/NlinEngine.h"
#include "engine/root/ParamLocus.h"
#include "engine/root/ParamLocusDraw.h"
#include "engine/root/RootDraw.h"
#include "engine/root/RootEngine.h"
#include "engine/time/TimeFamily.h"
#include "engine/time/TransDraw.h"
#include "tests/LoopTexts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <ostream>

namespace {
std::atomic<bool> gArmed{false};
std::atomic<long> gCount{0};

void* Take(std::size_t n, std::size_t align = 0) noexcept
{
  if (gArmed.load(std::memory_order_relaxed))
    gCount.fetch_add(1, std::memory_order_relaxed);
  if (n == 0)
    n = 1;
  if (align > alignof(std::max_align_t))
    return std::aligned_alloc(align, (n + align - 1) / align * align);
  return std::malloc(n);
}
void* TakeOrThrow(std::size_t n, std::size_t align = 0)
{
  if (void* p = Take(n, align))
    return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n)
{
  return TakeOrThrow(n);
}
void* operator new[](std::size_t n)
{
  return TakeOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
  return Take(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
  return Take(n);
}
void* operator new(std::size_t n, std::align_val_t a)
{
  return TakeOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a)
{
  return TakeOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
  return Take(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
  return Take(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete[](void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
  std::free(p);
}

namespace {

// Everything a run works on, allocated before the counter is armed.
struct Rig {
  LoopTexts texts;
  std::unique_ptr<TRANSTAT> time = std::make_unique<TRANSTAT>();
  std::unique_ptr<TimeFamily> timeFamily = std::make_unique<TimeFamily>();
  std::unique_ptr<TimeFamilyScratch> timeWork = std::make_unique<TimeFamilyScratch>();
  std::unique_ptr<FREQSTAT> freq = std::make_unique<FREQSTAT>();
  std::unique_ptr<FreqFamily> freqFamily = std::make_unique<FreqFamily>();
  std::unique_ptr<FreqFamilyScratch> freqWork = std::make_unique<FreqFamilyScratch>();
  std::unique_ptr<LimitCycleList> cycles = std::make_unique<LimitCycleList>();
  std::unique_ptr<StabilityMargins> margins = std::make_unique<StabilityMargins>();
  std::unique_ptr<ROOTSTAT> root;
  std::unique_ptr<ParamLocus> locus = std::make_unique<ParamLocus>();
  StableRanges ranges;
  std::unique_ptr<NLINSTAT> nlin = std::make_unique<NLINSTAT>();
  // The loops the runs compute from, decoded before the counter is armed.
  Loop timeLoop;
  FreqLoop freqLoop;
  FreqLoop openLoop;
  RootLoop rootLoop;
  Loop nlinLoop;
  CompiledExpr expr;
  DisplayList list;
  ChartPens pens;
  ChartGeometry chart;
  double sink = 0.0;
};

// A run gives how much it produced (points, items, roots), or -1 on failure.
using Prepare = void (*)(Rig&);
using Run = int (*)(Rig&);

struct Case {
  const char* name;
  LoopTexts loop;
  Prepare prepare;
  Run run;
};

EvalContext FreqContext(const FreqLoop& loop)
{
  return LoopContext(loop.loop, ActiveDomain::Frequency);
}

int Items(bool ok, const Rig& g)
{
  return ok ? static_cast<int>(g.list.size()) : -1;
}

void TimeSetup(Rig& g)
{
  g.chart = {0, 10, 0, 2, 600, 400};
}
void NonlinearTime(Rig& g)
{
  TimeSetup(g);
  g.time->loop.fwdNl = true;
  g.time->loop.fbkNl = true;
  g.time->loop.loadInput = true;
  g.time->loop.noiseInput = true;
  SetText(g.time->refText, "sin(t)+sqwave(0.5*t)");
  SetText(g.time->loadText, "0.1*triwave(3*t)");
  SetText(g.time->noiseText, "0.01*gauss(1)");
  SetText(g.time->costText, "integ(e*e)+max(y)");
  g.time->costOnGo = true;
  g.time->characteristicsOnGo = true;
}
void SampledTime(Rig& g)
{
  TimeSetup(g);
  g.time->characteristicsOnGo = true;
}
// A discrete loop whose run fills the trace store: every sample of the
// output and the control effort is drawn as a marker and a stem.
void FullStore(Rig& g)
{
  SampledTime(g);
  g.time->duration = 9.995;
}
void PhasePlane(Rig& g)
{
  TimeSetup(g);
  g.time->plotType = TransPlot::PhasePlane;
}
int TimeRun(Rig& g)
{
  return TimeEngine(g.timeLoop, *g.time, LoopContext(g.timeLoop, ActiveDomain::Time)) ? g.time->result.pointCount : -1;
}
int TimeGoRun(Rig& g)
{
  return Items(TimeGo(g.timeLoop, *g.time, LoopContext(g.timeLoop, ActiveDomain::Time), g.pens, g.list), g);
}
int TimeFamilyRun(Rig& g)
{
  const bool ok =
      RunTimeFamily(Sys(), *g.time, {kFamilyGain, 0.5, 2.0, kMaxFamilyMembers, false}, *g.timeFamily, *g.timeWork);
  if (ok)
    DrawTimeFamily(g.list, *g.timeFamily, g.time->result, 0xff0000);
  return ok ? g.timeFamily->members.count : -1;
}

void FreqSetup(Rig& g, FreqView view)
{
  g.freq->set.view = view;
  const FreqRange& r = kFreqStartRange[static_cast<int>(view)];
  g.chart = {r.xLo, r.xHi, r.yLo, r.yHi, 600, 400};
}
template <FreqView V>
void InView(Rig& g)
{
  FreqSetup(g, V);
}
template <FreqView V>
void DescribingView(Rig& g)
{
  FreqSetup(g, V);
  g.freq->loop.fwdNl = true;
  g.freq->loop.closedLoop = false;
  g.freq->describingMode = true;
  g.freq->set.amplitudes = kMaxAmplitudes;
  SetText(Sys().fwdNlText, "clip(x,1)");
}
int FreqRun(Rig& g)
{
  return ComputeResponse(g.freqLoop, *g.freq) ? g.freq->result.count : -1;
}
int FreqGoRun(Rig& g)
{
  const FreqCurve curve = g.freq->describingMode ? FreqCurve::DescribingFunction : FreqCurve::Response;
  return Items(FreqGo(g.freqLoop, *g.freq, FreqContext(g.freqLoop), curve, g.chart, g.pens, g.list), g);
}
int DescribingRun(Rig& g)
{
  return ComputeDescribingFunction(g.freqLoop, *g.freq, FreqContext(g.freqLoop)) ? g.freq->result.count : -1;
}
int LimitCycleRun(Rig& g)
{
  if (!ComputeLimitCycles(g.openLoop, *g.freq, FreqContext(g.openLoop), *g.cycles))
    return -1;
  DrawLimitCycleMarks(g.list, *g.freq, *g.cycles, g.chart, g.pens);
  return g.cycles->count;
}
int MarginRun(Rig& g)
{
  if (!ComputeResponse(g.freqLoop, *g.freq) || !ComputeMargins(g.openLoop, *g.margins))
    return -1;
  DrawMarginMarks(g.list, *g.freq, *g.margins, g.pens);
  return g.margins->gainCount + g.margins->phaseCount;
}
int MContourRun(Rig& g)
{
  SetChartRange(*g.freq, g.chart.xLo, g.chart.xHi, g.chart.yLo, g.chart.yHi);
  return Items(DrawMContours(g.list, *g.freq, g.freq->mContours, g.pens), g);
}
int FreqFamilyRun(Rig& g)
{
  const bool ok =
      RunFreqFamily(Sys(), *g.freq, {kFamilyGain, 0.5, 2.0, kMaxFamilyMembers, true}, true, *g.freqFamily, *g.freqWork);
  if (ok)
    DrawFreqFamily(g.list, *g.freqFamily, *g.freq, 0xff0000);
  return ok ? g.freqFamily->members.count : -1;
}

void RootSetup(Rig& g)
{
  g.root = CreateRootLocus(Sys());
  SetElements(g.root->loop, g.texts);
  g.chart = {-5, 3, -3, 3, 600, 450};
  g.pens.markLabels = true;
  ASSERT_TRUE(PrepareRootLoop(DecodeRootLoop(Sys(), *g.root).roots, *g.root));
}
// Labels of twelve significant figures of thirds, longer than a string
// holds in place.
void RootSetupLongLabels(Rig& g)
{
  Sys().gain = 1.0 / 3.0;
  RootSetup(g);
  g.root->settlingTime = 1.0 / 3.0;
  std::strcpy(g.pens.numberFormat, "%0.12g");
  std::strcpy(Sys().numberFormat, "%0.12g");
}
int RootGoRun(Rig& g)
{
  return Items(RootGo(g.rootLoop.roots, *g.root, g.chart, g.pens, g.list), g);
}
int RootReportRun(Rig& g)
{
  if (!PrepareRootReport(g.rootLoop, *g.root, true))
    return -1;
  MarkClosedLoopPoles(g.list, g.root->report.poles, Sys().gain, g.pens);
  return g.root->report.poles.n;
}
int OpenReportRun(Rig& g)
{
  if (!PrepareRootReport(g.rootLoop, *g.root, false))
    return -1;
  DrawPoleZeroMarks(g.list, g.root->report.poles, g.root->report.zeros, g.pens);
  return g.root->report.poles.n + g.root->report.zeros.n;
}
int ContourRun(Rig& g)
{
  SetWindow(*g.root, g.chart.xLo, g.chart.xHi, g.chart.yLo, g.chart.yHi);
  int points = 0;
  for (double zeta = 0.1; zeta < 1.0; zeta += 0.2) {
    if (!DampingContour(*g.root, zeta))
      return -1;
    DrawDampingContour(g.list, *g.root, zeta, g.pens);
    points += g.root->result.count;
  }
  if (!SettlingContour(g.rootLoop.roots, *g.root))
    return -1;
  DrawSettlingContour(g.list, *g.root, g.pens);
  return points;
}
int ParamLocusRun(Rig& g)
{
  const ParamSweep sw{0, 0.1, 10, 200, true};
  if (!TraceParamLocus(Sys(), g.root->loop, sw, *g.locus))
    return -1;
  DrawParamLocus(g.list, *g.locus, 0.1, g.pens);
  StoreParamLocus(*g.locus, *g.root);
  RootSet roots;
  bool zPlane = false;
  if (!SweepRootsAt(Sys(), g.root->loop, sw.parameter, 7.0 / 3.0, roots, zPlane))
    return -1;
  DrawParamMarks(g.list, roots, sw.parameter, 7.0 / 3.0, g.pens);
  return g.locus->count;
}
int StableRangesRun(Rig& g)
{
  const ParamSweep sw{kSweepGain, 0.1, 100, 200, true};
  return FindStableRanges(Sys(), g.root->loop, sw, true, g.ranges) ? g.ranges.count : -1;
}

void NlinSetup(Rig& g)
{
  CreateNonlinearCurve(*g.nlin, -5, 5);
  g.nlin->loop.fbkNl = true;
  SetText(Sys().fwdNlText, "hyst(x,0.5)");
  SetText(Sys().fbkNlText, "dzone(x,0.2)");
}
int NlinRun(Rig& g)
{
  return Items(NlinGo(g.nlinLoop, *g.nlin, LoopContext(g.nlinLoop, ActiveDomain::Nonlinear), g.pens, g.list), g);
}
// The editor's preview of a text of its own, backlash over 1000 steps.
int PreviewRun(Rig& g)
{
  return ComputeTextCharacteristic("hyst(x,0.5)", -5, 5, 1000, g.expr, g.nlin->result) ? g.nlin->result.count : -1;
}

void ExprSetup(Rig& g)
{
  static const char* const kNames[] = {"t", "y", "u", "r", "e"};
  BindVariables(g.expr, kNames, 5);
  ASSERT_TRUE(parse("integ(e*e)+max(y)+hyst(u,0.2)+sin(t)*clip(r,2)", g.expr));
}
int ExprRun(Rig& g)
{
  EvalContext ctx = LoopContext(g.timeLoop, ActiveDomain::Time);
  const EvalScope scope(ctx);
  for (int k = 0; k < 500; ++k) {
    ctx.restart = k == 0;
    ctx.time = k * 0.01;
    for (int v = 0; v < 5; ++v)
      g.expr.vars[v].value = std::sin(0.01 * k + v);
    g.sink += eval(g.expr);
  }
  return ErrorPending() ? -1 : 500;
}

const LoopTexts kStartLoop{};
const LoopTexts kDelayed{.delay = 0.35};
const LoopTexts kDiscrete{
    .gcNum = "0.5(z-0.6)", .gcDen = "z-1", .gpNum = "0.2", .gpDen = "z-0.8", .delay = 0.3, .hold = 0.1, .compIn = true};
const LoopTexts kSampled{.gcNum = "0.4(z-0.7)", .gcDen = "z-1", .delay = 0.25, .hold = 0.1, .compIn = true};
const LoopTexts kFullStore{.gpNum = "0.2", .gpDen = "z-0.8", .hold = 0.005};
const LoopTexts kOpenNl{.gpNum = "10", .gpDen = "s(s+1)(s+2)", .closed = false};
const LoopTexts kParametric{.gcNum = "1", .gcDen = "1", .gpNum = "a", .gpDen = "s(s+1)(s+3)", .compIn = true};

const Case kCases[] = {
    {"time, continuous", kStartLoop, TimeSetup, TimeRun},
    {"time, continuous with delay", kDelayed, TimeSetup, TimeRun},
    {"time, nonlinear, inputs, cost, Go", kStartLoop, NonlinearTime, TimeGoRun},
    {"time, discrete with delay, Go", kDiscrete, SampledTime, TimeGoRun},
    {"time, sampled-data with delay, Go", kSampled, SampledTime, TimeGoRun},
    {"time, discrete, full store, Go", kFullStore, FullStore, TimeGoRun},
    {"time family, full stores", kFullStore, FullStore, TimeFamilyRun},
    {"time, phase plane, Go", kStartLoop, PhasePlane, TimeGoRun},
    {"time family", kStartLoop, TimeSetup, TimeFamilyRun},
    {"freq, direct Nyquist", kStartLoop, InView<FreqView::DirectNyquist>, FreqRun},
    {"freq, inverse Nyquist, Go", kDelayed, InView<FreqView::InverseNyquist>, FreqGoRun},
    {"freq, Nichols, Go", kStartLoop, InView<FreqView::Nichols>, FreqGoRun},
    {"freq, Bode gain, Go", kSampled, InView<FreqView::BodeGain>, FreqGoRun},
    {"freq, Bode phase, Go", kDiscrete, InView<FreqView::BodePhase>, FreqGoRun},
    {"freq, describing function, Nyquist", kOpenNl, DescribingView<FreqView::DirectNyquist>, DescribingRun},
    {"freq, describing function, inverse, Go", kOpenNl, DescribingView<FreqView::InverseNyquist>, FreqGoRun},
    {"freq, describing function, Nichols, Go", kOpenNl, DescribingView<FreqView::Nichols>, FreqGoRun},
    {"freq, limit cycles", kOpenNl, DescribingView<FreqView::DirectNyquist>, LimitCycleRun},
    {"freq, margins, Nichols", kStartLoop, InView<FreqView::Nichols>, MarginRun},
    {"freq, margins, Bode phase", kDelayed, InView<FreqView::BodePhase>, MarginRun},
    {"freq, M contours, direct", kStartLoop, InView<FreqView::DirectNyquist>, MContourRun},
    {"freq, M contours, Nichols", kStartLoop, InView<FreqView::Nichols>, MContourRun},
    {"freq family with margins", kStartLoop, InView<FreqView::BodeGain>, FreqFamilyRun},
    {"root locus, Go", kStartLoop, RootSetup, RootGoRun},
    {"root locus, z-plane, Go", kDiscrete, RootSetup, RootGoRun},
    {"root report, closed loop", kStartLoop, RootSetup, RootReportRun},
    {"root report, open loop", kStartLoop, RootSetup, OpenReportRun},
    {"root report, labels of 12 figures", kStartLoop, RootSetupLongLabels, RootReportRun},
    {"root contours, labels of 12 figures", kStartLoop, RootSetupLongLabels, ContourRun},
    {"root contours, z-plane", kDiscrete, RootSetup, ContourRun},
    {"parameter locus, labels of 12 figures", kParametric, RootSetupLongLabels, ParamLocusRun},
    {"stable ranges", kParametric, RootSetup, StableRangesRun},
    {"nonlinear characteristic, Go", kStartLoop, NlinSetup, NlinRun},
    {"nonlinear characteristic, editor preview", kStartLoop, NlinSetup, PreviewRun},
    {"compiled expression", kStartLoop, ExprSetup, ExprRun},
};

// The loop of c in the model and a rig prepared for its run.
std::unique_ptr<Rig> Prepared(const Case& c)
{
  WriteLoop(c.loop);
  auto g = std::make_unique<Rig>();
  g->texts = c.loop;
  SetElements(g->time->loop, c.loop);
  InitFreqSettings(Sys(), *g->freq);
  SetElements(g->freq->loop, c.loop);
  g->pens = PensOf(Sys());
  g->pens.markLabels = true;  // the labels are built during the run too
  c.prepare(*g);
  g->timeLoop = DecodeTimeLoop(Sys(), *g->time);
  const FreqUse use = g->freq->describingMode ? FreqUse::DescribingFunction : FreqUse::Response;
  g->freqLoop = DecodeFreqLoop(Sys(), *g->freq, use);
  g->openLoop = DecodeFreqLoop(Sys(), *g->freq, FreqUse::OpenLoop);
  if (g->root)
    g->rootLoop = DecodeRootLoop(Sys(), *g->root, RootUse::ClosedReport);
  g->nlinLoop = DecodeNlinLoop(Sys());
  ClearError();
  return g;
}

// The allocations during c's run, which gives produced.
long CountedRun(const Case& c, Rig& g, int& produced)
{
  gCount = 0;
  gArmed = true;
  produced = c.run(g);
  gArmed = false;
  return gCount.load();
}

class NoAllocation : public ::testing::TestWithParam<Case> {};

TEST_P(NoAllocation, RunAllocatesNothing)
{
  const Case& c = GetParam();
  ModelScope model;
  const auto g = Prepared(c);
  int produced = 0;
  EXPECT_EQ(CountedRun(c, *g, produced), 0) << c.name;
  EXPECT_GT(produced, 0) << c.name << ": " << (ErrorPending() ? ErrorMessage() : "");
}

// A case shows as its name in the test log.
void PrintTo(const Case& c, std::ostream* os)
{
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(Engines, NoAllocation, ::testing::ValuesIn(kCases));

// A run refused for a setting out of its range allocates nothing either:
// the range message is written in place.
TEST(NoAllocation, RefusalAllocatesNothing)
{
  const struct {
    Case c;
    const char* message;
  } kRefusals[] = {
      {{"time, 1001 points", kStartLoop, [](Rig& g) { g.time->points = 1001; }, TimeRun},
       "No of Points must lie between 2 and 1000"},
      {{"time, duration 0", kStartLoop, [](Rig& g) { g.time->duration = 0; }, TimeRun},
       "Duration must lie between 1E-20 and 1E20"},
      {{"freq, 1001 grid points", kStartLoop, [](Rig& g) { g.freq->set.points = 1001; }, FreqRun},
       "No of Points must lie between 1 and 1000"},
      {{"describing function, 201 amplitudes", kOpenNl,
        [](Rig& g) {
          DescribingView<FreqView::DirectNyquist>(g);
          g.freq->set.amplitudes = kMaxAmplitudes + 1;
        },
        DescribingRun},
       "Number of points must lie between 1 and 200"},
      {{"root locus, 4 points", kStartLoop,
        [](Rig& g) {
          RootSetup(g);
          g.root->points = 4;
        },
        RootGoRun},
       "No of Points must lie between 5 and 1000"},
      {{"root locus, x min -1e21", kStartLoop,
        [](Rig& g) {
          RootSetup(g);
          g.chart.xLo = -1e21;
        },
        RootGoRun},
       "X-axis min must lie between -1E20 and 1E20"},
      {{"nonlinear characteristic, 1 point", kStartLoop,
        [](Rig& g) {
          NlinSetup(g);
          g.nlin->points = 1;
        },
        NlinRun},
       "No of Points must lie between 2 and 1000"},
      {{"parameter sweep, 1 point", kParametric, RootSetup,
        [](Rig& g) {
          return TraceParamLocus(Sys(), g.root->loop, {0, 0.1, 10, 1, false}, *g.locus) ? 1 : -1;
        }},
       "No of Points must lie between 2 and 10000"},
  };
  for (const auto& r : kRefusals) {
    SCOPED_TRACE(r.c.name);
    ModelScope model;
    const auto g = Prepared(r.c);
    int produced = 0;
    EXPECT_EQ(CountedRun(r.c, *g, produced), 0);
    EXPECT_EQ(produced, -1);
    EXPECT_STREQ(ErrorPending() ? ErrorMessage() : "", r.message);
  }
}

TEST(CountingAllocator, SeesEveryForm)
{
  gCount = 0;
  gArmed = true;
  auto* one = new (std::nothrow) double(1.0);
  auto* many = new double[4];
  struct alignas(64) Wide {
    double v[8];
  };
  auto* wide = new Wide;
  gArmed = false;
  delete one;
  delete[] many;
  delete wide;
  EXPECT_EQ(gCount.load(), 3);
}

}  // namespace
