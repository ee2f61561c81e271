#pragma once
// What the four domain windows have in common as children of the main frame:
// their kind, their menus (merged into the frame's menu bar while active),
// the routed command handlers and the close notification.

#include "model/SysData.h"
#include "plot/ChartSetup.h"
#include "plot/GraphInteractions.h"

#include <QList>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class TRChart;

// The commands the main frame routes to the active domain window.
enum class RoutedCommand {
  Go, Autoscale, Wipe, Plotcursor, Scales, Zoomin, Zoomout, Pan,
  Closedloop, Openloop, Compensator, Plant, FwdNlin, FbkNlin, Config
};

class TDomainChildForm : public QWidget {
  Q_OBJECT
public:
  TDomainChildForm(ActiveDomain kind, QWidget* parent = nullptr);

  ActiveDomain kind() const { return kind_; }

  // True when this kind of window has a handler for the command.
  virtual bool accepts(RoutedCommand c) const = 0;
  // Calls the handler of an accepted command.
  void run(RoutedCommand c);

  // The window's own menus, shown in the frame's menu bar while it is active.
  const QList<QMenu*>& menus() const { return menus_; }

  // Activation: sets the active domain and the frame's tool buttons, and
  // shows the blocks of the diagram this window uses.
  virtual void FormActivate() = 0;
  // Shows the blocks of the system-definition diagram this window's loop
  // settings use.
  virtual void UpdateDiagram() = 0;
  // Deactivation: ends any zoom or pan mode.
  void FormDeactivate() { graph_->CancelMouseMode(); }

  // The graph commands every domain window has.
  virtual void Go1Click() {}
  virtual void Wipe1Click();
  virtual void Plotcursor1Click() {}
  virtual void Scales1Click() {}
  virtual void Autoscale1Click();
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

  // The chart the window draws on now, and the shared graph commands on it.
  TRChart* chart() const { return graph_->chart(); }
  GraphInteractions& graph() { return *graph_; }
  // True when the window's chart holds a plot of its own computation.
  bool hasPlot() const { return hasPlot_; }
  // Loop and element commands; only the kinds that accept them override.
  virtual void Openloop1Click() {}
  virtual void Closedloop1Click() {}
  virtual void Compensator1Click() {}
  virtual void Plant1Click() {}
  virtual void FwdNlin1Click() {}
  virtual void FbkNlin1Click() {}
  virtual void Config1Click() {}

signals:
  // Emitted when the window closes, before it is freed.
  void formClosed(ActiveDomain kind);

protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

  // Creates the chart filling the client area from setup, the popup menu
  // and the shared graph commands; call after the menus are built. readout
  // is the status-bar template with a "%s" for x and for y; marginX/Y are
  // the autoscale margins in percent (negative: that axis stays).
  void SetUpChart(const ChartSetup& setup, const char* readout, double marginX, double marginY,
                  bool popupPrintEnabled);
  // The autoscale margins of the current plot (a window whose plot types
  // differ changes them with the type).
  void SetAutoscaleMargins(double marginX, double marginY)
  {
    marginX_ = marginX;
    marginY_ = marginY;
  }
  bool hasPlot_ = false;

  // Adds a menu item with its object name, caption and shortcut, calling
  // handler when chosen.
  QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                   void (TDomainChildForm::*handler)());
  QMenu* addMenu(const QString& title);

  // Enables and presses the frame buttons of the graph commands that every
  // window has (Wipe, Go, Cursor, Scales, Zoom in/out, Auto scale, Pan).
  static void EnableGraphButtons();

  // The loop switches a window keeps for its own computations.
  struct LoopSettings {
    bool closedLoop = false;
    bool compIn = false;   // first element 0; from the model at creation
    bool plantIn = true;   // last element 1; from the model at creation
    bool fwdNl = false;
    bool fbkNl = false;
  };
  LoopSettings loop_;

  // Menu items whose check marks follow loop_ (any may be null).
  QAction* openItem_ = nullptr;
  QAction* closedItem_ = nullptr;
  QAction* compItem_ = nullptr;
  QAction* plantItem_ = nullptr;
  QAction* fwdItem_ = nullptr;
  QAction* fbkItem_ = nullptr;

  // Open or closed loop: settings, menu checks and the two frame buttons.
  void SetLoopMode(bool closed);
  // Toggles an element; at least one of the two stays in the loop.
  void ToggleCompensator();
  void TogglePlant();
  // Toggles a nonlinearity in or out of the loop.
  void ToggleFwdNl();
  void ToggleFbkNl();
  // Sets the check marks of the loop items from loop_.
  void SyncLoopChecks();
  // The Settings items for the loop mode and the elements, in their order
  // "&Open loop", "&Closed loop", "Co&mpensator", "&Plant".
  void AddLoopItems(QMenu* menu, const QString& openCaption, const char* openName,
                    const QString& closedCaption);
  // The nonlinearity items of the Settings menu (F4, F5).
  void AddNonlinearityItems(QMenu* menu);
  // The Graph menu items every window has: Go, Wipe, Cursor, Scales,
  // Auto scale, Zoom in, Zoom back, Pan.
  void AddGraphItems(QMenu* menu, const char* wipeName, const char* cursorName,
                     const QString& cursorCaption);
  QMenu* popup_ = nullptr;

private:
  ActiveDomain kind_;
  QList<QMenu*> menus_;
  QAction* zoomItem_ = nullptr;
  QAction* panItem_ = nullptr;
  QAction* graticuleItem_ = nullptr;
  std::unique_ptr<GraphInteractions> graph_;
  double marginX_ = 5.0;
  double marginY_ = 5.0;
};
