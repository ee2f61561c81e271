#pragma once
// The chart's example window: one chart showing every kind of display item
// on the axis types the graph windows use, with the shared graph commands in
// its popup menu. Used by the tests and by `vanto-cli render demo`.

#include "gui/chart/GraphInteractions.h"

#include <QWidget>

class QAction;
class QMenu;
class TRChart;

enum class DemoKind {
  Items,     // every item kind on linear axes, crosshairs, pen colours
  Bode,      // logarithmic x axis with sub-ticks over five decades
  Plane,     // isometric s-plane with poles, zeros and the unit circle
  Tiny,      // ranges of a few millionths
  Huge,      // ranges of millions
  Negative,  // ranges entirely below zero
};

// The kind named name ("items", "bode", "plane", "tiny", "huge",
// "negative"); false when there is none.
bool DemoKindFromName(const char* name, DemoKind& kind);

// Clears chart and fills it with the example picture of kind (ranges,
// titles and items; the caller shows it).
void FillDemoChart(TRChart& chart, DemoKind kind);

class TChartDemoForm : public QWidget {
  Q_OBJECT

public:
  explicit TChartDemoForm(DemoKind kind = DemoKind::Items, QWidget* parent = nullptr);

  TRChart* chart() const { return DemoChart; }
  GraphInteractions& graph() { return graph_; }
  QMenu* popup() const { return PopupMenu1; }

private:
  TRChart* DemoChart;
  QMenu* PopupMenu1;
  QAction* Zoomin1;
  QAction* Pan1;
  QAction* Graticulevisible1;
  QAction* Relativemode1;
  GraphInteractions graph_;
};
