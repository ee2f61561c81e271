#pragma once
// The ranges of every number the user can set, with the quantity name their
// range warning uses. The dialogs and vanto-cli check against this one table.

struct ValueRange {
  const char* quantity;  // "Gain" in "Gain must lie between -1E20 and 1E20"
  double low;
  double high;
};

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

// Frequency window: the grid size of the scales dialog ("No of points",
// --points), the M contours of the contours dialog (--mcontour takes the
// start value's row) and the contours dialog's increment, shared with the
// root window's damping contours.
inline constexpr ValueRange kFreqPoints{"No of Points", 1, 1000};
inline constexpr ValueRange kMContourStart{"Start M value", -100, 100};
inline constexpr ValueRange kMContourEnd{"End M value", -100, 100};
// The describing function's number of amplitudes (scales dialog, --amps):
// the amplitudes' store holds 200.
inline constexpr ValueRange kDfAmplitudes{"No of amplitudes", 1, 200};

// Root locus: the scales dialog's number of points (--points), the
// settling-time dialog (--settling) and the damping-ratio contours dialog
// (--damping takes the start value's range).
inline constexpr ValueRange kRootPoints{"No of Points", 5, 1000};
inline constexpr ValueRange kSettlingTime{"5% settling time", 1e-6, 3.4028234663852886e38};
inline constexpr ValueRange kDampingStart{"Start zeta value", 0, 1};
inline constexpr ValueRange kDampingEnd{"End zeta value", 0, 1};
inline constexpr ValueRange kContourIncrement{"Increment", 0.01, 100};
}  // namespace ranges
