#pragma once
// The angle function of the loop and its derivatives, computed on a copy of
// the loop's poles and zeros taken once per trace (the tracer evaluates it
// some ten thousand times).

#include "engine/model/Loop.h"

#include <algorithm>
#include <cmath>
#include <limits>

struct LocusLoop {
  Complex zeros[kMaxRoots];
  int nz = 0;
  Complex poles[kMaxRoots];
  int np = 0;
  double rootGain = 1.0;
  double gain = 1.0;
  double delay = 0.0;   // the transport delay of a continuous loop, else 0
  double piTerm = 0.0;  // pi when the root gain and the loop gain have the same sign
};

// The poles, zeros, gains and delay of the loop's root sets as they are now.
[[nodiscard]] LocusLoop LocusLoopOf(const Loop& s);

// a wrapped into [-pi, pi), in constant time for any finite a.
[[nodiscard]] double WrapAngle(double a);

// The angle deficit phi at (x, y) and its gradient.
struct AngleValue {
  double phi = 0.0;
  double gx = 0.0;  // d phi / dx
  double gy = 0.0;  // d phi / dy
};

// phi alone; the poles whose bit is set in skipPoles leave their own angle
// term out (a group of coincident poles at its own position).
[[nodiscard]] double Deficit(const LocusLoop& L, double x, double y, unsigned skipPoles = 0);
// phi with its gradient.
[[nodiscard]] AngleValue DeficitAndGradient(const LocusLoop& L, double x, double y);
// (d2 phi/dx2, d2 phi/dxdy) into cxx, cxy.
void Curvature(const LocusLoop& L, double x, double y, double& cxx, double& cxy);
// The gain, signed like the loop gain, that puts a closed-loop root at (x, y).
[[nodiscard]] double GainAt(const LocusLoop& L, double x, double y);
// The direction of the locus through a point with gradient (gx, gy), towards
// growing gain.
[[nodiscard]] double TangentDirection(double gx, double gy);

// v as a value of the single-precision point store, held within the float
// range (a far rectangle edge is finite, a float beyond it is not).
[[nodiscard]] inline float StoreFloat(double v)
{
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::isnan(v) ? v : std::clamp(v, -kMax, kMax));
}
