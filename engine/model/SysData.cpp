#include "engine/model/SysData.h"

#include <cstring>

const char* SystemKindText(SystemKind k)
{
  switch (k) {
    case SystemKind::Continuous:
      return "Continuous";
    case SystemKind::SampledData:
      return "Sampled-data";
    case SystemKind::Discrete:
      return "Discrete";
    case SystemKind::Invalid:
      break;
  }
  return "Invalid";
}

void SetText(char (&dst)[kTextSize], const char* text)
{
  std::strncpy(dst, text ? text : "", kTextSize - 1);
  dst[kTextSize - 1] = '\0';
}

void ResetDisplaySettings(SYSDATA& s)
{
  std::strcpy(s.numberFormat, kDefaultNumberFormat);
  s.pen[0] = kGreen;
  s.pen[1] = kRed;
  s.pen[2] = kBlue;
  s.pen[3] = kFuchsia;
  s.showMarkLabels = false;
}

void LoadExampleSystem(SYSDATA& s)
{
  SetText(s.num[kCompensator], "1+0.5s");
  SetText(s.den[kCompensator], "s");
  SetText(s.num[kPlant], "6");
  SetText(s.den[kPlant], "(s+1)(s^2+1.4s+6)");
  SetText(s.fwdNlText, "hyst(x,a)");
  SetText(s.fbkNlText, "quant(x,b)");
}

EvalContext EvalContextOf(const SYSDATA& s)
{
  EvalContext c;
  c.domain = s.activeDomain;
  c.kind = s.kind;
  c.sampleHold = s.sampleHold;
  return c;
}
