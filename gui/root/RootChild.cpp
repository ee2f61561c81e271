#include "engine/model/Loop.h"
#include "engine/model/Model.h"
#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"
#include "engine/root/RootReadouts.h"
#include "engine/root/RootReport.h"

#include "gui/root/RootChild.h"

#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/dialogs/ContoursDlg.h"
#include "gui/dialogs/Edit1Dlg.h"
#include "gui/base/NumberEntry.h"
#include "engine/chart/Readout.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/root/RootCursDlg.h"
#include "engine/root/RootDraw.h"
#include "gui/root/RootReportForm.h"
#include "gui/root/RootScalesDlg.h"

#include <QAction>
#include <QLayout>
#include <QMenu>

#include <cmath>
#include <exception>

namespace {

using Handler = void (TDomainChildForm::*)();

// The window's own handlers as menu handlers (they are only ever called on
// this window).
template <typename F> Handler Own(F handler) { return static_cast<Handler>(handler); }

// Records the window's elements in the document, as every command of the
// window that decodes the loop does (the diagram shows the kind, a new
// window starts with the elements), and decodes the loop into rec.
bool PrepareWindowLoop(ROOTSTAT& rec)
{
  RecordGo(Sys(), ActiveDomain::Root, rec.loop);
  return PrepareRootLoop(Sys(), rec);
}

}  // namespace

TRootChildForm::TRootChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent), stat_(CreateRootLocus(Sys()))
{
  setObjectName(QStringLiteral("RootChildForm"));
  setWindowTitle(QStringLiteral("Root"));
  setProperty("helpContext", 27);
  setMinimumSize(240, 160);

  AddLoopItems(addMenu(tr("&Settings")), tr("&Open loop poles"), "Openlooppoles1", tr("&Closed loop poles"));
  QMenu* graphMenu = addMenu(tr("&Graph"));
  AddGraphItems(graphMenu, "Wipe2", "Cursor1", tr("&Cursor"));
  // The contours and the unit circle go between Pan and the graticule.
  QAction* graticule = graphMenu->findChild<QAction*>(QStringLiteral("Graticulevisible1"));
  graphMenu->insertAction(graticule, addItem(graphMenu, "Dampingratiocontour1", tr("&Damping ratio contour"),
                                         QKeySequence(Qt::CTRL | Qt::Key_R),
                                         Own(&TRootChildForm::Dampingratiocontour1Click)));
  graphMenu->insertAction(graticule, addItem(graphMenu, "Settlingtimecontour1", tr("5% settling time contour"),
                                         QKeySequence(), Own(&TRootChildForm::Settlingtimecontour1Click)));
  unitCircleItem_ = addItem(graphMenu, "Unitcircle1", tr("&Unit circle"), QKeySequence(Qt::CTRL | Qt::Key_U),
                            Own(&TRootChildForm::Unitcircle1Click));
  unitCircleItem_->setCheckable(true);
  graphMenu->insertAction(graticule, unitCircleItem_);

  SetUpChart(kSplaneChart, "Real = %s, Imag = %s", 100, 100);
  charts_[0] = chart();
  charts_[1] = AddChart(kZplaneChart);

  // Polar coordinates after Relative mode, the damping contours after the
  // graticule.
  const QList<QAction*> popup = popup_->actions();
  polarItem_ = addItem(popup_, "Polarcoordinates1", tr("P&olar coordinates"), QKeySequence(),
                       Own(&TRootChildForm::Polarcoordinates1Click));
  polarItem_->setCheckable(true);
  popup_->insertAction(popup.value(2), polarItem_);
  popup_->insertAction(popup.value(4),
                       addItem(popup_, "Dampingratiocontour2", tr("&Damping ratio contour..."), QKeySequence(),
                               Own(&TRootChildForm::Dampingratiocontour1Click)));

  GraphHints hints;
  hints.cancelZoomIn = QStringLiteral("cancel zoom in|");
  graph().setHints(hints);
  graph().setAfterRangeChange([this](RangeChange) {
    ReapplyIsometric();
    chart()->ShowGraph();
  });
  graph().setReadoutHook([this](const ReadoutPoint& p) { ShowStatus(p.x, p.y, p.dx, p.dy); });

  RootRefresh();
  SyncLoopState();
}

TRootChildForm::~TRootChildForm() = default;

void TRootChildForm::ReapplyIsometric()
{
  chart()->SetIsometric(false);
  chart()->SetIsometric(true);
}

bool TRootChildForm::SelectChart()
{
  TRChart* want = charts_[plane()];
  const bool changed = want != chart();
  if (changed) {
    // Leaves zoom, pan and relative mode; the chart gets its size now, so
    // that its ranges are those of its shape.
    ShowChart(want);
    layout()->activate();
  }
  hasPlot_ = traced();
  unitCircleItem_->setEnabled(stat_->zPlane);
  unitCircleItem_->setChecked(stat_->zPlane && unitCircle_);
  graph().syncGraticuleChecks();
  ReapplyIsometric();
  return changed;
}

void TRootChildForm::DrawMarks(bool loopValid)
{
  // The marks of the loop as it was would read as poles that are not there.
  chart()->RemoveItemsIf(IsPoleZeroMark);
  // Root sets left from a loop that failed to validate are not the loop's.
  if (loopValid)
    DrawPoleZeroMarks(chart()->Items(), stat_->decoded.model.denRoots, stat_->decoded.model.numRoots, PensOf(Sys()));
  if (stat_->zPlane && unitCircle_)
    DrawUnitCircle(chart()->Items());
  chart()->ShowGraph();
}

bool TRootChildForm::EnterPlane()
{
  const bool valid = PrepareWindowLoop(*stat_);
  // The plane changed since this window last looked (the sample-hold time
  // was edited while another window was active): its chart gets its marks.
  if (SelectChart())
    DrawMarks(valid);
  return valid;
}

void TRootChildForm::RootRefresh()
{
  const bool valid = PrepareWindowLoop(*stat_);
  SelectChart();
  DrawMarks(valid);
  // The loop's fault, if any, is reported by the next command that computes.
  ClearError();
  Sys().strictCheck = false;
}

void TRootChildForm::ModelEdited(ModelEdit)
{
  if (Sys().activeDomain == ActiveDomain::Root)
    RootRefresh();
}

bool TRootChildForm::EnterPlaneForTrace()
{
  ClearError();
  if (!EnterPlane()) {
    ReportError(this);
    return false;
  }
  const TRChart* c = chart();
  SetWindow(*stat_, c->RangeLoX(), c->RangeHiX(), c->RangeLoY(), c->RangeHiY());
  return true;
}

void TRootChildForm::Go1Click()
{
  if (!EnterPlaneForTrace())
    return;
  if (!RootGo(Sys(), *stat_, GeometryOf(*chart()), PensOf(Sys()), chart()->Items())) {
    ReportError(this);
    return;
  }
  chart()->ShowGraph();
  traced_[plane()] = true;
  hasPlot_ = true;
}

void TRootChildForm::Wipe1Click()
{
  graph().CancelMouseMode();
  const bool valid = PrepareWindowLoop(*stat_);
  SelectChart();
  chart()->ClearGraph();
  DrawMarks(valid);
  ClearError();
  traced_[plane()] = false;
  hasPlot_ = false;
}

void TRootChildForm::Plotcursor1Click()
{
  Go1Click();
  // A failed trace publishes no points: the cursor opens only on a locus.
  if (!traced() || CursorPointCount(*stat_) == 0)
    return;
  graph().CancelMouseMode();
  TRootCursDlg dlg(*this);
  dlg.Execute();
}

void TRootChildForm::Scales1Click()
{
  graph().CancelMouseMode();
  if (!scales_)
    scales_ = new TRootScalesDlg(this);
  scales_->Execute();
}

void TRootChildForm::Autoscale1Click()
{
  graph().CancelMouseMode();
  ClearError();
  if (!EnterPlane()) {
    ReportError(this);
    return;
  }
  const bool wasTraced = traced();
  if (stat_->decoded.model.denRoots.n == 0 && stat_->decoded.model.numRoots.n == 0)
    return;
  // The rectangle is fitted to the marks (and the unit circle), not to a
  // locus that may run to the edges.
  Wipe1Click();
  if (GraphInteractions::AutoscaleChart(*chart(), 100, 100))
    ReapplyIsometric();
  if (wasTraced)
    Go1Click();
  chart()->ShowGraph();
}

void TRootChildForm::PopupMenu1Popup()
{
  SelectChart();
  TDomainChildForm::PopupMenu1Popup();
}

void TRootChildForm::Dampingratiocontour1Click()
{
  try {
    TContoursDlg dlg(this);
    dlg.setWindowTitle(tr("Damping ratio contour"));
    dlg.setLabels(QLatin1String(ranges::kDampingStart.quantity), QLatin1String(ranges::kDampingEnd.quantity),
                  QString());
    dlg.lowLimit = ranges::kDampingStart.low;
    dlg.highLimit = ranges::kDampingStart.high;
    ContourSteps& d = stat_->dampingContours;
    dlg.setValues(d.start, d.end, d.step);
    if (ExecModal(dlg) != QDialog::Accepted)
      return;
    d = {dlg.startValue, dlg.endValue, dlg.increment};
  } catch (const std::exception&) {
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem with zeta dialogue"),
                MsgIcon::Exclamation);
    return;
  }
  if (!EnterPlaneForTrace())
    return;
  double zetas[kMaxDampingContours];
  const ContourSteps& d = stat_->dampingContours;
  const int n = DampingRatios(d.start, d.end, d.step, zetas, kMaxDampingContours);
  for (int i = 0; i < n; ++i) {
    if (!DampingContour(*stat_, zetas[i])) {
      chart()->ShowGraph();
      ReportError(this);
      return;
    }
    DrawDampingContour(chart()->Items(), *stat_, zetas[i], PensOf(Sys()));
  }
  chart()->ShowGraph();
}

void TRootChildForm::Settlingtimecontour1Click()
{
  try {
    TEdit1Dlg dlg(this);
    dlg.setWindowTitle(QLatin1String(ranges::kSettlingTime.quantity));
    dlg.lowLimit = ranges::kSettlingTime.low;
    dlg.highLimit = ranges::kSettlingTime.high;
    ShowNumberInEdit(dlg.edit(), stat_->settlingTime);
    // Cancelled, the contour of the time there was is drawn all the same.
    if (ExecModal(dlg) == QDialog::Accepted)
      stat_->settlingTime = dlg.value;
  } catch (const std::exception&) {
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem with ts dialogue"),
                MsgIcon::Exclamation);
    return;
  }
  if (!EnterPlaneForTrace())
    return;
  if (!SettlingContour(Sys(), *stat_)) {
    ReportError(this);
    return;
  }
  DrawSettlingContour(chart()->Items(), *stat_, PensOf(Sys()));
  chart()->ShowGraph();
}

void TRootChildForm::Unitcircle1Click()
{
  if (!stat_->zPlane) {
    unitCircleItem_->setChecked(false);
    return;
  }
  unitCircle_ = !unitCircle_;
  unitCircleItem_->setChecked(unitCircle_);
  if (!unitCircle_) {
    // The circle cannot be taken back alone: the chart is wiped.
    Wipe1Click();
    return;
  }
  DrawUnitCircle(chart()->Items());
  chart()->ShowGraph();
}

void TRootChildForm::Polarcoordinates1Click()
{
  polar_ = !polar_;
  polarItem_->setChecked(polar_);
}

void TRootChildForm::ShowStatus(double x, double y, double dx, double dy)
{
  if (polar_) {
    const double m = std::sqrt(dx * dx + dy * dy);
    const ReadoutArg args[2] = {{m, nullptr}, {m > 0 ? ArcTanA(dx, dy) * 180.0 / kPi : 0.0, nullptr}};
    char text[128];
    FormatReadout("Mag = %s, Ang = %s deg", Sys().numberFormat, args, 2, text, sizeof text);
    SetStatusPanel(1, QString::fromLatin1(text));
  }
  SetStatusPanel(2, QString::fromStdString(RootStatusAt(Sys(), *stat_, x, y).text));
}

void TRootChildForm::ShowPoleReport(bool closedLoop)
{
  ClearError();
  if (!EnterPlane() || !PrepareRootReport(Sys(), *stat_, closedLoop)) {
    ReportError(this);
    return;
  }
  TRootReportForm report(*chart(), stat_->report.poles, this);
  report.setWindowTitle(closedLoop ? tr("Closed-loop root locations") : tr("Open-loop root locations"));
  report.SetMarkVisible(closedLoop);
  report.Fill(BuildRootReport(stat_->report, Sys().numberFormat));
  ExecModal(report);
}
