// The zero-order-hold equivalent with transport delay.
//
// The element is realised as a cascade of first-order sections, one per
// pole, ordered from the fastest to the slowest, with the held input as one
// more state of eigenvalue 0. Its state matrix is lower bidiagonal, so the
// exponential over a step h holds divided differences of exp over the
// scaled poles (h^(i-j) exp[p_j h .. p_i h]); those stay accurate for poles
// that coincide, lie close together or lie many decades apart, where the
// powers of a companion matrix lose every digit. The pulse transfer function
// then follows from the triangular structure without any inversion: the
// denominator is prod (z - e^{pT}) and the numerator C adj(zI - Phi) Gamma.

#include "engine/model/Discrete.h"

#include "engine/base/Error.h"
#include "engine/model/Roots.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

using Cplx = std::complex<double>;
constexpr int kNodes = kMaxRoots;  // the held input and up to four poles
constexpr int kZTerms = kMaxZCoeffs;

struct Tri {
  Cplx m[kNodes][kNodes] = {};
};

// (e^b - e^a) / (b - a), e^a when they coincide. Close arguments go through
// sinh, which has no cancellation; arguments whose real parts differ by 2
// or more have exponentials of different size and take the plain quotient.
Cplx ExpDifference(Cplx a, Cplx b)
{
  const Cplx d = (b - a) / 2.0;
  if (std::fabs(d.real()) >= 1.0)
    return (std::exp(b) - std::exp(a)) / (b - a);
  if (d == 0.0)
    return std::exp(a);
  return std::exp((a + b) / 2.0) * (std::sinh(d) / d);
}

// a b without the library's recovery of infinite parts (several times
// faster); a result that is not finite is refused at the end anyway.
inline Cplx Mul(Cplx a, Cplx b)
{
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// L := L R for lower-triangular matrices of order m.
void LowerProduct(Tri& L, const Tri& R, int m)
{
  Tri out;
  for (int i = 0; i < m; ++i)
    for (int j = 0; j <= i; ++j) {
      Cplx v = 0.0;
      for (int l = j; l <= i; ++l)
        v += Mul(L.m[i][l], R.m[l][j]);
      out.m[i][j] = v;
    }
  L = out;
}

// Puts the diagonal and the first subdiagonal of exp(h M / 2^k) (M below)
// from their closed forms: e^(p_i h') and h' exp[p_(i-1) h', p_i h'], with
// h' = h / 2^k.
void ExactBands(const Cplx* p, int m, double h, int k, Tri& E)
{
  const double hk = std::ldexp(h, -k);
  for (int i = 0; i < m; ++i) {
    E.m[i][i] = std::exp(p[i] * hk);
    if (i > 0)
      E.m[i][i - 1] = hk * ExpDifference(p[i - 1] * hk, p[i] * hk);
  }
}

// E := exp(h M), M lower bidiagonal with p on its diagonal and ones below
// it: E(i, j) = h^(i-j) exp[p_j h, ..., p_i h]. Scaling and squaring, with
// the two outer bands put back from their closed forms after every squaring
// so that rounding cannot build up in them; the inner bands of real poles
// are sums of positive terms and keep their relative accuracy.
void BidiagonalExp(const Cplx* p, int m, double h, Tri& E)
{
  double norm = h;
  for (int i = 0; i < m; ++i)
    norm = std::max(norm, std::abs(p[i]) * h + h);
  // halvings until the norm is at most 1/2
  int k = 0;
  (void)std::frexp(norm, &k);
  k = std::max(k + 1, 0);
  const double hk = std::ldexp(h, -k);
  // Taylor series of exp(N), N = h M / 2^k, by Horner's rule, 18 terms:
  // (1/2)^19 / 19! is far below rounding. N is bidiagonal, so N T takes two
  // products an entry, worked from the bottom row up in place.
  Cplx diag[kNodes];
  for (int i = 0; i < m; ++i)
    diag[i] = p[i] * hk;
  Tri T;
  for (int i = 0; i < m; ++i)
    T.m[i][i] = 1.0;
  for (int term = 18; term >= 1; --term) {
    const double f = 1.0 / term;
    for (int i = m - 1; i >= 0; --i)
      for (int j = 0; j <= i; ++j) {
        Cplx v = Mul(diag[i], T.m[i][j]);
        if (i > 0 && j < i)
          v += hk * T.m[i - 1][j];
        T.m[i][j] = (i == j ? 1.0 : 0.0) + f * v;
      }
  }
  ExactBands(p, m, h, k, T);
  for (; k > 0; --k) {
    const Tri half = T;
    LowerProduct(T, half, m);
    ExactBands(p, m, h, k - 1, T);
  }
  E = T;
}

// A polynomial in z with complex coefficients, ascending.
struct ZPoly {
  Cplx c[kZTerms] = {};
  int n = 0;  // coefficient count; 0 for the zero polynomial
};

// p := p (z - r).
void TimesRoot(ZPoly& p, Cplx r)
{
  for (int i = p.n; i >= 0; --i)
    p.c[i] = (i > 0 ? p.c[i - 1] : 0.0) - Mul(r, p.c[i]);
  ++p.n;
}

// p += x q.
void AddScaled(ZPoly& p, const ZPoly& q, Cplx x)
{
  for (int i = 0; i < q.n; ++i)
    p.c[i] += Mul(x, q.c[i]);
  p.n = std::max(p.n, q.n);
}

// The poles, the fastest first, a conjugate pair adjacent and exactly
// conjugate. False with the root finder's message pending.
bool OrderedPoles(const Polynomial& den, Cplx* poles)
{
  double a[kMaxCoeffs] = {};
  std::copy(den.c, den.c + den.n, a);
  double gain = 1.0;
  RootSet set;
  if (!FindRoots(a, den.n, gain, set))
    return false;
  // the real poles and the upper member of each pair, which stands for both
  Cplx lead[kMaxRoots];
  int leads = 0, upper = 0, lower = 0;
  for (int i = 0; i < set.n; ++i) {
    const Cplx x(set.r[i].re, set.r[i].im);
    upper += x.imag() > 0;
    lower += x.imag() < 0;
    if (x.imag() >= 0)
      lead[leads++] = x;
  }
  if (upper != lower) {  // unpaired: the complex arithmetic copes as it is
    for (int i = 0; i < set.n; ++i)
      poles[i] = Cplx(set.r[i].re, set.r[i].im);
    return true;
  }
  for (int i = 1; i < leads; ++i)  // by falling magnitude
    for (int j = i; j > 0 && std::abs(lead[j]) > std::abs(lead[j - 1]); --j)
      std::swap(lead[j], lead[j - 1]);
  int n = 0;
  for (int i = 0; i < leads; ++i) {
    poles[n++] = lead[i];
    if (lead[i].imag() > 0)
      poles[n++] = std::conj(lead[i]);
  }
  return true;
}

// Output weights c of the cascade for the numerator b (n coefficients at
// most, divided by the denominator's top coefficient): b(s) = c_n + (s - p_n)
// (c_{n-1} + (s - p_{n-1}) (... + (s - p_2) c_1)), by synthetic division at
// the poles from the slowest up.
void CascadeWeights(const Polynomial& b, double top, const Cplx* poles, int n, Cplx* c)
{
  Cplx q[kMaxCoeffs] = {};
  for (int i = 0; i < b.n && i < n; ++i)
    q[i] = b.c[i] / top;
  int deg = n - 1;  // the strictly proper part has degree n - 1 at most
  for (int k = n - 1; k >= 0; --k) {
    // q := (q - q(p_k)) / (s - p_k), c_k := q(p_k)
    Cplx carry = 0.0;
    for (int i = deg; i >= 0; --i) {
      const Cplx v = q[i] + carry * poles[k];
      q[i] = carry;
      carry = v;
    }
    c[k] = carry;
    deg = std::max(deg - 1, 0);
  }
}

}  // namespace

bool ZohTransfer(const Polynomial& numIn, const Polynomial& denIn, double T, double tau, ZPolynomial& numZ,
                 ZPolynomial& denZ, int& m)
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
  if (!TrimProper(num, den, "System not proper"))
    return false;
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

  const int n = den.n - 1;
  Cplx poles[kMaxRoots];
  if (!OrderedPoles(den, poles))
    return false;
  Cplx weights[kMaxRoots];
  CascadeWeights(num, den.c[n], poles, n, weights);

  // nodes: the held input (eigenvalue 0), then the poles
  Cplx nodes[kNodes] = {0.0};
  std::copy(poles, poles + n, nodes + 1);
  const int states = n + 1;
  // exp over T - theta (its first column is Gamma0) and over T (its lower
  // block is Phi); with a fractional delay the one over T is the product of
  // those over T - theta and theta, whose first column gives Gamma1 =
  // Phi(T - theta) Gamma(theta), the previous input acting for theta
  Tri part, full;
  BidiagonalExp(nodes, states, T - theta, part);
  ZPoly input[kNodes];
  for (int i = 1; i < states; ++i) {
    input[i].c[0] = part.m[i][0];
    input[i].n = 1;
  }
  full = part;
  if (theta > 0) {
    Tri rest;
    BidiagonalExp(nodes, states, theta, rest);
    for (int i = 1; i < states; ++i) {
      Cplx g1 = 0.0;
      for (int l = 1; l <= i; ++l)
        g1 += Mul(part.m[i][l], rest.m[l][0]);
      // the input is z Gamma0 + Gamma1
      input[i].c[1] = input[i].c[0];
      input[i].c[0] = g1;
      input[i].n = 2;
    }
    LowerProduct(full, rest, states);
    ExactBands(nodes, states, T, 0, full);
  }
  // w_i = x_i prod_{l <= i} (z - lambda_l) for (zI - Phi) x = input,
  // row by row: w_i = input_i prod_{l < i} + sum_{j < i} Phi_ij w_j
  // prod_{j < l < i}; the numerator is sum_i c_i w_i prod_{l > i}.
  ZPoly w[kNodes], numer;
  for (int i = 1; i < states; ++i) {
    ZPoly acc = input[i];
    for (int l = 1; l < i; ++l)
      TimesRoot(acc, full.m[l][l]);
    for (int j = 1; j < i; ++j) {
      ZPoly term = w[j];
      for (int l = j + 1; l < i; ++l)
        TimesRoot(term, full.m[l][l]);
      AddScaled(acc, term, full.m[i][j]);
    }
    w[i] = acc;
    ZPoly out = acc;
    for (int l = i + 1; l < states; ++l)
      TimesRoot(out, full.m[l][l]);
    AddScaled(numer, out, weights[i - 1]);
  }
  ZPoly denom;
  denom.c[0] = 1.0;
  denom.n = 1;
  for (int i = 1; i < states; ++i)
    TimesRoot(denom, full.m[i][i]);
  if (theta > 0)
    TimesRoot(denom, 0.0);  // the held previous input

  const int count = theta > 0 ? n + 2 : n + 1;
  denZ.n = count;
  numZ.n = count - 1;
  for (int i = 0; i < count; ++i)
    denZ.c[i] = denom.c[i].real();
  for (int i = 0; i < count - 1; ++i)
    numZ.c[i] = numer.c[i].real();
  if (feedthrough) {
    if (theta > 0) {
      // N/Den + D z^-1 = (z N + D Den) / (z Den)
      for (int i = numZ.n; i > 0; --i)
        numZ.c[i] = numZ.c[i - 1];
      numZ.c[0] = 0;
      numZ.n = count;
      for (int i = 0; i < denZ.n; ++i)
        numZ.c[i] += D * denZ.c[i];
      for (int i = denZ.n; i > 0; --i)
        denZ.c[i] = denZ.c[i - 1];
      denZ.c[0] = 0;
      denZ.n = count + 1;
    } else {
      numZ.c[count - 1] = 0;
      numZ.n = count;
      for (int i = 0; i < denZ.n; ++i)
        numZ.c[i] += D * denZ.c[i];
    }
  }
  for (int i = 0; i < denZ.n; ++i)
    if (!std::isfinite(denZ.c[i]) || (i < numZ.n && !std::isfinite(numZ.c[i]))) {
      SetError("Step size too big");
      return false;
    }
  return true;
}
