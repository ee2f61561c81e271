#include "gui/time/TransScalesDlg.h"

#include "engine/model/ValueRanges.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/time/TransChild.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TTransScalesDlg::TTransScalesDlg(TTransChildForm* child, QWidget* parent)
    : TScalesDialog(parent, "TransScalesDlg"), child_(child)
{
  auto* grid = new QGridLayout;
  const QString widest(12, QLatin1Char('0'));
  const auto edit = [&](const char* name, const QString& caption, int row, int column, bool* changed) {
    QLineEdit* e = newEntry(this, name, widest, changed);
    auto* label = new QLabel(caption, this);
    label->setBuddy(e);
    grid->addWidget(label, row, column);
    grid->addWidget(e, row, column + 1);
    return e;
  };
  XminEdit = edit("XminEdit", tr("X min"), 0, 0, &rangesChanged_);
  XmaxEdit = edit("XmaxEdit", tr("X max"), 0, 2, &rangesChanged_);
  YminEdit = edit("YminEdit", tr("Y min"), 1, 0, &rangesChanged_);
  YmaxEdit = edit("YmaxEdit", tr("Y max"), 1, 2, &rangesChanged_);
  DurationEdit = edit("DurationEdit", tr("Duration"), 2, 0, &durationChanged_);
  npointsEdit = edit("npointsEdit", tr("No of points"), 2, 2, &pointsChanged_);
  setLastEntered(XminEdit);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TTransScalesDlg::OKBtnClick);
}

int TTransScalesDlg::Execute()
{
  if (!child_) {
    ShowWarning(parentWidget(), QStringLiteral("Null child pointer"));
    return QDialog::Rejected;
  }
  const bool phase = child_->settings().plotType == TransPlot::PhasePlane;
  setWindowTitle(phase ? tr("Phase plane scales") : tr("Time response scales"));
  showRanges(axes, XminEdit, XmaxEdit, YminEdit, YmaxEdit);
  ShowNumberInEdit(DurationEdit, duration);
  ShowNumberInEdit(npointsEdit, points);
  rangesChanged_ = durationChanged_ = pointsChanged_ = false;
  return ExecModal(*this);
}

bool TTransScalesDlg::read(QLineEdit* edit, double& value)
{
  if (ReadNumber(edit, value))
    return true;
  focusEntry(edit);
  return false;
}

void TTransScalesDlg::OKBtnClick()
{
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0, d = 0, n = 0;
  if (rangesChanged_) {
    if (!read(XminEdit, x1) || !read(XmaxEdit, x2) || !read(YminEdit, y1) || !read(YmaxEdit, y2))
      return;
    if (!MaxExceedsMin(x1, x2) || !MaxExceedsMin(y1, y2)) {
      ShowWarning(this, QLatin1String(kMaxMustExceedMin));
      focusEntry(!MaxExceedsMin(x1, x2) ? XmaxEdit : YmaxEdit);
      return;
    }
  }
  if (durationChanged_ && (!read(DurationEdit, d) || !CheckRange(this, ranges::kDuration, d))) {
    focusEntry(DurationEdit);
    return;
  }
  // In range before it becomes a whole number: 1000.5 is refused, not taken as 1000.
  if (pointsChanged_ && (!read(npointsEdit, n) || !CheckRange(this, ranges::kTimePoints, n))) {
    focusEntry(npointsEdit);
    return;
  }

  if (durationChanged_)
    duration = d;
  if (pointsChanged_)
    points = static_cast<int>(n);
  if (rangesChanged_)
    axes = {x1, x2, y1, y2};
  accept();
}
