#include "model/Model.h"

#include "expr/ConstantTable.h"
#include "model/Error.h"
#include "model/SysData.h"
#include "model/UpdateLoop.h"

#include <cassert>

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

ModelScope::ModelScope() : prevSys_(gSys), prevErr_(gErr)
{
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
}
