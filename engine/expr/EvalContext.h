#pragma once
// What the built-in functions read besides their arguments: the domain and
// kind of the loop being computed, its sample-hold time, the simulation
// clock, the restart flag and the memory of the functions that remember.
//
// An engine run owns its context and installs it with an EvalScope for as
// long as it evaluates expressions; outside any run (a number typed into a
// box, a coefficient being decoded) the built-ins read the ambient context
// that the owner of the loop document supplies.

#include "engine/base/LoopKinds.h"

namespace builtin {
struct MemoryState;
}

struct EvalContext {
  ActiveDomain domain = ActiveDomain::Time;
  SystemKind kind = SystemKind::Continuous;
  double sampleHold = 0.0;
  bool restart = false;  // the restart pass: the functions with memory start afresh
  double time = 0.0;     // the simulation clock
  double timeStep = 0.0;
  builtin::MemoryState* memory = nullptr;  // null: the program's one memory
};

namespace builtin {
// The program's one memory (engine/expr/MemoryFunctions.h).
MemoryState& Memory();
}  // namespace builtin

namespace evalcontext_detail {
extern const EvalContext* current;  // the innermost EvalScope's context
const EvalContext& Ambient();
}  // namespace evalcontext_detail

// The context the built-ins read now: the innermost EvalScope's, else the
// ambient one.
[[nodiscard]] inline const EvalContext& CurrentEval()
{
  const EvalContext* c = evalcontext_detail::current;
  return c ? *c : evalcontext_detail::Ambient();
}
// The memory of the current context.
[[nodiscard]] inline builtin::MemoryState& CurrentMemory()
{
  builtin::MemoryState* m = CurrentEval().memory;
  return m ? *m : builtin::Memory();
}

// Installs ctx for its lifetime; scopes nest.
class EvalScope {
public:
  explicit EvalScope(const EvalContext& ctx);
  ~EvalScope();
  EvalScope(const EvalScope&) = delete;
  EvalScope& operator=(const EvalScope&) = delete;

private:
  const EvalContext* prev_;
};

// The current context with the restart flag set, for as long as it lives:
// the functions with memory start afresh at the next calls.
class RestartScope {
public:
  RestartScope();
  RestartScope(const RestartScope&) = delete;
  RestartScope& operator=(const RestartScope&) = delete;

private:
  EvalContext ctx_;
  EvalScope scope_;
};

// The supplier of the ambient context (the loop document's owner); null
// gives a time-domain context with the clock at zero.
using AmbientEvalFn = EvalContext (*)();
// Sets the supplier and returns the one it replaces.
AmbientEvalFn SetAmbientEval(AmbientEvalFn fn);
