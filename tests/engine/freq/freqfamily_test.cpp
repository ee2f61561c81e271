// Families of frequency responses: every member is the single sweep (and
// margins) at its value, the document is left as it was, a gain family
// follows the closed form and the cursor picks the curve nearest the mouse.

#include "engine/freq/FreqFamily.h"
#include "engine/chart/Pens.h"
#include "engine/expr/ConstantTable.h"
#include "tests/engine/freq/FreqTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// 20 log10 |K Gp(jw)| of the start-up plant 6/((s+1)(s^2+1.4s+6)).
long double StartUpPlantDb(long double k, long double w)
{
  const Cld s = Jw(w);
  return 20 * std::log10(std::abs(k * 6.0L / ((s + 1.0L) * (s * s + 1.4L * s + 6.0L))));
}

TEST(FreqFamily, EveryMemberIsTheSingleSweepAtItsValue)
{
  ModelScope model;
  LoopTexts timeConstant;
  timeConstant.gpDen = "(a s+1)(s^2+1.4s+6)";
  LoopTexts sampled;
  sampled.gpDen = "(s+c)(s^2+1.4s+6)";
  sampled.hold = 0.1;
  const struct {
    const char* name;
    LoopTexts loop;
    FamilyPlan plan;
    FreqView view;
    bool closed;
  } cases[] = {
      {"gain, Nyquist", {}, {kFamilyGain, 0.5, 3.0, 6, false}, FreqView::DirectNyquist, false},
      {"a, log, Bode gain, closed", timeConstant, {0, 0.1, 10.0, 5, true}, FreqView::BodeGain, true},
      {"c, sampled-data, Nichols", sampled, {2, 0.5, 2.0, 10, false}, FreqView::Nichols, false},
  };
  const auto fam = std::make_unique<FreqFamily>();
  const auto work = std::make_unique<FreqFamilyScratch>();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteLoop(c.loop);
    SetParameter(0, 1.0);
    SetParameter(2, 1.0);
    const auto rec = NewFreqRecord();
    SetElements(rec->loop, c.loop);
    rec->set.view = c.view;
    ClearError();
    ASSERT_TRUE(RunFreqFamily(Sys(), *rec, c.plan, true, *fam, *work)) << ErrorMessage();
    EXPECT_EQ(Sys().gain, 1.0);
    EXPECT_EQ(Parameter(0), 1.0);
    EXPECT_EQ(Parameter(2), 1.0);
    EXPECT_EQ(rec->result.count, 0);  // the window's record is not written
    ASSERT_EQ(fam->members.count, c.plan.members);
    ASSERT_TRUE(fam->haveMargins);
    for (int i = 0; i < c.plan.members; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const double v = fam->members.value[k];
      const auto single = std::make_unique<FREQSTAT>(*rec);
      if (c.plan.over == kFamilyGain)
        Sys().gain = v;
      else
        SetParameter(c.plan.over, v);
      ClearError();
      ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *single, FreqUse::Response), *single)) << ErrorMessage();
      StabilityMargins m;
      ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), *single, FreqUse::OpenLoop), m)) << ErrorMessage();
      Sys().gain = 1.0;
      SetParameter(c.plan.over == kFamilyGain ? 0 : c.plan.over, 1.0);
      const FreqResult& a = fam->results[k];
      ASSERT_EQ(a.count, single->result.count);
      EXPECT_EQ(std::memcmp(a.points.data(), single->result.points.data(), sizeof(FreqPoint) * a.count), 0) << i;
      EXPECT_EQ(std::memcmp(a.omega.data(), single->result.omega.data(), sizeof(double) * a.gridCount), 0) << i;
      const StabilityMargins& b = fam->margins[k];
      ASSERT_EQ(b.gainCount, m.gainCount);
      ASSERT_EQ(b.phaseCount, m.phaseCount);
      for (int j = 0; j < m.gainCount; ++j)
        EXPECT_EQ(b.gain[j].phaseMarginDeg, m.gain[j].phaseMarginDeg);
      for (int j = 0; j < m.phaseCount; ++j)
        EXPECT_EQ(b.phase[j].gainMarginDb, m.phase[j].gainMarginDb);
      EXPECT_EQ(fam->pen[k], FamilyPen(i, c.plan.members));
    }
    const int last = c.plan.members - 1;
    EXPECT_NE(std::memcmp(fam->results[0].points.data(), fam->results[last].points.data(),
                          sizeof(FreqPoint) * fam->results[0].count),
              0);
  }
}

TEST(FreqFamily, GainMembersFollowTheClosedFormAndTheCursorReadsTheNearest)
{
  ModelScope model;
  WriteLoop({});
  const auto rec = NewFreqRecord();
  rec->set.view = FreqView::BodeGain;
  const auto fam = std::make_unique<FreqFamily>();
  const auto work = std::make_unique<FreqFamilyScratch>();
  ASSERT_TRUE(RunFreqFamily(Sys(), *rec, {kFamilyGain, 1.0, 8.0, 4, true}, false, *fam, *work)) << ErrorMessage();
  EXPECT_FALSE(fam->haveMargins);
  EXPECT_EQ(fam->members.current, 0);
  for (int m = 0; m < 4; ++m) {
    const FreqResult& r = fam->results[static_cast<std::size_t>(m)];
    ASSERT_EQ(r.count, 200);
    for (int i = 0; i < r.count; i += 13)
      ASSERT_TRUE(Near(r.points[i].y, StartUpPlantDb(std::pow(2.0L, m), r.omega[i]), 1e-6L, 1e-6L)) << m << ' ' << i;
  }
  // members lie 6.02 dB apart: a point 1.5 dB off member m's curve reads m
  for (int m = 0; m < 4; ++m)
    for (const int i : {10, 100, 190}) {
      const FreqPoint& p = fam->results[static_cast<std::size_t>(m)].points[i];
      EXPECT_EQ(NearestFreqMember(*fam, p.x + 0.001, p.y + (m == 3 ? 1.5 : -1.5), 0.01, 0.1), m) << m << ' ' << i;
    }
}

}  // namespace
