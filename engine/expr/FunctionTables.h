#pragma once
// The two tables that drive the tokenizer and the evaluator: the unary
// functions and the binary operators, brackets and two-argument functions,
// each sorted by name in ASCII order for binary search.

#include <string_view>

using UnaryFn = double (*)(double);
using BinaryFn = double (*)(double, double);

struct UnaryEntry {
  std::string_view name;
  UnaryFn fn;
  int priority;
};

struct BinaryEntry {
  std::string_view name;
  BinaryFn fn;
  int priority;
};

inline constexpr int kUnaryCount = 30;
inline constexpr int kBinaryCount = 18;

extern const UnaryEntry kUnaryTable[kUnaryCount];
extern const BinaryEntry kBinaryTable[kBinaryCount];

// The operator characters, in the order (ASCII) of the first entries of the
// binary table: the code of kOperators[i] is kBinaryBase + i.
inline constexpr std::string_view kOperators = "()*+,-/^";

// Codes the parser handles apart from the rest (positions in the sorted tables).
inline constexpr unsigned char kOpenCode = 128 + 0;   // "("
inline constexpr unsigned char kCloseCode = 128 + 1;  // ")"
inline constexpr unsigned char kPlusCode = 128 + 3;   // "+"
inline constexpr unsigned char kCommaCode = 128 + 4;  // ","
inline constexpr unsigned char kMinusCode = 128 + 5;  // "-"
inline constexpr unsigned char kHystCode = 128 + 11;  // hyst
inline constexpr unsigned char kNegCode = 64 + 17;    // neg

// Index of name in the unary table, or -1.
[[nodiscard]] int FindUnary(std::string_view name);
// Index of name (a word or one operator character) in the binary table, or -1.
[[nodiscard]] int FindBinary(std::string_view name);
