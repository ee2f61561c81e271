#pragma once
// Roots of real polynomials of order 4 at most.

#include "engine/model/SysData.h"

// Appends the roots of the polynomial a (n ascending coefficients, used as
// working storage and left deflated) to set and multiplies gain by its
// leading coefficient. Roots come in the order the quadratic factors are
// split off: a conjugate pair as (re + j im, re - j im). False with the
// error pending on failure ("Order too high", "Cant find roots"; the set's
// count is then 0 after "Cant find roots").
[[nodiscard]] bool FindRoots(double* a, int n, double& gain, RootSet& set);

// Complex Newton search for one real root or conjugate pair of the
// polynomial a of degree d (ascending), which it appends to set; a is
// replaced by the deflated quotient. Returns the new degree, or -1 with
// "Cant find roots" pending and the set's count 0.
[[nodiscard]] int NewtonRaphson(double* a, int d, RootSet& set);
