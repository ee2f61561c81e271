#include "engine/model/Toolkit.h"

#include "engine/base/Error.h"

#include <cmath>
#include <cstring>

double ArcTanA(double x, double y)
{
  if (std::fabs(x) < kTinyFloat)
    return y > 0 ? kPi / 2 : -kPi / 2;
  double a = std::atan(y / x);
  if (x < 0)
    a += y >= 0 ? kPi : -kPi;
  return a;
}

double ArcTanB(double x, double y)
{
  if (std::fabs(x) < 1e-10)
    return Sign(y) * kPi / 2;
  double a = std::atan(y / x);
  if (x < 0)
    a += y > 0 ? kPi : -kPi;
  return a;
}

double WrapPi(double a)
{
  while (a >= kPi)
    a -= 2 * kPi;
  while (a < -kPi)
    a += 2 * kPi;
  return a;
}

double WrapMinus2Pi(double a)
{
  while (a > 0)
    a -= 2 * kPi;
  while (a < -2 * kPi)
    a += 2 * kPi;
  return a;
}

double TruncRem(double a, double b)
{
  return a - b * std::trunc(a / b);
}

double PowerOfTwo(int n)
{
  return std::ldexp(1.0, n);
}

void ScaledAdd(double* p, const double* q, int n, double x)
{
  for (int i = 0; i < n; ++i)
    p[i] += x * q[i];
}

double Dot(const double* p, const double* q, int n)
{
  double s = 0;
  for (int i = 0; i < n; ++i)
    s += p[i] * q[i];
  return s;
}

double VecSum(const double* p, int n)
{
  double s = 0;
  for (int i = 0; i < n; ++i)
    s += p[i];
  return s;
}

void Fill(double* p, int n, double value)
{
  for (int i = 0; i < n; ++i)
    p[i] = value;
}

int Trim(const double* p, int n)
{
  while (n > 1 && p[n - 1] == 0)
    --n;
  return n;
}

bool TrimProper(Polynomial& num, Polynomial& den, const char* improper)
{
  num.n = Trim(num.c, num.n);
  den.n = Trim(den.c, den.n);
  if (den.n == 1 && den.c[0] == 0) {
    SetError("No denominator");
    return false;
  }
  if (den.n < num.n) {
    SetError(improper);
    return false;
  }
  return true;
}

void Swap(double& a, double& b)
{
  const double t = a;
  a = b;
  b = t;
}

bool PolyProduct(Polynomial& p, const Polynomial& q)
{
  const int n = p.n + q.n - 1;
  if (n > kMaxCoeffs) {
    SetError("Order too high");
    return false;
  }
  double r[kMaxCoeffs] = {};
  for (int i = 0; i < p.n; ++i)
    for (int j = 0; j < q.n; ++j)
      r[i + j] += p.c[i] * q.c[j];
  std::memcpy(p.c, r, sizeof r);
  p.n = n;
  return true;
}

int FindChar(const char* text, char ch, int from)
{
  const int len = static_cast<int>(std::strlen(text));
  for (int i = from < 0 ? 0 : from; i < len; ++i)
    if (text[i] == ch)
      return i;
  return len;
}

void RemoveChar(char* text, char ch)
{
  char* w = text;
  for (const char* r = text; *r; ++r)
    if (*r != ch)
      *w++ = *r;
  *w = '\0';
}

void Identity(Matrix5& out, int n)
{
  out = Matrix5{};
  for (int i = 0; i < n; ++i)
    out.m[i][i] = 1.0;
}

void MatVecScaled(const Matrix5& M, const double* v, int n, double x, double* out)
{
  for (int i = 0; i < n; ++i)
    out[i] = x * Dot(M.m[i], v, n);
}

void MatMul(const Matrix5& A, const Matrix5& B, int n, Matrix5& out)
{
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k)
        s += A.m[i][k] * B.m[k][j];
      out.m[i][j] = s;
    }
}

void IdentityPlusScaledProduct(const Matrix5& A, const Matrix5& B, int n, double x, Matrix5& out)
{
  MatMul(A, B, n, out);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j)
      out.m[i][j] *= x;
    out.m[i][i] += 1.0;
  }
}

void AddDiagonal(Matrix5& A, int n, double x)
{
  for (int i = 0; i < n; ++i)
    A.m[i][i] += x;
}

namespace {
// Pascal's triangle up to row 4, built on first use.
struct BinomialTable {
  double c[5][5] = {};
  BinomialTable()
  {
    for (int n = 0; n < 5; ++n) {
      c[n][0] = c[n][n] = 1.0;
      for (int k = 1; k < n; ++k)
        c[n][k] = c[n - 1][k - 1] + c[n - 1][k];
    }
  }
};

const BinomialTable& Table()
{
  static const BinomialTable t;
  return t;
}
}  // namespace

double Binomial(int n, int k, bool negateOdd)
{
  if (n < 0 || n > 4 || k < 0 || k > n)
    return 0.0;
  const double v = Table().c[n][k];
  return negateOdd && (k & 1) ? -v : v;
}

void BinomialRow(int n, double* row)
{
  for (int k = 0; k <= n && k < 5; ++k)
    row[k] = Binomial(n, k);
}
