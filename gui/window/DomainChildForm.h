#pragma once
// What the four domain windows have in common as children of the main frame:
// their abilities, their menus (merged into the frame's menu bar while
// active), the routed command handlers, the state the frame shows for them
// and the close notification.

#include "engine/chart/ChartSetup.h"
#include "engine/domain/DomainState.h"
#include "engine/model/SysData.h"
#include "gui/chart/GraphInteractions.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class TRChart;

// What the frame shows while a domain window is active: its tool buttons
// (with the zoom and pan hints) and the blocks of the system diagram.
struct DomainWindowState {
  FrameButtonStates buttons;
  QString zoomHint;
  QString panHint;
  DiagramView diagram;
};

// Edits of the loop model made outside the domain windows, which the
// active window may follow at once.
enum class ModelEdit { SampleHold, Parameters };

class TDomainChildForm : public QWidget {
  Q_OBJECT
public:
  TDomainChildForm(const DomainAbilities& abilities, QWidget* parent = nullptr);

  ActiveDomain kind() const { return abilities_.kind; }
  const DomainAbilities& abilities() const { return abilities_; }

  // True when this kind of window takes the command.
  bool accepts(RoutedCommand c) const { return Accepts(abilities_, c); }
  // Calls the handler of an accepted command.
  void run(RoutedCommand c);

  // The window's own menus, shown in the frame's menu bar while it is active.
  const QList<QMenu*>& menus() const { return menus_; }

  // The frame's buttons and the diagram as this window's settings have them.
  DomainWindowState state() const;
  // Activation: makes this window's domain the model's active one and asks
  // the frame to show its state.
  void FormActivate();
  // Deactivation: ends any zoom or pan mode.
  void FormDeactivate() { graph_->CancelMouseMode(); }
  // After the frame's editors changed the model while this window is active.
  virtual void ModelEdited(ModelEdit) {}

  // After a live change of the loop: a window holding a plot of its own
  // computation wipes it and computes it again, as a fresh Go would.
  virtual void FollowLoop();
  // The last follow could not compute the loop: the window has no plot and
  // its following dialogs nothing to read, until a follow succeeds.
  bool followFailed() const { return followAgain_; }
  // Hidden during a live change: the window follows when it is shown again.
  void setFollowWhenShown(bool on) { followWhenShown_ = on; }
  // While a drag lasts, the window's curves as they were at its start are
  // drawn in a light tint under the ones that follow; off, they are gone.
  void SetLiveReference(bool on);

  // The graph commands every domain window has.
  virtual void Go1Click() {}
  virtual void Wipe1Click();
  virtual void Plotcursor1Click() {}
  virtual void Scales1Click() {}
  virtual void Autoscale1Click();
  virtual void Config1Click() {}
  void Zoomin1Click() { graph_->ZoomIn(); }
  void Zoomout1Click() { graph_->ZoomOut(); }
  void Pan1Click() { graph_->Pan(); }
  void ChartZoomPan() { graph_->ZoomPanDone(); }
  void Graticulevisible1Click() { graph_->ToggleGraticule(); }
  void Relativemode1Click() { graph_->ToggleRelative(); }
  void Mark1Click() { graph_->Mark(); }
  // Before the popup menu shows: its check marks from the current chart; a
  // window with plot types adds their checks.
  virtual void PopupMenu1Popup() { graph_->syncGraticuleChecks(); }

  // The loop, element and nonlinearity commands, as the abilities say:
  // loop modes switch the mode (or show a pole report), elements toggle with
  // one always in, nonlinearities toggle (or, for the describing function,
  // one of the two is chosen, only while that mode is on).
  void Openloop1Click();
  void Closedloop1Click();
  void Compensator1Click();
  void Plant1Click();
  void FwdNlin1Click();
  void FbkNlin1Click();

  // The chart the window draws on now, and the shared graph commands on it.
  TRChart* chart() const { return graph_->chart(); }
  GraphInteractions& graph() { return *graph_; }
  // True when the window's chart holds a plot of its own computation.
  bool hasPlot() const { return hasPlot_; }

  // Check marks and enabled states of the loop items from the switches, and
  // the frame's state with them (also after the frame replaced the record).
  void SyncLoopState();

  // The window's loop switches, as its settings record holds them.
  const LoopSwitches& switches() const { return const_cast<TDomainChildForm*>(this)->loop(); }

  // Closes the window's open dialogs that follow a drag (cursor, response
  // characteristics, limit cycles): every command of the window runs this
  // first, since the command may redraw or replace what they read.
  void closeFollowingDialogs();

signals:
  // The state the frame shows for this window changed.
  void stateChanged();
  // Emitted when the window closes, before it is freed.
  void formClosed(ActiveDomain kind);

protected:
  // Opens a new cursor dialog (made by Dialog(args...)) as the window's one
  // cursor: an open one is closed first, so that it takes its marks back
  // before the new one draws; a dialog that does not open is deleted.
  template <typename Dialog, typename... Args>
  void OpenCursor(Args&&... args)
  {
    if (cursorDlg_)
      cursorDlg_->close();
    auto* dlg = new Dialog(std::forward<Args>(args)...);
    cursorDlg_ = dlg;
    if (!dlg->Open())
      delete dlg;
  }
  QPointer<QDialog> cursorDlg_;  // the open cursor, which follows a drag

  void closeEvent(QCloseEvent* event) override;
  // Shown again after missing live changes: follows the loop now current.
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

  // The loop switches in the window's own settings record.
  virtual LoopSwitches& loop() = 0;
  // True while the frequency window's describing-function mode is on.
  virtual bool describingFunctionMode() const { return false; }
  // The root window's open- and closed-loop pole reports.
  virtual void ShowPoleReport(bool /*closedLoop*/) {}
  // After a loop, element or nonlinearity command changed the switches.
  virtual void LoopChanged() {}

  // Creates the chart filling the client area from setup, the popup menu
  // and the shared graph commands; call after the menus are built. readout
  // is the status-bar template with a "%s" for x and for y; marginX/Y are
  // the autoscale margins in percent (negative: that axis stays).
  void SetUpChart(const ChartSetup& setup, const char* readout, double marginX, double marginY);
  // Another chart of the window (for a plot type or view of its own), in the
  // same place, hidden until shown; the window's popup menu and read-out
  // serve it too.
  TRChart* AddChart(const ChartSetup& setup);
  // Shows chart in place of the current one (ending any zoom or pan mode and
  // relative mode) and makes it the chart the graph commands work on.
  void ShowChart(TRChart* chart);
  // The autoscale margins of the current plot (a window whose plot types
  // differ changes them with the type).
  void SetAutoscaleMargins(double marginX, double marginY)
  {
    marginX_ = marginX;
    marginY_ = marginY;
  }
  bool hasPlot_ = false;
  // The window lost its plot to a loop a live change then refused: it
  // follows the next loop even without a plot.
  bool followAgain_ = false;
  bool followWhenShown_ = false;

  // Adds a menu item with its object name, caption and shortcut, calling
  // handler when chosen (after the window's open cursor and characteristics
  // dialogs are closed: they follow a drag, not the window's own commands,
  // which may redraw or replace what they read).
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                   void (TDomainChildForm::*handler)());
  QMenu* AddMenu(const QString& title);

  // The Settings items for the loop mode and the elements, in their order
  // "&Open loop", "&Closed loop", "Co&mpensator", "&Plant"; check marks for
  // the modes only when the loop mode is a mode.
  void AddLoopItems(QMenu* menu, const QString& openCaption, const char* openName, const QString& closedCaption);
  // The nonlinearity items of the Settings menu (F4, F5).
  void AddNonlinearityItems(QMenu* menu);
  // The Graph menu items every window has: Go, Wipe, Cursor, Scales,
  // Auto scale, Zoom in, Zoom back, Pan.
  void AddGraphItems(QMenu* menu, const char* wipeName, const char* cursorName, const QString& cursorCaption);
  QMenu* popup_ = nullptr;
  // Adds the reference curves of a drag to the chart (nothing without one).
  void DrawLiveReference();

private:
  struct ReferenceCurve {
    std::uint32_t colour = 0;
    std::vector<ChartPoint> points;
  };
  std::vector<ReferenceCurve> reference_;

  // A chart in the window's layout, wired to the shared graph commands.
  TRChart* makeChart(const ChartSetup& setup);

  DomainAbilities abilities_;
  QList<QMenu*> menus_;
  // The items of the loop commands, indexed by RoutedCommand (null where the
  // window has none).
  std::array<QAction*, kRoutedCommands> loopItems_{};
  QAction* zoomItem_ = nullptr;
  QAction* panItem_ = nullptr;
  QAction* graticuleItem_ = nullptr;
  std::unique_ptr<GraphInteractions> graph_;
  double marginX_ = 5.0;
  double marginY_ = 5.0;
};
