#pragma once
// The part of a chart widget a drawing routine may depend on: the ranges it
// shows and its size in pixels.

struct ChartGeometry {
  double xLo = 0.0, xHi = 1.0;
  double yLo = 0.0, yHi = 1.0;
  int width = 0, height = 0;  // widget pixels
};
