// M contours: every stored point is an open-loop value whose closed loop
// has the magnitude M, in each view; the 0 dB line; the store's bound.

#include "tests/engine/freq/FreqTestSupport.h"

#include "engine/base/Error.h"
#include "engine/freq/FreqEngine.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

TEST(MContour, EveryPointHasTheClosedLoopMagnitudeM)
{
  const struct {
    FreqView view;
    double mDb;
    int points;
  } kCases[] = {
      {FreqView::DirectNyquist, 6, 200},      {FreqView::DirectNyquist, -12, 200}, {FreqView::DirectNyquist, 2.5, 1},
      {FreqView::InverseNyquist, 6, 200},     {FreqView::InverseNyquist, 0, 200},  {FreqView::InverseNyquist, -9, 1000},
      {FreqView::Nichols, 12, 200},           {FreqView::Nichols, 0, 200},         {FreqView::Nichols, -1e-20, 200},
      {FreqView::InverseNyquist, 1e-20, 200}, {FreqView::Nichols, -3, 50}};
  ModelScope model;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(kFreqViewNames[static_cast<int>(c.view)].cli) + ", " + std::to_string(c.mDb) + " dB, " +
                 std::to_string(c.points) + " points");
    auto rec = NewFreqRecord();
    rec->set.view = c.view;
    rec->set.points = c.points;
    // The contour leaves the window's loop mode and phase setting alone.
    rec->loop.closedLoop = true;
    rec->set.monotonicPhase = false;
    ASSERT_TRUE(ComputeMContour(*rec, c.mDb));
    EXPECT_TRUE(rec->loop.closedLoop);
    EXPECT_FALSE(rec->set.monotonicPhase);

    const int n = std::clamp(c.points, 36, 999);
    const FreqResult& r = rec->result;
    ASSERT_EQ(r.count, 2 * n + 1);
    EXPECT_EQ(r.points[r.count].tag, 0.0f);
    const long double m = std::pow(10.0L, c.mDb / 20);
    for (int i = 0; i < r.count; ++i) {
      const FreqPoint& p = r.points[i];
      ASSERT_EQ(p.tag, 1.0f) << i;
      if (c.view == FreqView::InverseNyquist) {
        // |1 + 1/L| = 1/M (through L = infinity at the origin for 0 dB)
        ASSERT_TRUE(Near(std::abs(1.0L + Cld(p.x, p.y)), 1 / m, 1e-5L)) << i;
        continue;
      }
      const Cld l = c.view == FreqView::DirectNyquist ? Cld(p.x, p.y)
                                                      : std::polar(std::pow(10.0L, p.y / 20.0L), p.x * kPiL / 180);
      ASSERT_TRUE(Near(std::abs(l / (1.0L + l)), m, 1e-5L)) << i << ": " << double(std::abs(l / (1.0L + l)));
      if (c.view == FreqView::DirectNyquist) {
        // The circle |L - c| = rho with c = -M^2/(M^2 - 1), rho = M/|M^2 - 1|.
        const long double centre = -m * m / (m * m - 1), radius = m / std::fabs(m * m - 1);
        ASSERT_TRUE(Near(std::abs(l - centre), radius, 1e-5L)) << i;
      }
      if (i > 0 && c.view == FreqView::Nichols) {
        ASSERT_LT(std::fabs(p.x - r.points[i - 1].x), 30.0f) << i;  // no turn skipped
      }
    }
    // Closed curves; a Nichols contour below 0 dB runs once round in phase.
    const FreqPoint& a = r.points[0];
    const FreqPoint& b = r.points[r.count - 1];
    // A value that rounds to 0 dB is the 0 dB contour.
    const bool zeroDb = std::fabs(c.mDb) < 1e-15;
    const bool wraps = c.view == FreqView::Nichols && (c.mDb <= 0 || zeroDb);
    EXPECT_NEAR(a.x - b.x, wraps ? (zeroDb ? 180.0 : 360.0) : 0.0, 1e-3);
    if (!zeroDb) {
      EXPECT_NEAR(a.y, b.y, 1e-4);
    }
  }
}

TEST(MContour, ZeroDbInTheDirectNyquistViewIsTheLineThroughMinusHalf)
{
  ModelScope model;
  // Values that round to 0 dB (M = 1 in double precision) draw the line too.
  for (double mDb : {0.0, 1e-20, -1e-17}) {
    SCOPED_TRACE(mDb);
    auto rec = NewFreqRecord();
    SetChartRange(*rec, -2, 1, -1.5, 0.5);
    ASSERT_TRUE(ComputeMContour(*rec, mDb));
    const FreqResult& r = rec->result;
    ASSERT_EQ(r.count, 2);
    EXPECT_EQ(r.points[0].tag, 1.0f);
    EXPECT_EQ(r.points[0].x, -0.5f);
    EXPECT_EQ(r.points[0].y, -21.5f);  // ten chart heights below
    EXPECT_EQ(r.points[1].x, -0.5f);
    EXPECT_EQ(r.points[1].y, 20.5f);
    EXPECT_EQ(r.points[2].tag, 0.0f);
  }
}

TEST(MContour, BodeViewsHaveNone)
{
  ModelScope model;
  auto rec = NewFreqRecord();
  rec->set.view = FreqView::BodePhase;
  EXPECT_FALSE(ComputeMContour(*rec, 3));
  EXPECT_STREQ(ErrorMessage(), "No M contours in the Bode views");
}
