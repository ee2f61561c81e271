#include "engine/model/Loop.h"

#include "engine/base/Error.h"

#include <cstdio>
#include <cstring>

Loop DecodeLoop(const SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w, WholeSampleDelay delay)
{
  SYSDATA s = doc;
  ApplyLoopSwitches(s, domain, w);
  Loop loop;
  loop.kind = UpdateLoop(s, delay);
  loop.firstElement = s.firstElement;
  loop.lastElement = s.lastElement;
  loop.variable[0] = s.variable[0];
  loop.variable[1] = s.variable[1];
  loop.compMerged = s.compMerged;
  for (int j = 0; j < 2; ++j) {
    loop.numPoly[j] = s.numPoly[j];
    loop.denPoly[j] = s.denPoly[j];
  }
  loop.numRoots = s.numRoots;
  loop.denRoots = s.denRoots;
  loop.rootGain = s.rootGain;
  loop.gain = s.gain;
  loop.delay = s.delay;
  loop.sampleHold = s.sampleHold;
  loop.delaySamples = s.delaySamples;
  loop.compInitEnabled = s.compInitEnabled;
  loop.plantInitEnabled = s.plantInitEnabled;
  loop.initCompOutput = s.initCompOutput;
  loop.initPlantOutput = s.initPlantOutput;
  std::memcpy(loop.fwdNlText, s.fwdNlText, sizeof loop.fwdNlText);
  std::memcpy(loop.fbkNlText, s.fbkNlText, sizeof loop.fbkNlText);
  loop.noPlant = std::strcmp(doc.num[kPlant], "1") == 0 && doc.den[kPlant][0] == '\0';
  KeepFault(loop);
  return loop;
}

Loop UndecodedLoop(const SYSDATA& doc)
{
  Loop loop;
  loop.kind = doc.kind;
  loop.sampleHold = doc.sampleHold;
  std::memcpy(loop.fwdNlText, doc.fwdNlText, sizeof loop.fwdNlText);
  std::memcpy(loop.fbkNlText, doc.fbkNlText, sizeof loop.fbkNlText);
  return loop;
}

void KeepFault(Loop& loop)
{
  loop.fault.pending = ErrorPending();
  if (loop.fault.pending)
    std::snprintf(loop.fault.message, sizeof loop.fault.message, "%s", ErrorMessage());
}

bool CheckDecoded(const Loop& loop)
{
  if (!loop.fault.pending)
    return true;
  SetError(loop.fault.message);
  return false;
}

EvalContext LoopContext(const Loop& loop, ActiveDomain domain)
{
  EvalContext c;
  c.domain = domain;
  c.kind = loop.kind;
  c.sampleHold = loop.sampleHold;
  return c;
}

void RecordGo(SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w)
{
  const bool pending = ErrorPending();
  ApplyLoopSwitches(doc, domain, w);
  (void)UpdateLoop(doc);
  if (!pending)
    ClearError();
}
