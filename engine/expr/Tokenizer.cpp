#include "engine/expr/Tokenizer.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/FunctionTables.h"

#include <charconv>
#include <string_view>

namespace {
char Fold(char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsLetter(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}
bool IsBlank(char c)
{
  return c == ' ' || c == '\t';
}
bool IsPunctuation(char c)
{
  return c > ' ' && c < 127 && !IsLetter(c) && !IsDigit(c);
}

TokenCode Code(int base, int index)
{
  return static_cast<TokenCode>(base + index);
}

// For a literal out of the double range: true when it is too large (rather
// than too small), judged from the decimal position of its first significant
// digit and its exponent.
bool LiteralOverflows(std::string_view text)
{
  long position = 0;
  bool significant = false;
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < text.size() && Fold(text[i]) != 'e'; ++i) {
    const char c = text[i];
    if (c == '.')
      afterPoint = true;
    else if (!significant && c == '0')
      position -= afterPoint ? 1 : 0;
    else {
      significant = true;
      position += afterPoint ? 0 : 1;
    }
  }
  long exponent = 0;
  bool negative = false;
  for (++i; i < text.size(); ++i) {
    if (text[i] == '-')
      negative = true;
    else if (IsDigit(text[i]) && exponent < 100000)
      exponent = exponent * 10 + (text[i] - '0');
  }
  return position + (negative ? -exponent : exponent) > 0;
}
}  // namespace

Tokenizer::Tokenizer(const char* text, const CompiledExpr& e)
    : p_(text ? text : ""), e_(e), nextLiteral_(e.firstVarSlot + e.varCount)
{
}

Token Tokenizer::fail(const char* message)
{
  SetError(message);
  return Token{};
}

Token Tokenizer::next()
{
  if (ErrorPending())
    return Token{};
  while (IsBlank(*p_))
    ++p_;
  const char c = Fold(*p_);
  Token t;
  if (c == '\0') {
    if (depth_ > 0)
      return fail("Missing bracket");
    return Token{};
  }
  if (IsLetter(c))
    t = name();
  else if (IsDigit(c) || c == '.')
    t = number();
  else if (IsPunctuation(c))
    t = punctuation(c);
  else
    return fail("Syntax error");
  if (ErrorPending())
    return Token{};

  const bool operand = CodeClass(t.code) == 0;
  if ((operand || CodeClass(t.code) == 1) && prevOperand_)
    return fail("Syntax error");  // no implicit multiplication
  prevOperand_ = operand;
  prev_ = t.code;
  return t;
}

Token Tokenizer::name()
{
  char folded[kNameSize];
  std::size_t len = 0;
  while (IsLetter(*p_)) {
    if (len < kNameSize)
      folded[len] = Fold(*p_);
    ++len;
    ++p_;
  }
  const char next = *p_;
  // A run longer than any table name cannot match; keep the look-up bounded.
  const std::string_view word(folded, len < kNameSize ? len : 0);

  if (const int u = FindUnary(word); u >= 0) {
    if (next != '(')
      return fail("No such variable");
    return Token{Code(kUnaryBase, u)};
  }
  if (const int b = FindBinary(word); b >= 0) {
    if (next != '(')
      return fail("No such variable");
    Token t{Code(kBinaryBase, b)};
    t.twoArgCall = true;
    return t;
  }
  auto operand = [&](int slot) {
    if (next == '(')
      return fail("No such function");
    if (IsDigit(next))
      return fail("No such variable");
    return Token{static_cast<TokenCode>(slot)};
  };
  if (!word.empty()) {
    for (int i = 0; i < e_.varCount; ++i)
      if (word == e_.vars[i].name)
        return operand(e_.firstVarSlot + i);
    const ConstantTable& constants = Constants();
    for (int i = 0; i < e_.firstVarSlot; ++i)
      if (word == constants.entries[i].name)
        return operand(i);
  }
  return fail(next == '(' ? "No such function" : "No such variable");
}

Token Tokenizer::number()
{
  const char* start = p_;
  int state = 0;
  for (;; ++p_) {
    const char c = Fold(*p_);
    if (IsDigit(c)) {
      if (state == 2)
        state = 3;
    } else if (c == '.' && state == 0) {
      state = 1;
    } else if (c == 'e' && state < 2) {
      state = 2;
    } else if ((c == '+' || c == '-') && state == 2) {
      state = 3;
    } else {
      break;
    }
  }
  const std::string_view text(start, static_cast<std::size_t>(p_ - start));
  const char last = Fold(text.back());
  if (text == "." || last == 'e' || last == '+' || last == '-')
    return fail("Syntax error");

  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (LiteralOverflows(text))
      return fail("Too big");
    value = 0.0;  // below the smallest double: the nearest value is 0
  } else if (ec != std::errc() || end != text.data() + text.size()) {
    return fail("Syntax error");  // such as ".e5": no digit before the exponent
  }
  if (nextLiteral_ >= kValueSlots)
    return fail("Mistake");  // more numbers than the record has slots
  Token t{static_cast<TokenCode>(nextLiteral_++)};
  t.newLiteral = true;
  t.value = value;
  return t;
}

Token Tokenizer::punctuation(char c)
{
  const std::size_t op = kOperators.find(c);
  if (op == std::string_view::npos)
    return fail("No such operator");
  if (c == ')' && (prev_ == kOpenCode || prev_ == kCommaCode))
    return fail("Missing operand");
  if (c == '(')
    ++depth_;
  if (c == ')' && --depth_ < 0)
    return fail("Missing bracket");
  ++p_;
  return Token{Code(kBinaryBase, static_cast<int>(op))};
}
