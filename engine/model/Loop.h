#pragma once
// The loop as one computation sees it, and the one place the frame writes the
// switches of a Go into the document.
//
// An engine never writes the document it is handed: it decodes the document
// for its domain with its window's switches into a Loop of its own and
// computes from that. Two windows can therefore compute from one document in
// any order, any number of times.

#include "engine/model/LoopSwitches.h"
#include "engine/model/SysData.h"
#include "engine/model/UpdateLoop.h"

#include <cstdint>

// The document decoded for one domain with one window's switches: what the
// engines compute from and nothing else (no texts of the elements, no
// display settings, no working state of a run; an engine keeps its
// histories and compiled nonlinearities in its own records).
struct Loop {
  SystemKind kind = SystemKind::Invalid;
  // The elements in the loop, kCompensator..kPlant, and the letter each
  // element's texts use ('s', 'z').
  std::uint8_t firstElement = kPlant;
  std::uint8_t lastElement = kPlant;
  char variable[2] = {' ', ' '};
  // Gc multiplied into the plant's polynomials (numPoly/denPoly[kPlant]).
  bool compMerged = false;
  // The elements as polynomials in ascending powers (outside the root
  // domain), or as root sets with their leading gain (the root domain).
  Polynomial numPoly[2];
  Polynomial denPoly[2];
  RootSet numRoots;
  RootSet denRoots;
  double rootGain = 1.0;
  double gain = 1.0;
  double delay = 0.0;
  double sampleHold = 0.0;
  // A sampled-data plant's whole samples of delay z^-m.
  int delaySamples = 0;
  // The elements' initial outputs and whether each one is used.
  bool compInitEnabled = false;
  bool plantInitEnabled = false;
  double initCompOutput = 0.0;
  double initPlantOutput = 0.0;
  // The nonlinearities, functions of x.
  TfText fwdNlText = "x";
  TfText fbkNlText = "x";
};

// Decodes doc for domain with the switches w (UpdateLoop on a copy): the
// kind is Invalid, with the message pending, when the texts do not decode or
// the elements do not fit together.
[[nodiscard]] Loop DecodeLoop(const SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w,
                              WholeSampleDelay delay = WholeSampleDelay::InDenominator);

// Writes the switches and the decoded kind of a window's Go into doc: what a
// new window starts with, what a saved system file holds as the elements in
// the loop, what the diagram shows and what an edited text is decoded with.
// A loop that does not decode leaves no message: the engine the Go runs
// next reports it.
void RecordGo(SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w);
