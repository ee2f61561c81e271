#pragma once
// ChartCursor: the point a cursor dialog reads, shown on a chart, and the
// reference point of its relative read-outs. It is shown either with the
// chart's crosshairs (1 the cursor, dotted; 2 the reference, dash-dot) or
// with display items in black: a ring of 5 pixels and a cross of 10-pixel
// arms at the cursor, a cross alone at the reference. The items are always
// the chart's newest ones, taken back whenever the cursor moves and when it
// is detached, so that the chart holds only what the window drew. When the
// window redrew its chart meanwhile (a dialog left open while a drag goes
// on), items that are no longer the cursor's own newest ones are left alone.

#include "engine/chart/DisplayList.h"

class TRChart;

class ChartCursor {
public:
  enum class Style { Crosshairs, Items };

  // Follows chart from now on, without a reference; with crosshairs the
  // cursor's one is shown at once, items wait for the first moveTo.
  void attach(TRChart& chart, Style style);
  // Crosshairs hidden, or items taken back with the chart redrawn.
  void detach();
  TRChart* chart() const { return chart_; }

  // Moves the cursor to (x, y). Items are drawn anew (the reference cross
  // first, the cursor only when shown) and the chart is redrawn; the
  // crosshair moves at once.
  void moveTo(double x, double y, bool shown = true);
  // The reference at (x, y), shown from now on (by the next moveTo, for
  // items); clearReference hides it again.
  void setReference(double x, double y);
  void clearReference();
  bool hasReference() const { return reference_; }
  // Takes the items off the chart until the next moveTo: a mark then goes
  // underneath them. Nothing with crosshairs.
  void takeBack();

  // True when (x, y) lies within the chart's ranges; a point that does not
  // exist (NaN) does not.
  bool onChart(double x, double y) const;

private:
  void drawCross(double x, double y, bool ring);
  // True when the chart's newest items are the ones the cursor drew.
  bool newestAreMine() const;
  static constexpr int kMaxItems = 6;  // two crosses with their rings

  TRChart* chart_ = nullptr;
  Style style_ = Style::Items;
  bool reference_ = false;
  double refX_ = 0.0, refY_ = 0.0;
  int itemsDrawn_ = 0;
  ChartItem mine_[kMaxItems];  // copies of the items drawn, oldest first
};
