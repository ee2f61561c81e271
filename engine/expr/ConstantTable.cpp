#include "engine/expr/ConstantTable.h"

namespace {
ConstantTable gConstants{{
    {"pi", 3.141592653589793},
    {"a", 1.0},
    {"b", 1.0},
    {"c", 1.0},
    {"d", 1.0},
    {"", 0.0},
}};
constexpr int kFirstParameter = 1;  // entries[1..4] are a..d
}  // namespace

const ConstantTable& Constants()
{
  return gConstants;
}

int ConstantCount()
{
  int n = 0;
  while (n < kConstantCount && gConstants.entries[n].name[0] != '\0')
    ++n;
  return n;
}

void SetParameter(int i, double v)
{
  if (i >= 0 && i < kParameterCount)
    gConstants.entries[kFirstParameter + i].value = v;
}

double Parameter(int i)
{
  return (i >= 0 && i < kParameterCount) ? gConstants.entries[kFirstParameter + i].value : 0.0;
}
