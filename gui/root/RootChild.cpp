#include "engine/base/Error.h"
#include "engine/model/Loop.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"
#include "engine/root/RootReadouts.h"
#include "engine/root/RootReport.h"

#include "gui/root/RootChild.h"

#include "engine/chart/Readout.h"
#include "engine/root/RootDraw.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/dialogs/ContoursDlg.h"
#include "gui/dialogs/Edit1Dlg.h"
#include "gui/root/ParamLocusDlg.h"
#include "gui/root/RootCursDlg.h"
#include "gui/root/RootReportForm.h"
#include "gui/root/RootScalesDlg.h"
#include "gui/window/LiveDrag.h"

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace {

using Handler = void (TDomainChildForm::*)();

// The window's own handlers as menu handlers (they are only ever called on
// this window).
template <typename F>
Handler Own(F handler)
{
  return static_cast<Handler>(handler);
}

// A press this close to a closed-loop mark (pixels) grabs it.
constexpr double kGrabPixels = 8.0;

bool IsClosedLoopMark(const ChartItem& it)
{
  return it.kind == ItemKind::Mark && it.code == kMarkTriangle;
}

// Adds a copy of item it of list from to list to.
void AppendItem(DisplayList& to, const DisplayList& from, const ChartItem& it)
{
  switch (it.kind) {
    case ItemKind::Polyline: {
      const ChartPoint* p = from.points(it);
      for (std::size_t k = 0; k < it.count; ++k) {
        if (k == 0 && !it.continued)
          to.moveTo(p[k].x, p[k].y, it.colour);
        else
          to.drawTo(p[k].x, p[k].y, it.colour);
      }
      break;
    }
    case ItemKind::Mark:
      to.markAt(it.x, it.y, it.code, it.colour);
      break;
    case ItemKind::Text:
      to.textAt(it.x, it.y, it.text, it.code, it.colour);
      break;
    case ItemKind::Line:
      to.line(it.x, it.y, it.x2, it.y2, it.colour);
      break;
    case ItemKind::Ellipse:
      to.ellipse(it.x, it.y, it.x2, it.y2, it.colour);
      break;
  }
}

// Records the window's elements in the document, as every command of the
// window that decodes the loop does (the diagram shows the kind, a new
// window starts with the elements), and decodes the loop into rec.
bool PrepareWindowLoop(ROOTSTAT& rec)
{
  RecordGo(Sys(), ActiveDomain::Root, rec.loop);
  return PrepareRootLoop(DecodeRootLoop(Sys(), rec).roots, rec);
}

}  // namespace

TRootChildForm::TRootChildForm(QWidget* parent) : TDomainChildForm(kAbilities, parent), stat_(CreateRootLocus(Sys()))
{
  setObjectName(QStringLiteral("RootChildForm"));
  setWindowTitle(QStringLiteral("Root"));
  setProperty("helpContext", 27);
  setMinimumSize(240, 160);

  QMenu* settingsMenu = AddMenu(tr("&Settings"));
  AddLoopItems(settingsMenu, tr("&Open loop poles"), "Openlooppoles1", tr("&Closed loop poles"));
  settingsMenu->addAction(AddItem(settingsMenu, "Parameterlocus1", tr("&Parameter locus..."), QKeySequence(),
                                  Own(&TRootChildForm::Parameterlocus1Click)));
  QMenu* graphMenu = AddMenu(tr("&Graph"));
  AddGraphItems(graphMenu, "Wipe2", "Cursor1", tr("&Cursor"));
  // The contours and the unit circle go between Pan and the graticule.
  QAction* graticule = graphMenu->findChild<QAction*>(QStringLiteral("Graticulevisible1"));
  graphMenu->insertAction(graticule,
                          AddItem(graphMenu, "Dampingratiocontour1", tr("&Damping ratio contour"),
                                  QKeySequence(Qt::CTRL | Qt::Key_R), Own(&TRootChildForm::Dampingratiocontour1Click)));
  graphMenu->insertAction(graticule, AddItem(graphMenu, "Settlingtimecontour1", tr("5% settling time contour"),
                                             QKeySequence(), Own(&TRootChildForm::Settlingtimecontour1Click)));
  unitCircleItem_ = AddItem(graphMenu, "Unitcircle1", tr("&Unit circle"), QKeySequence(Qt::CTRL | Qt::Key_U),
                            Own(&TRootChildForm::Unitcircle1Click));
  unitCircleItem_->setCheckable(true);
  graphMenu->insertAction(graticule, unitCircleItem_);

  SetUpChart(kSplaneChart, "Real = %s, Imag = %s", 100, 100);
  charts_[0] = chart();
  charts_[1] = AddChart(kZplaneChart);

  // Polar coordinates after Relative mode, the damping contours after the
  // graticule.
  const QList<QAction*> popup = popup_->actions();
  polarItem_ = AddItem(popup_, "Polarcoordinates1", tr("P&olar coordinates"), QKeySequence(),
                       Own(&TRootChildForm::Polarcoordinates1Click));
  polarItem_->setCheckable(true);
  popup_->insertAction(popup.value(2), polarItem_);
  popup_->insertAction(popup.value(4), AddItem(popup_, "Dampingratiocontour2", tr("&Damping ratio contour..."),
                                               QKeySequence(), Own(&TRootChildForm::Dampingratiocontour1Click)));

  GraphHints hints;
  hints.cancelZoomIn = QStringLiteral("cancel zoom in|");
  graph().setHints(hints);
  graph().setAfterRangeChange([this](RangeChange) {
    ReapplyIsometric();
    chart()->ShowGraph();
  });
  graph().setReadoutHook([this](const ReadoutPoint& p) { ShowStatus(p.x, p.y, p.dx, p.dy); });

  for (TRChart* c : charts_)
    c->installEventFilter(this);

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
    DrawPoleZeroMarks(chart()->Items(), stat_->decoded.denRoots, stat_->decoded.numRoots, PensOf(Sys()));
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
  if (param_.on) {
    ParamGo();
    return;
  }
  if (!EnterPlaneForTrace())
    return;
  // EnterPlane has just decoded the loop into the record.
  if (!RootGo(stat_->decoded, *stat_, GeometryOf(*chart()), PensOf(Sys()), chart()->Items())) {
    ReportError(this);
    return;
  }
  chart()->ShowGraph();
  traced_[plane()] = true;
  hasPlot_ = true;
  tracedLoop_ = DefinitionOf(Sys());
  traceEnd_ = chart()->Items().size();
}

void TRootChildForm::ParamGo()
{
  if (!EnterPlaneForTrace())
    return;
  if (!paramLocus_)
    paramLocus_ = std::make_unique<ParamLocus>();
  const ParamSweep& sw = param_.sweep;
  if (!TraceParamLocus(Sys(), stat_->loop, sw, *paramLocus_)) {
    ReportError(this);
    return;
  }
  const ChartPens pens = PensOf(Sys());
  DrawParamLocus(chart()->Items(), *paramLocus_, 0.02 * (chart()->RangeHiX() - chart()->RangeLoX()), pens);
  for (int i = 0; i < param_.markCount; ++i) {
    RootSet roots;
    bool zPlane = false;
    // a mark where the loop fails has no roots to mark
    if (SweepRootsAt(Sys(), stat_->loop, sw.parameter, param_.marks[i], roots, zPlane))
      DrawParamMarks(chart()->Items(), roots, sw.parameter, param_.marks[i], pens);
    ClearError();
  }
  StoreParamLocus(*paramLocus_, *stat_);
  const ParamLocus& l = *paramLocus_;
  SetStatusPanel(
      2, l.interrupted
             ? QStringLiteral("Locus interrupted for %1 from %2 to %3: %4")
                   .arg(QLatin1String(SweptName(sw.parameter)), QString::fromStdString(FormatModelNumber(l.badFrom)),
                        QString::fromStdString(FormatModelNumber(l.badTo)), QString::fromLatin1(l.badMessage))
             : QString());
  chart()->ShowGraph();
  traced_[plane()] = true;
  hasPlot_ = true;
}

void TRootChildForm::Parameterlocus1Click()
{
  graph().CancelMouseMode();
  TParamLocusDlg dlg(param_, Sys(), stat_->loop, this);
  if (ExecModal(dlg) == QDialog::Accepted)
    param_ = dlg.settings;
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
  tinted_ = false;
}

void TRootChildForm::Plotcursor1Click()
{
  Go1Click();
  // A failed trace publishes no points: the cursor opens only on a locus.
  if (!traced() || CursorPointCount(*stat_) == 0)
    return;
  graph().CancelMouseMode();
  // One cursor per window: a new one starts afresh.
  OpenCursor<TRootCursDlg>(*this);
}

void TRootChildForm::Scales1Click()
{
  graph().CancelMouseMode();
  if (!scales_) {
    scales_ = new TRootScalesDlg(this);
    // The typed rectangle is put on the chart, whose shape gives its y max,
    // and checked as the next Go would check it: refused, the chart keeps
    // its ranges.
    scales_->take = [this](const RootScales& s) {
      TRChart& c = *chart();
      const bool rangesEdited = scales_->rangesEdited();
      const AxisRanges before = RangesOf(c);
      if (rangesEdited) {
        c.SetRangeLoX(s.axes.xMin);
        c.SetRangeHiX(s.axes.xMax);
        c.SetRangeLoY(s.axes.yMin);
        c.SetIsometric(true);
      }
      ClearError();
      if (!CheckLocusRectangle(c.RangeLoX(), c.RangeHiX(), c.RangeLoY(), c.RangeHiY(), s.points)) {
        c.SetRangeLoX(before.xMin);
        c.SetRangeHiX(before.xMax);
        c.SetRangeLoY(before.yMin);
        c.SetRangeHiY(before.yMax);
        const QString message = QString::fromLatin1(ErrorMessage());
        ClearError();
        return message;
      }
      stat_->points = s.points;
      if (rangesEdited) {
        c.ShowGraph();
        SetWindow(*stat_, c.RangeLoX(), c.RangeHiX(), c.RangeLoY(), c.RangeHiY());
      }
      return QString();
    };
  }
  scales_->scales = {RangesOf(*chart()), stat_->points};
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
  if (stat_->decoded.denRoots.n == 0 && stat_->decoded.numRoots.n == 0)
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
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem with zeta dialogue"), MsgIcon::Exclamation);
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
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem with ts dialogue"), MsgIcon::Exclamation);
    return;
  }
  if (!EnterPlaneForTrace())
    return;
  if (!SettlingContour(stat_->decoded, *stat_)) {
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
  Loop fresh;
  const Loop& loop = ReadoutLoop(Sys(), *stat_, fresh);
  SetStatusPanel(2, QString::fromStdString(RootStatusAt(loop, *stat_, x, y, Sys().numberFormat).text));
}

void TRootChildForm::ShowPoleReport(bool closedLoop)
{
  ClearError();
  if (!EnterPlane()) {
    ReportError(this);
    return;
  }
  // EnterPlane has just decoded the root sets; the closed loop's report
  // also needs the closed loop's polynomials.
  const auto loop = std::make_unique<RootLoop>();
  if (closedLoop)
    loop->closed = DecodeRootLoop(Sys(), *stat_, RootUse::ClosedRoots).closed;
  loop->roots = stat_->decoded;
  if (!PrepareRootReport(*loop, *stat_, closedLoop)) {
    ReportError(this);
    return;
  }
  TRootReportForm report(*chart(), stat_->report.poles, this);
  report.setWindowTitle(closedLoop ? tr("Closed-loop root locations") : tr("Open-loop root locations"));
  report.SetMarkVisible(closedLoop);
  RootReport lines = BuildRootReport(stat_->report, Sys().numberFormat);
  if (closedLoop) {
    // the gain ranges over the whole gain axis, and in the parameter mode
    // the ranges of the parameter over its range
    StableRanges ranges;
    if (FindStableRanges(Sys(), stat_->loop, {kSweepGain, 0, 1, 2, false}, true, ranges))
      AddStableRanges(lines, "gain", ranges, Sys().numberFormat);
    if (param_.on && param_.sweep.parameter != kSweepGain &&
        FindStableRanges(Sys(), stat_->loop, param_.sweep, false, ranges))
      AddStableRanges(lines, SweptName(param_.sweep.parameter), ranges, Sys().numberFormat);
    ClearError();
  }
  report.Fill(lines);
  ExecModal(report);
}

bool TRootChildForm::ClosedLoopMarksShown() const
{
  const DisplayList& l = chart()->Items();
  for (std::size_t i = 0; i < l.size(); ++i)
    if (IsClosedLoopMark(l.item(i)))
      return true;
  return false;
}

void TRootChildForm::ShowClosedLoopMarks()
{
  // The marks and their gain labels go; the closed loop at the present gain
  // is marked in their place.
  DisplayList& l = chart()->Items();
  std::vector<std::pair<double, double>> at;
  for (std::size_t i = 0; i < l.size(); ++i)
    if (IsClosedLoopMark(l.item(i)))
      at.emplace_back(l.item(i).x, l.item(i).y);
  chart()->RemoveItemsIf([&at](const ChartItem& it) {
    if (IsClosedLoopMark(it))
      return true;
    return it.kind == ItemKind::Text && std::find(at.begin(), at.end(), std::pair(it.x, it.y)) != at.end();
  });
  ClearError();
  if (ClosedLoopRoots(DecodeRootLoop(Sys(), *stat_, RootUse::ClosedRoots).closed, *stat_))
    MarkClosedLoopPoles(l, stat_->report.poles, Sys().gain, PensOf(Sys()));
  ClearError();
  chart()->ShowGraph();
}

void TRootChildForm::FollowLoop()
{
  const bool marks = ClosedLoopMarksShown();
  LoopDefinition was = tracedLoop_;
  was.gain = Sys().gain;
  if (!tinted_ && traced() && std::signbit(tracedLoop_.gain) == std::signbit(Sys().gain) &&
      SameDefinition(was, DefinitionOf(Sys()))) {
    // The same locus: only the closed-loop marks move.
    if (marks)
      ShowClosedLoopMarks();
    return;
  }
  if (traced() || followAgain_) {
    // Drawn over the last trace and independent of the loop: damping and
    // settling contours, the user's marks. They go over the new trace (a
    // trace the loop refused keeps them for the next one).
    DisplayList& kept = kept_;
    if (traced()) {
      const DisplayList& l = chart()->Items();
      kept.clear();
      std::vector<std::pair<double, double>> closed;
      for (std::size_t i = traceEnd_; i < l.size(); ++i)
        if (IsClosedLoopMark(l.item(i)))
          closed.emplace_back(l.item(i).x, l.item(i).y);
      for (std::size_t i = traceEnd_; i < l.size(); ++i) {
        const ChartItem& it = l.item(i);
        const bool closedLabel =
            it.kind == ItemKind::Text && std::find(closed.begin(), closed.end(), std::pair(it.x, it.y)) != closed.end();
        if (!IsClosedLoopMark(it) && !IsPoleZeroMark(it) && !closedLabel)
          AppendItem(kept, l, it);
      }
    }
    Wipe1Click();
    const std::size_t marksOnly = chart()->Items().size();
    DrawLiveReference();
    tinted_ = chart()->Items().size() != marksOnly;
    Go1Click();
    followAgain_ = !traced();
    if (traced()) {
      for (std::size_t i = 0; i < kept.size(); ++i)
        AppendItem(chart()->Items(), kept, kept.item(i));
      chart()->ShowGraph();
      kept.clear();
    }
  } else {
    RootRefresh();
  }
  if (marks)
    ShowClosedLoopMarks();
}

bool TRootChildForm::LocusGainNear(QPointF pixel, double& k)
{
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *stat_).roots, *stat_))
    return false;
  const LocusResult& r = stat_->result;
  int best = -1;
  double bestDistance = 0.0;
  for (int i = 0; i < r.count; ++i) {
    const QPointF p = chart()->DataToPixel(r.points[i].x, r.points[i].y);
    const double d = std::hypot(p.x() - pixel.x(), p.y() - pixel.y());
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  if (best < 0) {
    SetError("No locus to drag along");
    return false;
  }
  const LocusPoint& p = r.points[best];
  return GainAtLocusPoint(DecodeRootLoop(Sys(), *stat_).roots, *stat_, p.x, p.y, static_cast<int>(p.tag), k);
}

bool TRootChildForm::eventFilter(QObject* watched, QEvent* event)
{
  TRChart* c = chart();
  const QEvent::Type type = event->type();
  if (watched != c ||
      (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
    return TDomainChildForm::eventFilter(watched, event);
  const auto* mouse = static_cast<QMouseEvent*>(event);
  TLiveDrag*& drag = drags_[plane()];
  if (drag && drag->active()) {
    if (type == QEvent::MouseMove)
      drag->move(mouse->position());
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
      drag->finish();
    // The read-out of the status bar goes on under the pointer.
    return type != QEvent::MouseMove;
  }
  TLiveDrag* comp = compDrags_[plane()];
  if (comp && comp->active()) {
    if (type == QEvent::MouseMove)
      comp->move(mouse->position());
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
      comp->finish();
    return type != QEvent::MouseMove;
  }
  if (type != QEvent::MouseButtonPress || mouse->button() != Qt::LeftButton || c->MouseAction() != maNone)
    return TDomainChildForm::eventFilter(watched, event);
  if (GrabCompensatorRoot(mouse->position()))
    return true;
  if (!traced() || CursorPointCount(*stat_) == 0)
    return TDomainChildForm::eventFilter(watched, event);
  // Only a press on a closed-loop mark starts a drag.
  const DisplayList& l = c->Items();
  bool onMark = false;
  for (std::size_t i = 0; i < l.size() && !onMark; ++i) {
    if (!IsClosedLoopMark(l.item(i)))
      continue;
    const QPointF p = c->DataToPixel(l.item(i).x, l.item(i).y);
    onMark = std::hypot(p.x() - mouse->position().x(), p.y() - mouse->position().y()) <= kGrabPixels;
  }
  if (!onMark)
    return TDomainChildForm::eventFilter(watched, event);
  if (!drag) {
    drag = new TLiveDrag(*c, {[this](QPointF pixel, double& k) { return LocusGainNear(pixel, k); },
                              [this](double k) { return ApplyLiveGain(k, this); }, QStringLiteral("K"), tr("gain")});
  }
  drag->begin(mouse->position(), Sys().gain);
  return true;
}

bool TRootChildForm::GrabCompensatorRoot(QPointF pixel)
{
  // Marks are drawn only for a loop that validates.
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *stat_).roots, *stat_) || Sys().firstElement != 0 ||
      !DecodeCompensator(Sys(), compAtPress_)) {
    ClearError();
    return false;
  }
  double nearest = kGrabPixels;
  bool found = false;
  for (const bool pole : {true, false}) {
    const RootSet& set = pole ? compAtPress_.poles : compAtPress_.zeros;
    for (int i = 0; i < set.n && i < kMaxRoots; ++i) {
      const QPointF p = chart()->DataToPixel(set.r[i].re, set.r[i].im);
      const double d = std::hypot(p.x() - pixel.x(), p.y() - pixel.y());
      if (d <= nearest) {
        nearest = d;
        found = true;
        compPole_ = pole;
        compIndex_ = i;
      }
    }
  }
  if (!found)
    return false;
  const RootSet& set = compPole_ ? compAtPress_.poles : compAtPress_.zeros;
  const Complex r = set.r[compIndex_];
  const bool pair = ConjugateOf(set, compIndex_) != compIndex_;
  compTarget_ = compApplied_ = r;
  TLiveDrag*& drag = compDrags_[plane()];
  // The read-out belongs to the chart: it goes with the drag it showed.
  // The drag goes first: its filter watches the read-out as that is torn down.
  if (drag) {
    QLineEdit* readout = drag->readout();
    delete drag;
    delete readout;
  }
  const QString name = compPole_ ? QStringLiteral("Pole") : QStringLiteral("Zero");
  drag = new TLiveDrag(*chart(), {[this](QPointF at, double& v) { return CompensatorTargetAt(at, v); },
                                  [this](double v) { return ApplyCompensatorRoot(v); },
                                  pair ? QStringLiteral("|%1|").arg(name) : name, tr("compensator")});
  drag->begin(pixel, pair ? std::hypot(r.re, r.im) : r.re);
  return true;
}

bool TRootChildForm::CompensatorTargetAt(QPointF pixel, double& value)
{
  const QPointF p = chart()->PixelToData(pixel);
  const RootSet& set = compPole_ ? compAtPress_.poles : compAtPress_.zeros;
  if (ConjugateOf(set, compIndex_) == compIndex_) {
    compTarget_ = {p.x(), 0.0};
    value = p.x();
    return true;
  }
  compTarget_ = {p.x(), p.y()};
  value = std::hypot(p.x(), p.y());
  return true;
}

bool TRootChildForm::ApplyCompensatorRoot(double value)
{
  Complex at = {value, 0.0};
  const RootSet& set = compPole_ ? compAtPress_.poles : compAtPress_.zeros;
  if (ConjugateOf(set, compIndex_) != compIndex_) {
    // A typed or nudged distance keeps the pair's angle.
    const double m = std::hypot(compTarget_.re, compTarget_.im);
    if (!(m > 0)) {
      compTarget_ = compApplied_;
      SetError("Invalid value");
      return false;
    }
    at = {compTarget_.re * value / m, compTarget_.im * value / m};
  }
  const LoopDefinition was = DefinitionOf(Sys());
  LoopDefinition moved = was;
  if (!MovedCompensatorTexts(Sys(), compAtPress_, compPole_, compIndex_, at.re, at.im, moved.num[0], moved.den[0])) {
    compTarget_ = compApplied_;
    return false;
  }
  ApplyDefinition(moved, Sys());
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *stat_).roots, *stat_)) {
    // The loop cannot take it: it goes back, the reason stays pending.
    const std::string why = ErrorMessage();
    ApplyDefinition(was, Sys());
    (void)PrepareRootLoop(DecodeRootLoop(Sys(), *stat_).roots, *stat_);
    ClearError();
    SetError(why.c_str());
    compTarget_ = compApplied_;
    return false;
  }
  const Complex applied = compApplied_;
  compApplied_ = compTarget_ = at;
  return FollowOrRestore(this, [&] {
    ApplyDefinition(was, Sys());
    compApplied_ = compTarget_ = applied;
  });
}
