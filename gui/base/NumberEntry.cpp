#include "gui/base/NumberEntry.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/NumberFormat.h"
#include "gui/base/Messages.h"

#include <QLabel>
#include <QLineEdit>

bool ReadNumber(QLineEdit* edit, double& value)
{
  // a message left by someone else is not about this box
  ClearError();
  // UTF-8 keeps characters beyond ASCII as bytes the tokenizer refuses.
  const QByteArray text = edit->text().toUtf8();
  CompiledExpr e;
  if (parse(text.constData(), e)) {
    const double v = eval(e);
    if (!ErrorPending()) {
      value = v;
      return true;
    }
  }
  // An empty box fails without a message: there is nothing to report.
  if (ErrorPending())
    ReportError(edit->window());
  edit->setFocus();
  edit->setCursorPosition(edit->text().size());
  return false;
}

bool CheckRange(QWidget* parent, const QString& name, double high, double low, double value)
{
  if (InRange(value, high, low))
    return true;
  ShowWarning(parent, QString::fromStdString(RangeWarningText(name.toStdString(), high, low)));
  return false;
}

bool CheckRange(QWidget* parent, const ValueRange& range, double value)
{
  return CheckRange(parent, QLatin1String(range.quantity), range.high, range.low, value);
}

void ShowNumberInEdit(QLineEdit* edit, double value)
{
  edit->setText(QString::fromStdString(FormatModelNumber(value)));
  edit->setCursorPosition(edit->text().size());
}

void ShowNumberInLabel(QLabel* label, double value)
{
  label->setText(QString::fromStdString(FormatLabelNumber(value)));
}
