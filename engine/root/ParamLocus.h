#pragma once
// The parameter locus (root contour): the closed-loop roots as one user
// parameter a..d, or the loop gain, runs over a range with everything else
// fixed, and the ranges of that value over which the closed loop is stable.
// The loop is re-decoded on a copy of the document at every value, so the
// parameter may appear anywhere in the loop's texts; the document is never
// written. A sweep runs over the design rather than over one decoded loop,
// so these take the document (read-only): each value's decoding reuses the
// elements whose texts do not use the parameter (ElementDecode), and the
// closed-loop roots are found from the decoded polynomials directly, seeded
// with the roots at the last value.
// Plain C++, no allocation during a run, every store write checked.

#include "engine/model/LoopSwitches.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"

#include <array>

// What runs, over which values.
struct ParamSweep {
  int parameter = 0;  // 0..3 for a..d, kSweepGain for the loop gain
  double from = 0.0;  // P1 < P2 (both > 0 with log)
  double to = 1.0;
  int points = 200;  // values of the base grid, 2 or more
  bool log = false;  // the grid spread logarithmically
};
inline constexpr int kSweepGain = -1;
// The number of base values a sweep takes (vanto-cli sweep --points).
inline constexpr ValueRange kSweepPoints{"No of Points", 2, 10000};

inline constexpr int kMaxSweepRoots = kMaxCoeffs - 1;
// The samples one locus may hold: the base grid plus its refinement.
inline constexpr int kSweepStoreSize = 20000;
// A base step is halved at most this often where roots move fast or meet.
inline constexpr int kMaxSweepRefine = 14;

// One traced value: its roots in branch order (root i continues root i of
// the sample before, unless newSegment).
struct SweepSample {
  double p = 0.0;
  int n = 0;
  Complex r[kMaxSweepRoots];
  bool newSegment = false;  // the locus was interrupted before this sample
  bool atFloor = false;     // reached from the sample before by the finest step
};

struct ParamLocus {
  std::array<SweepSample, kSweepStoreSize> samples{};
  int count = 0;
  bool zPlane = false;
  // The base values at which the loop could not be decoded or was invalid:
  // the first and last of them, and the message of the first.
  bool interrupted = false;
  double badFrom = 0.0;
  double badTo = 0.0;
  char badMessage[128] = {};
};

// The largest distance root i of r (n roots) may move in one step of the
// locus: half its distance to the nearest other root (so the nearest-root
// match cannot swap branches), and at most a tenth of 1 + |r_i| (so fast
// roots are drawn smoothly).
[[nodiscard]] double SweepStepBound(const Complex* r, int n, int i);

// The value of base point k of sw (k = 0 .. points - 1).
[[nodiscard]] double SweepValue(const ParamSweep& sw, int k);

// Checks sw against doc with the elements of loop: its points within
// kSweepPoints (the range message), P1 < P2 ("Max must exceed Min"),
// positive ends for log ("Log scale needs positive values"), a parameter
// some text of the loop uses ("Parameter a is not used by the loop"). False
// with the message pending.
[[nodiscard]] bool CheckSweep(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw);

// The closed-loop roots at the value p of sw's parameter. False with the
// loop's message pending where a text cannot be decoded or the loop is
// invalid ("Not available with delay" for a continuous loop with a delay).
[[nodiscard]] bool SweepRootsAt(const SYSDATA& doc, const LoopSwitches& loop, int parameter, double p, RootSet& roots,
                                bool& zPlane);

// Traces the locus into out. Values where the loop fails interrupt it and
// are reported in out (the run still succeeds if any value traced). False
// with the message pending for a refused sweep, a loop that fails at every
// value, or a full store ("Too many points, try fewer points or a smaller
// range"); out.count is then 0.
[[nodiscard]] bool TraceParamLocus(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw, ParamLocus& out);

// Stability ranges: each interval of the value over which every closed-loop
// root lies strictly inside the left half plane (the unit circle for a
// sampled-data or discrete loop); each end found to 1e-10 relative.
inline constexpr int kMaxStableRanges = 32;
struct StableRanges {
  int count = 0;
  double from[kMaxStableRanges] = {};
  double to[kMaxStableRanges] = {};  // +infinity for a range open to infinite gain
};

// Over sw's range; with wholeGainAxis (only for the gain) over 0 <= K < inf
// instead. False with the message pending for a refused sweep.
[[nodiscard]] bool FindStableRanges(const SYSDATA& doc, const LoopSwitches& loop, const ParamSweep& sw,
                                    bool wholeGainAxis, StableRanges& out);
