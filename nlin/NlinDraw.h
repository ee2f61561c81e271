#pragma once
// Drawing of the static characteristic, shared by the nonlinear window's Go
// and `vanto-cli render nlin`, and the chart that window starts with.

#include "plot/ChartSetup.h"

struct NlinResult;
class TRChart;

// NlinChart at creation: x and y -5..5, not isometric, grid shown.
inline constexpr ChartSetup kNlinChart{"NlinChart", "", "Input", "Output", -5, 5, -5, 5, false, true};

// Captions the chart by the nonlinearities of r and adds the characteristic
// as one polyline through every stored point in order (both branches of a
// backlash) in the model's Pen1 colour, over what the chart holds already.
// The caller shows the chart.
void DrawCharacteristic(TRChart& chart, const NlinResult& r);
