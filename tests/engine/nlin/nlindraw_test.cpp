// The characteristic in a display list: one polyline through both branches
// of a backlash in the pens' Pen1 colour, after what the list holds; the
// caption names the nonlinearities drawn.
#include "engine/nlin/NlinDraw.h"
#include "engine/chart/DisplayList.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/nlin/NlinEngine.h"
#include "tests/DecodedRuns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

TEST(NlinDraw, CharacteristicIsOnePolylineThroughTheStoreInPen1)
{
  ModelScope model;
  DisplayList list;
  auto rec = std::make_unique<NLINSTAT>();
  CreateNonlinearCurve(*rec, kNlinChart.xLo, kNlinChart.xHi);
  rec->points = 40;
  ChartPens pens = PensOf(Sys());
  pens.pen[0] = 0x123456;                           // the pens given, not the model's
  ASSERT_TRUE(DecodedCharacteristic(Sys(), *rec));  // hyst(x,a): up and back, 81 points
  list.markAt(0, 0, kMarkTick, 0);                  // a mark made before Go stays
  DrawCharacteristic(list, rec->result, pens);
  EXPECT_STREQ(CharacteristicCaption(rec->result), "Forward path nonlinearity");
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

  // a second Go overlays its curve under its own caption
  rec->loop.fwdNl = false;
  ASSERT_TRUE(DecodedCharacteristic(Sys(), *rec));
  DrawCharacteristic(list, rec->result, pens);
  EXPECT_STREQ(CharacteristicCaption(rec->result), "No nonlinearity");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.item(2).count, 41u);
}
