#pragma once
// The options `vanto-cli time` and `vanto-cli render time` share: the
// settings of a new time-domain window changed as its dialogs would.

#include "cli/Cli.h"
#include "engine/time/TimeEngine.h"

// Takes the time options out of ctx into st, which starts with a new
// window's settings (elements from the model, loop mode from --open/--closed,
// closed by default); --characteristics sets st.characteristicsOnGo.
// Returns 0, 1 with a range message pending, or 2 after a usage error.
int TakeTimeOptions(CliContext& ctx, TRANSTAT& st);

// The table of run r: t,u,input,y (t,e,input,y with the error as the
// secondary trace) or t,x,y for a phase plane.
void PrintTrace(std::ostream& out, const TransResult& r);

// The characteristics remark lines of run r ("# final = V" ...); "none"
// where a measure does not exist.
void PrintCharacteristics(std::ostream& out, const TransResult& r);

class TRChart;
// Builds the picture of `render time`: the window's start chart, one Go,
// then the window's autoscale.
int RenderTime(TRChart& chart, CliContext& ctx);
