#pragma once
// The mathematics library's error hook, rebuilt for a platform that has
// none: each built-in checks its own domain and result and hands a fault
// here, which records the message and gives the value the expression gets.

enum class MathFault {
  Domain,       // argument outside the function's domain
  Singularity,  // a pole, such as the logarithm of 0
  Overflow,     // result too large for a double
  Underflow,    // non-zero result too small for a normal double
  TotalLoss,    // no significant digit left (trigonometry of a huge angle)
};

// Records the message of fault f and returns the result the hook substitutes:
// "Function range" 0, "Too big" the largest double, "Too small" 0,
// "Loss of accuracy" 0. A partial loss of significance is not a fault: the
// library's own result stands.
double MathFaultResult(MathFault f);

// Checks a finite-argument result for overflow and underflow: r itself when
// it is a normal double or exactly 0 from an exact computation.
double CheckMagnitude(double r, bool exactZero);
