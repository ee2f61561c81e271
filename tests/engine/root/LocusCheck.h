#pragma once
// The independent side of the root-locus suites: polynomials in long
// double, their roots by the Aberth iteration with Newton polishing, and
// the loop written out as its own numerator and denominator.

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

using LC = std::complex<long double>;
using LPoly = std::vector<long double>;  // ascending powers

inline LC Eval(const LPoly& p, LC s)
{
  LC v = 0;
  for (std::size_t i = p.size(); i-- > 0;)
    v = v * s + p[i];
  return v;
}

inline LPoly Derivative(const LPoly& p)
{
  LPoly d;
  for (std::size_t i = 1; i < p.size(); ++i)
    d.push_back(p[i] * static_cast<long double>(i));
  return d.empty() ? LPoly{0} : d;
}

inline LPoly Mul(const LPoly& a, const LPoly& b)
{
  LPoly r(a.size() + b.size() - 1, 0);
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t j = 0; j < b.size(); ++j)
      r[i + j] += a[i] * b[j];
  return r;
}

// a + k b.
inline LPoly AddScaled(LPoly a, const LPoly& b, long double k)
{
  a.resize(std::max(a.size(), b.size()), 0);
  for (std::size_t i = 0; i < b.size(); ++i)
    a[i] += k * b[i];
  while (a.size() > 1 && a.back() == 0)
    a.pop_back();
  return a;
}

// The nearest of a set of complex numbers to s.
inline long double Nearest(const std::vector<LC>& set, LC s)
{
  long double best = 1e30L;
  for (const LC& z : set)
    best = std::min(best, std::abs(s - z));
  return best;
}

// All roots of p (trailing zero coefficients trimmed by the caller).
inline std::vector<LC> Roots(const LPoly& p)
{
  const std::size_t n = p.size() - 1;
  std::vector<LC> z(n);
  for (std::size_t i = 0; i < n; ++i)
    z[i] = std::polar(1.0L + i * 0.37L, 0.4L + 2.1L * i);
  const LPoly d = Derivative(p);
  for (int it = 0; it < 500; ++it) {
    long double moved = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const LC ratio = Eval(p, z[i]) / Eval(d, z[i]);
      LC sum = 0;
      for (std::size_t j = 0; j < n; ++j)
        if (j != i)
          sum += 1.0L / (z[i] - z[j]);
      const LC step = ratio / (1.0L - ratio * sum);
      z[i] -= step;
      moved = std::max(moved, std::abs(step) / (1 + std::abs(z[i])));
    }
    if (moved < 1e-17L)
      break;
  }
  for (LC& r : z)  // polish
    for (int it = 0; it < 5; ++it)
      if (const LC dv = Eval(d, r); std::abs(dv) > 0)
        r -= Eval(p, r) / dv;
  return z;
}

// The loop as its own G(s) = num(s) e^(-s delay) / den(s).
struct LoopPolys {
  LPoly num, den;
  long double delay = 0;

  // d ln G / ds: its modulus is the gradient of arg G.
  LC F(LC s) const { return Eval(Derivative(num), s) / Eval(num, s) - Eval(Derivative(den), s) / Eval(den, s) - delay; }
  LC G(LC s) const { return Eval(num, s) * std::exp(-s * delay) / Eval(den, s); }

  // Distance from s to the locus of gains of the given sign, to first order
  // from the angle condition arg G = pi (positive) or 0 (negative).
  long double DistanceToLocus(LC s, bool positive) const
  {
    const long double psi = std::remainder(std::arg(G(s)) - (positive ? M_PIl : 0.0L), 2 * M_PIl);
    return psi == 0 ? 0 : std::fabs(psi) / std::abs(F(s));
  }
};
