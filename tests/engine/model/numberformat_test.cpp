// Number display: the significant-figure format of edit boxes and labels,
// the general form of range-warning limits, and the round trip of typed
// expressions to the text shown back.

#include "engine/model/NumberFormat.h"
#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Shown {
  const char* typed;
  const char* format;
  const char* text;
};

const Shown kRoundTrips[] = {
    {"2*pi", "%0.4g", "6.283"},
    {"1/3", "%0.7g", "0.3333333"},
    {"1/3", "%0.3g", "0.333"},
    {"2*pi", "%0.9g", "6.28318531"},
    {"1e-12", "%0.4g", "0"},
    {"-1e-11", "%0.4g", "0"},
    {"1e-10", "%0.4g", "1e-10"},
    {"123456", "%0.4g", "1.235e+05"},
    {"-2.5", "%0.4g", "-2.5"},
    {"100", "%0.4g", "100"},
    {"0", "%0.4g", "0"},
    // A format not of the "%0.Ng" shape is never given to printf.
    {"2*pi", "%s%s%n", "6.283"},
    {"2*pi", "", "6.283"},
    {"2*pi", "%0.4f", "6.283"},
    {"2*pi", "%0.44g", "6.283"},
};

TEST(NumberFormat, TypedExpressionsShowBackInTheFormat)
{
  ModelScope model;
  for (const Shown& s : kRoundTrips) {
    ClearError();
    const double v = EvalConstant(s.typed);
    ASSERT_FALSE(ErrorPending()) << s.typed;
    EXPECT_EQ(FormatNumber(v, s.format), s.text) << s.typed << " with " << s.format;
  }
}

TEST(NumberFormat, ModelFormatFollowsTheOptionButLabelsDoNot)
{
  ModelScope model;
  const double third = 1.0 / 3.0;
  EXPECT_EQ(FormatModelNumber(third), "0.3333");
  std::strcpy(Sys().numberFormat, "%0.7g");
  EXPECT_EQ(FormatModelNumber(third), "0.3333333");
  EXPECT_EQ(FormatLabelNumber(third), "0.3333");
  EXPECT_EQ(FormatLabelNumber(1e-12), "0");
}

TEST(NumberFormat, PrecisionOfFormats)
{
  const std::pair<const char*, int> cases[] = {
      {"%0.4g", 4}, {"%0.9g", 9},  {"%.6g", 6},  {"%0.12g", 12}, {"%0.0g", 4},
      {"%0.4", 4},  {"%0.4gx", 4}, {nullptr, 4}, {"%0.18g", 4},  {"0.5g", 4},
  };
  for (const auto& [format, precision] : cases)
    EXPECT_EQ(FormatPrecision(format), precision) << (format ? format : "null");
}

TEST(NumberFormat, GeneralFloatText)
{
  const std::pair<double, const char*> cases[] = {
      {1e20, "1E20"},
      {-1e20, "-1E20"},
      {1.5e20, "1.5E20"},
      {1e15, "1E15"},
      {1e14, "100000000000000"},
      {123.25, "123.25"},
      {0.1, "0.1"},
      {1e-5, "0.00001"},
      {1.5e-6, "1.5E-6"},
      {0.0, "0"},
      {-2.0, "-2"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {6.283185307179586, "6.28318530717959"},
      {1e308, "1E308"},
      {5e-324, "4.94065645841247E-324"},
  };
  for (const auto& [v, text] : cases)
    EXPECT_EQ(GeneralFloatText(v), text) << v;
}

TEST(NumberFormat, RangeCheckIncludesItsLimits)
{
  EXPECT_TRUE(InRange(1e20, 1e20, -1e20));
  EXPECT_TRUE(InRange(-1e20, 1e20, -1e20));
  EXPECT_TRUE(InRange(0.0, 1e20, -1e20));
  EXPECT_FALSE(InRange(3e20, 1e20, -1e20));
  EXPECT_FALSE(InRange(-1.0000001e20, 1e20, -1e20));
  EXPECT_EQ(RangeWarningText("Gain", 1e20, -1e20), "Gain must lie between -1E20 and 1E20");
  EXPECT_EQ(RangeWarningText("Delay", 10, 0), "Delay must lie between 0 and 10");
}

}  // namespace
