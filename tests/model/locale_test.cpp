// Numbers read and written whatever the C library's locale: the locale-free
// printf against the platform's printf in the "C" locale, then the texts of
// the loop model, the transform tool and the charts under a locale whose
// decimal separator is a comma (as the desktop program runs under de_DE).

#include "expr/ConstantTable.h"
#include "expr/Expr.h"
#include "model/Error.h"
#include "model/Model.h"
#include "model/NumberFormat.h"
#include "model/TfFormat.h"
#include "model/TfParser.h"
#include "model/TfTransform.h"
#include "plot/Readout.h"
#include "plot/Ticks.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const char* const kSpecs[] = {"%g",     "%-g",      "%+g",    "%12.4g", "%+12.4g", "%.17g",  "%0.4g",
                              "%#.3g",  "%#g",      "%e",     "%.3E",   "%-10.2f", "%+08.3f", "% g",
                              "%#.0f",  "%#.0e",    "%G",     "-%-.4gs", "x=%G%%",  "%012.4g", "%.0g"};
const double kValues[] = {0.0,   -0.0,   1.0,    -2.5,     0.1,   1.0 / 3,  1e-5,       123456789.0,
                          -1.5e-300, 1e300, 0.5,  99999.95, 9.9999, 1e15, std::numeric_limits<double>::infinity()};

// The platform's printf in the "C" locale: the reference.
std::string Printf(const char* spec, double v)
{
  char buf[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(buf, sizeof buf, spec, v);
#pragma GCC diagnostic pop
  return buf;
}

// Switches LC_NUMERIC to the first installed locale with a comma as its
// decimal separator, and back at the end of the scope.
class CommaLocale {
public:
  CommaLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr))
  {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                             "it_IT.UTF-8", "es_ES.UTF-8", "pt_BR.UTF-8", "ru_RU.UTF-8"})
      if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        active_ = true;
        return;
      }
    std::setlocale(LC_NUMERIC, saved_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  bool active() const { return active_; }

private:
  std::string saved_;
  bool active_ = false;
};

TEST(LocaleFreeNumbers, FormatWithSpecIsPrintfInTheCLocale)
{
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  for (const char* spec : kSpecs)
    for (double v : kValues)
      EXPECT_EQ(FormatWithSpec(spec, v), Printf(spec, v)) << spec << " of " << v;
  // cut to the room given, full length reported, as snprintf
  char small[6];
  EXPECT_EQ(FormatWithSpec(small, sizeof small, "%.6f", 3.25), 8);
  EXPECT_STREQ(small, "3.250");
  for (const char* bad : {"%d", "%s", "%g%g", "text", "%lg", "%*g", "%.1234g"})
    EXPECT_EQ(FormatWithSpec(small, sizeof small, bad, 1.0), -1) << bad;
}

TEST(LocaleFreeNumbers, TextsIgnoreACommaLocale)
{
  ModelScope model;
  std::vector<std::string> expected;
  for (const char* spec : kSpecs)
    for (double v : kValues)
      expected.push_back(Printf(spec, v));

  const CommaLocale comma;
  if (!comma.active())
    GTEST_SKIP() << "no locale with a decimal comma is installed (scripts/setup.sh generates de_DE.UTF-8)";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%g", 2.5);
  ASSERT_STREQ(probe, "2,5") << "the C library follows the comma locale";

  std::size_t i = 0;
  for (const char* spec : kSpecs)
    for (double v : kValues)
      EXPECT_EQ(FormatWithSpec(spec, v), expected[i++]) << spec << " of " << v;

  SYSDATA& s = Sys();
  SetParameter(0, 2.5);
  const struct {
    const char* text;
    std::vector<double> coefficients;
  } decodes[] = {{"as+1", {1, 2.5}}, {"[1/4]s+1", {1, 0.25}}, {"1.5e-3s^2+0.5", {0.5, 0, 1.5e-3}},
                 {"(s+a)(s-[2/8])", {-0.625, 2.25, 1}}};
  for (const auto& d : decodes) {
    Polynomial p;
    s.currentVariable = ' ';
    ClearError();
    ASSERT_TRUE(PolyDecode(s, d.text, p)) << d.text << ": " << ErrorMessage();
    ASSERT_EQ(p.n, static_cast<int>(d.coefficients.size())) << d.text;
    for (int k = 0; k < p.n; ++k)
      EXPECT_DOUBLE_EQ(p.c[k], d.coefficients[static_cast<std::size_t>(k)]) << d.text;
  }
  EXPECT_DOUBLE_EQ(EvalConstant("2.5*2"), 5.0);
  double plain = 0;
  EXPECT_TRUE(ParsePlainNumber("2.5", plain));
  EXPECT_EQ(plain, 2.5);

  char text[kTextSize];
  const double half[] = {1, 0.5};
  ASSERT_TRUE(PolyToText(half, 2, 's', text, sizeof text));
  EXPECT_STREQ(text, "1+0.5s");
  RootSet roots;
  roots.n = 3;
  roots.r[0] = {-1, 0};
  roots.r[1] = {-0.7, 2.35};
  roots.r[2] = {-0.7, -2.35};
  ASSERT_TRUE(RootsToText(6, 's', roots, false, text, sizeof text));
  EXPECT_STREQ(text, "6(s+1)(s^2+1.4s+6.0125)");
  ASSERT_TRUE(RootsToText(0.5, 's', roots, true, text, sizeof text));
  EXPECT_STREQ(text, "0.5(1+s)(1+0.232848s+0.16632s^2)");
  EXPECT_EQ(FormatNumber(2.5, "%0.4g"), "2.5");

  // a zero-order hold written as text decodes again to what it computed
  s.sampleHold = 0.1;
  s.delay = 0.05;
  TransformRequest req;
  TransformResult r;
  ClearError();
  ASSERT_TRUE(TransformElement(s, kPlant, "6", "(s+1)(s^2+1.4s+6)", req, r)) << ErrorMessage();
  Polynomial pn, pd;
  s.currentVariable = ' ';
  ASSERT_TRUE(PolyDecode(s, r.num, pn)) << r.num << ": " << ErrorMessage();
  ASSERT_TRUE(PolyDecode(s, r.den, pd)) << r.den << ": " << ErrorMessage();
  // six significant figures in the text
  ASSERT_EQ(pn.n, r.numZ.n);
  ASSERT_EQ(pd.n, r.denZ.n);
  for (int k = 0; k < pn.n; ++k)
    EXPECT_NEAR(pn.c[k], r.numZ.c[k], 5e-6 * std::fabs(r.numZ.c[k])) << r.num;
  for (int k = 0; k < pd.n; ++k)
    EXPECT_NEAR(pd.c[k], r.denZ.c[k], 5e-6 * std::fabs(r.denZ.c[k])) << r.den;

  // chart read-outs and tick labels
  char label[32];
  FormatNumber(-0.125, "%0.4g", label, sizeof label);
  EXPECT_STREQ(label, "-0.125");
  FormatTickLabel(0.25, 0.05, 1.0, label, sizeof label);
  EXPECT_STREQ(label, "0.25");
  FormatTickLabel(2.5e6, 5e5, 1e7, label, sizeof label);
  EXPECT_STREQ(label, "2.5e6");
}

}  // namespace
