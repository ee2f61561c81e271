#pragma once
// Small numeric routines shared by every engine: angles, vectors and
// polynomials, 5 x 5 matrices and binomial tables. All of them work in place
// on fixed arrays; nothing allocates.

#include "engine/base/MathConstants.h"
#include "engine/model/SysData.h"

inline constexpr double kTinyFloat = 1.1754944e-38;  // smallest normal float

// Four-quadrant angle of (x, y); |x| below the smallest float counts as 0.
[[nodiscard]] double ArcTanA(double x, double y);
// Four-quadrant angle of (x, y) with a guard of 1e-10 on x; (0, 0) gives 0.
[[nodiscard]] double ArcTanB(double x, double y);
// Angle wrapped into [-pi, pi).
[[nodiscard]] double WrapPi(double a);
// Angle wrapped into [-2 pi, 0].
[[nodiscard]] double WrapMinus2Pi(double a);
// a^2 + b^2.
[[nodiscard]] inline double SumSq(double a, double b)
{
  return a * a + b * b;
}
// -1, 0 or +1.
[[nodiscard]] inline int Sign(double x)
{
  return (x > 0) - (x < 0);
}
// a - b trunc(a/b): remainder with the sign of a.
[[nodiscard]] double TruncRem(double a, double b);
// 2^n for a whole n of either sign.
[[nodiscard]] double PowerOfTwo(int n);

// p[i] += x q[i] for i < n.
void ScaledAdd(double* p, const double* q, int n, double x);
// Sum of p[i] q[i] for i < n.
[[nodiscard]] double Dot(const double* p, const double* q, int n);
// Sum of p[i] for i < n.
[[nodiscard]] double VecSum(const double* p, int n);
// Sets n entries of p to value.
void Fill(double* p, int n, double value);
// Count n lowered while the top coefficient is exactly 0 (never below 1).
[[nodiscard]] int Trim(const double* p, int n);
// Trims num and den; false with "No denominator" for a zero den, or with
// message improper when num has the higher order.
[[nodiscard]] bool TrimProper(Polynomial& num, Polynomial& den, const char* improper);
// Exchanges a and b.
void Swap(double& a, double& b);
// p := p q; a product of order above 4 is "Order too high" (p unchanged).
[[nodiscard]] bool PolyProduct(Polynomial& p, const Polynomial& q);
// Index of ch in text at or after from, or the text's length.
[[nodiscard]] int FindChar(const char* text, char ch, int from);
// Deletes every ch from text in place.
void RemoveChar(char* text, char ch);

// Square matrices of order n <= 5, row by row with a row stride of 5.
struct Matrix5 {
  double m[5][5] = {};
};

// out := I of order n.
void Identity(Matrix5& out, int n);
// out := x (M v).
void MatVecScaled(const Matrix5& M, const double* v, int n, double x, double* out);
// out := A B (out may not alias A or B).
void MatMul(const Matrix5& A, const Matrix5& B, int n, Matrix5& out);
// out := I + x A B (out may not alias A or B).
void IdentityPlusScaledProduct(const Matrix5& A, const Matrix5& B, int n, double x, Matrix5& out);
// A := A + x I.
void AddDiagonal(Matrix5& A, int n, double x);

// C(n, k) for 0 <= k <= n <= 4, negated when negateOdd is set and k is odd.
[[nodiscard]] double Binomial(int n, int k, bool negateOdd = false);
// row[0..n] := C(n, 0..n) for n <= 4.
void BinomialRow(int n, double* row);
