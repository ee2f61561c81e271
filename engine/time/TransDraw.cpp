#include "engine/time/TransDraw.h"

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/chart/LabelText.h"

namespace {

constexpr int kLabelSize = 8;
constexpr std::uint32_t kFinalLineColour = 0x808080;

// Secondary value of point p: the held control effort or the error.
double SecondaryValue(const TracePoint& p, SecondaryTrace which)
{
  return which == SecondaryTrace::Error ? static_cast<double>(p.input) - p.y : p.u;
}

void DrawSecondary(DisplayList& list, const TransResult& r, bool interpolate, std::uint32_t colour)
{
  const bool sampled = r.kind == SystemKind::SampledData && r.secondary == SecondaryTrace::ControlEffort;
  const bool discrete = r.kind == SystemKind::Discrete;
  double previous = SecondaryValue(r.trace[0], r.secondary);
  list.moveTo(0, previous, colour);
  for (int i = 0; i < r.pointCount; ++i) {
    const double t = i * r.step;
    const double value = SecondaryValue(r.trace[static_cast<std::size_t>(i)], r.secondary);
    if (sampled && value != previous)
      list.drawTo(t, previous, colour);  // the held value up to the sample: a staircase
    if (discrete) {
      list.markAt(t, value, kMarkDot, colour);
      if (!interpolate)
        list.moveTo(t, 0, colour);
    }
    list.drawTo(t, value, colour);
    previous = value;
  }
}

void DrawOutput(DisplayList& list, const TransResult& r, bool interpolate, std::uint32_t colour)
{
  const bool discrete = r.kind == SystemKind::Discrete;
  list.moveTo(0, r.trace[0].y, colour);
  for (int i = 0; i < r.pointCount; ++i) {
    const double t = i * r.step;
    const double y = r.trace[static_cast<std::size_t>(i)].y;
    if (discrete) {
      list.markAt(t, y, kMarkDot, colour);
      if (!interpolate)
        list.moveTo(t, 0, colour);  // each sample a stem from the axis
    }
    list.drawTo(t, y, colour);
  }
}

void DrawInput(DisplayList& list, const TransResult& r, std::uint32_t colour)
{
  list.moveTo(0, r.trace[0].input, colour);
  for (int i = 0; i < r.pointCount; ++i)
    list.drawTo(i * r.step, r.trace[static_cast<std::size_t>(i)].input, colour);
}

void DrawPhase(DisplayList& list, const TransResult& r, std::uint32_t colour)
{
  list.moveTo(r.trace[0].input, r.trace[0].y, colour);
  for (int i = 1; i < r.pointCount; ++i)
    list.drawTo(r.trace[static_cast<std::size_t>(i)].input, r.trace[static_cast<std::size_t>(i)].y, colour);
}

// "  <what> <v>" with v in the label format, then the unit.
void Label(DisplayList& list, double x, double y, const char* what, double v, const char* unit = "")
{
  LabelText text;
  text << "  " << what << " ";
  text.number(v, kDefaultNumberFormat) << unit;
  list.textAt(x, y, text.c_str(), kLabelSize, kBlack);
}

}  // namespace

bool DrawTransRun(DisplayList& list, const TransResult& r, const ChartPens& pens, bool interpolate)
{
  if (!r.valid || r.pointCount < 1)
    return false;
  const std::uint32_t output = pens.pen[r.closedLoop ? kClosedOutputPen : kOpenOutputPen];
  if (r.plot == TransPlot::PhasePlane) {
    DrawPhase(list, r, output);
    return true;
  }
  if (r.secondary != SecondaryTrace::None)
    DrawSecondary(list, r, interpolate, pens.pen[kSecondaryPen]);
  DrawOutput(list, r, interpolate, output);
  DrawInput(list, r, pens.pen[kInputPen]);
  return true;
}

bool TimeGo(const Loop& loop, TRANSTAT& st, const EvalContext& ctx, const ChartPens& pens, DisplayList& list)
{
  ClearError();
  if (!TimeEngine(loop, st, ctx))
    return false;
  const bool drawn = DrawTransRun(list, st.result, pens, st.discreteInterpolation);
  if (st.characteristicsOnGo) {
    ResponseCharacteristics c;
    if (ComputeCharacteristics(st.result, c))
      DrawCharacteristics(list, st.result, c);
  }
  return drawn;
}

TimeAutoscale TimeAutoscaleOf(const TRANSTAT& st)
{
  if (st.plotType == TransPlot::PhasePlane)
    return {5.0, 5.0, false, 0.0};
  return {-1.0, 5.0, true, st.duration};
}

void DrawCharacteristics(DisplayList& list, const TransResult& r, const ResponseCharacteristics& c)
{
  if (!r.valid || r.plot != TransPlot::TimeResponse || r.pointCount < 1)
    return;
  const double end = (r.pointCount - 1) * r.step;
  list.line(0, c.finalValue, end, c.finalValue, kFinalLineColour);
  constexpr std::uint32_t colour = kBlack;
  list.markAt(c.peakTime, c.peak, kMarkTriangle, colour);
  if (c.relative)
    Label(list, c.peakTime, c.peak, "Mp", c.overshoot, "%");
  else
    Label(list, c.peakTime, c.peak, "peak", c.peak);
  if (!c.relative)
    return;
  list.markAt(c.riseStart, 0.1 * c.finalValue, kMarkDot, colour);
  list.markAt(c.riseEnd, 0.9 * c.finalValue, kMarkDot, colour);
  Label(list, c.riseEnd, 0.9 * c.finalValue, "tr", c.riseTime);
  const double settled = OutputAt(r, c.settlingTime);
  list.markAt(c.settlingTime, settled, kMarkCross, colour);
  Label(list, c.settlingTime, settled, "ts", c.settlingTime);
}
