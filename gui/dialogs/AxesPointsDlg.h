#pragma once
// TAxesPointsDlg: a scales dialog of a chart's axis ranges (X-axis min and
// max, Y-axis min and, where the chart does not derive it, max) and the
// number of points its window computes, in one form above OK and Cancel.
// The window's dialog reads and checks them in OKBtnClick.

#include "gui/dialogs/ScalesDialog.h"

class QLineEdit;

class TAxesPointsDlg : public TScalesDialog {
  Q_OBJECT
public:
  // Reads and checks what was changed and closes; a failed read or check
  // keeps the dialog open.
  virtual void OKBtnClick() = 0;
  // After OK: whether the ranges were typed into (only then are they read).
  bool rangesEdited() const { return rangesChanged_; }

protected:
  // withYMax: the Y-axis max is a box of its own.
  TAxesPointsDlg(QWidget* parent, const char* name, const QString& caption, bool withYMax);

  // Fills the boxes from ranges and points and runs the dialog modally;
  // returns its result. Without a window: "Null child pointer".
  int execute(bool hasWindow, const AxisRanges& ranges, int points);

  QLineEdit* XminEdit;
  QLineEdit* XmaxEdit;
  QLineEdit* YminEdit;
  QLineEdit* YmaxEdit = nullptr;
  QLineEdit* npointsEdit;
  bool rangesChanged_ = false;
  bool pointsChanged_ = false;
};
