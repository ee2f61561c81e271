#pragma once
// The loop's elements evaluated on the imaginary axis (continuous loops) or
// on the unit circle (sampled-data and discrete loops), shared by the
// response sweep and the stability margins.

#include "engine/freq/FreqEngine.h"
#include "engine/model/Loop.h"

// Copies the loop s, decoded with the whole-sample delay apart, into m.
void ReadLoopModel(const Loop& s, FreqLoopModel& m);

// Decodes doc for the frequency domain with the switches w, the whole
// samples of a sampled-data plant's delay apart, and refuses an element in
// the loop whose denominator is zero ("No denominator"). A loop that does
// not decode has its message pending and kept (Loop::fault).
[[nodiscard]] Loop DecodeFrequencyLoop(const SYSDATA& doc, const LoopSwitches& w);

// The plant's pure delay in seconds, whose phase omega tau the response
// takes exactly: Td in a continuous loop, the whole samples m T of a
// sampled-data one, none in a discrete loop.
[[nodiscard]] inline double PlantLag(const FreqLoopModel& m)
{
  if (m.kind == SystemKind::Continuous)
    return m.delay;
  return m.delaySamples * m.hold;
}

// The point of the complex plane where a loop is evaluated at omega:
// s = j omega for a continuous loop, z = e^(j omega T) otherwise.
struct EvalPoint {
  bool continuous = true;
  double omega = 0.0;
  double zc = 1.0, zs = 0.0;  // cos and sin of omega T
};
[[nodiscard]] EvalPoint MakeEvalPoint(const FreqLoopModel& m, double omega);

// p at the evaluation point, by running powers.
[[nodiscard]] inline Complex EvalPolynomial(const Polynomial& p, const EvalPoint& at)
{
  Complex v{p.c[0], 0.0};
  if (at.continuous) {
    // powers of j omega: j w, -w^2, -j w^3, w^4
    double pw = at.omega;
    for (int k = 1; k < p.n; ++k) {
      if (k & 1) {
        v.im += p.c[k] * pw;
        pw *= -at.omega;
      } else {
        v.re += p.c[k] * pw;
        pw *= at.omega;
      }
    }
    return v;
  }
  double zr = at.zc, zi = at.zs;
  for (int k = 1; k < p.n; ++k) {
    v.re += p.c[k] * zr;
    v.im += p.c[k] * zi;
    const double r = zr * at.zc - zi * at.zs;
    zi = zr * at.zs + zi * at.zc;
    zr = r;
  }
  return v;
}

// One element's value: num/den, times K e^(-j omega Td) for the plant.
struct ElementValue {
  Complex value;
  Complex inverse;     // 1/value
  double magSq = 0.0;  // |value|^2
  double phase = 0.0;  // raw phase: angle(num) - angle(den), - omega tau, + pi for K < 0
};

// The toolkit's four-quadrant angle (ArcTanA) with an arctangent of the
// same accuracy (1 ulp) in about two thirds of the time of the C library's:
// the sweep takes two per point and must keep up with the window's redraws.
[[nodiscard]] double FastArcTanA(double x, double y);

// Which phases an evaluation computes: a sweep needs only the one its view
// shows; the cursor and the per-point phases of the curve need both.
enum PhaseNeed { kNoPhase = 0, kOpenPhase = 1, kClosedPhase = 2, kBothPhases = 3 };
// EvaluateAt with only the phases of need; the others are left at 0.
void Evaluate(FREQSTAT& rec, double omega, int need);

// Element j of m at the evaluation point. A denominator that is exactly 0
// (the frequency on a pole), or a ratio beyond the double range, gives a
// squared gain of 1e10 (times K^2 for the plant) instead of an overflow.
// The phase is computed only when wantPhase is set.
[[nodiscard]] ElementValue EvalElement(const FreqLoopModel& m, int j, const Polynomial& num, const Polynomial& den,
                                       const EvalPoint& at, bool wantPhase);
