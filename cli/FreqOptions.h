#pragma once
// The options `vanto-cli freq` and `vanto-cli render freq` share: the
// frequency window's settings and loop switches.

#include "cli/Cli.h"
#include "engine/freq/FreqEngine.h"

// Starts rec as a new frequency window (open loop by default) and takes
// --view, --input, --from, --to (display unit), --points, --linear,
// --no-monotonic and --hz into it, and describing-function mode: --df
// fwd|fbk (rec.describingMode set) with --amin, --amax, --amps and --dft,
// refused in closed loop and in the Bode views as the window refuses the
// mode. Returns 0, 1 with the dialog's or window's message pending (test
// ErrorPending()), or 2 with the usage error set.
int TakeFreqOptions(CliContext& ctx, FREQSTAT& rec);

// The response table (w,x,y) of the sweep r in rec's view and unit, and
// the margins table (kind,w,value).
void PrintResponse(std::ostream& out, const FREQSTAT& rec, const FreqResult& r);
struct StabilityMargins;
void PrintMargins(std::ostream& out, const StabilityMargins& m);

// Takes "--name M" as an M value in dB within the contours dialog's range.
bool TakeMContour(CliContext& ctx, const char* name, double& mDb);

// The picture of `render freq`.
class TRChart;
int RenderFreq(TRChart& chart, CliContext& ctx);
