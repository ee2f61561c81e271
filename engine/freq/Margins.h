#pragma once
// Stability margins of the open loop: every gain crossover (|L| = 1) with
// its phase margin and delay margin, every phase crossover (L on the
// negative real axis, -180 deg modulo 360) with its gain margin. Plain C++.

#include "engine/freq/FreqEngine.h"

#include <array>

inline constexpr int kMaxCrossings = 64;  // of each kind, lowest frequencies first

struct GainCrossover {
  double omega = 0.0;           // rad/s
  double phaseMarginDeg = 0.0;  // 180 deg + phase of L, in (-180, 180]
  double delayMargin = 0.0;     // s: the smallest extra delay that puts L on -180 deg
};

struct PhaseCrossover {
  double omega = 0.0;         // rad/s
  double gainMarginDb = 0.0;  // -20 log10 |L|
};

struct StabilityMargins {
  int gainCount = 0;
  std::array<GainCrossover, kMaxCrossings> gain{};
  int phaseCount = 0;
  std::array<PhaseCrossover, kMaxCrossings> phase{};
  bool truncated = false;  // the band holds more crossings than the lists
  double bandLo = 0.0;     // the frequencies searched, rad/s
  double bandHi = 0.0;
};

// The margins of L for the elements of open's loop (the compensator and the
// plant as they are in the loop, with the gain and the transport delay),
// whatever the input and the loop mode. A continuous loop is searched over
// the band from a hundredth of its lowest to a hundred times its highest
// corner frequency (the roots of L, the delay's 1/Td and the crossings of
// the asymptotes of |L| count as corners), a sampled-data or discrete loop
// up to the Nyquist frequency pi/T; a phase crossover at 0 (a negative
// real L(0)) and at pi/T counts too. Crossings are bracketed on a grid
// fine enough for the phase slope of every root and of the delay, then
// refined to 1e-9 rad/s (1e-10 relative below 10 rad/s). False with the
// loop's message pending when open (FreqUse::OpenLoop) did not decode.
[[nodiscard]] bool ComputeMargins(const FreqLoop& open, StabilityMargins& out);
