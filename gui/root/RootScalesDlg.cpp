#include "engine/root/RootEngine.h"

#include "gui/root/RootScalesDlg.h"

#include "engine/base/Error.h"
#include "engine/model/ValueRanges.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"
#include "gui/root/RootChild.h"

#include <QLineEdit>

TRootScalesDlg::TRootScalesDlg(TRootChildForm* window)
    : TAxesPointsDlg(window, "RootScalesDlg", tr("Root-locus scales"), false), window_(window)
{
}

int TRootScalesDlg::Execute()
{
  if (!window_)
    return execute(false, {}, 0);
  return execute(true, RangesOf(*window_->chart()), window_->record().points);
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
  }
  double n = 0.0;
  // Checked before it becomes a whole number: 1000.5 is out of range.
  if (pointsChanged_ && (!ReadNumber(npointsEdit, n) || !CheckRange(this, ranges::kRootPoints, n))) {
    focusEntry(npointsEdit);
    return;
  }

  ROOTSTAT& rec = window_->record();
  TRChart& chart = *window_->chart();
  const double before[4] = {chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY()};
  if (rangesChanged_) {
    chart.SetRangeLoX(lim[0]);
    chart.SetRangeHiX(lim[1]);
    chart.SetRangeLoY(lim[2]);
    // The y maximum follows from the chart's shape.
    chart.SetIsometric(true);
  }
  // The rectangle the next Go traces, refused here as Go would refuse it;
  // the chart keeps its ranges then.
  ClearError();
  if (!CheckLocusRectangle(chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY(),
                           pointsChanged_ ? static_cast<int>(n) : rec.points)) {
    chart.SetRangeLoX(before[0]);
    chart.SetRangeHiX(before[1]);
    chart.SetRangeLoY(before[2]);
    chart.SetRangeHiY(before[3]);
    ShowWarning(this, QString::fromLatin1(ErrorMessage()));
    ClearError();
    focusEntry(rangesChanged_ ? XminEdit : npointsEdit);
    return;
  }
  if (pointsChanged_)
    rec.points = static_cast<int>(n);
  if (rangesChanged_) {
    chart.ShowGraph();
    SetWindow(rec, chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY());
  }
  accept();
}
