#pragma once
// The built-ins with memory: the measures of a simulated response, the
// pseudo-random binary sequence and the backlash. Each keeps one state for
// the whole program, shared by every expression that calls it, restarted
// while the loop model's RestartFlag is set and clocked by its CurrentTime
// and TimeStep. All but hyst work only in the time domain, and those may be
// called once per time step.

namespace builtin {

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
