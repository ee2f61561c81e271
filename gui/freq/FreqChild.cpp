#include "engine/base/Error.h"
#include "engine/model/Loop.h"
#include "engine/model/Model.h"
#include "engine/model/Toolkit.h"

#include "gui/freq/FreqChild.h"

#include "engine/chart/Readout.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqDraw.h"
#include "engine/freq/FreqFamily.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/model/ValueRanges.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/dialogs/ContoursDlg.h"
#include "gui/dialogs/FamilyDlg.h"
#include "gui/freq/DFCursorDlg.h"
#include "gui/freq/FreqCharts.h"
#include "gui/freq/FreqConfigDlg.h"
#include "gui/freq/FreqCursorDlg.h"
#include "gui/freq/FreqScalesDlg.h"
#include "gui/freq/LimitCyclesDlg.h"
#include "gui/freq/MarginsDlg.h"
#include "gui/window/LiveDrag.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>

#include <cmath>
#include <exception>
#include <functional>

namespace {

bool IsBode(FreqView v)
{
  return v == FreqView::BodeGain || v == FreqView::BodePhase;
}
bool IsNyquist(FreqView v)
{
  return v == FreqView::DirectNyquist || v == FreqView::InverseNyquist;
}

constexpr const char* kViewItemNames[2][kFreqViews] = {
    {"DirectNyquist1", "InverseNyquist1", "Nichols1", "BodeGain1", "BodePhase1"},
    {"DirectNyquist2", "InverseNyquist2", "Nichols2", "BodeGain2", "BodePhase2"}};

// A menu item of window calling handler, after the window's following
// dialogs are closed as for its other commands; shortcuts work while the
// window's menus are in the frame's bar.
QAction* OwnItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                 TDomainChildForm* window, std::function<void()> handler)
{
  QAction* a = menu->addAction(caption);
  a->setObjectName(QLatin1String(name));
  a->setShortcut(key);
  a->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(a, &QAction::triggered, window, [window, handler = std::move(handler)] {
    window->closeFollowingDialogs();
    handler();
  });
  return a;
}

QString Readout(const char* tmpl, const ReadoutArg* args, int n)
{
  char text[256];
  FormatReadout(tmpl, Sys().numberFormat, args, n, text, sizeof text);
  return QString::fromLatin1(text);
}

}  // namespace

TFreqChildForm::TFreqChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent),
      stat_(std::make_unique<FREQSTAT>()),
      family_(std::make_unique<FreqFamily>()),
      familyWork_(std::make_unique<FreqFamilyScratch>())
{
  setObjectName(QStringLiteral("FreqChildForm"));
  setProperty("helpContext", 12);
  setMinimumSize(240, 160);
  InitFreqSettings(Sys(), *stat_);

  QMenu* settings = AddMenu(tr("&Settings"));
  AddItem(settings, "Config1", tr("Con&figuration..."), QKeySequence(Qt::CTRL | Qt::Key_F),
          &TDomainChildForm::Config1Click);
  AddLoopItems(settings, tr("&Open loop"), "Openloop1", tr("&Closed loop"));
  dfItems_[0] = OwnItem(settings, "Describingfunction1", tr("Describing function"), QKeySequence(Qt::CTRL | Qt::Key_D),
                        this, [this] { DescribingfunctionClick(); });
  AddNonlinearityItems(settings);

  QMenu* graphMenu = AddMenu(tr("&Graph"));
  AddGraphItems(graphMenu, "Wipe1", "Plotcursor1", tr("C&ursor..."));
  // The plot types go between the cursor and the scales.
  auto* plotType = new QMenu(tr("&Plot type..."), graphMenu);
  plotType->setObjectName(QStringLiteral("Plottype1"));
  graphMenu->insertMenu(graphMenu->findChild<QAction*>(QStringLiteral("Scales1")), plotType);
  subTickItems_[0] = OwnItem(graphMenu, "HorizSubTicks1", tr("&Horizontal sub ticks"), QKeySequence(), this,
                             [this] { HorizSubTicks1Click(); });
  contourItems_[0] = OwnItem(graphMenu, "MContour1", tr("&M contours..."), QKeySequence(Qt::CTRL | Qt::Key_M), this,
                             [this] { MContour1Click(); });
  unitCircleItem_ = OwnItem(graphMenu, "Unitcircle1", tr("&Unit circle"), QKeySequence(Qt::CTRL | Qt::Key_U), this,
                            [this] { Unitcircle1Click(); });
  graphMenu->addSeparator();
  OwnItem(graphMenu, "Margins1", tr("Marg&ins..."), QKeySequence(), this, [this] { Margins1Click(); });
  limitCyclesItem_ =
      OwnItem(graphMenu, "LimitCycles1", tr("&Limit cycles..."), QKeySequence(), this, [this] { LimitCycles1Click(); });
  OwnItem(graphMenu, "Family1", tr("Famil&y..."), QKeySequence(), this, [this] { Family1Click(); });

  SetUpChart(FreqChartSetup(FreqView::DirectNyquist), "Real = %s, Imag = %s", 5, 5);
  charts_[0] = chart();
  for (int v = 1; v < kFreqViews; ++v)
    charts_[v] = AddChart(FreqChartSetup(static_cast<FreqView>(v)));
  for (int v = 0; v < kFreqViews; ++v) {
    AddMinus180Line(*charts_[v], static_cast<FreqView>(v));
    charts_[v]->installEventFilter(this);
  }
  graph().setReadoutHook([this](const ReadoutPoint& p) {
    showReadout(p.dx, p.dy);
    if (const int m = nearestMember(p.x, p.y); m >= 0)
      SetStatusPanel(2, NearestMemberText(familyPlan_, family_->members, m));
  });
  // The family's legend, below the charts while a family is on show.
  familyLegend_ = new QLabel(this);
  familyLegend_->setObjectName(QStringLiteral("FamilyLegend"));
  familyLegend_->setTextFormat(Qt::RichText);
  familyLegend_->setWordWrap(true);
  familyLegend_->setContentsMargins(4, 2, 4, 2);
  layout()->addWidget(familyLegend_);
  familyLegend_->hide();
  graph().setAfterRangeChange([this](RangeChange) { rangesChanged(); });

  // The popup: the views and the describing function first, "Mar&k", and
  // the sub ticks and M contours after the graticule.
  QAction* mark = popup_->findChild<QAction*>(QStringLiteral("Mark1"));
  mark->setText(tr("Mar&k"));
  QAction* afterGraticule = nullptr;
  const QList<QAction*> actions = popup_->actions();
  for (qsizetype i = 0; i + 1 < actions.size(); ++i)
    if (actions[i]->objectName() == QLatin1String("Graticulevisible2"))
      afterGraticule = actions[i + 1];
  for (int v = 0; v < kFreqViews; ++v) {
    const auto handler = [this, v] { SelectView(static_cast<FreqView>(v)); };
    viewItems_[0][v] =
        OwnItem(plotType, kViewItemNames[0][v], QLatin1String(kFreqViewNames[v].menu), QKeySequence(), this, handler);
    viewItems_[1][v] =
        OwnItem(popup_, kViewItemNames[1][v], QLatin1String(kFreqViewNames[v].popup), QKeySequence(), this, handler);
    popup_->insertAction(mark, viewItems_[1][v]);
  }
  dfItems_[1] = OwnItem(popup_, "Describingfunction2", tr("Describing function"), QKeySequence(), this,
                        [this] { DescribingfunctionClick(); });
  popup_->insertAction(mark, dfItems_[1]);
  popup_->insertSeparator(mark);
  subTickItems_[1] = OwnItem(popup_, "HorizSubTicks2", tr("&Horizontal sub ticks"), QKeySequence(), this,
                             [this] { HorizSubTicks1Click(); });
  contourItems_[1] =
      OwnItem(popup_, "MContour2", tr("&M contours..."), QKeySequence(), this, [this] { MContour1Click(); });
  popup_->insertAction(afterGraticule, subTickItems_[1]);
  popup_->insertAction(afterGraticule, contourItems_[1]);

  for (auto& menu : viewItems_)
    for (QAction* a : menu)
      a->setCheckable(true);
  for (QAction* a : {dfItems_[0], dfItems_[1], subTickItems_[0], subTickItems_[1]})
    a->setCheckable(true);

  ChangeView(stat_->set.view);
  syncDescribingFunctionChecks();
  SyncLoopState();
}

TFreqChildForm::~TFreqChildForm()
{
  ReleaseFreqSettings(*stat_);
}

void TFreqChildForm::setResponseDrawn(FreqView v, bool on)
{
  responseDrawn_[static_cast<int>(v)] = on;
  if (v == view())
    hasPlot_ = on || dfDrawn_[static_cast<int>(v)];
}

bool TFreqChildForm::Go()
{
  const FreqView v = view();
  TRChart* c = ChartOfView(v);
  if (stat_->describingMode) {
    if (!IsBode(v))
      return GoDescribingFunction();
    SetChartRange(*stat_, c->RangeLoX(), c->RangeHiX(), c->RangeLoY(), c->RangeHiY());
    ClearError();
    SetError("Describing functions not available in Bode views");
    ReportError(this);
    return false;
  }
  RecordGo(Sys(), ActiveDomain::Frequency, stat_->loop);
  if (familyOn_)
    return FamilyGo(c);
  forgetFamily();
  const FreqLoop loop = DecodeFreqLoop(Sys(), *stat_, FreqUse::Response);
  if (!FreqGo(loop, *stat_, LoopContext(loop.loop, ActiveDomain::Frequency), FreqCurve::Response, GeometryOf(*c),
              PensOf(Sys()), c->Items())) {
    ReportError(this);
    return false;
  }
  c->ShowNewItems();
  setResponseDrawn(v, true);
  return true;
}

bool TFreqChildForm::GoDescribingFunction()
{
  const FreqView v = view();
  TRChart* c = ChartOfView(v);
  const FreqLoop loop = DecodeFreqLoop(Sys(), *stat_, FreqUse::DescribingFunction);
  if (!FreqGo(loop, *stat_, LoopContext(loop.loop, ActiveDomain::Frequency), FreqCurve::DescribingFunction,
              GeometryOf(*c), PensOf(Sys()), c->Items())) {
    ReportError(this);
    return false;
  }
  c->ShowNewItems();
  // Which amplitudes have no -1/N and are missing from the curve, or no
  // note left from an earlier run.
  SetStatusPanel(1, QString::fromStdString(DfLeftOutNote(*stat_, Sys().numberFormat)));
  dfDrawn_[static_cast<int>(v)] = true;
  hasPlot_ = true;
  return true;
}

void TFreqChildForm::Wipe1Click()
{
  TDomainChildForm::Wipe1Click();
  // Neither curve is left: a describing function is not followed or read
  // by a cursor until Go draws it again.
  dfDrawn_[static_cast<int>(view())] = false;
  setResponseDrawn(view(), false);
  if (view() == familyView_)
    forgetFamily();
}

void TFreqChildForm::Plotcursor1Click()
{
  if (!Go())
    return;
  graph().CancelMouseMode();
  if (stat_->describingMode) {
    if (describingFunctionDrawn(view()))
      OpenCursor<TDFCursorDlg>(*chart(), *stat_, this);
    return;
  }
  if (!responseDrawn(view()))
    return;
  // One cursor per window: a new one starts afresh.
  OpenCursor<TFreqCursorDlg>(this);
}

void TFreqChildForm::Scales1Click()
{
  graph().CancelMouseMode();
  if (!scales_)
    scales_ = new TFreqScalesDlg(this);
  scales_->Execute();
  // A unit switched and then cancelled still holds: the Bode chart follows.
  if (IsBode(view()) && MatchBodeUnits(view()))
    chart()->ShowGraph();
}

void TFreqChildForm::Autoscale1Click()
{
  graph().Autoscale([this] { return Go(); }, IsBode(view()) ? 0 : 5, 5);
}

void TFreqChildForm::Config1Click()
{
  try {
    TFreqConfigDlg dlg(this);
    dlg.loop = stat_->loop;
    if (dlg.Execute() != QDialog::Accepted)
      return;
    stat_->loop = dlg.loop;
    SyncLoopState();
  } catch (const std::exception&) {
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem showing dialogue"), MsgIcon::Exclamation);
  }
}

void TFreqChildForm::PopupMenu1Popup()
{
  UpdateViewMenus();
  TDomainChildForm::PopupMenu1Popup();
}

void TFreqChildForm::SelectView(FreqView v)
{
  if (v != view()) {
    if (stat_->describingMode && IsBode(v)) {
      SetError("Describing function not available in the Bode views");
      ReportError(this);
    } else {
      ChangeView(v);
    }
  }
  // A checked item chosen again would lose its check.
  UpdateViewMenus();
}

void TFreqChildForm::ChangeView(FreqView v)
{
  stat_->set.view = v;
  if (IsBode(v))
    MatchBodeUnits(v);
  TRChart* c = ChartOfView(v);
  // Ends zoom, pan and relative mode on the chart that goes.
  ShowChart(c);
  layout()->activate();
  if (IsNyquist(v)) {
    c->SetIsometric(false);
    c->SetIsometric(true);
  }
  hasPlot_ = responseDrawn(v) || describingFunctionDrawn(v);
  if (stale_[static_cast<int>(v)]) {
    // The loop was tuned while another view was shown: this one as a
    // fresh Go shows it now.
    stale_[static_cast<int>(v)] = false;
    Wipe1Click();
    Go1Click();
  }
  // The legend belongs to the chart the family was drawn on.
  familyLegend_->setVisible(family_->members.count > 0 && v == familyView_ && responseDrawn(v));
  UpdateViewMenus();
  c->ShowGraph();
}

bool TFreqChildForm::MatchBodeUnits(FreqView v)
{
  if (!::MatchBodeUnits(*ChartOfView(v), stat_->set))
    return false;
  setResponseDrawn(v, false);
  return true;
}

void TFreqChildForm::UpdateViewMenus()
{
  const FreqView v = view();
  for (auto& menu : viewItems_)
    for (int i = 0; i < kFreqViews; ++i)
      menu[i]->setChecked(i == static_cast<int>(v));
  graph().syncGraticuleChecks();
  for (QAction* a : subTickItems_) {
    a->setEnabled(IsBode(v));
    a->setChecked(chart()->ShortTicksX());
  }
  unitCircleItem_->setEnabled(IsNyquist(v));
  for (QAction* a : contourItems_)
    a->setEnabled(!IsBode(v));
}

void TFreqChildForm::syncDescribingFunctionChecks()
{
  for (QAction* a : dfItems_)
    a->setChecked(stat_->describingMode);
  limitCyclesItem_->setEnabled(stat_->describingMode);
}

void TFreqChildForm::LimitCycles1Click()
{
  if (!stat_->describingMode)
    return;
  graph().CancelMouseMode();
  LimitCycleList cycles;
  const FreqLoop loop = DecodeFreqLoop(Sys(), *stat_, FreqUse::OpenLoop);
  if (!ComputeLimitCycles(loop, *stat_, LoopContext(loop.loop, ActiveDomain::Frequency), cycles)) {
    ReportError(this);
    return;
  }
  // Beside the window, following a drag of the design.
  (new TLimitCyclesDlg(*chart(), *stat_, cycles, this))->Open();
}

void TFreqChildForm::DescribingfunctionClick()
{
  graph().CancelMouseMode();
  if (stat_->describingMode) {
    stat_->describingMode = false;
  } else {
    if (const char* why = DescribingFunctionModeProblem(*stat_)) {
      SetError(why);
      ReportError(this);
    } else {
      stat_->describingMode = true;
      LoopSwitches& w = stat_->loop;
      if (!w.fwdNl && !w.fbkNl)
        w.fwdNl = true;
    }
  }
  syncDescribingFunctionChecks();
  SyncLoopState();
}

void TFreqChildForm::MContour1Click()
{
  if (IsBode(view()))
    return;
  graph().CancelMouseMode();
  try {
    TContoursDlg dlg(this);
    dlg.setWindowTitle(QStringLiteral("M contours"));
    dlg.setLabels(QLatin1String(ranges::kMContourStart.quantity), QLatin1String(ranges::kMContourEnd.quantity),
                  QStringLiteral("dB"));
    dlg.lowLimit = ranges::kMContourStart.low;
    dlg.highLimit = ranges::kMContourStart.high;
    ContourSteps& m = stat_->mContours;
    dlg.setValues(m.start, m.end, m.step);
    if (ExecModal(dlg) != QDialog::Accepted)
      return;
    m = {dlg.startValue, dlg.endValue, dlg.increment};
  } catch (const std::exception&) {
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem showing contours dialogue"),
                MsgIcon::Exclamation);
    return;
  }
  Sys().activeDomain = ActiveDomain::Frequency;
  TRChart* c = chart();
  SetChartRange(*stat_, c->RangeLoX(), c->RangeHiX(), c->RangeLoY(), c->RangeHiY());
  ClearError();
  if (!DrawMContours(c->Items(), *stat_, stat_->mContours, PensOf(Sys())))
    ReportError(this);
  // The contours drawn before a failure stay, shown.
  c->ShowGraph();
}

void TFreqChildForm::Unitcircle1Click()
{
  if (!IsNyquist(view()))
    return;
  graph().CancelMouseMode();
  DrawUnitCircle(chart()->Items());
  chart()->ShowGraph();
}

void TFreqChildForm::HorizSubTicks1Click()
{
  if (!IsBode(view()))
    return;
  TRChart* c = chart();
  c->SetShortTicksX(!c->ShortTicksX());
  for (QAction* a : subTickItems_)
    a->setChecked(c->ShortTicksX());
  c->ShowGraph();
}

void TFreqChildForm::Margins1Click()
{
  graph().CancelMouseMode();
  if (family_->members.count > 0) {
    marginsOfFamily();
    return;
  }
  StabilityMargins margins;
  if (!ComputeMargins(DecodeFreqLoop(Sys(), *stat_, FreqUse::OpenLoop), margins)) {
    ReportError(this);
    return;
  }
  TMarginsDlg dlg(
      *stat_, margins, [this, &margins] { MarkMargins(margins); }, this);
  ExecModal(dlg);
}

bool TFreqChildForm::MarkMargins(const StabilityMargins& margins)
{
  if (IsNyquist(view())) {
    ShowWarning(this, QStringLiteral("Margins are marked on the Bode and Nichols views only"));
    return false;
  }
  // The marks follow the phase branch of the drawn curve.
  TrackSweepPhases(*stat_);
  DrawMarginMarks(chart()->Items(), *stat_, margins, PensOf(Sys()));
  chart()->ShowGraph();
  return true;
}

void TFreqChildForm::rangesChanged()
{
  TRChart* c = chart();
  if (IsNyquist(view())) {
    c->SetIsometric(true);
    c->ShowGraph();
  }
  SetChartRange(*stat_, c->RangeLoX(), c->RangeHiX(), c->RangeLoY(), c->RangeHiY());
}

void TFreqChildForm::showReadout(double dx, double dy)
{
  const QByteArray units(stat_->set.units);
  switch (view()) {
    case FreqView::DirectNyquist:
    case FreqView::InverseNyquist: {
      const double mag = std::sqrt(SumSq(dx, dy));
      const ReadoutArg polar[2] = {{mag, nullptr}, {mag == 0 ? 0.0 : ArcTanA(dx, dy) * kDegPerRad, nullptr}};
      SetStatusPanel(2, Readout("Mag = %s, Ang = %s deg", polar, 2));
      break;
    }
    case FreqView::Nichols: {
      const ReadoutArg args[2] = {{dy, nullptr}, {dx, nullptr}};
      SetStatusPanel(1, Readout("Gain = %s dB, Phase = %s deg", args, 2));
      break;
    }
    case FreqView::BodeGain:
    case FreqView::BodePhase: {
      const ReadoutArg args[3] = {{dx, nullptr}, {0.0, units.constData()}, {dy, nullptr}};
      SetStatusPanel(1, Readout(view() == FreqView::BodeGain ? "Frequency = %s %s,  Gain = %s dB"
                                                             : "Frequency = %s %s,  Phase = %s deg",
                                args, 3));
      break;
    }
  }
}

void TFreqChildForm::FollowLoop()
{
  const FreqView v = view();
  TRChart* c = chart();
  bool margins = false;
  if (!stat_->describingMode && !IsNyquist(v)) {
    const DisplayList& l = c->Items();
    for (std::size_t i = 0; i < l.size() && !margins; ++i)
      margins = l.item(i).kind == ItemKind::Mark && l.item(i).code == kMarkCircle;
  }
  // Limit cycles marked from their dialog are marked again.
  const bool cycles = stat_->describingMode && CarriesLimitCycleMarks(c->Items());
  TDomainChildForm::FollowLoop();
  // The other views computed before are computed again when shown.
  for (int i = 0; i < kFreqViews; ++i)
    stale_[i] = i != static_cast<int>(v) && (responseDrawn_[i] || dfDrawn_[i]);
  ClearError();
  if (margins && responseDrawn(v)) {
    StabilityMargins m;
    if (ComputeMargins(DecodeFreqLoop(Sys(), *stat_, FreqUse::OpenLoop), m))
      MarkMargins(m);
  }
  if (cycles && describingFunctionDrawn(v)) {
    LimitCycleList found;
    const FreqLoop loop = DecodeFreqLoop(Sys(), *stat_, FreqUse::OpenLoop);
    if (ComputeLimitCycles(loop, *stat_, LoopContext(loop.loop, ActiveDomain::Frequency), found)) {
      DrawLimitCycleMarks(c->Items(), *stat_, found, GeometryOf(*c), PensOf(Sys()));
      c->ShowGraph();
    }
  }
  // A loop without margins or cycles shows none; nothing to report while
  // dragging.
  ClearError();
}

bool TFreqChildForm::onCurve(const TRChart& c, QPointF pixel) const
{
  // A curve of the chart passes within this many pixels of the press.
  constexpr double kGrabPixels = 8.0;
  const DisplayList& l = c.Items();
  for (std::size_t i = 0; i < l.size(); ++i) {
    const ChartItem& it = l.item(i);
    if (it.kind != ItemKind::Polyline)
      continue;
    const ChartPoint* p = l.points(it);
    for (std::size_t k = 0; k < it.count; ++k) {
      const QPointF at = c.DataToPixel(p[k].x, p[k].y);
      if (std::hypot(at.x() - pixel.x(), at.y() - pixel.y()) <= kGrabPixels)
        return true;
    }
  }
  return false;
}

bool TFreqChildForm::eventFilter(QObject* watched, QEvent* event)
{
  const QEvent::Type type = event->type();
  const FreqView v = view();
  TRChart* c = chart();
  if (watched != c || (v != FreqView::BodeGain && v != FreqView::Nichols) ||
      (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
    return TDomainChildForm::eventFilter(watched, event);
  const auto* mouse = static_cast<QMouseEvent*>(event);
  TLiveDrag*& drag = drags_[static_cast<int>(v)];
  if (drag && drag->active()) {
    if (type == QEvent::MouseMove)
      drag->move(mouse->position());
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
      drag->finish();
    return type != QEvent::MouseMove;
  }
  if (type != QEvent::MouseButtonPress || mouse->button() != Qt::LeftButton || c->MouseAction() != maNone ||
      stat_->describingMode || !responseDrawn(v) || !onCurve(*c, mouse->position()))
    return TDomainChildForm::eventFilter(watched, event);
  if (!drag) {
    // Both views show the gain in dB up the y axis: a move of y dB scales
    // K by 10^(y/20).
    const auto gainAt = [this, c](QPointF pixel, double& k) {
      const double db = c->PixelToData(pixel).y() - dragStartDb_;
      k = dragStartGain_ * std::pow(10.0, db / 20.0);
      return true;
    };
    drag = new TLiveDrag(
        *c, {gainAt, [this](double k) { return ApplyLiveGain(k, this); }, QStringLiteral("K"), tr("gain")});
  }
  dragStartDb_ = c->PixelToData(mouse->position()).y();
  dragStartGain_ = Sys().gain;
  drag->begin(mouse->position(), Sys().gain);
  return true;
}
