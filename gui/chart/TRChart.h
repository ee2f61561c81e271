#pragma once
// TRChart: the retained-mode plot every graph window draws on. Callers add
// display items in data units (MoveTo/DrawTo polylines, markers, texts,
// lines, ellipses) in the current DataColor and ask for a redraw; the chart
// keeps the axes, grid, scales, crosshairs and the mouse zoom and pan.
//
// Range and look setters take effect at the next ShowGraph. ShowNewItems
// draws only what was added since the last show, over the picture already on
// screen. Render draws the same picture onto any paint device at any size.

#include "engine/chart/DisplayList.h"
#include "gui/chart/ChartPainter.h"

#include <QPixmap>
#include <QWidget>

#include <cstdint>

enum MouseActMode { maNone, maPan, maZoomWindPos };

class TRChart : public QWidget {
  Q_OBJECT

public:
  explicit TRChart(QWidget* parent = nullptr);

  // The four ranges in data units.
  double RangeLoX() const { return s_.x.lo; }
  double RangeHiX() const { return s_.x.hi; }
  double RangeLoY() const { return s_.y.lo; }
  double RangeHiY() const { return s_.y.hi; }
  // A range set is the rectangle the chart is asked to show; an isometric
  // chart shows it widened on one axis to the shape of its plot area.
  void SetRangeLoX(double v) { s_.x.lo = wantX_.lo = v; }
  void SetRangeHiX(double v) { s_.x.hi = wantX_.hi = v; }
  void SetRangeLoY(double v) { s_.y.lo = wantY_.lo = v; }
  void SetRangeHiY(double v) { s_.y.hi = wantY_.hi = v; }

  // Equal data units on both axes. The ranges shown hold the whole requested
  // rectangle: a rectangle wider than the plot area gains y range above it,
  // a taller one x range on both sides (IsometricFit). Turning it on applies
  // it; the fit is made again for every new size of the chart.
  bool Isometric() const { return s_.isometric; }
  void SetIsometric(bool on);
  // Logarithmic axes (decades evenly spaced).
  bool LogScaleX() const { return s_.logX; }
  void SetLogScaleX(bool on) { s_.logX = on; }
  bool LogScaleY() const { return s_.logY; }
  void SetLogScaleY(bool on) { s_.logY = on; }
  // Unlabelled short ticks between the labelled ones of the x axis.
  bool ShortTicksX() const { return s_.shortTicksX; }
  void SetShortTicksX(bool on) { s_.shortTicksX = on; }
  // Grid spacing in data units: 0 shows the grid at the labelled ticks, 1e15
  // (or more) hides it, any other value spaces the lines so.
  double GridDx() const { return s_.gridDx; }
  double GridDy() const { return s_.gridDy; }
  void SetGridDx(double v) { s_.gridDx = v; }
  void SetGridDy(double v) { s_.gridDy = v; }

  // The title above the plot.
  QString Caption() const { return s_.caption; }
  void SetCaption(const QString& text) { s_.caption = text; }
  // Axis titles, cut to 50 characters.
  QString IdAbscissa() const { return s_.idAbscissa; }
  QString IdOrdinate() const { return s_.idOrdinate; }
  void SetIdAbscissa(const QString& text) { s_.idAbscissa = text.left(50); }
  void SetIdOrdinate(const QString& text) { s_.idOrdinate = text.left(50); }

  // Colour of the items added from now on.
  QColor DataColor() const { return QColor::fromRgb(static_cast<QRgb>(colour_ | 0xFF000000u)); }
  void SetDataColor(const QColor& c) { colour_ = c.rgb() & 0xFFFFFFu; }
  // The same from a 0xRRGGBB pen colour of the loop model.
  void SetDataColorRgb(std::uint32_t rgb) { colour_ = rgb & 0xFFFFFFu; }

  // What a left-button drag does: nothing, pan, or zoom to the dragged window.
  MouseActMode MouseAction() const { return action_; }
  void SetMouseAction(MouseActMode mode);

  // Polylines: MoveTo starts one, DrawTo adds a line from the previous point.
  void MoveTo(double x, double y) { list_.moveTo(x, y, colour_); }
  void DrawTo(double x, double y) { list_.drawTo(x, y, colour_); }
  // A marker of kind 6, 15, 17, 19 or 24 (see MarkKind) at (x, y).
  void MarkAt(double x, double y, int kind) { list_.markAt(x, y, kind, colour_); }
  // A text of up to 39 characters starting at (x, y); size in points.
  void TextAt(double x, double y, const QString& text, int size);
  // A straight segment.
  void LineItem(double x1, double y1, double x2, double y2) { list_.line(x1, y1, x2, y2, colour_); }
  // An ellipse centred at (x, y) with semi-axes rx, ry in data units.
  void EllipseItem(double x, double y, double rx, double ry) { list_.ellipse(x, y, rx, ry, colour_); }
  // Empties the display list.
  void ClearGraph() { list_.clear(); }
  // Takes back the newest item; nothing on an empty list.
  void RemoveLastItem() { list_.removeLast(); }
  // Removes the markers, texts, lines and ellipses for which drop(item)
  // holds (polylines stay); the next show redraws the whole list.
  template <typename Pred>
  void RemoveItemsIf(Pred drop)
  {
    if (list_.removeIf(drop) > 0)
      backing_ = QPixmap();
  }
  // Bounds of all items (empty extent when there are none).
  Extent DataExtent() const { return list_.extent(); }
  // The display list itself: the drawing routines add to it, tests and
  // read-outs look at it. Items added here show at the next ShowNewItems or
  // ShowGraph, as those added by the calls above.
  const DisplayList& Items() const { return list_; }
  DisplayList& Items() { return list_; }

  // Sets all four ranges; a range of zero width is widened by 1 each side.
  void ZoomTo(double x1, double y1, double x2, double y2);
  // Redraws frame, scales, grid and the whole list.
  void ShowGraph();
  // Draws only the items added since the last show.
  void ShowNewItems();

  // Crosshair k (1..4): colour, width, pen style (0 solid, 1 dash, 2 dot,
  // 3 dash-dot) and mode (0 hidden, 1 horizontal, 2 vertical, 3 both).
  void CrossHairSetup(int k, const QColor& colour, int width, int style, int mode);
  // Moves crosshair k to (x, y) and redraws it at once.
  void CrossHairPosition(int k, double x, double y);
  // The settings and position of crosshair k (a hidden one when k is not 1..4).
  CrossHair CrossHairAt(int k) const;

  // The plot area in widget pixels, and the mapping of the picture on screen.
  QRectF PlotArea() const { return frame_.plot; }
  QPointF DataToPixel(double x, double y) const;
  QPointF PixelToData(QPointF p) const;

  // Draws the chart's picture, sized size (logical pixels), onto p.
  void Render(QPainter& p, QSizeF size) const;

signals:
  // On every pointer move over the chart: inside the plot area or not, and
  // the position in data units.
  void OnMouseMoveInChart(bool inChart, double rMousePosX, double rMousePosY);
  // After the user zoomed or panned with the mouse; the ranges are changed.
  void OnZoomPan();
  // Any mouse button pressed or released over the chart.
  void OnMouseDown();
  void OnMouseUp();

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;

private:
  void renderAll();
  void updateCursor();

  // Sets the ranges shown and the requested rectangle alike.
  void setRanges(AxisRange x, AxisRange y);
  // The ranges for a picture of size: the requested rectangle, fit to the
  // plot area when isometric.
  void fit(ChartSettings& s, QSizeF size, ChartFrame& f) const;

  ChartSettings s_;            // the ranges shown
  AxisRange wantX_{0.0, 1.0};  // the rectangle last asked for
  AxisRange wantY_{0.0, 1.0};
  DisplayList list_;
  std::uint32_t colour_ = 0;
  MouseActMode action_ = maNone;
  CrossHair hairs_[kCrossHairs];

  ChartPainter painter_;
  ChartFrame frame_;          // layout of the picture on screen
  QPixmap backing_;           // frame and items, without crosshairs
  DisplayList::Drawn drawn_;  // how much of the list the backing holds

  // Mouse drag state.
  bool dragging_ = false;
  QPointF dragStart_;
  QPointF dragNow_;
  AxisRange dragX_, dragY_;
  ChartFrame dragFrame_;
};
