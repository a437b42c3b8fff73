#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

// Rows written as they read: Rows[r][c] is element (c + 1, r + 1).
void Set(TMatrix& m, const std::vector<std::vector<double>>& Rows) {
  m.Resize(static_cast<int32_t>(Rows[0].size()), static_cast<int32_t>(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r)
    for (size_t c = 0; c < Rows[r].size(); ++c)
      m.SetVal(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Rows[r][c]);
}

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

}  // namespace

TEST(MatrixDistance, ModesOnHandCheckedRows) {
  EXPECT_EQ(std::string(DistModeId[dmEuclidSqr]), "squared Euclidean");
  EXPECT_EQ(std::string(DistModeId[dmUserDef]), "user defined");
  TMatrix m;
  Set(m, {{1, 0, 0}, {0, 1, 0}, {1, 2, 3}, {4, 0, -1}, {1, 2, 3}, {0, 0, 0}, {0, 0, 0}});
  EXPECT_EQ(m.DistanceOfObjects(dmManhattan, 1, 2), 2.0);
  EXPECT_REL_NEAR(m.DistanceOfObjects(dmEuclid, 1, 2), std::sqrt(2.0), kTol1);
  EXPECT_EQ(m.DistanceOfObjects(dmEuclidSqr, 1, 2), 2.0);
  EXPECT_EQ(m.DistanceOfObjects(dmJaccard, 1, 2), 0.0);
  EXPECT_EQ(m.DistanceOfObjects(dmDice, 1, 2), 0.0);
  // (1, 2, 3) and (4, 0, -1): |d| = 3, 2, 4; Σxy = 1, Σx² = 14, Σy² = 17.
  EXPECT_EQ(m.DistanceOfObjects(dmManhattan, 3, 4), 9.0);
  EXPECT_EQ(m.DistanceOfObjects(dmEuclidSqr, 3, 4), 29.0);
  EXPECT_REL_NEAR(m.DistanceOfObjects(dmEuclid, 3, 4), std::sqrt(29.0), kTol1);
  EXPECT_REL_NEAR(m.DistanceOfObjects(dmJaccard, 3, 4), 1.0 / 30, kTol1);
  EXPECT_REL_NEAR(m.DistanceOfObjects(dmDice, 3, 4), 2.0 / 31, kTol1);
  EXPECT_EQ(m.DistanceOfObjects(dmJaccard, 3, 5), 1.0);
  EXPECT_EQ(m.DistanceOfObjects(dmEuclid, 3, 5), 0.0);
  // Two all-zero rows are identical: similarity 1, not 0 / 0.
  EXPECT_EQ(m.DistanceOfObjects(dmJaccard, 6, 7), 1.0);
  EXPECT_EQ(m.DistanceOfObjects(dmDice, 6, 7), 1.0);
  // A row outside the matrix reads as zeros.
  EXPECT_EQ(m.DistanceOfObjects(dmManhattan, 3, 99), 6.0);
  EXPECT_EQ(m.DistanceOfObjects(static_cast<TDistMode>(17), 1, 2), 0.0);
}

TEST(MatrixDistance, UserDefined) {
  TMatrix m;
  m.Resize(2, 6);
  EXPECT_EQ(m.DistanceOfObjects(dmUserDef, 2, 5), 0.0);
  m.SetOnCalcDistance([&](TObject* s, int32_t r1, int32_t r2, double& d) {
    EXPECT_EQ(s, &m);
    d = r1 + r2;
  });
  EXPECT_EQ(m.DistanceOfObjects(dmUserDef, 2, 5), 7.0);
  TMatrix d;
  d.Resize(6, 6);
  ASSERT_EQ(m.CalcDistMat(dmUserDef, &d), 0);
  EXPECT_EQ(d.GetVal(2, 5), 7.0);
  EXPECT_EQ(d.GetVal(5, 2), 7.0);
  EXPECT_EQ(d.GetVal(4, 4), 0.0);
}

TEST(MatrixDistance, DistMatSizeChecks) {
  TMatrix m, d;
  m.Resize(2, 4);
  d.Resize(3, 3);
  d.Fill(5);
  EXPECT_EQ(m.CalcDistMat(dmEuclid, &d), -2);
  d.Resize(4, 3);
  EXPECT_EQ(m.CalcDistMat(dmEuclid, &d), -1);
  d.Resize(3, 4);  // neither square nor of 4 columns: the size error wins
  EXPECT_EQ(m.CalcDistMat(dmEuclid, &d), -2);
  EXPECT_EQ(d.GetVal(1, 1), 5.0);  // untouched
  EXPECT_EQ(m.CalcDistMat(dmEuclid, nullptr), -2);
  m.Resize(2, 0);
  d.Resize(0, 0);
  EXPECT_EQ(m.CalcDistMat(dmEuclid, &d), 0);
}

// Every entry equals DistanceOfObjects of its pair, bit for bit, on both
// paths (the bulk one, and element by element when DMat has an OnChange
// handler), with a row count that is not a multiple of the row blocks.
TEST(MatrixDistance, DistMatEqualsPairwiseDistances) {
  SetRandSeed(3);
  TMatrix m;
  m.Resize(5, 19);
  m.FillRandomUniform(-2, 2);
  m.SetVal(2, 4, 0.0);
  for (int32_t c = 1; c <= 5; ++c) m.SetVal(c, 7, 0.0);   // two zero rows for the
  for (int32_t c = 1; c <= 5; ++c) m.SetVal(c, 12, 0.0);  // similarity modes
  for (int mode = dmJaccard; mode <= dmDice; ++mode) {
    const TDistMode dm = static_cast<TDistMode>(mode);
    for (int path = 0; path < 2; ++path) {
      TMatrix d;
      d.Resize(19, 19);
      d.Fill(-9);
      int64_t changes = 0;
      if (path == 1) d.SetOnChange([&](TObject*) { ++changes; });
      ASSERT_EQ(m.CalcDistMat(dm, &d), 0);
      if (path == 1) {
        EXPECT_EQ(changes, 19 * 19);
      }
      for (int32_t i = 1; i <= 19; ++i) {
        EXPECT_EQ(d.GetVal(i, i), 0.0);
        for (int32_t j = 1; j <= 19; ++j) {
          if (i == j) continue;
          EXPECT_TRUE(SameBits(d.GetVal(i, j), m.DistanceOfObjects(dm, i, j)))
              << DistModeId[mode] << " (" << i << ", " << j << ") path " << path;
        }
      }
    }
  }
  // A square matrix as its own result takes the distances of its old rows.
  TMatrix s, copy, want;
  Set(s, {{1, 2, 3}, {4, 0, -1}, {1, 1, 1}});
  copy.Assign(&s);
  want.Resize(3, 3);
  ASSERT_EQ(copy.CalcDistMat(dmManhattan, &want), 0);
  ASSERT_EQ(s.CalcDistMat(dmManhattan, &s), 0);
  for (int32_t i = 1; i <= 3; ++i)
    for (int32_t j = 1; j <= 3; ++j) EXPECT_EQ(s.GetVal(i, j), want.GetVal(i, j));
  EXPECT_EQ(s.GetVal(1, 2), 9.0);
}
