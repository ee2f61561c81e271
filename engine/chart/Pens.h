#pragma once
// What the drawing routines take of the loop model's look: the four pen
// colours and whether marks carry number labels. The windows and
// `vanto-cli render` fill it from the model and hand it down.

#include <cstdint>

struct SYSDATA;

struct ChartPens {
  std::uint32_t pen[4] = {};  // Pen1..Pen4 as 0xRRGGBB
  bool markLabels = false;
};

// The pens and the mark-label switch of the loop model s.
[[nodiscard]] ChartPens PensOf(const SYSDATA& s);

// The pen of member i of a family of n curves: the hue runs evenly from
// blue (the first member) to red (the last), at full saturation and a
// value dark enough to show on white. One member is blue.
[[nodiscard]] std::uint32_t FamilyPen(int i, int n);
