// The numeric toolkit: angle functions at their guards and quadrants,
// wrapping, polynomial helpers, matrices and binomial tables.

#include "engine/model/Toolkit.h"
#include "engine/base/Error.h"
#include "engine/model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TEST(Toolkit, ArcTangentsByQuadrantAndGuard)
{
  struct Case {
    double x, y, a, b;
  } cases[] = {
      {1, 1, kPi / 4, kPi / 4},
      {-1, 1, 3 * kPi / 4, 3 * kPi / 4},
      {-1, -1, -3 * kPi / 4, -3 * kPi / 4},
      {1, -1, -kPi / 4, -kPi / 4},
      {-1, 0, kPi, -kPi},  // y = 0 on the negative axis: A adds pi, B subtracts it
      {0, 2, kPi / 2, kPi / 2},
      {0, -2, -kPi / 2, -kPi / 2},
      {0, 0, -kPi / 2, 0},                   // A: not above 0 gives -pi/2; B: sign(0) = 0
      {1e-11, 1, std::atan(1e11), kPi / 2},  // only B's guard catches 1e-11
  };
  for (const Case& k : cases) {
    EXPECT_NEAR(ArcTanA(k.x, k.y), k.a, 1e-12) << k.x << "," << k.y;
    EXPECT_NEAR(ArcTanB(k.x, k.y), k.b, 1e-12) << k.x << "," << k.y;
  }
}

TEST(Toolkit, WrappingAndSmallFunctions)
{
  EXPECT_DOUBLE_EQ(WrapPi(kPi), -kPi);
  EXPECT_DOUBLE_EQ(WrapPi(-kPi), -kPi);
  EXPECT_NEAR(WrapPi(7 * kPi / 2), -kPi / 2, 1e-12);
  EXPECT_NEAR(WrapPi(-5 * kPi / 2), -kPi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(WrapMinus2Pi(0), 0);
  EXPECT_NEAR(WrapMinus2Pi(kPi / 2), -3 * kPi / 2, 1e-12);
  EXPECT_NEAR(WrapMinus2Pi(-5 * kPi), -kPi, 1e-12);
  EXPECT_DOUBLE_EQ(TruncRem(7, 3), 1);
  EXPECT_DOUBLE_EQ(TruncRem(-7, 3), -1);
  EXPECT_DOUBLE_EQ(PowerOfTwo(3), 8);
  EXPECT_DOUBLE_EQ(PowerOfTwo(-2), 0.25);
  EXPECT_DOUBLE_EQ(PowerOfTwo(0), 1);
  EXPECT_EQ(Sign(-3.0), -1);
  EXPECT_EQ(Sign(0.0), 0);
  EXPECT_DOUBLE_EQ(SumSq(3, 4), 25);
}

TEST(Toolkit, VectorsAndPolynomials)
{
  ModelScope model;
  double p[5] = {1, 2, 3, 0, 0};
  const double q[5] = {1, 1, 1, 1, 1};
  ScaledAdd(p, q, 3, 2);
  EXPECT_DOUBLE_EQ(p[0], 3);
  EXPECT_DOUBLE_EQ(p[2], 5);
  EXPECT_DOUBLE_EQ(p[3], 0);
  EXPECT_DOUBLE_EQ(Dot(p, q, 3), 12);
  EXPECT_DOUBLE_EQ(VecSum(p, 5), 12);
  EXPECT_EQ(Trim(p, 5), 3);
  const double zeros[3] = {0, 0, 0};
  EXPECT_EQ(Trim(zeros, 3), 1);
  Fill(p, 5, 7);
  EXPECT_DOUBLE_EQ(p[4], 7);
  double a = 1, b = 2;
  Swap(a, b);
  EXPECT_DOUBLE_EQ(a, 2);

  Polynomial x{{1, 1, 0, 0, 0}, 2};        // 1 + s
  const Polynomial y{{2, 0, 1, 0, 0}, 3};  // 2 + s^2
  ASSERT_TRUE(PolyProduct(x, y));
  ASSERT_EQ(x.n, 4);
  EXPECT_DOUBLE_EQ(x.c[0], 2);
  EXPECT_DOUBLE_EQ(x.c[1], 2);
  EXPECT_DOUBLE_EQ(x.c[2], 1);
  EXPECT_DOUBLE_EQ(x.c[3], 1);
  EXPECT_FALSE(PolyProduct(x, y));  // order 5
  EXPECT_STREQ(ErrorMessage(), "Order too high");
  EXPECT_EQ(x.n, 4);

  char text[] = "a b  c";
  EXPECT_EQ(FindChar(text, 'b', 0), 2);
  EXPECT_EQ(FindChar(text, 'b', 3), 6);
  RemoveChar(text, ' ');
  EXPECT_STREQ(text, "abc");
}

TEST(Toolkit, MatricesAndBinomials)
{
  Matrix5 A, B, C, I;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      A.m[i][j] = i + 2 * j;
      B.m[i][j] = i == j ? 2.0 : (i < j ? 1.0 : 0.0);
    }
  MatMul(A, B, 3, C);
  EXPECT_DOUBLE_EQ(C.m[1][2], A.m[1][0] * 1 + A.m[1][1] * 1 + A.m[1][2] * 2);
  IdentityPlusScaledProduct(A, B, 3, 0.5, I);
  EXPECT_DOUBLE_EQ(I.m[1][1], 1 + 0.5 * C.m[1][1]);
  EXPECT_DOUBLE_EQ(I.m[0][2], 0.5 * C.m[0][2]);
  Identity(I, 3);
  AddDiagonal(I, 3, 2);
  EXPECT_DOUBLE_EQ(I.m[2][2], 3);
  EXPECT_DOUBLE_EQ(I.m[3][3], 0) << "outside the order";
  const double v[3] = {1, 0, -1};
  double out[3];
  MatVecScaled(A, v, 3, 2, out);
  EXPECT_DOUBLE_EQ(out[0], 2 * (A.m[0][0] - A.m[0][2]));

  const double row4[5] = {1, 4, 6, 4, 1};
  double row[5] = {};
  BinomialRow(4, row);
  for (int k = 0; k < 5; ++k) {
    EXPECT_DOUBLE_EQ(row[k], row4[k]);
    EXPECT_DOUBLE_EQ(Binomial(4, k, true), (k & 1) ? -row4[k] : row4[k]);
  }
  EXPECT_DOUBLE_EQ(Binomial(3, 4), 0) << "outside the triangle";
  EXPECT_DOUBLE_EQ(Binomial(5, 1), 0) << "beyond row 4";
}

}  // namespace
