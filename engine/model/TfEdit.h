#pragma once
// What the transfer-function editor does to the loop model, without
// windows: the edited texts decoded into their element, whether the s-to-z
// transforms apply, the rewriting of the texts in another form, and the end
// of an edit (OK keeps the texts, Cancel puts the model back as the editor
// found it).

#include "engine/model/SysData.h"

// The text of an element that a message belongs to.
enum class TfSide { Numerator, Denominator };

// Copies num and den into element elem's texts and decodes that element
// alone as the time domain does, putting the model's active domain and
// element range back afterwards: the element's polynomials and variable
// then reflect the texts. Any earlier pending error is dropped first. False
// with the message pending and side set to the text at fault; a text of
// more than 79 characters is "Expression too long" and is not copied (it
// is never cut).
[[nodiscard]] bool DecodeEditedElement(SYSDATA& s, int elem, const char* num, const char* den, TfSide& side);

// The s-to-z transforms apply to an element decoded in s while the loop has
// a sample-hold time above 1e-10.
[[nodiscard]] bool TransformsApply(const SYSDATA& s, int elem);

enum class Manipulation { Evaluate = 0, Polynomial = 1, BodeForm = 2, PoleZeroForm = 3 };

// Rewrites the texts of element elem, decoded just before, in the form m:
// parameters and bracketed expressions replaced by numbers, the expanded
// polynomial, time-constant factors (the static gain in front) or root
// factors (the ratio of the leading coefficients in front). num and den
// receive the element's texts with the checked ones rewritten; after an
// error they are left alone. Messages: the parser's and root finder's,
// "Expression too long" when a new text would not fit in 79 characters,
// "Coefficient too small" for a Bode-form denominator without a
// coefficient of 1e-10 or more.
[[nodiscard]] bool ManipulateElement(SYSDATA& s, int elem, Manipulation m, bool doNum, bool doDen, TfText& num,
                                     TfText& den);

// OK: derives the whole loop again with the domain and element range the
// windows left, so that the diagram sizes the plant block by the kind of
// the edited loop (problems of the loop are left for the windows to
// report), and turns the strict check on again.
void EndEditAccepted(SYSDATA& s);
