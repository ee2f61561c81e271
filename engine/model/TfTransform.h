#pragma once
// The s-to-z transform of one element as the transfer-function editor
// applies it: decode the texts, convert, keep the s texts in the store and
// write the new z texts with their extra factors.

#include "engine/model/Discrete.h"
#include "engine/model/SysData.h"

enum class TransformMethod { Zoh = 0, Rectangular = 1, Tustin = 2, TustinPrewarp = 3 };

struct TransformRequest {
  TransformMethod method = TransformMethod::Zoh;
  double prewarpFreq = 0.0;  // rad/s, for TustinPrewarp
};

struct TransformResult {
  TfText num = {};
  TfText den = {};
  // The pulse transfer function the texts describe, every factor multiplied
  // in except the whole-sample delay z^-delaySamples.
  ZPolynomial numZ;
  ZPolynomial denZ;
  int delaySamples = 0;
};

// Transforms element elem of s, whose texts are numText/denText, with the
// model's sample-hold time (and delay, for the plant) into out, and stores
// the s texts. Messages: the parser's and discretisation's, "Order too
// high" for a zero-order hold whose delay takes it beyond order 4, "Not
// available with delay", "Delay must be less than 10 samples", "Prewarping frequency
// too high", "Attemp to save G(z) in tfstore", "Expression too long" when a
// new text would not fit in 79 characters (nothing is stored then).
[[nodiscard]] bool TransformElement(SYSDATA& s, int elem, const char* numText, const char* denText,
                                    const TransformRequest& req, TransformResult& out);
