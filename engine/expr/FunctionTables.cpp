#include "engine/expr/FunctionTables.h"

#include "engine/expr/MathFunctions.h"
#include "engine/expr/MemoryFunctions.h"
#include "engine/expr/SignalFunctions.h"

#include <algorithm>

using namespace builtin;

const UnaryEntry kUnaryTable[kUnaryCount] = {
    {"abs", Abs, 6},     {"acs", Acs, 6},   {"asn", Asn, 6},     {"atn", Atn, 6},         {"cos", Cos, 6},
    {"db", Db, 6},       {"deg", Deg, 6},   {"diff", Diff, 6},   {"exp", Exp, 6},         {"gauss", Gauss, 6},
    {"idb", Idb, 6},     {"imp", Imp, 6},   {"integ", Integ, 6}, {"ln", Ln, 6},           {"log", Log, 6},
    {"max", Max, 6},     {"min", Min, 6},   {"neg", Neg, 6},     {"prbs", Prbs, 6},       {"rad", Rad, 6},
    {"relay", Relay, 6}, {"sgn", Sgn, 6},   {"sin", Sin, 6},     {"sqrt", Sqrt, 6},       {"sqwave", Sqwave, 6},
    {"tan", Tan, 6},     {"tmax", Tmax, 6}, {"tmin", Tmin, 6},   {"triwave", Triwave, 6}, {"tzero", Tzero, 6},
};

const BinaryEntry kBinaryTable[kBinaryCount] = {
    {"(", Bracket, 0},   {")", Bracket, 0}, {"*", Mul, 4},     {"+", Add, 3},   {",", Bracket, 0},
    {"-", Sub, 3},       {"/", Div, 4},     {"^", Power, 5},   {"arg", Arg, 6}, {"clip", Clip, 6},
    {"dzone", Dzone, 6}, {"hyst", Hyst, 6}, {"mag", Mag, 6},   {"mod", Mod, 6}, {"pulse", Pulse, 6},
    {"quant", Quant, 6}, {"sum", Sum, 6},   {"tset", Tset, 6},
};

namespace {
template <typename Entry, int N>
int Find(const Entry (&table)[N], std::string_view name)
{
  const Entry* end = table + N;
  const Entry* it = std::lower_bound(table, end, name, [](const Entry& e, std::string_view n) { return e.name < n; });
  return (it != end && it->name == name) ? static_cast<int>(it - table) : -1;
}
}  // namespace

int FindUnary(std::string_view name)
{
  return Find(kUnaryTable, name);
}
int FindBinary(std::string_view name)
{
  return Find(kBinaryTable, name);
}
