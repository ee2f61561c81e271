#pragma once
// The root window's parameter mode: its settings, the drawing of a traced
// parameter locus (branches, arrows the way the value grows, marks at the
// range's ends and at chosen values), the locus in the point store that the
// cursor walks, and the stable ranges as lines of the root report.

#include "engine/chart/Pens.h"
#include "engine/root/ParamLocus.h"

class DisplayList;
struct ROOTSTAT;
struct RootReport;

inline constexpr int kMaxParamMarks = 8;

struct ParamLocusSettings {
  bool on = false;  // Go traces the parameter locus instead of the gain locus
  ParamSweep sweep{0, 0.1, 10, 200, false};
  int markCount = 0;
  double marks[kMaxParamMarks] = {};
};

// "a", "b", "c", "d" or "Gain".
[[nodiscard]] const char* SweptName(int parameter);

// Pen2: one polyline per branch of each uninterrupted piece, an arrowhead
// of arrowSize (plane units) at its middle pointing the way the value
// grows, and dots at the roots of the range's two ends.
void DrawParamLocus(DisplayList& list, const ParamLocus& locus, double arrowSize, const ChartPens& pens);

// Ticks in Pen2 at roots (the roots at value p of the swept quantity),
// labelled "  a=p" (p in the pens' number format) when the pens show mark
// labels.
void DrawParamMarks(DisplayList& list, const RootSet& roots, int parameter, double p, const ChartPens& pens);

// The locus into rec's point store, branch after branch (tag = branch + 1),
// every k-th sample where it holds more than the store, so that the cursor
// walks it as it walks the gain locus.
void StoreParamLocus(const ParamLocus& locus, ROOTSTAT& rec);

// "Stable <name> ranges:" (bold), then "From\tTo" (underlined) and one row
// per range, or "None"; an end at infinite gain reads "inf".
void AddStableRanges(RootReport& report, const char* name, const StableRanges& ranges, const char* numberFormat);
