// Stability margins: the crossings of |L| = 1 and of the negative real axis,
// bracketed on a grid that follows the loop's roots and delay, then refined
// with Brent's method.

#include "freq/Margins.h"
#include "freq/FreqLoop.h"

#include "model/Error.h"
#include "model/Model.h"
#include "model/Roots.h"
#include "model/Toolkit.h"
#include "model/UpdateLoop.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDegPerRad = 57.29577951308232;

// The element that carries L, with its gain and delay.
struct OpenLoop {
  FreqLoopModel m;
  int j = kPlant;
  double k = 1.0;
  double delay = 0.0;  // continuous loops only
};

// L at one frequency, reduced to what the search needs.
struct LoopSample {
  double g = 0.0;      // (|L|^2 - 1)/(|L|^2 + 1): the sign of |L| - 1, smooth in omega
  double s = kNaN;     // sin and cos of the phase of L (NaN where L is 0 or infinite)
  double c = kNaN;
  double magSq = 0.0;  // |L|^2
};

LoopSample SampleAt(const OpenLoop& ol, const EvalPoint& at)
{
  const Complex a = EvalPolynomial(ol.m.num[ol.j], at);
  const Complex b = EvalPolynomial(ol.m.den[ol.j], at);
  const double n2 = SumSq(a.re, a.im) * ol.k * ol.k;
  const double d2 = SumSq(b.re, b.im);
  LoopSample r;
  r.g = (n2 - d2) / (n2 + d2);
  r.magSq = n2 / d2;
  // L has the direction of k a conj(b) e^(-j omega Td).
  double wr = ol.k * (a.re * b.re + a.im * b.im);
  double wi = ol.k * (a.im * b.re - a.re * b.im);
  if (ol.delay != 0) {
    const double c = std::cos(at.omega * ol.delay), s = std::sin(at.omega * ol.delay);
    const double t = wr * c + wi * s;
    wi = wi * c - wr * s;
    wr = t;
  }
  const double h = std::sqrt(SumSq(wr, wi));
  if (h > 0 && std::isfinite(h)) {
    r.s = wi / h;
    r.c = wr / h;
  }
  return r;
}

LoopSample Sample(const OpenLoop& ol, double omega) { return SampleAt(ol, MakeEvalPoint(ol.m, omega)); }

// A sign change from a to b, or b exactly 0 after a non-zero a.
bool Crosses(double a, double b) { return (a < 0 && b >= 0) || (a > 0 && b <= 0); }

// Brent's method on [a, b] with f(a), f(b) of opposite signs (or f(b) = 0).
template <typename F> double Refine(F f, double a, double b, double fa, double fb, double tol)
{
  double c = a, fc = fa, d = b - a, e = d;
  for (int iter = 0; iter < 200; ++iter) {
    if ((fb > 0) == (fc > 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol1 = 2 * kEps * std::fabs(b) + 0.5 * tol;
    const double xm = 0.5 * (c - b);
    if (std::fabs(xm) <= tol1 || fb == 0)
      return b;
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      const double s = fb / fa;
      double p, q;
      if (a == c) {
        p = 2 * xm * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * xm * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0)
        q = -q;
      else
        p = -p;
      if (2 * p < std::min(3 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol1 ? d : (xm > 0 ? tol1 : -tol1);
    fb = f(b);
  }
  return b;
}

// Where a root changes the phase of L: its distance from the frequency
// axis and its frequency (s-plane roots; z-plane roots through ln z / T).
struct Corner {
  double omega = 0.0;
  double sigma = 0.0;
};

struct Grid {
  Corner corners[2 * kMaxCoeffs + 1];
  int count = 0;
  double lo = 0.0, hi = 0.0;
  double delayStep = std::numeric_limits<double>::infinity();  // the delay's phase: 0.5 rad a step
  double maxStep = std::numeric_limits<double>::infinity();
};

// The next grid step: every root's phase, and the delay's, moves by about
// a tenth of a radian or less, so that two neighbours bracket at most one
// crossing of the negative real axis.
double Step(const Grid& g, double omega, bool delayDense)
{
  double step = std::min(0.1 * omega, g.maxStep);
  for (int i = 0; i < g.count; ++i)
    step = std::min(step, 0.1 * (std::fabs(omega - g.corners[i].omega) + g.corners[i].sigma));
  if (delayDense)
    step = std::min(step, g.delayStep);
  return std::max(step, 1e-6 * omega);  // an undamped root is approached, never reached
}

// The roots of p as corners of g.
bool AddCorners(const Polynomial& p, bool continuous, double T, Grid& g, int& originRoots, int& delayRoots)
{
  double a[kMaxCoeffs];
  std::copy(p.c, p.c + kMaxCoeffs, a);
  RootSet set;
  double gain = 1.0;
  if (!FindRoots(a, p.n, gain, set))
    return false;
  double scale = 0.0;
  for (int i = 0; i < set.n; ++i)
    scale = std::max(scale, std::hypot(set.r[i].re, set.r[i].im));
  for (int i = 0; i < set.n; ++i) {
    const Complex r = set.r[i];
    Corner c;
    if (continuous) {
      if (std::hypot(r.re, r.im) <= 1e-12 * scale) {
        ++originRoots;
        continue;
      }
      c = {std::fabs(r.im), std::fabs(r.re)};
    } else {
      const double mag = std::hypot(r.re, r.im);
      if (mag <= 1e-9) {  // a whole sample of delay
        ++delayRoots;
        continue;
      }
      if (std::hypot(r.re - 1, r.im) <= 1e-9) {  // an integrator
        ++originRoots;
        continue;
      }
      c = {std::fabs(std::atan2(r.im, r.re)) / T, std::fabs(std::log(mag)) / T};
    }
    g.corners[g.count++] = c;
  }
  return true;
}

// |L| = C omega^k near omega (k from the slope over a decade): where that
// asymptote crosses 1, or 0 when it is flat.
double AsymptoteCrossing(const OpenLoop& ol, double omega, double toward)
{
  const double m1 = std::sqrt(Sample(ol, omega).magSq);
  const double m2 = std::sqrt(Sample(ol, omega * toward).magSq);
  const double k = std::round(std::log10(m2 / m1) / std::log10(toward));
  if (!(std::fabs(k) >= 1) || !(m1 > 0) || !std::isfinite(m1))
    return 0.0;
  return omega * std::pow(m1, -1.0 / k);
}

bool BuildGrid(const OpenLoop& ol, Grid& g)
{
  const bool continuous = ol.m.kind == SystemKind::Continuous;
  const double T = ol.m.hold;
  int originRoots = 0, delayRoots = 0;
  if (!AddCorners(ol.m.num[ol.j], continuous, T, g, originRoots, delayRoots) ||
      !AddCorners(ol.m.den[ol.j], continuous, T, g, originRoots, delayRoots))
    return false;
  if (ol.delay > 0) {
    g.corners[g.count++] = {0.0, 1.0 / ol.delay};
    g.delayStep = 0.5 / ol.delay;
  }
  double cMin = std::numeric_limits<double>::infinity(), cMax = 0.0;
  for (int i = 0; i < g.count; ++i) {
    const double c = std::hypot(g.corners[i].omega, g.corners[i].sigma);
    cMin = std::min(cMin, c);
    cMax = std::max(cMax, c);
  }
  const double nyquist = continuous ? 0.0 : kPi / T;
  if (g.count == 0)
    cMin = cMax = continuous ? 1.0 : 0.1 * nyquist;
  g.lo = cMin / 100;
  if (const double w0 = AsymptoteCrossing(ol, g.lo, 0.1); w0 > 0)
    g.lo = std::min(g.lo, w0 / 10);
  if (continuous) {
    g.hi = 100 * cMax;
    if (const double wInf = AsymptoteCrossing(ol, g.hi, 10.0); wInf > 0)
      g.hi = std::max(g.hi, 10 * wInf);
  } else {
    g.hi = nyquist;
    g.lo = std::min(g.lo, 1e-3 * nyquist);
    // Each root inside the unit circle turns the phase by at most about T
    // per rad/s divided by its distance from the circle (the corners hold
    // the roots near the circle); whole samples of delay by T each.
    g.maxStep = 0.3 / (T * (1 + delayRoots + g.count));
  }
  return true;
}

void AddPhaseCrossover(StabilityMargins& out, double omega, double magSq)
{
  if (out.phaseCount >= kMaxCrossings) {
    out.truncated = true;
    return;
  }
  out.phase[out.phaseCount++] = {omega, -10.0 * std::log10(magSq) + 0.0};  // + 0: no -0
}

void AddGainCrossover(StabilityMargins& out, double omega, const LoopSample& at)
{
  if (out.gainCount >= kMaxCrossings) {
    out.truncated = true;
    return;
  }
  const double pm = std::atan2(-at.s, -at.c);  // 180 deg + phase, in (-pi, pi]
  const double toLimit = pm < 0 ? pm + kTwoPi : pm;
  out.gain[out.gainCount++] = {omega, pm * kDegPerRad + 0.0, toLimit / omega};
}

// L at z = e^(j theta) for theta = 0 or pi (omega = 0 or pi/T), or at s = 0,
// where it is real: a phase crossover when it is negative and finite.
void EndPhaseCrossover(const OpenLoop& ol, double omega, double zc, StabilityMargins& out)
{
  EvalPoint at = MakeEvalPoint(ol.m, omega);
  if (!at.continuous) {
    at.zc = zc;
    at.zs = 0.0;
  }
  const Complex a = EvalPolynomial(ol.m.num[ol.j], at);
  const Complex b = EvalPolynomial(ol.m.den[ol.j], at);
  if (b.re == 0)
    return;
  const double l = ol.k * a.re / b.re;
  if (l < 0 && std::isfinite(l))
    AddPhaseCrossover(out, omega, l * l);
}

double Tolerance(double omega) { return std::min(1e-9, 1e-10 * omega); }

}  // namespace

bool ComputeMargins(const FREQSTAT& rec, StabilityMargins& out)
{
  out = StabilityMargins{};
  SYSDATA& s = Sys();
  // The loop gain: the elements in the loop, multiplied into one element.
  LoopSwitches w = rec.loop;
  w.closedLoop = false;
  w.refInput = true;
  w.loadInput = w.noiseInput = false;
  ApplyLoopSwitches(s, ActiveDomain::Frequency, w);
  UpdateLoop(s);
  if (ErrorPending())
    return false;
  const bool continuous = s.kind == SystemKind::Continuous;
  if (!continuous && s.sampleHold == 0) {
    SetError("Sample-hold time is zero");
    return false;
  }
  OpenLoop ol;
  ReadLoopModel(s, ol.m);
  ol.j = ol.m.last;
  ol.k = ol.j == kPlant ? ol.m.gain : 1.0;
  ol.delay = continuous && ol.j == kPlant ? ol.m.delay : 0.0;

  Grid g;
  if (!BuildGrid(ol, g))
    return false;
  out.bandLo = g.lo;
  out.bandHi = g.hi;

  EndPhaseCrossover(ol, 0.0, 1.0, out);
  // A discrete loop's L is real at pi/T: that end is checked on its own,
  // and the scan stops just short of it.
  const double scanEnd = continuous ? g.hi : g.hi * (1 - 1e-9);
  double omega = g.lo;
  LoopSample prev = Sample(ol, omega);
  const auto gainAt = [&ol](double x) { return Sample(ol, x).g; };
  const auto sinAt = [&ol](double x) { return Sample(ol, x).s; };
  while (omega < scanEnd && !(out.gainCount >= kMaxCrossings && out.phaseCount >= kMaxCrossings)) {
    const bool phaseOpen = out.phaseCount < kMaxCrossings;
    const double next = std::min(omega + Step(g, omega, phaseOpen), scanEnd);
    if (!(next > omega))
      break;
    const LoopSample cur = Sample(ol, next);
    if (Crosses(prev.g, cur.g)) {
      const double x = cur.g == 0 ? next : Refine(gainAt, omega, next, prev.g, cur.g, Tolerance(next));
      AddGainCrossover(out, x, Sample(ol, x));
    }
    if (phaseOpen && Crosses(prev.s, cur.s) && (prev.c < 0 || cur.c < 0)) {
      const double x = cur.s == 0 ? next : Refine(sinAt, omega, next, prev.s, cur.s, Tolerance(next));
      const LoopSample at = Sample(ol, x);
      // Not a pole or zero on the axis, where the direction of L jumps.
      if (at.c < 0 && std::fabs(at.s) < 1e-6)
        AddPhaseCrossover(out, x, at.magSq);
    }
    prev = cur;
    omega = next;
  }
  if (!continuous && !(out.phaseCount > 0 && out.phase[out.phaseCount - 1].omega >= scanEnd))
    EndPhaseCrossover(ol, g.hi, -1.0, out);
  return true;
}
