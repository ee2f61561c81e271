#pragma once
// The named constants every expression may use: pi and the user parameters
// a, b, c, d. parse() copies their values into the expression it compiles,
// so a change takes effect at the next parse.

#include "engine/expr/CompiledExpr.h"

inline constexpr int kConstantCount = 5;   // pi, a, b, c, d
inline constexpr int kParameterCount = 4;  // a, b, c, d

struct NamedConstant {
  char name[kNameSize] = {};
  double value = 0.0;
};

// The table ends at the entry with an empty name.
struct ConstantTable {
  NamedConstant entries[kConstantCount + 1];
};

// The program's one constant table.
const ConstantTable& Constants();

// Number of entries before the empty name (the first operand code of variables).
int ConstantCount();

// Sets user parameter i (0 = a ... 3 = d); other indices are ignored.
void SetParameter(int i, double v);

// The value of user parameter i (0 = a ... 3 = d); 0.0 for other indices.
[[nodiscard]] double Parameter(int i);
