#include "expr/EvalContext.h"

#include "expr/MemoryFunctions.h"

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

EvalContext EvalContextOf(const SYSDATA& s)
{
  EvalContext c;
  c.domain = s.activeDomain;
  c.kind = s.kind;
  c.sampleHold = s.sampleHold;
  return c;
}

EvalScope::EvalScope(const EvalContext& ctx) : prev_(evalcontext_detail::current)
{
  evalcontext_detail::current = &ctx;
}

EvalScope::~EvalScope() { evalcontext_detail::current = prev_; }

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
