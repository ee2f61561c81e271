#include "engine/root/RootDraw.h"

#include "engine/chart/DisplayList.h"
#include "engine/chart/LabelText.h"
#include "engine/model/SysData.h"
#include "engine/root/RootEngine.h"

namespace {

constexpr int kLabelSize = 8;

LabelText Label(double v, const ChartPens& pens)
{
  LabelText text;
  text << "  ";
  text.number(v, pens.numberFormat);
  return text;
}

// The contour in the store as one polyline.
void DrawContour(DisplayList& list, const ROOTSTAT& rec, std::uint32_t colour)
{
  const LocusResult& r = rec.result;
  if (r.content != StoreContent::Contour)
    return;
  for (int i = 0; i < r.count; ++i) {
    const LocusPoint& p = r.points[static_cast<std::size_t>(i)];
    if (i == 0)
      list.moveTo(p.x, p.y, colour);
    else
      list.drawTo(p.x, p.y, colour);
  }
}

void DrawLabels(DisplayList& list, const LabelPoints& at, double value, const ChartPens& pens)
{
  if (!pens.markLabels)
    return;
  for (int i = 0; i < at.count; ++i)
    list.textAt(at.x[i], at.y[i], Label(value, pens).c_str(), kLabelSize, pens.pen[3]);
}

}  // namespace

const ChartSetup& PlaneChartSetup(bool zPlane)
{
  return zPlane ? kZplaneChart : kSplaneChart;
}

void DrawLocus(DisplayList& list, const ROOTSTAT& rec, const ChartPens& pens)
{
  const LocusResult& r = rec.result;
  if (r.content != StoreContent::Locus)
    return;
  const std::uint32_t colour = pens.pen[1];
  int previous = kTagZeroEnd;
  for (int i = 0; i < r.count; ++i) {
    const LocusPoint& p = r.points[static_cast<std::size_t>(i)];
    const int tag = static_cast<int>(p.tag);
    const bool newBranch =
        previous == kTagZeroEnd || tag == kTagPoleStart || (tag > 0 && previous > 0 && tag != previous);
    if (newBranch)
      list.moveTo(p.x, p.y, colour);
    else
      list.drawTo(p.x, p.y, colour);
    previous = tag;
  }
}

bool RootGo(const Loop& roots, ROOTSTAT& rec, const ChartGeometry& chart, const ChartPens& pens, DisplayList& list)
{
  SetWindow(rec, chart.xLo, chart.xHi, chart.yLo, chart.yHi);
  if (!TraceLocus(roots, rec))
    return false;
  DrawLocus(list, rec, pens);
  return true;
}

void DrawPoleZeroMarks(DisplayList& list, const RootSet& poles, const RootSet& zeros, const ChartPens& pens)
{
  for (int i = 0; i < poles.n; ++i)
    list.markAt(poles.r[i].re, poles.r[i].im, kMarkCross, pens.pen[0]);
  for (int i = 0; i < zeros.n; ++i)
    list.markAt(zeros.r[i].re, zeros.r[i].im, kMarkCircle, pens.pen[0]);
}

bool IsPoleZeroMark(const ChartItem& it)
{
  if (it.kind == ItemKind::Mark)
    return it.code == kMarkCross || it.code == kMarkCircle;
  return it.kind == ItemKind::Ellipse && it.x == 0 && it.y == 0 && it.x2 == 1 && it.y2 == 1;
}

void DrawDampingContour(DisplayList& list, const ROOTSTAT& rec, double zeta, const ChartPens& pens)
{
  DrawContour(list, rec, pens.pen[3]);
  DrawLabels(list, DampingLabelPoints(rec, zeta), zeta, pens);
}

void DrawSettlingContour(DisplayList& list, const ROOTSTAT& rec, const ChartPens& pens)
{
  DrawContour(list, rec, pens.pen[3]);
  DrawLabels(list, SettlingLabelPoint(rec), rec.settlingTime, pens);
}

void MarkClosedLoopPoles(DisplayList& list, const RootSet& poles, double gain, const ChartPens& pens)
{
  for (int i = 0; i < poles.n; ++i) {
    list.markAt(poles.r[i].re, poles.r[i].im, kMarkTriangle, pens.pen[1]);
    if (pens.markLabels)
      list.textAt(poles.r[i].re, poles.r[i].im, Label(gain, pens).c_str(), kLabelSize, pens.pen[1]);
  }
}
