#pragma once
// Drawing of the frequency window's curves, shared by the window and
// `vanto-cli render freq`: the five charts' start settings and the routines
// that add the response curve, M contours and the margin, describing-function
// and limit-cycle marks to a display list in the given pens.

#include "engine/chart/ChartGeometry.h"
#include "engine/chart/ChartSetup.h"
#include "engine/chart/ChartShapes.h"
#include "engine/chart/Pens.h"
#include "engine/freq/FreqEngine.h"

struct LimitCycleList;
struct StabilityMargins;
class DisplayList;

// The charts of the five views, as the window starts them.
inline constexpr ChartSetup kNyqChart{"NyqChart",
                                      "Nyquist",
                                      "Real",
                                      "Imaginary",
                                      kFreqStartRange[0].xLo,
                                      kFreqStartRange[0].xHi,
                                      kFreqStartRange[0].yLo,
                                      kFreqStartRange[0].yHi,
                                      true,
                                      false,
                                      false,
                                      false};
inline constexpr ChartSetup kINyqChart{"INyqChart",
                                       "Inverse Nyquist",
                                       "Real",
                                       "Imaginary",
                                       kFreqStartRange[1].xLo,
                                       kFreqStartRange[1].xHi,
                                       kFreqStartRange[1].yLo,
                                       kFreqStartRange[1].yHi,
                                       true,
                                       false,
                                       false,
                                       false};
inline constexpr ChartSetup kNichChart{"NichChart",
                                       "Nichols plot",
                                       "Phase/deg",
                                       "Gain/dB",
                                       kFreqStartRange[2].xLo,
                                       kFreqStartRange[2].xHi,
                                       kFreqStartRange[2].yLo,
                                       kFreqStartRange[2].yHi,
                                       false,
                                       false,
                                       false,
                                       false};
inline constexpr ChartSetup kBGainChart{"BGainChart",
                                        "Bode  gain",
                                        "rad/s",
                                        "Gain/dB",
                                        kFreqStartRange[3].xLo,
                                        kFreqStartRange[3].xHi,
                                        kFreqStartRange[3].yLo,
                                        kFreqStartRange[3].yHi,
                                        false,
                                        true,
                                        true,
                                        true};
inline constexpr ChartSetup kBPhaseChart{"BPhaseChart",
                                         "Bode  phase",
                                         "rad/s",
                                         "Phase/deg",
                                         kFreqStartRange[4].xLo,
                                         kFreqStartRange[4].xHi,
                                         kFreqStartRange[4].yLo,
                                         kFreqStartRange[4].yHi,
                                         false,
                                         true,
                                         true,
                                         true};

// The setup of the chart of a view.
[[nodiscard]] const ChartSetup& FreqChartSetup(FreqView view);

// What a Go of the frequency window draws: the loop's response, or in the
// describing-function mode the -1/N locus.
enum class FreqCurve { Response, DescribingFunction };

// What a Go of curve decodes the document for (DecodeFreqLoop).
[[nodiscard]] inline FreqUse GoUse(FreqCurve curve)
{
  return curve == FreqCurve::DescribingFunction ? FreqUse::DescribingFunction : FreqUse::Response;
}

// One Go of the frequency window, as the window and `vanto-cli render freq`
// make it: the range of chart copied into rec, the curve computed from loop
// (decoded for GoUse(curve)) in ctx (LoopContext(loop.loop,
// ActiveDomain::Frequency)) and added to list. False with the error pending.
[[nodiscard]] bool FreqGo(const FreqLoop& loop, FREQSTAT& rec, const EvalContext& ctx, FreqCurve curve,
                          const ChartGeometry& chart, const ChartPens& pens, DisplayList& list);

// The factor that puts a Bode chart's frequency axis, titled chartUnits, in
// the display unit of set: 1/(2 pi) from rad/s to Hz, 2 pi back, 0 when it
// is in that unit already.
[[nodiscard]] double BodeUnitFactor(const FreqSettings& set, const char* chartUnits);

// The curve in rec's store, Pen 2 in closed loop and Pen 1 in open loop:
// against plot x, or against the display frequency in the Bode views.
// Points that do not exist (NaN) leave gaps.
void DrawResponse(DisplayList& list, const FREQSTAT& rec, const ChartPens& pens);

// The M contour in rec's store (after ComputeMContour) in Pen 4; when the
// pens show mark labels, mDb in the model's number format after two blanks
// at the point a third of the way along.
void DrawMContour(DisplayList& list, const FREQSTAT& rec, double mDb, const ChartPens& pens);

// M contours of the family m (end included within rounding), dB, in the
// current view. False with the error pending.
[[nodiscard]] bool DrawMContours(DisplayList& list, FREQSTAT& rec, const ContourSteps& m, const ChartPens& pens);

// Marks of the margins in Pen 3, in the view of rec: on the Bode gain chart
// a line from 0 dB down (or up) to the gain at each phase crossover,
// labelled with the gain margin, and a circle at each gain crossover; on
// the Bode phase chart a line from -180 deg to the phase at each gain
// crossover, labelled with the phase margin, and a circle at each phase
// crossover; on the Nichols chart both lines. Phases are drawn on the
// branch of the last sweep's curve. Nothing in the Nyquist views.
void DrawMarginMarks(DisplayList& list, const FREQSTAT& rec, const StabilityMargins& margins, const ChartPens& pens);

// The describing-function locus in rec's store (after
// ComputeDescribingFunction) in Pen 3, against plot x, with a small cross
// at each amplitude: a locus along -180 deg would hide under that line of
// the Nichols chart, and one that stays on a point would not show.
void DrawDescribingFunction(DisplayList& list, const FREQSTAT& rec, const ChartPens& pens);

// The predicted limit cycles at their crossings in rec's view, in Pen 3: a
// filled dot where the cycle is stable, a circle where it is unstable, a
// triangle where the stability rule does not apply; each labelled with its
// amplitude, frequency (display unit) and stability, the labels of cycles
// on one point one under the other (rows from the chart's ranges and size).
// Nothing in the Bode views.
void DrawLimitCycleMarks(DisplayList& list, const FREQSTAT& rec, const LimitCycleList& cycles,
                         const ChartGeometry& chart, const ChartPens& pens);
// True when list carries limit-cycle marks as DrawLimitCycleMarks draws
// them (found by their labels).
[[nodiscard]] bool CarriesLimitCycleMarks(const DisplayList& list);
