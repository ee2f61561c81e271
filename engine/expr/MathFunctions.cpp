#include "engine/expr/MathFunctions.h"

#include "engine/base/Error.h"
#include "engine/base/MathConstants.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/MathFault.h"
#include "engine/expr/MemoryFunctions.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace builtin {
namespace {
// From 2^63 on, the x87 unit refuses to reduce an angle: no significant
// digit of its position within the period is left.
constexpr double kTrigLimit = 9223372036854775808.0;

double Trig(double (*fn)(double), double x)
{
  if (std::isinf(x))
    return MathFaultResult(MathFault::Domain);
  if (std::fabs(x) >= kTrigLimit)
    return MathFaultResult(MathFault::TotalLoss);
  return fn(x);
}

double Logarithm(double (*fn)(double), double x)
{
  if (x < 0.0)
    return MathFaultResult(MathFault::Domain);
  if (x == 0.0)
    return MathFaultResult(MathFault::Singularity);
  return fn(x);
}
}  // namespace

double Add(double l, double r)
{
  return l + r;
}
double Sub(double l, double r)
{
  return l - r;
}
double Mul(double l, double r)
{
  return l * r;
}

double Div(double l, double r)
{
  if (std::fabs(r) < kFloatMin) {
    SetError("Division by zero");
    return r >= 0.0 ? kFloatMin : -kFloatMin;
  }
  return l / r;
}

double Power(double l, double r)
{
  if (!std::isfinite(l) || !std::isfinite(r))
    return std::pow(l, r);
  if (l == 0.0) {
    if (r < 0.0)
      return MathFaultResult(MathFault::Singularity);
    return std::pow(l, r);
  }
  if (l < 0.0 && r != std::trunc(r))
    return MathFaultResult(MathFault::Domain);
  return CheckMagnitude(std::pow(l, r), false);
}

double Sum(double l, double r)
{
  return l + r;
}

double Mag(double l, double r)
{
  return std::hypot(l, r);
}

double Arg(double l, double r)
{
  if (l == 0.0)
    return r > 0.0 ? kPi / 2 : -kPi / 2;
  const double a = std::atan(r / l);
  if (l > 0.0)
    return a;
  return r < 0.0 ? a - kPi : a + kPi;
}

double Mod(double l, double r)
{
  if (r == 0.0) {
    SetError("Division by zero");
    return 0.0;
  }
  const double q = std::trunc(l / r);
  if (!(std::fabs(q) <= std::numeric_limits<std::int32_t>::max()))
    return std::fmod(l, r);
  return l - r * static_cast<std::int32_t>(q);
}

double Bracket(double, double)
{
  return 0.0;
}

double Neg(double x)
{
  return -x;
}
double Abs(double x)
{
  return std::fabs(x);
}

double Sqrt(double x)
{
  if (x < 0.0)
    return MathFaultResult(MathFault::Domain);
  return std::sqrt(x);
}

double Sin(double x)
{
  return Trig(static_cast<double (*)(double)>(std::sin), x);
}
double Cos(double x)
{
  return Trig(static_cast<double (*)(double)>(std::cos), x);
}
double Tan(double x)
{
  return Trig(static_cast<double (*)(double)>(std::tan), x);
}

double Acs(double x)
{
  if (std::fabs(x) > 1.0)
    return MathFaultResult(MathFault::Domain);
  return std::acos(x);
}

double Asn(double x)
{
  if (std::fabs(x) > 1.0)
    return MathFaultResult(MathFault::Domain);
  return std::asin(x);
}

double Atn(double x)
{
  return std::atan(x);
}

double Ln(double x)
{
  return Logarithm(static_cast<double (*)(double)>(std::log), x);
}
double Log(double x)
{
  return Logarithm(static_cast<double (*)(double)>(std::log10), x);
}

double Exp(double x)
{
  if (x > 88.0) {
    SetError("Too big");
    return kFloatMax;
  }
  const double r = std::exp(x);
  return std::isinf(x) ? r : CheckMagnitude(r, false);
}

double Db(double x)
{
  if (x < 0.0) {
    SetError("Function range");
    return -kFloatMin;
  }
  return 20.0 * Log(x);  // Log(0) is the library's pole: "Function range", 0
}

double Idb(double x)
{
  return Power(10.0, x * 0.05);
}

double Deg(double x)
{
  return x * kDegPerRad;
}
double Rad(double x)
{
  return x * kRadPerDeg;
}

double Sgn(double x)
{
  if (x > 0.0)
    return 1.0;
  return x < 0.0 ? -1.0 : 0.0;
}

double Gauss(double x)
{
  long total = 0;
  for (int i = 0; i < 12; ++i)
    total += RandomInt();
  return x * static_cast<double>(total - 196602) / 32767.0;
}

int RandomInt()
{
  // A linear congruential generator of the classic C library kind: the
  // high half of the state gives 15 well-mixed bits.
  std::uint32_t& state = CurrentMemory().random;
  state = state * 22695477u + 1u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

}  // namespace builtin
