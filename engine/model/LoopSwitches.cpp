#include "engine/model/LoopSwitches.h"

LoopSwitches SwitchesFromModel(const SYSDATA& s)
{
  LoopSwitches w;
  w.compIn = s.firstElement == kCompensator;
  w.plantIn = s.lastElement == kPlant;
  return w;
}

void ApplyLoopSwitches(SYSDATA& s, ActiveDomain domain, const LoopSwitches& w)
{
  s.activeDomain = domain;
  s.strictCheck = true;
  s.firstElement = w.compIn ? kCompensator : kPlant;
  s.lastElement = w.plantIn ? kPlant : kCompensator;
  s.loop[kClosedLoop] = w.closedLoop;
  s.loop[kRefInput] = w.refInput;
  s.loop[kLoadInput] = w.loadInput;
  s.loop[kNoiseInput] = w.noiseInput;
  s.fwdNlInUse = w.fwdNl;
  s.fbkNlInUse = w.fbkNl;
}

void ToggleCompensator(LoopSwitches& w)
{
  w.compIn = !w.compIn;
  if (!w.compIn && !w.plantIn)
    w.plantIn = true;
}

void TogglePlant(LoopSwitches& w)
{
  w.plantIn = !w.plantIn;
  if (!w.compIn && !w.plantIn)
    w.compIn = true;
}
