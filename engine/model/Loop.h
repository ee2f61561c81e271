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

// The document decoded for one domain with one window's switches: the
// polynomials (or, in the root domain, the root sets and their gain) of the
// elements in the loop, the kind, the gain, delay, sample-hold time, whole
// samples of delay, initial conditions and nonlinearity texts. It is the
// engine's working record: the discrete histories and the compiled
// nonlinearities of a run live here, not in the document.
struct Loop {
  SYSDATA model;
  SystemKind kind = SystemKind::Invalid;
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
