#pragma once
// "Frequency domain configuration": which input drives the loop of a
// frequency window (reference, load disturbance or measurement noise). The
// caller sets the window's switches, and takes them back after OK.

#include "engine/model/LoopSwitches.h"

#include <QDialog>

class QButtonGroup;

class TFreqConfigDlg : public QDialog {
  Q_OBJECT
public:
  explicit TFreqConfigDlg(QWidget* parent = nullptr);

  // The switches edited: the input of those set before Execute is selected;
  // after OK exactly one of the three inputs is on.
  LoopSwitches loop;

  // Selects the input of loop and runs the dialog modally.
  int Execute();
  // Stores the chosen input in loop and closes.
  void OKBtnClick();

private:
  QButtonGroup* input_;
};
