// The cursor on a chart, shown with crosshairs or with display items: what
// it adds and takes back, the reference, the size of its ring and cross in
// pixels, and which points lie on the chart.
#include "tests/gui/GuiTestSupport.h"

#include "gui/chart/ChartCursor.h"
#include "gui/chart/TRChart.h"

#include <QLineF>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

class ChartCursorTest : public GuiTest, public ::testing::WithParamInterface<ChartCursor::Style> {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    chart_ = std::make_unique<TRChart>();
    chart_->resize(600, 400);
    // Unequal units on the two axes: the ring is an ellipse in data units.
    chart_->ZoomTo(0, 0, 10, 1);
    chart_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart_.get()));
    chart_->MoveTo(0, 0);
    chart_->DrawTo(10, 1);
    chart_->ShowGraph();
  }
  void TearDown() override
  {
    chart_.reset();
    GuiTest::TearDown();
  }
  std::size_t count() const { return chart_->Items().size(); }
  const ChartItem& item(std::size_t i) const { return chart_->Items().item(i); }
  // The length in screen pixels of the segment between two data points.
  double pixels(double x1, double y1, double x2, double y2) const
  {
    return QLineF(chart_->DataToPixel(x1, y1), chart_->DataToPixel(x2, y2)).length();
  }
  // Items from first on: a cross of 10-pixel arms at (x, y), in black.
  void expectCross(std::size_t first, double x, double y) const
  {
    for (std::size_t i = first; i < first + 2; ++i) {
      const ChartItem& l = item(i);
      ASSERT_EQ(l.kind, ItemKind::Line);
      EXPECT_EQ(l.colour, 0u);
      EXPECT_NEAR((l.x + l.x2) / 2, x, 1e-12);
      EXPECT_NEAR((l.y + l.y2) / 2, y, 1e-12);
      EXPECT_NEAR(pixels(l.x, l.y, l.x2, l.y2), 20.0, 1e-6);
    }
  }
  std::unique_ptr<TRChart> chart_;
};

TEST_P(ChartCursorTest, ShowsTheCursorAndReferenceAndTakesThemBack)
{
  const bool items = GetParam() == ChartCursor::Style::Items;
  const std::size_t curve = count();
  chart_->SetDataColorRgb(0xFF0000);
  ChartCursor cursor;
  cursor.attach(*chart_, GetParam());
  EXPECT_EQ(chart_->CrossHairAt(1).mode, items ? 0 : 2);

  cursor.moveTo(2, 0.5);
  if (items) {
    ASSERT_EQ(count(), curve + 3);
    const ChartItem& ring = item(curve);
    ASSERT_EQ(ring.kind, ItemKind::Ellipse);
    EXPECT_EQ(ring.colour, 0u);
    EXPECT_EQ(ring.x, 2.0);
    EXPECT_EQ(ring.y, 0.5);
    // A round ring of 5 pixels on screen, whatever the units of the axes.
    EXPECT_NEAR(pixels(2, 0.5, 2 + ring.x2, 0.5), 5.0, 1e-6);
    EXPECT_NEAR(pixels(2, 0.5, 2, 0.5 + ring.y2), 5.0, 1e-6);
    expectCross(curve + 1, 2, 0.5);
  } else {
    EXPECT_EQ(count(), curve);
    EXPECT_EQ(chart_->CrossHairAt(1).x, 2.0);
    EXPECT_EQ(chart_->CrossHairAt(1).y, 0.5);
  }
  // The window's colour is its own again.
  EXPECT_EQ(chart_->DataColor(), QColor(Qt::red));

  cursor.setReference(1, 0.25);
  cursor.moveTo(3, 0.75);
  if (items) {
    ASSERT_EQ(count(), curve + 5);
    expectCross(curve, 1, 0.25);  // under the cursor
    EXPECT_EQ(item(curve + 2).kind, ItemKind::Ellipse);
  } else {
    EXPECT_EQ(chart_->CrossHairAt(2).mode, 2);
    EXPECT_EQ(chart_->CrossHairAt(2).style, 3);
    EXPECT_EQ(chart_->CrossHairAt(2).x, 1.0);
  }

  // A mark goes under the cursor and stays when it leaves.
  cursor.takeBack();
  chart_->MarkAt(3, 0.75, kMarkTick);
  cursor.moveTo(3, 0.75);
  EXPECT_EQ(item(curve).kind, ItemKind::Mark);
  EXPECT_EQ(count(), curve + 1 + (items ? 5 : 0));
  // Where there is nothing to read, the reference alone.
  cursor.moveTo(4, 0.5, false);
  EXPECT_EQ(count(), curve + 1 + (items ? 2 : 0));

  cursor.clearReference();
  EXPECT_FALSE(cursor.hasReference());
  EXPECT_EQ(chart_->CrossHairAt(2).mode, 0);
  cursor.moveTo(5, 0.5);
  cursor.detach();
  EXPECT_EQ(count(), curve + 1);
  EXPECT_EQ(item(curve).kind, ItemKind::Mark);
  EXPECT_EQ(chart_->CrossHairAt(1).mode, 0);
  EXPECT_EQ(chart_->CrossHairAt(2).mode, 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, ChartCursorTest,
                         ::testing::Values(ChartCursor::Style::Items, ChartCursor::Style::Crosshairs));

TEST_F(ChartCursorTest, OnChartOnlyWithinTheRanges)
{
  ChartCursor cursor;
  EXPECT_FALSE(cursor.onChart(5, 0.5)) << "not attached";
  cursor.attach(*chart_, ChartCursor::Style::Items);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double x, y;
    bool on;
  } cases[] = {{0, 0, true},       {10, 1, true},     {5, 0.5, true}, {10.001, 0.5, false},
               {5, -0.001, false}, {nan, 0.5, false}, {5, nan, false}};
  for (const auto& c : cases)
    EXPECT_EQ(cursor.onChart(c.x, c.y), c.on) << c.x << "," << c.y;
}

}  // namespace
