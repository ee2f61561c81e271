#pragma once
// The memoryless test signals and static nonlinearities of the expression
// language.

namespace builtin {

// Dead zone of half-width abs(w).
double Dzone(double x, double w);
// Saturation at +-abs(limit).
double Clip(double x, double limit);
// Rounds x to the nearest multiple of abs(q), halves away from zero;
// "Too small" and x itself when abs(q) < 1e-10.
double Quant(double x, double q);
// 1 if x > 0, else -1.
double Relay(double x);
// 1 if 0 < t <= w, else 0.
double Pulse(double t, double w);
// Square wave of period 2*pi: 1 on the first half period, -1 on the second.
double Sqwave(double x);
// Triangle wave of period 2*pi, in phase with sin.
double Triwave(double x);
// Unit impulse at x = 0 (time domain only): 1/h for one step of a continuous
// loop, a unit sample of one sample-hold period otherwise.
double Imp(double x);

}  // namespace builtin
