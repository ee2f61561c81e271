// vanto-cli save FILE and --system FILE: a saved loop gives the same
// tables as the options that described it, a bad file stops the run with one
// line, and a failed save keeps the old file.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string scratchDir(const char* name)
{
  const std::string d = testing::TempDir() + "vanto_cli_sys_" + std::to_string(getpid()) + "_" + name;
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

}  // namespace

TEST(CliSystemFile, SavedLoopGivesTheSameTablesAsItsOptions)
{
  const std::string dir = scratchDir("same");
  // Every loop option away from its start value, numbers that are not
  // short decimals included.
  const std::string loops[] = {
      "--gc-num '1+2s' --gc-den 's+0.7' --gp-num '6' --gp-den '(s+1)(s^2+1.4s+6)' --gain 0.1*3 "
      "--delay 0.05 --elements both --fwd-nl 'clip(x,a)' --fbk-nl 'x+0*b' --param a=0.3 --param b=-2",
      "--gp-num '0.1(z+0.5)' --gp-den 'z^2-1.5z+0.6' --hold 0.1 --gain 1/3 --elements plant",
  };
  const std::string runs[] = {
      "time --duration 7 --points 150 --fwd",
      "freq --view nichols --points 60 --from 0.1 --to 20",
      "freq --view bode-phase --points 40",
  };
  for (const std::string& loop : loops) {
    const std::string file = dir + "/loop.vanto";
    const CliRun save = cli(loop + " save '" + file + "'");
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(save.out, "");
    for (const std::string& run : runs) {
      const CliRun direct = cli(loop + " " + run);
      const CliRun fromFile = cli("--system '" + file + "' " + run);
      ASSERT_EQ(direct.status, 0) << loop << run << direct.err;
      EXPECT_GT(direct.out.size(), 200u);
      EXPECT_EQ(fromFile.status, 0) << fromFile.err;
      EXPECT_EQ(fromFile.out, direct.out) << loop << " | " << run;
    }
    // An option overrides the file wherever it stands.
    const CliRun before = cli("--gain 2 --system '" + file + "' freq --points 30");
    const CliRun after = cli("--system '" + file + "' --gain 2 freq --points 30");
    const CliRun direct = cli(loop + " --gain 2 freq --points 30");
    EXPECT_EQ(before.out, direct.out);
    EXPECT_EQ(after.out, direct.out);
    // save after --system writes the same file again.
    const CliRun again = cli("--system '" + file + "' save '" + dir + "/again.vanto'");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(readAll(dir + "/again.vanto"), readAll(file));
  }
  fs::remove_all(dir);
}

TEST(CliSystemFile, BadFileStopsTheRunWithOneLine)
{
  const std::string dir = scratchDir("bad");
  const std::string file = dir + "/bad.vanto";
  std::ofstream(file) << "VANTO system file 1\n[system]\ngian = 2\n";
  struct Case {
    std::string args;
    std::string err;
  };
  const Case cases[] = {
      {"--system '" + file + "' time", file + ", line 3: unknown key \"gian\"\n"},
      {"--gain 1e30 --system '" + file + "' time", file + ", line 3: unknown key \"gian\"\n"},
      {"--system '" + dir + "/none.vanto' freq", dir + "/none.vanto: no such file\n"},
      {"--system '" + dir + "' freq", dir + ": is a directory, not a system file\n"},
      {"--system '" + dir + "/picture.png' freq", dir + "/picture.png: no such file\n"},
  };
  for (const Case& c : cases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
  fs::remove_all(dir);
}

TEST(CliSystemFile, FailedSaveKeepsTheOldFile)
{
  const std::string dir = scratchDir("fail");
  const std::string file = dir + "/loop.vanto";
  const std::string old = "the old design\n";
  std::ofstream(file) << old;

  // A folder the user may not write to (the check runs as an ordinary user
  // when the suite runs as root, who may write anywhere).
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  const std::string asUser = geteuid() == 0 ? "exec setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  CliRun r = cli("save '" + file + "'", asUser);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Cannot write " + file + ": Permission denied\n");
  EXPECT_EQ(readAll(file), old);
  fs::permissions(dir, fs::perms::owner_all);

  // A file-size limit of one block (512 or 1024 bytes) stops the write of a
  // file of some 1400 bytes part-way.
  const std::string t79 = " '" + std::string(79, '1') + "'";
  r = cli("--gc-num" + t79 + " --gc-den" + t79 + " --gp-num" + t79 + " --gp-den" + t79 + " --fwd-nl" + t79 +
              " --fbk-nl" + t79 + " save '" + file + "'",
          "ulimit -f 1; exec ");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Cannot write " + file + ": File too large\n");
  EXPECT_EQ(readAll(file), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1) << "no temporary left";
  fs::remove_all(dir);
}
