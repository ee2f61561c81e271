#pragma once
// "Describing function cursor": walks the amplitudes of the last
// describing-function computation with a scroll bar, reading A, |N| and
// the phase of N, and those of -1/N, with a cursor on the chart, marks and
// the evaluator. Opened with Open it stays beside its window and reads the
// window's new describing function at the same amplitude index while a
// drag of the design goes on.

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

  // Shows the dialog beside the window; false, with nothing shown, when
  // the record holds no amplitude to read.
  bool Open();
  // The window computed the describing function again: the scroll bar
  // spans its amplitudes, and the reading at the same index is shown.
  void follow() override;

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
  // The scroll bar's range: the amplitudes of the last computation.
  void spanAmplitudes();

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
