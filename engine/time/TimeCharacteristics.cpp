#include "engine/time/TimeCharacteristics.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZeroFinal = 1e-6;  // of the largest output: single-precision noise
constexpr double kRiseLow = 0.1;
constexpr double kRiseHigh = 0.9;
constexpr double kBand = 0.05;

double Y(const TransResult& r, int i)
{
  return r.trace[static_cast<std::size_t>(i)].y;
}

// First time the normalised output z = y/final reaches level.
double FirstReach(const TransResult& r, double final, double level)
{
  double previous = Y(r, 0) / final;
  if (previous >= level)
    return 0.0;
  for (int i = 1; i < r.pointCount; ++i) {
    const double z = Y(r, i) / final;
    if (z >= level)
      return (i - 1 + (level - previous) / (z - previous)) * r.step;
    previous = z;
  }
  return (r.pointCount - 1) * r.step;  // never: the last point is at level 1
}

}  // namespace

bool ComputeCharacteristics(const TransResult& r, ResponseCharacteristics& c)
{
  c = ResponseCharacteristics{};
  if (!r.valid || r.plot != TransPlot::TimeResponse || r.pointCount < 1)
    return false;
  const int n = r.pointCount;
  double largest = 0.0;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(Y(r, i)))
      return false;
    largest = std::max(largest, std::fabs(Y(r, i)));
  }
  const double final = Y(r, n - 1);
  c.finalValue = final;
  c.relative = std::fabs(final) > kZeroFinal * largest;

  // sign of the direction in which the peak is sought; 0 for magnitude
  const int sense = !c.relative ? 0 : (final > 0 ? 1 : -1);
  int peakAt = 0;
  for (int i = 1; i < n; ++i) {
    const double y = Y(r, i), best = Y(r, peakAt);
    if (sense == 0 ? std::fabs(y) > std::fabs(best) : sense * y > sense * best)
      peakAt = i;
  }
  c.peak = Y(r, peakAt);
  c.peakTime = peakAt * r.step;
  if (!c.relative)
    return true;

  c.overshoot = std::max(0.0, (c.peak - final) / final * 100.0);
  c.riseStart = FirstReach(r, final, kRiseLow);
  c.riseEnd = FirstReach(r, final, kRiseHigh);
  c.riseTime = c.riseEnd - c.riseStart;

  int lastOut = -1;
  for (int i = n - 1; i >= 0 && lastOut < 0; --i)
    if (std::fabs(Y(r, i) / final - 1.0) > kBand)
      lastOut = i;
  if (lastOut >= 0 && lastOut + 1 < n) {
    const double z0 = Y(r, lastOut) / final, z1 = Y(r, lastOut + 1) / final;
    const double edge = z0 > 1.0 ? 1.0 + kBand : 1.0 - kBand;
    c.settlingTime = (lastOut + (edge - z0) / (z1 - z0)) * r.step;
  }
  return true;
}

double OutputAt(const TransResult& r, double t)
{
  if (r.pointCount < 1 || !(r.step > 0))
    return 0.0;
  const double k = std::clamp(t / r.step, 0.0, static_cast<double>(r.pointCount - 1));
  const int i = std::min(static_cast<int>(k), r.pointCount - 1);
  if (i + 1 >= r.pointCount)
    return Y(r, i);
  return Y(r, i) + (k - i) * (Y(r, i + 1) - Y(r, i));
}
