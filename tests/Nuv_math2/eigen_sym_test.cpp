#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

// Symmetric n x n, row-major, into the upper triangle and diagonal of m (the lower part
// is filled with garbage, which must not be read).
void ToUpper(const std::vector<double>& a, int n, TMatrix& m) {
  m.Resize(n, n);
  for (int c = 1; c <= n; ++c)
    for (int r = 1; r <= n; ++r) m.SetVal(c, r, r <= c ? a[(r - 1) * n + (c - 1)] : 1e30);
}

double FrobeniusNorm(const std::vector<double>& a) {
  double s = 0;
  for (double x : a) s += x * x;
  return std::sqrt(s);
}

// The stored decomposition of a: descending values, |A v - lambda v| <= 4 n eps |A|_F per
// vector, |V^T V - I| <= 4 n eps, and the sign rule (largest component positive).
void ExpectDecomposition(const std::vector<double>& a, int n) {
  ASSERT_EQ(GetEigenSize(), n);
  const double tol = 4 * n * DBL_EPSILON;
  const double norm = FrobeniusNorm(a);
  std::vector<double> v(static_cast<size_t>(n) * n);
  for (int p = 0; p < n; ++p)
    for (int k = 0; k < n; ++k) v[p * n + k] = GetEigenResult(p + 1, k + 1);
  for (int p = 0; p < n; ++p) {
    const double lambda = GetEigenResult(p + 1, 0);
    if (p > 0) {
      EXPECT_LE(lambda, GetEigenResult(p, 0));
    }
    const double* x = &v[p * n];
    double res = 0, big = 0, bigSigned = 0;
    for (int i = 0; i < n; ++i) {
      double ax = 0;
      for (int j = 0; j < n; ++j) ax += a[i * n + j] * x[j];
      res += (ax - lambda * x[i]) * (ax - lambda * x[i]);
      if (std::fabs(x[i]) > big * (1 + 1e-9)) big = std::fabs(x[i]), bigSigned = x[i];
    }
    EXPECT_LE(std::sqrt(res), tol * norm) << "vector " << p;
    EXPECT_GT(bigSigned, 0) << "vector " << p;
    for (int q = p; q < n; ++q) {
      double dot = 0;
      for (int k = 0; k < n; ++k) dot += x[k] * v[q * n + k];
      EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, tol) << p << ", " << q;
    }
  }
}

// Q D Q^T for a Q made of four random reflectors, row-major.
std::vector<double> WithSpectrum(const std::vector<double>& D, unsigned Seed) {
  const size_t n = D.size();
  std::mt19937 gen(Seed);
  std::normal_distribution<double> g;
  std::vector<double> q(n * n, 0.0);
  for (size_t i = 0; i < n; ++i) q[i * n + i] = 1;
  for (int h = 0; h < 4; ++h) {
    std::vector<double> u(n);
    double uu = 0;
    for (double& x : u) x = g(gen), uu += x * x;
    for (size_t c = 0; c < n; ++c) {  // q := (I - 2 u u^T / u^T u) q, column by column
      double s = 0;
      for (size_t r = 0; r < n; ++r) s += u[r] * q[r * n + c];
      for (size_t r = 0; r < n; ++r) q[r * n + c] -= 2 * s / uu * u[r];
    }
  }
  std::vector<double> a(n * n, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j)
      for (size_t k = 0; k < n; ++k) a[i * n + j] += q[i * n + k] * D[k] * q[j * n + k];
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < i; ++j) a[i * n + j] = a[j * n + i];
  return a;
}

}  // namespace

TEST(CalcSymEigen, TridiagonalToeplitzClosedForm) {
  // tridiag(b, a, b) of order n: eigenvalues a + 2 b cos(k pi / (n + 1)), k = 1..n (in
  // descending order for b > 0), eigenvectors sqrt(2 / (n + 1)) sin(j k pi / (n + 1)).
  // Orders below, at and well above the block solved directly.
  const double a0 = 0.5, b = 1.25;
  for (int n : {2, 3, 25, 26, 100, 257}) {
    std::vector<double> a(static_cast<size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) {
      a[i * n + i] = a0;
      if (i + 1 < n) a[i * n + i + 1] = a[(i + 1) * n + i] = b;
    }
    TMatrix m;
    ToUpper(a, n, m);
    ASSERT_TRUE(CalcSymEigen(&m)) << n;
    const double h = M_PI / (n + 1);
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(GetEigenResult(k, 0), a0 + 2 * b * std::cos(k * h), 4 * n * DBL_EPSILON * 3);
      // Distinct eigenvalues: the vector is unique up to the sign the rule fixes.
      double s = 0, big = 0;
      for (int j = 1; j <= n; ++j)
        if (std::fabs(std::sin(j * k * h)) > big * (1 + 1e-9))
          big = std::fabs(std::sin(j * k * h)), s = std::sin(j * k * h) > 0 ? 1 : -1;
      for (int j = 1; j <= n; ++j)
        EXPECT_NEAR(GetEigenResult(k, j), s * std::sqrt(2.0 / (n + 1)) * std::sin(j * k * h), 1e-12)
            << n << " " << k << " " << j;
    }
    EXPECT_EQ(m.GetVal(1, 2), 1e30);  // Mat is left as it was
  }
}

TEST(CalcSymEigen, ConstructedSpectraWithRepeatsAndWideRange) {
  // Q D Q^T has the spectrum D exactly; repeated values exercise the deflation, a range
  // of 1e-9..1e3 the relative accuracy of the small ones against the norm.
  std::vector<double> D;
  for (int k = 0; k < 40; ++k) D.push_back(3.0);
  for (int k = 0; k < 40; ++k) D.push_back(-1.0);
  for (int k = 0; k < 60; ++k) D.push_back(std::ldexp(1.0, k % 12 - 30 + k / 2));
  for (int k = 0; k < 20; ++k) D.push_back(0.0);
  const int n = static_cast<int>(D.size());
  const std::vector<double> a = WithSpectrum(D, 7);
  TMatrix m;
  ToUpper(a, n, m);
  ASSERT_TRUE(CalcSymEigen(&m));
  std::sort(D.rbegin(), D.rend());
  const double norm = FrobeniusNorm(a);
  for (int k = 0; k < n; ++k)
    EXPECT_NEAR(GetEigenResult(k + 1, 0), D[k], 4 * n * DBL_EPSILON * norm);
  ExpectDecomposition(a, n);

  // Scaled near the ends of the range: only the eigenvalues scale.
  for (double f : {1e300, 1e-300}) {
    std::vector<double> s(a);
    for (double& x : s) x *= f;
    ToUpper(s, n, m);
    ASSERT_TRUE(CalcSymEigen(&m));
    for (int k = 0; k < n; ++k)
      EXPECT_NEAR(GetEigenResult(k + 1, 0) / f, D[k], 4 * n * DBL_EPSILON * norm) << f;
  }
}

TEST(CalcSymEigen, SmallAndDegenerateMatrices) {
  TMatrix m;
  m.Resize(0, 0);
  EXPECT_TRUE(CalcSymEigen(&m));
  EXPECT_EQ(GetEigenSize(), 0);
  EXPECT_FALSE(CalcSymEigen(nullptr));

  m.Resize(1, 1);
  m.SetVal(1, 1, -7.5);
  ASSERT_TRUE(CalcSymEigen(&m));
  EXPECT_EQ(GetEigenResult(1, 0), -7.5);
  EXPECT_EQ(GetEigenResult(1, 1), 1.0);

  // [[2, -1], [-1, 5]]: (7 -+ sqrt 13) / 2, vectors from the closed form of order 2.
  const std::vector<double> a2 = {2, -1, -1, 5};
  ToUpper(a2, 2, m);
  ASSERT_TRUE(CalcSymEigen(&m));
  EXPECT_REL_NEAR(GetEigenResult(1, 0), (7 + std::sqrt(13.0)) / 2, kTol1);
  EXPECT_REL_NEAR(GetEigenResult(2, 0), (7 - std::sqrt(13.0)) / 2, kTol1);
  ExpectDecomposition(a2, 2);
  EXPECT_LT(GetEigenResult(1, 1), 0);  // (-0.29, 0.96): the larger component is positive

  // Zero matrix: all eigenvalues 0, the unit vectors.
  const int n = 60;
  m.Resize(n, n);
  m.Fill(0);
  ASSERT_TRUE(CalcSymEigen(&m));
  for (int p = 1; p <= n; ++p) {
    EXPECT_EQ(GetEigenResult(p, 0), 0.0);
    double s = 0;
    for (int k = 1; k <= n; ++k) s += std::fabs(GetEigenResult(p, k));
    EXPECT_EQ(s, 1.0);
  }

  // A NaN or an infinity in the triangle read: false, store empty; below it: ignored.
  m.Resize(40, 40);
  m.FillDiag(1);
  for (double bad : {NAN, INFINITY}) {
    m.SetVal(30, 3, bad);
    EXPECT_FALSE(CalcSymEigen(&m));
    EXPECT_EQ(GetEigenSize(), 0);
    m.SetVal(30, 3, 0);
    m.SetVal(3, 30, bad);
    EXPECT_TRUE(CalcSymEigen(&m));
    EXPECT_EQ(GetEigenResult(40, 0), 1.0);
    m.SetVal(3, 30, 0);
  }
}

TEST(CalcSymEigen, AgreesWithCyclicJacobi) {
  const int n = 90;
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> u(-1, 1);
  std::vector<double> a(static_cast<size_t>(n) * n);
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) a[i * n + j] = a[j * n + i] = u(gen);
  TMatrix m;
  ToUpper(a, n, m);
  ASSERT_TRUE(CalcEigVec(&m));
  std::vector<std::pair<double, std::vector<double>>> jac(n);
  for (int p = 0; p < n; ++p) {
    jac[p].first = GetEigenResult(p + 1, 0);
    for (int k = 1; k <= n; ++k) jac[p].second.push_back(GetEigenResult(p + 1, k));
  }
  std::sort(jac.begin(), jac.end(), [](auto& x, auto& y) { return x.first > y.first; });
  ToUpper(a, n, m);
  ASSERT_TRUE(CalcSymEigen(&m));
  const double norm = FrobeniusNorm(a);
  for (int p = 0; p < n; ++p) {
    EXPECT_NEAR(GetEigenResult(p + 1, 0), jac[p].first, 4 * n * DBL_EPSILON * norm);
    // Vectors agree up to sign, to rounding over the gap to the nearest other eigenvalue.
    double gap = INFINITY;
    if (p > 0) gap = std::min(gap, jac[p - 1].first - jac[p].first);
    if (p + 1 < n) gap = std::min(gap, jac[p].first - jac[p + 1].first);
    double dot = 0;
    for (int k = 0; k < n; ++k) dot += GetEigenResult(p + 1, k + 1) * jac[p].second[k];
    EXPECT_NEAR(std::fabs(dot), 1.0, 8 * n * DBL_EPSILON * norm / gap) << p;
  }
  ExpectDecomposition(a, n);
}

TEST(CalcSymEigen, ProgressStepsAndAbort) {
  const int n = 150;
  const std::vector<double> a = WithSpectrum(std::vector<double>(n, 2.0), 1);
  TMatrix m;
  ToUpper(a, n, m);
  AbortMathProc = true;  // cleared on entry
  double before = ProcStat;
  ASSERT_TRUE(CalcSymEigen(&m));
  EXPECT_EQ(ProcStat - before, 3.0 * n);
  // Aborted in each stage in turn: false, the store empty, no step after the request.
  for (double stop : {10.0, n + 10.0, 2.0 * n + 10.0}) {
    static double sStart, sStop;
    sStart = ProcStat;
    sStop = stop;
    MathFeedBackProc = [](double s) {
      if (s - sStart >= sStop) AbortMathProc = true;
    };
    EXPECT_FALSE(CalcSymEigen(&m)) << stop;
    MathFeedBackProc = nullptr;
    EXPECT_EQ(ProcStat - sStart, stop);
    EXPECT_EQ(GetEigenSize(), 0);
  }
  AbortMathProc = false;
}
