#include "gui/chart/TRChart.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// A zoom window smaller than this (pixels) is taken as a click, not a zoom.
constexpr double kMinZoomDrag = 4.0;
}  // namespace

TRChart::TRChart(QWidget* parent) : QWidget(parent)
{
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 90);
  painter_.layout(s_, QSizeF(size()), frame_);
}

void TRChart::SetIsometric(bool on)
{
  s_.isometric = on;
  // The ranges change now; the picture on screen (and its mapping) at the
  // next show.
  ChartFrame f;
  fit(s_, QSizeF(size()), f);
}

void TRChart::setRanges(AxisRange x, AxisRange y)
{
  s_.x = wantX_ = x;
  s_.y = wantY_ = y;
}

void TRChart::fit(ChartSettings& s, QSizeF size, ChartFrame& f) const
{
  s.x = wantX_;
  s.y = wantY_;
  if (s.isometric)
    painter_.fitIsometric(s, size, f);
  else
    painter_.layout(s, size, f);
}

void TRChart::SetMouseAction(MouseActMode mode)
{
  action_ = mode;
  dragging_ = false;
  updateCursor();
  update();
}

void TRChart::TextAt(double x, double y, const QString& text, int size)
{
  list_.textAt(x, y, text.left(static_cast<int>(kItemTextSize) - 1).toLatin1().constData(), size, colour_);
}

void TRChart::ZoomTo(double x1, double y1, double x2, double y2)
{
  setRanges(ZoomRange(x1, x2), ZoomRange(y1, y2));
}

void TRChart::renderAll()
{
  const QSizeF sz(size());
  fit(s_, sz, frame_);
  const qreal dpr = devicePixelRatioF();
  const QSize px(std::max(1, qRound(sz.width() * dpr)), std::max(1, qRound(sz.height() * dpr)));
  if (backing_.size() != px || backing_.devicePixelRatio() != dpr) {
    backing_ = QPixmap(px);
    backing_.setDevicePixelRatio(dpr);
  }
  QPainter p(&backing_);
  painter_.drawFrame(p, s_, frame_);
  painter_.drawItems(p, frame_, list_, {});
  drawn_ = list_.end();
}

void TRChart::ShowGraph()
{
  // Rendered at the next paint, once for however many changes came before
  // it (a wipe, a new computation, its marks); the frame is fitted now, so
  // that pixel positions read meanwhile are those of the picture to come.
  fit(s_, QSizeF(size()), frame_);
  backing_ = QPixmap();
  update();
}

void TRChart::ShowNewItems()
{
  const qreal dpr = devicePixelRatioF();
  if (backing_.isNull() || backing_.devicePixelRatio() != dpr ||
      backing_.size() != QSize(qRound(width() * dpr), qRound(height() * dpr))) {
    ShowGraph();
    return;
  }
  // Items taken back since the last show are still in the picture; what is
  // new starts at the end of what remains.
  const DisplayList::Drawn end = list_.end();
  if (drawn_.items > end.items || (drawn_.items == end.items && drawn_.points > end.points))
    drawn_ = end;
  QPainter p(&backing_);
  painter_.drawItems(p, frame_, list_, drawn_);
  drawn_ = end;
  update();
}

void TRChart::CrossHairSetup(int k, const QColor& colour, int width, int style, int mode)
{
  if (k < 1 || k > kCrossHairs)
    return;
  CrossHair& h = hairs_[k - 1];
  h.colour = colour;
  h.width = width;
  h.style = style;
  h.mode = mode;
  update();
}

void TRChart::CrossHairPosition(int k, double x, double y)
{
  if (k < 1 || k > kCrossHairs)
    return;
  hairs_[k - 1].x = x;
  hairs_[k - 1].y = y;
  repaint();
}

CrossHair TRChart::CrossHairAt(int k) const
{
  return k >= 1 && k <= kCrossHairs ? hairs_[k - 1] : CrossHair{};
}

QPointF TRChart::DataToPixel(double x, double y) const
{
  return {frame_.mx.toPixel(x), frame_.my.toPixel(y)};
}

QPointF TRChart::PixelToData(QPointF p) const
{
  return {frame_.mx.toData(p.x()), frame_.my.toData(p.y())};
}

void TRChart::Render(QPainter& p, QSizeF size) const
{
  ChartSettings s = s_;
  ChartFrame f;
  fit(s, size, f);
  painter_.drawAll(p, s, f, list_, hairs_, kCrossHairs);
}

void TRChart::paintEvent(QPaintEvent*)
{
  // First paint, or the window moved to a screen of another pixel density.
  if (backing_.isNull() || backing_.devicePixelRatio() != devicePixelRatioF())
    renderAll();
  QPainter p(this);
  p.drawPixmap(0, 0, backing_);
  painter_.drawCrossHairs(p, frame_, hairs_, kCrossHairs);
  if (dragging_ && action_ == maZoomWindPos) {
    p.setPen(QPen(Qt::black, 0, Qt::DashLine));
    p.setBrush(QColor(0, 120, 215, 40));
    p.drawRect(QRectF(dragStart_, dragNow_).normalized());
  }
}

void TRChart::resizeEvent(QResizeEvent*)
{
  renderAll();
}

void TRChart::updateCursor()
{
  switch (action_) {
    case maZoomWindPos:
      setCursor(Qt::CrossCursor);
      break;
    case maPan:
      setCursor(dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
      break;
    case maNone:
      unsetCursor();
      break;
  }
}

void TRChart::mousePressEvent(QMouseEvent* e)
{
  emit OnMouseDown();
  if (e->button() != Qt::LeftButton || action_ == maNone || !frame_.plot.contains(e->position()))
    return;
  dragging_ = true;
  dragStart_ = dragNow_ = e->position();
  dragX_ = frame_.mx.range();
  dragY_ = frame_.my.range();
  dragFrame_ = frame_;
  updateCursor();
}

void TRChart::mouseMoveEvent(QMouseEvent* e)
{
  const QPointF pos = e->position();
  if (dragging_) {
    const QRectF& a = frame_.plot;
    dragNow_ = QPointF(std::clamp(pos.x(), a.left(), a.right()), std::clamp(pos.y(), a.top(), a.bottom()));
    if (action_ == maPan) {
      // Shift by the drag, measured on the picture the drag began on.
      const double dx = pos.x() - dragStart_.x(), dy = pos.y() - dragStart_.y();
      const AxisMap& mx = dragFrame_.mx;
      const AxisMap& my = dragFrame_.my;
      setRanges({mx.toData(mx.toPixel(dragX_.lo) - dx), mx.toData(mx.toPixel(dragX_.hi) - dx)},
                {my.toData(my.toPixel(dragY_.lo) - dy), my.toData(my.toPixel(dragY_.hi) - dy)});
      ShowGraph();
    } else {
      update();
    }
  }
  const QPointF d = PixelToData(pos);
  emit OnMouseMoveInChart(frame_.plot.contains(pos), d.x(), d.y());
}

void TRChart::mouseReleaseEvent(QMouseEvent* e)
{
  emit OnMouseUp();
  if (!dragging_ || e->button() != Qt::LeftButton)
    return;
  dragging_ = false;
  updateCursor();
  if (action_ == maPan) {
    if (e->position() != dragStart_)
      emit OnZoomPan();
    return;
  }
  const QRectF r = QRectF(dragStart_, dragNow_).normalized();
  update();
  if (r.width() < kMinZoomDrag || r.height() < kMinZoomDrag)
    return;
  AxisRange x{frame_.mx.toData(r.left()), frame_.mx.toData(r.right())};
  AxisRange y{frame_.my.toData(r.bottom()), frame_.my.toData(r.top())};
  if (s_.isometric && !s_.logX && !s_.logY)
    FitAspect(x, y, frame_.plot.width(), frame_.plot.height());
  setRanges(x, y);
  ShowGraph();
  emit OnZoomPan();
}

void TRChart::leaveEvent(QEvent* e)
{
  // The pointer left the chart without a last move outside the plot (onto a
  // title bar, say): the read-out and the mark position are no longer valid.
  if (!dragging_) {
    const QPointF at = mapFromGlobal(QCursor::pos());
    emit OnMouseMoveInChart(false, frame_.mx.toData(at.x()), frame_.my.toData(at.y()));
  }
  QWidget::leaveEvent(e);
}
