// The response of the loop at one frequency.

#include "engine/freq/FreqEngine.h"
#include "engine/freq/FreqLoop.h"

#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kPoleSquaredGain = 1e10;  // |G|^2 shown exactly on a pole

// atan(x) by the range reduction and rational approximation of the Cephes
// library (relative error below 2.3e-16 over the whole line).
double Atan(double x)
{
  constexpr double P0 = -8.750608600031904122785e-1, P1 = -1.615753718733365076637e1, P2 = -7.500855792314704667340e1,
                   P3 = -1.228866684490136173410e2, P4 = -6.485021904942025371773e1;
  constexpr double Q0 = 2.485846490142306297962e1, Q1 = 1.650270098316988542046e2, Q2 = 4.328810604912902668951e2,
                   Q3 = 4.853903996359136964868e2, Q4 = 1.945506571482613964425e2;
  constexpr double kTan3PiBy8 = 2.41421356237309504880;
  constexpr double kMoreBits = 6.123233995736765886130e-17;  // pi/2 - double(pi/2)
  const bool negative = x < 0;
  if (negative)
    x = -x;
  double base = 0.0, extra = 0.0;
  if (x > kTan3PiBy8) {
    base = kPi / 2;
    extra = kMoreBits;
    x = -1.0 / x;
  } else if (x > 0.66) {
    base = kPi / 4;
    extra = 0.5 * kMoreBits;
    x = (x - 1.0) / (x + 1.0);
  }
  const double z = x * x;
  const double p = (((P0 * z + P1) * z + P2) * z + P3) * z + P4;
  const double q = ((((z + Q0) * z + Q1) * z + Q2) * z + Q3) * z + Q4;
  const double r = base + (x * (z * p / q) + x + extra);
  return negative ? -r : r;
}

Complex Mul(Complex a, Complex b)
{
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// The closed-loop response when L is exactly 0 (a gain of 0, or an
// open-loop zero on the grid), where 1 + 1/L does not exist.
Complex ClosedLoopAtZeroGain(const FREQSTAT& rec, const EvalPoint& at, bool byComp, bool byLoop,
                             const ElementValue& comp)
{
  const FreqLoopModel& m = rec.model;
  // noise: 1/(1 + L); load with the compensator alone: 1/(1 + Gc)
  if (byLoop || (byComp && m.last == kCompensator))
    return {1.0, 0.0};
  if (!byComp || !m.plantApart)  // reference: L/(1 + L)
    return {0.0, 0.0};
  // load: K Gp e/(1 + Gc K Gp e), with the plant on its own
  const Complex lp = EvalElement(m, kPlant, m.plantNum, m.plantDen, at, false).value;
  const Complex gl = Mul(comp.value, lp);
  const Complex one = {1.0 + gl.re, gl.im};
  const double d = SumSq(one.re, one.im);
  if (d == 0)
    return {std::sqrt(kPoleSquaredGain), 0.0};
  return {(lp.re * one.re + lp.im * one.im) / d, (lp.im * one.re - lp.re * one.im) / d};
}

void ClosedLoop(FREQSTAT& rec, const EvalPoint& at, const ElementValue& comp, const ElementValue& last, bool wantPhase)
{
  FreqPointState& pt = rec.pt;
  const LoopSwitches& w = rec.loop;
  const bool multiply = !w.refInput && w.closedLoop && (rec.model.first == kCompensator || w.noiseInput);
  const bool byComp = multiply && w.loadInput;
  const bool byLoop = multiply && !w.loadInput;

  if (last.magSq == 0) {
    const Complex t = ClosedLoopAtZeroGain(rec, at, byComp, byLoop, comp);
    const double s = SumSq(t.re, t.im);
    pt.T = t;
    pt.closedMagSq = s;
    if (s == 0) {
      pt.P = pt.Q = std::numeric_limits<double>::quiet_NaN();
      pt.closedPhase = pt.openPhase;  // T follows L near L = 0
    } else {
      pt.P = t.re / s;
      pt.Q = -t.im / s;
      pt.closedPhase = wantPhase ? FastArcTanA(t.re, t.im) : 0.0;
    }
    return;
  }

  double P = last.inverse.re + 1.0;
  double Q = last.inverse.im;
  if (multiply) {
    const Complex by = byComp ? comp.value : pt.L;
    const Complex pq = Mul({P, Q}, by);
    P = pq.re;
    Q = pq.im;
  }
  pt.P = P;
  pt.Q = Q;
  const double s = SumSq(P, Q);
  pt.closedPhase = wantPhase ? -FastArcTanA(P, Q) : 0.0;
  if (s == 0) {  // exactly on a closed-loop pole
    const double psi = -FastArcTanA(P, Q);
    pt.closedMagSq = kPoleSquaredGain;
    pt.T = {std::sqrt(kPoleSquaredGain) * std::cos(psi), std::sqrt(kPoleSquaredGain) * std::sin(psi)};
  } else {
    pt.closedMagSq = 1.0 / s;
    pt.T = {P * pt.closedMagSq, -Q * pt.closedMagSq};
  }
}

}  // namespace

double FastArcTanA(double x, double y)
{
  if (std::fabs(x) < kTinyFloat)
    return y > 0 ? kPi / 2 : -kPi / 2;
  const double a = Atan(y / x);
  if (x < 0)
    return y >= 0 ? a + kPi : a - kPi;
  return a;
}

void ReadLoopModel(const Loop& s, FreqLoopModel& m)
{
  m.kind = s.kind;
  m.first = s.firstElement;
  m.last = s.lastElement;
  for (int j = 0; j < 2; ++j) {
    m.num[j] = s.numPoly[j];
    m.den[j] = s.denPoly[j];
  }
  m.gain = s.gain;
  m.delay = s.delay;
  m.hold = s.sampleHold;
  m.delaySamples = s.kind == SystemKind::SampledData ? s.delaySamples : 0;
  m.plantApart = false;
}

Loop DecodeFrequencyLoop(const SYSDATA& doc, const LoopSwitches& w)
{
  Loop s = DecodeLoop(doc, ActiveDomain::Frequency, w, WholeSampleDelay::Apart);
  if (s.fault.pending)
    return s;
  for (int j = s.firstElement; j <= s.lastElement && j < 2; ++j) {
    const Polynomial& den = s.denPoly[j];
    if (Trim(den.c, den.n) == 1 && den.c[0] == 0) {
      SetError("No denominator");
      s.kind = SystemKind::Invalid;
      KeepFault(s);
      break;
    }
  }
  return s;
}

EvalPoint MakeEvalPoint(const FreqLoopModel& m, double omega)
{
  EvalPoint at;
  at.continuous = m.kind == SystemKind::Continuous;
  at.omega = omega;
  if (!at.continuous) {
    at.zc = std::cos(omega * m.hold);
    at.zs = std::sin(omega * m.hold);
  }
  return at;
}

ElementValue EvalElement(const FreqLoopModel& m, int j, const Polynomial& num, const Polynomial& den,
                         const EvalPoint& at, bool wantPhase)
{
  const Complex a = EvalPolynomial(num, at);
  const Complex b = EvalPolynomial(den, at);
  const double d = SumSq(b.re, b.im);
  const bool plant = j == kPlant;
  const double tau = plant ? PlantLag(m) : 0.0;
  const bool delayed = tau != 0;
  const double lag = delayed ? at.omega * tau : 0.0;
  const double k = plant ? m.gain : 1.0;
  ElementValue e;

  if (d == 0) {
    // On a pole: a fixed large gain in the direction the numerator gives.
    e.magSq = kPoleSquaredGain * k * k;
    e.phase = ArcTanA(a.re, a.im) - ArcTanA(b.re, b.im) - lag + (k < 0 ? kPi : 0.0);
    const double g = std::sqrt(e.magSq);
    e.value = {g * std::cos(e.phase), g * std::sin(e.phase)};
    e.inverse = {e.value.re / e.magSq, -e.value.im / e.magSq};
    return e;
  }

  const Complex w = {a.re * b.re + a.im * b.im, a.im * b.re - a.re * b.im};  // a conj(b)
  const double a2 = SumSq(a.re, a.im);
  // L = k w/d and 1/L = conj(w)/(k |a|^2): two divisions that need not wait
  // for each other.
  const double kd = k / d;
  const double ika = 1.0 / (k * a2);
  e.magSq = a2 * kd * k;
  e.value = {w.re * kd, w.im * kd};
  e.inverse = {w.re * ika, -w.im * ika};
  if (delayed) {
    const double c = std::cos(lag), s = std::sin(lag);
    e.value = {e.value.re * c + e.value.im * s, e.value.im * c - e.value.re * s};
    e.inverse = {e.inverse.re * c - e.inverse.im * s, e.inverse.im * c + e.inverse.re * s};
  }
  if (wantPhase) {
    // angle(a) - angle(b), taken in one step where a conj(b) has a direction
    e.phase = (w.re == 0 && w.im == 0) ? ArcTanA(a.re, a.im) - ArcTanA(b.re, b.im) : FastArcTanA(w.re, w.im);
    e.phase += (k < 0 ? kPi : 0.0) - lag;
  }
  return e;
}

void EvaluateAt(FREQSTAT& rec, double omega)
{
  Evaluate(rec, omega, kBothPhases);
}

void Evaluate(FREQSTAT& rec, double omega, int need)
{
  const FreqLoopModel& m = rec.model;
  FreqPointState& pt = rec.pt;
  pt.omega = omega;
  const EvalPoint at = MakeEvalPoint(m, omega);

  // The compensator's own value matters when it is the loop, or for the
  // load input in closed loop; otherwise the plant element carries L.
  const bool compNeeded =
      m.first == kCompensator && (m.last == kCompensator || (rec.loop.closedLoop && rec.loop.loadInput));
  ElementValue comp, last;
  // The first point's closed-loop phase starts from the open-loop one.
  const bool openPhase = (need & kOpenPhase) != 0 || ((need & kClosedPhase) != 0 && omega <= pt.firstThreshold);
  if (compNeeded)
    comp =
        EvalElement(m, kCompensator, m.num[kCompensator], m.den[kCompensator], at, openPhase && m.last == kCompensator);
  last = m.last == kCompensator ? comp : EvalElement(m, kPlant, m.num[kPlant], m.den[kPlant], at, openPhase);

  pt.L = last.value;
  pt.openMag = std::sqrt(last.magSq);
  pt.openPhase = last.phase;
  ClosedLoop(rec, at, comp, last, (need & kClosedPhase) != 0);

  if (need == kNoPhase)
    return;
  // The delay's phase -omega tau is exact: only the rational part is
  // tracked from point to point (a delay may turn by many half turns
  // between two grid points), the delay's part moved out of the previous
  // phase.
  const double lag = m.last == kPlant ? omega * PlantLag(m) : 0.0;
  if (omega > pt.firstThreshold) {
    pt.prevOpenPhase -= lag - pt.openLag;
    TrackPhase(rec);
  } else {
    StartPhaseTracking(rec);
  }
  pt.openLag = lag;
  pt.prevOpenPhase = pt.openPhase;
  pt.prevClosedPhase = pt.closedPhase;
}
