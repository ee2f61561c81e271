#pragma once
// A loop as the engine suites set it up: the texts a user types, the gain,
// transport delay and sample-hold time, and the elements in the run.

#include "engine/model/LoopSwitches.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

// By default the start-up loop, the plant alone in closed loop.
struct LoopTexts {
  const char* gcNum = "1+0.5s";
  const char* gcDen = "s";
  const char* gpNum = "6";
  const char* gpDen = "(s+1)(s^2+1.4s+6)";
  double gain = 1.0;
  double delay = 0.0;
  double hold = 0.0;
  bool compIn = false;
  bool plantIn = true;
  bool closed = true;
};

// Writes the texts, gain, delay and sample-hold time into the model.
inline void WriteLoop(const LoopTexts& l)
{
  SYSDATA& s = Sys();
  SetText(s.num[kCompensator], l.gcNum);
  SetText(s.den[kCompensator], l.gcDen);
  SetText(s.num[kPlant], l.gpNum);
  SetText(s.den[kPlant], l.gpDen);
  s.gain = l.gain;
  s.delay = l.delay;
  s.sampleHold = l.hold;
}

// Takes the elements in the run and the loop mode into a record's switches.
inline void SetElements(LoopSwitches& w, const LoopTexts& l)
{
  w.compIn = l.compIn;
  w.plantIn = l.plantIn;
  w.closedLoop = l.closed;
}
