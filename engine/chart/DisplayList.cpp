#include "engine/chart/DisplayList.h"

#include <algorithm>
#include <cstring>

namespace {
// Room for the largest single Go before the first reallocation (reserved,
// the memory is only touched as items arrive): a discrete run of a full
// 2000-point store draws a marker and a stem at every sample of two traces
// (about 8000 items), a family of ten members and the current curve at full
// stores 22000 points. Runs overlaid beyond that grow the list.
constexpr std::size_t kItemRoom = 8448;
constexpr std::size_t kPointRoom = 22528;
}  // namespace

DisplayList::DisplayList()
{
  items_.reserve(kItemRoom);
  points_.reserve(kPointRoom);
}

ChartItem& DisplayList::push(ItemKind kind, double x, double y, std::uint32_t colour)
{
  ChartItem& it = items_.emplace_back();
  it.kind = kind;
  it.colour = colour;
  it.x = x;
  it.y = y;
  return it;
}

void DisplayList::moveTo(double x, double y, std::uint32_t colour)
{
  ChartItem& it = push(ItemKind::Polyline, x, y, colour);
  it.first = points_.size();
  it.count = 1;
  points_.push_back({x, y});
  pen_ = {x, y};
}

void DisplayList::drawTo(double x, double y, std::uint32_t colour)
{
  const bool extend = !items_.empty() && items_.back().kind == ItemKind::Polyline && items_.back().colour == colour;
  if (!extend) {
    ChartItem& it = push(ItemKind::Polyline, pen_.x, pen_.y, colour);
    it.first = points_.size();
    it.count = 1;
    it.continued = true;
    points_.push_back(pen_);
  }
  points_.push_back({x, y});
  ++items_.back().count;
  pen_ = {x, y};
}

void DisplayList::markAt(double x, double y, int kind, std::uint32_t colour)
{
  push(ItemKind::Mark, x, y, colour).code = kind;
}

void DisplayList::textAt(double x, double y, const char* text, int size, std::uint32_t colour)
{
  ChartItem& it = push(ItemKind::Text, x, y, colour);
  it.code = size;
  std::strncpy(it.text, text ? text : "", kItemTextSize - 1);
  it.text[kItemTextSize - 1] = '\0';
}

void DisplayList::line(double x1, double y1, double x2, double y2, std::uint32_t colour)
{
  ChartItem& it = push(ItemKind::Line, x1, y1, colour);
  it.x2 = x2;
  it.y2 = y2;
}

void DisplayList::ellipse(double x, double y, double rx, double ry, std::uint32_t colour)
{
  ChartItem& it = push(ItemKind::Ellipse, x, y, colour);
  it.x2 = rx;
  it.y2 = ry;
}

void DisplayList::setLastWidth(int width)
{
  if (!items_.empty() && items_.back().kind == ItemKind::Polyline)
    items_.back().code = width;
}

void DisplayList::removeLast()
{
  if (items_.empty())
    return;
  ChartItem& it = items_.back();
  if (it.kind == ItemKind::Polyline) {
    points_.pop_back();
    --it.count;
    // A polyline begun by a DrawTo keeps its start point only with a segment.
    if (it.count == 1 && it.continued) {
      points_.pop_back();
      it.count = 0;
    }
    if (it.count > 0) {
      pen_ = points_.back();
      return;
    }
  }
  items_.pop_back();
  if (!items_.empty() && items_.back().kind == ItemKind::Polyline)
    pen_ = points_.back();
}

void DisplayList::clear()
{
  items_.clear();
  points_.clear();
  pen_ = {};
}

Extent DisplayList::extent() const
{
  Extent e;
  for (const ChartItem& it : items_) {
    switch (it.kind) {
      case ItemKind::Polyline:
        for (std::size_t i = 0; i < it.count; ++i)
          e.add(points_[it.first + i].x, points_[it.first + i].y);
        break;
      case ItemKind::Line:
        e.add(it.x, it.y);
        e.add(it.x2, it.y2);
        break;
      case ItemKind::Ellipse:
        e.add(it.x - std::abs(it.x2), it.y - std::abs(it.y2));
        e.add(it.x + std::abs(it.x2), it.y + std::abs(it.y2));
        break;
      case ItemKind::Mark:
      case ItemKind::Text:
        e.add(it.x, it.y);
        break;
    }
  }
  return e;
}

DisplayList::Drawn DisplayList::end() const
{
  if (items_.empty())
    return {};
  return {items_.size(), items_.back().kind == ItemKind::Polyline ? items_.back().count : 0};
}
