// vanto-cli sweep --family: each block is what `vanto-cli time` or `freq`
// prints with the parameter set to the block's value, and what it refuses.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Block {
  std::string value;  // as the remark prints it
  std::string table;
};

// The blocks of a family's output, each after its "# p = V" remark.
std::vector<Block> Blocks(const std::string& out)
{
  std::vector<Block> blocks;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("# p = ", 0) == 0) {
      blocks.push_back({line.substr(6), ""});
      continue;
    }
    EXPECT_FALSE(blocks.empty()) << "a line before the first remark: " << line;
    if (!blocks.empty())
      blocks.back().table += line + '\n';
  }
  return blocks;
}

TEST(SweepFamilyCli, EveryBlockIsTheSingleRunAtItsValue)
{
  const struct {
    const char* loop;     // loop options, before the subcommand's
    const char* over;     // a..d or gain
    const char* range;    // --from, --to, --log
    const char* command;  // time or freq
    const char* options;  // the subcommand's options
    int members;
    double from, to;
    bool log;
  } cases[] = {
      {"", "gain", "--from 0.5 --to 2", "time", "--points 40 --duration 4 --characteristics", 3, 0.5, 2, false},
      {"--gp-den '(a s+1)(s+2)' --gp-num 2", "a", "--from 0.1 --to 10 --log", "time",
       "--secondary error --points 30 --cost 'integ(e*e)'", 5, 0.1, 10, true},
      {"--gp-den '(s+b)(s^2+1.4s+6)' --gp-num 6", "b", "--from 0.5 --to 3", "freq", "--view bode-gain --points 25", 4,
       0.5, 3, false},
      {"--elements both", "gain", "--from 0.25 --to 4 --log", "freq", "--margins", 10, 0.25, 4, true},
  };
  for (const auto& c : cases) {
    const std::string family = std::string("sweep ") + c.loop + " --over " + c.over + ' ' + c.range + " --family " +
                               c.command + ' ' + c.options + " --members " + std::to_string(c.members);
    SCOPED_TRACE(family);
    const CliRun r = cli(family);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Block> blocks = Blocks(r.out);
    ASSERT_EQ(blocks.size(), static_cast<std::size_t>(c.members));
    for (int i = 0; i < c.members; ++i) {
      const Block& b = blocks[static_cast<std::size_t>(i)];
      const double f = static_cast<double>(i) / (c.members - 1);
      const double v = c.log ? c.from * std::pow(c.to / c.from, f) : c.from + f * (c.to - c.from);
      EXPECT_NEAR(std::stod(b.value), v, 1e-14 * v) << i;
      const std::string set =
          std::string(c.over) == "gain" ? "--gain " + b.value : "--param " + std::string(c.over) + '=' + b.value;
      const CliRun single = cli(std::string(c.command) + ' ' + c.loop + ' ' + set + ' ' + c.options);
      ASSERT_EQ(single.status, 0) << single.err;
      EXPECT_EQ(b.table, single.out) << "member " << i + 1;
    }
    EXPECT_NE(blocks.front().table, blocks.back().table) << "the parameter takes effect";
  }
}

TEST(SweepFamilyCli, RefusesBadFamiliesPrintingNothing)
{
  const struct {
    const char* args;
    int status;
    const char* message;
  } cases[] = {
      {"sweep --over a --from 0 --to 1 --family time --members 11", 1, "A family has at most 10 members"},
      {"sweep --over a --from 0 --to 1 --family freq --members 99999999999999", 1, "A family has at most 10 members"},
      {"sweep --over gain --from 2 --to 1 --family time", 1, "Family range: the start must be below the end"},
      {"sweep --over gain --from 0 --to 1 --log --family freq", 1, "A logarithmic family range must be positive"},
      {"sweep --gp-num 'a s^4+6' --over a --from 0 --to 1 --family time --members 2", 1,
       "Family member 2 (a = 1): Plant transfer function must be proper"},
      {"sweep --over a --from 0 --to 1 --family nlin", 2, "sweep --family: time or freq expected"},
      {"sweep --over a --family time", 2, "sweep: --from P1 --to P2 expected"},
      {"sweep --over a --from 1 --to 2 --family freq --df fwd", 2, "not of --df"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
