// The loop gain for the searches along the frequency axis: its band, the
// step through it and where its poles lie.

#include "engine/freq/LoopScan.h"
#include "engine/freq/FreqLoop.h"

#include "engine/base/Error.h"
#include "engine/model/Roots.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

double MagSq(const OpenLoop& ol, double omega)
{
  const EvalPoint at = MakeEvalPoint(ol.m, omega);
  const Complex a = EvalPolynomial(ol.m.num[ol.j], at);
  const Complex b = EvalPolynomial(ol.m.den[ol.j], at);
  return SumSq(a.re, a.im) * ol.k * ol.k / SumSq(b.re, b.im);
}

// The roots of p as corners of g; roots at s = 0 (z = 1) and whole samples
// of delay (z = 0) are counted instead.
bool AddCorners(const Polynomial& p, bool continuous, double T, ScanGrid& g, int& delayRoots, int& originRoots)
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

// Poles of den away from s = 0 (z = 1): in the right half-plane (outside
// the unit circle) or on its edge, within a relative 1e-9.
void CountPoles(const Polynomial& den, bool continuous, PoleCount& poles)
{
  double a[kMaxCoeffs];
  std::copy(den.c, den.c + kMaxCoeffs, a);
  RootSet set;
  double gain = 1.0;
  if (!FindRoots(a, den.n, gain, set))
    return;
  double scale = 0.0;
  for (int i = 0; i < set.n; ++i)
    scale = std::max(scale, std::hypot(set.r[i].re, set.r[i].im));
  for (int i = 0; i < set.n; ++i) {
    const Complex r = set.r[i];
    double margin;  // > 0 outside the stable region
    if (continuous) {
      if (std::hypot(r.re, r.im) <= 1e-12 * scale)
        continue;
      margin = r.re / std::max(scale, 1e-300);
    } else {
      if (std::hypot(r.re - 1, r.im) <= 1e-9)
        continue;
      margin = std::hypot(r.re, r.im) - 1;
    }
    if (margin > 1e-9)
      ++poles.unstable;
    else if (margin >= -1e-9)
      ++poles.onAxis;
  }
}

// |L| = C omega^k near omega (k from the slope over a decade): where that
// asymptote crosses 1, or 0 when it is flat.
double AsymptoteCrossing(const OpenLoop& ol, double omega, double toward)
{
  const double m1 = std::sqrt(MagSq(ol, omega));
  const double m2 = std::sqrt(MagSq(ol, omega * toward));
  const double k = std::round(std::log10(m2 / m1) / std::log10(toward));
  if (!(std::fabs(k) >= 1) || !(m1 > 0) || !std::isfinite(m1))
    return 0.0;
  return omega * std::pow(m1, -1.0 / k);
}

}  // namespace

bool ReadOpenLoop(const FreqLoop& open, OpenLoop& ol)
{
  if (!CheckDecoded(open.loop))
    return false;
  const Loop& s = open.loop;
  const bool continuous = s.kind == SystemKind::Continuous;
  if (!continuous && s.sampleHold == 0) {
    SetError("Sample-hold time is zero");
    return false;
  }
  ReadLoopModel(s, ol.m);
  ol.j = ol.m.last;
  ol.k = ol.j == kPlant ? ol.m.gain : 1.0;
  ol.delay = ol.j == kPlant ? PlantLag(ol.m) : 0.0;
  return true;
}

Complex OpenLoopValue(const OpenLoop& ol, double omega)
{
  const EvalPoint at = MakeEvalPoint(ol.m, omega);
  return EvalElement(ol.m, ol.j, ol.m.num[ol.j], ol.m.den[ol.j], at, false).value;
}

bool BuildScanGrid(const OpenLoop& ol, ScanGrid& g)
{
  g = ScanGrid{};
  const bool continuous = ol.m.kind == SystemKind::Continuous;
  const double T = ol.m.hold;
  int delayRoots = 0, zerosAtOrigin = 0, polesAtOrigin = 0;
  if (!AddCorners(ol.m.num[ol.j], continuous, T, g, delayRoots, zerosAtOrigin) ||
      !AddCorners(ol.m.den[ol.j], continuous, T, g, delayRoots, polesAtOrigin))
    return false;
  CountPoles(ol.m.den[ol.j], continuous, g.poles);
  g.poles.integrators = polesAtOrigin - zerosAtOrigin;
  if (ol.delay > 0) {
    if (continuous)
      g.corners[g.count++] = {0.0, 1.0 / ol.delay};
    else
      delayRoots += ol.m.delaySamples;
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

double ScanStep(const ScanGrid& g, double omega, bool delayDense)
{
  double step = std::min(0.1 * omega, g.maxStep);
  for (int i = 0; i < g.count; ++i)
    step = std::min(step, 0.1 * (std::fabs(omega - g.corners[i].omega) + g.corners[i].sigma));
  if (delayDense)
    step = std::min(step, g.delayStep);
  return std::max(step, 1e-6 * omega);  // an undamped root is approached, never reached
}
