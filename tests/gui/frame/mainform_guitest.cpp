// The main frame driven as a user would: menus, tool buttons, window
// counters and captions, routing to the active domain window.

#include "tests/gui/FrameTest.h"

#include "engine/file/SystemFile.h"
#include "engine/model/SysData.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/HelpViewer.h"
#include "gui/base/OutputCommands.h"
#include "gui/chart/EmbeddedSystem.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

const char* const kRoutedButtons[] = {"OpenLoopSpdBtn", "ClosedLoopSpdBtn", "CompSpdBtn",   "PlantSpdBtn",
                                      "FwdNlinSpdBtn",  "FbkNlinSpdBtn",    "WipeSpdBtn",   "GoSpdBtn",
                                      "CursSpdBtn",     "ConfigSpdBtn",     "ScaleSpdBtn",  "AutoScaleSpdBtn",
                                      "PanSpdBtn",      "ZoominSpdBtn",     "ZoomoutSpdBtn"};

}  // namespace

TEST_F(FrameTest, StartsWithTheDocumentedFrame)
{
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Untitled[*] - VANTO for Windows [V1.1]"));
  EXPECT_FALSE(frame->isWindowModified());
  EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
  // Printing and copying the graph wait for a window; the results are
  // those a window showed last.
  EXPECT_FALSE(action("Printgraph1")->isEnabled());
  EXPECT_FALSE(action("Copygraphtoclipboard1")->isEnabled());
  EXPECT_TRUE(action("Printresults1")->isEnabled());
  for (const char* name : {"Open1", "Loadsystem1", "Newsystem1", "Save1", "Saveas1"})
    EXPECT_TRUE(action(name)->isEnabled()) << name;
  EXPECT_FALSE(action("Undo1")->isEnabled());
  EXPECT_FALSE(action("Redo1")->isEnabled());
  for (const char* name : {"Forwardpathnonlinearity1", "Feedbackpathnonlinearity1"})
    EXPECT_TRUE(action(name)->isEnabled()) << name;
  for (const char* name : {"Closeall1", "Cascade1", "Tile1", "ArrangeIcons1", "MinimizeAll1"})
    EXPECT_FALSE(action(name)->isEnabled()) << name << " with no child";

  // The example loop is loaded and the display settings are the defaults.
  EXPECT_STREQ(Sys().num[kCompensator], "1+0.5s");
  EXPECT_STREQ(Sys().den[kPlant], "(s+1)(s^2+1.4s+6)");
  EXPECT_STREQ(Sys().fwdNlText, "hyst(x,a)");
  EXPECT_STREQ(Sys().numberFormat, "%0.4g");
  EXPECT_EQ(Sys().activeDomain, ActiveDomain::Time);

  // The system-definition window is shown with the frame; its button follows it.
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
  EXPECT_EQ(frame->sysDefForm()->windowTitle(), QStringLiteral("System Definition"));
  EXPECT_TRUE(button("SysDefSpdBtn")->isChecked());
}

TEST_F(FrameTest, ToolButtonsHaveTheirHintsAndInitialStates)
{
  const struct {
    const char* name;
    const char* hint;
    bool enabled;
  } kButtons[] = {{"OpenSpdBtn", "Load system plus environment", true},
                  {"LoadSysSpdBtn", "Load a system definition", true},
                  {"SaveSpdBtn", "Save system plus environment", true},
                  {"SysDefSpdBtn", "Hide system definition", true},
                  {"OpenLoopSpdBtn", "Open loop", false},
                  {"ClosedLoopSpdBtn", "Closed loop", false},
                  {"CompSpdBtn", "Compensator", false},
                  {"PlantSpdBtn", "Plant", false},
                  {"FwdNlinSpdBtn", "Forward path nonlinearity", false},
                  {"FbkNlinSpdBtn", "Feedback path nonlinearity", false},
                  {"SpeedButton3", "New time domain window", true},
                  {"SpeedButton4", "New frequency domain window", true},
                  {"SpeedButton5", "New root domain window", true},
                  {"SpeedButton6", "New nonlinear domain window", true},
                  {"WipeSpdBtn", "Wipe graph", false},
                  {"GoSpdBtn", "Go - draw response", false},
                  {"CursSpdBtn", "Plot-following cursor", false},
                  {"ConfigSpdBtn", "Configuration", false},
                  {"ScaleSpdBtn", "Graph scales", false},
                  {"AutoScaleSpdBtn", "Auto scale", false},
                  {"PanSpdBtn", "Pan", false},
                  {"ZoominSpdBtn", "Zoom in", false},
                  {"ZoomoutSpdBtn", "Zoom Out", false},
                  {"EqSpdBtn", "Expression evaluator", true},
                  {"OptionsSpdBtn", "Options", true},
                  {"SpeedButton1", "Help", true}};
  for (const auto& b : kButtons) {
    QAbstractButton* w = button(b.name);
    ASSERT_NE(w, nullptr) << b.name;
    EXPECT_EQ(w->toolTip(), QLatin1String(b.hint)) << b.name;
    EXPECT_EQ(w->isEnabled(), b.enabled) << b.name;
    EXPECT_EQ(w->size(), QSize(25, 25)) << b.name;
  }
  for (const char* latching : {"SysDefSpdBtn", "OpenLoopSpdBtn", "ClosedLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn",
                               "FwdNlinSpdBtn", "FbkNlinSpdBtn", "PanSpdBtn", "ZoominSpdBtn"})
    EXPECT_TRUE(button(latching)->isCheckable()) << latching;
  EXPECT_FALSE(button("GoSpdBtn")->isCheckable());
}

TEST_F(FrameTest, StatusBarHasThreePanels)
{
  const int widths[3] = {50, 250, 170};
  for (int i = 0; i < 3; ++i) {
    auto* p = frame->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
    ASSERT_NE(p, nullptr);
    EXPECT_GE(p->width(), widths[i]);
    // Each panel holds its longest word without cutting it.
    const QString longest = i == 0   ? QStringLiteral("Absolute")
                            : i == 1 ? QStringLiteral("Frequency = 1.235e-05 rad/s,  Gain = -123.5 dB")
                                     : QStringLiteral("Mag = -0.1235, Ang = -123.5 deg");
    EXPECT_GE(p->contentsRect().width(), p->fontMetrics().horizontalAdvance(longest)) << i;
  }
  // Moving over the frame's own client area empties the panels.
  SetStatusPanel(1, QStringLiteral("X = 1,  Y = 2"));
  QWidget* client = frame->mdiArea()->viewport();
  QTest::mouseMove(client, QPoint(40, 40));
  QMouseEvent move(QEvent::MouseMove, QPointF(41, 41), client->mapToGlobal(QPointF(41, 41)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(client, &move);
  EXPECT_EQ(StatusPanel(1), QString());
}

TEST_F(FrameTest, MenuHintsAreTheDocumentedTexts)
{
  EXPECT_EQ(action("Open1")->statusTip(), QStringLiteral("Open an existing file"));
  EXPECT_EQ(action("Closeall1")->statusTip(), QStringLiteral("Close current file"));
  EXPECT_EQ(action("Save1")->statusTip(), QStringLiteral("Save current file"));
  EXPECT_EQ(action("Saveas1")->statusTip(), QStringLiteral("Save current file as..."));
  EXPECT_EQ(action("Exit1")->statusTip(), QStringLiteral("Exit the application"));
  EXPECT_EQ(action("Cascade1")->statusTip(), QStringLiteral("Arrange windows to overlap"));
  EXPECT_EQ(action("Tile1")->statusTip(), QStringLiteral("Arrange windows without overlap"));
  EXPECT_EQ(action("ArrangeIcons1")->statusTip(), QStringLiteral("Arrange window icons at bottom of main window"));
  EXPECT_EQ(action("MinimizeAll1")->statusTip(), QStringLiteral("Minimize all windows"));
}

TEST_F(FrameTest, MenuShortcutsAreTheDocumentedKeys)
{
  const struct {
    const char* name;
    QKeySequence key;
  } kKeys[] = {{"Gain1", QKeySequence(Qt::CTRL | Qt::Key_K)},
               {"Delay1", QKeySequence(Qt::CTRL | Qt::Key_T)},
               {"Sampleholdtime1", QKeySequence(Qt::CTRL | Qt::Key_H)},
               {"Evaluator1", QKeySequence(Qt::CTRL | Qt::Key_Equal)},
               {"Parameters1", QKeySequence(Qt::CTRL | Qt::Key_P)},
               {"Time1", QKeySequence(Qt::Key_F7)},
               {"Frequency1", QKeySequence(Qt::Key_F8)},
               {"Root1", QKeySequence(Qt::Key_F9)},
               {"Nonlin1", QKeySequence(Qt::Key_F6)}};
  for (const auto& k : kKeys)
    EXPECT_EQ(action(k.name)->shortcut(), k.key) << k.name;

  // The keys themselves open the windows.
  QTest::keyClick(frame.get(), Qt::Key_F7);
  QTest::keyClick(frame.get(), Qt::Key_F8);
  QTest::keyClick(frame.get(), Qt::Key_F9);
  QTest::keyClick(frame.get(), Qt::Key_F6);
  EXPECT_EQ(captions(), (QStringList{"Time domain 1", "Frequency domain 1", "Root domain 1", "Nonlinear domain 1"}));
}

TEST_F(FrameTest, RoutedButtonsStayDisabledWithoutWindows)
{
  for (const char* name : kRoutedButtons)
    EXPECT_FALSE(button(name)->isEnabled()) << name;
  frame->Route(RoutedCommand::Go);
  EXPECT_TRUE(shown().isEmpty());
  frame->Route(RoutedCommand::Config);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown().last().caption, QStringLiteral("Warning"));
  EXPECT_EQ(shown().last().text, QStringLiteral("No configuration dialigue"));
  EXPECT_EQ(shown().last().icon, MsgIcon::Exclamation);
}

TEST_F(FrameTest, CaptionsCountOpenWindowsSoNumbersRepeat)
{
  click("SpeedButton3");
  click("SpeedButton3");
  EXPECT_EQ(captions(), (QStringList{"Time domain 1", "Time domain 2"}));
  frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).first()->close();
  EXPECT_EQ(frame->Count(ActiveDomain::Time), 1);
  click("SpeedButton3");
  EXPECT_EQ(captions(), (QStringList{"Time domain 2", "Time domain 2"}));
  EXPECT_EQ(frame->Count(ActiveDomain::Time), 2);
}

TEST_F(FrameTest, ActivationEnablesTheButtonsOfEachKind)
{
  struct Expect {
    ActiveDomain kind;
    bool loopButtons;  // open, closed, compensator, plant
    bool nlButtons;    // forward, feedback
    bool config;
  };
  const Expect kinds[] = {{ActiveDomain::Time, true, true, true},
                          {ActiveDomain::Frequency, true, false, true},
                          {ActiveDomain::Root, true, false, false},
                          {ActiveDomain::Nonlinear, false, true, false}};
  for (const Expect& e : kinds) {
    frame->NewWindow(e.kind);
    EXPECT_EQ(Sys().activeDomain, e.kind);
    for (const char* name : {"OpenLoopSpdBtn", "ClosedLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn"})
      EXPECT_EQ(button(name)->isEnabled(), e.loopButtons) << name << " kind " << int(e.kind);
    for (const char* name : {"FwdNlinSpdBtn", "FbkNlinSpdBtn"})
      EXPECT_EQ(button(name)->isEnabled(), e.nlButtons) << name << " kind " << int(e.kind);
    EXPECT_EQ(button("ConfigSpdBtn")->isEnabled(), e.config) << int(e.kind);
    for (const char* name : {"WipeSpdBtn", "GoSpdBtn", "CursSpdBtn", "ScaleSpdBtn", "ZoominSpdBtn", "ZoomoutSpdBtn",
                             "AutoScaleSpdBtn", "PanSpdBtn"})
      EXPECT_TRUE(button(name)->isEnabled()) << name;
  }
  // Back to the time window: its settings come back with it.
  frame->mdiArea()->setActiveSubWindow(frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).first());
  EXPECT_EQ(Sys().activeDomain, ActiveDomain::Time);
  EXPECT_TRUE(button("ClosedLoopSpdBtn")->isChecked());
  EXPECT_FALSE(button("OpenLoopSpdBtn")->isChecked());
  EXPECT_TRUE(button("PlantSpdBtn")->isChecked());
}

TEST_F(FrameTest, NewWindowsTakeTheElementsOfTheModel)
{
  Sys().firstElement = kCompensator;
  Sys().lastElement = kPlant;
  frame->NewWindow(ActiveDomain::Frequency);
  EXPECT_TRUE(button("CompSpdBtn")->isChecked());
  EXPECT_TRUE(button("PlantSpdBtn")->isChecked());
  EXPECT_TRUE(frame->activeChild()->findChild<QAction*>(QStringLiteral("Compensator1"))->isChecked());
}

TEST_F(FrameTest, RoutingFollowsTheTableOfEachKind)
{
  // Root window: Configuration warns; the nonlinearity commands reach nothing.
  frame->NewWindow(ActiveDomain::Root);
  frame->Route(RoutedCommand::FwdNlin);
  EXPECT_TRUE(shown().isEmpty());
  frame->Route(RoutedCommand::Config);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown().last().text, QStringLiteral("No configuration dialigue"));
  // The pole reports are commands, not modes: their buttons come up again.
  for (const char* report : {"OpenLoopSpdBtn", "ClosedLoopSpdBtn"}) {
    click(report);
    EXPECT_FALSE(button(report)->isChecked()) << report;
  }
  frame->Route(RoutedCommand::Plant);  // the plant goes out, the compensator comes in
  EXPECT_FALSE(button("PlantSpdBtn")->isChecked());
  EXPECT_TRUE(button("CompSpdBtn")->isChecked());

  // Nonlinear window: loop and element commands do nothing, the
  // nonlinearity buttons toggle its selection.
  frame->NewWindow(ActiveDomain::Nonlinear);
  EXPECT_TRUE(button("FwdNlinSpdBtn")->isChecked());
  for (RoutedCommand c :
       {RoutedCommand::Openloop, RoutedCommand::Closedloop, RoutedCommand::Compensator, RoutedCommand::Plant})
    frame->Route(c);
  EXPECT_FALSE(button("CompSpdBtn")->isChecked());
  EXPECT_FALSE(button("OpenLoopSpdBtn")->isEnabled());
  frame->Route(RoutedCommand::FbkNlin);
  EXPECT_TRUE(button("FbkNlinSpdBtn")->isChecked());
  frame->Route(RoutedCommand::Config);
  EXPECT_EQ(shown().size(), 2);

  // Time window: its button clicks switch the loop mode.
  frame->NewWindow(ActiveDomain::Time);
  click("OpenLoopSpdBtn");
  EXPECT_TRUE(button("OpenLoopSpdBtn")->isChecked());
  EXPECT_FALSE(button("ClosedLoopSpdBtn")->isChecked());
  click("ClosedLoopSpdBtn");
  EXPECT_TRUE(button("ClosedLoopSpdBtn")->isChecked());
  EXPECT_FALSE(button("OpenLoopSpdBtn")->isChecked());
  // A new window takes the elements as the root window left them in the
  // model: compensator in, plant out.
  EXPECT_TRUE(button("CompSpdBtn")->isChecked());
  EXPECT_FALSE(button("PlantSpdBtn")->isChecked());
  // Clicking the compensator out while the plant is out brings the plant in.
  click("CompSpdBtn");
  EXPECT_FALSE(button("CompSpdBtn")->isChecked());
  EXPECT_TRUE(button("PlantSpdBtn")->isChecked());
  QString opened;
  MessageSeam::setModalHook([&opened](QDialog& dlg) {
    opened = dlg.windowTitle();
    return int(QDialog::Rejected);
  });
  frame->Route(RoutedCommand::Config);
  EXPECT_EQ(shown().size(), 2) << "the time window has a configuration command";
  EXPECT_EQ(opened, QStringLiteral("Time domain configuration"));

  // With the window area reporting no active window (as it may after the
  // frame was active elsewhere), the buttons still show and command the
  // window last activated.
  TDomainChildForm* time = frame->activeChild();
  frame->mdiArea()->setActiveSubWindow(nullptr);
  EXPECT_EQ(frame->activeChild(), time);
  for (const char* mode : {"OpenLoopSpdBtn", "ClosedLoopSpdBtn", "ClosedLoopSpdBtn"}) {
    click(mode);
    EXPECT_TRUE(button(mode)->isChecked()) << mode;
    EXPECT_EQ(time->switches().closedLoop, QLatin1String(mode) == QLatin1String("ClosedLoopSpdBtn")) << mode;
  }
}

TEST_F(FrameTest, ClosingTheLastWindowResetsButtonsAndDomain)
{
  for (ActiveDomain last : {ActiveDomain::Frequency, ActiveDomain::Root, ActiveDomain::Nonlinear}) {
    frame->NewWindow(last);
    frame->Route(RoutedCommand::Closedloop);
    frame->mdiArea()->closeAllSubWindows();
    EXPECT_EQ(Sys().activeDomain, ActiveDomain::Time);
    for (const char* name : kRoutedButtons) {
      EXPECT_FALSE(button(name)->isEnabled()) << name;
      EXPECT_FALSE(button(name)->isChecked()) << name;
    }
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
  }
}

TEST_F(FrameTest, CloseAllClosesEveryChildAndKeepsCounters)
{
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 5; ++i)
      for (ActiveDomain k : {ActiveDomain::Time, ActiveDomain::Frequency, ActiveDomain::Root, ActiveDomain::Nonlinear})
        frame->NewWindow(k);
    EXPECT_EQ(frame->Count(ActiveDomain::Root), 5);
    EXPECT_TRUE(action("Closeall1")->isEnabled());
    EXPECT_TRUE(action("Tile1")->isEnabled());
    action("Closeall1")->trigger();
    QApplication::processEvents();
    for (ActiveDomain k : {ActiveDomain::Time, ActiveDomain::Frequency, ActiveDomain::Root, ActiveDomain::Nonlinear})
      EXPECT_EQ(frame->Count(k), 0);
    EXPECT_TRUE(captions().isEmpty());
    EXPECT_FALSE(action("Closeall1")->isEnabled());
    EXPECT_FALSE(button("GoSpdBtn")->isEnabled());
  }
}

TEST_F(FrameTest, ClosingInAnyOrderKeepsCountersRight)
{
  for (int i = 0; i < 4; ++i)
    frame->NewWindow(ActiveDomain::Frequency);
  auto subs = frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
  subs[2]->close();
  subs[0]->close();
  EXPECT_EQ(frame->Count(ActiveDomain::Frequency), 2);
  frame->NewWindow(ActiveDomain::Frequency);
  EXPECT_EQ(captions(), (QStringList{"Frequency domain 2", "Frequency domain 4", "Frequency domain 3"}));
  EXPECT_TRUE(button("GoSpdBtn")->isEnabled());
}

TEST_F(FrameTest, ClosingAWindowItselfTakesItsFrameWindowAlong)
{
  frame->NewWindow(ActiveDomain::Time);
  TDomainChildForm* second = frame->NewWindow(ActiveDomain::Time);
  second->close();
  QApplication::processEvents();
  EXPECT_EQ(frame->Count(ActiveDomain::Time), 1);
  EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
  // Closing through the frame window still counts once.
  frame->mdiArea()->subWindowList().first()->close();
  QApplication::processEvents();
  EXPECT_EQ(frame->Count(ActiveDomain::Time), 0);
  EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
}

TEST_F(FrameTest, ActiveChildMenusAreMergedIntoTheMenuBar)
{
  frame->NewWindow(ActiveDomain::Time);
  EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Settings", "&Graph", "&Window", "&Help"}));
  frame->NewWindow(ActiveDomain::Nonlinear);
  const QList<QAction*> bar = frame->menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  // The nonlinear window's Settings menu holds only the nonlinearity items.
  const QList<QAction*> items = bar[3]->menu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->objectName(), QStringLiteral("FwdNlin1"));
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::Key_F5));
}

TEST_F(FrameTest, WindowMenuListsTheOpenWindows)
{
  frame->NewWindow(ActiveDomain::Time);
  frame->NewWindow(ActiveDomain::Root);
  QMenu* window = frame->findChild<QMenu*>(QStringLiteral("Window1"));
  ASSERT_NE(window, nullptr);
  emit window->aboutToShow();
  QStringList listed;
  for (QAction* a : window->actions())
    if (a->isCheckable())
      listed << a->text() + (a->isChecked() ? "*" : "");
  EXPECT_EQ(listed, (QStringList{"&1 Time domain 1", "&2 Root domain 1*"}));
  emit window->aboutToShow();  // rebuilt, not appended again
  int count = 0;
  for (QAction* a : window->actions())
    count += a->isCheckable() ? 1 : 0;
  EXPECT_EQ(count, 2);
}

TEST_F(FrameTest, SystemDefinitionEntryAndButtonToggleTheWindow)
{
  action("Systemdefinition1")->trigger();
  EXPECT_FALSE(frame->sysDefForm()->isVisible());
  EXPECT_FALSE(button("SysDefSpdBtn")->isChecked());
  click("SysDefSpdBtn");
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
  EXPECT_TRUE(button("SysDefSpdBtn")->isChecked());
  // Closed by its strip's close box, as the user closes it.
  frame->sysDefDock()->close();
  EXPECT_FALSE(frame->sysDefForm()->isVisible());
  EXPECT_FALSE(button("SysDefSpdBtn")->isChecked());
  // Floated, it is a window of its own and still answers the toggle.
  click("SysDefSpdBtn");
  frame->sysDefDock()->setFloating(true);
  EXPECT_TRUE(frame->sysDefDock()->isWindow());
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
  click("SysDefSpdBtn");
  EXPECT_FALSE(frame->sysDefForm()->isVisible());
  EXPECT_FALSE(button("SysDefSpdBtn")->isChecked());
}

TEST_F(FrameTest, HelpCommandsReachTheHelpViewer)
{
  action("Contents1")->trigger();
  EXPECT_EQ(LastHelpRequest().file, QStringLiteral("Vanto.hlp"));
  EXPECT_EQ(LastHelpRequest().command, HelpCommand::Finder);
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/contents.html"));
  action("Howtousehelp1")->trigger();
  EXPECT_EQ(LastHelpRequest().command, HelpCommand::HelpOnHelp);
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/howtohelp.html"));
  click("SpeedButton1");
  EXPECT_EQ(LastHelpRequest().command, HelpCommand::Finder);
}

TEST_F(FrameTest, AboutBoxShowsTheVersion)
{
  QString version;
  MessageSeam::setModalHook([&](QDialog& dlg) {
    version = dlg.findChild<QLabel*>(QStringLiteral("Version"))->text();
    return int(QDialog::Accepted);
  });
  action("About1")->trigger();
  EXPECT_EQ(version, QStringLiteral("Version 1.1.0.0"));
}

TEST_F(FrameTest, GraphButtonsDriveTheActiveWindowsChart)
{
  TDomainChildForm* child = frame->NewWindow(ActiveDomain::Time);
  click("ZoominSpdBtn");
  EXPECT_EQ(child->windowTitle(), QStringLiteral("Time domain 1 (zoom in)"));
  EXPECT_TRUE(button("ZoominSpdBtn")->isChecked());
  click("ZoominSpdBtn");  // the command toggles
  EXPECT_EQ(child->windowTitle(), QStringLiteral("Time domain 1"));
  EXPECT_FALSE(button("ZoominSpdBtn")->isChecked());

  click("PanSpdBtn");
  EXPECT_EQ(child->windowTitle(), QStringLiteral("Time domain 1 (pan)"));
  // Opening another window deactivates this one, which ends the pan mode.
  frame->NewWindow(ActiveDomain::Root);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("Time domain 1"));
  EXPECT_FALSE(button("PanSpdBtn")->isChecked());

  // Zoom back on the root window's chart widens both ranges by 1.4.
  TRChart* chart = frame->activeChild()->chart();
  const double w = chart->RangeHiX() - chart->RangeLoX();
  click("ZoomoutSpdBtn");
  EXPECT_NEAR(chart->RangeHiX() - chart->RangeLoX(), 1.4 * w, 1e-9 * w);
}

// The graph goes to a file (the popup's Export...), to the printer and to
// the clipboard from the popup and the frame; what a results window showed
// last prints from the frame. The files carry the loop's system file.
TEST_F(FrameTest, GraphExportsPrintsAndCopies)
{
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TDomainChildForm* child = frame->NewWindow(ActiveDomain::Frequency);
  child->Go1Click();
  // The names of the frame's entries are those of the popup's.
  const auto fileItem = [this](const char* name) {
    return frame->findChild<QMenu*>(QStringLiteral("File1"))->findChild<QAction*>(QLatin1String(name));
  };
  for (const char* name : {"Printgraph1", "Printresults1", "Copygraphtoclipboard1"})
    EXPECT_TRUE(fileItem(name)->isEnabled()) << name;
  const auto popupItem = [child](const char* name) {
    auto* a = child->findChild<QAction*>(QLatin1String(name));
    EXPECT_NE(a, nullptr) << name;
    EXPECT_TRUE(a && a->isEnabled()) << name;
    return a;
  };

  // Export...: the suffix typed picks the format, the format the suffix.
  const struct {
    const char* typed;
    int format;  // -1: as typed
    int dpi;
    const char* written;
  } kExports[] = {
      {"g.svg", -1, 96, "g.svg"}, {"g", 0, 192, "g.png"}, {"g.png", 2, 96, "g.pdf"}, {"g.pdf", 3, 96, "g.csv"}};
  for (const auto& e : kExports) {
    answer([&](QDialog& dlg) {
      // Every label's shortcut reaches its box (a label without a buddy shows its "&").
      for (const QLabel* label : dlg.findChildren<QLabel*>())
        EXPECT_TRUE(!label->text().contains(QLatin1Char('&')) || label->buddy()) << label->text().toStdString();
      type(dlg, "FileEdit", dir.filePath(QLatin1String(e.typed)));
      if (e.format >= 0)
        dlg.findChild<QComboBox*>(QStringLiteral("FormatBox"))->setCurrentIndex(e.format);
      dlg.findChild<QSpinBox*>(QStringLiteral("DpiEdit"))->setValue(e.dpi);
      press(dlg, "OKBtn");
    });
    popupItem("Export1")->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath(QLatin1String(e.written)))) << e.written;
  }
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();
  EXPECT_EQ(QImageReader(dir.filePath("g.png")).size(), child->chart()->size() * 2);
  for (const char* name : {"g.svg", "g.png", "g.pdf"}) {
    std::string text;
    QString error;
    EXPECT_TRUE(ReadEmbeddedSystem(dir.filePath(QLatin1String(name)), text, error)) << name;
    EXPECT_EQ(text, SystemFileText(Sys())) << name;
  }
  // A file that cannot be written is reported.
  answer([&](QDialog& dlg) {
    type(dlg, "FileEdit", dir.filePath("missing/g.svg"));
    press(dlg, "OKBtn");
  });
  popupItem("Export1")->trigger();
  EXPECT_EQ(lastMessage(), QStringLiteral("Cannot write ") + dir.filePath("missing/g.svg"));

  // Printing writes the PDF of the test's seam, from the popup and the frame.
  for (QAction* print : {popupItem("Printgraph1"), fileItem("Printgraph1")}) {
    const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(print->parent()->objectName()));
    PrintSeam::setPdfFile(pdf);
    print->trigger();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << pdf.toStdString();
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-")) << pdf.toStdString();
    EXPECT_GT(bytes.size(), 2000) << pdf.toStdString();
  }

  // The clipboard from the popup and the frame.
  for (QAction* copy : {popupItem("Copytoclipboard1"), fileItem("Copygraphtoclipboard1")}) {
    QApplication::clipboard()->clear();
    copy->trigger();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_TRUE(mime->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    EXPECT_TRUE(mime->data(QStringLiteral("text/csv")).startsWith("real,imaginary\n"));
  }

  // Print results...: the response characteristics shown last, each value
  // in the row of its caption.
  TDomainChildForm* time = frame->NewWindow(ActiveDomain::Time);
  time->Go1Click();
  QString finalValue;
  answer([&](QDialog& dlg) { finalValue = text(dlg, "FinalValue"); });
  time->findChild<QAction*>(QStringLiteral("Characteristics1"))->trigger();
  ASSERT_FALSE(finalValue.isEmpty());
  EXPECT_TRUE(LastResultsHtml().contains(QStringLiteral("<td>Final value</td><td>%1</td>").arg(finalValue)))
      << LastResultsHtml().toStdString();
  const QString results = dir.filePath("results.pdf");
  PrintSeam::setPdfFile(results);
  fileItem("Printresults1")->trigger();
  PrintSeam::setPdfFile(QString());
  EXPECT_GT(QFileInfo(results).size(), 1000);
}

TEST_F(FrameTest, CtrlWWipesTheActiveWindowAndCtrlF4ClosesIt)
{
  // The window's own close must not take Ctrl+W from Wipe: each kind with a
  // drawn chart is wiped by the key, then closed by Ctrl+F4.
  for (ActiveDomain kind : {ActiveDomain::Time, ActiveDomain::Frequency, ActiveDomain::Nonlinear}) {
    TDomainChildForm* child = frame->NewWindow(kind);
    TRChart* chart = child->chart();
    frame->Route(RoutedCommand::Go);
    ASSERT_GT(chart->Items().size(), 0u) << static_cast<int>(kind);
    QTest::keyClick(chart, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(chart->Items().size(), 0u) << static_cast<int>(kind);
    EXPECT_FALSE(child->hasPlot());
    QTest::keyClick(chart, Qt::Key_F4, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(frame->Count(kind), 0) << static_cast<int>(kind);
  }
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(FrameTest, F1InAModalDialogOpensThePageOfThatDialog)
{
  // Each dialog runs its own modal loop; F1 goes to its focus widget.
  const struct {
    std::function<void()> open;
    HelpCommand command;
    int context;
    const char* keyword;
    const char* page;
  } kCases[] = {
      {[this] { action("Compensator1")->trigger(); }, HelpCommand::Key, 0, "IDH_manip", ":/help/manip.html"},
      {[this] { action("Parameters1")->trigger(); }, HelpCommand::Context, 22, "", ":/help/params.html"},
      {[this] { action("Gain1")->trigger(); }, HelpCommand::Context, 17, "", ":/help/mainframe.html"},
      // A dialog of a domain window without a page of its own: its window's.
      {[this] {
         frame->NewWindow(ActiveDomain::Frequency);
         frame->Route(RoutedCommand::Scales);
       },
       HelpCommand::Context, 12, "", ":/help/freq.html"},
  };
  for (const auto& c : kCases) {
    HelpRequest got;
    QString page;
    bool modal = false;
    MessageSeam::setModalHook([&](QDialog& dlg) {
      QTimer::singleShot(0, &dlg, [&] {
        modal = QApplication::activeModalWidget() == &dlg;
        QTest::keyClick(dlg.focusWidget() ? dlg.focusWidget() : &dlg, Qt::Key_F1);
        got = LastHelpRequest();
        page = CurrentHelpPage();
        dlg.reject();
      });
      return dlg.exec();
    });
    c.open();
    EXPECT_TRUE(modal) << c.page;
    EXPECT_EQ(got.command, c.command) << c.page;
    EXPECT_EQ(got.context, c.context) << c.page;
    EXPECT_EQ(got.keyword, QLatin1String(c.keyword)) << c.page;
    EXPECT_EQ(page, QLatin1String(c.page));
    // The page outlives the dialog, even one made for this use only.
    EXPECT_EQ(CurrentHelpPage(), QLatin1String(c.page));
  }
}

TEST_F(FrameTest, F1OpensThePageOfTheWindowWithTheFocus)
{
  // The floating diagram, the evaluator and the domain windows alike.
  frame->sysDefDock()->setFloating(true);
  QTest::keyClick(frame->sysDefForm(), Qt::Key_F1);
  EXPECT_EQ(LastHelpRequest().context, 31);
  action("Evaluator1")->trigger();
  QWidget* evaluator = frame->findChild<QWidget*>(QStringLiteral("EvalDlg"));
  QTest::keyClick(evaluator->findChild<QWidget*>(QStringLiteral("EvalEdit")), Qt::Key_F1);
  EXPECT_EQ(LastHelpRequest().keyword, QStringLiteral("IDH_evaluator"));
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/evaluator.html"));
  evaluator->close();
  QTest::keyClick(frame->NewWindow(ActiveDomain::Time)->chart(), Qt::Key_F1);
  EXPECT_EQ(LastHelpRequest().keyword, QStringLiteral("IDH_time"));
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/time.html"));
  QTest::keyClick(frame->NewWindow(ActiveDomain::Nonlinear)->chart(), Qt::Key_F1);
  EXPECT_EQ(LastHelpRequest().context, 20);
}

TEST_F(FrameTest, F1OpensThePageOfTheActiveWindow)
{
  frame->NewWindow(ActiveDomain::Root);
  HelpForWidget(frame.get(), frame.get());
  EXPECT_EQ(LastHelpRequest().command, HelpCommand::Context);
  EXPECT_EQ(LastHelpRequest().context, 27);
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/root.html"));
  frame->mdiArea()->closeAllSubWindows();
  HelpForWidget(frame.get(), frame.get());
  EXPECT_EQ(LastHelpRequest().context, 17);
  EXPECT_TRUE(WinHelpKey(frame.get(), HelpFile(), QStringLiteral("IDH_transforms")));
  EXPECT_EQ(CurrentHelpPage(), QStringLiteral(":/help/transforms.html"));
  EXPECT_FALSE(WinHelp(frame.get(), QStringLiteral("Other.hlp"), HelpCommand::Finder, 0));
}

TEST_F(FrameTest, HintsOfButtonsAndMenusReachTheStatusBar)
{
  // Hovering sends the control's status tip up to the frame.
  for (const char* name : {"SpeedButton4", "GoSpdBtn"}) {
    QStatusTipEvent tip(button(name)->statusTip());
    QApplication::sendEvent(button(name), &tip);
    EXPECT_EQ(frame->statusBar()->currentMessage(), button(name)->toolTip()) << name;
  }
  QStatusTipEvent menuTip(action("Tile1")->statusTip());
  QApplication::sendEvent(frame->menuBar(), &menuTip);
  EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Arrange windows without overlap"));
}
