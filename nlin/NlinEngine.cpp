#include "nlin/NlinEngine.h"

#include "expr/Expr.h"
#include "expr/MathFunctions.h"
#include "model/Error.h"
#include "model/Model.h"
#include "model/NumberFormat.h"
#include "model/SysData.h"
#include "model/ValueRanges.h"

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

// Compiles what is in use and evaluates it once at x max with RestartFlag
// set, so that hyst's memory starts at the right end of the range.
bool PrepareNonlinearities(const NLINSTAT& rec, bool& memory)
{
  SYSDATA& s = Sys();
  s.RestartFlag = true;
  double v = rec.xMax;
  bool ok = true;
  if (rec.loop.fwdNl) {
    ok = CompileNonlinearity(s.fwdNl, s.fwdNlText, memory);
    if (ok)
      v = EvalAt(s.fwdNl, v);
  }
  if (ok && !ErrorPending() && rec.loop.fbkNl) {
    ok = CompileNonlinearity(s.fbkNl, s.fbkNlText, memory);
    if (ok)
      (void)EvalAt(s.fbkNl, v);
  }
  // Cleared on every path: a flag left set would restart hyst at every call.
  s.RestartFlag = false;
  return ok && !ErrorPending();
}

bool CheckSettings(const NLINSTAT& rec)
{
  if (!(rec.xMin < rec.xMax)) {
    SetError("Max must exceed Min");
    return false;
  }
  const ValueRange& n = ranges::kNlinPoints;
  if (!InRange(rec.points, n.high, n.low)) {
    SetError(RangeWarningText(n.quantity, n.high, n.low).c_str());
    return false;
  }
  return true;
}

// Input i of a walk of n steps from a to b; exactly b at i = n.
double InputAt(double a, double b, std::int32_t i, std::int32_t n)
{
  return std::lerp(a, b, static_cast<double>(i) / n);
}

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
  if (!(xMin < xMax)) {
    SetError("Max must exceed Min");
    return false;
  }
  rec.xMin = xMin;
  rec.xMax = xMax;
  return true;
}

bool ComputeCharacteristic(NLINSTAT& rec)
{
  NlinResult& r = rec.result;
  r.count = 0;
  r.fwdUsed = r.fbkUsed = r.memory = r.cut = false;
  ClearError();  // an unreported message of another window is not ours
  if (!CheckSettings(rec))
    return false;
  SYSDATA& s = Sys();
  s.activeDomain = ActiveDomain::Nonlinear;
  s.fwdNlInUse = rec.loop.fwdNl;
  s.fbkNlInUse = rec.loop.fbkNl;
  bool memory = false;
  if (!PrepareNonlinearities(rec, memory))
    return false;
  r.fwdUsed = rec.loop.fwdNl;
  r.fbkUsed = rec.loop.fbkNl;
  r.memory = memory;

  // Up i = 0..N; with memory back down i = N-1..0 (the turn after x max).
  const std::int32_t n = rec.points;
  const std::int32_t total = memory ? 2 * n + 1 : n + 1;
  for (std::int32_t k = 0; k < total; ++k) {
    if (k == kNlinStoreSize) {
      r.cut = true;
      break;
    }
    const double x = InputAt(rec.xMin, rec.xMax, k <= n ? k : 2 * n - k, n);
    const double y = NlinTransfer(r, x);
    // The points are single precision: a value beyond it has overflowed.
    if (!(std::fabs(y) <= builtin::kFloatMax) && !ErrorPending())
      SetError("Too big");
    if (ErrorPending()) {
      r.count = 0;
      r.fwdUsed = r.fbkUsed = false;
      return false;
    }
    r.points[static_cast<std::size_t>(k)] = {static_cast<float>(x), static_cast<float>(y)};
    r.count = k + 1;
  }
  return true;
}

double NlinTransfer(const NlinResult& r, double x)
{
  SYSDATA& s = Sys();
  double y = x;
  if (r.fwdUsed)
    y = EvalAt(s.fwdNl, y);
  if (r.fbkUsed)
    y = EvalAt(s.fbkNl, y);
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
  SYSDATA& s = Sys();
  s.RestartFlag = true;
  (void)NlinTransfer(rec.result, c.x0);
  s.RestartFlag = false;
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
