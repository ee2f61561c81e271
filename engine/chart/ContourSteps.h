#pragma once
// A family of contours on a chart: the values start, start + step, ... up
// to end, as the contours dialog sets them.

struct ContourSteps {
  double start = 0.0;
  double end = 0.0;
  double step = 1.0;
};
