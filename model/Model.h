#pragma once
// Ownership of the one loop model and the one error record.
//
// The main frame creates a ModelScope when it is created and destroys it with
// itself; tests and the headless front end make their own. Engines reach the
// current records through Sys() and Err().

struct SYSDATA;
struct TError;

// The loop model of the running program (a ModelScope must exist).
SYSDATA& Sys();
// The error record of the running program (a ModelScope must exist).
TError& Err();
// True while a ModelScope exists.
bool ModelExists();

class ModelScope {
public:
  // Creates TError (clear) and SYSDATA with its start values, puts the user
  // parameters a..d back to 1, runs UpdateLoop once, then loads the start-up
  // example loop.
  ModelScope();
  ~ModelScope();
  ModelScope(const ModelScope&) = delete;
  ModelScope& operator=(const ModelScope&) = delete;

private:
  SYSDATA* prevSys_;
  TError* prevErr_;
};
