#include "engine/model/TfEdit.h"

#include "engine/base/Error.h"
#include "engine/model/TfFormat.h"
#include "engine/model/TfParser.h"
#include "engine/model/Toolkit.h"
#include "engine/model/UpdateLoop.h"

#include <cmath>
#include <cstring>

namespace {

bool TooLong()
{
  SetError("Expression too long");
  return false;
}

// Which text of element elem made its decoding fail: an empty numerator,
// or the numerator when it fails on its own, else the denominator. The
// pending message stays as it was.
TfSide FaultySide(SYSDATA& s, int elem)
{
  if (s.num[elem][0] == '\0')
    return TfSide::Numerator;
  char message[TError::kMaxMessage + 1];
  std::strcpy(message, ErrorMessage());
  ClearError();
  const char variable = s.currentVariable;
  s.currentVariable = ' ';
  Polynomial scratch;
  const bool numOk = PolyDecode(s, s.num[elem], scratch);
  s.currentVariable = variable;
  SetError(message);
  return numOk ? TfSide::Denominator : TfSide::Numerator;
}

// The coefficient a factored side is normalised by: the lowest power with
// magnitude 1e-10 or more (Bode form) or the highest power (pole-zero
// form); 0 when a Bode-form polynomial has no such coefficient.
double Normaliser(const Polynomial& p, bool bode)
{
  const int n = Trim(p.c, p.n);
  if (!bode)
    return p.c[n - 1];
  for (int i = 0; i < n; ++i)
    if (std::fabs(p.c[i]) >= 1e-10)
      return p.c[i];
  return 0;
}

// The element's roots afresh in the model's root sets.
bool DecodeRoots(SYSDATA& s, int elem)
{
  s.numRoots.n = 0;
  s.denRoots.n = 0;
  s.rootGain = 1.0;
  s.currentVariable = ' ';
  return DecodeElementFactored(s, elem);
}

// Bode or pole-zero form of the checked sides into num and den. With both
// sides checked the denominator is written with gain 1 and the numerator
// carries the ratio of the two normalising coefficients.
bool Factored(SYSDATA& s, int elem, bool bode, bool doNum, bool doDen, char v, TfText& num, TfText& den)
{
  double denNorm = 1.0;
  if (doDen) {
    denNorm = Normaliser(s.denPoly[elem], bode);
    if (denNorm == 0) {
      SetError("Coefficient too small");
      return false;
    }
    if (!DecodeRoots(s, elem))
      return false;
    if (!RootsToText(doNum ? 1.0 : denNorm, v, s.denRoots, bode, den, kTextSize))
      return TooLong();
  }
  if (doNum) {
    const double numNorm = Normaliser(s.numPoly[elem], bode);
    if (!DecodeRoots(s, elem))
      return false;
    if (!RootsToText(numNorm / (doDen ? denNorm : 1.0), v, s.numRoots, bode, num, kTextSize))
      return TooLong();
  }
  return true;
}

// The text with the parameters and bracketed expressions as numbers.
bool Evaluated(const char* text, TfText& out)
{
  WorkText work;
  if (!PreEval(text, work))
    return false;
  if (std::strlen(work) >= kTextSize)
    return TooLong();
  std::strcpy(out, work);
  return true;
}

bool AsPolynomial(const Polynomial& p, char v, TfText& out)
{
  return PolyToText(p.c, p.n, v, out, kTextSize) || TooLong();
}

}  // namespace

bool DecodeEditedElement(SYSDATA& s, int elem, const char* num, const char* den, TfSide& side)
{
  ClearError();
  const bool numFits = std::strlen(num) < kTextSize;
  if (!numFits || std::strlen(den) >= kTextSize) {
    side = numFits ? TfSide::Denominator : TfSide::Numerator;
    return TooLong();
  }
  SetText(s.num[elem], num);
  SetText(s.den[elem], den);
  const ActiveDomain domain = s.activeDomain;
  const std::uint8_t first = s.firstElement;
  const std::uint8_t last = s.lastElement;
  s.activeDomain = ActiveDomain::Time;
  s.firstElement = s.lastElement = static_cast<std::uint8_t>(elem);
  UpdateLoop(s);
  s.activeDomain = domain;
  s.firstElement = first;
  s.lastElement = last;
  if (!ErrorPending())
    return true;
  side = FaultySide(s, elem);
  return false;
}

bool TransformsApply(const SYSDATA& s, int elem)
{
  return s.sampleHold > 1e-10 && s.variable[elem] == 's';
}

bool ManipulateElement(SYSDATA& s, int elem, Manipulation m, bool doNum, bool doDen, TfText& num, TfText& den)
{
  TfText newNum, newDen;
  std::strcpy(newNum, s.num[elem]);
  std::strcpy(newDen, s.den[elem]);
  const char v = s.variable[elem] == ' ' ? 's' : s.variable[elem];
  bool ok = true;
  switch (m) {
    case Manipulation::Evaluate:
      ok = (!doNum || Evaluated(s.num[elem], newNum)) && (!doDen || Evaluated(s.den[elem], newDen));
      break;
    case Manipulation::Polynomial:
      ok = (!doNum || AsPolynomial(s.numPoly[elem], v, newNum)) && (!doDen || AsPolynomial(s.denPoly[elem], v, newDen));
      break;
    case Manipulation::BodeForm:
    case Manipulation::PoleZeroForm:
      ok = Factored(s, elem, m == Manipulation::BodeForm, doNum, doDen, v, newNum, newDen);
      break;
  }
  if (!ok || ErrorPending())
    return false;
  std::strcpy(num, newNum);
  std::strcpy(den, newDen);
  return true;
}

void EndEditAccepted(SYSDATA& s)
{
  s.strictCheck = false;
  UpdateLoop(s);
  ClearError();
  s.strictCheck = true;
}
