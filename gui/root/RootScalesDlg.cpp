#include "gui/root/RootScalesDlg.h"

#include "engine/model/ValueRanges.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/root/RootChild.h"

#include <QLineEdit>

TRootScalesDlg::TRootScalesDlg(TRootChildForm* window)
    : TAxesPointsDlg(window, "RootScalesDlg", tr("Root-locus scales"), false), window_(window)
{
}

int TRootScalesDlg::Execute()
{
  return execute(window_ != nullptr, scales.axes, scales.points);
}

void TRootScalesDlg::OKBtnClick()
{
  if (!window_)
    return;
  RootScales typed = scales;
  if (rangesChanged_) {
    double lim[3] = {};  // x min, x max, y min
    QLineEdit* const edits[3] = {XminEdit, XmaxEdit, YminEdit};
    for (int i = 0; i < 3; ++i)
      if (!ReadNumber(edits[i], lim[i]))
        return;
    if (!MaxExceedsMin(lim[0], lim[1])) {
      ShowWarning(this, QLatin1String(kMaxMustExceedMin));
      XmaxEdit->setFocus();
      return;
    }
    // As the trace checks them (the chart would quietly make them sane).
    const ValueRange* const axis[3] = {&ranges::kXAxisMin, &ranges::kXAxisMax, &ranges::kYAxisMin};
    for (int i = 0; i < 3; ++i)
      if (!CheckRange(this, *axis[i], lim[i])) {
        focusEntry(edits[i]);
        return;
      }
    typed.axes.xMin = lim[0];
    typed.axes.xMax = lim[1];
    typed.axes.yMin = lim[2];
  }
  if (pointsChanged_) {
    double n = 0.0;
    // Checked before it becomes a whole number: 1000.5 is out of range.
    if (!ReadNumber(npointsEdit, n) || !CheckRange(this, ranges::kRootPoints, n)) {
      focusEntry(npointsEdit);
      return;
    }
    typed.points = static_cast<std::int32_t>(n);
  }
  const QString refusal = take ? take(typed) : QString();
  if (!refusal.isEmpty()) {
    ShowWarning(this, refusal);
    focusEntry(rangesChanged_ ? XminEdit : npointsEdit);
    return;
  }
  scales = typed;
  accept();
}
