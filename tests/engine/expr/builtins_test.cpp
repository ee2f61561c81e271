// The memoryless built-ins: results, guards and the messages of the
// mathematics library's faults, evaluated through the language.

#include "tests/engine/expr/ExprTestSupport.h"

#include "engine/expr/MathFunctions.h"
#include "engine/expr/SignalFunctions.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDblMax = std::numeric_limits<double>::max();

struct Case {
  const char* text;
  double value;
  const char* message;  // "" when none is raised
};

// Values by hand; tolerance relative 1e-12 (absolute 1e-12 near 0).
const Case kCases[] = {
    // Guarded division.
    {"1/0", builtin::kFloatMin, "Division by zero"},
    {"1/(-0.0)", builtin::kFloatMin, "Division by zero"},
    {"-1/(0-1e-39)", -builtin::kFloatMin, "Division by zero"},
    {"1/4", 0.25, ""},
    {"1/2e-38", 5e37, ""},
    // exp and its guard.
    {"exp(88)", std::exp(88.0), ""},
    {"exp(89)", builtin::kFloatMax, "Too big"},
    {"exp(-800)", 0.0, "Too small"},
    {"exp(0)", 1.0, ""},
    // Library faults.
    {"sqrt(-1)", 0.0, "Function range"},
    {"ln(0)", 0.0, "Function range"},
    {"ln(-1)", 0.0, "Function range"},
    {"log(0)", 0.0, "Function range"},
    {"acs(2)", 0.0, "Function range"},
    {"asn(-1.5)", 0.0, "Function range"},
    {"(-8)^(1/3)", 0.0, "Function range"},
    {"0^(-1)", 0.0, "Function range"},
    {"10^400", kDblMax, "Too big"},
    {"10^(-400)", 0.0, "Too small"},
    // Overflow of any operator or function: the largest double, never inf
    // or nan; the computation goes on from there.
    {"1e308*10", kDblMax, "Too big"},
    {"1e308*10-1e308*10", 0.0, "Too big"},
    {"-1e308-1e308", kDblMax, "Too big"},
    {"1e308/1e-10", kDblMax, "Too big"},
    {"2^1024", kDblMax, "Too big"},
    {"deg(1e307)", kDblMax, "Too big"},
    {"sum(1e308,1e308)", kDblMax, "Too big"},
    {"mag(3e200,4e200)", 5e200, ""},
    {"1e308*1.7976", 1e308 * 1.7976, ""},
    {"sin(1e19)", 0.0, "Loss of accuracy"},
    {"cos(-1e300)", 0.0, "Loss of accuracy"},
    {"(-8)^3", -512.0, ""},
    {"(-2)^-2", 0.25, ""},
    {"0^0", 1.0, ""},
    {"0^2", 0.0, ""},
    {"sqrt(2)^2", 2.0, ""},
    {"ln(exp(2))", 2.0, ""},
    {"log(1000)", 3.0, ""},
    {"acs(-1)", kPi, ""},
    {"asn(1)", kPi / 2, ""},
    {"atn(1)*4", kPi, ""},
    {"tan(pi/4)", 1.0, ""},
    // Decibels and angles.
    {"db(100)", 40.0, ""},
    {"db(-1)", -builtin::kFloatMin, "Function range"},
    {"db(0)", 0.0, "Function range"},
    {"idb(40)", 100.0, ""},
    {"idb(db(7))", 7.0, ""},
    {"deg(pi)", 180.0, ""},
    {"rad(180)", kPi, ""},
    // Signs and geometry.
    {"sgn(0)", 0.0, ""},
    {"sgn(-2)", -1.0, ""},
    {"sgn(3)", 1.0, ""},
    {"relay(0)", -1.0, ""},
    {"relay(0.1)", 1.0, ""},
    {"neg(2)", -2.0, ""},
    {"abs(-3)", 3.0, ""},
    {"mag(-3,4)", 5.0, ""},
    {"arg(-1,0)", kPi, ""},
    {"arg(0,0)", -kPi / 2, ""},
    {"arg(0,1)", kPi / 2, ""},
    {"arg(1,1)", kPi / 4, ""},
    {"arg(-1,-1)", -3 * kPi / 4, ""},
    {"arg(-1,1)", 3 * kPi / 4, ""},
    {"mod(7,3)", 1.0, ""},
    {"mod(-7,3)", -1.0, ""},
    {"mod(7.5,-2)", 1.5, ""},
    {"mod(1e20,3)", std::fmod(1e20, 3.0), ""},
    {"mod(1,0)", 0.0, "Division by zero"},
    {"sum(2,3)", 5.0, ""},
    // Static nonlinearities.
    {"dzone(0.1,0.2)", 0.0, ""},
    {"dzone(0.5,-0.2)", 0.3, ""},
    {"dzone(-0.5,0.2)", -0.3, ""},
    {"clip(0.5,1)", 0.5, ""},
    {"clip(3,-1)", 1.0, ""},
    {"clip(-3,1)", -1.0, ""},
    {"quant(2.5,1)", 3.0, ""},
    {"quant(-2.5,1)", -3.0, ""},
    {"quant(0.5,1)", 1.0, ""},
    {"quant(-0.5,1)", -1.0, ""},
    {"quant(-0.4,1)", 0.0, ""},
    {"quant(0.74,-0.25)", 0.75, ""},
    {"quant(1,0)", 1.0, "Too small"},
    {"pulse(0,1)", 0.0, ""},
    {"pulse(1,1)", 1.0, ""},
    {"pulse(0.5,1)", 1.0, ""},
    {"pulse(1.5,1)", 0.0, ""},
    // Waves.
    {"sqwave(0)", 1.0, ""},
    {"sqwave(3.2)", -1.0, ""},
    {"sqwave(-0.1)", -1.0, ""},
    {"sqwave(2*pi+0.1)", 1.0, ""},
    {"triwave(0)", 0.0, ""},
    {"triwave(pi/2)", 1.0, ""},
    {"triwave(pi)", 0.0, ""},
    {"triwave(3*pi/2)", -1.0, ""},
    {"triwave(-pi/2)", -1.0, ""},
    {"triwave(pi/4)", 0.5, ""},
};

class Builtin : public ExprTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Builtin, GivesItsResultAndMessage)
{
  const Case& c = GetParam();
  CompiledExpr e;
  ASSERT_TRUE(parse(c.text, e)) << c.text << ": " << Pending();
  const double v = eval(e);
  EXPECT_EQ(Pending(), c.message) << c.text;
  EXPECT_NEAR(v, c.value, 1e-12 * std::max(1.0, std::fabs(c.value))) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Library, Builtin, ::testing::ValuesIn(kCases));

TEST_F(ExprTest, DivisionByZeroGuardHasTheSignOfTheDivisor)
{
  EXPECT_GT(builtin::Div(1.0, -0.0), 0.0);
  EXPECT_LT(builtin::Div(1.0, -1e-39), 0.0);
  EXPECT_EQ(Pending(), "Division by zero");
}

TEST_F(ExprTest, QuantRoundsToTheNearestStep)
{
  for (double x = -3.0; x <= 3.0; x += 0.0625) {
    const double q = builtin::Quant(x, 0.5);
    EXPECT_LE(std::fabs(q - x), 0.25 + 1e-12) << x;
    EXPECT_DOUBLE_EQ(std::remainder(q, 0.5), 0.0) << x;
    EXPECT_FALSE(std::signbit(q) && q == 0.0) << "negative zero at " << x;
  }
}

TEST_F(ExprTest, WavesHavePeriodTwoPi)
{
  for (double x = -10.0; x < 10.0; x += 0.37) {
    EXPECT_EQ(builtin::Sqwave(x), builtin::Sqwave(x + 2 * kPi)) << x;
    EXPECT_NEAR(builtin::Triwave(x), builtin::Triwave(x + 2 * kPi), 1e-9) << x;
    EXPECT_LE(std::fabs(builtin::Triwave(x)), 1.0);
    // Same sign as sin away from its zeros.
    if (std::fabs(std::sin(x)) > 1e-6) {
      EXPECT_EQ(builtin::Sqwave(x) > 0, std::sin(x) > 0) << x;
    }
  }
}

TEST_F(ExprTest, GaussHasMeanZeroAndDeviationOfItsArgument)
{
  constexpr int kDraws = 20000;
  double sum = 0.0, squares = 0.0;
  for (int i = 0; i < kDraws; ++i) {
    const double g = builtin::Gauss(2.0);
    sum += g;
    squares += g * g;
  }
  const double mean = sum / kDraws;
  const double sd = std::sqrt(squares / kDraws - mean * mean);
  // 12 uniform draws: sd = 2*sqrt(12*(32768^2-1)/12)/32767 ~ 2.0001.
  EXPECT_NEAR(mean, 0.0, 0.06);
  EXPECT_NEAR(sd, 2.0, 0.06);
}

TEST_F(ExprTest, RandomIntCoversItsRange)
{
  int lo = 32767, hi = 0;
  for (int i = 0; i < 100000; ++i) {
    const int r = builtin::RandomInt();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
    lo = std::min(lo, r);
    hi = std::max(hi, r);
  }
  EXPECT_LT(lo, 10);
  EXPECT_GT(hi, 32757);
}

TEST_F(ExprTest, NonFiniteArgumentsFollowTheLibrary)
{
  EXPECT_EQ(builtin::Sin(std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(Pending(), "Function range");
  ClearError();
  EXPECT_TRUE(std::isnan(builtin::Sqrt(std::nan(""))));
  EXPECT_EQ(builtin::Exp(-std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_FALSE(ErrorPending()) << Pending();
}

TEST_F(ExprTest, ErrorsDoNotStopEvaluation)
{
  // The first fault is overwritten by the last; eval runs to the end.
  CompiledExpr e;
  ASSERT_TRUE(parse("sqrt(-1)+1/0+5", e));
  const double v = eval(e);
  EXPECT_EQ(Pending(), "Division by zero");
  EXPECT_NEAR(v, 5.0, 1e-12);
}

}  // namespace
