#include "gui/frame/WindowPlacement.h"

#include <algorithm>

namespace {
constexpr QSize kLeastFrame{800, 554};

QSize Bounded(QSize size, QSize area)
{
  return size.expandedTo(kUsableChild).boundedTo(area).expandedTo(QSize(1, 1));
}
}  // namespace

QRect FrameStartGeometry(const QRect& available)
{
  const QSize size = QSize(available.width() * 85 / 100, available.height() * 85 / 100)
                         .expandedTo(kLeastFrame)
                         .boundedTo(available.size());
  QRect r(QPoint(0, 0), size);
  r.moveCenter(available.center());
  return r;
}

QRect CascadeGeometry(const QRect& area, QSize size, int index, int step)
{
  step = std::max(step, 1);
  const int room = std::min(area.width() - size.width(), area.height() - size.height());
  const int places = std::max(room / step + 1, 1);
  const int k = std::max(index, 0) % places;
  return QRect(area.topLeft() + QPoint(k * step, k * step), size);
}

QRect NewChildGeometry(const QRect& area, int openBefore, int step)
{
  // The third left over in each direction gives the cascade its steps.
  const QSize size = Bounded(QSize(area.width() * 2 / 3, area.height() * 2 / 3), area.size());
  return CascadeGeometry(area, size, openBefore, step);
}

QSize CascadeSize(const QRect& area, int count, int step)
{
  const int shift = std::max(count - 1, 0) * std::max(step, 1);
  const QSize fit(area.width() - shift, area.height() - shift);
  return Bounded(fit.expandedTo(area.size() * 3 / 5), area.size());
}
