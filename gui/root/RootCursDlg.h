#pragma once
// "Root locus cursor": walks the points of the locus the root window has
// just traced, in store order (branch after branch), with a crosshair on the
// chart, and shows each point's coordinates, radius, angle, the gain that
// puts a closed-loop pole there and the kind of point, absolute or relative
// to a reference point. "Set gain" makes that gain the loop gain K.

#include "engine/root/RootReadouts.h"
#include "gui/dialogs/CursorDialog.h"

class QLineEdit;
class QScrollBar;
class TRChart;
class TRootChildForm;

class TRootCursDlg : public TCursorDialog {
  Q_OBJECT
public:
  explicit TRootCursDlg(TRootChildForm& window);

  // Attaches to the window's current chart and traced locus and shows the
  // dialog beside the window, where it stays while the design is dragged;
  // false, with nothing shown, when the window holds no locus.
  bool Open();
  void follow() override;

  void ScrollBar1Change() { showReading(); }
  // The current point becomes the reference; a gain below 1e-10 stays
  // absolute, with a warning.
  void RelativeBtnClick();
  // A tick in Pen2 at the point, labelled with its gain when mark labels
  // are on.
  void MarkBtnClick();
  // Loop gain K := the locus gain at the point; refused with a message
  // where it is infinite, zero or of the wrong sign.
  void SetGainBtnClick();

protected:
  void showEvent(QShowEvent* event) override;
  void forgetReference() override;
  // Reads the point at the scroll bar, moves the crosshair, fills the boxes.
  void showReading() override;

private:
  TRootChildForm& window_;
  ROOTSTAT& rec_;
  TRChart* chart_ = nullptr;
  CursorReadout at_;
  CursorReference ref_;

  QScrollBar* ScrollBar1;
  QLineEdit* RealValue;
  QLineEdit* ImagValue;
  QLineEdit* RadiusValue;
  QLineEdit* AngleValue;
  QLineEdit* GainValue;
  QLineEdit* BranchValue;
};
