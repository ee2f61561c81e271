#pragma once
// Shapes more than one window draws on its charts.

class DisplayList;

// The unit circle, in black (Nyquist charts, the z-plane).
void DrawUnitCircle(DisplayList& list);
