#pragma once
// The points a chart plotted, as comma-separated text: one table per
// polyline of the display list (a curve the chart drew), with a header
// naming the two columns after the chart's axes and every number written
// with 17 significant digits, whatever the locale, so that it reads back
// exactly.

#include "engine/chart/DisplayList.h"

#include <string>
#include <string_view>
#include <vector>

struct CsvTable {
  std::string suffix;  // "" for the only table of a chart, else "-1", "-2", ...
  std::string text;
};

// The column name of an axis title: lower-case letters, digits and '_' for
// every run of anything else ("Gain/dB" -> "gain_db"); a title that is only
// a frequency unit names the frequency ("rad/s" -> "w_rad_s", "Hz" ->
// "f_hz"); fallback when nothing is left.
[[nodiscard]] std::string CsvColumnName(std::string_view title, std::string_view fallback);

// The tables of list's polylines, oldest first; a chart without polylines
// gives one table of the header alone. The header names the columns from
// the axis titles. systemText, when not empty, goes first as comment lines
// ("# " and a line of the text each), under a line "# VANTO system"; of
// several curves each says which it is and its colour
// ("# curve 2 of 3, colour #RRGGBB").
[[nodiscard]] std::vector<CsvTable> ChartCsvTables(const DisplayList& list, std::string_view xTitle,
                                                   std::string_view yTitle, std::string_view systemText);
