#pragma once
// The built-ins with memory: the measures of a simulated response, the
// pseudo-random binary sequence and the backlash. Each keeps one state in
// the memory of the current evaluation context (engine/expr/EvalContext.h), shared
// by every expression evaluated in it, restarted while the context's restart
// flag is set and clocked by its time and time step. All but hyst work only
// in the time domain, and those may be called once per time step.

#include <cstdint>

namespace builtin {

struct MeasureState {
  double value = 0.0;     // extreme so far, running integral or result
  double at = 0.0;        // time of the extreme
  double previous = 0.0;  // previous argument
  bool found = false;     // tzero: the crossing has been seen
  double lastCall = 0.0;  // time of the last real call
};

struct PrbsState {
  std::uint32_t reg = 0xAAAA;  // unsigned: the register shifts left forever
  int bit = 1;
  double lastShift = 0.0;
};

// Everything the built-ins remember between calls; a default record is the
// memory at start.
struct MemoryState {
  MeasureState max, min, tmax, tmin, diff, integ, tzero, tset;
  PrbsState prbs;
  double hystOutput = 0.0;
  std::uint32_t random = 1;  // the generator behind gauss
};

// The program's one memory, used by a context that names none (the loop
// model saves and restores it with its scope).
MemoryState& Memory();

// Running maximum of x.
double Max(double x);
// Running minimum of x.
double Min(double x);
// Time at which the running maximum occurred.
double Tmax(double x);
// Time at which the running minimum occurred.
double Tmin(double x);
// Backward-difference derivative of x.
double Diff(double x);
// Trapezium-rule integral of x.
double Integ(double x);
// Interpolated time of the first zero crossing of x (0 until one is seen).
double Tzero(double x);
// Settling time of x into the band +-b: the time it last entered the band
// and has stayed in since; the current time while it is outside.
double Tset(double x, double b);
// Pseudo-random binary sequence +-1 from a register of length n (2..9),
// shifting once per sample-hold period.
double Prbs(double n);
// Backlash of half-width abs(h): the output follows x with a play of 2h.
// Works in every domain.
double Hyst(double x, double h);

}  // namespace builtin
