#include "engine/model/TfTransform.h"

#include "engine/base/Error.h"
#include "engine/model/TfFormat.h"
#include "engine/model/TfParser.h"
#include "engine/model/TfStore.h"
#include "engine/model/Toolkit.h"

#include <cstdio>
#include <cstring>

namespace {

ZPolynomial Widen(const Polynomial& p)
{
  ZPolynomial z;
  z.n = p.n;
  for (int i = 0; i < p.n; ++i)
    z.c[i] = p.c[i];
  return z;
}

// z^k times p.
void ShiftUp(ZPolynomial& p, int k)
{
  for (int i = p.n - 1; i >= 0; --i)
    p.c[i + k] = p.c[i];
  for (int i = 0; i < k; ++i)
    p.c[i] = 0;
  p.n += k;
}

bool Written(bool ok)
{
  if (!ok)
    SetError("Expression too long");
  return ok;
}

// side := text when it fits a transfer-function text ("Expression too long"
// otherwise, side unchanged).
bool ReplaceSide(char* side, const char* text)
{
  if (!Written(std::strlen(text) < kTextSize))
    return false;
  std::strcpy(side, text);
  return true;
}

// side := factor times side, written as the editor writes it: the factor
// alone for a side "1", otherwise "(factor)(side)" or "(factor)side".
bool PrefixFactor(char* side, const char* factor, bool sideIsConstant)
{
  char text[2 * kTextSize + 8];
  if (std::strcmp(side, "1") == 0)
    std::snprintf(text, sizeof text, "%s", factor);
  else if (sideIsConstant)
    std::snprintf(text, sizeof text, "(%s)%s", factor, side);
  else
    std::snprintf(text, sizeof text, "(%s)(%s)", factor, side);
  return ReplaceSide(side, text);
}

// side := side times z^k: "z^k" for a side "1", "side z^k" for a constant
// side, "z^k(side)" otherwise.
bool AppendZPower(char* side, int k, bool sideIsConstant)
{
  char factor[16];
  if (k == 1)
    std::snprintf(factor, sizeof factor, "z");
  else
    std::snprintf(factor, sizeof factor, "z^%-.1d", k);
  char text[kTextSize + 32];
  if (std::strcmp(side, "1") == 0)
    std::snprintf(text, sizeof text, "%s", factor);
  else if (sideIsConstant)
    std::snprintf(text, sizeof text, "%s%s", side, factor);
  else
    std::snprintf(text, sizeof text, "%s(%s)", factor, side);
  return ReplaceSide(side, text);
}

}  // namespace

bool TransformElement(SYSDATA& s, int elem, const char* numText, const char* denText, const TransformRequest& req,
                      TransformResult& out)
{
  out = TransformResult{};
  const double T = s.sampleHold;
  const double tau = elem == kPlant ? s.delay : 0.0;
  Polynomial num, den;
  s.currentVariable = ' ';
  if (!PolyDecode(s, numText, num) || !PolyDecode(s, denText, den))
    return false;
  const char variable = s.currentVariable;
  num.n = Trim(num.c, num.n);
  den.n = Trim(den.c, den.n);

  int k = 0;
  if (req.method == TransformMethod::Zoh) {
    if (!ZohTransfer(num, den, T, tau, out.numZ, out.denZ, k))
      return false;
    // a fractional delay adds an order, a feedthrough acting late one more:
    // a text beyond order 4 could not be read back
    if (out.numZ.n > kMaxCoeffs || out.denZ.n > kMaxCoeffs) {
      SetError("Order too high");
      return false;
    }
    out.delaySamples = k;
  } else {
    if (tau > 0) {
      SetError("Not available with delay");
      return false;
    }
    const SubstitutionRule rule = req.method == TransformMethod::Rectangular ? SubstitutionRule::Rectangular
                                  : req.method == TransformMethod::Tustin    ? SubstitutionRule::Tustin
                                                                             : SubstitutionRule::TustinPrewarp;
    double a = 0;
    if (!SubstitutionScale(rule, T, req.prewarpFreq, a) || !Substitute(num, a, rule) || !Substitute(den, a, rule))
      return false;
    out.numZ = Widen(num);
    out.denZ = Widen(den);
    if (rule == SubstitutionRule::Rectangular)
      k = num.n - den.n;
  }
  if (k >= 10) {
    SetError("Delay must be less than 10 samples");
    return false;
  }

  const bool tustin = req.method == TransformMethod::Tustin || req.method == TransformMethod::TustinPrewarp;
  if (!Written(PolyToText(out.numZ.c, out.numZ.n, 'z', out.num, kTextSize)) ||
      !Written(PolyToText(out.denZ.c, out.denZ.n, 'z', out.den, kTextSize)))
    return false;
  if (tustin && num.n != den.n) {
    // the lower-order side lost (1 + z)^v in the substitution
    const bool numLower = num.n < den.n;
    const int v = numLower ? den.n - num.n : num.n - den.n;
    const Polynomial factor = OnePlusZPower(v);
    char factorText[kTextSize];
    if (!Written(PolyToText(factor.c, factor.n, 'z', factorText, kTextSize)))
      return false;
    Polynomial& side = numLower ? num : den;
    if (!PrefixFactor(numLower ? out.num : out.den, factorText, side.n == 1))
      return false;
    if (!PolyProduct(side, factor))
      return false;
    (numLower ? out.numZ : out.denZ) = Widen(side);
  }
  if (std::strcmp(out.den, "1") == 0)
    out.den[0] = '\0';
  if (k != 0) {
    const bool onNum = k < 0;
    const int power = onNum ? -k : k;
    const ZPolynomial& side = onNum ? out.numZ : out.denZ;
    if (!AppendZPower(onNum ? out.num : out.den, power, side.n == 1))
      return false;
    // the rectangular rule's z^|k| belongs to the transfer function; the
    // zero-order hold's z^m is the whole-sample delay, kept apart
    if (req.method == TransformMethod::Rectangular)
      ShiftUp(onNum ? out.numZ : out.denZ, power);
  }
  return StoreTransform(s, elem, numText, denText, variable);
}
