// Tick layout and tick labels of the chart's axes, with exact lists.
#include "engine/chart/Ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A font of 6 pixels per character.
class FixedWidth : public LabelMeasure {
public:
  double extent(const char* label) const override { return 6.0 * static_cast<double>(std::strlen(label)); }
};

std::vector<std::string> Labels(const TickSet& s)
{
  std::vector<std::string> out;
  for (int i = 0; i < s.n; ++i)
    if (s.t[i].major)
      out.emplace_back(s.t[i].label);
  return out;
}

std::vector<double> Minors(const TickSet& s)
{
  std::vector<double> out;
  for (int i = 0; i < s.n; ++i)
    if (!s.t[i].major)
      out.push_back(s.t[i].v);
  return out;
}

using Strings = std::vector<std::string>;

struct LabelCase {
  AxisRange r;
  double pixels;
  Strings labels;
};

// The major labels a layout gives each range on its pixels, without minors.
template <typename Layout>
void ExpectLabels(Layout layout, std::initializer_list<LabelCase> cases)
{
  const FixedWidth m;
  for (const LabelCase& c : cases) {
    TickSet s;
    layout(c.r, c.pixels, m, 8.0, false, s);
    EXPECT_EQ(Labels(s), c.labels) << c.r.lo << ".." << c.r.hi << " on " << c.pixels;
  }
}

TEST(NiceStep, PicksOneTwoOrFiveTimesAPowerOfTen)
{
  const struct {
    double span;
    int intervals;
    double step;
  } cases[] = {{10, 10, 1},  {10, 5, 2},   {10, 4, 5},         {10, 2, 5},    {10, 1, 10},
               {1, 10, 0.1}, {3, 10, 0.5}, {0.003, 6, 0.0005}, {7e6, 7, 1e6}, {270, 6, 50}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(NiceStep(c.span, c.intervals), c.step) << c.span << "/" << c.intervals;
}

TEST(FormatTickLabel, ReadsAsTheStepNeeds)
{
  const struct {
    double v, step, maxAbs;
    const char* text;
  } cases[] = {
      {0, 1, 10, "0"},
      {2, 1, 10, "2"},
      {-3, 1, 10, "-3"},
      {0.5, 0.5, 2, "0.5"},
      {1.5, 0.5, 2, "1.5"},
      {0.05, 0.05, 1, "0.05"},
      {1e-17, 0.2, 1, "0.0"},
      {-1e-17, 0.2, 1, "0.0"},
      {250, 50, 300, "250"},
      {-0.02, 0.01, 0.05, "-0.02"},
      {2.5e6, 5e5, 5e6, "2.5e6"},
      {3e6, 1e6, 5e6, "3e6"},
      {-5e-7, 5e-7, 2e-6, "-5e-7"},
      {1.5e-6, 5e-7, 2e-6, "1.5e-6"},
      {1e-6, 1e-6, 2e-6, "1e-6"},
      {0.0002, 0.0002, 0.001, "0.0002"},
      {123456, 1, 123456, "123456"},
  };
  char buf[kTickLabelSize];
  for (const auto& c : cases) {
    FormatTickLabel(c.v, c.step, c.maxAbs, buf, sizeof buf);
    EXPECT_STREQ(buf, c.text) << c.v << " step " << c.step;
  }
}

TEST(LinearTicks, LabelsAtNiceStepsThatFit)
{
  ExpectLabels(LinearTicks,
               {
                   {{0, 10}, 500, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
                   {{0, 10}, 120, {"0", "2", "4", "6", "8", "10"}},
                   {{0, 10}, 60, {"0", "5", "10"}},
                   {{-1.5, 1.5}, 400, {"-1.5", "-1.0", "-0.5", "0.0", "0.5", "1.0", "1.5"}},
                   {{-270, 10}, 300, {"-250", "-200", "-150", "-100", "-50", "0"}},
                   {{0, 4e-6}, 300, {"0", "1e-6", "2e-6", "3e-6", "4e-6"}},
                   {{0, 2e6}, 400, {"0", "2e5", "4e5", "6e5", "8e5", "1e6", "1.2e6", "1.4e6", "1.6e6", "1.8e6", "2e6"}},
                   {{0, 2e6}, 200, {"0", "5e5", "1e6", "1.5e6", "2e6"}},
                   {{-1000, -200}, 400, {"-1000", "-900", "-800", "-700", "-600", "-500", "-400", "-300", "-200"}},
                   {{-0.05, -0.01},
                    400,
                    {"-0.050", "-0.045", "-0.040", "-0.035", "-0.030", "-0.025", "-0.020", "-0.015", "-0.010"}},
                   {{-0.05, -0.01}, 200, {"-0.05", "-0.04", "-0.03", "-0.02", "-0.01"}},
               });
}

TEST(LinearTicks, NeighbouringLabelsNeverOverlap)
{
  const FixedWidth m;
  const AxisRange ranges[] = {{0, 1}, {-123.4, 5678.9}, {1e-9, 3e-9}, {-7e7, 7e7}, {0.999, 1.001}};
  for (const AxisRange& r : ranges)
    for (double pixels : {60.0, 150.0, 333.0, 800.0, 1900.0}) {
      TickSet s;
      LinearTicks(r, pixels, m, 8.0, false, s);
      ASSERT_GE(s.n, 1);
      const double stepPixels = s.step / (r.hi - r.lo) * pixels;
      if (s.n < 2)
        continue;
      double widest = 0;
      for (const std::string& l : Labels(s))
        widest = std::max(widest, m.extent(l.c_str()));
      EXPECT_GE(stepPixels, widest + 8.0) << r.lo << ".." << r.hi << " on " << pixels;
    }
}

TEST(LinearTicks, MinorTicksSubdivideTheMajors)
{
  const FixedWidth m;
  TickSet s;
  LinearTicks({0, 2}, 60, m, 8.0, true, s);  // step 1: five parts
  EXPECT_EQ(Labels(s), (Strings{"0", "1", "2"}));
  const std::vector<double> minors = Minors(s);
  const double expected[] = {0.2, 0.4, 0.6, 0.8, 1.2, 1.4, 1.6, 1.8};
  ASSERT_EQ(minors.size(), 8u);
  for (int i = 0; i < 8; ++i)
    EXPECT_NEAR(minors[i], expected[i], 1e-12);
  LinearTicks({0, 4}, 40, m, 8.0, true, s);  // step 2: four parts
  EXPECT_EQ(Labels(s), (Strings{"0", "2", "4"}));
  EXPECT_EQ(Minors(s).size(), 6u);
}

TEST(LogTicks, DecadesWithSubTicks)
{
  const FixedWidth m;
  TickSet s;
  LogTicks({0.1, 10}, 400, m, 8.0, true, s);
  EXPECT_EQ(Labels(s), (Strings{"0.1", "1", "10"}));
  const std::vector<double> minors = Minors(s);
  ASSERT_EQ(minors.size(), 16u);  // 0.2..0.9 and 2..9
  EXPECT_NEAR(minors[0], 0.2, 1e-12);
  EXPECT_NEAR(minors[8], 2.0, 1e-12);
  EXPECT_NEAR(minors[15], 9.0, 1e-12);
  LogTicks({0.1, 10}, 400, m, 8.0, false, s);
  EXPECT_TRUE(Minors(s).empty());
}

TEST(LogTicks, WideRangesThinOutTheDecadeLabels)
{
  ExpectLabels(LogTicks,
               {
                   {{0.01, 1000}, 500, {"0.01", "0.1", "1", "10", "100", "1000"}},
                   {{1e-6, 1e6},
                    500,
                    {"1e-6", "1e-5", "1e-4", "0.001", "0.01", "0.1", "1", "10", "100", "1000", "10000", "1e5", "1e6"}},
                   {{1e-6, 1e6}, 300, {"1e-6", "1e-4", "0.01", "1", "100", "10000", "1e6"}},
                   {{1e-6, 1e6}, 150, {"1e-5", "1", "1e5"}},
                   // Too short for two decade labels: the first decade alone, never linear
                   // ticks on a log axis.
                   {{0.01, 1000}, 40, {"0.01"}},
                   {{2, 30}, 300, {"2", "5", "10", "20"}},
                   {{2, 8}, 300, {"2", "3", "4", "5", "6", "7", "8"}},
               });
}

TEST(LogTicks, RangeInsideOneStepFallsBackToLinear)
{
  ExpectLabels(LogTicks, {{{2.1, 2.9}, 300, {"2.1", "2.2", "2.3", "2.4", "2.5", "2.6", "2.7", "2.8", "2.9"}},
                          {{2.1, 2.9}, 120, {"2.2", "2.4", "2.6", "2.8"}}});
}

TEST(LinearTicks, ExtremeRangesStayBoundedAndFinite)
{
  const FixedWidth m;
  const AxisRange ranges[] = {{-1e308, 1e308}, {1e16, 1e16 + 64}, {1, 1 + 1e-15},    {NAN, 1},
                              {-INFINITY, 0},  {0, 4e-322},       {-1.8e-64, 2.4e64}};
  for (const AxisRange& r : ranges) {
    TickSet s;
    LinearTicks(r, 800, m, 8.0, true, s);
    ASSERT_LE(s.n, kMaxTicks);
    for (int i = 0; i < s.n; ++i) {
      EXPECT_TRUE(std::isfinite(s.t[i].v)) << r.lo << ".." << r.hi;
      if (s.t[i].major) {
        EXPECT_GT(std::strlen(s.t[i].label), 0u) << r.lo << ".." << r.hi;
      }
    }
    LogTicks(r, 800, m, 8.0, true, s);
    ASSERT_LE(s.n, kMaxTicks);
    for (int i = 0; i < s.n; ++i)
      EXPECT_GT(s.t[i].v, 0.0) << r.lo << ".." << r.hi;
  }
}

TEST(TickSet, StopsAtCapacity)
{
  TickSet s;
  for (int i = 0; i < kMaxTicks; ++i)
    ASSERT_TRUE(s.add(i, true));
  EXPECT_FALSE(s.add(0, true));
  EXPECT_EQ(s.n, kMaxTicks);
}

}  // namespace
