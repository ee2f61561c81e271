// Simulated responses against exact solutions computed here: the
// closed-loop step response from a matrix exponential in long double, the
// sampled-data loop from its exact discrete model, discrete loops from their
// recursions; and the response characteristics against the exact curve.

#include "TimeTestSupport.h"
#include "time/TimeCharacteristics.h"

#include <algorithm>
#include <cmath>
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
  EXPECT_FLOAT_EQ(static_cast<float>(OutputAt(res(), c.settlingTime)),
                  static_cast<float>(edge / yf * c.finalValue));
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

}  // namespace
