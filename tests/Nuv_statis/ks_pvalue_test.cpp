#include <gtest/gtest.h>

#include <cmath>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;

TEST(KSPValue, ExactBranchAgainstTheExactDistribution) {
  // scipy.stats.kstwo.sf(d, n), scipy 1.10.1 (exact distribution of D_n).
  struct Case {
    int32_t n;
    double d, p;
  };
  const Case cases[] = {
      {1, 0.3, 1.0},
      {5, 0.5, 0.112},
      {10, 0.274, 0.3715203845434957},
      {20, 0.294, 0.05009394623107688},
      {50, 0.15, 0.19026366518248072},
      {99, 0.19, 0.001327167593566924},  // n d^2 = 3.57: still exact below n = 100
      {3, 0.9, 0.002},
  };
  for (const Case& c : cases)
    EXPECT_REL_NEAR(KSPValue(c.n, c.d), c.p, 1e-9) << "n=" << c.n << " d=" << c.d;
  // For n = 1000 scipy's kstwo.sf switches to the Pelz-Good series (Simard and L'Ecuyer's
  // rule n d^1.5 > 1.4), itself good to about 1e-7: 0.07933956059000224.
  EXPECT_REL_NEAR(KSPValue(1000, 0.04), 0.07933956059000224, 1e-6);
}

TEST(KSPValue, BranchSwitchesAndDefinedValuesOutsideTheDomain) {
  auto asymptotic = [](int32_t n, double d) {
    const double s = n * d * d;
    return 2 * std::exp(-(2.000071 + 0.331 / std::sqrt(double(n)) + 1.409 / n) * s);
  };
  // Just above 3.76 the asymptotic formula is taken only from n = 100 on.
  const double d100 = std::sqrt(3.77 / 100);
  EXPECT_DOUBLE_EQ(KSPValue(100, d100), asymptotic(100, d100));
  const double d99 = std::sqrt(3.77 / 99);
  EXPECT_NE(KSPValue(99, d99), asymptotic(99, d99));
  // scipy.stats.kstwo.sf(sqrt(3.77/99), 99), scipy 1.10.1 (exact below n = 140).
  EXPECT_REL_NEAR(KSPValue(99, d99), 0.0008883023647805348, 1e-9);
  const double d7 = std::sqrt(7.25 / 30);
  EXPECT_DOUBLE_EQ(KSPValue(30, d7), asymptotic(30, d7));

  EXPECT_EQ(KSPValue(0, 0.3), -1.0);
  EXPECT_EQ(KSPValue(-5, 0.3), -1.0);
  EXPECT_EQ(KSPValue(10, 0.0), 1.0);
  EXPECT_EQ(KSPValue(10, -0.5), 1.0);
  EXPECT_EQ(KSPValue(10, 1.0), 0.0);
  EXPECT_EQ(KSPValue(10, INFINITY), 0.0);
  EXPECT_TRUE(std::isnan(KSPValue(10, NAN)));
  // A huge sample at a small d would need enormous matrices: the asymptotic formula, in 0..1.
  const double big = KSPValue(10000000, 0.0001);
  EXPECT_GE(big, 0.0);
  EXPECT_LE(big, 1.0);
}

TEST(KSQuantile, InvertsThePValue) {
  for (int32_t n : {5, 20, 21, 100}) {
    for (TSignifLevel level : {Dot20, Dot05, Dot01}) {
      const double d = KSQuantile(n, level);
      EXPECT_NEAR(KSPValue(n, d), SignifLevelAlpha[level], 1e-4) << n << " " << int(level);
    }
  }
  EXPECT_EQ(KSQuantile(0, Dot05), -1.0);
  EXPECT_EQ(KSQuantile(10, static_cast<TSignifLevel>(9)), -1.0);
}
