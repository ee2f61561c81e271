#include "model/ParamDlg.h"

#include "app/Messages.h"
#include "expr/ConstantTable.h"
#include "model/NumberEntry.h"
#include "model/NumberFormat.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
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
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  connect(ok, &QPushButton::clicked, this, &TParamDlg::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
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
