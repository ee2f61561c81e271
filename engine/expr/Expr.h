#pragma once
// The expression language: compile a text once, evaluate it often.

#include "engine/expr/CompiledExpr.h"

// Compiles the NUL-terminated text into e, whose variable names are already
// bound. True on success; otherwise the shared error holds the message
// (an empty text fails without one).
[[nodiscard]] bool parse(const char* text, CompiledExpr& e);

// Runs the program of e with the current values of its variables and
// returns the top of the stack. Built-in functions may set the shared error.
double eval(CompiledExpr& e);

// Parses text as an expression without variables and evaluates it; 0.0 when
// parsing fails (the error is then pending, except for an empty text).
double EvalConstant(const char* text);

// True when the last parse() compiled a call of hyst.
[[nodiscard]] bool UsesHyst();
