#include "nlin/NlinScalesDlg.h"

#include "app/DialogButtons.h"
#include "app/Messages.h"
#include "model/Error.h"
#include "model/NumberEntry.h"
#include "model/ValueRanges.h"
#include "nlin/NlinChild.h"
#include "plot/TRChart.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A number typed as an expression; a parse or evaluation error is reported
// and counts as a failed read, with the focus back in the edit.
bool ReadEntry(QLineEdit* edit, double& value)
{
  ClearError();
  double v = 0.0;
  if (!ReadNumber(edit, v))
    return false;
  if (ErrorPending()) {
    ReportError(edit->window());
    edit->setFocus();
    return false;
  }
  value = v;
  return true;
}
}  // namespace

TNlinScalesDlg::TNlinScalesDlg(TNlinChildForm* window) : QDialog(window), window_(window)
{
  setObjectName(QStringLiteral("NlinScalesDlg"));
  setWindowTitle(tr("Nonlinear scales"));
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
  YmaxEdit = edit("YmaxEdit", tr("Y-axis max"), true);
  npointsEdit = edit("npointsEdit", tr("No of points"), false);
  focusEdit_ = npointsEdit;

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TNlinScalesDlg::OKBtnClick);
}

int TNlinScalesDlg::Execute()
{
  if (!window_) {
    ShowWarning(this, QStringLiteral("Null child pointer"));
    return Rejected;
  }
  const TRChart& chart = *window_->chart();
  ShowNumberInEdit(XminEdit, chart.RangeLoX());
  ShowNumberInEdit(XmaxEdit, chart.RangeHiX());
  ShowNumberInEdit(YminEdit, chart.RangeLoY());
  ShowNumberInEdit(YmaxEdit, chart.RangeHiY());
  npointsEdit->setText(QString::number(window_->record().points));
  rangesChanged_ = pointsChanged_ = false;
  return ExecModal(*this);
}

void TNlinScalesDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  focusEdit_->setFocus();
  focusEdit_->selectAll();
}

bool TNlinScalesDlg::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched))
      focusEdit_ = e;
  return QDialog::eventFilter(watched, event);
}

void TNlinScalesDlg::OKBtnClick()
{
  if (!window_)
    return;
  double lim[4] = {};  // x min, x max, y min, y max
  if (rangesChanged_) {
    QLineEdit* const edits[4] = {XminEdit, XmaxEdit, YminEdit, YmaxEdit};
    for (int i = 0; i < 4; ++i)
      if (!ReadEntry(edits[i], lim[i]))
        return;
    if (!(lim[0] < lim[1]) || !(lim[2] < lim[3])) {
      ShowWarning(this, QStringLiteral("Max must exceed Min"));
      return;
    }
  }
  double n = 0.0;
  if (pointsChanged_) {
    // Checked before it becomes a whole number: 1000.5 is out of range.
    if (!ReadEntry(npointsEdit, n))
      return;
    if (!CheckRange(this, ranges::kNlinPoints, n)) {
      npointsEdit->setFocus();
      npointsEdit->selectAll();
      return;
    }
    window_->record().points = static_cast<std::int32_t>(n);
  }
  if (rangesChanged_) {
    TRChart& chart = *window_->chart();
    chart.ZoomTo(lim[0], lim[2], lim[1], lim[3]);
    chart.ShowGraph();
  }
  accept();
}
