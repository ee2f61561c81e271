#include "gui/dialogs/CursorDialog.h"

#include "engine/chart/DisplayList.h"
#include "engine/model/Model.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/ModelessDialog.h"
#include "gui/chart/TRChart.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TCursorDialog::TCursorDialog(QWidget* parent, const char* name, const QString& stem) : QDialog(parent), stem_(stem)
{
  setObjectName(QLatin1String(name));
  setModeCaption(false);
}

void TCursorDialog::openModeless()
{
  OpenFollowing(*this, open_, [this] { cursor_.detach(); });
}

void TCursorDialog::EqBtnClick()
{
  RunEvaluatorModally(this);
}

void TCursorDialog::AbsoluteBtnClick()
{
  if (!cursor_.hasReference())
    return;
  forgetReference();
  enterAbsolute();
  showReading();
}

void TCursorDialog::attachCursor(TRChart& chart, ChartCursor::Style style)
{
  cursor_.attach(chart, style);
  forgetReference();
  enterAbsolute();
}

void TCursorDialog::enterRelative(double x, double y)
{
  cursor_.setReference(x, y);
  setModeCaption(true);
  if (absoluteBtn_)
    absoluteBtn_->setEnabled(true);
}

void TCursorDialog::enterAbsolute()
{
  cursor_.clearReference();
  setModeCaption(false);
  if (absoluteBtn_)
    absoluteBtn_->setEnabled(false);
}

void TCursorDialog::markOnChart(std::initializer_list<ChartMark> marks)
{
  TRChart* chart = cursor_.chart();
  if (!chart)
    return;
  constexpr int kLabelSize = 8;
  cursor_.takeBack();
  const QColor previous = chart->DataColor();
  for (const ChartMark& m : marks) {
    // Where the response does not exist (a gap in the curve) a mark would
    // stand nowhere.
    if (!std::isfinite(m.x) || !std::isfinite(m.y))
      continue;
    chart->SetDataColorRgb(m.colour);
    chart->MarkAt(m.x, m.y, kMarkTick);
    if (!m.label.isEmpty() && Sys().showMarkLabels)
      chart->TextAt(m.x, m.y, m.label, kLabelSize);
  }
  chart->SetDataColor(previous);
}

void TCursorDialog::setModeCaption(bool relative)
{
  setWindowTitle(relative ? tr("%1 - relative mode").arg(stem_) : tr("%1 - absolute mode").arg(stem_));
}

QScrollBar* TCursorDialog::newScrollBar(const char* name, int digits)
{
  auto* bar = new QScrollBar(Qt::Horizontal, this);
  bar->setObjectName(QLatin1String(name));
  if (digits > 0)
    bar->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits);
  return bar;
}

void TCursorDialog::restartScrollBar(QScrollBar* bar, int count)
{
  const QSignalBlocker quiet(bar);
  bar->setRange(0, count - 1);
  bar->setPageStep(std::max(1, count / 20));
  bar->setValue(0);
}

QLineEdit* TCursorDialog::newReadout(const char* name, const QString& widest)
{
  auto* e = new QLineEdit(this);
  e->setObjectName(QLatin1String(name));
  e->setReadOnly(true);
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance(widest));
  return e;
}

QLineEdit* TCursorDialog::newReadout(const char* name)
{
  return newReadout(name, QStringLiteral("-0.123456789e-100"));
}

QLabel* TCursorDialog::newOffGraphLabel(bool prominent)
{
  offGraph_ = new QLabel(this);
  offGraph_->setObjectName(QStringLiteral("OffScreenMsg"));
  if (prominent) {
    QPalette red = offGraph_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    offGraph_->setPalette(red);
    // Room for the message, so the dialog does not jump when it appears.
    offGraph_->setMinimumHeight(offGraph_->fontMetrics().height());
  }
  return offGraph_;
}

void TCursorDialog::showOffGraph(bool off)
{
  offGraph_->setText(off ? tr("Cursor off graph") : QString());
}

QWidget* TCursorDialog::newEvaluatorButton()
{
  auto* b = new QToolButton(this);
  b->setObjectName(QStringLiteral("EqBitBtn"));
  b->setIcon(QIcon(QStringLiteral(":/icons/eq.svg")));
  b->setToolTip(tr("Expression evaluator"));
  connect(b, &QToolButton::clicked, this, &TCursorDialog::EqBtnClick);
  return b;
}

QPushButton* TCursorDialog::addButton(QBoxLayout* row, const char* name, const QString& caption)
{
  auto* b = new QPushButton(caption, this);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  row->addWidget(b);
  return b;
}

QPushButton* TCursorDialog::addAbsoluteButton(QBoxLayout* row, const char* name, bool followsMode)
{
  QPushButton* b = addButton(row, name, tr("&Absolute"), &TCursorDialog::AbsoluteBtnClick);
  if (followsMode) {
    absoluteBtn_ = b;
    b->setEnabled(false);
  }
  return b;
}

QPushButton* TCursorDialog::addCloseButton(QBoxLayout* row, const QString& caption, void (QDialog::*closes)())
{
  auto* b = new QPushButton(caption, this);
  b->setObjectName(QStringLiteral("CloseBtn"));
  connect(b, &QPushButton::clicked, this, closes);
  row->addWidget(b);
  return b;
}

void TCursorDialog::stack(QScrollBar* bar, QLayout* values, QLabel* offGraph, QLayout* buttons)
{
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar);
  layout->addLayout(values);
  if (offGraph)
    layout->addWidget(offGraph);
  layout->addLayout(buttons);
}

void TCursorDialog::centreOnScreen()
{
  if (const QScreen* s = screen())
    move(s->availableGeometry().center() - rect().center());
}
