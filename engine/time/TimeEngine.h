#pragma once
// Time-response simulation: the settings of one time-domain window
// (TRANSTAT), the record a run leaves (TransResult) and the engine that
// simulates the loop in discrete steps and evaluates the cost and
// phase-plane functions along the way.
//
// Signal path: e = r - NLfbk(y + n) (r in open loop) -> K -> Gc (updated
// once per sample, held between) -> NLfwd -> + d -> plant -> delay line ->
// + n -> y. Continuous elements are replaced by their zero-order-hold
// equivalents at the simulation step. The points are stored at the step h =
// duration / points (the sample-hold time for discrete loops); a closed
// continuous loop whose fastest pole is too fast for h takes q equal steps
// h/q per stored point, so that a stable loop stays right at any h. Inputs
// and nonlinearities are evaluated at every such step (the clock then shows
// h/q), the cost and phase-plane functions once per stored point (the clock
// shows h), as the measures they use integrate and differentiate over the
// stored points.

#include "engine/expr/CompiledExpr.h"
#include "engine/model/Loop.h"

#include <array>
#include <cstdint>

// Points the trace store holds. A run that needs more is refused before it
// starts.
inline constexpr int kTraceCapacity = 2000;
// Whole steps the transport delay may span.
inline constexpr int kMaxDelaySteps = 2000;

enum class TransPlot : std::uint8_t { TimeResponse = 0, PhasePlane = 1 };
enum class SecondaryTrace : std::uint8_t { None = 0, ControlEffort = 1, Error = 2 };
enum class TransInput : std::uint8_t { Reference = 0, Load = 1, Noise = 2 };

// One stored point, in single precision. Time response: control effort u
// (the value held since the last sample), the input trace and the output y.
// Phase plane: u holds t, input the X value and y the Y value.
struct TracePoint {
  float u = 0.0f;
  float input = 0.0f;
  float y = 0.0f;
};

// What the last run left. valid is false (and pointCount 0) from the start
// of every run until it completes, so a failed run after a good one leaves
// nothing to draw or to read with a cursor.
struct TransResult {
  bool valid = false;
  int pointCount = 0;
  double step = 0.0;       // h: point i lies at t = i h (time response)
  int stepsPerSample = 1;  // m: the compensator is updated every m steps
  int delaySteps = 0;      // N: whole steps of the transport delay
  TransPlot plot = TransPlot::TimeResponse;
  SystemKind kind = SystemKind::Continuous;
  bool closedLoop = true;
  SecondaryTrace secondary = SecondaryTrace::ControlEffort;
  bool costEvaluated = false;
  double cost = 0.0;
  std::array<TracePoint, kTraceCapacity> trace{};
};

// The settings of one time-domain window, with their start values. The
// Enabled flags of the two initial outputs live in the loop document
// (SYSDATA::compInitEnabled, plantInitEnabled).
struct TRANSTAT {
  TransPlot plotType = TransPlot::TimeResponse;
  double duration = 10.0;
  int points = 200;  // steps per duration, 2..1000
  // Closed loop, elements (a window takes them from the model), the two
  // nonlinearities and the three inputs (reference on, load and noise off).
  LoopSwitches loop{.closedLoop = true};
  bool discreteInterpolation = false;  // discrete plots: join the samples
  bool periodic = false;               // inputs repeat with the period
  double period = 1.0;                 // 1e-20..1e20
  double initCompOutput = 0.0;
  double initPlantOutput = 0.0;
  char refText[kTextSize] = "1";
  char loadText[kTextSize] = "1";
  char noiseText[kTextSize] = "1";
  char phaseYText[kTextSize] = "diff(y)";
  char phaseXText[kTextSize] = "y";
  double phaseX = 0.0;  // last values evaluated
  double phaseY = 0.0;
  SecondaryTrace secondary = SecondaryTrace::ControlEffort;
  // Compiled by every run: the inputs in t; cost and phase-plane functions
  // in t, y, u, r, e.
  CompiledExpr ref, load, noise;
  CompiledExpr cost;
  CompiledExpr phaseXExpr, phaseYExpr;
  char costText[kTextSize] = "";
  double costValue = 0.0;
  bool costOnGo = false;             // "Evaluate on Go"
  bool characteristicsOnGo = false;  // Go marks the response characteristics (the command line's)
  TransResult result;
};

// The time window's loop: doc (left as it is) decoded in the time domain
// with the switches of st, the initial outputs of st; an unreported earlier
// message is dropped first. When it does not
// decode, the kind is Invalid and the message pending and kept in the loop.
[[nodiscard]] Loop DecodeTimeLoop(const SYSDATA& doc, const TRANSTAT& st);

// Simulates loop (DecodeTimeLoop) with the settings of st, evaluating in
// ctx (LoopContext(loop, ActiveDomain::Time)), and leaves the trace in
// st.result. False with the one message pending on any failure ("No plant
// transfer function", the loop's decoding message, the preparation
// messages, "Delay too big", a run needing more points than the store
// holds or more steps than a run takes, an invalid input, nonlinearity,
// cost or phase-plane function, an error raised while they are evaluated,
// or a response too big for the store); st.result is then not valid.
// Call it with no error pending.
[[nodiscard]] bool TimeEngine(const Loop& loop, TRANSTAT& st, const EvalContext& ctx);

// Points a run with duration d and step h stores: floor((d + h/2)/h) + 1,
// as a double so that a huge count cannot overflow.
[[nodiscard]] double TransPointsNeeded(double d, double h);

// The value of one input at time t: 0 for t < 0 or a disabled input; with
// periodic inputs t is first folded into one period. The input's expression
// must have been compiled by a run.
[[nodiscard]] double InputValue(TRANSTAT& st, TransInput which, double t);
