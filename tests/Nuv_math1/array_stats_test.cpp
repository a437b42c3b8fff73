#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "common/test_util.h"

using namespace nuv;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(MinMaxOfArray, FirstOccurrenceAndRangeRules) {
  double mn = 0, mx = 0;
  int32_t imn = 9, imx = 9;
  // Ties keep the first occurrence: minimum 1 at index 1, maximum 3 at index 0.
  const TDoubleArray d{3, 1, 1, 3};
  EXPECT_EQ(MinMaxOfArray(d, 0, 3, mn, mx, imn, imx), 0);
  EXPECT_EQ(std::vector<double>({mn, mx, 1.0 * imn, 1.0 * imx}), std::vector<double>({1, 3, 1, 0}));
  // Indices outside 0..3 give -1 with the initial outputs; reversed ranges scan nothing.
  for (auto r : {std::pair<int32_t, int32_t>{0, 4}, {-1, 2}, {3, 1}}) {
    imn = imx = 7;
    EXPECT_EQ(MinMaxOfArray(d, r.first, r.second, mn, mx, imn, imx), r.first == 3 ? 0 : -1);
    EXPECT_TRUE(mn == uc_MaxDouble && mx == -uc_MaxDouble && imn == 0 && imx == 0);
  }
  EXPECT_EQ(MinMaxOfArray(TDoubleArray{}, 0, 0, mn, mx, imn, imx), -1);
  // NaN is never taken; infinities are.
  EXPECT_EQ(MinMaxOfArray(TDoubleArray{kNaN, 2, -INFINITY, kNaN}, 0, 3, mn, mx, imn, imx), 0);
  EXPECT_TRUE(mn == -INFINITY && imn == 2 && mx == 2.0 && imx == 1);
}

TEST(MinMaxOfArray, LongRangesKeepTheFirstExtreme) {
  // Against the defining scan: strict comparisons in index order, here over
  // lengths beyond the block width, with repeats, both zeros and NaN.
  SetRandSeed(321);
  for (int32_t n : {9, 17, 100, 1001}) {
    TDoubleArray d(static_cast<size_t>(n));
    for (double& x : d) {
      const int32_t r = Random(6);
      x = r == 0 ? kNaN : (r == 1 ? -0.0 : (r == 2 ? 0.0 : static_cast<double>(Random(5) - 2)));
    }
    double wmn = uc_MaxDouble, wmx = -uc_MaxDouble;
    int32_t wimn = 0, wimx = 0;
    for (int32_t i = 1; i < n; ++i) {
      if (d[i] < wmn) wmn = d[i], wimn = i;
      if (d[i] > wmx) wmx = d[i], wimx = i;
    }
    double mn, mx;
    int32_t imn, imx;
    EXPECT_EQ(MinMaxOfArray(d, 1, n - 1, mn, mx, imn, imx), 0);
    EXPECT_TRUE(imn == wimn && imx == wimx && mn == wmn && mx == wmx) << "n = " << n;
    EXPECT_EQ(std::signbit(mn), std::signbit(wmn));
  }
  // Only zeros: the first one with its sign, whichever sign it has.
  TDoubleArray z(20, 0.0);
  z[3] = -0.0;
  double mn, mx;
  int32_t imn, imx;
  MinMaxOfArray(z, 3, 19, mn, mx, imn, imx);
  EXPECT_TRUE(imn == 3 && std::signbit(mn) && imx == 3 && std::signbit(mx));
}

TEST(MinMaxOfArray, Rectangle) {
  const TDouble2DArray d{{5, 2, 8}, {1, 9, 1}, {9, 0, 4}};
  double mn = 0, mx = 0;
  int32_t a = 7, b = 7, c = 7, e = 7;
  // 0 at [2][1]; 9 first at [1][1] in first-index-outer order, [2][0] is a later tie.
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 2, 2, mn, mx, a, b, c, e), 0);
  EXPECT_TRUE(mn == 0 && a == 2 && b == 1 && mx == 9 && c == 1 && e == 1);
  EXPECT_EQ(MinMaxOfArray(d, 1, 0, 2, 0, mn, mx, a, b, c, e), 0);
  EXPECT_TRUE(mn == 1 && a == 1 && mx == 9 && c == 2);
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 2, 3, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(MinMaxOfArray(d, 0, 0, 3, 2, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(mn, uc_MaxDouble);
  // A scanned row shorter than row 0 is a bad range, not a read past its end.
  const TDouble2DArray ragged{{1, 2, 3}, {4}};
  EXPECT_EQ(MinMaxOfArray(ragged, 0, 0, 1, 2, mn, mx, a, b, c, e), -1);
  EXPECT_EQ(MinMaxOfArray(ragged, 0, 0, 1, 0, mn, mx, a, b, c, e), 0);
  EXPECT_EQ(mx, 4.0);
  EXPECT_EQ(MinMaxOfArray(TDouble2DArray{}, 0, 0, 0, 0, mn, mx, a, b, c, e), -1);
}

TEST(MeanVarOfArray, SmallCountsRangesAndRectangles) {
  double m = 9, v = 9;
  // (2, 4): mean 3, variance 1 by the two-value rule; (2, 4, 6): (4 + 0 + 4) / 2 = 4.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray{2, 4}, 0, 1, m, v), 0);
  EXPECT_TRUE(m == 3 && v == 1);
  const TDoubleArray d{2, 4, 6};
  EXPECT_EQ(MeanVarOfArray(d, 0, 2, m, v), 0);
  EXPECT_TRUE(m == 4 && v == 4);
  EXPECT_EQ(MeanVarOfArray(d, 2, 2, m, v), 0);
  EXPECT_TRUE(m == 6 && v == 1);
  EXPECT_EQ(MeanVarOfArray(d, 0, 3, m, v), -1);
  EXPECT_TRUE(m == 0 && v == 0);
  // Empty range: no 0/0.
  EXPECT_EQ(MeanVarOfArray(d, 2, 1, m, v), 0);
  EXPECT_TRUE(m == 0 && v == 1);
  // Seven equal values: the rounding residue of the sums must not go negative.
  EXPECT_EQ(MeanVarOfArray(TDoubleArray(7, 0.1), 0, 6, m, v), 0);
  EXPECT_TRUE(v >= 0 && v < 1e-15);
  // 1..6 in two rows: mean 3.5, sample variance 17.5 / 5 = 3.5; column 1 alone is (2, 5).
  const TDouble2DArray r{{1, 2, 3}, {4, 5, 6}};
  EXPECT_EQ(MeanVarOfArray(r, 0, 0, 1, 2, m, v), 0);
  EXPECT_TRUE(m == 3.5 && v == 3.5);
  EXPECT_EQ(MeanVarOfArray(r, 0, 1, 1, 1, m, v), 0);
  EXPECT_TRUE(m == 3.5 && v == 1);
  // Both ranges reversed scan nothing: their product must not count as values.
  EXPECT_EQ(MeanVarOfArray(r, 1, 2, 0, 0, m, v), 0);
  EXPECT_EQ(m, 0.0);
  EXPECT_EQ(MeanVarOfArray(r, 0, 0, 2, 2, m, v), -1);
}

TEST(QuickSelect, ValuesRangesAndClipping) {
  auto sel = [](std::vector<double> d, int32_t k, int32_t lo, int32_t hi) {
    return QuickSelect(d, k, lo, hi);
  };
  EXPECT_EQ(sel({1, 5, 0}, 1, 0, 2), 1.0);
  EXPECT_EQ(sel({1, 5, 0}, 2, 0, 2), 5.0);
  EXPECT_EQ(sel({1, 5, 0}, 1, 2, 0), 0.0);
  EXPECT_EQ(sel({}, 0, 0, 0), 0.0);
  // K is clipped into the range, the range into the array.
  EXPECT_EQ(sel({4, 3, 2, 1}, 10, 0, 3), 4.0);
  EXPECT_EQ(sel({4, 3, 2, 1}, -5, -3, 99), 1.0);
  EXPECT_EQ(sel({4, 3, 2, 1}, 0, 5, 9), 0.0);
  // Positions 2..7 hold 7..2; index 3 of that range sorted holds 3. Outside stays put.
  std::vector<double> d{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  EXPECT_EQ(QuickSelect(d, 3, 2, 7), 3.0);
  EXPECT_TRUE(d[0] == 9 && d[1] == 8 && d[8] == 1 && d[9] == 0 && d[2] <= 3 && d[3] == 3);
  for (int i = 4; i <= 7; ++i) EXPECT_GE(d[i], 3.0);
  // All equal (+0 equals -0): no reordering, so the sign pattern survives.
  std::vector<double> z{0.0, -0.0, 0.0, -0.0};
  EXPECT_EQ(QuickSelect(z, 2, 0, 3), 0.0);
  EXPECT_TRUE(!std::signbit(z[0]) && std::signbit(z[1]) && std::signbit(z[3]));
  EXPECT_EQ(sel({7, 7, 7}, 1, 0, 2), 7.0);
}

TEST(QuickSelect, DuplicatesAndNaN) {
  // 3, NaN, 1, 3, NaN, 0, 2 ordered by hand with NaN last: 0 1 2 3 3 NaN NaN.
  const double want[] = {0, 1, 2, 3, 3, kNaN, kNaN};
  for (int32_t k = 0; k < 7; ++k) {
    std::vector<double> d{3, kNaN, 1, 3, kNaN, 0, 2};
    EXPECT_REL_NEAR(QuickSelect(d, k, 0, 6), want[k], 0.0) << "k = " << k;
  }
  std::vector<double> nans(5, kNaN);
  EXPECT_TRUE(std::isnan(QuickSelect(nans, 2, 0, 4)));
  // 0..9 each 1000 times (quadratic for a plain middle-pivot partition): K = 4500 is a 4.
  std::vector<double> rep(10000);
  for (size_t i = 0; i < rep.size(); ++i) rep[i] = static_cast<double>((i * 7) % 10);
  EXPECT_EQ(QuickSelect(rep, 4500, 0, 9999), 4.0);
}
