#pragma once
// Polynomials and root sets written back as transfer-function texts.

#include "engine/model/SysData.h"

// Writes the n ascending coefficients c in variable v as a polynomial text
// ("1+0.5s", "6+1.4s+s^2"); coefficients below 1e-6 times the largest one
// (1e-6 when the largest is 1 or more) are left out, and "0" is written when
// nothing is left.
// False when the text does not fit in size characters (out then empty).
[[nodiscard]] bool PolyToText(const double* c, int n, char v, char* out, int size);

// Writes gain and roots in variable v as a factored text: time-constant
// factors "(1+0.5s)" when timeConstant is set, root factors "(s+2)"
// otherwise; a complex root takes the following one as its conjugate.
// False when the text does not fit in size characters (out then empty).
[[nodiscard]] bool RootsToText(double gain, char v, const RootSet& roots, bool timeConstant, char* out, int size);
