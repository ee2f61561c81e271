#pragma once
// The describing function N(A) of a compiled nonlinearity integrated to a
// set accuracy, whatever the number of samples the display's transform
// takes: the first harmonic of f(A cos theta) by adaptive Gauss-Kronrod
// quadrature (7 and 15 points) over one period, the intervals halved where
// the two rules disagree, so that the steps and corners of a characteristic
// are closed in on wherever they lie. Plain C++; no allocation (the
// intervals wait on a fixed stack).

#include "engine/freq/DescribingFunction.h"

// N(A) for amplitude > 0, into n. A characteristic without memory gives a
// real N from the half period; hyst is excited as the transform excites it
// (a rise from -A to +A, then the period from +A down and back up). Each
// interval stops halving when the rules agree to 1e-12 of the harmonic's
// scale per unit angle, or at a width of 1e-12 of the period (a jump then
// adds at most 1e-11 of the scale). False, n holding the sum so far, when
// 6000 intervals did not reach that (an output that oscillates faster than
// the quadrature resolves) or an evaluation left its message pending.
[[nodiscard]] bool IntegratedDescribingFunction(const Nonlinearity& nl, double amplitude, Complex& n);
