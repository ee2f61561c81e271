// vanto-cli run as a script would: exit status, standard output and error.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs vanto-cli with the given arguments (shell-quoted by the caller).
CliRun cli(const std::string& args)
{
  // One file per run: ctest runs the cases of this suite side by side.
  static int runs = 0;
  const std::string errFile = testing::TempDir() + "vanto_cli_err_" + std::to_string(getpid()) + "_" +
                              std::to_string(++runs) + ".txt";
  const std::string cmd = std::string("'") + VANTO_CLI + "' " + args + " 2>'" + errFile + "'";
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p)
    return r;
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
    r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  if (FILE* e = fopen(errFile.c_str(), "r")) {
    while ((n = fread(buf.data(), 1, buf.size(), e)) > 0)
      r.err.append(buf.data(), n);
    fclose(e);
  }
  std::remove(errFile.c_str());
  return r;
}

}  // namespace

TEST(Cli, HelpAndVersionWorkEverywhere)
{
  for (const char* args : {"--help", "eval --help", "--gain 2 --help"}) {
    const CliRun r = cli(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_NE(r.out.find("usage: vanto-cli"), std::string::npos) << args;
    for (const char* sub : {"eval", "decode", "roots", "c2d", "time", "freq", "locus", "nlin", "render"})
      EXPECT_NE(r.out.find(std::string("  ") + sub), std::string::npos) << sub;
  }
  const CliRun v = cli("--version");
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "vanto-cli 1.1.0.0\n");
}

TEST(Cli, BadUsageExitsTwoWithTheUsage)
{
  const struct {
    const char* args;
    const char* what;
  } kBad[] = {{"", "subcommand expected"},
              {"frobnicate", "unknown subcommand: frobnicate"},
              {"--bogus eval 1", "unknown option: --bogus"},
              {"--gain", "--gain needs a value"},
              {"--gain 1+*2 eval 1", "--gain: Syntax error"},
              {"--elements all eval 1", "--elements: plant, compensator or both expected"},
              {"--param e=1 eval 1", "--param: NAME=VALUE with NAME a, b, c or d expected"},
              {"--param a=pi eval 1", "--param: plain number expected after a="},
              {"eval 1 --repeat 3", "eval does not take --repeat"},
              {"--gc-num 0123456789012345678901234567890123456789012345678901234567890123456789012345678901 eval 1",
               "--gc-num: text longer than 79 characters"}};
  for (const auto& b : kBad) {
    const CliRun r = cli(b.args);
    EXPECT_EQ(r.status, 2) << b.args;
    EXPECT_EQ(r.err.rfind(std::string("vanto-cli: ") + b.what + "\n", 0), 0u) << b.args << "\n" << r.err;
    EXPECT_NE(r.err.find("usage: vanto-cli"), std::string::npos) << b.args;
    EXPECT_TRUE(r.out.empty()) << b.args;
  }
}

TEST(Cli, ValueOutsideItsRangeIsTheDialogsWarning)
{
  const CliRun r = cli("--gain 3e20 eval 1");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Gain must lie between -1E20 and 1E20\n");
  const CliRun d = cli("--delay -1 eval 1");
  EXPECT_EQ(d.status, 1);
  EXPECT_EQ(d.err, "Delay must lie between 0 and 1E20\n");
}

TEST(Cli, EvalPrintsTheValueOrTheMessage)
{
  const struct {
    const char* args;
    int status;
    const char* out;
    const char* err;
  } kCases[] = {{"eval '2*pi'", 0, "6.2831853071795862\n", ""},
                {"eval -2^2", 0, "4\n", ""},
                {"eval -- -1/4", 0, "-0.25\n", ""},
                {"eval --1", 0, "1\n", ""},
                {"--gain 2 -- eval 1", 0, "1\n", ""},
                {"--param a=3 eval 'a*b'", 0, "3\n", ""},
                {"eval 'sqrt(-1)'", 1, "", "Function range\n"},
                {"eval '1+*2'", 1, "", "Syntax error\n"},
                {"eval 'sin (t)'", 1, "", "No such variable\n"},
                {"eval '1%2'", 1, "", "No such operator\n"}};
  for (const auto& c : kCases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(r.out, c.out) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
  const CliRun bad = cli("eval");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err.rfind("vanto-cli: eval needs an expression\n", 0), 0u);
  EXPECT_EQ(cli("eval 1 --domain space").status, 2);
}

TEST(Cli, SubcommandsNotBuiltYetSaySo)
{
  for (const char* args : {"time", "freq --view bode-gain", "nlin", "render time --out x.png"}) {
    const CliRun r = cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("not available yet"), std::string::npos) << args;
    EXPECT_EQ(r.err.find("usage:"), std::string::npos) << args;
  }
}

namespace {
// The first bytes of a file, empty when it cannot be read.
std::string head(const std::string& path, std::size_t n)
{
  std::string bytes(n, '\0');
  FILE* f = fopen(path.c_str(), "rb");
  if (!f)
    return {};
  bytes.resize(fread(bytes.data(), 1, n, f));
  fclose(f);
  return bytes;
}
}  // namespace

TEST(Cli, RenderWritesPicturesInTheFormatOfTheSuffix)
{
  const std::string base = testing::TempDir() + "vanto_cli_render_" + std::to_string(getpid());
  const struct {
    const char* args;
    const char* suffix;
    std::string magic;
  } kCases[] = {{"render demo --size 320x200", ".png", "\x89PNG"},
                {"render demo --kind bode", ".svg", "<?xml"},
                {"--delay 0.5 render sysdef", ".png", "\x89PNG"},
                {"render sysdef --size 400x116", ".pdf", "%PDF"},
                {"--elements both render locus --contours --settling 2 --closed-loop-marks --mark-labels", ".png",
                 "\x89PNG"},
                {"--hold 0.5 --gp-den 's(s+1)' render locus --xmin -1.5 --xmax 1.5", ".svg", "<?xml"}};
  for (const auto& c : kCases) {
    const std::string file = base + c.suffix;
    const CliRun r = cli(std::string(c.args) + " --out '" + file + "'");
    EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
    EXPECT_EQ(head(file, c.magic.size()), c.magic) << c.args;
    std::remove(file.c_str());
  }
  EXPECT_EQ(cli("render demo --out /tmp/x.bmp").status, 2);
  EXPECT_EQ(cli("render demo --out /nonexistent-dir/x.png").status, 1);
}

TEST(Cli, LocusPrintsThePointsReportsAndContours)
{
  const std::string twoPoles = "--gp-num 1 --gp-den '(s+1)(s+3)' locus ";
  const struct {
    std::string args;
    int status;
    const char* outStart;
    const char* err;
    std::size_t lines;  // of the whole output, 0: not checked
  } kCases[] = {
      {twoPoles + "--point -2,0", 0, "gain,1\nangle_deg,-180\n", "", 2},
      {twoPoles + "--point 'mag(3,4)-7, 0'", 0, "gain,1\n", "", 2},
      {twoPoles, 0, "tag,x,y\n-1,-1,0\n1,", "", 0},
      {twoPoles + "--report open", 0, "kind,re,im,radius,angle_deg\npole,-1,0,1,180\npole,-3,0,3,180\n", "", 3},
      {"--delay 1 locus --report closed", 1, "", "Not available with delay\n", 0},
      {"locus --damping 0.5", 0, "x,y\n-5.83095169,10.0995045\n0,0\n", "", 4},
      {"--hold 0.1 locus --settling 1 --points 50", 0, "x,y\n0.740818202,0\n", "", 101},
      {"--gp-den s+10 locus", 1, "", "No loci on screen\n", 0},
      {"locus --points 4", 1, "", "No of Points must lie between 5 and 1000\n", 0},
      {"locus --points 2 --damping 0.5", 1, "", "No of Points must lie between 5 and 1000\n", 0},
      {"locus --damping 1.5", 1, "", "Start zeta value must lie between 0 and 1\n", 0},
      {"locus --xmin 3 --xmax 3", 1, "", "Max must exceed Min\n", 0},
  };
  for (const auto& c : kCases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << c.args << "\n" << r.out.substr(0, 200);
    EXPECT_EQ(r.err, c.err) << c.args;
    if (c.lines) {
      EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), c.lines) << c.args;
    }
  }
  for (const char* bad : {"locus --report open --damping 0.5", "locus --report both", "locus --point 1"})
    EXPECT_EQ(cli(bad).status, 2) << bad;
  const CliRun timed = cli("--elements both locus --points 1000 --repeat 3");
  EXPECT_EQ(timed.status, 0);
  EXPECT_EQ(timed.err.rfind("repeat 3: median ", 0), 0u) << timed.err;
}
