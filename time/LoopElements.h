#pragma once
// The stepped parts of the simulated loop: an element as a difference
// equation in powers of z^-1, and the transport delay as a ring of whole
// steps.
//
// The equations hold up to seven coefficients a side, so a fourth-order
// plant whose delay has a fractional part (order 5, or 6 with a feedthrough
// that then acts one step late) runs like any other.

#include "model/Discrete.h"

#include <array>

struct DiffEquation {
  double b[kMaxZCoeffs] = {};   // numerator in powers of z^-1
  double a[kMaxZCoeffs] = {};   // denominator, a[0] = 1
  int nb = 1;
  int na = 1;
  double u[kMaxZCoeffs] = {};   // input history, u[i] = input i steps back
  double y[kMaxZCoeffs] = {};   // output history
  double y0 = 0.0;              // initial output
};

// Sets eq from the pulse transfer function num/den (ascending powers of z),
// rewritten in powers of z^-1 and divided by the denominator's top
// coefficient, with initial output y0. False with "No denominator" or
// "Transfer function not proper" pending.
[[nodiscard]] bool PrepareEquation(DiffEquation& eq, const ZPolynomial& num, const ZPolynomial& den,
                                   double y0);

// The same for an element already in z (a Polynomial of the model).
[[nodiscard]] bool PrepareEquation(DiffEquation& eq, const Polynomial& num, const Polynomial& den,
                                   double y0);

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

  static constexpr int kMaxSteps = 2000;

private:
  std::array<float, kMaxSteps + 1> ring_{};
  int size_ = 1;  // steps + 1
  int pos_ = 0;
};
