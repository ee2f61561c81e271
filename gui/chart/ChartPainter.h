#pragma once
// Draws a chart picture with QPainter: frame, scales, grid, titles, the
// display list and the crosshairs. Used alike for the screen (into the
// widget's backing pixmap) and for images, SVG and PDF files.

#include "engine/chart/DisplayList.h"
#include "engine/chart/Scale.h"
#include "engine/chart/Ticks.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <string>
#include <unordered_map>

class QFontMetricsF;
class QPainter;

// The chart's settings that shape its picture (all but the display list).
struct ChartSettings {
  AxisRange x{0.0, 1.0};
  AxisRange y{0.0, 1.0};
  bool isometric = false;
  bool logX = false;
  bool logY = false;
  bool shortTicksX = false;
  double gridDx = 0.0;  // 0: grid at the major ticks; 1e15 or more: none; else its spacing
  double gridDy = 0.0;
  QString caption;
  QString idAbscissa;
  QString idOrdinate;
};

// A crosshair drawn over the plot: mode 0 hidden, 1 horizontal line at y,
// 2 vertical line at x, 3 both; style 0 solid, 1 dash, 2 dot, 3 dash-dot.
struct CrossHair {
  QColor colour = Qt::black;
  int width = 1;
  int style = 0;
  int mode = 0;
  double x = 0.0;
  double y = 0.0;
};

inline constexpr int kCrossHairs = 4;

// Where everything goes for one picture size.
struct ChartFrame {
  QSizeF size;
  QRectF plot;  // the plot area, in the picture's logical pixels
  AxisMap mx;
  AxisMap my;
  TickSet xticks;
  TickSet yticks;
};

// The widths of tick labels in the label font: laying out a chart measures
// every candidate label of every tick spacing it tries, and shaping a text
// costs far more than looking its width up, while the labels repeat from
// one layout to the next.
class LabelWidths {
public:
  double of(const QFontMetricsF& fm, const char* label);

private:
  static constexpr std::size_t kMaxLabels = 4096;
  std::unordered_map<std::string, double> widths_;
};

class ChartPainter {
public:
  // Fonts of the scales and titles for a picture (pixel sizes, so a file
  // renders like the screen).
  ChartPainter();

  // Lays out the plot area and the ticks of settings for a picture of size.
  void layout(const ChartSettings& s, QSizeF size, ChartFrame& f) const;
  // Makes the ranges of an isometric chart isometric for a picture of size:
  // the ranges s holds on entry are the requested rectangle, widened on one
  // axis so that all of it stays in view (IsometricFit).
  void fitIsometric(ChartSettings& s, QSizeF size, ChartFrame& f) const;

  // Background, grid, frame, ticks, labels and titles.
  void drawFrame(QPainter& p, const ChartSettings& s, const ChartFrame& f) const;
  // The items of list from position `from` up to the end, cut at the plot
  // area's edge by geometry (no painter clip, which SVG files would lose).
  void drawItems(QPainter& p, const ChartFrame& f, const DisplayList& list, DisplayList::Drawn from) const;
  void drawCrossHairs(QPainter& p, const ChartFrame& f, const CrossHair* hairs, int n) const;

  // Frame, items and crosshairs in one go.
  void drawAll(QPainter& p, const ChartSettings& s, const ChartFrame& f, const DisplayList& list,
               const CrossHair* hairs, int n) const;

private:
  void drawPolyline(QPainter& p, const ChartFrame& f, const ChartPoint* pts, std::size_t n) const;
  // Draws a run of pixel points, clipped to clip unless all are inside.
  void drawPixelRun(QPainter& p, const QRectF& clip, const QPointF* run, std::size_t n, bool inside) const;
  void drawMark(QPainter& p, QPointF at, int kind) const;

  QFont labelFont_;
  mutable LabelWidths labelWidths_;
  QFont titleFont_;
  QFont captionFont_;
};
