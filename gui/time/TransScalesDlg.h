#pragma once
// "Time response scales" / "Phase plane scales": the ranges of the time
// window's current chart, the duration and the number of points, set by the
// window and taken back after OK. Only what the user edited is read, and OK
// needs all of it to read.

#include "gui/dialogs/ScalesDialog.h"

class QLineEdit;
class TTransChildForm;

class TTransScalesDlg : public TScalesDialog {
  Q_OBJECT
public:
  // child: the time window whose scales are set (none: the dialog only warns).
  explicit TTransScalesDlg(TTransChildForm* child, QWidget* parent = nullptr);

  // Shown when the dialog runs; after OK with what was typed.
  AxisRanges axes;
  double duration = 0.0;
  int points = 0;
  // After OK: whether the ranges were typed into (only then are they read).
  bool rangesEdited() const { return rangesChanged_; }

  // Shows the values above, captioned for the window's plot, and runs the
  // dialog modally, with the box entered last focused; "Null child
  // pointer" without a window.
  int Execute();
  void OKBtnClick();

private:
  // Reads edit; a failure leaves the focus in it.
  static bool read(QLineEdit* edit, double& value);

  TTransChildForm* child_;
  QLineEdit* XminEdit;
  QLineEdit* XmaxEdit;
  QLineEdit* YminEdit;
  QLineEdit* YmaxEdit;
  QLineEdit* DurationEdit;
  QLineEdit* npointsEdit;
  bool rangesChanged_ = false;
  bool durationChanged_ = false;
  bool pointsChanged_ = false;
};
