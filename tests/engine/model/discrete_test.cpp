// Discrete-time models against values computed independently here: the ZOH
// equivalent from the partial fractions of the step response (pole mapping
// e^{pT}, modified z-transform for the fractional delay), the substitution
// rules from the textbook substitutions, the z^-1 form and the difference
// equation against a direct recursion.

#include "engine/model/Discrete.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include "tests/engine/model/ComplexPoly.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace {

// A plant given by its numerator (ascending), leading gain and poles.
struct Plant {
  std::vector<double> num;
  double lead;
  std::vector<Cplx> poles;

  Polynomial Num() const
  {
    Polynomial p;
    p.n = static_cast<int>(num.size());
    for (int i = 0; i < p.n; ++i)
      p.c[i] = num[static_cast<std::size_t>(i)];
    return p;
  }
  Polynomial Den() const
  {
    std::vector<Cplx> c{lead};
    for (const Cplx& pole : poles) {
      std::vector<Cplx> q(c.size() + 1, 0.0);
      for (std::size_t i = 0; i < c.size(); ++i) {
        q[i + 1] += c[i];
        q[i] -= pole * c[i];
      }
      c = q;
    }
    Polynomial p;
    p.n = static_cast<int>(c.size());
    for (int i = 0; i < p.n; ++i)
      p.c[i] = c[static_cast<std::size_t>(i)].real();
    return p;
  }
  Cplx G(Cplx s) const
  {
    Cplx d = lead;
    for (const Cplx& pole : poles)
      d *= s - pole;
    return EvalPoly(num.data(), static_cast<int>(num.size()), s) / d;
  }
};

// Truncated power series in e = s - q, in long double.
using LCplx = std::complex<long double>;
constexpr int kTerms = 6;
struct Series {
  LCplx c[kTerms] = {};
};

Series Mul(const Series& a, const Series& b)
{
  Series r;
  for (int i = 0; i < kTerms; ++i)
    for (int j = 0; i + j < kTerms; ++j)
      r.c[i + j] += a.c[i] * b.c[j];
  return r;
}

Series Inverse(const Series& a)
{
  Series r;
  r.c[0] = 1.0L / a.c[0];
  for (int i = 1; i < kTerms; ++i) {
    for (int j = 1; j <= i; ++j)
      r.c[i] -= a.c[j] * r.c[i - j];
    r.c[i] /= a.c[0];
  }
  return r;
}

// e^{(q + e) c}.
Series ExpSeries(LCplx q, long double c)
{
  Series r;
  r.c[0] = std::exp(q * c);
  for (int i = 1; i < kTerms; ++i)
    r.c[i] = r.c[i - 1] * c / static_cast<long double>(i);
  return r;
}

// The exact sampled-data pulse transfer function (whole delay included) at z:
// (1 - z^-1) z^-k0 times the sum of the residues of G(s)/s e^{s shift} /
// (1 - e^{sT}/z), k0 the first sample at or after the delay and shift =
// k0 T - tau. The residue at a pole of multiplicity k is the coefficient of
// e^(k-1) in (s - q)^k times that function, so that integrators and
// repeated poles need no formula of their own. Worked in long double, three
// digits beyond the doubles it checks, with the plant's exact poles.
LCplx ExactZoh(const Plant& g, double T, double tau, LCplx z)
{
  const int m = static_cast<int>(std::floor(tau / T + 1e-9));
  long double theta = static_cast<long double>(tau) - m * static_cast<long double>(T);
  if (theta < 1e-9L * T)
    theta = 0;
  const int k0 = theta > 0 ? m + 1 : m;
  const long double shift = k0 * static_cast<long double>(T) - tau;
  std::vector<LCplx> all(g.poles.begin(), g.poles.end());
  all.push_back(0.0L);  // the step
  LCplx sum = 0.0L;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const LCplx q = all[i];
    if (std::find(all.begin(), all.begin() + static_cast<long>(i), q) != all.begin() + static_cast<long>(i))
      continue;  // a repeated pole counts once
    Series f;    // numerator at q + e, by Horner's rule on series
    for (std::size_t j = g.num.size(); j-- > 0;) {
      for (int t = kTerms - 1; t >= 0; --t)
        f.c[t] = f.c[t] * q + (t > 0 ? f.c[t - 1] : 0.0L);
      f.c[0] += static_cast<long double>(g.num[j]);
    }
    int k = 0;  // the multiplicity of q
    for (const LCplx& r : all) {
      Series factor;  // q + e - r
      factor.c[0] = q - r;
      factor.c[1] = 1.0L;
      if (r == q)
        ++k;
      else
        f = Mul(f, Inverse(factor));
    }
    Series denom = ExpSeries(q, T);
    for (LCplx& c : denom.c)
      c = -c / z;
    denom.c[0] += 1.0L;
    sum += Mul(f, Mul(ExpSeries(q, shift), Inverse(denom))).c[k - 1];
  }
  return (1.0L - 1.0L / z) * std::pow(z, -k0) * sum / static_cast<long double>(g.lead);
}

class DiscreteTest : public ::testing::Test {
protected:
  ModelScope model;
};

TEST_F(DiscreteTest, ZohMatchesPartialFractions)
{
  const Cplx j(0, 1);
  const std::vector<Plant> plants = {
      {{1}, 1, {-1.0}},
      {{2, 1}, 1, {-1.0}},  // (s+2)/(s+1): feedthrough
      {{6}, 1, {-1.0, -0.7 + 2.3473 * j, -0.7 - 2.3473 * j}},
      {{1, 0.5}, 2, {-3.0, -0.5}},
      {{5, 2, 1}, 1, {-1.0, -2.0}},
      {{1, 2, 3, 4}, 1, {-1.0, -2.0, -3.0}},
      {{7, 1, 0.3, 0.02, 0.001}, 0.5, {-1.0, -2.0 + 3.0 * j, -2.0 - 3.0 * j, -10.0}},
      {{1}, 1, {-0.5, -1.5 + 0.8 * j, -1.5 - 0.8 * j, -4.0}},
      {{3, 1}, 1, {0.5, -20.0 + 5.0 * j, -20.0 - 5.0 * j, -0.01}},  // unstable and fast poles
      {{1, 0, 1}, 1, {-1.0 + 4.0 * j, -1.0 - 4.0 * j, -6.0, -0.2}},
  };
  const double taus[] = {0, 0.1, 0.25, 0.05, 0.33, 0.0999, 0.3};
  const Cplx zs[] = {Cplx(1.3, 0.4), Cplx(-0.7, 1.1), Cplx(2.0, 0.0), Cplx(0.2, -1.5)};
  for (const Plant& g : plants)
    for (double tau : taus) {
      ClearError();
      ZPolynomial nz, dz;
      int m = -1;
      const double T = 0.1;
      ASSERT_TRUE(ZohTransfer(g.Num(), g.Den(), T, tau, nz, dz, m)) << ErrorMessage();
      for (const Cplx& z : zs) {
        const Cplx mine = EvalPoly(nz.c, nz.n, z) / EvalPoly(dz.c, dz.n, z) * std::pow(z, -m);
        const Cplx exact(ExactZoh(g, T, tau, LCplx(z)));
        EXPECT_LE(std::abs(mine - exact), 1e-10 * std::abs(exact))
            << "order " << g.poles.size() << " tau " << tau << " z " << z;
      }
      // coefficient by coefficient: the denominator is z^(order - poles)
      // prod (z - e^{pT}); the numerator is H(z) z^m den(z), read off by a
      // discrete Fourier transform on a circle outside the mapped poles
      {
        std::vector<LCplx> den{1.0L};
        for (int extra = dz.n - 1 - static_cast<int>(g.poles.size()); extra > 0; --extra)
          den.insert(den.begin(), 0.0L);
        for (const Cplx& p : g.poles) {
          std::vector<LCplx> q(den.size() + 1, 0.0L);
          for (std::size_t i = 0; i < den.size(); ++i) {
            q[i + 1] += den[i];
            q[i] -= std::exp(LCplx(p) * static_cast<long double>(T)) * den[i];
          }
          den = q;
        }
        ASSERT_EQ(static_cast<int>(den.size()), dz.n);
        auto evalDen = [&](LCplx x) {
          LCplx v = 0.0L;
          for (std::size_t i = den.size(); i-- > 0;)
            v = v * x + den[i];
          return v;
        };
        for (int i = 0; i < dz.n; ++i) {
          const double want = static_cast<double>(den[static_cast<std::size_t>(i)].real());
          EXPECT_LE(std::fabs(dz.c[i] - want), 1e-9 * std::fabs(want))
              << "den c" << i << " order " << g.poles.size() << " tau " << tau;
        }
        const int N = nz.n;
        const long double rho = 1.3L;
        std::vector<LCplx> num(static_cast<std::size_t>(N), 0.0L);
        for (int k = 0; k < N; ++k) {
          const LCplx z = std::polar(rho, 2 * 3.14159265358979323846264L * (k + 0.5L) / N);
          const LCplx v = ExactZoh(g, T, tau, z) * std::pow(z, m) * evalDen(z);
          for (int j = 0; j < N; ++j)
            num[static_cast<std::size_t>(j)] += v * std::pow(z, -j) / static_cast<long double>(N);
        }
        long double nmax = 0;
        for (const LCplx& c : num)
          nmax = std::max(nmax, std::abs(c));
        // (a coefficient that is itself at rounding level of the largest one,
        // as the top one of a feedthrough acting late, gets the rounding part)
        for (int i = 0; i < N; ++i) {
          const double want = static_cast<double>(num[static_cast<std::size_t>(i)].real());
          EXPECT_LE(std::fabs(nz.c[i] - want), 1e-9 * std::fabs(want) + 1e-14 * static_cast<double>(nmax))
              << "num c" << i << " order " << g.poles.size() << " tau " << tau << " exact " << want << " mine "
              << nz.c[i];
        }
      }
      // DC gain kept
      const Cplx dc = EvalPoly(nz.c, nz.n, 1.0) / EvalPoly(dz.c, dz.n, 1.0);
      EXPECT_NEAR(std::abs(dc - g.G(0.0)), 0.0, 1e-9 * std::abs(g.G(0.0)));
      // poles mapped by e^{pT}: the monic denominator vanishes there
      for (const Cplx& p : g.poles) {
        const Cplx zp = std::exp(p * T);
        double scale = 0;
        for (int i = 0; i < dz.n; ++i)
          scale += std::fabs(dz.c[i]) * std::pow(std::abs(zp), i);
        EXPECT_LE(std::abs(EvalPoly(dz.c, dz.n, zp)), 1e-10 * scale);
      }
    }
}

// Stiff, repeated, integrating, unstable and oscillating elements of order 0
// to 4, with |pT| from 1e-6 to 1e6 (coefficients exact in double, so the
// poles are exact), on the unit circle, to 1e-9 relative.
TEST_F(DiscreteTest, ZohStaysAccurateForStiffElements)
{
  const Cplx j(0, 1);
  const struct Case {
    const char* name;
    Plant g;
    double T;
  } cases[] = {
      {"1e4/((s+1)(s+1e4))", {{1e4}, 1, {-1.0, -1e4}}, 1},
      {"1/((s+1)(s+1e6))", {{1}, 1, {-1.0, -1e6}}, 1},
      {"pT = -1e-6", {{1}, 1, {-1.0}}, 1e-6},
      {"pT = -1e6", {{1}, 1, {-1.0}}, 1e6},
      {"constant", {{5}, 2, {}}, 0.1},
      {"double integrator, pT 1e-6", {{1}, 1, {0.0, 0.0}}, 1e-6},
      {"1/s^4", {{1}, 1, {0.0, 0.0, 0.0, 0.0}}, 0.5},
      {"s^3 with a fast pole", {{3, 1}, 1, {0.0, 0.0, 0.0, -1e3}}, 2},
      {"(s+2)^4", {{16}, 1, {-2.0, -2.0, -2.0, -2.0}}, 5e-3},
      {"repeated, two decades apart", {{1, 1}, 1, {-1024.0, -1024.0, -1.0 / 1024, -1.0 / 1024}}, 1},
      {"order 4 feedthrough", {{1, 2, 3, 4, 1}, 1, {0.0, 0.0, -1e3, -1e3}}, 1},
      {"unstable, pT = 500", {{1, 1}, 1, {0.5, -1e3}}, 1e3},
      {"oscillating at 1e6 rad/s", {{1e12}, 1, {-1.0 + 1e6 * j, -1.0 - 1e6 * j}}, 1},
      {"damped pair, slow pole, pT 1e-5",
       {{1, 0, 1}, 1, {-1e3 + 1e3 * j, -1e3 - 1e3 * j, -1.0 / 64 + j, -1.0 / 64 - j}},
       1e-5},
  };
  for (const Case& k : cases)
    for (const double delaySamples : {0.0, 0.37, 2.5}) {
      const double tau = delaySamples * k.T;
      ClearError();
      ZPolynomial nz, dz;
      int m = -1;
      ASSERT_TRUE(ZohTransfer(k.g.Num(), k.g.Den(), k.T, tau, nz, dz, m)) << k.name << ": " << ErrorMessage();
      for (int i = 0; i < 12; ++i) {
        const LCplx z = std::polar(1.0L, 3.14159265358979323846264L * (i + 0.5L) / 12);
        LCplx num = 0.0L, den = 0.0L;
        for (int c = nz.n - 1; c >= 0; --c)
          num = num * z + static_cast<long double>(nz.c[c]);
        for (int c = dz.n - 1; c >= 0; --c)
          den = den * z + static_cast<long double>(dz.c[c]);
        const LCplx exact = ExactZoh(k.g, k.T, tau, z);
        EXPECT_LE(std::abs(num / den * std::pow(z, -m) - exact), 1e-9L * std::abs(exact))
            << k.name << ", delay " << delaySamples << " T, at " << (i + 0.5) / 12 << " pi";
      }
    }
}

// Results beyond the range of doubles are refused, not written.
TEST_F(DiscreteTest, ZohRefusesWhatDoublesCannotHold)
{
  const Plant unstable{{1}, 1, {1.0}};
  ZPolynomial nz, dz;
  int m = 0;
  EXPECT_FALSE(ZohTransfer(unstable.Num(), unstable.Den(), 1e3, 0, nz, dz, m));
  EXPECT_STREQ(ErrorMessage(), "Step size too big");
}

TEST_F(DiscreteTest, KnownCases)
{
  Polynomial num, den;
  den.c[0] = 1;
  den.c[1] = 1;
  den.n = 2;
  ZPolynomial nz, dz;
  int m = -1;
  ASSERT_TRUE(ZohTransfer(num, den, 0.1, 0, nz, dz, m));
  EXPECT_EQ(m, 0);
  ASSERT_EQ(nz.n, 1);
  ASSERT_EQ(dz.n, 2);
  EXPECT_NEAR(nz.c[0], 1 - std::exp(-0.1), 1e-15);
  EXPECT_NEAR(dz.c[0], -std::exp(-0.1), 1e-15);
  EXPECT_EQ(dz.c[1], 1.0);

  ASSERT_TRUE(ZohTransfer(num, den, 0.1, 0.25, nz, dz, m));
  EXPECT_EQ(m, 2);
  EXPECT_EQ(dz.n, 3);  // augmented by the previous input

  ASSERT_TRUE(ZohTransfer(num, den, 0.1, 0.3, nz, dz, m));
  EXPECT_EQ(m, 3);  // 0.3/0.1 + 1e-6 truncates to 3
  EXPECT_EQ(dz.n, 2);

  Polynomial five;
  five.c[0] = 5;
  Polynomial one;
  ASSERT_TRUE(ZohTransfer(five, one, 0.1, 0.05, nz, dz, m));
  EXPECT_EQ(m, 1);
  EXPECT_EQ(nz.c[0], 5.0);

  Polynomial lead;  // (s+2)/(s+1) with a fractional delay: strictly proper part + z^-1
  lead.c[0] = 2;
  lead.c[1] = 1;
  lead.n = 2;
  ASSERT_TRUE(ZohTransfer(lead, den, 0.1, 0.05, nz, dz, m));
  EXPECT_EQ(m, 0);
  EXPECT_EQ(nz.n, 3);
  EXPECT_EQ(dz.n, 4);
  EXPECT_EQ(dz.c[0], 0.0);  // the factor z of the late feedthrough
}

TEST_F(DiscreteTest, ZohFailures)
{
  Polynomial num, den;
  num.c[1] = 1;
  num.n = 2;  // s over 1: not proper
  ZPolynomial nz, dz;
  int m;
  EXPECT_FALSE(ZohTransfer(num, den, 0.1, 0, nz, dz, m));
  EXPECT_STREQ(ErrorMessage(), "System not proper");
  ClearError();
  EXPECT_FALSE(ZohTransfer(den, den, 1e-11, 0, nz, dz, m));
  EXPECT_STREQ(ErrorMessage(), "Step size too small");
  ClearError();
  Polynomial zero;
  zero.c[0] = 0;
  EXPECT_FALSE(ZohTransfer(den, zero, 0.1, 0, nz, dz, m));
  EXPECT_STREQ(ErrorMessage(), "No denominator");
  ClearError();
  Polynomial lag{{1, 1, 0, 0, 0}, 2};
  EXPECT_FALSE(ZohTransfer(den, lag, 0.1, 1e20, nz, dz, m));  // the dialog's largest delay
  EXPECT_STREQ(ErrorMessage(), "Delay too big");
  ClearError();
  ASSERT_TRUE(ZohTransfer(den, lag, 0.1, -0.25, nz, dz, m));
  EXPECT_EQ(m, 0);
  EXPECT_EQ(dz.n, 2);
}

TEST_F(DiscreteTest, ZohElementRefusesWhatDoesNotFit)
{
  SYSDATA& s = Sys();
  s.sampleHold = 0.1;
  s.delay = 0.05;
  s.numPoly[kPlant] = Polynomial{};
  s.denPoly[kPlant] = Polynomial{{24, 50, 35, 10, 1}, 5};  // (s+1)(s+2)(s+3)(s+4)
  ClearError();
  EXPECT_EQ(ZohElement(s, kPlant), -1);
  EXPECT_STREQ(ErrorMessage(), "Delay too big");
  ClearError();
  s.delay = 0.2;
  s.denPoly[kPlant] = Polynomial{{24, 50, 35, 10, 1}, 5};
  EXPECT_EQ(ZohElement(s, kPlant), 2);
  EXPECT_EQ(s.denPoly[kPlant].n, 5);
  EXPECT_EQ(s.numPoly[kPlant].n, 4);
}

TEST_F(DiscreteTest, SubstitutionsMatchTextbook)
{
  const double T = 0.2;
  struct Case {
    SubstitutionRule rule;
    double omega;
  } cases[] = {{SubstitutionRule::Rectangular, 0},
               {SubstitutionRule::Tustin, 0},
               {SubstitutionRule::TustinPrewarp, 3.0},
               {SubstitutionRule::TustinPrewarp, 0}};
  const std::vector<std::vector<double>> sides = {{6}, {1, 0.5}, {6, 1.4, 1}, {2, -3, 0.25, 4}};
  const Cplx zs[] = {Cplx(1.3, 0.4), Cplx(-0.7, 1.1), Cplx(0.2, -1.5)};
  for (const Case& k : cases)
    for (const auto& side : sides) {
      double a = 0;
      ASSERT_TRUE(SubstitutionScale(k.rule, T, k.omega, a));
      Polynomial p;
      p.n = static_cast<int>(side.size());
      for (int i = 0; i < p.n; ++i)
        p.c[i] = side[static_cast<std::size_t>(i)];
      const Polynomial orig = p;
      ASSERT_TRUE(Substitute(p, a, k.rule));
      const int N = orig.n - 1;
      for (const Cplx& z : zs) {
        Cplx s, mult;
        if (k.rule == SubstitutionRule::Rectangular) {
          s = (z - 1.0) / (z * a);
          mult = std::pow(z, N);
        } else {
          s = (z - 1.0) / ((z + 1.0) * a);
          mult = std::pow(z + 1.0, N);
        }
        const Cplx want = EvalPoly(orig.c, orig.n, s) * mult;
        EXPECT_LE(std::abs(EvalPoly(p.c, p.n, z) - want), 1e-10 * std::abs(want));
      }
    }
  double a = 0;
  ASSERT_TRUE(SubstitutionScale(SubstitutionRule::TustinPrewarp, T, 3.0, a));
  EXPECT_DOUBLE_EQ(a, std::tan(3.0 * T / 2) / 3.0);
}

TEST_F(DiscreteTest, SubstitutionLimits)
{
  double a;
  const double T = 0.1;
  EXPECT_FALSE(SubstitutionScale(SubstitutionRule::TustinPrewarp, T, 3.14159265358979 / T, a));
  EXPECT_STREQ(ErrorMessage(), "Prewarping frequency too high");
  ClearError();
  EXPECT_TRUE(SubstitutionScale(SubstitutionRule::TustinPrewarp, T, 0.999 * 3.14159265358979 / T, a));
  Polynomial quartic{{1, 1, 1, 1, 1}, 5};
  EXPECT_FALSE(Substitute(quartic, 0.05, SubstitutionRule::Tustin));
  EXPECT_STREQ(ErrorMessage(), "Order too high");
  ClearError();
  Polynomial padded{{1, 1, 0, 0, 0}, 5};  // exact zeros on top: first order
  EXPECT_TRUE(Substitute(padded, 0.05, SubstitutionRule::Tustin));
  EXPECT_EQ(padded.n, 2);
  const Polynomial f = OnePlusZPower(3);
  ASSERT_EQ(f.n, 4);
  EXPECT_EQ(f.c[0], 1);
  EXPECT_EQ(f.c[1], 3);
  EXPECT_EQ(f.c[2], 3);
  EXPECT_EQ(f.c[3], 1);
}

TEST_F(DiscreteTest, ZInverseForm)
{
  Polynomial num{{0.5, 2, 0, 0, 0}, 2};   // 2z + 0.5
  Polynomial den{{0.2, -1, 4, 0, 0}, 3};  // 4z^2 - z + 0.2
  ASSERT_TRUE(ZInverseForm(num, den));
  ASSERT_EQ(den.n, 3);
  EXPECT_DOUBLE_EQ(den.c[0], 1.0);
  EXPECT_DOUBLE_EQ(den.c[1], -0.25);
  EXPECT_DOUBLE_EQ(den.c[2], 0.05);
  ASSERT_EQ(num.n, 3);
  EXPECT_DOUBLE_EQ(num.c[0], 0.0);
  EXPECT_DOUBLE_EQ(num.c[1], 0.5);
  EXPECT_DOUBLE_EQ(num.c[2], 0.125);

  Polynomial zero{{0, 0, 0, 0, 0}, 3};
  Polynomial one;
  EXPECT_FALSE(ZInverseForm(one, zero));
  EXPECT_STREQ(ErrorMessage(), "No denominator");
  ClearError();
  Polynomial hi{{1, 1, 1, 0, 0}, 3};
  Polynomial lo{{1, 1, 0, 0, 0}, 2};
  EXPECT_FALSE(ZInverseForm(hi, lo));
  EXPECT_STREQ(ErrorMessage(), "Transfer function not proper");
}

}  // namespace
