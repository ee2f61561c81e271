// vanto-cli freq and render freq: the printed points against the loop's
// own formula, the messages of the scales dialog, M contours and margins.

#include "CliRun.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Cplx = std::complex<double>;

// The CSV rows after the header, as numbers.
std::vector<std::vector<double>> Rows(const std::string& out, const std::string& header)
{
  std::vector<std::vector<double>> rows;
  std::istringstream in(out);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, header);
  while (std::getline(in, line)) {
    std::vector<double> row;
    std::istringstream fields(line);
    std::string f;
    while (std::getline(fields, f, ','))
      row.push_back(std::strtod(f.c_str(), nullptr));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TEST(FreqCli, PrintsThePointsOfTheView)
{
  // 1/(s + 1) on the grid 1, 2, 3 rad/s (or 1, 2 Hz).
  const struct {
    const char* args;
    double scale;  // rad/s per display unit
    int points;
    bool bode;  // x is the frequency in the display unit, y the gain in dB
  } kCases[] = {
      {"freq --from 1 --to 3 --points 3 --linear", 1, 3, false},
      {"freq --from 1 --to 2 --points 2 --linear --hz --view bode-gain", 2 * M_PI, 2, true},
  };
  for (const auto& c : kCases) {
    const CliRun r = cli(std::string("--gp-num 1 --gp-den s+1 ") + c.args);
    ASSERT_EQ(r.status, 0) << c.args << ": " << r.err;
    const auto rows = Rows(r.out, "w,x,y");
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.points)) << c.args;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const double w = rows[i][0];
      const Cplx l = 1.0 / Cplx(1, w);
      const double x = c.bode ? w / c.scale : l.real();
      const double y = c.bode ? 20 * std::log10(std::abs(l)) : l.imag();
      EXPECT_NEAR(rows[i][1], x, 1e-6 * std::max(1.0, std::fabs(x))) << c.args << " row " << i;
      EXPECT_NEAR(rows[i][2], y, 1e-6 * std::max(1.0, std::fabs(y))) << c.args << " row " << i;
    }
    EXPECT_NEAR(rows.front()[0], 1 * c.scale, 1e-6);
  }
  // A gain of 0 has no dB: the chart's gap is printed as nan.
  const CliRun zero = cli("--gain 0 freq --view bode-gain --points 2");
  ASSERT_EQ(zero.status, 0) << zero.err;
  EXPECT_EQ(zero.out, "w,x,y\n0.200000003,0.200000003,nan\n8,8,nan\n");
}

TEST(FreqCli, MessagesAndUsage)
{
  const struct {
    const char* args;
    int status;
    const char* err;  // the whole of stderr for status 1, its start for 2
  } kCases[] = {
      {"freq --from -1", 1, "Start frequency must be positive\n"},
      {"freq --from 5 --to 5", 1, "End frequency must exceed start frequency\n"},
      {"freq --from 0", 1, "Don't use logarithmic frequency increment with zero start frequency\n"},
      {"freq --from 0 --linear --gp-den s", 1, "Zero initial frequency only allowed with Type 0 systems\n"},
      {"freq --points 1500", 1, "No of Points must lie between 1 and 1000\n"},
      {"freq --input noise", 1, "Invalid input for open-loop systems\n"},
      {"freq --mcontour 150", 1, "Start M value must lie between -100 and 100\n"},
      {"freq --view polar", 2, "vanto-cli: --view: nyquist, inverse, nichols, bode-gain or bode-phase expected\n"},
      {"freq --input ramp", 2, "vanto-cli: --input: ref, load or noise expected\n"},
      {"freq --view bode-phase --mcontour 3", 2, "vanto-cli: freq --mcontour: the Bode views have no M contours\n"},
      // The start-up forward nonlinearity hyst(x,1) has no output up to A = 1.
      {"freq --df fwd --amin 0.25 --amax 1", 1, "Excitation amplitude too small, change range\n"},
      {"freq --df fwd --closed", 1, "Describing function only available in open-loop\n"},
      {"freq --df fbk --closed --view bode-gain", 1, "Describing function not available in the Bode views\n"},
      {"freq --df fbk --amps 201", 1, "Number of points must lie between 1 and 200\n"},
      {"freq --df fbk --amin 0", 1, "Start amplitude must be positive\n"},
      {"freq --df fbk --amin 5 --amax 5", 1, "End amplitude must exceed start amplitude\n"},
      {"freq --df fbk --dft 100", 2, "vanto-cli: --dft: 4, 8, 16, 32, 64, 128, 256 or 512 expected\n"},
      {"freq --df mid", 2, "vanto-cli: --df: fwd or fbk expected\n"},
      {"freq --amps 5", 2, "vanto-cli: --amin, --amax, --amps and --dft go with --df\n"},
      {"freq --limit-cycles", 2, "vanto-cli: freq --limit-cycles: goes with --df fwd|fbk\n"},
      // An all-zero denominator, as the other domains refuse it.
      {"--gp-num 1 --gp-den 0 freq", 1, "No denominator\n"},
      {"--gp-num 1 --gp-den 0 freq --margins", 1, "No denominator\n"},
      {"--gp-num 1 --gp-den 0 --fwd-nl x freq --df fwd --limit-cycles", 1, "No denominator\n"},
      {"--gc-den 0 --elements both freq --view nichols", 1, "No denominator\n"},
  };
  for (const auto& c : kCases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    if (c.status == 1) {
      EXPECT_EQ(r.err, c.err) << c.args;
    } else {
      EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << c.args << ": " << r.err;
    }
    EXPECT_TRUE(r.out.empty()) << c.args;
  }
}

TEST(FreqCli, MContourMarginsAndRepeat)
{
  // 0 dB in the Nyquist view: the line at -1/2, ten chart heights beyond
  // the start range -1.5 .. 0.733.
  const CliRun line = cli("freq --mcontour 0");
  ASSERT_EQ(line.status, 0) << line.err;
  const auto pts = Rows(line.out, "x,y");
  ASSERT_EQ(pts.size(), 2u);
  EXPECT_EQ(pts[0][0], -0.5);
  EXPECT_NEAR(pts[0][1], -1.5 - 10 * 2.2330827067669173, 1e-5);
  EXPECT_NEAR(pts[1][1], 0.7330827067669173 + 10 * 2.2330827067669173, 1e-5);

  // The start-up loop: L(j sqrt 5) = -1/2 exactly.
  const CliRun m = cli("--elements both freq --margins");
  ASSERT_EQ(m.status, 0) << m.err;
  std::istringstream in(m.out);
  std::string line1, gc, pc, dm, rest;
  std::getline(in, line1);
  std::getline(in, gc);
  std::getline(in, pc);
  std::getline(in, dm);
  EXPECT_EQ(line1, "kind,w,value");
  EXPECT_EQ(gc.rfind("gain-crossover,", 0), 0u) << gc;
  EXPECT_EQ(dm.rfind("delay-margin,", 0), 0u) << dm;
  double w = 0, gmDb = 0;
  ASSERT_EQ(std::sscanf(pc.c_str(), "phase-crossover,%lf,%lf", &w, &gmDb), 2) << pc;
  EXPECT_NEAR(w, std::sqrt(5.0), 1e-9);
  EXPECT_NEAR(gmDb, 20 * std::log10(2.0), 1e-6);
  EXPECT_FALSE(std::getline(in, rest)) << rest;
  EXPECT_EQ(cli("--gp-num 0.5 --gp-den s+1 freq --margins").out,
            "kind,w,value\ngain-crossover,none,none\nphase-crossover,none,none\ndelay-margin,none,none\n");

  const CliRun rep = cli("freq --points 1000 --repeat 3");
  EXPECT_EQ(rep.status, 0);
  EXPECT_EQ(rep.err.rfind("repeat 3: median ", 0), 0u) << rep.err;
}

// The identity's N = 1 is the point -1; a relay with the start-up plant
// predicts one stable cycle at w180 = sqrt(7.4) with the amplitude of
// harmonic balance, 4 |L|/pi, |L| = 6/11.76, at any samples per period;
// without a crossing the row says none.
TEST(FreqCli, DescribingFunctionAndLimitCycles)
{
  const auto identity = Rows(cli("--fwd-nl x freq --df fwd --amps 3").out, "A,re,im,x,y");
  ASSERT_EQ(identity.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(identity[i][0], 1 + 4.5 * i);
    EXPECT_NEAR(identity[i][1], 1, 1e-14);
    EXPECT_EQ(identity[i][2], 0);
    EXPECT_EQ(identity[i][3], -1);
    EXPECT_EQ(identity[i][4], 0);
  }
  // The start-up backlash hyst(x,1) has no -1/N at the first amplitude, 1:
  // the other 19 print, and a remark says which one is missing and why.
  const CliRun startUp = cli("freq --df fwd");
  ASSERT_EQ(startUp.status, 0) << startUp.err;
  const std::string note =
      "# 1 of 20 amplitudes left out (1): the describing function is 0 there, so -1/N does not exist\n";
  ASSERT_GT(startUp.out.size(), note.size());
  EXPECT_EQ(startUp.out.substr(startUp.out.size() - note.size()), note);
  const auto backlash = Rows(startUp.out.substr(0, startUp.out.size() - note.size()), "A,re,im,x,y");
  ASSERT_EQ(backlash.size(), 19u);
  for (std::size_t i = 0; i < 19; ++i) {
    const double amp = 1 + 9.0 * static_cast<double>(i + 1) / 19;
    const double b = std::acos(1 - 2 / amp);  // backlash of half-width 1
    EXPECT_NEAR(backlash[i][0], amp, 1e-6 * amp);
    EXPECT_NEAR(backlash[i][1], (M_PI - b + std::sin(b) * std::cos(b)) / M_PI, 1e-3) << amp;
    EXPECT_NEAR(backlash[i][2], -std::sin(b) * std::sin(b) / M_PI, 1e-3) << amp;
  }

  for (const char* dft : {"", " --dft 512", " --dft 8"}) {
    const CliRun r = cli(std::string("--fwd-nl 'relay(x)' freq --df fwd --amin 0.1 --amax 2 --limit-cycles") + dft);
    ASSERT_EQ(r.status, 0) << dft << ": " << r.err;
    double a = 0, w = 0;
    int stable = -1;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "A,w,stable\n%lf,%lf,%d", &a, &w, &stable), 3) << r.out;
    EXPECT_NEAR(w, std::sqrt(7.4), 1e-9) << dft;
    EXPECT_NEAR(a, 4 * 6 / 11.76 / M_PI, 1e-9) << dft;
    EXPECT_EQ(stable, 1);
  }
  EXPECT_EQ(cli("--fbk-nl 'clip(x,1)' freq --df fbk --limit-cycles").out.rfind("A,w,stable\nnone,none,none\n# ", 0),
            0u);
}

// A describing function that turns faster than the search's locus points
// follow fills them: the search says so and lists what it found below the
// amplitude reached, never writing past the store.
TEST(FreqCli, LimitCycleSearchKeepsWithinItsLocusPoints)
{
  const char* const kRuns[] = {
      "--fwd-nl 'sin(1000*x)' freq --df fwd --limit-cycles",
      "--fbk-nl 'sin(1000*x)' freq --df fbk --limit-cycles",
      "--fwd-nl 'triwave(300*x)' freq --df fwd --limit-cycles",
      "--fwd-nl 'sqwave(50*x)' freq --df fwd --limit-cycles",
      "--fwd-nl 'sin(1000*x)' freq --df fwd --limit-cycles --amps 1",
  };
  const std::string kFull =
      "# the describing function turns more than the search's 1500 points follow: "
      "amplitudes above ";
  for (const char* args : kRuns) {
    const CliRun r = cli(args);
    ASSERT_EQ(r.status, 0) << args << ": " << r.err;
    EXPECT_TRUE(r.err.empty()) << args << ": " << r.err;
    EXPECT_EQ(r.out.rfind("A,w,stable\n", 0), 0u) << args;
    const std::size_t full = r.out.find(kFull);
    ASSERT_NE(full, std::string::npos) << args << ": " << r.out;
    // The amplitude reached is where the search stopped, below the end amplitude 10.
    const double reached = std::strtod(r.out.c_str() + full + kFull.size(), nullptr);
    EXPECT_GT(reached, 1) << args;
    EXPECT_LT(reached, 10) << args;
    EXPECT_NE(r.out.find("# searched A = 1 to "), std::string::npos) << args;
  }
  const std::string png = testing::TempDir() + "vanto_lc_" + std::to_string(getpid()) + ".png";
  const CliRun render = cli("--fwd-nl 'sin(1000*x)' render freq --df fwd --limit-cycles --out '" + png + "'");
  EXPECT_EQ(render.status, 0) << render.err;
  EXPECT_EQ(access(png.c_str(), F_OK), 0);
  std::remove(png.c_str());
}

// The CSV of a frequency chart holds exactly the points vanto-cli freq
// prints for the same loop and view (the chart plots the single-precision
// store, which freq prints to nine digits), under the loop's system file.
TEST(FreqCli, RenderCsvHoldsThePointsFreqPrints)
{
  const std::string file = testing::TempDir() + "vanto_cli_points_" + std::to_string(getpid()) + ".csv";
  const struct {
    const char* loop;
    const char* view;
    const char* header;
  } kCases[] = {{"", "nyquist", "real,imaginary"},
                {"--elements both --gain 2 --delay 0.2", "nyquist", "real,imaginary"},
                {"--gp-den 's(s+1)'", "inverse", "real,imaginary"},
                {"--hold 0.1", "nichols", "phase_deg,gain_db"}};
  for (const auto& c : kCases) {
    const std::string args = std::string(c.loop) + " freq --view " + c.view + " --points 150";
    const CliRun printed = cli(args);
    ASSERT_EQ(printed.status, 0) << args << printed.err;
    const CliRun rendered =
        cli(std::string(c.loop) + " render freq --view " + c.view + " --points 150 --out '" + file + "'");
    ASSERT_EQ(rendered.status, 0) << args << rendered.err;
    std::string text, line;
    {
      std::ifstream in(file);
      std::ostringstream all;
      all << in.rdbuf();
      text = all.str();
    }
    std::remove(file.c_str());
    // The comment lines first: the system file, whose first line names it.
    EXPECT_EQ(text.rfind("# VANTO system\n# VANTO system file ", 0), 0u) << args;
    std::istringstream in(text);
    std::string data;
    while (std::getline(in, line))
      if (line.rfind("#", 0) != 0)
        data += line + '\n';
    const auto points = Rows(data, c.header);
    const auto expected = Rows(printed.out, "w,x,y");
    ASSERT_EQ(points.size(), expected.size()) << args;
    for (std::size_t i = 0; i < points.size(); ++i) {
      ASSERT_EQ(points[i].size(), 2u) << args << " row " << i;
      EXPECT_EQ(points[i][0], double(float(expected[i][1]))) << args << " row " << i;
      EXPECT_EQ(points[i][1], double(float(expected[i][2]))) << args << " row " << i;
    }
  }
}
