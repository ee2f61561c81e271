#include "engine/model/Discrete.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

int ZohElement(SYSDATA& s, int elem)
{
  const double tau = elem == kPlant ? s.delay : 0.0;
  ZPolynomial nz, dz;
  int m = 0;
  if (!ZohTransfer(s.numPoly[elem], s.denPoly[elem], s.sampleHold, tau, nz, dz, m))
    return -1;
  if (nz.n > kMaxCoeffs || dz.n > kMaxCoeffs) {
    SetError("Delay too big");
    return -1;
  }
  Polynomial& num = s.numPoly[elem];
  Polynomial& den = s.denPoly[elem];
  num = Polynomial{};
  den = Polynomial{};
  for (int i = 0; i < nz.n; ++i)
    num.c[i] = nz.c[i];
  for (int i = 0; i < dz.n; ++i)
    den.c[i] = dz.c[i];
  num.n = nz.n;
  den.n = dz.n;
  return m;
}

bool SubstitutionScale(SubstitutionRule rule, double T, double omega, double& a)
{
  if (T < 1e-10) {
    SetError("Step size too small");
    return false;
  }
  switch (rule) {
    case SubstitutionRule::Rectangular:
      a = T;
      return true;
    case SubstitutionRule::Tustin:
      a = T / 2;
      return true;
    case SubstitutionRule::TustinPrewarp:
      if (omega > 3.141278494324434 / T) {  // 0.9999 pi / T
        SetError("Prewarping frequency too high");
        return false;
      }
      a = omega > 1e-10 ? std::tan(omega * T / 2) / omega : T / 2;
      return true;
  }
  return false;
}

bool Substitute(Polynomial& p, double a, SubstitutionRule rule)
{
  p.n = Trim(p.c, p.n);
  if (p.n >= kMaxCoeffs) {
    SetError("Order too high");
    return false;
  }
  const int N = p.n - 1;
  double out[kMaxCoeffs] = {};
  double scale = 1.0;
  for (int i = 0; i <= N; ++i, scale /= a) {
    const double pi = p.c[i] * scale;
    // (z - 1)^i: coefficient of z^j is C(i, j) (-1)^(i-j)
    double left[kMaxCoeffs] = {};
    for (int j = 0; j <= i; ++j)
      left[j] = Binomial(i, j) * (((i - j) & 1) ? -1.0 : 1.0);
    // times z^(N-i) or (z + 1)^(N-i)
    const int k = N - i;
    for (int j = 0; j <= i; ++j)
      for (int l = 0; l <= k; ++l) {
        const double right = rule == SubstitutionRule::Rectangular ? (l == k ? 1.0 : 0.0) : Binomial(k, l);
        out[j + l] += pi * left[j] * right;
      }
  }
  for (int i = 0; i < kMaxCoeffs; ++i)
    p.c[i] = out[i];
  return true;
}

Polynomial OnePlusZPower(int k)
{
  Polynomial f;
  f.n = k + 1;
  BinomialRow(k, f.c);
  return f;
}

bool ZInverseForm(Polynomial& num, Polynomial& den)
{
  if (!TrimProper(num, den, "Transfer function not proper"))
    return false;
  const int n = den.n - 1;
  const double an = den.c[n];
  Polynomial nn, dd;
  for (int k = 0; k <= n; ++k) {
    dd.c[k] = den.c[n - k] / an;
    const int src = n - k;
    nn.c[k] = src < num.n ? num.c[src] / an : 0.0;
  }
  nn.n = Trim(nn.c, n + 1);
  dd.n = Trim(dd.c, n + 1);
  num = nn;
  den = dd;
  return true;
}
