// The chart's display list: items, taking items back and the data extent.
#include "engine/chart/DisplayList.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(DisplayList, DrawToExtendsThePolylineOfTheSameColour)
{
  DisplayList l;
  l.moveTo(0, 0, 0xFF0000);
  l.drawTo(1, 1, 0xFF0000);
  l.drawTo(2, 0, 0xFF0000);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l.item(0).count, 3u);
  // A new colour starts a new polyline at the pen position.
  l.drawTo(3, 3, 0x0000FF);
  ASSERT_EQ(l.size(), 2u);
  const ChartItem& it = l.item(1);
  EXPECT_EQ(it.colour, 0x0000FFu);
  ASSERT_EQ(it.count, 2u);
  EXPECT_DOUBLE_EQ(l.points(it)[0].x, 2);
  EXPECT_DOUBLE_EQ(l.points(it)[1].y, 3);
}

TEST(DisplayList, DrawToAfterAMarkerGoesOnFromThePen)
{
  DisplayList l;
  l.drawTo(2, 2, 1);  // from the origin at first
  l.markAt(5, 5, kMarkDot, 1);
  l.drawTo(3, 1, 1);
  ASSERT_EQ(l.size(), 3u);
  EXPECT_DOUBLE_EQ(l.points(l.item(0))[0].x, 0);
  EXPECT_DOUBLE_EQ(l.points(l.item(2))[0].x, 2);
  EXPECT_DOUBLE_EQ(l.points(l.item(2))[1].x, 3);
  // Taking items out leaves the polylines (even when asked) and the pen: the
  // next DrawTo goes on from the newest line's end.
  EXPECT_EQ(l.removeIf([](const ChartItem&) { return true; }), 1u);
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l.item(1).kind, ItemKind::Polyline);
  l.drawTo(4, 4, 1);
  ASSERT_EQ(l.item(1).count, 3u);
  EXPECT_DOUBLE_EQ(l.points(l.item(1))[2].x, 4);
}

TEST(DisplayList, RemoveLastTakesBackOneStepAtATime)
{
  DisplayList l;
  l.removeLast();  // empty: nothing happens
  EXPECT_EQ(l.size(), 0u);
  l.moveTo(0, 0, 1);
  l.drawTo(1, 0, 1);
  l.ellipse(0, 0, 1, 1, 1);
  l.line(0, 0, 1, 1, 1);
  l.removeLast();
  l.removeLast();
  ASSERT_EQ(l.size(), 1u);
  l.removeLast();  // the DrawTo
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l.item(0).count, 1u);
  l.removeLast();  // the MoveTo
  EXPECT_EQ(l.size(), 0u);
  l.removeLast();
  EXPECT_EQ(l.size(), 0u);
  EXPECT_FALSE(l.extent().valid());
}

TEST(DisplayList, RemovingAContinuedLineDropsItsStart)
{
  DisplayList l;
  l.moveTo(0, 0, 1);
  l.drawTo(1, 1, 2);  // new colour: a continued polyline of two points
  ASSERT_EQ(l.size(), 2u);
  l.removeLast();
  EXPECT_EQ(l.size(), 1u);
  // The pen is back at the end of what remains.
  l.drawTo(5, 5, 1);
  EXPECT_EQ(l.item(0).count, 2u);
}

TEST(DisplayList, ExtentCoversEveryKind)
{
  const struct {
    void (*add)(DisplayList&);
    double xlo, xhi, ylo, yhi;
  } cases[] = {
      {[](DisplayList& l) {
         l.moveTo(-1, 2, 0);
         l.drawTo(3, -4, 0);
       },
       -1, 3, -4, 2},
      {[](DisplayList& l) { l.markAt(5, 6, kMarkCross, 0); }, 5, 5, 6, 6},
      {[](DisplayList& l) { l.textAt(1, 2, "abc", 8, 0); }, 1, 1, 2, 2},
      {[](DisplayList& l) { l.line(1, 2, -3, 4, 0); }, -3, 1, 2, 4},
      {[](DisplayList& l) { l.ellipse(0, 1, 2, 0.5, 0); }, -2, 2, 0.5, 1.5},
      {[](DisplayList& l) {
         l.moveTo(0, 0, 0);
         l.drawTo(NAN, 9, 0);
         l.drawTo(1, 1, 0);
       },
       0, 1, 0, 1},
  };
  for (const auto& c : cases) {
    DisplayList l;
    c.add(l);
    const Extent e = l.extent();
    ASSERT_TRUE(e.valid());
    EXPECT_DOUBLE_EQ(e.xlo, c.xlo);
    EXPECT_DOUBLE_EQ(e.xhi, c.xhi);
    EXPECT_DOUBLE_EQ(e.ylo, c.ylo);
    EXPECT_DOUBLE_EQ(e.yhi, c.yhi);
  }
}

TEST(DisplayList, TextsAreCutToThirtyNineCharacters)
{
  DisplayList l;
  l.textAt(0, 0, "0123456789abcdefghij0123456789ABCDEFGHIJ", 8, 0);
  EXPECT_STREQ(l.item(0).text, "0123456789abcdefghij0123456789ABCDEFGHI");
  l.textAt(0, 0, "  -1.23456789e-100,-1.23456789e-100", 8, 0);  // the longest cursor mark label
  EXPECT_STREQ(l.item(1).text, "  -1.23456789e-100,-1.23456789e-100");
  l.textAt(0, 0, nullptr, 8, 0);
  EXPECT_STREQ(l.item(2).text, "");
}

TEST(DisplayList, EndTellsHowMuchIsInTheList)
{
  DisplayList l;
  EXPECT_EQ(l.end().items, 0u);
  l.moveTo(0, 0, 0);
  l.drawTo(1, 1, 0);
  EXPECT_EQ(l.end().items, 1u);
  EXPECT_EQ(l.end().points, 2u);
  l.markAt(0, 0, kMarkTick, 0);
  EXPECT_EQ(l.end().items, 2u);
  EXPECT_EQ(l.end().points, 0u);
}

}  // namespace
