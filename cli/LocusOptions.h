#pragma once
// The options `vanto-cli locus` and `vanto-cli render locus` share: the
// settings of a new root window changed as its dialogs would, and the
// rectangle and single contour asked for.

#include "cli/Cli.h"
#include "engine/root/RootEngine.h"

// The parts of the root options that are not settings of the window: the
// sides of the rectangle given (each with its flag) and the one contour asked
// for with --damping Z or --settling (the settling time goes into the record).
struct LocusRequest {
  double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
  bool hasXMin = false, hasXMax = false, hasYMin = false, hasYMax = false;
  bool damping = false;  // --damping Z
  double zeta = 0.0;
  bool settling = false;  // --settling TS
};

// Takes the root options out of ctx into rec, which starts with a new
// window's settings (elements from the model, open loop), and into asked.
// Returns 0, 1 with a range message pending, or 2 after a usage error.
int TakeLocusOptions(CliContext& ctx, ROOTSTAT& rec, LocusRequest& asked);
