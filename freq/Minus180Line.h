#pragma once
// The fixed -180 deg line of the frequency window's phase charts: a chart
// crosshair, not a display item, so that it stays through wipes and zooms.

#include "freq/FreqEngine.h"

class TRChart;

// The silver line at -180 deg (crosshair 3): vertical on the Nichols chart,
// horizontal on the Bode phase chart; the other charts get none.
void AddMinus180Line(TRChart& chart, FreqView view);
