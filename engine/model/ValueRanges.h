#pragma once
// The ranges of every number the user can set, with the quantity name their
// range warning uses. The dialogs and vanto-cli check against this one table.

struct ValueRange {
  const char* quantity;  // "Gain" in "Gain must lie between -1E20 and 1E20"
  double low;
  double high;
};

// An axis range holds only with its max above its min (a NaN bound fails
// too); the scales dialogs and the engines refuse any other with this
// warning.
inline constexpr char kMaxMustExceedMin[] = "Max must exceed Min";
[[nodiscard]] constexpr bool MaxExceedsMin(double min, double max)
{
  return min < max;
}

namespace ranges {
// Loop values (value dialogs, --gain, --delay, --hold).
inline constexpr ValueRange kGain{"Gain", -1e20, 1e20};
inline constexpr ValueRange kDelay{"Delay", 0, 1e20};
inline constexpr ValueRange kSampleHold{"Sample hold time", 0, 1e20};
// Nonlinear scales dialog (vanto-cli nlin --points): checked before the
// value is turned into a whole number.
inline constexpr ValueRange kNlinPoints{"No of Points", 2, 1000};
// Time-domain settings (configuration and scales dialogs, vanto-cli time).
inline constexpr ValueRange kInputPeriod{"Input period", 1e-20, 1e20};
inline constexpr ValueRange kDuration{"Duration", 1e-20, 1e20};
inline constexpr ValueRange kTimePoints{"No of Points", 2, 1000};
// The initial outputs (--ic-plant, --ic-comp): the delay line and the
// stored trace keep them in single precision.
inline constexpr ValueRange kInitPlantOutput{"Initial plant output", -1e20, 1e20};
inline constexpr ValueRange kInitCompOutput{"Initial compensator output", -1e20, 1e20};
// Chart axes whose range the engine computes over and keeps in single
// precision: the nonlinear window's input range (nlin --xmin, --xmax) and
// the root-locus rectangle (locus --xmin ... --ymax), as their scales
// dialogs name them.
inline constexpr ValueRange kXAxisMin{"X-axis min", -1e20, 1e20};
inline constexpr ValueRange kXAxisMax{"X-axis max", -1e20, 1e20};
inline constexpr ValueRange kYAxisMin{"Y-axis min", -1e20, 1e20};
inline constexpr ValueRange kYAxisMax{"Y-axis max", -1e20, 1e20};

// Frequency window: the grid size of the scales dialog ("No of points",
// --points), the M contours of the contours dialog (--mcontour takes the
// start value's row) and the contours dialog's increment, shared with the
// root window's damping contours.
inline constexpr ValueRange kFreqPoints{"No of Points", 1, 1000};
// The end frequency in the display unit (--to), checked after the grid's
// own checks; the frequencies are stored in single precision.
inline constexpr ValueRange kEndFrequency{"End frequency", 0, 1e20};
inline constexpr ValueRange kMContourStart{"Start M value", -100, 100};
inline constexpr ValueRange kMContourEnd{"End M value", -100, 100};
// The number of amplitudes of the describing function ("Number of points"
// on the scales dialog's describing-function page): at most the 200 values
// its store holds, checked before it becomes a whole number.
inline constexpr ValueRange kDfAmplitudes{"Number of points", 1, 200};

// Root locus: the scales dialog's number of points (--points), the
// settling-time dialog (--settling) and the damping-ratio contours dialog
// (--damping takes the start value's range).
inline constexpr ValueRange kRootPoints{"No of Points", 5, 1000};
inline constexpr ValueRange kSettlingTime{"5% settling time", 1e-6, 3.4028234663852886e38};
inline constexpr ValueRange kDampingStart{"Start zeta value", 0, 1};
inline constexpr ValueRange kDampingEnd{"End zeta value", 0, 1};
inline constexpr ValueRange kContourIncrement{"Increment", 0.01, 100};
}  // namespace ranges
