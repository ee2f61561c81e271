#pragma once
// The part of the loop model a user defines: the four transfer-function
// texts, gain, delay, sample-hold time, the two nonlinearity texts, the
// parameters a..d and the transform stores with their flags. An undo step
// keeps it and a system file holds it (with the elements in the loop and
// the initial outputs beside it). Everything else in SYSDATA is derived
// from these (decoded polynomials, kind), belongs to a domain window (loop
// switches, initial conditions) or is a display option.

#include "engine/model/SysData.h"

// The transform store of one element: the texts before an s-to-z transform
// and its flags (ElementStore's; the plant's changed-since-transform flag
// is SYSDATA::delayChanged).
struct StoredTransform {
  TfText num = {};
  TfText den = {};
  bool transformed = false;
  bool changedSinceTransform = false;
};

// The start values are those of a new document.
struct LoopDefinition {
  TfText num[2] = {"1", "1"};  // kCompensator, kPlant
  TfText den[2] = {"", ""};
  double gain = 1.0;
  double delay = 0.0;
  double sampleHold = 0.0;
  TfText fwdNl = "x";
  TfText fbkNl = "x";
  double parameters[4] = {1.0, 1.0, 1.0, 1.0};  // a, b, c, d
  StoredTransform store[2];
};

// The definition of s, with the user parameters of the running program.
LoopDefinition DefinitionOf(const SYSDATA& s);

// Writes d into s and the user parameters, and nothing else.
void WriteDefinition(const LoopDefinition& d, SYSDATA& s);

// WriteDefinition, then derives the whole loop again as the
// transfer-function editor's OK does (problems of the loop are left for the
// windows to report).
void ApplyDefinition(const LoopDefinition& d, SYSDATA& s);

// True when every text is equal and every number has the same bits (so that
// -0 differs from 0: a restored definition is the very one kept).
bool SameDefinition(const LoopDefinition& a, const LoopDefinition& b);
