#pragma once
// What the drawing routines take of the loop document's look: the four pen
// colours, whether marks carry number labels and the number format of those
// labels. The windows and `vanto-cli render` fill it from the document and
// hand it down, so a drawing never reads the document itself.

#include <cstdint>

struct SYSDATA;

struct ChartPens {
  std::uint32_t pen[4] = {};  // Pen1..Pen4 as 0xRRGGBB
  bool markLabels = false;
  char numberFormat[8] = "%0.4g";  // the labels' format, as SYSDATA::numberFormat
};

// The pens, the mark-label switch and the number format of the document s.
[[nodiscard]] ChartPens PensOf(const SYSDATA& s);

// The pen of member i of a family of n curves: the hue runs evenly from
// blue (the first member) to red (the last), at full saturation and a
// value dark enough to show on white. One member is blue.
[[nodiscard]] std::uint32_t FamilyPen(int i, int n);
