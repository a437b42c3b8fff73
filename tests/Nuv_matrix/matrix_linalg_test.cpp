#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::FromRows;
using nuv_test::kTol1;
using nuv_test::kTol2;

namespace {

/// A vector of the given values.
void FromList(TVector& v, const std::vector<double>& x) {
  v.Resize(static_cast<int32_t>(x.size()));
  for (size_t i = 0; i < x.size(); ++i) v.SetVal(static_cast<int32_t>(i + 1), x[i]);
}

void FillRandom(TMatrix& m, int32_t nc, int32_t nr, uint32_t seed) {
  SetRandSeed(seed);
  m.Resize(nc, nr);
  m.FillRandomUniform(-1.0, 1.0);
}

/// The defining sum, element by element, in extended precision.
double RefProduct(const TMatrix& a, bool ta, const TMatrix& b, bool tb, int32_t c, int32_t r) {
  const int32_t k = ta ? a.NrOfRows() : a.NrOfColumns();
  Extended s = 0;
  for (int32_t p = 1; p <= k; ++p) {
    const double x = ta ? a.GetVal(r, p) : a.GetVal(p, r);
    const double y = tb ? b.GetVal(p, c) : b.GetVal(c, p);
    s += static_cast<Extended>(x) * y;
  }
  return static_cast<double>(s);
}

/// k terms of magnitude <= 1 each: the rounding of an ascending sum is bounded by k eps.
void ExpectProduct(const TMatrix& res, const TMatrix& a, bool ta, const TMatrix& b, bool tb) {
  const int32_t k = ta ? a.NrOfRows() : a.NrOfColumns();
  const double tol = 2.0 * k * std::numeric_limits<double>::epsilon();
  for (int32_t c = 1; c <= res.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= res.NrOfRows(); ++r)
      ASSERT_NEAR(res.GetVal(c, r), RefProduct(a, ta, b, tb, c, r), tol) << c << "," << r;
}

using Progress = nuv_test::ProgressTest;

}  // namespace

TEST(MatrixLinalg, ProductShapesAndMismatch) {
  TMatrix a, b, res;
  FillRandom(a, 3, 2, 11);  // 2 x 3 (rows x columns)
  FillRandom(b, 4, 3, 12);  // 3 x 4
  ASSERT_TRUE(a.Multiply(&b, &res));
  EXPECT_EQ(res.NrOfColumns(), 4);
  EXPECT_EQ(res.NrOfRows(), 2);
  ExpectProduct(res, a, false, b, false);

  FillRandom(res, 2, 2, 13);
  const std::string before = res.CRCofData();
  EXPECT_FALSE(b.Multiply(&b, &res));  // 4 columns against 3 rows
  EXPECT_FALSE(a.Multiply(nullptr, &res) || a.Multiply(&b, nullptr));
  EXPECT_FALSE(a.MultiplyTransposed(&b, &res) || a.TransposeAndMultiply(&b, &res));
  EXPECT_EQ(res.CRCofData(), before);

  // An empty shared dimension gives zeros, not stale values.
  TMatrix e0, e1;
  e0.Resize(0, 3);
  e1.Resize(2, 0);
  ASSERT_TRUE(e0.Multiply(&e1, &res));
  EXPECT_EQ(res.NrOfColumns(), 2);
  EXPECT_EQ(res.NrOfRows(), 3);
  EXPECT_EQ(res.CountValues(0, 0, 0, 0, 0.0, 0.0), 6);

  // Sizes that leave partial register tiles and cross the depth slices of the blocking.
  TMatrix bt;
  FillRandom(a, 300, 37, 21);
  FillRandom(b, 29, 300, 22);
  FillRandom(bt, 300, 29, 23);
  ASSERT_TRUE(a.Multiply(&b, &res));
  ExpectProduct(res, a, false, b, false);
  ASSERT_TRUE(a.MultiplyTransposed(&bt, &res));
  EXPECT_EQ(res.NrOfColumns(), 29);
  EXPECT_EQ(res.NrOfRows(), 37);
  ExpectProduct(res, a, false, bt, true);
  FillRandom(b, 53, 37, 24);
  ASSERT_TRUE(a.TransposeAndMultiply(&b, &res));
  EXPECT_EQ(res.NrOfColumns(), 53);
  EXPECT_EQ(res.NrOfRows(), 300);
  ExpectProduct(res, a, true, b, false);
}

TEST(MatrixLinalg, ResultMayBeAnOperand) {
  TMatrix a, ref, sq;
  FillRandom(a, 40, 40, 31);
  ASSERT_TRUE(a.Multiply(&a, &ref));
  ASSERT_TRUE(a.Multiply(&a, &a));
  EXPECT_EQ(a.CRCofData(), ref.CRCofData());

  ASSERT_TRUE(a.Square(&ref, 2.0));
  ASSERT_TRUE(a.Square(&a, 2.0));
  EXPECT_EQ(a.CRCofData(), ref.CRCofData());

  TVector v, w;
  FillRandom(a, 6, 4, 34);
  FromList(v, {0.5, 1, 1.5, 2, 2.5, 3});
  ASSERT_TRUE(a.Multiply(&v, &w));
  ASSERT_TRUE(a.Multiply(&v, &v));
  ASSERT_EQ(v.NrOfElem(), 4);
  for (int32_t i = 1; i <= 4; ++i) EXPECT_EQ(v.GetVal(i), w.GetVal(i));
}

TEST(MatrixLinalg, VectorProducts) {
  TMatrix a;
  FromRows(a, {{1, 2, 3}, {4, 5, 6}});
  TVector x, y, u, t;
  FromList(x, {1, -1, 2});
  FromList(u, {3, -2});
  int changes = 0;
  a.SetOnChange([&changes](TObject*) { ++changes; });
  ASSERT_TRUE(a.Multiply(&x, &y));
  ASSERT_EQ(y.NrOfElem(), 2);
  EXPECT_EQ(y.GetVal(1), 5.0);  // 1 - 2 + 6
  EXPECT_EQ(y.GetVal(2), 11.0);  // 4 - 5 + 12
  EXPECT_FALSE(y.IsEmpty());
  EXPECT_EQ(changes, 1);
  ASSERT_TRUE(a.TransposeAndMultiply(&u, &t));
  ASSERT_EQ(t.NrOfElem(), 3);
  EXPECT_EQ(t.GetVal(1), -5.0);  // 3 - 8
  EXPECT_EQ(t.GetVal(2), -4.0);  // 6 - 10
  EXPECT_EQ(t.GetVal(3), -3.0);  // 9 - 12
  EXPECT_FALSE(a.Multiply(&u, &t));
  EXPECT_FALSE(a.TransposeAndMultiply(&x, &t));
  EXPECT_FALSE(a.Multiply(&x, nullptr));
}

TEST_F(Progress, SquareIsTheScaledCrossProduct) {
  TMatrix a, res;
  FillRandom(a, 150, 60, 51);  // beyond one panel of columns
  int changes = 0;
  res.SetOnChange([&changes](TObject*) { ++changes; });
  ASSERT_TRUE(a.Square(&res, 4.0));
  EXPECT_EQ(ProcStat.load(), 150.0);
  EXPECT_EQ(changes, 1);  // the resize only
  ASSERT_EQ(res.NrOfColumns(), 150);
  ASSERT_EQ(res.NrOfRows(), 150);
  for (int32_t i = 1; i <= 150; ++i)
    for (int32_t j = 1; j <= 150; ++j) {
      ASSERT_EQ(res.GetVal(i, j), res.GetVal(j, i));
      ASSERT_NEAR(res.GetVal(i, j), RefProduct(a, true, a, false, i, j) / 4.0, 1e-13);
    }
  AbortAt(155.0);  // the abort is tested before each column's step
  EXPECT_FALSE(a.Square(&res, 1.0));
  EXPECT_EQ(ProcStat.load(), 155.0);
  EXPECT_FALSE(a.Square(nullptr, 1.0));
  // Aborted before the first column, a receiver with a change handler (which goes through
  // scratch storage) is still resized, as one without a handler is.
  for (bool handler : {false, true}) {
    TMatrix small;
    FromRows(small, {{1}});
    int resizes = 0;
    if (handler) small.SetOnChange([&resizes](TObject*) { ++resizes; });
    AbortMathProc = true;
    EXPECT_FALSE(a.Square(&small, 1.0));
    EXPECT_EQ(small.NrOfColumns() * 1000 + small.NrOfRows(), 150150) << handler;
    EXPECT_EQ(resizes, handler ? 1 : 0);
  }
  AbortMathProc = false;
}

TEST(MatrixLinalg, ElementWiseAndScalar) {
  TMatrix a, b, r, other;
  FromRows(a, {{1, 2}, {3, 4}, {5, 6}});
  FromRows(b, {{2, 0.5}, {-1, 3}, {0, 10}});
  int changes = 0;
  a.SetOnChange([&changes](TObject*) { ++changes; });
  ASSERT_TRUE(a.EMult(&b, &r));
  EXPECT_EQ(r.NrOfColumns() * 10 + r.NrOfRows(), 23);
  EXPECT_EQ(r.GetVal(2, 1) + 10 * r.GetVal(1, 2) + 100 * r.GetVal(2, 3), 1.0 - 30 + 6000);
  ASSERT_TRUE(a.Add(&b) && a.Subtract(&b) && a.Subtract(&b));
  EXPECT_EQ(a.GetVal(1, 2), 4.0);  // 3 - (-1)
  a.SMult(-2.0);
  a.SAdd(1.5);
  EXPECT_EQ(a.GetVal(1, 2), -6.5);
  EXPECT_EQ(changes, 6);
  other.Resize(3, 2);
  EXPECT_FALSE(a.Add(&other) || a.Subtract(nullptr) || a.EMult(&other, &r));
  EXPECT_EQ(changes, 6);
}

TEST(MatrixLinalg, Transpose) {
  TMatrix a;
  FromRows(a, {{1, 2, 3}, {4, 5, 6}});
  int changes = 0;
  a.SetOnChange([&changes](TObject*) { ++changes; });
  ASSERT_TRUE(a.Transpose());
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(a.NrOfColumns(), 2);
  ASSERT_EQ(a.NrOfRows(), 3);
  EXPECT_EQ(a.GetVal(1, 3), 3.0);
  EXPECT_EQ(a.GetVal(2, 1), 4.0);
  // Square and tall, beyond one tile each way, checked against the element rule.
  for (int32_t nc : {77, 40}) {
    TMatrix m, orig;
    FillRandom(m, nc, 77, 61);
    orig.Clone(&m);
    ASSERT_TRUE(m.Transpose());
    for (int32_t c = 1; c <= 77; ++c)
      for (int32_t r = 1; r <= nc; ++r) ASSERT_EQ(m.GetVal(c, r), orig.GetVal(r, c));
  }
  // Without columns the kept cells move with the storage.
  TMatrix e;
  e.Resize(0, 4);
  ASSERT_TRUE(e.Transpose());
  EXPECT_EQ(e.NrOfColumns(), 4);
  EXPECT_EQ(e.NrOfRows(), 0);
}

TEST(MatrixLinalg, DiffAndTrace) {
  TMatrix a;
  FromRows(a, {{1, 2}, {4, -1}, {9, 0}, {16, 6}});
  a.Diff(1);
  ASSERT_EQ(a.NrOfRows(), 3);
  EXPECT_EQ(a.GetVal(1, 1), 3.0);
  EXPECT_EQ(a.GetVal(1, 2), 5.0);
  EXPECT_EQ(a.GetVal(1, 3), 7.0);
  EXPECT_EQ(a.GetVal(2, 3), 6.0);
  a.Diff(2);  // second differences of 3, 5, 7 leave one row: 0
  ASSERT_EQ(a.NrOfRows(), 1);
  EXPECT_EQ(a.GetVal(1, 1), 0.0);
  EXPECT_EQ(a.GetVal(2, 1), 1.0);  // -3, 1, 6 -> 4, 5 -> 1
  TMatrix b;
  FromRows(b, {{1}, {2}, {4}, {8}, {16}, {32}, {64}, {128}, {256}, {512}, {1024}, {2048}});
  const std::string crc = b.CRCofData();
  b.Diff(11);
  b.Diff(0);
  EXPECT_EQ(b.CRCofData(), crc);
  b.Diff(10);  // differences of powers of two are the powers again
  ASSERT_EQ(b.NrOfRows(), 2);
  EXPECT_EQ(b.GetVal(1, 1), 1.0);
  EXPECT_EQ(b.GetVal(1, 2), 2.0);
  b.Diff(2);  // Order = NrOfRows: nothing
  EXPECT_EQ(b.NrOfRows(), 2);

  TMatrix t;
  FromRows(t, {{2, 9, 9}, {9, -3, 9}, {9, 9, 0.5}});
  EXPECT_EQ(t.Trace(), -0.5);
  t.Resize(3, 2);
  EXPECT_EQ(t.Trace(), 0.0);
  t.Resize(0, 0);
  EXPECT_EQ(t.Trace(), 0.0);
}

TEST(MatrixLinalg, Norms) {
  TMatrix a;
  FromRows(a, {{1, -2}, {3, 4}});
  EXPECT_EQ(a.Norm(ntColwise), 6.0);
  EXPECT_EQ(a.Norm(ntRowwise), 7.0);
  EXPECT_REL_NEAR(a.Norm(ntFrobenius), std::sqrt(30.0), kTol1);
  // A^T A = [[10, 10], [10, 20]] has eigenvalues 15 +- 5 sqrt(5).
  EXPECT_REL_NEAR(a.Norm(ntSpectral), std::sqrt(15.0 + 5.0 * std::sqrt(5.0)), kTol2);
  EXPECT_EQ(a.Norm(static_cast<TNormType>(9)), 0.0);
  // [[3, 2, 2], [2, 3, -2]] has singular values 5 and 3 (A A^T = [[17, 8], [8, 17]]).
  TMatrix w;
  FromRows(w, {{3, 2, 2}, {2, 3, -2}});
  EXPECT_REL_NEAR(w.Norm(ntSpectral), 5.0, kTol2);
  EXPECT_EQ(w.Norm(ntColwise), 5.0);
  EXPECT_EQ(w.Norm(ntRowwise), 7.0);
  // Squares beyond the double range, and below it.
  TMatrix h;
  FromRows(h, {{3e200, 0}, {0, 4e200}});
  EXPECT_REL_NEAR(h.Norm(ntFrobenius), 5e200, kTol1);
  FromRows(h, {{3e-200, 0}, {0, 4e-200}});
  EXPECT_REL_NEAR(h.Norm(ntFrobenius), 5e-200, kTol1);
  h.SetVal(2, 1, NAN);
  EXPECT_TRUE(std::isnan(h.Norm(ntFrobenius)));
  h.SetVal(2, 1, -INFINITY);
  EXPECT_EQ(h.Norm(ntFrobenius), INFINITY);
  // NaN data never give a norm that looks valid; infinite data give no finite one.
  TMatrix bad;
  FromRows(bad, {{1, 2, 3}, {4, NAN, 6}, {7, 8, 9}, {1, 1, 1}, {2, 2, 2}});
  for (TNormType nt : {ntColwise, ntRowwise, ntSpectral, ntFrobenius})
    EXPECT_TRUE(std::isnan(bad.Norm(nt))) << static_cast<int>(nt);
  bad.SetVal(2, 2, INFINITY);
  for (TNormType nt : {ntColwise, ntRowwise, ntSpectral, ntFrobenius})
    EXPECT_FALSE(std::isfinite(bad.Norm(nt))) << static_cast<int>(nt);
  TMatrix e;
  e.Resize(3, 0);
  EXPECT_EQ(e.Norm(ntColwise), 0.0);
  EXPECT_EQ(e.Norm(ntRowwise), 0.0);
  EXPECT_EQ(e.Norm(ntFrobenius), 0.0);
}

TEST(MatrixLinalg, Balance) {
  TMatrix one;
  one.SetVal(1, 1, 5.0);
  EXPECT_TRUE(one.Balance());
  EXPECT_EQ(one.GetVal(1, 1), 5.0);
  // f = sqrt(100 / 0.01) = 100 for index 1, then every factor is 1.
  TMatrix a;
  FromRows(a, {{1, 100}, {0.01, 2}});
  EXPECT_TRUE(a.Balance());
  EXPECT_REL_NEAR(a.GetVal(2, 1), 1.0, kTol1);
  EXPECT_REL_NEAR(a.GetVal(1, 2), 1.0, kTol1);
  EXPECT_EQ(a.GetVal(2, 2), 2.0);
  // A row without off-diagonal weight would give a factor of 0: left alone.
  TMatrix u;
  FromRows(u, {{0, 1}, {0, 0}});
  EXPECT_TRUE(u.Balance());
  EXPECT_EQ(u.GetVal(2, 1), 1.0);
  // Convergence: afterwards no index needs a factor of 1.05 or more, and the diagonal,
  // hence the trace, is untouched.
  TMatrix g;
  FromRows(g, {{1, 1e4, 3, 1e-3}, {2e-4, 2, 5e3, 7}, {4, 1e-2, 3, 8e2}, {9e3, 1, 2e-3, 4}});
  const double trace = g.Trace();
  EXPECT_TRUE(g.Balance());
  EXPECT_EQ(g.Trace(), trace);
  for (int32_t i = 1; i <= 4; ++i) {
    double rs = 0, cs = 0;
    for (int32_t j = 1; j <= 4; ++j)
      if (j != i) {
        rs += std::fabs(g.GetVal(j, i));
        cs += std::fabs(g.GetVal(i, j));
      }
    EXPECT_LT(std::sqrt(rs / cs), 1.05 * 1.05) << i;
  }
  TMatrix r;
  r.Resize(2, 3);
  EXPECT_FALSE(r.Balance());
}
