// Numbers read and written whatever the C library's locale: under a locale
// whose decimal separator is a comma (as the desktop program may run under
// de_DE), the locale-free printf still writes what the platform's printf
// writes in the "C" locale, and texts decode and are written with '.'.

#include "engine/base/Error.h"
#include "engine/chart/Readout.h"
#include "engine/chart/Ticks.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/TfFormat.h"
#include "engine/model/TfParser.h"
#include "engine/model/TfTransform.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// Switches LC_NUMERIC to the first installed locale with a decimal comma,
// and back at the end of the scope.
class CommaLocale {
public:
  CommaLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr))
  {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"})
      if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0)
        return;
    std::setlocale(LC_NUMERIC, saved_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  bool active() const { return std::strcmp(std::localeconv()->decimal_point, ",") == 0; }

private:
  std::string saved_;
};

TEST(LocaleFreeNumbers, TextsIgnoreACommaLocale)
{
  ModelScope model;
  const char* const conversions[] = {"%g",    "%-g",   "%+g", "%+12.4g", "%.17g",   "%0.4g",
                                     "%#.3g", "%#g",   "%e",  "%.3E",    "%-10.2f", "%+08.3f",
                                     "% g",   "%#.0f", "%G",  "-%-.4gs", "x=%G%%",  "%.0g"};
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -2.5,
                           0.1,
                           1.0 / 3,
                           1e-5,
                           123456789.0,
                           -1.5e-300,
                           1e300,
                           99999.95,
                           9.9999,
                           std::numeric_limits<double>::infinity()};
  // the reference: the platform's printf, in the "C" locale
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<std::string> expected;
  for (const char* conversion : conversions)
    for (double v : values) {
      char buf[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      std::snprintf(buf, sizeof buf, conversion, v);
#pragma GCC diagnostic pop
      expected.push_back(buf);
    }
  char small[6];
  EXPECT_EQ(FormatInCLocale(small, sizeof small, "%.6f", 3.25), 8) << "cut to the room, full length told";
  EXPECT_STREQ(small, "3.250");
  for (const char* bad : {"%d", "%s", "%g%g", "text", "%lg", "%*g"})
    EXPECT_EQ(FormatInCLocale(small, sizeof small, bad, 1.0), -1) << bad;

  const CommaLocale comma;
  if (!comma.active())
    GTEST_SKIP() << "no locale with a decimal comma is installed (scripts/setup.sh generates de_DE.UTF-8)";
  std::size_t i = 0;
  for (const char* conversion : conversions)
    for (double v : values)
      EXPECT_EQ(FormatInCLocale(conversion, v), expected[i++]) << conversion << " of " << v;

  // decoding: parameters and bracketed values go in with '.'
  SYSDATA& s = Sys();
  SetParameter(0, 2.5);
  const struct {
    const char* text;
    std::vector<double> coefficients;
  } decodes[] = {{"as+1", {1, 2.5}}, {"[1/4]s+1", {1, 0.25}}, {"(s+a)(s-[2/8])", {-0.625, 2.25, 1}}};
  for (const auto& d : decodes) {
    Polynomial p;
    s.currentVariable = ' ';
    ClearError();
    ASSERT_TRUE(PolyDecode(s, d.text, p)) << d.text << ": " << ErrorMessage();
    ASSERT_EQ(p.n, static_cast<int>(d.coefficients.size())) << d.text;
    for (int k = 0; k < p.n; ++k)
      EXPECT_EQ(p.c[k], d.coefficients[static_cast<std::size_t>(k)]) << d.text;
  }

  // writing: the tools' texts, read-outs and tick labels
  char text[kTextSize];
  const double half[] = {1, 0.5};
  ASSERT_TRUE(PolyToText(half, 2, 's', text, sizeof text));
  EXPECT_STREQ(text, "1+0.5s");
  FormatNumber(-0.125, "%0.4g", text, sizeof text);
  EXPECT_STREQ(text, "-0.125");
  FormatTickLabel(0.25, 0.05, 1.0, text, sizeof text);
  EXPECT_STREQ(text, "0.25");

  // a zero-order hold written as text decodes again (six figures)
  s.sampleHold = 0.1;
  s.delay = 0.05;
  TransformResult r;
  ClearError();
  ASSERT_TRUE(TransformElement(s, kPlant, "6", "(s+1)(s^2+1.4s+6)", TransformRequest{}, r)) << ErrorMessage();
  Polynomial pn, pd;
  s.currentVariable = ' ';
  ASSERT_TRUE(PolyDecode(s, r.num, pn) && PolyDecode(s, r.den, pd)) << r.num << " / " << r.den;
  ASSERT_EQ(pd.n, r.denZ.n);
  for (int k = 0; k < pd.n; ++k)
    EXPECT_NEAR(pd.c[k], r.denZ.c[k], 5e-6 * std::fabs(r.denZ.c[k])) << r.den;
}

}  // namespace
