#include "engine/root/CompensatorDrag.h"

#include "engine/base/Error.h"
#include "engine/model/TfFormat.h"
#include "engine/model/TfParser.h"

#include <cmath>
#include <complex>

namespace {

// A root closer than this to the steady-state point is a factor of it.
constexpr double kAtPoint = 1e-10;

// Π(c − r) over the roots of set not at c.
std::complex<double> ProductAt(const RootSet& set, double c)
{
  std::complex<double> p = 1.0;
  for (int i = 0; i < set.n && i < kMaxRoots; ++i) {
    const std::complex<double> d(c - set.r[i].re, -set.r[i].im);
    if (std::abs(d) > kAtPoint)
      p *= d;
  }
  return p;
}

bool Decode(SYSDATA& s, const char* num, const char* den, CompensatorRoots& c)
{
  c.zeros.n = 0;
  c.poles.n = 0;
  c.gain = 1.0;
  double denGain = 1.0;
  if (!RootDecode(s, num, c.zeros, c.gain) || !RootDecode(s, den, c.poles, denGain))
    return false;
  if (!(std::fabs(denGain) > 1e-20)) {
    SetError("Coefficient too small");
    return false;
  }
  c.gain /= denGain;
  return true;
}

}  // namespace

bool DecodeCompensator(SYSDATA& s, CompensatorRoots& c)
{
  const char was = s.currentVariable;
  s.currentVariable = ' ';
  const bool ok = Decode(s, s.num[0], s.den[0], c);
  // The texts' own letter; a constant compensator takes the loop's.
  const char v = s.currentVariable != ' ' ? s.currentVariable : s.variable[0];
  c.variable = v == 'z' ? 'z' : 's';
  s.currentVariable = was;
  return ok;
}

double SteadyStateGain(const CompensatorRoots& c)
{
  const double at = c.variable == 'z' ? 1.0 : 0.0;
  return c.gain * (ProductAt(c.zeros, at) / ProductAt(c.poles, at)).real();
}

int ConjugateOf(const RootSet& set, int i)
{
  if (set.r[i].im == 0.0)
    return i;
  int best = i;
  double gap = 0.0;
  for (int j = 0; j < set.n && j < kMaxRoots; ++j) {
    const double d = std::hypot(set.r[j].re - set.r[i].re, set.r[j].im + set.r[i].im);
    if (j != i && (best == i || d < gap)) {
      best = j;
      gap = d;
    }
  }
  return best;
}

bool MovedCompensatorTexts(SYSDATA& s, const CompensatorRoots& c, bool pole, int i, double re, double im, TfText& num,
                           TfText& den)
{
  CompensatorRoots moved = c;
  RootSet& set = pole ? moved.poles : moved.zeros;
  if (i < 0 || i >= set.n || i >= kMaxRoots) {
    SetError("No such root");
    return false;
  }
  const int partner = ConjugateOf(set, i);
  if (partner == i) {
    set.r[i] = {re, 0.0};
  } else {
    set.r[i] = {re, im};
    set.r[partner] = {re, -im};
  }
  // The texts are written once with unit gain to learn the roots they
  // decode to (the printed figures round them); the gain is then the one
  // that keeps the steady-state gain with exactly those roots.
  TfText n = {}, d = {};
  if (!RootsToText(1.0, moved.variable, moved.zeros, false, n, kTextSize) ||
      !RootsToText(1.0, moved.variable, moved.poles, false, d, kTextSize)) {
    SetError("Expression too long");
    return false;
  }
  CompensatorRoots decoded;
  decoded.variable = moved.variable;
  const char was = s.currentVariable;
  s.currentVariable = ' ';
  const bool ok = Decode(s, n, d, decoded);
  s.currentVariable = was;
  if (!ok)
    return false;
  // The same factors as the unit-gain texts, so the same roots.
  const double gain = SteadyStateGain(c) / SteadyStateGain(decoded);
  if (!RootsToText(gain, moved.variable, moved.zeros, false, num, kTextSize) ||
      !RootsToText(1.0, moved.variable, moved.poles, false, den, kTextSize)) {
    SetError("Expression too long");
    return false;
  }
  return true;
}
