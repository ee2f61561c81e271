#include "model/DiagramParts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kInk(0x1f, 0x2d, 0x3d);
}

TDiagramWire::TDiagramWire(const char* name, QRect geometry, Arrow arrow, QWidget* parent)
    : QWidget(parent), arrow_(arrow)
{
  setObjectName(QLatin1String(name));
  setGeometry(geometry);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TDiagramWire::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kInk, 1.5));
  const bool horizontal = width() >= height();
  const QPointF a = horizontal ? QPointF(0, height() / 2.0) : QPointF(width() / 2.0, 0);
  const QPointF b = horizontal ? QPointF(width(), height() / 2.0) : QPointF(width() / 2.0, height());
  p.drawLine(a, b);
  if (arrow_ == Arrow::None)
    return;
  const QPointF tip = arrow_ == Arrow::AtEnd ? b : a;
  const double dir = arrow_ == Arrow::AtEnd ? -1.0 : 1.0;  // back along the wire
  QPainterPath head;
  head.moveTo(tip);
  if (horizontal) {
    head.lineTo(tip + QPointF(dir * 7, -3.5));
    head.lineTo(tip + QPointF(dir * 7, 3.5));
  } else {
    head.lineTo(tip + QPointF(-3.5, dir * 7));
    head.lineTo(tip + QPointF(3.5, dir * 7));
  }
  head.closeSubpath();
  p.fillPath(head, kInk);
}

TDiagramSummer::TDiagramSummer(const char* name, QPoint centre, QWidget* parent) : QWidget(parent)
{
  setObjectName(QLatin1String(name));
  setGeometry(centre.x() - kSize / 2, centre.y() - kSize / 2, kSize, kSize);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TDiagramSummer::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(Qt::white);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  p.drawEllipse(r);
  const QPointF c = r.center();
  const double d = r.width() / 2 * 0.7071;
  p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
  p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
}

TDiagramPanel::TDiagramPanel(const char* name, QRect geometry, QWidget* parent) : QWidget(parent)
{
  setObjectName(QLatin1String(name));
  setGeometry(geometry);
  setCursor(Qt::PointingHandCursor);
}

void TDiagramPanel::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(QColor(0xfb, 0xfc, 0xfe));
  p.drawRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
}

void TDiagramPanel::mouseReleaseEvent(QMouseEvent* event)
{
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}
