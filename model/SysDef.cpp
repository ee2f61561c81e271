#include "model/SysDef.h"

TSysDefForm::TSysDefForm(QWidget* parent) : QWidget(parent, Qt::Tool)
{
  setObjectName(QStringLiteral("SysDefForm"));
  setWindowTitle(tr("System Definition"));
  setProperty("helpContext", 31);
  resize(520, 220);
}

void TSysDefForm::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  emit visibilityChanged(true);
}

void TSysDefForm::hideEvent(QHideEvent* event)
{
  QWidget::hideEvent(event);
  emit visibilityChanged(false);
}
