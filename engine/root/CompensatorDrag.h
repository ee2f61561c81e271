#pragma once
// Moving one of the compensator's poles or zeros: the compensator's texts
// rewritten in pole-zero form with the root (and its conjugate) at a new
// place and the steady-state gain kept. A drag edits the design, so these
// take the document's texts; what follows a move (the windows' Go paths)
// decodes the edited document and runs the engines on the decoded loop.

#include "engine/model/SysData.h"

// The compensator's factors as decoded from its texts: gain · Π(v − zero) /
// Π(v − pole) in its variable v.
struct CompensatorRoots {
  RootSet zeros;
  RootSet poles;
  double gain = 1.0;
  char variable = 's';
};

// Decodes the compensator texts of s (element 0) into c; false with the
// error pending. The decoder's variable of s is left as it was.
[[nodiscard]] bool DecodeCompensator(SYSDATA& s, CompensatorRoots& c);

// The steady-state gain of c: at s = 0, or at z = 1 for a discrete one,
// leaving out the factors of roots there (the gain of the remaining ones).
double SteadyStateGain(const CompensatorRoots& c);

// The index of the conjugate of root i of set (i itself for a real root).
int ConjugateOf(const RootSet& set, int i);

// Writes into num and den the compensator c with root i of its poles (pole
// true) or zeros moved to re + j·im, its conjugate to re − j·im (a real root
// keeps im = 0), and the gain that keeps c's steady-state gain for the roots
// the texts decode to. False with the error pending: "Expression too long"
// when a text does not fit, or the decoder's message.
[[nodiscard]] bool MovedCompensatorTexts(SYSDATA& s, const CompensatorRoots& c, bool pole, int i, double re, double im,
                                         TfText& num, TfText& den);
