// Stability margins against crossings solved independently: a dense scan of
// the loop's own formula in long double, each bracket bisected to the end
// of long double precision.

#include "tests/engine/freq/FreqTestSupport.h"

#include "engine/base/Error.h"
#include "engine/freq/Margins.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

struct Crossing {
  long double w;
  Cld l;
};

// Bisection of a sign change of f between a and b.
template <typename F>
long double Bisect(F f, long double a, long double b)
{
  const bool fa = f(a) > 0;
  for (int i = 0; i < 200 && b - a > 1e-17L * b; ++i) {
    const long double c = (a + b) / 2;
    if ((f(c) > 0) == fa)
      a = c;
    else
      b = c;
  }
  return (a + b) / 2;
}

// Crossings of |L| = 1 and of the negative real axis on (lo, hi), plus a
// negative real L at 0 and (discrete loops) at hi.
void Solve(const std::function<Cld(long double)>& l, long double lo, long double hi, bool endAtHi,
           std::vector<Crossing>& gain, std::vector<Crossing>& phase)
{
  const auto g = [&](long double w) { return std::norm(l(w)) - 1; };
  const auto im = [&](long double w) { return l(w).imag(); };
  const Cld l0 = l(0);
  if (std::isfinite(l0.real()) && l0.real() < 0)
    phase.push_back({0, l0});
  constexpr int kSteps = 150000;
  const long double ratio = std::pow(hi / lo, 1.0L / kSteps);
  long double a = lo;
  Cld la = l(a);
  for (int i = 1; i <= kSteps; ++i) {
    const long double b = i == kSteps ? hi * (endAtHi ? 1 - 1e-12L : 1) : a * ratio;
    const Cld lb = l(b);
    if ((std::norm(la) > 1) != (std::norm(lb) > 1)) {
      const long double w = Bisect(g, a, b);
      gain.push_back({w, l(w)});
    }
    if ((la.imag() > 0) != (lb.imag() > 0) && (la.real() < 0 || lb.real() < 0)) {
      const long double w = Bisect(im, a, b);
      const Cld lw = l(w);
      if (lw.real() < 0 && std::fabs(lw.imag()) < 1e-9L * std::abs(lw))
        phase.push_back({w, lw});
    }
    a = b;
    la = lb;
  }
  if (endAtHi && l(hi).real() < 0)
    phase.push_back({hi, l(hi)});
}

struct MarginCase {
  const char* name;
  LoopTexts loop;                     // for the program
  std::function<Cld(long double)> l;  // the loop gain, by the test's own formula
  int gainCrossings, phaseCrossings;  // at least, in the band
};

Cld StartL(long double w)
{
  return (1.0L + 0.5L * Jw(w)) / Jw(w) * 6.0L / ((Jw(w) + 1.0L) * (Jw(w) * Jw(w) + 1.4L * Jw(w) + 6.0L));
}

std::vector<MarginCase> Cases()
{
  return {
      {"start-up loop", {.compIn = true}, StartL, 1, 1},
      {"start-up loop, delay 0.5 s",
       {.delay = 0.5, .compIn = true},
       [](long double w) { return StartL(w) * std::polar(1.0L, -0.5L * w); },
       1,
       15},
      {"resonance: two gain crossovers",
       {"1", "", "2", "(s+1)(s^2+0.1s+4)", 1, 0, 0},
       [](long double w) { return 2.0L / ((Jw(w) + 1.0L) * (Jw(w) * Jw(w) + 0.1L * Jw(w) + 4.0L)); },
       2,
       1},
      {"no crossing", {"1", "", "0.5", "s+1"}, [](long double w) { return 0.5L / (Jw(w) + 1.0L); }, 0, 0},
      {"negative gain", {"1", "", "1", "s+1", -2}, [](long double w) { return -2.0L / (Jw(w) + 1.0L); }, 1, 1},
      {"open-loop unstable", {"1", "", "2", "s-1"}, [](long double w) { return 2.0L / (Jw(w) - 1.0L); }, 1, 1},
      {"open-loop unstable with delay",
       {"1", "", "3", "s-1", 1, 0.2, 0},
       [](long double w) { return 3.0L / (Jw(w) - 1.0L) * std::polar(1.0L, -0.2L * w); },
       1,
       2},
      {"sampled-data",
       {"0.5(z-0.6)", "z-1", "1", "s+1", 1.5, 0.1, 0.2, true},
       [](long double w) {
         const Cld z = Zw(w, 0.2L);
         return 0.5L * (z - 0.6L) / (z - 1.0L) * 1.5L * ZohFirstOrder(1, 0.2L, 0.1L, z);
       },
       1,
       1},
      {"sampled-data, third order, 2.5 samples of delay",
       {"1", "", "1", "(s+1)(s+2)(s+3)", 12, 0.25, 0.1},
       [](long double w) {
         const Cld z = Zw(w, 0.1L);
         return 12.0L * (0.5L * ZohFirstOrder(1, 0.1L, 0.25L, z) - ZohFirstOrder(2, 0.1L, 0.25L, z) +
                         0.5L * ZohFirstOrder(3, 0.1L, 0.25L, z));
       },
       1,
       1},
      {"discrete, crossing at pi/T",
       {"1", "", "0.8", "z+0.5", 1, 0, 0.1},
       [](long double w) { return 0.8L / (Zw(w, 0.1L) + 0.5L); },
       1,
       1},
  };
}

}  // namespace

TEST(Margins, AgreeWithTheExactCrossings)
{
  ModelScope model;
  for (const MarginCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    WriteLoop(c.loop);
    auto rec = NewFreqRecord();
    rec->loop.compIn = c.loop.compIn;
    // Input and loop mode do not change the loop gain.
    rec->loop.closedLoop = true;
    rec->loop.refInput = false;
    rec->loop.noiseInput = true;
    StabilityMargins m;
    ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m)) << ErrorMessage();
    EXPECT_FALSE(m.truncated);

    const bool discrete = c.loop.hold > 0;
    const long double hi = discrete ? kPiL / c.loop.hold : c.loop.delay > 0 ? m.bandHi : 1e5L;
    std::vector<Crossing> gain, phase;
    Solve(c.l, discrete ? 1e-6L : 1e-5L, hi, discrete, gain, phase);
    ASSERT_EQ(m.gainCount, static_cast<int>(gain.size()));
    ASSERT_EQ(m.phaseCount, static_cast<int>(phase.size()));
    EXPECT_GE(m.gainCount, c.gainCrossings);
    EXPECT_GE(m.phaseCount, c.phaseCrossings);

    for (int i = 0; i < m.gainCount; ++i) {
      const GainCrossover& x = m.gain[i];
      const long double pm = std::arg(-gain[i].l) * 180 / kPiL;
      EXPECT_TRUE(Near(x.omega, gain[i].w, 1e-9L)) << i << ": " << x.omega << " vs " << double(gain[i].w);
      EXPECT_NEAR(x.phaseMarginDeg, double(pm), 1e-6) << i;
      // The delay margin turns L onto the negative real axis, by less than a turn.
      const Cld turned = c.l(x.omega) * std::polar(1.0L, -x.omega * static_cast<long double>(x.delayMargin));
      EXPECT_LT(std::fabs(std::arg(-turned)), 1e-8L) << i;
      EXPECT_GE(x.delayMargin, 0);
      EXPECT_LT(x.delayMargin * x.omega, 2 * kPiL);
    }
    for (int i = 0; i < m.phaseCount; ++i) {
      const PhaseCrossover& x = m.phase[i];
      EXPECT_TRUE(Near(x.omega, phase[i].w, 1e-9L)) << i << ": " << x.omega << " vs " << double(phase[i].w);
      EXPECT_NEAR(x.gainMarginDb, double(-20 * std::log10(std::abs(phase[i].l))), 1e-6) << i;
    }
  }
}

TEST(Margins, BandCoversTheDynamicsAndTheNyquistFrequency)
{
  ModelScope model;
  WriteLoop({});
  auto rec = NewFreqRecord();
  rec->loop.compIn = true;
  StabilityMargins m;
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m));
  // Corners from 1 rad/s (the plant's real pole) to sqrt(6) rad/s.
  EXPECT_LE(m.bandLo, 0.01);
  EXPECT_GE(m.bandHi, 100 * std::sqrt(6.0) * 0.999);
  Sys().sampleHold = 0.25;
  SetText(Sys().num[kCompensator], "z-0.5");
  SetText(Sys().den[kCompensator], "z-1");
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m)) << ErrorMessage();
  EXPECT_DOUBLE_EQ(m.bandHi, 3.141592653589793 / 0.25);
}
