// Stability margins: the crossings of |L| = 1 and of the negative real axis,
// bracketed on a grid that follows the loop's roots and delay, then refined
// with Brent's method.

#include "engine/freq/Margins.h"
#include "engine/freq/FreqLoop.h"
#include "engine/freq/LoopScan.h"

#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// L at one frequency, reduced to what the search needs.
struct LoopSample {
  double g = 0.0;   // (|L|^2 - 1)/(|L|^2 + 1): the sign of |L| - 1, smooth in omega
  double s = kNaN;  // sin and cos of the phase of L (NaN where L is 0 or infinite)
  double c = kNaN;
};

LoopSample SampleAt(const OpenLoop& ol, const EvalPoint& at)
{
  const Complex a = EvalPolynomial(ol.m.num[ol.j], at);
  const Complex b = EvalPolynomial(ol.m.den[ol.j], at);
  const double n2 = SumSq(a.re, a.im) * ol.k * ol.k;
  const double d2 = SumSq(b.re, b.im);
  LoopSample r;
  r.g = (n2 - d2) / (n2 + d2);
  // L has the direction of k a conj(b) e^(-j omega tau); only the sign of k
  // counts, so that a gain of 1e-300 does not take the direction to 0.
  const double sign = ol.k > 0 ? 1.0 : ol.k < 0 ? -1.0 : 0.0;
  double wr = sign * (a.re * b.re + a.im * b.im);
  double wi = sign * (a.im * b.re - a.re * b.im);
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

LoopSample Sample(const OpenLoop& ol, double omega)
{
  return SampleAt(ol, MakeEvalPoint(ol.m, omega));
}

// -20 log10 |L| at omega, from the logarithms of the factors: |L|^2 itself
// leaves the double range for a loop gain such as 1e-308 or a plant of
// 1e308, where the margin is still a plain number.
double GainMarginDb(const OpenLoop& ol, double omega)
{
  const EvalPoint at = MakeEvalPoint(ol.m, omega);
  const Complex a = EvalPolynomial(ol.m.num[ol.j], at);
  const Complex b = EvalPolynomial(ol.m.den[ol.j], at);
  return -20.0 *
         (std::log10(std::hypot(a.re, a.im)) + std::log10(std::fabs(ol.k)) - std::log10(std::hypot(b.re, b.im)));
}

void AddPhaseCrossover(StabilityMargins& out, double omega, double marginDb)
{
  if (out.phaseCount >= kMaxCrossings) {
    out.truncated = true;
    return;
  }
  out.phase[out.phaseCount++] = {omega, marginDb + 0.0};  // + 0: no -0
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
  // The whole samples of delay are e^(-j m pi) = (-1)^m at z = -1.
  const double sign = zc < 0 && (ol.m.delaySamples & 1) != 0 ? -1.0 : 1.0;
  const double l = sign * ol.k * a.re / b.re;
  if (l < 0 && std::isfinite(l))
    AddPhaseCrossover(
        out, omega, -20.0 * (std::log10(std::fabs(a.re)) + std::log10(std::fabs(ol.k)) - std::log10(std::fabs(b.re))));
}

double Tolerance(double omega)
{
  return std::min(1e-9, 1e-10 * omega);
}

}  // namespace

bool ComputeMargins(const FreqLoop& open, StabilityMargins& out)
{
  out = StabilityMargins{};
  OpenLoop ol;
  if (!ReadOpenLoop(open, ol))
    return false;
  const bool continuous = ol.m.kind == SystemKind::Continuous;
  ScanGrid g;
  if (!BuildScanGrid(ol, g))
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
    const double next = std::min(omega + ScanStep(g, omega, phaseOpen), scanEnd);
    if (!(next > omega))
      break;
    const LoopSample cur = Sample(ol, next);
    if (Crosses(prev.g, cur.g)) {
      const double x = cur.g == 0 ? next : BrentRoot(gainAt, omega, next, prev.g, cur.g, Tolerance(next));
      AddGainCrossover(out, x, Sample(ol, x));
    }
    if (phaseOpen && Crosses(prev.s, cur.s) && (prev.c < 0 || cur.c < 0)) {
      const double x = cur.s == 0 ? next : BrentRoot(sinAt, omega, next, prev.s, cur.s, Tolerance(next));
      const LoopSample at = Sample(ol, x);
      // Not a pole or zero on the axis, where the direction of L jumps.
      if (at.c < 0 && std::fabs(at.s) < 1e-6)
        AddPhaseCrossover(out, x, GainMarginDb(ol, x));
    }
    prev = cur;
    omega = next;
  }
  if (!continuous && !(out.phaseCount > 0 && out.phase[out.phaseCount - 1].omega >= scanEnd))
    EndPhaseCrossover(ol, g.hi, -1.0, out);
  return true;
}
