#include "engine/nlin/NlinEngine.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/expr/MathFunctions.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kInputName[] = {"x"};

// Binds x and compiles text into e; "Invalid nonlinear function" when it
// does not compile. hyst tells whether the program calls hyst.
bool CompileNonlinearity(CompiledExpr& e, const char* text, bool& hyst)
{
  BindVariables(e, kInputName, 1);
  if (!parse(text, e)) {
    SetError("Invalid nonlinear function");
    return false;
  }
  hyst = hyst || UsesHyst();
  return true;
}

double EvalAt(CompiledExpr& e, double x)
{
  e.vars[0].value = x;
  return eval(e);
}

// Compiles what is in use and evaluates it once at x max with the restart
// flag set, so that hyst's memory starts at the right end of the range.
bool PrepareNonlinearities(const Loop& loop, const NLINSTAT& rec, NlinResult& r, bool& memory)
{
  const RestartScope restart;
  double v = rec.xMax;
  bool ok = true;
  if (rec.loop.fwdNl) {
    ok = CompileNonlinearity(r.fwdExpr, loop.fwdNlText, memory);
    if (ok)
      v = EvalAt(r.fwdExpr, v);
  }
  if (ok && !ErrorPending() && rec.loop.fbkNl) {
    ok = CompileNonlinearity(r.fbkExpr, loop.fbkNlText, memory);
    if (ok)
      (void)EvalAt(r.fbkExpr, v);
  }
  return ok && !ErrorPending();
}

bool CheckSettings(double xMin, double xMax, std::int32_t points)
{
  if (!MaxExceedsMin(xMin, xMax)) {
    SetError(kMaxMustExceedMin);
    return false;
  }
  const ValueRange& n = ranges::kNlinPoints;
  if (!InRange(points, n.high, n.low)) {
    SetRangeError(n);
    return false;
  }
  return true;
}

// Input i of a walk of n steps from a to b; exactly b at i = n.
double InputAt(double a, double b, std::int32_t i, std::int32_t n)
{
  return std::lerp(a, b, static_cast<double>(i) / n);
}

void ClearResult(NlinResult& r)
{
  r.count = 0;
  r.fwdUsed = r.fbkUsed = r.memory = r.cut = false;
}

// Sweeps x through transfer into r: up i = 0..N and, with memory, back down
// i = N-1..0 (the turn after x max), cut and marked when the store is full.
// At the first evaluation error r is emptied and false returned.
template <typename Transfer>
bool Sweep(double xMin, double xMax, std::int32_t n, bool memory, NlinResult& r, Transfer transfer)
{
  r.memory = memory;
  const std::int32_t total = memory ? 2 * n + 1 : n + 1;
  for (std::int32_t k = 0; k < total; ++k) {
    if (k == kNlinStoreSize) {
      r.cut = true;
      break;
    }
    const double x = InputAt(xMin, xMax, k <= n ? k : 2 * n - k, n);
    const double y = transfer(x);
    // The points are single precision: a value beyond it has overflowed.
    if (!(std::fabs(y) <= builtin::kFloatMax) && !ErrorPending())
      SetError("Too big");
    if (ErrorPending()) {
      ClearResult(r);
      return false;
    }
    r.points[static_cast<std::size_t>(k)] = {static_cast<float>(x), static_cast<float>(y)};
    r.count = k + 1;
  }
  return true;
}

// Characteristics every control text knows, in the language's built-ins.
// A relay switches at 0; sgn(dzone(.)) is off inside the dead zone; hyst
// before a relay gives it hysteresis: relay(hyst(x,h)) switches at +h
// going up and -h going down, and sgn(dzone(hyst(x,h),d)) switches on at
// |x| = d + h and off again at |x| = d - h.
constexpr CharacteristicTemplate kTemplates[] = {
    {"Saturation", "clip(x,1)"},
    {"Dead zone", "dzone(x,0.5)"},
    {"Saturation with dead zone", "clip(dzone(x,0.5),1)"},
    {"Relay", "relay(x)"},
    {"Relay with dead zone", "sgn(dzone(x,0.5))"},
    {"Relay with hysteresis", "relay(hyst(x,0.5))"},
    {"Relay with dead zone and hysteresis", "sgn(dzone(hyst(x,0.2),0.5))"},
    {"Backlash", "hyst(x,0.5)"},
    {"Quantiser", "quant(x,0.5)"},
    {"Sign", "sgn(x)"},
    {"Absolute value", "abs(x)"},
    {"Sawtooth (remainder)", "mod(x,1)"},
    {"Pulse window", "pulse(x,1)"},
    {"Square wave", "sqwave(x)"},
    {"Triangle wave", "triwave(x)"},
};

}  // namespace

void CreateNonlinearCurve(NLINSTAT& rec, double chartXmin, double chartXmax)
{
  rec = NLINSTAT{};
  if (chartXmin < chartXmax) {
    rec.xMin = chartXmin;
    rec.xMax = chartXmax;
  }
}

bool SetInputRange(NLINSTAT& rec, double xMin, double xMax)
{
  if (!MaxExceedsMin(xMin, xMax)) {
    SetError(kMaxMustExceedMin);
    return false;
  }
  rec.xMin = xMin;
  rec.xMax = xMax;
  return true;
}

bool ComputeCharacteristic(const Loop& loop, NLINSTAT& rec, const EvalContext& ctx)
{
  NlinResult& r = rec.result;
  ClearResult(r);
  ClearError();  // an unreported message of another window is not ours
  if (!CheckSettings(rec.xMin, rec.xMax, rec.points))
    return false;
  const EvalScope scope(ctx);
  bool memory = false;
  if (!PrepareNonlinearities(loop, rec, r, memory))
    return false;
  r.fwdUsed = rec.loop.fwdNl;
  r.fbkUsed = rec.loop.fbkNl;
  return Sweep(rec.xMin, rec.xMax, rec.points, memory, r, [&r](double x) { return NlinTransfer(r, x); });
}

bool ComputeTextCharacteristic(const char* text, double xMin, double xMax, std::int32_t n, CompiledExpr& e,
                               NlinResult& out)
{
  ClearResult(out);
  ClearError();
  if (!CheckSettings(xMin, xMax, n))
    return false;
  BindVariables(e, kInputName, 1);
  if (!parse(text, e)) {
    if (!ErrorPending())
      SetError("Invalid nonlinear function");
    return false;
  }
  const bool memory = UsesHyst();
  // hyst's memory starts at the right end of the range, as in the window.
  {
    const RestartScope restart;
    (void)EvalAt(e, xMax);
  }
  if (ErrorPending())
    return false;
  return Sweep(xMin, xMax, n, memory, out, [&e](double x) { return EvalAt(e, x); });
}

std::span<const CharacteristicTemplate> CharacteristicTemplates()
{
  return kTemplates;
}

double NlinTransfer(const NlinResult& r, double x)
{
  double y = x;
  if (r.fwdUsed)
    y = EvalAt(r.fwdExpr, y);
  if (r.fbkUsed)
    y = EvalAt(r.fbkExpr, y);
  return y;
}

const char* CharacteristicCaption(const NlinResult& r)
{
  if (r.fwdUsed && r.fbkUsed)
    return "Both nonlinearities";
  if (r.fwdUsed)
    return "Forward path nonlinearity";
  if (r.fbkUsed)
    return "Feedback path nonlinearity";
  return "No nonlinearity";
}

NlinCursor BeginCursor(const NLINSTAT& rec, double chartXmin, double chartXmax)
{
  NlinCursor c;
  c.x0 = chartXmin;
  c.x1 = chartXmax;
  c.steps = std::max<std::int32_t>(rec.points, 1);
  const RestartScope restart;
  (void)NlinTransfer(rec.result, c.x0);
  return c;
}

CursorReading CursorPoint(const NlinCursor& c, const NlinResult& r, std::int32_t position)
{
  const std::int32_t steps = std::max<std::int32_t>(c.steps, 1);
  CursorReading p;
  p.x = InputAt(c.x0, c.x1, std::clamp<std::int32_t>(position, 0, steps), steps);
  p.y = NlinTransfer(r, p.x);
  return p;
}
