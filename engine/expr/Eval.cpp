// Evaluation of compiled expressions: a tight loop over the code with a
// fixed stack and one indirect call per function code.

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/expr/FunctionTables.h"
#include "engine/expr/MathFault.h"

#include <cmath>

namespace {
constexpr int kStackSize = 20;

// A code that parse() cannot have produced: the record was not compiled.
double Problem()
{
  SetError("Problem with eval()");
  return 0.0;
}

// The result r of an operator or function on finite operands is not
// finite: the computation overflowed ("Too big", the largest double). A
// value that was not finite already (a variable that holds one) passes on.
[[gnu::noinline]] double NotFinite(double r, bool finiteOperands)
{
  return finiteOperands ? MathFaultResult(MathFault::Overflow) : r;
}
}  // namespace

double eval(CompiledExpr& e)
{
  for (int i = 0; i < e.varCount && i < kMaxBindings; ++i) {
    const int slot = e.firstVarSlot + i;
    if (slot >= 0 && slot < kValueSlots)
      e.values[slot] = e.vars[i].value;
  }
  double stack[kStackSize];
  int sp = 0;
  for (int i = 0; i < kCodeSize; ++i) {
    const TokenCode c = e.code[i];
    if (c < kUnaryBase) {
      if (c >= kValueSlots || sp == kStackSize)
        return Problem();
      stack[sp++] = e.values[c];
    } else if (c < kBinaryBase) {
      const unsigned f = c - kUnaryBase;
      if (f >= kUnaryCount || sp < 1)
        return Problem();
      const double x = stack[sp - 1];
      const double r = kUnaryTable[f].fn(x);
      stack[sp - 1] = std::isfinite(r) ? r : NotFinite(r, std::isfinite(x));
    } else if (c == kEndCode) {
      break;
    } else {
      const unsigned f = c - kBinaryBase;
      if (f >= kBinaryCount || sp < 2)
        return Problem();
      --sp;
      const double l = stack[sp - 1], x = stack[sp];
      const double r = kBinaryTable[f].fn(l, x);
      stack[sp - 1] = std::isfinite(r) ? r : NotFinite(r, std::isfinite(l) && std::isfinite(x));
    }
  }
  return sp > 0 ? stack[sp - 1] : 0.0;
}
