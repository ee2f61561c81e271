// Axis mapping, zoom, zoom back, autoscale and clipping of the chart.
#include "engine/chart/Scale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AxisMap, LinearMapsBothWaysAndFlipsY)
{
  const AxisMap x({0.0, 10.0}, 50.0, 550.0, false);
  EXPECT_DOUBLE_EQ(x.toPixel(0.0), 50.0);
  EXPECT_DOUBLE_EQ(x.toPixel(10.0), 550.0);
  EXPECT_DOUBLE_EQ(x.toPixel(2.5), 175.0);
  EXPECT_DOUBLE_EQ(x.toData(300.0), 5.0);
  // An upward y axis: data low at the bottom pixel.
  const AxisMap y({-1.0, 1.0}, 400.0, 0.0, false);
  EXPECT_DOUBLE_EQ(y.toPixel(-1.0), 400.0);
  EXPECT_DOUBLE_EQ(y.toPixel(0.5), 100.0);
  EXPECT_DOUBLE_EQ(y.toData(200.0), 0.0);
}

TEST(AxisMap, LogPutsDecadesEqualDistancesApart)
{
  const AxisMap x({0.1, 1000.0}, 0.0, 400.0, true);
  const double decades[] = {0.1, 1.0, 10.0, 100.0, 1000.0};
  for (int i = 0; i < 5; ++i)
    EXPECT_NEAR(x.toPixel(decades[i]), 100.0 * i, 1e-9) << decades[i];
  EXPECT_NEAR(x.toPixel(std::sqrt(10.0)), 150.0, 1e-9);
  EXPECT_NEAR(x.toData(250.0), 10.0 * std::sqrt(10.0), 1e-9);
  // Values at or below zero land far off the low end instead of NaN.
  EXPECT_LT(x.toPixel(0.0), -1e6);
  EXPECT_LT(x.toPixel(-5.0), -1e6);
}

TEST(AxisMap, RoundTripsAfterResize)
{
  // The same range on a wider plot: positions scale, data stay put.
  for (double width : {100.0, 333.0, 1920.0}) {
    const AxisMap x({-3.0, 7.0}, 10.0, 10.0 + width, false);
    for (double v : {-3.0, -1.25, 0.0, 4.5, 7.0})
      EXPECT_NEAR(x.toData(x.toPixel(v)), v, 1e-12);
    EXPECT_NEAR(x.toPixel(2.0), 10.0 + width / 2, 1e-9);
  }
}

struct SanitizeCase {
  AxisRange in;
  bool log;
  AxisRange out;
};

TEST(SanitizeRange, RepairsRangesThatCannotBeDrawn)
{
  const SanitizeCase cases[] = {
      {{0, 10}, false, {0, 10}},
      {{10, 0}, false, {0, 10}},
      {{3, 3}, false, {2, 4}},
      {{NAN, 1}, false, {0, 1}},
      {{0.1, 10}, true, {0.1, 10}},
      {{-1, 100}, true, {0.1, 100}},
      {{-5, -1}, true, {0.1, 10}},
      {{5, 5}, true, {0.5, 50}},
      {{-1, 5e-324}, true, {0.1, 10}},
      {{0, 1e-290}, true, {1e-293, 1e-290}},
      {{-1e308, 1e308}, false, {-1e300, 1e300}},
      {{1e-320, 1}, true, {1e-300, 1}},
      {{0, 4e-322}, false, {-1, 1}},
  };
  for (const SanitizeCase& c : cases) {
    const AxisRange r = SanitizeRange(c.in, c.log);
    EXPECT_DOUBLE_EQ(r.lo, c.out.lo) << c.in.lo << ".." << c.in.hi << " log " << c.log;
    EXPECT_DOUBLE_EQ(r.hi, c.out.hi) << c.in.lo << ".." << c.in.hi << " log " << c.log;
  }
}

TEST(ZoomRange, EqualBoundsWidenByOneEachSide)
{
  EXPECT_DOUBLE_EQ(ZoomRange(4, 4).lo, 3);
  EXPECT_DOUBLE_EQ(ZoomRange(4, 4).hi, 5);
  EXPECT_DOUBLE_EQ(ZoomRange(-2, 6).lo, -2);
  EXPECT_DOUBLE_EQ(ZoomRange(-2, 6).hi, 6);
}

TEST(ZoomBack, GrowsAboutTheCentre)
{
  const struct {
    AxisRange in;
    AxisRange out;
  } cases[] = {{{0, 10}, {-2, 12}}, {{-1, 1}, {-1.4, 1.4}}, {{5, 5}, {4, 6}}, {{-30, -10}, {-34, -6}}};
  for (const auto& c : cases) {
    const AxisRange r = ZoomBackRange(c.in, false);
    EXPECT_NEAR(r.lo, c.out.lo, 1e-12) << c.in.lo;
    EXPECT_NEAR(r.hi, c.out.hi, 1e-12) << c.in.lo;
  }
}

TEST(ZoomBack, LogAxisGrowsInDecadesAndStaysPositive)
{
  // 0.1..10 is two decades about 1; 1.4 times that is 2.8 decades.
  const AxisRange r = ZoomBackRange({0.1, 10}, true);
  EXPECT_NEAR(std::log10(r.lo), -1.4, 1e-12);
  EXPECT_NEAR(std::log10(r.hi), 1.4, 1e-12);
  EXPECT_GT(r.lo, 0.0);
}

AutoscaleInput Data(double xlo, double xhi, double ylo, double yhi)
{
  AutoscaleInput in;
  in.data.add(xlo, ylo);
  in.data.add(xhi, yhi);
  in.x = {0, 1};
  in.y = {0, 1};
  return in;
}

TEST(Autoscale, MarginsArePercentOfTheDataWidth)
{
  AutoscaleInput in = Data(0, 10, 0, 1);
  AxisRange x{-100, 100}, y{-100, 100};
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_NEAR(x.lo, -0.5, 1e-12);
  EXPECT_NEAR(x.hi, 10.5, 1e-12);
  EXPECT_NEAR(y.lo, -0.05, 1e-12);
  EXPECT_NEAR(y.hi, 1.05, 1e-12);
}

TEST(Autoscale, SingleValueSpansTwoUnits)
{
  for (double v : {0.0, 3.0, -7.5}) {
    AutoscaleInput in = Data(1, 2, v, v);
    AxisRange x, y;
    ASSERT_TRUE(AutoscaleRanges(in, x, y));
    EXPECT_NEAR(y.lo, v - 1.1, 1e-12);
    EXPECT_NEAR(y.hi, v + 1.1, 1e-12);
  }
}

TEST(Autoscale, NegativeMarginLeavesThatAxisAlone)
{
  AutoscaleInput in = Data(0, 10, 0, 1);
  in.marginX = -1;
  AxisRange x{2, 3}, y{-9, 9};
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_DOUBLE_EQ(x.lo, 2);
  EXPECT_DOUBLE_EQ(x.hi, 3);
  EXPECT_NEAR(y.lo, -0.05, 1e-12);
  in.marginX = 0;
  in.marginY = -5;
  y = {-9, 9};
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_DOUBLE_EQ(x.lo, 0);
  EXPECT_DOUBLE_EQ(x.hi, 10);
  EXPECT_DOUBLE_EQ(y.lo, -9);
}

TEST(Autoscale, NoDataLeavesTheRanges)
{
  AutoscaleInput in;
  AxisRange x{1, 2}, y{3, 4};
  EXPECT_FALSE(AutoscaleRanges(in, x, y));
  EXPECT_DOUBLE_EQ(x.lo, 1);
  EXPECT_DOUBLE_EQ(y.hi, 4);
}

TEST(Autoscale, IsometricKeepsTheRatioOfTheCurrentRanges)
{
  // Current ranges 8 wide by 4 high (ratio 2). Tall data (2 x 4): y from
  // the data, x from the ratio.
  AutoscaleInput in = Data(-1, 1, 0, 4);
  in.isometric = true;
  in.x = {0, 8};
  in.y = {0, 4};
  in.marginX = in.marginY = 0;
  AxisRange x, y;
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_NEAR(y.lo, 0, 1e-12);
  EXPECT_NEAR(y.hi, 4, 1e-12);
  EXPECT_NEAR(x.lo, -4, 1e-12);
  EXPECT_NEAR(x.hi, 4, 1e-12);
  EXPECT_NEAR((x.hi - x.lo) / (y.hi - y.lo), 2.0, 1e-12);
  // Wide data (10 x 1): x from the data, y from the ratio.
  in = Data(0, 10, -0.5, 0.5);
  in.isometric = true;
  in.x = {0, 8};
  in.y = {0, 4};
  in.marginX = in.marginY = 0;
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_NEAR(x.lo, 0, 1e-12);
  EXPECT_NEAR(x.hi, 10, 1e-12);
  EXPECT_NEAR(y.lo, -2.5, 1e-12);
  EXPECT_NEAR(y.hi, 2.5, 1e-12);
}

TEST(Autoscale, LogAxisScalesInDecades)
{
  AutoscaleInput in = Data(0.1, 1000, 0, 1);
  in.logX = true;
  in.marginX = 5;  // 5 % of four decades: 0.2 decade each side
  AxisRange x, y;
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_NEAR(std::log10(x.lo), -1.2, 1e-12);
  EXPECT_NEAR(std::log10(x.hi), 3.2, 1e-12);
  in.marginX = 0;
  ASSERT_TRUE(AutoscaleRanges(in, x, y));
  EXPECT_NEAR(x.lo, 0.1, 1e-12);
  EXPECT_NEAR(x.hi, 1000, 1e-9);
}

TEST(Extent, IgnoresNonFiniteValues)
{
  Extent e;
  EXPECT_FALSE(e.valid());
  e.add(NAN, 1);
  e.add(1, INFINITY);
  EXPECT_FALSE(e.valid());
  e.add(2, -3);
  e.add(-1, 5);
  ASSERT_TRUE(e.valid());
  EXPECT_DOUBLE_EQ(e.xlo, -1);
  EXPECT_DOUBLE_EQ(e.xhi, 2);
  EXPECT_DOUBLE_EQ(e.ylo, -3);
  EXPECT_DOUBLE_EQ(e.yhi, 5);
}

TEST(Isometric, TheWholeRectangleStaysInView)
{
  // Units per pixel are equal on both axes afterwards, and the rectangle
  // asked for lies inside the ranges: the wider side of it keeps its range,
  // the other gains (y above its low limit, x about its centre).
  const struct {
    AxisRange x, y;
    double w, h;
    AxisRange fx, fy;
  } kCases[] = {
      // 8 units over 400 px: 50 px per unit; 300 px high is 6 units from y low.
      {{-5, 3}, {-1, 4}, 400, 300, {-5, 3}, {-1, 5}},
      // 100 units high on 300 px: 3 px per unit, so 400 px hold 133.3 units.
      {{-5, 3}, {-1, 99}, 400, 300, {-1 - 200.0 / 3, -1 + 200.0 / 3}, {-1, 99}},
      // The start-up Nyquist rectangle in a flat plot area of 850 x 320 px.
      {{-2, 1},
       {-1.5, 0.7330827067669173},
       850,
       320,
       {-0.5 - 0.5 * 2.2330827067669173 * 850 / 320, -0.5 + 0.5 * 2.2330827067669173 * 850 / 320},
       {-1.5, 0.7330827067669173}},
      // Exactly the area's shape: nothing changes.
      {{0, 4}, {0, 3}, 400, 300, {0, 4}, {0, 3}},
      // No area yet: left as asked.
      {{0, 4}, {0, 1}, 0, 300, {0, 4}, {0, 1}},
  };
  for (const auto& c : kCases) {
    AxisRange x = c.x, y = c.y;
    IsometricFit(x, y, c.w, c.h);
    EXPECT_NEAR(x.lo, c.fx.lo, 1e-12) << c.y.hi << " on " << c.w;
    EXPECT_NEAR(x.hi, c.fx.hi, 1e-12) << c.y.hi << " on " << c.w;
    EXPECT_NEAR(y.lo, c.fy.lo, 1e-12) << c.y.hi << " on " << c.w;
    EXPECT_NEAR(y.hi, c.fy.hi, 1e-12) << c.y.hi << " on " << c.w;
    EXPECT_TRUE(x.lo <= c.x.lo && x.hi >= c.x.hi && y.lo <= c.y.lo && y.hi >= c.y.hi);
    if (c.w > 0) {
      EXPECT_NEAR((x.hi - x.lo) / c.w, (y.hi - y.lo) / c.h, 1e-12);
    }
  }
}

TEST(Isometric, FitAspectWidensTheNarrowSideAboutItsCentre)
{
  AxisRange x{0, 2}, y{0, 4};  // tall window on a 2:1 plot
  FitAspect(x, y, 400, 200);
  EXPECT_DOUBLE_EQ(x.lo, -3);
  EXPECT_DOUBLE_EQ(x.hi, 5);
  EXPECT_DOUBLE_EQ(y.hi, 4);
  AxisRange x2{0, 10}, y2{0, 1};  // wide window
  FitAspect(x2, y2, 400, 200);
  EXPECT_DOUBLE_EQ(y2.lo, -2);
  EXPECT_DOUBLE_EQ(y2.hi, 3);
}

TEST(ClipSegment, CutsToTheRectangle)
{
  const struct {
    double x0, y0, x1, y1;
    bool inside;
    double cx0, cy0, cx1, cy1;
  } cases[] = {
      {1, 1, 2, 2, true, 1, 1, 2, 2},          // wholly inside
      {-10, 5, 20, 5, true, 0, 5, 10, 5},      // across horizontally
      {5, -1e12, 5, 1e12, true, 5, 0, 5, 10},  // huge vertical
      {-5, -5, -1, 20, false, 0, 0, 0, 0},     // left of it
      {-5, 0, 5, 10, true, 0, 5, 5, 10},       // diagonal through a corner region
  };
  for (const auto& c : cases) {
    double x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
    ASSERT_EQ(ClipSegment(x0, y0, x1, y1, 0, 0, 10, 10), c.inside) << c.x0 << "," << c.y0;
    if (!c.inside)
      continue;
    EXPECT_NEAR(x0, c.cx0, 1e-9);
    EXPECT_NEAR(y0, c.cy0, 1e-9);
    EXPECT_NEAR(x1, c.cx1, 1e-9);
    EXPECT_NEAR(y1, c.cy1, 1e-9);
  }
}

}  // namespace
