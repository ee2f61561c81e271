#include "engine/expr/MathFault.h"

#include "engine/base/Error.h"

#include <cmath>
#include <limits>

double MathFaultResult(MathFault f)
{
  switch (f) {
    case MathFault::Domain:
    case MathFault::Singularity:
      SetError("Function range");
      return 0.0;
    case MathFault::Overflow:
      SetError("Too big");
      return std::numeric_limits<double>::max();
    case MathFault::Underflow:
      SetError("Too small");
      return 0.0;
    case MathFault::TotalLoss:
      SetError("Loss of accuracy");
      return 0.0;
  }
  return 0.0;
}

double CheckMagnitude(double r, bool exactZero)
{
  if (std::isinf(r))
    return MathFaultResult(MathFault::Overflow);
  if (std::fabs(r) < std::numeric_limits<double>::min() && !(r == 0.0 && exactZero))
    return MathFaultResult(MathFault::Underflow);
  return r;
}
