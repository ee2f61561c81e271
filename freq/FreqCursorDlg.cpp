// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "model/Model.h"
#include "model/NumberFormat.h"

#include "freq/FreqCursorDlg.h"

#include "app/FrameAccess.h"
#include "app/Messages.h"
#include "freq/FreqChild.h"
#include "model/NumberEntry.h"
#include "plot/TRChart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kEllipsePixels = 5;
constexpr int kCrossPixels = 10;
constexpr int kCursorItems = 3;     // ellipse and the two arms of the cross
constexpr int kReferenceItems = 2;  // the two arms of the reference cross
constexpr int kMarkSize = 8;
// A gain below this cannot be a reference: its ratios would overflow.
constexpr double kLeastReferenceGain = 1e-10;

}  // namespace

TFreqCursorDlg::TFreqCursorDlg(TFreqChildForm* child, QWidget* parent)
    : QDialog(parent ? parent : child), child_(child)
{
  setObjectName(QStringLiteral("FreqCursorDlg"));
  setWindowTitle(tr("Frequency domain cursor - absolute mode"));

  FreqScrollBar = new QScrollBar(Qt::Horizontal, this);
  FreqScrollBar->setObjectName(QStringLiteral("FreqScrollBar"));
  connect(FreqScrollBar, &QScrollBar::valueChanged, this, &TFreqCursorDlg::FreqScrollBarScroll);

  const auto value = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 13);
    return e;
  };
  const auto label = [this](const QString& text) { return new QLabel(text, this); };
  FreqEdit = value("FreqEdit");
  OLGain = value("OLGain");
  OLGaindB = value("OLGaindB");
  OLPhase = value("OLPhase");
  CLGain = value("CLGain");
  CLGaindB = value("CLGaindB");
  CLPhase = value("CLPhase");
  FUnits1 = label(QStringLiteral("rad/s"));
  FUnits1->setObjectName(QStringLiteral("FUnits1"));

  auto* grid = new QGridLayout;
  grid->addWidget(label(tr("Frequency")), 0, 0);
  grid->addWidget(FreqEdit, 0, 1);
  grid->addWidget(FUnits1, 0, 2);
  grid->addWidget(label(tr("Open loop")), 1, 1);
  grid->addWidget(label(tr("Closed loop")), 1, 2);
  const QString rows[3] = {tr("Gain"), tr("Gain/dB"), tr("Phase/deg")};
  QLineEdit* open[3] = {OLGain, OLGaindB, OLPhase};
  QLineEdit* closed[3] = {CLGain, CLGaindB, CLPhase};
  for (int r = 0; r < 3; ++r) {
    grid->addWidget(label(rows[r]), r + 2, 0);
    grid->addWidget(open[r], r + 2, 1);
    grid->addWidget(closed[r], r + 2, 2);
  }

  OffScreenMsg = label(QString());
  OffScreenMsg->setObjectName(QStringLiteral("OffScreenMsg"));
  QPalette red = OffScreenMsg->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  OffScreenMsg->setPalette(red);
  // Room for the message, so the dialog does not jump when it appears.
  OffScreenMsg->setMinimumHeight(OffScreenMsg->fontMetrics().height());

  auto* buttons = new QHBoxLayout;
  const auto button = [this, buttons](const char* name, const QString& text, void (TFreqCursorDlg::*f)()) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, f);
    buttons->addWidget(b);
  };
  button("AbsoluteBitBtn", tr("&Absolute"), &TFreqCursorDlg::AbsoluteBitBtnClick);
  button("RelativeBitBtn", tr("&Relative"), &TFreqCursorDlg::RelativeBitBtnClick);
  button("MarkBtn", tr("&Mark"), &TFreqCursorDlg::MarkBtnClick);
  button("EqBitBtn", tr("&="), &TFreqCursorDlg::EqBitBtnClick);
  buttons->addStretch();
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FreqScrollBar);
  layout->addLayout(grid);
  layout->addWidget(OffScreenMsg);
  layout->addLayout(buttons);
}

int TFreqCursorDlg::Execute()
{
  if (!child_ || child_->settings().result.gridCount == 0)
    return QDialog::Rejected;
  setUp();
  const int result = ExecModal(*this);
  detach();
  return result;
}

void TFreqCursorDlg::setUp()
{
  rec_ = &child_->settings();
  chart_ = child_->chart();
  const FreqView view = rec_->set.view;
  bode_ = view == FreqView::BodeGain || view == FreqView::BodePhase;
  child_->graph().LeaveRelative();
  relative_ = false;
  reference_ = {};
  setWindowTitle(tr("Frequency domain cursor - absolute mode"));
  FUnits1->setText(QLatin1String(rec_->set.units));
  {
    const QSignalBlocker quiet(FreqScrollBar);
    const int n = rec_->result.gridCount;
    FreqScrollBar->setRange(0, n - 1);
    FreqScrollBar->setPageStep(std::max(1, n / 20));
    FreqScrollBar->setValue(0);
  }
  readPoint(0);
  if (bode_) {
    chart_->CrossHairSetup(1, Qt::black, 1, 2, 2);
  } else {
    const QRectF area = chart_->PlotArea();
    const double perPixelX = (chart_->RangeHiX() - chart_->RangeLoX()) / std::max(1.0, area.width());
    const double perPixelY = (chart_->RangeHiY() - chart_->RangeLoY()) / std::max(1.0, area.height());
    ellipseX_ = kEllipsePixels * perPixelX;
    ellipseY_ = kEllipsePixels * perPixelY;
    crossX_ = kCrossPixels * perPixelX;
    crossY_ = kCrossPixels * perPixelY;
    drawCursor();
  }
  update();
}

void TFreqCursorDlg::readPoint(int i)
{
  const FreqResult& r = rec_->result;
  i = std::clamp(i, 0, r.gridCount - 1);
  const double omega = r.omega[static_cast<std::size_t>(i)];
  freq_ = ToDisplayFrequency(*rec_, omega);
  x_ = r.points[static_cast<std::size_t>(i)].x;
  y_ = r.points[static_cast<std::size_t>(i)].y;
  values_ = EvaluateForCursor(*rec_, omega);
}

void TFreqCursorDlg::drawCursor()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  chart_->EllipseItem(x_, y_, ellipseX_, ellipseY_);
  chart_->LineItem(x_ - crossX_, y_, x_ + crossX_, y_);
  chart_->LineItem(x_, y_ - crossY_, x_, y_ + crossY_);
  chart_->SetDataColor(previous);
  cursorDrawn_ = true;
}

void TFreqCursorDlg::drawReference()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  chart_->LineItem(refX_ - crossX_, refY_, refX_ + crossX_, refY_);
  chart_->LineItem(refX_, refY_ - crossY_, refX_, refY_ + crossY_);
  chart_->SetDataColor(previous);
  referenceDrawn_ = true;
}

void TFreqCursorDlg::takeBackItems()
{
  const int n = (cursorDrawn_ ? kCursorItems : 0) + (referenceDrawn_ ? kReferenceItems : 0);
  for (int i = 0; i < n; ++i)
    chart_->RemoveLastItem();
  cursorDrawn_ = referenceDrawn_ = false;
}

void TFreqCursorDlg::update()
{
  readPoint(FreqScrollBar->value());
  const double x = bode_ ? freq_ : x_;
  if (bode_) {
    chart_->CrossHairPosition(1, x, y_);
  } else {
    takeBackItems();
    if (relative_)
      drawReference();
    drawCursor();
    chart_->ShowGraph();
  }
  // A point that does not exist (NaN) is off the graph too.
  const bool on = x >= chart_->RangeLoX() && x <= chart_->RangeHiX() && y_ >= chart_->RangeLoY() &&
                  y_ <= chart_->RangeHiY();
  OffScreenMsg->setText(on ? QString() : tr("Cursor off graph"));

  const double open = values_.openMag / reference_.openMag;
  const double closed = values_.closedMag / reference_.closedMag;
  ShowNumberInEdit(FreqEdit, freq_ - reference_.freq);
  ShowNumberInEdit(OLGain, open);
  ShowNumberInEdit(OLGaindB, 20.0 * std::log10(open));
  ShowNumberInEdit(OLPhase, values_.openPhaseDeg - reference_.openPhase);
  ShowNumberInEdit(CLGain, closed);
  ShowNumberInEdit(CLGaindB, 20.0 * std::log10(closed));
  ShowNumberInEdit(CLPhase, values_.closedPhaseDeg - reference_.closedPhase);
}

void TFreqCursorDlg::FreqScrollBarScroll() { update(); }

void TFreqCursorDlg::RelativeBitBtnClick()
{
  readPoint(FreqScrollBar->value());
  reference_.freq = freq_;
  reference_.openPhase = values_.openPhaseDeg;
  reference_.closedPhase = values_.closedPhaseDeg;
  refX_ = bode_ ? freq_ : x_;
  refY_ = y_;
  reference_.openMag = values_.openMag;
  if (!(values_.openMag >= kLeastReferenceGain)) {
    reference_.openMag = 1.0;
    ShowWarning(this, QStringLiteral("Open-loop gain too small, showing absolute gain"));
  }
  reference_.closedMag = values_.closedMag;
  if (!(values_.closedMag >= kLeastReferenceGain)) {
    reference_.closedMag = 1.0;
    ShowWarning(this, QStringLiteral("Closed-loop gain too small, showing absolute gain"));
  }
  setWindowTitle(tr("Frequency domain cursor - relative mode"));
  if (bode_) {
    chart_->CrossHairPosition(2, refX_, refY_);
    chart_->CrossHairSetup(2, Qt::black, 1, 3, 2);
  }
  // On the other views update() draws the reference cross under the cursor.
  relative_ = true;
  update();
}

void TFreqCursorDlg::AbsoluteBitBtnClick()
{
  if (!relative_)
    return;
  relative_ = false;
  reference_ = {};
  setWindowTitle(tr("Frequency domain cursor - absolute mode"));
  if (bode_)
    chart_->CrossHairSetup(2, Qt::black, 1, 3, 0);
  update();
}

void TFreqCursorDlg::MarkBtnClick()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColorRgb(Sys().pen[rec_->loop.closedLoop ? 1 : 0]);
  const double x = bode_ ? freq_ : x_;
  // The mark goes under the cursor items, which update() draws again.
  if (!bode_)
    takeBackItems();
  chart_->MarkAt(x, y_, kMarkTick);
  if (Sys().showMarkLabels)
    chart_->TextAt(x, y_,
                   QStringLiteral("  %1 %2").arg(QString::fromStdString(FormatModelNumber(freq_)),
                                                 QLatin1String(rec_->set.units)),
                   kMarkSize);
  chart_->SetDataColor(previous);
  chart_->ShowGraph();
  update();
}

void TFreqCursorDlg::EqBitBtnClick() { RunEvaluatorModally(this); }

void TFreqCursorDlg::detach()
{
  if (bode_) {
    chart_->CrossHairSetup(1, Qt::black, 1, 2, 0);
    if (relative_)
      chart_->CrossHairSetup(2, Qt::black, 1, 3, 0);
  } else {
    takeBackItems();
    chart_->ShowGraph();
  }
}
