#pragma once
// "Nonlinear scales": the axis ranges of a nonlinear window's chart and the
// number of points of its sweep, set by the window and taken back after OK.
// The input range of the sweep stays: it follows the chart only at
// autoscale, zoom-in and zoom back.

#include "gui/dialogs/AxesPointsDlg.h"

#include <QPointer>

#include <cstdint>

class TNlinChildForm;

class TNlinScalesDlg : public TAxesPointsDlg {
  Q_OBJECT

public:
  // The dialog of window (its parent).
  explicit TNlinScalesDlg(TNlinChildForm* window);

  // Shown when the dialog runs; after OK with what was typed.
  AxisRanges axes;
  std::int32_t points = 0;

  // Shows axes and points and runs the dialog modally; returns its
  // result. Without a window: "Null child pointer".
  int Execute();
  void OKBtnClick() override;

private:
  QPointer<TNlinChildForm> window_;
};
