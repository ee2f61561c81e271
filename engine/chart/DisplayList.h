#pragma once
// The chart's retained display list: items in data units, each with the
// colour current when it was added. The chart re-renders it at any range.

#include "engine/chart/Scale.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ItemKind : std::uint8_t { Polyline, Mark, Text, Line, Ellipse };

// Marker symbols used by the windows.
enum MarkKind : int {
  kMarkCross = 6,      // diagonal cross, arms 4 px (open-loop poles)
  kMarkTriangle = 15,  // triangle 6 px across (closed-loop poles)
  kMarkCircle = 17,    // circle 7 px across (open-loop zeros)
  kMarkTick = 19,      // tick mark (user marks)
  kMarkDot = 24,       // filled circle 7 px across (samples)
};

// 39 characters and terminator: a mark label of two numbers of nine
// significant figures ("  -1.23456789e-100,-1.23456789e-100") is never cut.
inline constexpr std::size_t kItemTextSize = 40;

struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
};

struct ChartItem {
  ItemKind kind = ItemKind::Polyline;
  std::uint32_t colour = 0;   // 0xRRGGBB
  double x = 0.0, y = 0.0;    // point, start, or centre
  double x2 = 0.0, y2 = 0.0;  // line end, or ellipse semi-axes
  int code = 0;               // marker kind, text size in points, or a polyline's width in px (0: 1 px)
  std::size_t first = 0;      // polyline: its points in the point store
  std::size_t count = 0;
  bool continued = false;  // polyline begun by a DrawTo, not a MoveTo
  char text[kItemTextSize] = {};
};

class DisplayList {
public:
  DisplayList();

  // Starts a new polyline at (x, y).
  void moveTo(double x, double y, std::uint32_t colour);
  // Adds a line from the previous point (the last MoveTo/DrawTo, at first
  // the origin) to (x, y).
  void drawTo(double x, double y, std::uint32_t colour);
  // A marker of kind (MarkKind) at (x, y).
  void markAt(double x, double y, int kind, std::uint32_t colour);
  // A text cut to 39 characters, anchored at (x, y), size in points.
  void textAt(double x, double y, const char* text, int size, std::uint32_t colour);
  // A segment from (x1, y1) to (x2, y2).
  void line(double x1, double y1, double x2, double y2, std::uint32_t colour);
  // An ellipse centred at (x, y) with semi-axes rx, ry.
  void ellipse(double x, double y, double rx, double ry, std::uint32_t colour);

  // Draws the newest item, when it is a polyline, width px wide (a curve
  // drawn bold among others).
  void setLastWidth(int width);
  // Removes the newest item (one MoveTo or DrawTo of a polyline counts as
  // one item); nothing happens on an empty list.
  void removeLast();
  // Empties the list and puts the pen back at the origin.
  void clear();
  // Removes every marker, text, line and ellipse for which drop(item)
  // holds, keeping the order of the rest; polylines always stay, so the
  // newest polyline still owns the end of the point store and the pen stays
  // where it was. Returns how many items went.
  template <typename Pred>
  std::size_t removeIf(Pred drop)
  {
    return std::erase_if(items_, [&drop](const ChartItem& it) { return it.kind != ItemKind::Polyline && drop(it); });
  }

  // Number of items, item i (oldest first), and the points of a polyline.
  [[nodiscard]] std::size_t size() const { return items_.size(); }
  [[nodiscard]] const ChartItem& item(std::size_t i) const { return items_[i]; }
  [[nodiscard]] const ChartPoint* points(const ChartItem& it) const { return &points_[it.first]; }
  // Smallest and largest x and y over all items (ellipses with their axes).
  [[nodiscard]] Extent extent() const;

  // Position up to which the list has been drawn: items before `items`, and
  // of the item at items - 1 (a polyline) its first `points` points.
  struct Drawn {
    std::size_t items = 0;
    std::size_t points = 0;
  };
  // Everything currently in the list.
  [[nodiscard]] Drawn end() const;

private:
  ChartItem& push(ItemKind kind, double x, double y, std::uint32_t colour);

  std::vector<ChartItem> items_;
  std::vector<ChartPoint> points_;
  ChartPoint pen_;
};
