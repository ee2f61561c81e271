#pragma once
// Complex evaluation of a real polynomial (ascending coefficients), the
// independent check the discretisation suites measure against.

#include <complex>

using Cplx = std::complex<double>;

inline Cplx EvalPoly(const double* c, int n, Cplx x)
{
  Cplx v = 0.0;
  for (int i = n - 1; i >= 0; --i)
    v = v * x + c[i];
  return v;
}
