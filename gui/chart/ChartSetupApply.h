#pragma once
// Puts a chart setup onto the chart widget, and reads back what the widget shows.

#include "engine/chart/ChartSetup.h"

class TRChart;

// Applies setup to chart: name, caption, axis titles, scales, grid, ranges.
void ApplyChartSetup(TRChart& chart, const ChartSetup& setup);

// The ranges chart shows and its widget size.
[[nodiscard]] ChartGeometry GeometryOf(const TRChart& chart);
