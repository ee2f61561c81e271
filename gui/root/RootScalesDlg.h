#pragma once
// "Root-locus scales": the rectangle of the root window's current chart
// (x min, x max and y min; the y max follows from the isometric chart) and
// the tracer's number of points. Nothing is traced: the next Go uses them.

#include "gui/dialogs/AxesPointsDlg.h"

#include <QPointer>

class TRootChildForm;

class TRootScalesDlg : public TAxesPointsDlg {
  Q_OBJECT
public:
  // The dialog of window (its parent).
  explicit TRootScalesDlg(TRootChildForm* window);

  // Fills the edits from the window's chart and record and runs the dialog
  // modally; returns its result. Without a window: "Null child pointer".
  int Execute();
  void OKBtnClick() override;

private:
  QPointer<TRootChildForm> window_;
};
