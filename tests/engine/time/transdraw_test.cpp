// Drawing of runs: the shapes the drawing rules promise, checked on the
// display list (stems from the axis, a staircase, one path).

#include "engine/time/TransDraw.h"
#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "tests/DecodedRuns.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TransDrawTest : public ::testing::Test {
protected:
  // Runs the loop and draws it into a fresh list.
  const DisplayList& Draw(const char* num, const char* den, double hold, bool interpolate,
                          TransPlot plot = TransPlot::TimeResponse)
  {
    SYSDATA& s = Sys();
    SetText(s.num[kPlant], num);
    SetText(s.den[kPlant], den);
    s.sampleHold = hold;
    st_ = std::make_unique<TRANSTAT>();
    st_->plotType = plot;
    ClearError();
    EXPECT_TRUE(DecodedTimeEngine(Sys(), *st_)) << ErrorMessage();
    list_ = std::make_unique<DisplayList>();
    EXPECT_TRUE(DrawTransRun(*list_, st_->result, PensOf(s), interpolate));
    return *list_;
  }

  ModelScope model_;
  std::unique_ptr<TRANSTAT> st_;
  std::unique_ptr<DisplayList> list_;
};

TEST_F(TransDrawTest, DiscreteSamplesAreStemsOrJoinedMarkers)
{
  for (const bool interpolate : {false, true}) {
    const DisplayList& list = Draw("0.3", "z-0.7", 0.5, interpolate);
    const int n = st_->result.pointCount;
    const std::uint32_t output = Sys().pen[1];
    int marks = 0, stems = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
      const ChartItem& it = list.item(i);
      if (it.colour != output)
        continue;
      if (it.kind == ItemKind::Mark)
        ++marks;
      // a stem starts with a MoveTo on the axis and rises straight up
      if (it.kind == ItemKind::Polyline && !it.continued && it.count == 2 && list.points(it)[0].y == 0 &&
          list.points(it)[0].x == list.points(it)[1].x)
        ++stems;
    }
    EXPECT_EQ(marks, n);
    EXPECT_EQ(stems, interpolate ? 0 : n);
  }
}

TEST_F(TransDrawTest, SampledDataControlEffortIsAStaircase)
{
  const DisplayList& list = Draw("1", "s+1", 0.5, false);
  const std::uint32_t effort = Sys().pen[2];
  int vertical = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ChartItem& it = list.item(i);
    if (it.colour != effort || it.kind != ItemKind::Polyline)
      continue;
    const ChartPoint* p = list.points(it);
    for (std::size_t k = 1; k < it.count; ++k) {
      EXPECT_TRUE(p[k].x == p[k - 1].x || p[k].y == p[k - 1].y) << k;
      vertical += p[k].x == p[k - 1].x && p[k].y != p[k - 1].y;
    }
  }
  EXPECT_GT(vertical, 10);  // a step at (nearly) every sample of 20
}

TEST_F(TransDrawTest, PhasePlaneIsOnePathAndAFailedRunDrawsNothing)
{
  const DisplayList& list = Draw("1", "s+1", 0, false, TransPlot::PhasePlane);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(static_cast<int>(list.item(0).count), st_->result.pointCount);
  SetText(st_->refText, "sin(");
  ClearError();
  EXPECT_FALSE(DecodedTimeEngine(Sys(), *st_));
  EXPECT_FALSE(DrawTransRun(*list_, st_->result, PensOf(Sys()), false));
  EXPECT_EQ(list_->size(), 1u);
}

}  // namespace

// The window's autoscale after a Go, which `render time` repeats: a time
// response keeps its time axis over the duration, a phase plane fits both.
TEST_F(TransDrawTest, AutoscaleKeepsTheTimeAxisOfAResponse)
{
  const auto rec = std::make_unique<TRANSTAT>();
  TRANSTAT& st = *rec;
  st.duration = 7.5;
  const TimeAutoscale response = TimeAutoscaleOf(st);
  EXPECT_TRUE(response.timeAxis);
  EXPECT_EQ(response.duration, 7.5);
  EXPECT_LT(response.marginX, 0);  // x kept as the duration set it
  EXPECT_EQ(response.marginY, 5);
  st.plotType = TransPlot::PhasePlane;
  const TimeAutoscale phase = TimeAutoscaleOf(st);
  EXPECT_FALSE(phase.timeAxis);
  EXPECT_EQ(phase.marginX, 5);
  EXPECT_EQ(phase.marginY, 5);
}
