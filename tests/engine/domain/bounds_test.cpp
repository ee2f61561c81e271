// Every fixed store and count of the engines at its limit and one past it:
// at the limit the run fills what it should, each entry checked against a
// closed form computed here; one past it the run is refused with its
// message, leaving nothing in the store and nothing written beyond it (the
// limit-cycle search is not refused: it stops where its points run out and
// says how far it searched).

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqEngine.h"
#include "engine/freq/FreqFamily.h"
#include "engine/freq/LimitCycles.h"
#include "engine/root/ParamLocus.h"
#include "engine/root/RootEngine.h"
#include "engine/time/TimeEngine.h"
#include "tests/DecodedRuns.h"
#include "tests/LoopTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

namespace {

using Cld = std::complex<long double>;
constexpr long double kPiL = 3.141592653589793238462643383279502884L;

// 1/(s + 1) in open loop.
const LoopTexts kLag{.gpNum = "1", .gpDen = "s+1", .closed = false};

struct Records {
  ModelScope model;
  std::unique_ptr<TRANSTAT> time = std::make_unique<TRANSTAT>();
  std::unique_ptr<FREQSTAT> freq = std::make_unique<FREQSTAT>();
  std::unique_ptr<FreqFamily> family = std::make_unique<FreqFamily>();
  std::unique_ptr<FreqFamilyScratch> familyWork = std::make_unique<FreqFamilyScratch>();
  std::unique_ptr<LimitCycleList> cycles = std::make_unique<LimitCycleList>();
  std::unique_ptr<ROOTSTAT> root;

  explicit Records(const LoopTexts& l)
  {
    WriteLoop(l);
    SetElements(time->loop, l);
    InitFreqSettings(Sys(), *freq);
    SetElements(freq->loop, l);
    root = CreateRootLocus(Sys());
    SetElements(root->loop, l);
  }
};

// A stored point nobody wrote.
constexpr float kUntouched = -12345.0f;

// --- time: steps per duration, 2 to 1000 ------------------------------------
// The ZOH step response of 1/(s + 1) is exact at the points: 1 - e^-t.
int TimePoints(Records& r, int points)
{
  r.time->points = points;
  if (!DecodedTimeEngine(Sys(), *r.time))
    return -1;
  const TransResult& res = r.time->result;
  for (int i = 0; i < res.pointCount; ++i) {
    const long double t = i * 10.0L / points;
    EXPECT_NEAR(res.trace[i].y, 1 - std::exp(-t), 2e-6) << i;
  }
  return res.pointCount;
}
// A setting put out of its range after a good run.
bool TimeRefused(Records& r, void (*spoil)(TRANSTAT&))
{
  EXPECT_TRUE(DecodedTimeEngine(Sys(), *r.time)) << "a good run first";
  spoil(*r.time);
  const bool ok = DecodedTimeEngine(Sys(), *r.time);
  EXPECT_FALSE(r.time->result.valid);
  EXPECT_EQ(r.time->result.pointCount, 0);
  return ok;
}

// --- the parameter sweep: 2 to 10000 base values -----------------------------
// a/(s (s + 1)) in closed loop: the roots of s^2 + s + a are
// (-1 +- sqrt(1 - 4a))/2, to the square root of the double precision where
// they meet at a = 1/4. Every base value of the grid is a sample.
const LoopTexts kSwept{.gcNum = "1", .gcDen = "1", .gpNum = "a", .gpDen = "s(s+1)", .compIn = true};
int Sweep(Records& r, int points)
{
  const auto locus = std::make_unique<ParamLocus>();
  if (!TraceParamLocus(Sys(), r.time->loop, {0, 0.1, 10, points, false}, *locus)) {
    EXPECT_EQ(locus->count, 0);
    return -1;
  }
  int base = 0, k = 0;
  for (int i = 0; i < locus->count; ++i) {
    const SweepSample& s = locus->samples[i];
    EXPECT_EQ(s.n, 2) << i;
    const std::complex<long double> d = std::sqrt(std::complex<long double>(1 - 4.0L * s.p));
    const Cld exact[2] = {(-1.0L + d) / 2.0L, (-1.0L - d) / 2.0L};
    for (int j = 0; j < s.n; ++j) {
      const Cld root(s.r[j].re, s.r[j].im);
      EXPECT_LT(std::min(std::abs(root - exact[0]), std::abs(root - exact[1])), 3e-8) << i << ", p = " << s.p;
    }
    if (k < points && std::fabs(s.p - (0.1L + k * 9.9L / (points - 1))) < 1e-12L)
      ++base, ++k;
  }
  return base;
}

// --- frequency grid, 1 to 1000 points ----------------------------------------
void LogGrid(Records& r, int points)
{
  r.freq->set.view = FreqView::DirectNyquist;
  r.freq->set.startFreq = 0.01;
  r.freq->set.endFreq = 100;
  r.freq->set.points = points;
}
int Grid1000(Records& r)
{
  LogGrid(r, kMaxFreqPoints);
  if (!ComputeResponse(DecodeFreqLoop(Sys(), *r.freq, FreqUse::Response), *r.freq))
    return -1;
  const FreqResult& res = r.freq->result;
  for (int i = 0; i < res.count; ++i) {
    const long double w = 0.01L * std::pow(10.0L, 4.0L * i / (kMaxFreqPoints - 1));
    const Cld l = 1.0L / Cld(1, w);
    EXPECT_NEAR(res.points[i].tag / w, 1, 1e-6) << i;
    EXPECT_NEAR(res.points[i].x, l.real(), 1e-6) << i;
    EXPECT_NEAR(res.points[i].y, l.imag(), 1e-6) << i;
  }
  return res.count;
}
bool Grid1001(Records& r)
{
  LogGrid(r, kMaxFreqPoints + 1);
  r.freq->result.points[kMaxFreqPoints].tag = kUntouched;
  const bool ok = ComputeResponse(DecodeFreqLoop(Sys(), *r.freq, FreqUse::Response), *r.freq);
  EXPECT_EQ(r.freq->result.points[kMaxFreqPoints].tag, kUntouched);
  return ok;
}

// --- describing-function amplitudes, 1 to 200 --------------------------------
// clip(x,1) over 0.5 .. 20 with 128 samples a period; N as those samples give
// it, summed here in long double: N = 2/(M A) sum f(A cos t_k) cos t_k.
void Amplitudes(Records& r, int count)
{
  SetText(Sys().fwdNlText, "clip(x,1)");
  r.freq->loop.fwdNl = true;
  r.freq->set.view = FreqView::InverseNyquist;
  r.freq->set.amplitudes = count;
  r.freq->set.startAmp = 0.5;
  r.freq->set.endAmp = 20;
  r.freq->set.dftPoints = 128;
}
long double SampledSaturationN(long double a, int m)
{
  long double sum = 0;
  for (int k = 0; k < m; ++k) {
    const long double c = std::cos(2 * kPiL * k / m);
    sum += std::clamp(a * c, -1.0L, 1.0L) * c;
  }
  return 2 * sum / (m * a);
}
int Amplitudes200(Records& r)
{
  Amplitudes(r, kMaxAmplitudes);
  if (!DecodedDescribingFunction(Sys(), *r.freq))
    return -1;
  const FreqResult& res = r.freq->result;
  for (int i = 0; i < res.count; ++i) {
    const long double a = 0.5L + i * 19.5L / (kMaxAmplitudes - 1);
    const long double n = SampledSaturationN(a, 128);
    EXPECT_NEAR(res.points[i].tag / a, 1, 1e-6) << i;
    EXPECT_NEAR(res.dfValues[i].re, n, 1e-12) << i;
    EXPECT_EQ(res.dfValues[i].im, 0.0) << i;
    EXPECT_NEAR(res.points[i].x, -n, 1e-6) << i;  // -N in the inverse plane
    EXPECT_EQ(res.points[i].y, 0.0f) << i;
  }
  return res.count;
}
bool Amplitudes201(Records& r)
{
  Amplitudes(r, kMaxAmplitudes + 1);
  r.freq->result.points[kMaxAmplitudes].tag = kUntouched;
  const bool ok = DecodedDescribingFunction(Sys(), *r.freq);
  EXPECT_EQ(r.freq->result.count, 0);
  EXPECT_EQ(r.freq->result.points[kMaxAmplitudes].tag, kUntouched);
  return ok;
}

// --- the limit-cycle search follows -N with at most 1500 points --------------
// sin(20 x) has N(A) = 2 J1(20 A)/A, which swings about 0 ever more often as
// A grows: up to A = 20 the search follows it, up to 100 its points run
// out. L = 10/(s (s+1) (s+2)) is real only at w = sqrt 2, where it is -5/3,
// so the cycles are the roots of N(A) = 3/5 that the search covered, each
// at w = sqrt 2.
const LoopTexts kCycling{.gpNum = "10", .gpDen = "s(s+1)(s+2)", .closed = false};
long double SineN(long double a)
{
  return 2 * std::cyl_bessel_j(1.0L, 20 * a) / a;
}
// Beyond A = 2, |N| <= 2 max |J1| / A < 0.6.
int RootsOfSineN(long double hi)
{
  hi = std::min(hi, 2.0L);
  int roots = 0;
  for (long double a = 0.1L; a < hi; a += 1e-4L)
    roots += (SineN(a) - 0.6L) * (SineN(std::min(a + 1e-4L, hi)) - 0.6L) < 0;
  return roots;
}
int Cycles(Records& r, double endAmp)
{
  SetText(Sys().fwdNlText, "sin(20*x)");
  r.freq->loop.fwdNl = true;
  r.freq->set.amplitudes = kMaxAmplitudes;
  r.freq->set.startAmp = 0.1;
  r.freq->set.endAmp = endAmp;
  if (!DecodedLimitCycles(Sys(), *r.freq, *r.cycles))
    return -1;
  const LimitCycleList& c = *r.cycles;
  EXPECT_EQ(c.locusFull, endAmp > 20);
  if (c.locusFull)
    EXPECT_LT(c.ampHi, endAmp);
  else
    EXPECT_EQ(c.ampHi, endAmp);
  EXPECT_GT(c.count, 0);
  EXPECT_EQ(c.count, RootsOfSineN(c.ampHi));
  for (int i = 0; i < c.count; ++i) {
    const long double a = c.cycles[i].amplitude;
    EXPECT_NEAR(c.cycles[i].omega, std::sqrt(2.0L), 1e-7) << i;
    EXPECT_NEAR(SineN(a), 0.6L, 1e-7) << "A = " << double(a);
  }
  return c.count;
}

// --- at most 14 branch starts ------------------------------------------------
// e^(-s)/(s + 1): besides the pole's branch, branches enter the left edge
// near Im s = (2k + 1) pi, so the height of the rectangle sets their number.
// Every stored point off the pole has angle pi (mod 2 pi).
const LoopTexts kDelayedLag{.gpNum = "1", .gpDen = "s+1", .delay = 1.0};
int Branches(Records& r, double height)
{
  r.root->points = 100;
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *r.root).roots, *r.root))
    return -1;
  SetWindow(*r.root, -5, 3, -height, height);
  if (!TraceLocus(DecodeRootLoop(Sys(), *r.root).roots, *r.root))
    return -1;
  const LocusResult& res = r.root->result;
  for (int i = 0; i < res.count; ++i) {
    const long double x = res.points[i].x, y = res.points[i].y;
    if (std::hypot(x + 1, y) < 1e-3)
      continue;
    const long double deficit = std::remainder(-y - std::atan2(y, x + 1) - kPiL, 2 * kPiL);
    EXPECT_LT(std::fabs(deficit), 0.01) << i << ": " << double(x) << ", " << double(y);
  }
  return res.branchCount;
}
bool FifteenBranches(Records& r)
{
  const bool ok = Branches(r, 50) > 0;
  EXPECT_EQ(r.root->result.count, 0);
  EXPECT_EQ(r.root->result.content, StoreContent::Empty);
  return ok;
}

// --- at most 10 family members -------------------------------------------------
// Member k of the gain family of 1/(s + 1) is K_k/(1 + jw) at every point.
int Family(Records& r, int members)
{
  r.freq->set.points = 50;
  const FamilyPlan plan{kFamilyGain, 0.5, 5.0, members, false};
  if (!RunFreqFamily(Sys(), *r.freq, plan, false, *r.family, *r.familyWork))
    return -1;
  for (int k = 0; k < r.family->members.count; ++k) {
    const long double gain = 0.5L + k * 4.5L / (members - 1);
    EXPECT_NEAR(r.family->members.value[k], gain, 1e-12) << k;
    const FreqResult& res = r.family->results[k];
    EXPECT_EQ(res.count, 50) << k;
    for (int i = 0; i < res.count; ++i) {
      const Cld l = gain / Cld(1, res.points[i].tag);
      EXPECT_NEAR(res.points[i].x, l.real(), 1e-5) << k << ", " << i;
      EXPECT_NEAR(res.points[i].y, l.imag(), 1e-5) << k << ", " << i;
    }
  }
  return r.family->members.count;
}
bool ElevenMembers(Records& r)
{
  EXPECT_EQ(Family(r, kMaxFamilyMembers), kMaxFamilyMembers) << "a good family first";
  const bool ok = Family(r, kMaxFamilyMembers + 1) > 0;
  EXPECT_EQ(r.family->members.count, 0);
  return ok;
}

struct Bound {
  const char* name;
  LoopTexts loop;
  int (*atLimit)(Records&);  // what the run stored, -1 on failure
  int stored;
  bool (*pastLimit)(Records&);  // true when it ran
  const char* message;          // of the refusal; "" when it runs regardless
};

const Bound kBounds[] = {
    {"time, 1000 and 1001 points", kLag, [](Records& r) { return TimePoints(r, 1000); }, 1001,
     [](Records& r) { return TimeRefused(r, [](TRANSTAT& st) { st.points = 1001; }); },
     "No of Points must lie between 2 and 1000"},
    {"time, 2 points and 1", kLag, [](Records& r) { return TimePoints(r, 2); }, 3,
     [](Records& r) { return TimeRefused(r, [](TRANSTAT& st) { st.points = 1; }); },
     "No of Points must lie between 2 and 1000"},
    {"time, a duration of 0", kLag, [](Records& r) { return TimePoints(r, 1000); }, 1001,
     [](Records& r) { return TimeRefused(r, [](TRANSTAT& st) { st.duration = 0; }); },
     "Duration must lie between 1E-20 and 1E20"},
    {"time, a periodic input of period 0", kLag, [](Records& r) { return TimePoints(r, 1000); }, 1001,
     [](Records& r) {
       return TimeRefused(r, [](TRANSTAT& st) {
         st.periodic = true;
         st.period = 0;
       });
     },
     "Input period must lie between 1E-20 and 1E20"},
    {"parameter sweep, 10000 and 10001 points", kSwept, [](Records& r) { return Sweep(r, 10000); }, 10000,
     [](Records& r) { return Sweep(r, 10001) >= 0; }, "No of Points must lie between 2 and 10000"},
    {"parameter sweep, 2 points and 1", kSwept, [](Records& r) { return Sweep(r, 2); }, 2,
     [](Records& r) { return Sweep(r, 1) >= 0; }, "No of Points must lie between 2 and 10000"},
    {"frequency grid, 1000 and 1001 points", kLag, Grid1000, kMaxFreqPoints, Grid1001,
     "No of Points must lie between 1 and 1000"},
    {"describing function, 200 and 201 amplitudes", kLag, Amplitudes200, kMaxAmplitudes, Amplitudes201,
     "Number of points must lie between 1 and 200"},
    // Beyond its points the search is not refused: it says how far it got.
    {"limit-cycle locus within and beyond 1500 points", kCycling, [](Records& r) { return Cycles(r, 20); },
     RootsOfSineN(20), [](Records& r) { return Cycles(r, 100) >= 0 && r.cycles->locusFull; }, ""},
    {"root locus, 14 and 15 branch starts", kDelayedLag, [](Records& r) { return Branches(r, 40); }, kMaxBranches,
     FifteenBranches, "Too many loci"},
    {"frequency family, 10 and 11 members", kLag, [](Records& r) { return Family(r, kMaxFamilyMembers); },
     kMaxFamilyMembers, ElevenMembers, "A family has at most 10 members"},
};

TEST(Bounds, EachStoreTakesItsLimitAndRefusesOneMore)
{
  for (const Bound& b : kBounds) {
    SCOPED_TRACE(b.name);
    Records r(b.loop);
    ClearError();
    EXPECT_EQ(b.atLimit(r), b.stored) << (ErrorPending() ? ErrorMessage() : "");
    ClearError();
    EXPECT_EQ(b.pastLimit(r), *b.message == '\0');
    EXPECT_STREQ(ErrorPending() ? ErrorMessage() : "", b.message);
  }
}

}  // namespace
