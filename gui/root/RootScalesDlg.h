#pragma once
// "Root-locus scales": the rectangle of the root window's current chart
// (x min, x max and y min; the y max follows from the isometric chart) and
// the tracer's number of points. Nothing is traced: the next Go uses them.
//
// The dialog edits a copy: the window fills scales before Execute, and OK
// hands what was typed to take, which the window uses to apply it or to
// refuse it (a rectangle the chart's shape makes too tall to trace).

#include "gui/dialogs/AxesPointsDlg.h"
#include "gui/dialogs/ScalesDialog.h"

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class TRootChildForm;

// What the dialog edits: the chart's ranges (its y max is only shown) and
// the number of points.
struct RootScales {
  AxisRanges axes;
  std::int32_t points = 0;
};

class TRootScalesDlg : public TAxesPointsDlg {
  Q_OBJECT
public:
  // The dialog of window (its parent).
  explicit TRootScalesDlg(TRootChildForm* window);

  // Shown when the dialog runs; after OK with what was typed (the ranges
  // only where rangesEdited()).
  RootScales scales;
  // Called on OK with the checked entries: an empty text when the window
  // took them, else the warning to show, the dialog staying open.
  std::function<QString(const RootScales&)> take;

  // Shows scales and runs the dialog modally; returns its result. Without a
  // window: "Null child pointer".
  int Execute();
  void OKBtnClick() override;

private:
  QPointer<TRootChildForm> window_;
};
