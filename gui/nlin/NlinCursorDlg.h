#pragma once
// "Nonlinear cursor": walks the input axis of a nonlinear window's chart in
// N steps with a scroll bar, evaluating the nonlinearities of the last Go at
// each position (hyst remembers the path walked), with a crosshair on the
// chart, absolute or relative read-outs, marks and the evaluator. Opened
// with Open it stays beside its window and reads the window's new
// characteristic at the same position while a drag of the design goes on.

#include "engine/nlin/NlinEngine.h"
#include "gui/dialogs/CursorDialog.h"

class QLineEdit;
class QScrollBar;
class TRChart;

class TNlinCursorDlg : public TCursorDialog {
  Q_OBJECT

public:
  // A cursor on chart reading the characteristic computed in rec.
  TNlinCursorDlg(TRChart& chart, const NLINSTAT& rec, QWidget* parent = nullptr);

  // Shows the dialog beside the window; false, with nothing shown, when
  // the record holds no characteristic.
  bool Open();
  // The window swept the characteristic again, which ran hyst's memory:
  // the walk starts again at the left end of the axis, as at opening, and
  // goes straight to the cursor's position (without memory the reading is
  // the one a freshly opened cursor moved there shows). Where the
  // nonlinearity cannot be evaluated the reading is empty; no message
  // interrupts the drag.
  void follow() override;

  // Moves the cursor to the scroll bar's position and shows the reading.
  void ScrollBar1Change();
  // Takes the cursor's point as the reference of the read-outs.
  void RelativeBtnClick();
  // Marks the cursor's point on the chart, with its coordinates when mark
  // labels are on.
  void MarkBtnClick();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  void forgetReference() override;
  // The crosshair at the reading and the read-outs, without evaluating.
  void showReading() override;

private:
  // Evaluates the reading at the scroll bar's position; false where the
  // nonlinearity cannot be evaluated (its message pending).
  bool evaluate();

  TRChart& chart_;
  const NLINSTAT& rec_;
  NlinCursor walk_;
  bool walking_ = false;      // shown: the markers belong on the chart
  bool valid_ = false;        // the reading evaluated without error
  double x_ = 0.0, y_ = 0.0;  // the reading
  double refX_ = 0.0, refY_ = 0.0;

  QScrollBar* ScrollBar1;
  QLineEdit* XValue;
  QLineEdit* YValue;
};
