// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "model/Model.h"

#include "time/TransScalesDlg.h"

#include "app/DialogButtons.h"
#include "app/Messages.h"
#include "model/NumberEntry.h"
#include "plot/TRChart.h"
#include "time/TransChild.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TTransScalesDlg::TTransScalesDlg(TTransChildForm* child, QWidget* parent)
    : QDialog(parent), child_(child)
{
  setObjectName(QStringLiteral("TransScalesDlg"));
  auto* grid = new QGridLayout;
  const auto edit = [this, grid](const char* name, const QString& caption, int row, int column) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    e->installEventFilter(this);
    auto* label = new QLabel(caption, this);
    label->setBuddy(e);
    grid->addWidget(label, row, column);
    grid->addWidget(e, row, column + 1);
    return e;
  };
  XminEdit = edit("XminEdit", tr("X min"), 0, 0);
  XmaxEdit = edit("XmaxEdit", tr("X max"), 0, 2);
  YminEdit = edit("YminEdit", tr("Y min"), 1, 0);
  YmaxEdit = edit("YmaxEdit", tr("Y max"), 1, 2);
  DurationEdit = edit("DurationEdit", tr("Duration"), 2, 0);
  npointsEdit = edit("npointsEdit", tr("No of points"), 2, 2);
  lastEntered_ = XminEdit;
  for (QLineEdit* e : {XminEdit, XmaxEdit, YminEdit, YmaxEdit})
    connect(e, &QLineEdit::textEdited, this, [this] { rangesChanged_ = true; });
  connect(DurationEdit, &QLineEdit::textEdited, this, [this] { durationChanged_ = true; });
  connect(npointsEdit, &QLineEdit::textEdited, this, [this] { pointsChanged_ = true; });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TTransScalesDlg::OKBtnClick);
}

bool TTransScalesDlg::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched))
      lastEntered_ = e;
  return QDialog::eventFilter(watched, event);
}

int TTransScalesDlg::Execute()
{
  if (!child_) {
    ShowWarning(parentWidget(), QStringLiteral("Null child pointer"));
    return QDialog::Rejected;
  }
  const TRANSTAT& st = child_->settings();
  const bool phase = st.plotType == TransPlot::PhasePlane;
  setWindowTitle(phase ? tr("Phase plane scales") : tr("Time response scales"));
  const TRChart* c = child_->chart();
  ShowNumberInEdit(XminEdit, c->RangeLoX());
  ShowNumberInEdit(XmaxEdit, c->RangeHiX());
  ShowNumberInEdit(YminEdit, c->RangeLoY());
  ShowNumberInEdit(YmaxEdit, c->RangeHiY());
  ShowNumberInEdit(DurationEdit, st.duration);
  ShowNumberInEdit(npointsEdit, st.points);
  rangesChanged_ = durationChanged_ = pointsChanged_ = false;
  return ExecModal(*this);
}

void TTransScalesDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  lastEntered_->setFocus();
  lastEntered_->selectAll();
}

void TTransScalesDlg::focus(QLineEdit* edit)
{
  edit->setFocus();
  edit->selectAll();
}

bool TTransScalesDlg::read(QLineEdit* edit, double& value)
{
  if (ReadNumber(edit, value))
    return true;
  focus(edit);
  return false;
}

void TTransScalesDlg::OKBtnClick()
{
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0, duration = 0, points = 0;
  if (rangesChanged_) {
    if (!read(XminEdit, x1) || !read(XmaxEdit, x2) || !read(YminEdit, y1) || !read(YmaxEdit, y2))
      return;
    if (!(x1 < x2) || !(y1 < y2)) {
      ShowWarning(this, QStringLiteral("Max must exceed Min"));
      focus(!(x1 < x2) ? XmaxEdit : YmaxEdit);
      return;
    }
  }
  if (durationChanged_ &&
      (!read(DurationEdit, duration) || !CheckRange(this, ranges::kDuration, duration))) {
    focus(DurationEdit);
    return;
  }
  // In range before it becomes a whole number: 1000.5 is refused, not taken as 1000.
  if (pointsChanged_ && (!read(npointsEdit, points) || !CheckRange(this, ranges::kTimePoints, points))) {
    focus(npointsEdit);
    return;
  }

  TRANSTAT& st = child_->settings();
  if (durationChanged_)
    st.duration = duration;
  if (pointsChanged_)
    st.points = static_cast<int>(points);
  if (rangesChanged_) {
    TRChart* c = child_->chart();
    c->SetRangeLoX(x1);
    c->SetRangeHiX(x2);
    c->SetRangeLoY(y1);
    c->SetRangeHiY(y2);
    c->ShowGraph();
  }
  accept();
}
