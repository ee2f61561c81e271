#pragma once
// "Time domain cursor": follows the last run of a time window point by
// point with a scroll bar, showing time, input, output and control effort
// (or error), absolute or relative to a reference point, and marks points
// on the chart. On the time plot the cursor is crosshair 1 (the reference
// crosshair 2); on the phase plane it is an ellipse and a cross drawn as
// display items, taken back when it moves and when the dialog closes.

#include "gui/dialogs/CursorDialog.h"

class QLabel;
class QLineEdit;
class QScrollBar;
class TRChart;
class TTransChildForm;
struct TransResult;

class TTransCursorDlg : public TCursorDialog {
  Q_OBJECT
public:
  explicit TTransCursorDlg(TTransChildForm* child, QWidget* parent = nullptr);

  // Attaches to the window's current chart and last run and shows the
  // dialog beside the window, where it stays while the design is dragged;
  // false, with nothing shown, when the window has no complete run.
  bool Open();

  void ScrollBar1Change();
  void RelativeBitBtnClick();
  void MarkBtnClick();

protected:
  void forgetReference() override;
  void showReading() override;

private:
  struct Point {
    double time = 0, input = 0, output = 0, control = 0;
  };
  Point pointAt(int i) const;
  void setUp();

  TTransChildForm* child_;
  TRChart* chart_ = nullptr;
  const TransResult* run_ = nullptr;
  bool phase_ = false;
  Point current_;
  Point reference_;

  QScrollBar* ScrollBar1;
  QLineEdit* TimeValue;
  QLineEdit* InputValue;
  QLineEdit* OutputValue;
  QLineEdit* ControlValue;
  QLineEdit* ErrorValue;
  QLabel* InputLabel;
  QLabel* OutputLabel;
  QLabel* InputMark;
  QLabel* OutputMark;
  QLabel* ControlMark;
  QLabel* ErrorMark;
  QLabel* ControlLabel;
  QLabel* ErrorLabel;
};
