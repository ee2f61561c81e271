#pragma once
// The loop switches a domain window keeps for its own computations, and the
// one routine that copies them into a loop record before it is decoded
// (DecodeLoop and RecordGo in engine/model/Loop.h).

#include "engine/model/SysData.h"

struct LoopSwitches {
  bool closedLoop = false;
  bool compIn = false;  // the compensator is in the loop (first element 0)
  bool plantIn = true;  // the plant is in the loop (last element 1)
  bool fwdNl = false;   // forward-path nonlinearity in the loop
  bool fbkNl = false;   // feedback-path nonlinearity in the loop
  bool refInput = true;
  bool loadInput = false;
  bool noiseInput = false;
};

// The elements as the model has them: what a new window or a vanto-cli run
// starts with.
[[nodiscard]] LoopSwitches SwitchesFromModel(const SYSDATA& s);

// Copies w into s for a computation in that domain: active domain, strict
// check on, first and last element, the four loop switches and the
// nonlinearity-in-use flags. Call UpdateLoop afterwards.
void ApplyLoopSwitches(SYSDATA& s, ActiveDomain domain, const LoopSwitches& w);

// Toggles one element; taking out the last one puts the other one in, so at
// least one element is always in the loop.
void ToggleCompensator(LoopSwitches& w);
void TogglePlant(LoopSwitches& w);
