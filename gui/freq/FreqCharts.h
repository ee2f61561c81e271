#pragma once
// What the frequency window does to its chart widgets beyond the display
// list, shared with `vanto-cli render freq`: the fixed -180 deg line and the
// unit of the Bode charts' frequency axis.

#include "engine/freq/FreqEngine.h"

class TRChart;

// The silver line at -180 deg (crosshair 3): vertical on the Nichols chart,
// horizontal on the Bode phase chart; the other charts get none. A
// crosshair, not a display item, so that it stays through wipes and zooms.
void AddMinus180Line(TRChart& chart, FreqView view);

// Puts a Bode chart's frequency axis in the display unit of set: its range
// rescaled, its title the unit and its items (drawn against the other unit)
// wiped. False, changing nothing, when it is in that unit already.
bool MatchBodeUnits(TRChart& chart, const FreqSettings& set);
