// The loop model record and the error record: start values, the example
// loop, the display defaults and the one-message rule.

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/EvalContext.h"
#include "engine/expr/MathFunctions.h"
#include "engine/expr/MemoryFunctions.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/SysData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

TEST(ErrorRecord, KeepsOnlyTheLastMessageUntilCleared)
{
  ModelScope model;
  EXPECT_FALSE(ErrorPending());
  EXPECT_STREQ(ErrorMessage(), "");
  SetError("Syntax error");
  SetError("Invalid reference input function");
  EXPECT_TRUE(ErrorPending());
  EXPECT_STREQ(ErrorMessage(), "Invalid reference input function");
  ClearError();
  EXPECT_FALSE(ErrorPending());
  EXPECT_STREQ(ErrorMessage(), "Invalid reference input function") << "the text stays stored";
}

TEST(ErrorRecord, CutsAMessageLongerThanItHolds)
{
  ModelScope model;
  const std::string longText(1000, 'x');
  SetError(longText.c_str());
  EXPECT_EQ(std::strlen(ErrorMessage()), TError::kMaxMessage);
  SetError(nullptr);
  EXPECT_TRUE(ErrorPending());
  EXPECT_STREQ(ErrorMessage(), "");
}

TEST(LoopModel, StartsWithTheExampleLoopAndDefaults)
{
  ModelScope model;
  const SYSDATA& s = Sys();
  EXPECT_EQ(s.activeDomain, ActiveDomain::Time);
  EXPECT_EQ(s.gain, 1.0);
  EXPECT_EQ(s.delay, 0.0);
  EXPECT_EQ(s.sampleHold, 0.0);
  EXPECT_STREQ(s.num[kCompensator], "1+0.5s");
  EXPECT_STREQ(s.den[kCompensator], "s");
  EXPECT_STREQ(s.num[kPlant], "6");
  EXPECT_STREQ(s.den[kPlant], "(s+1)(s^2+1.4s+6)");
  EXPECT_STREQ(s.fwdNlText, "hyst(x,a)");
  EXPECT_STREQ(s.fbkNlText, "quant(x,b)");
  EXPECT_TRUE(s.strictCheck);
  EXPECT_EQ(s.firstElement, kPlant);
  EXPECT_EQ(s.lastElement, kPlant);
  EXPECT_STREQ(s.numberFormat, "%0.4g");
  EXPECT_EQ(s.pen[0], kGreen);
  EXPECT_EQ(s.pen[1], kRed);
  EXPECT_EQ(s.pen[2], kBlue);
  EXPECT_EQ(s.pen[3], kFuchsia);
  EXPECT_FALSE(s.showMarkLabels);
  EXPECT_FALSE(ErrorPending()) << "the start-up classification raises nothing";
  for (int i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(Parameter(i), 1.0);
}

TEST(LoopModel, DisplayResetLeavesTheLoopAlone)
{
  ModelScope model;
  SYSDATA& s = Sys();
  s.numberFormat[3] = '7';
  s.pen[1] = 0x123456;
  s.showMarkLabels = true;
  s.gain = 5;
  ResetDisplaySettings(s);
  EXPECT_STREQ(s.numberFormat, "%0.4g");
  EXPECT_EQ(s.pen[1], kRed);
  EXPECT_FALSE(s.showMarkLabels);
  EXPECT_EQ(s.gain, 5.0);
}

TEST(LoopModel, ScopesNestAndRestoreTheOuterModel)
{
  ModelScope outer;
  Sys().gain = 3;
  SetParameter(0, 7);
  // the backlash remembers its output 2 and the generator its state
  {
    const RestartScope restart;
    EXPECT_EQ(builtin::Hyst(2.0, 0.5), 2.0);
  }
  (void)builtin::RandomInt();
  const std::uint32_t generator = builtin::Memory().random;
  {
    ModelScope inner;
    EXPECT_EQ(Sys().gain, 1.0);
    EXPECT_EQ(Parameter(0), 1.0) << "a new model starts with the parameters at 1";
    EXPECT_EQ(builtin::Hyst(0.2, 0.5), 0.0) << "and with the memory of the start (output 0)";
    SetParameter(0, -4);
    EXPECT_EQ(builtin::Hyst(10.0, 0.5), 9.5);
    (void)builtin::Gauss(1.0);
    SetError("Order too high");
  }
  EXPECT_EQ(Sys().gain, 3.0);
  EXPECT_FALSE(ErrorPending()) << "the inner model's error went with it";
  EXPECT_EQ(Parameter(0), 7.0);
  EXPECT_EQ(builtin::Hyst(2.2, 0.5), 2.0) << "within the play of the output 2 kept outside";
  EXPECT_EQ(builtin::Memory().random, generator);
}

TEST(LoopModel, TextsAreCutAtTheirCapacity)
{
  ModelScope model;
  const std::string longText(200, '1');
  SetText(Sys().num[kPlant], longText.c_str());
  EXPECT_EQ(std::strlen(Sys().num[kPlant]), std::size_t(kTextSize - 1));
  SetText(Sys().den[kPlant], nullptr);
  EXPECT_STREQ(Sys().den[kPlant], "");
}

TEST(LoopModel, KindsHaveTheirDisplayTexts)
{
  EXPECT_STREQ(SystemKindText(SystemKind::Continuous), "Continuous");
  EXPECT_STREQ(SystemKindText(SystemKind::SampledData), "Sampled-data");
  EXPECT_STREQ(SystemKindText(SystemKind::Discrete), "Discrete");
  EXPECT_STREQ(SystemKindText(SystemKind::Invalid), "Invalid");
}

TEST(PlainNumber, TakesDecimalsOnly)
{
  const struct {
    const char* text;
    bool ok;
    double value;
  } kCases[] = {{"2.5", true, 2.5}, {" -3e2 ", true, -300}, {"+.5", true, 0.5}, {"7.", true, 7},    {"2x", false, 0},
                {"pi/2", false, 0}, {"", false, 0},         {"  ", false, 0},   {"0x10", false, 0}, {"inf", false, 0},
                {"nan", false, 0},  {"1e999", false, 0},    {"1,5", false, 0},  {"--1", false, 0},  {"1 2", false, 0}};
  for (const auto& c : kCases) {
    double v = 42;
    EXPECT_EQ(ParsePlainNumber(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 42) << c.text;
  }
}
