#pragma once
// Shapes more than one window draws on its charts.

class TRChart;

// The unit circle, in black (Nyquist charts, the z-plane).
void DrawUnitCircle(TRChart& chart);
