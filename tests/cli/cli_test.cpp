// vanto-cli run as a script would: exit status, standard output and error.

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
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

namespace {
// The numbers after "name," on the output line that starts with it.
std::vector<long double> csvRow(const std::string& out, const std::string& name)
{
  std::vector<long double> v;
  const std::size_t at = out.find(name + ",");
  if (at == std::string::npos)
    return v;
  const char* p = out.c_str() + at + name.size();
  while (*p == ',') {
    long double x = 0;
    const auto [end, ec] = std::from_chars(p + 1, out.c_str() + out.size(), x);
    if (ec != std::errc())
      break;
    v.push_back(x);
    p = end;
  }
  return v;
}
}  // namespace

// The zero-order hold of K/((s+a)(s+b)), T = 1, against its closed form
// (partial fractions of the step response): the stiff plants that once
// gave a numerator of 2.39e8 and a numerator of 0.
TEST(Cli, C2dOfStiffPlantsMatchesTheClosedForm)
{
  const struct {
    const char* den;
    long double K, a, b;
  } kCases[] = {{"(s+1)(1e-4s+1)", 1e4L, 1, 1e4L}, {"(s+1)(s+1e6)", 1, 1, 1e6L}};
  for (const auto& c : kCases) {
    const CliRun r = cli(std::string("--gp-num 1 --gp-den '") + c.den + "' --hold 1 c2d --element plant --method zoh --coefficients");
    ASSERT_EQ(r.status, 0) << c.den << ": " << r.err;
    const long double al = std::exp(-c.a), be = std::exp(-c.b), a = c.a, b = c.b;
    const long double num[2] = {
        c.K * (al * be / (a * b) + be / (a * (a - b)) + al / (b * (b - a))),
        c.K * (-(al + be) / (a * b) - (1 + be) / (a * (a - b)) - (1 + al) / (b * (b - a)))};
    const long double den[3] = {al * be, -(al + be), 1};
    const std::vector<long double> gotNum = csvRow(r.out, "num"), gotDen = csvRow(r.out, "den");
    ASSERT_EQ(gotNum.size(), 2u) << r.out;
    ASSERT_EQ(gotDen.size(), 3u) << r.out;
    for (int i = 0; i < 2; ++i)
      EXPECT_NEAR(gotNum[i], num[i], 1e-9L * std::fabs(num[i])) << c.den << " num c" << i;
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(gotDen[i], den[i], 1e-9L * std::fabs(den[i]) + 1e-300L) << c.den << " den c" << i;
    EXPECT_NE(r.out.find("delay-samples,0\n"), std::string::npos) << r.out;
  }
}

TEST(Cli, SubcommandsNotBuiltYetSaySo)
{
  for (const char* args : {"time", "freq --view bode-gain", "locus", "nlin", "render time --out x.png",
                           "render locus --out x.png"}) {
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
                {"render sysdef --size 400x116", ".pdf", "%PDF"}};
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
