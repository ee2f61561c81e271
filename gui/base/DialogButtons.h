#pragma once
// The OK and Cancel buttons every dialog of the program ends with.

class QBoxLayout;
class QDialog;
class QPushButton;

// Adds a right-aligned row of OKBtn "OK" (the default button) and CancelBtn
// "Cancel" (rejects the dialog) to layout; returns OKBtn for the caller to
// connect its own handler.
QPushButton* AddOkCancelRow(QDialog* dlg, QBoxLayout* layout);
