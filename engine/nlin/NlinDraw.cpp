#include "engine/nlin/NlinDraw.h"

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/nlin/NlinEngine.h"

#include <algorithm>

void DrawCharacteristic(DisplayList& list, const NlinResult& r, const ChartPens& pens)
{
  if (r.count <= 0)
    return;
  const std::uint32_t colour = pens.pen[0];
  list.moveTo(r.points[0].x, r.points[0].y, colour);
  const std::size_t n = std::min(static_cast<std::size_t>(r.count), r.points.size());
  for (std::size_t i = 1; i < n; ++i)
    list.drawTo(r.points[i].x, r.points[i].y, colour);
}

bool NlinGo(const Loop& loop, NLINSTAT& rec, const EvalContext& ctx, const ChartPens& pens, DisplayList& list)
{
  ClearError();
  if (!ComputeCharacteristic(loop, rec, ctx))
    return false;
  DrawCharacteristic(list, rec.result, pens);
  return true;
}
