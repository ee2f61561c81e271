#include "engine/model/ParameterUse.h"

#include <cctype>
#include <cstring>

namespace {
// Whether [p, end) uses parameter i as a name of the expression language
// (a name of its own: not the a of "abs").
bool ExpressionUses(const char* p, const char* end, int i)
{
  const auto is = [](char c, int (*test)(int)) { return test(static_cast<unsigned char>(c)) != 0; };
  const char name = static_cast<char>('a' + i);
  while (p < end) {
    if (is(*p, std::isdigit) || *p == '.') {
      // A number with its exponent ("2e3").
      while (p < end && (is(*p, std::isalnum) || *p == '.'))
        ++p;
      continue;
    }
    if (!is(*p, std::isalpha)) {
      ++p;
      continue;
    }
    const char* start = p;
    while (p < end && (is(*p, std::isalnum) || *p == '_'))
      ++p;
    if (p - start == 1 && std::tolower(static_cast<unsigned char>(*start)) == name)
      return true;
  }
  return false;
}
}  // namespace

bool TextUsesParameter(const char* text, int i)
{
  return ExpressionUses(text, text + std::strlen(text), i);
}

bool TfTextUsesParameter(const char* text, int i)
{
  const char name = static_cast<char>('a' + i);
  for (const char* p = text; *p; ++p) {
    if (*p == '[') {
      // A bracketed expression: names of the expression language.
      const char* end = std::strchr(p, ']');
      if (!end)
        end = p + std::strlen(p);
      if (ExpressionUses(p + 1, end, i))
        return true;
      if (!*end)
        return false;
      p = end;
      continue;
    }
    // Outside brackets every letter a to d stands for its parameter.
    if (std::tolower(static_cast<unsigned char>(*p)) == name)
      return true;
  }
  return false;
}
