#include "time/TimeEngine.h"

#include "expr/Expr.h"
#include "expr/FunctionTables.h"
#include "model/Discrete.h"
#include "model/Error.h"
#include "model/Model.h"
#include "model/Toolkit.h"
#include "model/UpdateLoop.h"
#include "time/LoopElements.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* const kInputVars[] = {"t"};
const char* const kFunctionVars[] = {"t", "y", "u", "r", "e"};
const char* const kNonlinearVars[] = {"x"};

// One run: what the preparation decided and the state of the stepped loop.
struct Run {
  Run(TRANSTAT& settings, SYSDATA& model) : st(settings), s(model) {}
  TRANSTAT& st;
  SYSDATA& s;

  // Decided by the preparation.
  bool closed = true;
  bool compIn = false;
  bool plantIn = true;
  bool fwdNl = false;
  bool fbkNl = false;           // in the loop and the loop closed
  bool merged = false;          // Gc multiplied into the plant
  bool feedthrough = false;     // the plant passes its input at once
  bool discrete = false;
  bool extrapolate = false;     // closed continuous loop
  bool phase = false;
  double gain = 1.0;
  double h = 0.0;
  double duration = 0.0;
  int m = 1;                    // steps per sample
  int points = 0;
  DiffEquation comp, plant;
  DelayLine delay;

  // Signals of the current pass.
  double r = 0, d = 0, n = 0;   // inputs
  double v = 0;                 // plant input
  double u = 0;                 // control effort, held between samples
  double e = 0;                 // error at the last sample
  double ke = 0;                // K e at the last sample
  double y = 0;                 // output
  double fed = 0;               // fed-back value
  double vPrevious = 0;         // extrapolator memory
  double x = 0, yPhase = 0;     // phase-plane values
  // An input whose text is a constant (the start texts are "1") is
  // evaluated once per run instead of at every step.
  bool constant[3] = {};
  double constantValue[3] = {};
  int counter = 1;
  bool first = true;            // the first real step
  bool inputIsOld = false;      // the plant input is one step old
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

int Degree(const Polynomial& p) { return Trim(p.c, p.n) - 1; }

// Preparation steps 1 to 5: model switches, loop update and the checks of
// the loop's shape.
bool CheckLoop(Run& run)
{
  TRANSTAT& st = run.st;
  SYSDATA& s = run.s;
  ApplyLoopSwitches(s, ActiveDomain::Time, st.loop);
  s.initCompOutput = st.initCompOutput;
  s.initPlantOutput = st.initPlantOutput;
  run.closed = st.loop.closedLoop;
  run.compIn = st.loop.compIn;
  run.plantIn = st.loop.plantIn;
  run.fwdNl = st.loop.fwdNl;
  run.fbkNl = st.loop.fbkNl && run.closed;

  if (run.plantIn && run.closed && std::strcmp(s.num[kPlant], "1") == 0 && s.den[kPlant][0] == '\0') {
    SetError("No plant transfer function");
    return false;
  }
  const SystemKind kind = UpdateLoop(s);
  if (ErrorPending() || kind == SystemKind::Invalid) {
    if (!ErrorPending())
      SetError("Problem with UpdateLoop()");
    return false;
  }
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

// Step 6: the simulation step h and the steps per sample m, and the refusal
// of a run the trace store cannot hold.
bool ChooseStep(Run& run, SystemKind kind)
{
  const TRANSTAT& st = run.st;
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
  run.duration = st.duration;
  run.points = static_cast<int>(needed);
  // a compensator that samples less often than once per run needs no count
  run.m = static_cast<int>(std::min(m, static_cast<double>(kTraceCapacity + 1)));
  run.s.TimeStep = h;
  return true;
}

// Step 7 and 8: the difference equations of the elements in the run, the
// plant's with the fractional part of the delay, and the delay line.
bool PrepareElements(Run& run)
{
  SYSDATA& s = run.s;
  const double y0[2] = {s.compInitEnabled ? s.initCompOutput : 0.0,
                        s.plantInitEnabled ? s.initPlantOutput : 0.0};
  DiffEquation* eq[2] = {&run.comp, &run.plant};
  int delaySteps = 0;
  for (int j = s.firstElement; j <= s.lastElement && j < 2; ++j) {
    if (s.variable[j] == 'z') {
      if (!PrepareEquation(*eq[j], s.numPoly[j], s.denPoly[j], y0[j]))
        return false;
      continue;
    }
    ZPolynomial nz, dz;
    int steps = 0;
    if (!ZohTransfer(s.numPoly[j], s.denPoly[j], run.h, j == kPlant ? s.delay : 0.0, nz, dz, steps) ||
        !PrepareEquation(*eq[j], nz, dz, y0[j]))
      return false;
    if (j == kPlant)
      delaySteps = steps;
  }
  if (delaySteps > kMaxDelaySteps) {
    SetError("Delay too big");
    return false;
  }
  s.delaySamples = delaySteps;
  run.st.result.delaySteps = delaySteps;
  // Before the delayed response arrives the line shows the plant's initial
  // output, and so follows its Enabled flag like every other use of it: a
  // disabled initial output is 0 here too.
  run.delay.Restart(delaySteps, y0[kPlant]);
  return true;
}

// Step 9: the expressions of the run.
bool CompileExpressions(Run& run)
{
  TRANSTAT& st = run.st;
  SYSDATA& s = run.s;
  return (!st.loop.refInput ||
          Compile(st.refText, st.ref, kInputVars, 1, "Invalid reference input function")) &&
         (!st.loop.loadInput ||
          Compile(st.loadText, st.load, kInputVars, 1, "Invalid load input function")) &&
         (!st.loop.noiseInput ||
          Compile(st.noiseText, st.noise, kInputVars, 1, "Invalid measurement noise function")) &&
         (!run.fwdNl || Compile(s.fwdNlText, s.fwdNl, kNonlinearVars, 1,
                                "Invalid forward path non-linear function")) &&
         (!run.fbkNl || Compile(s.fbkNlText, s.fbkNl, kNonlinearVars, 1,
                                "Invalid feedback path non-linear function")) &&
         (!st.costOnGo || Compile(st.costText, st.cost, kFunctionVars, 5, "Invalid cost function")) &&
         (!run.phase || (Compile(st.phaseXText, st.phaseXExpr, kFunctionVars, 5,
                                 "Invalid phase plane X-axis function") &&
                         Compile(st.phaseYText, st.phaseYExpr, kFunctionVars, 5,
                                 "Invalid phase plane Y-axis function")));
}

// The sample instant: counts down the steps to the next sample and, when it
// is reached, computes the error, K e and the compensator output.
void Sample(Run& run, bool restart)
{
  if (--run.counter != 0)
    return;
  run.e = run.closed ? run.r - run.fed : run.r;
  run.ke = run.gain * run.e;
  double u = run.ke;
  if (run.compIn)
    u = restart ? RestartEquation(run.comp) : StepEquation(run.comp, u, false, run.first);
  if (run.fwdNl)
    u = Nonlinearity(run.s.fwdNl, u);
  run.u = u;
  run.counter = run.m;
}

// One pass at point k; the restart pass initialises every element and
// built-in function with memory at t = 0 and stores nothing.
bool Pass(Run& run, int k, bool restart)
{
  TRANSTAT& st = run.st;
  SYSDATA& s = run.s;
  const double t = k * run.h;
  s.CurrentTime = t;
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
    Sample(run, restart);
    run.v = run.merged ? run.ke : run.u + run.d;
  }
  if (run.plantIn) {
    run.y = restart ? RestartEquation(run.plant)
                    : StepEquation(run.plant, run.v, run.inputIsOld, run.first);
    if (!run.discrete)
      run.y = run.delay.Pass(run.y);
  } else {
    run.y = run.v;
  }
  run.y += run.n;
  if (run.closed)
    run.fed = run.fbkNl ? Nonlinearity(s.fbkNl, run.y) : run.y;
  if (!inputNow)
    Sample(run, restart);
  run.v = run.u + run.d;
  if (!run.plantIn)
    run.y = run.v;  // the controller alone: its output plus the load, no noise

  // The first real step repeats t = 0 of the restart pass; a strictly proper
  // plant's output has not moved yet, so the measures skip it.
  const bool evaluate = restart || !run.first || run.feedthrough;
  if (st.costOnGo && evaluate && t < run.duration - 1e-9 * run.h) {
    s.costValue = EvalFunction(st.cost, run, t);
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

  if (restart) {
    run.counter = 1;
  } else {
    if (k < 0 || k >= kTraceCapacity)
      return false;  // never: the count was checked against the store
    TracePoint& p = st.result.trace[static_cast<std::size_t>(k)];
    if (run.phase) {
      p = {static_cast<float>(t), static_cast<float>(run.x), static_cast<float>(run.yPhase)};
    } else {
      double input = 0.0;
      if (st.loop.refInput || st.secondary == SecondaryTrace::Error)
        input = run.r;
      else if (st.loop.loadInput)
        input = run.d;
      else if (st.loop.noiseInput)
        input = run.n;
      p = {static_cast<float>(run.u), static_cast<float>(input), static_cast<float>(run.y)};
    }
    run.inputIsOld = run.closed || !run.feedthrough;
    run.first = false;
  }
  if (run.merged)
    run.v = run.ke;  // Gc Gp is driven by K e; the separate Gc only feeds the trace
  if (run.extrapolate) {
    // The plant holds its input over the next step: take the value half a
    // step ahead, extrapolated from this step and the previous one.
    const double raw = run.v;
    run.v = 1.5 * raw - 0.5 * run.vPrevious;
    run.vPrevious = raw;
  }
  // A nonlinearity's error is caught here at the latest.
  return !ErrorPending();
}

bool Prepare(Run& run)
{
  if (!CheckLoop(run))
    return false;
  const SystemKind kind = run.st.result.kind;
  if (!ChooseStep(run, kind) || !PrepareElements(run))
    return false;
  run.gain = run.s.gain;
  run.phase = run.st.plotType == TransPlot::PhasePlane;
  run.extrapolate = run.closed && kind == SystemKind::Continuous;
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
  SetText(run.s.costText, run.st.costText);
  run.s.costOnGo = run.st.costOnGo;
  return true;
}

}  // namespace

double TransPointsNeeded(double d, double h) { return std::floor((d + h / 2) / h) + 1.0; }

double InputValue(TRANSTAT& st, TransInput which, double t)
{
  CompiledExpr* e = nullptr;
  switch (which) {
  case TransInput::Reference: e = st.loop.refInput ? &st.ref : nullptr; break;
  case TransInput::Load: e = st.loop.loadInput ? &st.load : nullptr; break;
  case TransInput::Noise: e = st.loop.noiseInput ? &st.noise : nullptr; break;
  }
  if (!e || t < 0)
    return 0.0;
  if (st.periodic)
    t -= st.period * std::trunc(t / st.period);
  e->vars[0].value = t;
  return eval(*e);
}

bool TimeEngine(TRANSTAT& st)
{
  TransResult& res = st.result;
  res.valid = false;
  res.pointCount = 0;
  res.costEvaluated = false;
  res.delaySteps = 0;
  res.plot = st.plotType;
  res.closedLoop = st.loop.closedLoop;
  res.secondary = st.secondary;

  SYSDATA& s = Sys();
  Run run(st, s);
  if (!Prepare(run))
    return false;
  res.step = run.h;
  res.stepsPerSample = run.m;

  s.RestartFlag = true;
  const bool restarted = Pass(run, 0, true);
  s.RestartFlag = false;
  if (!restarted)
    return false;
  for (int k = 0; k < run.points; ++k)
    if (!Pass(run, k, false))
      return false;

  st.phaseX = run.x;
  st.phaseY = run.yPhase;
  if (st.costOnGo) {
    st.costValue = s.costValue;
    res.cost = s.costValue;
    res.costEvaluated = true;
  }
  res.pointCount = run.points;
  res.valid = true;
  return true;
}
