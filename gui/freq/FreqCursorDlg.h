#pragma once
// "Frequency domain cursor": walks the last response curve of a frequency
// window grid point by grid point with a scroll bar, showing the frequency
// and the open- and closed-loop gain and phase there, absolute or relative
// to a reference point, and marks points on the chart. On the Bode views
// the cursor is crosshair 1 (the reference crosshair 2); on the other views
// an ellipse and a cross drawn as display items, taken back when it moves
// and when the dialog closes.

#include "engine/freq/FreqEngine.h"
#include "gui/dialogs/CursorDialog.h"

class QLabel;
class QLineEdit;
class QScrollBar;
class TFreqChildForm;
class TRChart;

class TFreqCursorDlg : public TCursorDialog {
  Q_OBJECT
public:
  explicit TFreqCursorDlg(TFreqChildForm* child, QWidget* parent = nullptr);

  // Attaches to the window's current chart and last curve and shows the
  // dialog beside the window, where it stays while the design is dragged;
  // false, with nothing shown, when there is no curve.
  bool Open();

  void FreqScrollBarScroll();
  void RelativeBitBtnClick();
  void MarkBtnClick();

protected:
  void forgetReference() override;
  void showReading() override;

private:
  struct Reference {
    double freq = 0.0;  // display frequency
    double openMag = 1.0;
    double openPhase = 0.0;
    double closedMag = 1.0;
    double closedPhase = 0.0;
  };
  void setUp();
  // Reads grid point i into the current point and its values.
  void readPoint(int i);

  TFreqChildForm* child_;
  FREQSTAT* rec_ = nullptr;
  TRChart* chart_ = nullptr;
  bool bode_ = false;
  // The current point: display frequency, where the chart has it (the
  // Bode charts: the display frequency of the stored point), values.
  double freq_ = 0.0, x_ = 0.0, y_ = 0.0;
  CursorValues values_;
  Reference reference_;

  QScrollBar* FreqScrollBar;
  QLineEdit* FreqEdit;
  QLineEdit* OLGain;
  QLineEdit* OLGaindB;
  QLineEdit* OLPhase;
  QLineEdit* CLGain;
  QLineEdit* CLGaindB;
  QLineEdit* CLPhase;
  QLabel* FUnits1;
};
