#pragma once
// "Describing function cursor": walks the amplitudes of the last
// describing-function computation with a scroll bar, reading A, |N| and
// the phase of N, and those of -1/N, with a cursor on the chart, marks and
// the evaluator.

#include "engine/freq/FreqEngine.h"
#include "gui/dialogs/CursorDialog.h"

class QLineEdit;
class QScrollBar;
class TRChart;

class TDFCursorDlg : public TCursorDialog {
  Q_OBJECT

public:
  // A cursor on chart reading the describing function computed in rec.
  TDFCursorDlg(TRChart& chart, const FREQSTAT& rec, QWidget* parent = nullptr);

  // Moves the cursor to the scroll bar's amplitude and shows the reading.
  void AmpScrollBarScroll();
  // Marks the cursor's point on the chart in Pen 3.
  void MarkBtnClick();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // The reading has no reference: the dialog has no relative mode.
  void forgetReference() override {}
  void showReading() override { AmpScrollBarScroll(); }

private:
  TRChart& chart_;
  const FREQSTAT& rec_;
  bool shown_ = false;        // the cursor belongs on the chart
  double x_ = 0.0, y_ = 0.0;  // the point in the view

  QScrollBar* AmpScrollBar;
  QLineEdit* AmpEdit;
  QLineEdit* NMagEdit;
  QLineEdit* NPhaseEdit;
  QLineEdit* invNMagEdit;
  QLineEdit* invNPhaseEdit;
};
