#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/freq/FreqCursorDlg.h"

#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"
#include "gui/freq/FreqChild.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// A gain below this cannot be a reference: its ratios would overflow.
constexpr double kLeastReferenceGain = 1e-10;

}  // namespace

TFreqCursorDlg::TFreqCursorDlg(TFreqChildForm* child, QWidget* parent)
    : TCursorDialog(parent ? parent : child, "FreqCursorDlg", tr("Frequency domain cursor")), child_(child)
{
  FreqScrollBar = newScrollBar("FreqScrollBar", 0);
  connect(FreqScrollBar, &QScrollBar::valueChanged, this, &TFreqCursorDlg::FreqScrollBarScroll);

  const QString widest(13, QLatin1Char('0'));
  const auto label = [this](const QString& text) { return new QLabel(text, this); };
  FreqEdit = newReadout("FreqEdit", widest);
  OLGain = newReadout("OLGain", widest);
  OLGaindB = newReadout("OLGaindB", widest);
  OLPhase = newReadout("OLPhase", widest);
  CLGain = newReadout("CLGain", widest);
  CLGaindB = newReadout("CLGaindB", widest);
  CLPhase = newReadout("CLPhase", widest);
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

  QLabel* offGraph = newOffGraphLabel(true);
  auto* buttons = new QHBoxLayout;
  addAbsoluteButton(buttons, "AbsoluteBitBtn", false);
  addButton(buttons, "RelativeBitBtn", tr("&Relative"), &TFreqCursorDlg::RelativeBitBtnClick);
  addButton(buttons, "MarkBtn", tr("&Mark"), &TFreqCursorDlg::MarkBtnClick);
  addButton(buttons, "EqBitBtn", tr("&="), &TFreqCursorDlg::EqBtnClick);
  buttons->addStretch();
  addCloseButton(buttons, tr("Close"), &QDialog::accept)->setAutoDefault(false);

  stack(FreqScrollBar, grid, offGraph, buttons);
}

bool TFreqCursorDlg::Open()
{
  if (!child_ || child_->settings().result.gridCount == 0)
    return false;
  setUp();
  openModeless();
  return true;
}

void TFreqCursorDlg::setUp()
{
  rec_ = &child_->settings();
  chart_ = child_->chart();
  const FreqView view = rec_->set.view;
  bode_ = view == FreqView::BodeGain || view == FreqView::BodePhase;
  child_->graph().LeaveRelative();
  FUnits1->setText(QLatin1String(rec_->set.units));
  restartScrollBar(FreqScrollBar, rec_->result.gridCount);
  attachCursor(*chart_, bode_ ? ChartCursor::Style::Crosshairs : ChartCursor::Style::Items);
  showReading();
}

void TFreqCursorDlg::forgetReference()
{
  reference_ = {};
}

void TFreqCursorDlg::readPoint(int i)
{
  const FreqResult& r = rec_->result;
  i = std::clamp(i, 0, r.gridCount - 1);
  const double omega = r.omega[static_cast<std::size_t>(i)];
  freq_ = ToDisplayFrequency(*rec_, omega);
  // Where the curve has the point: on the Bode charts its display frequency
  // from the stored point, as the curve was drawn and autoscaled, so that a
  // point on the chart's edge is on it.
  const FreqPoint& p = r.points[static_cast<std::size_t>(i)];
  x_ = bode_ ? ToDisplayFrequency(*rec_, p.tag) : p.x;
  y_ = p.y;
  values_ = EvaluateForCursor(*rec_, omega);
}

void TFreqCursorDlg::showReading()
{
  readPoint(FreqScrollBar->value());
  cursor_.moveTo(x_, y_);
  showOffGraph(!cursor_.onChart(x_, y_));

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

void TFreqCursorDlg::FreqScrollBarScroll()
{
  showReading();
}

void TFreqCursorDlg::RelativeBitBtnClick()
{
  readPoint(FreqScrollBar->value());
  reference_.freq = freq_;
  reference_.openPhase = values_.openPhaseDeg;
  reference_.closedPhase = values_.closedPhaseDeg;
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
  // On the other views showReading() draws the reference cross under the
  // cursor.
  enterRelative(x_, y_);
  showReading();
}

void TFreqCursorDlg::MarkBtnClick()
{
  // The mark goes under the cursor items, which showReading() draws again.
  markOnChart({{x_, y_, Sys().pen[rec_->loop.closedLoop ? 1 : 0],
                QStringLiteral("  %1 %2").arg(QString::fromStdString(FormatModelNumber(freq_)),
                                              QLatin1String(rec_->set.units))}});
  chart_->ShowGraph();
  showReading();
}
