// vanto-cli time: the simulated response of the loop, point by point.

#include "cli/TimeOptions.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/time/TimeCharacteristics.h"

#include <cmath>
#include <memory>
#include <ostream>
#include <string>

namespace {

// Takes "--name TEXT" into a text field; longer than 79 characters is bad usage.
bool takeText(CliContext& ctx, const char* name, char (&field)[kTextSize])
{
  std::string text;
  if (!ctx.takeValue(name, text))
    return false;
  if (text.size() >= kTextSize) {
    ctx.setUsageError(std::string(name) + ": text longer than 79 characters");
    return false;
  }
  SetText(field, text.c_str());
  return true;
}

}  // namespace

void PrintTrace(std::ostream& out, const TransResult& r)
{
  std::string text;
  text.reserve(static_cast<std::size_t>(r.pointCount) * 48);
  if (r.plot == TransPlot::PhasePlane) {
    text += "t,x,y\n";
    for (int i = 0; i < r.pointCount; ++i) {
      const TracePoint& p = r.trace[static_cast<std::size_t>(i)];
      text += FormatSingle(p.u) + ',' + FormatSingle(p.input) + ',' + FormatSingle(p.y) + '\n';
    }
  } else {
    const bool error = r.secondary == SecondaryTrace::Error;
    text += error ? "t,e,input,y\n" : "t,u,input,y\n";
    for (int i = 0; i < r.pointCount; ++i) {
      const TracePoint& p = r.trace[static_cast<std::size_t>(i)];
      const float second = error ? p.input - p.y : p.u;
      text += FormatDouble(i * r.step) + ',' + FormatSingle(second) + ',' + FormatSingle(p.input) + ',' +
              FormatSingle(p.y) + '\n';
    }
  }
  out << text;
}

int TakeTimeOptions(CliContext& ctx, TRANSTAT& st)
{
  st.loop = ctx.switches(true);
  double value = 0.0;
  if (ctx.takeInRange("--duration", ranges::kDuration, value))
    st.duration = value;
  if (ctx.takeInRange("--points", ranges::kTimePoints, value))
    st.points = static_cast<int>(value);  // checked in range before it becomes a whole number
  const bool ref = takeText(ctx, "--ref", st.refText);
  const bool noRef = ctx.takeFlag("--no-ref");
  if (ref && noRef)
    ctx.setUsageError("time: --ref and --no-ref exclude each other");
  st.loop.refInput = !noRef;
  st.loop.loadInput = takeText(ctx, "--load", st.loadText);
  st.loop.noiseInput = takeText(ctx, "--noise", st.noiseText);
  if (ctx.takeInRange("--periodic", ranges::kInputPeriod, value)) {
    st.periodic = true;
    st.period = value;
  }
  st.costOnGo = takeText(ctx, "--cost", st.costText);
  const bool phaseX = takeText(ctx, "--phase-x", st.phaseXText);
  const bool phaseY = takeText(ctx, "--phase-y", st.phaseYText);
  if (phaseX || phaseY)
    st.plotType = TransPlot::PhasePlane;
  SYSDATA& s = Sys();
  if (ctx.takeInRange("--ic-plant", ranges::kInitPlantOutput, value)) {
    st.initPlantOutput = value;
    s.plantInitEnabled = true;
  }
  if (ctx.takeInRange("--ic-comp", ranges::kInitCompOutput, value)) {
    st.initCompOutput = value;
    s.compInitEnabled = true;
  }
  st.loop.fwdNl = ctx.takeFlag("--fwd");
  st.loop.fbkNl = ctx.takeFlag("--fbk");
  std::string secondary;
  if (ctx.takeValue("--secondary", secondary)) {
    if (secondary == "none")
      st.secondary = SecondaryTrace::None;
    else if (secondary == "effort")
      st.secondary = SecondaryTrace::ControlEffort;
    else if (secondary == "error")
      st.secondary = SecondaryTrace::Error;
    else
      ctx.setUsageError("time: --secondary must be none, effort or error");
  }
  st.characteristicsOnGo = ctx.takeFlag("--characteristics");
  if (st.characteristicsOnGo && st.plotType == TransPlot::PhasePlane)
    ctx.setUsageError("time: --characteristics measures a time response, not a phase plane");
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  return ErrorPending() ? 1 : 0;
}

void PrintCharacteristics(std::ostream& out, const TransResult& r)
{
  ResponseCharacteristics c;
  const bool ok = ComputeCharacteristics(r, c);
  const bool relative = ok && c.relative;
  const std::string none = "none";
  out << "# final = " << (ok ? FormatDouble(c.finalValue) : none) << '\n';
  out << "# peak = " << (ok ? FormatDouble(c.peak) + " at " + FormatDouble(c.peakTime) : none) << '\n';
  out << "# overshoot = " << (relative ? FormatDouble(c.overshoot) + " %" : none) << '\n';
  out << "# rise = " << (relative ? FormatDouble(c.riseTime) : none) << '\n';
  out << "# settling = " << (relative ? FormatDouble(c.settlingTime) : none) << '\n';
}

int CmdTime(CliContext& ctx)
{
  // the settings hold the 2000-point store: too big for the stack
  const auto st = std::make_unique<TRANSTAT>();
  if (const int rc = TakeTimeOptions(ctx, *st); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  const Loop loop = DecodeTimeLoop(Sys(), *st);
  if (!TimeEngine(loop, *st, LoopContext(loop, ActiveDomain::Time)))
    return ctx.systemError();
  const auto again = std::make_unique<TRANSTAT>(*st);
  RepeatTimed(ctx, [&] {
    const Loop repeated = DecodeTimeLoop(Sys(), *again);
    (void)TimeEngine(repeated, *again, LoopContext(repeated, ActiveDomain::Time));
  });
  PrintTrace(ctx.out, st->result);
  if (st->characteristicsOnGo)
    PrintCharacteristics(ctx.out, st->result);
  if (st->costOnGo)
    ctx.out << "# cost = " << FormatDouble(st->result.cost) << '\n';
  return 0;
}
