#include "gui/frame/MainForm.h"
#include "gui/frame/ParameterPanel.h"

#include "engine/domain/Domains.h"
#include "engine/model/SysData.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/HelpViewer.h"
#include "gui/base/Messages.h"
#include "gui/base/OutputCommands.h"
#include "gui/diagram/SysDef.h"
#include "gui/dialogs/EditTFDlg.h"
#include "gui/dialogs/EvalDlg.h"
#include "gui/dialogs/ParamDlg.h"
#include "gui/frame/AboutBox.h"
#include "gui/frame/Autosave.h"
#include "gui/frame/DocumentSession.h"
#include "gui/frame/ValueEditors.h"
#include "gui/frame/WindowPlacement.h"
#include "gui/freq/FreqChild.h"
#include "gui/nlin/NlinChild.h"
#include "gui/root/RootChild.h"
#include "gui/time/TransChild.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <numeric>

namespace {

const char kTitle[] = "VANTO for Windows";

template <typename Form>
TDomainChildForm* Make()
{
  return new Form;
}

// How to make a window of each domain, in the order of kDomains.
TDomainChildForm* (*const kNewWindow[kDomainCount])() = {Make<TTransChildForm>, Make<TFreqChildForm>,
                                                         Make<TRootChildForm>, Make<TNlinChildForm>};

Qt::Key FunctionKey(const DomainInfo& d)
{
  return static_cast<Qt::Key>(Qt::Key_F1 + d.functionKey - 1);
}

// The routed tool buttons: the loop group, then the graph group.
struct RoutedButton {
  const char* name;
  const char* icon;
  const char* hint;
  bool latching;
  RoutedCommand command;
};
const RoutedButton kLoopButtons[] = {
    {"OpenLoopSpdBtn", "openloop", "Open loop", true, RoutedCommand::Openloop},
    {"ClosedLoopSpdBtn", "closedloop", "Closed loop", true, RoutedCommand::Closedloop},
    {"CompSpdBtn", "comp", "Compensator", true, RoutedCommand::Compensator},
    {"PlantSpdBtn", "plant", "Plant", true, RoutedCommand::Plant},
    {"FwdNlinSpdBtn", "fwdnl", "Forward path nonlinearity", true, RoutedCommand::FwdNlin},
    {"FbkNlinSpdBtn", "fbknl", "Feedback path nonlinearity", true, RoutedCommand::FbkNlin}};
const RoutedButton kGraphButtons[] = {
    {"WipeSpdBtn", "wipe", "Wipe graph", false, RoutedCommand::Wipe},
    {"GoSpdBtn", "go", "Go - draw response", false, RoutedCommand::Go},
    {"CursSpdBtn", "cursor", "Plot-following cursor", false, RoutedCommand::Plotcursor},
    {"ConfigSpdBtn", "config", "Configuration", false, RoutedCommand::Config},
    {"ScaleSpdBtn", "scales", "Graph scales", false, RoutedCommand::Scales},
    {"AutoScaleSpdBtn", "autoscale", "Auto scale", false, RoutedCommand::Autoscale},
    {"PanSpdBtn", "pan", "Pan", true, RoutedCommand::Pan},
    {"ZoominSpdBtn", "zoomin", "Zoom in", true, RoutedCommand::Zoomin},
    {"ZoomoutSpdBtn", "zoomout", "Zoom Out", false, RoutedCommand::Zoomout}};

// The frame's state with no domain window: routed buttons disabled and up,
// the mode hints as at start, every block of the diagram shown.
DomainWindowState NoWindowState()
{
  const GraphHints hints;
  return {FrameButtonStates{}, hints.zoomIn, hints.pan, DiagramView{}};
}

// Shows the blocks of the diagram as view has them, in the diagram's order.
void ShowDiagram(TSysDefForm& d, const DiagramView& view)
{
  d.ShowClosure(view.closure);
  d.ShowCompensator(view.compensator.visible, view.compensator.showContent);
  d.ShowPlant(view.plant.visible, view.plant.showContent);
  d.ShowFwdNonlinearity(view.fwdNl.visible, view.fwdNl.showContent);
  d.ShowFbkNonlinearity(view.fbkNl.visible, view.fbkNl.showContent);
  d.ShowReference(view.reference);
  d.ShowLoad(view.load);
  d.ShowNoise(view.noise);
  d.ShowGain(view.gain);
  d.ShowHold(view.hold);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
  setObjectName(QStringLiteral("MainForm"));
  setProperty("helpContext", 17);
  RegisterMainFrame(this);

  // The create event: counters at zero, then the model with the example loop.
  counts_.fill(0);
  model_ = std::make_unique<ModelScope>();
  session_ = new TDocumentSession(this, [this] { showLoop(); });
  connect(session_, &TDocumentSession::titleChanged, this, &TMainForm::updateTitle);
  // Each change is in the autosave within 2 s of it.
  autosave_ = std::make_unique<TAutosave>();
  autosaveTimer_ = new QTimer(this);
  autosaveTimer_->setObjectName(QStringLiteral("AutosaveTimer"));
  autosaveTimer_->setSingleShot(true);
  autosaveTimer_->setInterval(2000);
  connect(autosaveTimer_, &QTimer::timeout, this, &TMainForm::writeAutosave);
  // A save (or an undo back to the saved state) removes it the same way.
  for (auto signal : {&TDocumentSession::changed, &TDocumentSession::titleChanged})
    connect(session_, signal, this, [this] {
      if (!autosaveTimer_->isActive())
        autosaveTimer_->start();
    });

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("MdiArea"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->viewport()->setMouseTracking(true);
  mdi_->viewport()->installEventFilter(this);
  // The frame watches its own modified mark (see eventFilter).
  installEventFilter(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::childActivated);

  createMenus();
  createToolBar();
  createStatusBar();

  sysDef_ = new TSysDefForm;
  createSysDefDock();
  eval_ = new TEvalDlg(this);
  editTF_ = new TEditTFDlg(this);
  params_ = new TParamDlg(this);
  about_ = new TAboutBox(this);
  connect(sysDef_, &TSysDefForm::visibilityChanged, this, &TMainForm::sysDefShown);
  connect(sysDef_, &TSysDefForm::gainClicked, this, [this] {
    EditGain(this);
    edited(tr("gain"));
  });
  connect(sysDef_, &TSysDefForm::delayClicked, this, [this] {
    EditDelay(this);
    edited(tr("delay"));
  });
  connect(sysDef_, &TSysDefForm::holdClicked, this, &TMainForm::editSampleHold);
  connect(sysDef_, &TSysDefForm::elementClicked, this, &TMainForm::editElement);
  connect(sysDef_, &TSysDefForm::elementLabelClicked, this,
          [this](int element) { Route(element == kCompensator ? RoutedCommand::Compensator : RoutedCommand::Plant); });
  connect(sysDef_, &TSysDefForm::nonlinearityClicked, this, [this](bool forward) {
    EditNonlinearity(this, forward);
    edited(forward ? tr("forward path nonlinearity") : tr("feedback path nonlinearity"));
  });
  connect(sysDef_, &TSysDefForm::nonlinearityLabelClicked, this,
          [this](bool forward) { Route(forward ? RoutedCommand::FwdNlin : RoutedCommand::FbkNlin); });

  // What results windows show is kept for "Print results...".
  WatchResults();
  updateTitle();
  setWindowIcon(QIcon(QStringLiteral(":/icons/vanto.svg")));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    startFrame_ = FrameStartGeometry(screen->availableGeometry());
  setGeometry(startFrame_);
  UpdateMenuItems();
}

TMainForm::~TMainForm()
{
  // The session's undo stack, deleted with the frame's children, tells of
  // its clearing as it goes: by then this frame must no longer listen.
  disconnect(session_, nullptr, this, nullptr);
  removeEventFilter(this);
  // Children first, while the model they may read still exists.
  qDeleteAll(mdi_->subWindowList());
  delete sysDef_;
  delete eval_;
  delete editTF_;
  delete params_;
  delete paramPanel_;
  delete about_;
  RegisterMainFrame(nullptr);
  autosave_->Remove();
  model_.reset();
}

QAction* TMainForm::addEntry(QMenu* menu, const char* name, const QString& caption, const QString& hint, bool enabled)
{
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromLatin1(name));
  a->setStatusTip(hint);
  a->setEnabled(enabled);
  return a;
}

void TMainForm::createMenus()
{
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu(tr("&File"));
  file->setObjectName(QStringLiteral("File1"));
  file->menuAction()->setStatusTip(tr("File related commands"));
  QAction* open = addEntry(file, "Open1", tr("&Open..."), tr("Open an existing file"));
  connect(open, &QAction::triggered, this, &TMainForm::openEnvironment);
  QAction* load = addEntry(file, "Loadsystem1", tr("&Load system..."), QString());
  connect(load, &QAction::triggered, this, &TMainForm::loadSystem);
  closeAll_ = addEntry(file, "Closeall1", tr("&Close all"), tr("Close current file"));
  connect(closeAll_, &QAction::triggered, this, &TMainForm::closeAll);
  QAction* newSystem = addEntry(file, "Newsystem1", tr("&New system"), QString());
  connect(newSystem, &QAction::triggered, this, &TMainForm::newSystem);
  file->addSeparator();
  QAction* save = addEntry(file, "Save1", tr("&Save..."), tr("Save current file"));
  connect(save, &QAction::triggered, this, &TMainForm::saveDocument);
  QAction* saveAs = addEntry(file, "Saveas1", tr("Save &as..."), tr("Save current file as..."));
  connect(saveAs, &QAction::triggered, this, &TMainForm::saveDocumentAs);
  file->addSeparator();
  // The active window's chart to the printer or the clipboard; the results
  // last shown to the printer.
  printGraph_ = addEntry(file, "Printgraph1", tr("&Print graph..."), QString(), false);
  connect(printGraph_, &QAction::triggered, this, [this] {
    if (TDomainChildForm* child = activeChild())
      PrintGraph(this, *child->chart());
  });
  QAction* printResults = addEntry(file, "Printresults1", tr("Print &results..."), QString());
  connect(printResults, &QAction::triggered, this, [this] { PrintResults(this); });
  copyGraph_ = addEntry(file, "Copygraphtoclipboard1", tr("&Copy graph to clipboard"), QString(), false);
  connect(copyGraph_, &QAction::triggered, this, [this] {
    if (TDomainChildForm* child = activeChild())
      CopyGraph(*child->chart());
  });
  file->addSeparator();
  QAction* options = addEntry(file, "Options1", tr("Op&tions..."), QString());
  connect(options, &QAction::triggered, this, [this] { ShowOptions(this); });
  file->addSeparator();
  QAction* exit = addEntry(file, "Exit1", tr("E&xit"), tr("Exit the application"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = bar->addMenu(tr("&Edit"));
  edit->setObjectName(QStringLiteral("Edit1"));
  edit->addAction(session_->undoAction());
  edit->addAction(session_->redoAction());
  edit->addSeparator();
  QAction* gain = addEntry(edit, "Gain1", tr("&Gain..."), QString());
  gain->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  connect(gain, &QAction::triggered, this, [this] {
    EditGain(this);
    edited(tr("gain"));
  });
  QAction* delay = addEntry(edit, "Delay1", tr("&Delay..."), QString());
  delay->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(delay, &QAction::triggered, this, [this] {
    EditDelay(this);
    edited(tr("delay"));
  });
  QAction* hold = addEntry(edit, "Sampleholdtime1", tr("&Sample hold time..."), QString());
  hold->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  connect(hold, &QAction::triggered, this, &TMainForm::editSampleHold);
  edit->addSeparator();
  QAction* compensator = addEntry(edit, "Compensator1", tr("&Compensator..."), QString());
  connect(compensator, &QAction::triggered, this, [this] { editElement(kCompensator); });
  QAction* plant = addEntry(edit, "Plant1", tr("&Plant..."), QString());
  connect(plant, &QAction::triggered, this, [this] { editElement(kPlant); });
  edit->addSeparator();
  QAction* fwdNl = addEntry(edit, "Forwardpathnonlinearity1", tr("&Forward path non linearity..."),
                            tr("Edit the forward path nonlinearity"));
  connect(fwdNl, &QAction::triggered, this, [this] {
    EditNonlinearity(this, true);
    edited(tr("forward path nonlinearity"));
  });
  QAction* fbkNl = addEntry(edit, "Feedbackpathnonlinearity1", tr("Feedbac&k path non linearity..."),
                            tr("Edit the feedback path nonlinearity"));
  connect(fbkNl, &QAction::triggered, this, [this] {
    EditNonlinearity(this, false);
    edited(tr("feedback path nonlinearity"));
  });

  QMenu* view = bar->addMenu(tr("&View"));
  view->setObjectName(QStringLiteral("View1"));
  sysDefItem_ = addEntry(view, "Systemdefinition1", tr("&System definition"), QString());
  sysDefItem_->setCheckable(true);
  connect(sysDefItem_, &QAction::triggered, this, &TMainForm::toggleSysDef);
  QAction* evaluator = addEntry(view, "Evaluator1", tr("&Evaluator"), QString());
  evaluator->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal));
  connect(evaluator, &QAction::triggered, this, &TMainForm::showEvaluator);
  QAction* params = addEntry(view, "Parameters1", tr("&Parameters"), QString());
  params->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(params, &QAction::triggered, this, [this] {
    if (ExecModal(*params_) == QDialog::Accepted && activeChild())
      activeChild()->ModelEdited(ModelEdit::Parameters);
    edited(tr("parameters"));
  });
  QAction* panel =
      addEntry(view, "Parameterpanel1", tr("Parameter p&anel"), tr("Sliders for the parameters the loop uses"));
  panel->setCheckable(true);
  paramPanel_ = new TParameterPanel(this);
  addDockWidget(Qt::RightDockWidgetArea, paramPanel_);
  paramPanel_->hide();
  connect(panel, &QAction::triggered, paramPanel_, &QWidget::setVisible);
  connect(paramPanel_, &QDockWidget::visibilityChanged, panel, &QAction::setChecked);
  // The rows follow the texts and values of every change, undo and redo.
  connect(session_, &TDocumentSession::changed, paramPanel_, &TParameterPanel::Refresh);

  windowMenu_ = bar->addMenu(tr("&Window"));
  windowMenu_->setObjectName(QStringLiteral("Window1"));
  windowMenu_->menuAction()->setStatusTip(tr("Window related commands such as Tile and Cascade"));
  childMenusBefore_ = windowMenu_->menuAction();
  QMenu* newMenu = windowMenu_->addMenu(tr("&New..."));
  newMenu->setObjectName(QStringLiteral("New1"));
  for (const DomainInfo& k : kDomains) {
    QAction* a = addEntry(newMenu, k.menuName, tr(k.menuCaption), QString());
    a->setShortcut(QKeySequence(FunctionKey(k)));
    const ActiveDomain kind = k.domain;
    connect(a, &QAction::triggered, this, [this, kind] { NewWindow(kind); });
  }
  cascade_ = addEntry(windowMenu_, "Cascade1", tr("&Cascade"), tr("Arrange windows to overlap"));
  connect(cascade_, &QAction::triggered, this, &TMainForm::cascade);
  tile_ = addEntry(windowMenu_, "Tile1", tr("&Tile"), tr("Arrange windows without overlap"));
  connect(tile_, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
  arrange_ =
      addEntry(windowMenu_, "ArrangeIcons1", tr("&Arrange Icons"), tr("Arrange window icons at bottom of main window"));
  connect(arrange_, &QAction::triggered, this, &TMainForm::arrangeIcons);
  minimizeAll_ = addEntry(windowMenu_, "MinimizeAll1", tr("&Minimize All"), tr("Minimize all windows"));
  connect(minimizeAll_, &QAction::triggered, this, [this] {
    for (QMdiSubWindow* sub : mdi_->subWindowList())
      sub->showMinimized();
  });
  connect(windowMenu_, &QMenu::aboutToShow, this, &TMainForm::fillWindowMenu);

  QMenu* help = bar->addMenu(tr("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  help->menuAction()->setStatusTip(tr("Help topics"));
  QAction* contents = addEntry(help, "Contents1", tr("&Contents"), QString());
  connect(contents, &QAction::triggered, this, &TMainForm::showHelpContents);
  QAction* howTo = addEntry(help, "Howtousehelp1", tr("&How to use help"), QString());
  connect(howTo, &QAction::triggered, this, [this] { WinHelp(this, HelpFile(), HelpCommand::HelpOnHelp, 0); });
  help->addSeparator();
  QAction* about = addEntry(help, "About1", tr("&About"), QString());
  connect(about, &QAction::triggered, this, &TMainForm::showAbout);

  // F1 opens the help page of the window or dialog with the focus.
  InstallHelpKey(this);
}

QToolButton* TMainForm::addButton(const char* name, const char* icon, const QString& hint, bool enabled, bool latching)
{
  auto* b = new QToolButton(this);
  b->setObjectName(QString::fromLatin1(name));
  b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
  b->setAutoRaise(true);
  b->setFixedSize(25, 25);
  b->setIconSize(QSize(19, 19));
  b->setEnabled(enabled);
  b->setCheckable(latching);
  SetHint(b, hint);
  findChild<QToolBar*>(QStringLiteral("ToolBar"))->addWidget(b);
  return b;
}

void TMainForm::createToolBar()
{
  QToolBar* bar = addToolBar(tr("Tools"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(19, 19));
  bar->setContextMenuPolicy(Qt::PreventContextMenu);

  connect(addButton("OpenSpdBtn", "open", tr("Load system plus environment"), true, false), &QToolButton::clicked, this,
          &TMainForm::openEnvironment);
  connect(addButton("LoadSysSpdBtn", "loadsys", tr("Load a system definition"), true, false), &QToolButton::clicked,
          this, &TMainForm::loadSystem);
  connect(addButton("SaveSpdBtn", "save", tr("Save system plus environment"), true, false), &QToolButton::clicked, this,
          &TMainForm::saveEnvironment);
  bar->addSeparator();
  sysDefBtn_ = addButton("SysDefSpdBtn", "sysdef", tr("View system definition"), true, true);
  connect(sysDefBtn_, &QToolButton::clicked, this, &TMainForm::toggleSysDef);
  bar->addSeparator();

  const auto addRouted = [this, bar](const auto& buttons) {
    for (const RoutedButton& r : buttons) {
      QToolButton* b = addButton(r.name, r.icon, tr(r.hint), false, r.latching);
      const RoutedCommand c = r.command;
      routed_[static_cast<std::size_t>(Index(c))] = b;
      connect(b, &QToolButton::clicked, this, [this, c] { Route(c); });
    }
    bar->addSeparator();
  };
  addRouted(kLoopButtons);
  for (const DomainInfo& k : kDomains) {
    QToolButton* b = addButton(k.buttonName, k.icon, tr(k.hint), true, false);
    const ActiveDomain kind = k.domain;
    connect(b, &QToolButton::clicked, this, [this, kind] { NewWindow(kind); });
  }
  bar->addSeparator();
  addRouted(kGraphButtons);

  QToolButton* eq = addButton("EqSpdBtn", "eq", tr("Expression evaluator"), true, false);
  connect(eq, &QToolButton::clicked, this, &TMainForm::showEvaluator);
  QToolButton* opt = addButton("OptionsSpdBtn", "options", tr("Options"), true, false);
  connect(opt, &QToolButton::clicked, this, [this] { ShowOptions(this); });
  QToolButton* help = addButton("SpeedButton1", "help", tr("Help"), true, false);
  connect(help, &QToolButton::clicked, this, &TMainForm::showHelpContents);
}

void TMainForm::createStatusBar()
{
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  // The documented widths are the least; panels 0 and 2 grow to hold their
  // longest texts in the user's font, and panel 1, the read-out, takes what
  // the window has to spare (a Bode read-out is wider than 250 pixels).
  const int widths[3] = {50, 250, 170};
  for (int i = 0; i < 3; ++i) {
    auto* p = new QLabel(bar);
    p->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setMinimumWidth(widths[i]);
    bar->addWidget(p, i == 1 ? 1 : 0);
    panels_[static_cast<std::size_t>(i)] = p;
  }
  const QFontMetrics fm(panels_[0]->font());
  const int word =
      std::max(fm.horizontalAdvance(QStringLiteral("Absolute")), fm.horizontalAdvance(QStringLiteral("Relative")));
  panels_[0]->setFixedWidth(std::max(widths[0], word + 2 * panels_[0]->frameWidth() + 6));
  // Panel 2 holds the frequency window's polar read-out, the root window's
  // angle and damping ratio or the nonlinear window's note of a
  // characteristic cut short.
  const int polar = std::max({fm.horizontalAdvance(QStringLiteral("Mag = -0.1235, Ang = -123.5 deg")),
                              fm.horizontalAdvance(QStringLiteral("Arg{G(s)} = -123.5 deg, Damping ratio = 0.1235")),
                              fm.horizontalAdvance(QLatin1String(kNlinCutNote))});
  panels_[2]->setFixedWidth(std::max(widths[2], polar + 2 * panels_[2]->frameWidth() + 6));
}

void TMainForm::showEvent(QShowEvent* event)
{
  QMainWindow::showEvent(event);
  if (!firstShow_)
    return;
  firstShow_ = false;
  ResetDisplaySettings(Sys());
  // The start rectangle holds the window with its frame, known only now.
  const QSize border = frameGeometry().size() - size();
  resize(startFrame_.size() - border);
  move(startFrame_.topLeft());
  // The diagram's strip as high as the whole diagram (with the scroll bar
  // when the frame is narrower than the diagram).
  auto* scroll = static_cast<QScrollArea*>(sysDefDock_->widget());
  int high = sysDefDock_->sizeHint().height();
  if (sysDef_->width() > width())
    high += scroll->horizontalScrollBar()->sizeHint().height();
  sysDefDock_->show();
  resizeDocks({sysDefDock_}, {high}, Qt::Vertical);
}

void TMainForm::createSysDefDock()
{
  // The diagram's own strip below the window area; the window area yields
  // to it, so no domain window goes under the diagram. The user may float
  // or close the strip. A frame narrower than the diagram scrolls it.
  sysDefDock_ = new QDockWidget(sysDef_->windowTitle(), this);
  sysDefDock_->setObjectName(QStringLiteral("SysDefDock"));
  sysDefDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                           QDockWidget::DockWidgetFloatable);
  sysDefDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  auto* scroll = new QScrollArea(sysDefDock_);
  scroll->setObjectName(QStringLiteral("SysDefScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setAlignment(Qt::AlignCenter);
  scroll->setBackgroundRole(QPalette::Base);
  scroll->setWidget(sysDef_);
  sysDefDock_->setWidget(scroll);
  addDockWidget(Qt::BottomDockWidgetArea, sysDefDock_);
}

QRect TMainForm::childArea() const
{
  return mdi_->viewport()->rect();
}

int TMainForm::cascadeStep() const
{
  return fontMetrics().height() + 10;
}

void TMainForm::cascade()
{
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* sub : subs)
    if (!sub->isMinimized())
      shown.append(sub);
  const QRect area = childArea();
  const QSize size = CascadeSize(area, static_cast<int>(shown.size()), cascadeStep());
  int i = 0;
  for (QMdiSubWindow* sub : shown) {
    sub->showNormal();
    sub->setGeometry(CascadeGeometry(area, size, i++, cascadeStep()));
    sub->raise();
  }
  if (!shown.isEmpty())
    mdi_->setActiveSubWindow(shown.last());
}

void TMainForm::editSampleHold()
{
  if (EditSampleHold(this) && activeChild())
    activeChild()->ModelEdited(ModelEdit::SampleHold);
  edited(tr("sample-hold time"));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
  // A maximised window hands the frame its own modified mark whenever it
  // takes the focus: the frame's mark stays the document's.
  if (watched == this && event->type() == QEvent::ModifiedChange && isWindowModified() != session_->isModified())
    setWindowModified(session_->isModified());
  // The pointer over the frame's own client area: default cursor, panels empty.
  if (watched == mdi_->viewport() && event->type() == QEvent::MouseMove) {
    mdi_->viewport()->unsetCursor();
    for (QLabel* p : panels_)
      p->clear();
  }
  return QMainWindow::eventFilter(watched, event);
}

TDomainChildForm* TMainForm::activeChild() const
{
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  if (auto* child = sub ? qobject_cast<TDomainChildForm*>(sub->widget()) : nullptr)
    return child;
  // The area reports none while it has no active window (after the frame
  // was active elsewhere): the last one activated is the one the buttons show.
  return openChildren() > 0 ? lastActive_.data() : nullptr;
}

TDomainChildForm* TMainForm::NewWindow(ActiveDomain kind)
{
  const DomainInfo& k = kDomains[DomainIndex(kind)];
  TDomainChildForm* child = kNewWindow[DomainIndex(kind)]();
  const int n = ++counts_[static_cast<std::size_t>(kind)];
  child->setWindowTitle(QLatin1String(k.title) + QString::number(n));
  connect(child, &TDomainChildForm::formClosed, this, &TMainForm::childClosed);
  connect(child, &TDomainChildForm::stateChanged, this, [this, child] {
    if (child == lastActive_)
      applyState(child->state());
  });
  QMdiSubWindow* sub = mdi_->addSubWindow(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setMinimumSize(kUsableChild);
  // The window's own close takes Ctrl+F4, which leaves Ctrl+W to Wipe.
  for (QAction* a : sub->systemMenu()->actions())
    if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
      a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
  sub->setGeometry(NewChildGeometry(childArea(), openChildren() - 1, cascadeStep()));
  sub->show();
  mdi_->setActiveSubWindow(sub);
  UpdateMenuItems();
  return child;
}

int TMainForm::openChildren() const
{
  return std::accumulate(counts_.begin(), counts_.end(), 0);
}

void TMainForm::childActivated(QMdiSubWindow* sub)
{
  TDomainChildForm* child = sub ? qobject_cast<TDomainChildForm*>(sub->widget()) : nullptr;
  // The frame itself losing the focus reports no window: the last one stays.
  if (!child && lastActive_ && openChildren() > 0)
    return;
  if (child == lastActive_)
    return;
  // The window going out is no longer the one the frame shows.
  const QPointer<TDomainChildForm> previous = lastActive_;
  lastActive_ = child;
  if (previous)
    previous->FormDeactivate();

  // The menus of the active child stand in the menu bar in front of "&Window".
  for (const QPointer<QAction>& a : std::as_const(childMenuActions_))
    if (a)
      menuBar()->removeAction(a);
  childMenuActions_.clear();
  if (child) {
    for (QMenu* m : child->menus()) {
      menuBar()->insertAction(childMenusBefore_, m->menuAction());
      childMenuActions_.append(m->menuAction());
    }
    child->FormActivate();
  }
}

void TMainForm::applyState(const DomainWindowState& state)
{
  for (std::size_t i = 0; i < routed_.size(); ++i) {
    QToolButton* b = routed_[i];
    b->setEnabled(state.buttons[i].enabled);
    if (b->isCheckable())
      b->setChecked(state.buttons[i].down);
  }
  SetHint(routed_[static_cast<std::size_t>(Index(RoutedCommand::Zoomin))], state.zoomHint);
  SetHint(routed_[static_cast<std::size_t>(Index(RoutedCommand::Pan))], state.panHint);
  ShowDiagram(*sysDef_, state.diagram);
}

void TMainForm::childClosed(ActiveDomain kind)
{
  int& n = counts_[static_cast<std::size_t>(kind)];
  if (n > 0)
    --n;
  if (openChildren() == 0) {
    applyState(NoWindowState());
    Sys().activeDomain = ActiveDomain::Time;
  }
  UpdateMenuItems();
}

void TMainForm::UpdateMenuItems()
{
  // Every MDI child is a domain window, and the counters count the open ones.
  const bool any = openChildren() > 0;
  for (QAction* a : {closeAll_, cascade_, tile_, arrange_, minimizeAll_, printGraph_, copyGraph_})
    a->setEnabled(any);
}

void TMainForm::Route(RoutedCommand c)
{
  TDomainChildForm* child = activeChild();
  if (child && child->accepts(c)) {
    const QPointer<TDomainChildForm> guard(child);
    child->run(c);
    // A latching button goes down on its own when clicked: it shows the
    // window's state again (the root window's pole reports leave it up).
    if (guard && guard == lastActive_)
      applyState(guard->state());
    return;
  }
  if (c == RoutedCommand::Config)
    ShowWarning(this, QStringLiteral("No configuration dialigue"));
}

void TMainForm::closeAll()
{
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto it = subs.crbegin(); it != subs.crend(); ++it)
    (*it)->close();
}

void TMainForm::fillWindowMenu()
{
  for (QAction* a : std::as_const(windowListActions_))
    windowMenu_->removeAction(a);
  qDeleteAll(windowListActions_);
  windowListActions_.clear();
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
  if (subs.isEmpty())
    return;
  windowListActions_.append(windowMenu_->addSeparator());
  int i = 0;
  for (QMdiSubWindow* sub : subs) {
    QAction* a = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(++i).arg(sub->windowTitle()));
    a->setCheckable(true);
    a->setChecked(sub == mdi_->currentSubWindow());
    connect(a, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    windowListActions_.append(a);
  }
}

void TMainForm::toggleSysDef()
{
  sysDefDock_->setVisible(!sysDefDock_->isVisible());
  sysDefShown(sysDefDock_->isVisible());
}

void TMainForm::sysDefShown(bool visible)
{
  sysDefItem_->setChecked(visible);
  sysDefBtn_->setChecked(visible);
  SetHint(sysDefBtn_, visible ? tr("Hide system definition|") : tr("Show system definition|"));
}

void TMainForm::showEvaluator()
{
  eval_->show();
  eval_->raise();
  eval_->activateWindow();
}

void TMainForm::showHelpContents()
{
  WinHelp(this, HelpFile(), HelpCommand::Finder, 0);
}

void TMainForm::showAbout()
{
  ExecModal(*about_);
}

void TMainForm::editElement(int elem)
{
  editTF_->setElement(elem);
  ExecModal(*editTF_);
  sysDef_->RefreshTransferFunctions();
  edited(elem == kCompensator ? tr("compensator") : tr("plant"));
}

void TMainForm::edited(const QString& what)
{
  session_->NoteChange(what);
}

void TMainForm::showLoop()
{
  sysDef_->RefreshTransferFunctions();
  sysDef_->RefreshDelay();
  sysDef_->RefreshNonlinearities();
  sysDef_->RefreshGain();
  sysDef_->RefreshHold();
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (auto* child = qobject_cast<TDomainChildForm*>(sub->widget()))
      child->ModelEdited(ModelEdit::Parameters);
}

void TMainForm::updateTitle()
{
  setWindowTitle(QStringLiteral("%1[*] - %2 [V1.1]").arg(session_->documentName(), QLatin1String(kTitle)));
  setWindowModified(session_->isModified());
}

void TMainForm::newSystem()
{
  if (session_->MaybeSave([this] { return saveDocument(); }))
    session_->NewSystem();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
  if (!session_->MaybeSave([this] { return saveDocument(); })) {
    event->ignore();
    return;
  }
  // A clean exit leaves nothing to recover.
  autosaveTimer_->stop();
  autosave_->Remove();
  QMainWindow::closeEvent(event);
}

void TMainForm::arrangeIcons()
{
  // Minimised children in a row along the bottom of the client area.
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized())
      continue;
    const QSize size = sub->size();
    if (x > 0 && x + size.width() > mdi_->viewport()->width())
      x = 0;
    sub->move(x, bottom - size.height());
    x += size.width();
  }
}
