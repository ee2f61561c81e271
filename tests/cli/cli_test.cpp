// vanto-cli run as a script would: exit status, standard output and error.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

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
  for (const char* args : {"time", "freq --df fwd", "locus", "nlin", "render time --out x.png",
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
                {"render sysdef --size 400x116", ".pdf", "%PDF"},
                {"--elements both render freq --view nichols --mcontours --labels --margins", ".png", "\x89PNG"},
                {"--delay 0.5 render freq --view bode-phase --hz --margins", ".svg", "<?xml"}};
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
