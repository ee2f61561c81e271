// The characteristic on the nonlinear window's chart: one polyline through
// both branches of a backlash in the model's Pen1 colour, over what the
// chart holds.
#include "GuiTestSupport.h"

#include "model/SysData.h"
#include "nlin/NlinDraw.h"
#include "nlin/NlinEngine.h"
#include "plot/TRChart.h"

#include <memory>

TEST_F(GuiTest, CharacteristicIsOnePolylineThroughTheStoreInPen1)
{
  TRChart chart;
  ApplyChartSetup(chart, kNlinChart);

  auto rec = std::make_unique<NLINSTAT>();
  CreateNonlinearCurve(*rec, chart.RangeLoX(), chart.RangeHiX());
  rec->points = 40;
  Sys().pen[0] = 0x123456;
  ASSERT_TRUE(ComputeCharacteristic(*rec));  // hyst(x,a): up and back, 81 points
  chart.MarkAt(0, 0, kMarkTick);             // a mark made before Go stays
  DrawCharacteristic(chart, rec->result);
  EXPECT_EQ(chart.Caption(), "Forward path nonlinearity");
  const DisplayList& list = chart.Items();
  ASSERT_EQ(list.size(), 2u);
  const ChartItem& curve = list.item(1);
  EXPECT_EQ(curve.kind, ItemKind::Polyline);
  EXPECT_EQ(curve.colour, 0x123456u);
  ASSERT_EQ(curve.count, 81u);
  const ChartPoint* p = list.points(curve);
  for (std::size_t i = 0; i < curve.count; ++i) {
    EXPECT_EQ(p[i].x, rec->result.points[i].x) << i;
    EXPECT_EQ(p[i].y, rec->result.points[i].y) << i;
  }

  // a second Go overlays its curve and recaptions the chart
  rec->loop.fwdNl = false;
  ASSERT_TRUE(ComputeCharacteristic(*rec));
  DrawCharacteristic(chart, rec->result);
  EXPECT_EQ(chart.Caption(), "No nonlinearity");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.item(2).count, 41u);
}
