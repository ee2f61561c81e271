#pragma once
// The static input/output characteristic of the loop's nonlinearities: the
// forward-path one, the feedback-path one, or the two in series
// (feedback(forward(x))), swept over a range of inputs into a fixed store.
// Plain records, no allocation; failures leave one message pending.

#include "engine/expr/CompiledExpr.h"
#include "engine/model/Loop.h"

#include <array>
#include <cstdint>
#include <span>

inline constexpr int kNlinStoreSize = 2000;

// Shown in the status bar when a characteristic with memory did not fit.
inline constexpr const char* kNlinCutNote = "Characteristic cut at 2000 points";

struct NlinPoint {
  float x = 0.0f;
  float y = 0.0f;
};

// What the last sweep produced.
struct NlinResult {
  std::int32_t count = 0;  // entries written by the last sweep
  std::array<NlinPoint, kNlinStoreSize> points{};
  bool fwdUsed = false;  // the nonlinearities the sweep went through
  bool fbkUsed = false;
  bool memory = false;  // a nonlinearity uses hyst: the sweep went up and back down
  bool cut = false;     // the store filled before the sweep came back to x min
  // The programs the sweep ran, which the cursor runs on; evaluating binds
  // x, so a const result still evaluates.
  mutable CompiledExpr fwdExpr;
  mutable CompiledExpr fbkExpr;
};

// One per nonlinear window, held by value (it owns no heap).
struct NLINSTAT {
  // The nonlinearities in use, fwdNl and fbkNl (the window's F4 and F5);
  // the other switches play no part in the characteristic.
  LoopSwitches loop{.fwdNl = true};
  double xMin = -5.0;  // input range of the sweep
  double xMax = 5.0;
  std::int32_t points = 200;  // N: the sweep takes N steps across the input range
  NlinResult result;
};

// Puts rec at its start values with the input range of the window's chart
// (chart x range at creation); a range that is not increasing keeps -5..5.
// Nothing needs freeing when the window goes.
void CreateNonlinearCurve(NLINSTAT& rec, double chartXmin, double chartXmax);

// Sets the input range of the sweep; "Max must exceed Min" (range unchanged)
// unless xMin < xMax.
[[nodiscard]] bool SetInputRange(NLINSTAT& rec, double xMin, double xMax);

// The nonlinear window's loop: the nonlinearities of doc alone, the
// elements not decoded (a transfer function that does not decode is no
// fault of this window's).
[[nodiscard]] inline Loop DecodeNlinLoop(const SYSDATA& doc)
{
  return UndecodedLoop(doc);
}

// Compiles the nonlinearities of loop in use in rec (the others are not
// looked at) into rec.result, starts hyst's memory at the right end of the
// input range and sweeps x = x min + i·(x max - x min)/N, i = 0..N, both
// ends exact, evaluating in ctx; with memory the sweep then runs back down
// from N - 1 to 0, so both branches of a backlash are stored. A sweep
// longer than the store is cut at kNlinStoreSize entries and marked. An
// unreported earlier message is dropped. On failure ("Invalid nonlinear
// function", an evaluation message, a bad range or N) the result is empty.
[[nodiscard]] bool ComputeCharacteristic(const Loop& loop, NLINSTAT& rec, const EvalContext& ctx);

// The characteristic of one nonlinearity text on its own, as an editor
// previews it before the text is stored: text is compiled into e, owned by
// the caller (x is bound here), and swept over xMin..xMax in n steps as
// ComputeCharacteristic sweeps, up and back down when it uses hyst. The
// loop document is not involved;
// an unreported earlier message is dropped. On failure the result is empty
// and one message pending: the parser's own (where the text goes wrong),
// "Invalid nonlinear function" for an empty text, an evaluation message, or
// a bad range or N.
[[nodiscard]] bool ComputeTextCharacteristic(const char* text, double xMin, double xMax, std::int32_t n,
                                             CompiledExpr& e, NlinResult& out);

// A characteristic an editor offers to insert: its name and its text in x,
// with the parameters written out for the user to change.
struct CharacteristicTemplate {
  const char* name;
  const char* text;
};
std::span<const CharacteristicTemplate> CharacteristicTemplates();

// y for input x through the nonlinearities r was computed with (identity
// when none, or when nothing was computed). Runs hyst's memory; evaluation
// messages stay pending for the caller.
double NlinTransfer(const NlinResult& r, double x);

// The chart caption of r: "Both nonlinearities", "Forward path
// nonlinearity", "Feedback path nonlinearity" or "No nonlinearity".
const char* CharacteristicCaption(const NlinResult& r);

// The cursor's walk along the input axis of the chart: scroll positions 0..N.
struct NlinCursor {
  double x0 = 0.0;
  double x1 = 0.0;
  std::int32_t steps = 1;  // N
};

struct CursorReading {
  double x = 0.0;
  double y = 0.0;
};

// Starts a walk over chartXmin..chartXmax in rec.points steps and restarts
// hyst's memory at chartXmin (evaluation messages stay pending).
NlinCursor BeginCursor(const NLINSTAT& rec, double chartXmin, double chartXmax);

// The reading at a scroll position, clamped to 0..N: x on the input axis,
// y through the nonlinearities of the last sweep, with hyst remembering the
// path walked since BeginCursor. Evaluation messages stay pending.
CursorReading CursorPoint(const NlinCursor& c, const NlinResult& r, std::int32_t position);
