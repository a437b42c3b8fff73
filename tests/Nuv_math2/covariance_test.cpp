#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

// Columns 1, 2, 3, 4 / 2, 4, 5, 9 / constant 5. Hand computation: means 2.5 and 5;
// centred sums of squares 5 and 26, centred cross product 11; divisor n - 1 = 3.
void FillSample(TMatrix& m) {
  const double c1[] = {1, 2, 3, 4}, c2[] = {2, 4, 5, 9};
  m.Resize(3, 4);
  for (int r = 0; r < 4; ++r) {
    m.SetVal(1, r + 1, c1[r]);
    m.SetVal(2, r + 1, c2[r]);
    m.SetVal(3, r + 1, 5);
  }
}

void ExpectMatrix(const TMatrix& m, const double (*want)[3]) {
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) EXPECT_REL_NEAR(m.GetVal(c + 1, r + 1), want[c][r], kTol1);
}

}  // namespace

TEST(CalcCovar, EveryTypeAgainstHandValues) {
  TMatrix data, cov;
  FillSample(data);
  cov.Resize(3, 3);
  const double corr = 11 / std::sqrt(130.0);
  const double cross[3][3] = {{10, 61. / 3, 50. / 3}, {61. / 3, 42, 100. / 3},
                              {50. / 3, 100. / 3, 100. / 3}};
  const double covar[3][3] = {{5. / 3, 11. / 3, 0}, {11. / 3, 26. / 3, 0}, {0, 0, 0}};
  // The constant column correlates 0 with everything; its diagonal is forced to 1.
  const double correl[3][3] = {{1, corr, 0}, {corr, 1, 0}, {0, 0, 1}};
  // Squared correlations: the constant column's own is 0 / 1e-38 = 0.
  const double sq[3][3] = {{1, 121. / 130, 0}, {121. / 130, 1, 0}, {0, 0, 0}};
  // Sums of squared differences 34 (1-2), 30 (1-3), 26 (2-3) over 3.
  const double dist[3][3] = {{0, 34. / 3, 10}, {34. / 3, 0, 26. / 3}, {10, 26. / 3, 0}};
  const double zero[3][3] = {};
  const double (*want[])[3] = {cross, covar, correl, sq, dist, zero};
  const int types[] = {0, 1, 2, 3, 4, 7};
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(types[k]);
    cov.Fill(-1);
    EXPECT_TRUE(CalcCovar(&data, &cov, 0, 0, 0, 0, types[k]));
    ExpectMatrix(cov, want[k]);
  }
  EXPECT_EQ(cov.GetVal(3, 3), 0.0);
}

TEST(CalcCovar, RangesSizeCheckAndProgress) {
  TMatrix data, cov;
  FillSample(data);
  // Columns 2..3 over rows 2..4: 4, 5, 9 has mean 6 and centred squares 4 + 1 + 9 = 14.
  cov.Resize(2, 2);
  EXPECT_TRUE(CalcCovar(&data, &cov, 3, 2, 4, 2, 1));  // reversed pairs are exchanged
  EXPECT_REL_NEAR(cov.GetVal(1, 1), 7.0, kTol1);
  EXPECT_EQ(cov.GetVal(1, 2), 0.0);
  // Rows beyond the data read as 0: column 1 over rows 1..6 is 1, 2, 3, 4, 0, 0 with
  // centred squares 30 - 6 (5/3)^2 = 40/3; the widest range allocates nothing extra.
  EXPECT_TRUE(CalcCovar(&data, &cov, 1, 2, 1, 6, 1));
  EXPECT_REL_NEAR(cov.GetVal(1, 1), 40. / 3 / 5, kTol1);
  const double n = 2147483647.0;
  EXPECT_TRUE(CalcCovar(&data, &cov, 1, 2, 1, 2147483647, 1));
  EXPECT_REL_NEAR(cov.GetVal(1, 1), (30 - 100 / n) / (n - 1), 1e-12);
  // Too small a result matrix: false, nothing written.
  cov.Fill(-1);
  EXPECT_FALSE(CalcCovar(&data, &cov, 0, 0, 0, 0, 1));
  EXPECT_EQ(cov.GetVal(1, 1), -1.0);
  EXPECT_FALSE(CalcCovar(nullptr, &cov, 1, 1, 0, 0, 1));
  // A larger result matrix keeps its cells beyond the order.
  cov.Resize(4, 4);
  cov.Fill(-1);
  EXPECT_TRUE(CalcCovar(&data, &cov, 1, 2, 0, 0, 1));
  EXPECT_EQ(cov.GetVal(3, 1), -1.0);
  EXPECT_EQ(cov.GetVal(4, 4), -1.0);

  // n per row in the mean pass (4 steps), n per element (3 elements of order 2).
  int calls = 0;
  MathFeedBackProc = [&](double) { ++calls; };
  const double before = ProcStat;
  EXPECT_TRUE(CalcCovar(&data, &cov, 1, 2, 0, 0, 1));
  EXPECT_EQ(ProcStat - before, 4 + 3 * 4.0);
  EXPECT_EQ(calls, 4 + 3);
  // Cross products skip the mean pass.
  calls = 0;
  EXPECT_TRUE(CalcCovar(&data, &cov, 1, 2, 0, 0, 0));
  EXPECT_EQ(calls, 3);
  MathFeedBackProc = nullptr;
}

TEST(CalcCovar, AbortStopsBeforeTheNextColumn) {
  TMatrix data, cov;
  FillSample(data);
  cov.Resize(3, 3);
  cov.Fill(-1);
  AbortMathProc = true;  // cleared at the start
  EXPECT_TRUE(CalcCovar(&data, &cov, 0, 0, 0, 0, 1));
  cov.Fill(-1);
  // Set during the element (1, 1): columns 2 and 3 are never computed.
  int calls = 0;
  MathFeedBackProc = [&](double) {
    if (++calls == 5) AbortMathProc = true;
  };
  EXPECT_FALSE(CalcCovar(&data, &cov, 0, 0, 0, 0, 1));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_EQ(calls, 5);
  EXPECT_REL_NEAR(cov.GetVal(1, 1), 5. / 3, kTol1);
  EXPECT_EQ(cov.GetVal(2, 1), -1.0);
}

TEST(MahalanobisDistance, ValuesAndMessagesInOrder) {
  TVector x, y, z;
  x.Resize(2);
  y.Resize(2);
  z.Resize(3);
  x.SetVal(1, 4);
  x.SetVal(2, 5);
  y.SetVal(1, 3);
  y.SetVal(2, 3);
  TMatrix inv;
  inv.Resize(2, 2);
  inv.FillDiag(1);
  EXPECT_REL_NEAR(MahalanobisDistance(&x, &y, &inv), std::sqrt(5.0), kTol1);  // Euclidean
  // diag(2, 0.5), difference (1, 2): 2 + 0.5 * 4 = 4.
  inv.SetVal(1, 1, 2);
  inv.SetVal(2, 2, 0.5);
  EXPECT_REL_NEAR(MahalanobisDistance(&x, &y, &inv), 2.0, kTol1);
  TMatrix rect, big;
  rect.Resize(3, 2);
  big.Resize(3, 3);
  const char* f = "MahalanobisDistance: ";
  // Each check fires even when the later ones would fail too.
  EXPECT_THROW_MSG(MahalanobisDistance(&x, &z, &rect), ENUVVectorError,
                   std::string(f) + "dimensions of vectors do not match");
  EXPECT_THROW_MSG(MahalanobisDistance(&z, &z, &rect), ENUVVectorError,
                   std::string(f) + "inverse covariance matrix is not quadratric");
  EXPECT_THROW_MSG(MahalanobisDistance(&x, &y, &big), ENUVVectorError,
                   std::string(f) + "dimension of vectors and inverse covariance matrix do not match");
  inv.SetVal(1, 1, -2);  // difference (1, 2): -2 + 0.25 * 4 = -1
  inv.SetVal(2, 2, 0.25);
  EXPECT_THROW_MSG(MahalanobisDistance(&x, &y, &inv), ENUVVectorError,
                   std::string(f) +
                       "the inverse covariance matrix must be symmetric and positive definite");
}

TEST(CalcFishQ, SharedWithTheStatisticsUnit) {
  EXPECT_EQ(CalcFishQ(1, 1, 0, 0), 0.0);
  EXPECT_REL_NEAR(CalcFishQ(2, 0, 0, 0), 4 / 1e-6, kTol1);  // the variance floor
}
