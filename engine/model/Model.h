#pragma once
// Ownership of the one loop model and the one error record.
//
// The main frame creates a ModelScope when it is created and destroys it with
// itself; tests and the headless front end make their own. The frame and the
// front end reach the loop through Sys(); messages go to Err().

#include <memory>

struct SYSDATA;
struct TError;
struct SavedGlobals;

// The loop model of the running program (a ModelScope must exist).
SYSDATA& Sys();
// True while a ModelScope exists.
bool ModelExists();

class ModelScope {
public:
  // Creates TError (clear) and SYSDATA with its start values, makes the
  // built-ins read Sys()'s domain, kind and sample-hold time outside an
  // engine run (EvalContextOf), puts the user parameters a..d back to 1
  // and the built-in functions' memory to its start, runs UpdateLoop once, then loads the start-up example loop. The
  // destructor gives the enclosing scope back all of it, the parameters and
  // that memory included.
  ModelScope();
  ~ModelScope();
  ModelScope(const ModelScope&) = delete;
  ModelScope& operator=(const ModelScope&) = delete;

private:
  SYSDATA* prevSys_;
  TError* prevErr_;
  std::unique_ptr<SavedGlobals> saved_;
};
