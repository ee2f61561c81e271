#pragma once
// The four operations every dialog uses to read numbers from its edit boxes
// and to show numbers back: typed numbers are expressions of the
// expression language, shown in the user's number format.

#include "engine/model/ValueRanges.h"

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// Parses and evaluates the whole text of edit; true with the value in
// value when both succeeded. On a parse or evaluation error (1/0, sqrt(-1))
// the message is reported at once, the focus goes back to edit with the
// caret at the end, value is unchanged and no error stays pending.
bool ReadNumber(QLineEdit* edit, double& value);

// True when low <= value <= high; otherwise shows the warning
// "<name> must lie between <low> and <high>" and returns false.
bool CheckRange(QWidget* parent, const QString& name, double high, double low, double value);
// The same against a range of the table.
bool CheckRange(QWidget* parent, const ValueRange& range, double value);

// Shows value in edit with the model's number format, the caret at the end.
void ShowNumberInEdit(QLineEdit* edit, double value);

// Shows value in label with four significant figures.
void ShowNumberInLabel(QLabel* label, double value);
