#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Rows written as they read: Rows[r][c] is element (c + 1, r + 1).
void Set(TMatrix& m, const std::vector<std::vector<double>>& Rows) {
  m.Resize(static_cast<int32_t>(Rows[0].size()), static_cast<int32_t>(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r)
    for (size_t c = 0; c < Rows[r].size(); ++c)
      m.SetVal(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Rows[r][c]);
}

// 3 columns, 4 rows, element (c, r) = 10 c + r.
void Grid(TMatrix& m) {
  m.Resize(3, 4);
  for (int32_t c = 1; c <= 3; ++c)
    for (int32_t r = 1; r <= 4; ++r) m.SetVal(c, r, 10 * c + r);
}

}  // namespace

TEST(MatrixStats, BlockClippingInEachParameterOrder) {
  TMatrix m;
  Grid(m);
  // (LoC, LoR, HiC, HiR): columns 1..2, rows 3..4 = 13 + 14 + 23 + 24.
  EXPECT_EQ(m.Sum(1, 3, 2, 4), 74.0);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 270.0);  // 50 + 90 + 130
  // Each bound clipped, then reversed pairs exchanged: the whole matrix.
  EXPECT_EQ(m.Sum(5, 9, 0, -1), 270.0);
  double mn, mx, mean, var;
  m.MinMax(1, 3, 2, 4, mn, mx);
  EXPECT_EQ(mn, 13.0);
  EXPECT_EQ(mx, 24.0);
  m.MeanVar(1, 3, 2, 4, mean, var);
  EXPECT_EQ(mean, 18.5);
  EXPECT_REL_NEAR(var, 101.0 / 3, kTol1);  // (1470 - 74^2 / 4) / 3
  // Histogram(LoX, LoY, HiX, HiY): the same block, columns first.
  TIntVector h;
  int32_t under, over, maxCnt;
  ASSERT_TRUE(m.Histogram(1, 3, 2, 4, 10, 30, 10, &h, under, over, maxCnt));
  EXPECT_EQ(h.GetVal(1), 2);  // 13, 14
  EXPECT_EQ(h.GetVal(2), 2);  // 23, 24
  // Find(LowCol, HighCol, LowRow, HighRow): columns 1..3, rows 2..4.
  int32_t col, row;
  m.Find(1, 3, 2, 4, 0.0, col, row);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 2);
}

TEST(MatrixStats, MinMaxMeanVarEdgeValues) {
  TMatrix m;
  double mn, mx, mean, var;
  Set(m, {{1}, {3}});
  m.MeanVar(0, 0, 0, 0, mean, var);
  EXPECT_EQ(mean, 2.0);
  EXPECT_EQ(var, 1.0);  // two values: variance 1 by rule
  // An empty block (no columns) gives the start values, never 0 / 0.
  m.Resize(0, 2);
  m.MeanVar(0, 0, 0, 0, mean, var);
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(var, 1.0);
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_EQ(mn, uc_MaxReal);
  EXPECT_EQ(mx, -uc_MaxReal);
  EXPECT_EQ(m.Sum(0, 0, 0, 0), 0.0);
  // NaN is never an extreme; infinities are reported as they are.
  Set(m, {{kNaN, 2}, {3, 7}, {-kInf, kNaN}, {7, 1}, {2, 2}, {5, 6}, {4, 4}, {9, 0}, {1, 8}});
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_EQ(mn, -kInf);
  EXPECT_EQ(mx, 9.0);
  Set(m, {{kInf, kInf}});
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_EQ(mn, kInf);
  // The first of equal zeros is kept, in block order.
  Set(m, {{0.0, -0.0}});
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_FALSE(std::signbit(mn));
  Set(m, {{-0.0, 0.0}, {1, 1}});
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_TRUE(std::signbit(mn));
}

TEST(MatrixStats, MeansAndShape) {
  TMatrix m;
  m.SetName("M");
  Set(m, {{1, 4}, {2, 8}});
  EXPECT_REL_NEAR(m.GeometricMean(0, 0, 0, 0), 2 * std::sqrt(2.0), kTol1);  // 64^(1/4)
  Set(m, {{1, 2, 4}});
  EXPECT_REL_NEAR(m.HarmonicMean(0, 0, 0, 0), 3 / 1.75, kTol1);
  // A zero makes the geometric mean 0, but a later negative value still raises.
  Set(m, {{0, 5, 2}});
  EXPECT_EQ(m.GeometricMean(0, 0, 0, 0), 0.0);
  Set(m, {{0, 5, -1}});
  EXPECT_THROW_MSG(m.GeometricMean(0, 0, 0, 0), ENUVMatrixError,
                   "Component \"M\": negative argument passed to GeometricMean");
  EXPECT_THROW_MSG(m.HarmonicMean(1, 1, 1, 1), ENUVMatrixError,
                   "Component \"M\": negative or zero argument passed to HarmonicMean");
  // 1, 2, 3, 4, 10: mean 4; d = -3..6; Σd² 50, Σd³ 180, Σd⁴ 1394; s² = 12.5.
  Set(m, {{1, 2, 3, 4, 10}});
  double skew, kurt;
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  EXPECT_REL_NEAR(skew, 36 / (12.5 * std::sqrt(12.5)), kTol1);
  EXPECT_REL_NEAR(kurt, 278.8 / 156.25 - 3, kTol1);
  m.SkewKurtSample(0, 0, 0, 0, skew, kurt);
  EXPECT_REL_NEAR(skew, 25.0 / 12 * 36 / (12.5 * std::sqrt(12.5)), kTol1);
  EXPECT_REL_NEAR(kurt, 5 * (278.8 / 156.25 * 5) * 6 / 24 - 8, kTol1);
  // Two values: s = sqrt(2), Σd⁴ = 2, kurtosis 2 / 2 / 4 - 3.
  Set(m, {{1, 3}});
  m.SkewKurt(0, 0, 0, 0, skew, kurt);
  EXPECT_REL_NEAR(kurt, -2.75, kTol1);
}

TEST(MatrixStats, QuartilesAndPercentileRanks) {
  TMatrix m;
  double q1, q2, q3;
  Set(m, {{3, 1}, {2, 4}});  // 1, 2, 3, 4 over two columns
  ASSERT_TRUE(m.Quartiles(0, 0, 0, 0, q1, q2, q3));
  EXPECT_EQ(q1, 1.25);
  EXPECT_EQ(q2, 2.5);
  EXPECT_EQ(q3, 3.75);
  // Rounded ranks, unlike the interpolated vector percentile (2.5 and 1.75):
  // 4 * 0.5 = 2 and 4 * 0.25 = 1, 0-based.
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 3.0);
  EXPECT_EQ(m.Percentile(25, 0, 0, 0, 0), 2.0);
  // Half ranks round to even: 7 * 0.5 = 3.5 -> 4, 5 * 0.5 = 2.5 -> 2.
  Set(m, {{7, 1, 6, 2, 5, 3, 4}});
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 5.0);
  EXPECT_EQ(m.Percentile(50, 3, 1, 7, 1), 4.0);  // 6, 2, 5, 3, 4: rank 2
  EXPECT_EQ(m.Percentile(150, 0, 0, 0, 0), 7.0);
  EXPECT_EQ(m.Percentile(-3, 0, 0, 0, 0), 1.0);
  // NaN is the largest value.
  Set(m, {{kNaN, 1, 2}});
  EXPECT_TRUE(std::isnan(m.Percentile(100, 0, 0, 0, 0)));
  EXPECT_EQ(m.Percentile(0, 0, 0, 0, 0), 1.0);
  // No values: neutral results.
  m.Resize(2, 0);
  EXPECT_FALSE(m.Quartiles(0, 0, 0, 0, q1, q2, q3));
  EXPECT_EQ(q2, 0.0);
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0), 0.0);
}

TEST(MatrixStats, SampledPercentile) {
  TMatrix m;
  Set(m, {{7, 1, 6, 2, 5, 3, 4}});
  // No sample, or one not smaller than the block, is the block itself.
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 0), 5.0);
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 7), 5.0);
  Set(m, {{4, 4}, {4, 4}});
  EXPECT_EQ(m.Percentile(30, 0, 0, 0, 0, 3), 4.0);
  // Block 0, 0, 5, two draws, Prob 40 (rank round(0.8) = 1). A rank inside
  // the drawn zeros gives 0 without selecting, so the result is 0 unless both
  // draws are 5: probability 8/9, against 4/9 for a plain selection.
  Set(m, {{0, 0, 5}});
  int zeros = 0;
  for (int k = 0; k < 100; ++k) zeros += m.Percentile(40, 0, 0, 0, 0, 2) == 0.0;
  EXPECT_GE(zeros, 70);
}

TEST(MatrixStats, HistogramLosesNoValue) {
  TMatrix m;
  Set(m, {{-0.5, 0, 9.99, 11, 10.5, 3.2, 3.7}});
  TIntVector h;
  int32_t under = -1, over = -1, maxCnt = -1;
  ASSERT_TRUE(m.Histogram(0, 0, 0, 0, 0, 10, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(under, 1);
  EXPECT_EQ(h.GetVal(1), 1);
  EXPECT_EQ(h.GetVal(4), 2);
  EXPECT_EQ(h.GetVal(10), 1);
  EXPECT_EQ(maxCnt, 2);
  // 11 lies beyond LastBin + BinWidth; 10.5 is accepted but has no bin: both overflow.
  EXPECT_EQ(over, 2);
  // Refused: more than 500 bins, or a width that is not positive; nothing changes.
  EXPECT_FALSE(m.Histogram(0, 0, 0, 0, 0, 1000, 1, &h, under, over, maxCnt));
  EXPECT_FALSE(m.Histogram(0, 0, 0, 0, 0, 10, 0, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
}

TEST(MatrixStats, Correlate) {
  TMatrix a, b;
  a.SetName("A");
  Set(a, {{1, 2}, {3, 4}});
  Set(b, {{3, 5}, {7, 9}});  // 2x + 1
  EXPECT_REL_NEAR(a.Correlate(&b), 1.0, kTol1);
  Set(b, {{0, 0}, {0, 0}});
  EXPECT_EQ(a.Correlate(&b), 0.0);
  Set(b, {{1, 2, 3}});
  EXPECT_THROW_MSG(a.Correlate(&b), ENUVMatrixError, "Component \"A\": matrices do not match");
}

TEST(MatrixStats, MeansAndCentring) {
  TMatrix m;
  Set(m, {{1, 10}, {2, 20}, {6, 60}});
  TVector means;
  m.MeanVec(dimColumns, &means);
  ASSERT_EQ(means.NrOfElem(), 2);
  EXPECT_EQ(means.GetVal(1), 3.0);
  EXPECT_EQ(means.GetVal(2), 30.0);
  m.MeanVec(dimRows, &means);
  EXPECT_EQ(means.GetVal(3), 33.0);
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  m.MeanCenterColumns(&means);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(means.NrOfElem(), 2);
  EXPECT_EQ(m.GetVal(2, 3), 30.0);
  m.MeanCenterRows(&means);
  EXPECT_EQ(means.GetVal(1), -11.0);  // (-2 - 20) / 2
  EXPECT_EQ(m.GetVal(1, 1), 9.0);
}

TEST(MatrixStats, StandardizeSmallAndConstantLines) {
  TMatrix m;
  // Column 1: two values, variance 1 by rule, so only centred. Column 2 of
  // 1, 2, 6 below: mean 3, variance (41 - 27) / 2 = 7.
  Set(m, {{1, 5}, {3, 5}});
  TVector means, sd;
  means.Resize(2);
  sd.Resize(1);  // not resized: the second deviation is dropped
  m.StandardizeColumns(&means, &sd);
  EXPECT_EQ(m.GetVal(1, 2), 1.0);
  EXPECT_EQ(m.GetVal(2, 1), 0.0);
  EXPECT_EQ(means.GetVal(2), 5.0);
  EXPECT_EQ(sd.NrOfElem(), 1);
  EXPECT_EQ(sd.GetVal(1), 1.0);
  Set(m, {{1, 2}, {2, 2}, {6, 2}});
  m.StandardizeColumns(&means, nullptr);
  EXPECT_REL_NEAR(m.GetVal(1, 3), 3 / std::sqrt(7.0), kTol1);
  EXPECT_EQ(m.GetVal(2, 3), 2.0);  // constant: variance 0, left as it is
  Set(m, {{0.1, 0.1, 0.1}, {1, 2, 6}, {7, 9, 7}});
  sd.Resize(3);
  means.Resize(3);
  m.StandardizeRows(&means, &sd);
  // A constant row of 0.1 has the variance -1.7e-18 by rounding: it keeps its
  // values and reports the deviation 0, not NaN.
  EXPECT_EQ(m.GetVal(2, 1), 0.1);
  EXPECT_EQ(sd.GetVal(1), 0.0);
  EXPECT_REL_NEAR(m.GetVal(3, 2), 3 / std::sqrt(7.0), kTol1);
  EXPECT_REL_NEAR(means.GetVal(3), 23.0 / 3, kTol1);
  // One row: each column is centred to 0.
  Set(m, {{5, -2}});
  m.StandardizeColumns(nullptr, nullptr);
  EXPECT_EQ(m.GetVal(1, 1), 0.0);
  EXPECT_EQ(m.GetVal(2, 1), 0.0);
}

TEST(MatrixStats, QuantileNormalization) {
  TMatrix m;
  // Column 0, 2, 4, 6, 8: the 25 % rank round(1.25) = 1 gives 2, the median
  // rank round(2.5) = 2 gives 4; d = 2. Column 2 is constant: d = 0, unchanged.
  Set(m, {{8, 3}, {0, 3}, {6, 3}, {2, 3}, {4, 3}});
  TVector med, diff;
  med.Resize(1);
  diff.Resize(2);
  m.QNormalizeColumns(25, &med, &diff);
  EXPECT_EQ(m.GetVal(1, 2), -2.0);
  EXPECT_EQ(m.GetVal(2, 1), 3.0);
  EXPECT_EQ(med.GetVal(1), 4.0);
  EXPECT_EQ(diff.GetVal(1), 2.0);
  EXPECT_EQ(diff.GetVal(2), 0.0);
  Set(m, {{8, 0, 6, 2, 4}});
  m.QNormalizeRows(75, &med, nullptr);  // rank round(3.75) = 4 gives 8; d = 4
  EXPECT_EQ(m.GetVal(2, 1), -1.0);
}

TEST(MatrixStats, EdgeVectors) {
  TMatrix m;
  Set(m, {{1, 5}, {kNaN, 6}, {3, 7}, {-4, 8}});
  TVector v;
  m.EdgeVector(orVertical, eopMean, &v);  // per column: sum / 4
  ASSERT_EQ(v.NrOfElem(), 2);
  EXPECT_TRUE(std::isnan(v.GetVal(1)));
  EXPECT_EQ(v.GetVal(2), 6.5);
  m.EdgeVector(orHorizontal, eopMax, &v);  // per row over the columns
  ASSERT_EQ(v.NrOfElem(), 4);
  EXPECT_EQ(v.GetVal(2), 6.0);
  EXPECT_EQ(v.GetVal(4), 8.0);
  Set(m, {{kNaN, kNaN}, {2, 1}});
  m.EdgeVector(orHorizontal, eopMin, &v);
  EXPECT_EQ(v.GetVal(1), uc_MaxDouble);  // no comparable value: the start value
  EXPECT_EQ(v.GetVal(2), 1.0);
}
