#pragma once
// pi and the conversions between degrees and radians.

inline constexpr double kPi = 3.14159265358979323846;
// Degrees per radian and radians per degree, for every angle shown or read
// in degrees.
inline constexpr double kDegPerRad = 180.0 / kPi;
inline constexpr double kRadPerDeg = kPi / 180.0;
