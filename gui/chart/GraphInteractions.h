#pragma once
// GraphInteractions: the graph commands every domain window shares — zoom
// in (one drag, the command toggles), pan (until cancelled), zoom back,
// autoscale, the graticule, relative read-out with crosshair 2, marks, and
// the pointer read-out in the main frame's status bar — with the window
// caption suffixes and the main frame's Zoom in / Pan buttons kept in step.
//
// A domain window owns one and makes each of its handlers a one-line call:
//
//   GraphInteractions graph_{this, {Zoomin1, Pan1, Graticulevisible1,
//                                   Graticulevisible2, Relativemode1},
//                            "Time = %s,  Value = %s"};
//   graph_.setChart(TimeChart);          // at creation and on every chart switch
//   connect(TimeChart, &TRChart::OnMouseMoveInChart, this,
//           [this](bool in, double x, double y) { graph_.MouseMoveInChart(in, x, y); });
//   connect(TimeChart, &TRChart::OnZoomPan, this, [this] { ChartZoomPan(); });
//
//   void Zoomin1Click()            { graph_.ZoomIn(); }
//   void Pan1Click()               { graph_.Pan(); }
//   void Zoomout1Click()           { graph_.ZoomOut(); }
//   void Autoscale1Click()         { graph_.Autoscale([this] { Go1Click(); return hasPlot_; }, -1, 5); }
//   void ChartZoomPan()            { graph_.ZoomPanDone(); }
//   void Graticulevisible1Click()  { graph_.ToggleGraticule(); }
//   void Relativemode1Click()      { graph_.ToggleRelative(); }
//   void Mark1Click()              { graph_.Mark(); }
//   void FormDeactivate()          { graph_.CancelMouseMode(); }
//
// Window-specific steps hook in without repeating the shared ones:
// setAfterRangeChange (runs after a zoom, pan, zoom back or autoscale, told
// which: store the ranges, re-lay out), setReadoutHook (panels of its own after the
// standard ones), setHints (the root window's "cancel zoom in|"),
// setReadoutTemplate (a window whose template changes with the chart).
// Any of the actions may be null. The main frame's Zoom in and Pan buttons
// follow zoomMode()/panMode() and the hints: the window tells the frame
// when they change (setModeListener).

#include "engine/chart/Scale.h"
#include "gui/chart/TRChart.h"

#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QWidget;

// The window's menu items the shared commands check and uncheck.
struct GraphActions {
  QAction* zoomIn = nullptr;
  QAction* pan = nullptr;
  QAction* graticule = nullptr;       // main menu item
  QAction* graticulePopup = nullptr;  // popup menu item
  QAction* relative = nullptr;
};

// Tool-button hints ("tool tip|status text") while a mode is off and on.
struct GraphHints {
  QString zoomIn = QStringLiteral("Zoom in|");
  QString cancelZoomIn = QStringLiteral("Cancel zoom in|");
  QString pan = QStringLiteral("Pan|");
  QString cancelPan = QStringLiteral("Cancel pan|");
};

// What changed the ranges, for the window step that follows.
enum class RangeChange { Zoom, Pan, ZoomBack, Autoscale };

// What a read-out hook gets: the pointer in data units and the values shown
// (relative to the origin in relative mode).
struct ReadoutPoint {
  double x = 0.0, y = 0.0;
  double dx = 0.0, dy = 0.0;
  bool relative = false;
};

class GraphInteractions {
public:
  // window: the widget whose caption gets " (zoom in)" / " (pan)";
  // readoutTemplate: panel 1's text with a "%s" for x and one for y.
  GraphInteractions(QWidget* window, GraphActions actions, QString readoutTemplate);

  // Makes chart the current one and checks the graticule items from it.
  void setChart(TRChart* chart);
  TRChart* chart() const { return chart_; }
  // Panel 1's template, with "%s" for x and for y.
  void setReadoutTemplate(const QString& tmpl) { template_ = tmpl; }
  // The Zoom in / Pan button hints while off and on.
  void setHints(const GraphHints& hints) { hints_ = hints; }
  // Runs after the standard read-out on every pointer move inside the plot.
  void setReadoutHook(std::function<void(const ReadoutPoint&)> hook) { readoutHook_ = std::move(hook); }
  // Runs whenever the zoom or pan mode was turned on or off.
  void setModeListener(std::function<void()> listener) { modeListener_ = std::move(listener); }
  // Runs after a zoom, a pan, a zoom back or an autoscale changed the ranges.
  void setAfterRangeChange(std::function<void(RangeChange)> hook) { afterRanges_ = std::move(hook); }

  // Zoom in: toggles the one-drag zoom mode.
  void ZoomIn();
  // The chart's OnZoomPan, after a zoom window or a pan drag: ends the zoom
  // mode (pan stays on) and runs the window step. True when a zoom mode ended.
  bool ZoomPanDone();
  // Pan: toggles the pan mode.
  void Pan();
  // Ends zoom and pan modes and restores the caption.
  void CancelMouseMode();
  // The modes, and the hints of the Zoom in and Pan buttons that go with them.
  bool zoomMode() const;
  bool panMode() const;
  QString zoomHint() const { return zoomMode() ? hints_.cancelZoomIn : hints_.zoomIn; }
  QString panHint() const { return panMode() ? hints_.cancelPan : hints_.pan; }
  // Zoom back: every range 1.4 times as wide about its centre, then redraw.
  void ZoomOut();
  // Autoscale command: cancels the mode, runs recompute (true when there is
  // a plot), then autoscales with the margins (percent; < 0 keeps an axis)
  // and redraws.
  void Autoscale(const std::function<bool()>& recompute, double marginX, double marginY);
  // Shows or hides the grid and checks both graticule items.
  void ToggleGraticule();
  // Checks both graticule items from the current chart.
  void syncGraticuleChecks();
  // Relative read-out on/off; on takes the last pointer position as origin
  // and marks it with crosshair 2.
  void ToggleRelative();
  // Leaves relative mode when it is on.
  void LeaveRelative();
  // The chart's OnMouseMoveInChart: status panels 0 and 1 (and the hook).
  void MouseMoveInChart(bool inChart, double x, double y);
  // Mark at the last pointer position, label asked for with the mark dialog.
  void Mark();

  // The zoom-back and autoscale arithmetic on a chart (ranges only; the
  // caller redraws). Autoscale returns false, leaving the ranges, when the
  // chart holds no data.
  static void ZoomBack(TRChart& chart);
  static bool AutoscaleChart(TRChart& chart, double marginX, double marginY);

  // The window's graph state: relative mode and its origin, the last pointer
  // position and whether it was inside the plot, the last mark's answers.
  bool relative() const { return relative_; }
  double originX() const { return originX_; }
  double originY() const { return originY_; }
  bool inChart() const { return inChart_; }
  double mouseX() const { return mouseX_; }
  double mouseY() const { return mouseY_; }
  QString markText() const { return markText_; }
  bool showMark() const { return showMark_; }

private:
  void saveCaption(const char* suffix);
  void rangesChanged(RangeChange why);
  void modesChanged();

  QPointer<QWidget> window_;
  GraphActions actions_;
  QString template_;
  GraphHints hints_;
  QPointer<TRChart> chart_;
  std::function<void(const ReadoutPoint&)> readoutHook_;
  std::function<void(RangeChange)> afterRanges_;
  std::function<void()> modeListener_;

  QString savedCaption_;
  bool captionSaved_ = false;
  bool relative_ = false;
  double originX_ = 0.0, originY_ = 0.0;
  bool inChart_ = false;
  double mouseX_ = 0.0, mouseY_ = 0.0;
  QString markText_;
  bool showMark_ = true;
};
