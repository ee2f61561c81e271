#include "engine/time/TimeEngine.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/expr/FunctionTables.h"
#include "engine/model/Discrete.h"
#include "engine/model/Loop.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"
#include "engine/model/ValueRanges.h"
#include "engine/time/LoopElements.h"
#include "engine/time/LoopSpeed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

const char* const kInputVars[] = {"t"};
const char* const kFunctionVars[] = {"t", "y", "u", "r", "e"};
const char* const kNonlinearVars[] = {"x"};

// The steps a closed continuous loop takes per stored point follow its
// fastest pole p: |p| hs stays below kPoleStep, where the extrapolated plant
// input keeps the response within a few tenths of a percent and far inside
// the scheme's stability limit (|p| hs = 1). A run takes at most
// kMaxInternalSteps steps in all, a few tenths of a second.
constexpr double kPoleStep = 0.05;
constexpr double kMaxInternalSteps = 4e6;

// The compiled nonlinearities a run evaluates at every step: its working
// state, kept beside the decoded loop.
struct CompiledNonlinearities {
  CompiledExpr fwd;
  CompiledExpr fbk;
};

// One run: what the preparation decided and the state of the stepped loop.
struct Run {
  Run(TRANSTAT& settings, const Loop& decoded, const EvalContext& context, CompiledNonlinearities& compiled)
      : st(settings), s(decoded), ctx(context), nl(compiled)
  {
  }
  TRANSTAT& st;
  // The decoded loop this run steps.
  const Loop& s;
  // What the built-ins see while this run evaluates: its clock and restart flag.
  EvalContext ctx;

  // Decided by the preparation.
  bool closed = true;
  bool compIn = false;
  bool plantIn = true;
  bool fwdNl = false;
  bool fbkNl = false;        // in the loop and the loop closed
  bool merged = false;       // Gc multiplied into the plant
  bool feedthrough = false;  // the plant passes its input at once
  bool discrete = false;
  bool extrapolate = false;  // closed continuous loop
  bool phase = false;
  double gain = 1.0;
  bool splitComp = false;  // Gc = D + a strictly proper part stepped on its own
  bool midpoint = false;   // open loop: the plant takes Gc's output half a step ahead
  double h = 0.0;          // the stored step
  double hs = 0.0;         // the step the loop is integrated with, h / q
  double duration = 0.0;
  int m = 1;            // steps per sample
  int q = 1;            // steps per stored point
  int finer = 1;        // factor on q after a nonlinear loop outran its estimate
  bool tooBig = false;  // stopped by a response beyond the store's range
  int points = 0;
  double compD = 0.0;  // Gc's direct feedthrough when split
  DiffEquation comp, plant;

  // Signals of the current pass.
  double r = 0, d = 0, n = 0;  // inputs
  double v = 0;                // plant input
  double u = 0;                // control effort, held between samples
  double e = 0;                // error at the last sample
  double ke = 0;               // K e at the last sample
  double y = 0;                // output
  double fed = 0;              // fed-back value
  double vPrevious = 0;        // extrapolator memory
  double keAhead = 0;          // K e half a step ahead, for the split Gc
  double kePrevious = 0;
  double sNext = 0;          // open loop: Gc's dynamic part one step ahead
  double vMid = 0;           // open loop: the forward path half a step ahead
  double x = 0, yPhase = 0;  // phase-plane values
  // An input whose text is a constant (the start texts are "1") is
  // evaluated once per run instead of at every step.
  bool constant[3] = {};
  double constantValue[3] = {};
  int counter = 1;
  bool first = true;        // the first real step
  bool inputIsOld = false;  // the plant input is one step old
  double costValue = 0.0;   // the cost function at the last point evaluated
  // The run's compiled nonlinearities.
  CompiledNonlinearities& nl;
  // Last, so that the large ring does not separate the signals above.
  DelayLine delay;
};

double Nonlinearity(CompiledExpr& nl, double x)
{
  nl.vars[0].value = x;
  return eval(nl);
}

// Compiles text into e with the given variables; on failure the message
// names the function instead of the parser's own.
bool Compile(const char* text, CompiledExpr& e, const char* const* vars, int count, const char* failure)
{
  BindVariables(e, vars, count);
  if (parse(text, e))
    return true;
  SetError(failure);
  return false;
}

// Binds t, y, u, r, e of a cost or phase-plane function and evaluates it.
double EvalFunction(CompiledExpr& f, const Run& run, double t)
{
  f.vars[0].value = t;
  f.vars[1].value = run.y;
  f.vars[2].value = run.u;
  f.vars[3].value = run.r;
  f.vars[4].value = run.r - run.y;
  return eval(f);
}

// True when the program of e uses no variable and calls no function (only
// numbers, constants, operators and negation), so its value never changes.
bool IsConstant(const CompiledExpr& e)
{
  for (const TokenCode c : e.code) {
    if (c == kEndCode)
      return true;
    const bool variable = c < kUnaryBase && c >= e.firstVarSlot && c < e.firstVarSlot + e.varCount;
    const bool operation = c == kNegCode || (c >= kBinaryBase && c < kBinaryBase + kOperators.size());
    if (variable || (c >= kUnaryBase && !operation))
      return false;
  }
  return false;
}

// The input at time t, from its constant when it has one.
double RunInput(Run& run, TransInput which, double t)
{
  const int i = static_cast<int>(which);
  if (!run.constant[i])
    return InputValue(run.st, which, t);
  const bool enabled = which == TransInput::Reference ? run.st.loop.refInput
                       : which == TransInput::Load    ? run.st.loop.loadInput
                                                      : run.st.loop.noiseInput;
  return enabled && t >= 0 ? run.constantValue[i] : 0.0;
}

int Degree(const Polynomial& p)
{
  return Trim(p.c, p.n) - 1;
}

// Preparation steps 1 to 5: model switches, loop update and the checks of
// the loop's shape.
bool CheckLoop(Run& run)
{
  TRANSTAT& st = run.st;
  run.closed = st.loop.closedLoop;
  run.compIn = st.loop.compIn;
  run.plantIn = st.loop.plantIn;
  run.fwdNl = st.loop.fwdNl;
  run.fbkNl = st.loop.fbkNl && run.closed;

  const Loop& s = run.s;
  if (run.plantIn && run.closed && s.noPlant) {
    SetError("No plant transfer function");
    return false;
  }
  if (!CheckDecoded(s))
    return false;
  const SystemKind kind = s.kind;
  if (ErrorPending() || kind == SystemKind::Invalid) {
    if (!ErrorPending())
      SetError("Problem with UpdateLoop()");
    return false;
  }
  run.ctx.kind = kind;
  run.merged = s.compMerged;
  run.discrete = kind == SystemKind::Discrete;
  st.result.kind = kind;

  for (int j = s.firstElement; j <= s.lastElement && j < 2; ++j)
    if (Degree(s.numPoly[j]) > Degree(s.denPoly[j])) {
      SetError(j == kCompensator ? "Controller transfer function must be proper"
                                 : "Plant transfer function must be proper");
      return false;
    }
  if (!run.plantIn && run.closed) {
    SetError("Controller alone must be open-loop");
    return false;
  }
  // A plant out of the run keeps the model's 1/1, so the controller alone
  // counts as passing its input at once.
  run.feedthrough = Degree(s.numPoly[kPlant]) == Degree(s.denPoly[kPlant]);
  if (run.feedthrough) {
    const char* message = nullptr;
    if (run.closed)
      message = "Closed-loop systems must be strictly proper";
    else if (st.loop.noiseInput)
      message = "Measurement noise not available in open-loop";
    else if (st.loop.loadInput && !run.plantIn)
      message = "Load input not available with controller alone";
    else if (run.compIn && run.plantIn && !run.merged)
      message = "Configuration not supported";
    if (message) {
      SetError(message);
      return false;
    }
  }
  return true;
}

// The settings the step and the inputs' clock come from, within the ranges
// the dialogs and vanto-cli keep them in, whoever set them: a duration, a
// number of points or an input period outside them would give no step, a
// step of the wrong sign or a clock that is not a number.
bool CheckTimeSettings(const TRANSTAT& st)
{
  const struct {
    double value;
    const ValueRange& range;
  } kChecks[] = {
      {st.duration, ranges::kDuration},
      {static_cast<double>(st.points), ranges::kTimePoints},
      {st.periodic ? st.period : 1.0, ranges::kInputPeriod},
  };
  for (const auto& c : kChecks) {
    if (!InRange(c.value, c.range.high, c.range.low)) {
      SetRangeError(c.range);
      return false;
    }
  }
  return true;
}

// Step 6: the simulation step h and the steps per sample m, and the refusal
// of a run the trace store cannot hold.
bool ChooseStep(Run& run, SystemKind kind)
{
  const TRANSTAT& st = run.st;
  if (!CheckTimeSettings(st))
    return false;
  const double T = run.s.sampleHold;
  double h = st.duration / st.points;
  double m = 1.0;
  if (kind == SystemKind::Discrete) {
    if (!(T > 0)) {
      SetError("Sample-hold time is zero");
      return false;
    }
    h = T;
  } else if (kind == SystemKind::SampledData) {
    if (T < h)
      h = T;
    // in double: T/h is as large as T/duration allows
    m = std::trunc(T / h + 1.0);
    h = T / m;
  }
  const double needed = TransPointsNeeded(st.duration, h);
  if (!(needed <= kTraceCapacity)) {
    char text[200];
    if (needed < 1e9)
      std::snprintf(text, sizeof text,
                    "Run needs %.0f points, the trace holds %d: shorten the duration or lengthen "
                    "the sample-hold time",
                    needed, kTraceCapacity);
    else
      std::snprintf(text, sizeof text,
                    "Run needs more than %d points: shorten the duration or lengthen the "
                    "sample-hold time",
                    kTraceCapacity);
    SetError(text);
    return false;
  }
  run.h = h;
  run.hs = h;
  run.duration = st.duration;
  run.points = static_cast<int>(needed);
  // a compensator that samples less often than once per run needs no count
  run.m = static_cast<int>(std::min(m, static_cast<double>(kTraceCapacity + 1)));
  run.ctx.timeStep = h;
  return true;
}

// The steps per stored point of a closed continuous loop. Its elements run
// exactly between steps, but the loop closes once per step with the plant
// input extrapolated half a step ahead, which only follows poles up to about
// 1/hs: a coarse display step would make a stable loop blow up. Open,
// sampled-data and discrete loops are exact at their step and need none.
bool ChooseSubSteps(Run& run, SystemKind kind)
{
  if (kind != SystemKind::Continuous || !run.closed || !run.plantIn)
    return true;
  const Loop& s = run.s;
  const double fastest = FastestPole(s.numPoly[kCompensator], s.denPoly[kCompensator], run.compIn && !run.merged,
                                     s.numPoly[kPlant], s.denPoly[kPlant], s.gain, true);
  const double q = std::max(1.0, std::ceil(fastest * run.h / kPoleStep)) * run.finer;
  const double steps = (run.points - 1) * q + 1;
  if (!(steps <= kMaxInternalSteps)) {
    char pole[32], text[240];
    FormatInCLocale(pole, sizeof pole, "%.4g", fastest);
    if (steps < 1e15)
      std::snprintf(text, sizeof text,
                    "Run needs %.0f steps for the loop's fastest pole (%s rad/s), at most %.0f are "
                    "taken: shorten the duration",
                    steps, pole, kMaxInternalSteps);
    else
      std::snprintf(text, sizeof text,
                    "Run needs more than %.0f steps for the loop's fastest pole (%s rad/s): "
                    "shorten the duration",
                    kMaxInternalSteps, pole);
    SetError(text);
    return false;
  }
  run.q = static_cast<int>(q);
  run.hs = run.h / run.q;
  return true;
}

// Gc's direct feedthrough D and its strictly proper part num - D den.
double SplitFeedthrough(Polynomial& num, const Polynomial& den)
{
  const int nd = Trim(den.c, den.n);
  if (Trim(num.c, num.n) < nd || nd < 2)
    return 0.0;
  const double D = num.c[nd - 1] / den.c[nd - 1];
  ScaledAdd(num.c, den.c, nd, -D);
  num.c[nd - 1] = 0.0;
  num.n = nd - 1;
  return D;
}

// Step 7 and 8: the difference equations of the elements in the run, the
// plant's with the fractional part of the delay, and the delay line. The
// elements step with hs; the delay's whole steps are counted in stored steps
// h against the line's documented length.
bool PrepareElements(Run& run)
{
  const Loop& s = run.s;
  const double y0[2] = {s.compInitEnabled ? s.initCompOutput : 0.0, s.plantInitEnabled ? s.initPlantOutput : 0.0};
  DiffEquation* eq[2] = {&run.comp, &run.plant};
  int lineSteps = 0;
  for (int j = s.firstElement; j <= s.lastElement && j < 2; ++j) {
    if (s.variable[j] == 'z') {
      if (!PrepareEquation(*eq[j], s.numPoly[j], s.denPoly[j], y0[j]))
        return false;
      continue;
    }
    Polynomial num = s.numPoly[j];
    // A compensator stepped apart from the plant in a continuous loop: its
    // feedthrough acts on the step's own K e, its dynamic part as Sample says.
    if (j == kCompensator && run.splitComp)
      run.compD = SplitFeedthrough(num, s.denPoly[j]);
    ZPolynomial nz, dz;
    int steps = 0;
    if (!ZohTransfer(num, s.denPoly[j], run.hs, j == kPlant ? s.delay : 0.0, nz, dz, steps) ||
        !PrepareEquation(*eq[j], nz, dz, y0[j]))
      return false;
    SetRestInitialOutput(*eq[j], s.denPoly[j], run.hs);
    if (j == kPlant)
      lineSteps = steps;
  }
  // the whole steps of h in the delay, as the zero-order hold counts them;
  // the line itself holds steps of hs
  const bool delayed = run.plantIn && !run.discrete && s.delay > 0;
  const double delaySteps = run.q == 1 ? lineSteps : delayed ? std::trunc(s.delay / run.h + 1e-6) : 0.0;
  if (delaySteps > kMaxDelaySteps || lineSteps > DelayLine::kMaxSteps) {
    SetError("Delay too big");
    return false;
  }
  run.st.result.delaySteps = static_cast<int>(delaySteps);
  // Before the delayed response arrives the line shows the plant's initial
  // output, and so follows its Enabled flag like every other use of it: a
  // disabled initial output is 0 here too.
  run.delay.Restart(lineSteps, y0[kPlant]);
  return true;
}

// Step 9: the expressions of the run.
bool CompileExpressions(Run& run)
{
  TRANSTAT& st = run.st;
  const Loop& s = run.s;
  return (!st.loop.refInput || Compile(st.refText, st.ref, kInputVars, 1, "Invalid reference input function")) &&
         (!st.loop.loadInput || Compile(st.loadText, st.load, kInputVars, 1, "Invalid load input function")) &&
         (!st.loop.noiseInput ||
          Compile(st.noiseText, st.noise, kInputVars, 1, "Invalid measurement noise function")) &&
         (!run.fwdNl ||
          Compile(s.fwdNlText, run.nl.fwd, kNonlinearVars, 1, "Invalid forward path non-linear function")) &&
         (!run.fbkNl ||
          Compile(s.fbkNlText, run.nl.fbk, kNonlinearVars, 1, "Invalid feedback path non-linear function")) &&
         (!st.costOnGo || Compile(st.costText, st.cost, kFunctionVars, 5, "Invalid cost function")) &&
         (!run.phase ||
          (Compile(st.phaseXText, st.phaseXExpr, kFunctionVars, 5, "Invalid phase plane X-axis function") &&
           Compile(st.phaseYText, st.phaseYExpr, kFunctionVars, 5, "Invalid phase plane Y-axis function")));
}

// The sample instant: counts down the steps to the next sample and, when it
// is reached, computes the error, K e and the compensator output. In a
// closed loop a split compensator's dynamic part takes K e extrapolated half
// a step ahead over each step (the first step holds it), as the plant takes
// its input. In an open loop K r is held over the step, so the dynamic part
// runs one step ahead, and the plant is given the forward path at the middle
// of the step: the nonlinearity is then clocked every half step.
void Sample(Run& run, bool restart, double t)
{
  if (--run.counter != 0)
    return;
  run.e = run.closed ? run.r - run.fed : run.r;
  run.ke = run.gain * run.e;
  double u = run.ke;
  if (run.midpoint && !restart) {
    const double now = run.first ? StepEquation(run.comp, 0.0, false, true) : run.sNext;
    run.sNext = StepEquation(run.comp, run.ke, true, false);
    u = run.compD * run.ke + now;
    double mid = run.compD * run.ke + 0.5 * (now + run.sNext);
    if (run.fwdNl) {
      EvalContext& clock = run.ctx;
      clock.timeStep = run.hs / 2;
      u = Nonlinearity(run.nl.fwd, u);
      clock.time = t + run.hs / 2;
      mid = Nonlinearity(run.nl.fwd, mid);
      clock.time = t;
      clock.timeStep = run.hs;
    }
    run.u = u;
    run.vMid = mid;
    run.counter = run.m;
    return;
  }
  if (run.compIn) {
    if (restart) {
      u = RestartEquation(run.comp);
    } else if (run.splitComp) {
      u = run.compD * run.ke + StepEquation(run.comp, run.keAhead, run.inputIsOld, run.first);
      const double previous = run.first ? run.ke : run.kePrevious;
      run.keAhead = 1.5 * run.ke - 0.5 * previous;
      run.kePrevious = run.ke;
    } else {
      u = StepEquation(run.comp, u, false, run.first);
    }
  }
  if (run.fwdNl)
    u = Nonlinearity(run.nl.fwd, u);
  run.u = u;
  run.counter = run.m;
}

// One step of the loop at time t, from the inputs to the next plant input;
// the restart pass initialises every element and built-in function with
// memory at t = 0. The clock shows the loop's own step.
bool Step(Run& run, double t, bool restart)
{
  run.ctx.time = t;
  run.ctx.timeStep = run.hs;
  run.r = RunInput(run, TransInput::Reference, t);
  run.d = RunInput(run, TransInput::Load, t);
  run.n = RunInput(run, TransInput::Noise, t);
  if (ErrorPending())
    return false;

  // A plant that passes its input at once (open loop only) needs this
  // step's plant input before its output: the sample comes first, so the
  // input goes through the gain, the compensator and the forward
  // nonlinearity, and the load is added, as at every other step.
  const bool inputNow = run.feedthrough && run.plantIn;
  if (inputNow) {
    Sample(run, restart, t);
    run.v = run.merged ? run.ke : run.u + run.d;
  }
  if (run.plantIn) {
    run.y = restart ? RestartEquation(run.plant) : StepEquation(run.plant, run.v, run.inputIsOld, run.first);
    if (!run.discrete)
      run.y = run.delay.Pass(run.y);
  } else {
    run.y = run.v;
  }
  run.y += run.n;
  if (run.closed)
    run.fed = run.fbkNl ? Nonlinearity(run.nl.fbk, run.y) : run.y;
  if (!inputNow)
    Sample(run, restart, t);
  run.v = (run.midpoint && !restart ? run.vMid : run.u) + run.d;
  if (!run.plantIn)
    run.y = run.v;  // the controller alone: its output plus the load, no noise
  return true;
}

// A value the single-precision store can hold.
bool Storable(double v)
{
  return std::fabs(v) <= std::numeric_limits<float>::max();
}

// The cost and phase-plane functions at a stored step, clocked once per
// stored step, and the point k (none on the restart pass).
bool Record(Run& run, int k, double t, bool restart)
{
  TRANSTAT& st = run.st;
  run.ctx.timeStep = run.h;
  // The first real step repeats t = 0 of the restart pass; a strictly proper
  // plant's output has not moved yet, so the measures skip it.
  const bool evaluate = restart || !run.first || run.feedthrough;
  if (st.costOnGo && evaluate && t < run.duration - 1e-9 * run.h) {
    run.costValue = EvalFunction(st.cost, run, t);
    if (ErrorPending())
      return false;
  }
  // The phase plane takes every point, the last one included.
  if (run.phase && evaluate) {
    run.x = EvalFunction(st.phaseXExpr, run, t);
    run.yPhase = EvalFunction(st.phaseYExpr, run, t);
    if (ErrorPending())
      return false;
  }
  if (restart)
    return true;
  if (k < 0 || k >= kTraceCapacity)
    return false;  // never: the count was checked against the store
  TracePoint& p = st.result.trace[static_cast<std::size_t>(k)];
  double values[3];
  if (run.phase) {
    values[0] = t;
    values[1] = run.x;
    values[2] = run.yPhase;
  } else {
    double input = 0.0;
    if (st.loop.refInput || st.secondary == SecondaryTrace::Error)
      input = run.r;
    else if (st.loop.loadInput)
      input = run.d;
    else if (st.loop.noiseInput)
      input = run.n;
    values[0] = run.u;
    values[1] = input;
    values[2] = run.y;
  }
  // An unstable loop grows until its values leave the store's range: stop
  // there instead of storing infinities.
  if (!Storable(values[0]) || !Storable(values[1]) || !Storable(values[2])) {
    char when[32], text[120];
    FormatInCLocale(when, sizeof when, "%.4g", t);
    std::snprintf(text, sizeof text, "Response too big at t = %s: the loop is unstable", when);
    SetError(text);
    run.tooBig = true;
    return false;
  }
  p = {static_cast<float>(values[0]), static_cast<float>(values[1]), static_cast<float>(values[2])};
  return true;
}

// Ends a step: the plant input for the next one.
void Advance(Run& run, bool restart)
{
  if (restart) {
    run.counter = 1;
  } else {
    run.inputIsOld = run.closed || !run.feedthrough;
  }
  if (run.merged)
    run.v = run.ke;  // Gc Gp is driven by K e; the separate Gc only feeds the trace
  if (run.extrapolate) {
    // The plant holds its input over the next step: take the value half a
    // step ahead, extrapolated from this step and the previous one; the
    // first step holds its own value, so a jump at t = 0 is not taken for a
    // slope.
    const double raw = run.v;
    const double previous = run.first && !restart ? raw : run.vPrevious;
    run.v = 1.5 * raw - 0.5 * previous;
    run.vPrevious = raw;
  }
  if (!restart)
    run.first = false;
}

bool Prepare(Run& run)
{
  if (!CheckLoop(run))
    return false;
  const SystemKind kind = run.st.result.kind;
  run.extrapolate = run.closed && kind == SystemKind::Continuous;
  // A compensator apart from a strictly proper plant (a biproper one needs
  // the merge): its feedthrough and dynamic part are stepped apart.
  run.midpoint =
      !run.closed && kind == SystemKind::Continuous && run.compIn && run.plantIn && !run.merged && !run.feedthrough;
  run.splitComp = (run.extrapolate || run.midpoint) && run.compIn && run.s.variable[kCompensator] == 's';
  if (!ChooseStep(run, kind) || !ChooseSubSteps(run, kind) || !PrepareElements(run))
    return false;
  run.gain = run.s.gain;
  run.phase = run.st.plotType == TransPlot::PhasePlane;
  if (!CompileExpressions(run))
    return false;
  TRANSTAT& st = run.st;
  const bool enabled[3] = {st.loop.refInput, st.loop.loadInput, st.loop.noiseInput};
  CompiledExpr* inputs[3] = {&st.ref, &st.load, &st.noise};
  for (int i = 0; i < 3; ++i) {
    run.constant[i] = enabled[i] && IsConstant(*inputs[i]);
    if (run.constant[i])
      run.constantValue[i] = eval(*inputs[i]);
  }
  if (ErrorPending())
    return false;
  return true;
}

// The restart pass and the steps of the run; false with the error pending.
bool Simulate(Run& run)
{
  run.ctx.restart = true;
  const bool restarted = Step(run, 0.0, true) && Record(run, 0, 0.0, true);
  run.ctx.restart = false;
  if (!restarted)
    return false;
  Advance(run, true);
  // q steps of the loop per stored point; the last point ends the run
  for (int k = 0; k < run.points; ++k) {
    const int steps = k + 1 < run.points ? run.q : 1;
    for (int i = 0; i < steps; ++i) {
      const double t = k * run.h + i * run.hs;
      if (!Step(run, t, false) || (i == 0 && !Record(run, k, t, false)))
        return false;
      Advance(run, false);
    }
    // a nonlinearity's error is caught here at the latest
    if (ErrorPending())
      return false;
  }
  return true;
}

// What a complete run leaves in the settings and the result.
void Finish(Run& run)
{
  TRANSTAT& st = run.st;
  TransResult& res = st.result;
  st.phaseX = run.x;
  st.phaseY = run.yPhase;
  if (st.costOnGo) {
    st.costValue = run.costValue;
    res.cost = run.costValue;
    res.costEvaluated = true;
  }
  res.pointCount = run.points;
  res.valid = true;
}

}  // namespace

double TransPointsNeeded(double d, double h)
{
  return std::floor((d + h / 2) / h) + 1.0;
}

double InputValue(TRANSTAT& st, TransInput which, double t)
{
  CompiledExpr* e = nullptr;
  switch (which) {
    case TransInput::Reference:
      e = st.loop.refInput ? &st.ref : nullptr;
      break;
    case TransInput::Load:
      e = st.loop.loadInput ? &st.load : nullptr;
      break;
    case TransInput::Noise:
      e = st.loop.noiseInput ? &st.noise : nullptr;
      break;
  }
  if (!e || t < 0)
    return 0.0;
  if (st.periodic)
    t -= st.period * std::trunc(t / st.period);
  e->vars[0].value = t;
  return eval(*e);
}

Loop DecodeTimeLoop(const SYSDATA& doc, const TRANSTAT& st)
{
  ClearError();  // an unreported message of another window is not ours
  // The coefficients are evaluated as the run evaluates: in the time domain.
  EvalContext ctx = EvalContextOf(doc);
  ctx.domain = ActiveDomain::Time;
  const EvalScope scope(ctx);
  Loop loop = DecodeLoop(doc, ActiveDomain::Time, st.loop);
  loop.initCompOutput = st.initCompOutput;
  loop.initPlantOutput = st.initPlantOutput;
  return loop;
}

bool TimeEngine(const Loop& loop, TRANSTAT& st, const EvalContext& ctx)
{
  TransResult& res = st.result;
  res.valid = false;
  res.pointCount = 0;
  res.costEvaluated = false;
  res.delaySteps = 0;
  res.plot = st.plotType;
  res.closedLoop = st.loop.closedLoop;
  res.secondary = st.secondary;

  CompiledNonlinearities compiled;
  // The steps per point take the nonlinearities as unit gains. One of a
  // higher gain makes the loop faster than that: when such a loop blows up,
  // it is run again with four times the steps, while the run's bound allows.
  for (int finer = 1;; finer *= 4) {
    Run run(st, loop, ctx, compiled);
    const EvalScope scope(run.ctx);
    run.finer = finer;
    if (!Prepare(run))
      return false;
    res.step = run.h;
    res.stepsPerSample = run.m;
    if (Simulate(run)) {
      Finish(run);
      return true;
    }
    const bool again = run.tooBig && run.extrapolate && (run.fwdNl || run.fbkNl) &&
                       (run.points - 1) * 4.0 * run.q + 1 <= kMaxInternalSteps;
    if (!again)
      return false;
    ClearError();
  }
}
