#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"
#include "../../bench/plain_jacobi.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol2;
using nuv_test::kTol3;

namespace {

// Residuals and orthonormality of the stored decomposition of the symmetric matrix a
// (row-major n x n): |A v - lambda v| <= 8 n eps |A|_F, |V^T V - I| <= 8 n eps.
void ExpectEigenProperties(const std::vector<double>& a, int n) {
  ASSERT_EQ(GetEigenSize(), n);
  double norm = 0;
  for (double x : a) norm += x * x;
  norm = std::sqrt(norm);
  const double tol = 8 * n * DBL_EPSILON;
  for (int p = 1; p <= n; ++p) {
    const double lambda = GetEigenResult(p, 0);
    double res = 0;
    for (int i = 0; i < n; ++i) {
      double av = 0;
      for (int j = 0; j < n; ++j) av += a[i * n + j] * GetEigenResult(p, j + 1);
      res += std::pow(av - lambda * GetEigenResult(p, i + 1), 2);
    }
    EXPECT_LE(std::sqrt(res), tol * norm) << "vector " << p;
    for (int q = p; q <= n; ++q) {
      double dot = 0;
      for (int k = 1; k <= n; ++k) dot += GetEigenResult(p, k) * GetEigenResult(q, k);
      EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, tol);
    }
  }
}

void ToMatrix(const std::vector<double>& a, int n, TMatrix& m) {
  m.Resize(n, n);
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= n; ++r) m.SetVal(c, r, a[(r - 1) * n + (c - 1)]);
}

}  // namespace

TEST(CalcEigVec, SmallCasesStoreAndOutOfRange) {
  TMatrix m;
  m.Resize(2, 2);
  m.Fill(1);
  m.FillDiag(2);
  m.SetVal(1, 2, 99);  // below the diagonal: never read, left as it is
  ASSERT_TRUE(CalcEigVec(&m));
  // [[2, 1], [1, 2]]: eigenvalues 1 and 3 in the order the rotation leaves them,
  // vectors (1, -1)/sqrt 2 and (1, 1)/sqrt 2.
  const double h = std::sqrt(0.5);
  EXPECT_REL_NEAR(GetEigenResult(1, 0), 1.0, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(2, 0), 3.0, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(1, 1), h, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(1, 2), -h, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(2, 1), h, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(2, 2), h, kTol1);
  EXPECT_EQ(m.GetVal(2, 1), 0.0);  // above the diagonal: zeroed
  EXPECT_EQ(m.GetVal(1, 2), 99.0);
  EXPECT_EQ(m.GetVal(1, 1), 2.0);
  for (int bad : {-1, 3}) {
    EXPECT_EQ(GetEigenResult(bad, 1), 0.0);
    EXPECT_EQ(GetEigenResult(1, bad), 0.0);
  }
  EXPECT_EQ(GetEigenResult(0, 0), 0.0);
  RemoveEigenMatrix();
  EXPECT_EQ(GetEigenSize(), 0);
  EXPECT_EQ(GetEigenResult(2, 0), 0.0);

  // A diagonal matrix converges at the first check: one progress step, no pair.
  m.Resize(3, 3);
  m.Fill(0);
  m.SetVal(1, 1, 4);
  m.SetVal(2, 2, -1.5);
  m.SetVal(3, 3, 0.25);
  const double before = ProcStat;
  ASSERT_TRUE(CalcEigVec(&m));
  EXPECT_EQ(ProcStat - before, 1.0);
  EXPECT_EQ(GetEigenResult(2, 0), -1.5);
  EXPECT_EQ(GetEigenResult(3, 3), 1.0);
  EXPECT_EQ(GetEigenResult(3, 1), 0.0);

  // Orders 0 and 1; beyond 10000 false with the store kept.
  m.Resize(1, 1);
  m.SetVal(1, 1, 7);
  ASSERT_TRUE(CalcEigVec(&m));
  EXPECT_EQ(GetEigenResult(1, 0), 7.0);
  EXPECT_EQ(GetEigenResult(1, 1), 1.0);
  m.Resize(10001, 1);
  EXPECT_FALSE(CalcEigVec(&m));
  EXPECT_EQ(GetEigenSize(), 1);
  m.Resize(0, 0);
  EXPECT_TRUE(CalcEigVec(&m));
  EXPECT_EQ(GetEigenSize(), 0);
  EXPECT_FALSE(CalcEigVec(nullptr));
}

TEST(CalcEigVec, ClosedFormSpectrumAndProperties) {
  // The second-difference matrix tridiag(-1, 2, -1) of order n has the eigenvalues
  // 2 - 2 cos(k pi / (n + 1)), k = 1..n.
  const int n = 40;
  std::vector<double> a(n * n, 0.0);
  for (int i = 0; i < n; ++i) {
    a[i * n + i] = 2;
    if (i + 1 < n) a[i * n + i + 1] = a[(i + 1) * n + i] = -1;
  }
  TMatrix m;
  ToMatrix(a, n, m);
  ASSERT_TRUE(CalcEigVec(&m));
  std::vector<double> got(n), want(n);
  for (int k = 0; k < n; ++k) {
    got[k] = GetEigenResult(k + 1, 0);
    want[k] = 2 - 2 * std::cos((k + 1) * M_PI / (n + 1));
  }
  std::sort(got.begin(), got.end());
  for (int k = 0; k < n; ++k) EXPECT_NEAR(got[k], want[k], 8 * n * DBL_EPSILON * 4);
  ExpectEigenProperties(a, n);
  for (int c = 2; c <= n; ++c) EXPECT_EQ(m.GetVal(c, c - 1), 0.0);
}

TEST(CalcEigVec, TinyElementsAreZeroedFromTheFifthSweep) {
  // tridiag(1e-3; 1, 2, 3): the off-diagonal elements fall quadratically (about 1e-3, 1e-6,
  // 1e-12, 1e-24, ...), so every sweep leaves some non-zero element behind (nothing comes
  // near the underflow), and after four sweeps all are far below the rounding of the
  // diagonal. Sweep 4 rotates every non-zero element (threshold 0); sweep 5 is the first
  // that zeroes such elements instead, so the sixth check finds none. Progress: one step
  // per check and one per pair: 6 + 5 * 3 = 21. Zeroing from an earlier sweep converges
  // sooner; never zeroing, or from a later sweep, needs a seventh check.
  std::vector<double> a = {1, 1e-3, 0, 1e-3, 2, 1e-3, 0, 1e-3, 3};
  TMatrix m;
  ToMatrix(a, 3, m);
  const double before = ProcStat;
  ASSERT_TRUE(CalcEigVec(&m));
  EXPECT_EQ(ProcStat - before, 21.0);
  ExpectEigenProperties(a, 3);
}

TEST(CalcEigVec, ClearsAnEarlierAbortRequest) {
  TMatrix m;
  m.Resize(2, 2);
  m.Fill(1);
  m.FillDiag(2);
  AbortMathProc = true;
  EXPECT_TRUE(CalcEigVec(&m));
  EXPECT_FALSE(AbortMathProc);
  EXPECT_REL_NEAR(GetEigenResult(2, 0), 3.0, kTol1);
}

TEST(CalcEigVec, SameRotationsAsThePlainMethod) {
  // Random symmetric matrices with clustered and repeated eigenvalues: the vectorized
  // sweeps must reproduce the plain method's values and vectors bit for bit.
  SetRandSeed(20240611);
  for (int n : {5, 17, 64}) {
    std::vector<double> a(n * n);
    for (int i = 0; i < n; ++i)
      for (int j = i; j < n; ++j)
        a[i * n + j] = a[j * n + i] = (i == j ? (i % 3) * 1.0 : 0.0) + Random() * 1e-3 * (j - i);
    TMatrix m;
    ToMatrix(a, n, m);
    ASSERT_TRUE(CalcEigVec(&m));
    std::vector<double> plain = a, d, v;
    ASSERT_GT(nuv_test::PlainJacobi(plain, n, d, v), 0);
    for (int p = 0; p < n; ++p) {
      ASSERT_EQ(GetEigenResult(p + 1, 0), d[p]) << n << " " << p;
      for (int k = 0; k < n; ++k) ASSERT_EQ(GetEigenResult(p + 1, k + 1), v[k * n + p]);
    }
    ExpectEigenProperties(a, n);
  }
}

TEST(CalcEigVec, SweepLimitAndAbort) {
  // NaN never converges: 100 sweeps of one pair each, a step per sweep and per pair.
  TMatrix m;
  m.Resize(2, 2);
  m.Fill(NAN);
  double before = ProcStat;
  EXPECT_FALSE(CalcEigVec(&m));
  EXPECT_EQ(ProcStat - before, 200.0);

  const int n = 12;
  m.Resize(n, n);
  SetRandSeed(7);
  m.FillRandomUniform(-1, 1);
  int calls = 0;
  MathFeedBackProc = [&](double) {
    if (++calls == 30) AbortMathProc = true;
  };
  before = ProcStat;
  EXPECT_FALSE(CalcEigVec(&m));
  EXPECT_EQ(calls, 30);  // the poll before the next pair stops it
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}

namespace {

bool ReadIris(TMatrix& m) {
  return m.LoadFromFile(std::string(NUV_TEST_DATA_DIR) + "/iris.csv", true) &&
         m.NrOfColumns() == 4 && m.NrOfRows() == 150;
}

}  // namespace

TEST(CalcPrincComp, IrisVariancesDescending) {
  TMatrix iris;
  ASSERT_TRUE(ReadIris(iris));
  // Principal-component variances of the bundled iris data and the first loading vector:
  // numpy 1.24.2, w, v = numpy.linalg.eigh(numpy.cov(numpy.loadtxt("data/iris.csv",
  // delimiter=",", skiprows=1).T)); w[::-1], w[::-1] / w.sum(), v[:, -1].
  const double want[] = {4.228241706034863, 0.24267074792863363, 0.07820950004291898,
                         0.023835092973449993};
  const double wantScaled[] = {0.9246187232017269, 0.05306648311706788, 0.017102609807929676,
                               0.005212183873275497};
  const double load[] = {-0.36138659178536825, 0.08452251406456879, -0.8566706059498348,
                         -0.35828919715155044};
  ASSERT_TRUE(CalcPrincComp(&iris, 1, 4, 0, 0, 1, false));
  // Jacobi rotations keep each eigenvalue to a few ulps of the largest one.
  for (int k = 1; k <= 4; ++k) EXPECT_REL_NEAR(GetEigenResult(k, 0), want[k - 1], kTol3);
  // The first component loads mostly on petal length; its sign is free.
  const double sign = GetEigenResult(1, 3) * load[2] > 0 ? 1 : -1;
  for (int k = 1; k <= 4; ++k) EXPECT_REL_NEAR(sign * GetEigenResult(1, k), load[k - 1], kTol3);
  ASSERT_TRUE(CalcPrincComp(&iris, 1, 4, 0, 0, 1));
  double scaled = 0;
  for (int k = 1; k <= 4; ++k) {
    EXPECT_REL_NEAR(GetEigenResult(k, 0), wantScaled[k - 1], kTol3);
    if (k > 1) {
      EXPECT_GE(GetEigenResult(k - 1, 0), GetEigenResult(k, 0));
    }
    scaled += GetEigenResult(k, 0);
  }
  EXPECT_REL_NEAR(scaled, 1.0, kTol2);
  // (0, 0) columns: the scratch matrix has order 1 and the size check fails.
  EXPECT_FALSE(CalcPrincComp(&iris, 0, 0, 0, 0, 1));
  // Aborted in the decomposition.
  int calls = 0;
  MathFeedBackProc = [&](double) {
    // The covariance makes 150 + 10 calls and CalcEigVec clears the flag on entry.
    if (++calls == 165) AbortMathProc = true;
  };
  EXPECT_FALSE(CalcPrincComp(&iris, 1, 4, 0, 0, 2));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}

TEST(CalcPrincComp, SelectionKeepsNonPositiveInPlace) {
  // A covariance matrix with eigenvalues 0 and 2 (perfectly correlated columns) and a
  // constant column: the positive eigenvalue comes first, zeros stay behind.
  TMatrix data;
  data.Resize(3, 4);
  for (int r = 1; r <= 4; ++r) {
    data.SetVal(1, r, 1);
    data.SetVal(2, r, r);
    data.SetVal(3, r, r);
  }
  ASSERT_TRUE(CalcPrincComp(&data, 1, 3, 0, 0, 1, false));
  // Variance of 1..4 is 5/3; the pair carries twice that.
  EXPECT_REL_NEAR(GetEigenResult(1, 0), 10. / 3, kTol2);
  EXPECT_NEAR(GetEigenResult(2, 0), 0.0, 1e-15);
  EXPECT_NEAR(GetEigenResult(3, 0), 0.0, 1e-15);
  EXPECT_NEAR(std::fabs(GetEigenResult(1, 2)), std::sqrt(0.5), kTol2);
}

TEST(CalcPrincComp, FirstOfEqualEigenvaluesComesFirst) {
  // Orthogonal columns, not centred (CovType 0): the cross products are diag(2, 8, 8) / 3,
  // already diagonal, so the eigenvectors are the unit vectors in column order. The two
  // equal values keep their order: unit vectors 2, 3, then 1.
  TMatrix data;
  nuv_test::FromRows(data, {{1, 2, 0}, {1, -2, 0}, {0, 0, 2}, {0, 0, 2}});
  ASSERT_TRUE(CalcPrincComp(&data, 1, 3, 0, 0, 0, false));
  ASSERT_EQ(GetEigenResult(2, 0), GetEigenResult(1, 0));
  EXPECT_REL_NEAR(GetEigenResult(1, 0), 8.0 / 3, kTol1);
  EXPECT_EQ(GetEigenResult(1, 2), 1.0);
  EXPECT_EQ(GetEigenResult(2, 3), 1.0);
  EXPECT_EQ(GetEigenResult(3, 1), 1.0);
}
