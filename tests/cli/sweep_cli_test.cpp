// vanto-cli sweep: the parameter locus as blocks of p,re,im, the stable
// ranges, and what it refuses.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Row {
  double p, re, im;
};

// The blocks of a locus table after its header.
std::vector<std::vector<Row>> Blocks(const std::string& out)
{
  std::vector<std::vector<Row>> blocks(1);
  std::istringstream in(out);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "p,re,im");
  while (std::getline(in, line)) {
    if (line.empty()) {
      blocks.emplace_back();
      continue;
    }
    Row r{};
    EXPECT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%lf", &r.p, &r.re, &r.im), 3) << line;
    blocks.back().push_back(r);
  }
  return blocks;
}

// Every printed point is a root of s^3 + (a+1)s^2 + (a+6)s + 12, the loop
// 6/((s+1)(s^2+as+6)) closed, one block per branch over the whole range.
TEST(CliSweep, LocusBlocksAreBranchesOfRoots)
{
  const CliRun r = cli("--gp-den '(s+1)(s^2+as+6)' sweep --over a --from -2 --to 3 --points 11");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto blocks = Blocks(r.out);
  ASSERT_EQ(blocks.size(), 3u);
  for (const auto& b : blocks) {
    ASSERT_GE(b.size(), 11u);
    EXPECT_EQ(b.front().p, -2.0);
    EXPECT_EQ(b.back().p, 3.0);
    for (std::size_t i = 0; i < b.size(); ++i) {
      const long double a = b[i].p;
      const std::complex<long double> s(b[i].re, b[i].im);
      const auto v = ((s + (a + 1)) * s + (a + 6)) * s + 12.0L;
      EXPECT_LT(std::abs(v), 1e-10L * (1 + std::pow(std::abs(s), 3))) << b[i].p << " " << b[i].re;
      if (i > 0) {
        EXPECT_GT(b[i].p, b[i - 1].p);
      }
    }
  }
}

TEST(CliSweep, StableRangesAndRefusals)
{
  const struct {
    const char* args;
    int status;
    const char* out;  // exact, or the start of stderr for a refusal
  } cases[] = {
      // 2.4 * 7.4 > 6 + 6K up to K = 1.96: the start-up plant on the whole gain axis
      {"sweep --over gain --stable-ranges", 0, "from,to\n0,1.959999999"},
      {"--gp-num c --gp-den 'z^2-1.5z+0.7' sweep --over c --from 0.5 --to 1 --stable-ranges", 0, "from,to\nnone\n"},
      {"--gp-den '(s+1)(s+[1/a])' sweep --over a --from -1 --to 1 --points 9", 0,
       "# locus interrupted for a from 0 to 0: Division by zero\np,re,im\n-1,"},
      {"sweep --over b --from 0 --to 1", 1, "Parameter b is not used by the loop\n"},
      {"--gp-den '(s+1)(s^2+as+6)' sweep --over a --from 2 --to 1", 1, "Max must exceed Min\n"},
      {"--gp-den '(s+1)(s^2+as+6)' sweep --over a --from 0 --to 1 --log", 1, "Log scale needs positive values\n"},
      {"sweep --over a --from 0 --to 1 --points 1", 1, "No of Points must lie between 2 and 10000\n"},
      {"sweep --over e --from 0 --to 1", 2, "vanto-cli: sweep: --over a, b, c, d or gain expected\n"},
      {"sweep --over a", 2, "vanto-cli: sweep: --from P1 --to P2 expected\n"},
      {"sweep --over gain --from 1", 2, "vanto-cli: sweep: --from P1 --to P2 expected\n"},
  };
  for (const auto& c : cases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    const std::string& text = c.status == 0 ? r.out : r.err;
    EXPECT_EQ(text.rfind(c.out, 0), 0u) << c.args << "\n" << text;
    if (c.status != 0) {
      EXPECT_TRUE(r.out.empty()) << c.args;
    }
  }
}

}  // namespace
