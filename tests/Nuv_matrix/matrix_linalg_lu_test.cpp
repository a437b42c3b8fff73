#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::FromRows;
using nuv_test::kTol1;
using nuv_test::kTol2;
using nuv_test::kTol4;

namespace {

double Binom(int n, int k) {
  if (k < 0 || k > n) return 0.0;
  double b = 1.0;
  for (int i = 1; i <= k; ++i) b = b * (n - k + i) / i;
  return b;
}

void Hilbert(TMatrix& h, int32_t n) {
  h.Resize(n, n);
  for (int32_t c = 1; c <= n; ++c)
    for (int32_t r = 1; r <= n; ++r) h.SetVal(c, r, 1.0 / (c + r - 1));
}

/// A random matrix made diagonally dominant, so well conditioned at every size.
void Dominant(TMatrix& m, int32_t n, uint32_t seed) {
  SetRandSeed(seed);
  m.Resize(n, n);
  m.FillRandomUniform(-1.0, 1.0);
  for (int32_t i = 1; i <= n; ++i) m.SetVal(i, i, m.GetVal(i, i) + n);
}

using Progress = nuv_test::ProgressTest;

}  // namespace

TEST(MatrixLU, DeterminantAndParity) {
  TMatrix a;
  FromRows(a, {{0, 1}, {1, 0}});
  EXPECT_EQ(a.Determinant(), -1.0);  // one exchange
  FromRows(a, {{2, 0}, {0, 3}});
  EXPECT_EQ(a.Determinant(), 6.0);
  FromRows(a, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}});
  EXPECT_EQ(a.Determinant(), 1.0);  // a 3-cycle: two exchanges
  a.Resize(3, 2);
  EXPECT_EQ(a.Determinant(), 0.0);
  FromRows(a, {{1, 2}, {0, 0}});
  EXPECT_EQ(a.Determinant(), 0.0);  // zero row
  FromRows(a, {{1, 2}, {2, 4}});
  EXPECT_EQ(a.Determinant(), 0.0);  // pivot below 1e-100

  // Known determinants: Hilbert 4 is 1/6048000, Hilbert 5 is 1/266716800000; the symmetric
  // Pascal matrix P(i, j) = C(i + j - 2, i - 1) has determinant 1.
  TMatrix h;
  Hilbert(h, 4);
  EXPECT_REL_NEAR(h.Determinant(), 1.0 / 6048000.0, kTol4);
  Hilbert(h, 5);
  EXPECT_REL_NEAR(h.Determinant(), 1.0 / 266716800000.0, kTol4);
  TMatrix p;
  p.Resize(6, 6);
  for (int32_t c = 1; c <= 6; ++c)
    for (int32_t r = 1; r <= 6; ++r) p.SetVal(c, r, Binom(c + r - 2, r - 1));
  EXPECT_REL_NEAR(p.Determinant(), 1.0, kTol2);
}

TEST(MatrixLU, PivotTieGoesToTheLaterRow) {
  // Scales 1/2 and 1/1 give both rows the candidate 1: row 2 becomes the pivot, so
  // L = [[1, 0], [2, 1]], U = [[1, -0.5], [0, 2]] and the parity is -1 (det -2).
  TMatrix a, l, u;
  FromRows(a, {{2, 1}, {1, -0.5}});
  ASSERT_TRUE(a.LUdecomposition(&l, &u));
  EXPECT_EQ(l.GetVal(1, 1), 1.0);
  EXPECT_EQ(l.GetVal(1, 2), 2.0);
  EXPECT_EQ(l.GetVal(2, 1), 0.0);
  EXPECT_EQ(l.GetVal(2, 2), 1.0);
  EXPECT_EQ(u.GetVal(1, 1), 1.0);
  EXPECT_EQ(u.GetVal(2, 1), -0.5);
  EXPECT_EQ(u.GetVal(1, 2), 0.0);
  EXPECT_EQ(u.GetVal(2, 2), 2.0);
  EXPECT_EQ(a.Determinant(), -2.0);
}

TEST(MatrixLU, BlockedFactorsAreTheTextbookCrout) {
  // The textbook column-by-column Crout loop with implicit pivoting, row by row on a copy:
  // the factors must agree to rounding, which they cannot if any pivot choice differs.
  for (int32_t n : {5, 45, 100}) {
    TMatrix a, l, u;
    SetRandSeed(70 + n);
    a.Resize(n, n);
    a.FillRandomUniform(-1.0, 1.0);
    std::vector<std::vector<double>> w(n, std::vector<double>(n));
    std::vector<double> vv(n);
    for (int i = 0; i < n; ++i) {
      double big = 0.0;
      for (int j = 0; j < n; ++j) {
        w[i][j] = a.GetVal(j + 1, i + 1);
        big = std::fmax(big, std::fabs(w[i][j]));
      }
      vv[i] = 1.0 / big;
    }
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < j; ++i)
        for (int k = 0; k < i; ++k) w[i][j] -= w[i][k] * w[k][j];
      int imax = j;
      double big = 0.0;
      for (int i = j; i < n; ++i) {
        for (int k = 0; k < j; ++k) w[i][j] -= w[i][k] * w[k][j];
        if (vv[i] * std::fabs(w[i][j]) >= big) {
          big = vv[i] * std::fabs(w[i][j]);
          imax = i;
        }
      }
      std::swap(w[imax], w[j]);
      vv[imax] = vv[j];
      for (int i = j + 1; i < n; ++i) w[i][j] /= w[j][j];
    }
    ASSERT_TRUE(a.LUdecomposition(&l, &u));
    for (int32_t c = 1; c <= n; ++c)
      for (int32_t r = 1; r <= n; ++r) {
        ASSERT_NEAR(l.GetVal(c, r), r > c ? w[r - 1][c - 1] : (r == c ? 1.0 : 0.0), 1e-12);
        ASSERT_NEAR(u.GetVal(c, r), r <= c ? w[r - 1][c - 1] : 0.0, 1e-12 * n);
      }
  }
}

TEST(MatrixLU, FailureStates) {
  TMatrix a, l, u;
  FromRows(a, {{1, 2, 3}, {0, 0, 0}, {4, 5, 7}});
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
  EXPECT_EQ(l.CountValues(0, 0, 0, 0, 0.0, 0.0), 9);
  EXPECT_EQ(u.CRCofData(), a.CRCofData());  // the unchanged copy
  // [[1, 2], [2, 4]]: a tie (1/2 each) puts row 2 first; 2 - 0.5 * 4 = 0 becomes 1e-100.
  // MatL of the right size but other contents is zeroed, not left as it was nor split into.
  FromRows(a, {{1, 2}, {2, 4}});
  l.Resize(2, 2);
  l.Fill(7.0);
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
  EXPECT_EQ(l.CountValues(0, 0, 0, 0, 0.0, 0.0), 4);
  EXPECT_EQ(u.GetVal(1, 1), 2.0);
  EXPECT_EQ(u.GetVal(2, 1), 4.0);
  EXPECT_EQ(u.GetVal(1, 2), 0.5);
  EXPECT_EQ(u.GetVal(2, 2), 1e-100);
  a.Resize(2, 3);
  EXPECT_FALSE(a.LUdecomposition(&l, &u));
  a.Resize(2, 2);
  EXPECT_FALSE(a.LUdecomposition(nullptr, &u));
  EXPECT_FALSE(a.LUdecomposition(&l, &l));
}

TEST_F(Progress, InvertKnownInverses) {
  // Hilbert: (H^-1)(i, j) = (-1)^(i+j) (i+j-1) C(n+i-1, n-j) C(n+j-1, n-i) C(i+j-2, i-1)^2.
  const int n = 6;
  TMatrix h;
  Hilbert(h, n);
  int changes = 0;
  h.SetOnChange([&changes](TObject*) { ++changes; });
  ASSERT_TRUE(h.Invert());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ProcStat.load(), 2.0 * n);  // one step per column of each phase
  double biggest = 0.0;
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      const double want = ((i + j) % 2 == 0 ? 1.0 : -1.0) * (i + j - 1) * Binom(n + i - 1, n - j) *
                          Binom(n + j - 1, n - i) * Binom(i + j - 2, i - 1) * Binom(i + j - 2, i - 1);
      biggest = std::fmax(biggest, std::fabs(want));
      EXPECT_NEAR(h.GetVal(j, i), want, 1e-8 * biggest) << i << "," << j;
    }
  // Well-conditioned sizes across the panel and lane widths: A A^-1 = I.
  for (int32_t m : {1, 2, 23, 25, 33, 130}) {
    TMatrix a, inv, prod;
    Dominant(a, m, 80 + m);
    inv.Clone(&a);
    ASSERT_TRUE(inv.Invert());
    ASSERT_TRUE(a.Multiply(&inv, &prod));
    for (int32_t c = 1; c <= m; ++c)
      for (int32_t r = 1; r <= m; ++r)
        ASSERT_NEAR(prod.GetVal(c, r), c == r ? 1.0 : 0.0, 1e-13) << m << ": " << c << "," << r;
  }
}

TEST_F(Progress, InvertFailureStates) {
  TMatrix a, orig;
  FromRows(a, {{1, 2, 3}, {4, 5, 6}, {0, 0, 0}});
  orig.Clone(&a);
  int changes = 0;
  a.SetOnChange([&changes](TObject*) { ++changes; });
  EXPECT_FALSE(a.Invert());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(a.CRCofData(), orig.CRCofData());
  EXPECT_EQ(ProcStat.load(), 0.0);
  // The LU factors stay, with the vanished pivot replaced by 1e-100 (see MatrixLU).
  FromRows(a, {{1, 2}, {2, 4}});
  EXPECT_FALSE(a.Invert());
  EXPECT_EQ(a.GetVal(1, 1), 2.0);
  EXPECT_EQ(a.GetVal(2, 1), 4.0);
  EXPECT_EQ(a.GetVal(1, 2), 0.5);
  EXPECT_EQ(a.GetVal(2, 2), 1e-100);
  a.Resize(2, 3);
  EXPECT_FALSE(a.Invert());
  a.Resize(0, 0);
  EXPECT_FALSE(a.Invert());
}

TEST_F(Progress, InvertAbort) {
  const int32_t n = 40;
  TMatrix a, orig, l, u;
  Dominant(a, n, 91);
  orig.Clone(&a);
  // Set before the call: the scaling stops at once and nothing changes.
  AbortMathProc = true;
  EXPECT_FALSE(a.Invert());
  EXPECT_EQ(a.CRCofData(), orig.CRCofData());
  EXPECT_EQ(ProcStat.load(), 0.0);
  ClearAbort();
  // During the decomposition: false, and the matrix is no longer the original.
  AbortAt(10.0);
  EXPECT_FALSE(a.Invert());
  EXPECT_EQ(ProcStat.load(), 10.0);
  EXPECT_NE(a.CRCofData(), orig.CRCofData());
  // During the solution: the whole LU factors stay.
  a.Clone(&orig);
  ProcStat = 0.0;
  ClearAbort();
  AbortAt(n + 3.0);
  EXPECT_FALSE(a.Invert());
  ASSERT_TRUE(orig.LUdecomposition(&l, &u));
  for (int32_t c = 1; c <= n; ++c)
    for (int32_t r = 1; r <= n; ++r)
      ASSERT_EQ(a.GetVal(c, r), r > c ? l.GetVal(c, r) : u.GetVal(c, r));
}

TEST(MatrixLU, Cholesky) {
  // [[4, 12, -16], [12, 37, -43], [-16, -43, 98]] = L L^T with L = [[2, 0, 0], [6, 1, 0],
  // [-8, 5, 3]] (by hand: 2 = sqrt 4, 6 = 12 / 2, 1 = sqrt(37 - 36), -8 = -16 / 2,
  // 5 = (-43 + 48) / 1, 3 = sqrt(98 - 64 - 25)).
  TMatrix a, l;
  FromRows(a, {{4, 12, -16}, {12, 37, -43}, {-16, -43, 98}});
  l.Resize(3, 3);
  l.Fill(7.0);
  int changes = 0, lchanges = 0;
  a.SetOnChange([&changes](TObject*) { ++changes; });
  l.SetOnChange([&lchanges](TObject*) { ++lchanges; });
  ASSERT_TRUE(a.CholeskyDecomp(&l));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(lchanges, 6);  // one SetVal per element of the lower triangle
  const double want[3][3] = {{2, 0, 0}, {6, 1, 0}, {-8, 5, 3}};
  for (int32_t r = 1; r <= 3; ++r)
    for (int32_t c = 1; c <= r; ++c) EXPECT_EQ(l.GetVal(c, r), want[r - 1][c - 1]);
  EXPECT_EQ(l.GetVal(2, 1), 7.0);  // the strict upper triangle is not written
  // The receiver: the factor mirrored into its strict upper triangle, the rest unchanged.
  EXPECT_EQ(a.GetVal(2, 1), 6.0);
  EXPECT_EQ(a.GetVal(3, 1), -8.0);
  EXPECT_EQ(a.GetVal(3, 2), 5.0);
  EXPECT_EQ(a.GetVal(1, 2), 12.0);
  EXPECT_EQ(a.GetVal(3, 3), 98.0);

  // Not positive definite: s = 1 - 4 <= 0 at the second pivot, whose diagonal stays 0.
  TMatrix b, lb;
  FromRows(b, {{1, 2}, {2, 1}});
  EXPECT_FALSE(b.CholeskyDecomp(&lb));
  EXPECT_EQ(lb.GetVal(1, 1), 1.0);
  EXPECT_EQ(lb.GetVal(1, 2), 2.0);
  EXPECT_EQ(lb.GetVal(2, 2), 0.0);

  // A larger case by its property: L L^T = A.
  TMatrix m, g, lg, back;
  SetRandSeed(95);
  g.Resize(37, 37);
  g.FillRandomUniform(-1.0, 1.0);
  ASSERT_TRUE(g.Square(&m, 1.0));
  for (int32_t i = 1; i <= 37; ++i) m.SetVal(i, i, m.GetVal(i, i) + 1.0);
  TMatrix mc;
  mc.Clone(&m);
  ASSERT_TRUE(mc.CholeskyDecomp(&lg));
  ASSERT_TRUE(lg.MultiplyTransposed(&lg, &back));
  for (int32_t c = 1; c <= 37; ++c)
    for (int32_t r = 1; r <= 37; ++r) ASSERT_NEAR(back.GetVal(c, r), m.GetVal(c, r), 1e-12);

  // NaN or an infinity in the lower triangle: false, whatever pivot it reaches.
  for (const auto& [c, row, x] : {std::tuple<int32_t, int32_t, double>{1, 1, NAN},
                                  {2, 3, NAN}, {1, 3, NAN}, {3, 3, NAN}, {2, 2, INFINITY}}) {
    TMatrix n, ln;
    FromRows(n, {{4, 12, -16}, {12, 37, -43}, {-16, -43, 98}});
    n.SetVal(c, row, x);
    EXPECT_FALSE(n.CholeskyDecomp(&ln)) << c << "," << row << " = " << x;
  }

  TMatrix r, lr;
  r.Resize(2, 3);
  lr.Fill(3.0);
  EXPECT_FALSE(r.CholeskyDecomp(&lr));
  EXPECT_EQ(lr.GetVal(1, 1), 3.0);
  EXPECT_FALSE(a.CholeskyDecomp(nullptr));
}

TEST(MatrixLU, CholeskySumsRunFromTheLastTermDown) {
  // Each sum subtracts its products for k = i - 1 down to 1, which decides the rounding.
  // Rows 1..3 of the factor are unit rows; rows 4..9 start with (2^27, 1, 1), so the
  // products of column 4 are 1, 1 and 2^54 in that order. A(4, 4) = 2^54 + 3 is stored
  // as 2^54 + 4 (the doubles there are 4 apart), A(q, 4) = 2^54 + 4 for q > 4. By hand:
  //   (((2^54 + 4) - 1) - 1) - 2^54 = 4: d(4) = 2, L(q, 4) = 4 / 2 = 2;
  // ascending, ((2^54 + 4 - 2^54) - 1) - 1 = 2 would give sqrt 2 and 1. Rows 5..9 cover
  // both the four-at-a-time sums (rows 5..8) and the single ones (row 9).
  const int32_t n = 9;
  const double big = 0x1p27;
  TMatrix a, l;
  a.Resize(n, n);
  for (int32_t i = 1; i <= 3; ++i) a.SetVal(i, i, 1.0);
  for (int32_t q = 4; q <= n; ++q) {
    a.SetVal(1, q, big);
    a.SetVal(2, q, 1.0);
    a.SetVal(3, q, 1.0);
    a.SetVal(4, q, 0x1p54 + 4);
  }
  a.SetVal(4, 4, 0x1p54 + 3);
  // The rest of rows 5..9 keeps the matrix positive definite: a large diagonal.
  for (int32_t q = 5; q <= n; ++q) a.SetVal(q, q, 0x1p60);
  ASSERT_EQ(a.GetVal(4, 4), 0x1p54 + 4);
  ASSERT_TRUE(a.CholeskyDecomp(&l));
  EXPECT_EQ(l.GetVal(4, 4), 2.0);
  for (int32_t q = 5; q <= n; ++q) EXPECT_EQ(l.GetVal(4, q), 2.0) << "row " << q;
}
