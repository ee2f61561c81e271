#include "engine/expr/SignalFunctions.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"

#include <cmath>

namespace builtin {
namespace {
constexpr double kInvTwoPi = 0.15915494309189535;

// Position of x within its period of 2*pi, in [0, 1).
double Phase(double x)
{
  double p = x * kInvTwoPi;
  p -= std::trunc(p);
  if (p < 0.0)
    p += 1.0;
  return p;
}
}  // namespace

double Dzone(double x, double w)
{
  w = std::fabs(w);
  if (std::fabs(x) < w)
    return 0.0;
  return x > 0.0 ? x - w : x + w;
}

double Clip(double x, double limit)
{
  limit = std::fabs(limit);
  if (std::fabs(x) < limit)
    return x;
  return x > 0.0 ? limit : -limit;
}

double Quant(double x, double q)
{
  q = std::fabs(q);
  if (q < 1e-10) {
    SetError("Too small");
    return x;
  }
  if (x < 0.0)
    x -= q;
  // The count of steps is a whole number: + 0.0 turns a truncated -0 into 0.
  const double n = std::trunc(x / q + 0.5) + 0.0;
  return n * q;
}

double Relay(double x)
{
  return x > 0.0 ? 1.0 : -1.0;
}

double Pulse(double t, double w)
{
  return (t > 0.0 && t <= w) ? 1.0 : 0.0;
}

double Sqwave(double x)
{
  return Phase(x) < 0.5 ? 1.0 : -1.0;
}

double Triwave(double x)
{
  const double p = Phase(x);
  if (p < 0.25)
    return 4.0 * p;
  if (p < 0.75)
    return 2.0 - 4.0 * p;
  return 4.0 * (p - 1.0);
}

double Imp(double x)
{
  const EvalContext& s = CurrentEval();
  if (s.domain != ActiveDomain::Time) {
    SetError("imp() only available in time domain");
    return 0.0;
  }
  if (s.kind == SystemKind::Continuous) {
    const double h = s.timeStep;
    return (x >= 0.0 && x < h) ? 1.0 / h : 0.0;
  }
  return (x >= 0.0 && x < s.sampleHold) ? 1.0 : 0.0;
}

}  // namespace builtin
