#include "gui/dialogs/Edit1Dlg.h"

#include "engine/base/Error.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/NumberEntry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEdit1Dlg::TEdit1Dlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("Edit1Dlg"));
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  edit_->setMinimumWidth(180);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TEdit1Dlg::OKBtnClick);
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
