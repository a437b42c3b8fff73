#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_matrix/matrix_svd.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::FromRows;
using nuv_test::kTol2;

namespace {

/// Runs the decomposition on a copy and checks the defining properties: A = U W V^T,
/// V^T V = I, U^T U = I on the columns of nonzero singular values, W >= 0.
std::vector<double> CheckedSvd(const TMatrix& a) {
  TMatrix u, v;
  TVector w;
  u.Clone(&a);
  EXPECT_TRUE(SingValDecompCore(&u, &w, &v));
  const int32_t m = a.NrOfRows();
  const int32_t n = a.NrOfColumns();
  EXPECT_EQ(w.NrOfElem(), n);
  EXPECT_EQ(v.NrOfColumns(), n);
  EXPECT_EQ(v.NrOfRows(), n);
  double wmax = 0.0;
  for (int32_t i = 1; i <= n; ++i) {
    EXPECT_GE(w.GetVal(i), 0.0);
    wmax = std::max(wmax, w.GetVal(i));
  }
  const double tol = 64.0 * (m + n) * DBL_EPSILON * std::max(wmax, 1.0);
  for (int32_t c = 1; c <= n; ++c)
    for (int32_t r = 1; r <= m; ++r) {
      double s = 0.0;
      for (int32_t k = 1; k <= n; ++k) s += u.GetVal(k, r) * w.GetVal(k) * v.GetVal(k, c);
      EXPECT_NEAR(s, a.GetVal(c, r), tol) << c << "," << r;
    }
  for (int32_t i = 1; i <= n; ++i)
    for (int32_t j = 1; j <= n; ++j) {
      double vv = 0.0;
      for (int32_t k = 1; k <= n; ++k) vv += v.GetVal(i, k) * v.GetVal(j, k);
      EXPECT_NEAR(vv, i == j ? 1.0 : 0.0, 64.0 * n * DBL_EPSILON);
      if (w.GetVal(i) > tol && w.GetVal(j) > tol) {
        double uu = 0.0;
        for (int32_t k = 1; k <= m; ++k) uu += u.GetVal(i, k) * u.GetVal(j, k);
        EXPECT_NEAR(uu, i == j ? 1.0 : 0.0, 64.0 * m * DBL_EPSILON);
      }
    }
  std::vector<double> sv(static_cast<size_t>(n));
  for (int32_t i = 1; i <= n; ++i) sv[static_cast<size_t>(i - 1)] = w.GetVal(i);
  std::sort(sv.rbegin(), sv.rend());
  return sv;
}

class SvdProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearAbort();
    ProcStat = 0.0;
  }
  void TearDown() override {
    MathFeedBackProc = nullptr;
    ClearAbort();
  }
};

}  // namespace

TEST(MatrixSvd, KnownSingularValues) {
  // 1 x 1: -3 = 1 * 3 * (-1), the sign moves into V.
  TMatrix one;
  one.SetVal(1, 1, -3.0);
  EXPECT_EQ(CheckedSvd(one)[0], 3.0);
  // [[3, 2, 2], [2, 3, -2]]: A A^T = [[17, 8], [8, 17]], eigenvalues 25 and 9.
  TMatrix wide, tall;
  FromRows(wide, {{3, 2, 2}, {2, 3, -2}});
  std::vector<double> s = CheckedSvd(wide);
  EXPECT_REL_NEAR(s[0], 5.0, kTol2);
  EXPECT_REL_NEAR(s[1], 3.0, kTol2);
  EXPECT_NEAR(s[2], 0.0, 1e-14);
  FromRows(tall, {{3, 2}, {2, 3}, {2, -2}});
  s = CheckedSvd(tall);
  EXPECT_REL_NEAR(s[0], 5.0, kTol2);
  EXPECT_REL_NEAR(s[1], 3.0, kTol2);
  // Orthogonal columns of lengths 3, 2 and 0.5 (rows of a scaled 4 x 4 Hadamard matrix).
  TMatrix h;
  FromRows(h, {{1.5, 1, 0.25}, {1.5, -1, -0.25}, {1.5, 1, -0.25}, {1.5, -1, 0.25}});
  s = CheckedSvd(h);
  EXPECT_REL_NEAR(s[0], 3.0, kTol2);
  EXPECT_REL_NEAR(s[1], 2.0, kTol2);
  EXPECT_REL_NEAR(s[2], 0.5, kTol2);
}

TEST(MatrixSvd, RankDeficientAndRandom) {
  // Column 3 = column 1 + column 2: rank 2.
  TMatrix a;
  FromRows(a, {{1, 2, 3}, {4, 5, 9}, {7, 8, 15}, {-1, 0.5, -0.5}, {2, -3, -1}});
  std::vector<double> s = CheckedSvd(a);
  EXPECT_GT(s[1], 1.0);
  EXPECT_LT(s[2], 1e-14 * s[0]);
  TMatrix z;
  z.Resize(3, 4);
  s = CheckedSvd(z);
  EXPECT_EQ(s[0], 0.0);
  for (int32_t nc : {17, 40}) {
    TMatrix r;
    SetRandSeed(100 + nc);
    r.Resize(nc, 29);
    r.FillRandomUniform(-1.0, 1.0);
    CheckedSvd(r);
  }
}

TEST_F(SvdProgress, StepsAndAbort) {
  // m x n: n reduction columns, n right-hand and min(m, n) left-hand accumulation columns,
  // n singular values.
  TMatrix a, u, v;
  TVector w;
  SetRandSeed(7);
  a.Resize(6, 9);
  a.FillRandomUniform(-1.0, 1.0);
  u.Clone(&a);
  ASSERT_TRUE(SingValDecompCore(&u, &w, &v));
  EXPECT_EQ(ProcStat.load(), 6.0 + 6.0 + 6.0 + 6.0);
  a.Resize(9, 4);
  a.FillRandomUniform(-1.0, 1.0);
  ProcStat = 0.0;
  EXPECT_GT(a.Norm(ntSpectral), 0.0);
  EXPECT_EQ(ProcStat.load(), 9.0 + 9.0 + 4.0 + 9.0);
  for (double at : {1.0, 12.0, 25.0, 31.0}) {
    ProcStat = 0.0;
    ClearAbort();
    MathFeedBackProc = [at](double st) {
      if (st >= at) AbortMathProc = true;
    };
    u.Clone(&a);
    EXPECT_FALSE(SingValDecompCore(&u, &w, &v)) << at;
    EXPECT_EQ(ProcStat.load(), at);
    ClearAbort();
    ProcStat = 0.0;
    MathFeedBackProc = [at](double st) {
      if (st >= at) AbortMathProc = true;
    };
    EXPECT_THROW_MSG(a.Norm(ntSpectral), ENUVMatrixError, "near singular covariance matrix");
  }
}

TEST(MatrixSvd, DegenerateInput) {
  TMatrix u, v;
  TVector w;
  EXPECT_FALSE(SingValDecompCore(nullptr, &w, &v));
  u.Resize(0, 3);
  EXPECT_FALSE(SingValDecompCore(&u, &w, &v));
  // NaN and infinities end in bounded time, without reading outside the work arrays.
  FromRows(u, {{1, NAN}, {2, 3}, {4, 5}});
  SingValDecompCore(&u, &w, &v);
  FromRows(u, {{1, INFINITY}, {2, 3}});
  SingValDecompCore(&u, &w, &v);
  TMatrix rowless;
  rowless.Resize(3, 0);
  EXPECT_EQ(rowless.Norm(ntSpectral), 0.0);
}
