// vanto-cli: the loop engines without a display, for scripts and tests.

#include "cli/Cli.h"
#include "cli/LoopOptions.h"
#include "engine/model/Model.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <locale>
#include <string>
#include <vector>

namespace {

constexpr long kMaxRepeat = 1000000;

struct Subcommand {
  const char* name;
  int (*run)(CliContext&);
  bool repeats;  // accepts --repeat N
};

// render draws with Qt: a build without the desktop program has none.
const Subcommand kSubcommands[] = {
    {"eval", CmdEval, false},     {"decode", CmdDecode, false}, {"roots", CmdRoots, false}, {"c2d", CmdC2d, true},
    {"time", CmdTime, true},      {"freq", CmdFreq, true},      {"locus", CmdLocus, true},  {"sweep", CmdSweep, true},
    {"nlin", CmdNlin, true},      {"save", CmdSave, false},
#ifdef VANTO_WITH_GUI
    {"render", CmdRender, false},
#endif
};

const char kUsage[] =
    "usage: vanto-cli [LOOP OPTIONS] SUBCOMMAND [OPTIONS]\n"
    "\n"
    "Subcommands:\n"
    "  eval EXPR [--domain time|freq|root|nlin]   value of a constant expression\n"
    "  decode TEXT [--factored]                  coefficients (or gain and roots) of a text\n"
    "  roots TEXT                                gain and roots of a polynomial text\n"
    "  c2d --element plant|compensator --method zoh|rect|tustin|prewarp\n"
    "      [--prewarp-freq W] [--hz] [--coefficients]   s-to-z transform of an element\n"
    "  time [--duration D] [--points N] [--ref EXPR|--no-ref] [--load EXPR] [--noise EXPR]\n"
    "      [--periodic P] [--cost EXPR] [--phase-x EXPR] [--phase-y EXPR] [--ic-plant V]\n"
    "      [--ic-comp V] [--fwd] [--fbk] [--secondary none|effort|error] [--characteristics]\n"
    "                                            time response (t,u,input,y; phase plane t,x,y)\n"
    "  freq [--view nyquist|inverse|nichols|bode-gain|bode-phase] [--input ref|load|noise]\n"
    "      [--from W1] [--to W2] [--points N] [--linear] [--no-monotonic] [--hz]\n"
    "      [--mcontour M | --margins]            frequency response (w,x,y), M contour, margins\n"
    "      [--df fwd|fbk [--amin A1] [--amax A2] [--amps N] [--dft M] [--limit-cycles]]\n"
    "                                            describing function (A,re,im,x,y), limit cycles\n"
    "  locus [--xmin X1 --xmax X2 --ymin Y1 --ymax Y2 --points N]   root locus (tag,x,y)\n"
    "      [--report open|closed | --point X,Y | --damping Z | --settling TS]\n"
    "  sweep --over a|b|c|d|gain --from P1 --to P2 [--points N] [--log]\n"
    "                                            parameter locus (p,re,im, one block per branch)\n"
    "      [--stable-ranges]                     stable ranges (from,to); gain: --from/--to optional\n"
    "      [--family time|freq [OPTIONS] [--members N]]  that table per member, after \"# p = V\"\n"
    "  nlin [...]                                static characteristic (x,y)\n"
    "  render time|freq|locus|nlin|sysdef --out FILE [--size WxH] [--dpi N]\n"
    "                                            picture of a window (.png, .svg, .pdf, with the\n"
    "                                            loop in its metadata) or its points (.csv)\n"
    "      locus: [--xmin X1 --xmax X2 --ymin Y1 --points N] [--contours] [--damping Z]\n"
    "      [--settling TS] [--closed-loop-marks] [--mark-labels] [--no-unit-circle]\n"
    "      freq: [--mcontour M | --mcontours] [--unit-circle] [--margins] [--labels]\n"
    "      [--df fwd|fbk [--limit-cycles]]\n"
    "  save FILE                                 write the loop as a system file (atomically)\n"
    "\n"
    "Loop options:\n"
    "  --gc-num TEXT --gc-den TEXT   compensator (start: 1+0.5s over s)\n"
    "  --gp-num TEXT --gp-den TEXT   plant (start: 6 over (s+1)(s^2+1.4s+6))\n"
    "  --gain K --delay TD --hold T  loop gain, transport delay (s), sample-hold time (s)\n"
    "  --fwd-nl EXPR --fbk-nl EXPR   forward and feedback nonlinearities in x\n"
    "  --param NAME=VALUE            user parameter a, b, c or d (repeatable)\n"
    "  --elements plant|compensator|both   elements taken into the loop (start: plant)\n"
    "  --open, --closed              loop mode\n"
    "  --system FILE                 read the loop from a system file first; the other\n"
    "                                loop options override it\n"
    "\n"
    "  --repeat N     (c2d, time, freq, locus, sweep, nlin) time N more runs, printed on stderr\n"
    "  --help, --version\n"
    "Numbers are expressions (2*pi, 1/3). Exit status: 0 success, 1 error, 2 bad usage.\n";

int badUsage(const std::string& what)
{
  std::cerr << "vanto-cli: " << what << "\n\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv)
{
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& a : args) {
    if (a == "--")
      break;
    if (a == "--help") {
      std::cout << kUsage;
      return 0;
    }
    if (a == "--version") {
      std::cout << "vanto-cli 1.1.0.0\n";
      return 0;
    }
  }

  // A file-size limit fails a write (save, render) with a message instead
  // of killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  // whole numbers written through the streams take no grouping, whatever
  // the global locale becomes
  std::cout.imbue(std::locale::classic());
  std::cerr.imbue(std::locale::classic());
  ModelScope model;
  CliContext::LoopMode mode = CliContext::LoopMode::Default;
  std::string usage;
  if (const int rc = ApplyLoopOptions(args, mode, usage, std::cerr); rc != 0)
    return rc == 2 ? badUsage(usage) : rc;

  // "--" ends the loop options; the subcommand follows it.
  if (!args.empty() && args.front() == "--")
    args.erase(args.begin());
  if (args.empty())
    return badUsage("subcommand expected");
  const std::string name = args.front();
  args.erase(args.begin());
  const Subcommand* sub = nullptr;
  for (const Subcommand& s : kSubcommands)
    if (name == s.name)
      sub = &s;
  if (!sub)
    return badUsage(name.rfind('-', 0) == 0 ? "unknown option: " + name : "unknown subcommand: " + name);

  CliContext ctx(std::move(args), std::cout, std::cerr);
  ctx.loopMode = mode;
  if (ctx.takeCount("--repeat", ctx.repeat) && !sub->repeats)
    ctx.setUsageError(name + " does not take --repeat");
  // The timings of every run are kept for the median.
  if (ctx.repeat > kMaxRepeat)
    ctx.setUsageError("--repeat: at most " + std::to_string(kMaxRepeat) + " runs");
  if (!ctx.usageError().empty())
    return badUsage(ctx.usageError());
  const int rc = sub->run(ctx);
  if (rc != 2)
    return rc;
  const std::string& what = ctx.usageError();
  return badUsage(what.empty() ? name + ": bad usage" : what);
}
