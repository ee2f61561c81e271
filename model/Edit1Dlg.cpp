#include "model/Edit1Dlg.h"

#include "model/Error.h"
#include "model/NumberEntry.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEdit1Dlg::TEdit1Dlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("Edit1Dlg"));
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  edit_->setMinimumWidth(180);

  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  connect(ok, &QPushButton::clicked, this, &TEdit1Dlg::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  layout->addLayout(buttons);
}

void TEdit1Dlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  edit_->setFocus();
}

void TEdit1Dlg::OKBtnClick()
{
  double v = 0.0;
  if (!ReadNumber(edit_, v))
    return;
  if (!CheckRange(this, windowTitle(), highLimit, lowLimit, v))
    return;
  value = v;
  accept();
}
