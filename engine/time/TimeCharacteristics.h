#pragma once
// Characteristics of the output of a time-response run, measured on the
// stored trace (point i at t = i h), crossing times interpolated linearly
// between neighbouring points.
//
// - final value: the output at the last point;
// - peak: the largest output when the final value is positive, the most
//   negative when it is negative, the largest in magnitude when it is zero
//   (first such point, not interpolated), and its time;
// - overshoot: (peak - final) / final in percent, 0 for a response that
//   never passes its final value;
// - rise time: from the first time the output reaches 10 % of the final
//   value to the first time it reaches 90 % (0 when it starts beyond them);
// - settling time: when the output last entered the band of +-5 % of the
//   final value around it (0 when it never leaves the band).
// All are relative to the final value, so they exist when it is not zero
// (zero meaning at most 1e-6 of the largest output in magnitude); because
// the final value is the last point, the crossings then always exist. A run
// too short to settle measures against where it ended.

#include "engine/time/TimeEngine.h"

struct ResponseCharacteristics {
  double finalValue = 0.0;
  double peak = 0.0;
  double peakTime = 0.0;
  bool relative = false;   // the final value is not zero: the rest exist
  double overshoot = 0.0;  // percent
  double riseStart = 0.0;  // time of 10 %
  double riseEnd = 0.0;    // time of 90 %
  double riseTime = 0.0;
  double settlingTime = 0.0;
};

// Measures the output of r. False when r holds no complete time-response
// run or an output is not finite.
[[nodiscard]] bool ComputeCharacteristics(const TransResult& r, ResponseCharacteristics& c);

// The output at time t, interpolated between the stored points (t clamped
// to the run).
[[nodiscard]] double OutputAt(const TransResult& r, double t);
