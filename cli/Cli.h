#pragma once
// The headless front end: shared parsing of a subcommand's arguments.

#include "engine/model/LoopSwitches.h"
#include "engine/model/ValueRanges.h"

#include <iosfwd>
#include <string>
#include <vector>

// What a subcommand gets: its own arguments (everything after its name; the
// loop options have already been applied to Sys()) and the two streams.
class CliContext {
public:
  CliContext(std::vector<std::string> args, std::ostream& out, std::ostream& err);

  std::ostream& out;
  std::ostream& err;

  // Takes "--name VALUE" (the value may begin with '-'); true when present.
  // A missing value is a usage error (see usageError()).
  bool takeValue(const char* name, std::string& value);
  // Takes "--name VALUE" and reads VALUE as a number expression. A value that
  // does not evaluate is a usage error.
  bool takeNumber(const char* name, double& value);
  // Takes "--name VALUE" as a number expression checked against range, as
  // the dialog that sets the same value checks it. Out of range, the
  // dialog's warning becomes the pending system error (test ErrorPending()
  // after taking the options and answer with systemError()). Read a number
  // of points this way before turning it into an integer.
  bool takeInRange(const char* name, const ValueRange& range, double& value);
  // Takes "--name VALUE" as a whole number (plain decimal, > 0 unless noted).
  bool takeCount(const char* name, long& value);
  // Takes a switch "--name"; true when present.
  bool takeFlag(const char* name);
  // Takes the next positional argument (a text that may begin with '-', but
  // not "--"); take the options first, then the positionals.
  bool takePositional(std::string& value);
  // True when arguments are left over; records a usage error naming the first.
  bool leftover();
  // Takes the subcommand's one text argument after its options; false (with
  // a usage error, missing when there is no text) on any usage problem.
  bool takeOnlyText(std::string& text, const char* missing);

  // The first usage problem found, empty when there is none.
  const std::string& usageError() const { return usage_; }
  void setUsageError(const std::string& what);

  // Reports the pending system error on err and returns 1.
  int systemError();

  // --repeat N: N extra timed runs (0 when not given).
  long repeat = 0;

  // --open / --closed; each subcommand has its own default.
  enum class LoopMode { Default, Open, Closed };
  LoopMode loopMode = LoopMode::Default;
  // The switches a new window of a domain starts with, the elements taken
  // from the model (--elements) and the loop mode from --open/--closed or
  // the window's own default.
  LoopSwitches switches(bool closedByDefault) const;

private:
  std::vector<std::string> args_;
  std::string usage_;
};

// A double printed with %.17g.
std::string FormatDouble(double v);
// A value stored in single precision, printed with %.9g; "nan" where the
// value does not exist.
std::string FormatSingle(double v);

// Runs fn once more n times and prints "repeat N: median M us, min L us"
// to err (microseconds per run).
template <typename Fn>
void RepeatTimed(CliContext& ctx, Fn&& fn);

// Subcommands: each returns the exit status (0, 1 for a system error, 2 for
// bad usage after setting the usage error).
int CmdEval(CliContext& ctx);
int CmdDecode(CliContext& ctx);
int CmdRoots(CliContext& ctx);
int CmdC2d(CliContext& ctx);
int CmdTime(CliContext& ctx);
int CmdFreq(CliContext& ctx);
int CmdRender(CliContext& ctx);
int CmdNlin(CliContext& ctx);
int CmdSave(CliContext& ctx);

// The options of the nonlinear window (--no-fwd, --fbk, --xmin, --xmax,
// --points) into rec, which starts as a new window's record. Returns 0, 1
// with a system error pending, or 2 after a usage error.
struct NLINSTAT;
int TakeNlinOptions(CliContext& ctx, NLINSTAT& rec);
int CmdLocus(CliContext& ctx);
int CmdSweep(CliContext& ctx);

// Builders of `render NAME` (desktop build only).
class TRChart;
int RenderLocus(TRChart& chart, CliContext& ctx);

#include "cli/CliRepeat.h"
