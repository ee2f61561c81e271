// vanto-cli against boundary and hostile values: every subcommand and
// option with empty, overlong, badly encoded, non-finite, huge and tiny
// values, unknown and repeated options, bad system files and bad output
// paths. Each run is held to the promises a script relies on:
//   - no signal and no time-out;
//   - exit 0 only with finite numbers where a number is printed (and the
//     file written, whole, where one is asked for);
//   - exit 1 with exactly one line on standard error, nothing on standard
//     output and no output file created, changed or left half-written;
//   - exit 2 with what was wrong, then the usage.
// The cases are generated from the tables below and run several at a time.
// A failure names the command line, quoted so that it replays in a shell.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kTimeLimitSeconds = 20;

// What a successful run must print.
enum class Out {
  Table,      // CSV and remarks: every number finite
  TableGaps,  // the same, but "nan" marks a gap in a chart's curve
  Value,      // one finite number
  Texts,      // two transfer-function texts
  Nothing,    // nothing (save: the file is checked)
  Ranges,     // stable ranges: a range may end at "inf" (the whole gain axis)
};

struct Case {
  std::vector<std::string> args;
  Out out = Out::Table;
  std::vector<std::string> prefix;  // runs the program through this (a shell with limits, another user)
  std::string watchDir;             // a folder whose files must stay as they were unless the run succeeds
  std::string outFile;              // the file a successful run writes
};

struct Outcome {
  bool timedOut = false;
  int signal = 0;
  int status = -1;
  std::string out, err;
};

std::string Repeat(const std::string& unit, std::size_t n)
{
  std::string s;
  for (std::size_t i = 0; i < n; ++i)
    s += unit;
  return s;
}

// One argument as a shell reads it back.
std::string Quote(const std::string& a)
{
  if (a.size() > 200 && std::all_of(a.begin(), a.end(), [&](char c) { return c == a[0]; }) && std::isalnum(a[0]))
    return "\"$(head -c " + std::to_string(a.size()) + " /dev/zero | tr '\\0' " + a[0] + ")\"";
  if (!a.empty() && std::all_of(a.begin(), a.end(), [](unsigned char c) {
        return std::isalnum(c) || std::strchr("-_./,=+^:@%", c);
      }))
    return a;
  std::string q = "$'";
  for (const unsigned char c : a) {
    if (c == '\'' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      q += hex;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "'";
}

std::string CommandLine(const Case& c)
{
  std::string line;
  for (const std::string& a : c.prefix)
    line += Quote(a) + ' ';
  line += VANTO_CLI;
  for (const std::string& a : c.args)
    line += ' ' + Quote(a);
  return line;
}

// Runs the case with its output and error captured, killed after the time limit.
Outcome Spawn(const Case& c)
{
  Outcome o;
  std::vector<std::string> argv = c.prefix;
  argv.push_back(VANTO_CLI);
  argv.insert(argv.end(), c.args.begin(), c.args.end());
  std::vector<char*> ptrs;
  for (std::string& a : argv)
    ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
    return o;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, ptrs[0], &fa, nullptr, ptrs.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(outPipe[1]);
  close(errPipe[1]);
  if (rc != 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    o.err = "cannot start: " + std::string(std::strerror(rc));
    return o;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeLimitSeconds);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&o.out, &o.err};
  int open = 2;
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      o.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) < 0 && errno != EINTR)
      break;
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
        continue;
      char buf[65536];
      const ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) {
        sinks[k]->append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(fds[k].fd);
        fds[k].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& f : fds)
    if (f.fd >= 0)
      close(f.fd);
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(st))
    o.signal = WTERMSIG(st);
  else if (WIFEXITED(st))
    o.status = WEXITSTATUS(st);
  return o;
}

// Runs the cases on a few processes at once; outcomes in case order.
std::vector<Outcome> RunAll(const std::vector<Case>& cases)
{
  std::vector<Outcome> outcomes(cases.size());
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w)
    workers.emplace_back([&] {
      for (std::size_t i = next++; i < cases.size(); i = next++)
        outcomes[i] = Spawn(cases[i]);
    });
  for (std::thread& t : workers)
    t.join();
  return outcomes;
}

// The non-finite numbers in the output, or what else is wrong with it.
std::string OutputProblem(const std::string& out, Out kind)
{
  if (kind == Out::Nothing)
    return out.empty() ? "" : "output where none is promised";
  if (out.empty() || out.back() != '\n')
    return "output empty or not ended by a newline";
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  if (kind == Out::Texts)
    return lines.size() == 2 && !lines[0].empty() && !lines[1].empty() ? "" : "two texts expected";
  if (kind == Out::Value && lines.size() != 1)
    return "one value expected";
  for (std::string line : lines) {
    const bool remark = !line.empty() && line[0] == '#';
    // the last stable range of the whole gain axis may run on to infinity
    if (kind == Out::Ranges && line == lines.back() && line.size() > 4 && line.compare(line.size() - 4, 4, ",inf") == 0)
      line.resize(line.size() - 4);
    std::string token;
    std::istringstream fields(line);
    while (std::getline(fields, token, remark ? ' ' : ',')) {
      if (remark && !token.empty() && token.back() == ',')
        token.pop_back();
      double v = 0.0;
      const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
      const bool number = !token.empty() && end == token.data() + token.size();
      if (kind == Out::Value && (!number || ec != std::errc()))
        return "not a number: " + line;
      if (!number || std::isfinite(v))
        continue;
      if (kind == Out::TableGaps && !remark && token == "nan")
        continue;
      return "non-finite number in \"" + line + "\"";
    }
  }
  return "";
}

// The files of a folder and their bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir)
{
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    std::ifstream f(e.path(), std::ios::binary);
    files[e.path().filename().string()] = e.is_regular_file() ? std::string(std::istreambuf_iterator<char>(f), {}) : "<"
                                                                                                                    "node>";
  }
  return files;
}

std::string FileProblem(const Case& c, const std::map<std::string, std::string>& before, int status)
{
  if (c.watchDir.empty())
    return "";
  const auto after = Snapshot(c.watchDir);
  if (status != 0)
    return after == before ? "" : "the folder changed, though the run failed";
  if (c.outFile.empty())
    return "";
  const std::string name = fs::path(c.outFile).filename().string();
  for (const auto& [file, bytes] : after)
    if (file != name && (!before.count(file) || before.at(file) != bytes))
      return "file " + file + " left beside the output";
  const auto it = after.find(name);
  if (it == after.end())
    return "success, but no file written";
  const std::string& bytes = it->second;
  const std::string ext = name.substr(std::min(name.rfind('.'), name.size()));  // ".png" too
  const bool whole = ext == ".png"   ? bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0 && bytes.find("IEND") != std::string::npos
                     : ext == ".svg" ? bytes.find("</svg>") != std::string::npos
                     : ext == ".pdf" ? bytes.rfind("%PDF", 0) == 0 && bytes.find("%%EOF") != std::string::npos
                                     : bytes.rfind("VANTO system file ", 0) == 0 && bytes.back() == '\n';
  return whole ? "" : "the written file is not whole";
}

// Runs every case and checks it against the promises above.
void Sweep(const std::vector<Case>& cases)
{
  std::vector<std::map<std::string, std::string>> before;
  for (const Case& c : cases)
    before.push_back(c.watchDir.empty() ? std::map<std::string, std::string>{} : Snapshot(c.watchDir));
  const auto t0 = std::chrono::steady_clock::now();
  const std::vector<Outcome> outcomes = RunAll(cases);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("%zu cases in %.1f s\n", cases.size(), seconds);
  std::map<int, int> byStatus;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const Outcome& o = outcomes[i];
    ++byStatus[o.status];
    std::string problem;
    if (o.timedOut)
      problem = "time-out after " + std::to_string(kTimeLimitSeconds) + " s";
    else if (o.signal != 0)
      problem = "killed by signal " + std::to_string(o.signal) + " (" + strsignal(o.signal) + ")";
    else if (o.err.find("Sanitizer") != std::string::npos || o.err.find("runtime error:") != std::string::npos)
      problem = "sanitizer report";
    else if (o.status == 0)
      problem = OutputProblem(o.out, c.out);
    else if (o.status == 1)
      problem = o.err.size() < 2 || o.err.find('\n') != o.err.size() - 1 ? "exit 1 without exactly one line on stderr"
                : !o.out.empty()                                          ? "exit 1 after output"
                                                                          : "";
    else if (o.status == 2)
      problem = o.err.rfind("vanto-cli: ", 0) != 0 || o.err.find("\n\nusage: vanto-cli ") == std::string::npos
                    ? "exit 2 without what was wrong and the usage"
                : !o.out.empty() ? "exit 2 after output"
                                 : "";
    else
      problem = "exit status " + std::to_string(o.status);
    if (problem.empty())
      problem = FileProblem(c, before[i], o.status);
    if (!problem.empty())
      ADD_FAILURE() << problem << "\n  " << CommandLine(c) << "\n  exit " << o.status << "\n  stdout: " << o.out.substr(0, 400)
                           << "\n  stderr: " << o.err.substr(0, 400);
  }
  // A sweep where nothing succeeds, or nothing is refused, tests little.
  EXPECT_GT(byStatus[0], 0);
  EXPECT_GT(byStatus[1] + byStatus[2], 0);
}

std::vector<std::string> Split(const std::string& text)
{
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

// The cases of a command with one "@" word, one per value.
void AddSlot(std::vector<Case>& cases, const std::string& command, const std::vector<std::string>& values, Out out)
{
  const std::vector<std::string> words = Split(command);
  for (const std::string& v : values) {
    Case c;
    c.out = out;
    for (const std::string& w : words)
      c.args.push_back(w == "@" ? v : w);
    cases.push_back(c);
  }
}

// ---- hostile values by kind -------------------------------------------------

const std::string kBadUtf8 = "\xff\xfe\xc3(";

// 79 characters that read as s+1, and the same with one more zero.
const std::string k79 = "1." + std::string(74, '0') + "s+1";
const std::string k80 = "1." + std::string(75, '0') + "s+1";

// Numbers: each is an expression the way the dialogs read one.
const std::vector<std::string> kNumbers = {"",       "nan", "inf", "-inf",     "1e308",    "-1e308", "1e-308",
                                           "4.9e-324", "0", "-1",  "1e20",     "1e400",    "2147483648",
                                           kBadUtf8,   Repeat("9", 10000)};
// The same, fewer, for the runs that draw a picture.
const std::vector<std::string> kFewNumbers = {"", "nan", "-inf", "1e308", "1e-308", "0", "-1", kBadUtf8};

// Whole numbers (counts).
const std::vector<std::string> kCounts = {"",   "0",  "-1",     "4",        "2147483648", "9223372036854775808",
                                          "1e3", " 5", kBadUtf8, Repeat("9", 10000)};

// Names of a choice.
const std::vector<std::string> kWords = {"", " ", "bogus", kBadUtf8, Repeat("a", 10000), "--", "-", "PLANT"};

// Transfer-function texts: order 5 and beyond, improper, z in a continuous
// loop, non-finite and extreme numbers, overlong and badly encoded.
const std::vector<std::string> kTfTexts = {"",
                                           k79,
                                           k80,
                                           Repeat("s", 10000),
                                           "s" + kBadUtf8 + "+1",
                                           "s^5+2s^4+3s^3+4s^2+5s+6",
                                           "(s+1)(s+2)(s+3)(s+4)(s+5)(s+6)(s+7)(s+8)(s+9)(s+10)(s+11)(s+12)",
                                           "s^3+1",
                                           "z^5-0.5",
                                           "nan",
                                           "1e308",
                                           "1e-308",
                                           "1e308s+1e-308",
                                           "0",
                                           "(((",
                                           "1e400"};

// Nonlinearity expressions in x.
const std::vector<std::string> kNlTexts = {"",
                                           "x",
                                           "1/x",
                                           "sqrt(-1-x*x)",
                                           "exp(1e3*x)",
                                           "1e308*x*x",
                                           "hyst(x,-1)",
                                           "quant(x,0)",
                                           "quant(x,1e-308)",
                                           "hyst(x,1e308)",
                                           "nan",
                                           "(((",
                                           "s",
                                           "x+" + std::string(77, '0'),
                                           "x+" + std::string(78, '0'),
                                           Repeat("x", 10000),
                                           "x" + kBadUtf8};

// Time functions in t.
const std::vector<std::string> kTimeTexts = {"",          "t",       "1e308",         "1e308*t*t", "1/t", "sqrt(-1)",
                                             "exp(1e3*t)", "sin(1e308*t)", "nan",        "s",   "z",   "x",
                                             "(((",       "t+" + std::string(78, '0'), Repeat("t", 10000), kBadUtf8};

// Points X,Y of the s plane.
const std::vector<std::string> kPoints = {"",       ",",           "1,",   ",1",      "1,2,3", "nan,1", "1e308,1e308",
                                          "0,0",    "-1,0",        "(1,2)", "1e400,0", "-1e-308,1e-308", kBadUtf8,
                                          "1" + std::string(10000, '0') + ",1"};

// Picture sizes.
const std::vector<std::string> kSizes = {"",         "0x0",         "15x15",  "16x16", "8000x16", "8001x600", "-800x600",
                                         "800x",     "x600",        "99999999999x600", "800x600x3", "nanxnan",
                                         "1e3x600",  kBadUtf8,      Repeat("8", 10000)};

}  // namespace

// ---- the sweeps ---------------------------------------------------------------

// Every loop option with every hostile value of its kind, through the
// subcommands that compute with the loop.
TEST(CliHostile, LoopOptions)
{
  const std::vector<std::string> linear = {"time --characteristics --points 200",
                                           "freq --margins",
                                           "freq --view bode-gain --points 50",
                                           "freq --view nichols --points 50",
                                           "locus --points 50",
                                           "locus --report closed",
                                           "sweep --over gain --stable-ranges",
                                           "--hold 0.1 c2d --element plant --method zoh --coefficients"};
  const std::vector<std::string> nonlinear = {"nlin --fbk --points 50", "time --fwd --fbk --points 200",
                                              "freq --df fwd --amps 20", "freq --df fbk --limit-cycles"};
  const auto outOf = [](const std::string& sub) {
    return sub.rfind("freq --view", 0) == 0 ? Out::TableGaps : sub.rfind("sweep", 0) == 0 ? Out::Ranges : Out::Table;
  };
  // Each value of an option goes through a few of the subcommands, in turn,
  // so that every option meets every subcommand and every value several.
  std::vector<Case> cases;
  int turn = 0;
  const auto rotate = [&](const std::string& option, const std::vector<std::string>& values,
                          const std::vector<std::string>& subs, std::size_t per) {
    for (const std::string& v : values)
      for (std::size_t j = 0; j < per; ++j) {
        const std::string& sub = subs[static_cast<std::size_t>(turn++) % subs.size()];
        AddSlot(cases, option + " @ " + sub, {v}, outOf(sub));
      }
  };
  for (const char* option : {"--gc-num", "--gc-den", "--gp-num", "--gp-den"})
    rotate(option, kTfTexts, linear, 3);
  for (const char* option : {"--gain", "--delay", "--hold"})
    rotate(option, kNumbers, linear, 3);
  for (const std::string& sub : linear) {
    // a z plant in a continuous loop and with a hold, and an improper one
    AddSlot(cases, "--gp-num 0.1 --gp-den @ " + sub, {"z-0.5", "z^2-1.5z+0.6"}, outOf(sub));
    AddSlot(cases, "--hold 0.1 --gp-den @ " + sub, {"z^5-0.5", "(s+1)^5", "s^3+1"}, outOf(sub));
  }
  for (const char* option : {"--fwd-nl", "--fbk-nl"})
    rotate(option, kNlTexts, nonlinear, 2);
  rotate("--param",
         {"a=", "a=nan", "a=inf", "a=1e308", "a=1e-308", "a=-1", "a=0", "b=0", "b=1e-308", "e=1", "a", "=1", "a=1=2",
          "a=0x1", "a=1e400", kBadUtf8},
         nonlinear, 1);
  AddSlot(cases, "--elements @ time", kWords, Out::Table);
  AddSlot(cases, "--elements both --gc-num @ --gc-den 1 freq --margins", kTfTexts, Out::Table);
  Sweep(cases);
}

// Every option of every subcommand with every hostile value of its kind.
TEST(CliHostile, SubcommandOptions)
{
  std::vector<Case> cases;
  const Out T = Out::Table;
  AddSlot(cases, "eval @", kNumbers, Out::Value);
  AddSlot(cases, "eval 1 --domain @", kWords, Out::Value);
  for (const char* cmd : {"decode @", "decode @ --factored", "roots @"})
    AddSlot(cases, cmd, kTfTexts, T);
  AddSlot(cases, "--hold 0.1 c2d --element @ --method zoh", kWords, Out::Texts);
  AddSlot(cases, "--hold 0.1 c2d --element plant --method @", kWords, Out::Texts);
  AddSlot(cases, "--hold 0.1 c2d --element plant --method prewarp --prewarp-freq @ --coefficients", kNumbers, T);
  AddSlot(cases, "--hold 0.1 c2d --element compensator --method prewarp --hz --prewarp-freq @", kNumbers, Out::Texts);
  for (const char* option : {"--xmin", "--xmax", "--ymin", "--ymax", "--points"}) {
    AddSlot(cases, std::string("locus ") + option + " @", option[2] == 'x' ? kNumbers : kFewNumbers, T);
    AddSlot(cases, std::string("locus --settling 2 ") + option + " @", kFewNumbers, T);
  }
  AddSlot(cases, "locus --report @", kWords, T);
  AddSlot(cases, "locus --point @", kPoints, T);
  AddSlot(cases, "locus --damping @", kNumbers, T);
  AddSlot(cases, "locus --settling @", kNumbers, T);
  for (const char* option : {"--xmin", "--xmax", "--points"})
    AddSlot(cases, std::string("nlin --fbk ") + option + " @", kNumbers, T);
  AddSlot(cases, "sweep --over @ --from 0 --to 2", kWords, T);
  for (const char* base : {"sweep --over a --from 0 --to 2 --points 50", "sweep --over gain --log --from 0.1 --to 10",
                           "sweep --over b --stable-ranges --from 0 --to 2",
                           "sweep --over gain --family freq --margins --from 0.5 --to 2 --members 3",
                           "sweep --over a --family time --points 50 --from 0 --to 2 --members 3"})
    for (const char* option : {"--from", "--to", "--points"})
      if (std::string(option) != "--points" || std::string(base).find("--family") == std::string::npos)
        AddSlot(cases, std::string(base) + ' ' + option + " @",
                std::string(base).find("--points 50") != std::string::npos ? kNumbers : kFewNumbers, T);
  AddSlot(cases, "sweep --over gain --stable-ranges --from @", kNumbers, Out::Ranges);
  AddSlot(cases, "sweep --over a --from 0 --to 2 --family @", kWords, T);
  AddSlot(cases, "sweep --over a --from 0 --to 2 --family time --points 20 --members @", kCounts, T);
  AddSlot(cases, "sweep --over a --from 0 --to 2 --points 20 --repeat @", kCounts, T);
  AddSlot(cases, "--hold 0.1 c2d --element plant --method zoh --repeat @", kCounts, Out::Texts);
  AddSlot(cases, "@", kWords, T);
  AddSlot(cases, "@ eval 1", kWords, Out::Value);
  Sweep(cases);
}

// The options of the time and frequency windows, the same way.
TEST(CliHostile, TimeAndFreqOptions)
{
  std::vector<Case> cases;
  const Out T = Out::Table;
  for (const char* option : {"--duration", "--points", "--periodic", "--ic-plant", "--ic-comp"})
    AddSlot(cases, std::string("time --characteristics --cost y*y ") + option + " @",
            option[2] == 'd' || option[2] == 'p' ? kNumbers : kFewNumbers, T);
  for (const char* option : {"--ref", "--load", "--noise", "--cost"})
    AddSlot(cases, std::string("time --points 100 --cost e*e ") + option + " @", kTimeTexts, T);
  for (const char* option : {"--phase-x", "--phase-y"})
    AddSlot(cases, std::string("time --points 100 ") + option + " @", kTimeTexts, T);
  AddSlot(cases, "time --secondary @", kWords, T);
  AddSlot(cases, "--hold 0.1 time --duration @", kNumbers, T);
  AddSlot(cases, "time --points 10 --repeat @", kCounts, T);
  AddSlot(cases, "freq --view @", kWords, Out::TableGaps);
  AddSlot(cases, "freq --input @", kWords, Out::TableGaps);
  for (const char* option : {"--from", "--to", "--points"}) {
    AddSlot(cases, std::string("freq --view bode-gain ") + option + " @", kNumbers, Out::TableGaps);
    AddSlot(cases, std::string("freq --linear --hz --margins ") + option + " @", kFewNumbers, T);
  }
  AddSlot(cases, "freq --mcontour @", kNumbers, T);
  AddSlot(cases, "freq --view nichols --mcontour @", kNumbers, T);
  AddSlot(cases, "freq --df @", kWords, T);
  for (const char* option : {"--amin", "--amax", "--amps"}) {
    AddSlot(cases, std::string("freq --df fwd ") + option + " @", kNumbers, T);
    AddSlot(cases, std::string("freq --df fwd --limit-cycles ") + option + " @", kFewNumbers, T);
  }
  AddSlot(cases, "freq --df fbk --dft @", kCounts, T);
  AddSlot(cases, "freq --points 20 --repeat @", kCounts, Out::TableGaps);
  Sweep(cases);
}

// Unknown, repeated and misplaced options and arguments of every subcommand.
TEST(CliHostile, UnknownAndRepeatedOptions)
{
  const std::vector<std::pair<std::string, Out>> commands = {
      {"eval 1", Out::Value},
      {"decode s+1", Out::Table},
      {"roots s^2+1", Out::Table},
      {"--hold 0.1 c2d --element plant --method tustin", Out::Texts},
      {"time --points 50", Out::Table},
      {"freq --points 20", Out::TableGaps},
      {"freq --margins", Out::Table},
      {"freq --df fwd --amps 5", Out::Table},
      {"locus --points 20", Out::Table},
      {"locus --point 1,1", Out::Table},
      {"nlin --points 5", Out::Table},
      {"sweep --over a --from 0 --to 1 --points 10", Out::Table},
      {"sweep --over gain --family freq --from 1 --to 2 --members 2 --points 5", Out::Table},
  };
  std::vector<Case> cases;
  for (const auto& [command, out] : commands) {
    const std::vector<std::string> words = Split(command);
    std::vector<std::vector<std::string>> variants = {
        {"--bogus"}, {"--bogus", "1"}, {"extra"}, {"--", "extra"}, {"--gain"}, {"--points"}, {"--repeat"}, {"-"}, {""},
        {kBadUtf8},  {"--open"},       {"--closed", "--open"},    {"--system"}};
    // each option given twice, the second time with a hostile value
    for (std::size_t i = 1; i < words.size(); ++i)
      if (words[i].rfind("--", 0) == 0) {
        variants.push_back({words[i]});
        if (i + 1 < words.size() && words[i + 1].rfind("--", 0) != 0)
          variants.push_back({words[i], "nan"});
      }
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const std::vector<std::string>& extra = variants[v];
      Case c;
      c.out = out;
      c.args = words;
      c.args.insert(c.args.end(), extra.begin(), extra.end());
      cases.push_back(c);
      // and the first few before the subcommand, among the loop options
      if (v >= 7)
        continue;
      Case before;
      before.out = out;
      before.args = extra;
      before.args.insert(before.args.end(), words.begin(), words.end());
      cases.push_back(before);
    }
  }
  AddSlot(cases, "--gain 1 --gain @ eval 1", kNumbers, Out::Value);
  AddSlot(cases, "--gp-num 1 --gp-num @ freq --margins", kTfTexts, Out::Table);
  Sweep(cases);
}

namespace {

// A fresh folder of its own for each case that writes or reads files.
std::string ScratchDir(const std::string& test)
{
  static std::atomic<int> n{0};
  const std::string d =
      testing::TempDir() + "vanto_hostile_" + std::to_string(getpid()) + "_" + test + "_" + std::to_string(++n);
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The file-size limit of a shell: every write of a byte fails.
const std::vector<std::string> kNoFileSize = {"sh", "-c", "ulimit -f 0; exec \"$0\" \"$@\""};
// An ordinary user, for a folder that root could write to anyway.
std::vector<std::string> OrdinaryUser()
{
  if (geteuid() != 0)
    return {};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

// A device that takes no byte (the kernel's "full" device), made in dir
// under name, so that a failed check cannot replace the machine's own.
bool MakeFullDevice(const std::string& path)
{
  if (geteuid() != 0)
    return ::symlink("/dev/full", path.c_str()) == 0;
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
}

}  // namespace

// save and render against every kind of bad output path: the old file keeps
// its bytes and no temporary file is left, or the new file is whole.
TEST(CliHostile, OutputPaths)
{
  const std::vector<std::pair<std::string, std::string>> writers = {
      {"save @", ".vanto"},
      {"render freq --size 300x200 --out @", ".png"},
      {"render locus --size 300x200 --out @", ".svg"},
      {"render time --size 300x200 --out @", ".pdf"},
      {"render sysdef --out @", ".svg"},
  };
  std::vector<Case> cases;
  const auto add = [&](const std::string& command, const std::string& dir, const std::string& path,
                       std::vector<std::string> prefix = {}) {
    Case c;
    c.out = Out::Nothing;
    for (const std::string& w : Split(command))
      c.args.push_back(w == "@" ? path : w);
    c.prefix = std::move(prefix);
    c.watchDir = dir;
    c.outFile = path;
    cases.push_back(c);
  };
  for (const auto& [command, ext] : writers) {
    std::string dir = ScratchDir("out");
    add(command, dir, dir + "/out" + ext);
    dir = ScratchDir("out");
    WriteFile(dir + "/old" + ext, "the old bytes\n");
    add(command, dir, dir + "/old" + ext);
    dir = ScratchDir("out");
    add(command, dir, dir + "/" + kBadUtf8 + ext);
    dir = ScratchDir("out");
    add(command, dir, dir + "/missing/out" + ext);
    dir = ScratchDir("out");
    fs::create_directory(dir + "/folder" + ext);
    add(command, dir, dir + "/folder" + ext);
    dir = ScratchDir("out");
    add(command, dir, dir + "/out" + ext + "/");
    dir = ScratchDir("out");
    add(command, dir, dir + "/" + Repeat("n", 10000) + ext);
    dir = ScratchDir("out");
    ASSERT_TRUE(MakeFullDevice(dir + "/full" + ext)) << std::strerror(errno);
    add(command, dir, dir + "/full" + ext);
    dir = ScratchDir("out");
    WriteFile(dir + "/old" + ext, "the old bytes\n");
    add(command, dir, dir + "/old" + ext, kNoFileSize);
    dir = ScratchDir("out");
    WriteFile(dir + "/old" + ext, "the old bytes\n");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    add(command, dir, dir + "/old" + ext, OrdinaryUser());
    add(command, dir, dir + "/new" + ext, OrdinaryUser());
    AddSlot(cases, command, {""}, Out::Nothing);
    for (const std::string& name : {std::string(" "), ext, "." + ext}) {
      dir = ScratchDir("out");
      add(command, dir, dir + "/" + name);
    }
    // The machine's own full device only for an ordinary user: root could
    // replace it, were the check to fail (the device made above stands in).
    if (geteuid() != 0)
      AddSlot(cases, command, {"/dev/full"}, Out::Nothing);
  }
  // A table asked for as a picture file, and a picture of the wrong kind.
  for (const char* name : {"x.txt", "x", "x.PNG.txt", "x.csv.", ".png"}) {
    const std::string dir = ScratchDir("out");
    add("render freq --out @", dir, dir + "/" + name);
  }
  const std::string csvDir = ScratchDir("out");
  add("render sysdef --out @", csvDir, csvDir + "/x.csv");
  Sweep(cases);
  for (const Case& c : cases)
    if (!c.watchDir.empty()) {
      std::error_code ec;
      fs::permissions(c.watchDir, fs::perms::owner_all, ec);
      fs::remove_all(c.watchDir, ec);
    }
}

// render's own options, each run writing into a folder of its own.
TEST(CliHostile, RenderOptions)
{
  std::vector<Case> cases;
  const auto slot = [&](const std::string& command, const std::vector<std::string>& values) {
    for (const std::string& v : values) {
      const std::string dir = ScratchDir("render");
      Case c;
      c.out = Out::Nothing;
      for (const std::string& w : Split(command))
        c.args.push_back(w == "@" ? v : w == "OUT" ? dir + "/out.png" : w);
      c.watchDir = dir;
      c.outFile = dir + "/out.png";
      cases.push_back(c);
    }
  };
  slot("render @ --out OUT", kWords);
  slot("render freq --size @ --out OUT", kSizes);
  slot("render time --size 200x150 --dpi @ --out OUT", kCounts);
  slot("render locus --size 200x150 --out OUT --xmin @", kFewNumbers);
  slot("render locus --size 200x150 --out OUT --contours --damping @", kFewNumbers);
  slot("render freq --size 200x150 --out OUT --mcontour @", kFewNumbers);
  slot("render time --size 200x150 --out OUT --duration @", kFewNumbers);
  slot("render nlin --size 200x150 --out OUT --points @", kFewNumbers);
  slot("--gp-den @ render locus --size 200x150 --out OUT", kTfTexts);
  slot("--fwd-nl @ render freq --df fwd --limit-cycles --size 200x150 --out OUT",
       {"1/x", "exp(1e3*x)", "1e308*x*x", "quant(x,1e-308)", "hyst(x,1e308)", "((("});
  slot("--gp-den @ render sysdef --out OUT", {"z^5-0.5", k79, "s^3+1", "((("});
  Sweep(cases);
  for (const Case& c : cases)
    fs::remove_all(c.watchDir);
}

// --system FILE with every kind of file that is not a system file, or one
// that is spoilt: refused with one line before anything runs.
TEST(CliHostile, SystemFiles)
{
  const std::string dir = ScratchDir("system");
  const std::string good = dir + "/good.vanto";
  Case save;
  save.args = {"save", good};
  ASSERT_EQ(Spawn(save).status, 0);
  const std::string text = ReadFile(good);
  ASSERT_EQ(text.rfind("VANTO system file ", 0), 0u);
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? t : t.replace(at, from.size(), to);
  };
  std::string binary;
  for (int i = 0; i < 4096; ++i)
    binary += static_cast<char>((i * 7919) & 0xff);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.vanto", ""},
      {"binary.vanto", binary},
      {"nul.vanto", replaced("gain = 1", std::string("gain = 1\0", 9))},
      {"utf8.vanto", replaced("\"6\"", "\"" + kBadUtf8 + "\"")},
      {"huge.vanto", text + Repeat("#" + std::string(1023, ' ') + "\n", 1100)},
      {"script.vanto", "#!/bin/sh\necho hello\n"},
      {"ini.vanto", "[Desktop Entry]\nName=vanto\n"},
      {"newer.vanto", replaced("VANTO system file 1", "VANTO system file 2")},
      {"newest.vanto", replaced("VANTO system file 1", "VANTO system file 99999999999999999999")},
      {"cut.vanto", text.substr(0, text.find("(s^2") + 3)},
      {"header.vanto", text.substr(0, text.find('\n') + 1)},
      {"crlf.vanto", [&] {
         std::string t;
         for (const char c : text)
           t += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return t;
       }()},
      {"bom.vanto", "\xef\xbb\xbf" + text},
      {"gain-big.vanto", replaced("gain = 1", "gain = 1e999")},
      {"gain-max.vanto", replaced("gain = 1", "gain = 1e308")},
      {"gain-nan.vanto", replaced("gain = 1", "gain = nan")},
      {"gain-inf.vanto", replaced("gain = 1", "gain = -inf")},
      {"gain-word.vanto", replaced("gain = 1", "gain = one")},
      {"gain-empty.vanto", replaced("gain = 1", "gain =")},
      {"gain-hex.vanto", replaced("gain = 1", "gain = 0x10")},
      {"delay-neg.vanto", replaced("delay = 0", "delay = -1")},
      {"hold-tiny.vanto", replaced("sample-hold = 0", "sample-hold = 1e-308")},
      {"param-nan.vanto", replaced("a = 1", "a = nan")},
      {"text80.vanto", replaced("\"6\"", "\"" + k80 + "\"")},
      {"text79.vanto", replaced("\"6\"", "\"" + k79 + "\"")},
      {"z-text.vanto", replaced("\"(s+1)(s^2+1.4s+6)\"", "\"z^5-0.5\"")},
      {"order5.vanto", replaced("\"(s+1)(s^2+1.4s+6)\"", "\"(s+1)^5\"")},
      {"improper.vanto", replaced("\"6\"", "\"s^5+1\"")},
      {"line10k.vanto", replaced("\"6\"", "\"" + Repeat("6", 10000) + "\"")},
      {"quote.vanto", replaced("\"6\"", "\"6")},
      {"twice.vanto", text + "gain = 2\n"},
      {"section.vanto", text + "[other]\nx = 1\n"},
      {"elements.vanto", replaced("elements = plant", "elements = all")},
      {"bool.vanto", replaced("plant-transformed = no", "plant-transformed = maybe")},
      {"picture.png", binary},
      {"picture.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><desc>" + text},
      {"picture.pdf", "%PDF-1.4\n" + binary},
      {"empty.png", ""},
  };
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files) {
    WriteFile(dir + "/" + name, bytes);
    paths.push_back(dir + "/" + name);
  }
  // A picture the program wrote, whole and cut short.
  Case render;
  render.args = {"--gain", "2", "render", "freq", "--size", "200x150", "--out", dir + "/real.png"};
  ASSERT_EQ(Spawn(render).status, 0);
  const std::string png = ReadFile(dir + "/real.png");
  WriteFile(dir + "/half.png", png.substr(0, png.size() / 2));
  paths.push_back(dir + "/real.png");
  paths.push_back(dir + "/half.png");
  ASSERT_EQ(::mkfifo((dir + "/fifo.vanto").c_str(), 0600), 0);
  for (const std::string& p : {dir + "/missing.vanto", dir, dir + "/fifo.vanto", dir + "/" + Repeat("m", 10000),
                               std::string("/dev/zero"), std::string("/dev/null"), std::string(" "), kBadUtf8})
    paths.push_back(p);
  WriteFile(dir + "/secret.vanto", text);
  fs::permissions(dir + "/secret.vanto", fs::perms::none);

  std::vector<Case> cases;
  for (const char* sub : {"time --points 50", "freq --margins", "--gain 2 locus --report closed", "save @"}) {
    for (const std::string& p : paths) {
      const std::string out = ScratchDir("system_out");
      Case c;
      c.out = std::string(sub) == "save @" ? Out::Nothing : Out::Table;
      c.args = {"--system", p};
      for (const std::string& w : Split(sub))
        c.args.push_back(w == "@" ? out + "/saved.vanto" : w);
      c.watchDir = out;
      if (c.out == Out::Nothing)
        c.outFile = out + "/saved.vanto";
      cases.push_back(c);
    }
  }
  Case secret;
  secret.prefix = OrdinaryUser();
  secret.args = {"--system", dir + "/secret.vanto", "time"};
  cases.push_back(secret);
  AddSlot(cases, "--system @ eval 1", {""}, Out::Value);
  AddSlot(cases, "--system " + good + " --system @ eval 1", {good}, Out::Value);
  AddSlot(cases, "eval 1 --system @", {good}, Out::Value);
  Sweep(cases);
  for (const Case& c : cases)
    if (!c.watchDir.empty())
      fs::remove_all(c.watchDir);
  fs::remove_all(dir);
}
