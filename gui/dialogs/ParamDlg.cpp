#include "gui/dialogs/ParamDlg.h"

#include "engine/expr/ConstantTable.h"
#include "engine/model/NumberFormat.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TParamDlg::TParamDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("ParamDlg"));
  setWindowTitle(tr("Parameters"));
  setProperty("helpContext", 22);

  auto* form = new QFormLayout;
  const char* const names[4] = {"aEdit", "bEdit", "cEdit", "dEdit"};
  for (int i = 0; i < 4; ++i) {
    boxes_[i] = new QLineEdit(this);
    boxes_[i]->setObjectName(QLatin1String(names[i]));
    boxes_[i]->installEventFilter(this);
    form->addRow(QString(QLatin1Char(char('a' + i))), boxes_[i]);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TParamDlg::OKBtnClick);
}

void TParamDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  for (int i = 0; i < 4; ++i)
    ShowNumberInEdit(boxes_[i], Parameter(i));
  boxes_[lastEntered_]->setFocus();
  boxes_[lastEntered_]->selectAll();
}

bool TParamDlg::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn)
    for (int i = 0; i < 4; ++i)
      if (watched == boxes_[i])
        lastEntered_ = i;
  return QDialog::eventFilter(watched, event);
}

void TParamDlg::OKBtnClick()
{
  for (int i = 0; i < 4; ++i) {
    double v = 0.0;
    if (!ParsePlainNumber(boxes_[i]->text().toStdString(), v)) {
      ShowWarning(this, QStringLiteral("'%1' is not a valid floating point value").arg(boxes_[i]->text()));
      return;
    }
    SetParameter(i, v);
  }
  accept();
}
