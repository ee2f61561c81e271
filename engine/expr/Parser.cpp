// Compilation of expression texts: operator-precedence parsing of the
// tokens into a postfix program, then a check that the program is sound.

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/Expr.h"
#include "engine/expr/FunctionTables.h"
#include "engine/expr/Tokenizer.h"

#include <algorithm>

namespace {

constexpr int kPendingSize = 20;  // operators waiting for their operands
constexpr int kTokenLimit = 60;   // tokens accepted into the code
constexpr int kStackSize = 20;    // values eval() can hold

bool gUsesHyst = false;

int Priority(TokenCode c)
{
  return CodeClass(c) == 1 ? kUnaryTable[c - kUnaryBase].priority : kBinaryTable[c - kBinaryBase].priority;
}

class Compiler {
public:
  explicit Compiler(CompiledExpr& e) : e_(e) {}

  // Translates the tokens of text into e's code; false after an error or for
  // a text without tokens.
  bool run(const char* text);

private:
  bool mistake()
  {
    SetError("Mistake");
    return false;
  }
  // Appends c to the code, keeping room for the end code.
  bool emit(TokenCode c)
  {
    if (n_ >= kCodeSize - 1)
      return mistake();
    e_.code[n_++] = c;
    return true;
  }
  bool push(TokenCode c)
  {
    if (np_ >= kPendingSize)
      return mistake();
    pending_[np_++] = c;
    return true;
  }
  // Moves pending entries to the code down to the nearest "(" (dropped).
  bool closeBracket();
  // Moves pending entries of priority at least that of op, then pushes op.
  bool binaryOperator(TokenCode op);
  bool token(const Token& t);

  CompiledExpr& e_;
  TokenCode pending_[kPendingSize] = {};
  int np_ = 0;
  int n_ = 0;
  TokenCode prev_ = kEndCode;  // the text starts as if after an operator
};

bool Compiler::closeBracket()
{
  if (np_ == 0)
    return mistake();
  while (np_ > 0) {
    const TokenCode c = pending_[--np_];
    if (c == kOpenCode)
      return true;
    if (!emit(c))
      return false;
  }
  return mistake();  // ")" or "," without its "("
}

bool Compiler::binaryOperator(TokenCode op)
{
  const int priority = Priority(op);
  while (np_ > 0 && Priority(pending_[np_ - 1]) >= priority)
    if (!emit(pending_[--np_]))
      return false;
  return push(op);
}

bool Compiler::token(const Token& t)
{
  const TokenCode c = t.code;
  const bool prefix = CodeClass(prev_) != 0 && prev_ != kCloseCode;
  if (c == kCommaCode && prev_ == kOpenCode) {
    SetError("Missing operand");
    return false;
  }
  if (CodeClass(c) == 0) {
    if (t.newLiteral)
      e_.values[c] = t.value;
    return emit(c);
  }
  if ((c == kPlusCode || c == kMinusCode) && prefix)
    return c == kMinusCode ? push(kNegCode) : true;
  if (c == kOpenCode || CodeClass(c) == 1)
    return push(c);
  if (t.twoArgCall)  // its own "(" keeps it on the stack past the ","
    return push(c) && push(kOpenCode);
  if (CodeClass(prev_) == 2 && prev_ != kCloseCode) {
    SetError("Syntax error");
    return false;
  }
  if (c == kCloseCode || c == kCommaCode)
    return closeBracket();
  return binaryOperator(c);
}

bool Compiler::run(const char* text)
{
  Tokenizer tokens(text, e_);
  bool empty = true;
  for (;;) {
    const Token t = tokens.next();
    if (np_ >= kPendingSize || n_ >= kTokenLimit)
      return mistake();
    if (t.code == kEndCode)
      break;
    empty = false;
    if (!token(t))
      return false;
    prev_ = t.code;
  }
  if (ErrorPending() || empty)
    return false;
  while (np_ > 0)
    if (!emit(pending_[--np_]))
      return false;
  e_.code[n_] = kEndCode;
  return true;
}

// Walks the code as eval() will: every function must find its operands,
// the stack must never hold more than eval() holds, and exactly one value
// must remain. Sets the hyst flag.
bool CheckPostfix(const CompiledExpr& e)
{
  int depth = 0;
  bool hyst = false;
  for (int i = 0; i < kCodeSize && e.code[i] != kEndCode; ++i) {
    const TokenCode c = e.code[i];
    switch (CodeClass(c)) {
      case 0:
        if (++depth > kStackSize)
          return false;
        break;
      case 1:
        if (depth < 1)
          return false;
        break;
      default:
        if (depth < 2)
          return false;
        --depth;
        hyst = hyst || c == kHystCode;
        break;
    }
  }
  gUsesHyst = hyst;
  return depth == 1;
}

bool Compile(const char* text, CompiledExpr& e)
{
  const ConstantTable& constants = Constants();
  const int nConst = ConstantCount();
  for (int i = 0; i < kValueSlots; ++i)
    e.values[i] = i < nConst ? constants.entries[i].value : 0.0;
  e.firstVarSlot = nConst;
  e.varCount = std::clamp(e.varCount, 0, kMaxBindings);
  e.code[0] = kEndCode;

  Compiler compiler(e);
  if (!compiler.run(text))
    return false;
  if (!CheckPostfix(e)) {
    SetError("Mistake");
    return false;
  }
  return true;
}

}  // namespace

bool parse(const char* text, CompiledExpr& e)
{
  gUsesHyst = false;
  if (ErrorPending()) {
    e.code[0] = kEndCode;
    return false;
  }
  bool ok = false;
  if (text)
    ok = Compile(text, e);
  else
    SetError("Problem with parse()");  // no text at all: a caller's fault
  if (!ok) {
    e.code[0] = kEndCode;  // a refused text leaves an empty program
    gUsesHyst = false;
  }
  return ok && !ErrorPending();
}

double EvalConstant(const char* text)
{
  CompiledExpr e;
  if (!parse(text, e))
    return 0.0;
  return eval(e);
}

bool UsesHyst()
{
  return gUsesHyst;
}
