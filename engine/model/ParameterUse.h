#pragma once
// Which texts of a loop use a user parameter a..d: the parameter panel shows
// a slider only for a parameter in use, and a sweep over a parameter decodes
// again only the elements whose texts use it.

// True when an expression text uses parameter i (0 = a ... 3 = d) as a
// name of its own (not the a of "abs", not the d of "2d").
[[nodiscard]] bool TextUsesParameter(const char* text, int i);

// True when a transfer-function text uses parameter i: any letter a to d
// outside brackets stands for its parameter, a bracketed expression uses
// names as an expression does.
[[nodiscard]] bool TfTextUsesParameter(const char* text, int i);
