#pragma once
// The text of the root-locations report: the poles and zeros the root
// engine found for it, one tab-separated row per root, with the styles and tab
// stops the report window applies. Plain C++.

#include "engine/model/SysData.h"
#include "engine/root/RootEngine.h"

#include <string>
#include <vector>

enum class ReportStyle { Plain, Bold, Underlined };

struct ReportLine {
  ReportStyle style = ReportStyle::Plain;
  std::string text;
};

struct RootReport {
  std::vector<ReportLine> lines;
  // Tab stops in pixels at the report's design font: (i + 1)(5n + 30) for
  // n significant figures.
  int tabStops[4] = {};
  // The widest cell in characters: the window widens the stops to hold it
  // at its own font.
  int cellChars = 0;
  // The report scrolls only from 22 lines on.
  [[nodiscard]] bool scrollBars() const { return lines.size() >= 22; }
};

// The report of the root sets of r ("Poles:" then "Zeros:" after an empty
// line), numbers in the given format; empty with no poles and no zeros.
[[nodiscard]] RootReport BuildRootReport(const RootLocations& r, const char* numberFormat);

// Radius and angle in degrees (arctangent A) of a root, as the report and
// `vanto-cli locus --report` show them.
[[nodiscard]] double RootRadius(const Complex& r);
[[nodiscard]] double RootAngleDegrees(const Complex& r);
