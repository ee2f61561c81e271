#include "model/Discrete.h"

#include "model/Error.h"
#include "model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

// Psi(t) = sum (A t)^k / (k+1)! by scaling and squaring.
void Psi(const Matrix5& A, int n, double t, Matrix5& psi)
{
  double norm = 0;
  for (int j = 0; j < n; ++j) {
    double col = 0;
    for (int i = 0; i < n; ++i)
      col += std::fabs(A.m[i][j]);
    norm = std::max(norm, col);
  }
  const double L = norm > 0 ? std::log2(norm * t) : 0.0;
  // at most 1023 halvings: beyond that the exponential overflows anyway
  const int halvings = L > 0 ? static_cast<int>(std::fmin(std::trunc(L), 1022.0)) + 1 : 0;
  const double ts = t / PowerOfTwo(halvings);
  // 16 terms: with |A t'| up to 1 after the halvings, 11 terms would leave
  // an error of 1/12! = 2e-9 in Psi; 16 leave 1/17! = 3e-15
  Identity(psi, n);
  Matrix5 next;
  for (int k = 16; k >= 2; --k) {
    IdentityPlusScaledProduct(A, psi, n, ts / k, next);
    psi = next;
  }
  // Psi(2t) = (I + t A Psi(t) / 2) Psi(t)
  for (int j = halvings; j >= 1; --j) {
    Matrix5 left;
    IdentityPlusScaledProduct(A, psi, n, t / PowerOfTwo(j + 1), left);
    MatMul(left, psi, n, next);
    psi = next;
  }
}

// Pulse transfer function C (zI - Phi)^-1 Gamma of the state-space model
// (C the first unit row) by the Faddeev-LeVerrier recursion.
void FaddeevLeVerrier(const Matrix5& phi, const double* gamma, int n, ZPolynomial& num,
                      ZPolynomial& den)
{
  Matrix5 M, P;
  Identity(M, n);
  for (int k = n - 1; k >= 0; --k) {
    num.c[k] = Dot(M.m[0], gamma, n);
    MatMul(phi, M, n, P);
    double trace = 0;
    for (int i = 0; i < n; ++i)
      trace += P.m[i][i];
    const double ck = -trace / (n - k);
    den.c[k] = ck;
    if (k > 0) {
      M = P;
      AddDiagonal(M, n, ck);
    }
  }
  den.c[n] = 1.0;
  den.n = n + 1;
  num.n = n;
}

}  // namespace

bool ZohTransfer(const Polynomial& numIn, const Polynomial& denIn, double T, double tau,
                 ZPolynomial& numZ, ZPolynomial& denZ, int& m)
{
  if (T < 1e-10) {
    SetError("Step size too small");
    return false;
  }
  if (!(tau > 0))
    tau = 0;  // the delay dialog keeps delays at 0 or more
  const double samples = std::trunc(tau / T + 1e-6);
  if (!(samples < 1e6)) {
    SetError("Delay too big");  // far beyond what any caller can hold
    return false;
  }
  m = static_cast<int>(samples);
  double theta = tau - m * T;
  // a remainder at rounding level is a whole number of samples
  if (theta <= 1e-9 * T)
    theta = 0;
  Polynomial num = numIn, den = denIn;
  num.n = Trim(num.c, num.n);
  den.n = Trim(den.c, den.n);
  if (den.n == 1 && den.c[0] == 0) {
    SetError("No denominator");
    return false;
  }
  if (den.n < num.n) {
    SetError("System not proper");
    return false;
  }
  numZ = ZPolynomial{};
  denZ = ZPolynomial{};
  if (den.n < 2) {
    numZ.c[0] = num.c[0];
    denZ.c[0] = den.c[0];
    if (theta > 0)
      ++m;
    return true;
  }
  double D = 0;
  const bool feedthrough = num.n == den.n;
  if (feedthrough) {
    D = num.c[num.n - 1] / den.c[den.n - 1];
    ScaledAdd(num.c, den.c, den.n, -D);
    num.c[num.n - 1] = 0;
    --num.n;
  }
  // observable companion form of the strictly proper part, output = state 1
  int n = den.n - 1;
  const double an = den.c[n];
  Matrix5 A;
  double B[kMaxCoeffs] = {};
  for (int i = 0; i < n; ++i) {
    A.m[i][0] = -den.c[n - 1 - i] / an;
    if (i + 1 < n)
      A.m[i][i + 1] = 1.0;
    const int bi = n - 1 - i;
    B[i] = bi < num.n ? num.c[bi] / an : 0.0;
  }
  const double h = T - theta;
  Matrix5 psi, phi, phiA;
  Psi(A, n, h, psi);
  IdentityPlusScaledProduct(A, psi, n, h, phi);
  double gamma0[kMaxCoeffs];
  MatVecScaled(psi, B, n, h, gamma0);
  double gammaA[kMaxCoeffs] = {};
  if (theta > 0) {
    // modified z-transform: the input of the previous sample acts for theta
    Matrix5 psiTheta;
    double gTheta[kMaxCoeffs], gamma1[kMaxCoeffs];
    Psi(A, n, theta, psiTheta);
    MatVecScaled(psiTheta, B, n, theta, gTheta);
    MatVecScaled(phi, gTheta, n, 1.0, gamma1);
    Psi(A, n, T, psi);
    Matrix5 phiT;
    IdentityPlusScaledProduct(A, psi, n, T, phiT);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j)
        phiA.m[i][j] = phiT.m[i][j];
      phiA.m[i][n] = gamma1[i];
      gammaA[i] = gamma0[i];
    }
    gammaA[n] = 1.0;
    ++n;
  } else {
    phiA = phi;
    for (int i = 0; i < n; ++i)
      gammaA[i] = gamma0[i];
  }
  FaddeevLeVerrier(phiA, gammaA, n, numZ, denZ);
  // the augmented state's zero row makes z a factor of the denominator:
  // its constant term is 0, not the rounding the recursion leaves there
  if (theta > 0)
    denZ.c[0] = 0;
  if (feedthrough) {
    if (theta > 0) {
      // N/Den + D z^-1 = (z N + D Den) / (z Den)
      for (int i = numZ.n; i > 0; --i)
        numZ.c[i] = numZ.c[i - 1];
      numZ.c[0] = 0;
      numZ.n = n + 1;
      for (int i = 0; i < denZ.n; ++i)
        numZ.c[i] += D * denZ.c[i];
      for (int i = denZ.n; i > 0; --i)
        denZ.c[i] = denZ.c[i - 1];
      denZ.c[0] = 0;
      denZ.n = n + 2;
    } else {
      numZ.c[n] = 0;
      numZ.n = n + 1;
      for (int i = 0; i < denZ.n; ++i)
        numZ.c[i] += D * denZ.c[i];
    }
  }
  return true;
}

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
        const double right = rule == SubstitutionRule::Rectangular ? (l == k ? 1.0 : 0.0)
                                                                  : Binomial(k, l);
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
  num.n = Trim(num.c, num.n);
  den.n = Trim(den.c, den.n);
  if (den.n == 1 && den.c[0] == 0) {
    SetError("No denominator");
    return false;
  }
  if (den.n < num.n) {
    SetError("Transfer function not proper");
    return false;
  }
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

double DifferenceStep(SYSDATA& s, int elem, double u, bool delayInput, bool addInitial)
{
  ElementHistory& h = s.hist[elem];
  const Polynomial& b = s.numPoly[elem];
  const Polynomial& a = s.denPoly[elem];
  const bool enabled = elem == kPlant ? s.plantInitEnabled : s.compInitEnabled;
  const double y0 = enabled ? (elem == kPlant ? s.initPlantOutput : s.initCompOutput) : 0.0;
  if (s.startOfRun) {
    Fill(h.u, kMaxCoeffs, 0.0);
    Fill(h.y, kMaxCoeffs, 0.0);
    Fill(h.y, a.n, y0);
    return y0;
  }
  if (delayInput) {
    h.u[0] = 0;
    h.u[1] = u;
  } else {
    h.u[0] = u;
  }
  double y = Dot(b.c, h.u, b.n);
  if (addInitial) {
    y += y0;
  } else {
    h.y[0] = 0;
    y -= Dot(a.c, h.y, a.n);
  }
  h.y[0] = y;
  MulByVar(h.u, kMaxCoeffs);
  MulByVar(h.y, kMaxCoeffs);
  return y;
}
