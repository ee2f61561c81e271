#include "gui/diagram/DiagramParts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace {
const QColor kInk(0x1f, 0x2d, 0x3d);
// The thickness of a wire's rectangle at which the line is 1.5 pixels wide
// and its arrowhead 7 long.
constexpr double kWireThickness = 8.0;
}  // namespace

TDiagramWire::TDiagramWire(const char* name, Arrow arrow, QWidget* parent) : QWidget(parent), arrow_(arrow)
{
  setObjectName(QLatin1String(name));
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TDiagramWire::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool horizontal = width() >= height();
  const double k = std::max(1.0, (horizontal ? height() : width()) / kWireThickness);
  p.setPen(QPen(kInk, 1.5 * k));
  const QPointF a = horizontal ? QPointF(0, height() / 2.0) : QPointF(width() / 2.0, 0);
  const QPointF b = horizontal ? QPointF(width(), height() / 2.0) : QPointF(width() / 2.0, height());
  p.drawLine(a, b);
  if (arrow_ == Arrow::None)
    return;
  const QPointF tip = arrow_ == Arrow::AtEnd ? b : a;
  const double back = (arrow_ == Arrow::AtEnd ? -7.0 : 7.0) * k;  // back along the wire
  const double half = 3.5 * k;
  QPainterPath head;
  head.moveTo(tip);
  if (horizontal) {
    head.lineTo(tip + QPointF(back, -half));
    head.lineTo(tip + QPointF(back, half));
  } else {
    head.lineTo(tip + QPointF(-half, back));
    head.lineTo(tip + QPointF(half, back));
  }
  head.closeSubpath();
  p.fillPath(head, kInk);
}

TDiagramSummer::TDiagramSummer(const char* name, QWidget* parent) : QWidget(parent)
{
  setObjectName(QLatin1String(name));
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TDiagramSummer::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kInk, std::max(1.5, width() / 12.0)));
  p.setBrush(Qt::white);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  p.drawEllipse(r);
  const QPointF c = r.center();
  const double d = r.width() / 2 * 0.7071;
  p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
  p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
}

TDiagramPanel::TDiagramPanel(const char* name, QWidget* parent) : QWidget(parent)
{
  setObjectName(QLatin1String(name));
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

TDiagramText::TDiagramText(const char* name, QWidget* parent) : QLabel(parent)
{
  setObjectName(QLatin1String(name));
  setAlignment(Qt::AlignCenter);
}

void TDiagramText::setText(const QString& text)
{
  QLabel::setText(text);
  fit();
}

void TDiagramText::place(const QRect& geometry)
{
  setGeometry(geometry);
  fit();
}

void TDiagramText::resizeEvent(QResizeEvent* event)
{
  QLabel::resizeEvent(event);
  fit();
}

void TDiagramText::changeEvent(QEvent* event)
{
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange)
    fit();
}

void TDiagramText::fit()
{
  const QString whole = text();
  const QFontMetrics fm(font());
  const int maxLines = std::max(1, height() / fm.height());
  // Break at spaces where there are any, else anywhere: expressions and
  // transfer functions are mostly one long word.
  QTextLayout layout(whole, font());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  lines_.clear();
  bool cut = false;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width());
    if (lines_.size() == maxLines - 1) {
      // The last line that fits takes the rest, cut at its end.
      const QString rest = whole.mid(line.textStart());
      const QString shown = fm.elidedText(rest, Qt::ElideRight, width());
      cut = shown != rest;
      lines_ << shown;
      break;
    }
    lines_ << whole.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  setToolTip(cut ? whole : QString());
  update();
}

void TDiagramText::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  const int lineH = fontMetrics().height();
  int y = (height() - lineH * static_cast<int>(lines_.size())) / 2;
  for (const QString& line : std::as_const(lines_)) {
    p.drawText(QRect(0, y, width(), lineH), Qt::AlignHCenter | Qt::AlignVCenter, line);
    y += lineH;
  }
}
