#pragma once
// The part of the loop model a user defines and a design session keeps:
// the four transfer-function texts, gain, delay, sample-hold time, the two
// nonlinearity texts, the parameters a..d and the transform stores with
// their flags. Everything else in SYSDATA is derived from these (decoded
// polynomials, kind, compiled nonlinearities), belongs to a domain window
// (loop switches, initial conditions) or is a display option.

#include "engine/model/SysData.h"

struct LoopDefinition {
  struct Store {
    TfText num = {};
    TfText den = {};
    bool transformed = false;
    bool changedSinceTransform = false;
  };
  TfText num[2] = {};
  TfText den[2] = {};
  double gain = 0.0;
  double delay = 0.0;
  double sampleHold = 0.0;
  TfText fwdNl = {};
  TfText fbkNl = {};
  double parameters[4] = {};
  Store store[2];
  bool delayChanged = false;
};

// The definition of s, with the user parameters of the running program.
LoopDefinition DefinitionOf(const SYSDATA& s);

// Writes d into s and the user parameters, then derives the whole loop
// again as the transfer-function editor's OK does (problems of the loop are
// left for the windows to report).
void ApplyDefinition(const LoopDefinition& d, SYSDATA& s);

// True when every text is equal and every number has the same bits (so that
// -0 differs from 0: a restored definition is the very one kept).
bool SameDefinition(const LoopDefinition& a, const LoopDefinition& b);
