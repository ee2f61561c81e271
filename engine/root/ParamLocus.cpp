#include "engine/root/ParamLocus.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/ParameterUse.h"
#include "engine/model/Roots.h"
#include "engine/model/TfParser.h"
#include "engine/model/UpdateLoop.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The open loop N/D of the merged loop at one value, and the gain K that
// closes it: the characteristic polynomial is D + K N.
struct CharLoop {
  Polynomial num;
  Polynomial den;
  double gain = 1.0;
  bool zPlane = false;
};

// Decodes the closed loop of doc at values of one parameter (or of the gain,
// kSweepGain) on a working copy made once. The elements whose texts do not
// use the parameter are decoded the first time only: a sweep decodes again
// just what changes. The parameter table is put back after each value.
class ValueDecoder {
public:
  ValueDecoder(const SYSDATA& doc, const LoopSwitches& loop, int parameter) : work_(doc), parameter_(parameter)
  {
    LoopSwitches closed = loop;
    closed.closedLoop = true;
    ApplyLoopSwitches(work_, ActiveDomain::Frequency, closed);
    for (int j = 0; j < 2; ++j)
      fixed_[j] = parameter < 0 ||
                  !(TfTextUsesParameter(work_.num[j], parameter) || TfTextUsesParameter(work_.den[j], parameter));
  }

  bool at(double p, CharLoop& out)
  {
    ClearError();
    if (parameter_ == kSweepGain) {
      work_.gain = p;
      UpdateLoop(work_);
    } else {
      const double kept = Parameter(parameter_);
      SetParameter(parameter_, p);
      const ExactPreEval exact;
      UpdateLoop(work_, WholeSampleDelay::InDenominator, memo_);
      SetParameter(parameter_, kept);
    }
    if (ErrorPending())
      return false;
    if (work_.kind == SystemKind::Invalid) {
      SetError("Invalid system");
      return false;
    }
    if (work_.kind == SystemKind::Continuous && work_.delay > 0) {
      SetError("Not available with delay");
      return false;
    }
    // A loop over a zero denominator has no closed loop to be stable or not
    // (its characteristic polynomial would be the numerator alone).
    const Polynomial& den = work_.denPoly[kPlant];
    if (std::all_of(den.c, den.c + den.n, [](double c) { return c == 0.0; })) {
      SetError("No denominator");
      return false;
    }
    for (int j = 0; j < 2; ++j)
      memo_[j].reuse = fixed_[j];
    out.num = work_.numPoly[kPlant];
    out.den = den;
    out.gain = work_.gain;
    out.zPlane = work_.kind != SystemKind::Continuous;
    return true;
  }

private:
  SYSDATA work_;
  int parameter_;
  bool fixed_[2] = {};     // the element's texts do not use the parameter
  ElementDecode memo_[2];  // each element as last decoded
};

bool DecodeAt(const SYSDATA& doc, const LoopSwitches& loop, int parameter, double p, CharLoop& out)
{
  return ValueDecoder(doc, loop, parameter).at(p, out);
}

// Simultaneous Newton (Ehrlich-Aberth) refinement of the n roots of the
// polynomial c (n + 1 ascending coefficients) from the seeds in r: a step of
// the locus moves each root a little, so a few iterations find them all,
// in the seeds' order. False where it does not settle (seeds that coincide,
// a multiple root): the caller then starts afresh.
bool RefineRoots(const double* c, int n, Complex* r)
{
  constexpr int kMaxIterations = 40;
  for (int it = 0; it < kMaxIterations; ++it) {
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
      // p and p' by Horner
      double pr = c[n], pi = 0.0, dr = 0.0, di = 0.0;
      const double zr = r[i].re, zi = r[i].im;
      for (int k = n - 1; k >= 0; --k) {
        const double ndr = dr * zr - di * zi + pr, ndi = dr * zi + di * zr + pi;
        dr = ndr;
        di = ndi;
        const double npr = pr * zr - pi * zi + c[k], npi = pr * zi + pi * zr;
        pr = npr;
        pi = npi;
      }
      const double dd = dr * dr + di * di;
      if (dd == 0.0)
        return false;
      // ratio = p / p'; sum of 1 / (z_i - z_j)
      const double qr = (pr * dr + pi * di) / dd, qi = (pi * dr - pr * di) / dd;
      double sr = 0.0, si = 0.0;
      for (int j = 0; j < n; ++j) {
        if (j == i)
          continue;
        const double er = zr - r[j].re, ei = zi - r[j].im, ee = er * er + ei * ei;
        if (ee == 0.0)
          return false;
        sr += er / ee;
        si -= ei / ee;
      }
      // w = ratio / (1 - ratio * sum)
      const double br = 1.0 - (qr * sr - qi * si), bi = -(qr * si + qi * sr), bb = br * br + bi * bi;
      if (bb == 0.0)
        return false;
      const double wr = (qr * br + qi * bi) / bb, wi = (qi * br - qr * bi) / bb;
      r[i].re -= wr;
      r[i].im -= wi;
      largest = std::max(largest, (wr * wr + wi * wi) / (1.0 + zr * zr + zi * zi));
    }
    if (!(largest < 1e300))
      return false;
    if (largest <= 1e-20) {
      for (int i = 0; i < n; ++i)
        if (std::fabs(r[i].im) <= 1e-13 * (1.0 + std::fabs(r[i].re)))
          r[i].im = 0.0;
      return true;
    }
  }
  return false;
}

// The roots of D + K N; seeds (n of them, or null) are the roots at a
// neighbouring value.
bool ClosedRoots(const CharLoop& l, double k, RootSet& roots, const Complex* seeds = nullptr, int seedCount = 0)
{
  double c[kMaxCoeffs] = {};
  const int n = std::min(std::max(l.num.n, l.den.n), kMaxCoeffs);
  double size = 0.0;
  for (int i = 0; i < n; ++i) {
    c[i] = (i < l.num.n ? k * l.num.c[i] : 0.0) + (i < l.den.n ? l.den.c[i] : 0.0);
    size = std::max(size, std::fabs(c[i]));
  }
  // a leading coefficient cancelled by K lowers the order
  int m = n;
  while (m > 1 && std::fabs(c[m - 1]) <= 1e-13 * size)
    --m;
  roots.n = 0;
  if (m <= 1)
    return true;
  if (seeds && seedCount == m - 1 && seedCount <= kMaxRoots) {
    std::copy(seeds, seeds + seedCount, roots.r);
    if (RefineRoots(c, m - 1, roots.r)) {
      roots.n = seedCount;
      return true;
    }
    roots.n = 0;
  }
  double lead = 1.0;
  return FindRoots(c, m, lead, roots);
}

double Distance(const Complex& a, const Complex& b)
{
  const double dx = a.re - b.re, dy = a.im - b.im;
  return std::sqrt(dx * dx + dy * dy);
}

// Reorders r so that root i continues prev's root i with the least total
// movement (every order of at most four roots is tried).
void MatchRoots(const Complex* prev, Complex* r, int n)
{
  // each root still nearest its own predecessor: that order is the match
  bool kept = true;
  for (int i = 0; i < n && kept; ++i)
    kept = Distance(prev[i], r[i]) < SweepStepBound(prev, n, i);
  if (kept)
    return;
  int order[kMaxSweepRoots] = {0, 1, 2, 3};
  int best[kMaxSweepRoots] = {0, 1, 2, 3};
  double bestCost = std::numeric_limits<double>::infinity();
  do {
    double cost = 0.0;
    for (int i = 0; i < n; ++i)
      cost += Distance(prev[i], r[order[i]]);
    if (cost < bestCost) {
      bestCost = cost;
      std::copy(order, order + n, best);
    }
  } while (std::next_permutation(order, order + n));
  Complex sorted[kMaxSweepRoots];
  for (int i = 0; i < n; ++i)
    sorted[i] = r[best[i]];
  std::copy(sorted, sorted + n, r);
}

bool WithinBounds(const SweepSample& a, const SweepSample& b)
{
  for (int i = 0; i < a.n; ++i)
    if (Distance(a.r[i], b.r[i]) > SweepStepBound(a.r, a.n, i))
      return false;
  return true;
}

bool SamePolynomial(const Polynomial& a, const Polynomial& b)
{
  return a.n == b.n && std::equal(a.c, a.c + a.n, b.c);
}

// The roots expected at p from the straight line through a and b (same
// count), the seeds of the next evaluation.
SweepSample Predict(const SweepSample& a, const SweepSample& b, double p)
{
  SweepSample s = b;
  const double t = a.p == b.p ? 0.0 : (p - b.p) / (b.p - a.p);
  for (int i = 0; i < b.n; ++i) {
    s.r[i].re += t * (b.r[i].re - a.r[i].re);
    s.r[i].im += t * (b.r[i].im - a.r[i].im);
  }
  return s;
}

// Whether the loop depends on the parameter at all: the decoded loop at a
// few values of it (the range's ends, a point inside, an arbitrary value)
// differs somewhere. Values that do not decode say nothing either way.
bool LoopUsesParameter(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw)
{
  const double probes[] = {sw.from, sw.to, 0.6180339887 * sw.from + 0.3819660113 * sw.to, 1.2345678901};
  CharLoop first;
  bool haveFirst = false;
  int decoded = 0;
  for (const double p : probes) {
    CharLoop l;
    if (!DecodeAt(doc, loop, sw.parameter, p, l))
      continue;
    ++decoded;
    if (!haveFirst) {
      first = l;
      haveFirst = true;
    } else if (!SamePolynomial(l.num, first.num) || !SamePolynomial(l.den, first.den) || l.gain != first.gain) {
      ClearError();
      return true;
    }
  }
  ClearError();
  return decoded < 2;
}

// Samples the value of base point k: the evaluation used by the tracer.
struct Evaluator {
  ValueDecoder decoder;
  int parameter;
  CharLoop gainLoop;  // for the gain: the loop decoded once

  bool rootsAt(double p, SweepSample& s, bool& zPlane, const SweepSample* seed = nullptr)
  {
    const Complex* seeds = seed ? seed->r : nullptr;
    const int seedCount = seed ? seed->n : 0;
    s.p = p;
    s.newSegment = false;
    s.atFloor = false;
    RootSet set;
    if (parameter == kSweepGain) {
      ClearError();
      if (!ClosedRoots(gainLoop, p, set, seeds, seedCount))
        return false;
      zPlane = gainLoop.zPlane;
    } else {
      CharLoop l;
      if (!decoder.at(p, l) || !ClosedRoots(l, l.gain, set, seeds, seedCount))
        return false;
      zPlane = l.zPlane;
    }
    s.n = std::min(set.n, kMaxSweepRoots);
    std::copy(set.r, set.r + s.n, s.r);
    return true;
  }
};

// The stability margin: the largest real part, or the largest |z| - 1.
double Margin(const SweepSample& s, bool zPlane)
{
  double m = -std::numeric_limits<double>::infinity();
  for (int i = 0; i < s.n; ++i)
    m = std::max(m, zPlane ? std::sqrt(s.r[i].re * s.r[i].re + s.r[i].im * s.r[i].im) - 1.0 : s.r[i].re);
  return m;
}

bool StableAt(Evaluator& ev, double p)
{
  SweepSample s;
  bool zPlane = false;
  const bool ok = ev.rootsAt(p, s, zPlane);
  ClearError();
  return ok && Margin(s, zPlane) < 0.0;
}

bool PrepareEvaluator(Evaluator& ev, double p)
{
  return ev.parameter != kSweepGain || ev.decoder.at(p, ev.gainLoop);
}

}  // namespace

double SweepStepBound(const Complex* r, int n, int i)
{
  double sep = std::numeric_limits<double>::infinity();
  for (int j = 0; j < n; ++j)
    if (j != i)
      sep = std::min(sep, Distance(r[i], r[j]));
  return std::min(0.5 * sep, 0.1 * (1.0 + std::sqrt(r[i].re * r[i].re + r[i].im * r[i].im)));
}

double SweepValue(const ParamSweep& sw, int k)
{
  if (k <= 0)
    return sw.from;
  if (k >= sw.points - 1)
    return sw.to;
  const double t = static_cast<double>(k) / (sw.points - 1);
  return sw.log ? sw.from * std::pow(sw.to / sw.from, t) : sw.from + t * (sw.to - sw.from);
}

bool CheckSweep(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw)
{
  ClearError();
  if (!InRange(sw.points, kSweepPoints.high, kSweepPoints.low)) {
    SetRangeError(kSweepPoints);
    return false;
  }
  if (!MaxExceedsMin(sw.from, sw.to)) {
    SetError(kMaxMustExceedMin);
    return false;
  }
  if (sw.log && sw.from <= 0.0) {
    SetError("Log scale needs positive values");
    return false;
  }
  if (sw.parameter == kSweepGain)
    return true;
  if (LoopUsesParameter(doc, loop, sw))
    return true;
  char msg[64];
  std::snprintf(msg, sizeof msg, "Parameter %c is not used by the loop", static_cast<char>('a' + sw.parameter));
  SetError(msg);
  return false;
}

bool SweepRootsAt(const SYSDATA& doc, const LoopSwitches& loop, int parameter, double p, RootSet& roots, bool& zPlane)
{
  CharLoop l;
  if (!DecodeAt(doc, loop, parameter, p, l))
    return false;
  zPlane = l.zPlane;
  return ClosedRoots(l, parameter == kSweepGain ? p : l.gain, roots);
}

bool TraceParamLocus(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw, ParamLocus& out)
{
  out.count = 0;
  out.interrupted = false;
  out.badMessage[0] = '\0';
  if (!CheckSweep(doc, loop, sw))
    return false;
  Evaluator ev{{doc, loop, sw.parameter}, sw.parameter, {}};
  if (!PrepareEvaluator(ev, sw.from))
    return false;

  // Right ends of the intervals still to trace from the last sample,
  // evaluated, with how often their interval was halved.
  struct Pending {
    SweepSample s;
    int depth;
  } stack[kMaxSweepRefine + 1];
  int count = 0;
  bool segmentOpen = false;
  bool full = false;
  const auto store = [&](const SweepSample& s) {
    full = count >= kSweepStoreSize;
    if (!full)
      out.samples[static_cast<std::size_t>(count++)] = s;
    return !full;
  };
  const auto markBad = [&](double p) {
    if (!out.interrupted) {
      out.interrupted = true;
      out.badFrom = p;
      std::snprintf(out.badMessage, sizeof out.badMessage, "%s", ErrorMessage());
    }
    out.badTo = p;
    ClearError();
    segmentOpen = false;
  };

  for (int k = 0; k < sw.points && !full; ++k) {
    bool zPlane = false;
    int top = 0;
    stack[0].depth = 0;
    SweepSample seed;
    if (segmentOpen) {
      const SweepSample& last = out.samples[static_cast<std::size_t>(count - 1)];
      const bool line = count >= 2 && !last.newSegment && out.samples[static_cast<std::size_t>(count - 2)].n == last.n;
      seed = line ? Predict(out.samples[static_cast<std::size_t>(count - 2)], last, SweepValue(sw, k)) : last;
    }
    if (!ev.rootsAt(SweepValue(sw, k), stack[0].s, zPlane, segmentOpen ? &seed : nullptr)) {
      markBad(SweepValue(sw, k));
      continue;
    }
    out.zPlane = zPlane;
    if (!segmentOpen || stack[0].s.n != out.samples[static_cast<std::size_t>(count - 1)].n) {
      stack[0].s.newSegment = true;
      segmentOpen = store(stack[0].s);
      continue;
    }
    ++top;
    while (top > 0) {
      const SweepSample& prev = out.samples[static_cast<std::size_t>(count - 1)];
      Pending& end = stack[top - 1];
      MatchRoots(prev.r, end.s.r, end.s.n);
      if (end.depth < kMaxSweepRefine && !WithinBounds(prev, end.s)) {
        // halve the interval: its right half stays pending
        ++end.depth;
        Pending& mid = stack[top];
        mid.depth = end.depth;
        const double half = 0.5 * (prev.p + end.s.p);
        const SweepSample seedMid = Predict(end.s, prev, half);
        if (!ev.rootsAt(half, mid.s, zPlane, &seedMid) || mid.s.n != prev.n) {
          // an interruption inside a base step ends the segment there
          markBad(mid.s.p);
          break;
        }
        ++top;
        continue;
      }
      end.s.atFloor = end.depth >= kMaxSweepRefine;
      if (!store(end.s))
        break;
      --top;
    }
    if (top > 0 && !full) {
      // the base value after an interruption starts the next segment
      stack[0].s.newSegment = true;
      segmentOpen = store(stack[0].s);
    }
  }
  if (full) {
    SetError("Too many points, try fewer points or a smaller range");
    return false;
  }
  if (count == 0) {
    SetError(out.badMessage);
    return false;
  }
  out.count = count;
  return true;
}

bool FindStableRanges(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw, bool wholeGainAxis,
                      StableRanges& out)
{
  out.count = 0;
  ParamSweep grid = sw;
  if (wholeGainAxis) {
    // 0, then 1e-6 to 1e9 in fine logarithmic steps; stable at the top
    // counts as stable on to infinite gain
    grid = {kSweepGain, 1e-6, 1e9, 3001, true};
  } else if (!CheckSweep(doc, loop, sw)) {
    return false;
  }
  Evaluator ev{{doc, loop, grid.parameter}, grid.parameter, {}};
  if (!PrepareEvaluator(ev, grid.from))
    return false;
  const int first = wholeGainAxis ? -1 : 0;
  const auto valueAt = [&](int k) { return k < 0 ? 0.0 : SweepValue(grid, k); };

  // the boundary between a and b, where stability changes, by bisection
  const auto edge = [&](double a, double b) {
    const bool stableA = StableAt(ev, a);
    for (int i = 0; i < 200; ++i) {
      const double tol = 1e-10 * std::max(std::fabs(a), std::fabs(b));
      if (std::fabs(b - a) <= tol)
        break;
      const double m = 0.5 * (a + b);
      if (m == a || m == b)
        break;
      (StableAt(ev, m) == stableA ? a : b) = m;
    }
    return 0.5 * (a + b);
  };

  bool open = false;
  double prevP = valueAt(first);
  bool prevStable = StableAt(ev, prevP);
  if (prevStable) {
    open = true;
    out.from[0] = prevP;
  }
  const auto close = [&](double to) {
    if (out.count < kMaxStableRanges)
      out.to[out.count++] = to;
    open = false;
  };
  for (int k = first + 1; k < grid.points; ++k) {
    const double p = valueAt(k);
    const bool stable = StableAt(ev, p);
    if (stable != prevStable) {
      const double at = edge(prevP, p);
      if (stable && out.count < kMaxStableRanges) {
        out.from[out.count] = at;
        open = true;
      } else if (!stable && open) {
        close(at);
      }
    }
    prevP = p;
    prevStable = stable;
  }
  if (open)
    close(wholeGainAxis ? std::numeric_limits<double>::infinity() : grid.to);
  ClearError();
  return true;
}
