// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "model/Model.h"
#include "model/SysData.h"

#include "freq/DFCursorDlg.h"

#include "app/FrameAccess.h"
#include "freq/DescribingFunction.h"
#include "model/NumberEntry.h"
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
constexpr double kRingPixels = 5.0;
constexpr double kArmPixels = 10.0;
}  // namespace

TDFCursorDlg::TDFCursorDlg(TRChart& chart, const FREQSTAT& rec, QWidget* parent)
    : QDialog(parent), chart_(chart), rec_(rec)
{
  setObjectName(QStringLiteral("DFCursorDlg"));
  setWindowTitle(tr("Describing function cursor - absolute mode"));

  const int count = std::clamp(rec.result.count, 1, kMaxAmplitudes);
  AmpScrollBar = new QScrollBar(Qt::Horizontal, this);
  AmpScrollBar->setObjectName(QStringLiteral("AmpScrollBar"));
  AmpScrollBar->setRange(0, count - 1);
  AmpScrollBar->setPageStep(std::max(count / 10, 1));
  AmpScrollBar->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
  connect(AmpScrollBar, &QScrollBar::valueChanged, this, &TDFCursorDlg::AmpScrollBarScroll);

  const auto value = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.123456789e-100")));
    return e;
  };
  AmpEdit = value("AmpEdit");
  NMagEdit = value("NMagEdit");
  NPhaseEdit = value("NPhaseEdit");
  invNMagEdit = value("invNMagEdit");
  invNPhaseEdit = value("invNPhaseEdit");
  OffScreenMsg = new QLabel(this);
  OffScreenMsg->setObjectName(QStringLiteral("OffScreenMsg"));

  auto* eqBitBtn = new QToolButton(this);
  eqBitBtn->setObjectName(QStringLiteral("EqBitBtn"));
  eqBitBtn->setIcon(QIcon(QStringLiteral(":/icons/eq.svg")));
  eqBitBtn->setToolTip(tr("Expression evaluator"));
  connect(eqBitBtn, &QToolButton::clicked, this, &TDFCursorDlg::EqBtnClick);

  auto* values = new QGridLayout;
  values->addWidget(new QLabel(tr("Amplitude, X"), this), 0, 0);
  values->addWidget(AmpEdit, 0, 1);
  values->addWidget(eqBitBtn, 0, 2, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("N(X))"), this), 1, 1, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("-1/N(X))"), this), 1, 2, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("Magnitude"), this), 2, 0);
  values->addWidget(NMagEdit, 2, 1);
  values->addWidget(invNMagEdit, 2, 2);
  values->addWidget(new QLabel(tr("Phase/deg"), this), 3, 0);
  values->addWidget(NPhaseEdit, 3, 1);
  values->addWidget(invNPhaseEdit, 3, 2);
  values->addWidget(OffScreenMsg, 4, 1, 1, 2);

  const auto button = [this](const char* name, const QString& caption, void (TDFCursorDlg::*handler)()) {
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
  row->addWidget(button("MarkBtn", tr("&Mark"), &TDFCursorDlg::MarkBtnClick));
  row->addWidget(button("EqBtn", tr("&="), &TDFCursorDlg::EqBtnClick));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(AmpScrollBar);
  layout->addLayout(values);
  layout->addLayout(row);
}

void TDFCursorDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (shown_ || event->spontaneous())
    return;
  shown_ = true;
  if (const QScreen* s = screen())
    move(s->availableGeometry().center() - rect().center());
  AmpScrollBar->setFocus();
  AmpScrollBarScroll();
}

void TDFCursorDlg::hideEvent(QHideEvent* event)
{
  QDialog::hideEvent(event);
  if (!shown_ || event->spontaneous())
    return;
  shown_ = false;
  eraseCursor();
  chart_.ShowGraph();
}

void TDFCursorDlg::AmpScrollBarScroll()
{
  if (!shown_)
    return;
  const DfReading d = DfCursorReading(rec_, AmpScrollBar->value());
  ShowNumberInEdit(AmpEdit, d.amplitude);
  ShowNumberInEdit(NMagEdit, d.nMag);
  if (d.hasPhase) {
    ShowNumberInEdit(NPhaseEdit, d.nPhaseDeg);
    ShowNumberInEdit(invNMagEdit, d.invMag);
    ShowNumberInEdit(invNPhaseEdit, d.invPhaseDeg);
  } else {
    // N = 0: -1/N lies at infinity, and neither has a direction.
    NPhaseEdit->clear();
    invNMagEdit->setText(tr("Infinite"));
    invNPhaseEdit->clear();
  }
  x_ = d.plotX;
  y_ = d.plotY;
  eraseCursor();
  drawCursor();
  chart_.ShowGraph();
  const bool off = !(x_ >= chart_.RangeLoX() && x_ <= chart_.RangeHiX() && y_ >= chart_.RangeLoY() &&
                     y_ <= chart_.RangeHiY());
  OffScreenMsg->setText(off ? tr("Cursor off graph") : QString());
}

void TDFCursorDlg::MarkBtnClick()
{
  if (!shown_)
    return;
  eraseCursor();
  const QColor previous = chart_.DataColor();
  chart_.SetDataColorRgb(Sys().pen[2]);
  chart_.MarkAt(x_, y_, kMarkTick);
  chart_.SetDataColor(previous);
  drawCursor();
  chart_.ShowGraph();
}

void TDFCursorDlg::EqBtnClick() { RunEvaluatorModally(this); }

void TDFCursorDlg::drawCursor()
{
  const QRectF area = chart_.PlotArea();
  const double ux = (chart_.RangeHiX() - chart_.RangeLoX()) / std::max(area.width(), 1.0);
  const double uy = (chart_.RangeHiY() - chart_.RangeLoY()) / std::max(area.height(), 1.0);
  const QColor previous = chart_.DataColor();
  chart_.SetDataColor(Qt::black);
  chart_.EllipseItem(x_, y_, kRingPixels * ux, kRingPixels * uy);
  chart_.LineItem(x_ - kArmPixels * ux, y_, x_ + kArmPixels * ux, y_);
  chart_.LineItem(x_, y_ - kArmPixels * uy, x_, y_ + kArmPixels * uy);
  chart_.SetDataColor(previous);
  cursorDrawn_ = true;
}

void TDFCursorDlg::eraseCursor()
{
  if (!cursorDrawn_)
    return;
  for (int i = 0; i < 3; ++i)
    chart_.RemoveLastItem();
  cursorDrawn_ = false;
}
