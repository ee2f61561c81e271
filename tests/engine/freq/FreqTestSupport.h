#pragma once
// Independent values for the frequency suites: the loop's transfer
// functions evaluated factor by factor in long double, and the exact
// zero-order-hold equivalent of first-order plants with a transport delay
// (modified z-transform by partial fractions), against which the engine's
// stored points and margins are measured.

#include "engine/base/Error.h"
#include "engine/freq/FreqEngine.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "tests/LoopTexts.h"

#include <cmath>
#include <complex>
#include <memory>

using Cld = std::complex<long double>;
inline constexpr long double kPiL = 3.141592653589793238462643383279502884L;

inline Cld Jw(long double w)
{
  return Cld(0, w);
}
inline Cld Zw(long double w, long double T)
{
  return std::polar(1.0L, w * T);
}

// Pulse transfer function of ZOH, delay tau = m T + theta and 1/(s + a), at
// z: the sum of its pulse response y[k] = s(kT - tau) - s(kT - T - tau) with
// the step response s(t) = (1 - e^(-a t))/a.
inline Cld ZohFirstOrder(long double a, long double T, long double tau, Cld z)
{
  const long double m = std::floor(tau / T + 1e-9L);
  const long double theta = tau - m * T;
  const long double p = std::exp(-a * T);
  const long double c1 = (1 - std::exp(-a * (T - theta))) / a;
  const long double c2 = std::exp(a * theta) * (1 - p) / a;
  const Cld zi = 1.0L / z;
  return std::pow(zi, m + 1) * (c1 + c2 * p * zi / (1.0L - p * zi));
}

// A record set up as a new window on the current model.
inline std::unique_ptr<FREQSTAT> NewFreqRecord()
{
  auto rec = std::make_unique<FREQSTAT>();
  InitFreqSettings(Sys(), *rec);
  return rec;
}

// |a - b| within rel |b| + abs.
inline bool Near(long double a, long double b, long double rel, long double abs = 0)
{
  return std::fabs(a - b) <= rel * std::fabs(b) + abs;
}

// cos(2 pi k/m), exactly 0 at the quarter periods, as a sampled period of a
// describing function takes it (a relay switches there).
inline long double CosAt(int k, int m)
{
  return 4 * k % m == 0 && (4 * k / m) % 2 == 1 ? 0.0L : std::cos(2 * kPiL * k / m);
}
