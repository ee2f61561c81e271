#pragma once
// Drawing of time-domain runs: the start settings of the window's two
// charts and the routines that turn a run into display items. The window's
// Go and `vanto-cli render time` both use them.

#include "engine/chart/ChartSetup.h"
#include "engine/chart/Pens.h"
#include "engine/time/TimeCharacteristics.h"
#include "engine/time/TimeEngine.h"

class DisplayList;

// Responses against time: "Time"/"Response", 0..10 by 0..2, grid shown.
inline constexpr ChartSetup TimeChart{"TimeChart", "", "Time", "Response", 0, 10, 0, 2, false, true};
// The phase plane: -2..2 on both axes; its axis titles are the X-axis and
// Y-axis function texts (these are the start texts).
inline constexpr ChartSetup PhaseChart{"PhaseChart", "Phase plane", "y", "diff(y)", -2, 2, -2, 2, false, true};

// The pens of a run: Pen1 the output in open loop, Pen2 in closed loop,
// Pen3 the control effort or error, Pen4 the input.
inline constexpr int kOpenOutputPen = 0, kClosedOutputPen = 1, kSecondaryPen = 2, kInputPen = 3;

// Adds the run held in r to list, after what it holds already. Time
// response: the secondary trace (a staircase for the control effort of a
// sampled-data loop; markers, and stems from the axis unless interpolate is
// set, for a discrete loop), the output in the loop
// mode's colour (markers and stems likewise for a discrete loop) and the
// input trace. Phase plane: the path of (X, Y) in the output colour.
// False, adding nothing, when r holds no complete run.
bool DrawTransRun(DisplayList& list, const TransResult& r, const ChartPens& pens, bool interpolate);

// One Go of the time window, as the window and `vanto-cli render time` make
// it: runs st on loop (DecodeTimeLoop) in ctx and adds the run to list (DrawTransRun), and
// its characteristics (DrawCharacteristics) when st asks for them. False
// with the error pending when the run fails, false with none when it holds
// nothing to draw.
[[nodiscard]] bool TimeGo(const Loop& loop, TRANSTAT& st, const EvalContext& ctx, const ChartPens& pens,
                          DisplayList& list);

// How the time window autoscales after a Go: margins in percent (negative
// keeps that axis), and for a time response the time axis put over the
// duration first.
struct TimeAutoscale {
  double marginX = 5.0, marginY = 5.0;
  bool timeAxis = false;
  double duration = 0.0;
};
[[nodiscard]] TimeAutoscale TimeAutoscaleOf(const TRANSTAT& st);

// Puts the characteristics c of run r on list in black: the final value as
// a line across the run, a triangle at the peak, dots at 10 % and 90 % of
// the final value and a cross where the output settles, each labelled.
// Only the peak and the final value when the others do not exist.
void DrawCharacteristics(DisplayList& list, const TransResult& r, const ResponseCharacteristics& c);
