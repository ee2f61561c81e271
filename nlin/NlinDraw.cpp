#include "nlin/NlinDraw.h"

#include "model/Model.h"
#include "model/SysData.h"
#include "nlin/NlinEngine.h"
#include "plot/TRChart.h"

#include <algorithm>

void DrawCharacteristic(TRChart& chart, const NlinResult& r)
{
  chart.SetCaption(QLatin1String(CharacteristicCaption(r)));
  if (r.count <= 0)
    return;
  chart.SetDataColorRgb(Sys().pen[0]);
  chart.MoveTo(r.points[0].x, r.points[0].y);
  const std::size_t n = std::min(static_cast<std::size_t>(r.count), r.points.size());
  for (std::size_t i = 1; i < n; ++i)
    chart.DrawTo(r.points[i].x, r.points[i].y);
}
