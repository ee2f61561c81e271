#pragma once
// The root domain on a chart: the start settings of the s-plane and z-plane
// charts, and the routines that turn the engine's results into chart items
// in the model's pen colours. The root window and `vanto-cli render locus`
// draw with these alone; neither calls ShowGraph here.

#include "plot/ChartSetup.h"
#include "plot/ChartShapes.h"

class TRChart;
struct ROOTSTAT;

// Isometric, graticule hidden; the chart widens one range to its shape. The
// s-plane starts on both halves of the plane, where a complex pair of poles
// and its branches show whole.
inline constexpr ChartSetup kSplaneChart{"splaneChart", "s-plane", "", "", -5, 3, -3, 3, true, false};
inline constexpr ChartSetup kZplaneChart{"zplaneChart", "z-plane", "", "", -2, 2, -1.2, 1.78, true, false};

// kZplaneChart for the z-plane, else kSplaneChart.
[[nodiscard]] const ChartSetup& PlaneChartSetup(bool zPlane);

// The traced locus of rec (nothing unless its store holds one), Pen2: one
// polyline per branch, a new one at each start and after each zero end.
void DrawLocus(TRChart& chart, const ROOTSTAT& rec);

// The open-loop poles (crosses) and zeros (circles) of the loop model's root
// sets, Pen1. Run PrepareRootLoop first.
void DrawPoleZeroMarks(TRChart& chart);
// Takes the pole and zero marks and the unit circle off chart, so that
// drawing them again puts the loop's present ones in their place.
void RemovePoleZeroMarks(TRChart& chart);


// The contour in rec's store, Pen4, as computed by DampingContour (zeta) or
// SettlingContour, with its labels "  <value>" when the model shows mark
// labels.
void DrawDampingContour(TRChart& chart, const ROOTSTAT& rec, double zeta);
void DrawSettlingContour(TRChart& chart, const ROOTSTAT& rec);

// Triangles at the poles of the loop model's root sets, Pen2, labelled with
// the loop gain when the model shows mark labels. Run PrepareRootReport
// (closed loop) first.
void MarkClosedLoopPoles(TRChart& chart);
