#include "gui/dialogs/ContoursDlg.h"

#include "engine/model/ValueRanges.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/NumberEntry.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TContoursDlg::TContoursDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("ContoursDlg"));
  auto* grid = new QGridLayout;
  const auto row = [this, grid](int r, const char* labelName, const QString& caption, const char* editName,
                                QLabel*& label, QLineEdit*& edit) {
    label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(labelName));
    edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(editName));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000000")));
    units_[r] = new QLabel(QStringLiteral("dB"), this);
    grid->addWidget(label, r, 0);
    grid->addWidget(edit, r, 1);
    grid->addWidget(units_[r], r, 2);
  };
  QLabel* incrementLabel = nullptr;
  row(0, "StartLabel", tr("Start value"), "StartValueEdit", startLabel_, start_);
  row(1, "EndLabel", tr("End value"), "EndValueEdit", endLabel_, end_);
  row(2, "IncrementLabel", tr("Increment"), "IncrementValueEdit", incrementLabel, increment_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TContoursDlg::OKBtnClick);
}

void TContoursDlg::setLabels(const QString& start, const QString& end, const QString& unit)
{
  startLabel_->setText(start);
  endLabel_->setText(end);
  for (QLabel* u : units_)
    u->setText(unit);
}

void TContoursDlg::setValues(double start, double end, double inc)
{
  startValue = start;
  endValue = end;
  increment = inc;
  ShowNumberInEdit(start_, start);
  ShowNumberInEdit(end_, end);
  ShowNumberInEdit(increment_, inc);
}

void TContoursDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  start_->setFocus();
}

void TContoursDlg::OKBtnClick()
{
  // Each value is stored as soon as it passes, as the values are read in turn.
  const auto take = [this](QLineEdit* edit, const QString& name, double low, double high, double& dst) {
    double v = 0.0;
    if (!ReadNumber(edit, v))
      return false;
    if (!CheckRange(this, name, high, low, v)) {
      edit->setFocus();
      return false;
    }
    dst = v;
    return true;
  };
  if (!take(start_, startLabel_->text(), lowLimit, highLimit, startValue) ||
      !take(end_, endLabel_->text(), lowLimit, highLimit, endValue) ||
      !take(increment_, QLatin1String(ranges::kContourIncrement.quantity), ranges::kContourIncrement.low,
            ranges::kContourIncrement.high, increment))
    return;
  accept();
}
