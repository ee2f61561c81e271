// M contours: the open-loop values L for which |L/(1 + L)| = M, computed in
// the inverse plane, where they are the circles |1 + 1/L| = 1/M.

#include "engine/freq/FreqEngine.h"
#include "engine/freq/FreqLoop.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

// Half the points of a contour: the grid size, at least enough for a round
// circle and at most what the store holds with the end marker (2n + 2).
constexpr int kMinContourHalf = 36;
constexpr int kMaxContourHalf = (kFreqStore - 2) / 2;

void Store(FREQSTAT& rec, int i, float tag)
{
  rec.result.points[i] = {tag, static_cast<float>(rec.pt.plotX), static_cast<float>(rec.pt.plotY)};
}

// The contour point at angle theta = 2 half of the inverse-plane circle of
// radius rho, given half and its cosine and sine.
void ContourPoint(FREQSTAT& rec, double rho, double half, double halfCos, double halfSin, bool zeroDb, bool ends)
{
  FreqPointState& pt = rec.pt;
  pt.P = rho * (1 - 2 * halfSin * halfSin);
  pt.Q = rho * 2 * halfSin * halfCos;
  const double x = pt.P - 1.0;  // 1/L = (x, Q)
  const double d = SumSq(x, pt.Q);
  switch (rec.set.view) {
    case FreqView::DirectNyquist:
      pt.L = {x / d, -pt.Q / d};
      break;
    case FreqView::Nichols:
      if (zeroDb) {
        // |L| from the half angle, so that the points near L = infinity stay finite.
        pt.openMag = ends ? 10000.0 : 0.5 / halfSin;
        pt.openPhase = -(half + kPi / 2);
      } else {
        pt.openPhase = -FastArcTanA(x, pt.Q);
        pt.openMag = 1.0 / std::sqrt(d);
      }
      if (pt.firstPoint)
        StartPhaseTracking(rec);
      else
        TrackPhase(rec);
      break;
    default:
      break;  // the inverse Nyquist view plots (P - 1, Q) itself
  }
}

}  // namespace

bool ComputeMContour(FREQSTAT& rec, double mDb)
{
  const FreqView view = rec.set.view;
  if (view == FreqView::BodeGain || view == FreqView::BodePhase) {
    SetError("No M contours in the Bode views");
    return false;
  }
  LoopSwitches& loop = rec.loop;
  const bool closed = loop.closedLoop;
  const bool monotonic = rec.set.monotonicPhase;
  loop.closedLoop = false;
  rec.set.monotonicPhase = true;
  FreqPointState& pt = rec.pt;
  FreqResult& r = rec.result;

  // A value of M that rounds to 1 (|mDb| below about 1e-15 dB) is the 0 dB
  // contour, whose inverse-plane circle passes through 1/L = 0.
  const double rho = std::pow(10.0, -mDb / 20.0);
  const bool zeroDb = rho == 1.0;
  if (!zeroDb || view != FreqView::DirectNyquist) {
    const int n = std::clamp(rec.set.points, kMinContourHalf, kMaxContourHalf);
    pt.firstPoint = true;
    // theta/2 = i pi/(2n) by rotation; the ends are exact.
    const double stepCos = std::cos(kPi / (2 * n)), stepSin = std::sin(kPi / (2 * n));
    double hc = 1.0, hs = 0.0;
    for (int i = 0; i <= 2 * n; ++i) {
      if (i == 2 * n) {
        hc = -1.0;
        hs = 0.0;
      }
      ContourPoint(rec, rho, i * kPi / (2 * n), hc, hs, zeroDb, i == 0 || i == 2 * n);
      ToPlotCoordinates(rec);
      Store(rec, i, 1.0f);
      pt.prevOpenPhase = pt.openPhase;
      pt.firstPoint = false;
      const double c = hc * stepCos - hs * stepSin;
      hs = hs * stepCos + hc * stepSin;
      hc = c;
    }
    r.count = 2 * n + 1;
  } else {
    // 0 dB in the direct Nyquist view: the line Re L = -1/2, ten chart
    // heights beyond the chart on either side.
    const double d = 10.0 * (rec.chart.yHi - rec.chart.yLo);
    pt.plotX = -0.5;
    pt.plotY = rec.chart.yLo - d;
    Store(rec, 0, 1.0f);
    pt.plotY = rec.chart.yHi + d;
    Store(rec, 1, 1.0f);
    r.count = 2;
  }
  r.points[r.count] = {0.0f, 0.0f, 0.0f};

  loop.closedLoop = closed;
  rec.set.monotonicPhase = monotonic;
  return true;
}
