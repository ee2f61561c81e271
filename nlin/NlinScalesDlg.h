#pragma once
// "Nonlinear scales": the axis ranges of a nonlinear window's chart and the
// number of points of its sweep. The input range of the sweep stays: it
// follows the chart only at autoscale, zoom-in and zoom back.

#include "app/AxesPointsDlg.h"

#include <QPointer>

class TNlinChildForm;

class TNlinScalesDlg : public TAxesPointsDlg {
  Q_OBJECT

public:
  // The dialog of window (its parent).
  explicit TNlinScalesDlg(TNlinChildForm* window);

  // Fills the edits from the window's chart and record and runs the dialog
  // modally; returns its result. Without a window: "Null child pointer".
  int Execute();
  void OKBtnClick() override;

private:
  QPointer<TNlinChildForm> window_;
};
