#include "expr/EvalContext.h"

#include "expr/MemoryFunctions.h"

namespace {
const EvalContext* gCurrent = nullptr;
AmbientEvalFn gAmbient = nullptr;
EvalContext gAmbientContext;
}  // namespace

const EvalContext& CurrentEval()
{
  if (gCurrent)
    return *gCurrent;
  gAmbientContext = gAmbient ? gAmbient() : EvalContext{};
  return gAmbientContext;
}

builtin::MemoryState& CurrentMemory()
{
  builtin::MemoryState* m = CurrentEval().memory;
  return m ? *m : builtin::Memory();
}

EvalScope::EvalScope(const EvalContext& ctx) : prev_(gCurrent) { gCurrent = &ctx; }

EvalScope::~EvalScope() { gCurrent = prev_; }

namespace {
EvalContext Restarted(EvalContext c)
{
  c.restart = true;
  return c;
}
}  // namespace

RestartScope::RestartScope() : ctx_(Restarted(CurrentEval())), scope_(ctx_) {}

AmbientEvalFn SetAmbientEval(AmbientEvalFn fn)
{
  const AmbientEvalFn prev = gAmbient;
  gAmbient = fn;
  return prev;
}
