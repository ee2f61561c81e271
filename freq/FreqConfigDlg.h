#pragma once
// "Frequency domain configuration": which input drives the loop of a
// frequency window (reference, load disturbance or measurement noise).

#include <QDialog>

class QButtonGroup;
class TFreqChildForm;

class TFreqConfigDlg : public QDialog {
  Q_OBJECT
public:
  explicit TFreqConfigDlg(TFreqChildForm* child, QWidget* parent = nullptr);

  // Selects the window's current input and runs the dialog modally.
  int Execute();
  // Stores the chosen input in the window's settings (exactly one of the
  // three) and closes; the window's buttons and diagram follow.
  void OKBtnClick();

private:
  TFreqChildForm* child_;
  QButtonGroup* input_;
};
