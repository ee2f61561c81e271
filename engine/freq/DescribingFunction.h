#pragma once
// Describing functions of the loop's nonlinearities: N(A), the complex
// ratio of the fundamental of the output to a sinusoidal input A cos(theta),
// by a discrete Fourier transform of one sampled period, over the
// amplitude range of the frequency window, in the form each view compares
// with the open-loop curve: -1/N (direct Nyquist), -N (inverse Nyquist),
// the gain and phase of -1/N (Nichols). Plain C++; failures through SetError.

#include "engine/expr/EvalContext.h"
#include "engine/freq/FreqEngine.h"

#include <string>

struct CompiledExpr;

// Samples per period the scales dialog offers.
inline constexpr int kDftChoices[] = {4, 8, 16, 32, 64, 128, 256, 512};
[[nodiscard]] bool IsDftChoice(int m);

// The quarter-wave cosine table and the sample indices M/2, M/4, 3M/4 for
// M = rec.set.dftPoints; nothing when the table is built for that M
// already, and nothing but an empty table for an M not among kDftChoices.
void BuildCosineTable(FREQSTAT& rec);

// cos and sin of 2 pi k / M (0 <= k < M) into rec.df.sampleCos and
// sampleSin: exact at the quarter points, from the table elsewhere.
void SampleCosSin(FREQSTAT& rec, int k);

// N at the current amplitude rec.df.amplitude from the M samples
// y[k] = 2 f(A cos theta_k), into rec.pt.L, pairing the four samples that
// share a table entry.
void FirstHarmonic(FREQSTAT& rec, const double* y);

// The describing function of the selected nonlinearity of loop
// (FreqUse::DescribingFunction; rec.loop.fwdNl, else the feedback one),
// evaluated in ctx (LoopContext(loop.loop, ActiveDomain::Frequency), where
// the time-only built-ins refuse), at the set's amplitudes: N(A) into
// rec.result.dfValues (parts below 1e-10 set to 0) and one point per
// amplitude (A, plot x, plot y) into the store. An amplitude where
// |N| < 1e-10 has no -1/N: outside the inverse Nyquist view it is left out
// of both (the store holds the others in order) and counted in
// rec.result.dfLeftOut. The closed-loop and monotonic-phase flags are used
// as open loop and monotonic during the run and come back unchanged on
// every exit. False with the message pending: "Invalid nonlinear
// function", an evaluation message, "Excitation amplitude too small,
// change range" (every amplitude left out), the amplitude settings'
// messages, or the Bode views'. The store then holds the amplitudes
// computed before the failure.
[[nodiscard]] bool ComputeDescribingFunction(const FreqLoop& loop, FREQSTAT& rec, const EvalContext& ctx);

// What the last computation left out and why, for the status bar and the
// command line ("3 of 20 amplitudes left out (1 to 1.947): ..."), the
// amplitudes in numberFormat, or an empty text when it left out none.
[[nodiscard]] std::string DfLeftOutNote(const FREQSTAT& rec, const char* numberFormat);

// The scales dialog's checks of an amplitude range, with 0 refused too (it
// has no describing function): nullptr when good, else "Start amplitude
// must be positive" or "End amplitude must exceed start amplitude".
[[nodiscard]] const char* AmplitudeRangeProblem(double start, double end);

// Why describing-function mode cannot be switched on in rec's window, as
// the window words it (the Bode views' message wins over the closed
// loop's), or nullptr.
[[nodiscard]] const char* DescribingFunctionModeProblem(const FREQSTAT& rec);

// What the describing-function cursor shows at amplitude index i of the
// last computation. N = 0 has no phase, and -1/N no finite magnitude.
struct DfReading {
  double amplitude = 0.0;
  double plotX = 0.0, plotY = 0.0;  // the point in the view
  double nMag = 0.0;                // |N|
  bool hasPhase = false;            // N != 0: the phases and 1/|N| exist
  double nPhaseDeg = 0.0;           // angle of N
  double invMag = 0.0;              // |-1/N|
  double invPhaseDeg = 0.0;         // angle of -1/N in [-360, 0]
};
// i is kept within the points of the last computation.
[[nodiscard]] DfReading DfCursorReading(const FREQSTAT& rec, int i);

// The pieces the limit-cycle search shares. PrepareDescribingFunction
// checks the amplitude settings and the number of samples as the
// computation does, builds the table and compiles the selected text of
// loop into rec.df (false with the message pending), which nl then points
// to;
// DescribingFunctionAt then gives N(A) unrounded, for any A > 0, leaving
// evaluation messages pending.
struct Nonlinearity {
  CompiledExpr* expr = nullptr;
  bool hyst = false;  // the text calls hyst, which has memory
};
[[nodiscard]] bool PrepareDescribingFunction(const Loop& loop, FREQSTAT& rec, Nonlinearity& nl);
[[nodiscard]] Complex DescribingFunctionAt(FREQSTAT& rec, const Nonlinearity& nl, double amplitude);

// Puts hyst's memory in e as after a rise from -amplitude to +amplitude,
// whatever it held: the state the describing function starts from.
void StartHystAfterRise(CompiledExpr& e, double amplitude);
