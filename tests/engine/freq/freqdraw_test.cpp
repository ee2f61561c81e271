// The frequency window's drawing routines: what lands in the display list,
// in which pen and at which coordinates.
#include "engine/freq/FreqDraw.h"
#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/freq/Margins.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class FreqDrawTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    rec_ = std::make_unique<FREQSTAT>();
    InitFreqSettings(Sys(), *rec_);
  }
  // The items of one kind, oldest first.
  std::vector<const ChartItem*> Items(ItemKind kind) const
  {
    std::vector<const ChartItem*> found;
    for (std::size_t i = 0; i < list_.size(); ++i)
      if (list_.item(i).kind == kind)
        found.push_back(&list_.item(i));
    return found;
  }

  ModelScope model_;
  DisplayList list_;
  std::unique_ptr<FREQSTAT> rec_;
};

}  // namespace

TEST_F(FreqDrawTest, BodeCurvesRunAgainstTheDisplayFrequencyWithGaps)
{
  // (s^2 + 4)/(s + 1)^3 vanishes at 2 rad/s, the middle of the grid.
  SetText(Sys().num[kPlant], "s^2+4");
  SetText(Sys().den[kPlant], "s^3+3s^2+3s+1");
  std::strcpy(rec_->set.units, "Hz");
  rec_->set.view = FreqView::BodeGain;
  rec_->set.startFreq = 1;
  rec_->set.endFreq = 3;
  rec_->set.points = 3;
  rec_->set.logIncrement = false;
  rec_->loop.closedLoop = true;
  ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec_, FreqUse::Response), *rec_)) << ErrorMessage();
  DrawResponse(list_, *rec_, PensOf(Sys()));
  const auto lines = Items(ItemKind::Polyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->colour, Sys().pen[1]);  // closed loop
  ASSERT_EQ(lines[0]->count, 3u);
  const ChartPoint* p = list_.points(*lines[0]);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(p[i].x, (1 + i) / (2 * 3.141592653589793), 1e-7) << i;
  EXPECT_TRUE(std::isfinite(p[0].y) && std::isnan(p[1].y) && std::isfinite(p[2].y));
}

TEST_F(FreqDrawTest, MContourFamiliesInPenFourWithTheirLabels)
{
  const struct {
    FreqView view;
    double start, end, step;
    bool labels;
    int contours;
  } kCases[] = {{FreqView::DirectNyquist, -12, 12, 3, true, 9},
                {FreqView::Nichols, -1, 1, 0.1, false, 21},
                {FreqView::InverseNyquist, 5, 5, 1, true, 1}};
  for (const auto& c : kCases) {
    list_.clear();
    rec_->set.view = c.view;
    ChartPens pens = PensOf(Sys());
    pens.markLabels = c.labels;
    ASSERT_TRUE(DrawMContours(list_, *rec_, {c.start, c.end, c.step}, pens));
    const auto lines = Items(ItemKind::Polyline);
    const auto texts = Items(ItemKind::Text);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.contours));
    EXPECT_EQ(texts.size(), c.labels ? lines.size() : 0u);
    for (const ChartItem* l : lines)
      EXPECT_EQ(l->colour, Sys().pen[3]);
    if (c.labels) {
      EXPECT_STREQ(texts.back()->text, c.contours == 9 ? "  12" : "  5");
    }
  }
  rec_->set.view = FreqView::BodeGain;
  EXPECT_FALSE(DrawMContours(list_, *rec_, {-3, 3, 3}, PensOf(Sys())));
}

TEST_F(FreqDrawTest, MarginMarksSitOnTheCurvesBranch)
{
  // The start-up loop with a delay: on the Nichols chart the phase-margin
  // line runs along 0 dB from -180 deg to the curve.
  Sys().delay = 0.5;
  rec_->loop.compIn = true;
  rec_->set.view = FreqView::Nichols;
  rec_->set.points = 1000;
  ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec_, FreqUse::Response), *rec_)) << ErrorMessage();
  StabilityMargins m;
  ASSERT_TRUE(ComputeMargins(DecodeFreqLoop(Sys(), *rec_, FreqUse::OpenLoop), m)) << ErrorMessage();
  ASSERT_GE(m.gainCount, 1);
  DrawMarginMarks(list_, *rec_, m, PensOf(Sys()));
  const auto lines = Items(ItemKind::Line);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(m.gainCount + m.phaseCount));
  const ChartItem& pm = *lines[0];
  EXPECT_EQ(pm.colour, Sys().pen[2]);
  EXPECT_EQ(pm.y, 0.0);
  EXPECT_EQ(pm.y2, 0.0);
  EXPECT_NEAR(pm.x, -180.0, 1e-9);
  EXPECT_NEAR(pm.x2 - pm.x, m.gain[0].phaseMarginDeg, 1e-9);
  // The curve crosses 0 dB there (between two neighbouring points).
  const FreqResult& r = rec_->result;
  int i = 0;
  while (i + 1 < r.count && r.points[i + 1].y > 0)
    ++i;
  EXPECT_GE(pm.x2, std::min(r.points[i].x, r.points[i + 1].x) - 1e-3);
  EXPECT_LE(pm.x2, std::max(r.points[i].x, r.points[i + 1].x) + 1e-3);
  // The first gain-margin line stands on -180 deg and ends at the curve's gain.
  const ChartItem& gm = *lines[1];
  EXPECT_NEAR(gm.x, -180.0, 1e-9);
  EXPECT_NEAR(gm.y2, -m.phase[0].gainMarginDb, 1e-9);
}

TEST_F(FreqDrawTest, BodeAxisFollowsTheDisplayUnitOnce)
{
  const struct {
    const char* units;  // the settings' display unit
    const char* title;  // the chart's frequency axis now
    double factor;
  } kCases[] = {{"rad/s", "rad/s", 0.0},
                {"Hz", "rad/s", 1 / (2 * 3.141592653589793)},
                {"rad/s", "Hz", 2 * 3.141592653589793},
                {"Hz", "Hz", 0.0},
                {"Hz", "Real", 0.0},  // not a frequency axis
                {"rad/s", "", 0.0}};
  for (const auto& c : kCases) {
    std::strcpy(rec_->set.units, c.units);
    EXPECT_NEAR(BodeUnitFactor(rec_->set, c.title), c.factor, 1e-15) << c.units << " on " << c.title;
  }
}

TEST_F(FreqDrawTest, GoTakesTheChartRangeAndDrawsInTheGivenPens)
{
  ChartPens pens;
  pens.pen[0] = 0x010203;  // open loop
  pens.pen[2] = 0x040506;  // describing function
  const ChartGeometry chart{-3, 1, -2, 2, 400, 300};
  const auto go = [&](FreqCurve curve) {
    const FreqLoop loop = DecodeFreqLoop(Sys(), *rec_, GoUse(curve));
    return FreqGo(loop, *rec_, LoopContext(loop.loop, ActiveDomain::Frequency), curve, chart, pens, list_);
  };
  ASSERT_TRUE(go(FreqCurve::Response)) << ErrorMessage();
  EXPECT_TRUE(rec_->chart.xLo == -3 && rec_->chart.xHi == 1 && rec_->chart.yLo == -2 && rec_->chart.yHi == 2);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.item(0).colour, 0x010203u);
  EXPECT_EQ(static_cast<int>(list_.item(0).count), rec_->result.count);
  rec_->loop.fwdNl = true;  // the forward nonlinearity's -1/N
  ASSERT_TRUE(go(FreqCurve::DescribingFunction)) << ErrorMessage();
  ASSERT_GT(list_.size(), 1u);
  EXPECT_EQ(list_.item(1).colour, 0x040506u);
}
