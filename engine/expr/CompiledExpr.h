#pragma once
// The compiled form of one expression: variable bindings, postfix code and
// value slots. Compiled once by parse(), evaluated by eval() without
// allocation.

#include <cstdint>

using TokenCode = std::uint8_t;

inline constexpr int kMaxBindings = 5;  // variables an expression may bind
inline constexpr int kCodeSize = 64;    // one-byte codes, 255 ends the program
inline constexpr int kValueSlots = 40;  // constants, variables, then literals
inline constexpr int kNameSize = 8;     // 7 characters plus terminator
inline constexpr TokenCode kEndCode = 255;

// Code ranges: an operand is the index of a value slot; a unary function is
// kUnaryBase + its index in the unary table; a binary operator or
// two-argument function is kBinaryBase + its index in the binary table.
inline constexpr TokenCode kUnaryBase = 64;
inline constexpr TokenCode kBinaryBase = 128;

struct VarBinding {
  char name[kNameSize] = {};
  double value = 0.0;
};

struct CompiledExpr {
  VarBinding vars[kMaxBindings];
  int varCount = 0;
  TokenCode code[kCodeSize] = {kEndCode};
  double values[kValueSlots] = {};
  int firstVarSlot = 0;  // the length of the constant table at parse time
};

// Class of a code: 0 operand, 1 unary function, 2 binary operator or
// two-argument function (the end code counts as class 2).
constexpr int CodeClass(TokenCode c)
{
  return c < kUnaryBase ? 0 : (c < kBinaryBase ? 1 : 2);
}

// Fills the variable table of e with the given names (lower case, at most
// kMaxBindings, each at most 7 characters) and leaves an empty program.
void BindVariables(CompiledExpr& e, const char* const* names, int count);
