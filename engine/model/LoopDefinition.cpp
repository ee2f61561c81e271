#include "engine/model/LoopDefinition.h"

#include "engine/expr/ConstantTable.h"
#include "engine/model/TfEdit.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

bool SameBits(double a, double b)
{
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameText(const TfText& a, const TfText& b)
{
  return std::strcmp(a, b) == 0;
}

}  // namespace

LoopDefinition DefinitionOf(const SYSDATA& s)
{
  LoopDefinition d;
  for (int e = 0; e < 2; ++e) {
    SetText(d.num[e], s.num[e]);
    SetText(d.den[e], s.den[e]);
    SetText(d.store[e].num, s.stored[e].storedNum);
    SetText(d.store[e].den, s.stored[e].storedDen);
    d.store[e].transformed = s.stored[e].transformed;
  }
  d.store[kCompensator].changedSinceTransform = s.stored[kCompensator].changedSinceTransform;
  d.store[kPlant].changedSinceTransform = s.delayChanged;
  d.gain = s.gain;
  d.delay = s.delay;
  d.sampleHold = s.sampleHold;
  SetText(d.fwdNl, s.fwdNlText);
  SetText(d.fbkNl, s.fbkNlText);
  static_assert(kParameterCount == 4);
  for (int i = 0; i < kParameterCount; ++i)
    d.parameters[i] = Parameter(i);
  return d;
}

void WriteDefinition(const LoopDefinition& d, SYSDATA& s)
{
  for (int e = 0; e < 2; ++e) {
    SetText(s.num[e], d.num[e]);
    SetText(s.den[e], d.den[e]);
    SetText(s.stored[e].storedNum, d.store[e].num);
    SetText(s.stored[e].storedDen, d.store[e].den);
    s.stored[e].transformed = d.store[e].transformed;
  }
  s.stored[kCompensator].changedSinceTransform = d.store[kCompensator].changedSinceTransform;
  s.delayChanged = d.store[kPlant].changedSinceTransform;
  s.gain = d.gain;
  s.delay = d.delay;
  s.sampleHold = d.sampleHold;
  SetText(s.fwdNlText, d.fwdNl);
  SetText(s.fbkNlText, d.fbkNl);
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, d.parameters[i]);
}

void ApplyDefinition(const LoopDefinition& d, SYSDATA& s)
{
  WriteDefinition(d, s);
  EndEditAccepted(s);
}

bool SameDefinition(const LoopDefinition& a, const LoopDefinition& b)
{
  for (int e = 0; e < 2; ++e) {
    if (!SameText(a.num[e], b.num[e]) || !SameText(a.den[e], b.den[e]) || !SameText(a.store[e].num, b.store[e].num) ||
        !SameText(a.store[e].den, b.store[e].den) || a.store[e].transformed != b.store[e].transformed ||
        a.store[e].changedSinceTransform != b.store[e].changedSinceTransform)
      return false;
  }
  for (int i = 0; i < 4; ++i)
    if (!SameBits(a.parameters[i], b.parameters[i]))
      return false;
  return SameBits(a.gain, b.gain) && SameBits(a.delay, b.delay) && SameBits(a.sampleHold, b.sampleHold) &&
         SameText(a.fwdNl, b.fwdNl) && SameText(a.fbkNl, b.fbkNl);
}
