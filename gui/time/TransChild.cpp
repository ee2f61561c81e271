#include "engine/base/Error.h"
#include "engine/model/Loop.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/time/TransChild.h"

#include "engine/time/TimeFamily.h"
#include "engine/time/TransDraw.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/chart/TRChart.h"
#include "gui/dialogs/FamilyDlg.h"
#include "gui/time/TransCharDlg.h"
#include "gui/time/TransConfigDlg.h"
#include "gui/time/TransCursorDlg.h"
#include "gui/time/TransScalesDlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>

#include <exception>

namespace {

using Handler = void (TDomainChildForm::*)();

// The window's own handlers as menu handlers (they are only ever called on
// this window).
template <typename F>
Handler Own(F handler)
{
  return static_cast<Handler>(handler);
}

constexpr int kTime = static_cast<int>(TransPlot::TimeResponse);
constexpr int kPhase = static_cast<int>(TransPlot::PhasePlane);

// A cost text this long or longer is shown cut, so the value stays in view.
constexpr int kCostTextCut = 15;
constexpr int kCostTextShown = 12;

}  // namespace

TTransChildForm::TTransChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent),
      stat_(std::make_unique<TRANSTAT>()),
      family_(std::make_unique<TimeFamily>()),
      familyWork_(std::make_unique<TimeFamilyScratch>())
{
  setObjectName(QStringLiteral("TransChildForm"));
  // The elements as the model has them; a new window simulates the closed loop.
  stat_->loop = SwitchesFromModel(Sys());
  stat_->loop.closedLoop = true;

  QMenu* settings = AddMenu(tr("&Settings"));
  AddItem(settings, "Config1", tr("Con&figuration..."), QKeySequence(Qt::CTRL | Qt::Key_F),
          &TDomainChildForm::Config1Click);
  AddLoopItems(settings, tr("&Open loop"), "Openloop1", tr("&Closed loop"));
  AddNonlinearityItems(settings);
  effortItem_ = AddItem(settings, "Plotcontroleffort1", tr("Plot control effort"), QKeySequence(Qt::CTRL | Qt::Key_U),
                        Own(&TTransChildForm::Plotcontroleffort1Click));
  effortItem_->setCheckable(true);

  QMenu* graph = AddMenu(tr("&Graph"));
  AddGraphItems(graph, "Wipe1", "Plotcursor2", tr("&Cursor..."));
  // Plot type and the characteristics go between the cursor and the scales.
  QAction* scales = graph->findChild<QAction*>(QStringLiteral("Scales1"));
  auto* plotType = new QMenu(tr("Plot &type"), graph);
  plotTypeItems_[0][kTime] =
      AddItem(plotType, "TimePlot1", tr("&Time response"), QKeySequence(), Own(&TTransChildForm::TimePlot1Click));
  plotTypeItems_[0][kPhase] =
      AddItem(plotType, "PhasePlot1", tr("&Phase plane"), QKeySequence(), Own(&TTransChildForm::PhasePlot1Click));
  graph->insertMenu(scales, plotType);
  graph->insertAction(scales, AddItem(graph, "Characteristics1", tr("C&haracteristics..."), QKeySequence(),
                                      Own(&TTransChildForm::Characteristics1Click)));
  graph->insertAction(scales,
                      AddItem(graph, "Family1", tr("Famil&y..."), QKeySequence(), Own(&TTransChildForm::Family1Click)));
  graph->insertSeparator(scales);

  SetUpChart(TimeChart, "Time = %s,  Value = %s", -1, 5);
  timeChart_ = chart();
  phaseChart_ = AddChart(PhaseChart);
  setPhaseAxisTitles();

  // The plot types head the popup menu.
  QAction* first = popup_->actions().value(0);
  plotTypeItems_[1][kTime] =
      AddItem(popup_, "TimePlot2", tr("&Time response"), QKeySequence(), Own(&TTransChildForm::TimePlot1Click));
  plotTypeItems_[1][kPhase] =
      AddItem(popup_, "PhasePlot2", tr("&Phase plane"), QKeySequence(), Own(&TTransChildForm::PhasePlot1Click));
  popup_->insertAction(first, plotTypeItems_[1][kTime]);
  popup_->insertAction(first, plotTypeItems_[1][kPhase]);
  popup_->insertSeparator(first);
  for (auto& menu : plotTypeItems_)
    for (QAction* a : menu)
      a->setCheckable(true);
  syncPlotTypeChecks();
  effortItem_->setChecked(stat_->secondary == SecondaryTrace::ControlEffort);

  // The family's legend, below the charts while a family is on show.
  familyLegend_ = new QLabel(this);
  familyLegend_->setObjectName(QStringLiteral("FamilyLegend"));
  familyLegend_->setTextFormat(Qt::RichText);
  familyLegend_->setWordWrap(true);
  familyLegend_->setContentsMargins(4, 2, 4, 2);
  layout()->addWidget(familyLegend_);
  familyLegend_->hide();
  this->graph().setReadoutHook([this](const ReadoutPoint& p) { showNearestMember(p.x, p.y); });

  // The cost of the last run, below the charts; hidden until there is one.
  costPanel_ = new QWidget(this);
  costPanel_->setObjectName(QStringLiteral("CostFnPanel"));
  auto* row = new QHBoxLayout(costPanel_);
  row->setContentsMargins(4, 2, 4, 2);
  costEdit_ = new QLineEdit(costPanel_);
  costEdit_->setObjectName(QStringLiteral("CostFnEdit"));
  costEdit_->setReadOnly(true);
  // A read-only line never takes the focus, so the window's shortcuts (Ctrl+A
  // autoscale, Ctrl+C closed loop) stay the window's after a click on it.
  costEdit_->setFocusPolicy(Qt::NoFocus);
  row->addWidget(new QLabel(tr("Cost function:"), costPanel_));
  row->addWidget(costEdit_, 1);
  // One line high: the chart takes the rest.
  costPanel_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  layout()->addWidget(costPanel_);
  costPanel_->hide();

  scales_ = new TTransScalesDlg(this, this);
  SyncLoopState();
}

TTransChildForm::~TTransChildForm() = default;

bool TTransChildForm::runShown() const
{
  const TransResult& r = stat_->result;
  return plotted(stat_->plotType) && r.valid && r.plot == stat_->plotType && r.pointCount > 0;
}

void TTransChildForm::setPlotted(TransPlot p, bool on)
{
  plotted_[static_cast<int>(p)] = on;
  if (p == stat_->plotType)
    hasPlot_ = on;
}

void TTransChildForm::syncPlotTypeChecks()
{
  for (auto& menu : plotTypeItems_)
    for (int i = 0; i < 2; ++i)
      if (menu[i])
        menu[i]->setChecked(i == static_cast<int>(stat_->plotType));
}

void TTransChildForm::setPhaseAxisTitles()
{
  phaseChart_->SetIdAbscissa(QString::fromLatin1(stat_->phaseXText));
  phaseChart_->SetIdOrdinate(QString::fromLatin1(stat_->phaseYText));
}

void TTransChildForm::Go1Click()
{
  // The chart of the plot type the run makes.
  TRChart* c = chartOf(stat_->plotType);
  // The document keeps the loop of the last Go, with the initial outputs a
  // saved system file holds.
  RecordGo(Sys(), ActiveDomain::Time, stat_->loop);
  Sys().initCompOutput = stat_->initCompOutput;
  Sys().initPlantOutput = stat_->initPlantOutput;
  if (familyOn_) {
    if (FamilyGo(c) && stat_->result.costEvaluated)
      showCost();
    return;
  }
  family_->members.count = 0;
  familyLegend_->hide();
  const Loop loop = DecodeTimeLoop(Sys(), *stat_);
  if (!TimeGo(loop, *stat_, LoopContext(loop, ActiveDomain::Time), PensOf(Sys()), c->Items())) {
    if (ErrorPending())
      ReportError(this);
    return;
  }
  const TransPlot type = stat_->result.plot;
  c->ShowNewItems();
  setPlotted(type, true);
  if (stat_->result.costEvaluated)
    showCost();
}

bool TTransChildForm::FamilyGo(TRChart* c)
{
  // Every member first: a member that fails stores nothing and draws nothing.
  ClearError();
  if (!RunTimeFamily(Sys(), *stat_, familyPlan_, *family_, *familyWork_)) {
    familyLegend_->hide();
    ReportError(this);
    return false;
  }
  const Loop loop = DecodeTimeLoop(Sys(), *stat_);
  if (!TimeEngine(loop, *stat_, LoopContext(loop, ActiveDomain::Time))) {
    family_->members.count = 0;
    familyLegend_->hide();
    ReportError(this);
    return false;
  }
  const ChartPens pens = PensOf(Sys());
  const std::uint32_t current = pens.pen[stat_->loop.closedLoop ? kClosedOutputPen : kOpenOutputPen];
  DrawTimeFamily(c->Items(), *family_, stat_->result, current);
  c->ShowNewItems();
  setPlotted(stat_->result.plot, true);
  familyLegend_->setText(FamilyLegendText(familyPlan_, family_->members, family_->pen.data(), current,
                                          FamilyParameterValue(Sys(), familyPlan_.over)));
  familyLegend_->show();
  return true;
}

void TTransChildForm::Family1Click()
{
  graph().CancelMouseMode();
  EditFamilyMode(this, familyOn_, familyPlan_);
}

int TTransChildForm::nearestMember(double x, double y) const
{
  const TRChart* c = chart();
  const QRectF area = c->PlotArea();
  if (family_->members.count == 0 || !runShown() || area.width() <= 0 || area.height() <= 0)
    return -1;
  return NearestTimeMember(*family_, x, y, (c->RangeHiX() - c->RangeLoX()) / area.width(),
                           (c->RangeHiY() - c->RangeLoY()) / area.height());
}

void TTransChildForm::showNearestMember(double x, double y)
{
  const int m = nearestMember(x, y);
  if (m >= 0)
    SetStatusPanel(2, NearestMemberText(familyPlan_, family_->members, m));
}

QString TTransChildForm::costLine() const
{
  return costEdit_->text();
}
bool TTransChildForm::costPanelShown() const
{
  return !costPanel_->isHidden();
}

void TTransChildForm::showCost()
{
  QString text = QString::fromLatin1(stat_->costText);
  if (text.size() >= kCostTextCut)
    text = text.left(kCostTextShown) + QStringLiteral("...");
  costEdit_->setText(text + QStringLiteral(" = ") + QString::fromStdString(FormatModelNumber(stat_->result.cost)));
  costEdit_->setCursorPosition(0);
  costPanel_->show();
}

void TTransChildForm::Wipe1Click()
{
  TDomainChildForm::Wipe1Click();
  family_->members.count = 0;
  familyLegend_->hide();
  setPlotted(stat_->plotType, false);
}

void TTransChildForm::SetPlotType(TransPlot type)
{
  if (type == stat_->plotType) {
    syncPlotTypeChecks();
    return;
  }
  stat_->plotType = type;
  syncPlotTypeChecks();
  const bool phase = type == TransPlot::PhasePlane;
  if (phase)
    setPhaseAxisTitles();
  // Ends zoom, pan and relative mode, and checks the graticule items.
  ShowChart(chartOf(type));
  graph().setReadoutTemplate(phase ? QStringLiteral("X = %s,  Y = %s") : QStringLiteral("Time = %s,  Value = %s"));
  const TimeAutoscale rule = TimeAutoscaleOf(*stat_);
  SetAutoscaleMargins(rule.marginX, rule.marginY);
  hasPlot_ = plotted(type);
  // The family on show belongs to the other chart; a Go below draws it again.
  familyLegend_->hide();
  // The chart shows the loop as it is now.
  if (hasPlot_)
    Go1Click();
  chart()->ShowGraph();
}

void TTransChildForm::PopupMenu1Popup()
{
  syncPlotTypeChecks();
  TDomainChildForm::PopupMenu1Popup();
}

void TTransChildForm::Plotcontroleffort1Click()
{
  stat_->secondary =
      stat_->secondary == SecondaryTrace::ControlEffort ? SecondaryTrace::None : SecondaryTrace::ControlEffort;
  effortItem_->setChecked(stat_->secondary == SecondaryTrace::ControlEffort);
}

void TTransChildForm::Plotcursor1Click()
{
  // A failed Go after a good one leaves the plot but no run to read.
  if (!runShown()) {
    ShowWarning(this, QStringLiteral("You need a plot for the cursor"));
    return;
  }
  graph().CancelMouseMode();
  // One cursor per window: a new one starts afresh.
  OpenCursor<TTransCursorDlg>(this);
}

void TTransChildForm::Scales1Click()
{
  graph().CancelMouseMode();
  scales_->axes = RangesOf(*chart());
  scales_->duration = stat_->duration;
  scales_->points = stat_->points;
  if (scales_->Execute() != QDialog::Accepted)
    return;
  stat_->duration = scales_->duration;
  stat_->points = scales_->points;
  if (scales_->rangesEdited()) {
    const AxisRanges& r = scales_->axes;
    chart()->SetRangeLoX(r.xMin);
    chart()->SetRangeHiX(r.xMax);
    chart()->SetRangeLoY(r.yMin);
    chart()->SetRangeHiY(r.yMax);
    chart()->ShowGraph();
  }
}

void TTransChildForm::Autoscale1Click()
{
  const TimeAutoscale rule = TimeAutoscaleOf(*stat_);
  graph().Autoscale(
      [this, rule] {
        Go1Click();
        if (hasPlot_ && rule.timeAxis) {
          chart()->SetRangeLoX(0);
          chart()->SetRangeHiX(rule.duration);
        }
        return hasPlot_;
      },
      rule.marginX, rule.marginY);
}

void TTransChildForm::Config1Click()
{
  try {
    TTransConfigDlg dlg(this);
    dlg.config = TransConfigOf(*stat_, Sys());
    if (dlg.Execute() == QDialog::Accepted)
      ConfigurationApplied(StoreTransConfig(dlg.config, *stat_, Sys()));
  } catch (const std::exception&) {
    ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Problem showing dialogue"), MsgIcon::Exclamation);
  }
}

void TTransChildForm::ConfigurationApplied(bool phaseFunctionsChanged)
{
  if (stat_->costOnGo && costPanel_->isHidden())
    costEdit_->clear();
  costPanel_->setVisible(stat_->costOnGo);
  if (phaseFunctionsChanged) {
    setPhaseAxisTitles();
    // A path of other functions would lie on axes that no longer say what
    // they are.
    if (stat_->plotType == TransPlot::PhasePlane) {
      Wipe1Click();
    } else {
      phaseChart_->ClearGraph();
      setPlotted(TransPlot::PhasePlane, false);
    }
  }
  effortItem_->setChecked(stat_->secondary == SecondaryTrace::ControlEffort);
  SyncLoopState();
}

void TTransChildForm::Characteristics1Click()
{
  if (stat_->plotType != TransPlot::TimeResponse || !runShown()) {
    ShowWarning(this, QStringLiteral("You need a time response for its characteristics"));
    return;
  }
  if (family_->members.count > 0) {
    characteristicsOfFamily();
    return;
  }
  ResponseCharacteristics c;
  if (!ComputeCharacteristics(stat_->result, c)) {
    ShowWarning(this, QStringLiteral("The output of the last run is not finite"));
    return;
  }
  if (charDlg_)
    charDlg_->close();
  auto* dlg = new TTransCharDlg(this, c);
  charDlg_ = dlg;
  dlg->Open();
}

void TTransChildForm::characteristicsOfFamily()
{
  const auto number = [](double v) { return QString::fromStdString(FormatModelNumber(v)); };
  const QString none = QStringLiteral("none");
  const auto row = [&](const QString& value, const ResponseCharacteristics& c, bool ok) {
    const bool rel = ok && c.relative;
    return QStringList{value,
                       ok ? number(c.finalValue) : none,
                       ok ? number(c.peak) : none,
                       ok ? number(c.peakTime) : none,
                       rel ? number(c.overshoot) : none,
                       rel ? number(c.riseTime) : none,
                       rel ? number(c.settlingTime) : none};
  };
  QList<QStringList> rows;
  for (int m = 0; m < family_->members.count; ++m) {
    const auto k = static_cast<std::size_t>(m);
    rows.append(row(number(family_->members.value[k]), family_->characteristics[k], family_->haveCharacteristics[k]));
  }
  ResponseCharacteristics current;
  const bool ok = ComputeCharacteristics(stat_->result, current);
  rows.append(row(number(FamilyParameterValue(Sys(), familyPlan_.over)) + tr(" (current)"), current, ok));
  const QStringList headers{QLatin1String(FamilyParameterName(familyPlan_.over)),
                            tr("Final value"),
                            tr("Peak"),
                            tr("Peak time"),
                            tr("Overshoot %"),
                            tr("Rise time"),
                            tr("Settling time")};
  TFamilyTableDlg dlg(this, tr("Family characteristics"), headers, rows);
  ExecModal(dlg);
}
