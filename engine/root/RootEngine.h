#pragma once
// The root-locus engine: traces the paths of the closed-loop roots of the
// loop in the loop document inside a rectangle of the s-plane (or of the
// z-plane for sampled-data and discrete loops), gives the point functions of
// the status bar and the cursor, the closed-loop roots of the report and the
// damping-ratio and settling-time contours. Plain C++ over ROOTSTAT and the
// loop decoded from the document (DecodeRootLoop); every failure leaves one
// message pending.

#include "engine/chart/ContourSteps.h"
#include "engine/model/Loop.h"
#include "engine/model/SysData.h"

#include <array>
#include <cstdint>
#include <memory>

// One stored point: three single-precision floats.
struct LocusPoint {
  float tag = 0.0f;
  float x = 0.0f;  // real part
  float y = 0.0f;  // imaginary part
};

inline constexpr int kLocusStoreSize = 2000;
inline constexpr int kMaxBranches = 14;

// Tags of a traced point; 1, 2, ... is an ordinary point of branch tag
// (branch index + 1).
inline constexpr int kTagPoleStart = -1;  // start of a branch at an open-loop pole
inline constexpr int kTagZeroEnd = -2;    // end at an open-loop zero (its own coordinates)
inline constexpr int kTagBreakPoint = -3;

// What the point store holds: nothing usable (before the first run and
// after a failed trace), a traced locus, or a contour (tags meaningless).
enum class StoreContent : std::uint8_t { Empty, Locus, Contour };

struct BranchStart {
  double x = 0.0;
  double y = 0.0;
  double direction = 0.0;  // radians
  bool atPole = false;     // at an open-loop pole, else where it enters the rectangle
};

// The outcome of the last trace or contour.
struct LocusResult {
  StoreContent content = StoreContent::Empty;
  // Valid entries of points; published only by a run that succeeded, 0 after
  // a failed trace.
  int count = 0;
  std::array<LocusPoint, kLocusStoreSize> points{};
  bool zPlane = false;  // the plane the store's points belong to

  double step = 0.0;                 // h: the x range divided by N
  double tolerance = 0.0;            // 0.1 h: coincidence, snapping and convergence
  double angleTolerance = 0.004363;  // convergence of the step corrector, radians
  std::array<BranchStart, kMaxBranches + 1> starts{};
  int branchCount = 0;
  int currentBranch = 0;
  int storedPoints = 0;  // running count while a trace writes
};

// The poles and zeros a root-locations report lists.
struct RootLocations {
  RootSet poles;
  RootSet zeros;
};

// One per root-domain window.
struct ROOTSTAT {
  bool zPlane = false;                          // the last validation gave a kind other than Continuous
  LoopSwitches loop;                            // elements in the loop; the root domain has no loop mode
  int points = 200;                             // N, 5 to 1000: the step is the x range divided by N
  double settlingTime = 1.0;                    // seconds, of the last settling-time contour
  ContourSteps dampingContours{0.1, 0.9, 0.2};  // the damping ratios the contours dialog starts with
  double xMin = -5.0, xMax = 3.0;
  double yMin = -1.0, yMax = 3.0;
  LocusResult result;
  RootLocations report;  // what the last PrepareRootReport found
  // The loop the last PrepareRootLoop was given: the root sets the point
  // functions, the pole and zero marks and the report read. A trace takes
  // the pole-zero pairs it cancels out of it.
  Loop decoded;
};

// A new record with its start values and the elements the model has now.
[[nodiscard]] std::unique_ptr<ROOTSTAT> CreateRootLocus(const SYSDATA& doc);

// The root window's loops: roots, doc decoded in the root domain with rec's
// elements into root sets, and closed, doc decoded as the frequency domain
// merges the closed loop, whose polynomials give the characteristic
// polynomial. What DecodeRootLoop decodes: roots alone (the locus, the
// read-outs, the open-loop report), roots and then, when they decode,
// closed (the closed-loop report), or closed alone (the closed-loop poles
// of a drawn locus).
enum class RootUse : std::uint8_t { Locus, ClosedReport, ClosedRoots };
struct RootLoop {
  Loop roots;
  Loop closed;
};
// Decodes doc (left as it is) for use; an unreported earlier message is
// dropped first. A loop that does not decode keeps its message
// (Loop::fault), and the first such message is left pending.
[[nodiscard]] RootLoop DecodeRootLoop(const SYSDATA& doc, const ROOTSTAT& rec, RootUse use = RootUse::Locus);
// The use of a report of the closed or the open loop.
[[nodiscard]] inline RootUse ReportUse(bool closedLoop)
{
  return closedLoop ? RootUse::ClosedReport : RootUse::Locus;
}

// Takes roots (RootLoop::roots) as rec.decoded and sets zPlane from its
// kind. False with the loop's message pending when it did not decode
// (zPlane is then set as for an Invalid kind).
[[nodiscard]] bool PrepareRootLoop(const Loop& roots, ROOTSTAT& rec);

// Stores the rectangle the next trace or contour works in.
void SetWindow(ROOTSTAT& rec, double xMin, double xMax, double yMin, double yMax);

// The message of a rectangle whose edge scan would take more steps than
// the bound below: its height is too many steps of the tracer.
inline constexpr const char* kLocusTallMessage =
    "Y-axis range too large for the X-axis range, try changing scales or number of points";
// The most steps of the tracer that the scan of a left or right edge may take.
inline constexpr double kMaxEdgeSteps = 100000;

// Checks a rectangle and number of points for a trace: every bound within
// its axis range, min below max, and the height at most kMaxEdgeSteps
// steps. False with the message pending otherwise.
[[nodiscard]] bool CheckLocusRectangle(double xMin, double xMax, double yMin, double yMax, int points);

// Traces the locus inside the rectangle into rec.result. On success the
// store holds the locus and its count; on failure the count is 0, the
// content Empty and the message pending ("Too many loci", "No loci on
// screen", "Locus curvature too great, try changing scales or number of
// points", a refused rectangle (CheckLocusRectangle), or the loop's own).
[[nodiscard]] bool TraceLocus(const Loop& roots, ROOTSTAT& rec);

// Point functions of a decoded loop (rec.decoded after PrepareRootLoop):
// phi in [-pi, pi), zero exactly on the locus for gains of the loop gain's
// sign.
[[nodiscard]] double AngleDeficit(const Loop& loop, double x, double y);
// The angle of G in degrees for the status bar, in (-360, 0] for K > 0.
[[nodiscard]] double ArgDegrees(const Loop& loop, double x, double y);
// The gain k, signed like K, that puts a closed-loop root at (x, y);
// kInfiniteGain stands for infinity.
inline constexpr double kInfiniteGain = 1e10;
[[nodiscard]] double LocusGain(const Loop& loop, double x, double y);
// (d phi/dx, d phi/dy) and (d2 phi/dx2, d2 phi/dxdy).
struct AngleDerivatives {
  double dx = 0.0;
  double dy = 0.0;
};
[[nodiscard]] AngleDerivatives AngleGradient(const Loop& loop, double x, double y);
[[nodiscard]] AngleDerivatives AngleCurvature(const Loop& loop, double x, double y);

// The closed-loop poles (roots of the characteristic polynomial D + K N)
// and zeros (roots of N) of closed (RootLoop::closed), into rec.report.
[[nodiscard]] bool ClosedLoopRoots(const Loop& closed, ROOTSTAT& rec);

// The root sets a report lists, into rec.report: the open loop's (after
// PrepareRootLoop), or the closed loop's ("Not available with delay" for a
// continuous loop with a delay, "No poles or zeros" for a loop without
// either); loop decoded with closed set to closedLoop.
[[nodiscard]] bool PrepareRootReport(const RootLoop& loop, ROOTSTAT& rec, bool closedLoop);

// One contour of constant damping ratio zeta in the plane of the record
// (zeta above 0.99999 counts as one), into the store; empty in an s-plane
// rectangle with x min >= 0.
[[nodiscard]] bool DampingContour(ROOTSTAT& rec, double zeta);
// The 5 % settling-time contour of rec.settlingTime: the line x = -3/ts in
// the s-plane, the circle of radius exp(-3T/ts) in the z-plane, T the
// sample-hold time of roots.
[[nodiscard]] bool SettlingContour(const Loop& roots, ROOTSTAT& rec);

// The damping ratios of a family of contours: start, start + step, ... up
// to end; a value past end by rounding only (a millionth of a step) counts,
// so 0.1 to 0.9 in steps of 0.2 gives five. At most cap values are written;
// returns their number.
inline constexpr int kMaxDampingContours = 101;  // 0 to 1 in steps of 0.01
[[nodiscard]] int DampingRatios(double start, double end, double step, double* out, int cap);

// Where a contour's labels go. A damping ratio: in the s-plane the middle
// of each ray's visible part (none for a ray that misses the rectangle or
// is on screen less than half as long as its twin; one ray for zeta = 1),
// in the z-plane the spiral's points at a tenth of the store and their
// mirror images (one label at (0.2, 0) for zeta = 1). The settling time:
// the middle of the line, or the circle's point at a sixth of the store.
struct LabelPoints {
  int count = 0;
  double x[2] = {};
  double y[2] = {};
};
[[nodiscard]] LabelPoints DampingLabelPoints(const ROOTSTAT& rec, double zeta);
[[nodiscard]] LabelPoints SettlingLabelPoint(const ROOTSTAT& rec);
