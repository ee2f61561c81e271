#include "gui/chart/ChartCursor.h"

#include "gui/chart/TRChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kRingPixels = 5.0;
constexpr double kArmPixels = 10.0;
// Crosshair pen styles and modes (see TRChart::CrossHairSetup).
constexpr int kCursorStyle = 2;
constexpr int kReferenceStyle = 3;
constexpr int kHidden = 0;
constexpr int kShown = 2;
}  // namespace

void ChartCursor::attach(TRChart& chart, Style style)
{
  chart_ = &chart;
  style_ = style;
  reference_ = false;
  itemsDrawn_ = 0;
  if (style_ == Style::Crosshairs)
    chart_->CrossHairSetup(1, Qt::black, 1, kCursorStyle, kShown);
}

void ChartCursor::detach()
{
  if (!chart_)
    return;
  if (style_ == Style::Crosshairs) {
    chart_->CrossHairSetup(1, Qt::black, 1, kCursorStyle, kHidden);
    clearReference();
  } else {
    takeBack();
    chart_->ShowGraph();
  }
  reference_ = false;
}

void ChartCursor::moveTo(double x, double y, bool shown)
{
  if (!chart_)
    return;
  if (style_ == Style::Crosshairs) {
    chart_->CrossHairPosition(1, x, y);
    return;
  }
  takeBack();
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  if (reference_)
    drawCross(refX_, refY_, false);
  if (shown)
    drawCross(x, y, true);
  chart_->SetDataColor(previous);
  chart_->ShowGraph();
}

void ChartCursor::setReference(double x, double y)
{
  reference_ = true;
  refX_ = x;
  refY_ = y;
  if (chart_ && style_ == Style::Crosshairs) {
    chart_->CrossHairPosition(2, x, y);
    chart_->CrossHairSetup(2, Qt::black, 1, kReferenceStyle, kShown);
  }
}

void ChartCursor::clearReference()
{
  if (reference_ && chart_ && style_ == Style::Crosshairs)
    chart_->CrossHairSetup(2, Qt::black, 1, kReferenceStyle, kHidden);
  reference_ = false;
}

bool ChartCursor::newestAreMine() const
{
  const DisplayList& l = chart_->Items();
  const auto n = static_cast<std::size_t>(itemsDrawn_);
  if (l.size() < n)
    return false;
  for (std::size_t k = 0; k < n; ++k) {
    const ChartItem &a = l.item(l.size() - n + k), &b = mine_[k];
    if (a.kind != b.kind || a.colour != b.colour || a.x != b.x || a.y != b.y || a.x2 != b.x2 || a.y2 != b.y2)
      return false;
  }
  return true;
}

void ChartCursor::takeBack()
{
  if (itemsDrawn_ > 0 && !newestAreMine()) {
    // Redrawn since: the cursor's items went with the old picture.
    itemsDrawn_ = 0;
    return;
  }
  for (; itemsDrawn_ > 0; --itemsDrawn_)
    chart_->RemoveLastItem();
}

namespace {
// A point on an edge of the range is on the chart although the range and the
// point took their own roundings (a unit conversion, an autoscale's centre
// and half width): a few units in the last place of the range's magnitude.
bool WithinRange(double v, double lo, double hi)
{
  const double slack = 8 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(lo), std::fabs(hi));
  return v >= lo - slack && v <= hi + slack;
}
}  // namespace

bool ChartCursor::onChart(double x, double y) const
{
  return chart_ && WithinRange(x, chart_->RangeLoX(), chart_->RangeHiX()) &&
         WithinRange(y, chart_->RangeLoY(), chart_->RangeHiY());
}

void ChartCursor::drawCross(double x, double y, bool ring)
{
  // Sizes in data units from the picture on screen, so that they hold after
  // a zoom while the cursor is open.
  const QRectF area = chart_->PlotArea();
  const double ux = (chart_->RangeHiX() - chart_->RangeLoX()) / std::max(area.width(), 1.0);
  const double uy = (chart_->RangeHiY() - chart_->RangeLoY()) / std::max(area.height(), 1.0);
  const int drawn = ring ? 3 : 2;
  // A point where the response does not exist (a gap in the curve) has no
  // place on the chart.
  if (itemsDrawn_ + drawn > kMaxItems || !std::isfinite(x) || !std::isfinite(y))
    return;
  const DisplayList& l = chart_->Items();
  const std::size_t before = l.size();
  if (ring)
    chart_->EllipseItem(x, y, kRingPixels * ux, kRingPixels * uy);
  chart_->LineItem(x - kArmPixels * ux, y, x + kArmPixels * ux, y);
  chart_->LineItem(x, y - kArmPixels * uy, x, y + kArmPixels * uy);
  if (l.size() != before + static_cast<std::size_t>(drawn)) {
    // A full list took only part of the cross: none of it stays.
    while (l.size() > before)
      chart_->RemoveLastItem();
    return;
  }
  for (int k = drawn; k > 0; --k)
    mine_[itemsDrawn_++] = l.item(l.size() - static_cast<std::size_t>(k));
}
