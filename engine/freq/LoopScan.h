#pragma once
// The loop gain L read from the model for the searches along the frequency
// axis (stability margins, limit cycles): its element, its value at any
// frequency, the band that holds every feature of its curve and a step
// through that band fine enough for the phase of every root and of the
// delay, and where its poles lie. Plain C++.

#include "engine/freq/FreqEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The element that carries L, with its gain and delay.
struct OpenLoop {
  FreqLoopModel m;
  int j = kPlant;
  double k = 1.0;
  double delay = 0.0;  // continuous loops only
};

// Where a root changes the phase of L: its distance from the frequency
// axis and its frequency (s-plane roots; z-plane roots through ln z / T).
struct Corner {
  double omega = 0.0;
  double sigma = 0.0;
};

// Where the poles of L lie: s-plane (z-plane) poles in the right half-plane
// (outside the unit circle), on the frequency axis (on the circle) away
// from s = 0 (z = 1), and the poles at s = 0 (z = 1) less the zeros there.
struct PoleCount {
  int unstable = 0;
  int onAxis = 0;
  int integrators = 0;
};

struct ScanGrid {
  Corner corners[2 * kMaxCoeffs + 1];
  int count = 0;
  double lo = 0.0, hi = 0.0;                                   // the band, rad/s
  double delayStep = std::numeric_limits<double>::infinity();  // the delay's phase: 0.5 rad a step
  double maxStep = std::numeric_limits<double>::infinity();
  PoleCount poles;
};

// L of open (FreqUse::OpenLoop) as one element: the elements in the loop
// multiplied together, with the gain and the transport delay. False with
// the loop's message pending when it did not decode ("Sample-hold time is
// zero" for a sampled loop without a hold time).
[[nodiscard]] bool ReadOpenLoop(const FreqLoop& open, OpenLoop& ol);

// L at omega (rad/s); the direction of the numerator times a large gain
// exactly on a pole.
[[nodiscard]] Complex OpenLoopValue(const OpenLoop& ol, double omega);

// The band of ol: from a hundredth of its lowest to a hundred times its
// highest corner frequency (the roots of L, the delay's 1/Td and the
// crossings of the asymptotes of |L| count as corners) for a continuous
// loop, up to the Nyquist frequency pi/T otherwise; and where the poles lie.
// False with "Cant find roots" pending when the roots cannot be found.
[[nodiscard]] bool BuildScanGrid(const OpenLoop& ol, ScanGrid& g);

// The next step from omega: every root's phase, and the delay's when
// delayDense is set, moves by about a tenth of a radian or less.
[[nodiscard]] double ScanStep(const ScanGrid& g, double omega, bool delayDense);

// A sign change from a to b, or b exactly 0 after a non-zero a.
[[nodiscard]] inline bool Crosses(double a, double b)
{
  return (a < 0 && b >= 0) || (a > 0 && b <= 0);
}

// Brent's method on [a, b] with f(a), f(b) of opposite signs (or f(b) = 0):
// a point within tol of a sign change of f.
template <typename F>
double BrentRoot(F f, double a, double b, double fa, double fb, double tol)
{
  constexpr double kEps = std::numeric_limits<double>::epsilon();
  double c = a, fc = fa, d = b - a, e = d;
  for (int iter = 0; iter < 200; ++iter) {
    if ((fb > 0) == (fc > 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol1 = 2 * kEps * std::fabs(b) + 0.5 * tol;
    const double xm = 0.5 * (c - b);
    if (std::fabs(xm) <= tol1 || fb == 0)
      return b;
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      const double s = fb / fa;
      double p, q;
      if (a == c) {
        p = 2 * xm * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * xm * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0)
        q = -q;
      else
        p = -p;
      if (2 * p < std::min(3 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol1 ? d : (xm > 0 ? tol1 : -tol1);
    fb = f(b);
  }
  return b;
}
