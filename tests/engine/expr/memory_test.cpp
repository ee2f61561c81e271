// The built-ins with memory over a simulated clock: the restart pass, the
// first real step (which repeats the initial time), later steps, the
// once-only rule and the time-only rule.

#include "tests/engine/expr/ExprTestSupport.h"

#include "engine/expr/EvalContext.h"

#include <cmath>
#include <optional>
#include <set>
#include <vector>

namespace {

// Compiles expressions of the cost-function variables and drives them as
// the time engine does: one restart pass at t = 0, then real steps at
// 0, h, 2h, ...
class ClockTest : public ExprTest {
protected:
  void SetUp() override
  {
    ExprTest::SetUp();
    // The built-ins read this context, not the loop model.
    Sys().activeDomain = ActiveDomain::Frequency;
    scope_.emplace(ctx_);
  }

  void TearDown() override
  {
    scope_.reset();
    ExprTest::TearDown();
  }

  EvalContext ctx_;
  std::optional<EvalScope> scope_;

  CompiledExpr Compile(const char* text)
  {
    static const char* const kNames[] = {"t", "y", "u", "r", "e"};
    CompiledExpr e;
    BindVariables(e, kNames, 5);
    EXPECT_TRUE(parse(text, e)) << text << ": " << Pending();
    return e;
  }

  static double At(CompiledExpr& e, double t, double y = 0.0)
  {
    e.vars[0].value = t;
    e.vars[1].value = y;
    return eval(e);
  }

  void Restart(double h)
  {
    ctx_.timeStep = h;
    ctx_.time = 0.0;
    ctx_.restart = true;
  }

  void StepTo(double t)
  {
    ctx_.restart = false;
    ctx_.time = t;
  }

  // Drives e at step h: the restart pass, then the real steps k = 0..last,
  // with the output y(t) (0 without one). The values in that order.
  std::vector<double> Drive(CompiledExpr& e, double h, int last, double (*y)(double) = nullptr)
  {
    Restart(h);
    std::vector<double> v{At(e, 0.0, y ? y(0.0) : 0.0)};
    for (int k = 0; k <= last; ++k) {
      StepTo(k * h);
      v.push_back(At(e, k * h, y ? y(k * h) : 0.0));
    }
    return v;
  }
};

TEST_F(ClockTest, IntegOfOneIsTPlusH)
{
  const double h = 0.1;
  CompiledExpr e = Compile("integ(1)");
  const std::vector<double> v = Drive(e, h, 20);
  EXPECT_EQ(v[0], 0.0);
  for (int k = 0; k <= 20; ++k)
    EXPECT_NEAR(v[k + 1], k * h + h, 1e-12) << k;
  EXPECT_FALSE(ErrorPending()) << Pending();
}

TEST_F(ClockTest, IntegIsTheTrapeziumRule)
{
  const double h = 0.01;
  CompiledExpr e = Compile("integ(t*t)");
  // Trapezium error for t^2 over [0, 1] is h^2/6.
  EXPECT_NEAR(Drive(e, h, 100).back(), 1.0 / 3.0 + h * h / 6.0, 1e-12);
}

TEST_F(ClockTest, DiffOfTIsZeroThenOne)
{
  const double h = 0.05;
  CompiledExpr e = Compile("diff(t)");
  const std::vector<double> v = Drive(e, h, 9);
  EXPECT_EQ(v[0], 0.0);
  EXPECT_EQ(v[1], 0.0);
  for (int k = 1; k < 10; ++k)
    EXPECT_NEAR(v[k + 1], 1.0, 1e-12) << k;
}

TEST_F(ClockTest, DiffWithNoStepGivesTheLargestFloat)
{
  CompiledExpr e = Compile("diff(t)");
  Restart(0.0);
  At(e, 0.0);
  StepTo(1.0);
  EXPECT_DOUBLE_EQ(At(e, 1.0), 3.4028234663852886e+38);
}

TEST_F(ClockTest, ExtremesAndTheirTimesOverASine)
{
  const double h = 0.01;
  CompiledExpr mx = Compile("max(sin(t))");
  CompiledExpr mn = Compile("min(sin(t))");
  CompiledExpr tmx = Compile("tmax(sin(t))");
  CompiledExpr tmn = Compile("tmin(sin(t))");
  Restart(h);
  for (CompiledExpr* e : {&mx, &mn, &tmx, &tmn})
    EXPECT_EQ(At(*e, 0.0), 0.0);
  double vmax = 0, vmin = 0, tmax = 0, tmin = 0;
  for (int k = 0; k <= 600; ++k) {
    const double t = k * h;
    StepTo(t);
    vmax = At(mx, t);
    vmin = At(mn, t);
    tmax = At(tmx, t);
    tmin = At(tmn, t);
  }
  EXPECT_NEAR(vmax, 1.0, 1e-4);
  EXPECT_NEAR(vmin, -1.0, 1e-4);
  EXPECT_NEAR(tmax, M_PI / 2, h);
  EXPECT_NEAR(tmin, 3 * M_PI / 2, h);
  EXPECT_FALSE(ErrorPending()) << Pending();
}

TEST_F(ClockTest, TzeroKeepsTheFirstCrossing)
{
  const double h = 0.01;
  CompiledExpr e = Compile("tzero(cos(t))");
  const std::vector<double> v = Drive(e, h, 700);
  for (int k = 0; k * h < 1.5; ++k)
    EXPECT_EQ(v[k + 1], 0.0) << k;
  // Linear interpolation between the samples around pi/2.
  EXPECT_NEAR(v.back(), M_PI / 2, 1e-5);
}

TEST_F(ClockTest, TsetIsTheTimeOfTheLastEntryIntoTheBand)
{
  // A decaying oscillation exp(-t)cos(5t) enters the band 0.1 for good near
  // t where exp(-t) ~ 0.1; tset must interpolate the last entry and stay.
  const double h = 0.001;
  CompiledExpr e = Compile("tset(y,0.1)");
  const auto output = [](double t) { return std::exp(-t) * std::cos(5 * t); };
  const std::vector<double> v = Drive(e, h, 8000, output);
  double lastEntry = 0.0, prev = output(0.0);
  for (int k = 0; k <= 8000; ++k) {
    const double t = k * h, y = output(t);
    if (std::fabs(y) <= 0.1 && std::fabs(prev) > 0.1)
      lastEntry = t;
    if (std::fabs(y) > 0.1) {
      EXPECT_DOUBLE_EQ(v[k + 1], t);
    }
    prev = y;
  }
  EXPECT_NEAR(v.back(), lastEntry, h);
  EXPECT_GT(v.back(), 1.5);
}

TEST_F(ClockTest, SecondUseAtOneStepIsRefused)
{
  struct Case {
    std::vector<const char*> texts;
    const char* message;
  };
  const Case cases[] = {
      {{"max(y)+max(t)"}, "max() can be used once only"},
      {{"integ(e)", "integ(y)"}, "integ() can be used once only"},
      {{"min(y)", "min(t)"}, "min() can be used once only"},
      {{"diff(y)*diff(t)"}, "diff() can be used once only"},
      {{"tmax(y)", "tmax(y)"}, "tmax() can be used once only"},
      {{"tmin(y)", "tmin(y)"}, "tmin() can be used once only"},
      {{"tzero(y)", "tzero(y)"}, "tzero() can be used once only"},
      {{"tset(y,1)+tset(y,2)"}, "tset() can be used once only"},
  };
  for (const Case& c : cases) {
    ClearError();
    std::vector<CompiledExpr> exprs;
    for (const char* text : c.texts)
      exprs.push_back(Compile(text));
    Restart(0.1);
    for (CompiledExpr& e : exprs)
      At(e, 0.0);
    EXPECT_FALSE(ErrorPending()) << "restart pass: " << Pending();
    StepTo(0.0);
    for (CompiledExpr& e : exprs)
      At(e, 0.0);
    EXPECT_EQ(Pending(), c.message) << c.texts[0];
  }
}

TEST_F(ClockTest, MeasuresWorkOnlyInTheTimeDomain)
{
  const std::pair<const char*, const char*> cases[] = {
      {"max(1)", "max() only available in time domain"},     {"min(1)", "min() only available in time domain"},
      {"diff(1)", "diff() only available in time domain"},   {"integ(1)", "integ() only available in time domain"},
      {"tmax(1)", "tmax() only available in time domain"},   {"tmin(1)", "tmin() only available in time domain"},
      {"tzero(1)", "tzero() only available in time domain"}, {"tset(1,1)", "tset() only available in time domain"},
      {"imp(1)", "imp() only available in time domain"},     {"prbs(4)", "prbs() only available in time domain"},
  };
  for (ActiveDomain d : {ActiveDomain::Frequency, ActiveDomain::Root, ActiveDomain::Nonlinear}) {
    ctx_.domain = d;
    for (const auto& [text, message] : cases) {
      ClearError();
      EXPECT_EQ(EvalConstant(text), 0.0) << text;
      EXPECT_EQ(Pending(), message);
    }
  }
}

TEST_F(ClockTest, ImpulseHasUnitArea)
{
  const double h = 0.02;
  CompiledExpr e = Compile("imp(t-0.11)");
  Restart(h);
  double area = 0.0;
  for (int k = 0; k < 100; ++k) {
    StepTo(k * h);
    area += At(e, k * h) * h;
  }
  EXPECT_NEAR(area, 1.0, 1e-9);

  // A sampled loop gets a unit sample lasting one sample-hold period.
  ctx_.kind = SystemKind::SampledData;
  ctx_.sampleHold = 0.1;
  EXPECT_EQ(At(e, 0.16), 1.0);
  EXPECT_EQ(At(e, 0.22), 0.0);
  EXPECT_EQ(At(e, 0.05), 0.0);
  EXPECT_FALSE(ErrorPending());
}

// Runs prbs(n) for many sample periods and returns its values, one per
// period.
std::vector<int> PrbsSamples(EvalContext& ctx_, CompiledExpr& e, int periods, int stepsPerPeriod, double T)
{
  const double h = T / stepsPerPeriod;
  ctx_.sampleHold = T;
  ctx_.timeStep = h;
  ctx_.time = 0.0;
  ctx_.restart = true;
  eval(e);
  std::vector<int> out;
  int last = 0;
  for (int k = 0; k < periods * stepsPerPeriod; ++k) {
    ctx_.restart = false;
    ctx_.time = k * h;
    const int v = static_cast<int>(eval(e));
    if (k % stepsPerPeriod == 0)
      out.push_back(v);
    else
      EXPECT_EQ(v, last) << "changed inside a sample period at step " << k;
    last = v;
  }
  return out;
}

TEST_F(ClockTest, PrbsHasMaximalPeriod)
{
  for (int n = 2; n <= 9; ++n) {
    const std::string text = "prbs(" + std::to_string(n) + ".7)";
    CompiledExpr e = Compile(text.c_str());
    const int period = (1 << n) - 1;
    const std::vector<int> s = PrbsSamples(ctx_, e, 3 * period + 20, 4, 0.1);
    ASSERT_FALSE(ErrorPending()) << n << ": " << Pending();
    for (int v : s)
      ASSERT_TRUE(v == 1 || v == -1);
    // Skip the start-up samples, then the sequence repeats with period
    // 2^n - 1 and no shorter period.
    const int from = 20;
    for (std::size_t i = from; i + period < s.size(); ++i)
      EXPECT_EQ(s[i], s[i + period]) << "n=" << n << " i=" << i;
    for (int p = 1; p < period; ++p) {
      bool same = true;
      for (std::size_t i = from; i + p < s.size() && same; ++i)
        same = s[i] == s[i + p];
      EXPECT_FALSE(same) << "n=" << n << " repeats after " << p;
    }
  }
}

TEST_F(ClockTest, PrbsGuards)
{
  ctx_.sampleHold = 0.0;
  EXPECT_EQ(EvalConstant("prbs(4)"), 0.0);
  EXPECT_EQ(Pending(), "Set a non-zero sample-hold time to use prbs()");
  ctx_.sampleHold = 0.1;
  for (const char* text : {"prbs(10)", "prbs(1.9)", "prbs(-3)"}) {
    ClearError();
    EXPECT_EQ(EvalConstant(text), 0.0);
    EXPECT_EQ(Pending(), "prbs() function argument must be between 2 and 9") << text;
  }
  // With steps longer than twice the period every step shifts, and a
  // second call in the same step is refused.
  ClearError();
  CompiledExpr e = Compile("prbs(4)+prbs(4)");
  ctx_.sampleHold = 0.1;
  Restart(0.3);
  At(e, 0.0);
  StepTo(0.0);
  At(e, 0.0);
  EXPECT_EQ(Pending(), "prbs() can be used once only");
}

TEST_F(ClockTest, HystFollowsWithAPlayInEveryDomain)
{
  ctx_.domain = ActiveDomain::Nonlinear;
  static const char* const kX[] = {"x"};
  CompiledExpr e;
  BindVariables(e, kX, 1);
  ASSERT_TRUE(parse("hyst(x,-0.5)", e));
  struct Step {
    double x;
    double out;
  };
  // Rising, reversing inside the play, then falling through it.
  const Step steps[] = {{0.0, 0.0}, {1.0, 0.5},   {2.0, 1.5},   {1.5, 1.5}, {1.0, 1.5},
                        {0.5, 1.0}, {-1.0, -0.5}, {-0.5, -0.5}, {0.4, -0.1}};
  ctx_.restart = true;
  e.vars[0].value = 0.0;
  EXPECT_EQ(eval(e), 0.0);
  ctx_.restart = false;
  for (const Step& s : steps) {
    e.vars[0].value = s.x;
    EXPECT_NEAR(eval(e), s.out, 1e-12) << s.x;
  }
  // A restart starts afresh at the new input.
  ctx_.restart = true;
  e.vars[0].value = 7.0;
  EXPECT_EQ(eval(e), 7.0);
  EXPECT_FALSE(ErrorPending());
}

}  // namespace
