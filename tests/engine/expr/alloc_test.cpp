// eval() must not allocate: this file replaces the global allocation
// functions of the test program with counting ones.

#include "tests/engine/expr/ExprTestSupport.h"

#include "engine/expr/EvalContext.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
volatile double gSink = 0.0;  // keeps the evaluated values alive
int* volatile gEscape = nullptr;
}  // namespace

void* operator new(std::size_t n)
{
  ++gAllocations;
  if (void* p = std::malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}

namespace {

TEST_F(ExprTest, EvalAndParseAllocateNothing)
{
  static const char* const kNames[] = {"t", "y", "u", "r", "e"};
  const char* texts[] = {
      "sin(t)+0.5*sqwave(2*t)",
      "integ(e*e)+max(y)+tset(y,0.02)+prbs(7)+gauss(0.1)+hyst(u,0.2)",
      "sqrt(-1)+1/0+ln(0)+exp(100)",  // faults set the error record only
      "clip(dzone(r,0.1),2)^2-quant(y,0.05)*triwave(t)",
  };
  EvalContext ctx;
  ctx.sampleHold = 0.1;
  ctx.timeStep = 0.01;
  const EvalScope scope(ctx);
  for (const char* text : texts) {
    CompiledExpr e;
    BindVariables(e, kNames, 5);
    ClearError();
    const long before = gAllocations.load();
    ASSERT_TRUE(parse(text, e)) << text;
    double sum = 0.0;
    for (int k = 0; k < 200; ++k) {
      ctx.restart = k == 0;
      ctx.time = k * 0.01;
      e.vars[0].value = k * 0.01;
      sum += eval(e);
    }
    EXPECT_EQ(gAllocations.load() - before, 0) << text;
    gSink = sum;
  }
}

TEST(CountingAllocator, SeesAllocations)
{
  const long before = gAllocations.load();
  gEscape = new int(3);  // through a volatile pointer: not elided
  delete gEscape;
  EXPECT_EQ(gAllocations.load() - before, 1);
}

}  // namespace
