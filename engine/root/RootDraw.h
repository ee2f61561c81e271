#pragma once
// The root domain on a chart: the start settings of the s-plane and z-plane
// charts, and the routines that turn the engine's results into display
// items in the given pens. The root window and `vanto-cli render locus`
// draw with these alone.

#include "engine/chart/ChartGeometry.h"
#include "engine/chart/ChartSetup.h"
#include "engine/chart/ChartShapes.h"
#include "engine/chart/Pens.h"

class DisplayList;
struct ChartItem;
struct Loop;
struct RootSet;
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
void DrawLocus(DisplayList& list, const ROOTSTAT& rec, const ChartPens& pens);

// One Go of the root window on roots (RootLoop::roots), as the window and
// `vanto-cli render locus` make it: the rectangle of chart taken as the
// trace's window, the locus traced and added to list. False with the error
// pending.
[[nodiscard]] bool RootGo(const Loop& roots, ROOTSTAT& rec, const ChartGeometry& chart, const ChartPens& pens,
                          DisplayList& list);

// The open-loop poles (crosses) and zeros (circles), Pen1: the loop model's
// root sets after PrepareRootLoop.
void DrawPoleZeroMarks(DisplayList& list, const RootSet& poles, const RootSet& zeros, const ChartPens& pens);
// True for the pole and zero marks and the unit circle: the items taken off
// the chart so that drawing them again puts the loop's present ones in
// their place.
[[nodiscard]] bool IsPoleZeroMark(const ChartItem& it);

// The contour in rec's store, Pen4, as computed by DampingContour (zeta) or
// SettlingContour, with its labels "  <value>" when the pens show mark
// labels.
void DrawDampingContour(DisplayList& list, const ROOTSTAT& rec, double zeta, const ChartPens& pens);
void DrawSettlingContour(DisplayList& list, const ROOTSTAT& rec, const ChartPens& pens);

// Triangles at the closed-loop poles (ROOTSTAT::report.poles after
// PrepareRootReport for the closed loop), Pen2, labelled with the loop gain
// when the pens show mark labels.
void MarkClosedLoopPoles(DisplayList& list, const RootSet& poles, double gain, const ChartPens& pens);
