// libFuzzer target: any byte sequence given to parse() is compiled or
// refused with one of the documented messages, and a compiled program
// evaluates without leaving the record, in every domain and clock state.

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kParseMessages[] = {
    "Syntax error",     "No such operator", "Missing operand", "Missing bracket",
    "No such variable", "No such function", "Mistake",         "Too big",
};

bool KnownParseMessage(std::string_view m)
{
  for (const char* k : kParseMessages)
    if (m == k)
      return true;
  return false;
}

ModelScope& Model()
{
  static ModelScope model;
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  Model();
  // The first byte picks the variable set and the loop state; the rest,
  // NUL-terminated, is the text. Texts may be far longer than a text box.
  if (size == 0 || size > 4096)
    return 0;
  const std::uint8_t mode = data[0];
  char text[4097];
  std::memcpy(text, data + 1, size - 1);
  text[size - 1] = '\0';

  static const char* const kNames[] = {"t", "y", "u", "r", "e"};
  CompiledExpr e;
  BindVariables(e, kNames, mode % 6);
  ClearError();
  if (!parse(text, e)) {
    if (ErrorPending() && !KnownParseMessage(ErrorMessage()))
      std::abort();
    if (!ErrorPending() && text[std::strspn(text, " \t")] != '\0')
      std::abort();  // only an empty text fails without a message
    return 0;
  }
  EvalContext s;
  s.domain = static_cast<ActiveDomain>((mode >> 3) % 4);
  s.kind = (mode & 0x20) ? SystemKind::SampledData : SystemKind::Continuous;
  s.sampleHold = (mode & 0x40) ? 0.1 : 0.0;
  s.timeStep = 0.01;
  const EvalScope scope(s);
  for (int k = 0; k < 4; ++k) {
    s.restart = k == 0;
    s.time = k == 0 ? 0.0 : (k - 1) * 0.01;
    for (int i = 0; i < e.varCount; ++i)
      e.vars[i].value = k * 0.37 - 0.5;
    ClearError();
    eval(e);
    if (ErrorPending() && std::string_view(ErrorMessage()) == "Problem with eval()")
      std::abort();  // parse() produced a program eval() cannot run
  }
  ClearError();
  return 0;
}
