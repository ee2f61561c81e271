// Families of time responses: every member is the single run at its value,
// the document is left as it was, bad ranges and a member whose loop fails
// leave nothing, and the cursor picks the curve nearest the mouse.

#include "engine/time/TimeFamily.h"
#include "engine/chart/Pens.h"
#include "engine/expr/ConstantTable.h"
#include "tests/DecodedRuns.h"
#include "tests/engine/time/TimeTestSupport.h"

#include <cmath>
#include <cstring>

namespace {

struct FamilyCase {
  const char* name;
  LoopTexts loop;
  FamilyPlan plan;
  bool phasePlane;
};

class TimeFamilyTest : public TimeTest {
protected:
  void SetUp() override
  {
    TimeTest::SetUp();
    fam_ = std::make_unique<TimeFamily>();
    work_ = std::make_unique<TimeFamilyScratch>();
    single_ = std::make_unique<TRANSTAT>();
  }
  std::unique_ptr<TimeFamily> fam_;
  std::unique_ptr<TimeFamilyScratch> work_;
  std::unique_ptr<TRANSTAT> single_;
};

TEST_F(TimeFamilyTest, EveryMemberIsTheSingleRunAtItsValue)
{
  LoopTexts ratio;  // a in a time constant, the plant's numerator and the gain's place
  ratio.gpNum = "a";
  ratio.gpDen = "(a s+1)(s+2)";
  LoopTexts sampled;  // b as a pole of a sampled-data loop
  sampled.gpDen = "(s+b)(s^2+1.4s+6)";
  sampled.hold = 0.05;
  LoopTexts withComp;
  withComp.compIn = true;
  const FamilyCase cases[] = {
      {"gain, start-up loop", {}, {kFamilyGain, 0.25, 2.0, 4, false}, false},
      {"a, log", ratio, {0, 0.1, 10.0, 7, true}, false},
      {"b, sampled-data", sampled, {1, 0.5, 3.0, 10, false}, false},
      {"gain, both elements, phase plane", withComp, {kFamilyGain, 0.5, 1.5, 3, false}, true},
  };
  for (const FamilyCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetLoop(c.loop);
    st().points = 400;
    st().plotType = c.phasePlane ? TransPlot::PhasePlane : TransPlot::TimeResponse;
    SetParameter(0, 1.0);
    SetParameter(1, 1.0);
    const double gain = sys().gain;
    ClearError();
    ASSERT_TRUE(RunTimeFamily(sys(), st(), c.plan, *fam_, *work_)) << ErrorMessage();
    // the document keeps its value and texts
    EXPECT_EQ(sys().gain, gain);
    EXPECT_EQ(Parameter(0), 1.0);
    EXPECT_EQ(Parameter(1), 1.0);
    EXPECT_STREQ(sys().den[kPlant], c.loop.gpDen);
    ASSERT_EQ(fam_->members.count, c.plan.members);
    // the document's value 1 is the current member where the range holds it
    const int n = c.plan.members;
    for (int i = 0; i < n; ++i) {
      const double f = static_cast<double>(i) / (n - 1);
      const double v =
          c.plan.log ? c.plan.from * std::pow(c.plan.to / c.plan.from, f) : c.plan.from + f * (c.plan.to - c.plan.from);
      const double got = fam_->members.value[static_cast<std::size_t>(i)];
      EXPECT_NEAR(got, v, 1e-14 * v) << "member " << i;
      EXPECT_EQ(fam_->members.current == i, std::fabs(got - 1.0) < 1e-12) << "member " << i;

      // the single run at that value, on the document itself
      *single_ = st();
      sys().gain = c.plan.over == kFamilyGain ? got : gain;
      if (c.plan.over != kFamilyGain)
        SetParameter(c.plan.over, got);
      ClearError();
      ASSERT_TRUE(DecodedTimeEngine(sys(), *single_)) << ErrorMessage();
      sys().gain = gain;
      SetParameter(0, 1.0);
      SetParameter(1, 1.0);
      const TransResult& a = fam_->results[static_cast<std::size_t>(i)];
      const TransResult& b = single_->result;
      ASSERT_TRUE(a.valid);
      ASSERT_EQ(a.pointCount, b.pointCount);
      EXPECT_EQ(a.step, b.step);
      EXPECT_EQ(std::memcmp(a.trace.data(), b.trace.data(), sizeof(TracePoint) * a.pointCount), 0) << "member " << i;
      EXPECT_EQ(fam_->haveCharacteristics[static_cast<std::size_t>(i)], !c.phasePlane);
      EXPECT_EQ(fam_->pen[static_cast<std::size_t>(i)], FamilyPen(i, n));
    }
    // the parameter takes effect: the two ends differ
    const TransResult& first = fam_->results[0];
    const TransResult& last = fam_->results[static_cast<std::size_t>(n - 1)];
    EXPECT_NE(std::memcmp(first.trace.data(), last.trace.data(), sizeof(TracePoint) * first.pointCount), 0);
  }
  EXPECT_EQ(FamilyPen(0, 5), 0x0000D9u);  // blue to red at value 0.85
  EXPECT_EQ(FamilyPen(4, 5), 0xD90000u);
  EXPECT_EQ(FamilyPen(2, 5), 0x00D900u);
}

// The step response of K/(s+1) in open loop is K(1 - e^-t) at every stored
// point: the zero-order hold of a step is exact.
TEST_F(TimeFamilyTest, GainMembersFollowTheClosedForm)
{
  LoopTexts l;
  l.gpNum = "1";
  l.gpDen = "s+1";
  l.closed = false;
  SetLoop(l);
  st().points = 200;
  ASSERT_TRUE(RunTimeFamily(sys(), st(), {kFamilyGain, 1.0, 16.0, 5, true}, *fam_, *work_)) << ErrorMessage();
  for (int m = 0; m < 5; ++m) {
    const TransResult& r = fam_->results[static_cast<std::size_t>(m)];
    const double k = std::pow(2.0, m);
    for (int i = 0; i < r.pointCount; i += 17)
      EXPECT_NEAR(r.trace[static_cast<std::size_t>(i)].y, k * (1.0 - std::exp(-i * r.step)), 2e-6 * k);
    const ResponseCharacteristics& c = fam_->characteristics[static_cast<std::size_t>(m)];
    EXPECT_NEAR(c.finalValue, k * (1.0 - std::exp(-10.0)), 2e-6 * k);
  }
  // the cursor: a point on member m (a few pixels off) reads member m
  for (int m = 0; m < 5; ++m)
    for (const int i : {30, 90, 180}) {
      const TransResult& r = fam_->results[static_cast<std::size_t>(m)];
      const double t = i * r.step, y = r.trace[static_cast<std::size_t>(i)].y;
      EXPECT_EQ(NearestTimeMember(*fam_, t + 0.02, y + 0.05, 0.02, 0.02), m) << m << ' ' << i;
    }
  fam_->members.count = 0;
  EXPECT_EQ(NearestTimeMember(*fam_, 1.0, 1.0, 0.02, 0.02), -1);
}

TEST_F(TimeFamilyTest, BadInputLeavesNothing)
{
  LoopTexts improper;  // proper only while a = 0
  improper.gpNum = "a s^4+6";
  improper.gpDen = "(s+1)(s^2+1.4s+6)";
  struct Bad {
    FamilyPlan plan;
    const char* message;
  };
  const Bad bad[] = {
      {{0, 0.0, 1.0, 11, false}, "A family has at most 10 members"},
      {{0, 0.0, 1.0, 0, false}, "A family needs at least one member"},
      {{0, 1.0, 1.0, 3, false}, "Family range: the start must be below the end"},
      {{0, 2.0, 1.0, 3, false}, "Family range: the start must be below the end"},
      {{0, 0.0, 1.0, 3, true}, "A logarithmic family range must be positive"},
      {{5, 0.0, 1.0, 3, false}, "Family parameter must be a, b, c, d or gain"},
      {{0, 0.0, 1.0, 3, false}, "Family member 2 (a = 0.5): Plant transfer function must be proper"},
  };
  SetLoop(improper);
  SetParameter(0, 0.0);
  ASSERT_EQ(Run(), "");  // the loop is good at the document's value
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.message);
    // a good family first, so that the failure must empty it
    ClearError();
    ASSERT_TRUE(RunTimeFamily(sys(), st(), {kFamilyGain, 1.0, 2.0, 3, false}, *fam_, *work_));
    ClearError();
    EXPECT_FALSE(RunTimeFamily(sys(), st(), b.plan, *fam_, *work_));
    EXPECT_TRUE(ErrorPending());
    EXPECT_STREQ(ErrorMessage(), b.message);
    EXPECT_EQ(fam_->members.count, 0);
    for (const TransResult& r : fam_->results)
      EXPECT_FALSE(r.valid);
    EXPECT_EQ(Parameter(0), 0.0);
  }
}

}  // namespace
