#include "gui/nlin/NlinChild.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/nlin/NlinDraw.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/chart/TRChart.h"
#include "gui/nlin/NlinCursorDlg.h"
#include "gui/nlin/NlinScalesDlg.h"

TNlinChildForm::TNlinChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent), stat_(std::make_unique<NLINSTAT>())
{
  setObjectName(QStringLiteral("NlinChildForm"));
  setWindowTitle(QStringLiteral("Nonlinearity"));
  setProperty("helpContext", 20);

  AddNonlinearityItems(AddMenu(tr("&Settings")));
  AddGraphItems(AddMenu(tr("&Graph")), "Wipe1", "Cursor1", tr("&Cursor"));
  // x unchanged by autoscale: the input axis is the user's choice.
  SetUpChart(kNlinChart, "Input = %s,  Output = %s", -1, 5);
  CreateNonlinearCurve(*stat_, chart()->RangeLoX(), chart()->RangeHiX());
  graph().setAfterRangeChange([this](RangeChange why) { rangesChanged(why); });
  // The read-out empties the status bar on every move: the note comes back.
  graph().setReadoutHook([this](const ReadoutPoint&) { showCutNote(); });
  SyncLoopState();
}

TNlinChildForm::~TNlinChildForm() = default;

void TNlinChildForm::Go1Click()
{
  const Loop loop = DecodeNlinLoop(Sys());
  if (!NlinGo(loop, *stat_, LoopContext(loop, ActiveDomain::Nonlinear), PensOf(Sys()), chart()->Items())) {
    // The curves on the chart no longer show the loop as it is: no cursor
    // or autoscale on them.
    hasPlot_ = false;
    ReportError(this);
    return;
  }
  chart()->SetCaption(QLatin1String(CharacteristicCaption(stat_->result)));
  // The caption changed too: redraw the whole chart, not only the new curve.
  chart()->ShowGraph();
  hasPlot_ = true;
  cut_ = stat_->result.cut;
  SetStatusPanel(2, cut_ ? QLatin1String(kNlinCutNote) : QString());
}

void TNlinChildForm::Wipe1Click()
{
  chart()->SetCaption(QString());
  TDomainChildForm::Wipe1Click();
  if (cut_)
    SetStatusPanel(2, QString());
  cut_ = false;
}

void TNlinChildForm::Plotcursor1Click()
{
  Go1Click();
  if (!hasPlot_)
    return;
  graph().CancelMouseMode();
  OpenCursor<TNlinCursorDlg>(*chart(), *stat_, this);
}

void TNlinChildForm::Scales1Click()
{
  graph().CancelMouseMode();
  if (!scalesDlg_)
    scalesDlg_ = new TNlinScalesDlg(this);
  scalesDlg_->axes = RangesOf(*chart());
  scalesDlg_->points = stat_->points;
  if (scalesDlg_->Execute() != QDialog::Accepted)
    return;
  stat_->points = scalesDlg_->points;
  if (scalesDlg_->rangesEdited()) {
    const AxisRanges& r = scalesDlg_->axes;
    chart()->ZoomTo(r.xMin, r.yMin, r.xMax, r.yMax);
    chart()->ShowGraph();
  }
}

void TNlinChildForm::rangesChanged(RangeChange why)
{
  if (why == RangeChange::Pan)
    return;
  if (!SetInputRange(*stat_, chart()->RangeLoX(), chart()->RangeHiX()))
    ReportError(this);
}

void TNlinChildForm::showCutNote()
{
  if (cut_)
    SetStatusPanel(2, QLatin1String(kNlinCutNote));
}
