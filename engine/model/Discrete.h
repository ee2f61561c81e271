#pragma once
// Discrete-time models: the zero-order-hold equivalent with transport delay,
// the substitution rules, the normal form in powers of z^-1 and the
// difference-equation step of the simulator.

#include "engine/model/SysData.h"

// A pulse transfer function side that may outgrow a Polynomial: a
// fourth-order element with a fractional delay has a denominator of order 5,
// and of order 6 when its feedthrough acts one sample late.
inline constexpr int kMaxZCoeffs = 7;
struct ZPolynomial {
  double c[kMaxZCoeffs] = {1.0};
  int n = 1;
};

// The zero-order-hold equivalent of num/den (in s) with period T and delay
// tau: numZ/denZ (in z, ascending) times z^-m, m the whole delay samples.
// A negative delay counts as none. False with the error pending ("Step
// size too small", "System not proper", "No denominator", "Delay too big"
// for a million samples or more, "Step size too big" when the result does
// not fit in doubles, the root finder's messages).
[[nodiscard]] bool ZohTransfer(const Polynomial& num, const Polynomial& den, double T, double tau, ZPolynomial& numZ,
                               ZPolynomial& denZ, int& m);

// Replaces the polynomials of element elem of s by their zero-order-hold
// equivalent with the model's sample-hold time (and delay, for the plant)
// and returns the whole delay samples m, or -1 with the error pending
// ("Delay too big" when the result does not fit the element).
[[nodiscard]] int ZohElement(SYSDATA& s, int elem);

// The substitution rules of the transform tool.
enum class SubstitutionRule { Rectangular, Tustin, TustinPrewarp };

// The scale a of the rule (P(s) becomes P(s/a)) for period T and, for the
// prewarped rule, the frequency omega in rad/s. False with "Prewarping
// frequency too high" pending when omega is above 0.9999 pi/T ("Step size
// too small" for T below 1e-10).
[[nodiscard]] bool SubstitutionScale(SubstitutionRule rule, double T, double omega, double& a);

// Rewrites p(s), of order 3 at most, as the polynomial in z that the rule
// gives after multiplying through by the rule's denominator to p's own
// order: sum p_i (z-1)^i z^(N-i) (rectangular) or sum p_i (z-1)^i
// (z+1)^(N-i) (Tustin), with p first scaled to p(s/a). "Order too high" for
// a fourth-order p.
[[nodiscard]] bool Substitute(Polynomial& p, double a, SubstitutionRule rule);

// (1 + z)^k as a polynomial in z, k <= 4.
[[nodiscard]] Polynomial OnePlusZPower(int k);

// Rewrites a z-domain num/den in powers of z^-1 divided by the
// denominator's top coefficient, so that the denominator's constant is 1
// ("No denominator", "Transfer function not proper").
[[nodiscard]] bool ZInverseForm(Polynomial& num, Polynomial& den);
