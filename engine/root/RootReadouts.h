#pragma once
// What the root window shows about single points: the root-locus cursor's
// read-outs walking the stored locus, the status bar's Arg{G} and damping
// ratio under the mouse, and the loop gain that puts a closed-loop pole at
// a cursor point ("Set gain"). Plain C++; the window and its dialogs format
// and show the values.

#include "engine/chart/Scale.h"
#include "engine/root/RootEngine.h"

#include <string>

// The cursor's reference in relative mode; absolute mode is the default.
struct CursorReference {
  double x = 0.0;
  double y = 0.0;
  double radius = 0.0;
  double angle = 0.0;  // degrees
  double gain = 1.0;
};

struct CursorReadout {
  int tag = 0;
  double x = 0.0, y = 0.0;  // the stored point
  double radius = 0.0;
  double angle = 0.0;  // degrees, of arctangent A
  double gain = 0.0;   // the locus gain there
  // The values shown: differences to the reference, the gain as a ratio.
  double realShown = 0.0, imagShown = 0.0, radiusShown = 0.0, angleShown = 0.0, gainShown = 0.0;
  bool angleEmpty = false;    // at the origin the angle box stays empty
  bool gainInfinite = false;  // at an open-loop zero: "Infinite"
  std::string kind;           // "Branch 2", "Open-loop pole", ...; empty: leave the box unchanged
  bool offGraph = false;      // outside the chart's ranges: "Cursor off graph"
};

inline constexpr const char* kGainTooSmallWarning = "Gain too small, showing absolute gain";
inline constexpr const char* kCursorOffGraph = "Cursor off graph";

// How many stored points the cursor walks: the count of a traced locus, 0
// when the store holds none (a failed trace or a contour). The cursor
// opens only when this is above 0.
[[nodiscard]] int CursorPointCount(const ROOTSTAT& rec);

// The read-out at store index i against ref, for a chart showing x by y.
// False when i is not a stored point of a traced locus. The gain is read
// from the loop the trace decoded (rec.decoded).
[[nodiscard]] bool CursorAt(const ROOTSTAT& rec, int i, const CursorReference& ref, AxisRange x, AxisRange y,
                            CursorReadout& out);

// The reference for relative mode at a read-out. False when its gain is
// below 1e-10 (negative gains included): the gain then stays absolute
// (reference 1) and the caller warns with kGainTooSmallWarning.
[[nodiscard]] bool TakeReference(const CursorReadout& at, CursorReference& ref);

// The status bar's panel 2 at (x, y) of the record's current plane.
struct RootStatus {
  bool argShown = false;  // false when the loop could not be updated
  double argDegrees = 0.0;
  bool dampingShown = false;
  double damping = 0.0;
  std::string text;  // "Arg{G(s)} = -180 deg, Damping ratio = 0.5"
};

// The damping ratio of the point, or -1 where there is none (right half of
// the s-plane, outside the unit circle of the z-plane). The origin and the
// positive real axis of the z-plane give 1.
[[nodiscard]] double DampingRatioAt(bool zPlane, double x, double y);

// The loop a read-out of rec's window uses: the window's own decoding
// (rec.decoded) while doc was last decoded in the root domain (no text
// edited since), else doc decoded afresh into fresh. A decoding that fails
// leaves no error pending (a mouse move shows no message: the next command
// reports the loop's fault) and an Invalid kind. doc is left as it is.
[[nodiscard]] const Loop& ReadoutLoop(const SYSDATA& doc, const ROOTSTAT& rec, Loop& fresh);

// The status at (x, y) on loop (ReadoutLoop), the numbers in numberFormat;
// no Arg shown when the loop did not decode.
[[nodiscard]] RootStatus RootStatusAt(const Loop& loop, const ROOTSTAT& rec, double x, double y,
                                      const char* numberFormat);

// The loop gain that puts a closed-loop pole at the cursor point (x, y) of
// the given tag. False with a message pending where that gain is infinite
// ("Infinite gain at this point"), zero ("Zero gain at this point") or of
// the sign opposite to the loop gain's ("Gain of the wrong sign at this
// point"), or when roots (RootLoop::roots) did not decode.
[[nodiscard]] bool GainAtLocusPoint(const Loop& roots, ROOTSTAT& rec, double x, double y, int tag, double& gain);
