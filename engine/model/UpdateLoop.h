#pragma once
// Decoding, classification and derivation of the loop.

#include "engine/model/SysData.h"

// Decodes the transfer-function texts of s, classifies the loop, derives the
// forms the engines need and returns the system kind (Invalid after an
// error). Callers set the active domain, the element range, the loop
// switches, the nonlinearity-in-use flags and the initial conditions first.
//
// In the frequency domain a sampled-data plant's whole samples of delay
// z^-m are multiplied into its denominator (InDenominator: the closed-loop
// roots need them as poles, and a delay whose poles do not fit beside the
// plant's is refused with "Delay too big"), or left apart in delaySamples
// (Apart: the response evaluates them as e^(-j omega m T), which any number
// of samples fits).
enum class WholeSampleDelay { InDenominator, Apart };

// One element's texts as decoded (outside the root domain): its numerator
// and denominator polynomials and its variable. A caller that decodes one
// loop many times over, with only some texts changing (a sweep over a
// parameter), passes a memo of two: UpdateLoop writes each element it
// decodes into it, and takes an element marked reuse from it instead of
// decoding its texts again.
struct ElementDecode {
  Polynomial num;
  Polynomial den;
  char variable = ' ';
  bool reuse = false;
};

SystemKind UpdateLoop(SYSDATA& s, WholeSampleDelay delay = WholeSampleDelay::InDenominator,
                      ElementDecode* memo = nullptr);
