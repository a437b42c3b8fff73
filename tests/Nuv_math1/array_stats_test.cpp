#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(MinMaxOfArray, FirstOccurrenceAndRangeRules) {
  double mn = 0, mx = 0;
  int32_t imn = 9, imx = 9;
  // Ties keep the first occurrence: minimum 1 at index 1, maximum 3 at index 0.
  const TDoubleArray d{3, 1, 1, 3};
  EXPECT_EQ(MinMaxOfArray(d, 0, 3, mn, mx, imn, imx), 0);
  EXPECT_EQ(mn, 1.0);
  EXPECT_EQ(imn, 1);
  EXPECT_EQ(mx, 3.0);
  EXPECT_EQ(imx, 0);
  // Sub-range 2..3.
  EXPECT_EQ(MinMaxOfArray(d, 2, 3, mn, mx, imn, imx), 0);
  EXPECT_EQ(imn, 2);
  EXPECT_EQ(imx, 3);
  // Indices outside 0..3 give -1 with the initial outputs.
  for (auto r : {std::pair<int32_t, int32_t>{0, 4}, {-1, 2}, {4, 4}}) {
    imn = imx = 7;
    EXPECT_EQ(MinMaxOfArray(d, r.first, r.second, mn, mx, imn, imx), -1);
    EXPECT_EQ(mn, uc_MaxDouble);
    EXPECT_EQ(mx, -uc_MaxDouble);
    EXPECT_EQ(imn, 0);
    EXPECT_EQ(imx, 0);
  }
  EXPECT_EQ(MinMaxOfArray(TDoubleArray{}, 0, 0, mn, mx, imn, imx), -1);
  // Reversed range: nothing scanned, success with the initial outputs.
  EXPECT_EQ(MinMaxOfArray(d, 3, 1, mn, mx, imn, imx), 0);
  EXPECT_EQ(mn, uc_MaxDouble);
  EXPECT_EQ(mx, -uc_MaxDouble);
  // NaN is never taken; infinities are.
  const TDoubleArray n{kNaN, 2, -INFINITY, kNaN};
  EXPECT_EQ(MinMaxOfArray(n, 0, 3, mn, mx, imn, imx), 0);
  EXPECT_EQ(mn, -INFINITY);
  EXPECT_EQ(imn, 2);
  EXPECT_EQ(mx, 2.0);
  EXPECT_EQ(imx, 1);
}

TEST(MinMaxOfArray, Rectangle) {
  const TDouble2DArray d{{5, 2, 8}, {1, 9, 1}, {9, 0, 4}};
  double mn = 0, mx = 0;
  int32_t a = 7, b = 7, c = 7, e = 7;
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 2, 2, mn, mx, a, b, c, e), 0);
  // 0 at [2][1]; 9 first at [1][1] (first index outer), the later 9 at [2][0] is a tie.
  EXPECT_EQ(mn, 0.0);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(mx, 9.0);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(e, 1);
  // Columns 0..0 of rows 1..2: minimum 1 at [1][0], maximum 9 at [2][0].
  EXPECT_EQ(MinMaxOfArray(d, 1, 0, 2, 0, mn, mx, a, b, c, e), 0);
  EXPECT_EQ(mn, 1.0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(mx, 9.0);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 2, 3, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 3, 2, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(mn, uc_MaxDouble);
  // A row shorter than row 0 inside the scanned rows is a bad range, not a read past it.
  const TDouble2DArray ragged{{1, 2, 3}, {4}};
  EXPECT_EQ(MinMaxOfArray(ragged, 0, 0, 1, 2, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(MinMaxOfArray(ragged, 0, 0, 1, 0, mn, mx, a, b, c, e), 0);
  EXPECT_EQ(mx, 4.0);
  EXPECT_EQ(MinMaxOfArray(TDouble2DArray{}, 0, 0, 0, 0, mn, mx, a, b, c, e), -1);
}

TEST(MeanVarOfArray, SmallCountsAndRanges) {
  double m = 9, v = 9;
  // (2, 4): mean 3, variance 1 by the two-value rule.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4}, 0, 1, m, v), 0);
  EXPECT_EQ(m, 3.0);
  EXPECT_EQ(v, 1.0);
  // (2, 4, 6): mean 4, variance (4 + 0 + 4) / 2 = 4.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4, 6}, 0, 2, m, v), 0);
  EXPECT_EQ(m, 4.0);
  EXPECT_EQ(v, 4.0);
  // One value: itself, variance 1.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4, 6}, 2, 2, m, v), 0);
  EXPECT_EQ(m, 6.0);
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4, 6}, 0, 3, m, v), -1);
  EXPECT_EQ(m, 0.0);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{}, 0, 0, m, v), -1);
  // Empty range: no 0/0.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4, 6}, 2, 1, m, v), 0);
  EXPECT_EQ(m, 0.0);
  EXPECT_EQ(v, 1.0);
  // Equal values: the rounding residue of the sums must not go negative.
  const TDoubleArray same(7, 0.1);
  EXPECT_EQ(MeanVarOfArray(same, 0, 6, m, v), 0);
  EXPECT_REL_NEAR(m, 0.1, kTol1);
  EXPECT_GE(v, 0.0);
  EXPECT_LT(v, 1e-15);
}

TEST(MeanVarOfArray, Rectangle) {
  // Values 1..6 in two rows: mean 3.5, sample variance 17.5 / 5 = 3.5.
  const TDouble2DArray d{{1, 2, 3}, {4, 5, 6}};
  double m = 0, v = 0;
  EXPECT_EQ(MeanVarOfArray(d, 0, 0, 1, 2, m, v), 0);
  EXPECT_EQ(m, 3.5);
  EXPECT_EQ(v, 3.5);
  // Column 1 only: (2, 5) -> mean 3.5, variance 1.
  EXPECT_EQ(MeanVarOfArray(d, 0, 1, 1, 1, m, v), 0);
  EXPECT_EQ(m, 3.5);
  EXPECT_EQ(v, 1.0);
  // Both ranges reversed scan nothing.
  EXPECT_EQ(MeanVarOfArray(d, 1, 2, 0, 0, m, v), 0);
  EXPECT_EQ(m, 0.0);
  EXPECT_EQ(MeanVarOfArray(d, 0, 0, 2, 2, m, v), -1);
  EXPECT_EQ(v, 0.0);
}

TEST(QuickSelect, ValuesAndRangeClipping) {
  std::vector<double> d{1, 5, 0};
  EXPECT_EQ(QuickSelect(d, 1, 0, 2), 1.0);
  d = {1, 5, 0};
  EXPECT_EQ(QuickSelect(d, 2, 0, 2), 5.0);
  d = {1, 5, 0};
  EXPECT_EQ(QuickSelect(d, 0, 0, 2), 0.0);
  // Reversed range gives 0.
  EXPECT_EQ(QuickSelect(d, 1, 2, 0), 0.0);
  std::vector<double> empty;
  EXPECT_EQ(QuickSelect(empty, 0, 0, 0), 0.0);
  // K outside the range is clipped into it; the range is clipped into the array.
  d = {4, 3, 2, 1};
  EXPECT_EQ(QuickSelect(d, 10, 0, 3), 4.0);
  d = {4, 3, 2, 1};
  EXPECT_EQ(QuickSelect(d, -5, -3, 99), 1.0);
  d = {4, 3, 2, 1};
  EXPECT_EQ(QuickSelect(d, 0, 5, 9), 0.0);
}

TEST(QuickSelect, OnlyTheRangeIsReordered) {
  std::vector<double> d{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  // Positions 2..7 hold 7..2; the second smallest there (K = 3) is 3.
  EXPECT_EQ(QuickSelect(d, 3, 2, 7), 3.0);
  EXPECT_EQ(d[0], 9.0);
  EXPECT_EQ(d[1], 8.0);
  EXPECT_EQ(d[8], 1.0);
  EXPECT_EQ(d[9], 0.0);
  EXPECT_EQ(d[3], 3.0);
  for (int i = 2; i < 3; ++i) EXPECT_LE(d[i], 3.0);
  for (int i = 4; i <= 7; ++i) EXPECT_GE(d[i], 3.0);
  // All equal: returned without reordering; +0 and -0 count as equal, so the
  // sign pattern must survive.
  std::vector<double> z{0.0, -0.0, 0.0, -0.0};
  EXPECT_EQ(QuickSelect(z, 2, 0, 3), 0.0);
  EXPECT_FALSE(std::signbit(z[0]));
  EXPECT_TRUE(std::signbit(z[1]));
  EXPECT_TRUE(std::signbit(z[3]));
  std::vector<double> sevens{7, 7, 7};
  EXPECT_EQ(QuickSelect(sevens, 1, 0, 2), 7.0);
}

TEST(QuickSelect, AgainstFullSortWithDuplicatesAndNaN) {
  // Reference: the k-th value of the sorted list, ordered by hand below.
  // Data 3, NaN, 1, 3, NaN, 0, 2 sorted with NaN last: 0 1 2 3 3 NaN NaN.
  const std::vector<double> src{3, kNaN, 1, 3, kNaN, 0, 2};
  const double want[] = {0, 1, 2, 3, 3, kNaN, kNaN};
  for (int32_t k = 0; k < 7; ++k) {
    std::vector<double> d = src;
    EXPECT_REL_NEAR(QuickSelect(d, k, 0, 6), want[k], 0.0) << "k = " << k;
  }
  std::vector<double> nans(5, kNaN);
  EXPECT_TRUE(std::isnan(QuickSelect(nans, 2, 0, 4)));
  // Many repeats of few values (the case that makes a plain middle-pivot
  // partition quadratic): 0..9 each 1000 times, K = 4500 lies among the 4s.
  std::vector<double> rep(10000);
  for (size_t i = 0; i < rep.size(); ++i) rep[i] = static_cast<double>((i * 7) % 10);
  EXPECT_EQ(QuickSelect(rep, 4500, 0, 9999), 4.0);
}
