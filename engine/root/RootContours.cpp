// Damping-ratio and settling-time contours and where their labels go.

#include "engine/base/Error.h"
#include "engine/chart/Scale.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"
#include "engine/model/ValueRanges.h"
#include "engine/root/LocusAngle.h"
#include "engine/root/RootEngine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZetaOne = 0.99999;

// Starts a contour: the store is empty until the contour is complete.
bool BeginContour(ROOTSTAT& rec)
{
  rec.result.content = StoreContent::Empty;
  rec.result.count = 0;
  if (InRange(rec.points, ranges::kRootPoints.high, ranges::kRootPoints.low))
    return true;
  SetRangeError(ranges::kRootPoints);
  return false;
}

void Put(LocusResult& r, int i, double x, double y)
{
  r.points[static_cast<std::size_t>(i)] = LocusPoint{0.0f, StoreFloat(x), StoreFloat(y)};
}

bool EndContour(ROOTSTAT& rec, int count)
{
  rec.result.count = count;
  rec.result.content = StoreContent::Contour;
  rec.result.zPlane = rec.zPlane;
  return true;
}

// The spiral r = exp(-a theta) for theta from 0 to pi, with its mirror image
// below the real axis: from (scale, 0) along the upper half and back along
// the lower one. N points a half (2N <= the store).
int Spiral(LocusResult& r, int N, double scale, double a)
{
  for (int i = 0; i < N; ++i) {
    const double theta = i * kPi / (N - 1);
    const double rho = scale * std::exp(-a * theta);
    Put(r, i, rho * std::cos(theta), rho * std::sin(theta));
    Put(r, 2 * N - 1 - i, rho * std::cos(theta), -rho * std::sin(theta));
  }
  return 2 * N;
}

// The visible part of the ray from the origin in direction (ux, uy): its
// middle and its length, 0 when it misses the rectangle.
double VisibleRay(const ROOTSTAT& rec, double ux, double uy, double& x, double& y)
{
  // Longer than any visible part: from the origin past the far corner.
  const double reach = 2 * (std::fabs(rec.xMin) + std::fabs(rec.xMax) + std::fabs(rec.yMin) + std::fabs(rec.yMax));
  double x0 = 0.0, y0 = 0.0, x1 = reach * ux, y1 = reach * uy;
  if (!ClipSegment(x0, y0, x1, y1, rec.xMin, rec.yMin, rec.xMax, rec.yMax))
    return 0.0;
  x = (x0 + x1) / 2;
  y = (y0 + y1) / 2;
  return std::hypot(x1 - x0, y1 - y0);
}

}  // namespace

bool DampingContour(ROOTSTAT& rec, double zeta)
{
  if (!BeginContour(rec))
    return false;
  LocusResult& r = rec.result;
  const bool one = zeta > kZetaOne;
  if (rec.zPlane) {
    if (one) {
      Put(r, 0, 0.0, 0.0);
      Put(r, 1, 1.0, 0.0);
      return EndContour(rec, 2);
    }
    return EndContour(rec, Spiral(r, rec.points, 1.0, zeta / std::sqrt(1 - zeta * zeta)));
  }
  if (rec.xMin >= 0)
    return EndContour(rec, 0);
  const double R = std::max(std::hypot(rec.xMin, rec.yMax), std::hypot(rec.xMin, rec.yMin));
  const double L = 2 * R;
  if (one) {
    Put(r, 0, 0.0, 0.0);
    Put(r, 1, -L, 0.0);
    return EndContour(rec, 2);
  }
  const double s = std::sqrt(1 - zeta * zeta);
  Put(r, 0, -L * zeta, L * s);
  Put(r, 1, 0.0, 0.0);
  Put(r, 2, -L * zeta, -L * s);
  return EndContour(rec, 3);
}

bool SettlingContour(const Loop& roots, ROOTSTAT& rec)
{
  if (!BeginContour(rec))
    return false;
  const double sigma = -3.0 / rec.settlingTime;
  if (rec.zPlane)
    return EndContour(rec, Spiral(rec.result, rec.points, std::exp(sigma * roots.sampleHold), 0.0));
  Put(rec.result, 0, sigma, rec.yMin);
  Put(rec.result, 1, sigma, rec.yMax);
  return EndContour(rec, 2);
}

int DampingRatios(double start, double end, double step, double* out, int cap)
{
  if (!(step > 0))
    return 0;
  int n = 0;
  for (double z = start; n < cap && z <= end + 1e-6 * step; z = start + n * step)
    out[n++] = std::min(z, std::max(end, start));
  return n;
}

LabelPoints DampingLabelPoints(const ROOTSTAT& rec, double zeta)
{
  LabelPoints p;
  const LocusResult& r = rec.result;
  if (rec.zPlane) {
    if (zeta >= kZetaOne) {
      p.count = 1;
      p.x[0] = 0.2;
      return p;
    }
    if (r.content != StoreContent::Contour || r.count < 10)
      return p;
    const LocusPoint& k = r.points[static_cast<std::size_t>(r.count / 10)];
    p.count = 2;
    p.x[0] = p.x[1] = k.x;
    p.y[0] = k.y;
    p.y[1] = -k.y;
    return p;
  }
  if (rec.xMin >= 0)
    return p;
  // The rays y = -x tan(acos zeta) above and y = x tan(acos zeta) below, for
  // x <= 0; zeta = 1 is one ray along the negative real axis.
  const double s = std::sqrt(std::max(0.0, 1 - zeta * zeta));
  const double c = std::min(zeta, 1.0);
  const int rays = zeta >= kZetaOne ? 1 : 2;
  double x[2] = {}, y[2] = {}, length[2] = {};
  for (int k = 0; k < rays; ++k)
    length[k] = VisibleRay(rec, -c, k == 0 ? s : -s, x[k], y[k]);
  // A ray much shorter on screen than its twin goes unlabelled: near the
  // origin the labels of a family of short rays would print over each
  // other, and the twin carries the value.
  for (int k = 0; k < rays; ++k) {
    if (length[k] > 0 && 2 * length[k] >= length[1 - k]) {
      p.x[p.count] = x[k];
      p.y[p.count++] = y[k];
    }
  }
  return p;
}

LabelPoints SettlingLabelPoint(const ROOTSTAT& rec)
{
  LabelPoints p;
  const LocusResult& r = rec.result;
  if (r.content != StoreContent::Contour || r.count < 2)
    return p;
  p.count = 1;
  if (rec.zPlane) {
    const LocusPoint& k = r.points[static_cast<std::size_t>(r.count / 6)];
    p.x[0] = k.x;
    p.y[0] = k.y;
  } else {
    p.x[0] = (r.points[0].x + r.points[1].x) / 2.0;
    p.y[0] = (r.points[0].y + r.points[1].y) / 2.0;
  }
  return p;
}
