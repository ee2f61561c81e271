#pragma once
// Limit cycles predicted by the describing function: the crossings of the
// open-loop frequency response L(j omega) with -1/N(A) of the selected
// nonlinearity, that is the solutions of L(j omega) N(A) = -1, and whether
// each cycle is stable.
//
// Stability rule: a cycle is stable when, as A grows through it, -1/N(A)
// passes from a point that the Nyquist curve of L encircles into one it
// does not encircle: the loop with the gain N just above the cycle's
// amplitude has no closed-loop root in the right half-plane (outside the
// unit circle), and just below it has one or more. Larger oscillations
// then decay and smaller ones grow, back to the cycle. The encirclements are
// counted by the argument principle over the whole Nyquist contour
// (negative frequencies and the detour round integrators included), so a
// point encircled twice is not mistaken for a stable side.
//
// The rule holds for an open loop without poles in the right half-plane
// (outside the unit circle). It does not apply, and the cycle says so,
// when L has such poles (the count of encirclements then depends on them),
// when L has undamped poles away from s = 0 (z = 1), where the contour would
// need detours the count does not make, or when the count does not come
// out whole (a transport delay with an L that does not fall off, whose
// curve never settles). N(A) is single-valued here: a nonlinearity with
// memory (hyst) is excited the same way before every amplitude, so each A
// gives one N; a characteristic whose N depends on frequency as well is
// outside what a describing function of A can predict.

#include "engine/freq/FreqEngine.h"

#include <array>
#include <cstdint>

enum class CycleStability : std::uint8_t { Stable, Unstable, RuleDoesNotApply };

// Why the stability rule does not apply.
enum class RuleGap : std::uint8_t { None, OpenLoopUnstable, UndampedPoles, Undetermined };

struct LimitCycle {
  double amplitude = 0.0;  // A
  double omega = 0.0;      // rad/s
  CycleStability stability = CycleStability::RuleDoesNotApply;
  RuleGap gap = RuleGap::None;
  Complex n;              // N(A)
  Complex l;              // L(j omega), the crossing point -1/N(A)
  double phaseDeg = 0.0;  // phase of -1/N on the branch of the Nichols locus
};

inline constexpr int kMaxLimitCycles = 32;
inline constexpr int kMaxLocusPoints = 1500;  // points of the searched locus of -N at most

struct LimitCycleList {
  int count = 0;  // lowest frequencies first
  std::array<LimitCycle, kMaxLimitCycles> cycles{};
  bool truncated = false;             // more crossings than the list holds
  RuleGap loopGap = RuleGap::None;    // why the rule fails for the whole loop
  double bandLo = 0.0, bandHi = 0.0;  // frequencies searched, rad/s
  double ampLo = 0.0, ampHi = 0.0;    // amplitudes searched
  // The locus of -N bent more than its kMaxLocusPoints follow: the
  // amplitudes were searched from ampLo up to ampHi only.
  bool locusFull = false;
};

// Every crossing of L (the elements of rec's loop with gain and delay,
// whatever the input and loop mode) with -1/N of the selected nonlinearity
// over the set's amplitude range (N by the same DFT as the drawn locus)
// and over the band of the stability margins, widened where |L| still
// meets |1/N|. Crossings are bracketed between grid points of both curves
// and refined by Newton's method on (A, omega) until its step is below a
// relative 1e-13 (where the samples of N jump, the jump by bisection);
// each cycle's crossing is then refined once more with N integrated to
// about 1e-11, so that A and omega do not depend on the samples per period.
// Crossings at one frequency closer than 8/M of A are one cycle or none
// (the saw of a stepped characteristic's sampled N). False with the
// message pending: the loop's, "Invalid nonlinear function", an evaluation
// message or the amplitude settings' messages. Changes rec's point state,
// not its store. open is the loop decoded with FreqUse::OpenLoop, ctx the
// context the describing function evaluates in (LoopContext(open.loop,
// ActiveDomain::Frequency)).
[[nodiscard]] bool ComputeLimitCycles(const FreqLoop& open, FREQSTAT& rec, const EvalContext& ctx, LimitCycleList& out);

// "stable", "unstable" or "rule does not apply".
[[nodiscard]] const char* StabilityText(CycleStability s);
// Why the rule does not apply, as a sentence; empty for RuleGap::None.
[[nodiscard]] const char* RuleGapText(RuleGap gap);

// The crossing of cycle c in rec's view: (Re L, Im L), (Re 1/L, Im 1/L),
// or (phase of -1/N in degrees, 20 log10 |L|). False in the Bode views.
[[nodiscard]] bool LimitCyclePoint(const FREQSTAT& rec, const LimitCycle& c, double& x, double& y);
