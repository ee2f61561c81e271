#pragma once
// A copy of the running program's loop model with its own user parameters,
// which can stand in for the model for a while. A live drag computes every
// window from such a copy, so the document stays as it was until the
// release writes the final values into it once (or Escape drops the copy).

#include "engine/expr/ConstantTable.h"
#include "engine/model/SysData.h"

struct ModelCopy {
  SYSDATA sys;
  double parameters[kParameterCount] = {};
};

// The model and the user parameters as they are now (a ModelScope must exist).
[[nodiscard]] ModelCopy CopyOfModel();

// While it lives, Sys() and the user parameters a..d are the copy's; at its
// end the copy keeps what was written into them and the model's values are
// back. Scopes nest.
class ModelCopyScope {
public:
  explicit ModelCopyScope(ModelCopy& copy);
  ~ModelCopyScope();
  ModelCopyScope(const ModelCopyScope&) = delete;
  ModelCopyScope& operator=(const ModelCopyScope&) = delete;

private:
  ModelCopy& copy_;
  SYSDATA* model_;
  double parameters_[kParameterCount];
};
