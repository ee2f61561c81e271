#include "engine/model/Model.h"
#include "engine/model/ModelCopy.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/MemoryFunctions.h"
#include "engine/model/SysData.h"
#include "engine/model/UpdateLoop.h"

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
}

SYSDATA& Sys()
{
  assert(gSys && "no ModelScope");
  return *gSys;
}

bool ModelExists()
{
  return gSys != nullptr;
}

namespace {
// Outside an engine run the built-ins see the loop of the running program.
EvalContext AmbientContext()
{
  return EvalContextOf(Sys());
}
}  // namespace

ModelScope::ModelScope()
    : prevSys_(gSys), prevErr_(InstallErrorRecord(nullptr)), saved_(std::make_unique<SavedGlobals>())
{
  saved_->ambient = SetAmbientEval(AmbientContext);
  for (int i = 0; i < kParameterCount; ++i)
    saved_->parameters[i] = Parameter(i);
  saved_->memory = builtin::Memory();
  builtin::Memory() = builtin::MemoryState{};
  InstallErrorRecord(new TError);
  gSys = new SYSDATA;
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, 1.0);
  UpdateLoop(*gSys);
  LoadExampleSystem(*gSys);
}

ModelScope::~ModelScope()
{
  delete gSys;
  delete InstallErrorRecord(nullptr);
  gSys = prevSys_;
  InstallErrorRecord(prevErr_);
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, saved_->parameters[i]);
  builtin::Memory() = saved_->memory;
  SetAmbientEval(saved_->ambient);
}

ModelCopy CopyOfModel()
{
  ModelCopy c{Sys(), {}};
  for (int i = 0; i < kParameterCount; ++i)
    c.parameters[i] = Parameter(i);
  return c;
}

ModelCopyScope::ModelCopyScope(ModelCopy& copy) : copy_(copy), model_(gSys)
{
  assert(gSys && "no ModelScope");
  for (int i = 0; i < kParameterCount; ++i) {
    parameters_[i] = Parameter(i);
    SetParameter(i, copy_.parameters[i]);
  }
  gSys = &copy_.sys;
}

ModelCopyScope::~ModelCopyScope()
{
  gSys = model_;
  for (int i = 0; i < kParameterCount; ++i) {
    copy_.parameters[i] = Parameter(i);
    SetParameter(i, parameters_[i]);
  }
}
