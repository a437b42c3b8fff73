// Wilcoxon signed-rank critical values: the exact table, its interpolation and
// the normal approximation.
#include <cmath>
#include <cstdint>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/reference/hyptest_reference.inc"
#include "common/test_util.h"

using namespace nuv;

TEST(WilcoxonSR, TableIsTheExactNullDistribution) {
  // Every cell against exact counting with Python integers (make_hyptest_tables.py).
  for (int32_t n = 8; n <= 100; ++n) {
    const int32_t used = n == 8 ? 3 : (n <= 10 ? 4 : 5);
    for (int32_t c = 0; c < 5; ++c) {
      const int32_t want = c < used ? kSRTableFlat[(n - 8) * 5 + c] : -1;
      EXPECT_EQ(WilcoxonSRTableValue(n, c), want) << "n " << n << " level " << c;
    }
  }
  // Rows as published with the tables of the signed-rank test.
  const int32_t row8[3] = {5, 3, 1}, row9[4] = {8, 5, 3, 1}, row10[4] = {10, 8, 5, 3};
  const int32_t row11[5] = {13, 10, 7, 5, 0}, row12[5] = {17, 13, 9, 7, 1};
  const int32_t row50[5] = {466, 434, 397, 373, 304}, row100[5] = {2045, 1955, 1850, 1779, 1578};
  for (int32_t c = 0; c < 5; ++c) {
    if (c < 3) {
      EXPECT_EQ(WilcoxonSRTableValue(8, c), row8[c]);
    }
    if (c < 4) {
      EXPECT_EQ(WilcoxonSRTableValue(9, c), row9[c]);
      EXPECT_EQ(WilcoxonSRTableValue(10, c), row10[c]);
    }
    EXPECT_EQ(WilcoxonSRTableValue(11, c), row11[c]);
    EXPECT_EQ(WilcoxonSRTableValue(12, c), row12[c]);
    EXPECT_EQ(WilcoxonSRTableValue(50, c), row50[c]);
    EXPECT_EQ(WilcoxonSRTableValue(100, c), row100[c]);
  }
  EXPECT_EQ(WilcoxonSRTableValue(7, 0), -1);
  EXPECT_EQ(WilcoxonSRTableValue(101, 0), -1);
  EXPECT_EQ(WilcoxonSRTableValue(50, -1), -1);
  EXPECT_EQ(WilcoxonSRTableValue(50, 5), -1);
}

TEST(WilcoxonSR, QuantileInterpolatesTheTableByAParabola) {
  // the parabola through the three points of row 8 passes through them
  EXPECT_EQ(WilcoxonSRQuantile(8, 0.05, true), 3);
  EXPECT_EQ(WilcoxonSRQuantile(8, 0.025, false), 3);  // one-sided alpha is doubled
  EXPECT_EQ(WilcoxonSRQuantile(8, 0.1, true), 5);
  for (size_t i = 0; i < std::size(kSRQN); ++i)
    EXPECT_EQ(WilcoxonSRQuantile(kSRQN[i], kSRQAlpha[i], kSRQTwo[i] != 0), kSRQWant[i])
        << "n " << kSRQN[i] << " alpha " << kSRQAlpha[i];
  // far below the table the parabola may turn negative: 0 then
  EXPECT_EQ(WilcoxonSRQuantile(11, 0.0005, true), 0);
}

TEST(WilcoxonSR, NormalApproximationAndItsLimits) {
  for (size_t i = 0; i < std::size(kSRBigN); ++i)
    EXPECT_EQ(WilcoxonSRQuantile(kSRBigN[i], kSRBigAlpha[i], kSRBigTwo[i] != 0), kSRBigWant[i])
        << "n " << kSRBigN[i];
  // the last n whose critical value fits 32 bits at the largest level, and the first beyond
  EXPECT_GT(WilcoxonSRQuantile(92829, 0.2, false), 2147000000);
  EXPECT_EQ(WilcoxonSRQuantile(92830, 0.2, false), -1);
  EXPECT_EQ(WilcoxonSRQuantile(93297, 0.0005, true) > 0, true);
  EXPECT_EQ(WilcoxonSRQuantile(93298, 0.0005, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(1000000, 0.05, true), -1);
  // outside the domain
  EXPECT_EQ(WilcoxonSRQuantile(7, 0.05, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(1000001, 0.05, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(50, 0.3, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(50, 0.0004, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(50, std::nan(""), true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(50, 0.20000001, true) >= 0, true);
  EXPECT_EQ(WilcoxonSRQuantile(50, 0.000499999, true) >= 0, true);
}
