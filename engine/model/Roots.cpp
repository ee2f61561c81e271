#include "engine/model/Roots.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <exception>
#include <limits>

namespace {

using Cplx = std::complex<double>;
using LCplx = std::complex<long double>;
constexpr double kEps = std::numeric_limits<double>::epsilon();

void Append(RootSet& set, double re, double im)
{
  set.r[set.n].re = re;
  set.r[set.n].im = im;
  ++set.n;
}

// p(x) and p'(x) by Horner's rule, p of degree d ascending.
void Horner(const double* p, int d, Cplx x, Cplx& v, Cplx& dv)
{
  v = p[d];
  dv = 0.0;
  for (int i = d - 1; i >= 0; --i) {
    dv = dv * x + v;
    v = v * x + p[i];
  }
}

// The same in long double, where the rounding of the evaluation lies below
// that of double coefficients: the refinements below decide with it.
void Horner(const double* p, int d, LCplx x, LCplx& v, LCplx& dv)
{
  v = static_cast<long double>(p[d]);
  dv = 0.0L;
  for (int i = d - 1; i >= 0; --i) {
    dv = dv * x + v;
    v = v * x + static_cast<long double>(p[i]);
  }
}

// True when p(x) lies within the rounding its coefficients carry: |p(x)| at
// most 4 eps sum |p_i| |x|^i, a few roundings of each coefficient (decoded
// products carry that much).
bool VanishesAt(const double* p, int d, Cplx x)
{
  const LCplx lx(x);
  const long double ax = std::abs(lx);
  LCplx v, dv;
  Horner(p, d, lx, v, dv);
  long double size = 0;
  for (int i = d; i >= 0; --i)
    size = size * ax + std::fabs(static_cast<long double>(p[i]));
  return std::abs(v) <= 4 * static_cast<long double>(kEps) * size;
}

// Newton steps on p from x while they lower |p(x)|; evaluated in long
// double, they take a simple root to the double nearest the root of the
// double coefficients.
Cplx Polish(const double* p, int d, Cplx x, int maxSteps)
{
  LCplx v, dv;
  Horner(p, d, LCplx(x), v, dv);
  for (int k = 0; k < maxSteps && std::abs(v) > 0 && std::abs(dv) > 0; ++k) {
    const LCplx step = v / dv;
    const Cplx nx(static_cast<double>(x.real() - step.real()), static_cast<double>(x.imag() - step.imag()));
    if (nx == x)
      break;
    LCplx nv, ndv;
    Horner(p, d, LCplx(nx), nv, ndv);
    if (!(std::abs(nv) < std::abs(v)))
      break;
    x = nx;
    v = nv;
    dv = ndv;
  }
  return x;
}

// The k-th derivative of p (degree d) into q; returns its degree.
int Derivative(const double* p, int d, int k, double* q)
{
  for (int i = 0; i + k <= d; ++i) {
    double f = 1;
    for (int j = 0; j < k; ++j)
      f *= i + k - j;
    q[i] = p[i + k] * f;
  }
  return d - k;
}

// A group of roots that the iteration returns as a scattered cluster may be
// a multiple root, which rounding spreads by about eps^(1/k). Its centre is
// a simple root of the (k-1)-th derivative and is found from there to full
// precision; the group is replaced only when p and its lower derivatives
// vanish there within the rounding of the coefficients (the (k-1)-th
// included, since the Newton search may have stopped short of a root):
// then no root of the group can be told apart from the centre. Distinct
// roots further apart than that, (s+1)(s+1.0000003) for one, stay apart.
void MergeClusters(const double* p, int d, Complex* r, int count)
{
  bool done[kMaxRoots] = {};
  for (int k = count; k >= 2; --k) {
    for (int mask = 1; mask < (1 << count); ++mask) {
      if (__builtin_popcount(static_cast<unsigned>(mask)) != k)
        continue;
      bool ok = true;
      Cplx mean = 0.0;
      for (int i = 0; i < count && ok; ++i) {
        if (!(mask >> i & 1))
          continue;
        const Cplx ri(r[i].re, r[i].im);
        if (done[i] || std::abs(ri) == 0) {
          ok = false;
          break;
        }
        mean += ri;
        for (int j = i + 1; j < count; ++j)
          if (mask >> j & 1) {
            const Cplx rj(r[j].re, r[j].im);
            if (std::abs(ri - rj) > 1e-2 * std::max(std::abs(ri), std::abs(rj)))
              ok = false;
          }
      }
      if (!ok)
        continue;
      mean /= static_cast<double>(k);
      double q[kMaxCoeffs];
      const int dq = Derivative(p, d, k - 1, q);
      const Cplx x = Polish(q, dq, mean, 30);
      for (int j = 0; j <= k - 1 && ok; ++j) {
        double pj[kMaxCoeffs];
        const int dj = Derivative(p, d, j, pj);
        ok = VanishesAt(pj, dj, x);
      }
      if (!ok)
        continue;
      for (int i = 0; i < count; ++i)
        if (mask >> i & 1) {
          r[i].re = x.real();
          r[i].im = x.imag();
          done[i] = true;
        }
    }
  }
}

// Appends the two roots of x^2 + r x + q, the one with +sqrt first.
void SolveQuadratic(double r, double q, RootSet& set)
{
  const double h = -r / 2;
  const double disc = h * h - q;
  if (disc < 0) {
    const double w = std::sqrt(-disc);
    Append(set, h, w);
    Append(set, h, -w);
    return;
  }
  const double w = std::sqrt(disc);
  double x1 = h + w, x2 = h - w;
  // the root of smaller magnitude from the product, free of cancellation
  if (h > 0 && x1 != 0)
    x2 = q / x1;
  else if (h < 0 && x2 != 0)
    x1 = q / x2;
  Append(set, x1, 0);
  Append(set, x2, 0);
}

// How far the polynomial rebuilt from the roots lies from p (degree d),
// coefficient by coefficient, in units of the rounding of that rebuild: near
// 1 for a root set that is exact for p up to rounding. A root set with the
// right values of p at each root can still fail this: two real roots in
// place of a nearly real pair, for instance.
double BackwardError(const double* p, int d, const Complex* r, int count)
{
  Cplx rebuilt[kMaxCoeffs] = {p[d]};
  double scale[kMaxCoeffs] = {std::fabs(p[d])};
  for (int k = 0; k < count; ++k) {
    const Cplx x(r[k].re, r[k].im);
    const double ax = std::abs(x);
    for (int i = k + 1; i >= 0; --i) {
      rebuilt[i] = (i > 0 ? rebuilt[i - 1] : 0.0) - x * rebuilt[i];
      scale[i] = (i > 0 ? scale[i - 1] : 0.0) + ax * scale[i];
    }
  }
  double worst = 0;
  for (int i = 0; i <= d; ++i) {
    const double err = std::abs(rebuilt[i] - p[i]);
    const double unit = 64 * kEps * scale[i];
    worst = std::max(worst, unit > 0 ? err / unit : (err > 0 ? 1e300 : 0));
  }
  return worst;
}

// Aberth's simultaneous iteration on all count roots of p (degree d =
// count), started near the given roots. It moves roots off the real axis
// where a nearly real conjugate pair was split into two real roots.
void Aberth(const double* p, int d, Complex* r, int count)
{
  Cplx z[kMaxRoots];
  for (int i = 0; i < count; ++i) {
    const double m = std::max(std::hypot(r[i].re, r[i].im), 1e-300);
    z[i] = Cplx(r[i].re, r[i].im) + std::polar(1e-3 * m, 0.4 + 1.3 * i);
  }
  for (int step = 0; step < 60; ++step) {
    double moved = 0;
    for (int i = 0; i < count; ++i) {
      Cplx v, dv;
      Horner(p, d, z[i], v, dv);
      if (v == 0.0 || dv == 0.0)
        continue;
      const Cplx w = v / dv;
      Cplx sum = 0.0;
      for (int j = 0; j < count; ++j)
        if (j != i && z[i] != z[j])
          sum += 1.0 / (z[i] - z[j]);
      const Cplx dz = w / (1.0 - w * sum);
      if (!std::isfinite(dz.real()) || !std::isfinite(dz.imag()))
        continue;
      z[i] -= dz;
      moved = std::max(moved, std::abs(dz) / std::max(std::abs(z[i]), 1e-300));
    }
    if (moved < 1e-15)
      break;
  }
  for (int i = 0; i < count; ++i) {
    r[i].re = z[i].real();
    r[i].im = z[i].imag();
  }
}

// Puts a conjugate pair in adjacent places (+j first), exactly conjugate,
// and real roots with a rounding-level imaginary part on the real axis;
// the order of first appearance is kept.
void PairConjugates(Complex* r, int count)
{
  Complex out[kMaxRoots];
  bool used[kMaxRoots] = {};
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (used[i])
      continue;
    used[i] = true;
    const Cplx x(r[i].re, r[i].im);
    int partner = -1;
    double best = 1e300;
    for (int j = i + 1; j < count; ++j)
      if (!used[j]) {
        const double dist = std::abs(Cplx(r[j].re, r[j].im) - std::conj(x));
        if (dist < best) {
          best = dist;
          partner = j;
        }
      }
    // a lone root off the axis is real: its imaginary part is rounding
    if (partner < 0 || std::fabs(x.imag()) <= 1e-3 * best || x.imag() == 0) {
      out[n++] = {x.real(), 0.0};
      continue;
    }
    used[partner] = true;
    const double re = (x.real() + r[partner].re) / 2;
    const double im = std::fabs(x.imag() - r[partner].im) / 2;
    out[n++] = {re, im};
    out[n++] = {re, -im};
  }
  for (int i = 0; i < count; ++i)
    r[i] = out[i];
}

// Newton polishing of each root on p (a conjugate pair stays conjugate),
// then merging of multiple-root clusters. A quadratic is left as its closed
// form gives it: that separates its two roots as far as its coefficients
// determine them, s^2+2s+1.00000000000001 into -1 +- 1e-7j.
void PolishAndMerge(const double* p, int d, Complex* r, int count)
{
  for (int i = 0; i < count; ++i) {
    Complex& ri = r[i];
    if (ri.re == 0 && ri.im == 0)
      continue;
    const bool pair = ri.im != 0 && i + 1 < count && r[i + 1].re == ri.re && r[i + 1].im == -ri.im;
    const Cplx x = Polish(p, d, Cplx(ri.re, ri.im), 8);
    ri.re = x.real();
    ri.im = ri.im == 0 ? 0.0 : x.imag();
    if (pair) {
      r[i + 1].re = ri.re;
      r[i + 1].im = -ri.im;
      ++i;
    }
  }
  if (d > 2)
    MergeClusters(p, d, r, count);
}

// Refines the roots first .. set.n-1 on the original polynomial p (degree
// d, its roots at the origin divided out). When the roots do not rebuild p
// to rounding level, Aberth's iteration from the found roots takes over,
// and the answer with the smaller backward error stays.
void Refine(const double* p, int d, RootSet& set, int first)
{
  Complex* r = set.r + first;
  const int count = set.n - first;
  int zeros = 0;  // the roots at the origin come first and are exact
  while (zeros < count && r[zeros].re == 0 && r[zeros].im == 0)
    ++zeros;
  r += zeros;
  const int m = count - zeros;
  if (m != d || m == 0)
    return;
  PolishAndMerge(p, d, r, m);
  const double worst = BackwardError(p, d, r, m);
  if (worst <= 1.0)
    return;
  Complex alt[kMaxRoots];
  std::copy(r, r + m, alt);
  Aberth(p, d, alt, m);
  PairConjugates(alt, m);
  PolishAndMerge(p, d, alt, m);
  if (BackwardError(p, d, alt, m) < worst)
    std::copy(alt, alt + m, r);
}

// Bairstow's iteration for the quadratic factor x^2 + r x + q of the
// polynomial desc (degree d, descending). True when it converged.
bool Bairstow(const double* desc, int d, double& r, double& q, double* quotient)
{
  double b[kMaxCoeffs], c[kMaxCoeffs];
  double prevRel = 0;
  for (int step = 0; step < 100; ++step) {
    b[0] = desc[0];
    b[1] = desc[1] - r * b[0];
    for (int k = 2; k <= d; ++k)
      b[k] = desc[k] - r * b[k - 1] - q * b[k - 2];
    c[0] = b[0];
    c[1] = b[1] - r * c[0];
    for (int k = 2; k < d; ++k)
      c[k] = b[k] - r * c[k - 1] - q * c[k - 2];
    double D = c[d - 2] * c[d - 2] - c[d - 3] * (c[d - 1] - b[d - 1]);
    if (std::fabs(D) < kTinyFloat)
      D = 1e-12;
    const double dr = (b[d - 1] * c[d - 2] - b[d] * c[d - 3]) / D;
    const double dq = (b[d] * c[d - 2] - b[d - 1] * (c[d - 1] - b[d - 1])) / D;
    r += dr;
    q += dq;
    if (!std::isfinite(r) || !std::isfinite(q))
      return false;
    // Relative to the size of the factor's roots, so that factors of very
    // small or very large roots converge as well as those of size 1; at a
    // multiple root the steps stop shrinking at rounding level, which ends it
    // too (the cluster is resolved afterwards).
    const double rho = std::fabs(r) / 2 + std::sqrt(std::fabs(q)) + 1e-300;
    const double rel = std::fabs(dr) / rho + std::fabs(dq) / (rho * rho);
    if (rel < 1e-13 || (rel < 1e-3 && step > 0 && rel > 0.9 * prevRel)) {
      quotient[0] = desc[0];
      quotient[1] = desc[1] - r * quotient[0];
      for (int k = 2; k <= d - 2; ++k)
        quotient[k] = desc[k] - r * quotient[k - 1] - q * quotient[k - 2];
      return true;
    }
    prevRel = rel;
  }
  return false;
}

int NewtonRaphsonImpl(double* a, int d, RootSet& set)
{
  double re = 0.00500101, im = 0.01000101;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const double t = re;
    re = -10 * im;
    im = -10 * t;
    Cplx x(re, im);
    bool converged = false;
    double prev = 0;
    for (int step = 0; step < 50; ++step) {
      Cplx v, dv;
      Horner(a, d, x, v, dv);
      if (std::norm(dv) < 1e-37)
        break;
      const Cplx dx = -v / dv;
      x += dx;
      // beside the absolute test: steps that stop shrinking at rounding
      // level near a multiple root end the search as well
      const double rel = std::norm(dx) / std::max(std::norm(x), 1e-300);
      if (std::norm(dx) < 1e-14 || (rel < 1e-6 && step > 0 && rel > 0.8 * prev)) {
        converged = true;
        break;
      }
      prev = rel;
    }
    if (!converged)
      continue;
    // a few more steps take a simple root to full precision before it is
    // divided out
    x = Polish(a, d, x, 4);
    double xr = x.real(), xi = x.imag();
    if (std::fabs(xi) < 1e-6 * std::fabs(xr))
      xi = 0;
    double quo[kMaxCoeffs] = {};
    if (xi != 0) {
      Append(set, xr, xi);
      Append(set, xr, -xi);
      // divide by x^2 - 2 re x + (re^2 + im^2), from the top down
      const double r = -2 * xr, q = xr * xr + xi * xi;
      double b[kMaxCoeffs];
      b[0] = a[d];
      b[1] = a[d - 1] - r * b[0];
      for (int k = 2; k <= d - 2; ++k)
        b[k] = a[d - k] - r * b[k - 1] - q * b[k - 2];
      for (int i = 0; i <= d - 2; ++i)
        quo[i] = b[d - 2 - i];
      std::memcpy(a, quo, sizeof quo);
      return d - 2;
    }
    Append(set, xr, 0);
    double carry = 0;
    for (int k = d; k >= 1; --k) {
      carry = a[k] + carry * xr;
      quo[k - 1] = carry;
    }
    std::memcpy(a, quo, sizeof quo);
    return d - 1;
  }
  SetError("Cant find roots");
  set.n = 0;
  return -1;
}

bool FindRootsImpl(double* a, int n, double& gain, RootSet& set)
{
  if (n > kMaxCoeffs || n < 1) {
    SetError("Order too high");
    return false;
  }
  // A coefficient that overflowed (a product of texts such as 1e308s) has
  // no roots to find; its exponent would overflow the scaling below.
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(a[i])) {
      SetError("Cant find roots");
      return false;
    }
  int d = n - 1;
  while (d >= 1 && a[d] == 0)
    --d;
  if (set.n + d >= kMaxRoots) {
    SetError("Order too high");
    return false;
  }
  const int first = set.n;
  while (a[0] == 0 && d >= 1) {
    Append(set, 0, 0);
    for (int i = 0; i < d; ++i)
      a[i] = a[i + 1];
    a[d] = 0;
    --d;
  }
  gain *= a[d];
  // Exact scaling by powers of two: the variable by 2^k, so that the roots
  // lie around 1, and the coefficients so that the largest is about 1.
  // Coefficients near the largest double, or roots far from 1, then stay
  // within the range the iteration works in.
  const int k = d >= 1 ? (std::ilogb(a[0]) - std::ilogb(a[d])) / d : 0;
  if (d >= 1) {
    int top = std::numeric_limits<int>::min();
    for (int i = 0; i <= d; ++i)
      if (a[i] != 0)
        top = std::max(top, std::ilogb(a[i]) + k * i);
    for (int i = 0; i <= d; ++i)
      a[i] = std::ldexp(a[i], k * i - top);
  }
  double orig[kMaxCoeffs] = {};
  const int origDeg = d;
  std::memcpy(orig, a, sizeof(double) * (d + 1));

  while (d >= 2) {
    double r, q;
    if (std::fabs(a[2]) > 1e-12 && d > 2) {
      r = a[1] / a[2];
      q = a[0] / a[2];
    } else if (d > 2) {
      r = q = 1e12;
    } else {
      // the quadratic itself: exact whatever the size of its top coefficient
      r = a[1] / a[2];
      q = a[0] / a[2];
    }
    if (d >= 3) {
      double desc[kMaxCoeffs], quo[kMaxCoeffs];
      for (int i = 0; i <= d; ++i)
        desc[i] = a[d - i];
      if (!Bairstow(desc, d, r, q, quo)) {
        d = NewtonRaphsonImpl(a, d, set);
        if (d < 0)
          return false;
        continue;
      }
      SolveQuadratic(r, q, set);
      Fill(a, kMaxCoeffs, 0);
      for (int i = 0; i <= d - 2; ++i)
        a[i] = quo[d - 2 - i];
      d -= 2;
    } else {
      SolveQuadratic(r, q, set);
      a[0] = a[2];
      a[1] = a[2] = 0;
      d = 0;
    }
  }
  if (d == 1) {
    Append(set, -a[0] / a[1], 0);
    a[0] = a[1];
    a[1] = 0;
  }
  Refine(orig, origDeg, set, first);
  for (int i = first; i < set.n; ++i) {
    set.r[i].re = std::ldexp(set.r[i].re, k) + 0.0;  // no -0 in the results
    set.r[i].im = std::ldexp(set.r[i].im, k) + 0.0;
    if (!std::isfinite(set.r[i].re) || !std::isfinite(set.r[i].im) || !std::isfinite(gain)) {
      // a root or the gain beyond the range of doubles
      SetError("Cant find roots");
      set.n = 0;
      return false;
    }
  }
  return true;
}

}  // namespace

bool FindRoots(double* a, int n, double& gain, RootSet& set)
{
  try {
    return FindRootsImpl(a, n, gain, set);
  } catch (const std::exception&) {
    SetError("Problem with root()");
    return false;
  }
}

int NewtonRaphson(double* a, int d, RootSet& set)
{
  try {
    if (d < 1 || d >= kMaxCoeffs || set.n + d > kMaxRoots - 1) {
      SetError("Order too high");
      return -1;
    }
    return NewtonRaphsonImpl(a, d, set);
  } catch (const std::exception&) {
    SetError("Problem with newtonraph()");
    return -1;
  }
}
