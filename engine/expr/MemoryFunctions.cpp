#include "engine/expr/MemoryFunctions.h"

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/MathFunctions.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace builtin {
namespace {

struct MeasureTexts {
  const char* timeOnly;
  const char* onceOnly;
};

MemoryState gMemory;

constexpr MeasureTexts kMaxTexts{"max() only available in time domain", "max() can be used once only"};
constexpr MeasureTexts kMinTexts{"min() only available in time domain", "min() can be used once only"};
constexpr MeasureTexts kTmaxTexts{"tmax() only available in time domain", "tmax() can be used once only"};
constexpr MeasureTexts kTminTexts{"tmin() only available in time domain", "tmin() can be used once only"};
constexpr MeasureTexts kDiffTexts{"diff() only available in time domain", "diff() can be used once only"};
constexpr MeasureTexts kIntegTexts{"integ() only available in time domain", "integ() can be used once only"};
constexpr MeasureTexts kTzeroTexts{"tzero() only available in time domain", "tzero() can be used once only"};
constexpr MeasureTexts kTsetTexts{"tset() only available in time domain", "tset() can be used once only"};

// The pattern every measure shares. On the restart pass the state is set
// from this call and the time of the last call put one second back, so the
// first real step, which repeats the initial time, passes the once-only
// test; a second call at the same time is refused.
template <typename Restart, typename Update>
double Measure(MeasureState& s, const MeasureTexts& texts, Restart restart, Update update)
{
  const EvalContext& ctx = CurrentEval();
  if (ctx.domain != ActiveDomain::Time) {
    SetError(texts.timeOnly);
    return 0.0;
  }
  const double t = ctx.time;
  if (ctx.restart) {
    s.lastCall = t - 1.0;
    return restart(s, t);
  }
  if (s.lastCall == t) {
    SetError(texts.onceOnly);
    return 0.0;
  }
  const double result = update(s, t, ctx.timeStep);
  s.lastCall = t;
  return result;
}

double Extreme(MeasureState& st, const MeasureTexts& texts, double x, bool larger, bool timeOf)
{
  return Measure(
      st, texts,
      [x, timeOf](MeasureState& s, double t) {
        s.value = x;
        s.at = t;
        return timeOf ? t : x;
      },
      [x, larger, timeOf](MeasureState& s, double t, double) {
        if (larger ? x > s.value : x < s.value) {
          s.value = x;
          s.at = t;
        }
        return timeOf ? s.at : s.value;
      });
}

// Maximal-length feedback taps by register length 2..9.
constexpr std::uint32_t kTapMask[10] = {0, 0, 3, 6, 12, 20, 48, 96, 142, 272};

}  // namespace

MemoryState& Memory()
{
  return gMemory;
}

double Max(double x)
{
  return Extreme(CurrentMemory().max, kMaxTexts, x, true, false);
}
double Min(double x)
{
  return Extreme(CurrentMemory().min, kMinTexts, x, false, false);
}
double Tmax(double x)
{
  return Extreme(CurrentMemory().tmax, kTmaxTexts, x, true, true);
}
double Tmin(double x)
{
  return Extreme(CurrentMemory().tmin, kTminTexts, x, false, true);
}

double Diff(double x)
{
  return Measure(
      CurrentMemory().diff, kDiffTexts,
      [x](MeasureState& s, double) {
        s.previous = x;
        return 0.0;
      },
      [x](MeasureState& s, double, double h) {
        const double d = std::fabs(h) > kFloatMin ? (x - s.previous) / h : kFloatMax;
        s.previous = x;
        return d;
      });
}

double Integ(double x)
{
  return Measure(
      CurrentMemory().integ, kIntegTexts,
      [x](MeasureState& s, double) {
        s.value = 0.0;
        s.previous = x;
        return 0.0;
      },
      [x](MeasureState& s, double, double h) {
        s.value += (x + s.previous) * h * 0.5;
        s.previous = x;
        return s.value;
      });
}

double Tzero(double x)
{
  return Measure(
      CurrentMemory().tzero, kTzeroTexts,
      [x](MeasureState& s, double) {
        s.value = 0.0;
        s.previous = x;
        s.found = false;
        return 0.0;
      },
      [x](MeasureState& s, double t, double h) {
        // Different signs mean x differs from previous: the division is safe.
        if (!s.found && Sgn(x) != Sgn(s.previous)) {
          s.value = t - h * x / (x - s.previous);
          s.found = true;
        }
        s.previous = x;
        return s.value;
      });
}

double Tset(double x, double b)
{
  return Measure(
      CurrentMemory().tset, kTsetTexts,
      [x](MeasureState& s, double) {
        s.value = 0.0;
        s.previous = x;
        return 0.0;
      },
      [x, b](MeasureState& s, double t, double h) {
        if (x > b || x < -b)
          s.value = t;
        else if (s.previous > b)
          s.value = t - (b - x) * h / (s.previous - x);
        else if (s.previous < -b)
          s.value = t - (b + x) * h / (x - s.previous);
        s.previous = x;
        return s.value;
      });
}

double Prbs(double x)
{
  const EvalContext& ctx = CurrentEval();
  if (ctx.domain != ActiveDomain::Time) {
    SetError("prbs() only available in time domain");
    return 0.0;
  }
  const double T = ctx.sampleHold;
  if (T == 0.0) {
    SetError("Set a non-zero sample-hold time to use prbs()");
    return 0.0;
  }
  const double n = std::trunc(x);
  if (!(n >= 2.0 && n <= 9.0)) {
    SetError("prbs() function argument must be between 2 and 9");
    return 0.0;
  }
  PrbsState& s = CurrentMemory().prbs;
  const double t = ctx.time;
  if (ctx.restart) {
    s.reg = 0xAAAA;
    s.bit = 1;
    s.lastShift = -T;
  } else if ((t - s.lastShift) + 0.5 * ctx.timeStep > T) {
    if (s.lastShift == t) {
      SetError("prbs() can be used once only");
      return 0.0;
    }
    s.lastShift = t;
    const int len = static_cast<int>(n);
    const std::uint32_t v = s.reg & kTapMask[len];
    s.bit = std::popcount(v & ((1u << len) - 1u)) & 1;
    s.reg = (s.reg << 1) | static_cast<std::uint32_t>(s.bit);
  }
  return s.bit == 1 ? 1.0 : -1.0;
}

double Hyst(double x, double h)
{
  h = std::fabs(h);
  double& out = CurrentMemory().hystOutput;
  if (CurrentEval().restart)
    out = x;
  const double d = x - out;
  if (d < -h)
    out = x + h;
  else if (d > h)
    out = x - h;
  return out;
}

}  // namespace builtin
