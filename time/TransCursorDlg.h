#pragma once
// "Time domain cursor": follows the last run of a time window point by
// point with a scroll bar, showing time, input, output and control effort
// (or error), absolute or relative to a reference point, and marks points
// on the chart. On the time plot the cursor is crosshair 1 (the reference
// crosshair 2); on the phase plane it is an ellipse and a cross drawn as
// display items, taken back when it moves and when the dialog closes.

#include <QDialog>

class QLabel;
class QLineEdit;
class QScrollBar;
class TRChart;
class TTransChildForm;
struct TransResult;

class TTransCursorDlg : public QDialog {
  Q_OBJECT
public:
  explicit TTransCursorDlg(TTransChildForm* child, QWidget* parent = nullptr);

  // Attaches to the window's current chart and last run and runs the dialog
  // modally; nothing when the window has no complete run on show.
  int Execute();

  void ScrollBar1Change();
  void RelativeBitBtnClick();
  void AbsoluteBitBtnClick();
  void MarkBtnClick();
  void EqBitBtnClick();

private:
  struct Point {
    double time = 0, input = 0, output = 0, control = 0;
  };
  Point pointAt(int i) const;
  void setUp();
  void update();
  // Closing: crosshairs hidden, cursor items taken back.
  void detach();
  // Phase-plane cursor items: the cursor (3 items) and the reference cross
  // (2 items), each taken back only when drawn.
  void drawCursor();
  void drawReference();
  void takeBackItems();

  TTransChildForm* child_;
  TRChart* chart_ = nullptr;
  const TransResult* run_ = nullptr;
  bool phase_ = false;
  bool relative_ = false;
  Point current_;
  Point reference_;
  // Cursor sizes in data units: ellipse semi-axes of 5 pixels, cross arms
  // of 10 pixels.
  double ellipseX_ = 0, ellipseY_ = 0, crossX_ = 0, crossY_ = 0;
  bool cursorDrawn_ = false;
  bool referenceDrawn_ = false;

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
  QLabel* OffScreenMsg;
};
