#pragma once
// How fast a continuous loop moves, and how finely a run must step to follow
// it: the magnitude of its fastest pole, estimated from the elements' own
// poles and those of the closed loop with its nonlinearities taken as unit
// gains.

#include "engine/model/SysData.h"

// Coefficients of a product of two elements' polynomials (ascending powers).
inline constexpr int kMaxLoopCoeffs = 2 * kMaxCoeffs - 1;

// Largest magnitude of the roots of the real polynomial c[0..n-1]
// (ascending powers, n <= kMaxLoopCoeffs, top zeros ignored); 0 for a
// constant, infinity when it cannot be found in doubles.
[[nodiscard]] double LargestRootMagnitude(const double* c, int n);

// The fastest pole of a continuous loop of Gc (when compIn) and the plant:
// the largest of the elements' pole magnitudes and, for a closed loop, of
// the roots of den_c den_p + K num_c num_p.
[[nodiscard]] double FastestPole(const Polynomial& numC, const Polynomial& denC, bool compIn, const Polynomial& numP,
                                 const Polynomial& denP, double gain, bool closed);
