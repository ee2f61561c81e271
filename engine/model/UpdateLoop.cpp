#include "engine/model/UpdateLoop.h"

#include "engine/base/Error.h"
#include "engine/model/Discrete.h"
#include "engine/model/Roots.h"
#include "engine/model/TfParser.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

// Sets the element variables from the ones found while decoding and decides
// the kind of loop.
SystemKind Classify(SYSDATA& s)
{
  const bool plantIn = s.lastElement == kPlant;
  const bool compIn = s.firstElement == kCompensator;
  char& vc = s.variable[kCompensator];
  char& vp = s.variable[kPlant];
  SystemKind kind = SystemKind::Continuous;

  if (plantIn && vp == 'z') {
    kind = SystemKind::Discrete;
    if (compIn) {
      if (vc == ' ')
        vc = 'z';
      else if (vc == 's')
        SetError("Discrete plant must have discrete controller");
    }
  }
  if (compIn && vc == 'z') {
    kind = SystemKind::Discrete;
    if (plantIn) {
      if (vp == ' ')
        vp = 'z';
      if (vp == 's') {
        if (s.sampleHold > 0)
          kind = SystemKind::SampledData;
        else
          SetError("Discrete controller must have non-zero sample/Hold time");
      }
    }
  }
  if (kind == SystemKind::Continuous) {
    if (plantIn && vp == ' ')
      vp = 's';
    if (s.sampleHold > 0) {
      kind = SystemKind::SampledData;
      if (compIn) {
        if (vc == ' ')
          vc = 'z';
        else if (vc == 's' && s.strictCheck)
          SetError("Continuous controller must have zero sample/Hold time");
      }
    } else if (compIn && vc == ' ') {
      vc = 's';
    }
  }

  if (ErrorPending()) {
    kind = SystemKind::Invalid;
    s.numRoots.n = 0;
    s.denRoots.n = 0;
    if (!s.strictCheck)
      ClearError();
  }
  return kind;
}

// Decodes the texts of the elements in the loop: factored in the root
// domain, as polynomials otherwise. Each element's variable is the letter
// its texts used (' ' for constants).
bool DecodeElements(SYSDATA& s, ElementDecode* memo)
{
  for (int j = s.firstElement; j <= s.lastElement && j < 2; ++j) {
    if (memo && memo[j].reuse && s.activeDomain != ActiveDomain::Root) {
      s.numPoly[j] = memo[j].num;
      s.denPoly[j] = memo[j].den;
      s.variable[j] = memo[j].variable;
      continue;
    }
    s.currentVariable = ' ';
    const bool ok = s.activeDomain == ActiveDomain::Root
                        ? DecodeElementFactored(s, j)
                        : PolyDecode(s, s.num[j], s.numPoly[j]) && PolyDecode(s, s.den[j], s.denPoly[j]);
    if (!ok || ErrorPending())
      return false;
    if (s.currentVariable != ' ')
      s.variable[j] = s.currentVariable;
    if (memo)
      memo[j] = {s.numPoly[j], s.denPoly[j], s.variable[j], false};
  }
  return true;
}

// Root domain, sampled-data loop: the poles and zeros of the discretised
// plant (with the delay's poles at the origin), then the compensator's.
bool SampledRoots(SYSDATA& s)
{
  s.numPoly[kPlant] = Polynomial{};
  s.denPoly[kPlant] = Polynomial{};
  s.currentVariable = ' ';
  if (!PolyDecode(s, s.num[kPlant], s.numPoly[kPlant]) || !PolyDecode(s, s.den[kPlant], s.denPoly[kPlant]))
    return false;
  const int m = ZohElement(s, kPlant);
  if (m < 0)
    return false;
  s.delaySamples = m;
  Polynomial num = s.numPoly[kPlant];
  Polynomial den = s.denPoly[kPlant];
  // The set holds 4 poles: a delay whose samples do not fit beside the
  // plant's poles is refused as in the frequency domain.
  if (m + Trim(den.c, den.n) >= kMaxCoeffs + 1) {
    SetError("Delay too big");
    return false;
  }
  s.numRoots.n = 0;
  s.denRoots.n = m;
  for (int i = 0; i < m; ++i)
    s.denRoots.r[i] = Complex{};
  s.rootGain = 1.0;
  if (!FindRoots(num.c, num.n, s.rootGain, s.numRoots))
    return false;
  const int top = Trim(den.c, den.n) - 1;
  const double lead = den.c[top];
  double unused = 1.0;
  if (!FindRoots(den.c, den.n, unused, s.denRoots))
    return false;
  if (std::fabs(lead) > 1e-6)
    s.rootGain /= lead;
  if (s.firstElement != kCompensator)
    return true;
  s.currentVariable = ' ';  // the compensator has its own letter
  return DecodeElementFactored(s, kCompensator);
}

// Frequency domain, sampled-data loop, the delay apart: the discretised
// plant z^-m num/den with the factors z of den that num does not cancel
// (the held previous input of a fractional delay) taken into m, so that
// the plant keeps its own order whatever the delay.
bool SampledFrequencyDelayApart(SYSDATA& s)
{
  ZPolynomial nz, dz;
  int m = 0;
  if (!ZohTransfer(s.numPoly[kPlant], s.denPoly[kPlant], s.sampleHold, s.delay, nz, dz, m))
    return false;
  int denShift = 0, numShift = 0;
  while (denShift + 1 < dz.n && dz.c[denShift] == 0)
    ++denShift;
  while (numShift < denShift && numShift + 1 < nz.n && nz.c[numShift] == 0)
    ++numShift;
  if (nz.n - numShift > kMaxCoeffs || dz.n - denShift > kMaxCoeffs) {
    SetError("Delay too big");
    return false;
  }
  Polynomial& num = s.numPoly[kPlant];
  Polynomial& den = s.denPoly[kPlant];
  num = Polynomial{};
  den = Polynomial{};
  num.n = nz.n - numShift;
  den.n = dz.n - denShift;
  std::copy(nz.c + numShift, nz.c + nz.n, num.c);
  std::copy(dz.c + denShift, dz.c + dz.n, den.c);
  s.delaySamples = m + denShift - numShift;
  return true;
}

// Frequency domain, sampled-data loop: the discretised plant with the
// delay's z^m in its denominator.
bool SampledFrequency(SYSDATA& s, WholeSampleDelay delay)
{
  if (delay == WholeSampleDelay::Apart)
    return SampledFrequencyDelayApart(s);
  const int m = ZohElement(s, kPlant);
  if (m < 0)
    return false;
  s.delaySamples = m;
  Polynomial& den = s.denPoly[kPlant];
  if (m >= 1) {
    if (m + den.n >= kMaxCoeffs + 1) {
      SetError("Delay too big");
      return false;
    }
    for (int i = den.n - 1; i >= 0; --i)
      den.c[i + m] = den.c[i];
    for (int i = 0; i < m; ++i)
      den.c[i] = 0;
    den.n += m;
  }
  return true;
}

// Whether the engines want Gc multiplied into the plant's polynomials.
bool MergeWanted(const SYSDATA& s, SystemKind kind)
{
  if (s.firstElement != kCompensator)
    return false;
  if (s.activeDomain == ActiveDomain::Frequency)
    return s.loop[kClosedLoop] || s.loop[kRefInput];
  return s.activeDomain == ActiveDomain::Time && kind != SystemKind::SampledData && !s.fwdNlInUse &&
         !s.compInitEnabled && !s.plantInitEnabled && !s.loop[kLoadInput];
}

}  // namespace

SystemKind UpdateLoop(SYSDATA& s, WholeSampleDelay delay, ElementDecode* memo)
{
  s.compMerged = false;
  s.numRoots.n = 0;
  s.denRoots.n = 0;
  s.rootGain = 1.0;
  s.factoredDecodeDone = false;
  s.delaySamples = 0;

  for (int j = 0; j < 2; ++j) {
    s.variable[j] = ' ';
    s.numPoly[j] = Polynomial{};
    s.denPoly[j] = Polynomial{};
    if (s.num[j][0] == '\0') {
      SetError("Numerator expected");
      return s.kind = SystemKind::Invalid;
    }
  }

  if (!DecodeElements(s, memo))
    return s.kind = SystemKind::Invalid;

  s.kind = Classify(s);
  if (ErrorPending() || s.kind == SystemKind::Invalid)
    return s.kind = SystemKind::Invalid;

  if (s.kind == SystemKind::SampledData) {
    bool ok = true;
    if (s.activeDomain == ActiveDomain::Root)
      ok = SampledRoots(s);
    else if (s.activeDomain == ActiveDomain::Frequency)
      ok = SampledFrequency(s, delay);
    if (!ok || ErrorPending())
      return s.kind = SystemKind::Invalid;
  }

  if (MergeWanted(s, s.kind)) {
    if (!PolyProduct(s.numPoly[kPlant], s.numPoly[kCompensator]) ||
        !PolyProduct(s.denPoly[kPlant], s.denPoly[kCompensator]))
      return s.kind = SystemKind::Invalid;
    s.compMerged = true;
  }
  return s.kind;
}
