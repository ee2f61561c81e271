// The transfer-function parser: one table of good texts with their
// polynomials, one of bad texts with their messages, then pre-evaluation,
// parameters, variables and the factored decoding.

#include "engine/model/TfParser.h"
#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

class TfParserTest : public ::testing::Test {
protected:
  ModelScope model;
  SYSDATA& s = Sys();

  void SetUp() override
  {
    for (int i = 0; i < 4; ++i)
      SetParameter(i, 1.0);
  }
  void TearDown() override
  {
    for (int i = 0; i < 4; ++i)
      SetParameter(i, 1.0);
  }
  // Decodes text from [1]; false with the message in err.
  bool Decode(const char* text, Polynomial& p, std::string& err)
  {
    ClearError();
    s.currentVariable = ' ';
    p = Polynomial{};
    const bool ok = PolyDecode(s, text, p);
    err = ErrorPending() ? ErrorMessage() : "";
    EXPECT_EQ(ok, !ErrorPending()) << text;
    return ok;
  }
};

TEST_F(TfParserTest, GoodTexts)
{
  struct Case {
    const char* text;
    std::vector<double> c;
    char variable;
  } cases[] = {
      {"1+0.5s", {1, 0.5}, 's'},
      {"s", {0, 1}, 's'},
      {"6", {6}, ' '},
      {"", {1}, ' '},
      {"(s+1)(s^2+1.4s+6)", {6, 7.4, 2.4, 1}, 's'},
      {"2(1+0.1s)", {2, 0.2}, 's'},
      {"2(s+1)", {2, 2}, 's'},
      {"a(s+b)", {1, 1}, 's'},
      {"[2*pi]s^2+1", {1, 0, 6.283}, 's'},  // values go in with 4 significant digits
      {"z-0.9048", {-0.9048, 1}, 'z'},
      {"1e-3s+1", {1, 0.001}, 's'},
      {"2E+1s", {0, 20}, 's'},
      {" 1 + 2 s ", {1, 2}, 's'},
      {"s^4+1", {1, 0, 0, 0, 1}, 's'},
      {"0s^3+s", {0, 1}, 's'},        // a zero coefficient does not raise the order
      {"s^2-s^2+1", {1, 0, 0}, 's'},  // cancelled terms keep the count
      {"(s+1)(s-1)", {-1, 0, 1}, 's'},
      {"s(s+2)", {0, 2, 1}, 's'},
      {"(s+1)2", {2, 2}, 's'},
      {"0.5s(s+1)", {0, 0.5, 0.5}, 's'},
      {"-s+3", {3, -1}, 's'},
      {"(s^0+s)", {1, 1}, 's'},
      {"0", {0}, ' '},
      {"(s+1)(0)", {0}, 's'},  // a zero factor: the zero polynomial
      {"[1/4]z^2", {0, 0, 0.25}, 'z'},
  };
  for (const Case& k : cases) {
    Polynomial p;
    std::string err;
    ASSERT_TRUE(Decode(k.text, p, err)) << k.text << ": " << err;
    ASSERT_EQ(p.n, static_cast<int>(k.c.size())) << k.text;
    for (int i = 0; i < p.n; ++i)
      EXPECT_NEAR(p.c[i], k.c[static_cast<std::size_t>(i)], 1e-12) << k.text << " c" << i;
    EXPECT_EQ(s.currentVariable, k.variable) << k.text;
  }
}

TEST_F(TfParserTest, BadTextsAndTheirMessages)
{
  const std::string long80(80, '1');
  std::string wide = "[1]";
  for (int i = 0; i < 19; ++i)
    wide += "+[1]";  // 79 characters
  std::string expands = "a";
  while (expands.size() < 79)
    expands += "+a";  // each a becomes 10 characters
  SetParameter(0, 1.234e-300);
  struct Case {
    std::string text;
    const char* message;
  } cases[] = {
      {"(s+1)()", "Term expected"},
      {"()", "Term expected"},
      {"s+1(", "Term expected"},
      {"s+1)", "No corresponding '('"},
      {"((s+1))", "Nested brackets"},
      {"(s", "Missing ')'"},
      {"(s+1", "Missing brackets"},
      {"s+1(s+2)", "Missing brackets"},
      {"(s+1)s+2", "Missing brackets"},
      {"s^5", "Order too high"},
      {"s^9+1", "Order too high"},
      {"s^12", "Invalid term"},
      {"s2", "Invalid term"},
      {"s^", "Invalid term"},
      {"s^x", "Invalid term"},
      {"2*s", "Invalid variable"},
      {"x+1", "Invalid variable"},
      {"(s+1)(s+2)(s+3)(s+4)(s+5)", "Order too high"},
      {"(s^2+1)(s^3+1)", "Order too high"},
      {"s+z", "s & z mixed in transfer function"},
      {"(z+1)(s+1)", "s & z mixed in transfer function"},
      {"]s", "Missing '['"},
      {"[2*pi", "Missing ']'"},
      {"[]s", "Term expected"},
      {"+", "Term expected"},
      {"s+", "Term expected"},
      {" ", "Term expected"},
      {long80, "Expression too long"},
      {expands, "Expression too long"},
      {wide, ""},  // fits: 20 values of 1
  };
  for (const Case& k : cases) {
    Polynomial p;
    std::string err;
    if (k.message[0] == '\0') {
      EXPECT_TRUE(Decode(k.text.c_str(), p, err)) << k.text << ": " << err;
      continue;
    }
    EXPECT_FALSE(Decode(k.text.c_str(), p, err)) << k.text;
    EXPECT_EQ(err, k.message) << k.text;
  }
  // an expression error inside brackets passes through unchanged
  Polynomial p;
  std::string err;
  EXPECT_FALSE(Decode("[1/0]s+1", p, err));
  EXPECT_EQ(err, "Division by zero");
  EXPECT_FALSE(Decode("[2+]s", p, err));
  EXPECT_FALSE(err.empty());
}

TEST_F(TfParserTest, MixedLettersWithoutStrictCheck)
{
  s.strictCheck = false;
  Polynomial p;
  std::string err;
  ASSERT_TRUE(Decode("s+z", p, err)) << err;
  EXPECT_EQ(s.currentVariable, 's');
  EXPECT_EQ(p.n, 2);
  EXPECT_DOUBLE_EQ(p.c[1], 2.0);  // both count as the first letter's power
  s.strictCheck = true;
}

TEST_F(TfParserTest, PreEvalSubstitutesParameters)
{
  struct Case {
    double a;
    const char* src;
    const char* want;
  } cases[] = {
      {1, "as", "s"},      {-1, "as", "-s"},
      {1, "a s", "1 s"},   {-2, "-as", "+2s"},
      {2, "s+a", "s+2"},   {-2, "s+a", "s-2"},
      {-2, "s-a", "s+2"},  {0.5, "(s+a)", "(s+0.5)"},
      {1, "-as", "-s"},    {1234567, "a", "1.235e+06"},
      {1, "[2*3]s", "6s"}, {1, "1+[1]s", "1+s"},
      {1, "e1", "e1"},
  };
  for (const Case& k : cases) {
    SetParameter(0, k.a);
    WorkText out;
    ClearError();
    ASSERT_TRUE(PreEval(k.src, out)) << k.src << ": " << ErrorMessage();
    EXPECT_STREQ(out, k.want) << k.src << " with a = " << k.a;
  }
  SetParameter(1, 3);
  SetParameter(2, -4);
  SetParameter(3, 0.25);
  WorkText out;
  ASSERT_TRUE(PreEval("b+cs+ds^2", out));
  EXPECT_STREQ(out, "3-4s+0.25s^2");
}

// A pre-evaluation that fails part way leaves a terminated working copy:
// what was copied before the fault, never the bytes that were there before.
TEST_F(TfParserTest, FailedPreEvalLeavesATerminatedCopy)
{
  SetParameter(0, 2);
  const struct {
    const char* src;
    const char* message;
    const char* copy;
  } cases[] = {{"s+1]", "Missing '['", "s+1"},
               {"as+[1/0]", "Division by zero", "2s+"},
               {"s+[2", "Missing ']'", "s+"},
               {"3s-[]", "Term expected", "3s-"}};
  for (const auto& k : cases) {
    WorkText out;
    std::memset(out, 'x', sizeof out);
    ClearError();
    EXPECT_FALSE(PreEval(k.src, out)) << k.src;
    EXPECT_STREQ(ErrorMessage(), k.message) << k.src;
    ASSERT_NE(std::memchr(out, '\0', sizeof out), nullptr) << k.src;
    EXPECT_STREQ(out, k.copy) << k.src;
  }
}

TEST_F(TfParserTest, WorkingCopyLimitHolds)
{
  // every text of up to 79 characters either fits the working copy or is
  // refused; the copy never exceeds 148 characters
  for (int n = 1; n <= 79; ++n) {
    const std::string t =
        std::string(static_cast<std::size_t>(n / 2), 'a') + std::string(static_cast<std::size_t>(n - n / 2), '-');
    SetParameter(0, -1.234e-300);
    WorkText out;
    ClearError();
    if (PreEval(t.c_str(), out))
      EXPECT_LE(std::strlen(out), 148u) << n;
    else
      EXPECT_STREQ(ErrorMessage(), "Expression too long") << n;
  }
}

TEST_F(TfParserTest, FactoredDecoding)
{
  RootSet set;
  double gain = 1.0;
  s.currentVariable = ' ';
  ClearError();
  ASSERT_TRUE(RootDecode(s, "6(s+1)(s^2+1.4s+6)", set, gain)) << ErrorMessage();
  EXPECT_DOUBLE_EQ(gain, 6.0);
  ASSERT_EQ(set.n, 3);
  EXPECT_NEAR(set.r[0].re, -1, 1e-12);
  EXPECT_NEAR(set.r[1].re, -0.7, 1e-12);
  EXPECT_NEAR(set.r[1].im, std::sqrt(5.51), 1e-12);

  RootSet full;
  gain = 1.0;
  EXPECT_FALSE(RootDecode(s, "(s+1)(s+2)(s+3)(s+4)(s+5)", full, gain));
  EXPECT_STREQ(ErrorMessage(), "Order too high");
  EXPECT_EQ(full.n, 4);

  struct Bad {
    const char* text;
    const char* message;
  } bad[] = {{"(s+1)()", "Term expected"},
             {"s)", "No corresponding '('"},
             {"((s))", "Nested brackets"},
             {"(s", "Missing ')'"}};
  for (const Bad& b : bad) {
    ClearError();
    RootSet r;
    double g = 1;
    EXPECT_FALSE(RootDecode(s, b.text, r, g)) << b.text;
    EXPECT_STREQ(ErrorMessage(), b.message) << b.text;
  }
}

TEST_F(TfParserTest, ElementFactoredDecoding)
{
  SetText(s.num[kPlant], "2(s+3)");
  SetText(s.den[kPlant], "4s(s+1)");
  s.numRoots.n = s.denRoots.n = 0;
  s.rootGain = 1.0;
  s.currentVariable = ' ';
  ClearError();
  ASSERT_TRUE(DecodeElementFactored(s, kPlant)) << ErrorMessage();
  EXPECT_DOUBLE_EQ(s.rootGain, 2.0 / 4.0);
  EXPECT_EQ(s.numRoots.n, 1);
  EXPECT_EQ(s.denRoots.n, 2);
  EXPECT_TRUE(s.factoredDecodeDone);

  SetText(s.den[kPlant], "1e-21s+1e-22");
  s.numRoots.n = s.denRoots.n = 0;
  ClearError();
  EXPECT_FALSE(DecodeElementFactored(s, kPlant));
  EXPECT_STREQ(ErrorMessage(), "Coefficient too small");
}

}  // namespace
