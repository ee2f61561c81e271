#include "model/Model.h"

#include "expr/ConstantTable.h"
#include "expr/EvalContext.h"
#include "expr/MemoryFunctions.h"
#include "model/Error.h"
#include "model/SysData.h"
#include "model/UpdateLoop.h"

#include <cassert>

// What the model owns outside its two records: the user parameters and the
// memory of the built-in functions.
struct SavedGlobals {
  double parameters[kParameterCount];
  builtin::MemoryState memory;
  AmbientEvalFn ambient = nullptr;
};

namespace {
SYSDATA* gSys = nullptr;
TError* gErr = nullptr;
}

SYSDATA& Sys()
{
  assert(gSys && "no ModelScope");
  return *gSys;
}

TError& Err()
{
  assert(gErr && "no ModelScope");
  return *gErr;
}

bool ModelExists() { return gSys != nullptr; }

namespace {
// Outside an engine run the built-ins see the loop of the running program.
EvalContext AmbientContext() { return EvalContextOf(Sys()); }
}  // namespace

ModelScope::ModelScope() : prevSys_(gSys), prevErr_(gErr), saved_(std::make_unique<SavedGlobals>())
{
  saved_->ambient = SetAmbientEval(AmbientContext);
  for (int i = 0; i < kParameterCount; ++i)
    saved_->parameters[i] = Parameter(i);
  saved_->memory = builtin::Memory();
  builtin::Memory() = builtin::MemoryState{};
  gErr = new TError;
  gSys = new SYSDATA;
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, 1.0);
  UpdateLoop(*gSys);
  LoadExampleSystem(*gSys);
}

ModelScope::~ModelScope()
{
  delete gSys;
  delete gErr;
  gSys = prevSys_;
  gErr = prevErr_;
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, saved_->parameters[i]);
  builtin::Memory() = saved_->memory;
  SetAmbientEval(saved_->ambient);
}
