#include "gui/dialogs/AxesPointsDlg.h"

#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TAxesPointsDlg::TAxesPointsDlg(QWidget* parent, const char* name, const QString& caption, bool withYMax)
    : TScalesDialog(parent, name)
{
  setWindowTitle(caption);
  auto* form = new QFormLayout;
  const auto edit = [this, form](const char* editName, const QString& label, bool* changed) {
    QLineEdit* e = newEntry(editName, changed);
    form->addRow(label, e);
    return e;
  };
  XminEdit = edit("XminEdit", tr("X-axis min"), &rangesChanged_);
  XmaxEdit = edit("XmaxEdit", tr("X-axis max"), &rangesChanged_);
  YminEdit = edit("YminEdit", tr("Y-axis min"), &rangesChanged_);
  if (withYMax)
    YmaxEdit = edit("YmaxEdit", tr("Y-axis max"), &rangesChanged_);
  npointsEdit = edit("npointsEdit", tr("No of points"), &pointsChanged_);
  setLastEntered(npointsEdit);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TAxesPointsDlg::OKBtnClick);
}

int TAxesPointsDlg::execute(bool hasWindow, const AxisRanges& ranges, int points)
{
  if (!hasWindow) {
    ShowWarning(this, QStringLiteral("Null child pointer"));
    return Rejected;
  }
  showRanges(ranges, XminEdit, XmaxEdit, YminEdit, YmaxEdit);
  npointsEdit->setText(QString::number(points));
  rangesChanged_ = pointsChanged_ = false;
  return ExecModal(*this);
}
