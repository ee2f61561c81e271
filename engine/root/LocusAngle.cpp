#include "engine/root/LocusAngle.h"

#include "engine/model/Toolkit.h"
#include "engine/root/RootEngine.h"

#include <cmath>

LocusLoop LocusLoopOf(const Loop& s)
{
  LocusLoop L;
  L.nz = s.numRoots.n;
  L.np = s.denRoots.n;
  for (int i = 0; i < L.nz; ++i)
    L.zeros[i] = s.numRoots.r[i];
  for (int i = 0; i < L.np; ++i)
    L.poles[i] = s.denRoots.r[i];
  L.rootGain = s.rootGain;
  L.gain = s.gain;
  L.delay = s.kind == SystemKind::Continuous ? s.delay : 0.0;
  L.piTerm = (s.rootGain > 0) == (s.gain > 0) ? kPi : 0.0;
  return L;
}

double WrapAngle(double a)
{
  a -= 2 * kPi * std::floor((a + kPi) / (2 * kPi));
  if (a >= kPi)
    a -= 2 * kPi;
  else if (a < -kPi)
    a += 2 * kPi;
  return a;
}

double Deficit(const LocusLoop& L, double x, double y, unsigned skipPoles)
{
  double phi = -L.delay * y + L.piTerm;
  for (int i = 0; i < L.nz; ++i)
    phi += ArcTanB(x - L.zeros[i].re, y - L.zeros[i].im);
  for (int i = 0; i < L.np; ++i)
    if (!(skipPoles & (1u << i)))
      phi -= ArcTanB(x - L.poles[i].re, y - L.poles[i].im);
  return WrapAngle(phi);
}

AngleValue DeficitAndGradient(const LocusLoop& L, double x, double y)
{
  AngleValue v;
  double phi = -L.delay * y + L.piTerm;
  v.gy = -L.delay;
  const auto term = [&](const Complex& r, double sign) {
    const double dx = x - r.re, dy = y - r.im;
    phi += sign * ArcTanB(dx, dy);
    const double rho = dx * dx + dy * dy;
    if (rho <= kTinyFloat)
      return;
    v.gy += sign * dx / rho;
    v.gx -= sign * dy / rho;
  };
  for (int i = 0; i < L.nz; ++i)
    term(L.zeros[i], 1.0);
  for (int i = 0; i < L.np; ++i)
    term(L.poles[i], -1.0);
  v.phi = WrapAngle(phi);
  return v;
}

void Curvature(const LocusLoop& L, double x, double y, double& cxx, double& cxy)
{
  cxx = 0.0;
  cxy = 0.0;
  const auto term = [&](const Complex& r, double sign) {
    const double dx = x - r.re, dy = y - r.im;
    const double rho2 = (dx * dx + dy * dy) * (dx * dx + dy * dy);
    if (rho2 <= kTinyFloat)
      return;
    cxx += sign * 2 * dx * dy / rho2;
    cxy -= sign * (dx * dx - dy * dy) / rho2;
  };
  for (int i = 0; i < L.nz; ++i)
    term(L.zeros[i], 1.0);
  for (int i = 0; i < L.np; ++i)
    term(L.poles[i], -1.0);
}

double GainAt(const LocusLoop& L, double x, double y)
{
  if (std::fabs(L.rootGain) < 1e-10)
    return kInfiniteGain;
  double p = 1.0;
  for (int i = 0; i < L.nz; ++i)
    p *= SumSq(x - L.zeros[i].re, y - L.zeros[i].im);
  if (p < 1e-10)
    return kInfiniteGain;
  double v = 1.0 / p;
  for (int i = 0; i < L.np; ++i)
    v *= SumSq(x - L.poles[i].re, y - L.poles[i].im);
  v = std::sqrt(v) / std::fabs(L.rootGain);
  v /= std::exp(-x * L.delay);
  if (!std::isfinite(v))
    v = kInfiniteGain;
  return L.gain > 0 ? v : -v;
}

double TangentDirection(double gx, double gy)
{
  return ArcTanB(-gy, gx);
}
