// Worked examples of the root-locus engine, its contours and label
// places, the report, the cursor's read-outs, the status bar and "Set gain".

#include "engine/root/RootEngine.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/root/RootReadouts.h"
#include "engine/root/RootReport.h"
#include "tests/engine/root/LocusCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kPi = M_PI;

class RootEngine : public ::testing::Test {
protected:
  ModelScope model;
  std::unique_ptr<ROOTSTAT> rec = CreateRootLocus(Sys());

  // Plant num/den alone, or with the start-up compensator; the start rectangle.
  void Loop(const char* num, const char* den, double gain = 1, double delay = 0, bool comp = false)
  {
    SetText(Sys().num[kPlant], num);
    SetText(Sys().den[kPlant], den);
    Sys().gain = gain;
    Sys().delay = delay;
    rec->loop.compIn = comp;
  }
  std::string Message() const { return ErrorPending() ? ErrorMessage() : ""; }
  int Find(int tag) const
  {
    for (int i = 0; i < rec->result.count; ++i)
      if (static_cast<int>(rec->result.points[i].tag) == tag)
        return i;
    return -1;
  }
};

TEST_F(RootEngine, BranchStartsAndFailures)
{
  const struct Case {
    const char *num, *den;
    double gain, delay;
    const char* error;
    int branches;
    double dir[2];  // at the poles, in root-set order
    double yMin = -1;
  } cases[] = {
      {"1", "s+1", 1, 0, "", 1, {-kPi}},
      {"1", "s+1", 1, 0, "", 1, {-kPi}, 0},  // the locus runs along the bottom edge: no false entries
      {"1", "(s+1)(s+3)", 1, 0, "", 2, {kPi, 0}},
      {"1", "(s+1)(s+3)", -1, 0, "", 2, {0, kPi}},                // negative gain: no pi term
      {"s+1.0001", "(s+1)(s+3)", 1, 0, "", 1, {kPi}},             // -1 cancels against the zero
      {"1", "(s+1)(s+1.001)", 1, 0, "", 2, {-kPi / 2, kPi / 2}},  // counted as a double pole
      {"1", "(s+1.001)(s+1)", 1, 0, "", 2, {-kPi / 2, kPi / 2}},  // ... in either order
      {"1", "s+10", 1, 0, "No loci on screen", 0, {}},
      {"1", "s+1", 1, 30, "Too many loci", 0, {}},  // the delay's branches enter at the left edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.num) + " / " + c.den);
    Loop(c.num, c.den, c.gain, c.delay);
    SetWindow(*rec, -5, 3, c.yMin, 3);
    const bool ok = TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec);
    EXPECT_EQ(Message(), c.error);
    if (!ok) {
      EXPECT_EQ(CursorPointCount(*rec), 0);  // the failed trace publishes nothing
      continue;
    }
    const LocusResult& r = rec->result;
    EXPECT_EQ(r.branchCount, c.branches);
    for (int b = 0; b < c.branches; ++b) {
      EXPECT_TRUE(r.starts[b].atPole);
      EXPECT_NEAR(std::cos(r.starts[b].direction), std::cos(c.dir[b]), 1e-9) << b;
      EXPECT_NEAR(std::sin(r.starts[b].direction), std::sin(c.dir[b]), 1e-9) << b;
    }
  }
}

// The edge scan walks the left and right edges in steps of the x range
// over N: a rectangle whose height is more steps than the bound is refused
// before the scan, and no bound may leave the axis range.
TEST_F(RootEngine, RectangleIsBoundedBeforeTheScan)
{
  // The height in steps is (y max - y min) (N + 1e-6) / (x max - x min).
  const struct Case {
    double xMin, xMax, yMin, yMax;
    int points;
    const char* error;
  } cases[] = {
      {-5, 3, -1, 3998, 200, ""},                 // 99 975 steps
      {-5, 3, -1, 4001, 200, kLocusTallMessage},  // 100 050
      {-5, 3, -1, 1e9, 200, kLocusTallMessage},   // 2.5e10: scanned for hours before
      {-5, 3, -1, 798, 1000, ""},                 // 99 875
      {-5, 3, -1, 801, 1000, kLocusTallMessage},  // 100 250
      {-5, 3, -1, 2e20, 5, "Y-axis max must lie between -1E20 and 1E20"},
      {-1e21, 3, -1, 3, 5, "X-axis min must lie between -1E20 and 1E20"},
      {-5, 3, 4, 3, 200, "Max must exceed Min"},
  };
  Loop("1", "(s+1)(s+3)");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.yMax) + " N " + std::to_string(c.points));
    rec->points = c.points;
    SetWindow(*rec, c.xMin, c.xMax, c.yMin, c.yMax);
    const bool ok = TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec);
    EXPECT_EQ(Message(), c.error);
    EXPECT_EQ(ok, !*c.error);
    if (ok) {  // the two poles' branches, and no false entry on the long edges
      EXPECT_EQ(rec->result.branchCount, 2);
    }
  }
}

TEST_F(RootEngine, TwoPolesBreakAwayAtMinusTwoWithGainOne)
{
  Loop("1", "(s+1)(s+3)");
  ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec)) << Message();
  const LocusResult& r = rec->result;
  const int b = Find(kTagBreakPoint);
  ASSERT_GE(b, 0);
  EXPECT_NEAR(r.points[b].x, -2, 0.1 * r.step);
  EXPECT_EQ(r.points[b].y, 0.0f);
  EXPECT_NEAR(LocusGain(rec->decoded, -2, 0), 1.0, 1e-12);
  EXPECT_NEAR(ArgDegrees(rec->decoded, -2, 1.5), -180, 1e-9);
  // The branch leaves vertically; the lower one leaves through y min.
  EXPECT_NEAR(r.points[b + 1].x, -2, r.tolerance);
  EXPECT_NEAR(std::fabs(r.points[b + 1].y), r.step, r.tolerance);
  EXPECT_LT(r.points[r.count - 1].y, -1.0f);
}

TEST_F(RootEngine, DelayEntersTheAngleAndTheGain)
{
  Loop("1", "s+1", 2, 0.5);
  ASSERT_TRUE(PrepareRootLoop(DecodeRootLoop(Sys(), *rec).roots, *rec));
  const LoopPolys g{{1}, {1, 1}, 0.5L};
  for (const LC s : {LC(-2, 1), LC(0.5, 3), LC(-1, -0.25)}) {
    const double x = (double)s.real(), y = (double)s.imag();
    EXPECT_NEAR(AngleDeficit(rec->decoded, x, y), (double)std::remainder(std::arg(g.G(s)) - M_PIl, 2 * M_PIl), 1e-12);
    EXPECT_NEAR(LocusGain(rec->decoded, x, y), (double)(1 / std::abs(g.G(s))), 1e-12);
  }
}

TEST_F(RootEngine, StoreHoldsEveryWriteWhenBranchesOutgrowIt)
{
  Loop("1", "s+1", 1, 12);
  rec->points = 1000;
  ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec)) << Message();
  EXPECT_EQ(rec->result.count, kLocusStoreSize);
  EXPECT_GE(rec->result.branchCount, 5);
}

TEST_F(RootEngine, DampingAndSettlingContours)
{
  Loop("1", "s+1");
  ASSERT_TRUE(DampingContour(*rec, 0.5));
  const double R = std::sqrt(34.0);  // to the far corner (-5, 3); the rays are 2R long
  ASSERT_EQ(rec->result.count, 3);
  for (const int i : {0, 2}) {
    EXPECT_NEAR(rec->result.points[i].x, -R, 1e-5);
    EXPECT_NEAR(rec->result.points[i].y, (1 - i) * 2 * R * std::sqrt(0.75), 1e-5);
  }
  ASSERT_TRUE(SettlingContour(DecodeRootLoop(Sys(), *rec).roots, *rec));
  ASSERT_EQ(rec->result.count, 2);
  EXPECT_EQ(rec->result.points[0].x, -3.0f);
  EXPECT_EQ(rec->result.points[0].y, -1.0f);
  EXPECT_EQ(rec->result.points[1].y, 3.0f);
  SetWindow(*rec, 0, 3, -1, 3);
  ASSERT_TRUE(DampingContour(*rec, 0.5));
  EXPECT_EQ(rec->result.count, 0);

  rec->zPlane = true;
  Sys().sampleHold = 0.1;
  ASSERT_TRUE(DampingContour(*rec, 0.5));
  const LocusResult& r = rec->result;
  ASSERT_EQ(r.count, 400);
  EXPECT_FLOAT_EQ(r.points[0].x, 1);
  EXPECT_FLOAT_EQ(r.points[199].x, (float)-std::exp(-kPi / std::sqrt(3.0)));  // about -0.1630
  EXPECT_NEAR(r.points[199].y, 0, 1e-6);
  EXPECT_FLOAT_EQ(r.points[399].x, 1);
  for (int i = 1; i < 399; ++i) {  // z = exp(sT) with s at damping ratio 0.5
    const std::complex<double> s = std::log(std::complex<double>(r.points[i].x, r.points[i].y));
    EXPECT_NEAR(-s.real() / std::abs(s), 0.5, 1e-5) << i;
  }
  ASSERT_TRUE(SettlingContour(DecodeRootLoop(Sys(), *rec).roots, *rec));
  ASSERT_EQ(r.count, 400);
  for (int i = 0; i < r.count; i += 37)
    EXPECT_NEAR(std::hypot(r.points[i].x, r.points[i].y), std::exp(-0.3), 1e-6);

  double z[kMaxDampingContours];
  ASSERT_EQ(DampingRatios(0.1, 0.9, 0.2, z, kMaxDampingContours), 5);
  EXPECT_EQ(z[4], 0.9);
}

TEST_F(RootEngine, DampingLabelsSitMidwayAlongTheVisibleRays)
{
  const double t = std::sqrt(3.0);  // tan(acos 0.5)
  const struct Case {
    double x0, x1, y0, y1;
    int count;
    double x[2], y[2];
  } cases[] = {
      {-5, 3, -3, 3, 2, {-t / 2, -t / 2}, {1.5, -1.5}},      // from the origin to the top / bottom edge
      {-5, 3, -1, 3, 1, {-t / 2}, {1.5}},                    // the lower ray is short: its twin is labelled
      {-5, -1, -1, 3, 1, {-(1 + t) / 2}, {(t + 3) / 2}},     // upper ray enters at x = -1, lower misses
      {-5, 3, 0.5, 3, 1, {-(0.5 / t + 3 / t) / 2}, {1.75}},  // origin below the rectangle
      {0, 3, -1, 3, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SetWindow(*rec, c.x0, c.x1, c.y0, c.y1);
    const LabelPoints p = DampingLabelPoints(*rec, 0.5);
    ASSERT_EQ(p.count, c.count) << c.x0 << " " << c.x1 << " " << c.y0;
    for (int i = 0; i < c.count; ++i) {
      EXPECT_NEAR(p.x[i], c.x[i], 1e-12);
      EXPECT_NEAR(p.y[i], c.y[i], 1e-12);
    }
  }
}

TEST_F(RootEngine, ReportOfThreePolesAndNoZeros)
{
  Loop("2", "(s+1)(s^2+2s+5)");
  ASSERT_TRUE(PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(false)), *rec, false));
  const RootReport rep = BuildRootReport(rec->report, Sys().numberFormat);
  ASSERT_EQ(rep.lines.size(), 5u);
  EXPECT_EQ(rep.lines[0].text, "Poles:");
  EXPECT_EQ(rep.lines[0].style, ReportStyle::Bold);
  EXPECT_EQ(rep.lines[1].text, "Real\tImag\tRadius\tAngle/deg");
  EXPECT_EQ(rep.lines[1].style, ReportStyle::Underlined);
  std::vector<std::string> rows;
  for (int i = 2; i < 5; ++i) {
    EXPECT_EQ(rep.lines[i].style, ReportStyle::Plain);
    rows.push_back(rep.lines[i].text);
  }
  std::sort(rows.begin(), rows.end());
  // -1 + 2j: radius sqrt 5, angle 180 - atan 2 = 116.57 deg.
  EXPECT_EQ(rows, (std::vector<std::string>{"-1\t-2\t2.236\t-116.6", "-1\t0\t1\t180", "-1\t2\t2.236\t116.6"}));
  EXPECT_EQ(rep.tabStops[3], 4 * (5 * 4 + 30));
  EXPECT_FALSE(rep.scrollBars());

  Sys().delay = 0.1;
  EXPECT_FALSE(PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true));
  EXPECT_EQ(Message(), "Not available with delay");
}

TEST_F(RootEngine, CursorReadsOnlyTheStoredLocus)
{
  Loop("6", "(s+1)(s^2+1.4s+6)", 1, 0, true);  // the start-up loop: a pole at 0, a zero at -2
  ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec)) << Message();
  ASSERT_TRUE(PrepareRootLoop(DecodeRootLoop(Sys(), *rec).roots, *rec));
  const int n = CursorPointCount(*rec);
  const AxisRange xr{-5, 3}, yr{-1, 3};
  CursorReadout c;
  EXPECT_FALSE(CursorAt(*rec, n, {}, xr, yr, c));
  EXPECT_FALSE(CursorAt(*rec, -1, {}, xr, yr, c));

  const struct Case {
    int tag;
    const char* kind;
  } cases[] = {{kTagPoleStart, "Open-loop pole"},
               {kTagZeroEnd, "Open-loop zero"},
               {kTagBreakPoint, "Break point"},
               {2, "Branch 2"}};
  for (const Case& k : cases) {
    const int i = Find(k.tag);
    ASSERT_GE(i, 0) << k.kind;
    ASSERT_TRUE(CursorAt(*rec, i, {}, xr, yr, c));
    EXPECT_EQ(c.kind, k.kind);
    EXPECT_EQ(c.gainInfinite, k.tag == kTagZeroEnd);
  }
  // The branch reaching the zero ends with the zero itself, within 1.1 h of the last step.
  const LocusPoint* end = &rec->result.points[Find(kTagZeroEnd)];
  EXPECT_EQ(end->x, -2.0f);
  EXPECT_EQ(end->y, 0.0f);
  EXPECT_LT(std::hypot(end[-1].x + 2, end[-1].y), 1.1 * rec->result.step);
  ASSERT_TRUE(CursorAt(*rec, 0, {}, xr, yr, c));  // the pole at the origin: no angle
  EXPECT_EQ(c.x, 0.0);
  EXPECT_TRUE(c.angleEmpty);

  // Relative gain: the ratio of |D/N| at the two points.
  const LoopPolys g{{6, 3}, {0, 6, 7.4L, 2.4L, 1}};
  CursorReadout a, b;
  CursorReference ref;
  ASSERT_TRUE(CursorAt(*rec, n / 3, {}, xr, yr, a) && TakeReference(a, ref));
  ASSERT_TRUE(CursorAt(*rec, 2 * n / 3, ref, xr, yr, b));
  EXPECT_NEAR(b.gainShown, (double)(std::abs(g.G(LC(a.x, a.y))) / std::abs(g.G(LC(b.x, b.y)))), 1e-9);
  EXPECT_NEAR(b.realShown, b.x - a.x, 1e-12);

  Sys().gain = -1;  // a locus of negative gains: relative mode stays absolute
  ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec));
  ASSERT_TRUE(CursorAt(*rec, 1, {}, xr, yr, a));
  EXPECT_FALSE(TakeReference(a, ref));
  EXPECT_EQ(ref.gain, 1.0);
}

TEST_F(RootEngine, SetGainRefusals)
{
  Loop("s+2", "(s+1)(s+3)");
  ASSERT_TRUE(TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec));
  double k = 0;
  const struct Case {
    double x, y;
    int tag;
    const char* message;
  } cases[] = {{-2, 0, kTagZeroEnd, "Infinite gain at this point"},
               {-1, 0, kTagPoleStart, "Zero gain at this point"},
               {-2.5, 0, 1, "Gain of the wrong sign at this point"}};
  for (const Case& c : cases) {
    EXPECT_FALSE(GainAtLocusPoint(DecodeRootLoop(Sys(), *rec).roots, *rec, c.x, c.y, c.tag, k));
    EXPECT_EQ(Message(), c.message);
  }
  ASSERT_TRUE(GainAtLocusPoint(DecodeRootLoop(Sys(), *rec).roots, *rec, -1.5, 0, 1, k));
  EXPECT_NEAR(k, 0.5 * 1.5 / 0.5, 1e-12);  // |(s+1)(s+3)/(s+2)| at -1.5
}

TEST_F(RootEngine, StatusBarArgAndDampingRatio)
{
  Loop("1", "(s+1)(s+3)");
  ASSERT_TRUE(PrepareRootLoop(DecodeRootLoop(Sys(), *rec).roots, *rec));
  ::Loop fresh;
  const auto status = [&](double x, double y) {
    return RootStatusAt(ReadoutLoop(Sys(), *rec, fresh), *rec, x, y, Sys().numberFormat);
  };
  EXPECT_EQ(status(-2, 2 * std::sqrt(3.0)).text, "Arg{G(s)} = -180 deg, Damping ratio = 0.5");
  EXPECT_EQ(status(1, 1).text.find("Damping"), std::string::npos);

  // z = exp(sT) of s = wn(-zeta + j sqrt(1 - zeta^2)), for wn T = w.
  const auto zOf = [](double zeta, double w) {
    return std::polar(std::exp(-zeta * w), w * std::sqrt(1 - zeta * zeta));
  };
  const struct Case {
    std::complex<double> z;
    double zeta;
  } z[] = {{0, 1},
           {0.5, 1},
           {1.2, -1},
           {{0.3, 0.99}, -1},
           {zOf(0.3, 1), 0.3},
           {zOf(0.7, 2.5), 0.7},
           {zOf(0.2, kPi / std::sqrt(0.96)), 0.2}};  // the last on the negative real axis
  for (const Case& c : z)
    EXPECT_NEAR(DampingRatioAt(true, c.z.real(), c.z.imag()), c.zeta, 1e-9) << c.z;

  SetText(Sys().num[kPlant], "");  // the update fails: no Arg, nothing left pending
  Sys().factoredDecodeDone = false;
  const RootStatus st = status(-1, 1);
  EXPECT_FALSE(st.argShown);
  EXPECT_FALSE(ErrorPending());
}

}  // namespace
