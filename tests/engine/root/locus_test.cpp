// The root-locus tracer checked from outside: traced points against the
// angle condition of the loop written out by hand, closed-loop roots of
// D + kN found by an independent long-double solver, break points against
// the roots of D'N - DN', for every loop of one table.

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/root/RootEngine.h"
#include "engine/root/RootReadouts.h"
#include "tests/LoopTexts.h"
#include "tests/engine/root/LocusCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::unique_ptr<ROOTSTAT> MakeLoop(const LoopTexts& l, double x0, double x1, double y0, double y1, int n)
{
  WriteLoop(l);
  auto rec = CreateRootLocus(Sys());
  rec->loop.compIn = l.compIn;
  rec->loop.plantIn = l.plantIn;
  rec->points = n;
  SetWindow(*rec, x0, x1, y0, y1);
  return rec;
}

std::string Message()
{
  return ErrorPending() ? ErrorMessage() : "";
}

const long double kE = std::exp(-0.5L);  // the sampled-data row's pole, T = 0.5

struct TraceCase {
  const char* name;
  LoopTexts loop;
  LoopPolys g;      // the same loop, written out
  bool polynomial;  // roots of D + kN and break points exist as polynomial roots
  double x0, x1, y0, y1;
  int points;
} const kCases[] = {
    {"two poles", {"1", "", "1", "(s+1)(s+3)"}, {{1}, {3, 4, 1}}, true, -5, 3, -1, 3, 200},
    {"start-up loop", {.compIn = true}, {{6, 3}, {0, 6, 7.4L, 2.4L, 1}}, true, -5, 3, -1, 3, 1000},
    {"negative gain", {"1", "", "s+2", "(s+1)(s+3)(s+4)", -1}, {{2, 1}, {12, 19, 8, 1}}, true, -6, 2, -2, 2, 200},
    {"four poles, one zero", {"1", "", "s+3", "s(s+1)(s+2)(s+4)"}, {{3, 1}, {0, 8, 14, 7, 1}}, true, -6, 2, -3, 3, 300},
    {"sampled-data 1/(s(s+1)), T 0.5",
     {"1", "", "1", "s(s+1)", 1, 0, 0.5},
     {{1 - 1.5L * kE, kE - 0.5L}, {kE, -(1 + kE), 1}},
     true,
     -2,
     2,
     -1.2,
     1.8,
     200},
    {"delay 0.5", {"1", "", "1", "s+1", 1, 0.5}, {{1}, {1, 1}, 0.5L}, false, -5, 3, -1, 14, 200},
};

TEST(RootLocus, TracedPointsLieOnTheLocusAndCoverEveryClosedLoopRoot)
{
  for (const TraceCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ModelScope model;
    auto rec = MakeLoop(c.loop, c.x0, c.x1, c.y0, c.y1, c.points);
    ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec)) << Message();
    const LocusResult& r = rec->result;
    ASSERT_LT(r.count, 1990);  // nothing cut off by the store
    const bool positive = c.loop.gain > 0;
    const double h = r.step, tol = r.tolerance;
    std::vector<LC> stored, breaks;
    for (int i = 0; i < r.count; ++i) {
      const LocusPoint& p = r.points[i];
      const int tag = static_cast<int>(p.tag);
      ASSERT_TRUE((tag >= 1 && tag <= r.branchCount) || (tag >= kTagBreakPoint && tag <= kTagPoleStart));
      const LC s(p.x, p.y);
      stored.push_back(s);
      if (tag == kTagBreakPoint)
        breaks.push_back(s);
      if (tag < 1)
        continue;
      EXPECT_LE(c.g.DistanceToLocus(s, positive), 1.05 * tol + 1e-6 * std::abs(s)) << p.x << "," << p.y;
      EXPECT_TRUE(p.y == 0 || std::fabs(p.y) >= tol) << "not snapped to the axis: " << p.y;
    }
    if (!c.polynomial)
      continue;

    // Every closed-loop root inside the rectangle, for gains over six decades.
    for (double e = -3; e <= 3; e += 0.05) {
      const long double k = (positive ? 1 : -1) * std::pow(10.0L, e);
      for (const LC& z : Roots(AddScaled(c.g.den, c.g.num, k))) {
        if (z.real() > c.x0 && z.real() < c.x1 && z.imag() > c.y0 && z.imag() < c.y1) {
          EXPECT_LE(Nearest(stored, z), 1.5 * h)
              << "k " << (double)k << " root " << (double)z.real() << "," << (double)z.imag();
        }
      }
    }
    // Break points are the roots of D'N - DN' where the gain has the loop's sign.
    const std::vector<LC> stationary =
        Roots(AddScaled(Mul(Derivative(c.g.den), c.g.num), Mul(c.g.den, Derivative(c.g.num)), -1));
    for (const LC& b : breaks)
      EXPECT_LE(Nearest(stationary, b), 0.1 * h) << (double)b.real() << "," << (double)b.imag();
    for (const LC& z : stationary) {
      const long double k = (-Eval(c.g.den, z) / Eval(c.g.num, z)).real();
      if (std::fabs(z.imag()) < 1e-9 && z.real() > c.x0 + h && z.real() < c.x1 - h && (k > 0) == positive) {
        EXPECT_LE(Nearest(breaks, z), 0.1 * h) << "break point at " << (double)z.real() << " not found";
      }
    }

    // "Set gain" at a point in the middle of the store puts a closed-loop pole there.
    int mid = r.count / 2;
    while (r.points[mid].tag < 1)
      ++mid;
    double k = 0;
    ASSERT_TRUE(GainAtLocusPoint(DecodeRootLoop(Sys(), *rec).roots, *rec, r.points[mid].x, r.points[mid].y, 1, k))
        << Message();
    EXPECT_LE(Nearest(Roots(AddScaled(c.g.den, c.g.num, k)), stored[mid]), tol);

    // The closed-loop report at a loop gain of 2.5 K.
    Sys().gain = 2.5 * c.loop.gain;
    ASSERT_TRUE(PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true)) << Message();
    std::vector<LC> reported;
    const RootLocations& found = rec->report;
    for (int i = 0; i < found.poles.n; ++i)
      reported.emplace_back(found.poles.r[i].re, found.poles.r[i].im);
    const std::vector<LC> poles = Roots(AddScaled(c.g.den, c.g.num, Sys().gain));
    ASSERT_EQ(reported.size(), poles.size());
    for (const LC& z : poles)
      EXPECT_LE(Nearest(reported, z), 1e-9 * std::max(1.0L, std::abs(z)));
    ASSERT_EQ(found.zeros.n, static_cast<int>(c.g.num.size()) - 1);
  }
}

}  // namespace
