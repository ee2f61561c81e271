#include "gui/chart/MarkDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TMarkDlg::TMarkDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("MarkDlg"));
  setWindowTitle(QStringLiteral("Mark"));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(kMaxLabel);
  auto* label = new QLabel(QStringLiteral("Label"), this);
  label->setBuddy(Edit1);
  MarkChkBox = new QCheckBox(QStringLiteral("Show mark"), this);
  MarkChkBox->setObjectName(QStringLiteral("MarkChkBox"));
  MarkChkBox->setChecked(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(label, Edit1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(MarkChkBox);
  layout->addWidget(buttons);
}

QString TMarkDlg::text() const
{
  return Edit1->text();
}
void TMarkDlg::setText(const QString& text)
{
  Edit1->setText(text.left(kMaxLabel));
}
bool TMarkDlg::showMark() const
{
  return MarkChkBox->isChecked();
}
void TMarkDlg::setShowMark(bool on)
{
  MarkChkBox->setChecked(on);
}
