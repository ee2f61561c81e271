#include "engine/expr/EvalContext.h"

#include "engine/expr/MemoryFunctions.h"

namespace evalcontext_detail {
const EvalContext* current = nullptr;
}  // namespace evalcontext_detail

namespace {
AmbientEvalFn gAmbient = nullptr;
EvalContext gAmbientContext;
}  // namespace

const EvalContext& evalcontext_detail::Ambient()
{
  gAmbientContext = gAmbient ? gAmbient() : EvalContext{};
  return gAmbientContext;
}

EvalScope::EvalScope(const EvalContext& ctx) : prev_(evalcontext_detail::current)
{
  evalcontext_detail::current = &ctx;
}

EvalScope::~EvalScope()
{
  evalcontext_detail::current = prev_;
}

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
