#include "gui/frame/SplashScreen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
  setObjectName(QStringLiteral("SplashScreen"));
  setFixedSize(420, 220);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  timer_.setSingleShot(true);
  timer_.setInterval(3000);
  connect(&timer_, &QTimer::timeout, this, &QWidget::hide);
  timer_.start();
}

void TSplashScreen::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = rect();
  QLinearGradient bg(r.topLeft(), r.bottomRight());
  bg.setColorAt(0, QColor(0x1c, 0x3d, 0x6e));
  bg.setColorAt(1, QColor(0x0b, 0x1a, 0x33));
  p.fillRect(r, bg);
  QSvgRenderer(QStringLiteral(":/icons/vanto.svg")).render(&p, QRectF(24, 40, 96, 96));

  p.setPen(Qt::white);
  QFont title = font();
  title.setPointSizeF(26);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRectF(140, 40, 270, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VANTO"));
  QFont sub = font();
  sub.setPointSizeF(11);
  p.setFont(sub);
  p.drawText(QRectF(140, 92, 270, 44), Qt::AlignLeft | Qt::TextWordWrap,
             tr("Design and simulation of single-loop control systems"));
  p.setPen(QColor(0xb0, 0xc4, 0xde));
  p.drawText(QRectF(24, 180, 372, 24), Qt::AlignLeft | Qt::AlignVCenter, tr("Version 1.1.0.0"));
}
