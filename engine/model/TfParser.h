#pragma once
// The transfer-function text parser: a numerator or denominator text such as
// "1+0.5s", "(s+1)(s^2+1.4s+6)", "a(s+b)" or "[2*pi]s^2+1" becomes an
// expanded polynomial or a set of roots with a gain. Every failure records
// one message with SetError; the destination keeps what was built before it.

#include "engine/model/SysData.h"

// Room of the working copy: at most 148 characters survive pre-evaluation;
// the rest is room for the last inserted number.
inline constexpr int kWorkLimit = 148;
inline constexpr int kWorkSize = 176;
using WorkText = char[kWorkSize];

// Copies src into out with the parameters a..d and every bracketed
// expression [..] replaced by its value. A source longer than 79 characters
// or a result longer than 148 is "Expression too long".
[[nodiscard]] bool PreEval(const char* src, WorkText& out);

// While one exists, pre-evaluation writes the values with 17 significant
// figures instead of the texts' four, so that a sweep over a parameter
// decodes the loop at each of its values exactly. Scopes nest.
class ExactPreEval {
public:
  ExactPreEval();
  ~ExactPreEval();
  ExactPreEval(const ExactPreEval&) = delete;
  ExactPreEval& operator=(const ExactPreEval&) = delete;
};

// Multiplies dest by the polynomial that text describes. Letters met fix
// s.currentVariable. dest is [1], count 1, for a fresh decode.
[[nodiscard]] bool PolyDecode(SYSDATA& s, const char* text, Polynomial& dest);

// Appends the roots of every factor of text to dest and multiplies gain by
// the factors' leading coefficients.
[[nodiscard]] bool RootDecode(SYSDATA& s, const char* text, RootSet& dest, double& gain);

// Decodes element j of s in factored form into the loop's root sets: the
// numerator's roots and gain into numRoots and rootGain, the denominator's
// roots into denRoots with rootGain divided by their gain ("Coefficient too
// small" when that gain is 1e-20 or less in magnitude).
[[nodiscard]] bool DecodeElementFactored(SYSDATA& s, int j);
