#include "engine/freq/FreqDraw.h"

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/chart/LabelText.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// How the label of a limit cycle's mark starts.
constexpr const char* kCycleLabelStart = "  A = ";

constexpr int kLabelSize = 8;  // points

bool IsBode(FreqView v)
{
  return v == FreqView::BodeGain || v == FreqView::BodePhase;
}

// The displayed open-loop phase of the last sweep nearest omega, in degrees;
// fallback when there is no sweep.
double CurvePhaseDeg(const FREQSTAT& rec, double omega, double fallback)
{
  const FreqResult& r = rec.result;
  if (r.gridCount == 0)
    return fallback;
  const double* begin = r.omega.data();
  const double* end = begin + r.gridCount;
  const double* it = std::lower_bound(begin, end, omega);
  if (it == end || (it != begin && omega - *(it - 1) < *it - omega))
    --it;
  const double deg = r.openPhase[static_cast<std::size_t>(it - begin)] * kDegPerRad;
  return std::isfinite(deg) ? deg : fallback;
}

// phaseDeg moved by whole turns as near as possible to ref.
double OnBranch(double phaseDeg, double ref)
{
  return phaseDeg + 360.0 * std::round((ref - phaseDeg) / 360.0);
}

LabelText MarginLabel(const char* what, double value, const char* unit)
{
  LabelText text;
  text << "  " << what << " ";
  text.number(value, kDefaultNumberFormat) << " " << unit;
  return text;
}

// A curve through the first count points of the store.
void DrawStore(DisplayList& list, const FreqResult& r, int count, std::uint32_t colour)
{
  for (int i = 0; i < count; ++i) {
    if (i == 0)
      list.moveTo(r.points[i].x, r.points[i].y, colour);
    else
      list.drawTo(r.points[i].x, r.points[i].y, colour);
  }
}

}  // namespace

const ChartSetup& FreqChartSetup(FreqView view)
{
  static const ChartSetup* const kSetups[kFreqViews] = {&kNyqChart, &kINyqChart, &kNichChart, &kBGainChart,
                                                        &kBPhaseChart};
  return *kSetups[static_cast<int>(view)];
}

bool FreqGo(const FreqLoop& loop, FREQSTAT& rec, const EvalContext& ctx, FreqCurve curve, const ChartGeometry& chart,
            const ChartPens& pens, DisplayList& list)
{
  SetChartRange(rec, chart.xLo, chart.xHi, chart.yLo, chart.yHi);
  ClearError();
  if (curve == FreqCurve::DescribingFunction) {
    if (!ComputeDescribingFunction(loop, rec, ctx))
      return false;
    DrawDescribingFunction(list, rec, pens);
    return true;
  }
  if (!ComputeResponse(loop, rec))
    return false;
  DrawResponse(list, rec, pens);
  return true;
}

double BodeUnitFactor(const FreqSettings& set, const char* chartUnits)
{
  const bool hz = set.units[0] == 'H';
  if (hz && chartUnits[0] == 'r')
    return kInvTwoPi;
  if (!hz && chartUnits[0] == 'H')
    return kTwoPi;
  return 0.0;
}

void DrawResponse(DisplayList& list, const FREQSTAT& rec, const ChartPens& pens)
{
  const std::uint32_t colour = pens.pen[rec.loop.closedLoop ? 1 : 0];
  const bool bode = IsBode(rec.set.view);
  const FreqResult& r = rec.result;
  for (int i = 0; i < r.count; ++i) {
    const FreqPoint& p = r.points[i];
    const double x = bode ? ToDisplayFrequency(rec, p.tag) : p.x;
    if (i == 0)
      list.moveTo(x, p.y, colour);
    else
      list.drawTo(x, p.y, colour);
  }
}

void DrawMContour(DisplayList& list, const FREQSTAT& rec, double mDb, const ChartPens& pens)
{
  const FreqResult& r = rec.result;
  int n = 0;
  while (n < r.count && r.points[n].tag != 0.0f)
    ++n;
  DrawStore(list, r, n, pens.pen[3]);
  if (pens.markLabels && r.count > 0) {
    const FreqPoint& p = r.points[r.count / 3];
    LabelText text;
    text << "  ";
    list.textAt(p.x, p.y, text.number(mDb, pens.numberFormat).c_str(), kLabelSize, pens.pen[3]);
  }
}

bool DrawMContours(DisplayList& list, FREQSTAT& rec, const ContourSteps& family, const ChartPens& pens)
{
  const double start = family.start, end = family.end, step = family.step;
  // M = start + k step, so that rounding neither adds nor drops a contour.
  for (int k = 0;; ++k) {
    const double m = start + k * step;
    if (m > end + 1e-9 * step || k > 100000)
      return true;
    if (!ComputeMContour(rec, m))
      return false;
    DrawMContour(list, rec, m, pens);
  }
}

void DrawMarginMarks(DisplayList& list, const FREQSTAT& rec, const StabilityMargins& margins, const ChartPens& pens)
{
  const FreqView view = rec.set.view;
  if (view == FreqView::DirectNyquist || view == FreqView::InverseNyquist)
    return;
  const std::uint32_t colour = pens.pen[2];
  for (int i = 0; i < margins.gainCount; ++i) {
    const GainCrossover& c = margins.gain[i];
    const double phase = OnBranch(c.phaseMarginDeg - 180.0, CurvePhaseDeg(rec, c.omega, c.phaseMarginDeg - 180.0));
    const double limit = phase - c.phaseMarginDeg;  // the -180 deg line of that branch
    const double f = ToDisplayFrequency(rec, c.omega);
    const LabelText text = MarginLabel("PM", c.phaseMarginDeg, "deg");
    if (view == FreqView::BodeGain) {
      list.markAt(f, 0, kMarkCircle, colour);
    } else if (view == FreqView::BodePhase) {
      list.line(f, limit, f, phase, colour);
      list.markAt(f, phase, kMarkCircle, colour);
      list.textAt(f, phase, text.c_str(), kLabelSize, colour);
    } else {
      list.line(limit, 0, phase, 0, colour);
      list.markAt(phase, 0, kMarkCircle, colour);
      list.textAt(phase, 0, text.c_str(), kLabelSize, colour);
    }
  }
  for (int i = 0; i < margins.phaseCount; ++i) {
    const PhaseCrossover& c = margins.phase[i];
    const double limit = OnBranch(-180.0, CurvePhaseDeg(rec, c.omega, -180.0));
    const double f = ToDisplayFrequency(rec, c.omega);
    const LabelText text = MarginLabel("GM", c.gainMarginDb, "dB");
    if (view == FreqView::BodeGain) {
      if (f <= 0)
        continue;  // omega = 0 is off a logarithmic axis
      list.line(f, 0, f, -c.gainMarginDb, colour);
      list.markAt(f, -c.gainMarginDb, kMarkCircle, colour);
      list.textAt(f, -c.gainMarginDb, text.c_str(), kLabelSize, colour);
    } else if (view == FreqView::BodePhase) {
      if (f > 0)
        list.markAt(f, limit, kMarkCircle, colour);
    } else {
      list.line(limit, 0, limit, -c.gainMarginDb, colour);
      list.markAt(limit, -c.gainMarginDb, kMarkCircle, colour);
      list.textAt(limit, -c.gainMarginDb, text.c_str(), kLabelSize, colour);
    }
  }
}

void DrawDescribingFunction(DisplayList& list, const FREQSTAT& rec, const ChartPens& pens)
{
  const std::uint32_t colour = pens.pen[2];
  const FreqResult& r = rec.result;
  DrawStore(list, r, r.count, colour);
  // A tick at each amplitude: the locus of a nonlinearity without memory
  // runs along -180 deg, under that line of the Nichols chart, and stays on
  // one point when N does not change.
  for (int i = 0; i < r.count; ++i)
    list.markAt(r.points[i].x, r.points[i].y, kMarkCross, colour);
}

bool CarriesLimitCycleMarks(const DisplayList& list)
{
  const std::size_t start = std::strlen(kCycleLabelStart);
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list.item(i).kind == ItemKind::Text && std::strncmp(list.item(i).text, kCycleLabelStart, start) == 0)
      return true;
  return false;
}

void DrawLimitCycleMarks(DisplayList& list, const FREQSTAT& rec, const LimitCycleList& cycles,
                         const ChartGeometry& chart, const ChartPens& pens)
{
  const std::uint32_t colour = pens.pen[2];
  // Data units per pixel, near enough from the widget's size before the
  // chart has been laid out: cycles on one point (a nonlinearity without
  // memory meets the curve at one point as often as N passes -1/L there)
  // get their labels one under the other.
  const double perPixelX = (chart.xHi - chart.xLo) / std::max(chart.width - 80, 100);
  const double perPixelY = (chart.yHi - chart.yLo) / std::max(chart.height - 70, 100);
  const double row = 1.4 * kLabelSize * 4 / 3 * perPixelY;
  double xs[kMaxLimitCycles], ys[kMaxLimitCycles];
  for (int i = 0; i < cycles.count; ++i) {
    const LimitCycle& c = cycles.cycles[static_cast<std::size_t>(i)];
    if (!LimitCyclePoint(rec, c, xs[i], ys[i]))
      return;
    int below = 0;
    for (int j = 0; j < i; ++j)
      below += std::fabs(xs[j] - xs[i]) <= 4 * perPixelX && std::fabs(ys[j] - ys[i]) <= 4 * perPixelY;
    const bool stable = c.stability == CycleStability::Stable;
    const bool unstable = c.stability == CycleStability::Unstable;
    list.markAt(xs[i], ys[i], stable ? kMarkDot : unstable ? kMarkCircle : kMarkTriangle, colour);
    LabelText text;
    text << kCycleLabelStart;
    text.number(c.amplitude, kDefaultNumberFormat) << ", " << (rec.set.units[0] == 'H' ? "f" : "w") << " = ";
    text.number(ToDisplayFrequency(rec, c.omega), kDefaultNumberFormat) << ", ";
    text << (stable ? "stable" : unstable ? "unstable" : "not judged");
    list.textAt(xs[i], ys[i] - below * row, text.c_str(), kLabelSize, colour);
  }
}
