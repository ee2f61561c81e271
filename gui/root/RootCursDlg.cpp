#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/SysData.h"

#include "gui/root/RootCursDlg.h"

#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"
#include "gui/root/RootChild.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {
bool GainInfinite(const CursorReadout& c)
{
  return c.gainInfinite || std::fabs(c.gain) >= kInfiniteGain;
}
}  // namespace

TRootCursDlg::TRootCursDlg(TRootChildForm& window)
    : TCursorDialog(&window, "RootCursDlg", tr("Root locus cursor")), window_(window), rec_(window.record())
{
  ScrollBar1 = newScrollBar("ScrollBar1", 40);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TRootCursDlg::ScrollBar1Change);

  auto* grid = new QGridLayout;
  const auto value = [this, grid](const char* name, const QString& label, int row, int column) {
    QLineEdit* e = newReadout(name);
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
  grid->addWidget(newEvaluatorButton(), 0, 4, 3, 1, Qt::AlignCenter);

  QLabel* offGraph = newOffGraphLabel(true);
  auto* row = new QHBoxLayout;
  addCloseButton(row, tr("Close"), &QDialog::reject);
  addButton(row, "EqBtn2", tr("&="), &TRootCursDlg::EqBtnClick);
  addAbsoluteButton(row, "AbsoluteBtn", true);
  addButton(row, "RelativeBtn", tr("&Relative"), &TRootCursDlg::RelativeBtnClick);
  addButton(row, "MarkBtn", tr("&Mark"), &TRootCursDlg::MarkBtnClick);
  addButton(row, "SetGainBtn", tr("Set &gain"), &TRootCursDlg::SetGainBtnClick)
      ->setToolTip(tr("Make the gain at the cursor the loop gain K"));

  stack(ScrollBar1, grid, offGraph, row);
}

bool TRootCursDlg::Open()
{
  // The loop's own poles and zeros, not those a report or the tracer's
  // cancellation left in the model.
  ClearError();
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), rec_).roots, rec_)) {
    ReportError(this);
    return false;
  }
  const int n = CursorPointCount(rec_);
  if (n == 0)
    return false;
  chart_ = window_.chart();
  window_.graph().LeaveRelative();
  attachCursor(*chart_, ChartCursor::Style::Items);
  restartScrollBar(ScrollBar1, n);
  showReading();
  openModeless();
  return true;
}

void TRootCursDlg::follow()
{
  // A locus traced again may hold another number of points: the cursor
  // stays at its index where it still can.
  const int n = CursorPointCount(rec_);
  if (n == 0) {
    close();
    return;
  }
  {
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setRange(0, n - 1);
    ScrollBar1->setPageStep(std::max(1, n / 20));
  }
  showReading();
}

void TRootCursDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  centreOnScreen();
  ScrollBar1->setFocus();
}

void TRootCursDlg::showReading()
{
  if (!chart_)
    return;
  const AxisRange x{chart_->RangeLoX(), chart_->RangeHiX()}, y{chart_->RangeLoY(), chart_->RangeHiY()};
  if (!CursorAt(rec_, ScrollBar1->value(), ref_, x, y, at_))
    return;
  cursor_.moveTo(at_.x, at_.y);

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
  showOffGraph(at_.offGraph);
}

void TRootCursDlg::forgetReference()
{
  ref_ = {};
}

void TRootCursDlg::RelativeBtnClick()
{
  if (!TakeReference(at_, ref_))
    ShowWarning(this, QLatin1String(kGainTooSmallWarning));
  enterRelative(ref_.x, ref_.y);
  showReading();
}

void TRootCursDlg::MarkBtnClick()
{
  if (!chart_)
    return;
  const QString gain = GainInfinite(at_) ? tr("Infinite") : QString::fromStdString(FormatModelNumber(at_.gain));
  markOnChart({{at_.x, at_.y, Sys().pen[1], QStringLiteral("  ") + gain}});
  cursor_.moveTo(at_.x, at_.y);
}

void TRootCursDlg::SetGainBtnClick()
{
  ClearError();
  double k = 0.0;
  if (!GainAtLocusPoint(DecodeRootLoop(Sys(), rec_).roots, rec_, at_.x, at_.y, at_.tag, k)) {
    ReportError(this);
    return;
  }
  Sys().gain = k;
  if (TSysDefForm* diagram = SysDefWindow())
    diagram->RefreshGain();
  NoteLoopChange(tr("gain"));
}
