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

// Root locus: the scales dialog's number of points (--points), the
// settling-time dialog (--settling) and the damping-ratio contours dialog
// (--damping takes the start value's range).
inline constexpr ValueRange kRootPoints{"No of Points", 5, 1000};
inline constexpr ValueRange kSettlingTime{"5% settling time", 1e-6, 3.4028234663852886e38};
inline constexpr ValueRange kDampingStart{"Start zeta value", 0, 1};
inline constexpr ValueRange kDampingEnd{"End zeta value", 0, 1};
inline constexpr ValueRange kContourIncrement{"Increment", 0.01, 100};
}  // namespace ranges
