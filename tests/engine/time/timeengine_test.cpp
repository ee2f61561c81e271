// The time engine: preparation messages, step and samples per loop kind,
// first points, the delay line, inputs, phase plane and cost rules, and the
// runs it refuses.

#include "engine/model/Toolkit.h"
#include "engine/time/LoopSpeed.h"
#include "tests/engine/time/TimeTestSupport.h"

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

const LoopTexts kFirstOrder{.gpNum = "1", .gpDen = "s+1"};
const LoopTexts kBiproper{.gpNum = "s+2", .gpDen = "s+1", .closed = false};

TEST_F(TimeTest, PreparationMessages)
{
  struct Case {
    const char* name;
    LoopTexts loop;
    std::function<void(TimeTest&)> more;
    const char* message;
  } cases[] = {
      {"no plant", {.gpNum = "1", .gpDen = ""}, nullptr, "No plant transfer function"},
      {"improper Gc",
       {.gcNum = "s^2+1", .gcDen = "s+1", .compIn = true},
       nullptr,
       "Controller transfer function must be proper"},
      {"improper Gp", {.gpNum = "s^2", .gpDen = "s+1"}, nullptr, "Plant transfer function must be proper"},
      {"controller alone closed", {.compIn = true, .plantIn = false}, nullptr, "Controller alone must be open-loop"},
      {"biproper closed", {.gpNum = "s+2", .gpDen = "s+1"}, nullptr, "Closed-loop systems must be strictly proper"},
      {"biproper open with noise", kBiproper, [](TimeTest& t) { t.st().loop.noiseInput = true; },
       "Measurement noise not available in open-loop"},
      {"controller alone with load",
       {.compIn = true, .plantIn = false, .closed = false},
       [](TimeTest& t) { t.st().loop.loadInput = true; },
       "Load input not available with controller alone"},
      {"biproper with separate Gc",
       {.gpNum = "s+2", .gpDen = "s+1", .compIn = true, .closed = false},
       [](TimeTest& t) { t.st().loop.fwdNl = true; },
       "Configuration not supported"},
      {"discrete without T", {.gpNum = "1", .gpDen = "z-0.5"}, nullptr, "Sample-hold time is zero"},
      {"classification",
       {.gcNum = "1", .gcDen = "z-1", .gpNum = "1", .gpDen = "s+1", .compIn = true},
       nullptr,
       "Discrete controller must have non-zero sample/Hold time"},
      {"delay of 2001 steps",
       {.gpNum = "1", .gpDen = "s+1", .delay = 20.01},
       [](TimeTest& t) { t.st().points = 1000; },
       "Delay too big"},
      {"reference", kFirstOrder, [](TimeTest& t) { SetText(t.st().refText, "sin("); },
       "Invalid reference input function"},
      {"load", kFirstOrder,
       [](TimeTest& t) {
         t.st().loop.loadInput = true;
         SetText(t.st().loadText, "");
       },
       "Invalid load input function"},
      {"noise", kFirstOrder,
       [](TimeTest& t) {
         t.st().loop.noiseInput = true;
         SetText(t.st().noiseText, "2t");
       },
       "Invalid measurement noise function"},
      {"forward", kFirstOrder,
       [](TimeTest& t) {
         t.st().loop.fwdNl = true;
         SetText(t.sys().fwdNlText, "foo(x)");
       },
       "Invalid forward path non-linear function"},
      {"feedback", kFirstOrder,
       [](TimeTest& t) {
         t.st().loop.fbkNl = true;
         SetText(t.sys().fbkNlText, "x+");
       },
       "Invalid feedback path non-linear function"},
      {"cost", kFirstOrder,
       [](TimeTest& t) {
         t.st().costOnGo = true;
         SetText(t.st().costText, "integ(q)");
       },
       "Invalid cost function"},
      {"phase X", kFirstOrder,
       [](TimeTest& t) {
         t.st().plotType = TransPlot::PhasePlane;
         SetText(t.st().phaseXText, "y)");
       },
       "Invalid phase plane X-axis function"},
      {"phase Y", kFirstOrder,
       [](TimeTest& t) {
         t.st().plotType = TransPlot::PhasePlane;
         SetText(t.st().phaseYText, "diff(y,1)");
       },
       "Invalid phase plane Y-axis function"},
      {"error while running", kFirstOrder, [](TimeTest& t) { SetText(t.st().refText, "sqrt(t-5)"); }, "Function range"},
      {"nonlinearity error while running", kFirstOrder,
       [](TimeTest& t) {
         t.st().loop.fbkNl = true;
         SetText(t.sys().fbkNlText, "quant(x,0)");
       },
       "Too small"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // a good run first: a refused run must not leave it readable
    TearDown();
    SetUp();
    SetLoop(kFirstOrder);
    ASSERT_EQ(Run(), "");
    ASSERT_TRUE(res().valid);
    SetLoop(c.loop);
    if (c.more)
      c.more(*this);
    EXPECT_EQ(Run(), c.message);
    EXPECT_FALSE(res().valid);
    EXPECT_EQ(res().pointCount, 0);
  }
}

TEST_F(TimeTest, StepAndSamplesPerLoopKind)
{
  struct Case {
    const char* name;
    LoopTexts loop;
    int points;
    double step;
    int m;
    int count;
  } cases[] = {
      {"continuous", kFirstOrder, 200, 0.05, 1, 201},
      // h0 = 0.05, m = trunc(2 + 1) = 3
      {"sampled-data", {.gpNum = "1", .gpDen = "s+1", .hold = 0.1}, 200, 0.1 / 3, 3, 301},
      {"sampled-data, T below h0", {.gpNum = "1", .gpDen = "s+1", .hold = 0.02}, 200, 0.01, 2, 1001},
      {"discrete ignores the points", {.gpNum = "0.1", .gpDen = "z-0.9", .hold = 0.5}, 1000, 0.5, 1, 21},
      // T/h0 = 2e21 does not fit an int: the compensator samples once
      {"sampled-data, huge T",
       {.gcNum = "1", .gcDen = "z-0.5", .gpNum = "1", .gpDen = "s+1", .hold = 1e20, .compIn = true},
       200,
       0.05,
       kTraceCapacity + 1,
       201},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLoop(c.loop);
    st().points = c.points;
    ASSERT_EQ(Run(), "");
    EXPECT_NEAR(res().step, c.step, 1e-12 * c.step);
    EXPECT_EQ(res().stepsPerSample, c.m);
    EXPECT_EQ(res().pointCount, c.count);
    // the control effort changes only at sample instants
    for (int i = 1; i < res().pointCount; ++i) {
      if (i % c.m != 0) {
        EXPECT_EQ(U(i), U(i - 1)) << i;
      }
    }
  }
}

TEST_F(TimeTest, RunsOverTheStoreAreRefusedBeforeTheyStart)
{
  const std::string kText =
      "Run needs 2001 points, the trace holds 2000: shorten the duration or lengthen the sample-hold time";
  struct Case {
    LoopTexts loop;
    double duration;
    const char* message;
  } cases[] = {
      {{.gpNum = "1", .gpDen = "s+1", .hold = 0.01}, 10, kText.c_str()},  // h = T/2
      {{.gpNum = "1", .gpDen = "s+1", .hold = 0.0101}, 10, ""},           // 1981 points
      {{.gpNum = "1", .gpDen = "z-0.5", .hold = 0.005}, 10, kText.c_str()},
      {{.gpNum = "1", .gpDen = "z-0.5", .hold = 0.005}, 9.995, ""},  // exactly 2000
      {{.gpNum = "1", .gpDen = "z-0.5", .hold = 1e-9},
       1e20,
       "Run needs more than 2000 points: shorten the duration or lengthen the sample-hold time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loop.hold);
    SetLoop(c.loop);
    st().points = 1000;
    st().duration = c.duration;
    EXPECT_EQ(Run(), c.message);
    EXPECT_EQ(res().valid, std::string(c.message).empty());
    EXPECT_LE(res().pointCount, kTraceCapacity);
  }
}

TEST_F(TimeTest, FirstPoints)
{
  // strictly proper: the output starts at the initial plant output
  SetLoop(kFirstOrder);
  ASSERT_EQ(Run(), "");
  EXPECT_EQ(Y(0), 0.0);
  EXPECT_EQ(In(0), 1.0);
  sys().plantInitEnabled = true;
  st().initPlantOutput = 0.3;
  ASSERT_EQ(Run(), "");
  EXPECT_FLOAT_EQ(Y(0), 0.3);

  // biproper, open loop: the output jumps with the input; the plant input is
  // K r through the forward nonlinearity plus the load, as at every step
  SetLoop(kBiproper);
  sys().plantInitEnabled = false;
  sys().gain = 2.0;
  st().loop.loadInput = true;
  ASSERT_EQ(Run(), "");
  EXPECT_FLOAT_EQ(Y(0), 3.0);  // (s+2)/(s+1) passes 1 x (2 + 1) at once
  st().loop.fwdNl = true;
  SetText(sys().fwdNlText, "clip(x,0.5)");
  ASSERT_EQ(Run(), "");
  EXPECT_FLOAT_EQ(U(0), 0.5);
  EXPECT_FLOAT_EQ(Y(0), 1.5);
}

TEST_F(TimeTest, DelayOfExactlyTheLongestLineFollowsTheInitialOutputFlag)
{
  // 2000 steps of 0.01: nothing of the response arrives within the run, the
  // line shows the initial plant output, 0 while it is disabled
  SetLoop({.gpNum = "1", .gpDen = "s+1", .delay = 20.0});
  st().points = 1000;
  st().initPlantOutput = 0.25;
  for (const bool enabled : {false, true}) {
    sys().plantInitEnabled = enabled;
    ASSERT_EQ(Run(), "");
    EXPECT_EQ(res().delaySteps, 2000);
    for (int i = 0; i < res().pointCount; ++i)
      ASSERT_FLOAT_EQ(Y(i), enabled ? 0.25 : 0.0) << i;
  }
  // a delay of 3 steps shifts the open-loop response by exactly 3 points
  SetLoop({.gpNum = "1", .gpDen = "s+1", .delay = 0.15, .closed = false});
  sys().plantInitEnabled = false;
  st().points = 200;
  ASSERT_EQ(Run(), "");
  for (int i = 3; i < res().pointCount; ++i)
    ASSERT_NEAR(Y(i), 1 - std::exp(-(i - 3) * 0.05), 1e-6) << i;
}

TEST_F(TimeTest, FractionalDelayOnAFourthOrderLoop)
{
  // Gc Gp of the start-up loop is of order 4; half a step of delay makes
  // its equivalent of order 5. Open loop with a step: the delayed
  // response y(t) = f(t - 0.005), compared with the same run without delay.
  SetLoop({.compIn = true, .closed = false});
  st().points = 1000;
  ASSERT_EQ(Run(), "");
  std::vector<double> plain(static_cast<std::size_t>(res().pointCount));
  for (int i = 0; i < res().pointCount; ++i)
    plain[static_cast<std::size_t>(i)] = Y(i);
  sys().delay = 0.005;
  ASSERT_EQ(Run(), "");
  for (int i = 1; i < res().pointCount; ++i) {
    const double halfway = 0.5 * (plain[static_cast<std::size_t>(i)] + plain[static_cast<std::size_t>(i - 1)]);
    ASSERT_NEAR(Y(i), halfway, 1e-4 * (1 + std::fabs(halfway))) << i;
  }
}

TEST_F(TimeTest, PeriodicInputsFoldTimeIntoOnePeriod)
{
  SetLoop(kFirstOrder);
  SetText(st().refText, "t");
  st().periodic = true;
  st().period = 2.0;
  ASSERT_EQ(Run(), "");
  for (int i = 0; i < res().pointCount; ++i) {
    const double t = i * res().step;
    ASSERT_FLOAT_EQ(In(i), t - 2.0 * std::trunc(t / 2.0)) << t;
  }
  // the input trace shows the load, then the noise, when the reference is off
  st().periodic = false;
  st().loop.refInput = false;
  st().loop.noiseInput = true;
  SetText(st().noiseText, "0.5");
  ASSERT_EQ(Run(), "");
  EXPECT_FLOAT_EQ(In(5), 0.5);
  st().loop.loadInput = true;
  SetText(st().loadText, "-2");
  ASSERT_EQ(Run(), "");
  EXPECT_FLOAT_EQ(In(5), -2.0);
}

TEST_F(TimeTest, PhasePlaneFirstPointAndLastValues)
{
  SetLoop(kFirstOrder);
  st().plotType = TransPlot::PhasePlane;
  sys().plantInitEnabled = true;
  st().initPlantOutput = 0.3;
  ASSERT_EQ(Run(), "");
  const TracePoint& p = res().trace[0];
  EXPECT_EQ(p.u, 0.0f);  // t
  EXPECT_FLOAT_EQ(p.input, 0.3f);
  EXPECT_EQ(p.y, 0.0f);
  // closed loop 1/(s+1) from 0.3: y = 0.5 - 0.2 e^(-2t), dy/dt = 0.4 e^(-2t)
  const TracePoint& q = res().trace[20];
  EXPECT_NEAR(q.u, 1.0, 1e-6);
  EXPECT_NEAR(q.input, 0.5 - 0.2 * std::exp(-2.0), 2e-3);
  EXPECT_NEAR(q.y, 0.4 * std::exp(-2.0), 5e-3);
  EXPECT_FLOAT_EQ(st().phaseX, res().trace[static_cast<std::size_t>(res().pointCount - 1)].input);
}

TEST_F(TimeTest, MeasuresOnceOnlyAcrossCostAndPhasePlane)
{
  struct Case {
    const char* cost;  // "" for none
    const char* phaseY;
    const char* message;
  } cases[] = {
      {"integ(e*e)", "integ(y)", "integ() can be used once only"},
      {"max(y)+max(e)", nullptr, "max() can be used once only"},
      {"", "tmax(y)+tmax(u)", "tmax() can be used once only"},
      {"integ(e*e)", "diff(y)", ""},
  };
  SetLoop(kFirstOrder);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    st().costOnGo = c.cost[0] != '\0';
    SetText(st().costText, c.cost);
    st().plotType = c.phaseY ? TransPlot::PhasePlane : TransPlot::TimeResponse;
    SetText(st().phaseYText, c.phaseY ? c.phaseY : "diff(y)");
    EXPECT_EQ(Run(), c.message);
  }
}

TEST_F(TimeTest, CostIntegratesOverTheRunBeforeTheLastPoint)
{
  // closed-loop 1/(s+1): e = 0.5 + 0.5 e^(-2t); the cost stops before t = 10
  SetLoop(kFirstOrder);
  st().points = 1000;
  st().costOnGo = true;
  SetText(st().costText, "integ(e*e)");
  ASSERT_EQ(Run(), "");
  const double T = 10.0 - res().step;
  const double exact = 0.25 * T + 0.25 * (1 - std::exp(-2 * T)) + 0.0625 * (1 - std::exp(-4 * T));
  EXPECT_TRUE(res().costEvaluated);
  EXPECT_NEAR(res().cost, exact, 1e-4);
  EXPECT_EQ(st().costValue, res().cost);
}

TEST(LoopSpeed, LargestRootMagnitudeOfProductsOfKnownRoots)
{
  // Polynomials multiplied out here from their roots (real ones, or pairs
  // of magnitude r), ascending coefficients; the largest magnitude within
  // 1e-6, repeated roots (where the iteration is slow) within 1e-3.
  struct Case {
    const char* name;
    std::vector<double> real;
    std::vector<std::pair<double, double>> pairs;  // (magnitude, angle from the negative real axis)
    double largest, tolerance;
  } cases[] = {
      {"constant", {}, {}, 0, 0},
      {"stiff pair", {-1, -1e6}, {}, 1e6, 1e-6},
      {"start-up plant", {-1}, {{std::sqrt(6.0), std::acos(0.7 / std::sqrt(6.0))}}, std::sqrt(6.0), 1e-6},
      {"undamped and unstable", {3}, {{1, kPi / 2}, {2, kPi / 2}}, 3, 1e-6},
      {"four-fold pole", {-2, -2, -2, -2}, {}, 2, 1e-3},
      {"order 8", {-0.5, -40}, {{5, 0.3}, {9, 1.2}, {1, 1.5}}, 40, 1e-6},
      {"at the origin", {0, 0}, {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> p{1.0};
    const auto times = [&p](std::vector<double> q) {
      std::vector<double> r(p.size() + q.size() - 1, 0.0);
      for (std::size_t i = 0; i < p.size(); ++i)
        for (std::size_t j = 0; j < q.size(); ++j)
          r[i + j] += p[i] * q[j];
      p = r;
    };
    for (const double root : c.real)
      times({-root, 1});
    for (const auto& [r, angle] : c.pairs)
      times({r * r, 2 * r * std::cos(angle), 1});
    for (double& v : p)
      v *= 3.0;  // a leading coefficient other than 1
    EXPECT_NEAR(LargestRootMagnitude(p.data(), static_cast<int>(p.size())), c.largest,
                c.tolerance * std::max(1.0, c.largest));
  }
}

}  // namespace
