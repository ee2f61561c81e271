// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "root/RootEngine.h"

#include "root/RootScalesDlg.h"

#include "app/DialogButtons.h"
#include "app/Messages.h"
#include "model/NumberEntry.h"
#include "model/ValueRanges.h"
#include "plot/TRChart.h"
#include "root/RootChild.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRootScalesDlg::TRootScalesDlg(TRootChildForm* window) : QDialog(window), window_(window)
{
  setObjectName(QStringLiteral("RootScalesDlg"));
  setWindowTitle(tr("Root-locus scales"));
  auto* form = new QFormLayout;
  const auto edit = [this, form](const char* name, const QString& label, bool range) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.123456789e-100")));
    e->installEventFilter(this);
    connect(e, &QLineEdit::textEdited, this,
            [this, range] { (range ? rangesChanged_ : pointsChanged_) = true; });
    form->addRow(label, e);
    return e;
  };
  XminEdit = edit("XminEdit", tr("X-axis min"), true);
  XmaxEdit = edit("XmaxEdit", tr("X-axis max"), true);
  YminEdit = edit("YminEdit", tr("Y-axis min"), true);
  npointsEdit = edit("npointsEdit", tr("No of points"), false);
  focusEdit_ = npointsEdit;

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TRootScalesDlg::OKBtnClick);
}

int TRootScalesDlg::Execute()
{
  if (!window_) {
    ShowWarning(this, QStringLiteral("Null child pointer"));
    return Rejected;
  }
  const TRChart& chart = *window_->chart();
  ShowNumberInEdit(XminEdit, chart.RangeLoX());
  ShowNumberInEdit(XmaxEdit, chart.RangeHiX());
  ShowNumberInEdit(YminEdit, chart.RangeLoY());
  npointsEdit->setText(QString::number(window_->record().points));
  rangesChanged_ = pointsChanged_ = false;
  return ExecModal(*this);
}

void TRootScalesDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  focusEdit_->setFocus();
  focusEdit_->selectAll();
}

bool TRootScalesDlg::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched))
      focusEdit_ = e;
  return QDialog::eventFilter(watched, event);
}

void TRootScalesDlg::OKBtnClick()
{
  if (!window_)
    return;
  double lim[3] = {};  // x min, x max, y min
  if (rangesChanged_) {
    QLineEdit* const edits[3] = {XminEdit, XmaxEdit, YminEdit};
    for (int i = 0; i < 3; ++i)
      if (!ReadNumber(edits[i], lim[i]))
        return;
    if (!(lim[0] < lim[1])) {
      ShowWarning(this, QStringLiteral("Max must exceed Min"));
      XmaxEdit->setFocus();
      return;
    }
  }
  double n = 0.0;
  // Checked before it becomes a whole number: 1000.5 is out of range.
  if (pointsChanged_ && (!ReadNumber(npointsEdit, n) || !CheckRange(this, ranges::kRootPoints, n))) {
    npointsEdit->setFocus();
    npointsEdit->selectAll();
    return;
  }

  ROOTSTAT& rec = window_->record();
  if (pointsChanged_)
    rec.points = static_cast<int>(n);
  if (rangesChanged_) {
    TRChart& chart = *window_->chart();
    chart.SetRangeLoX(lim[0]);
    chart.SetRangeHiX(lim[1]);
    chart.SetRangeLoY(lim[2]);
    // The y maximum follows from the chart's shape.
    chart.SetIsometric(true);
    chart.ShowGraph();
    SetWindow(rec, chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY());
  }
  accept();
}
