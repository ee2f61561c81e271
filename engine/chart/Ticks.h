#pragma once
// Tick layout of the chart's axes: where the ticks go, which carry labels
// and how the labels read. The caller measures label texts (its font), so the
// layout picks the densest tick spacing whose labels do not overlap.

#include "engine/chart/Scale.h"

#include <cstddef>

inline constexpr int kMaxTicks = 256;
inline constexpr std::size_t kTickLabelSize = 24;

struct Tick {
  double v = 0.0;
  bool major = false;               // majors carry a label and a grid line
  char label[kTickLabelSize] = {};  // empty for minor ticks
};

struct TickSet {
  int n = 0;
  double step = 0.0;  // spacing of the major ticks (linear axis; 0 on a log axis)
  Tick t[kMaxTicks];
  // Appends a tick; false (nothing added) once the set is full.
  bool add(double v, bool major);
};

// How much room a label takes along the axis, in pixels.
class LabelMeasure {
public:
  virtual ~LabelMeasure() = default;
  [[nodiscard]] virtual double extent(const char* label) const = 0;
};

// The smallest step of the form 1, 2 or 5 times a power of ten that divides
// span into at most maxIntervals intervals.
[[nodiscard]] double NiceStep(double span, int maxIntervals);

// Writes the label of tick value v on an axis with tick spacing step and
// largest magnitude maxAbs: fixed decimals as the step needs them, or the
// short exponent form ("2.5e6", "-5e-7") when maxAbs is 1e6 and over or
// below 1e-3. A value within a millionth of a step of zero counts as zero.
void FormatTickLabel(double v, double step, double maxAbs, char* buf, std::size_t cap);

// Ticks of a linear axis of `pixels` length: majors at a nice step with
// labels at least `gap` pixels apart; with minor set, unlabelled ticks between
// the majors (5 per interval for steps 1 and 5, 4 for 2).
void LinearTicks(AxisRange r, double pixels, const LabelMeasure& m, double gap, bool minor, TickSet& out);

// Ticks of a log axis: labelled decades when three or more fit; otherwise
// labels at 1..9 or at 1, 2, 5 times the decades, or every 2nd, 5th, ...
// decade when crowded; linear ticks for a range inside one step. With minor
// set, the unlabelled 2..9 times the decades are added where they are at
// least 3 pixels apart.
void LogTicks(AxisRange r, double pixels, const LabelMeasure& m, double gap, bool minor, TickSet& out);
