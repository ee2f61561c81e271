// The frequency-response engine measured against the loop's transfer
// functions evaluated independently: every view, loop kind, input and
// loop mode; the grid; the messages; the guards; phase tracking.

#include "tests/engine/freq/FreqTestSupport.h"

#include "engine/base/Error.h"
#include "engine/freq/FreqEngine.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr FreqView kViews[] = {FreqView::DirectNyquist, FreqView::InverseNyquist, FreqView::Nichols, FreqView::BodeGain,
                               FreqView::BodePhase};

// A loop with its elements in the run, and its factors by the test's own
// formulas: Gc and K Gp e^(-j w Td) (or the exact sampled plant with K).
struct LoopCase {
  const char* name;
  LoopTexts loop;
  std::function<Cld(long double)> gc, kgp;
};

// (1 + 0.5 s)/s, 6/((s + 1)(s^2 + 1.4 s + 6)), as the factors read.
Cld StartGc(long double w)
{
  return (1.0L + 0.5L * Jw(w)) / Jw(w);
}
Cld StartGp(long double w)
{
  return 6.0L / ((Jw(w) + 1.0L) * (Jw(w) * Jw(w) + 1.4L * Jw(w) + 6.0L));
}

std::vector<LoopCase> Loops()
{
  return {
      {"start-up loop", {.compIn = true}, StartGc, StartGp},
      {"plant, K -2, delay 0.5 s",
       {.gain = -2, .delay = 0.5},
       StartGc,
       [](long double w) { return -2.0L * StartGp(w) * std::polar(1.0L, -0.5L * w); }},
      {"compensator alone",
       {.gain = 3, .delay = 0.2, .compIn = true, .plantIn = false},
       StartGc,
       [](long double) { return Cld(1); }},
      {"sampled-data, fractional delay",
       {"0.4(z-0.7)", "z-1", "1", "s+0.5", 2, 0.15, 0.1, true},
       [](long double w) { return 0.4L * (Zw(w, 0.1L) - 0.7L) / (Zw(w, 0.1L) - 1.0L); },
       [](long double w) { return 2.0L * ZohFirstOrder(0.5L, 0.1L, 0.15L, Zw(w, 0.1L)); }},
      {"sampled-data plant, second order",
       {"1", "", "1", "(s+1)(s+2)", 1.5, 0.25, 0.2},
       StartGc,
       [](long double w) {
         // 1/((s + 1)(s + 2)) = 1/(s + 1) - 1/(s + 2)
         const Cld z = Zw(w, 0.2L);
         return 1.5L * (ZohFirstOrder(1, 0.2L, 0.25L, z) - ZohFirstOrder(2, 0.2L, 0.25L, z));
       }},
      {"sampled-data plant, third order, 3.5 samples of delay",
       {"1", "", "1", "(s+1)(s+2)(s+3)", 2, 0.35, 0.1},
       StartGc,
       [](long double w) {
         // 1/((s + 1)(s + 2)(s + 3)) = 1/2/(s + 1) - 1/(s + 2) + 1/2/(s + 3)
         const Cld z = Zw(w, 0.1L);
         return 2.0L * (0.5L * ZohFirstOrder(1, 0.1L, 0.35L, z) - ZohFirstOrder(2, 0.1L, 0.35L, z) +
                        0.5L * ZohFirstOrder(3, 0.1L, 0.35L, z));
       }},
      {"discrete",
       {"z-0.5", "z-1", "0.2", "(z-0.8)(z+0.3)", 1.5, 0.7, 0.05, true},
       [](long double w) { return (Zw(w, 0.05L) - 0.5L) / (Zw(w, 0.05L) - 1.0L); },
       [](long double w) { return 1.5L * 0.2L / ((Zw(w, 0.05L) - 0.8L) * (Zw(w, 0.05L) + 0.3L)); }},
  };
}

struct Input {
  const char* name;
  bool closed;
  bool ref, load, noise;
};
constexpr Input kInputs[] = {{"reference, open", false, true, false, false},
                             {"load, open", false, false, true, false},
                             {"reference, closed", true, true, false, false},
                             {"load, closed", true, false, true, false},
                             {"noise, closed", true, false, false, true}};

// The displayed value: L (or K Gp for the load in open loop), or T.
Cld Displayed(const LoopCase& c, const Input& in, long double w)
{
  const Cld gc = c.loop.compIn ? c.gc(w) : Cld(1);
  const Cld kgp = c.loop.plantIn ? c.kgp(w) : Cld(1);
  const Cld l = (c.loop.compIn ? gc : Cld(1)) * (c.loop.plantIn ? kgp : Cld(1));
  if (!in.closed)
    return in.load ? kgp : l;
  if (in.ref)
    return l / (1.0L + l);
  if (in.noise || !c.loop.plantIn)
    return 1.0L / (1.0L + l);
  return (c.loop.compIn ? kgp : l) / (1.0L + l);
}

// Degrees a - b brought into (-180, 180].
long double TurnDiff(long double a, long double b)
{
  long double d = std::fmod(a - b, 360.0L);
  if (d > 180)
    d -= 360;
  if (d <= -180)
    d += 360;
  return d;
}

// A sweep of 1/(s + 1) e^(-0.5 s) from 0.1 to 30 rad/s, set up to run.
std::unique_ptr<FREQSTAT> DelaySweep(FreqView view, bool closed, int points)
{
  WriteLoop({"1", "", "1", "s+1", 1, 0.5});
  auto rec = NewFreqRecord();
  rec->set.view = view;
  rec->loop.closedLoop = closed;
  rec->set.startFreq = 0.1;
  rec->set.endFreq = 30;
  rec->set.points = points;
  return rec;
}

void SetInput(FREQSTAT& rec, const Input& in)
{
  rec.loop.closedLoop = in.closed;
  rec.loop.refInput = in.ref;
  rec.loop.loadInput = in.load;
  rec.loop.noiseInput = in.noise;
}

}  // namespace

TEST(FreqEngine, StoredPointsAreTheExactResponseInEveryViewLoopAndInput)
{
  ModelScope model;
  for (const LoopCase& c : Loops()) {
    WriteLoop(c.loop);
    for (const Input& in : kInputs) {
      if (!in.closed && in.load && !c.loop.plantIn)
        continue;  // refused (tested with the messages)
      for (FreqView view : kViews) {
        SCOPED_TRACE(std::string(c.name) + ", " + in.name + ", view " + kFreqViewNames[static_cast<int>(view)].cli);
        auto rec = NewFreqRecord();
        SetElements(rec->loop, c.loop);
        SetInput(*rec, in);
        rec->set.view = view;
        ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
        ASSERT_EQ(rec->result.count, 200);
        for (int i = 0; i < rec->result.count; ++i) {
          const FreqPoint& p = rec->result.points[i];
          const long double w = rec->result.omega[i];
          const Cld v = Displayed(c, in, w);
          const long double mag = std::abs(v), deg = std::arg(v) * 180 / kPiL;
          ASSERT_TRUE(Near(p.tag, w, 1e-7L));
          switch (view) {
            case FreqView::DirectNyquist:
            case FreqView::InverseNyquist: {
              const Cld e = view == FreqView::DirectNyquist ? v : 1.0L / v;
              ASSERT_TRUE(Near(p.x, e.real(), 0, 1e-6L * std::abs(e)))
                  << i << ": " << p.x << " vs " << double(e.real());
              ASSERT_TRUE(Near(p.y, e.imag(), 0, 1e-6L * std::abs(e)))
                  << i << ": " << p.y << " vs " << double(e.imag());
              break;
            }
            case FreqView::Nichols:
              ASSERT_NEAR(double(TurnDiff(p.x, deg)), 0.0, 1e-6 * std::max(1.0, std::fabs(double(p.x)))) << i;
              ASSERT_TRUE(Near(p.y, 20 * std::log10(mag), 1e-6L, 1e-9L)) << i;
              break;
            case FreqView::BodeGain:
            case FreqView::BodePhase:
              ASSERT_TRUE(Near(p.x, std::log10(w), 1e-6L, 1e-9L)) << i;
              if (view == FreqView::BodeGain) {
                ASSERT_TRUE(Near(p.y, 20 * std::log10(mag), 1e-6L, 1e-9L)) << i;
              } else {
                ASSERT_NEAR(double(TurnDiff(p.y, deg)), 0.0, 1e-6 * std::max(1.0, std::fabs(double(p.y)))) << i;
              }
              break;
          }
        }
      }
    }
  }
}

TEST(FreqEngine, PrepareSweepMessages)
{
  const struct {
    const char* what;
    LoopTexts loop;
    const char* input;  // "ref", "load" or "noise"
    double start;
    bool logGrid;
    int points;
    const char* message;  // nullptr: computes
  } kCases[] = {
      {"noise in open loop",
       {"1", "", "1", "s+1", 1, 0, 0, false, true, false},
       "noise",
       0.2,
       true,
       200,
       "Invalid input for open-loop systems"},
      {"load with the compensator alone, open",
       {"1", "s", "1", "s+1", 1, 0, 0, true, false, false},
       "load",
       0.2,
       true,
       200,
       "Invalid input with controller alone"},
      {"load with the compensator alone, closed",
       {"1", "s", "1", "s+1", 1, 0, 0, true, false, true},
       "load",
       0.2,
       true,
       200,
       nullptr},
      {"zero start, type 1 plant",
       {"1", "", "1", "s(s+1)", 1, 0, 0, false, true, false},
       "ref",
       0,
       false,
       200,
       "Zero initial frequency only allowed with Type 0 systems"},
      {"zero start, type 1 compensator alone",
       {"1", "s", "1", "s+1", 1, 0, 0, true, false, true},
       "ref",
       0,
       false,
       200,
       "Zero initial frequency only allowed with Type 0 systems"},
      {"zero start, type 0 plant", {"1", "s", "1", "s+1", 1, 0, 0, false, true, false}, "ref", 0, false, 200, nullptr},
      {"zero start, discrete integrator",
       {"1", "z-1", "1", "z-0.5", 1, 0, 0.1, true, true, false},
       "ref",
       0,
       false,
       200,
       nullptr},
      {"discrete loop without sample time",
       {"1", "z-1", "1", "z-0.5", 1, 0, 0, true, true, false},
       "ref",
       0.2,
       true,
       200,
       "Sample-hold time is zero"},
      {"model error passes through",
       {"1", "s", "1", "z-0.5", 1, 0, 0, true, true, false},
       "ref",
       0.2,
       true,
       200,
       "Discrete plant must have discrete controller"},
      {"merge too high",
       {"1+s^2", "s^2+2s+1", "1", "s^3+3s^2+3s+1", 1, 0, 0, true, true, true},
       "ref",
       0.2,
       true,
       200,
       "Order too high"},
      {"zero plant denominator",
       {"1", "", "1", "0", 1, 0, 0, false, true, false},
       "ref",
       0.2,
       true,
       200,
       "No denominator"},
      {"zero compensator denominator",
       {"1", "0", "1", "s+1", 1, 0, 0, true, true, false},
       "load",
       0.2,
       true,
       200,
       "No denominator"},
      {"log grid from 0",
       {"1", "", "1", "s+1", 1, 0, 0, false, true, false},
       "ref",
       0,
       true,
       200,
       "Don't use logarithmic frequency increment with zero start frequency"},
      {"no points",
       {"1", "", "1", "s+1", 1, 0, 0, false, true, false},
       "ref",
       0.2,
       true,
       0,
       "No of Points must lie between 1 and 1000"},
  };
  ModelScope model;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    WriteLoop(c.loop);
    auto rec = NewFreqRecord();
    SetElements(rec->loop, c.loop);
    SetInput(*rec, {"", c.loop.closed, std::strcmp(c.input, "ref") == 0, std::strcmp(c.input, "load") == 0,
                    std::strcmp(c.input, "noise") == 0});
    rec->set.startFreq = c.start;
    rec->set.logIncrement = c.logGrid;
    rec->set.points = c.points;
    const bool ok = ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec);
    if (c.message) {
      EXPECT_FALSE(ok);
      EXPECT_TRUE(ErrorPending());
      EXPECT_STREQ(ErrorMessage(), c.message);
    } else {
      EXPECT_TRUE(ok) << ErrorMessage();
      EXPECT_FALSE(ErrorPending());
      EXPECT_EQ(rec->result.count, 200);
      EXPECT_TRUE(std::isfinite(rec->result.points[0].x) && std::isfinite(rec->result.points[0].y));
    }
    ClearError();
  }
}

TEST(FreqEngine, GridIsLogarithmicLinearOrASinglePoint)
{
  const struct {
    double start, end;
    bool logGrid;
    int points;
  } kGrids[] = {{0.2, 8, true, 200}, {0.01, 1000, true, 1000}, {0, 5, false, 11}, {1, 3, false, 1000},
                {0.5, 4, true, 1},   {0.5, 4, false, 1},       {2, 3, true, 2}};
  ModelScope model;
  for (const auto& g : kGrids) {
    SCOPED_TRACE(std::to_string(g.start) + " to " + std::to_string(g.end) + ", " + std::to_string(g.points));
    auto rec = NewFreqRecord();
    rec->set.startFreq = g.start;
    rec->set.endFreq = g.end;
    rec->set.logIncrement = g.logGrid;
    rec->set.points = g.points;
    ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
    ASSERT_EQ(rec->result.count, g.points);
    for (int i = 0; i < g.points; ++i) {
      const long double t = g.points > 1 ? static_cast<long double>(i) / (g.points - 1) : 0;
      const long double w = g.logGrid ? g.start * std::pow(g.end / static_cast<long double>(g.start), t)
                                      : g.start + (g.end - g.start) * t;
      ASSERT_TRUE(Near(rec->result.omega[i], w, 1e-12L, 1e-14L)) << i;
      ASSERT_EQ(rec->result.points[i].tag, static_cast<float>(rec->result.omega[i]));
    }
  }
}

TEST(FreqEngine, ZeroGainAndZerosOnTheGridGiveTheClosedLoopNotNaN)
{
  // Plant (s^2 + 4)/(s + 1)^3 or compensator (s^2 + 4)/(s + 1)^2 vanish
  // exactly at w = 2, the middle of the grid 1, 2, 3.
  const struct {
    const char* what;
    double gain;
    bool compZero;  // the zero in the compensator, else in the plant
    Input in;
    FreqView view;
    double x, y;  // at w = 2; NaN where the point does not exist
  } kCases[] = {
      {"K 0, reference", 0, false, {"", true, true, false, false}, FreqView::DirectNyquist, 0, 0},
      {"K 0, noise", 0, false, {"", true, false, false, true}, FreqView::DirectNyquist, 1, 0},
      {"K 0, noise, inverse", 0, false, {"", true, false, false, true}, FreqView::InverseNyquist, 1, 0},
      {"K 0, load", 0, false, {"", true, false, true, false}, FreqView::DirectNyquist, 0, 0},
      {"K 0, open, Nichols", 0, false, {"", false, true, false, false}, FreqView::Nichols, NAN, NAN},
      {"K 0, closed, Bode gain", 0, false, {"", true, true, false, false}, FreqView::BodeGain, std::log10(2.0), NAN},
      {"K 0, closed, Bode phase", 0, false, {"", true, true, false, false}, FreqView::BodePhase, std::log10(2.0), NAN},
      {"plant zero, open, Bode gain",
       2,
       false,
       {"", false, true, false, false},
       FreqView::BodeGain,
       std::log10(2.0),
       NAN},
      {"plant zero, reference", 2, false, {"", true, true, false, false}, FreqView::DirectNyquist, 0, 0},
      {"plant zero, inverse, open", 2, false, {"", false, true, false, false}, FreqView::InverseNyquist, NAN, NAN},
      // The load reaches the output through K Gp alone: 2/(2j + 1)^2.
      {"compensator zero, load",
       2,
       true,
       {"", true, false, true, false},
       FreqView::DirectNyquist,
       double(std::real(2.0L / std::pow(Jw(2) + 1.0L, 2))),
       double(std::imag(2.0L / std::pow(Jw(2) + 1.0L, 2)))},
  };
  ModelScope model;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    if (c.compZero)
      WriteLoop({"s^2+4", "s^2+2s+1", "1", "s^2+2s+1", c.gain});
    else
      WriteLoop({"1", "s+1", "s^2+4", "s^3+3s^2+3s+1", c.gain});
    auto rec = NewFreqRecord();
    rec->loop.compIn = true;
    SetInput(*rec, c.in);
    rec->set.view = c.view;
    rec->set.startFreq = 1;
    rec->set.endFreq = 3;
    rec->set.points = 3;
    rec->set.logIncrement = false;
    ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
    const FreqPoint& p = rec->result.points[1];
    ASSERT_EQ(p.tag, 2.0f);
    for (auto [got, want] : {std::pair{p.x, c.x}, std::pair{p.y, c.y}}) {
      if (std::isnan(want))
        EXPECT_TRUE(std::isnan(got)) << got;
      else
        EXPECT_NEAR(got, want, 1e-6 * std::max(1.0, std::fabs(want)));
    }
    // Next to a zero on the grid the points exist.
    for (int i = 0; i < 3 && c.gain != 0; i += 2)
      EXPECT_TRUE(std::isfinite(rec->result.points[i].x) && std::isfinite(rec->result.points[i].y)) << i;
  }
}

TEST(FreqEngine, OnlyAPoleExactlyOnTheGridIsGuarded)
{
  const struct {
    const char* what;
    const char* den;
    double gain;
    double w;
    double db;
  } kCases[] = {
      {"exactly on the pole of 1/(s^2 + 1)", "s^2+1", 3, 1, 20 * std::log10(3e5)},
      {"exactly on the pole of 1/(s^2 + 1), K -3", "s^2+1", -3, 1, 20 * std::log10(3e5)},
      {"1/s at 1e-6 rad/s", "s", 1, 1e-6, 120},
      {"1/s^2 at 1e-7 rad/s", "s^2", 1, 1e-7, 280},
      {"1/(s^2 + 1) next to its pole", "s^2+1", 1, 1 + 1e-9, -20 * std::log10(std::fabs(1 - (1 + 1e-9) * (1 + 1e-9)))},
  };
  ModelScope model;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    WriteLoop({"1", "", "1", c.den, c.gain});
    auto rec = NewFreqRecord();
    rec->set.view = FreqView::BodeGain;
    rec->set.startFreq = c.w;
    rec->set.endFreq = 2 * c.w;
    rec->set.points = 1;
    ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
    EXPECT_NEAR(rec->result.points[0].y, c.db, 1e-6 * std::fabs(c.db) + 1e-6);
  }
}

TEST(FreqEngine, PhaseTrackingThresholds)
{
  constexpr double kPiD = 3.141592653589793;
  ModelScope model;
  auto rec = NewFreqRecord();
  FreqPointState& pt = rec->pt;
  // Start: the displayed open-loop phase lands in (-270, 90] deg; a positive
  // closed-loop phase with a negative open-loop one moves down a turn.
  const struct {
    double phi, psi;
    double open, closed;  // displayed, rad
  } kStarts[] = {{0.5, -0.1, 0.5, -0.1},
                 {kPiD / 2, 0.2, kPiD / 2, 0.2},
                 {kPiD / 2 + 1e-9, 0.2, kPiD / 2 + 1e-9 - 2 * kPiD, 0.2 - 2 * kPiD},
                 {-3 * kPiD / 2, 0.3, kPiD / 2, 0.3},
                 {-3 * kPiD / 2 + 1e-9, 0.3, -3 * kPiD / 2 + 1e-9, 0.3 - 2 * kPiD},
                 {2.5 * kPiD, 0, 0.5 * kPiD, 0},
                 {-40.0, -1.0, -40 + 6 * 2 * kPiD, -1.0}};
  for (const auto& s : kStarts) {
    pt.openPhase = s.phi;
    pt.closedPhase = s.psi;
    StartPhaseTracking(*rec);
    EXPECT_NEAR(pt.openPhase + pt.openOffset, s.open, 1e-12) << s.phi;
    EXPECT_NEAR(pt.closedPhase + pt.closedOffset, s.closed, 1e-12) << s.phi;
  }
  // Track: jumps of more than pi (strictly) change the offset by a turn.
  const struct {
    double prev, now, change;
  } kSteps[] = {{kPiD, 0, 0},          {0, kPiD, 0},          {kPiD, -1e-9, 2 * kPiD}, {0, kPiD + 1e-9, -2 * kPiD},
                {3.1, -3.1, 2 * kPiD}, {-3.1, 3.1, -2 * kPiD}};
  for (const auto& s : kSteps) {
    pt.openOffset = pt.closedOffset = 0;
    pt.prevOpenPhase = pt.prevClosedPhase = s.prev;
    pt.openPhase = pt.closedPhase = s.now;
    TrackPhase(*rec);
    EXPECT_EQ(pt.openOffset, s.change) << s.prev << " to " << s.now;
    EXPECT_EQ(pt.closedOffset, s.change) << s.prev << " to " << s.now;
  }
  // Without monotonic phase both functions only wrap into [-2 pi, 0].
  rec->set.monotonicPhase = false;
  for (double a : {0.5, 0.0, -2 * kPiD, -7.0, 1e6, -1e9}) {
    pt.openPhase = pt.closedPhase = a;
    pt.openOffset = pt.closedOffset = 1;
    TrackPhase(*rec);
    EXPECT_EQ(pt.openOffset, 0.0);
    EXPECT_GE(pt.openPhase, -2 * kPiD) << a;
    EXPECT_LE(pt.openPhase, 0.0) << a;
    EXPECT_NEAR(std::remainder(pt.openPhase - a, 2 * kPiD), 0.0, 1e-9 * std::max(1.0, std::fabs(a))) << a;
  }
}

TEST(FreqEngine, MonotonicPhaseOfADelayFallsWithoutJumps)
{
  // 1/(s + 1) e^(-tau s): phase -atan(w) - tau w, whatever the grid; with
  // 0.5 s through -180 deg near 4.7 rad/s and on to about -950 deg at 30
  // rad/s. A 2 s delay on 200 points to 100 rad/s turns by more than a half
  // turn between the last points, to about -11550 deg.
  const struct {
    double delay, end;
    int points;
    double lowest;  // deg, the open-loop phase ends below
  } kSweeps[] = {{0.5, 30, 1000, -900}, {2, 100, 200, -11500}};
  ModelScope model;
  for (const auto& sweep : kSweeps) {
    for (bool closed : {false, true}) {
      SCOPED_TRACE(std::to_string(sweep.delay) + " s, " + (closed ? "closed" : "open"));
      auto rec = DelaySweep(FreqView::BodePhase, closed, sweep.points);
      Sys().delay = sweep.delay;
      rec->set.endFreq = sweep.end;
      const bool coarse = sweep.delay * sweep.end * (1 - std::pow(0.1 / sweep.end, 1.0 / (sweep.points - 1))) > kPiL;
      if (closed && coarse)
        continue;  // the closed loop's phase has no exact part to take out
      ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
      // The phases the margin marks and the cursor follow, tracked again.
      TrackSweepPhases(*rec);
      double prev = rec->result.points[0].y;
      for (int i = 1; i < sweep.points; ++i) {
        const double y = rec->result.points[i].y;
        const double tracked = (closed ? rec->result.closedPhase[i] : rec->result.openPhase[i]) * 180 / kPiL;
        ASSERT_NEAR(tracked, y, 1e-4 * std::fabs(y)) << i;
        if (!coarse) {
          EXPECT_LT(std::fabs(y - prev), 10) << i;  // no turn skipped
        }
        if (!closed) {
          const long double w = rec->result.omega[i];
          const long double exact = -(std::atan(w) + sweep.delay * w) * 180 / kPiL;
          ASSERT_TRUE(Near(y, exact, 1e-6L)) << i << ": " << y << " vs " << double(exact);
          EXPECT_LT(y, prev) << i;
        }
        prev = y;
      }
      EXPECT_LT(prev, closed ? -540 : sweep.lowest);
    }
  }
}

TEST(FreqEngine, CursorReadsThePhaseOfTheDrawnCurveInAnyOrder)
{
  ModelScope model;
  const struct {
    FreqView view;
    bool closed;
  } kCurves[] = {{FreqView::BodePhase, false}, {FreqView::BodePhase, true}, {FreqView::DirectNyquist, false}};
  for (const auto [view, closed] : kCurves) {
    auto rec = DelaySweep(view, closed, 400);
    ASSERT_TRUE(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec)) << ErrorMessage();
    for (int i : {399, 5, 398, 200, 0, 120, 399}) {
      const double w = rec->result.points[i].tag;
      const CursorValues v = EvaluateForCursor(*rec, w);
      const long double wd = rec->result.omega[i];
      EXPECT_NEAR(v.openPhaseDeg, double(-(std::atan(wd) + 0.5L * wd) * 180 / kPiL), 1e-9) << i;
      EXPECT_NEAR(v.openMag, double(1 / std::sqrt(1 + wd * wd)), 1e-12) << i;
      if (view == FreqView::BodePhase) {
        EXPECT_NEAR(closed ? v.closedPhaseDeg : v.openPhaseDeg, rec->result.points[i].y, 1e-4) << i;
      }
      const Cld t = std::polar(1.0L, -0.5L * wd) / (Jw(wd) + 1.0L + std::polar(1.0L, -0.5L * wd));
      EXPECT_NEAR(v.closedMag, double(std::abs(t)), 1e-12) << i;
      EXPECT_NEAR(double(TurnDiff(v.closedPhaseDeg, std::arg(t) * 180 / kPiL)), 0.0, 1e-9) << i;
    }
  }
}
