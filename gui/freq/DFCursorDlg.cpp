#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include "gui/freq/DFCursorDlg.h"

#include "engine/freq/DescribingFunction.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>

TDFCursorDlg::TDFCursorDlg(TRChart& chart, const FREQSTAT& rec, QWidget* parent)
    : TCursorDialog(parent, "DFCursorDlg", tr("Describing function cursor")), chart_(chart), rec_(rec)
{
  AmpScrollBar = newScrollBar("AmpScrollBar", 36);
  spanAmplitudes();
  connect(AmpScrollBar, &QScrollBar::valueChanged, this, &TDFCursorDlg::AmpScrollBarScroll);

  AmpEdit = newReadout("AmpEdit");
  NMagEdit = newReadout("NMagEdit");
  NPhaseEdit = newReadout("NPhaseEdit");
  invNMagEdit = newReadout("invNMagEdit");
  invNPhaseEdit = newReadout("invNPhaseEdit");
  QLabel* offGraph = newOffGraphLabel(false);

  auto* values = new QGridLayout;
  values->addWidget(new QLabel(tr("Amplitude, X"), this), 0, 0);
  values->addWidget(AmpEdit, 0, 1);
  values->addWidget(newEvaluatorButton(), 0, 2, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("N(X))"), this), 1, 1, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("-1/N(X))"), this), 1, 2, Qt::AlignCenter);
  values->addWidget(new QLabel(tr("Magnitude"), this), 2, 0);
  values->addWidget(NMagEdit, 2, 1);
  values->addWidget(invNMagEdit, 2, 2);
  values->addWidget(new QLabel(tr("Phase/deg"), this), 3, 0);
  values->addWidget(NPhaseEdit, 3, 1);
  values->addWidget(invNPhaseEdit, 3, 2);
  values->addWidget(offGraph, 4, 1, 1, 2);

  auto* row = new QHBoxLayout;
  addCloseButton(row, tr("Close"), &QDialog::reject);
  addButton(row, "MarkBtn", tr("&Mark"), &TDFCursorDlg::MarkBtnClick);
  addButton(row, "EqBtn", tr("&="), &TDFCursorDlg::EqBtnClick);

  stack(AmpScrollBar, values, nullptr, row);
}

bool TDFCursorDlg::Open()
{
  if (rec_.result.count <= 0)
    return false;
  openModeless();
  return true;
}

void TDFCursorDlg::spanAmplitudes()
{
  // The index stays where it can; the amplitudes left out of a new
  // computation may be fewer or more.
  const int count = std::clamp(rec_.result.count, 1, kMaxAmplitudes);
  const QSignalBlocker quiet(AmpScrollBar);
  AmpScrollBar->setRange(0, count - 1);
  AmpScrollBar->setPageStep(std::max(count / 10, 1));
}

void TDFCursorDlg::follow()
{
  spanAmplitudes();
  AmpScrollBarScroll();
}

void TDFCursorDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (shown_ || event->spontaneous())
    return;
  shown_ = true;
  centreOnScreen();
  attachCursor(chart_, ChartCursor::Style::Items);
  AmpScrollBar->setFocus();
  AmpScrollBarScroll();
}

void TDFCursorDlg::hideEvent(QHideEvent* event)
{
  QDialog::hideEvent(event);
  if (!shown_ || event->spontaneous())
    return;
  shown_ = false;
  cursor_.detach();
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
  cursor_.moveTo(x_, y_);
  showOffGraph(!cursor_.onChart(x_, y_));
}

void TDFCursorDlg::MarkBtnClick()
{
  if (!shown_)
    return;
  markOnChart({{x_, y_, Sys().pen[2], QString()}});
  cursor_.moveTo(x_, y_);
}
