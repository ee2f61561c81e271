#include "gui/nlin/NlinCursorDlg.h"

#include "engine/base/Error.h"
#include "engine/chart/Readout.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>

namespace {
constexpr int kStartPosition = 50;
}  // namespace

TNlinCursorDlg::TNlinCursorDlg(TRChart& chart, const NLINSTAT& rec, QWidget* parent)
    : TCursorDialog(parent, "NlinCursorDlg", tr("Nonlinear cursor")), chart_(chart), rec_(rec)
{
  ScrollBar1 = newScrollBar("ScrollBar1", 36);
  ScrollBar1->setRange(0, std::max(rec.points, 1));
  ScrollBar1->setPageStep(std::max(rec.points / 10, 1));
  ScrollBar1->setValue(kStartPosition);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TNlinCursorDlg::ScrollBar1Change);

  XValue = newReadout("XValue");
  YValue = newReadout("YValue");
  QLabel* offGraph = newOffGraphLabel(false);

  auto* values = new QGridLayout;
  values->addWidget(new QLabel(tr("Input"), this), 0, 0);
  values->addWidget(XValue, 0, 1);
  values->addWidget(new QLabel(tr("Output"), this), 1, 0);
  values->addWidget(YValue, 1, 1);
  values->addWidget(newEvaluatorButton(), 0, 2, 2, 1, Qt::AlignCenter);
  values->addWidget(offGraph, 2, 1);

  auto* row = new QHBoxLayout;
  addCloseButton(row, tr("Close"), &QDialog::reject);
  addButton(row, "EqBtn2", tr("&="), &TNlinCursorDlg::EqBtnClick);
  addAbsoluteButton(row, "AbsoluteBtn", true);
  addButton(row, "RelativeBtn", tr("&Relative"), &TNlinCursorDlg::RelativeBtnClick);
  addButton(row, "MarkBtn", tr("&Mark"), &TNlinCursorDlg::MarkBtnClick);

  stack(ScrollBar1, values, nullptr, row);
}

void TNlinCursorDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (walking_ || event->spontaneous())
    return;
  walking_ = true;
  centreOnScreen();
  // Each opening restarts hyst's memory at the left end of the axis; a
  // start that cannot be evaluated is reported when the cursor gets there.
  walk_ = BeginCursor(rec_, chart_.RangeLoX(), chart_.RangeHiX());
  attachCursor(chart_, ChartCursor::Style::Items);
  ScrollBar1->setFocus();
  ScrollBar1Change();
}

void TNlinCursorDlg::hideEvent(QHideEvent* event)
{
  QDialog::hideEvent(event);
  if (!walking_ || event->spontaneous())
    return;
  walking_ = false;
  cursor_.detach();
}

bool TNlinCursorDlg::Open()
{
  if (rec_.result.count <= 0)
    return false;
  openModeless();
  return true;
}

bool TNlinCursorDlg::evaluate()
{
  ClearError();
  const CursorReading p = CursorPoint(walk_, rec_.result, ScrollBar1->value());
  x_ = p.x;
  y_ = p.y;
  valid_ = !ErrorPending();
  showReading();
  return valid_;
}

void TNlinCursorDlg::ScrollBar1Change()
{
  if (!walking_)
    return;
  // A nonlinearity that cannot be evaluated here (the axis may reach beyond
  // the swept range) has no point to show.
  if (!evaluate())
    ReportError(this);
}

void TNlinCursorDlg::follow()
{
  if (!walking_)
    return;
  walk_ = BeginCursor(rec_, chart_.RangeLoX(), chart_.RangeHiX());
  (void)evaluate();
  ClearError();
}

void TNlinCursorDlg::showReading()
{
  cursor_.moveTo(x_, y_, valid_);
  ShowNumberInEdit(XValue, x_ - refX_);
  if (valid_)
    ShowNumberInEdit(YValue, y_ - refY_);
  else
    YValue->clear();
  const bool off = x_ < chart_.RangeLoX() || x_ > chart_.RangeHiX() || y_ < chart_.RangeLoY() || y_ > chart_.RangeHiY();
  showOffGraph(valid_ && off);
}

void TNlinCursorDlg::forgetReference()
{
  refX_ = refY_ = 0.0;
}

void TNlinCursorDlg::RelativeBtnClick()
{
  if (!valid_)
    return;
  refX_ = x_;
  refY_ = y_;
  enterRelative(refX_, refY_);
  showReading();
}

void TNlinCursorDlg::MarkBtnClick()
{
  if (!valid_)
    return;
  const ReadoutArg args[2] = {{x_, nullptr}, {y_, nullptr}};
  char label[64];
  FormatReadout("  %s,%s", Sys().numberFormat, args, 2, label, sizeof label);
  markOnChart({{x_, y_, Sys().pen[0], QLatin1String(label)}});
  cursor_.moveTo(x_, y_, valid_);
}
