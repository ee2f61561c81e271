// Read-out texts built from a template and the user's number format.
#include "engine/chart/Readout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ValidNumberFormat, AcceptsOneDoubleConversion)
{
  for (const char* ok : {"%0.4g", "%g", "%.10g", "%12.6f", "%-+e", "x=%G%%", "%#0.3E"})
    EXPECT_TRUE(ValidNumberFormat(ok)) << ok;
  for (const char* bad : {"", "%", "%s", "%d", "%n", "%g%g", "%100g", "%.123g", "abc", "%lg", "%*g"})
    EXPECT_FALSE(ValidNumberFormat(bad)) << bad;
  EXPECT_FALSE(ValidNumberFormat(nullptr));
}

TEST(FormatReadout, FillsEachPlaceInTurn)
{
  const struct {
    const char* tmpl;
    const char* fmt;
    double x, y;
    const char* text;
  } cases[] = {
      {"Time = %s,  Value = %s", "%0.4g", 1.23456, -0.5, "Time = 1.235,  Value = -0.5"},
      {"X = %s,  Y = %s", "%0.4g", 0, 0, "X = 0,  Y = 0"},
      {"Real = %s, Imag = %s", "%0.6g", 3.14159265, 2e-7, "Real = 3.14159, Imag = 2e-07"},
      {"Gain = %s dB (100%%)", "%0.3g", 12.345, 0, "Gain = 12.3 dB (100%)"},
      {"only %s", "%0.4g", 7, 8, "only 7"},
      {"%s %s %s", "%0.4g", 1, 2, "1 2 "},
      // A number format that is not one double conversion falls back.
      {"X = %s", "%s%s%n", 2.5, 0, "X = 2.5"},
      {"X = %s", "%d", 2.5, 0, "X = 2.5"},
  };
  for (const auto& c : cases) {
    const ReadoutArg args[2] = {{c.x, nullptr}, {c.y, nullptr}};
    char out[128];
    FormatReadout(c.tmpl, c.fmt, args, 2, out, sizeof out);
    EXPECT_STREQ(out, c.text) << c.tmpl << " with " << c.fmt;
  }
}

TEST(FormatReadout, TextArgumentsAndTruncation)
{
  const ReadoutArg args[3] = {{2.0, nullptr}, {0, "rad/s"}, {-3.5, nullptr}};
  char out[64];
  FormatReadout("Frequency = %s %s,  Gain = %s dB", "%0.4g", args, 3, out, sizeof out);
  EXPECT_STREQ(out, "Frequency = 2 rad/s,  Gain = -3.5 dB");
  char small[10];
  FormatReadout("Frequency = %s %s", "%0.4g", args, 3, small, sizeof small);
  EXPECT_STREQ(small, "Frequency");
  EXPECT_EQ(std::string(small).size(), 9u);
}

}  // namespace
