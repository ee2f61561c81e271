#include "gui/window/DomainChildForm.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/LiveFollower.h"
#include "gui/base/OutputCommands.h"

#include "engine/model/Model.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QVBoxLayout>

TDomainChildForm::TDomainChildForm(const DomainAbilities& abilities, QWidget* parent)
    : QWidget(parent), abilities_(abilities)
{
  setAttribute(Qt::WA_DeleteOnClose);
}

void TDomainChildForm::closeFollowingDialogs()
{
  for (QDialog* d : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
    if (auto* f = dynamic_cast<LiveFollower*>(d); f && f->following())
      d->done(QDialog::Rejected);
}

void TDomainChildForm::run(RoutedCommand c)
{
  if (!accepts(c))
    return;
  closeFollowingDialogs();
  switch (c) {
    case RoutedCommand::Go:
      Go1Click();
      break;
    case RoutedCommand::Autoscale:
      Autoscale1Click();
      break;
    case RoutedCommand::Wipe:
      Wipe1Click();
      break;
    case RoutedCommand::Plotcursor:
      Plotcursor1Click();
      break;
    case RoutedCommand::Scales:
      Scales1Click();
      break;
    case RoutedCommand::Zoomin:
      Zoomin1Click();
      break;
    case RoutedCommand::Zoomout:
      Zoomout1Click();
      break;
    case RoutedCommand::Pan:
      Pan1Click();
      break;
    case RoutedCommand::Closedloop:
      Closedloop1Click();
      break;
    case RoutedCommand::Openloop:
      Openloop1Click();
      break;
    case RoutedCommand::Compensator:
      Compensator1Click();
      break;
    case RoutedCommand::Plant:
      Plant1Click();
      break;
    case RoutedCommand::FwdNlin:
      FwdNlin1Click();
      break;
    case RoutedCommand::FbkNlin:
      FbkNlin1Click();
      break;
    case RoutedCommand::Config:
      Config1Click();
      break;
  }
}

DomainWindowState TDomainChildForm::state() const
{
  const bool df = describingFunctionMode();
  DomainWindowState s{ButtonStatesFor(abilities_, switches(), df), graph_->zoomHint(), graph_->panHint(),
                      DiagramFor(abilities_, switches(), df)};
  s.buttons[Index(RoutedCommand::Zoomin)].down = graph_->zoomMode();
  s.buttons[Index(RoutedCommand::Pan)].down = graph_->panMode();
  return s;
}

void TDomainChildForm::FormActivate()
{
  Sys().activeDomain = kind();
  emit stateChanged();
}

void TDomainChildForm::closeEvent(QCloseEvent* event)
{
  emit formClosed(kind());
  event->accept();
  // Closed by itself rather than through its frame window: the frame window
  // goes too, so no empty one stays behind (Qt ignores a second close of the
  // window that is already closing).
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
    sub->close();
}

QMenu* TDomainChildForm::AddMenu(const QString& title)
{
  auto* menu = new QMenu(title, this);
  menus_.append(menu);
  return menu;
}

QAction* TDomainChildForm::AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                                   void (TDomainChildForm::*handler)())
{
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromLatin1(name));
  a->setShortcut(key);
  // Shortcuts of a child's items work while the child's menus are in the bar.
  a->setShortcutContext(Qt::WindowShortcut);
  connect(a, &QAction::triggered, this, [this, handler] {
    closeFollowingDialogs();
    (this->*handler)();
  });
  return a;
}

void TDomainChildForm::SyncLoopState()
{
  const FrameButtonStates b = ButtonStatesFor(abilities_, loop(), describingFunctionMode());
  for (int i = 0; i < kRoutedCommands; ++i) {
    if (QAction* a = loopItems_[static_cast<std::size_t>(i)]) {
      a->setEnabled(b[static_cast<std::size_t>(i)].enabled);
      if (a->isCheckable())
        a->setChecked(b[static_cast<std::size_t>(i)].down);
    }
  }
  emit stateChanged();
}

void TDomainChildForm::Openloop1Click()
{
  if (abilities_.loopMode == LoopModeAbility::Reports) {
    ShowPoleReport(false);
    return;
  }
  loop().closedLoop = false;
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::Closedloop1Click()
{
  if (abilities_.loopMode == LoopModeAbility::Reports) {
    ShowPoleReport(true);
    return;
  }
  loop().closedLoop = true;
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::Compensator1Click()
{
  if (describingFunctionMode())
    return;
  ToggleCompensator(loop());
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::Plant1Click()
{
  if (describingFunctionMode())
    return;
  TogglePlant(loop());
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::FwdNlin1Click()
{
  LoopSwitches& w = loop();
  if (abilities_.nonlinearities == NonlinearityAbility::DescribingFunction) {
    // Exactly one of the two is chosen, and only while the mode is on.
    if (!describingFunctionMode())
      return;
    w.fwdNl = !w.fwdNl;
    w.fbkNl = !w.fwdNl;
  } else {
    w.fwdNl = !w.fwdNl;
  }
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::FbkNlin1Click()
{
  LoopSwitches& w = loop();
  if (abilities_.nonlinearities == NonlinearityAbility::DescribingFunction) {
    if (!describingFunctionMode())
      return;
    w.fbkNl = !w.fbkNl;
    w.fwdNl = !w.fbkNl;
  } else {
    w.fbkNl = !w.fbkNl;
  }
  SyncLoopState();
  LoopChanged();
}

void TDomainChildForm::AddLoopItems(QMenu* menu, const QString& openCaption, const char* openName,
                                    const QString& closedCaption)
{
  const auto item = [this, menu](RoutedCommand c, const char* name, const QString& caption, QKeySequence key,
                                 void (TDomainChildForm::*handler)()) {
    QAction* a = AddItem(menu, name, caption, key, handler);
    loopItems_[static_cast<std::size_t>(Index(c))] = a;
    return a;
  };
  QAction* open = item(RoutedCommand::Openloop, openName, openCaption, QKeySequence(Qt::CTRL | Qt::Key_O),
                       &TDomainChildForm::Openloop1Click);
  QAction* closed = item(RoutedCommand::Closedloop, "Closedloop1", closedCaption, QKeySequence(Qt::CTRL | Qt::Key_C),
                         &TDomainChildForm::Closedloop1Click);
  // Pole reports are commands, not modes: no check marks.
  open->setCheckable(abilities_.loopMode == LoopModeAbility::Mode);
  closed->setCheckable(abilities_.loopMode == LoopModeAbility::Mode);
  item(RoutedCommand::Compensator, "Compensator1", tr("Co&mpensator"), QKeySequence(Qt::Key_F2),
       &TDomainChildForm::Compensator1Click)
      ->setCheckable(true);
  item(RoutedCommand::Plant, "Plant1", tr("&Plant"), QKeySequence(Qt::Key_F3), &TDomainChildForm::Plant1Click)
      ->setCheckable(true);
}

void TDomainChildForm::AddNonlinearityItems(QMenu* menu)
{
  QAction* fwd = AddItem(menu, "FwdNlin1", tr("For&ward path nonlinearity"), QKeySequence(Qt::Key_F4),
                         &TDomainChildForm::FwdNlin1Click);
  QAction* fbk = AddItem(menu, "FbkNlin1", tr("Feed&back path nonlinearity"), QKeySequence(Qt::Key_F5),
                         &TDomainChildForm::FbkNlin1Click);
  fwd->setCheckable(true);
  fbk->setCheckable(true);
  loopItems_[static_cast<std::size_t>(Index(RoutedCommand::FwdNlin))] = fwd;
  loopItems_[static_cast<std::size_t>(Index(RoutedCommand::FbkNlin))] = fbk;
}

void TDomainChildForm::AddGraphItems(QMenu* menu, const char* wipeName, const char* cursorName,
                                     const QString& cursorCaption)
{
  AddItem(menu, "Go1", tr("&Go"), QKeySequence(Qt::CTRL | Qt::Key_G), &TDomainChildForm::Go1Click);
  AddItem(menu, wipeName, tr("&Wipe"), QKeySequence(Qt::CTRL | Qt::Key_W), &TDomainChildForm::Wipe1Click);
  AddItem(menu, cursorName, cursorCaption, QKeySequence(Qt::CTRL | Qt::Key_X), &TDomainChildForm::Plotcursor1Click);
  AddItem(menu, "Scales1", tr("&Scales..."), QKeySequence(Qt::CTRL | Qt::Key_S), &TDomainChildForm::Scales1Click);
  AddItem(menu, "Autoscale1", tr("&Auto scale"), QKeySequence(Qt::CTRL | Qt::Key_A),
          &TDomainChildForm::Autoscale1Click);
  zoomItem_ =
      AddItem(menu, "Zoomin1", tr("&Zoom in"), QKeySequence(Qt::CTRL | Qt::Key_Z), &TDomainChildForm::Zoomin1Click);
  AddItem(menu, "Zoomout1", tr("Zoom &back"), QKeySequence(Qt::CTRL | Qt::Key_B), &TDomainChildForm::Zoomout1Click);
  panItem_ = AddItem(menu, "Pan1", tr("&Pan"), QKeySequence(), &TDomainChildForm::Pan1Click);
  graticuleItem_ = AddItem(menu, "Graticulevisible1", tr("G&raticule visible"), QKeySequence(),
                           &TDomainChildForm::Graticulevisible1Click);
  for (QAction* a : {zoomItem_, panItem_, graticuleItem_})
    a->setCheckable(true);
}

TRChart* TDomainChildForm::makeChart(const ChartSetup& setup)
{
  auto* chart = new TRChart(this);
  ApplyChartSetup(*chart, setup);
  layout()->addWidget(chart);
  connect(chart, &TRChart::OnMouseMoveInChart, this,
          [this](bool in, double x, double y) { graph_->MouseMoveInChart(in, x, y); });
  connect(chart, &TRChart::OnZoomPan, this, &TDomainChildForm::ChartZoomPan);
  return chart;
}

TRChart* TDomainChildForm::AddChart(const ChartSetup& setup)
{
  TRChart* chart = makeChart(setup);
  chart->hide();
  return chart;
}

void TDomainChildForm::ShowChart(TRChart* chart)
{
  if (chart == graph_->chart())
    return;
  graph_->CancelMouseMode();
  graph_->LeaveRelative();
  graph_->chart()->hide();
  chart->show();
  graph_->setChart(chart);
}

void TDomainChildForm::SetUpChart(const ChartSetup& setup, const char* readout, double marginX, double marginY)
{
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  TRChart* chart = makeChart(setup);

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  AddItem(popup_, "Mark1", tr("&Mark"), QKeySequence(), &TDomainChildForm::Mark1Click);
  QAction* relative =
      AddItem(popup_, "Relativemode1", tr("&Relative mode"), QKeySequence(), &TDomainChildForm::Relativemode1Click);
  relative->setCheckable(true);
  popup_->addSeparator();
  QAction* graticulePopup = AddItem(popup_, "Graticulevisible2", tr("&Graticule visible"), QKeySequence(),
                                    &TDomainChildForm::Graticulevisible1Click);
  graticulePopup->setCheckable(true);
  popup_->addSeparator();
  // The chart shown now goes to the printer, the clipboard or a file.
  QAction* print = popup_->addAction(tr("&Print graph"));
  print->setObjectName(QStringLiteral("Printgraph1"));
  connect(print, &QAction::triggered, this, [this] { PrintGraph(this, *this->chart()); });
  QAction* copy = popup_->addAction(tr("&Copy graph to clipboard"));
  copy->setObjectName(QStringLiteral("Copytoclipboard1"));
  connect(copy, &QAction::triggered, this, [this] { CopyGraph(*this->chart()); });
  QAction* exportItem = popup_->addAction(tr("Export..."));
  exportItem->setObjectName(QStringLiteral("Export1"));
  connect(exportItem, &QAction::triggered, this, [this] { ExportGraph(this, *this->chart()); });
  connect(popup_, &QMenu::aboutToShow, this, &TDomainChildForm::PopupMenu1Popup);

  graph_ = std::make_unique<GraphInteractions>(
      this, GraphActions{zoomItem_, panItem_, graticuleItem_, graticulePopup, relative}, QLatin1String(readout));
  graph_->setChart(chart);
  graph_->setModeListener([this] { emit stateChanged(); });
  SetAutoscaleMargins(marginX, marginY);
  setMouseTracking(true);
}

void TDomainChildForm::Wipe1Click()
{
  graph_->CancelMouseMode();
  chart()->ClearGraph();
  chart()->ShowGraph();
  hasPlot_ = false;
}

void TDomainChildForm::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  if (!followWhenShown_)
    return;
  followWhenShown_ = false;
  if (const QString why = FollowShownWindow(this); !why.isEmpty())
    SetStatusPanel(2, why);
}

void TDomainChildForm::FollowLoop()
{
  if (!hasPlot_ && !followAgain_)
    return;
  Wipe1Click();
  DrawLiveReference();
  Go1Click();
  followAgain_ = !hasPlot_;
}

namespace {
// A colour three quarters of the way to white.
std::uint32_t Tint(std::uint32_t rgb)
{
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t c = (rgb >> shift) & 0xFFu;
    out |= (c + (0xFFu - c) * 3 / 4) << shift;
  }
  return out;
}
}  // namespace

void TDomainChildForm::SetLiveReference(bool on)
{
  reference_.clear();
  followAgain_ = false;
  if (!on || !hasPlot_)
    return;
  const DisplayList& l = chart()->Items();
  for (std::size_t i = 0; i < l.size(); ++i) {
    const ChartItem& it = l.item(i);
    if (it.kind != ItemKind::Polyline || it.count < 2)
      continue;
    const ChartPoint* p = l.points(it);
    reference_.push_back({Tint(it.colour), std::vector<ChartPoint>(p, p + it.count)});
  }
}

void TDomainChildForm::DrawLiveReference()
{
  DisplayList& l = chart()->Items();
  for (const ReferenceCurve& c : reference_) {
    l.moveTo(c.points[0].x, c.points[0].y, c.colour);
    for (std::size_t k = 1; k < c.points.size(); ++k)
      l.drawTo(c.points[k].x, c.points[k].y, c.colour);
  }
}

void TDomainChildForm::Autoscale1Click()
{
  graph_->Autoscale(
      [this] {
        Go1Click();
        return hasPlot_;
      },
      marginX_, marginY_);
}

void TDomainChildForm::contextMenuEvent(QContextMenuEvent* event)
{
  if (popup_)
    popup_->exec(event->globalPos());
}

void TDomainChildForm::mouseMoveEvent(QMouseEvent* event)
{
  // Outside the chart the pointer takes the default cursor again.
  unsetCursor();
  QWidget::mouseMoveEvent(event);
}
