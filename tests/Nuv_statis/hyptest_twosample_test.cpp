// Two-sample t tests and the Mann-Whitney U test against scipy.
#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/hyptest_helpers.h"
#include "Nuv_statis/reference/hyptest_reference.inc"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::SetValues;

TEST(TTest, ThreeVersionsAgainstScipy) {
  TVector a, b;
  SetValues(a, kTA);
  SetValues(b, kTB);
  double t = 0, df = 0;
  // scipy.stats.ttest_ind(a, b)
  EXPECT_REL_NEAR(Perform2SampleTTest(&a, &b, ttHomoScedastic, t, df), kTPooledP, 1e-13);
  EXPECT_REL_NEAR(t, kTPooledT, 1e-13);
  EXPECT_EQ(df, 25.0);
  // scipy.stats.ttest_ind(a, b, equal_var=False); the Welch-Satterthwaite df by numpy
  EXPECT_REL_NEAR(Perform2SampleTTest(&a, &b, ttHeteroScedastic, t, df), kTWelchP, 1e-13);
  EXPECT_REL_NEAR(t, kTWelchT, 1e-13);
  EXPECT_REL_NEAR(df, kTWelchDf, 1e-13);
  double pLess, pGreater;
  Perform2SampleTTest(&a, &b, ttHeteroScedastic, t, df, pLess, pGreater);
  EXPECT_REL_NEAR(pLess, kTWelchPLess, 1e-13);  // alternative='less'
  EXPECT_REL_NEAR(pGreater, kTWelchPGreater, 1e-13);
  // scipy.stats.ttest_rel(x, y)
  SetValues(a, kTPairX);
  SetValues(b, kTPairY);
  EXPECT_REL_NEAR(Perform2SampleTTest(&a, &b, ttPaired, t, df, pLess, pGreater), kTPairedP, 1e-13);
  EXPECT_REL_NEAR(t, kTPairedT, 1e-13);
  EXPECT_EQ(df, 9.0);
  EXPECT_REL_NEAR(pLess, kTPairedP / 2, 1e-13);
  EXPECT_REL_NEAR(pGreater, 1 - kTPairedP / 2, 1e-15);
}

TEST(TTest, LargeMeansAndDegenerateSamples) {
  TVector a, b;
  double t, df;
  // values near 1e8: the two-pass variances keep the result of the shifted data
  SetValues(a, kTBigA);
  SetValues(b, kTBigB);
  EXPECT_REL_NEAR(Perform2SampleTTest(&a, &b, ttHomoScedastic, t, df), kTBigPooledP, 1e-13);
  EXPECT_REL_NEAR(t, kTBigPooledT, 1e-13);
  // pooled: a single value in one sample is enough
  SetValues(a, {3.0});
  SetValues(b, {1.0, 2.0, 3.0});
  const double p = Perform2SampleTTest(&a, &b, ttHomoScedastic, t, df);
  EXPECT_EQ(df, 2.0);
  EXPECT_DOUBLE_EQ(t, 1.0 / std::sqrt(1.0 * (1.0 + 1.0 / 3.0)));
  EXPECT_GT(p, 0.0);
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttHeteroScedastic, t, df), -2.0);
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(df, 0.0);
  // no spread: different means give t = +-uc_MaxReal and p = 0, equal means a code
  SetValues(a, {2.0, 2.0, 2.0});
  SetValues(b, {5.0, 5.0});
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttHeteroScedastic, t, df), 0.0);
  EXPECT_EQ(t, -uc_MaxReal);
  EXPECT_EQ(df, 3.0);
  SetValues(b, {2.0, 2.0});
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttHomoScedastic, t, df), -4.0);
  // paired: lengths must agree, and constant differences are an exact shift
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttPaired, t, df), -3.0);
  SetValues(a, {1.0, 2.0, 3.0});
  SetValues(b, {0.5, 1.5, 2.5});
  double pLess, pGreater;
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttPaired, t, df, pLess, pGreater), 0.0);
  EXPECT_EQ(t, uc_MaxReal);
  EXPECT_EQ(pGreater, 0.0);
  EXPECT_EQ(pLess, 1.0);
  SetValues(a, {1.0});
  SetValues(b, {0.5});
  EXPECT_EQ(Perform2SampleTTest(&a, &b, ttPaired, t, df, pLess, pGreater), -2.0);
  EXPECT_EQ(pLess, -1.0);
  EXPECT_EQ(Perform2SampleTTest(nullptr, &b, ttPaired, t, df), -1.0);
  EXPECT_EQ(Perform2SampleTTest(&a, &b, static_cast<TtTestVersion>(3), t, df), -1.0);
  SetValues(a, {1.0, std::nan(""), 2.0});
  SetValues(b, {1.0, 2.0, 4.0});
  EXPECT_TRUE(std::isnan(Perform2SampleTTest(&a, &b, ttHeteroScedastic, t, df)));
}

TEST(MannWhitney, ExactAndApproximateAgainstScipy) {
  TVector x, y;
  double U, z;
  // scipy.stats.mannwhitneyu(x, y, method='exact'): 7 x 9 without ties
  SetValues(x, kMWExactX);
  SetValues(y, kMWExactY);
  EXPECT_REL_NEAR(PerformMannWhitneyUTest(&x, &y, U, z), kMWExactP, 1e-13);
  EXPECT_EQ(U, kMWExactU);
  EXPECT_REL_NEAR(PerformMannWhitneyUTest(&y, &x, U, z), kMWExactP, 1e-13);  // symmetric
  EXPECT_EQ(U, 63 - kMWExactU);
  // method='asymptotic' (continuity and tie corrections): 40 x 35 integers with ties
  SetValues(x, kMWTiesX);
  SetValues(y, kMWTiesY);
  const double p = PerformMannWhitneyUTest(&x, &y, U, z);
  EXPECT_REL_NEAR(p, kMWTiesP, 1e-13);
  EXPECT_EQ(U, kMWTiesU);
  EXPECT_LT(z, 0.0);
  EXPECT_REL_NEAR(std::erfc(-z / std::sqrt(2.0)), p, 1e-13);  // p = 2 Phi(-|z|)
  // 120 x 100 without ties lies beyond the exact limit
  SetValues(x, kMWLargeX);
  SetValues(y, kMWLargeY);
  EXPECT_REL_NEAR(PerformMannWhitneyUTest(&x, &y, U, z), kMWLargeP, 1e-12);
  EXPECT_EQ(U, kMWLargeU);
}

TEST(MannWhitney, TiesEqualSamplesAndNaN) {
  TVector x, y;
  double U, z;
  // every value equal: U = n1 n2/2, z = 0, p = 1
  SetValues(x, {3.0, 3.0, 3.0});
  SetValues(y, {3.0, 3.0});
  EXPECT_EQ(PerformMannWhitneyUTest(&x, &y, U, z), 1.0);
  EXPECT_EQ(U, 3.0);
  EXPECT_EQ(z, 0.0);
  // complete separation, exact: p = 2/C(8, 4)
  SetValues(x, {5.0, 6.0, 7.0, 8.0});
  SetValues(y, {1.0, 2.0, 3.0, -0.0});
  EXPECT_DOUBLE_EQ(PerformMannWhitneyUTest(&x, &y, U, z), 2.0 / 70.0);
  EXPECT_EQ(U, 16.0);
  // -0 and +0 tie: half a pair each way
  SetValues(x, {0.0, 4.0});
  SetValues(y, {-0.0, 5.0});
  PerformMannWhitneyUTest(&x, &y, U, z);
  EXPECT_EQ(U, 1.5);
  SetValues(x, {1.0, std::nan("")});
  EXPECT_TRUE(std::isnan(PerformMannWhitneyUTest(&x, &y, U, z)));
  EXPECT_TRUE(std::isnan(U));
  EXPECT_EQ(PerformMannWhitneyUTest(&x, nullptr, U, z), -1.0);
  EXPECT_EQ(U, 0.0);
}
