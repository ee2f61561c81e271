#pragma once
// The frequency-response engine: the frequency window's settings-and-results
// record, the frequency grid, the response of the loop at one frequency for
// continuous, sampled-data and discrete loops, the mapping of a response
// into the coordinates of the five views, phase tracking, the cursor's point
// evaluation and M contours. All frequencies are in rad/s; Hz exists only in
// the display conversions. Plain C++, no Qt; failures through SetError.

#include "engine/chart/ContourSteps.h"
#include "engine/model/Loop.h"

#include <array>
#include <cstdint>

enum class FreqView : std::uint8_t { DirectNyquist = 0, InverseNyquist = 1, Nichols = 2, BodeGain = 3, BodePhase = 4 };
inline constexpr int kFreqViews = 5;

// The texts of a view, in FreqView order: the vanto-cli name, the item of
// the "&Plot type..." submenu and the item of the chart's popup menu.
struct FreqViewNames {
  const char* cli;
  const char* menu;
  const char* popup;
};
inline constexpr FreqViewNames kFreqViewNames[kFreqViews] = {
    {"nyquist", "&Direct Nyqiist", "&Direct Nyquist"},
    {"inverse", "&Inverse Nyquist", "&Inverse Nyquist"},
    {"nichols", "&Nichols", "&Nichols"},
    {"bode-gain", "Bode &Gain", "Bode g&ain"},
    {"bode-phase", "Bode &Phase", "Bode p&hase"},
};

// The start ranges of the five charts (x low, x high, y low, y high); the
// Bode x ranges in rad/s. The engine uses them where it has no chart.
struct FreqRange {
  double xLo, xHi, yLo, yHi;
};
inline constexpr FreqRange kFreqStartRange[kFreqViews] = {
    {-2, 1, -1.5, 0.7330827067669173},
    {-3, 1, -1.5, 1.4774436090225564},
    {-270, -10, -20, 30},
    {0.1, 10, -20, 30},
    {0.1, 10, -270, 10},
};

// One stored point: tag, x, y. A response point's tag is its frequency in
// rad/s; an M-contour point's tag is 1 (drawn) or 0 (end marker); a
// describing-function point's tag is its amplitude. A coordinate that does
// not exist (the dB of a zero gain) is NaN, so the chart leaves a gap.
struct FreqPoint {
  float tag = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
};

inline constexpr int kFreqStore = 2000;       // points of the store
inline constexpr int kMaxFreqPoints = 1000;   // grid points, as the scales dialog allows
inline constexpr int kMaxAmplitudes = 200;    // describing-function amplitudes
inline constexpr int kCosineTableSize = 128;  // quarter wave of the largest DFT (512)

inline constexpr const char* kUnitsRadS = "rad/s";
inline constexpr const char* kUnitsHz = "Hz";
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kInvTwoPi = 0.15915494309189534;

// The window's settings, with their start values.
struct FreqSettings {
  FreqView view = FreqView::DirectNyquist;
  double startFreq = 0.2;      // rad/s
  double endFreq = 8.0;        // rad/s
  bool monotonicPhase = true;  // "Monotonic angle display"
  bool logIncrement = true;    // "Logarithmic increment"
  int points = 200;            // grid size, 1 to kMaxFreqPoints
  char units[8] = "rad/s";     // "rad/s" or "Hz"
  // Describing-function range: amplitudes, their count, samples per period.
  int amplitudes = 20;
  int dftPoints = 128;
  double startAmp = 1.0;
  double endAmp = 10.0;
};

// The loop the last PrepareSweep was given: the evaluations
// that follow (sweep, cursor, margins) use this copy, so that they describe
// the curve that was drawn even when another window changes the model.
struct FreqLoopModel {
  SystemKind kind = SystemKind::Continuous;
  int first = kPlant;
  int last = kPlant;
  Polynomial num[2];
  Polynomial den[2];
  double gain = 1.0;
  double delay = 0.0;  // seconds; enters continuous loops only
  double hold = 0.0;   // sample-hold time T
  // Whole samples m of a sampled-data plant's delay, evaluated as
  // e^(-j omega m T) (the discretised plant holds the fraction).
  int delaySamples = 0;
  // The closed-loop response to the load input with the compensator in the
  // loop also needs the plant on its own (the element above carries Gc Gp).
  bool plantApart = false;
  Polynomial plantNum, plantDen;
};

// The evaluation of the current point, as EvaluateAt, ComputeMContour and
// the describing function leave it for ToPlotCoordinates.
struct FreqPointState {
  double omega = 0.0;  // current frequency, rad/s
  double plotX = 0.0;  // coordinates of the point in the current view
  double plotY = 0.0;
  bool firstPoint = false;                          // set before the first point of a sweep
  Complex L;                                        // open-loop value
  double openMag = 0.0;                             // |L|
  double logRatio = 1.0;                            // grid ratio r of the logarithmic grid
  double linearStep = 0.0;                          // grid step h of the linear grid
  double P = 0.0, Q = 0.0;                          // 1 + 1/L, times Gc (load) or L (noise); 1/T
  double closedMagSq = 0.0;                         // |T|^2
  Complex T;                                        // closed-loop value
  double openPhase = 0.0, prevOpenPhase = 0.0;      // raw phases of L, rad
  double openLag = 0.0;                             // the plant delay's part omega tau of the last swept raw phase of L
  double closedPhase = 0.0, prevClosedPhase = 0.0;  // raw phases of T, rad
  double openOffset = 0.0, closedOffset = 0.0;      // multiples of 2 pi for display
  double firstThreshold = 0.0;                      // start frequency x 1.0001
};

// Scratch of the describing-function computation (filled by its engine).
struct DfScratch {
  int tableFor = 0;                             // the M the table was built for, 0 before
  double cosTable[kCosineTableSize] = {};       // cos(2 pi k / M), k < M/4
  double angleStep = 0.0;                       // 2 pi / M
  int half = 0, quarter = 0, threeQuarter = 0;  // M/2, M/4, 3M/4
  double amplitude = 0.0, amplitudeStep = 0.0;
  double sampleCos = 0.0, sampleSin = 0.0;
  double nMag = 0.0;  // |N|
  Complex n;          // N with parts below 1e-10 set to 0
  double nAngle = 0.0;
  CompiledExpr nonlinearity;  // the selected nonlinearity's program, in x
};

// What a run leaves: the curve in the store, and per grid point of the last
// sweep its frequency and the two phases as displayed (raw + offset, rad;
// see TrackSweepPhases).
struct FreqResult {
  int count = 0;  // points of the last curve (an M contour without its end marker)
  std::array<FreqPoint, kFreqStore> points{};
  int gridCount = 0;  // grid points of the last sweep
  std::array<double, kMaxFreqPoints> omega{};
  bool phasesTracked = false;  // the two phase lists hold the sweep's phases
  std::array<double, kMaxFreqPoints> openPhase{};
  std::array<double, kMaxFreqPoints> closedPhase{};
  std::array<Complex, kMaxAmplitudes> dfValues{};  // N(A) per amplitude
  // The amplitudes of the last describing function left out of its curve
  // because N(A) = 0 there (no -1/N): how many, the least and the greatest.
  int dfLeftOut = 0;
  double dfLeftOutLo = 0.0, dfLeftOutHi = 0.0;
};

// One per frequency window.
struct FREQSTAT {
  FreqSettings set;
  // Open loop, reference input and the model's elements at start; the two
  // nonlinearity flags are the describing function's "selected" flags.
  LoopSwitches loop;
  FreqRange chart{};                         // range of the current chart, copied before every computation
  ContourSteps mContours{-12.0, 12.0, 3.0};  // the M-contour family, dB, until the contours dialog changes it
  bool describingMode = false;               // Go draws the describing function's -1/N locus, not the response
  FreqLoopModel model;
  FreqPointState pt;
  DfScratch df;
  FreqResult result;
};

// Start values, the elements copied from the loop document doc.
void InitFreqSettings(const SYSDATA& doc, FREQSTAT& rec);
// Forgets the last results (the record's stores are part of it).
void ReleaseFreqSettings(FREQSTAT& rec);

// Copies the current chart's range.
void SetChartRange(FREQSTAT& rec, double xLo, double xHi, double yLo, double yHi);

// What a frequency-window computation decodes the document for: the
// response with the window's switches, the describing function (the
// nonlinearities alone, the elements not decoded), or the open loop L the
// margins and the limit cycles scan (the elements in the loop, open, the
// reference input alone).
enum class FreqUse : std::uint8_t { Response, DescribingFunction, OpenLoop };

// The frequency window's loop. The closed-loop response to the load input
// with the compensator in the loop also needs the plant on its own, from a
// decoding without the merge of Gc into the plant.
struct FreqLoop {
  Loop loop;
  bool plantApart = false;
  Polynomial plantNum, plantDen;
};

// Decodes doc (left as it is) in the frequency domain for use with rec's
// switches, the whole samples of a sampled-data plant's delay apart, and
// refuses an element in the loop whose denominator is zero ("No
// denominator"). An unreported earlier message is dropped first. When the
// loop does not decode its kind is Invalid and the message pending and kept
// in the loop (Loop::fault).
[[nodiscard]] FreqLoop DecodeFreqLoop(const SYSDATA& doc, const FREQSTAT& rec, FreqUse use);

// Clears the pending error, prepares the sweep of loop (FreqUse::Response)
// and runs it. Test ErrorPending() afterwards, or the result: false with
// the message pending.
[[nodiscard]] bool ComputeResponse(const FreqLoop& loop, FREQSTAT& rec);
// Copies loop into rec.model, checks the inputs and the grid, and sets up
// the grid.
[[nodiscard]] bool PrepareSweep(const FreqLoop& loop, FREQSTAT& rec);
// Fills the store with the points of the grid in the current view. Only
// the phase the view shows is computed (none in the Nyquist and Bode gain
// views); TrackSweepPhases adds both phases of every grid point on demand.
[[nodiscard]] bool RunSweep(FREQSTAT& rec);
// Fills the result's phase lists for the grid of the last sweep, tracked
// as a sweep tracks them, unless the sweep filled them already.
void TrackSweepPhases(FREQSTAT& rec);

// The response at omega (rad/s): L, |L|, (P, Q), |T|^2, both raw phases and
// the offsets of phase tracking, left in rec.pt.
void EvaluateAt(FREQSTAT& rec, double omega);
// plot x, plot y of the current point in the current view.
void ToPlotCoordinates(FREQSTAT& rec);
// Phase offsets for the first point of a curve, and their update at the next.
void StartPhaseTracking(FREQSTAT& rec);
void TrackPhase(FREQSTAT& rec);

// What the frequency cursor shows at omega.
struct CursorValues {
  double openMag = 0.0;
  double openPhaseDeg = 0.0;
  double closedMag = 0.0;
  double closedPhaseDeg = 0.0;
};
// Evaluates the response at omega (a frequency of the last sweep). The
// phases are those of the drawn curve at the nearest grid point, whichever
// point was evaluated before; without a sweep they are tracked from the
// last evaluation.
[[nodiscard]] CursorValues EvaluateForCursor(FREQSTAT& rec, double omega);

// Fills the store with the M contour of mDb dB in the current view (not
// the Bode views): a closed curve of 2n + 1 points, n the grid size kept
// between 36 and 999, then an end marker; in the direct Nyquist view the
// 0 dB contour is the line Re L = -1/2 reaching ten chart heights beyond
// the chart range.
[[nodiscard]] bool ComputeMContour(FREQSTAT& rec, double mDb);

// omega in the display unit (Hz when the units begin with 'H'), and back.
[[nodiscard]] double ToDisplayFrequency(const FREQSTAT& rec, double omega);
[[nodiscard]] double FromDisplayFrequency(const FREQSTAT& rec, double f);

// The scales dialog's checks of a frequency grid (start, end in any unit):
// nullptr when good, else its warning ("Start frequency must be
// positive", "End frequency must exceed start frequency", "Don't use
// logarithmic frequency increment with zero start frequency").
[[nodiscard]] const char* FrequencyGridProblem(double start, double end, bool logIncrement);

// A raw angle mapped into [-2 pi, 0], for any finite angle.
[[nodiscard]] double WrapPhase(double a);
