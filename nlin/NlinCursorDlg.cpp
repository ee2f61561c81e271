#include "nlin/NlinCursorDlg.h"

#include "app/FrameAccess.h"
#include "app/Messages.h"
#include "model/Error.h"
#include "model/Model.h"
#include "model/NumberEntry.h"
#include "model/SysData.h"
#include "plot/Readout.h"
#include "plot/TRChart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kStartPosition = 50;
constexpr double kRingPixels = 5.0;
constexpr double kArmPixels = 10.0;
}  // namespace

TNlinCursorDlg::TNlinCursorDlg(TRChart& chart, const NLINSTAT& rec, QWidget* parent)
    : QDialog(parent), chart_(chart), rec_(rec)
{
  setObjectName(QStringLiteral("NlinCursorDlg"));
  setWindowTitle(tr("Nonlinear cursor - absolute mode"));

  ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
  ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
  ScrollBar1->setRange(0, std::max(rec.points, 1));
  ScrollBar1->setPageStep(std::max(rec.points / 10, 1));
  ScrollBar1->setValue(kStartPosition);
  ScrollBar1->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TNlinCursorDlg::ScrollBar1Change);

  const auto value = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.123456789e-100")));
    return e;
  };
  XValue = value("XValue");
  YValue = value("YValue");
  OffScreenMsg = new QLabel(this);
  OffScreenMsg->setObjectName(QStringLiteral("OffScreenMsg"));

  auto* eqBitBtn = new QToolButton(this);
  eqBitBtn->setObjectName(QStringLiteral("EqBitBtn"));
  eqBitBtn->setIcon(QIcon(QStringLiteral(":/icons/eq.svg")));
  eqBitBtn->setToolTip(tr("Expression evaluator"));
  connect(eqBitBtn, &QToolButton::clicked, this, &TNlinCursorDlg::EqBtnClick);

  auto* values = new QGridLayout;
  values->addWidget(new QLabel(tr("Input"), this), 0, 0);
  values->addWidget(XValue, 0, 1);
  values->addWidget(new QLabel(tr("Output"), this), 1, 0);
  values->addWidget(YValue, 1, 1);
  values->addWidget(eqBitBtn, 0, 2, 2, 1, Qt::AlignCenter);
  values->addWidget(OffScreenMsg, 2, 1);

  const auto button = [this](const char* name, const QString& caption, void (TNlinCursorDlg::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(close);
  row->addWidget(button("EqBtn2", tr("&="), &TNlinCursorDlg::EqBtnClick));
  AbsoluteBtn = button("AbsoluteBtn", tr("&Absolute"), &TNlinCursorDlg::AbsoluteBtnClick);
  AbsoluteBtn->setEnabled(false);
  row->addWidget(AbsoluteBtn);
  row->addWidget(button("RelativeBtn", tr("&Relative"), &TNlinCursorDlg::RelativeBtnClick));
  row->addWidget(button("MarkBtn", tr("&Mark"), &TNlinCursorDlg::MarkBtnClick));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ScrollBar1);
  layout->addLayout(values);
  layout->addLayout(row);
}

void TNlinCursorDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (walking_ || event->spontaneous())
    return;
  walking_ = true;
  if (const QScreen* s = screen())
    move(s->availableGeometry().center() - rect().center());
  // Each opening restarts hyst's memory at the left end of the axis; a
  // start that cannot be evaluated is reported when the cursor gets there.
  cursor_ = BeginCursor(rec_, chart_.RangeLoX(), chart_.RangeHiX());
  setRelative(false);
  ScrollBar1->setFocus();
  ScrollBar1Change();
}

void TNlinCursorDlg::hideEvent(QHideEvent* event)
{
  QDialog::hideEvent(event);
  if (!walking_ || event->spontaneous())
    return;
  walking_ = false;
  eraseMarkers();
  chart_.ShowGraph();
}

void TNlinCursorDlg::ScrollBar1Change()
{
  if (!walking_)
    return;
  ClearError();
  const CursorReading p = CursorPoint(cursor_, rec_.result, ScrollBar1->value());
  x_ = p.x;
  y_ = p.y;
  valid_ = !ErrorPending();
  showReading();
  // A nonlinearity that cannot be evaluated here (the axis may reach beyond
  // the swept range) has no point to show.
  if (!valid_)
    ReportError(this);
}

void TNlinCursorDlg::showReading()
{
  eraseMarkers();
  drawMarkers();
  chart_.ShowGraph();
  ShowNumberInEdit(XValue, x_ - refX_);
  if (valid_)
    ShowNumberInEdit(YValue, y_ - refY_);
  else
    YValue->clear();
  const bool off = x_ < chart_.RangeLoX() || x_ > chart_.RangeHiX() || y_ < chart_.RangeLoY() ||
                   y_ > chart_.RangeHiY();
  OffScreenMsg->setText(valid_ && off ? tr("Cursor off graph") : QString());
}

void TNlinCursorDlg::setRelative(bool on)
{
  relative_ = on;
  if (!on)
    refX_ = refY_ = 0.0;
  setWindowTitle(on ? tr("Nonlinear cursor - relative mode") : tr("Nonlinear cursor - absolute mode"));
  AbsoluteBtn->setEnabled(on);
}

void TNlinCursorDlg::RelativeBtnClick()
{
  if (!valid_)
    return;
  refX_ = x_;
  refY_ = y_;
  setRelative(true);
  showReading();
}

void TNlinCursorDlg::AbsoluteBtnClick()
{
  if (!relative_)
    return;
  setRelative(false);
  showReading();
}

void TNlinCursorDlg::MarkBtnClick()
{
  if (!valid_)
    return;
  eraseMarkers();
  const QColor previous = chart_.DataColor();
  chart_.SetDataColorRgb(Sys().pen[0]);
  chart_.MarkAt(x_, y_, kMarkTick);
  if (Sys().showMarkLabels) {
    const ReadoutArg args[2] = {{x_, nullptr}, {y_, nullptr}};
    char label[64];
    FormatReadout("  %s,%s", Sys().numberFormat, args, 2, label, sizeof label);
    chart_.TextAt(x_, y_, QLatin1String(label), 8);
  }
  chart_.SetDataColor(previous);
  drawMarkers();
  chart_.ShowGraph();
}

void TNlinCursorDlg::EqBtnClick()
{
  RunEvaluatorModally(this);
}

void TNlinCursorDlg::drawCross(double x, double y, bool ring)
{
  const QRectF area = chart_.PlotArea();
  const double ux = (chart_.RangeHiX() - chart_.RangeLoX()) / std::max(area.width(), 1.0);
  const double uy = (chart_.RangeHiY() - chart_.RangeLoY()) / std::max(area.height(), 1.0);
  if (ring)
    chart_.EllipseItem(x, y, kRingPixels * ux, kRingPixels * uy);
  chart_.LineItem(x - kArmPixels * ux, y, x + kArmPixels * ux, y);
  chart_.LineItem(x, y - kArmPixels * uy, x, y + kArmPixels * uy);
}

void TNlinCursorDlg::drawMarkers()
{
  const QColor previous = chart_.DataColor();
  chart_.SetDataColor(Qt::black);
  refShown_ = relative_;
  if (refShown_)
    drawCross(refX_, refY_, false);
  crossShown_ = valid_;
  if (crossShown_)
    drawCross(x_, y_, true);
  chart_.SetDataColor(previous);
}

void TNlinCursorDlg::eraseMarkers()
{
  const int items = (crossShown_ ? 3 : 0) + (refShown_ ? 2 : 0);
  for (int i = 0; i < items; ++i)
    chart_.RemoveLastItem();
  crossShown_ = refShown_ = false;
}
