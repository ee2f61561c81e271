#pragma once
// Axis arithmetic of the chart: mapping between data units and pixels on a
// linear or logarithmic axis, isometric fitting, zoom back and autoscale.
// Plain C++ so the rules are tested without a display.

// One axis range in data units (lo < hi once sanitised).
struct AxisRange {
  double lo = 0.0;
  double hi = 1.0;
};

// Bounds of the data held by a chart; empty until the first finite point.
struct Extent {
  double xlo = 1.7e308;
  double xhi = -1.7e308;
  double ylo = 1.7e308;
  double yhi = -1.7e308;
  // True once at least one point was added.
  [[nodiscard]] bool valid() const { return xlo <= xhi && ylo <= yhi; }
  // Widens the bounds to hold (x, y); non-finite values are ignored.
  void add(double x, double y);
};

// A range fit to draw: lo < hi, both finite and within +-1e300, and on a
// log axis lo >= 1e-300 (a low limit at or below zero: three decades below
// the high one). A reversed range is put in order, an empty one (or one
// narrower than 1e-300) widened by 1 on each side (log: one decade).
[[nodiscard]] AxisRange SanitizeRange(AxisRange r, bool log);

// The range lo..hi, widened by 1 on each side when lo == hi.
[[nodiscard]] AxisRange ZoomRange(double lo, double hi);

// Maps one axis between data units and pixels: data lo lands on pixel p0,
// data hi on pixel p1 (p1 < p0 for an upward y axis).
class AxisMap {
public:
  AxisMap() = default;
  AxisMap(AxisRange range, double p0, double p1, bool log);

  // Pixel position of data value v (log axis: v <= 0 maps far off the low end).
  [[nodiscard]] double toPixel(double v) const;
  // Data value at pixel position p.
  [[nodiscard]] double toData(double p) const;
  // The sanitised range the map uses.
  [[nodiscard]] AxisRange range() const { return range_; }
  [[nodiscard]] bool log() const { return log_; }

private:
  AxisRange range_;
  double p0_ = 0.0;
  double p1_ = 1.0;
  double a_ = 0.0;  // transformed lo
  double k_ = 1.0;  // pixels per transformed unit
  bool log_ = false;
};

// Isometric fit of the requested rectangle x by y to a plot area of width w
// by height h pixels, so that one data unit spans the same pixels on both
// axes and the whole rectangle stays in view: a rectangle wider than the
// area keeps its x range and its y low limit and gains y range upwards; a
// taller one keeps its y range and gains x range on both sides of its
// centre. An empty area leaves both ranges as they are.
void IsometricFit(AxisRange& x, AxisRange& y, double w, double h);

// Widens a zoom window about its centre to the aspect w:h of the plot area,
// so that an isometric chart shows everything the user framed.
void FitAspect(AxisRange& x, AxisRange& y, double w, double h);

// Zoom back: the range keeps its centre and grows to 1.4 times its width
// (log axis: the same in decades, so the limits stay positive).
[[nodiscard]] AxisRange ZoomBackRange(AxisRange r, bool log);

// Autoscale settings and result for one chart.
struct AutoscaleInput {
  Extent data;
  AxisRange x;  // current ranges (their ratio matters when isometric)
  AxisRange y;
  double marginX = 5;  // percent of the data width on each side; < 0 keeps x
  double marginY = 5;
  bool isometric = false;
  bool logX = false;
};

// Computes the autoscaled ranges into x and y. Returns false (ranges left
// as they were) when there are no data. An axis with a negative margin is
// left unchanged. A data width of zero counts as 2. On a log x axis the
// rule is applied to the decades, so the limits stay positive.
[[nodiscard]] bool AutoscaleRanges(const AutoscaleInput& in, AxisRange& x, AxisRange& y);

// The squared distance from (px, py) to the segment (ax, ay)-(bx, by).
[[nodiscard]] double SegmentDistanceSq(double px, double py, double ax, double ay, double bx, double by);

// Clips the segment (x0, y0)-(x1, y1) to the rectangle l..r by t..b
// (Liang-Barsky). Returns false when nothing of it is inside.
[[nodiscard]] bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b);
