#include "gui/root/ParamLocusDlg.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Gain first, then a..d; the index of the combo box is parameter + 1.
constexpr int ComboIndex(int parameter)
{
  return parameter + 1;
}

}  // namespace

TParamLocusDlg::TParamLocusDlg(const ParamLocusSettings& s, const SYSDATA& doc, const LoopSwitches& loop,
                               QWidget* parent)
    : QDialog(parent), settings(s), doc_(doc), loop_(loop)
{
  setObjectName(QStringLiteral("ParamLocusDlg"));
  setWindowTitle(tr("Parameter locus"));
  OnCheck = new QCheckBox(tr("&Trace against the parameter"), this);
  OnCheck->setObjectName(QStringLiteral("OnCheck"));
  OnCheck->setChecked(s.on);
  ParameterCombo = new QComboBox(this);
  ParameterCombo->setObjectName(QStringLiteral("ParameterCombo"));
  ParameterCombo->addItems(
      {tr("Gain"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
  ParameterCombo->setCurrentIndex(ComboIndex(s.sweep.parameter));
  const auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    return e;
  };
  FromEdit = edit("FromEdit");
  ToEdit = edit("ToEdit");
  PointsEdit = edit("PointsEdit");
  MarksEdit = edit("MarksEdit");
  ShowNumberInEdit(FromEdit, s.sweep.from);
  ShowNumberInEdit(ToEdit, s.sweep.to);
  ShowNumberInEdit(PointsEdit, s.sweep.points);
  QString marks;
  for (int i = 0; i < s.markCount; ++i)
    marks += (i ? QStringLiteral(", ") : QString()) + QString::number(s.marks[i], 'g', 17);
  MarksEdit->setText(marks);
  LogCheck = new QCheckBox(tr("&Logarithmic spacing"), this);
  LogCheck->setObjectName(QStringLiteral("LogCheck"));
  LogCheck->setChecked(s.sweep.log);

  auto* form = new QFormLayout;
  form->addRow(OnCheck);
  form->addRow(tr("&Parameter"), ParameterCombo);
  form->addRow(tr("&From"), FromEdit);
  form->addRow(tr("T&o"), ToEdit);
  form->addRow(QLatin1String(kSweepPoints.quantity), PointsEdit);
  form->addRow(LogCheck);
  form->addRow(tr("&Marks at"), MarksEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TParamLocusDlg::OKBtnClick);
}

void TParamLocusDlg::OKBtnClick()
{
  ParamLocusSettings s = settings;
  s.on = OnCheck->isChecked();
  s.sweep.parameter = ParameterCombo->currentIndex() - 1;
  s.sweep.log = LogCheck->isChecked();
  double points = 0.0;
  if (!ReadNumber(FromEdit, s.sweep.from) || !ReadNumber(ToEdit, s.sweep.to) || !ReadNumber(PointsEdit, points))
    return;
  // Checked before it becomes a whole number: 1000.5 is out of range.
  if (!CheckRange(this, kSweepPoints, points)) {
    PointsEdit->setFocus();
    return;
  }
  s.sweep.points = static_cast<int>(points);

  // Marks: values separated by commas, each an expression.
  s.markCount = 0;
  const QStringList parts = MarksEdit->text().split(QLatin1Char(','), Qt::SkipEmptyParts);
  if (parts.size() > kMaxParamMarks) {
    ShowWarning(this, tr("At most %1 marks").arg(kMaxParamMarks));
    MarksEdit->setFocus();
    return;
  }
  for (const QString& part : parts) {
    ClearError();
    const double v = EvalConstant(part.trimmed().toUtf8().constData());
    if (ErrorPending() || part.trimmed().isEmpty()) {
      ShowWarning(this, ErrorPending() ? QString::fromLatin1(ErrorMessage()) : tr("Number expected"));
      ClearError();
      MarksEdit->setFocus();
      return;
    }
    s.marks[s.markCount++] = v;
  }

  // The checks of the trace itself, when it is to run: range, log, a
  // parameter the loop uses.
  if (s.on && !CheckSweep(doc_, loop_, s.sweep)) {
    ShowWarning(this, QString::fromLatin1(ErrorMessage()));
    ClearError();
    FromEdit->setFocus();
    return;
  }
  settings = s;
  accept();
}
