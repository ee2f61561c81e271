#include "model/Model.h"
#include "model/NumberFormat.h"
#include "model/SysData.h"
#include "model/Toolkit.h"

#include "freq/FreqDraw.h"
#include "freq/LimitCycles.h"
#include "freq/Margins.h"

#include "plot/TRChart.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLabelSize = 8;            // points
constexpr QRgb kMinus180Colour = 0xC0C0C0;  // silver

bool IsBode(FreqView v) { return v == FreqView::BodeGain || v == FreqView::BodePhase; }

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
double OnBranch(double phaseDeg, double ref) { return phaseDeg + 360.0 * std::round((ref - phaseDeg) / 360.0); }

QString MarginLabel(const char* what, double value, const char* unit)
{
  return QStringLiteral("  %1 %2 %3")
      .arg(QLatin1String(what), QString::fromStdString(FormatLabelNumber(value)), QLatin1String(unit));
}

}  // namespace

const ChartSetup& FreqChartSetup(FreqView view)
{
  static const ChartSetup* const kSetups[kFreqViews] = {&kNyqChart, &kINyqChart, &kNichChart, &kBGainChart,
                                                        &kBPhaseChart};
  return *kSetups[static_cast<int>(view)];
}

void AddMinus180Line(TRChart& chart, FreqView view)
{
  if (view == FreqView::Nichols) {
    chart.CrossHairSetup(3, QColor::fromRgb(kMinus180Colour), 1, 0, 2);
    chart.CrossHairPosition(3, -180, 0);
  } else if (view == FreqView::BodePhase) {
    chart.CrossHairSetup(3, QColor::fromRgb(kMinus180Colour), 1, 0, 1);
    chart.CrossHairPosition(3, 0, -180);
  }
}

void DrawResponse(TRChart& chart, const FREQSTAT& rec)
{
  chart.SetDataColorRgb(Sys().pen[rec.loop.closedLoop ? 1 : 0]);
  const bool bode = IsBode(rec.set.view);
  const FreqResult& r = rec.result;
  for (int i = 0; i < r.count; ++i) {
    const FreqPoint& p = r.points[i];
    const double x = bode ? ToDisplayFrequency(rec, p.tag) : p.x;
    if (i == 0)
      chart.MoveTo(x, p.y);
    else
      chart.DrawTo(x, p.y);
  }
}

void DrawMContour(TRChart& chart, const FREQSTAT& rec, double mDb, bool label)
{
  chart.SetDataColorRgb(Sys().pen[3]);
  const FreqResult& r = rec.result;
  for (int i = 0; i < r.count && r.points[i].tag != 0.0f; ++i) {
    if (i == 0)
      chart.MoveTo(r.points[i].x, r.points[i].y);
    else
      chart.DrawTo(r.points[i].x, r.points[i].y);
  }
  if (label && r.count > 0) {
    const FreqPoint& p = r.points[r.count / 3];
    chart.TextAt(p.x, p.y, QStringLiteral("  ") + QString::fromStdString(FormatModelNumber(mDb)), kLabelSize);
  }
}

bool DrawMContours(TRChart& chart, FREQSTAT& rec, double start, double end, double step, bool labels)
{
  // M = start + k step, so that rounding neither adds nor drops a contour.
  for (int k = 0;; ++k) {
    const double m = start + k * step;
    if (m > end + 1e-9 * step || k > 100000)
      return true;
    if (!ComputeMContour(rec, m))
      return false;
    DrawMContour(chart, rec, m, labels);
  }
}

void DrawMarginMarks(TRChart& chart, const FREQSTAT& rec, const StabilityMargins& margins)
{
  const FreqView view = rec.set.view;
  if (view == FreqView::DirectNyquist || view == FreqView::InverseNyquist)
    return;
  chart.SetDataColorRgb(Sys().pen[2]);
  for (int i = 0; i < margins.gainCount; ++i) {
    const GainCrossover& c = margins.gain[i];
    const double phase = OnBranch(c.phaseMarginDeg - 180.0, CurvePhaseDeg(rec, c.omega, c.phaseMarginDeg - 180.0));
    const double limit = phase - c.phaseMarginDeg;  // the -180 deg line of that branch
    const double f = ToDisplayFrequency(rec, c.omega);
    const QString text = MarginLabel("PM", c.phaseMarginDeg, "deg");
    if (view == FreqView::BodeGain) {
      chart.MarkAt(f, 0, kMarkCircle);
    } else if (view == FreqView::BodePhase) {
      chart.LineItem(f, limit, f, phase);
      chart.MarkAt(f, phase, kMarkCircle);
      chart.TextAt(f, phase, text, kLabelSize);
    } else {
      chart.LineItem(limit, 0, phase, 0);
      chart.MarkAt(phase, 0, kMarkCircle);
      chart.TextAt(phase, 0, text, kLabelSize);
    }
  }
  for (int i = 0; i < margins.phaseCount; ++i) {
    const PhaseCrossover& c = margins.phase[i];
    const double limit = OnBranch(-180.0, CurvePhaseDeg(rec, c.omega, -180.0));
    const double f = ToDisplayFrequency(rec, c.omega);
    const QString text = MarginLabel("GM", c.gainMarginDb, "dB");
    if (view == FreqView::BodeGain) {
      if (f <= 0)
        continue;  // omega = 0 is off a logarithmic axis
      chart.LineItem(f, 0, f, -c.gainMarginDb);
      chart.MarkAt(f, -c.gainMarginDb, kMarkCircle);
      chart.TextAt(f, -c.gainMarginDb, text, kLabelSize);
    } else if (view == FreqView::BodePhase) {
      if (f > 0)
        chart.MarkAt(f, limit, kMarkCircle);
    } else {
      chart.LineItem(limit, 0, limit, -c.gainMarginDb);
      chart.MarkAt(limit, -c.gainMarginDb, kMarkCircle);
      chart.TextAt(limit, -c.gainMarginDb, text, kLabelSize);
    }
  }
}

void DrawDescribingFunction(TRChart& chart, const FREQSTAT& rec)
{
  chart.SetDataColorRgb(Sys().pen[2]);
  const FreqResult& r = rec.result;
  for (int i = 0; i < r.count; ++i) {
    const FreqPoint& p = r.points[i];
    if (i == 0)
      chart.MoveTo(p.x, p.y);
    else
      chart.DrawTo(p.x, p.y);
  }
  // A tick at each amplitude: the locus of a nonlinearity without memory
  // runs along -180 deg, under that line of the Nichols chart, and stays on
  // one point when N does not change.
  for (int i = 0; i < r.count; ++i)
    chart.MarkAt(r.points[i].x, r.points[i].y, kMarkCross);
}

void DrawLimitCycleMarks(TRChart& chart, const FREQSTAT& rec, const LimitCycleList& cycles)
{
  chart.SetDataColorRgb(Sys().pen[2]);
  // Data units per pixel, near enough from the widget's size before the
  // chart has been laid out: cycles on one point (a nonlinearity without
  // memory meets the curve at one point as often as N passes -1/L there)
  // get their labels one under the other.
  const double perPixelX = (chart.RangeHiX() - chart.RangeLoX()) / std::max(chart.width() - 80, 100);
  const double perPixelY = (chart.RangeHiY() - chart.RangeLoY()) / std::max(chart.height() - 70, 100);
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
    chart.MarkAt(xs[i], ys[i], stable ? kMarkDot : unstable ? kMarkCircle : kMarkTriangle);
    chart.TextAt(xs[i], ys[i] - below * row,
                 QStringLiteral("  A = %1, %2 = %3, %4")
                     .arg(QString::fromStdString(FormatLabelNumber(c.amplitude)),
                          rec.set.units[0] == 'H' ? QStringLiteral("f") : QStringLiteral("w"),
                          QString::fromStdString(FormatLabelNumber(ToDisplayFrequency(rec, c.omega))),
                          stable ? QStringLiteral("stable") : unstable ? QStringLiteral("unstable")
                                                                      : QStringLiteral("not judged")),
                 kLabelSize);
  }
}
