// The element transform of the editor and the transform store: the texts
// written, their factors, the store and the restore with its question.

#include "engine/model/TfTransform.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/TfParser.h"
#include "engine/model/TfStore.h"

#include "tests/engine/model/ComplexPoly.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>

namespace {

class TfTransformTest : public ::testing::Test {
protected:
  ModelScope model;
  SYSDATA& s = Sys();

  bool Transform(int elem, const char* num, const char* den, TransformMethod method, TransformResult& out,
                 double omega = 0)
  {
    SetText(s.num[elem], num);
    SetText(s.den[elem], den);
    ClearError();
    TransformRequest req;
    req.method = method;
    req.prewarpFreq = omega;
    return TransformElement(s, elem, num, den, req, out);
  }
  // The texts written decode to the coefficients reported (times z^m).
  void ExpectTextsMatch(const TransformResult& r)
  {
    Polynomial pn, pd;
    s.currentVariable = ' ';
    ASSERT_TRUE(PolyDecode(s, r.num, pn)) << r.num << ": " << ErrorMessage();
    ASSERT_TRUE(PolyDecode(s, r.den, pd)) << r.den << ": " << ErrorMessage();
    for (Cplx z : {Cplx(1.2, 0.3), Cplx(-0.4, 0.9)}) {
      const Cplx text = EvalPoly(pn.c, pn.n, z) / EvalPoly(pd.c, pd.n, z);
      const Cplx coef =
          EvalPoly(r.numZ.c, r.numZ.n, z) / EvalPoly(r.denZ.c, r.denZ.n, z) * std::pow(z, -r.delaySamples);
      EXPECT_LE(std::abs(text - coef), 1e-5 * std::abs(coef)) << r.num << " / " << r.den;
    }
  }
};

TEST_F(TfTransformTest, TustinOfTheCompensator)
{
  s.sampleHold = 0.1;
  TransformResult r;
  ASSERT_TRUE(Transform(kCompensator, "1+0.5s", "s", TransformMethod::Tustin, r)) << ErrorMessage();
  EXPECT_EQ(r.numZ.n, 2);
  EXPECT_EQ(r.denZ.n, 2);
  EXPECT_STREQ(r.num, "-9+11z");  // 1 + 0.5 (20 (z-1)/(z+1)) times (z+1)
  EXPECT_STREQ(r.den, "-20+20z");
  EXPECT_TRUE(s.stored[kCompensator].transformed);
  EXPECT_STREQ(s.stored[kCompensator].storedNum, "1+0.5s");
  EXPECT_STREQ(s.stored[kCompensator].storedDen, "s");
  ExpectTextsMatch(r);

  SetText(s.num[kCompensator], r.num);
  SetText(s.den[kCompensator], r.den);
  EXPECT_EQ(RestoreTransform(s, kCompensator, false), RestoreStatus::Restored);
  EXPECT_STREQ(s.num[kCompensator], "1+0.5s");
  EXPECT_STREQ(s.den[kCompensator], "s");
  EXPECT_FALSE(s.stored[kCompensator].transformed);
}

TEST_F(TfTransformTest, ZohOfThePlantWithDelay)
{
  s.sampleHold = 0.1;
  s.delay = 0.25;
  TransformResult r;
  ASSERT_TRUE(Transform(kPlant, "6", "(s+1)(s^2+1.4s+6)", TransformMethod::Zoh, r)) << ErrorMessage();
  EXPECT_EQ(r.delaySamples, 2);
  EXPECT_EQ(std::string(r.den).substr(0, 4), "z^2(");
  EXPECT_EQ(r.denZ.n, 5);  // order 3 plus the fractional delay's state
  EXPECT_FALSE(s.delayChanged);
  // DC gain 1 kept
  EXPECT_NEAR(std::abs(EvalPoly(r.numZ.c, r.numZ.n, 1.0) / EvalPoly(r.denZ.c, r.denZ.n, 1.0)), 1.0, 1e-12);

  s.delay = 1.0;  // 10 samples
  EXPECT_FALSE(Transform(kPlant, "6", "(s+1)(s^2+1.4s+6)", TransformMethod::Zoh, r));
  EXPECT_STREQ(ErrorMessage(), "Delay must be less than 10 samples");
}

TEST_F(TfTransformTest, TustinFactorOnTheLowerSide)
{
  s.sampleHold = 0.1;
  TransformResult r;
  ASSERT_TRUE(Transform(kPlant, "6", "(s+1)(s^2+1.4s+6)", TransformMethod::Tustin, r)) << ErrorMessage();
  EXPECT_STREQ(r.num, "(1+3z+3z^2+z^3)6");
  EXPECT_EQ(r.numZ.n, 4);
  ExpectTextsMatch(r);
  // against the substitution itself at a point
  const double a = 0.05;
  const Cplx z(0.7, 0.6), sv = (z - 1.0) / ((z + 1.0) * a);
  const Cplx g = 6.0 / ((sv + 1.0) * (sv * sv + 1.4 * sv + 6.0));
  const Cplx got = EvalPoly(r.numZ.c, r.numZ.n, z) / EvalPoly(r.denZ.c, r.denZ.n, z);
  EXPECT_LE(std::abs(got - g), 1e-10 * std::abs(g));
}

TEST_F(TfTransformTest, RectangularRuleAddsZ)
{
  s.sampleHold = 0.5;
  TransformResult r;
  ASSERT_TRUE(Transform(kCompensator, "2", "s+1", TransformMethod::Rectangular, r)) << ErrorMessage();
  // 2 / ((z-1)/(0.5 z) + 1) = 2 z / (3 z - 2) * 0.5 ... written with the factor z
  EXPECT_STREQ(r.num, "2z");
  EXPECT_STREQ(r.den, "-2+3z");
  ExpectTextsMatch(r);
  const Cplx z(0.3, -1.1), sv = (z - 1.0) / (z * 0.5);
  const Cplx want = 2.0 / (sv + 1.0);
  EXPECT_LE(std::abs(EvalPoly(r.numZ.c, r.numZ.n, z) / EvalPoly(r.denZ.c, r.denZ.n, z) - want), 1e-12 * std::abs(want));
}

TEST_F(TfTransformTest, RefusedTransforms)
{
  s.sampleHold = 0.1;
  s.delay = 0.2;
  TransformResult r;
  struct Case {
    int elem;
    const char* num;
    const char* den;
    TransformMethod method;
    double omega;
    const char* message;
  } cases[] = {
      {kPlant, "1", "s+1", TransformMethod::Tustin, 0, "Not available with delay"},
      {kPlant, "1", "s+1", TransformMethod::Rectangular, 0, "Not available with delay"},
      {kCompensator, "1", "s^4+1", TransformMethod::Tustin, 0, "Order too high"},
      {kCompensator, "1", "s+1", TransformMethod::TustinPrewarp, 40, "Prewarping frequency too high"},
      {kCompensator, "1", "z-0.5", TransformMethod::Zoh, 0, "Attemp to save G(z) in tfstore"},
      {kCompensator, "s^2", "s+1", TransformMethod::Zoh, 0, "System not proper"},
      {kCompensator, "1", "(s+1", TransformMethod::Zoh, 0, "Missing brackets"},
  };
  for (const Case& k : cases) {
    s.stored[k.elem].transformed = false;
    EXPECT_FALSE(Transform(k.elem, k.num, k.den, k.method, r, k.omega)) << k.num << "/" << k.den;
    EXPECT_STREQ(ErrorMessage(), k.message) << k.num << "/" << k.den;
    EXPECT_FALSE(s.stored[k.elem].transformed) << "nothing stored after " << k.message;
  }
  // the compensator ignores the plant's delay
  EXPECT_TRUE(Transform(kCompensator, "1", "s+1", TransformMethod::TustinPrewarp, r, 10)) << ErrorMessage();
}

// A fractional delay adds one order and a late feedthrough one more: what
// would pass order 4 is refused before anything is written or stored; what
// fits is written so that it decodes.
TEST_F(TfTransformTest, ZohWithAFractionalDelayStaysWithinOrderFour)
{
  s.sampleHold = 0.1;
  s.delay = 0.05;
  const struct {
    const char* num;
    const char* den;
    bool fits;
  } cases[] = {
      {"1", "(s+1)(s+2)(s+3)(s+4)", false},
      {"s^3", "(s+1)(s+2)(s+3)", false},
      {"1", "(s+1)(s+2)(s+3)", true},
      {"s^2", "(s+1)(s+2)", true},
  };
  for (const auto& k : cases) {
    s.stored[kPlant].transformed = false;
    TransformResult r;
    EXPECT_EQ(Transform(kPlant, k.num, k.den, TransformMethod::Zoh, r), k.fits) << k.num << "/" << k.den;
    EXPECT_EQ(s.stored[kPlant].transformed, k.fits);
    if (!k.fits) {
      EXPECT_STREQ(ErrorMessage(), "Order too high");
      continue;
    }
    Polynomial pn, pd;
    s.currentVariable = ' ';
    EXPECT_TRUE(PolyDecode(s, r.num, pn) && PolyDecode(s, r.den, pd)) << r.num << " / " << r.den;
    EXPECT_EQ(pd.n, r.denZ.n);
  }
}

TEST_F(TfTransformTest, RestoreAsksAfterAChange)
{
  ClearError();
  EXPECT_EQ(RestoreTransform(s, kCompensator, false), RestoreStatus::Failed);
  EXPECT_STREQ(ErrorMessage(), "Only available after Z-transform");

  s.sampleHold = 0.1;
  TransformResult r;
  for (int elem : {kCompensator, kPlant}) {
    ASSERT_TRUE(Transform(elem, "1", "s+2", TransformMethod::Zoh, r)) << ErrorMessage();
    SetText(s.num[elem], r.num);
    SetText(s.den[elem], r.den);
    ChangedSinceTransform(s, elem) = true;  // typing in a box, or editing the delay
    EXPECT_EQ(RestoreTransform(s, elem, false), RestoreStatus::NeedsConfirmation);
    EXPECT_STREQ(s.num[elem], r.num) << "nothing restored before the answer";
    EXPECT_EQ(RestoreTransform(s, elem, true), RestoreStatus::Restored);
    EXPECT_STREQ(s.den[elem], "s+2");
  }
  EXPECT_TRUE(s.delayChanged) << "the plant's flag is the delay-changed flag";
  EXPECT_STREQ(RestoreQuestion(kCompensator), "Controller changed since z-transform! Continue ?");
  EXPECT_STREQ(RestoreQuestion(kPlant), "Plant or delay changed since z-transform! Continue ?");
}

}  // namespace
