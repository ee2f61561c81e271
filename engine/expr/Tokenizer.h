#pragma once
// Splits an expression text into token codes for the parser: names looked
// up in the function tables, the expression's variables and the constants;
// numbers given literal slots; operator characters; the end.

#include "engine/expr/CompiledExpr.h"

struct Token {
  TokenCode code = kEndCode;  // kEndCode also after an error
  bool twoArgCall = false;    // a two-argument function: its "(" follows
  bool newLiteral = false;    // a number: code is its slot, value its value
  double value = 0.0;
};

class Tokenizer {
public:
  // Reads text (NUL-terminated) with the variables of e; literals get slots
  // from the first slot after the variables.
  Tokenizer(const char* text, const CompiledExpr& e);

  // The next token; the end token at the end of the text, after an error it
  // has set, and whenever an error is pending.
  Token next();

private:
  Token fail(const char* message);
  Token name();
  Token number();
  Token punctuation(char c);

  const char* p_;
  const CompiledExpr& e_;
  int nextLiteral_;
  int depth_ = 0;              // open brackets so far
  TokenCode prev_ = kEndCode;  // as if the text followed an operator
  bool prevOperand_ = false;
};
