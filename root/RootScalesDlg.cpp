// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "root/RootEngine.h"

#include "root/RootScalesDlg.h"

#include "app/Messages.h"
#include "model/NumberEntry.h"
#include "model/ValueRanges.h"
#include "plot/TRChart.h"
#include "root/RootChild.h"

#include <QLineEdit>

TRootScalesDlg::TRootScalesDlg(TRootChildForm* window)
    : TAxesPointsDlg(window, "RootScalesDlg", tr("Root-locus scales"), false), window_(window)
{
}

int TRootScalesDlg::Execute()
{
  return execute(window_ ? window_->chart() : nullptr, window_ ? window_->record().points : 0);
}

void TRootScalesDlg::OKBtnClick()
{
  if (!window_)
    return;
  double lim[3] = {};  // x min, x max, y min
  if (rangesChanged_) {
    QLineEdit* const edits[3] = {XminEdit, XmaxEdit, YminEdit};
    for (int i = 0; i < 3; ++i)
      if (!ReadNumber(edits[i], lim[i]))
        return;
    if (!(lim[0] < lim[1])) {
      ShowWarning(this, QStringLiteral("Max must exceed Min"));
      XmaxEdit->setFocus();
      return;
    }
  }
  double n = 0.0;
  // Checked before it becomes a whole number: 1000.5 is out of range.
  if (pointsChanged_ && (!ReadNumber(npointsEdit, n) || !CheckRange(this, ranges::kRootPoints, n))) {
    focusEntry(npointsEdit);
    return;
  }

  ROOTSTAT& rec = window_->record();
  if (pointsChanged_)
    rec.points = static_cast<int>(n);
  if (rangesChanged_) {
    TRChart& chart = *window_->chart();
    chart.SetRangeLoX(lim[0]);
    chart.SetRangeHiX(lim[1]);
    chart.SetRangeLoY(lim[2]);
    // The y maximum follows from the chart's shape.
    chart.SetIsometric(true);
    chart.ShowGraph();
    SetWindow(rec, chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY());
  }
  accept();
}
