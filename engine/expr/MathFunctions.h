#pragma once
// The arithmetic and mathematics built-ins of the expression language:
// stateless, usable in every domain. Faults of the mathematics library are
// reported as the library's error hook reports them (MathFault.h).

namespace builtin {

// The smallest and largest normal single-precision numbers: the results of
// the guards of division, exp and db.
inline constexpr double kFloatMin = 1.1754943508222875e-38;
inline constexpr double kFloatMax = 3.4028234663852886e+38;

double Add(double l, double r);
double Sub(double l, double r);
double Mul(double l, double r);
// l / r; "Division by zero" and +-kFloatMin (sign of r, +0 counts positive)
// when abs(r) < kFloatMin.
double Div(double l, double r);
// pow(l, r) with the library's faults: negative base with a fractional
// exponent, zero to a negative power, overflow, underflow.
double Power(double l, double r);
// l + r.
double Sum(double l, double r);
// sqrt(l*l + r*r), without overflow of the squares.
double Mag(double l, double r);
// Angle of the point (l, r) in (-pi, pi]; arg(0, y) is pi/2 for y > 0, else -pi/2.
double Arg(double l, double r);
// l - r*n with n = l/r truncated toward zero; fmod beyond the 32-bit range of
// n, "Division by zero" and 0 for r = 0.
double Mod(double l, double r);
// The value of a bracket or separator code: never part of a valid program.
double Bracket(double l, double r);

double Neg(double x);
double Abs(double x);
double Sqrt(double x);
double Sin(double x);
double Cos(double x);
double Tan(double x);
double Acs(double x);
double Asn(double x);
double Atn(double x);
double Ln(double x);
double Log(double x);
// e^x; "Too big" and kFloatMax when x > 88.
double Exp(double x);
// 20*log10(x); "Function range" and -kFloatMin when x < 0.
double Db(double x);
// 10^(x*0.05).
double Idb(double x);
double Deg(double x);
double Rad(double x);
double Sgn(double x);
// x times a sum of 12 uniform integers 0..32767, centred and scaled to a
// standard deviation of about x.
double Gauss(double x);

// The program's own generator of uniform integers 0..32767 (never seeded:
// the sequence continues through the whole run).
int RandomInt();

}  // namespace builtin
