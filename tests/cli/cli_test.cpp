// vanto-cli run as a script would: exit status, standard output and error.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {
// What a run must give: its exit status and its whole standard output and error.
struct Expected {
  const char* args;
  int status;
  const char* out;
  const char* err;
};

void ExpectRuns(std::initializer_list<Expected> runs)
{
  for (const Expected& e : runs) {
    const CliRun r = cli(e.args);
    EXPECT_EQ(r.status, e.status) << e.args;
    EXPECT_EQ(r.out, e.out) << e.args;
    EXPECT_EQ(r.err, e.err) << e.args;
  }
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
  ExpectRuns({{"--version", 0, "vanto-cli 1.1.0.0\n", ""}});
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
  ExpectRuns({{"--gain 3e20 eval 1", 1, "", "Gain must lie between -1E20 and 1E20\n"},
              {"--delay -1 eval 1", 1, "", "Delay must lie between 0 and 1E20\n"},
              // Values kept in single precision, refused before they overflow it.
              {"freq --to 1e39", 1, "", "End frequency must lie between 0 and 1E20\n"},
              {"freq --hz --from 1 --to 2e20", 1, "", "End frequency must lie between 0 and 1E20\n"},
              {"time --ic-plant 3.5e38", 1, "", "Initial plant output must lie between -1E20 and 1E20\n"},
              {"time --ic-comp -1e21", 1, "", "Initial compensator output must lie between -1E20 and 1E20\n"},
              {"nlin --xmax 1e308", 1, "", "X-axis max must lie between -1E20 and 1E20\n"},
              {"nlin --xmin -1e21", 1, "", "X-axis min must lie between -1E20 and 1E20\n"},
              // A characteristic that leaves single precision has overflowed.
              {"--fwd-nl 'x^3' nlin --xmin 1e19 --xmax 1e20 --points 2", 1, "", "Too big\n"}});
  // An overflow inside an option's expression refuses the option.
  const CliRun r = cli("--hold 0.1 c2d --element plant --method prewarp --prewarp-freq '1e308*10'");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("vanto-cli: --prewarp-freq: Too big\n", 0), 0u) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST(Cli, EvalPrintsTheValueOrTheMessage)
{
  ExpectRuns({{"eval '2*pi'", 0, "6.2831853071795862\n", ""},
              {"eval -2^2", 0, "4\n", ""},
              {"eval -- -1/4", 0, "-0.25\n", ""},
              {"eval --1", 0, "1\n", ""},
              {"--gain 2 -- eval 1", 0, "1\n", ""},
              {"--param a=3 eval 'a*b'", 0, "3\n", ""},
              {"eval 'sqrt(-1)'", 1, "", "Function range\n"},
              {"eval '1e308*10'", 1, "", "Too big\n"},
              {"eval '1e308*10-1e308*10'", 1, "", "Too big\n"},
              {"eval '1+*2'", 1, "", "Syntax error\n"},
              {"eval 'sin (t)'", 1, "", "No such variable\n"},
              {"eval '1%2'", 1, "", "No such operator\n"}});
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
    const CliRun r = cli(std::string("--gp-num 1 --gp-den '") + c.den +
                         "' --hold 1 c2d --element plant --method zoh --coefficients");
    ASSERT_EQ(r.status, 0) << c.den << ": " << r.err;
    const long double al = std::exp(-c.a), be = std::exp(-c.b), a = c.a, b = c.b;
    const long double num[2] = {c.K * (al * be / (a * b) + be / (a * (a - b)) + al / (b * (b - a))),
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

// A picture of a window that does not exist is a mistake of the caller:
// the windows that do, then the usage.
TEST(Cli, RenderOfAnUnknownWindowIsBadUsage)
{
  for (const char* args : {"render root --out /tmp/x.png", "render diagram --out /tmp/x.svg"}) {
    const CliRun r = cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("render: time, freq, locus, nlin or sysdef expected"), std::string::npos) << args;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
  }
}

// Expected tables worked out by hand from the definitions: the start-up
// backlash hyst(x,a), a = 1, starts at x max, so going up from -5 it lags
// by 1 (flat at -4 first), and coming down it leads by 1.
TEST(Cli, NlinPrintsTheCharacteristicOrTheMessage)
{
  ExpectRuns({
      {"nlin --points 2", 0, "x,y\n-5,-4\n0,-1\n5,4\n0,1\n-5,-4\n", ""},
      {"nlin --no-fwd --points 2", 0, "x,y\n-5,-5\n0,0\n5,5\n", ""},
      {"nlin --no-fwd --fbk --points 4 --xmin 0 --xmax 2", 0, "x,y\n0,0\n0.5,1\n1,1\n1.5,2\n2,2\n", ""},
      // the feedback text is not in use, so it is not compiled
      {"--fbk-nl '1+*2' nlin --no-fwd --points 2 --xmin 0 --xmax 0.1", 0,
       "x,y\n0,0\n0.0500000007,0.0500000007\n0.100000001,0.100000001\n", ""},
      {"--fwd-nl '1+*2' nlin", 1, "", "Invalid nonlinear function\n"},
      {"nlin --points 1", 1, "", "No of Points must lie between 2 and 1000\n"},
      {"nlin --points 1e12", 1, "", "No of Points must lie between 2 and 1000\n"},
      {"nlin --xmin 1 --xmax 1", 1, "", "Max must exceed Min\n"},
  });
  EXPECT_EQ(cli("nlin --xmin").status, 2);

  // 1000 steps up and back need 2001 entries: 2000 printed, then the note
  const CliRun full = cli("nlin --points 1000 --repeat 2");
  EXPECT_EQ(full.status, 0);
  EXPECT_EQ(std::count(full.out.begin(), full.out.end(), '\n'), 2002);
  EXPECT_NE(full.out.find("\n-4.98999977,-3.99000001\n# Characteristic cut at 2000 points\n"), std::string::npos);
  EXPECT_EQ(full.err.rfind("repeat 2: median ", 0), 0u) << full.err;
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
  } kCases[] = {
      {"render demo --size 320x200", ".png", "\x89PNG"},
      {"render demo --kind bode", ".svg", "<?xml"},
      {"--delay 0.5 render sysdef", ".png", "\x89PNG"},
      {"render sysdef --size 400x116", ".pdf", "%PDF"},
      {"render nlin --fbk --xmin -2 --xmax 2", ".png", "\x89PNG"},
      {"--elements both render time --characteristics", ".png", "\x89PNG"},
      {"--hold 0.2 render time --phase-x y --phase-y 'diff(y)'", ".svg", "<?xml"},
      {"--elements both render freq --view nichols --mcontours --labels --margins", ".png", "\x89PNG"},
      {"--delay 0.5 render freq --view bode-phase --hz --margins", ".svg", "<?xml"},
      {"--elements both --gain 2 render freq --view nichols --df fbk --limit-cycles", ".png", "\x89PNG"},
      {"--elements both render locus --contours --settling 2 --closed-loop-marks --mark-labels", ".png", "\x89PNG"},
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
  const CliRun bad = cli("--fwd-nl '1+*2' render nlin --out /tmp/x.png");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "Invalid nonlinear function\n");
}

// A write that really fails: a file-size limit (with SIGXFSZ ignored, so
// the write returns an error instead of ending the program), and a target
// that is a full device.
TEST(Cli, FailedRenderLeavesTheOldPictureWhole)
{
  std::string dir = testing::TempDir() + "vanto_cli_fail_XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string limit = "trap '' XFSZ; ulimit -f 2; exec ";  // 1 or 2 kB
  for (const char* suffix : {".png", ".svg", ".pdf"}) {
    const std::string file = dir + "/picture" + suffix;
    ASSERT_EQ(cli("render demo --out '" + file + "'").status, 0) << suffix;
    const std::string old = head(file, std::size_t{1} << 24);
    ASSERT_GT(old.size(), 4096u) << suffix;
    const CliRun r = cli("render demo --kind bode --out '" + file + "'", limit);
    EXPECT_EQ(r.status, 1) << suffix;
    EXPECT_EQ(r.err, "Cannot write " + file + "\n") << suffix;
    EXPECT_EQ(head(file, std::size_t{1} << 24), old) << suffix;
    // Without the limit the same run replaces it.
    EXPECT_EQ(cli("render demo --kind bode --out '" + file + "'").status, 0) << suffix;
    EXPECT_NE(head(file, std::size_t{1} << 24), old) << suffix;
    std::remove(file.c_str());
  }
  if (access("/dev/full", W_OK) == 0) {
    const std::string full = dir + "/full.png";
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    const CliRun r = cli("render demo --out '" + full + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Cannot write " + full + "\n");
    std::remove(full.c_str());
  }
  EXPECT_EQ(rmdir(dir.c_str()), 0) << "a partial file was left in " << dir;
}

TEST(Cli, RenderSysdefDrawsTheBlocksOfTheKindOfLoop)
{
  // The delay shows only in the delay block, which a discrete loop has not:
  // there the picture with a delay is the picture without one.
  const std::string file = testing::TempDir() + "vanto_cli_sysdef_" + std::to_string(getpid()) + ".png";
  const auto picture = [&file](const std::string& loop) {
    EXPECT_EQ(cli(loop + " render sysdef --out '" + file + "'").status, 0) << loop;
    const std::string bytes = head(file, std::size_t{1} << 24);
    std::remove(file.c_str());
    // The drawing only: the text chunks carry the loop, which differs.
    std::string drawing = bytes.substr(0, 8);
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
      std::size_t n = 0;
      for (std::size_t i = 0; i < 4; ++i)
        n = (n << 8) | std::uint8_t(bytes[at + i]);
      const std::string type = bytes.substr(at + 4, 4);
      if (type != "tEXt" && type != "zTXt" && type != "iTXt")
        drawing += bytes.substr(at, n + 12);
      at += n + 12;
    }
    return drawing;
  };
  const struct {
    const char* loop;
    bool delayShown;
  } kLoops[] = {{"--gp-den z-0.5", false},
                {"--gp-den 's+1'", true},
                {"--gp-den 's+1' --gc-num z --gc-den z-0.5 --elements both --hold 0.1", true}};
  for (const auto& c : kLoops) {
    const std::string without = picture(c.loop);
    ASSERT_EQ(without.substr(0, 4), "\x89PNG") << c.loop;
    EXPECT_EQ(picture(std::string(c.loop) + " --delay 0.5") != without, c.delayShown) << c.loop;
  }
  const CliRun invalid = cli("--gp-den z-0.5 --gc-num 's+1' --elements both render sysdef --out '" + file + "'");
  EXPECT_EQ(invalid.status, 1);
  EXPECT_EQ(invalid.err, "Discrete plant must have discrete controller\n");
  EXPECT_NE(std::remove(file.c_str()), 0) << "no picture of a loop that does not classify";
}

namespace {
std::vector<std::string> lines(const std::string& text)
{
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
    out.push_back(text.substr(from, nl - from));
  return out;
}
}  // namespace

TEST(Cli, TimeResponseTable)
{
  // closed-loop 1/(s+1) on a unit step: y = 0.5 (1 - e^(-2t))
  const CliRun r =
      cli("--gp-num 1 --gp-den s+1 time --duration 2 --points 1000 --cost 'integ(e*e)' "
          "--characteristics --repeat 3");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> out = lines(r.out);
  ASSERT_EQ(out.size(), 1u + 1001u + 5u + 1u);
  EXPECT_EQ(out[0], "t,u,input,y");
  EXPECT_EQ(out[1], "0,1,1,0");
  double t = 0, u = 0, in = 0, y = 0;
  ASSERT_EQ(std::sscanf(out[1001].c_str(), "%lf,%lf,%lf,%lf", &t, &u, &in, &y), 4);
  EXPECT_DOUBLE_EQ(t, 2.0);
  EXPECT_NEAR(y, 0.5 * (1 - std::exp(-4.0)), 1e-4);
  EXPECT_EQ(out[1002].rfind("# final = 0.49", 0), 0u) << out[1002];
  EXPECT_EQ(out[1004], "# overshoot = 0 %");
  EXPECT_EQ(out.back().rfind("# cost = ", 0), 0u);
  EXPECT_NE(r.err.find("repeat 3: median"), std::string::npos);

  const struct {
    const char* args;
    const char* header;
  } kHeaders[] = {{"time --secondary error --points 2", "t,e,input,y"},
                  {"time --phase-x y --points 2", "t,x,y"},
                  {"--hold 0.5 --gp-den z-0.5 --gp-num 1 time --points 2", "t,u,input,y"}};
  for (const auto& h : kHeaders) {
    const CliRun run = cli(h.args);
    EXPECT_EQ(run.status, 0) << h.args << ": " << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), h.header) << h.args;
  }
}

TEST(Cli, TimeRefusals)
{
  const struct {
    const char* args;
    int status;
    const char* message;
  } kCases[] = {
      {"time --points 1001", 1, "No of Points must lie between 2 and 1000"},
      {"time --duration 0 --points 5000", 1, "Duration must lie between 1E-20 and 1E20"},
      {"time --periodic 0", 1, "Input period must lie between 1E-20 and 1E20"},
      {"--hold 0.01 time --points 1000", 1,
       "Run needs 2001 points, the trace holds 2000: shorten the duration or lengthen the sample-hold time"},
      {"time --ref 'sin('", 1, "Invalid reference input function"},
      {"time --secondary both", 2, "time: --secondary must be none, effort or error"},
      {"time --phase-y 'diff(y)' --characteristics", 2,
       "time: --characteristics measures a time response, not a phase plane"},
  };
  for (const auto& c : kCases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(r.err.rfind(c.status == 1 ? std::string(c.message) + "\n" : "vanto-cli: " + std::string(c.message), 0),
              0u)
        << c.args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << c.args;
  }
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
      {"locus --ymax 1e9", 1, "",
       "Y-axis range too large for the X-axis range, try changing scales or number of points\n", 0},
      {"locus --ymin -1e21", 1, "", "Y-axis min must lie between -1E20 and 1E20\n", 0},
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

// Every picture carries the loop it shows: --system reads it back as the
// same loop (the saved files are byte-identical), a PNG is as many pixels
// as its resolution asks, and a picture without a loop is refused with one
// message naming it.
TEST(Cli, PicturesCarryTheirLoop)
{
  std::string dir = testing::TempDir() + "vanto_cli_meta_XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string loop = "--gain 2.5 --delay 0.3 --gp-num '3(s+2)' --param b=0.25 --elements both";
  ASSERT_EQ(cli(loop + " save '" + dir + "/direct.sys'").status, 0);
  const std::string direct = head(dir + "/direct.sys", std::size_t{1} << 20);
  ASSERT_NE(direct.find("2.5"), std::string::npos);
  for (const char* out : {"/p.png --dpi 150", "/p.svg", "/p.pdf", "/p.PNG"}) {
    const std::string pic = dir + std::string(out).substr(0, 6);
    ASSERT_EQ(cli(loop + " render freq --view nichols --out " + dir + out).status, 0) << out;
    const CliRun back = cli("--system '" + pic + "' save '" + dir + "/back.sys'");
    ASSERT_EQ(back.status, 0) << out << ": " << back.err;
    EXPECT_EQ(head(dir + "/back.sys", std::size_t{1} << 20), direct) << out;
  }
  // The PNG's header: width and height, big-endian, at bytes 16 and 20.
  ASSERT_EQ(cli("render demo --size 320x200 --dpi 300 --out '" + dir + "/d.png'").status, 0);
  const std::string png = head(dir + "/d.png", 24);
  ASSERT_EQ(png.size(), 24u);
  const auto be32 = [&png](std::size_t at) {
    return (unsigned(std::uint8_t(png[at])) << 24) | (unsigned(std::uint8_t(png[at + 1])) << 16) |
           (unsigned(std::uint8_t(png[at + 2])) << 8) | unsigned(std::uint8_t(png[at + 3]));
  };
  EXPECT_EQ(be32(16), 1000u);  // 320 * 300 / 96
  EXPECT_EQ(be32(20), 625u);
  for (const char* bad : {"render demo --dpi 300 --out /tmp/x.svg", "render demo --dpi 95 --out /tmp/x.png",
                          "render demo --dpi 601 --out /tmp/x.png", "render sysdef --out /tmp/x.csv"})
    EXPECT_EQ(cli(bad).status, 2) << bad;

  const struct {
    const char* name;
    const char* content;
    const char* message;
  } kPlain[] = {{"plain.svg", "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"><metadata/></svg>\n",
                 ": the picture carries no VANTO system in its metadata\n"},
                {"plain.pdf", "%PDF-1.4\n1 0 obj\n<< /Title (x) >>\nendobj\n%%EOF\n",
                 ": the picture carries no VANTO system in its metadata\n"},
                {"plain.png", "\x89PNG\r\n\x1A\n", ": the picture carries no VANTO system in its metadata\n"},
                {"text.pdf", "VANTO system file 1\n", ": not a PNG, SVG or PDF picture\n"}};
  for (const auto& p : kPlain) {
    const std::string path = dir + "/" + p.name;
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs(p.content, f);
    fclose(f);
    const CliRun r = cli("--system '" + path + "' freq");
    EXPECT_EQ(r.status, 1) << p.name;
    EXPECT_EQ(r.err, path + p.message) << p.name;
    EXPECT_TRUE(r.out.empty()) << p.name;
  }
  const CliRun missing = cli("--system '" + dir + "/none.png' freq");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, dir + "/none.png: no such file\n");
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}
