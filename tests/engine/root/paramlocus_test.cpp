// The parameter locus and the stable ranges against the characteristic
// polynomial written out for each loop: every traced root is a root of it
// at its value, no root moves more than its step bound between neighbours,
// and every stable range ends where an independent bisection (on roots
// found here, or on the Jury test for a z-plane loop) puts it.

#include "engine/root/ParamLocus.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "tests/engine/root/LocusCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

struct Case {
  const char* name;
  const char *num, *den;
  double gain, hold;
  int parameter;
  double from, to;
  bool log;
  // the characteristic polynomial at p, ascending, written out by hand
  std::function<LPoly(long double)> charPoly;
  bool zPlane;
  // P1..P2 stable ranges expected (count), ends found here by bisection
  int ranges;
  // the compensator, in the loop when given
  const char* gcNum = nullptr;
  const char* gcDen = nullptr;
};

// e^-T for the sampled-data case: K / (s + 1) behind a hold of T = 0.5 s.
const long double kE = std::exp(-0.5L);

const Case kCases[] = {
    // the parameter inside the plant's quadratic, K = 1: a^2 + 7a - 6 = 0 ends stability
    {"quadratic", "6", "(s+1)(s^2+as+6)", 1, 0, 0, -2, 3, false,
     [](long double a) {
       return LPoly{12, a + 6, a + 1, 1};
     },
     false, 1},
    // the loop gain of the start-up plant, logarithmically: stable up to K = 1.96
    {"gain", "6", "(s+1)(s^2+1.4s+6)", 1, 0, kSweepGain, 0.1, 100, true,
     [](long double k) {
       return LPoly{6 + 6 * k, 7.4L, 2.4L, 1};
     },
     false, 1},
    // a gain in the numerator: the branches meet at b = 0.25 and break away
    {"breakaway", "b", "(s+1)(s+2)", 1, 0, 1, 0, 5, false,
     [](long double b) {
       return LPoly{2 + b, 3, 1};
     },
     false, 1},
    // a time constant, in brackets, K = 5: stable while 2(2c + 1) > 5c, c < 2
    {"time constant", "1", "([c]s+1)(s+2)s", 5, 0, 2, 0.05, 4, false,
     [](long double c) {
       return LPoly{5, 2, 2 * c + 1, c};
     },
     false, 1},
    // a discrete plant: stable while c < 0.3
    {"discrete", "c", "z^2-1.5z+0.7", 1, 0, 2, 0, 1, false,
     [](long double c) {
       return LPoly{0.7L + c, -1.5L, 1};
     },
     true, 1},
    // sampled data: K (1 - e^-T) / (z - e^-T), stable for K < coth(T/2)
    {"sampled", "1", "s+1", 1, 0.5, kSweepGain, 0.5, 10, false,
     [](long double k) {
       return LPoly{-kE + k * (1 - kE), 1};
     },
     true, 1},
    // the compensator (s+2)/s fixed in front of 1/((s+1)(s+a)): stable for a > sqrt 2 - 1
    {"plant with compensator", "1", "(s+1)(s+a)", 1, 0, 0, 0, 3, false,
     [](long double a) {
       return LPoly{2, a + 1, a + 1, 1};
     },
     false, 1, "s+2", "s"},
    // the compensator's zero (s+b)/s in front of a fixed plant: stable up to b = 16
    {"compensator zero", "1", "(s+1)(s+3)", 1, 0, 1, 1, 20, false,
     [](long double b) {
       return LPoly{b, 4, 4, 1};
     },
     false, 1, "s+b", "s"},
};

bool StableHere(const Case& c, long double p)
{
  const LPoly poly = c.charPoly(p);
  if (c.zPlane && poly.size() == 3) {
    // Jury for z^2 + a1 z + a0
    const long double a0 = poly[0] / poly[2], a1 = poly[1] / poly[2];
    return std::fabs(a0) < 1 && 1 + a1 + a0 > 0 && 1 - a1 + a0 > 0;
  }
  for (const LC& r : Roots(poly))
    if (c.zPlane ? std::abs(r) >= 1 : r.real() >= 0)
      return false;
  return true;
}

// The stable ranges within [from, to], ends by bisection on StableHere over a fine grid.
std::vector<std::pair<double, double>> ExpectedRanges(const Case& c)
{
  std::vector<std::pair<double, double>> out;
  const int n = 4000;
  const auto at = [&](int k) {
    const long double t = static_cast<long double>(k) / n;
    return c.log ? c.from * std::pow(static_cast<long double>(c.to) / c.from, t) : c.from + t * (c.to - c.from);
  };
  bool was = StableHere(c, at(0));
  long double start = at(0);
  for (int k = 1; k <= n; ++k) {
    const bool now = StableHere(c, at(k));
    if (now != was) {
      long double lo = at(k - 1), hi = at(k);
      for (int i = 0; i < 200; ++i) {
        const long double m = (lo + hi) / 2;
        (StableHere(c, m) == was ? lo : hi) = m;
      }
      if (now)
        start = hi;
      else
        out.emplace_back(static_cast<double>(start), static_cast<double>(lo));
    }
    was = now;
  }
  if (was)
    out.emplace_back(static_cast<double>(start), c.to);
  return out;
}

class ParamLocusTest : public ::testing::TestWithParam<Case> {
protected:
  ModelScope model;
  LoopSwitches loop;

  void SetUp() override
  {
    const Case& c = GetParam();
    SetText(Sys().num[kPlant], c.num);
    SetText(Sys().den[kPlant], c.den);
    Sys().gain = c.gain;
    Sys().sampleHold = c.hold;
    if (c.gcNum) {
      SetText(Sys().num[kCompensator], c.gcNum);
      SetText(Sys().den[kCompensator], c.gcDen);
    }
    loop = SwitchesFromModel(Sys());
    loop.compIn = c.gcNum != nullptr;
  }
  ParamSweep Sweep(int points = 200) const
  {
    const Case& c = GetParam();
    return {c.parameter, c.from, c.to, points, c.log};
  }
};

TEST_P(ParamLocusTest, EveryPointIsARootAndNoBranchJumps)
{
  const Case& c = GetParam();
  const auto locus = std::make_unique<ParamLocus>();
  ASSERT_TRUE(TraceParamLocus(Sys(), loop, Sweep(), *locus)) << ErrorMessage();
  ASSERT_GT(locus->count, 199);
  EXPECT_EQ(locus->zPlane, c.zPlane);
  EXPECT_FALSE(locus->interrupted);
  EXPECT_EQ(locus->samples[0].p, c.from);
  EXPECT_EQ(locus->samples[static_cast<std::size_t>(locus->count - 1)].p, c.to);
  for (int k = 0; k < locus->count; ++k) {
    const SweepSample& s = locus->samples[static_cast<std::size_t>(k)];
    const LPoly poly = c.charPoly(s.p);
    ASSERT_EQ(s.n, static_cast<int>(poly.size()) - 1) << c.name << " at " << s.p;
    for (int i = 0; i < s.n; ++i) {
      const LC z(s.r[i].re, s.r[i].im);
      // residual against the size of the terms at that root
      long double scale = 0;
      for (std::size_t j = 0; j < poly.size(); ++j)
        scale += std::fabs(poly[j]) * std::pow(std::abs(z), static_cast<long double>(j));
      EXPECT_LE(std::abs(Eval(poly, z)), 1e-9L * scale) << c.name << " p=" << s.p << " root " << i;
    }
    if (k == 0)
      continue;
    const SweepSample& prev = locus->samples[static_cast<std::size_t>(k - 1)];
    EXPECT_GT(s.p, prev.p) << c.name;
    EXPECT_FALSE(s.newSegment) << c.name << " at " << s.p;
    if (s.atFloor)
      continue;  // the finest step, at a meeting of branches
    for (int i = 0; i < s.n; ++i) {
      // the bound: half the distance to the nearest other root, at most a tenth of 1 + |r|
      long double sep = 1e300L;
      const LC a(prev.r[i].re, prev.r[i].im);
      for (int j = 0; j < s.n; ++j)
        if (j != i)
          sep = std::min(sep, std::abs(a - LC(prev.r[j].re, prev.r[j].im)));
      const long double bound = std::min(sep / 2, (1 + std::abs(a)) / 10);
      EXPECT_LE(std::abs(LC(s.r[i].re, s.r[i].im) - a), bound + 1e-12L) << c.name << " p=" << s.p << " root " << i;
    }
  }
}

TEST_P(ParamLocusTest, StableRangeEndsMatchAnIndependentBisection)
{
  const Case& c = GetParam();
  StableRanges got;
  ASSERT_TRUE(FindStableRanges(Sys(), loop, Sweep(), false, got)) << ErrorMessage();
  const auto want = ExpectedRanges(c);
  ASSERT_EQ(static_cast<int>(want.size()), c.ranges) << c.name;
  ASSERT_EQ(got.count, c.ranges) << c.name;
  for (int i = 0; i < got.count; ++i) {
    EXPECT_NEAR(got.from[i], want[i].first, 1e-9 * std::fabs(want[i].first)) << c.name;
    EXPECT_NEAR(got.to[i], want[i].second, 1e-9 * std::fabs(want[i].second)) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Loops, ParamLocusTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string n = info.param.name;
  std::replace(n.begin(), n.end(), ' ', '_');
  return n;
});

// The closed forms of the whole positive gain axis: 1.96 for the start-up
// plant, coth(T/2) for K / (s + 1) behind a hold of T = 0.5 s, and a loop
// stable at every gain.
TEST(StableGainAxis, EndsAtTheClosedForm)
{
  const struct {
    const char *num, *den;
    double hold, to;
  } cases[] = {{"6", "(s+1)(s^2+1.4s+6)", 0, 1.96},
               {"1", "s+1", 0.5, static_cast<double>((1 + kE) / (1 - kE))},
               {"1", "(s+1)(s+2)", 0, std::numeric_limits<double>::infinity()}};
  for (const auto& c : cases) {
    ModelScope model;
    SetText(Sys().num[kPlant], c.num);
    SetText(Sys().den[kPlant], c.den);
    Sys().sampleHold = c.hold;
    StableRanges got;
    ASSERT_TRUE(FindStableRanges(Sys(), SwitchesFromModel(Sys()), {kSweepGain, 0, 1, 2, false}, true, got));
    ASSERT_EQ(got.count, 1) << c.den;
    EXPECT_EQ(got.from[0], 0.0) << c.den;
    if (std::isinf(c.to))
      EXPECT_TRUE(std::isinf(got.to[0])) << c.den;
    else
      EXPECT_NEAR(got.to[0], c.to, 1e-9 * c.to) << c.den;
  }
}

// Refused sweeps say why and store nothing; a value where a text fails
// interrupts the locus there and says over which values.
TEST(ParamLocusInput, RefusalsAndInterruptions)
{
  const struct {
    const char* den;
    ParamSweep sw;
    const char* error;  // empty: traced, interrupted over [badFrom, badTo]
    double badFrom, badTo;
  } cases[] = {
      {"(s+1)(s^2+as+6)", {1, 0, 1, 10, false}, "Parameter b is not used by the loop", 0, 0},
      {"(s+1)(s^2+as+6)", {0, 2, 2, 10, false}, "Max must exceed Min", 0, 0},
      {"(s+1)(s^2+as+6)", {0, 3, 1, 10, false}, "Max must exceed Min", 0, 0},
      {"(s+1)(s^2+as+6)", {0, 0, 1, 10, true}, "Log scale needs positive values", 0, 0},
      {"(s+1)(s+[1/a])", {0, -1, 1, 9, false}, "", 0, 0},
      {"(s+1)(s+[sqrt(a)])", {0, -1, 1, 5, false}, "", -1, -0.5},
      {"(s+1)(s+[1/a])", {0, 0, 0.5, 5, false}, "", 0, 0},
  };
  for (const auto& c : cases) {
    ModelScope model;
    SetText(Sys().den[kPlant], c.den);
    const auto locus = std::make_unique<ParamLocus>();
    const bool ok = TraceParamLocus(Sys(), SwitchesFromModel(Sys()), c.sw, *locus);
    if (*c.error) {
      EXPECT_FALSE(ok) << c.den;
      EXPECT_STREQ(ErrorMessage(), c.error) << c.den;
      EXPECT_EQ(locus->count, 0) << c.den;
      continue;
    }
    ASSERT_TRUE(ok) << c.den << ": " << ErrorMessage();
    EXPECT_TRUE(locus->interrupted) << c.den;
    EXPECT_EQ(locus->badFrom, c.badFrom) << c.den;
    EXPECT_EQ(locus->badTo, c.badTo) << c.den;
    EXPECT_NE(std::string(locus->badMessage), "") << c.den;
    // the values after the failure start a new segment; none is at a failed value
    for (int k = 0; k < locus->count; ++k) {
      const double p = locus->samples[static_cast<std::size_t>(k)].p;
      EXPECT_FALSE(p >= c.badFrom && p <= c.badTo) << c.den << " traced at " << p;
    }
  }
}

}  // namespace
