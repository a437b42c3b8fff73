#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct TExchange {
  uint8_t Kind;
  int32_t I1, I2, First, Last;
};

// Rows written as they read: Rows[r][c] is element (c + 1, r + 1).
void Set(TMatrix& m, const std::vector<std::vector<double>>& Rows) {
  m.Resize(static_cast<int32_t>(Rows[0].size()), static_cast<int32_t>(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r)
    for (size_t c = 0; c < Rows[r].size(); ++c)
      m.SetVal(static_cast<int32_t>(c + 1), static_cast<int32_t>(r + 1), Rows[r][c]);
}

bool SameBits(const TMatrix& a, const TMatrix& b) {
  if (a.NrOfColumns() != b.NrOfColumns() || a.NrOfRows() != b.NrOfRows()) return false;
  for (int32_t c = 1; c <= a.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= a.NrOfRows(); ++r) {
      const double x = a.GetVal(c, r), y = b.GetVal(c, r);
      if (std::memcmp(&x, &y, sizeof x) != 0) return false;
    }
  return true;
}

}  // namespace

TEST(MatrixSort, GapSequenceOfThirteenRows) {
  TMatrix m;
  // An order in which every pass exchanges something, so that each gap shows.
  Set(m, {{10}, {4}, {5}, {9}, {2}, {6}, {3}, {13}, {12}, {11}, {7}, {1}, {8}});
  std::vector<int32_t> gaps;
  m.SetOnSortExchange([&](TObject*, uint8_t, int32_t i1, int32_t i2, int32_t, int32_t) {
    if (gaps.empty() || gaps.back() != i2 - i1) gaps.push_back(i2 - i1);
  });
  m.SortRows(1, true, 0, 0, 0, 0);
  // The gap starts at HighRow - LowRow = 12; 12 / 1.3 = 9.2, then 6, 4, 3, 2, 1.
  ASSERT_GE(gaps.size(), 5u);
  EXPECT_EQ(std::vector<int32_t>(gaps.begin(), gaps.begin() + 5),
            (std::vector<int32_t>{9, 6, 4, 3, 2}));
  EXPECT_EQ(gaps.back(), 1);
  for (int32_t r = 1; r <= 13; ++r) EXPECT_EQ(m.GetVal(1, r), r);
}

TEST(MatrixSort, KeyOutsideTheSortedBlockMovesWithItsRow) {
  TMatrix m;
  Set(m, {{10, 3}, {20, 1}, {30, 2}, {40, 0}});
  std::vector<TExchange> ex;
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  m.SetOnSortExchange([&](TObject* s, uint8_t k, int32_t i1, int32_t i2, int32_t f, int32_t l) {
    EXPECT_EQ(s, &m);
    ex.push_back({k, i1, i2, f, l});
  });
  m.SortRows(2, true, 1, 1, 1, 3);  // rows 1..3 of column 1, keyed by column 2
  // The first gap is trunc(2 / 1.3) = 1: rows 1 and 2 (3 > 1), then rows 2
  // and 3 (3 > 2), then a pass without exchange.
  for (int32_t r = 1; r <= 3; ++r) {
    EXPECT_EQ(m.GetVal(1, r), (std::vector<double>{20, 30, 10}[r - 1]));
    EXPECT_EQ(m.GetVal(2, r), r);
  }
  EXPECT_EQ(m.GetVal(1, 4), 40.0);  // outside the row range
  EXPECT_EQ(m.GetVal(2, 4), 0.0);
  ASSERT_FALSE(ex.empty());
  EXPECT_EQ(ex[0].Kind, 2);
  EXPECT_EQ(ex[0].I1, 1);
  EXPECT_EQ(ex[0].I2, 2);
  for (const TExchange& e : ex) {
    EXPECT_EQ(e.First, 1);
    EXPECT_EQ(e.Last, 1);
  }
  EXPECT_EQ(changes, 1);
  // Without a handler the same arrangement comes from the permutation path.
  TMatrix q;
  Set(q, {{10, 3}, {20, 1}, {30, 2}, {40, 0}});
  q.SortRows(2, true, 1, 1, 1, 3);
  EXPECT_TRUE(SameBits(m, q));
}

TEST(MatrixSort, ColumnsByKeyRowWithKindOne) {
  TMatrix m;
  Set(m, {{5, 1, 3, 9}, {50, 10, 30, 90}, {-1, -2, -3, -4}});
  std::vector<TExchange> ex;
  m.SetOnSortExchange([&](TObject*, uint8_t k, int32_t i1, int32_t i2, int32_t f, int32_t l) {
    ex.push_back({k, i1, i2, f, l});
  });
  m.SortCols(1, false, 1, 2, 3, 3);  // columns 1..3, rows 2..3, key row 1 outside
  EXPECT_EQ(m.GetVal(1, 1), 5.0);
  EXPECT_EQ(m.GetVal(2, 1), 3.0);
  EXPECT_EQ(m.GetVal(3, 1), 1.0);
  EXPECT_EQ(m.GetVal(2, 2), 30.0);
  EXPECT_EQ(m.GetVal(3, 3), -2.0);
  EXPECT_EQ(m.GetVal(4, 2), 90.0);  // column 4 is not sorted
  ASSERT_FALSE(ex.empty());
  for (const TExchange& e : ex) {
    EXPECT_EQ(e.Kind, 1);
    EXPECT_EQ(e.First, 2);
    EXPECT_EQ(e.Last, 3);
  }
}

// The permutation path must end exactly where the exchanges in place end,
// ties and signed zeros included, with the key inside or outside the block.
TEST(MatrixSort, PermutationPathMatchesExchangesInPlace) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> key(-3, 3);
  for (int trial = 0; trial < 24; ++trial) {
    const bool asc = trial % 2 == 0;
    const bool cols = trial % 4 >= 2;
    TMatrix a, b;
    a.Resize(9, 57);
    for (int32_t c = 1; c <= 9; ++c)
      for (int32_t r = 1; r <= 57; ++r)
        a.SetVal(c, r, key(gen) == 0 ? (trial % 3 ? -0.0 : 0.0) : key(gen));
    if (trial % 5 == 0) {
      a.SetVal(3, 11, kNaN);
      a.SetVal(4, 3, kNaN);
    }
    b.Assign(&a);
    int calls = 0;
    a.SetOnSortExchange([&](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++calls; });
    // Key column 8 lies outside the columns 2..6, key row 3 outside the rows 5..50.
    const int32_t keyIx = trial % 3 == 0 ? 8 : 3;
    if (cols) {
      a.SortCols(keyIx, asc, 2, 5, 8, 50);
      b.SortCols(keyIx, asc, 2, 5, 8, 50);
    } else {
      a.SortRows(keyIx, asc, 2, 5, 6, 50);
      b.SortRows(keyIx, asc, 2, 5, 6, 50);
    }
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(SameBits(a, b)) << "trial " << trial;
  }
}

TEST(MatrixSort, NaNKeysAndIndicesOutsideTheMatrix) {
  TMatrix m;
  Set(m, {{kNaN}, {2}, {kNaN}, {1}});
  m.SortRows(1, false, 0, 0, 0, 0);  // NaN first in descending order; terminates
  EXPECT_TRUE(std::isnan(m.GetVal(1, 1)));
  EXPECT_TRUE(std::isnan(m.GetVal(1, 2)));
  EXPECT_EQ(m.GetVal(1, 3), 2.0);
  m.SortRows(1, true, 0, 0, 0, 0);
  EXPECT_EQ(m.GetVal(1, 1), 1.0);
  EXPECT_TRUE(std::isnan(m.GetVal(1, 4)));
  // Keys outside the matrix read as 0: nothing moves, nothing is touched outside.
  Set(m, {{3, 1}, {1, 2}, {2, 3}});
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  m.SortRows(0, true, 0, 0, 0, 0);
  m.SortRows(99, true, 0, 0, 0, 0);
  m.SortCols(-4, true, 0, 0, 0, 0);
  EXPECT_EQ(m.GetVal(1, 1), 3.0);
  EXPECT_EQ(m.GetVal(2, 1), 1.0);
  m.ExchangeColumns(0, 2);
  m.ExchangeRows(1, 4);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(m.FindInSortedColumn(3, true, 1.0), 0);
  // One row, or one column, to sort: nothing at all happens.
  m.SortRows(1, true, 0, 2, 0, 2);
  EXPECT_EQ(changes, 3);
}

TEST(MatrixSort, MirrorAndExchange) {
  TMatrix m;
  Set(m, {{1, 2, 3}, {4, 5, 6}});
  m.MirrorColumns();
  EXPECT_EQ(m.GetVal(1, 1), 3.0);
  EXPECT_EQ(m.GetVal(2, 2), 5.0);
  EXPECT_EQ(m.GetVal(3, 2), 4.0);
  m.MirrorRows();
  EXPECT_EQ(m.GetVal(3, 1), 4.0);
  m.ExchangeColumns(1, 3);
  m.ExchangeRows(2, 1);
  EXPECT_EQ(m.GetVal(1, 1), 1.0);
  EXPECT_EQ(m.GetVal(3, 2), 6.0);
}

TEST(MatrixSort, Searching) {
  TMatrix m;
  Set(m, {{1, 4}, {2, 3}, {3, 2}, {4, 1}});
  EXPECT_EQ(m.FindInSortedColumn(1, true, 2.4), 2);
  EXPECT_EQ(m.FindInSortedColumn(1, true, 2.5), 3);  // equally close: the higher
  EXPECT_EQ(m.FindInSortedColumn(1, true, 9.0), 4);
  EXPECT_EQ(m.FindInSortedColumn(2, false, 2.4), 3);
  EXPECT_EQ(m.FindInSortedColumn(2, false, 3.0), 2);
  // Find: the first of equally close elements, columns outer.
  int32_t c, r;
  m.Find(0, 0, 0, 0, 2.5, c, r);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 2);
  m.Find(0, 0, 0, 0, kNaN, c, r);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(r, 0);
  Set(m, {{7}});
  EXPECT_EQ(m.FindInSortedColumn(1, true, -5), 1);
}
