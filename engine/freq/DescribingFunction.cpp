// Describing functions by a discrete Fourier transform of one sampled
// period, with a quarter-wave cosine table.

#include "engine/freq/DescribingFunction.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/SysData.h"
#include "engine/model/Toolkit.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTooSmall = 1e-10;
constexpr int kMaxDft = 4 * kCosineTableSize;
const char* const kInputName[] = {"x"};

bool IsBode(FreqView v)
{
  return v == FreqView::BodeGain || v == FreqView::BodePhase;
}

double ZeroTiny(double v)
{
  return std::fabs(v) < kTooSmall ? 0.0 : v;
}

// The amplitude settings, the number of samples and the view, as the
// computation needs them.
bool CheckSettings(const FREQSTAT& rec)
{
  const FreqSettings& set = rec.set;
  const ValueRange& n = ranges::kDfAmplitudes;
  if (!InRange(set.amplitudes, n.high, n.low)) {
    SetRangeError(n);
    return false;
  }
  // One amplitude needs no end amplitude.
  const char* problem = AmplitudeRangeProblem(set.startAmp, set.amplitudes > 1 ? set.endAmp : HUGE_VAL);
  if (problem) {
    SetError(problem);
    return false;
  }
  if (!IsDftChoice(set.dftPoints)) {
    SetError("Number of DFTpoints must be 4, 8, 16, 32, 64, 128, 256 or 512");
    return false;
  }
  return true;
}

// Where the point of amplitude A goes in the current view (open loop), from
// N unrounded: -N as (P - 1, Q), the phase of -1/N tracked from the first
// amplitude, and -1/N or its magnitude.
void PlotDescribingFunction(FREQSTAT& rec, Complex n)
{
  FreqPointState& pt = rec.pt;
  pt.Q = -n.im;
  pt.openPhase = -ArcTanA(-n.re, -n.im);
  pt.closedPhase = pt.prevClosedPhase = 0.0;
  if (pt.firstPoint)
    StartPhaseTracking(rec);
  else
    TrackPhase(rec);
  pt.prevOpenPhase = pt.openPhase;
  pt.P = 1.0 - n.re;
  const double re = pt.P - 1.0;
  const double d = re * re + pt.Q * pt.Q;
  if (rec.set.view == FreqView::DirectNyquist)
    pt.L = {re / d, -pt.Q / d};
  else if (rec.set.view == FreqView::Nichols)
    pt.openMag = 1.0 / std::sqrt(d);
  ToPlotCoordinates(rec);
}

bool RunDescribingFunction(const Loop& loop, FREQSTAT& rec)
{
  FreqResult& r = rec.result;
  r.count = 0;
  r.gridCount = 0;  // the store no longer holds a sweep
  r.dfLeftOut = 0;
  if (IsBode(rec.set.view)) {
    SetError("Describing functions not available in Bode views");
    return false;
  }
  Nonlinearity nl;
  if (!PrepareDescribingFunction(loop, rec, nl))
    return false;
  DfScratch& df = rec.df;
  FreqPointState& pt = rec.pt;
  const int count = rec.set.amplitudes;
  const double start = rec.set.startAmp;
  df.amplitudeStep = count > 1 ? (rec.set.endAmp - start) / (count - 1) : 0.0;
  pt.firstPoint = true;
  for (int i = 0; i < count; ++i) {
    const double a = start + i * df.amplitudeStep;
    const Complex n = DescribingFunctionAt(rec, nl, a);
    if (ErrorPending())
      return false;
    df.nMag = std::sqrt(SumSq(n.re, n.im));
    df.n = {ZeroTiny(n.re), ZeroTiny(n.im)};
    df.nAngle = ArcTanA(df.n.re, df.n.im);
    if (df.nMag < kTooSmall && rec.set.view != FreqView::InverseNyquist) {
      // -1/N does not exist here (an amplitude inside a dead band or a
      // backlash's play): the curve goes on without it.
      r.dfLeftOutLo = r.dfLeftOut == 0 ? a : r.dfLeftOutLo;
      r.dfLeftOutHi = a;
      ++r.dfLeftOut;
      continue;
    }
    const auto at = static_cast<std::size_t>(r.count);
    r.dfValues[at] = df.n;
    PlotDescribingFunction(rec, n);
    // + 0: a real N has no negative zero in its imaginary part's place.
    r.points[at] = {static_cast<float>(a), static_cast<float>(pt.plotX + 0.0), static_cast<float>(pt.plotY + 0.0)};
    ++r.count;
    pt.firstPoint = false;
  }
  if (r.count == 0) {
    SetError("Excitation amplitude too small, change range");
    return false;
  }
  return true;
}

}  // namespace

bool IsDftChoice(int m)
{
  return std::find(std::begin(kDftChoices), std::end(kDftChoices), m) != std::end(kDftChoices);
}

void BuildCosineTable(FREQSTAT& rec)
{
  DfScratch& df = rec.df;
  const int m = rec.set.dftPoints;
  if (df.tableFor == m)
    return;
  df.tableFor = 0;
  if (!IsDftChoice(m))
    return;
  df.half = m / 2;
  df.quarter = m / 4;
  df.threeQuarter = m - m / 4;
  df.angleStep = kTwoPi / m;
  df.cosTable[0] = 1.0;
  double angle = 0.0;
  for (int k = 1; k < df.quarter; ++k) {
    angle += df.angleStep;
    df.cosTable[k] = std::cos(angle);
  }
  df.tableFor = m;
}

void SampleCosSin(FREQSTAT& rec, int k)
{
  DfScratch& df = rec.df;
  const double* t = df.cosTable;
  const int q = df.quarter, h = df.half, tq = df.threeQuarter;
  double c, s;
  if (k == 0) {
    c = 1.0, s = 0.0;
  } else if (k == q) {
    c = 0.0, s = 1.0;
  } else if (k == h) {
    c = -1.0, s = 0.0;
  } else if (k == tq) {
    c = 0.0, s = -1.0;
  } else if (k < q) {
    c = t[k], s = t[q - k];
  } else if (k < h) {
    c = -t[h - k], s = t[k - q];
  } else if (k < tq) {
    c = -t[k - h], s = -t[tq - k];
  } else {
    c = t[2 * h - k], s = -t[k - tq];
  }
  df.sampleCos = c;
  df.sampleSin = s;
}

void FirstHarmonic(FREQSTAT& rec, const double* y)
{
  const DfScratch& df = rec.df;
  const int m = df.tableFor, q = df.quarter, h = df.half, tq = df.threeQuarter;
  double u = 0.0, v = 0.0;
  for (int k = 1; k < q; ++k) {
    const double d1 = y[k] - y[h + k];
    const double d2 = y[m - k] - y[h - k];
    u += df.cosTable[k] * (d1 + d2);
    v += df.cosTable[q - k] * (d1 - d2);
  }
  const double a = df.amplitude;
  rec.pt.L = {(u + y[0] - y[h]) / m / a, -(v + y[q] - y[tq]) / m / a};
}

bool PrepareDescribingFunction(const Loop& loop, FREQSTAT& rec, Nonlinearity& nl)
{
  nl.expr = nullptr;
  if (!CheckSettings(rec))
    return false;
  BuildCosineTable(rec);
  CompiledExpr& e = rec.df.nonlinearity;
  BindVariables(e, kInputName, 1);
  bool ok = false;
  {
    const RestartScope restart;
    ok = parse(rec.loop.fwdNl ? loop.fwdNlText : loop.fbkNlText, e);
  }
  if (!ok) {
    SetError("Invalid nonlinear function");
    return false;
  }
  nl.expr = &e;
  nl.hyst = UsesHyst();
  return true;
}

void StartHystAfterRise(CompiledExpr& e, double amplitude)
{
  e.vars[0].value = -amplitude;
  (void)eval(e);
  e.vars[0].value = amplitude;
  (void)eval(e);
}

Complex DescribingFunctionAt(FREQSTAT& rec, const Nonlinearity& nl, double amplitude)
{
  DfScratch& df = rec.df;
  df.amplitude = amplitude;
  CompiledExpr& e = *nl.expr;
  if (nl.hyst)
    StartHystAfterRise(e, amplitude);
  double y[kMaxDft];
  const int m = std::min(df.tableFor, kMaxDft);
  for (int k = 0; k < m; ++k) {
    SampleCosSin(rec, k);
    e.vars[0].value = amplitude * df.sampleCos;
    y[k] = 2.0 * eval(e);
  }
  FirstHarmonic(rec, y);
  return rec.pt.L;
}

bool ComputeDescribingFunction(const FreqLoop& loop, FREQSTAT& rec, const EvalContext& ctx)
{
  ClearError();
  const EvalScope scope(ctx);
  const bool closed = rec.loop.closedLoop;
  const bool monotonic = rec.set.monotonicPhase;
  rec.loop.closedLoop = false;
  rec.set.monotonicPhase = true;
  const bool ok = RunDescribingFunction(loop.loop, rec);
  rec.loop.closedLoop = closed;
  rec.set.monotonicPhase = monotonic;
  return ok;
}

std::string DfLeftOutNote(const FREQSTAT& rec, const char* numberFormat)
{
  const FreqResult& r = rec.result;
  if (r.dfLeftOut == 0)
    return {};
  std::string range = FormatNumber(r.dfLeftOutLo, numberFormat);
  if (r.dfLeftOut > 1)
    range += " to " + FormatNumber(r.dfLeftOutHi, numberFormat);
  return std::to_string(r.dfLeftOut) + " of " + std::to_string(r.dfLeftOut + r.count) + " amplitudes left out (" +
         range + "): the describing function is 0 there, so -1/N does not exist";
}

const char* AmplitudeRangeProblem(double start, double end)
{
  if (!(start > 0))
    return "Start amplitude must be positive";
  if (!(end > start))
    return "End amplitude must exceed start amplitude";
  return nullptr;
}

const char* DescribingFunctionModeProblem(const FREQSTAT& rec)
{
  if (IsBode(rec.set.view))
    return "Describing function not available in the Bode views";
  if (rec.loop.closedLoop)
    return "Describing function only available in open-loop";
  return nullptr;
}

DfReading DfCursorReading(const FREQSTAT& rec, int i)
{
  const FreqResult& r = rec.result;
  DfReading d;
  if (r.count <= 0)
    return d;
  const auto at = static_cast<std::size_t>(std::clamp(i, 0, std::min(r.count, kMaxAmplitudes) - 1));
  const FreqPoint& p = r.points[at];
  const Complex n = r.dfValues[at];
  d.amplitude = p.tag;
  d.plotX = p.x;
  d.plotY = p.y;
  d.nMag = std::sqrt(SumSq(n.re, n.im));
  d.hasPhase = d.nMag > 0;
  if (d.hasPhase) {
    const double angle = ArcTanA(n.re, n.im);
    d.nPhaseDeg = angle * kDegPerRad;
    d.invMag = 1.0 / d.nMag;
    d.invPhaseDeg = WrapPhase(kPi - angle) * kDegPerRad;
  }
  return d;
}
