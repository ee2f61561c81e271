#include "gui/base/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QPushButton* AddOkCancelRow(QDialog* dlg, QBoxLayout* layout)
{
  auto* ok = new QPushButton(QDialog::tr("OK"), dlg);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QDialog::tr("Cancel"), dlg);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  return ok;
}
