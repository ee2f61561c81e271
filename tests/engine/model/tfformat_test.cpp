// Formatting back to text: known examples, then round trips through
// the parser for both forms.

#include "engine/model/TfFormat.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/Roots.h"
#include "engine/model/TfParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

class TfFormatTest : public ::testing::Test {
protected:
  ModelScope model;
};

RootSet Roots(std::vector<Complex> r)
{
  RootSet set;
  set.n = static_cast<int>(r.size());
  for (int i = 0; i < set.n; ++i)
    set.r[i] = r[static_cast<std::size_t>(i)];
  return set;
}

TEST_F(TfFormatTest, Polynomials)
{
  struct Case {
    std::vector<double> c;
    char v;
    const char* want;
  } cases[] = {
      {{1, 0.5}, 's', "1+0.5s"},
      {{6, 1.4, 1}, 's', "6+1.4s+s^2"},
      {{0, 0, 0}, 's', "0"},
      {{1e-7, -1, 0, 2}, 'z', "-z+2z^3"},
      {{-0.9048, 1}, 'z', "-0.9048+z"},
      {{0, -1}, 's', "-s"},
      {{0.25, 0, 0, 0, -3}, 'z', "0.25-3z^4"},
      {{1, 2, 3, 4, 5, 6}, 'z', "1+2z+3z^2+4z^3+5z^4+6z^5"},
      {{1.7e-7, 6.5e-7, 1.6e-7}, 'z', "1.7e-07+6.5e-07z+1.6e-07z^2"},  // small but not noise
      {{4.7e-18, -0.5, 1}, 'z', "-0.5z+z^2"},
  };
  for (const Case& k : cases) {
    char out[kTextSize];
    ASSERT_TRUE(PolyToText(k.c.data(), static_cast<int>(k.c.size()), k.v, out, kTextSize));
    EXPECT_STREQ(out, k.want);
  }
  // a text that does not fit is refused, not cut
  const double big[5] = {-1.23456e-05, -1.23456e-05, -1.23456e-05, -1.23456e-05, -1.23456e-05};
  char out[kTextSize] = "x";
  EXPECT_FALSE(PolyToText(big, 5, 's', out, 40));
  EXPECT_STREQ(out, "");
}

TEST_F(TfFormatTest, RootSets)
{
  struct Case {
    double gain;
    std::vector<Complex> r;
    bool tc;
    const char* want;
  } cases[] = {
      {6, {{-1, 0}, {-0.7, 2.35}, {-0.7, -2.35}}, false, "6(s+1)(s^2+1.4s+6.0125)"},
      {6, {{-1, 0}, {-0.7, 2.35}, {-0.7, -2.35}}, true, "6(1+s)(1+0.232848s+0.16632s^2)"},
      {1, {{0, 0}, {-2, 0}}, false, "s(s+2)"},
      {-1, {{0, 0}, {0, 0}, {1, 0}}, true, "-s^2(1-s)"},
      {2.5, {}, false, "2.5"},
      {1, {}, true, "1"},
      {1, {{-4, 0}}, true, "(1+0.25s)"},
      {1, {{0, 1}, {0, -1}}, false, "(s^2+1)"},
      {1, {{0, 2}, {0, -2}}, true, "(1+0.25s^2)"},
      {1, {{-0.5, 0.8660254037844386}, {-0.5, -0.8660254037844386}}, false, "(s^2+s+1)"},
      {1, {{-0.5, 0.8660254037844386}, {-0.5, -0.8660254037844386}}, true, "(1+s+s^2)"},
      {3, {{0.9, 0}}, false, "3(z-0.9)"},
  };
  for (const Case& k : cases) {
    char out[kTextSize];
    const RootSet set = Roots(k.r);
    const char v = std::strchr(k.want, 'z') ? 'z' : 's';
    ASSERT_TRUE(RootsToText(k.gain, v, set, k.tc, out, kTextSize));
    EXPECT_STREQ(out, k.want);
  }
}

// What the formatters write decodes to the same thing again.
TEST_F(TfFormatTest, RoundTrips)
{
  SYSDATA& s = Sys();
  const std::vector<std::vector<double>> polys = {
      {1, 0.5}, {6, 7.4, 2.4, 1}, {-3, 0, 2}, {0.125, -0.5, 0.25, 1, 2}, {0, 0, 1}};
  for (const auto& c : polys) {
    char text[kTextSize];
    ASSERT_TRUE(PolyToText(c.data(), static_cast<int>(c.size()), 's', text, kTextSize));
    Polynomial p;
    ClearError();
    s.currentVariable = ' ';
    ASSERT_TRUE(PolyDecode(s, text, p)) << text << ": " << ErrorMessage();
    ASSERT_EQ(p.n, static_cast<int>(c.size())) << text;
    for (int i = 0; i < p.n; ++i)
      EXPECT_NEAR(p.c[i], c[static_cast<std::size_t>(i)], 1e-12) << text;
  }
  const char* factored[] = {"2(s+1)(s^2+2s+5)", "(s+0.5)(s+4)", "s^2(s+3)", "(s^2+4)"};
  for (const char* text : factored)
    for (bool tc : {false, true}) {
      RootSet a, b;
      double ga = 1, gb = 1;
      ClearError();
      ASSERT_TRUE(RootDecode(s, text, a, ga));
      char out[kTextSize];
      ASSERT_TRUE(RootsToText(ga, 's', a, tc, out, kTextSize));
      ASSERT_TRUE(RootDecode(s, out, b, gb)) << out << ": " << ErrorMessage();
      // the time-constant form carries the static gain in its factors
      Polynomial pa, pb;
      ASSERT_TRUE(PolyDecode(s, text, pa));
      ASSERT_TRUE(PolyDecode(s, out, pb)) << out;
      ASSERT_EQ(pa.n, pb.n) << out;
      const double scale = tc ? pa.c[pa.n - 1] / pb.c[pb.n - 1] : 1.0;
      for (int i = 0; i < pa.n; ++i)
        EXPECT_NEAR(pa.c[i], pb.c[i] * scale, 1e-5 * std::fabs(pa.c[i]) + 1e-12) << text << " -> " << out;
    }
}

}  // namespace
