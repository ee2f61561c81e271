#include "cli/LoopOptions.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/Expr.h"
#include "engine/file/SystemFile.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"

#ifdef VANTO_WITH_GUI
#include "gui/chart/EmbeddedSystem.h"
#endif

#include <cctype>
#include <cstring>
#include <ostream>

namespace {

bool setLoopText(char (&dst)[kTextSize], const std::string& text, const std::string& option, std::string& usage)
{
  if (text.size() >= kTextSize) {
    usage = option + ": text longer than 79 characters";
    return false;
  }
  SetText(dst, text.c_str());
  return true;
}

// Reads an expression value as the value dialogs do, then checks its range.
int readValue(const std::string& option, const std::string& text, const ValueRange& range, double& dst,
              std::string& usage, std::ostream& err)
{
  ClearError();
  const double v = EvalConstant(text.c_str());
  if (ErrorPending() || text.find_first_not_of(" \t") == std::string::npos) {
    usage = option + ": " + (ErrorPending() ? ErrorMessage() : "number expected");
    ClearError();
    return 2;
  }
  if (!InRange(v, range.high, range.low)) {
    err << RangeWarningText(range.quantity, range.high, range.low) << '\n';
    return 1;
  }
  dst = v;
  return 0;
}

// Reads the system file of --system into loaded: a file of its own, or the
// one a picture exported by the program carries in its metadata.
bool readSystemSource(const std::string& path, LoadedSystem& loaded, std::string& message)
{
#ifdef VANTO_WITH_GUI
  return LoadDesign(path, loaded, message);
#else
  if (path.size() > 4 &&
      (path.compare(path.size() - 4, 4, ".png") == 0 || path.compare(path.size() - 4, 4, ".svg") == 0 ||
       path.compare(path.size() - 4, 4, ".pdf") == 0)) {
    message = path + ": reading the design from a picture needs the desktop build of vanto-cli";
    return false;
  }
  return LoadSystemFile(path, loaded, message);
#endif
}

// --system FILE is applied before every other loop option, wherever it
// stands, so that each option given overrides the file.
int applySystemOption(std::vector<std::string>& args, std::string& usage, std::ostream& err)
{
  std::string path;
  for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
    if (args[i] != "--system")
      continue;
    if (!path.empty()) {
      usage = "--system given twice";
      return 2;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      usage = "--system needs a value";
      return 2;
    }
    path = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    --i;
  }
  if (path.empty())
    return 0;
  LoadedSystem loaded;
  std::string message;
  if (!readSystemSource(path, loaded, message)) {
    err << message << '\n';
    return 1;
  }
  ApplySystem(loaded, Sys());
  return 0;
}

int readParam(const std::string& text, std::string& usage)
{
  const std::size_t eq = text.find('=');
  if (eq != 1 || text[0] < 'a' || text[0] > 'd') {
    usage = "--param: NAME=VALUE with NAME a, b, c or d expected";
    return 2;
  }
  double v = 0.0;
  if (!ParsePlainNumber(text.substr(2), v)) {
    usage = "--param: plain number expected after " + text.substr(0, 2);
    return 2;
  }
  SetParameter(text[0] - 'a', v);
  return 0;
}

}  // namespace

int ApplyLoopOptions(std::vector<std::string>& args, CliContext::LoopMode& mode, std::string& usage, std::ostream& err)
{
  if (const int rc = applySystemOption(args, usage, err); rc != 0)
    return rc;
  SYSDATA& s = Sys();
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<long>(i), args.end());
      break;
    }
    if (a == "--open" || a == "--closed") {
      mode = a == "--open" ? CliContext::LoopMode::Open : CliContext::LoopMode::Closed;
      continue;
    }
    static const char* const kValued[] = {"--gc-num", "--gc-den", "--gp-num", "--gp-den", "--gain",    "--delay",
                                          "--hold",   "--fwd-nl", "--fbk-nl", "--param",  "--elements"};
    bool valued = false;
    for (const char* name : kValued)
      valued = valued || a == name;
    if (!valued) {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      usage = a + " needs a value";
      return 2;
    }
    const std::string& v = args[++i];
    int rc = 0;
    if (a == "--gc-num")
      rc = setLoopText(s.num[kCompensator], v, a, usage) ? 0 : 2;
    else if (a == "--gc-den")
      rc = setLoopText(s.den[kCompensator], v, a, usage) ? 0 : 2;
    else if (a == "--gp-num")
      rc = setLoopText(s.num[kPlant], v, a, usage) ? 0 : 2;
    else if (a == "--gp-den")
      rc = setLoopText(s.den[kPlant], v, a, usage) ? 0 : 2;
    else if (a == "--fwd-nl")
      rc = setLoopText(s.fwdNlText, v, a, usage) ? 0 : 2;
    else if (a == "--fbk-nl")
      rc = setLoopText(s.fbkNlText, v, a, usage) ? 0 : 2;
    else if (a == "--gain")
      rc = readValue(a, v, ranges::kGain, s.gain, usage, err);
    else if (a == "--delay") {
      rc = readValue(a, v, ranges::kDelay, s.delay, usage, err);
      s.delayChanged = s.delayChanged || rc == 0;
    } else if (a == "--hold")
      rc = readValue(a, v, ranges::kSampleHold, s.sampleHold, usage, err);
    else if (a == "--param")
      rc = readParam(v, usage);
    else if (a == "--elements") {
      if (v == "plant")
        s.firstElement = s.lastElement = kPlant;
      else if (v == "compensator")
        s.firstElement = s.lastElement = kCompensator;
      else if (v == "both")
        s.firstElement = kCompensator, s.lastElement = kPlant;
      else {
        usage = "--elements: plant, compensator or both expected";
        rc = 2;
      }
    }
    if (rc != 0)
      return rc;
  }
  args = std::move(rest);
  return 0;
}
