#pragma once
// The loop as one computation sees it, and the one place the frame writes the
// switches of a Go into the document.
//
// An engine never sees the document: each domain decodes the document with
// its window's switches into a Loop once (DecodeTimeLoop, DecodeFreqLoop,
// DecodeRootLoop, DecodeNlinLoop), and the engine computes from that Loop and
// an evaluation context. Two windows can therefore compute from one document
// in any order, any number of times.

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
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
  // The plant's texts are still "1" over nothing: no plant was entered.
  bool noPlant = false;
  // The message the decoding left when the texts did not decode or the
  // elements did not fit together (the kind is then Invalid). An engine
  // raises it again at the point of its run where the loop is needed, so
  // that a check the run makes earlier keeps its precedence.
  TError fault;
};

// Decodes doc for domain with the switches w (UpdateLoop on a copy): the
// kind is Invalid, with the message pending and kept as the loop's fault,
// when the texts do not decode or the elements do not fit together.
[[nodiscard]] Loop DecodeLoop(const SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w,
                              WholeSampleDelay delay = WholeSampleDelay::InDenominator);

// The texts and settings of doc a Loop holds without decoding the elements:
// the nonlinearities, the sample-hold time and the kind doc was last decoded
// to. What the computations that use nothing else of the loop start from.
[[nodiscard]] Loop UndecodedLoop(const SYSDATA& doc);

// Records the pending message, if any, as loop's fault (left pending).
void KeepFault(Loop& loop);
// True when loop decoded; else its fault is raised again and false.
[[nodiscard]] bool CheckDecoded(const Loop& loop);

// The context an engine run on loop evaluates in: domain, the loop's kind
// and sample-hold time, no restart, the program's memory.
[[nodiscard]] EvalContext LoopContext(const Loop& loop, ActiveDomain domain);

// Writes the switches and the decoded kind of a window's Go into doc: what a
// new window starts with, what a saved system file holds as the elements in
// the loop, what the diagram shows and what an edited text is decoded with.
// A loop that does not decode leaves no message: the engine the Go runs
// next reports it.
void RecordGo(SYSDATA& doc, ActiveDomain domain, const LoopSwitches& w);
