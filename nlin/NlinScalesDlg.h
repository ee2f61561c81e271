#pragma once
// "Nonlinear scales": the axis ranges of a nonlinear window's chart and the
// number of points of its sweep. The input range of the sweep stays: it
// follows the chart only at autoscale, zoom-in and zoom back.

#include <QDialog>
#include <QPointer>

class QLineEdit;
class TNlinChildForm;

class TNlinScalesDlg : public QDialog {
  Q_OBJECT

public:
  // The dialog of window (its parent).
  explicit TNlinScalesDlg(TNlinChildForm* window);

  // Fills the edits from the window's chart and record and runs the dialog
  // modally; returns its result. Without a window: "Null child pointer".
  int Execute();
  // Reads and checks what was changed, applies it and closes; a failed read
  // or check keeps the dialog open.
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPointer<TNlinChildForm> window_;
  QLineEdit* XminEdit;
  QLineEdit* XmaxEdit;
  QLineEdit* YminEdit;
  QLineEdit* YmaxEdit;
  QLineEdit* npointsEdit;
  QLineEdit* focusEdit_;  // the edit that last had the focus
  bool rangesChanged_ = false;
  bool pointsChanged_ = false;
};
