#pragma once
// How a window's chart starts: name, titles, ranges, axes and grid. Each
// graph window keeps its charts' setups in its drawing module, so that the
// window and `vanto-cli render` start from the same chart.

#include "engine/chart/ChartGeometry.h"

struct ChartSetup {
  const char* name;  // the chart's objectName ("TimeChart")
  const char* caption;
  const char* abscissa;
  const char* ordinate;
  double xLo, xHi, yLo, yHi;
  bool isometric = false;
  bool gridShown = false;  // grid at the labelled ticks, else hidden (1e15)
  bool logX = false;
  bool shortTicksX = false;  // the 2..9 sub-ticks of a log x axis
};
