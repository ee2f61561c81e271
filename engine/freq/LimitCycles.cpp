// Limit cycles: the crossings of L(j omega) with -1/N(A), bracketed between
// grid points of both curves in the inverse plane (1/L against -N, where
// N stays finite), refined by Newton's method on (A, omega), and judged by
// counting the encirclements on either side of each crossing.

#include "engine/freq/LimitCycles.h"
#include "engine/expr/EvalContext.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/HarmonicQuadrature.h"
#include "engine/freq/LoopScan.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace {

using Cd = std::complex<double>;
constexpr int kMinCells = 64;          // amplitude intervals searched at least
constexpr int kSplitDepth = 5;         // halvings of an interval where the locus bends
constexpr int kMaxScan = 200000;       // frequency points of one scan at most
constexpr double kOffCycle = 1e-4;     // relative step off a cycle's amplitude to judge it
constexpr double kSame = 1e-7;         // two crossings this close (relative) are one
constexpr int kMaxRawCrossings = 512;  // crossings kept before they are gathered into cycles

Cd ToCd(Complex c)
{
  return {c.re, c.im};
}
Complex FromCd(Cd c)
{
  return {c.real(), c.imag()};
}
double Cross(Cd a, Cd b)
{
  return a.real() * b.imag() - a.imag() * b.real();
}
bool Finite(Cd c)
{
  return std::isfinite(c.real()) && std::isfinite(c.imag());
}

struct Crossing {
  double a = 0.0, w = 0.0;
};

// What the search evaluates: N of the nonlinearity, L of the loop.
struct Search {
  FREQSTAT& rec;
  const Nonlinearity& nl;
  const OpenLoop& ol;
  const ScanGrid& g;

  Cd N(double a) const { return ToCd(DescribingFunctionAt(rec, nl, a)); }
  Cd L(double w) const { return ToCd(OpenLoopValue(ol, w)); }
  Cd C(double w) const { return 1.0 / L(w); }  // the response in the inverse plane
  bool continuous() const { return ol.m.kind == SystemKind::Continuous; }
};

// -N over the searched amplitudes, with the phase of -1/N tracked as the
// drawn Nichols locus tracks it.
struct Locus {
  int count = 0;
  bool full = false;  // the points ran out before the end amplitude
  double a[kMaxLocusPoints] = {};
  Cd q[kMaxLocusPoints];
  double phase[kMaxLocusPoints] = {};
  double nMin = HUGE_VAL, nMax = 0.0;
  double xLo = HUGE_VAL, xHi = -HUGE_VAL, yLo = HUGE_VAL, yHi = -HUGE_VAL;
};

// Appends the points after a0 up to (a1, q1), halving the interval while
// the locus strays from its chord by more than a twentieth of the chord,
// and by more than the saw of the samples' steps (about 2/M of N). False
// with the locus marked full when the points run out.
bool AddLocusPoints(const Search& s, Locus& k, double a0, Cd q0, double a1, Cd q1, int depth)
{
  if (k.count >= kMaxLocusPoints) {
    k.full = true;
    return false;
  }
  if (depth < kSplitDepth && k.count + 2 < kMaxLocusPoints) {
    const double am = 0.5 * (a0 + a1);
    const Cd qm = -s.N(am);
    if (ErrorPending())
      return false;
    const double stray = std::abs(qm - 0.5 * (q0 + q1));
    const double saw = (std::abs(q0) + std::abs(q1)) / s.rec.df.tableFor;
    if (stray > 0.05 * std::abs(q1 - q0) + saw)
      return AddLocusPoints(s, k, a0, q0, am, qm, depth + 1) && AddLocusPoints(s, k, am, qm, a1, q1, depth + 1);
  }
  if (k.count >= kMaxLocusPoints) {
    k.full = true;
    return false;
  }
  k.a[k.count] = a1;
  k.q[k.count] = q1;
  ++k.count;
  return true;
}

// The set's amplitudes, each interval split evenly so that there are at
// least kMinCells of them (one amplitude searches start to end), and
// halved further where the locus bends. A locus that bends more than its
// points can follow ends where they run out (marked full).
bool BuildLocus(const Search& s, Locus& k)
{
  const FreqSettings& set = s.rec.set;
  const int shown = set.amplitudes;
  int cells = 0;
  if (shown > 1)
    cells = (shown - 1) * ((kMinCells + shown - 2) / (shown - 1));
  else if (set.endAmp > set.startAmp)
    cells = kMinCells;
  k.a[0] = set.startAmp;
  k.q[0] = -s.N(set.startAmp);
  k.count = 1;
  for (int i = 1; i <= cells && !ErrorPending() && !k.full; ++i) {
    const double a = std::lerp(set.startAmp, set.endAmp, double(i) / cells);
    if (!AddLocusPoints(s, k, k.a[k.count - 1], k.q[k.count - 1], a, -s.N(a), 0) && !k.full)
      return false;
  }
  if (ErrorPending())
    return false;
  FreqPointState& pt = s.rec.pt;
  for (int i = 0; i < k.count; ++i) {
    const Cd q = k.q[i];
    pt.openPhase = -ArcTanA(q.real(), q.imag());
    pt.closedPhase = pt.prevClosedPhase = 0.0;
    if (i == 0)
      StartPhaseTracking(s.rec);
    else
      TrackPhase(s.rec);
    pt.prevOpenPhase = pt.openPhase;
    k.phase[i] = pt.openPhase + pt.openOffset;
    const double m = std::abs(q);
    k.nMin = std::min(k.nMin, m);
    k.nMax = std::max(k.nMax, m);
    k.xLo = std::min(k.xLo, q.real());
    k.xHi = std::max(k.xHi, q.real());
    k.yLo = std::min(k.yLo, q.imag());
    k.yHi = std::max(k.yHi, q.imag());
  }
  return true;
}

// The frequencies where L can meet -1/N: the margins' band, down while |L|
// may still be as small as 1/|N| and up while it may be as large.
void SearchBand(const Search& s, const Locus& k, double& lo, double& hi)
{
  lo = s.g.lo;
  hi = s.g.hi;
  while (lo > 1e-2 * s.g.lo && !(std::abs(s.L(lo)) * k.nMin > 2.0))
    lo /= 10;
  if (!s.continuous())
    return;
  while (hi < 1e2 * s.g.hi && std::abs(s.L(hi)) * k.nMax >= 0.5)
    hi *= 10;
}

// Newton's method on L(j w) N(A) = -1, written 1/L(j w) + N(A) = 0, for the
// describing function nOf, with a Jacobian of forward differences (steps of
// the relative h) and the step halved until the residual falls. True when
// the step has shrunk to the relative tol; n then holds N(a).
template <typename NOf>
bool NewtonOn(const Search& s, NOf&& nOf, double h, double tol, int iterations, double& a, double& w, Cd& n)
{
  n = nOf(a);
  Cd c = s.C(w);
  for (int iter = 0; iter < iterations; ++iter) {
    const Cd r = c + n;
    if (!Finite(r))
      return false;
    const double ha = h * a, hw = 1e-7 * w;
    const Cd da = (nOf(a + ha) - n) / ha;
    const Cd dw = (s.C(w + hw) - c) / hw;
    const double det = Cross(da, dw);
    if (!(std::fabs(det) > 0) || !std::isfinite(det))
      return false;
    const double stepA = Cross(dw, r) / det;  // Cramer's rule for da x + dw y = -r
    const double stepW = Cross(r, da) / det;
    if (std::fabs(stepA) <= tol * a && std::fabs(stepW) <= tol * w)
      return true;
    for (double lambda = 1.0;; lambda *= 0.5) {
      if (lambda < 1e-6)
        return false;
      const double a1 = a + lambda * stepA, w1 = w + lambda * stepW;
      if (!(a1 > 0 && w1 > 0))
        continue;
      const Cd n1 = nOf(a1), c1 = s.C(w1);
      if (std::abs(c1 + n1) < std::abs(r) || lambda < 1e-3) {
        a = a1;
        w = w1;
        n = n1;
        c = c1;
        break;
      }
    }
  }
  return false;
}

// Newton's method with the sampled N, to a relative 1e-13.
bool Newton(const Search& s, double& a, double& w)
{
  Cd n;
  return NewtonOn(
      s, [&s](double x) { return s.N(x); }, 1e-7, 1e-13, 60, a, w, n);
}

// N(A) integrated to about 1e-11 (see IntegratedDescribingFunction), NaN
// where the integration does not converge.
Cd IntegratedN(const Search& s, double a)
{
  Complex v;
  if (IntegratedDescribingFunction(s.nl, a, v))
    return ToCd(v);
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  return {kNaN, kNaN};
}

// The cycle of a characteristic without memory, whose N is real: L is real
// there, so w is where Im 1/L changes sign near the crossing, and A where
// the integrated N meets -1/L(w), bracketed within the sampled N's
// resolution of the crossing's A (the bracket widened from 1e-3 of A).
bool RefineRealN(const Search& s, double resolution, double& a, double& w, Cd& n)
{
  const auto im = [&s](double x) { return s.C(x).imag(); };
  const double w0 = w * (1 - 1e-3), w1 = w * (1 + 1e-3);
  const double i0 = im(w0), i1 = im(w1);
  if (!Crosses(i0, i1))
    return false;
  w = BrentRoot(im, w0, w1, i0, i1, 1e-14 * w);
  const double target = -s.C(w).real();
  const auto gap = [&s, target](double x) { return IntegratedN(s, x).real() - target; };
  for (double r = 1e-3;; r *= 4) {
    r = std::min(r, resolution);
    const double lo = a * (1 - r), hi = a * (1 + r);
    const double glo = gap(lo), ghi = gap(hi);
    if (!std::isfinite(glo) || !std::isfinite(ghi))
      return false;
    if (Crosses(glo, ghi)) {
      a = BrentRoot(gap, lo, hi, glo, ghi, 1e-13 * a);
      n = IntegratedN(s, a);
      return Finite(n);
    }
    if (r >= resolution)
      return false;
  }
}

// A crossing found with the sampled N, refined with N integrated to about
// 1e-11, whatever the number of samples: to a relative 1e-10 or better
// (Newton's method for a characteristic with memory, whose N is complex).
// Left as found, with n its sampled N, when the integration does not
// converge or no root of the integrated N lies within the sampled N's
// resolution of it.
void Refine(const Search& s, double resolution, Crossing& x, Cd& n)
{
  n = s.N(x.a);
  const bool pending = ErrorPending();
  double a = x.a, w = x.w;
  Cd fine;
  const bool found = s.nl.hyst ? NewtonOn(
                                     s, [&s](double v) { return IntegratedN(s, v); }, 1e-6, 1e-10, 20, a, w, fine)
                               : RefineRealN(s, resolution, a, w, fine);
  if (!pending && ErrorPending()) {
    ClearError();  // a point the sampled N never took; the crossing stays as found
    return;
  }
  if (!found || std::fabs(a - x.a) > resolution * x.a || std::fabs(w - x.w) > 1e-2 * x.w)
    return;
  x = {a, w};
  n = fine;
}

// The frequency in [wa, wb] where 1/L comes nearest q (golden section).
double Foot(const Search& s, Cd q, double wa, double wb)
{
  constexpr double kGold = 0.6180339887498949;
  double x1 = wb - kGold * (wb - wa), x2 = wa + kGold * (wb - wa);
  double f1 = std::norm(s.C(x1) - q), f2 = std::norm(s.C(x2) - q);
  for (int i = 0; i < 60 && wb - wa > 1e-14 * wb; ++i) {
    if (f1 < f2) {
      wb = x2;
      x2 = x1;
      f2 = f1;
      x1 = wb - kGold * (wb - wa);
      f1 = std::norm(s.C(x1) - q);
    } else {
      wa = x1;
      x1 = x2;
      f1 = f2;
      x2 = wa + kGold * (wb - wa);
      f2 = std::norm(s.C(x2) - q);
    }
  }
  return 0.5 * (wa + wb);
}

// Which side of the curve 1/L (run with rising omega) -N(A) lies on, and
// how far, with the foot of the perpendicular in [wa, wb] in w.
double Side(const Search& s, double a, double wa, double wb, double& w)
{
  const Cd q = -s.N(a);
  w = Foot(s, q, wa, wb);
  const double h = 1e-7 * w;
  const Cd tangent = s.C(w + h) - s.C(w - h);
  return Cross(tangent, q - s.C(w));
}

// Where the side changes sign between the amplitudes a0 and a1: a root of
// a smooth N, or the step of an N whose samples jump (a stepped
// characteristic). There the locus crosses the curve along the step: the
// frequency is where the curve meets the step's line.
bool Bisect(const Search& s, double a0, double a1, double wa, double wb, double& a, double& w)
{
  double w0 = 0.0;
  double s0 = Side(s, a0, wa, wb, w0);
  const double s1 = Side(s, a1, wa, wb, w);
  if (!Crosses(s0, s1))
    return false;
  for (int i = 0; i < 100 && a1 - a0 > 1e-13 * a1; ++i) {
    const double mid = 0.5 * (a0 + a1);
    const double sm = Side(s, mid, wa, wb, w);
    if (Crosses(s0, sm)) {
      a1 = mid;
    } else {
      a0 = mid;
      s0 = sm;
    }
  }
  a = 0.5 * (a0 + a1);
  const Cd q0 = -s.N(a0), step = -s.N(a1) - q0;
  const auto across = [&](double x) { return Cross(step, s.C(x) - q0); };
  const double fa = across(wa), fb = across(wb);
  if (std::abs(step) > 1e-9 * std::abs(q0) && Crosses(fa, fb))
    w = BrentRoot(across, wa, wb, fa, fb, 1e-13 * wb);
  else
    (void)Side(s, a, wa, wb, w);
  return true;
}

// Roots of 1 + N L in the right half-plane (outside the unit circle) for an
// open loop with none there, by the argument principle: the change of the
// angle of L - p, p = -1/N, round the Nyquist contour is -2 pi per root.
// The contour's negative frequencies give L(-j w) - p = conj(L(j w) -
// conj(p)); a detour round k integrators turns the angle by -k pi far out;
// the far end closes where L has fallen off. -1 when the count is not whole.
int RightHalfPlaneRoots(const Search& s, Cd n)
{
  if (std::abs(n) == 0)
    return 0;  // no gain, no loop
  const Cd p = -1.0 / n, pc = std::conj(p);
  const ScanGrid& g = s.g;
  const int k = std::max(g.poles.integrators, 0);
  double lo = g.lo, hi = g.hi;
  // Far enough down that an integrator's L has outgrown p, far enough up
  // that L has fallen below it.
  while (k > 0 && lo > 1e-6 * g.lo && std::abs(s.L(lo)) < 10 * std::abs(p))
    lo /= 10;
  if (s.continuous()) {
    while (hi < 1e6 * g.hi && std::abs(s.L(hi)) > 0.1 * std::abs(p))
      hi *= 10;
    if (s.ol.delay > 0 && std::abs(s.L(hi)) > 0.1 * std::abs(p))
      return -1;  // the curve with a delay never settles
  }
  double turnF = 0.0, turnG = 0.0;
  int points = 0;
  // The angle changes between two frequencies, the interval halved until
  // each step turns them by half a radian at most.
  const auto turn = [&](auto&& self, double a, double b, Cd la, Cd lb, int depth) -> void {
    const double df = std::arg((lb - p) / (la - p));
    const double dg = std::arg((lb - pc) / (la - pc));
    if (std::max(std::fabs(df), std::fabs(dg)) > 0.5 && depth < 50 && b - a > 1e-14 * b && ++points < kMaxScan) {
      const double m = 0.5 * (a + b);
      const Cd lm = s.L(m);
      self(self, a, m, la, lm, depth + 1);
      self(self, m, b, lm, lb, depth + 1);
      return;
    }
    turnF += df;
    turnG += dg;
  };
  double w = lo;
  Cd lw = s.L(w);
  const Cd first = lw;
  while (w < hi && points < kMaxScan) {
    const double next = std::min(w + ScanStep(g, w, true), hi);
    if (!(next > w))
      break;
    const Cd ln = s.L(next);
    turn(turn, w, next, lw, ln, 0);
    ++points;
    w = next;
    lw = ln;
  }
  if (points >= kMaxScan)
    return -1;
  const auto nearest = [](double raw, double target) { return raw + kTwoPi * std::round((target - raw) / kTwoPi); };
  // From conj(L(j lo)) - p to L(j lo) - p past s = 0 (z = 1), and from
  // L(j hi) - p back to conj(L(j hi)) - p far out.
  const double joinLo = nearest(std::arg(first - p) + std::arg(first - pc), -k * kPi);
  const double joinHi = nearest(-std::arg(lw - pc) - std::arg(lw - p), 0.0);
  const double z = -(turnG + joinLo + turnF + joinHi) / kTwoPi;
  const double whole = std::round(z);
  return std::fabs(z - whole) > 0.25 ? -1 : static_cast<int>(whole);
}

// Stable when the loop has no root in the right half-plane at the
// amplitude above the crossing and has some at the one below.
void Judge(const Search& s, LimitCycle& c, double below, double above)
{
  const int up = RightHalfPlaneRoots(s, s.N(above));
  const int down = RightHalfPlaneRoots(s, s.N(below));
  if (up < 0 || down < 0) {
    c.stability = CycleStability::RuleDoesNotApply;
    c.gap = RuleGap::Undetermined;
    return;
  }
  c.stability = up == 0 && down > 0 ? CycleStability::Stable : CycleStability::Unstable;
}

struct Crossings {
  int count = 0;
  Crossing at[kMaxRawCrossings];
  bool full = false;
};

// Keeps the crossing at (a, w) unless it lies beyond the searched
// amplitudes or is one kept already.
void AddCrossing(const Locus& k, double a, double w, Crossings& raw)
{
  if (!(a >= k.a[0] * (1 - 1e-12) && a <= k.a[k.count - 1] * (1 + 1e-12)))
    return;
  for (int i = 0; i < raw.count; ++i)
    if (std::fabs(raw.at[i].a - a) <= kSame * a && std::fabs(raw.at[i].w - w) <= kSame * w)
      return;
  if (raw.count >= kMaxRawCrossings) {
    raw.full = true;
    return;
  }
  raw.at[raw.count++] = {a, w};
}

// The cycle of a crossing where N is n, with the phase of -1/N on the
// locus's branch.
LimitCycle MakeCycle(const Search& s, const Locus& k, const Crossing& x, Cd n)
{
  LimitCycle c;
  c.amplitude = x.a;
  c.omega = x.w;
  c.n = FromCd(n);
  c.l = FromCd(s.L(x.w));
  // On the branch of the locus point nearest below A.
  const auto cell = std::max<std::ptrdiff_t>(std::upper_bound(k.a, k.a + k.count, x.a) - k.a - 1, 0);
  const double raw = -ArcTanA(-n.real(), -n.imag());
  c.phaseDeg = (raw + kTwoPi * std::round((k.phase[cell] - raw) / kTwoPi)) * kDegPerRad;
  return c;
}

// The crossings of the response's segment from (w0, c0) to (w1, c1) with
// the locus's segments, each refined and added.
void CrossSegment(const Search& s, const Locus& k, double w0, double w1, Cd c0, Cd c1, Crossings& raw)
{
  if (std::max(c0.real(), c1.real()) < k.xLo || std::min(c0.real(), c1.real()) > k.xHi ||
      std::max(c0.imag(), c1.imag()) < k.yLo || std::min(c0.imag(), c1.imag()) > k.yHi)
    return;
  const Cd r = c1 - c0;
  for (int i = 0; i + 1 < k.count; ++i) {
    const Cd sv = k.q[i + 1] - k.q[i];
    const double den = Cross(r, sv);
    if (den == 0)
      continue;
    const Cd d = k.q[i] - c0;
    const double t = Cross(d, sv) / den, u = Cross(d, r) / den;
    if (!(t >= 0 && t < 1 && u >= 0 && u < 1))
      continue;
    const double da = k.a[i + 1] - k.a[i], dw = w1 - w0;
    double a = k.a[i] + u * da, w = w0 + t * dw;
    // Each crossing of the two polylines is one of the curves, near this
    // stretch of the locus (the polylines' chords may put it in the next):
    // Newton's root if it stays near (it may run off to another crossing),
    // else the change of side along the stretch, or along it and its
    // neighbours.
    const double lo = k.a[std::max(i - 1, 0)], hi = k.a[std::min(i + 2, k.count - 1)];
    const double wa = std::max(w0 - 3 * dw, 0.5 * w0), wb = w1 + 3 * dw;
    const bool found = Newton(s, a, w) && a >= lo && a <= hi;
    if (!found && !Bisect(s, k.a[i], k.a[i + 1], wa, wb, a, w) && !Bisect(s, lo, hi, wa, wb, a, w))
      continue;
    if (ErrorPending())
      return;
    AddCrossing(k, a, w, raw);
  }
}

// The crossings in order of amplitude, those at one frequency closer than
// the sampled period resolves taken together: the samples of a stepped
// characteristic jump, so its N saws round the true one and crosses the
// curve several times where the true one crosses once. A group is one cycle
// (its middle crossing) when the locus lies on either side of the curve
// before and after it at that resolution, and none when it only grazes the
// curve. A lone crossing is judged just off its amplitude, unless it goes
// against the locus's course at that resolution (a tooth of the saw).
void Gather(const Search& s, const Locus& k, Crossings& raw, LimitCycleList& out)
{
  std::sort(raw.at, raw.at + raw.count, [](const Crossing& x, const Crossing& y) { return x.a < y.a; });
  const double resolution = std::min(8.0 / s.rec.df.tableFor, 0.25);
  for (int first = 0; first < raw.count;) {
    int last = first;
    while (last + 1 < raw.count && raw.at[last + 1].a - raw.at[last].a <= resolution * raw.at[last].a &&
           std::fabs(raw.at[last + 1].w - raw.at[last].w) <= 1e-3 * raw.at[last].w)
      ++last;
    const Crossing& mid = raw.at[(first + last) / 2];
    const bool lone = first == last;
    double below = raw.at[first].a * (1 - resolution), above = raw.at[last].a * (1 + resolution);
    first = last + 1;
    // Which side of the curve's tangent at the crossing -N(A) lies on.
    const double h = 1e-7 * mid.w;
    const Cd at = s.C(mid.w), tangent = s.C(mid.w + h) - s.C(mid.w - h);
    const auto side = [&](double a) { return Cross(tangent, -s.N(a) - at); };
    const double after = side(above);
    if (!Crosses(side(below), after))
      continue;
    const double nearBelow = mid.a * (1 - kOffCycle), nearAbove = mid.a * (1 + kOffCycle);
    const double nearAfter = side(nearAbove);
    if (lone && Crosses(side(nearBelow), nearAfter) && (nearAfter > 0) == (after > 0)) {
      below = nearBelow;
      above = nearAbove;
    }
    if (out.count >= kMaxLimitCycles) {
      out.truncated = true;
      return;
    }
    Crossing cycle = mid;
    Cd n;
    Refine(s, resolution, cycle, n);
    LimitCycle c = MakeCycle(s, k, cycle, n);
    c.gap = out.loopGap;
    if (out.loopGap == RuleGap::None)
      Judge(s, c, below, above);
    out.cycles[static_cast<std::size_t>(out.count++)] = c;
  }
}

bool FindCycles(const Search& s, LimitCycleList& out)
{
  Locus k;
  if (!BuildLocus(s, k))
    return false;
  out.ampLo = k.a[0];
  out.ampHi = k.a[k.count - 1];
  out.locusFull = k.full;
  double lo = 0.0, hi = 0.0;
  SearchBand(s, k, lo, hi);
  out.bandLo = lo;
  out.bandHi = hi;
  Crossings raw;
  double w = lo;
  Cd c = s.C(w);
  for (int points = 1; w < hi && points < kMaxScan && !ErrorPending(); ++points) {
    const double next = std::min(w + ScanStep(s.g, w, true), hi);
    if (!(next > w))
      break;
    const Cd cn = s.C(next);
    if (Finite(c) && Finite(cn))
      CrossSegment(s, k, w, next, c, cn, raw);
    w = next;
    c = cn;
  }
  if (ErrorPending())
    return false;
  out.truncated = raw.full;
  Gather(s, k, raw, out);
  std::sort(out.cycles.begin(), out.cycles.begin() + out.count,
            [](const LimitCycle& x, const LimitCycle& y) { return x.omega < y.omega; });
  return !ErrorPending();
}

}  // namespace

bool ComputeLimitCycles(const FreqLoop& open, FREQSTAT& rec, const EvalContext& ctx, LimitCycleList& out)
{
  out = LimitCycleList{};
  ClearError();
  const EvalScope scope(ctx);
  Nonlinearity nl;
  if (!PrepareDescribingFunction(open.loop, rec, nl))
    return false;
  OpenLoop ol;
  ScanGrid g;
  if (!ReadOpenLoop(open, ol) || !BuildScanGrid(ol, g))
    return false;
  if (g.poles.unstable > 0)
    out.loopGap = RuleGap::OpenLoopUnstable;
  else if (g.poles.onAxis > 0)
    out.loopGap = RuleGap::UndampedPoles;
  // The Nichols branch is tracked as the drawn locus tracks it.
  const bool monotonic = rec.set.monotonicPhase;
  rec.set.monotonicPhase = true;
  const bool ok = FindCycles(Search{rec, nl, ol, g}, out);
  rec.set.monotonicPhase = monotonic;
  return ok;
}

const char* StabilityText(CycleStability s)
{
  switch (s) {
    case CycleStability::Stable:
      return "stable";
    case CycleStability::Unstable:
      return "unstable";
    case CycleStability::RuleDoesNotApply:
      break;
  }
  return "rule does not apply";
}

const char* RuleGapText(RuleGap gap)
{
  switch (gap) {
    case RuleGap::OpenLoopUnstable:
      return "the open loop is unstable";
    case RuleGap::UndampedPoles:
      return "the open loop has undamped poles";
    case RuleGap::Undetermined:
      return "the encirclements cannot be counted";
    case RuleGap::None:
      break;
  }
  return "";
}

bool LimitCyclePoint(const FREQSTAT& rec, const LimitCycle& c, double& x, double& y)
{
  const Cd l = ToCd(c.l);
  switch (rec.set.view) {
    case FreqView::DirectNyquist:
      x = l.real();
      y = l.imag();
      return true;
    case FreqView::InverseNyquist:
      x = (1.0 / l).real();
      y = (1.0 / l).imag();
      return true;
    case FreqView::Nichols:
      x = c.phaseDeg;
      y = 20.0 * std::log10(std::abs(l));
      return true;
    default:
      return false;
  }
}
