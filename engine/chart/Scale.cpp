#include "engine/chart/Scale.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRangeLimit = 1e300;
}

void Extent::add(double x, double y)
{
  if (!std::isfinite(x) || !std::isfinite(y))
    return;
  xlo = std::min(xlo, x);
  xhi = std::max(xhi, x);
  ylo = std::min(ylo, y);
  yhi = std::max(yhi, y);
}

AxisRange SanitizeRange(AxisRange r, bool log)
{
  if (!std::isfinite(r.lo) || !std::isfinite(r.hi))
    r = log ? AxisRange{0.1, 10.0} : AxisRange{0.0, 1.0};
  if (r.hi < r.lo)
    std::swap(r.lo, r.hi);
  // Limits beyond 1e300 would overflow the width and the tick arithmetic.
  r.lo = std::clamp(r.lo, -kRangeLimit, kRangeLimit);
  r.hi = std::clamp(r.hi, -kRangeLimit, kRangeLimit);
  if (log) {
    if (r.hi <= 1.0 / kRangeLimit)
      return {0.1, 10.0};
    if (r.lo <= 0.0)
      r.lo = r.hi * 1e-3;  // three decades below the top
    r.lo = std::max(r.lo, 1.0 / kRangeLimit);
    if (r.lo == r.hi)
      return {r.lo / 10.0, r.hi * 10.0};
    return r;
  }
  // Widths below 1e-300 cannot be divided into ticks: treat them as empty.
  if (r.hi - r.lo < 1.0 / kRangeLimit)
    return ZoomRange(r.lo, r.lo);
  return r;
}

AxisRange ZoomRange(double lo, double hi)
{
  if (lo == hi)
    return {lo - 1.0, hi + 1.0};
  return {lo, hi};
}

AxisMap::AxisMap(AxisRange range, double p0, double p1, bool log)
    : range_(SanitizeRange(range, log)), p0_(p0), p1_(p1), log_(log)
{
  const double a = log_ ? std::log10(range_.lo) : range_.lo;
  const double b = log_ ? std::log10(range_.hi) : range_.hi;
  a_ = a;
  k_ = (p1_ - p0_) / (b - a);
}

double AxisMap::toPixel(double v) const
{
  if (log_)
    v = v > 0.0 ? std::log10(v) : a_ - 1e6;
  return p0_ + (v - a_) * k_;
}

double AxisMap::toData(double p) const
{
  const double t = a_ + (p - p0_) / k_;
  return log_ ? std::pow(10.0, t) : t;
}

void IsometricFit(AxisRange& x, AxisRange& y, double w, double h)
{
  if (w <= 0.0 || h <= 0.0)
    return;
  const double dx = x.hi - x.lo;
  const double dy = y.hi - y.lo;
  if (dx * h >= dy * w) {
    y.hi = y.lo + dx * h / w;
  } else {
    const double c = 0.5 * (x.lo + x.hi), half = 0.5 * dy * w / h;
    x = {c - half, c + half};
  }
}

void FitAspect(AxisRange& x, AxisRange& y, double w, double h)
{
  if (w <= 0.0 || h <= 0.0)
    return;
  const double dx = x.hi - x.lo;
  const double dy = y.hi - y.lo;
  if (dx * h < dy * w) {
    const double c = 0.5 * (x.lo + x.hi), half = 0.5 * dy * w / h;
    x = {c - half, c + half};
  } else {
    const double c = 0.5 * (y.lo + y.hi), half = 0.5 * dx * h / w;
    y = {c - half, c + half};
  }
}

AxisRange ZoomBackRange(AxisRange r, bool log)
{
  if (log && r.lo > 0.0 && r.hi > 0.0) {
    const double a = std::log10(r.lo), b = std::log10(r.hi);
    const double c = 0.5 * (a + b), half = 0.7 * (b - a);
    const AxisRange z = ZoomRange(c - half, c + half);
    return {std::pow(10.0, z.lo), std::pow(10.0, z.hi)};
  }
  const double c = 0.5 * (r.lo + r.hi), half = 0.7 * (r.hi - r.lo);
  return ZoomRange(c - half, c + half);
}

bool AutoscaleRanges(const AutoscaleInput& in, AxisRange& x, AxisRange& y)
{
  if (!in.data.valid())
    return false;
  const bool logX = in.logX && in.data.xlo > 0.0;
  const double xlo = logX ? std::log10(in.data.xlo) : in.data.xlo;
  const double xhi = logX ? std::log10(in.data.xhi) : in.data.xhi;
  const double cx = 0.5 * (xlo + xhi), cy = 0.5 * (in.data.ylo + in.data.yhi);
  double dx = xhi - xlo, dy = in.data.yhi - in.data.ylo;
  if (dx == 0.0)
    dx = 2.0;
  if (dy == 0.0)
    dy = 2.0;
  const double fx = 0.01 * in.marginX + 0.5, fy = 0.01 * in.marginY + 0.5;
  AxisRange nx{cx - dx * fx, cx + dx * fx};
  AxisRange ny{cy - dy * fy, cy + dy * fy};
  if (in.isometric) {
    const double w = in.x.hi - in.x.lo, h = in.y.hi - in.y.lo;
    if (w > 0.0 && h > 0.0) {
      const double ratio = w / h;
      if (h * dx < w * dy)
        nx = {cx - ratio * dy * fx, cx + ratio * dy * fx};
      else
        ny = {cy - dx * fy / ratio, cy + dx * fy / ratio};
    }
  }
  if (logX)
    nx = {std::pow(10.0, nx.lo), std::pow(10.0, nx.hi)};
  if (in.marginX >= 0.0)
    x = nx;
  if (in.marginY >= 0.0)
    y = ny;
  return true;
}

double SegmentDistanceSq(double px, double py, double ax, double ay, double bx, double by)
{
  const double dx = bx - ax, dy = by - ay;
  const double len = dx * dx + dy * dy;
  double f = len > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / len : 0.0;
  f = f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
  const double ex = ax + f * dx - px, ey = ay + f * dy - py;
  return ex * ex + ey * ey;
}

bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b)
{
  const double dx = x1 - x0, dy = y1 - y0;
  double u0 = 0.0, u1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - l, r - x0, y0 - t, b - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0)
        return false;
      continue;
    }
    const double u = q[i] / p[i];
    if (p[i] < 0.0)
      u0 = std::max(u0, u);
    else
      u1 = std::min(u1, u);
    if (u0 > u1)
      return false;
  }
  const double ax = x0, ay = y0;
  x0 = ax + u0 * dx;
  y0 = ay + u0 * dy;
  x1 = ax + u1 * dx;
  y1 = ay + u1 * dy;
  return true;
}
