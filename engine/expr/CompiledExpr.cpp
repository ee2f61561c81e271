#include "engine/expr/CompiledExpr.h"

#include <algorithm>
#include <cctype>

void BindVariables(CompiledExpr& e, const char* const* names, int count)
{
  e.varCount = std::clamp(count, 0, kMaxBindings);
  for (int i = 0; i < kMaxBindings; ++i) {
    VarBinding& v = e.vars[i];
    v = VarBinding{};
    const char* name = (i < e.varCount && names) ? names[i] : nullptr;
    for (int k = 0; name && name[k] && k < kNameSize - 1; ++k)
      v.name[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[k])));
  }
  e.code[0] = kEndCode;
}
