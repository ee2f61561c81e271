#include "engine/model/Loop.h"

#include "engine/base/Error.h"

Loop DecodeLoop(const SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w, WholeSampleDelay delay)
{
  Loop loop{doc};
  ApplyLoopSwitches(loop.model, domain, w);
  loop.kind = UpdateLoop(loop.model, delay);
  return loop;
}

void RecordGo(SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w)
{
  const bool pending = ErrorPending();
  ApplyLoopSwitches(doc, domain, w);
  (void)UpdateLoop(doc);
  if (!pending)
    ClearError();
}
