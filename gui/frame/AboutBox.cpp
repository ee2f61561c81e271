#include "gui/frame/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(tr("About"));

  // The icon drawn at the screen's pixel ratio, so it stays sharp on high-DPI screens.
  const qreal dpr = devicePixelRatioF();
  QPixmap picture(QSize(64, 64) * dpr);
  picture.setDevicePixelRatio(dpr);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  QSvgRenderer(QStringLiteral(":/icons/vanto.svg")).render(&painter, QRectF(0, 0, 64, 64));
  painter.end();
  auto* icon = new QLabel(this);
  icon->setPixmap(picture);

  auto* product = new QLabel(tr("VANTO for Windows"), this);
  product->setObjectName(QStringLiteral("ProductName"));
  QFont big = product->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  product->setFont(big);
  auto* version = new QLabel(tr("Version 1.1.0.0"), this);
  version->setObjectName(QStringLiteral("Version"));
  auto* comments = new QLabel(tr("Design and simulation of single-loop control systems"), this);
  comments->setObjectName(QStringLiteral("Comments"));

  auto* text = new QVBoxLayout;
  text->addWidget(product);
  text->addWidget(version);
  text->addWidget(comments);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
}
