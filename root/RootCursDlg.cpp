// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "model/Model.h"
#include "model/Error.h"
#include "model/NumberFormat.h"
#include "model/SysData.h"

#include "root/RootCursDlg.h"

#include "app/FrameAccess.h"
#include "app/Messages.h"
#include "model/NumberEntry.h"
#include "model/SysDef.h"
#include "plot/TRChart.h"
#include "root/RootChild.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRingPixels = 5.0;
constexpr double kArmPixels = 10.0;
constexpr int kLabelSize = 8;

bool GainInfinite(const CursorReadout& c) { return c.gainInfinite || std::fabs(c.gain) >= kInfiniteGain; }
}  // namespace

TRootCursDlg::TRootCursDlg(TRootChildForm& window)
    : QDialog(&window), window_(window), rec_(window.record())
{
  setObjectName(QStringLiteral("RootCursDlg"));
  setWindowTitle(tr("Root locus cursor - absolute mode"));

  ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
  ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
  ScrollBar1->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TRootCursDlg::ScrollBar1Change);

  auto* grid = new QGridLayout;
  const auto value = [this, grid](const char* name, const QString& label, int row, int column) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.123456789e-100")));
    if (!label.isEmpty())
      grid->addWidget(new QLabel(label, this), row, column);
    grid->addWidget(e, row, column + 1);
    return e;
  };
  RealValue = value("RealValue", tr("Real"), 0, 0);
  ImagValue = value("ImagValue", tr("Imag"), 1, 0);
  RadiusValue = value("RadiusValue", tr("Radius"), 2, 0);
  AngleValue = value("AngleValue", tr("Angle/deg"), 0, 2);
  GainValue = value("GainValue", tr("Gain"), 1, 2);
  BranchValue = value("BranchValue", QString(), 2, 2);

  auto* eqBitBtn = new QToolButton(this);
  eqBitBtn->setObjectName(QStringLiteral("EqBitBtn"));
  eqBitBtn->setIcon(QIcon(QStringLiteral(":/icons/eq.svg")));
  eqBitBtn->setToolTip(tr("Expression evaluator"));
  connect(eqBitBtn, &QToolButton::clicked, this, &TRootCursDlg::EqBtnClick);
  grid->addWidget(eqBitBtn, 0, 4, 3, 1, Qt::AlignCenter);

  OffScreenMsg = new QLabel(this);
  OffScreenMsg->setObjectName(QStringLiteral("OffScreenMsg"));
  QPalette red = OffScreenMsg->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  OffScreenMsg->setPalette(red);
  // Room for the message, so the dialog does not jump when it appears.
  OffScreenMsg->setMinimumHeight(OffScreenMsg->fontMetrics().height());

  auto* row = new QHBoxLayout;
  const auto button = [this, row](const char* name, const QString& caption, void (TRootCursDlg::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, handler);
    row->addWidget(b);
    return b;
  };
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  row->addWidget(close);
  button("EqBtn2", tr("&="), &TRootCursDlg::EqBtnClick);
  AbsoluteBtn = button("AbsoluteBtn", tr("&Absolute"), &TRootCursDlg::AbsoluteBtnClick);
  button("RelativeBtn", tr("&Relative"), &TRootCursDlg::RelativeBtnClick);
  button("MarkBtn", tr("&Mark"), &TRootCursDlg::MarkBtnClick);
  button("SetGainBtn", tr("Set &gain"), &TRootCursDlg::SetGainBtnClick)
      ->setToolTip(tr("Make the gain at the cursor the loop gain K"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ScrollBar1);
  layout->addLayout(grid);
  layout->addWidget(OffScreenMsg);
  layout->addLayout(row);
}

int TRootCursDlg::Execute()
{
  // The loop's own poles and zeros, not those a report or the tracer's
  // cancellation left in the model.
  ClearError();
  if (!PrepareRootLoop(rec_)) {
    ReportError(this);
    return Rejected;
  }
  const int n = CursorPointCount(rec_);
  if (n == 0)
    return Rejected;
  chart_ = window_.chart();
  window_.graph().LeaveRelative();
  relative_ = false;
  ref_ = {};
  setWindowTitle(tr("Root locus cursor - absolute mode"));
  AbsoluteBtn->setEnabled(false);
  {
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setRange(0, n - 1);
    ScrollBar1->setPageStep(std::max(1, n / 20));
    ScrollBar1->setValue(0);
  }
  const QRectF area = chart_->PlotArea();
  pixelX_ = (chart_->RangeHiX() - chart_->RangeLoX()) / std::max(area.width(), 1.0);
  pixelY_ = (chart_->RangeHiY() - chart_->RangeLoY()) / std::max(area.height(), 1.0);
  ShowReading();

  const int result = ExecModal(*this);
  EraseMarkers();
  chart_->ShowGraph();
  return result;
}

void TRootCursDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  if (const QScreen* s = screen())
    move(s->availableGeometry().center() - rect().center());
  ScrollBar1->setFocus();
}

void TRootCursDlg::ShowReading()
{
  if (!chart_)
    return;
  const AxisRange x{chart_->RangeLoX(), chart_->RangeHiX()}, y{chart_->RangeLoY(), chart_->RangeHiY()};
  if (!CursorAt(rec_, ScrollBar1->value(), ref_, x, y, at_))
    return;
  EraseMarkers();
  DrawMarkers();
  chart_->ShowGraph();

  ShowNumberInEdit(RealValue, at_.realShown);
  ShowNumberInEdit(ImagValue, at_.imagShown);
  ShowNumberInEdit(RadiusValue, at_.radiusShown);
  if (at_.angleEmpty)
    AngleValue->clear();
  else
    ShowNumberInEdit(AngleValue, at_.angleShown);
  if (GainInfinite(at_))
    GainValue->setText(tr("Infinite"));
  else
    ShowNumberInEdit(GainValue, at_.gainShown);
  if (!at_.kind.empty())
    BranchValue->setText(QString::fromStdString(at_.kind));
  OffScreenMsg->setText(at_.offGraph ? QLatin1String(kCursorOffGraph) : QString());
}

void TRootCursDlg::RelativeBtnClick()
{
  if (!TakeReference(at_, ref_))
    ShowWarning(this, QLatin1String(kGainTooSmallWarning));
  relative_ = true;
  setWindowTitle(tr("Root locus cursor - relative mode"));
  AbsoluteBtn->setEnabled(true);
  ShowReading();
}

void TRootCursDlg::AbsoluteBtnClick()
{
  if (!relative_)
    return;
  relative_ = false;
  ref_ = {};
  setWindowTitle(tr("Root locus cursor - absolute mode"));
  AbsoluteBtn->setEnabled(false);
  ShowReading();
}

void TRootCursDlg::MarkBtnClick()
{
  if (!chart_)
    return;
  EraseMarkers();
  const QColor previous = chart_->DataColor();
  chart_->SetDataColorRgb(Sys().pen[1]);
  chart_->MarkAt(at_.x, at_.y, kMarkTick);
  if (Sys().showMarkLabels) {
    const QString gain = GainInfinite(at_) ? tr("Infinite") : QString::fromStdString(FormatModelNumber(at_.gain));
    chart_->TextAt(at_.x, at_.y, QStringLiteral("  ") + gain, kLabelSize);
  }
  chart_->SetDataColor(previous);
  DrawMarkers();
  chart_->ShowGraph();
}

void TRootCursDlg::EqBtnClick() { RunEvaluatorModally(this); }

void TRootCursDlg::SetGainBtnClick()
{
  ClearError();
  double k = 0.0;
  if (!GainAtLocusPoint(rec_, at_.x, at_.y, at_.tag, k)) {
    ReportError(this);
    return;
  }
  Sys().gain = k;
  if (TSysDefForm* diagram = SysDefWindow())
    diagram->RefreshGain();
}

void TRootCursDlg::DrawCross(double x, double y, bool ring)
{
  if (ring)
    chart_->EllipseItem(x, y, kRingPixels * pixelX_, kRingPixels * pixelY_);
  chart_->LineItem(x - kArmPixels * pixelX_, y, x + kArmPixels * pixelX_, y);
  chart_->LineItem(x, y - kArmPixels * pixelY_, x, y + kArmPixels * pixelY_);
}

void TRootCursDlg::DrawMarkers()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  refShown_ = relative_;
  if (refShown_)
    DrawCross(ref_.x, ref_.y, false);
  DrawCross(at_.x, at_.y, true);
  crossShown_ = true;
  chart_->SetDataColor(previous);
}

void TRootCursDlg::EraseMarkers()
{
  const int items = (crossShown_ ? 3 : 0) + (refShown_ ? 2 : 0);
  for (int i = 0; i < items; ++i)
    chart_->RemoveLastItem();
  crossShown_ = refShown_ = false;
}
