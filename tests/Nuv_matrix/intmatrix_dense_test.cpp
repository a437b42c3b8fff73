// TIntMatrix in the dense form: wrapping arithmetic, products, counting,
// statistics, sorting and the checksum.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using nuv::TIntMatrix;
using nuv_test::FromRows;

namespace {

constexpr int32_t kMax = 2147483647;
constexpr int32_t kMin = -2147483647 - 1;

}  // namespace

TEST(IntMatrixDense, CreateResizeAndClear) {
  TIntMatrix m;
  EXPECT_FALSE(m.IsSparse());
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.GetVal(1, 1), 0);
  FromRows(m, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  int changes = 0;
  m.SetOnChange([&](nuv::TObject*) { ++changes; });
  // Equal counts: false at once, and ResizeAndClear keeps the values.
  EXPECT_FALSE(m.Resize(3, 3));
  EXPECT_FALSE(m.ResizeAndClear(3, 3));
  EXPECT_EQ(m.GetVal(3, 3), 9);
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(m.Resize(4, 3));
  EXPECT_EQ(m.GetVal(3, 3), 9);
  EXPECT_EQ(m.GetVal(4, 1), 0);
  EXPECT_TRUE(m.ResizeAndClear(2, 2));
  EXPECT_EQ(m.GetVal(1, 1), 0);
  // 2^62 cells of 4 bytes overflow the byte count: refused before allocating.
  EXPECT_THROW_MSG(m.Resize(2147483647, 2147483647), nuv::ENUVMatrixError,
                   "Component \"\": not enough memory on heap");
  EXPECT_EQ(m.NrOfColumns(), 2);
}

TEST(IntMatrixDense, ArithmeticWrapsAt32Bits) {
  TIntMatrix a, b, r;
  FromRows(a, {{kMax, kMin}, {65536, -3}});
  FromRows(b, {{1, -1}, {65536, 5}});
  EXPECT_EQ(a.Sum(0, 0, 0, 0), kMax + (kMin + (65536 - 3)));  // wraps: -2 + 65533
  EXPECT_TRUE(a.EMult(&b, &r));
  EXPECT_EQ(r.GetVal(1, 1), kMax);
  EXPECT_EQ(r.GetVal(2, 1), kMin);   // -2^31 * -1 wraps to itself
  EXPECT_EQ(r.GetVal(1, 2), 0);      // 2^32 wraps to 0
  EXPECT_TRUE(a.Add(&b));
  EXPECT_EQ(a.GetVal(1, 1), kMin);
  EXPECT_EQ(a.GetVal(2, 1), kMax);
  EXPECT_TRUE(a.Subtract(&b));
  EXPECT_EQ(a.GetVal(1, 1), kMax);
  a.SAdd(1);
  EXPECT_EQ(a.GetVal(1, 1), kMin);
  a.SMult(2);
  EXPECT_EQ(a.GetVal(1, 1), 0);
  EXPECT_EQ(a.GetVal(1, 2), 131074);
  TIntMatrix c;
  c.Resize(3, 3);
  EXPECT_FALSE(a.Add(&c));
  EXPECT_FALSE(a.Subtract(&c));
}

TEST(IntMatrixDense, ProductsAgainstPlainLoops) {
  // Shapes that cross the kernel's panel sizes, values that overflow.
  TIntMatrix a, b, r, rt, tr;
  a.Resize(131, 600);
  b.Resize(7, 131);
  uint32_t x = 12345;
  auto next = [&x] {
    x = x * 1103515245u + 12345u;
    return static_cast<int32_t>(x);
  };
  for (int32_t c = 1; c <= 131; ++c)
    for (int32_t k = 1; k <= 600; ++k) a.SetVal(c, k, next());
  for (int32_t c = 1; c <= 7; ++c)
    for (int32_t k = 1; k <= 131; ++k) b.SetVal(c, k, next());
  ASSERT_TRUE(a.Multiply(&b, &r));
  ASSERT_EQ(r.NrOfColumns(), 7);
  ASSERT_EQ(r.NrOfRows(), 600);
  TIntMatrix bt;
  bt.Clone(&b);
  bt.Transpose();
  ASSERT_TRUE(a.MultiplyTransposed(&bt, &rt));
  TIntMatrix at;
  at.Clone(&a);
  at.Transpose();
  ASSERT_TRUE(at.TransposeAndMultiply(&b, &tr));
  for (int32_t c = 1; c <= 7; ++c)
    for (int32_t row = 1; row <= 600; ++row) {
      uint32_t s = 0;
      for (int32_t k = 1; k <= 131; ++k)
        s += static_cast<uint32_t>(a.GetVal(k, row)) * static_cast<uint32_t>(b.GetVal(c, k));
      ASSERT_EQ(r.GetVal(c, row), static_cast<int32_t>(s)) << c << " " << row;
      ASSERT_EQ(rt.GetVal(c, row), static_cast<int32_t>(s));
      ASSERT_EQ(tr.GetVal(c, row), static_cast<int32_t>(s));
    }
  EXPECT_FALSE(a.Multiply(&a, &r));
  // Matrix times vector, and the transposed product; the result may be the operand.
  TIntMatrix m;
  FromRows(m, {{1, 2, 3}, {4, 5, 6}});
  nuv::TIntVector v, y;
  v.Resize(3);
  v.SetVal(1, 1);
  v.SetVal(2, kMax);
  v.SetVal(3, -1);
  ASSERT_TRUE(m.Multiply(&v, &y));
  ASSERT_EQ(y.NrOfElem(), 2);
  EXPECT_EQ(y.GetVal(1), static_cast<int32_t>(1u + 2u * 2147483647u - 3u));
  EXPECT_EQ(y.GetVal(2), static_cast<int32_t>(4u + 5u * 2147483647u - 6u));
  nuv::TIntVector w;
  w.Resize(2);
  w.SetVal(1, 2);
  w.SetVal(2, -1);
  ASSERT_TRUE(m.TransposeAndMultiply(&w, &w));
  ASSERT_EQ(w.NrOfElem(), 3);
  EXPECT_EQ(w.GetVal(1), 2 - 4);
  EXPECT_EQ(w.GetVal(3), 6 - 6);
  EXPECT_FALSE(m.TransposeAndMultiply(&w, &y));  // w has 3 elements, m 2 rows
  // A product into one of its operands.
  TIntMatrix sq;
  FromRows(sq, {{1, 2}, {3, 4}});
  ASSERT_TRUE(sq.Multiply(&sq, &sq));
  EXPECT_EQ(sq.GetVal(1, 1), 7);
  EXPECT_EQ(sq.GetVal(2, 1), 10);
  EXPECT_EQ(sq.GetVal(1, 2), 15);
  EXPECT_EQ(sq.GetVal(2, 2), 22);
}

TEST(IntMatrixDense, CountingAndStatistics) {
  TIntMatrix m;
  FromRows(m, {{1, 2, 3, 4}, {5, 6, 7, 8}, {-2, 0, 11, 12}});
  // Bitmask 1 counts the even elements; bit 31 counts the non-negative ones.
  EXPECT_EQ(m.CountMaskedZeros(0, 0, 0, 0, 1), 7);
  EXPECT_EQ(m.CountMaskedZeros(0, 0, 0, 0, 0x80000000u), 11);
  EXPECT_EQ(m.CountMaskedZeros(2, 3, 1, 2, 6), 0);  // 2, 3, 6, 7 all have bit 1 or 2
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 3, 7), 5);
  int32_t mn, mx;
  m.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_EQ(mn, -2);
  EXPECT_EQ(mx, 12);
  TIntMatrix lone;
  lone.SetVal(1, 1, kMin);
  lone.MinMax(0, 0, 0, 0, mn, mx);
  EXPECT_EQ(mn, kMin);
  EXPECT_EQ(mx, -2147483647);
  EXPECT_EQ(m.Trace(), 0);
  double q1, q2, q3;
  ASSERT_TRUE(m.Quartiles(1, 1, 4, 1, q1, q2, q3));
  EXPECT_EQ(q1, 1.25);
  EXPECT_EQ(q2, 2.5);
  EXPECT_EQ(q3, 3.75);
  EXPECT_EQ(m.Percentile(50, 1, 2, 4, 2), 7.0);  // rank 2 of 5..8
  EXPECT_THROW_MSG(m.GeometricMean(0, 0, 0, 0), nuv::ENUVMatrixError,
                   "Component \"\": negative argument passed to GeometricMean");
  EXPECT_THROW_MSG(m.HarmonicMean(2, 3, 2, 3), nuv::ENUVMatrixError,
                   "Component \"\": negative or zero argument passed to HarmonicMean");
  // Closed forms: geometric mean of 1, 2, 4, 8 is 2^1.5; harmonic mean of 1, 2, 4 is 12/7.
  TIntMatrix p;
  FromRows(p, {{1, 2}, {4, 8}});
  EXPECT_REL_NEAR(p.GeometricMean(0, 0, 0, 0), 2.8284271247461903, nuv_test::kTol1);
  EXPECT_REL_NEAR(p.HarmonicMean(1, 1, 2, 1), 4.0 / 3.0, nuv_test::kTol1);
  double mean, var;
  m.MeanVar(1, 1, 4, 1, mean, var);
  EXPECT_EQ(mean, 2.5);
  EXPECT_REL_NEAR(var, 5.0 / 3.0, nuv_test::kTol1);
  nuv::TVector means;
  m.MeanVec(nuv::dimRows, &means);
  ASSERT_EQ(means.NrOfElem(), 3);
  EXPECT_EQ(means.GetVal(3), 21.0 / 4.0);
  nuv::TVector edge;
  m.EdgeVector(nuv::orVertical, nuv::eopMin, &edge);
  ASSERT_EQ(edge.NrOfElem(), 4);
  EXPECT_EQ(edge.GetVal(1), -2.0);
  m.EdgeVector(nuv::orHorizontal, nuv::eopMean, &edge);
  ASSERT_EQ(edge.NrOfElem(), 3);
  EXPECT_EQ(edge.GetVal(2), 6.5);
  int32_t ci, ri;
  m.Find(0, 0, 0, 0, 10, ci, ri);
  EXPECT_EQ(ci, 3);
  EXPECT_EQ(ri, 3);
  m.Find(0, 0, 0, 0, kMin, ci, ri);  // no overflow in the distance
  EXPECT_EQ(ci, 1);
  EXPECT_EQ(ri, 3);
}

TEST(IntMatrixDense, SortingAndMirroring) {
  TIntMatrix m;
  FromRows(m, {{3, 30}, {1, 10}, {2, 20}});
  std::vector<int32_t> kinds;
  m.SetOnSortExchange([&](nuv::TObject*, uint8_t k, int32_t, int32_t, int32_t, int32_t) {
    kinds.push_back(k);
  });
  m.SortRows(1, true, 0, 0, 0, 0);
  EXPECT_EQ(m.GetVal(2, 1), 10);
  EXPECT_EQ(m.GetVal(2, 3), 30);
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds[0], 2);
  m.SetOnSortExchange(nullptr);
  m.SortCols(1, false, 0, 0, 0, 0);
  EXPECT_EQ(m.GetVal(1, 1), 10);
  EXPECT_EQ(m.FindInSortedColumn(1, true, 25), 3);
  m.MirrorRows();
  EXPECT_EQ(m.GetVal(1, 1), 30);
  m.ExchangeColumns(1, 2);
  EXPECT_EQ(m.GetVal(1, 1), 3);
  m.FillDiag(-1);
  EXPECT_EQ(m.GetVal(2, 2), -1);
}

TEST(IntMatrixDense, ChecksumRegisters) {
  // zlib.crc32 of the byte-k streams of the elements 1, -2, 2^31 - 1, -2^31
  // (little-endian int32, column-major), Python 3.11:
  //   ''.join('%08X' % zlib.crc32(b[k::4]) for k in range(4))
  TIntMatrix m;
  FromRows(m, {{1, kMax}, {-2, kMin}});
  EXPECT_EQ(m.CRCofData(), "B5861BD10CF816830CF81683DAC30DE8");
  // One zero element: four times the CRC-32 of one zero byte.
  TIntMatrix z;
  EXPECT_EQ(z.CRCofData(), "D202EF8DD202EF8DD202EF8DD202EF8D");
  z.Resize(0, 3);
  EXPECT_EQ(z.CRCofData(), std::string(32, '0'));
}
