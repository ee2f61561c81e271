#pragma once
// "Root-locus scales": the rectangle of the root window's current chart
// (x min, x max and y min; the y max follows from the isometric chart) and
// the tracer's number of points. Nothing is traced: the next Go uses them.

#include <QDialog>
#include <QPointer>

class QLineEdit;
class TRootChildForm;

class TRootScalesDlg : public QDialog {
  Q_OBJECT
public:
  // The dialog of window (its parent).
  explicit TRootScalesDlg(TRootChildForm* window);

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
  QPointer<TRootChildForm> window_;
  QLineEdit* XminEdit;
  QLineEdit* XmaxEdit;
  QLineEdit* YminEdit;
  QLineEdit* npointsEdit;
  QLineEdit* focusEdit_;  // the edit that last had the focus
  bool rangesChanged_ = false;
  bool pointsChanged_ = false;
};
