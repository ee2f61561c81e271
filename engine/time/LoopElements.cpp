#include "engine/time/LoopElements.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

// Count lowered while the top coefficient is exactly 0 (never below 1).
int TrimZ(const double* c, int n)
{
  while (n > 1 && c[n - 1] == 0.0)
    --n;
  return n;
}

bool Prepare(DiffEquation& eq, const double* num, int nn, const double* den, int nd, double y0)
{
  nn = TrimZ(num, nn);
  nd = TrimZ(den, nd);
  if (nd == 1 && den[0] == 0.0) {
    SetError("No denominator");
    return false;
  }
  if (nd < nn) {
    SetError("Transfer function not proper");
    return false;
  }
  eq = DiffEquation{};
  const int n = nd - 1;
  const double an = den[n];
  for (int k = 0; k <= n; ++k) {
    eq.a[k] = den[n - k] / an;
    eq.b[k] = n - k < nn ? num[n - k] / an : 0.0;
  }
  eq.na = TrimZ(eq.a, n + 1);
  eq.nb = TrimZ(eq.b, n + 1);
  eq.y0 = y0;
  return true;
}

// Moves every entry one step back; the newest slot becomes 0. Written out:
// as a loop it becomes a call of memmove, a fifth of a simulation step.
void Shift(double (&h)[kMaxZCoeffs])
{
  static_assert(kMaxZCoeffs == 7);
  h[6] = h[5];
  h[5] = h[4];
  h[4] = h[3];
  h[3] = h[2];
  h[2] = h[1];
  h[1] = h[0];
  h[0] = 0.0;
}

// The free response f of den(d/dt) f = 0 from f = 1, f' = ... = 0 at t:
// the corner entry of e^(A t) for the companion matrix A, by scaling,
// a Taylor series and squaring.
double FreeResponse(const double* den, int n, double t)
{
  constexpr int kN = kMaxCoeffs - 1;
  double A[kN][kN] = {}, E[kN][kN] = {}, term[kN][kN] = {}, tmp[kN][kN] = {};
  double last = 0.0;  // the largest row sum is the last row's or t
  for (int i = 0; i + 1 < n; ++i)
    A[i][i + 1] = t;
  for (int j = 0; j < n; ++j) {
    A[n - 1][j] = -den[j] / den[n] * t;
    last += std::fabs(A[n - 1][j]);
  }
  double norm = std::max(last, n > 1 ? std::fabs(t) : 0.0);
  int squarings = 0;
  while (norm > 0.5 && squarings < 60) {
    norm /= 2;
    ++squarings;
  }
  const double scale = std::ldexp(1.0, -squarings);
  auto mul = [n](const double(&a)[kN][kN], const double(&b)[kN][kN], double(&c)[kN][kN]) {
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double sum = 0.0;
        for (int k = 0; k < n; ++k)
          sum += a[i][k] * b[k][j];
        c[i][j] = sum;
      }
  };
  for (int i = 0; i < n; ++i) {
    E[i][i] = term[i][i] = 1.0;
    for (int j = 0; j < n; ++j)
      A[i][j] *= scale;
  }
  for (int k = 1; k <= 16; ++k) {
    mul(term, A, tmp);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        term[i][j] = tmp[i][j] / k;
        E[i][j] += term[i][j];
      }
  }
  for (int s = 0; s < squarings; ++s) {
    mul(E, E, tmp);
    std::copy(&tmp[0][0], &tmp[0][0] + kN * kN, &E[0][0]);
  }
  return E[0][0];
}

// The next sample of the free response.
double NextFree(DiffEquation& eq)
{
  double f = 0.0;
  if (eq.freeSteps < eq.freeSeeds) {
    f = eq.freeStart[eq.freeSteps++];
  } else {
    for (int i = 1; i < eq.na; ++i)
      f -= eq.a[i] * eq.f[i];
  }
  eq.f[0] = f;
  Shift(eq.f);
  return f;
}

}  // namespace

void SetRestInitialOutput(DiffEquation& eq, const Polynomial& den, double h)
{
  const int n = Trim(den.c, den.n) - 1;
  eq.fromRest = n >= 1 && eq.y0 != 0.0;
  if (!eq.fromRest)
    return;
  eq.freeSeeds = n;
  for (int i = 0; i < n; ++i)
    eq.freeStart[i] = i == 0 ? eq.y0 : eq.y0 * FreeResponse(den.c, n, i * h);
}

bool PrepareEquation(DiffEquation& eq, const ZPolynomial& num, const ZPolynomial& den, double y0)
{
  return Prepare(eq, num.c, num.n, den.c, den.n, y0);
}

bool PrepareEquation(DiffEquation& eq, const Polynomial& num, const Polynomial& den, double y0)
{
  return Prepare(eq, num.c, num.n, den.c, den.n, y0);
}

double RestartEquation(DiffEquation& eq)
{
  std::fill(std::begin(eq.u), std::end(eq.u), 0.0);
  std::fill(std::begin(eq.y), std::end(eq.y), 0.0);
  std::fill(std::begin(eq.f), std::end(eq.f), 0.0);
  eq.freeSteps = 0;
  if (!eq.fromRest)
    std::fill(eq.y, eq.y + eq.na, eq.y0);
  return eq.y0;
}

double StepEquation(DiffEquation& eq, double x, bool inputIsOld, bool first)
{
  if (inputIsOld) {
    eq.u[0] = 0.0;
    eq.u[1] = x;
  } else {
    eq.u[0] = x;
  }
  double y = 0.0;
  for (int i = 0; i < eq.nb; ++i)
    y += eq.b[i] * eq.u[i];
  if (first && !eq.fromRest) {
    y += eq.y0;
  } else {
    for (int i = 1; i < eq.na; ++i)  // a[0] = 1 belongs to the output being computed
      y -= eq.a[i] * eq.y[i];
  }
  eq.y[0] = y;
  Shift(eq.u);
  Shift(eq.y);
  return eq.fromRest ? y + NextFree(eq) : y;
}

void DelayLine::Restart(int steps, double fill)
{
  size_ = std::clamp(steps, 0, kMaxSteps) + 1;
  pos_ = 0;
  std::fill(ring_.begin(), ring_.begin() + size_, static_cast<float>(fill));
}

double DelayLine::Pass(double x)
{
  if (size_ == 1)
    return x;  // no delay: the value comes back at once, unrounded
  ring_[static_cast<std::size_t>(pos_)] = static_cast<float>(x);
  if (++pos_ == size_)
    pos_ = 0;
  return ring_[static_cast<std::size_t>(pos_)];
}
