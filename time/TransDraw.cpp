#include "time/TransDraw.h"

#include "model/NumberFormat.h"
#include "plot/TRChart.h"

#include <string>

namespace {

constexpr int kLabelSize = 8;
constexpr std::uint32_t kFinalLineColour = 0x808080;

// Secondary value of point p: the held control effort or the error.
double SecondaryValue(const TracePoint& p, SecondaryTrace which)
{
  return which == SecondaryTrace::Error ? static_cast<double>(p.input) - p.y : p.u;
}

void DrawSecondary(TRChart& chart, const TransResult& r, bool interpolate)
{
  const bool sampled = r.kind == SystemKind::SampledData && r.secondary == SecondaryTrace::ControlEffort;
  const bool discrete = r.kind == SystemKind::Discrete;
  double previous = SecondaryValue(r.trace[0], r.secondary);
  chart.MoveTo(0, previous);
  for (int i = 0; i < r.pointCount; ++i) {
    const double t = i * r.step;
    const double value = SecondaryValue(r.trace[static_cast<std::size_t>(i)], r.secondary);
    if (sampled && value != previous)
      chart.DrawTo(t, previous);  // the held value up to the sample: a staircase
    if (discrete) {
      chart.MarkAt(t, value, kMarkDot);
      if (!interpolate)
        chart.MoveTo(t, 0);
    }
    chart.DrawTo(t, value);
    previous = value;
  }
}

void DrawOutput(TRChart& chart, const TransResult& r, bool interpolate)
{
  const bool discrete = r.kind == SystemKind::Discrete;
  chart.MoveTo(0, r.trace[0].y);
  for (int i = 0; i < r.pointCount; ++i) {
    const double t = i * r.step;
    const double y = r.trace[static_cast<std::size_t>(i)].y;
    if (discrete) {
      chart.MarkAt(t, y, kMarkDot);
      if (!interpolate)
        chart.MoveTo(t, 0);  // each sample a stem from the axis
    }
    chart.DrawTo(t, y);
  }
}

void DrawInput(TRChart& chart, const TransResult& r)
{
  chart.MoveTo(0, r.trace[0].input);
  for (int i = 0; i < r.pointCount; ++i)
    chart.DrawTo(i * r.step, r.trace[static_cast<std::size_t>(i)].input);
}

void DrawPhase(TRChart& chart, const TransResult& r)
{
  chart.MoveTo(r.trace[0].input, r.trace[0].y);
  for (int i = 1; i < r.pointCount; ++i)
    chart.DrawTo(r.trace[static_cast<std::size_t>(i)].input, r.trace[static_cast<std::size_t>(i)].y);
}

void Label(TRChart& chart, double x, double y, const std::string& text)
{
  chart.TextAt(x, y, QString::fromStdString("  " + text), kLabelSize);
}

}  // namespace

TransPens PensOf(const SYSDATA& s) { return {s.pen[0], s.pen[1], s.pen[2], s.pen[3]}; }

bool DrawTransRun(TRChart& chart, const TransResult& r, const TransPens& pens, bool interpolate)
{
  if (!r.valid || r.pointCount < 1)
    return false;
  const std::uint32_t output = r.closedLoop ? pens.closedOutput : pens.openOutput;
  if (r.plot == TransPlot::PhasePlane) {
    chart.SetDataColorRgb(output);
    DrawPhase(chart, r);
    return true;
  }
  if (r.secondary != SecondaryTrace::None) {
    chart.SetDataColorRgb(pens.secondary);
    DrawSecondary(chart, r, interpolate);
  }
  chart.SetDataColorRgb(output);
  DrawOutput(chart, r, interpolate);
  chart.SetDataColorRgb(pens.input);
  DrawInput(chart, r);
  return true;
}

void DrawCharacteristics(TRChart& chart, const TransResult& r, const ResponseCharacteristics& c)
{
  if (!r.valid || r.plot != TransPlot::TimeResponse || r.pointCount < 1)
    return;
  const double end = (r.pointCount - 1) * r.step;
  chart.SetDataColorRgb(kFinalLineColour);
  chart.LineItem(0, c.finalValue, end, c.finalValue);
  chart.SetDataColorRgb(kBlack);
  chart.MarkAt(c.peakTime, c.peak, kMarkTriangle);
  Label(chart, c.peakTime, c.peak,
        c.relative ? "Mp " + FormatLabelNumber(c.overshoot) + "%" : "peak " + FormatLabelNumber(c.peak));
  if (!c.relative)
    return;
  chart.MarkAt(c.riseStart, 0.1 * c.finalValue, kMarkDot);
  chart.MarkAt(c.riseEnd, 0.9 * c.finalValue, kMarkDot);
  Label(chart, c.riseEnd, 0.9 * c.finalValue, "tr " + FormatLabelNumber(c.riseTime));
  const double settled = OutputAt(r, c.settlingTime);
  chart.MarkAt(c.settlingTime, settled, kMarkCross);
  Label(chart, c.settlingTime, settled, "ts " + FormatLabelNumber(c.settlingTime));
}
