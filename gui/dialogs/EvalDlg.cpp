#include "gui/dialogs/EvalDlg.h"

#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TEvalDlg::TEvalDlg(QWidget* parent)
    : QDialog(parent),
      EvalEdit(new QLineEdit(this)),
      ResultEdit(new QLineEdit(this)),
      Evaluate(new QPushButton(tr("Evaluate"), this)),
      CloseBtn(new QPushButton(tr("Close"), this))
{
  setObjectName("EvalDlg");
  setWindowTitle(tr("Expression evaluator"));
  EvalEdit->setObjectName("EvalEdit");
  ResultEdit->setObjectName("ResultEdit");
  ResultEdit->setReadOnly(true);
  Evaluate->setObjectName("Evaluate");
  Evaluate->setDefault(true);
  CloseBtn->setObjectName("CloseBtn");
  CloseBtn->setAutoDefault(false);

  auto* equals = new QLabel(QStringLiteral("="), this);
  QFont bold = equals->font();
  bold.setBold(true);
  equals->setFont(bold);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(tr("Expression"), this), 0, 1);
  grid->addWidget(EvalEdit, 1, 1);
  grid->addWidget(new QLabel(tr("Result"), this), 2, 1);
  grid->addWidget(equals, 3, 0);
  grid->addWidget(ResultEdit, 3, 1);
  EvalEdit->setMinimumWidth(240);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Evaluate);
  buttons->addWidget(CloseBtn);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(Evaluate, &QPushButton::clicked, this, &TEvalDlg::EvaluateClick);
  connect(CloseBtn, &QPushButton::clicked, this, &TEvalDlg::CloseBtnClick);
}

void TEvalDlg::EvaluateClick()
{
  double v = 0.0;
  if (!ReadNumber(EvalEdit, v)) {
    EvalEdit->selectAll();
    return;
  }
  ShowNumberInEdit(ResultEdit, v);
}

void TEvalDlg::FormActivate()
{
  EvalEdit->selectAll();
  EvalEdit->setFocus();
}

void TEvalDlg::CloseBtnClick()
{
  reject();
}

bool TEvalDlg::event(QEvent* e)
{
  if (e->type() == QEvent::WindowActivate)
    FormActivate();
  return QDialog::event(e);
}
