// Dixon's and Grubbs' outlier tests.
#include <cmath>
#include <limits>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/hyptest_helpers.h"
#include "Nuv_statis/reference/hyptest_reference.inc"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::SetValues;

TEST(DeanDixon, TableEntriesLevelsAndRange) {
  EXPECT_EQ(DeanDixonCriticalValues(3, Dot001), 0.999);
  EXPECT_EQ(DeanDixonCriticalValues(3, Dot500), 0.501);
  EXPECT_EQ(DeanDixonCriticalValues(10, Dot050), 0.477);  // last r11 row
  EXPECT_EQ(DeanDixonCriticalValues(11, Dot050), 0.575);  // first r21 row
  EXPECT_EQ(DeanDixonCriticalValues(14, Dot010), 0.640);  // first r22 row
  EXPECT_EQ(DeanDixonCriticalValues(100, Dot100), 0.219);
  // the published table is not monotone: row 94 starts above row 93
  EXPECT_EQ(DeanDixonCriticalValues(93, Dot001), 0.393);
  EXPECT_EQ(DeanDixonCriticalValues(94, Dot001), 0.394);
  EXPECT_EQ(DeanDixonCriticalValues(2, Dot050), -1.0);
  EXPECT_EQ(DeanDixonCriticalValues(101, Dot050), -1.0);
  EXPECT_EQ(DeanDixonCriticalValues(50, static_cast<TSignifLevelEx>(9)), -1.0);
  const double alphas[9] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(NumericSigLevel[i], alphas[i]);
}

TEST(DeanDixon, RatiosOfEachSizeClassAndThePositionFound) {
  TVector v;
  double stat = -1;
  // (1, 2, 3, 4, 100): high = 96/99 beats the r10 value 0.643 at 5 %
  SetValues(v, {100.0, 1.0, 2.0, 3.0, 4.0});
  EXPECT_EQ(DeanDixonTest(&v, Dot050, stat), 1);
  EXPECT_DOUBLE_EQ(stat, 96.0 / 99.0);
  // the low end: x(1) is the suspect; the caller's order is kept
  SetValues(v, {5.0, 6.0, 5.5, -20.0, 6.5, 5.2});
  EXPECT_EQ(DeanDixonTest(&v, Dot050, stat), 4);
  EXPECT_DOUBLE_EQ(stat, 25.0 / 26.5);
  EXPECT_EQ(v.GetVal(4), -20.0);
  // r11 (n = 9): high = (x9 - x8)/(x9 - x2)
  SetValues(v, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 20.0});
  EXPECT_EQ(DeanDixonTest(&v, Dot010, stat), 9);
  EXPECT_DOUBLE_EQ(stat, 12.0 / 18.0);
  // r21 (n = 12): low = (x3 - x1)/(x11 - x1), below the table value: no outlier
  SetValues(v, {0.0, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0, 5.5, 6.0});
  EXPECT_EQ(DeanDixonTest(&v, Dot050, stat), 0);
  EXPECT_DOUBLE_EQ(stat, 1.5 / 5.5);  // low 1.5/5.5 and high 1/5: the low one is larger
  // r22 (n = 15): high = (x15 - x13)/(x15 - x3)
  SetValues(v, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 60});
  EXPECT_EQ(DeanDixonTest(&v, Dot001, stat), 15);
  EXPECT_DOUBLE_EQ(stat, 47.0 / 57.0);
  // equal ratios at both ends (10/20): the low end is the suspect
  SetValues(v, {10.0, 20.0, 10.0, 0.0, 10.0});
  EXPECT_EQ(DeanDixonTest(&v, Dot500, stat), 4);
  EXPECT_EQ(stat, 0.5);
  // equal values: both ratios 0 (zero denominators), no outlier
  SetValues(v, {2.5, 2.5, 2.5, 2.5, 2.5});
  EXPECT_EQ(DeanDixonTest(&v, Dot500, stat), 0);
  EXPECT_EQ(stat, 0.0);
  // a NaN makes the ratios NaN, which never exceed the table
  SetValues(v, {1.0, 2.0, std::nan(""), 3.0, 4.0});
  EXPECT_EQ(DeanDixonTest(&v, Dot500, stat), 0);
}

TEST(DeanDixon, SizeLimitsRaise) {
  TVector v;
  double stat = 7;
  SetValues(v, {1.0, 2.0});
  EXPECT_THROW_MSG(DeanDixonTest(&v, Dot050, stat), ENUVStatisError,
                   "DeanDixonTest: number of data points is too low");
  EXPECT_EQ(stat, 0.0);
  EXPECT_THROW_MSG(DeanDixonTest(nullptr, Dot050, stat), ENUVStatisError,
                   "DeanDixonTest: number of data points is too low");
  v.Resize(101);
  EXPECT_THROW_MSG(DeanDixonTest(&v, Dot050, stat), ENUVStatisError,
                   "DeanDixonTest: number of data points is too high");
}

TEST(Grubbs, CriticalValuesAgainstTheClosedForm) {
  // ((n - 1)/sqrt n) sqrt(t^2/(n - 2 + t^2)), t the Student quantile by mpmath (40 digits)
  for (size_t i = 0; i < std::size(kGrubbsN); ++i) {
    EXPECT_REL_NEAR(GrubbsCriticalValues(kGrubbsN[i], 0.05, true), kGrubbs05Two[i], 1e-12)
        << kGrubbsN[i];
    EXPECT_REL_NEAR(GrubbsCriticalValues(kGrubbsN[i], 0.01, false), kGrubbs01One[i], 1e-12)
        << kGrubbsN[i];
  }
  // The published table of Grubbs' critical values (ASTM E178, table 1, three decimals;
  // upper 5 %, 2.5 % and 1 % one-sided levels, the 2.5 % column being two-sided 5 %).
  const int32_t pubN[6] = {3, 4, 5, 10, 20, 30};
  const double pub05[6] = {1.153, 1.463, 1.672, 2.176, 2.557, 2.745};
  const double pub025[6] = {1.155, 1.481, 1.715, 2.290, 2.709, 2.908};
  const double pub01[6] = {1.155, 1.492, 1.749, 2.410, 2.884, 3.103};
  for (int i = 0; i < 6; ++i) {
    EXPECT_ABS_NEAR(GrubbsCriticalValues(pubN[i], 0.05, false), pub05[i], 1.5e-3) << pubN[i];
    EXPECT_ABS_NEAR(GrubbsCriticalValues(pubN[i], 0.05, true), pub025[i], 1.5e-3) << pubN[i];
    EXPECT_ABS_NEAR(GrubbsCriticalValues(pubN[i], 0.01, false), pub01[i], 1.5e-3) << pubN[i];
  }
  EXPECT_EQ(GrubbsCriticalValues(2, 0.05, true), -1.0);
  EXPECT_EQ(GrubbsCriticalValues(10, 0.0, true), -1.0);
  EXPECT_EQ(GrubbsCriticalValues(10, 1.0, true), -1.0);
  EXPECT_EQ(GrubbsCriticalValues(10, std::nan(""), true), -1.0);
}

TEST(Grubbs, TestFindsTheFirstMaximalDeviation) {
  TVector v;
  double G = -1;
  SetValues(v, {2.1, 2.3, 1.9, 2.0, 2.2, 9.5, 2.05, 1.95});
  EXPECT_EQ(GrubbsTest(&v, 0.05, G), 6);
  double m, var;
  v.MeanVar(0, 0, m, var);
  EXPECT_DOUBLE_EQ(G, (9.5 - m) / std::sqrt(var));
  // symmetric extremes: the first one wins, and G below the critical value gives 0
  SetValues(v, {-1.0, 0.0, 0.0, 1.0});
  EXPECT_EQ(GrubbsTest(&v, 0.05, G), 0);
  EXPECT_DOUBLE_EQ(G, 1.0 / std::sqrt(2.0 / 3.0));
  SetValues(v, {-3.0, 0.1, -0.1, 0.05, -0.05, 0.0, 3.0});
  EXPECT_EQ(GrubbsTest(&v, 0.5, G), 1);
  // constant data: s = 0, G = 0
  SetValues(v, {4.0, 4.0, 4.0, 4.0});
  EXPECT_EQ(GrubbsTest(&v, 0.05, G), 0);
  EXPECT_EQ(G, 0.0);
}

TEST(Grubbs, LevelIsCheckedBeforeTheSize) {
  TVector v;
  double G = 3;
  SetValues(v, {1.0, 2.0, 3.0});
  EXPECT_THROW_MSG(GrubbsTest(&v, 1.0, G), ENUVStatisError,
                   "GrubbsTest: invalid level of significance");
  EXPECT_EQ(G, 0.0);
  EXPECT_THROW_MSG(GrubbsTest(&v, std::nan(""), G), ENUVStatisError,
                   "GrubbsTest: invalid level of significance");
  EXPECT_THROW_MSG(GrubbsTest(&v, 0.05, G), ENUVStatisError,
                   "GrubbsTest: number of data points is too low");
}
