#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol2;
using nuv_test::kTol4;

namespace {

#include "Nuv_math2/reference/cluster_reference.inc"

void LoadNeighbourData(TMatrix& data, TVector& query, TVector& target) {
  data.Resize(3, kNnRows);
  for (int r = 0; r < kNnRows; ++r)
    for (int c = 0; c < 3; ++c) data.SetVal(c + 1, r + 1, kNnX[r * 3 + c]);
  query.Resize(3);
  for (int c = 0; c < 3; ++c) query.SetVal(c + 1, kNnQuery[c]);
  target.Resize(kNnRows);
  for (int r = 0; r < kNnRows; ++r) target.SetVal(r + 1, kNnTarget[r]);
}

}  // namespace

TEST(FindNearestNeighbors, MatchesScikitLearn) {
  TMatrix data, list;
  TVector query, target;
  LoadNeighbourData(data, query, target);
  list.Resize(2, kNnK);
  // sklearn.neighbors.NearestNeighbors(n_neighbors=12).kneighbors(query), 1.2.1.
  FindNearestNeighbors(kNnK, &data, 1, kNnRows, &query, &list, nullptr);
  for (int e = 0; e < kNnK; ++e) {
    EXPECT_EQ(list.GetVal(1, e + 1), kNnRowsFound[e]) << e;
    EXPECT_REL_NEAR(list.GetVal(2, e + 1), kNnDist[e], kTol1);
  }
  // The same through a distance function; a sub-range leaves out the rows beyond it.
  FindNearestNeighbors(
      kNnK, &data, 1, kNnRows, nullptr, &list, [&](int32_t r) {
        TVector row;
        row.Resize(3);
        data.CopyRowToVec(&row, r, 1, 3);
        return row.EuclideanDistance(&query);
      });
  for (int e = 0; e < kNnK; ++e) EXPECT_EQ(list.GetVal(1, e + 1), kNnRowsFound[e]) << e;
}

TEST(FindNearestNeighbors, ListRulesAndLimits) {
  TMatrix data, list;
  nuv_test::FromRows(data, {{0}, {3}, {-3}, {1}, {3}});
  TVector query;
  query.Resize(1);
  query.SetVal(1, 0.5);
  list.Resize(2, 6);
  list.Fill(-1);
  // Distances 0.5, 2.5, 3.5, 0.5, 2.5: of equal ones the later row comes first.
  FindNearestNeighbors(4, &data, 1, 5, &query, &list, nullptr);
  const double rows[] = {4, 1, 5, 2};
  const double dist[] = {0.5, 0.5, 2.5, 2.5};
  for (int e = 0; e < 4; ++e) {
    EXPECT_EQ(list.GetVal(1, e + 1), rows[e]) << e;
    EXPECT_EQ(list.GetVal(2, e + 1), dist[e]) << e;
  }
  EXPECT_EQ(list.GetVal(1, 5), -1);  // beyond k: not written
  // A distance equal to the last entry enters the list before it.
  FindNearestNeighbors(3, &data, 1, 5, &query, &list, nullptr);
  EXPECT_EQ(list.GetVal(1, 3), 5);
  // k is limited to the rows; rows offered fewer than k leave row 0 at uc_MaxReal.
  FindNearestNeighbors(9, &data, 2, 3, &query, &list, nullptr);
  EXPECT_EQ(list.GetVal(1, 1), 2);
  EXPECT_EQ(list.GetVal(1, 2), 3);
  EXPECT_EQ(list.GetVal(1, 3), 0);
  EXPECT_EQ(list.GetVal(2, 5), uc_MaxReal);
  EXPECT_EQ(list.GetVal(2, 6), -1);
  // A query longer than the matrix is wide counts the missing columns as 0; rows beyond the
  // matrix are rows of zeros.
  query.Resize(2);
  query.SetVal(1, 0.4);
  query.SetVal(2, 2);
  FindNearestNeighbors(2, &data, 4, 7, &query, &list, nullptr);
  // Row 4 at sqrt(0.36 + 4), row 5 farther, the zero rows 6 and 7 at sqrt(0.16 + 4), the
  // later first.
  EXPECT_EQ(list.GetVal(1, 1), 7);
  EXPECT_EQ(list.GetVal(2, 1), std::sqrt(0.4 * 0.4 + 2.0 * 2.0));
  EXPECT_EQ(list.GetVal(1, 2), 6);
  // k above 100 gives 100 neighbours.
  TMatrix big, biglist;
  big.Resize(1, 300);
  for (int r = 1; r <= 300; ++r) big.SetVal(1, r, r);
  biglist.Resize(2, 150);
  query.Resize(1);
  query.SetVal(1, 0);
  FindNearestNeighbors(150, &big, 1, 300, &query, &biglist, nullptr);
  EXPECT_EQ(biglist.GetVal(1, 100), 100);
  EXPECT_EQ(biglist.GetVal(1, 101), 0);
}

TEST(EstimateByKNN, EveryWeightingMode) {
  TMatrix data;
  TVector query, target;
  LoadNeighbourData(data, query, target);
  double est, md;
  // numpy on the sklearn neighbours (make_cluster_tables.py): mean, median, Gaussian and
  // linear weights with Param 1.3, numpy.linalg.lstsq of the quadratic model.
  EstimateByKNN(&data, &target, kNnK, kwmAverage, kNnParam, &query, est, md);
  EXPECT_REL_NEAR(md, kNnMeanDist, kTol2);
  EXPECT_REL_NEAR(est, kNnAverage, kTol2);
  EstimateByKNN(&data, &target, kNnK, kwmMedian, kNnParam, &query, est, md);
  EXPECT_REL_NEAR(est, kNnMedian, kTol2);
  EstimateByKNN(&data, &target, kNnK, kwmGauss, kNnParam, &query, est, md);
  EXPECT_REL_NEAR(est, kNnGauss, kTol2);
  EstimateByKNN(&data, &target, kNnK, kwmLinear, kNnParam, &query, est, md);
  EXPECT_REL_NEAR(est, kNnLinear, kTol2);
  EstimateByKNN(&data, &target, kNnK, kwmBiQuad, kNnParam, &query, est, md);
  EXPECT_REL_NEAR(est, kNnBiQuad, kTol4);
}

TEST(EstimateByKNN, QuadraticSurfaceAndSmallCases) {
  // f = 1.5 - 2 x + 0.5 y + 3 x^2 - y^2 + 0.75 x y is reproduced by the quadratic model.
  TMatrix data;
  TVector target, query;
  const int n = 40;
  data.Resize(2, n);
  target.Resize(n);
  auto f = [](double x, double y) { return 1.5 - 2 * x + 0.5 * y + 3 * x * x - y * y + 0.75 * x * y; };
  for (int r = 1; r <= n; ++r) {
    const double x = std::sin(r * 1.7) * 2, y = std::cos(r * 0.9) * 1.5;
    data.SetVal(1, r, x);
    data.SetVal(2, r, y);
    target.SetVal(r, f(x, y));
  }
  query.Resize(2);
  query.SetVal(1, 0.35);
  query.SetVal(2, -0.6);
  double est, md;
  EstimateByKNN(&data, &target, 15, kwmBiQuad, 0, &query, est, md);
  EXPECT_REL_NEAR(est, f(0.35, -0.6), kTol4);
  // Query on a data row: Gaussian weight 1 there; k = 1 gives that row's target.
  query.SetVal(1, data.GetVal(1, 7));
  query.SetVal(2, data.GetVal(2, 7));
  EstimateByKNN(&data, &target, 1, kwmAverage, 0, &query, est, md);
  EXPECT_EQ(est, target.GetVal(7));
  EXPECT_EQ(md, 0);
  EstimateByKNN(&data, &target, 1, kwmGauss, 2, &query, est, md);
  EXPECT_EQ(est, target.GetVal(7));
  // k above 100 and above the rows is clipped (no row is read that was not found); k <= 0
  // is one neighbour.
  EstimateByKNN(&data, &target, 500, kwmAverage, 0, &query, est, md);
  double mean = 0;
  for (int r = 1; r <= n; ++r) mean += target.GetVal(r);
  EXPECT_REL_NEAR(est, mean / n, kTol2);
  EstimateByKNN(&data, &target, -3, kwmAverage, 0, &query, est, md);
  EXPECT_EQ(est, target.GetVal(7));
  // Linear weights with no positive weight give 0.
  EstimateByKNN(&data, &target, 5, kwmLinear, 0, &query, est, md);
  EXPECT_EQ(est, 0);
  TMatrix big;
  TVector bigTarget;
  big.Resize(1, 250);
  bigTarget.Resize(250);
  for (int r = 1; r <= 250; ++r) {
    big.SetVal(1, r, r);
    bigTarget.SetVal(r, r);
  }
  query.Resize(1);
  query.SetVal(1, 0);
  EstimateByKNN(&big, &bigTarget, 200, kwmAverage, 0, &query, est, md);
  EXPECT_EQ(est, 50.5);
  EXPECT_EQ(md, 50.5);
}

TEST(MeanDistanceKNN, OwnDistanceAndRanges) {
  TMatrix data;
  TVector query, target, mean;
  LoadNeighbourData(data, query, target);
  mean.Resize(kNnRows);
  // sklearn NearestNeighbors(4) over rows 1..60, itself included, distances averaged.
  MeanDistanceKNN(&data, 4, 60, 1, &mean);
  for (int r = 0; r < 60; ++r) EXPECT_REL_NEAR(mean.GetVal(r + 1), kNnMeanDist4[r], kTol2) << r;
  EXPECT_EQ(mean.GetVal(61), 0);
  MeanDistanceKNN(&data, 1, 0, 0, &mean);
  for (int r = 1; r <= kNnRows; ++r) EXPECT_EQ(mean.GetVal(r), 0);
  // A range of 3 rows limits k to 3 (no unfilled list entries averaged in).
  TMatrix line;
  nuv_test::FromRows(line, {{0}, {1}, {3}, {10}});
  TVector m;
  m.Resize(4);
  MeanDistanceKNN(&line, 10, 1, 3, &m);
  EXPECT_EQ(m.GetVal(1), 4.0 / 3);
  EXPECT_EQ(m.GetVal(2), 1);
  EXPECT_EQ(m.GetVal(3), 5.0 / 3);
  EXPECT_EQ(m.GetVal(4), 0);
}

TEST(GaussKernel, EqualFarAndZeroWidth) {
  TVector x, y;
  x.Resize(3);
  y.Resize(3);
  for (int i = 1; i <= 3; ++i) {
    x.SetVal(i, i * 0.5);
    y.SetVal(i, i * 0.5);
  }
  EXPECT_EQ(CalcGaussKernel(&x, &y, 2), 1);
  EXPECT_EQ(CalcGaussKernel(&x, &y, 0), 1);
  y.SetVal(2, 1.5);  // squared distance 0.25
  EXPECT_REL_NEAR(CalcGaussKernel(&x, &y, 2), std::exp(-0.25 / 4), kTol1);
  EXPECT_EQ(CalcGaussKernel(&x, &y, 0.01), std::exp(-20.0));
  EXPECT_EQ(CalcGaussKernel(&x, &y, 0), std::exp(-20.0));
  TMatrix m;
  nuv_test::FromRows(m, {{9, 9, 9}, {0.5, 1.5, 1.5}});
  EXPECT_REL_NEAR(CalcGaussKernelMat(&x, &m, 2, 2), std::exp(-0.25 / 4), kTol1);
  EXPECT_EQ(CalcGaussKernelMat(&x, &m, 1, 1), std::exp(-20.0));
  EXPECT_EQ(CalcGaussKernel(nullptr, &y, 1), 0);
}
