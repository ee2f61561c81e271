#include "time/LoopElements.h"

#include "model/Error.h"

#include <algorithm>

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

}  // namespace

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
  if (first) {
    y += eq.y0;
  } else {
    for (int i = 1; i < eq.na; ++i)  // a[0] = 1 belongs to the output being computed
      y -= eq.a[i] * eq.y[i];
  }
  eq.y[0] = y;
  Shift(eq.u);
  Shift(eq.y);
  return y;
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
