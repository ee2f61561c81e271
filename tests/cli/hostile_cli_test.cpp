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

#include "HostileRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

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
  // a plant gain past single precision: the Bode gain leaves a gap, not inf
  AddSlot(cases, "--gp-num @ freq --view bode-gain --points 50", {"1e308", "1e308s+1e-308"}, Out::TableGaps);
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
  // Ten tables, the first of some 9 kB and the next of 17 kB: a limit of
  // 12 kB stops the second, and the first must not stay behind either.
  const std::string tablesDir = ScratchDir("out");
  add("render freq --margins --mcontours --out @", tablesDir, tablesDir + "/x.csv",
      {"bash", "-c", "ulimit -f 12; exec \"$0\" \"$@\""});
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

// What the sweep found, each pinned to its exact answer: the run that once
// aborted, hung, printed inf or called an unstable loop stable.
TEST(CliHostile, FoundFaultsKeepTheirAnswers)
{
  // The default plant 6/((s+1)(s^2+1.4s+6)) crosses -180 degrees at
  // w^2 = 7.4, where the denominator is -11.76: the gain margin of gain K is
  // 20 log10(11.76/6) - 20 log10 K, and a negative K meets -180 at w = 0,
  // where L = 6K/6 = K.
  const double gm1 = 20.0 * std::log10(11.76 / 6.0);
  const struct {
    const char* args;
    int status;
    const char* err;  // the beginning of standard error
    const char* row;  // the beginning of an output line
    double value;     // the number after it (checked when row is given)
  } kFound[] = {
      {"--gain 1e-300 freq --margins", 0, "", "phase-crossover,2.72029", gm1 + 6000.0},
      {"--gain -1e-308 freq --margins", 0, "", "phase-crossover,0,", 6160.0},
      {"--gain -4.9e-324 freq --margins", 0, "", "phase-crossover,0,", -20.0 * std::log10(4.9406564584124654e-324)},
      // (1 + jw)(6 - w^2 + 1.4jw) at w = 8: -147.6 - 452.8j
      {"freq --view bode-gain --from 1e-308 --to 8 --points 3", 0, "", "8,8,",
       20.0 * std::log10(6.0 / std::hypot(-147.6, -452.8))},
      {"--gp-den 0 sweep --over gain --stable-ranges", 1, "No denominator\n", nullptr, 0},
      {"--gp-den 0 sweep --over gain --stable-ranges --from 0 --to 10", 1, "No denominator\n", nullptr, 0},
      {"time --points 10 --repeat 2147483648", 2, "vanto-cli: --repeat: at most 1000000 runs\n", nullptr, 0},
      {"freq --df fwd --amax 1e308", 1, "Maximum amplitude must lie between 0 and 1E20\n", nullptr, 0},
      {"freq --df fwd --amin 1e39 --amax 2e39", 1, "Minimum amplitude must lie between -1E20 and 1E20\n", nullptr, 0},
  };
  std::vector<Case> cases;
  for (const auto& f : kFound)
    cases.push_back({Split(f.args), Out::Table, {}, "", ""});
  const std::vector<Outcome> outcomes = RunAll(cases);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& f = kFound[i];
    const Outcome& o = outcomes[i];
    EXPECT_EQ(o.status, f.status) << f.args << "\n" << o.err;
    EXPECT_EQ(o.err.rfind(f.err, 0), 0u) << f.args << "\n" << o.err;
    if (!f.row)
      continue;
    const std::size_t at = o.out.find(f.row);
    ASSERT_NE(at, std::string::npos) << f.args << "\n" << o.out;
    const std::size_t comma = o.out.rfind(',', o.out.find('\n', at));
    const double v = std::strtod(o.out.c_str() + comma + 1, nullptr);
    EXPECT_NEAR(v, f.value, 1e-6 * std::fabs(f.value)) << f.args << "\n" << o.out;
  }
}
