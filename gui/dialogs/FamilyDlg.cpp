#include "gui/dialogs/FamilyDlg.h"

#include "engine/base/Error.h"
#include "engine/model/NumberFormat.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

TFamilyDlg::TFamilyDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("FamilyDlg"));
  setWindowTitle(tr("Response family"));
  onCheck_ = new QCheckBox(tr("&Draw a family on Go"), this);
  onCheck_->setObjectName(QStringLiteral("FamilyOnCheck"));
  paramCombo_ = new QComboBox(this);
  paramCombo_->setObjectName(QStringLiteral("FamilyParamCombo"));
  for (int i = 0; i <= kFamilyGain; ++i)
    paramCombo_->addItem(QLatin1String(FamilyParameterName(i)));
  const auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    return e;
  };
  fromEdit_ = edit("FamilyFromEdit");
  toEdit_ = edit("FamilyToEdit");
  membersEdit_ = edit("FamilyMembersEdit");
  logCheck_ = new QCheckBox(tr("&Logarithmic spacing"), this);
  logCheck_->setObjectName(QStringLiteral("FamilyLogCheck"));

  auto* form = new QFormLayout;
  form->addRow(onCheck_);
  form->addRow(tr("&Parameter"), paramCombo_);
  form->addRow(tr("&From"), fromEdit_);
  form->addRow(tr("&To"), toEdit_);
  form->addRow(tr("&Members (at most 10)"), membersEdit_);
  form->addRow(logCheck_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TFamilyDlg::OKBtnClick);
}

int TFamilyDlg::Execute()
{
  onCheck_->setChecked(on);
  paramCombo_->setCurrentIndex(plan.over);
  ShowNumberInEdit(fromEdit_, plan.from);
  ShowNumberInEdit(toEdit_, plan.to);
  membersEdit_->setText(QString::number(plan.members));
  logCheck_->setChecked(plan.log);
  return ExecModal(*this);
}

void TFamilyDlg::OKBtnClick()
{
  FamilyPlan s;
  s.over = paramCombo_->currentIndex();
  s.log = logCheck_->isChecked();
  double members = 0.0;
  if (!ReadNumber(fromEdit_, s.from) || !ReadNumber(toEdit_, s.to) || !ReadNumber(membersEdit_, members))
    return;
  if (members != std::floor(members)) {
    ShowWarning(this, QStringLiteral("The number of members must be a whole number"));
    return;
  }
  // Out of the int range the count is refused as too many or too few.
  s.members = members > kMaxFamilyMembers ? kMaxFamilyMembers + 1 : (members < 0 ? 0 : static_cast<int>(members));
  FamilyMembers check;
  ClearError();
  if (!SpreadFamily(s, 0.0, check)) {
    ClearError();
    ShowWarning(this, QString::fromLatin1(ErrorMessage()));
    return;
  }
  plan = s;
  on = onCheck_->isChecked();
  accept();
}

TFamilyTableDlg::TFamilyTableDlg(QWidget* parent, const QString& caption, const QStringList& headers,
                                 const QList<QStringList>& rows)
    : QDialog(parent)
{
  setObjectName(QStringLiteral("FamilyTableDlg"));
  setWindowTitle(caption);
  table_ = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headers.size()), this);
  table_->setObjectName(QStringLiteral("FamilyTable"));
  table_->setHorizontalHeaderLabels(headers);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size() && c < headers.size(); ++c)
      table_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
  table_->resizeColumnsToContents();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  auto* close = new QPushButton(tr("&Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(560, 300);
}

namespace {

QString Square(std::uint32_t pen)
{
  return QStringLiteral("<span style=\"color:#%1\">&#9632;</span>").arg(pen, 6, 16, QLatin1Char('0'));
}

QString Number(double v)
{
  return QString::fromStdString(FormatModelNumber(v));
}

}  // namespace

QString FamilyLegendText(const FamilyPlan& plan, const FamilyMembers& members, const std::uint32_t* pens,
                         std::uint32_t currentPen, double currentValue)
{
  QString text = QStringLiteral("%1:").arg(QLatin1String(FamilyParameterName(plan.over)));
  for (int i = 0; i < members.count; ++i)
    text +=
        QStringLiteral("&nbsp; %1&nbsp;%2").arg(Square(pens[i]), Number(members.value[static_cast<std::size_t>(i)]));
  text += QStringLiteral("&nbsp;&nbsp; <b>%1&nbsp;%2 (current)</b>").arg(Square(currentPen), Number(currentValue));
  return text;
}

QString NearestMemberText(const FamilyPlan& plan, const FamilyMembers& members, int i)
{
  return QStringLiteral("Nearest curve: member %1, %2 = %3")
      .arg(i + 1)
      .arg(QLatin1String(FamilyParameterName(plan.over)), Number(members.value[static_cast<std::size_t>(i)]));
}

bool EditFamilyMode(QWidget* parent, bool& on, FamilyPlan& plan)
{
  TFamilyDlg dlg(parent);
  dlg.on = on;
  dlg.plan = plan;
  if (dlg.Execute() != QDialog::Accepted)
    return false;
  on = dlg.on;
  plan = dlg.plan;
  return true;
}
