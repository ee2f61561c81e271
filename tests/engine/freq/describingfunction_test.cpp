// Describing functions against the textbook closed forms and against the
// defining sum of the test's own models of the nonlinearities in long
// double; the views, the edge cases and the refusals.

#include "tests/engine/freq/FreqTestSupport.h"

#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/model/NumberFormat.h"
#include "tests/DecodedRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Nl = std::function<long double(long double)>;

// N(A) = (2/(M A)) sum f(A cos t_k) e^(-j t_k), t_k = 2 pi k / M, of a
// model made afresh by make(A) (a backlash starts as after a rise to +A).
Cld SampledN(const std::function<Nl(long double)>& make, long double a, int m)
{
  Nl f = make(a);
  Cld sum = 0;
  for (int k = 0; k < m; ++k) {
    const long double t = 2 * kPiL * k / m;
    sum += f(a * CosAt(k, m)) * std::polar(1.0L, -t);
  }
  return sum * 2.0L / (m * a);
}

Nl Memoryless(long double (*f)(long double))
{
  return [f](long double x) { return f(x); };
}

// Backlash of half-width h: out stays within h of the input.
std::function<Nl(long double)> Backlash(long double h)
{
  return [h](long double a) {
    auto out = std::make_shared<long double>(a - h);
    return Nl([h, out](long double x) { return *out = std::clamp(*out, x - h, x + h); });
  };
}

long double Clip2(long double x)
{
  return std::clamp(x, -2.0L, 2.0L);
}
long double Dzone(long double x)
{
  return std::fabs(x) < 0.5L ? 0 : x - std::copysign(0.5L, x);
}
long double Relay(long double x)
{
  return x > 0 ? 1 : -1;
}
long double Quant(long double x)
{
  return std::copysign(std::floor(std::fabs(x) + 0.5L), x);
}

// Saturation's N at A for a limit L (also the part a dead zone of width L
// takes away).
long double SatN(long double a, long double l)
{
  if (a <= l)
    return 1;
  const long double r = l / a;
  return 2 / kPiL * (std::asin(r) + r * std::sqrt(1 - r * r));
}

Cld BacklashN(long double a, long double h)
{
  const long double b = std::acos(1 - 2 * h / a);
  return {(kPiL - b + std::sin(b) * std::cos(b)) / kPiL, -std::sin(b) * std::sin(b) / kPiL};
}

long double QuantN(long double a)
{
  long double sum = 0;
  for (long double level = 0.5L; level < a; level += 1)
    sum += std::sqrt(1 - level * level / (a * a));
  return 4 / (kPiL * a) * sum;
}

class DescribingFunctionTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    rec = NewFreqRecord();
    rec->loop.fwdNl = true;
  }
  void Run(const char* text, FreqView view, int amps, double a0, double a1, int m)
  {
    SetText(Sys().fwdNlText, text);
    rec->set.view = view;
    rec->set.amplitudes = amps;
    rec->set.startAmp = a0;
    rec->set.endAmp = a1;
    rec->set.dftPoints = m;  // the table follows without a call
    ok = DecodedDescribingFunction(Sys(), *rec);
  }
  Cld N(int i) const { return {rec->result.dfValues[i].re, rec->result.dfValues[i].im}; }

  ModelScope model;
  std::unique_ptr<FREQSTAT> rec;
  bool ok = false;
};

// Trapezoidal sums of one period err, for a kink where the derivative of
// g(t) = f(A cos t) cos t (or sin t) jumps by J, by at most J h^2/12 (and
// terms of h^3 and beyond, a few per cent of it here) with h = 2 pi/M; for
// a jump of g by s between samples by at most s h/2, and by s h where a
// sample falls on it. N is the sum over pi A, so with M = 512:
// - saturation, dead zone: 4 kinks with J <= A/2: 2 pi/(3 M^2) = 8.0e-6;
// - backlash: 2 kinks with J <= A: the same;
// - relay: the jumps fall on samples where cos t = 0; its sampled sum is
//   exactly 4 cot(pi/M)/(M A), 1 - pi^2/(3 M^2) (1.3e-5) of 4/(pi A);
// - quantiser: per level 4 jumps of (level)/A in g: sum 4 level/(M A^2);
//   where A is a level, the samples at t = 0 and pi fall on the jump: 4/(M A).
TEST_F(DescribingFunctionTest, AgreesWithTheClosedFormsWithinTheSampledPeriodsError)
{
  constexpr int kM = 512;
  constexpr long double kKinks = 1.05L * 2 * kPiL / (3.0L * kM * kM);
  const struct {
    const char* text;
    std::function<Nl(long double)> model;
    std::function<Cld(long double)> closed;
    std::function<long double(long double)> bound;
  } kCases[] = {
      {"clip(x,2)", [](long double) { return Memoryless(Clip2); }, [](long double a) { return Cld(SatN(a, 2)); },
       [=](long double) { return kKinks; }},
      {"dzone(x,0.5)", [](long double) { return Memoryless(Dzone); },
       [](long double a) { return Cld(1 - SatN(a, 0.5L)); }, [=](long double) { return kKinks; }},
      {"relay(x)", [](long double) { return Memoryless(Relay); }, [](long double a) { return Cld(4 / (kPiL * a)); },
       [=](long double a) { return 4 / (kPiL * a) * kPiL * kPiL / (3.0L * kM * kM) * 1.001L; }},
      {"hyst(x,0.5)", Backlash(0.5L), [](long double a) { return BacklashN(a, 0.5L); },
       [=](long double) { return kKinks; }},
      {"quant(x,1)", [](long double) { return Memoryless(Quant); }, [](long double a) { return Cld(QuantN(a)); },
       [=](long double a) {
         long double levels = 0;
         for (long double level = 0.5L; level < a; level += 1)
           levels += level;
         const bool onLevel = a - std::floor(a) == 0.5L;
         return 4 * levels / (kM * a * a) + (onLevel ? 4 / (kM * a) : 0) + kKinks;
       }},
  };
  for (const auto& c : kCases) {
    Run(c.text, FreqView::InverseNyquist, 19, 1, 10, kM);
    ASSERT_TRUE(ok) << c.text << ": " << ErrorMessage();
    ASSERT_EQ(rec->result.count, 19);
    for (int i = 0; i < 19; ++i) {
      const long double a = 1 + 0.5L * i;
      const Cld n = N(i), sampled = SampledN(c.model, a, kM), closed = c.closed(a);
      const std::string at = std::string(c.text) + " A = " + std::to_string(static_cast<double>(a));
      EXPECT_LE(std::abs(n - sampled), 1e-12L) << at;
      EXPECT_LE(std::fabs(n.real() - closed.real()), c.bound(a)) << at;
      EXPECT_LE(std::fabs(n.imag() - closed.imag()), c.bound(a)) << at;
      // The inverse Nyquist point is -N.
      const FreqPoint& p = rec->result.points[i];
      EXPECT_FLOAT_EQ(p.tag, static_cast<float>(a)) << at;
      EXPECT_NEAR(p.x, -static_cast<double>(n.real()), 1e-6) << at;
      EXPECT_NEAR(p.y, -static_cast<double>(n.imag()), 1e-6) << at;
    }
  }
  // The relay's sampled sum in closed form.
  Run("relay(x)", FreqView::InverseNyquist, 3, 0.5, 4, kM);
  ASSERT_TRUE(ok);
  for (int i = 0; i < 3; ++i) {
    const long double a = 0.5L + 1.75L * i;
    EXPECT_NEAR(N(i).real(), 4 / (std::tan(kPiL / kM) * kM * a), 1e-14L);
  }
}

// N = 1 at every amplitude: -1/N and -N are the point -1, the Nichols point
// is -180 deg at 0 dB, also with the four quarter-period samples alone.
TEST_F(DescribingFunctionTest, IdentityIsTheCriticalPointInEveryView)
{
  const struct {
    FreqView view;
    double x, y;
  } kViews[] = {{FreqView::DirectNyquist, -1, 0}, {FreqView::InverseNyquist, -1, 0}, {FreqView::Nichols, -180, 0}};
  for (const auto& v : kViews) {
    for (int m : {4, 128}) {
      Run("x", v.view, 20, 1, 10, m);
      ASSERT_TRUE(ok) << ErrorMessage();
      ASSERT_EQ(rec->result.count, 20);
      for (int i = 0; i < 20; ++i) {
        EXPECT_NEAR(N(i).real(), 1, 1e-14L);
        EXPECT_EQ(N(i).imag(), 0);
        EXPECT_NEAR(rec->result.points[i].x, v.x, 1e-5) << static_cast<int>(v.view) << " M " << m;
        EXPECT_NEAR(rec->result.points[i].y, v.y, 1e-5);
      }
    }
  }
}

// hyst's memory is left far off by an earlier run; the curve is the same,
// lags (Im N < 0) and is the defining sum of the backlash; in the Nichols
// view the phase of -1/N starts in (-270, 90] deg and is followed
// continuously. Four samples per period take the quarter points alone.
TEST_F(DescribingFunctionTest, BacklashForgetsWhatHystHeldBefore)
{
  Run("hyst(x,0.5)", FreqView::InverseNyquist, 12, 0.55, 6, 128);
  ASSERT_TRUE(ok) << ErrorMessage();
  const FreqResult first = rec->result;
  for (const char* away : {"hyst(x,0.5)", "hyst(-x,0.5)"}) {  // hyst's memory ends near +1e3, -1e3
    Run(away, FreqView::InverseNyquist, 1, 1e3, 1e3, 128);
    ASSERT_TRUE(ok);
    Run("hyst(x,0.5)", FreqView::InverseNyquist, 12, 0.55, 6, 128);
    ASSERT_TRUE(ok);
    for (int i = 0; i < 12; ++i) {
      EXPECT_EQ(rec->result.dfValues[i].re, first.dfValues[i].re) << i;
      EXPECT_EQ(rec->result.dfValues[i].im, first.dfValues[i].im) << i;
    }
  }
  Run("hyst(x,0.5)", FreqView::Nichols, 12, 0.55, 6, 128);
  ASSERT_TRUE(ok);
  double previous = 0;
  for (int i = 0; i < 12; ++i) {
    const long double a = 0.55L + 5.45L * i / 11;
    const Cld n = SampledN(Backlash(0.5L), a, 128);
    EXPECT_LE(std::abs(N(i) - n), 1e-12L) << i;
    EXPECT_LT(N(i).imag(), 0) << i;
    const FreqPoint& p = rec->result.points[i];
    const double deg = static_cast<double>(std::arg(-1.0L / n) * 180 / kPiL);
    EXPECT_NEAR(std::remainder(p.x - deg, 360.0), 0, 1e-4) << i;
    EXPECT_NEAR(p.y, static_cast<double>(-20 * std::log10(std::abs(n))), 1e-4) << i;
    if (i == 0)
      EXPECT_TRUE(p.x > -270 && p.x <= 90);
    else
      EXPECT_LT(std::fabs(p.x - previous), 90) << i;
    previous = p.x;
  }
  Run("hyst(x,0.5)", FreqView::InverseNyquist, 1, 2, 0, 4);  // one amplitude: no end needed
  ASSERT_TRUE(ok) << ErrorMessage();
  ASSERT_EQ(rec->result.count, 1);
  EXPECT_EQ(rec->result.points[0].tag, 2.0f);
  // Samples 1.5, 0.5, -1.5, -0.5 of the backlash at A = 2.
  EXPECT_NEAR(N(0).real(), 0.75, 1e-15L);
  EXPECT_NEAR(N(0).imag(), -0.25, 1e-15L);
}

// An amplitude inside a backlash's play or a dead zone has N = 0 and no
// -1/N: outside the inverse Nyquist view it is left out of the curve and
// named in the note, and the rest is drawn. Kept and left out as the closed
// forms have N = 0 or not; the kept N agree with them.
TEST_F(DescribingFunctionTest, AmplitudesWithoutMinusOneOverNAreLeftOut)
{
  constexpr int kM = 512;
  const struct {
    const char* text;
    FreqView view;
    std::function<Cld(long double)> closed;
  } kCases[] = {
      {"hyst(x,1)", FreqView::DirectNyquist, [](long double a) { return a > 1 ? BacklashN(a, 1) : Cld(0); }},
      {"hyst(x,2.5)", FreqView::Nichols, [](long double a) { return a > 2.5L ? BacklashN(a, 2.5L) : Cld(0); }},
      {"dzone(x,3)", FreqView::DirectNyquist, [](long double a) { return Cld(1 - SatN(a, 3)); }},
      {"hyst(x,2.5)", FreqView::InverseNyquist, [](long double a) { return a > 2.5L ? BacklashN(a, 2.5L) : Cld(0); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + " view " + std::to_string(static_cast<int>(c.view)));
    Run(c.text, c.view, 20, 1, 10, kM);
    ASSERT_TRUE(ok) << ErrorMessage();
    std::vector<long double> kept, out;
    for (int i = 0; i < 20; ++i) {
      const long double a = 1 + 9.0L * i / 19;
      (std::abs(c.closed(a)) > 0 || c.view == FreqView::InverseNyquist ? kept : out).push_back(a);
    }
    const FreqResult& r = rec->result;
    ASSERT_EQ(r.count, static_cast<int>(kept.size()));
    ASSERT_EQ(r.dfLeftOut, static_cast<int>(out.size()));
    for (std::size_t i = 0; i < kept.size(); ++i) {
      const Cld n = N(static_cast<int>(i)), closed = c.closed(kept[i]);
      EXPECT_FLOAT_EQ(r.points[i].tag, static_cast<float>(kept[i]));
      EXPECT_LE(std::abs(n - closed), 1e-4L) << "A = " << static_cast<double>(kept[i]);
      if (c.view == FreqView::DirectNyquist) {  // the point is -1/N
        EXPECT_NEAR(r.points[i].x, static_cast<double>((-1.0L / n).real()), 1e-5);
        EXPECT_NEAR(r.points[i].y, static_cast<double>((-1.0L / n).imag()), 1e-5);
      }
    }
    if (out.empty()) {
      EXPECT_EQ(DfLeftOutNote(*rec, Sys().numberFormat), "");
      continue;
    }
    EXPECT_NEAR(r.dfLeftOutLo, static_cast<double>(out.front()), 1e-12);
    EXPECT_NEAR(r.dfLeftOutHi, static_cast<double>(out.back()), 1e-12);
    const std::string range = out.size() == 1
                                  ? FormatModelNumber(r.dfLeftOutLo)
                                  : FormatModelNumber(r.dfLeftOutLo) + " to " + FormatModelNumber(r.dfLeftOutHi);
    EXPECT_EQ(DfLeftOutNote(*rec, Sys().numberFormat),
              std::to_string(out.size()) + " of 20 amplitudes left out (" + range +
                  "): the describing function is 0 there, so -1/N does not exist");
  }
  // No amplitude of the range has a describing function: nothing to draw.
  Run("hyst(x,10)", FreqView::DirectNyquist, 20, 1, 10, kM);
  EXPECT_FALSE(ok);
  EXPECT_STREQ(ErrorMessage(), "Excitation amplitude too small, change range");
  ClearError();
}

// Every refusal, and a success, leave closed loop and "Monotonic angle
// display" as the user had them, and RestartFlag clear.
TEST_F(DescribingFunctionTest, RefusalsLeaveTheUsersFlags)
{
  const struct {
    const char* text;
    FreqView view;
    int amps;
    double start;
    int m;
    const char* message;  // nullptr: computes
  } kCases[] = {
      {"x", FreqView::DirectNyquist, 20, 1, 128, nullptr},
      {"x+", FreqView::DirectNyquist, 20, 1, 128, "Invalid nonlinear function"},
      {"0*x", FreqView::Nichols, 20, 1, 128, "Excitation amplitude too small, change range"},
      {"0*x", FreqView::DirectNyquist, 20, 1, 128, "Excitation amplitude too small, change range"},
      {"0*x", FreqView::InverseNyquist, 20, 1, 128, nullptr},  // -N = 0 is the origin
      {"max(x)", FreqView::DirectNyquist, 20, 1, 128, "max() only available in time domain"},
      {"x", FreqView::DirectNyquist, 20, 0, 128, "Start amplitude must be positive"},
      {"x", FreqView::DirectNyquist, 201, 1, 128, "Number of points must lie between 1 and 200"},
      {"x", FreqView::DirectNyquist, 0, 1, 128, "Number of points must lie between 1 and 200"},
      {"x", FreqView::DirectNyquist, 20, 1, 100, "Number of DFTpoints must be 4, 8, 16, 32, 64, 128, 256 or 512"},
      {"x", FreqView::BodeGain, 20, 1, 128, "Describing functions not available in Bode views"},
  };
  for (const auto& c : kCases) {
    rec->loop.closedLoop = true;
    rec->set.monotonicPhase = false;
    Run(c.text, c.view, c.amps, c.start, 10, c.m);
    EXPECT_EQ(ok, c.message == nullptr) << c.text;
    if (c.message) {
      EXPECT_STREQ(ErrorMessage(), c.message);
    }
    EXPECT_TRUE(rec->loop.closedLoop) << c.text;
    EXPECT_FALSE(rec->set.monotonicPhase) << c.text;
    EXPECT_FALSE(CurrentEval().restart);
    ClearError();
  }
}

}  // namespace
