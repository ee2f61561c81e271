// Speed of the expression language: evaluation of typical programs (the
// time-domain simulation runs several per step) and compilation.

#include "engine/base/Error.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

const char* const kCostNames[] = {"t", "y", "u", "r", "e"};

// 30 codes: operands, operators and functions mixed as in a cost function.
constexpr const char* k30Codes = "sin(t)*2+0.5*sqwave(2*t)-clip(y,1)*3+abs(u-r)/e+exp(t)*cos(t)";
// 60 codes.
constexpr const char* k60Codes =
    "sin(t)*2+0.5*sqwave(2*t)-clip(y,1)*3+abs(u-r)/e+exp(-t)*cos(t)+"
    "dzone(y,0.1)*triwave(t)-mag(u,r)+sqrt(abs(e))*4-atn(y)/2+quant(u,0.01)+abs(y)";
// 80 characters.
constexpr const char* k80Chars = "sin(t)+0.5*sqwave(2*t)-clip(y,1.5)*3+abs(u-r)/e+exp(-t)*cos(2*pi*t)+dzone(e,.2)";

struct Fixture {
  Fixture() { ctx.timeStep = 0.01; }
  ModelScope model;
  EvalContext ctx;
  EvalScope scope{ctx};
};

CompiledExpr Compile(const char* text)
{
  CompiledExpr e;
  BindVariables(e, kCostNames, 5);
  if (!parse(text, e))
    std::abort();
  return e;
}

int CodeLength(const CompiledExpr& e)
{
  int n = 0;
  while (n < kCodeSize && e.code[n] != kEndCode)
    ++n;
  return n;
}

void EvalProgram(benchmark::State& state, const char* text)
{
  Fixture f;
  CompiledExpr e = Compile(text);
  double t = 0.0;
  for (auto _ : state) {
    e.vars[0].value = t;
    e.vars[1].value = 0.3;
    e.vars[2].value = 0.7;
    e.vars[3].value = 1.0;
    e.vars[4].value = 0.25;
    benchmark::DoNotOptimize(eval(e));
    t += 1e-3;
  }
  ClearError();
  state.counters["codes"] = CodeLength(e);
}

void BM_EvalTypicalInput(benchmark::State& state)
{
  EvalProgram(state, "sin(t)+0.5*sqwave(2*t)");
}
void BM_Eval30Codes(benchmark::State& state)
{
  EvalProgram(state, k30Codes);
}
void BM_Eval60Codes(benchmark::State& state)
{
  EvalProgram(state, k60Codes);
}

void BM_Parse80Chars(benchmark::State& state)
{
  Fixture f;
  CompiledExpr e;
  BindVariables(e, kCostNames, 5);
  for (auto _ : state) {
    benchmark::DoNotOptimize(parse(k80Chars, e));
    benchmark::ClobberMemory();
  }
  state.counters["chars"] = static_cast<double>(std::strlen(k80Chars));
  state.counters["codes"] = CodeLength(e);
}

void BM_ParseNumber(benchmark::State& state)
{
  Fixture f;
  for (auto _ : state)
    benchmark::DoNotOptimize(EvalConstant("2*pi"));
}

}  // namespace

BENCHMARK(BM_EvalTypicalInput);
BENCHMARK(BM_Eval30Codes);
BENCHMARK(BM_Eval60Codes);
BENCHMARK(BM_Parse80Chars);
BENCHMARK(BM_ParseNumber);
