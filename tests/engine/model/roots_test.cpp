// The root finder: small known cases, then hard polynomials built from known
// roots (origin, imaginary pairs, multiple roots, six decades of spread).

#include "engine/model/Roots.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Cplx = std::complex<double>;
constexpr double kPi4 = 0.78539816339744830962;  // pi/4

// Ascending coefficients of lead * prod (x - r_i).
std::vector<double> FromRoots(const std::vector<Cplx>& roots, double lead = 1.0)
{
  std::vector<Cplx> p{lead};
  for (const Cplx& r : roots) {
    std::vector<Cplx> q(p.size() + 1, 0.0);
    for (std::size_t i = 0; i < p.size(); ++i) {
      q[i + 1] += p[i];
      q[i] -= r * p[i];
    }
    p = q;
  }
  std::vector<double> c;
  for (const Cplx& v : p)
    c.push_back(v.real());
  return c;
}

std::string Num(double v)
{
  char b[32];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

// Every expected root is matched by a distinct found root within tol * scale.
void ExpectSameRoots(const RootSet& set, std::vector<Cplx> expected, double tol, const char* what)
{
  ASSERT_EQ(set.n, static_cast<int>(expected.size())) << what;
  double scale = 0;
  for (const Cplx& e : expected)
    scale = std::max(scale, std::abs(e));
  if (scale == 0)
    scale = 1;
  std::vector<bool> used(expected.size(), false);
  for (int i = 0; i < set.n; ++i) {
    const Cplx f(set.r[i].re, set.r[i].im);
    int best = -1;
    double bestD = 1e300;
    for (std::size_t j = 0; j < expected.size(); ++j)
      if (!used[j] && std::abs(f - expected[j]) < bestD) {
        bestD = std::abs(f - expected[j]);
        best = static_cast<int>(j);
      }
    ASSERT_GE(best, 0) << what;
    used[static_cast<std::size_t>(best)] = true;
    std::string all;
    for (const Cplx& e : expected)
      all += " " + Num(e.real()) + "," + Num(e.imag());
    EXPECT_LE(bestD, tol * scale) << what << ": root " << i << " = " << f.real() << "," << f.imag() << " near "
                                  << expected[best].real() << "," << expected[best].imag() << " of" << all;
  }
}

class RootsTest : public ::testing::Test {
protected:
  ModelScope model;
  RootSet set;
  double gain = 1.0;

  bool Solve(std::vector<double> c)
  {
    double a[kMaxCoeffs] = {};
    std::copy(c.begin(), c.end(), a);
    return FindRoots(a, static_cast<int>(c.size()), gain, set);
  }
};

TEST_F(RootsTest, KnownCases)
{
  ASSERT_TRUE(Solve({6, 1.4, 1}));
  EXPECT_DOUBLE_EQ(gain, 1.0);
  ASSERT_EQ(set.n, 2);
  EXPECT_NEAR(set.r[0].re, -0.7, 1e-12);
  EXPECT_NEAR(set.r[0].im, std::sqrt(6 - 0.49), 1e-12);  // +j first, then its conjugate
  EXPECT_NEAR(set.r[1].im, -std::sqrt(6 - 0.49), 1e-12);

  set = {};
  gain = 1.0;
  ASSERT_TRUE(Solve({0, 0, 0, 2}));
  EXPECT_DOUBLE_EQ(gain, 2.0);
  ASSERT_EQ(set.n, 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(set.r[i].re == 0 && set.r[i].im == 0);

  set = {};
  gain = 1.0;
  ASSERT_TRUE(Solve({3, 2, 0, 0, 0}));  // top zeros: first order
  ASSERT_EQ(set.n, 1);
  EXPECT_DOUBLE_EQ(set.r[0].re, -1.5);
  EXPECT_DOUBLE_EQ(gain, 2.0);

  set = {};
  gain = 3.0;
  ASSERT_TRUE(Solve({5}));
  EXPECT_EQ(set.n, 0);
  EXPECT_DOUBLE_EQ(gain, 15.0);
}

TEST_F(RootsTest, FullSetIsOrderTooHigh)
{
  struct Case {
    int already;
    std::vector<double> c;
  } cases[] = {{2, {1, 2, 3, 4, 5}}, {1, {1, 1, 1, 1, 1}}, {4, {1, 1}}};
  for (const Case& k : cases) {
    ClearError();
    set = {};
    set.n = k.already;
    EXPECT_FALSE(Solve(k.c));
    EXPECT_TRUE(ErrorPending());
    EXPECT_STREQ(ErrorMessage(), "Order too high");
    EXPECT_EQ(set.n, k.already);
  }
  set = {};
  set.n = 3;
  ClearError();
  EXPECT_TRUE(Solve({1, 1}));  // 3 + 1 fits
  EXPECT_EQ(set.n, 4);
}

TEST_F(RootsTest, HardPolynomials)
{
  const Cplx j(0, 1);
  struct Case {
    const char* name;
    std::vector<Cplx> roots;
    double tol;
  } cases[] = {
      {"s^4+1",
       {std::polar(1.0, kPi4), std::polar(1.0, -kPi4), std::polar(1.0, 3 * kPi4), std::polar(1.0, -3 * kPi4)},
       1e-9},
      {"(s^2+1)^2", {j, -j, j, -j}, 1e-6},
      {"s^2+1", {j, -j}, 1e-9},
      {"(s+1)^4", {-1.0, -1.0, -1.0, -1.0}, 1e-6},
      {"(s+1)^3", {-1.0, -1.0, -1.0}, 1e-6},
      {"(s-2)^2(s+3)^2", {2.0, 2.0, -3.0, -3.0}, 1e-6},
      {"(s+0.1)^4", {-0.1, -0.1, -0.1, -0.1}, 1e-6},
      {"six decades real", {-1e-3, -1.0, -1e3, 10.0}, 1e-9},
      {"six decades complex", {Cplx(-1e-3, 2e-3), Cplx(-1e-3, -2e-3), Cplx(-500, 800), Cplx(-500, -800)}, 1e-9},
      {"origin and pair", {0.0, 0.0, Cplx(0, 3), Cplx(0, -3)}, 1e-9},
      {"origin triple", {0.0, 0.0, 0.0, -7.0}, 1e-12},
      {"close simple", {-1.0, -1.001, -2.0, -5.0}, 1e-9},
      {"large", {-1e3, -2e3, Cplx(-3e3, 4e3), Cplx(-3e3, -4e3)}, 1e-9},
      {"tiny", {-1e-4, -2e-4, Cplx(-3e-4, 4e-4), Cplx(-3e-4, -4e-4)}, 1e-9},
      {"imaginary two", {Cplx(0, 1e-2), Cplx(0, -1e-2), Cplx(0, 1e2), Cplx(0, -1e2)}, 1e-9},
      {"double imaginary near origin", {0.0, Cplx(0, 1e-3), Cplx(0, -1e-3), 5.0}, 1e-9},
  };
  for (const Case& k : cases) {
    set = {};
    gain = 1.0;
    ClearError();
    ASSERT_TRUE(Solve(FromRoots(k.roots, 2.5))) << k.name << ": " << ErrorMessage();
    EXPECT_NEAR(gain, 2.5, 1e-12) << k.name;
    ExpectSameRoots(set, k.roots, k.tol, k.name);
  }
}

// Random polynomials of order 1 to 4 with real roots and conjugate pairs
// whose magnitudes range over six decades, some of them repeated.
TEST_F(RootsTest, RandomPolynomials)
{
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  auto magnitude = [&] { return std::pow(10.0, -3 + 6 * u(rng)); };
  int failures = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    std::vector<Cplx> roots;
    const int order = 1 + trial % 4;
    bool repeated = false;
    while (static_cast<int>(roots.size()) < order) {
      const double pick = u(rng);
      if (!roots.empty() && pick < 0.1) {
        roots.push_back(roots.back());  // a repeated real root or a repeated pair member
        if (roots.back().imag() != 0 && static_cast<int>(roots.size()) < order)
          roots.push_back(std::conj(roots.back()));
        else if (roots.back().imag() != 0)
          roots.back() = roots.back().real();
        repeated = true;
      } else if (pick < 0.55 || static_cast<int>(roots.size()) + 2 > order) {
        roots.push_back((u(rng) < 0.7 ? -1.0 : 1.0) * magnitude());
      } else {
        // a repeated pair within about eps^(1/4) of the real axis is not
        // determined by double-precision coefficients: keep pairs off it
        const double m = magnitude(), th = 0.01 + (kPi4 * 4 - 0.02) * u(rng);
        roots.push_back(std::polar(m, th));
        roots.push_back(std::polar(m, -th));
      }
    }
    set = {};
    gain = 1.0;
    ClearError();
    ASSERT_TRUE(Solve(FromRoots(roots))) << trial;
    const int before = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    ExpectSameRoots(set, roots, repeated ? 1e-6 : 1e-9, "random");
    const int after = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    if (after != before && ++failures > 5)
      FAIL() << "stopping after trial " << trial;
  }
}

// The roots of the double coefficients c near the given ones, by Newton
// steps in long double (for simple roots that the coefficients' rounding
// moved; exact ones are given as they are).
std::vector<Cplx> TrueRoots(const std::vector<double>& c, const std::vector<Cplx>& near, bool polish)
{
  std::vector<Cplx> out;
  for (const Cplx& r : near) {
    std::complex<long double> x(r);
    for (int step = 0; step < 20 && polish; ++step) {
      std::complex<long double> v = 0.0L, dv = 0.0L;
      for (std::size_t i = c.size(); i-- > 0;) {
        dv = dv * x + v;
        v = v * x + static_cast<long double>(c[i]);
      }
      x -= v / dv;
    }
    out.emplace_back(static_cast<double>(x.real()), static_cast<double>(x.imag()));
  }
  return out;
}

// Close distinct roots stay apart and multiple roots are still merged. Each
// bound lies below the error of the documented Bairstow iteration alone on
// the same coefficients (2.5e-10, 0, 4e-6, 5e-8 for the first four);
// coefficients near the largest double are scaled, not turned into nan.
TEST_F(RootsTest, CloseRootsStayApartAndBeatTheIterationAlone)
{
  const Cplx j(0, 1);
  const struct Case {
    const char* name;
    std::vector<double> c;  // as decoded (ascending)
    std::vector<Cplx> near;
    bool polish;  // the roots given are moved by the coefficients' rounding
    int distinct;
    double tol;  // relative to the largest root
  } cases[] = {
      {"(s+1)(s+1.0000003)", {1.0000003, 2.0000003, 1}, {-1.0, -1.0000003}, true, 2, 1e-12},
      {"s^2+2s+1.00000000000001",
       {1.00000000000001, 2, 1},  // c0 - 1 is exact
       {-1.0 + std::sqrt(1.00000000000001 - 1) * j, -1.0 - std::sqrt(1.00000000000001 - 1) * j},
       false,
       2,
       1e-15},
      {"(s+50)(s+50.002)(s+50.004)", FromRoots({-50.0, -50.002, -50.004}), {-50.0, -50.002, -50.004}, true, 3, 2e-10},
      {"(s+1)(s+1.0000003)(s+5)", FromRoots({-1.0, -1.0000003, -5.0}), {-1.0, -1.0000003, -5.0}, true, 3, 1e-11},
      {"(s+1)^3(s+2)", {2, 7, 9, 5, 1}, {-1.0, -1.0, -1.0, -2.0}, false, 2, 1e-15},
      {"(s-2)^2(s+3)^2", {36, -12, -11, 2, 1}, {2.0, 2.0, -3.0, -3.0}, false, 2, 1e-15},
      {"1e308(s^4+s^3+s^2+s+1)",
       {1e308, 1e308, 1e308, 1e308, 1e308},
       {std::polar(1.0, 1.6 * kPi4), std::polar(1.0, -1.6 * kPi4), std::polar(1.0, 3.2 * kPi4),
        std::polar(1.0, -3.2 * kPi4)},
       true,
       4,
       1e-15},
  };
  for (const Case& k : cases) {
    set = {};
    gain = 1.0;
    ClearError();
    ASSERT_TRUE(Solve(k.c)) << k.name << ": " << ErrorMessage();
    int distinct = 0;
    for (int i = 0; i < set.n; ++i)
      distinct +=
          std::none_of(set.r, set.r + i, [&](const Complex& x) { return x.re == set.r[i].re && x.im == set.r[i].im; });
    EXPECT_EQ(distinct, k.distinct) << k.name;
    ExpectSameRoots(set, TrueRoots(k.c, k.near, k.polish), k.tol, k.name);
  }
  set = {};
  ClearError();
  EXPECT_FALSE(Solve({1e300, 1e-300}));  // the root -1e600 is beyond doubles
  EXPECT_STREQ(ErrorMessage(), "Cant find roots");
  EXPECT_EQ(set.n, 0);
}

TEST_F(RootsTest, NewtonRaphsonDeflates)
{
  double a[kMaxCoeffs] = {};
  const std::vector<double> c = FromRoots({Cplx(-1, 2), Cplx(-1, -2), -3.0});  // degree 3
  std::copy(c.begin(), c.end(), a);
  const int d = NewtonRaphson(a, 3, set);
  ASSERT_GE(d, 1);
  // whatever was found is a root, and the quotient holds the remaining ones
  std::vector<Cplx> rest;
  for (int i = 0; i < set.n; ++i)
    rest.push_back(Cplx(set.r[i].re, set.r[i].im));
  RootSet tail;
  double g = 1.0;
  ASSERT_TRUE(FindRoots(a, d + 1, g, tail));
  for (int i = 0; i < tail.n; ++i)
    rest.push_back(Cplx(tail.r[i].re, tail.r[i].im));
  RootSet all;
  all.n = static_cast<int>(rest.size());
  for (int i = 0; i < all.n; ++i)
    all.r[i] = {rest[i].real(), rest[i].imag()};
  ExpectSameRoots(all, {Cplx(-1, 2), Cplx(-1, -2), -3.0}, 1e-9, "newton");
}

TEST_F(RootsTest, NewtonRaphsonGivesUp)
{
  // the derivative stays below the guard at every start point
  double flat[kMaxCoeffs] = {1e-30, 0, 0, 1e-30};
  set.n = 1;
  EXPECT_EQ(NewtonRaphson(flat, 3, set), -1);
  EXPECT_STREQ(ErrorMessage(), "Cant find roots");
  EXPECT_EQ(set.n, 0);
}

}  // namespace
