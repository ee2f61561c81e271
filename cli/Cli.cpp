#include "cli/Cli.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <ostream>

CliContext::CliContext(std::vector<std::string> args, std::ostream& o, std::ostream& e)
    : out(o), err(e), args_(std::move(args))
{
}

bool CliContext::takeValue(const char* name, std::string& value)
{
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--")
      return false;
    if (args_[i] != name)
      continue;
    if (i + 1 >= args_.size()) {
      setUsageError(std::string(name) + " needs a value");
      args_.erase(args_.begin() + static_cast<long>(i));
      return false;
    }
    value = args_[i + 1];
    args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

bool CliContext::takeNumber(const char* name, double& value)
{
  std::string text;
  if (!takeValue(name, text))
    return false;
  // A range error of an earlier option stays the one reported.
  const std::string earlier = ErrorPending() ? ErrorMessage() : "";
  ClearError();
  const double v = EvalConstant(text.c_str());
  const bool bad = ErrorPending() || text.find_first_not_of(" \t") == std::string::npos;
  if (bad) {
    setUsageError(std::string(name) + ": " + (ErrorPending() ? ErrorMessage() : "number expected"));
    ClearError();
  }
  if (!earlier.empty())
    SetError(earlier.c_str());
  if (bad)
    return false;
  value = v;
  return true;
}

bool CliContext::takeInRange(const char* name, const ValueRange& range, double& value)
{
  double v = 0.0;
  if (!takeNumber(name, v))
    return false;
  if (!InRange(v, range.high, range.low)) {
    if (!ErrorPending())
      SetError(RangeWarningText(range.quantity, range.high, range.low).c_str());
    return false;
  }
  value = v;
  return true;
}

LoopSwitches CliContext::switches(bool closedByDefault) const
{
  LoopSwitches w = SwitchesFromModel(Sys());
  w.closedLoop = loopMode == LoopMode::Default ? closedByDefault : loopMode == LoopMode::Closed;
  return w;
}

bool CliContext::takeCount(const char* name, long& value)
{
  std::string text;
  if (!takeValue(name, text))
    return false;
  long v = -1;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || end != text.data() + text.size() || ec != std::errc() || v < 0) {
    setUsageError(std::string(name) + ": whole number expected");
    return false;
  }
  value = v;
  return true;
}

bool CliContext::takeFlag(const char* name)
{
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--")
      return false;
    if (args_[i] == name) {
      args_.erase(args_.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool CliContext::takePositional(std::string& value)
{
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--") {
      if (i + 1 >= args_.size())
        return false;
      value = args_[i + 1];
      args_.erase(args_.begin() + static_cast<long>(i) + 1);
      return true;
    }
    // A value that begins with '-' but is not "--name" is a text, not an option.
    if (args_[i].rfind("--", 0) != 0) {
      value = args_[i];
      args_.erase(args_.begin() + static_cast<long>(i));
      return true;
    }
  }
  // The options are taken already: what is left and looks like one is a
  // text such as --1.
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--")
      break;
    value = args_[i];
    args_.erase(args_.begin() + static_cast<long>(i));
    return true;
  }
  return false;
}

bool CliContext::leftover()
{
  for (const std::string& a : args_) {
    if (a == "--")
      continue;
    setUsageError("unexpected argument: " + a);
    return true;
  }
  return false;
}

bool CliContext::takeOnlyText(std::string& text, const char* missing)
{
  const bool hasText = takePositional(text);
  if (!usage_.empty() || leftover())
    return false;
  if (!hasText) {
    setUsageError(missing);
    return false;
  }
  return true;
}

void CliContext::setUsageError(const std::string& what)
{
  if (usage_.empty())
    usage_ = what;
}

int CliContext::systemError()
{
  err << ErrorMessage() << '\n';
  ClearError();
  return 1;
}

std::string FormatDouble(double v)
{
  return FormatInCLocale("%.17g", v);
}

std::string FormatSingle(double v)
{
  return std::isnan(v) ? "nan" : FormatInCLocale("%.9g", v);
}
