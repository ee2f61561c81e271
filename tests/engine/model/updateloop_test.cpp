// UpdateLoop: decoding by domain, classification edge cases, the
// sampled-data steps of the root and frequency domains and the merge.

#include "engine/model/UpdateLoop.h"
#include "engine/base/Error.h"
#include "engine/model/Discrete.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Loop {
  const char* gcNum;
  const char* gcDen;
  const char* gpNum;
  const char* gpDen;
  int first, last;
  double hold;
  double delay = 0;
  ActiveDomain domain = ActiveDomain::Time;
  bool strict = true;
};

class UpdateLoopTest : public ::testing::Test {
protected:
  ModelScope model;
  SYSDATA& s = Sys();

  SystemKind Run(const Loop& l)
  {
    SetText(s.num[kCompensator], l.gcNum);
    SetText(s.den[kCompensator], l.gcDen);
    SetText(s.num[kPlant], l.gpNum);
    SetText(s.den[kPlant], l.gpDen);
    s.firstElement = static_cast<std::uint8_t>(l.first);
    s.lastElement = static_cast<std::uint8_t>(l.last);
    s.sampleHold = l.hold;
    s.delay = l.delay;
    s.activeDomain = l.domain;
    s.strictCheck = l.strict;
    ClearError();
    return UpdateLoop(s);
  }
  std::string Message() const { return ErrorPending() ? ErrorMessage() : ""; }
};

TEST_F(UpdateLoopTest, ClassificationEdgeCases)
{
  struct Case {
    Loop loop;
    SystemKind kind;
    const char* message;
    char vc, vp;
  } cases[] = {
      {{"", "", "1", "s+1", 1, 1, 0}, SystemKind::Invalid, "Numerator expected", ' ', ' '},
      {{"1", "", "", "s+1", 0, 0, 0}, SystemKind::Invalid, "Numerator expected", ' ', ' '},
      {{"1+0.5s", "s", "1", "z-0.5", 0, 1, 0},
       SystemKind::Invalid,
       "Discrete plant must have discrete controller",
       's',
       'z'},
      {{"z-0.5", "z-1", "1", "s+1", 0, 1, 0.1}, SystemKind::SampledData, "", 'z', 's'},
      {{"z-0.5", "z-1", "1", "s+1", 0, 1, 0},
       SystemKind::Invalid,
       "Discrete controller must have non-zero sample/Hold time",
       'z',
       's'},
      {{"2", "", "3", "", 0, 1, 0}, SystemKind::Continuous, "", 's', 's'},
      {{"1+0.5s", "s", "6", "s+1", 0, 1, 0.1},
       SystemKind::Invalid,
       "Continuous controller must have zero sample/Hold time",
       's',
       's'},
      {{"1+0.5s", "s", "6", "s+1", 0, 1, 0.1, 0, ActiveDomain::Time, false}, SystemKind::SampledData, "", 's', 's'},
      {{"1", "", "1", "z-0.5", 0, 1, 0}, SystemKind::Discrete, "", 'z', 'z'},
      {{"z", "z-1", "2", "", 0, 1, 0}, SystemKind::Discrete, "", 'z', 'z'},
      {{"1", "", "6", "s+1", 0, 1, 0.2}, SystemKind::SampledData, "", 'z', 's'},
      {{"1+0.5s", "s", "6", "s+1", 1, 1, 0.1}, SystemKind::SampledData, "", ' ', 's'},
      {{"1+0.5s", "s", "1", "z-0.5", 1, 1, 0}, SystemKind::Discrete, "", ' ', 'z'},
      {{"z", "z-1", "1", "s+1", 0, 0, 0}, SystemKind::Discrete, "", 'z', ' '},
      {{"s+z", "", "1", "s+1", 0, 1, 0}, SystemKind::Invalid, "s & z mixed in transfer function", ' ', ' '},
  };
  for (const Case& k : cases) {
    const SystemKind kind = Run(k.loop);
    const std::string what = std::string(k.loop.gcNum) + "/" + k.loop.gcDen + " , " + k.loop.gpNum + "/" + k.loop.gpDen;
    EXPECT_EQ(kind, k.kind) << what;
    EXPECT_EQ(s.kind, k.kind) << what;
    EXPECT_EQ(Message(), k.message) << what;
    if (k.kind != SystemKind::Invalid || k.message[0] != 'N') {
      EXPECT_EQ(s.variable[kCompensator], k.vc) << what;
      EXPECT_EQ(s.variable[kPlant], k.vp) << what;
    }
    if (kind == SystemKind::Invalid) {
      EXPECT_EQ(s.numRoots.n, 0);
      EXPECT_EQ(s.denRoots.n, 0);
    }
  }
}

TEST_F(UpdateLoopTest, ExampleLoopDecodesAndMerges)
{
  ModelScope fresh;
  SYSDATA& m = Sys();
  m.firstElement = 0;
  m.lastElement = 1;
  m.activeDomain = ActiveDomain::Time;
  ClearError();
  EXPECT_EQ(UpdateLoop(m), SystemKind::Continuous);
  EXPECT_TRUE(m.compMerged);
  // (1+0.5s) 6 over s (s+1)(s^2+1.4s+6)
  const double num[] = {6, 3};
  const double den[] = {0, 6, 7.4, 2.4, 1};
  ASSERT_EQ(m.numPoly[kPlant].n, 2);
  ASSERT_EQ(m.denPoly[kPlant].n, 5);
  for (int i = 0; i < 2; ++i)
    EXPECT_NEAR(m.numPoly[kPlant].c[i], num[i], 1e-12);
  for (int i = 0; i < 5; ++i)
    EXPECT_NEAR(m.denPoly[kPlant].c[i], den[i], 1e-12);

  // no merge while a nonlinearity, an initial condition or the load input is in use
  struct Switch {
    bool* flag;
  } switches[] = {{&m.fwdNlInUse}, {&m.compInitEnabled}, {&m.plantInitEnabled}, {&m.loop[kLoadInput]}};
  for (const Switch& sw : switches) {
    *sw.flag = true;
    EXPECT_EQ(UpdateLoop(m), SystemKind::Continuous);
    EXPECT_FALSE(m.compMerged);
    EXPECT_EQ(m.denPoly[kPlant].n, 4);
    *sw.flag = false;
  }
  // the frequency domain merges for the closed loop or the reference input only
  m.activeDomain = ActiveDomain::Frequency;
  EXPECT_EQ(UpdateLoop(m), SystemKind::Continuous);
  EXPECT_FALSE(m.compMerged);
  m.loop[kRefInput] = true;
  EXPECT_EQ(UpdateLoop(m), SystemKind::Continuous);
  EXPECT_TRUE(m.compMerged);
}

TEST_F(UpdateLoopTest, MergeOrderTooHigh)
{
  EXPECT_EQ(Run({"1", "s^2+s+1", "1", "s^3+s+1", 0, 1, 0}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Order too high");
}

TEST_F(UpdateLoopTest, RootDomainDecodesFactored)
{
  EXPECT_EQ(Run({"1+0.5s", "s", "6", "(s+1)(s^2+1.4s+6)", 0, 1, 0, 0, ActiveDomain::Root}), SystemKind::Continuous);
  EXPECT_TRUE(s.factoredDecodeDone);
  EXPECT_EQ(s.numRoots.n, 1);  // -2
  EXPECT_EQ(s.denRoots.n, 4);  // 0, -1, -0.7 +- 2.35j
  EXPECT_NEAR(s.rootGain, 0.5 * 6, 1e-12);
  EXPECT_NEAR(s.numRoots.r[0].re, -2, 1e-12);
}

TEST_F(UpdateLoopTest, FrequencyDomainSampledData)
{
  // 1/(s+1), T = 0.1, delay 0.25: m = 2 samples into the denominator
  EXPECT_EQ(Run({"1", "", "1", "s+1", 1, 1, 0.1, 0.25, ActiveDomain::Frequency}), SystemKind::SampledData);
  EXPECT_EQ(s.delaySamples, 2);
  const Polynomial& den = s.denPoly[kPlant];
  ASSERT_EQ(den.n, 3 + 2);
  EXPECT_EQ(den.c[0], 0.0);
  EXPECT_EQ(den.c[1], 0.0);
  EXPECT_EQ(den.c[4], 1.0);
  // the z-domain pulse transfer function keeps the DC gain 1
  double n1 = 0, d1 = 0;
  for (int i = 0; i < s.numPoly[kPlant].n; ++i)
    n1 += s.numPoly[kPlant].c[i];
  for (int i = 0; i < den.n; ++i)
    d1 += den.c[i];
  EXPECT_NEAR(n1 / d1, 1.0, 1e-12);

  // order 3 plant and 2 whole samples: 4 + 2 = 6 coefficients
  EXPECT_EQ(Run({"1", "", "1", "(s+1)(s+2)(s+3)", 1, 1, 0.1, 0.2, ActiveDomain::Frequency}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Delay too big");
  // the time domain leaves the plant in s
  EXPECT_EQ(Run({"1", "", "1", "(s+1)(s+2)(s+3)", 1, 1, 0.1, 0.2, ActiveDomain::Time}), SystemKind::SampledData);
  EXPECT_EQ(s.denPoly[kPlant].n, 4);
}

TEST_F(UpdateLoopTest, RootDomainSampledData)
{
  // 1/(s+1), T = 0.1, delay 0.2: two poles at the origin, then e^{-0.1}
  EXPECT_EQ(Run({"1", "", "1", "s+1", 1, 1, 0.1, 0.2, ActiveDomain::Root}), SystemKind::SampledData);
  ASSERT_EQ(s.denRoots.n, 3);
  EXPECT_EQ(s.denRoots.r[0].re, 0.0);
  EXPECT_EQ(s.denRoots.r[1].re, 0.0);
  EXPECT_NEAR(s.denRoots.r[2].re, std::exp(-0.1), 1e-12);
  EXPECT_EQ(s.numRoots.n, 0);
  EXPECT_NEAR(s.rootGain, 1 - std::exp(-0.1), 1e-12);

  // with a z compensator in the loop its roots follow
  EXPECT_EQ(Run({"z-0.5", "z-1", "1", "s+1", 0, 1, 0.1, 0, ActiveDomain::Root}), SystemKind::SampledData) << Message();
  ASSERT_EQ(s.numRoots.n, 1);
  EXPECT_NEAR(s.numRoots.r[0].re, 0.5, 1e-12);
  ASSERT_EQ(s.denRoots.n, 2);
  EXPECT_NEAR(s.denRoots.r[1].re, 1.0, 1e-12);

  // more delay samples than the pole set holds beside the plant's poles
  EXPECT_EQ(Run({"1", "", "1", "s+1", 1, 1, 0.1, 0.45, ActiveDomain::Root}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Delay too big");
  EXPECT_EQ(Run({"1", "", "5", "", 1, 1, 0.1, 0.9, ActiveDomain::Root}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Delay too big");
  EXPECT_EQ(Run({"1", "", "5", "", 1, 1, 0.1, 0.35, ActiveDomain::Root}), SystemKind::SampledData);
  EXPECT_EQ(s.denRoots.n, 4);  // 3 whole samples + the fractional one of a constant

  // a fractional delay adds the held previous input: one more pole at the origin
  EXPECT_EQ(Run({"1", "", "1", "s+1", 1, 1, 0.1, 0.15, ActiveDomain::Root}), SystemKind::SampledData);
  EXPECT_EQ(s.delaySamples, 1);
  ASSERT_EQ(s.denRoots.n, 3);
  int atOrigin = 0;
  for (int i = 0; i < 3; ++i)
    atOrigin += s.denRoots.r[i].re == 0 && s.denRoots.r[i].im == 0;
  EXPECT_EQ(atOrigin, 2);
  ASSERT_EQ(s.numRoots.n, 1);
  // zero of the modified z-transform: (1 - e^{-0.05}) z + (e^{-0.05} - e^{-0.1}) = 0
  const double zero = -(std::exp(-0.05) - std::exp(-0.1)) / (1 - std::exp(-0.05));
  EXPECT_NEAR(s.numRoots.r[0].re, zero, 1e-12);
}

TEST_F(UpdateLoopTest, TimeDomainSampledDataKeepsElementsApart)
{
  EXPECT_EQ(Run({"z-0.5", "z-1", "6", "s+1", 0, 1, 0.1, 0, ActiveDomain::Time}), SystemKind::SampledData);
  EXPECT_FALSE(s.compMerged);
  EXPECT_EQ(s.denPoly[kPlant].n, 2);
  EXPECT_EQ(s.denPoly[kCompensator].n, 2);
  EXPECT_EQ(s.delaySamples, 0);
}

TEST_F(UpdateLoopTest, ParserMessagesPassThrough)
{
  EXPECT_EQ(Run({"1", "", "1", "(s+1", 1, 1, 0}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Missing brackets");
  EXPECT_EQ(Run({"1", "", "1", "s^5", 1, 1, 0, 0, ActiveDomain::Root}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "Order too high");
  EXPECT_EQ(Run({"s^2", "", "1", "s+1", 1, 1, 0.1, 0, ActiveDomain::Frequency}), SystemKind::SampledData)
      << "a compensator outside the loop is not decoded";
  EXPECT_EQ(Run({"1", "", "s^2", "s+1", 1, 1, 0.1, 0, ActiveDomain::Frequency}), SystemKind::Invalid);
  EXPECT_EQ(Message(), "System not proper");
}

}  // namespace
