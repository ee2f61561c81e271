#include "gui/nlin/NlinScalesDlg.h"

#include "engine/base/Error.h"
#include "engine/model/ValueRanges.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/nlin/NlinChild.h"

#include <QLineEdit>

namespace {
// A number typed as an expression; a parse or evaluation error is reported
// and counts as a failed read, with the focus back in the edit.
bool ReadEntry(QLineEdit* edit, double& value)
{
  ClearError();
  double v = 0.0;
  if (!ReadNumber(edit, v))
    return false;
  if (ErrorPending()) {
    ReportError(edit->window());
    edit->setFocus();
    return false;
  }
  value = v;
  return true;
}
}  // namespace

TNlinScalesDlg::TNlinScalesDlg(TNlinChildForm* window)
    : TAxesPointsDlg(window, "NlinScalesDlg", tr("Nonlinear scales"), true), window_(window)
{
}

int TNlinScalesDlg::Execute()
{
  return execute(window_ != nullptr, axes, points);
}

void TNlinScalesDlg::OKBtnClick()
{
  if (!window_)
    return;
  double lim[4] = {};  // x min, x max, y min, y max
  if (rangesChanged_) {
    QLineEdit* const edits[4] = {XminEdit, XmaxEdit, YminEdit, YmaxEdit};
    for (int i = 0; i < 4; ++i)
      if (!ReadEntry(edits[i], lim[i]))
        return;
    if (!MaxExceedsMin(lim[0], lim[1]) || !MaxExceedsMin(lim[2], lim[3])) {
      ShowWarning(this, QLatin1String(kMaxMustExceedMin));
      return;
    }
    // The x range becomes the input range of the next characteristic.
    const ValueRange* const axis[2] = {&ranges::kXAxisMin, &ranges::kXAxisMax};
    for (int i = 0; i < 2; ++i)
      if (!CheckRange(this, *axis[i], lim[i])) {
        edits[i]->setFocus();
        return;
      }
  }
  double n = 0.0;
  if (pointsChanged_) {
    // Checked before it becomes a whole number: 1000.5 is out of range.
    if (!ReadEntry(npointsEdit, n))
      return;
    if (!CheckRange(this, ranges::kNlinPoints, n)) {
      focusEntry(npointsEdit);
      return;
    }
    points = static_cast<std::int32_t>(n);
  }
  if (rangesChanged_)
    axes = {lim[0], lim[1], lim[2], lim[3]};
  accept();
}
