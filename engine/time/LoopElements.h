#pragma once
// The stepped parts of the simulated loop: an element as a difference
// equation in powers of z^-1, and the transport delay as a ring of whole
// steps.
//
// The equations hold up to seven coefficients a side, so a fourth-order
// plant whose delay has a fractional part (order 5, or 6 with a feedthrough
// that then acts one step late) runs like any other.

#include "engine/model/Discrete.h"

#include <array>

struct DiffEquation {
  double b[kMaxZCoeffs] = {};  // numerator in powers of z^-1
  double a[kMaxZCoeffs] = {};  // denominator, a[0] = 1
  int nb = 1;
  int na = 1;
  double u[kMaxZCoeffs] = {};  // input history, u[i] = input i steps back
  double y[kMaxZCoeffs] = {};  // output history
  double y0 = 0.0;             // initial output
  // A continuous element's initial output as the free response from rest
  // there (output y0, its derivatives 0), added to the response from a zero
  // history: its first samples, then the equation's own recursion.
  bool fromRest = false;
  int freeSeeds = 0;
  int freeSteps = 0;
  double freeStart[kMaxZCoeffs] = {};
  double f[kMaxZCoeffs] = {};  // free-response history
};

// Sets eq from the pulse transfer function num/den (ascending powers of z),
// rewritten in powers of z^-1 and divided by the denominator's top
// coefficient, with initial output y0. False with "No denominator" or
// "Transfer function not proper" pending.
[[nodiscard]] bool PrepareEquation(DiffEquation& eq, const ZPolynomial& num, const ZPolynomial& den, double y0);

// The same for an element already in z (a Polynomial of the model).
[[nodiscard]] bool PrepareEquation(DiffEquation& eq, const Polynomial& num, const Polynomial& den, double y0);

// Makes eq's initial output that of the continuous element with denominator
// den (in s) at rest there, sampled with step h: without it the output
// history is filled with the initial output, which the element reads as
// derivatives of order h instead of 0.
void SetRestInitialOutput(DiffEquation& eq, const Polynomial& den, double h);

// Restart: input history 0, output history the initial output, which is
// returned.
double RestartEquation(DiffEquation& eq);

// One step for input x: the next output. inputIsOld takes x as the input of
// the previous step (the current one 0); first adds the initial output
// instead of the feedback of past outputs.
double StepEquation(DiffEquation& eq, double x, bool inputIsOld, bool first);

// The transport delay: a value passed in comes back `steps` calls later
// (at once for 0 steps). Values pass in single precision.
class DelayLine {
public:
  // Empties the line to `steps` (0..kMaxSteps) whole steps, every entry
  // holding fill.
  void Restart(int steps, double fill);
  // Stores x and returns the value stored `steps` calls ago.
  double Pass(double x);

  // 2000 stored steps, each of up to 16 steps of a loop that needs them
  static constexpr int kMaxSteps = 32000;

private:
  // Only the entries Restart fills are ever read: left unset, so that a run
  // does not clear the whole ring first.
  std::array<float, kMaxSteps + 1> ring_;
  int size_ = 1;  // steps + 1
  int pos_ = 0;
};
