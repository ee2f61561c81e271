// Simulated responses against exact solutions computed here: the
// closed-loop step response from a matrix exponential in long double, the
// sampled-data loop from its exact discrete model, discrete loops from their
// recursions; and the response characteristics against the exact curve.

#include "engine/time/TimeCharacteristics.h"
#include "tests/engine/time/TimeTestSupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using Real = long double;
constexpr int kMax = 6;

struct Mat {
  Real m[kMax][kMax] = {};
};

Mat Mul(const Mat& a, const Mat& b, int n)
{
  Mat c;
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < n; ++k)
      for (int j = 0; j < n; ++j)
        c.m[i][j] += a.m[i][k] * b.m[k][j];
  return c;
}

// e^(M t) by scaling, a 30-term Taylor series and squaring.
Mat Expm(const Mat& M, int n, Real t)
{
  Real norm = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      norm = std::max(norm, std::fabs(M.m[i][j] * t));
  int squarings = 0;
  while (norm > 0.25L) {
    norm /= 2;
    ++squarings;
  }
  const Real s = t / std::pow(2.0L, squarings);
  Mat result, term;
  for (int i = 0; i < n; ++i)
    result.m[i][i] = term.m[i][i] = 1;
  for (int k = 1; k <= 30; ++k) {
    term = Mul(term, M, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        term.m[i][j] *= s / k;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        result.m[i][j] += term.m[i][j];
  }
  for (int k = 0; k < squarings; ++k)
    result = Mul(result, result, n);
  return result;
}

// A strictly proper N(s)/D(s) (ascending coefficients) in controllable
// form, with a constant input held in an extra state: z' = M z, y = C z.
struct StepModel {
  int n = 0;  // order; the input is state n
  Mat M;
  Real C[kMax] = {};
};

StepModel Model(std::vector<Real> num, std::vector<Real> den)
{
  StepModel s;
  s.n = static_cast<int>(den.size()) - 1;
  const Real lead = den.back();
  for (int i = 0; i + 1 < s.n; ++i)
    s.M.m[i][i + 1] = 1;
  for (int j = 0; j < s.n; ++j)
    s.M.m[s.n - 1][j] = -den[static_cast<std::size_t>(j)] / lead;
  s.M.m[s.n - 1][s.n] = 1;  // B
  for (std::size_t j = 0; j < num.size(); ++j)
    s.C[j] = num[j] / lead;
  return s;
}

// Unit-step response at t from rest.
Real StepResponse(const StepModel& s, Real t)
{
  const Mat E = Expm(s.M, s.n + 1, t);
  Real y = 0;
  for (int j = 0; j < s.n; ++j)
    y += s.C[j] * E.m[j][s.n];
  return y;
}

struct Exact {
  const char* name;
  LoopTexts loop;
  std::vector<Real> num, den;  // the closed loop
};

// Closed loops with unit feedback: N/(D + K N).
const Exact kClosedLoops[] = {
    {"start-up plant", {}, {6}, {12, 7.4, 2.4, 1}},
    {"start-up compensator and plant", {.compIn = true}, {6, 3}, {6, 9, 7.4, 2.4, 1}},
    {"first order", {.gpNum = "1", .gpDen = "s+1"}, {1}, {2, 1}},
};

TEST_F(TimeTest, ClosedLoopStepStaysWithinOnePercentOfTheExactSolution)
{
  for (const Exact& c : kClosedLoops) {
    SCOPED_TRACE(c.name);
    SetLoop(c.loop);
    st().points = 1000;
    ASSERT_EQ(Run(), "");
    ASSERT_EQ(res().pointCount, 1001);
    const StepModel m = Model(c.num, c.den);
    const Real final = c.num[0] / c.den[0];
    for (int i = 0; i < res().pointCount; ++i)
      ASSERT_NEAR(Y(i), static_cast<double>(StepResponse(m, i * 0.01L)), 0.01 * final) << i;
  }
}

// The plant's zero-order-hold model at period T: x+ = Phi x + Gamma u.
void Discretise(const StepModel& plant, Real T, Mat& phi, Real* gamma)
{
  const Mat E = Expm(plant.M, plant.n + 1, T);
  phi = E;
  for (int i = 0; i < plant.n; ++i)
    gamma[i] = E.m[i][plant.n];
}

TEST_F(TimeTest, SampledDataLoopsMatchTheExactDiscreteModelAtTheSamples)
{
  struct Case {
    const char* name;
    LoopTexts loop;
    std::vector<Real> plantNum, plantDen;
    Real c1, c0, d0;  // Gc: u(j) = u(j-1) d0 + e(j) c1 + e(j-1) c0 (or u = e)
  } cases[] = {
      {"start-up plant alone", {.hold = 0.1}, {6}, {6, 7.4, 2.4, 1}, 1, 0, 0},
      {"first order with (z-0.5)/(z-1)",
       {.gcNum = "z-0.5", .gcDen = "z-1", .gpNum = "1", .gpDen = "s+1", .hold = 0.1, .compIn = true},
       {1},
       {1, 1},
       1,
       -0.5,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLoop(c.loop);
    ASSERT_EQ(Run(), "");
    const StepModel plant = Model(c.plantNum, c.plantDen);
    Mat phi;
    Real gamma[kMax] = {};
    Discretise(plant, 0.1L, phi, gamma);
    Real x[kMax] = {}, u = 0, ePrevious = 0, largest = 0;
    std::vector<Real> y;
    for (int j = 0; j * res().stepsPerSample < res().pointCount; ++j) {
      Real out = 0;
      for (int i = 0; i < plant.n; ++i)
        out += plant.C[i] * x[i];
      y.push_back(out);
      largest = std::max(largest, std::fabs(out));
      const Real e = 1 - out;
      u = c.d0 * u + c.c1 * e + c.c0 * ePrevious;
      ePrevious = e;
      Real next[kMax] = {};
      for (int i = 0; i < plant.n; ++i) {
        for (int k = 0; k < plant.n; ++k)
          next[i] += phi.m[i][k] * x[k];
        next[i] += gamma[i] * u;
      }
      std::copy(next, next + kMax, x);
    }
    ASSERT_GT(y.size(), 90u);
    for (std::size_t j = 0; j < y.size(); ++j)
      ASSERT_NEAR(Y(static_cast<int>(j) * res().stepsPerSample), static_cast<double>(y[j]),
                  1e-6 * static_cast<double>(largest))
          << j;
  }
}

TEST_F(TimeTest, DiscreteLoopsMatchTheirRecursions)
{
  // Gp = 0.1/(z-0.9), K = 1: y(k) = 0.5 (1 - 0.8^k)
  SetLoop({.gpNum = "0.1", .gpDen = "z-0.9", .hold = 0.1});
  ASSERT_EQ(Run(), "");
  ASSERT_EQ(res().pointCount, 101);
  for (int k = 0; k < res().pointCount; ++k)
    ASSERT_NEAR(Y(k), 0.5 * (1 - std::pow(0.8, k)), 1e-6 * 0.5) << k;

  // with Gc = (z-0.5)/(z-1), merged into the plant
  SetLoop({.gcNum = "z-0.5", .gcDen = "z-1", .gpNum = "0.1", .gpDen = "z-0.9", .hold = 0.1, .compIn = true});
  ASSERT_EQ(Run(), "");
  Real y = 0, u = 0, ePrevious = 0;
  for (int k = 0; k < res().pointCount; ++k) {
    ASSERT_NEAR(Y(k), static_cast<double>(y), 1e-6) << k;
    const Real e = 1 - y;
    u = u + e - 0.5L * ePrevious;
    ePrevious = e;
    // the compensator's own output is the trace's control effort
    ASSERT_NEAR(U(k), static_cast<double>(u), 1e-6 * std::max(1.0L, std::fabs(u))) << k;
    y = 0.9L * y + 0.1L * u;
  }
}

// Crossing time of level by the exact response, by bisection between a and b.
Real Crossing(const StepModel& m, Real level, Real a, Real b)
{
  const bool rising = StepResponse(m, b) > StepResponse(m, a);
  for (int i = 0; i < 60; ++i) {
    const Real mid = (a + b) / 2;
    ((StepResponse(m, mid) < level) == rising ? a : b) = mid;
  }
  return (a + b) / 2;
}

TEST_F(TimeTest, CharacteristicsAgreeWithTheExactResponse)
{
  // The start-up loop with its compensator overshoots; measured against the
  // exact curve's own final value at t = 10, peak, crossings and settling.
  SetLoop({.compIn = true});
  st().points = 1000;
  ASSERT_EQ(Run(), "");
  ResponseCharacteristics c;
  ASSERT_TRUE(ComputeCharacteristics(res(), c));
  const StepModel m = Model({6, 3}, {6, 9, 7.4, 2.4, 1});
  const Real yf = StepResponse(m, 10);
  EXPECT_NEAR(c.finalValue, static_cast<double>(yf), 1e-3);
  // the exact curve on a grid of 1 ms
  constexpr Real dt = 0.001L;
  const Mat step = Expm(m.M, m.n + 1, dt);
  std::vector<Real> grid;
  Real z[kMax] = {};
  z[m.n] = 1;
  for (int k = 0; k <= 10000; ++k) {
    Real y = 0;
    for (int j = 0; j < m.n; ++j)
      y += m.C[j] * z[j];
    grid.push_back(y);
    Real next[kMax] = {};
    for (int i = 0; i <= m.n; ++i)
      for (int j = 0; j <= m.n; ++j)
        next[i] += step.m[i][j] * z[j];
    std::copy(next, next + kMax, z);
  }
  const auto top = std::max_element(grid.begin(), grid.end());
  const Real peak = *top, tp = static_cast<Real>(top - grid.begin()) * dt;
  EXPECT_NEAR(c.peak, static_cast<double>(peak), 2e-3);
  EXPECT_NEAR(c.peakTime, static_cast<double>(tp), 0.015);
  EXPECT_NEAR(c.overshoot, static_cast<double>((peak - yf) / yf * 100), 0.2);
  const Real t10 = Crossing(m, 0.1L * yf, 0, tp), t90 = Crossing(m, 0.9L * yf, 0, tp);
  EXPECT_NEAR(c.riseStart, static_cast<double>(t10), 5e-3);
  EXPECT_NEAR(c.riseTime, static_cast<double>(t90 - t10), 5e-3);
  // the last grid point outside +-5 %, then bisection to the band edge
  std::size_t last = grid.size() - 1;
  while (last > 0 && std::fabs(grid[last] / yf - 1) <= 0.05L)
    --last;
  const Real outside = static_cast<Real>(last) * dt;
  const Real edge = StepResponse(m, outside) > yf ? 1.05L * yf : 0.95L * yf;
  EXPECT_NEAR(c.settlingTime, static_cast<double>(Crossing(m, edge, outside, outside + dt)), 5e-3);
  EXPECT_FLOAT_EQ(static_cast<float>(OutputAt(res(), c.settlingTime)), static_cast<float>(edge / yf * c.finalValue));
}

TEST_F(TimeTest, CharacteristicsAtTheEdges)
{
  // a falling open-loop response without overshoot: y = -(1 - e^-t)
  SetLoop({.gpNum = "1", .gpDen = "s+1", .closed = false});
  SetText(st().refText, "-1");
  ASSERT_EQ(Run(), "");
  ResponseCharacteristics c;
  ASSERT_TRUE(ComputeCharacteristics(res(), c));
  const double yf = -(1 - std::exp(-10.0));
  EXPECT_NEAR(c.finalValue, yf, 1e-6);
  EXPECT_EQ(c.overshoot, 0.0);
  EXPECT_EQ(c.peak, c.finalValue);
  const auto reach = [yf](double level) { return -std::log(1 - level * std::fabs(yf)); };
  EXPECT_NEAR(c.riseTime, reach(0.9) - reach(0.1), 1e-3);
  EXPECT_NEAR(c.settlingTime, reach(0.95), 1e-3);

  // final value 0: only the final value and the largest excursion exist.
  // Gp = 1/z repeats the input one sample later.
  SetLoop({.gpNum = "1", .gpDen = "z", .hold = 0.1, .closed = false});
  SetText(st().refText, "pulse(t,1)-2*pulse(t-1,1)");
  ASSERT_EQ(Run(), "");
  ASSERT_TRUE(ComputeCharacteristics(res(), c));
  EXPECT_EQ(c.finalValue, 0.0);
  EXPECT_FALSE(c.relative);
  EXPECT_EQ(c.peak, -2.0);
  EXPECT_NEAR(c.peakTime, 1.2, 1e-9);

  // no time response to measure: a phase plane, or a failed run
  st().plotType = TransPlot::PhasePlane;
  ASSERT_EQ(Run(), "");
  EXPECT_FALSE(ComputeCharacteristics(res(), c));
  SetText(st().refText, "sin(");
  ASSERT_NE(Run(), "");
  EXPECT_FALSE(ComputeCharacteristics(res(), c));
}

// A continuous loop integrated here by the classical Runge-Kutta method at
// a fine step: e = r - y, u = NL(K Gc e) with Gc = D + its strictly proper
// part, v = u + d(t), y = Gp v; the reference is a unit step. Each element
// in controllable form; an initial output y0 is the element at rest there
// (output y0, its derivatives 0).
struct Element {
  int n = 0;
  double A[4][4] = {}, B[4] = {}, C[4] = {}, D = 0;
  double x0[4] = {};
};

Element MakeElement(std::vector<double> num, std::vector<double> den, double y0)
{
  Element el;
  el.n = static_cast<int>(den.size()) - 1;
  const double lead = den.back();
  num.resize(den.size(), 0.0);
  el.D = num.back() / lead;
  for (int i = 0; i + 1 < el.n; ++i)
    el.A[i][i + 1] = 1;
  for (int j = 0; j < el.n; ++j) {
    el.A[el.n - 1][j] = -den[static_cast<std::size_t>(j)] / lead;
    el.C[j] = (num[static_cast<std::size_t>(j)] - el.D * den[static_cast<std::size_t>(j)]) / lead;
  }
  el.B[el.n - 1] = 1;
  // The elements here have a constant strictly proper numerator: at rest at
  // y0 the state is y0 / C[0] in its first entry alone.
  for (int j = 1; j < el.n; ++j)
    EXPECT_EQ(el.C[j], 0.0);
  el.x0[0] = y0 / el.C[0];
  return el;
}

struct RkLoop {
  Element gc, gp;
  bool compIn = false;
  bool closed = true;
  double gain = 1;
  std::function<double(double)> nl = [](double x) { return x; };
  std::function<double(double)> load = [](double) { return 0.0; };

  // the derivative of the state (Gc's then Gp's) at time t
  void Derivative(double t, const double* x, double* dx) const
  {
    const int nc = compIn ? gc.n : 0;
    double y = 0;
    for (int i = 0; i < gp.n; ++i)
      y += gp.C[i] * x[nc + i];
    const double ke = gain * (closed ? 1 - y : 1);
    double u = ke;
    if (compIn) {
      u = gc.D * ke;
      for (int i = 0; i < nc; ++i)
        u += gc.C[i] * x[i];
    }
    const double v = nl(u) + load(t);
    for (int i = 0; i < nc; ++i) {
      dx[i] = gc.B[i] * ke;
      for (int j = 0; j < nc; ++j)
        dx[i] += gc.A[i][j] * x[j];
    }
    for (int i = 0; i < gp.n; ++i) {
      dx[nc + i] = gp.B[i] * v;
      for (int j = 0; j < gp.n; ++j)
        dx[nc + i] += gp.A[i][j] * x[nc + j];
    }
  }

  // y at t = k h, k < points, with at most dtMax per Runge-Kutta step
  std::vector<double> Outputs(double h, int points, double dtMax) const
  {
    const int nc = compIn ? gc.n : 0, n = nc + gp.n;
    double x[8] = {};
    std::copy(gc.x0, gc.x0 + nc, x);
    std::copy(gp.x0, gp.x0 + gp.n, x + nc);
    const int sub = static_cast<int>(std::ceil(h / dtMax));
    const double dt = h / sub;
    std::vector<double> y;
    for (int k = 0; k < points; ++k) {
      double out = 0;
      for (int i = 0; i < gp.n; ++i)
        out += gp.C[i] * x[nc + i];
      y.push_back(out);
      for (int j = 0; j < sub; ++j) {
        const double t = k * h + j * dt;
        double k1[8], k2[8], k3[8], k4[8], tmp[8];
        Derivative(t, x, k1);
        for (int i = 0; i < n; ++i)
          tmp[i] = x[i] + 0.5 * dt * k1[i];
        Derivative(t + 0.5 * dt, tmp, k2);
        for (int i = 0; i < n; ++i)
          tmp[i] = x[i] + 0.5 * dt * k2[i];
        Derivative(t + 0.5 * dt, tmp, k3);
        for (int i = 0; i < n; ++i)
          tmp[i] = x[i] + dt * k3[i];
        Derivative(t + dt, tmp, k4);
        for (int i = 0; i < n; ++i)
          x[i] += dt / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
      }
    }
    return y;
  }
};

// Largest difference between the run's output and the reference's.
double LargestError(const TimeTest& test, const std::vector<double>& ref)
{
  double worst = 0;
  for (std::size_t k = 0; k < ref.size(); ++k)
    worst = std::max(worst, std::fabs(test.Y(static_cast<int>(k)) - ref[k]));
  return worst;
}

const std::vector<double> kGcNum{1, 0.5}, kGcDen{0, 1}, kGpNum{6}, kGpDen{6, 7.4, 2.4, 1};

TEST_F(TimeTest, SeparatedCompensatorIsSecondOrderAccurate)
{
  // The start-up compensator and plant kept apart by a forward nonlinearity,
  // a load or an initial output, against the loop integrated here.
  struct Case {
    const char* name;
    double gain;
    const char* nl;  // forward nonlinearity, or nullptr
    std::function<double(double)> nlFn;
    const char* load;  // or nullptr
    std::function<double(double)> loadFn;
    double compIc, plantIc;
    bool closed = true;
  } cases[] = {
      {"dead zone, gain 2", 2, "dzone(x,0.3)",
       [](double x) { return std::fabs(x) < 0.3 ? 0.0
                             : x > 0            ? x - 0.3
                                                : x + 0.3; }, nullptr, nullptr, 0, 0},
      {"identity, gain 2", 2, "x", [](double x) { return x; }, nullptr, nullptr, 0, 0},
      {"load", 1, nullptr, nullptr, "0.5*sin(2*t)", [](double t) { return 0.5 * std::sin(2 * t); }, 0, 0},
      {"compensator initial output", 1, nullptr, nullptr, nullptr, nullptr, 0.4, 0},
      {"plant initial output", 1, nullptr, nullptr, nullptr, nullptr, 0, -0.3},
      {"saturation, load and both initial outputs", 1.5, "clip(x,0.8)",
       [](double x) { return std::clamp(x, -0.8, 0.8); }, "-0.2", [](double) { return -0.2; }, 0.2, 0.5},
      {"open loop, dead zone and load", 1, "dzone(x,0.3)",
       [](double x) { return std::fabs(x) < 0.3 ? 0.0
                             : x > 0            ? x - 0.3
                                                : x + 0.3; }, "-0.3",
       [](double) { return -0.3; }, 0, 0, false},
      {"open loop, saturation and both initial outputs", 1, "clip(x,2)",
       [](double x) { return std::clamp(x, -2.0, 2.0); }, nullptr, nullptr, -0.5, 0.3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RkLoop loop;
    loop.compIn = true;
    loop.closed = c.closed;
    loop.gain = c.gain;
    loop.gc = MakeElement(kGcNum, kGcDen, c.compIc);
    loop.gp = MakeElement(kGpNum, kGpDen, c.plantIc);
    if (c.nlFn)
      loop.nl = c.nlFn;
    if (c.loadFn)
      loop.load = c.loadFn;
    // over 2 s at steps of 0.01 and 0.002, and over 10 s at 200 points
    double error[3] = {}, largest = 0;
    const int points[3] = {200, 1000, 200};
    const double duration[3] = {2, 2, 10};
    for (int i = 0; i < 3; ++i) {
      SetLoop({.gain = c.gain, .compIn = true, .closed = c.closed});
      st().points = points[i];
      st().duration = duration[i];
      st().loop.fwdNl = c.nl != nullptr;
      SetText(sys().fwdNlText, c.nl ? c.nl : "x");
      st().loop.loadInput = c.load != nullptr;
      SetText(st().loadText, c.load ? c.load : "1");
      sys().compInitEnabled = c.compIc != 0;
      sys().plantInitEnabled = c.plantIc != 0;
      st().initCompOutput = c.compIc;
      st().initPlantOutput = c.plantIc;
      ASSERT_EQ(Run(), "");
      const std::vector<double> ref = loop.Outputs(res().step, res().pointCount, 1e-4);
      error[i] = LargestError(*this, ref);
      for (const double y : ref)
        largest = std::max(largest, std::fabs(y));
    }
    // a fifth of the step divides the error by about 25, and the default
    // points stay within 1 % of the largest output
    EXPECT_GT(error[0] / error[1], 15.0);
    EXPECT_LT(error[2], 0.01 * largest);
  }
}

TEST_F(TimeTest, StableLoopsStayRightAtCoarseDisplaySteps)
{
  // Loops far faster than the display step: the run steps as finely as the
  // loop needs and still stores the points at the display step.
  struct Case {
    const char* name;
    LoopTexts loop;
    const char* nl;
    std::function<double(double)> nlFn;
    std::vector<double> gpNum, gpDen;
    int points;
    double duration, dtMax;
  } cases[] = {
      {"pole at -7000", {.gpNum = "6", .gpDen = "1e-3s+1"}, nullptr, nullptr, {6}, {1, 1e-3}, 50, 10, 2e-5},
      {"integrator of gain 1000", {.gpNum = "1e3", .gpDen = "s"}, nullptr, nullptr, {1e3}, {0, 1}, 50, 10, 1e-4},
      {"start-up loop over 999 s", {.compIn = true}, nullptr, nullptr, kGpNum, kGpDen, 50, 999, 2e-3},
      {"dead zone, gain 2, 20 points",
       {.gain = 2, .compIn = true},
       "dzone(x,0.3)",
       [](double x) { return std::fabs(x) < 0.3 ? 0.0
                             : x > 0            ? x - 0.3
                                                : x + 0.3; },
       kGpNum,
       kGpDen,
       20,
       10,
       1e-4},
      // the steps follow the linear loop, 50 times slower: the run that blows
      // up is taken again with finer steps
      {"gain of 100 in the nonlinearity",
       {.gpNum = "1", .gpDen = "s+1"},
       "100*x",
       [](double x) { return 100 * x; },
       {1},
       {1, 1},
       200,
       10,
       1e-4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLoop(c.loop);
    st().points = c.points;
    st().duration = c.duration;
    st().loop.fwdNl = c.nl != nullptr;
    SetText(sys().fwdNlText, c.nl ? c.nl : "x");
    ASSERT_EQ(Run(), "");
    ASSERT_EQ(res().pointCount, c.points + 1);
    EXPECT_DOUBLE_EQ(res().step, c.duration / c.points);
    RkLoop loop;
    loop.compIn = c.loop.compIn;
    loop.gain = c.loop.gain;
    loop.gc = MakeElement(kGcNum, kGcDen, 0);
    loop.gp = MakeElement(c.gpNum, c.gpDen, 0);
    if (c.nlFn)
      loop.nl = c.nlFn;
    const std::vector<double> ref = loop.Outputs(res().step, res().pointCount, c.dtMax);
    double largest = 0;
    for (const double y : ref)
      largest = std::max(largest, std::fabs(y));
    EXPECT_LT(LargestError(*this, ref), 0.01 * largest);
  }

  // Half a stored step of delay before a pole at -1000, loop gain 0.5: the
  // output settles within each 0.1 s of delay, so at t = 0.2 k it is c(2k-1)
  // of c(0) = 0, c(j+1) = (1 - c(j))/2. The line holds the loop's own steps.
  SetLoop({.gpNum = "0.5", .gpDen = "1e-3s+1", .delay = 0.1});
  st().points = 50;
  st().duration = 10;
  st().loop.fwdNl = false;
  ASSERT_EQ(Run(), "");
  double level = 0;
  for (int k = 1; k < res().pointCount; ++k) {
    level = 0.5 * (1 - level);
    ASSERT_NEAR(Y(k), level, 1e-6) << k;
    level = 0.5 * (1 - level);
  }

  // The cost is clocked once per stored point: integ(e*e) is the trapezium
  // sum over the stored points (e = 1 at the restart pass, then 1/7 at every
  // point once the pole at -7000 has settled), not over the loop's steps.
  SetLoop({.gpNum = "6", .gpDen = "1e-3s+1"});
  st().costOnGo = true;
  SetText(st().costText, "integ(e*e)");
  ASSERT_EQ(Run(), "");
  const double h = 0.2, settled = 1.0 / 49;
  EXPECT_NEAR(res().cost, (1 + settled) * h / 2 + 48 * settled * h, 1e-6);
}

TEST_F(TimeTest, LoopsTooFastOrUnstableStopWithAMessage)
{
  // a pole at -1e6 over 10 s needs far more steps than a run takes
  SetLoop({.gpNum = "1e6", .gpDen = "s"});
  const std::string fast = Run();
  EXPECT_EQ(fast.rfind("Run needs ", 0), 0u) << fast;
  EXPECT_NE(fast.find("for the loop's fastest pole (1e+06 rad/s)"), std::string::npos) << fast;
  EXPECT_NE(fast.find(": shorten the duration"), std::string::npos) << fast;
  st().duration = 1e-4;
  EXPECT_EQ(Run(), "");

  // 1/(s-20) in closed loop: y = (e^(19 t) - 1)/19 leaves the store's range
  // at t* = ln(19 FLT_MAX + 1)/19; the run stops at the first point past it
  SetLoop({.gpNum = "1", .gpDen = "s-20"});
  st().duration = 10;
  const std::string unstable = Run();
  const std::string head = "Response too big at t = ", tail = ": the loop is unstable";
  ASSERT_EQ(unstable.rfind(head, 0), 0u) << unstable;
  ASSERT_GT(unstable.size(), head.size() + tail.size());
  EXPECT_EQ(unstable.substr(unstable.size() - tail.size()), tail);
  const double t = std::stod(unstable.substr(head.size()));
  const double crossing = std::log(19.0 * std::numeric_limits<float>::max() + 1) / 19;
  EXPECT_GE(t, crossing - 1e-9);
  EXPECT_LE(t, crossing + 0.05);
  EXPECT_FALSE(res().valid);
}

}  // namespace
