#pragma once
// "Nonlinear cursor": walks the input axis of a nonlinear window's chart in
// N steps with a scroll bar, evaluating the nonlinearities of the last Go at
// each position (hyst remembers the path walked), with a crosshair on the
// chart, absolute or relative read-outs, marks and the evaluator.

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
