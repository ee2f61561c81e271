#include "engine/time/LoopSpeed.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void Product(const Polynomial& a, const Polynomial& b, double* out, int& n)
{
  n = a.n + b.n - 1;
  std::fill(out, out + kMaxLoopCoeffs, 0.0);
  for (int i = 0; i < a.n; ++i)
    for (int j = 0; j < b.n; ++j)
      out[i + j] += a.c[i] * b.c[j];
}

}  // namespace

double LargestRootMagnitude(const double* c, int n)
{
  n = std::clamp(n, 1, kMaxLoopCoeffs);
  while (n > 1 && c[n - 1] == 0.0)
    --n;
  const int d = n - 1;
  if (d < 1)
    return 0.0;
  // Fujiwara's bound scales the roots into the unit disc, so the iteration
  // works on coefficients of order one whatever the loop's speed.
  double bound = 0.0;
  for (int k = 0; k < d; ++k) {
    const double ratio = std::fabs(c[k] / c[d]) / (k == 0 ? 2.0 : 1.0);
    bound = std::max(bound, std::pow(ratio, 1.0 / (d - k)));
  }
  bound *= 2.0;
  if (!std::isfinite(bound))
    return std::numeric_limits<double>::infinity();
  if (bound == 0.0)
    return 0.0;  // every root at the origin
  // monic in w = s / bound
  double a[kMaxLoopCoeffs] = {};
  double power = 1.0;
  for (int k = d - 1; k >= 0; --k) {
    power *= bound;
    a[k] = c[k] / c[d] / power;
  }
  a[d] = 1.0;
  // Durand-Kerner: all roots at once from points spread over the disc, to
  // a few digits, which is all the step needs.
  double re[kMaxLoopCoeffs], im[kMaxLoopCoeffs];
  for (int i = 0; i < d; ++i) {
    re[i] = 0.9 * std::cos(0.4 + 2.0 * 3.141592653589793 * i / d);
    im[i] = 0.9 * std::sin(0.4 + 2.0 * 3.141592653589793 * i / d);
  }
  for (int iteration = 0; iteration < 200; ++iteration) {
    double change = 0.0;
    for (int i = 0; i < d; ++i) {
      double pr = 1.0, pi = 0.0;  // p(w_i) by Horner
      for (int k = d - 1; k >= 0; --k) {
        const double r = pr * re[i] - pi * im[i] + a[k];
        pi = pr * im[i] + pi * re[i];
        pr = r;
      }
      double qr = 1.0, qi = 0.0;  // prod (w_i - w_j)
      for (int j = 0; j < d; ++j)
        if (j != i) {
          const double dr = re[i] - re[j], di = im[i] - im[j];
          const double r = qr * dr - qi * di;
          qi = qr * di + qi * dr;
          qr = r;
        }
      double norm = qr * qr + qi * qi;
      if (norm == 0.0) {
        qr = 1e-12;
        norm = qr * qr;
      }
      const double sr = (pr * qr + pi * qi) / norm, si = (pi * qr - pr * qi) / norm;
      re[i] -= sr;
      im[i] -= si;
      change = std::max(change, std::fabs(sr) + std::fabs(si));
    }
    if (change < 1e-9)
      break;
  }
  double largest = 0.0;
  for (int i = 0; i < d; ++i)
    largest = std::max(largest, re[i] * re[i] + im[i] * im[i]);
  return std::sqrt(largest) * bound;
}

double FastestPole(const Polynomial& numC, const Polynomial& denC, bool compIn, const Polynomial& numP,
                   const Polynomial& denP, double gain, bool closed)
{
  double fastest = LargestRootMagnitude(denP.c, denP.n);
  if (compIn)
    fastest = std::max(fastest, LargestRootMagnitude(denC.c, denC.n));
  if (!closed)
    return fastest;
  const Polynomial one;
  double den[kMaxLoopCoeffs], num[kMaxLoopCoeffs];
  int nd = 0, nn = 0;
  Product(compIn ? denC : one, denP, den, nd);
  Product(compIn ? numC : one, numP, num, nn);
  for (int i = 0; i < nn; ++i)
    den[i] += gain * num[i];
  return std::max(fastest, LargestRootMagnitude(den, std::max(nd, nn)));
}
