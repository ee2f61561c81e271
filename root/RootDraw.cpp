#include "model/Model.h"
#include "model/NumberFormat.h"
#include "model/SysData.h"
#include "root/RootEngine.h"

#include "root/RootDraw.h"

#include "plot/TRChart.h"

namespace {

constexpr int kLabelSize = 8;

QString Label(double v) { return QString::fromStdString("  " + FormatModelNumber(v)); }

// The contour in the store as one polyline.
void DrawContour(TRChart& chart, const ROOTSTAT& rec)
{
  const LocusResult& r = rec.result;
  if (r.content != StoreContent::Contour)
    return;
  chart.SetDataColorRgb(Sys().pen[3]);
  for (int i = 0; i < r.count; ++i) {
    const LocusPoint& p = r.points[static_cast<std::size_t>(i)];
    if (i == 0)
      chart.MoveTo(p.x, p.y);
    else
      chart.DrawTo(p.x, p.y);
  }
}

void DrawLabels(TRChart& chart, const LabelPoints& at, double value)
{
  if (!Sys().showMarkLabels)
    return;
  for (int i = 0; i < at.count; ++i)
    chart.TextAt(at.x[i], at.y[i], Label(value), kLabelSize);
}

}  // namespace

const ChartSetup& PlaneChartSetup(bool zPlane) { return zPlane ? kZplaneChart : kSplaneChart; }

void DrawLocus(TRChart& chart, const ROOTSTAT& rec)
{
  const LocusResult& r = rec.result;
  if (r.content != StoreContent::Locus)
    return;
  chart.SetDataColorRgb(Sys().pen[1]);
  int previous = kTagZeroEnd;
  for (int i = 0; i < r.count; ++i) {
    const LocusPoint& p = r.points[static_cast<std::size_t>(i)];
    const int tag = static_cast<int>(p.tag);
    const bool newBranch = previous == kTagZeroEnd || tag == kTagPoleStart ||
                           (tag > 0 && previous > 0 && tag != previous);
    if (newBranch)
      chart.MoveTo(p.x, p.y);
    else
      chart.DrawTo(p.x, p.y);
    previous = tag;
  }
}

void DrawPoleZeroMarks(TRChart& chart)
{
  const SYSDATA& s = Sys();
  chart.SetDataColorRgb(s.pen[0]);
  for (int i = 0; i < s.denRoots.n; ++i)
    chart.MarkAt(s.denRoots.r[i].re, s.denRoots.r[i].im, kMarkCross);
  for (int i = 0; i < s.numRoots.n; ++i)
    chart.MarkAt(s.numRoots.r[i].re, s.numRoots.r[i].im, kMarkCircle);
}

void RemovePoleZeroMarks(TRChart& chart)
{
  chart.RemoveItemsIf([](const ChartItem& it) {
    if (it.kind == ItemKind::Mark)
      return it.code == kMarkCross || it.code == kMarkCircle;
    return it.kind == ItemKind::Ellipse && it.x == 0 && it.y == 0 && it.x2 == 1 && it.y2 == 1;
  });
}

void DrawDampingContour(TRChart& chart, const ROOTSTAT& rec, double zeta)
{
  DrawContour(chart, rec);
  DrawLabels(chart, DampingLabelPoints(rec, zeta), zeta);
}

void DrawSettlingContour(TRChart& chart, const ROOTSTAT& rec)
{
  DrawContour(chart, rec);
  DrawLabels(chart, SettlingLabelPoint(rec), rec.settlingTime);
}

void MarkClosedLoopPoles(TRChart& chart)
{
  const SYSDATA& s = Sys();
  chart.SetDataColorRgb(s.pen[1]);
  for (int i = 0; i < s.denRoots.n; ++i) {
    chart.MarkAt(s.denRoots.r[i].re, s.denRoots.r[i].im, kMarkTriangle);
    if (s.showMarkLabels)
      chart.TextAt(s.denRoots.r[i].re, s.denRoots.r[i].im, Label(s.gain), kLabelSize);
  }
}
