// The static characteristic against closed forms of the nonlinearities,
// computed here in long double from the definitions of the functions.

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/nlin/NlinEngine.h"
#include "tests/DecodedRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using LD = long double;

// Quantiser: nearest multiple of q, halves away from zero.
LD Quant(LD x, LD q)
{
  return std::round(x / q) * q;
}
LD Clip(LD x, LD l)
{
  return std::clamp(x, -l, l);
}
LD Dzone(LD x, LD w)
{
  return std::fabs(x) < w ? 0 : (x > 0 ? x - w : x + w);
}
LD Sgn(LD x)
{
  return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

class NlinTest : public ::testing::Test {
protected:
  // A record with the given texts and switches, x range and N.
  NLINSTAT& Setup(const char* fwd, const char* fbk, bool fwdIn, bool fbkIn, double x0 = -5, double x1 = 5, int n = 200)
  {
    SetText(Sys().fwdNlText, fwd);
    SetText(Sys().fbkNlText, fbk);
    CreateNonlinearCurve(*rec_, x0, x1);
    rec_->loop.fwdNl = fwdIn;
    rec_->loop.fbkNl = fbkIn;
    rec_->points = n;
    return *rec_;
  }

  static std::string Pending() { return ErrorPending() ? ErrorMessage() : ""; }

  ModelScope model_;
  std::unique_ptr<NLINSTAT> rec_ = std::make_unique<NLINSTAT>();
};

// The store holds single precision: compare with a float's relative resolution.
void ExpectNear(float got, LD want, const std::string& where)
{
  const double w = static_cast<double>(want);
  EXPECT_NEAR(got, w, 2e-7 * std::max(1.0, std::fabs(w))) << where;
}

// N + 1 points x = x min + i (x max - x min)/N with y = up(x); with memory
// (down given) then N more on the way back, y = down(x). Backlashes of
// half-width h start at x max: up max(x min + h, x - h), down min(x max - h, x + h).
TEST_F(NlinTest, CharacteristicsMatchTheirClosedForms)
{
  using F = LD (*)(LD);
  const struct {
    const char* fwd;
    const char* fbk;
    bool fwdIn, fbkIn;
    double x0, x1;
    int n;
    F up, down;
    const char* caption;
  } kCases[] = {
      // three points -5, 0, 5; the feedback text is not valid: not in use, not compiled
      {"x^3", "1+*2", false, false, -5, 5, 2, [](LD x) { return x; }, nullptr, "No nonlinearity"},
      {"x", "2*x", true, true, -5, 5, 200, [](LD x) { return 2 * x; }, nullptr, "Both nonlinearities"},
      // q = 0.37 puts no input on a half step, where rounding could go either way
      {"quant(x,0.37)", "x", true, false, -5, 5, 200, [](LD x) { return Quant(x, 0.37L); }, nullptr,
       "Forward path nonlinearity"},
      {"1+*2", "dzone(x,1)", false, true, -3, 4, 7, [](LD x) { return Dzone(x, 1); }, nullptr,
       "Feedback path nonlinearity"},
      {"clip(x,2)", "3*x-1", true, true, -2.5, 7.5, 999, [](LD x) { return 3 * Clip(x, 2) - 1; }, nullptr,
       "Both nonlinearities"},
      {"hyst(x,1)", "x", true, false, -5, 5, 200, [](LD x) { return std::max<LD>(-4, x - 1); },
       [](LD x) { return std::min<LD>(4, x + 1); }, "Forward path nonlinearity"},
      // the start-up pair in series; no input lands on a half step of the quantiser
      {"hyst(x,-0.5)", "quant(x,0.25)", true, true, -5, 5, 200,
       [](LD x) { return Quant(std::max<LD>(-4.5, x - 0.5), 0.25L); },
       [](LD x) { return Quant(std::min<LD>(4.5, x + 0.5), 0.25L); }, "Both nonlinearities"},
      // memory in the feedback path, over a range off centre, N odd
      {"2*x", "hyst(x,1)", true, true, -1, 2, 7, [](LD x) { return std::max<LD>(-1, 2 * x - 1); },
       [](LD x) { return std::min<LD>(3, 2 * x + 1); }, "Both nonlinearities"},
      // relay with dead zone d = 0.52 and hysteresis h = 0.21, as the editor writes it: on at
      // |x| = d + h, off at |x| = d - h; no input lands on a switching point
      {"sgn(dzone(hyst(x,0.21),0.52))", "x", true, false, -5, 5, 200,
       [](LD x) { return Sgn(Dzone(std::max<LD>(-4.79L, x - 0.21L), 0.52L)); },
       [](LD x) { return Sgn(Dzone(std::min<LD>(4.79L, x + 0.21L), 0.52L)); }, "Forward path nonlinearity"},
  };
  for (const auto& c : kCases) {
    const std::string tag = std::string(c.fwd) + " / " + c.fbk + " N=" + std::to_string(c.n);
    NLINSTAT& rec = Setup(c.fwd, c.fbk, c.fwdIn, c.fbkIn, c.x0, c.x1, c.n);
    ASSERT_TRUE(DecodedCharacteristic(Sys(), rec)) << tag << ": " << Pending();
    const NlinResult& r = rec.result;
    EXPECT_EQ(r.memory, c.down != nullptr) << tag;
    EXPECT_FALSE(r.cut) << tag;
    EXPECT_STREQ(CharacteristicCaption(r), c.caption) << tag;
    ASSERT_EQ(r.count, c.down ? 2 * c.n + 1 : c.n + 1) << tag;
    for (int k = 0; k < r.count; ++k) {
      const int i = k <= c.n ? k : 2 * c.n - k;
      const LD x = c.x0 + i * (static_cast<LD>(c.x1) - c.x0) / c.n;
      ExpectNear(r.points[k].x, x, tag + " x" + std::to_string(k));
      ExpectNear(r.points[k].y, k <= c.n ? c.up(x) : c.down(x), tag + " y" + std::to_string(k));
    }
    EXPECT_EQ(r.points[c.n].x, static_cast<float>(c.x1)) << tag << ": the sweep reaches x max";
    EXPECT_EQ(r.points[r.count - 1].x, static_cast<float>(c.down ? c.x0 : c.x1)) << tag << ": last point";
  }
}

// 1000 steps with memory need 2001 entries: the store takes 2000, no more.
TEST_F(NlinTest, MemoryLongerThanTheStoreIsCutAndMarked)
{
  NLINSTAT& rec = Setup("hyst(x,1)", "x", true, false, -5, 5, 1000);
  ASSERT_TRUE(DecodedCharacteristic(Sys(), rec));
  EXPECT_TRUE(rec.result.cut);
  ASSERT_EQ(rec.result.count, kNlinStoreSize);
  // the last entry stored is one step above x min on the way back
  ExpectNear(rec.result.points[kNlinStoreSize - 1].x, -5 + 10.0L / 1000, "last x");
  ExpectNear(rec.result.points[kNlinStoreSize - 1].y, -3.99L, "last y");  // x + 1 on the way back
}

TEST_F(NlinTest, FailuresLeaveOneMessageAndAnEmptyResult)
{
  const struct {
    const char* fwd;
    const char* fbk;  // in use when given
    double xMax;
    int n;
    const char* message;
  } kCases[] = {
      {"1+*2", nullptr, 5, 200, "Invalid nonlinear function"},
      {"", nullptr, 5, 200, "Invalid nonlinear function"},  // parse gives no message of its own
      {"x", "quant(x,", 5, 200, "Invalid nonlinear function"},
      {"sqrt(-x)", nullptr, 5, 200, "Function range"},   // at x max, where the memory starts
      {"hyst(x,1)", "ln(x)", 5, 200, "Function range"},  // at x min, in the feedback path
      {"max(x)", nullptr, 5, 200, "max() only available in time domain"},
      {"x", nullptr, -5, 200, "Max must exceed Min"},
      {"x", nullptr, 5, 1, "No of Points must lie between 2 and 1000"},
      {"x", nullptr, 5, 1001, "No of Points must lie between 2 and 1000"},
  };
  for (const auto& c : kCases) {
    NLINSTAT& rec = Setup("x", "x", true, false);
    ASSERT_TRUE(DecodedCharacteristic(Sys(), rec));  // a previous characteristic to be dropped
    SetText(Sys().fwdNlText, c.fwd);
    SetText(Sys().fbkNlText, c.fbk ? c.fbk : "x");
    rec.loop.fbkNl = c.fbk != nullptr;
    rec.xMax = c.xMax;
    rec.points = c.n;
    SetError("left over from elsewhere");
    EXPECT_FALSE(DecodedCharacteristic(Sys(), rec)) << c.fwd;
    EXPECT_EQ(Pending(), c.message) << c.fwd;
    EXPECT_EQ(rec.result.count, 0) << c.fwd;
    EXPECT_FALSE(CurrentEval().restart) << c.fwd;
    // the cursor then reads the identity, not a half-compiled expression
    ClearError();
    EXPECT_EQ(NlinTransfer(rec.result, 2.5), 2.5) << c.fwd;
    EXPECT_FALSE(ErrorPending()) << c.fwd;
  }
}

// An editor's preview of one text is the window's characteristic of that
// text as the forward nonlinearity, and touches nothing of the loop model.
TEST_F(NlinTest, TextCharacteristicIsTheWindowsAndLeavesTheModelAlone)
{
  std::vector<std::string> texts;
  for (const CharacteristicTemplate& t : CharacteristicTemplates())
    texts.emplace_back(t.text);
  texts.emplace_back("hyst(x,1)+0.5*quant(x,0.3)");
  ASSERT_GE(texts.size(), 9u);
  auto out = std::make_unique<NlinResult>();
  CompiledExpr e;
  for (const std::string& text : texts) {
    NLINSTAT& rec = Setup("hyst(x,a)", "quant(x,b)", true, false, -2, 3, 150);
    const SYSDATA before = Sys();
    SetError("left over from elsewhere");
    ASSERT_TRUE(ComputeTextCharacteristic(text.c_str(), -2, 3, 150, e, *out)) << text << ": " << Pending();
    EXPECT_STREQ(Sys().fwdNlText, before.fwdNlText) << text;
    EXPECT_EQ(std::memcmp(Sys().fwdNl.code, before.fwdNl.code, sizeof before.fwdNl.code), 0) << text;
    EXPECT_EQ(Sys().activeDomain, before.activeDomain) << text;
    EXPECT_EQ(Sys().fwdNlInUse, before.fwdNlInUse) << text;
    EXPECT_FALSE(CurrentEval().restart) << text;

    SetText(Sys().fwdNlText, text.c_str());
    ASSERT_TRUE(DecodedCharacteristic(Sys(), rec)) << text << ": " << Pending();
    const NlinResult& want = rec.result;
    EXPECT_EQ(out->memory, want.memory) << text;
    EXPECT_EQ(out->memory, text.find("hyst") != std::string::npos) << text;
    ASSERT_EQ(out->count, want.count) << text;
    for (int k = 0; k < want.count; ++k) {
      EXPECT_EQ(out->points[k].x, want.points[k].x) << text << " " << k;
      EXPECT_EQ(out->points[k].y, want.points[k].y) << text << " " << k;
    }
  }

  const struct {
    const char* text;
    double x0, x1;
    int n;
    const char* message;
  } kBad[] = {
      {"1+*2", -5, 5, 200, "Syntax error"},  // the parser's own message says where
      {"clip(x,", -5, 5, 200, "Missing bracket"},
      {"", -5, 5, 200, "Invalid nonlinear function"},
      {"sqrt(-x)", -5, 5, 200, "Function range"},
      {"ln(x)", -5, 5, 200, "Function range"},  // at x min, after a good start at x max
      {"x", 1, 1, 200, "Max must exceed Min"},
      {"x", -5, 5, 1, "No of Points must lie between 2 and 1000"},
  };
  for (const auto& c : kBad) {
    ASSERT_TRUE(ComputeTextCharacteristic("x", -1, 1, 10, e, *out));
    EXPECT_FALSE(ComputeTextCharacteristic(c.text, c.x0, c.x1, c.n, e, *out)) << c.text;
    EXPECT_EQ(Pending(), c.message) << c.text;
    EXPECT_EQ(out->count, 0) << c.text;
    EXPECT_FALSE(CurrentEval().restart) << c.text;
  }
}

TEST_F(NlinTest, InputRangeChangesOnlyWhenIncreasing)
{
  NLINSTAT& rec = *rec_;
  CreateNonlinearCurve(rec, 3, 3);  // a chart range that is no range keeps the start
  EXPECT_EQ(rec.xMin, -5);
  EXPECT_EQ(rec.xMax, 5);
  const struct {
    double x0, x1;
    bool ok;
  } kRanges[] = {{-1, 1e-9, true}, {0, 0, false}, {2, -2, false}, {NAN, 1, false}, {0, NAN, false}};
  for (const auto& c : kRanges) {
    ClearError();
    const double x0 = rec.xMin, x1 = rec.xMax;
    EXPECT_EQ(SetInputRange(rec, c.x0, c.x1), c.ok) << c.x0 << ".." << c.x1;
    EXPECT_EQ(Pending(), c.ok ? "" : "Max must exceed Min");
    EXPECT_EQ(rec.xMin, c.ok ? c.x0 : x0);
    EXPECT_EQ(rec.xMax, c.ok ? c.x1 : x1);
  }
}

// The cursor walks the chart's x axis in N steps and y follows the
// backlash's memory along the walk: out = clamp(out, x - h, x + h).
TEST_F(NlinTest, CursorWalksTheInputAxisWithMemory)
{
  NLINSTAT& rec = Setup("hyst(x,1)", "2*x", true, true, -5, 5, 10);
  ASSERT_TRUE(DecodedCharacteristic(Sys(), rec));
  const NlinCursor c = BeginCursor(rec, -4, 6);
  LD out = -4;                                     // restarted at the chart's x min
  const int walk[] = {50, 10, 7, 3, -2, 0, 4, 6};  // the scroll bar starts at 50
  for (const int pos : walk) {
    const int p = std::clamp(pos, 0, 10);
    const LD x = -4 + p * 10.0L / 10;
    out = std::clamp(out, x - 1, x + 1);
    const CursorReading got = CursorPoint(c, rec.result, pos);
    EXPECT_NEAR(got.x, static_cast<double>(x), 1e-14) << pos;
    EXPECT_NEAR(got.y, static_cast<double>(2 * out), 1e-14) << pos;
  }
  EXPECT_FALSE(ErrorPending());
}

}  // namespace
