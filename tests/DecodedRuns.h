#pragma once
// The engine runs that take an evaluation context, on the document doc
// decoded as the windows decode it: one call where a test has no use for
// the decoded loop itself.

#include "engine/freq/DescribingFunction.h"
#include "engine/freq/LimitCycles.h"
#include "engine/nlin/NlinEngine.h"
#include "engine/time/TimeEngine.h"

inline bool DecodedTimeEngine(const SYSDATA& doc, TRANSTAT& st)
{
  const Loop loop = DecodeTimeLoop(doc, st);
  return TimeEngine(loop, st, LoopContext(loop, ActiveDomain::Time));
}

inline bool DecodedDescribingFunction(const SYSDATA& doc, FREQSTAT& rec)
{
  const FreqLoop loop = DecodeFreqLoop(doc, rec, FreqUse::DescribingFunction);
  return ComputeDescribingFunction(loop, rec, LoopContext(loop.loop, ActiveDomain::Frequency));
}

inline bool DecodedLimitCycles(const SYSDATA& doc, FREQSTAT& rec, LimitCycleList& out)
{
  const FreqLoop loop = DecodeFreqLoop(doc, rec, FreqUse::OpenLoop);
  return ComputeLimitCycles(loop, rec, LoopContext(loop.loop, ActiveDomain::Frequency), out);
}

inline bool DecodedCharacteristic(const SYSDATA& doc, NLINSTAT& rec)
{
  const Loop loop = DecodeNlinLoop(doc);
  return ComputeCharacteristic(loop, rec, LoopContext(loop, ActiveDomain::Nonlinear));
}
