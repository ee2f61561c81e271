// Predicted limit cycles against the test's own solution of L(jw) N(A) = -1
// in long double with the textbook closed form of N (harmonic balance): the
// engine's cycles must be that root to 1e-6 whatever the samples per period
// of the drawn describing function. Stability as the textbook cases have it.

#include "tests/engine/freq/FreqTestSupport.h"

#include "engine/freq/LimitCycles.h"
#include "engine/freq/LoopScan.h"
#include "tests/DecodedRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Fn = std::function<Cld(long double)>;

long double SatN(long double a)
{
  return a <= 1 ? 1 : 2 / kPiL * (std::asin(1 / a) + std::sqrt(1 - 1 / (a * a)) / a);
}

Cld BacklashN(long double a, long double h)
{
  const long double b = std::acos(1 - 2 * h / a);
  return {(kPiL - b + std::sin(b) * std::cos(b)) / kPiL, -std::sin(b) * std::sin(b) / kPiL};
}

struct Root {
  long double a, w;
  long double sensitivity;  // |d(A, w)| per unit of |dN|, relative to (A, w)
};

// L(jw) N(A) + 1 = 0 by Newton's method in long double from (a, w).
Root Solve(const Fn& l, const Fn& n, long double a, long double w)
{
  long double ja[2], jw[2];
  for (int iter = 0; iter < 60; ++iter) {
    const Cld f = l(w) * n(a) + 1.0L;
    const long double ha = 1e-9L * a, hw = 1e-9L * w;
    const Cld fa = (l(w) * n(a + ha) + 1.0L - f) / ha, fw = (l(w + hw) * n(a) + 1.0L - f) / hw;
    ja[0] = fa.real(), ja[1] = fa.imag(), jw[0] = fw.real(), jw[1] = fw.imag();
    const long double det = ja[0] * jw[1] - ja[1] * jw[0];
    const long double da = -(f.real() * jw[1] - f.imag() * jw[0]) / det;
    const long double dw = -(ja[0] * f.imag() - ja[1] * f.real()) / det;
    a += da, w += dw;
    if (std::fabs(da) < 1e-16L * a && std::fabs(dw) < 1e-16L * w)
      break;
  }
  // A change dN moves F by L dN: (A, w) by the inverse Jacobian of that.
  const long double det = ja[0] * jw[1] - ja[1] * jw[0];
  const long double norm = (std::hypot(jw[1], jw[0]) + std::hypot(ja[1], ja[0])) / std::fabs(det);
  return {a, w, norm * std::abs(l(w)) / std::min(a, w)};
}

struct Case {
  const char* name;
  const char* gpNum;
  const char* gpDen;
  double gain, delay, hold;
  const char* nl;
  Fn closedN;
  double amin, amax;
  Fn l;
  std::vector<CycleStability> expected;
};

Cld StartUpPlant(long double k, long double w)
{
  const Cld s = Jw(w);
  return k * 6.0L / ((s + 1.0L) * (s * s + 1.4L * s + 6.0L));
}

// Searches the loop for limit cycles from amplitude a0 to a1, with nl in the
// forward path or, with feedback set, in the feedback path, at m samples a
// period of the describing function.
bool FindCycles(const LoopTexts& loop, const char* nl, bool feedback, double a0, double a1, int m, LimitCycleList& list)
{
  WriteLoop(loop);
  SetText(feedback ? Sys().fbkNlText : Sys().fwdNlText, nl);
  auto rec = NewFreqRecord();
  rec->loop.compIn = loop.compIn;
  (feedback ? rec->loop.fbkNl : rec->loop.fwdNl) = true;
  rec->set.dftPoints = m;
  rec->set.startAmp = a0;
  rec->set.endAmp = a1;
  return DecodedLimitCycles(Sys(), *rec, list);
}

}  // namespace

TEST(LimitCycles, AgreeWithTheTestsOwnSolution)
{
  const auto relayN = [](long double a) { return Cld(4 / (kPiL * a)); };
  const CycleStability kStable = CycleStability::Stable, kUnstable = CycleStability::Unstable;
  const Case kCases[] = {
      {"relay, third order",
       "6",
       "(s+1)(s^2+1.4s+6)",
       1,
       0,
       0,
       "relay(x)",
       relayN,
       0.1,
       2,
       [](long double w) { return StartUpPlant(1, w); },
       {kStable}},
      {"saturation below the critical gain",
       "6",
       "(s+1)(s^2+1.4s+6)",
       1.5,
       0,
       0,
       "clip(x,1)",
       [](long double a) { return Cld(SatN(a)); },
       0.5,
       10,
       [](long double w) { return StartUpPlant(1.5L, w); },
       {}},
      {"saturation above it",
       "6",
       "(s+1)(s^2+1.4s+6)",
       3,
       0,
       0,
       "clip(x,1)",
       [](long double a) { return Cld(SatN(a)); },
       0.5,
       10,
       [](long double w) { return StartUpPlant(3, w); },
       {kStable}},
      {"backlash, type 1",
       "4",
       "s(s+1)(s+2)",
       1,
       0,
       0,
       "hyst(x,0.5)",
       [](long double a) { return BacklashN(a, 0.5L); },
       0.55,
       20,
       [](long double w) { return 4.0L / (Jw(w) * (Jw(w) + 1.0L) * (Jw(w) + 2.0L)); },
       {kUnstable, kStable}},
      {"relay, sampled with a delay",
       "1",
       "s+1",
       1,
       0.3,
       0.1,
       "relay(x)",
       relayN,
       0.1,
       2,
       [](long double w) { return ZohFirstOrder(1, 0.1L, 0.3L, Zw(w, 0.1L)); },
       {kStable}},
      {"relay, sampled third order with 2.5 samples of delay",
       "1",
       "(s+1)(s+2)(s+3)",
       20,
       0.25,
       0.1,
       "relay(x)",
       relayN,
       0.1,
       5,
       [](long double w) {
         const Cld z = Zw(w, 0.1L);
         return 20.0L * (0.5L * ZohFirstOrder(1, 0.1L, 0.25L, z) - ZohFirstOrder(2, 0.1L, 0.25L, z) +
                         0.5L * ZohFirstOrder(3, 0.1L, 0.25L, z));
       },
       {kStable}},
  };
  for (int m : {64, 128, 512}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(m) + " samples");
      ModelScope model;
      LimitCycleList list;
      ASSERT_TRUE(
          FindCycles({"1", "1", c.gpNum, c.gpDen, c.gain, c.delay, c.hold}, c.nl, false, c.amin, c.amax, m, list))
          << ErrorMessage();
      ASSERT_EQ(list.count, static_cast<int>(c.expected.size()));
      EXPECT_EQ(list.loopGap, RuleGap::None);
      for (int i = 0; i < list.count; ++i) {
        const LimitCycle& got = list.cycles[i];
        EXPECT_EQ(got.stability, c.expected[i]) << i;
        const Root r = Solve(c.l, c.closedN, got.amplitude * 1.001L, got.omega * 0.999L);
        EXPECT_TRUE(Near(got.amplitude, r.a, 1e-6L)) << i << ": A " << got.amplitude << " vs " << double(r.a);
        EXPECT_TRUE(Near(got.omega, r.w, 1e-6L)) << i << ": w " << got.omega << " vs " << double(r.w);
        EXPECT_TRUE(Near(std::abs(Cld(got.n.re, got.n.im) - c.closedN(got.amplitude)), 0, 0, 1e-8L)) << i;
      }
      if (std::string(c.nl) == "relay(x)" && c.hold == 0) {
        // w180 of 6/((s+1)(s^2+1.4s+6)) is sqrt(7.4), where L = -6/11.76.
        const long double w180 = std::sqrt(7.4L), l180 = 6 / 11.76L;
        EXPECT_TRUE(Near(list.cycles[0].omega, w180, 1e-9L));
        EXPECT_TRUE(Near(list.cycles[0].amplitude, 4 * l180 / kPiL, 1e-9L));
      }
    }
  }
}

// L with a pole in the right half-plane, 10/((s-1)(s+2)(s+3)), meets the
// relay's locus at w = 1 where L = -1: the cycle is found, the rule is not
// applied.
TEST(LimitCycles, OpenLoopUnstableIsNotJudged)
{
  ModelScope model;
  LimitCycleList list;
  ASSERT_TRUE(FindCycles({"1", "1", "10", "(s-1)(s+2)(s+3)"}, "relay(x)", false, 0.5, 5, 128, list)) << ErrorMessage();
  EXPECT_EQ(list.loopGap, RuleGap::OpenLoopUnstable);
  ASSERT_EQ(list.count, 1);
  EXPECT_NEAR(list.cycles[0].omega, 1, 1e-9);
  EXPECT_EQ(list.cycles[0].stability, CycleStability::RuleDoesNotApply);
  EXPECT_STREQ(StabilityText(list.cycles[0].stability), "rule does not apply");
}

// A stepped characteristic: the sampled N of quant(x,1) saws round the
// true one, yet each crossing of the true N with N* = -1/L(w180) is one
// cycle, found at that crossing to 1e-6, stable
// where N falls through N* and unstable where it rises. The loop is the
// start-up one with both elements and gain 2: w180 = sqrt(5), L = -1.
TEST(LimitCycles, SteppedCharacteristicGivesOneCyclePerCrossingOfTheTrueN)
{
  ModelScope model;
  LimitCycleList list;
  ASSERT_TRUE(FindCycles({.gain = 2, .compIn = true}, "quant(x,1)", true, 0.6, 5, 512, list)) << ErrorMessage();

  const long double w180 = std::sqrt(5.0L);
  const Cld s = Jw(w180);
  const long double nStar =
      -1 / (2.0L * (1.0L + 0.5L * s) / s * 6.0L / ((s + 1.0L) * (s * s + 1.4L * s + 6.0L))).real();
  const auto quantN = [](long double a) {
    long double sum = 0;
    for (long double level = 0.5L; level < a; level += 1)
      sum += std::sqrt(1 - level * level / (a * a));
    return 4 / (kPiL * a) * sum;
  };
  std::vector<std::pair<long double, CycleStability>> truth;
  for (long double a = 0.6L; a < 5; a += 1e-4L) {
    if (!Crosses(double(quantN(a) - nStar), double(quantN(a + 1e-4L) - nStar)))
      continue;
    long double lo = a, hi = a + 1e-4L;  // bisected to long double precision
    for (int i = 0; i < 80; ++i)
      ((quantN(lo) > nStar) == (quantN((lo + hi) / 2) > nStar) ? lo : hi) = (lo + hi) / 2;
    truth.push_back({lo, quantN(a + 1e-4L) < nStar ? CycleStability::Stable : CycleStability::Unstable});
  }
  ASSERT_EQ(truth.size(), 8u);
  ASSERT_EQ(list.count, 8);
  std::vector<LimitCycle> byA(list.cycles.begin(), list.cycles.begin() + list.count);
  std::sort(byA.begin(), byA.end(), [](const LimitCycle& x, const LimitCycle& y) { return x.amplitude < y.amplitude; });
  for (int i = 0; i < 8; ++i) {
    EXPECT_TRUE(Near(byA[i].omega, w180, 1e-9L)) << i;
    EXPECT_TRUE(Near(byA[i].amplitude, truth[i].first, 1e-6L)) << i << ": " << byA[i].amplitude;
    EXPECT_EQ(byA[i].stability, truth[i].second) << i;
  }
}
