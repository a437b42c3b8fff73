#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

void Load(TMatrix& X, TVector& y, const double* rows, int n, int p) {
  X.Resize(p, n);
  y.Resize(n);
  for (int r = 0; r < n; ++r) {
    y.SetVal(r + 1, rows[r * (p + 1)]);
    for (int c = 0; c < p; ++c) X.SetVal(c + 1, r + 1, rows[r * (p + 1) + c + 1]);
  }
}

// NIST StRD linear regression data set Longley (higher difficulty): y, then x1..x6.
const double kLongley[] = {
    60323, 83.0,  234289, 2356, 1590, 107608, 1947, 61122, 88.5,  259426, 2325, 1456, 108632, 1948,
    60171, 88.2,  258054, 3682, 1616, 109773, 1949, 61187, 89.5,  284599, 3351, 1650, 110929, 1950,
    63221, 96.2,  328975, 2099, 3099, 112075, 1951, 63639, 98.1,  346999, 1932, 3594, 113270, 1952,
    64989, 99.0,  365385, 1870, 3547, 115094, 1953, 63761, 100.0, 363112, 3578, 3350, 116219, 1954,
    66019, 101.2, 397469, 2904, 3048, 117388, 1955, 67857, 104.6, 419180, 2822, 2857, 118734, 1956,
    68169, 108.4, 442769, 2936, 2798, 120445, 1957, 66513, 110.8, 444546, 4681, 2637, 121950, 1958,
    68655, 112.6, 482704, 3813, 2552, 123366, 1959, 69564, 114.2, 502601, 3931, 2514, 125368, 1960,
    69331, 115.7, 518173, 4806, 2572, 127852, 1961, 70551, 116.9, 554894, 4007, 2827, 130081, 1962};

// NIST StRD Norris (lower difficulty): y, x.
const double kNorris[] = {
    0.1,   0.2,   338.8, 337.4, 118.1, 118.2, 888.0, 884.6, 9.2,   10.1,  228.1, 226.5,
    668.5, 666.3, 998.5, 996.3, 449.1, 448.6, 778.9, 777.0, 559.2, 558.2, 0.3,   0.4,
    0.1,   0.6,   778.1, 775.5, 668.8, 666.9, 339.3, 338.0, 448.9, 447.5, 10.8,  11.6,
    557.7, 556.0, 228.3, 228.1, 998.0, 995.8, 888.8, 887.6, 119.6, 120.2, 0.3,   0.3,
    0.6,   0.3,   557.6, 556.8, 339.3, 339.1, 888.0, 887.2, 998.5, 999.0, 778.9, 779.0,
    10.2,  11.1,  117.6, 118.3, 228.9, 229.2, 668.4, 669.1, 449.2, 448.9, 0.2,   0.5};

}  // namespace

TEST(MultiLinReg, NistLongleyCertifiedValues) {
  TMatrix X;
  TVector y, b, se, res;
  Load(X, y, kLongley, 16, 6);
  double r2 = 0;
  ASSERT_TRUE(MultiLinReg(&X, &y, true, &b, &se, r2, &res));
  // NIST StRD Longley, certified parameter estimates and standard deviations.
  const double cb[] = {-3482258.63459582, 15.0618722713733, -0.358191792925910E-01,
                       -2.02022980381683, -1.03322686717359, -0.511041056535807E-01,
                       1829.15146461355};
  const double cse[] = {890420.383607373, 84.9149257747669, 0.334910077722432E-01,
                        0.488399681651699, 0.214274163161675, 0.226073200069370,
                        455.478499142212};
  ASSERT_EQ(b.NrOfElem(), 7);
  // The condition number of Longley is about 1e7 after centring: 1e-8 relative is the
  // accuracy a backward-stable solver can promise.
  for (int k = 0; k < 7; ++k) {
    EXPECT_REL_NEAR(b.GetVal(k + 1), cb[k], 1e-8) << k;
    EXPECT_REL_NEAR(se.GetVal(k + 1), cse[k], 1e-8) << k;
  }
  // Certified R-squared 0.995479004577296, residual standard deviation 304.854073561965.
  EXPECT_NEAR(r2, 0.995479004577296, 1e-12);
  double rss = 0;
  for (int i = 1; i <= 16; ++i) rss += res.GetVal(i) * res.GetVal(i);
  EXPECT_NEAR(std::sqrt(rss / 9), 304.854073561965, 1e-7);
}

TEST(MultiLinReg, NistNorrisAndDegenerateCases) {
  TMatrix X;
  TVector y, b, se;
  Load(X, y, kNorris, 36, 1);
  double r2 = 0;
  ASSERT_TRUE(MultiLinReg(&X, &y, true, &b, &se, r2, nullptr));
  // NIST StRD Norris, certified values.
  EXPECT_NEAR(b.GetVal(1), -0.262323073774029, 1e-12);
  EXPECT_NEAR(b.GetVal(2), 1.00211681802045, 1e-13);
  EXPECT_NEAR(se.GetVal(1), 0.232818234301152, 1e-12);
  EXPECT_NEAR(se.GetVal(2), 0.429796848199937E-03, 1e-15);
  EXPECT_NEAR(r2, 0.999993745883712, 1e-13);

  // Exact data y = 2 - 3 x1 + 0.5 x2 with a duplicated (collinear) column x3 = x1: the
  // minimum-norm solution shares the slope -3 equally between x1 and x3.
  X.Resize(3, 6);
  y.Resize(6);
  const double x1[] = {1, 2, 4, 7, 11, 16}, x2[] = {3, -1, 4, 1, -5, 9};
  for (int r = 0; r < 6; ++r) {
    X.SetVal(1, r + 1, x1[r]);
    X.SetVal(2, r + 1, x2[r]);
    X.SetVal(3, r + 1, x1[r]);
    y.SetVal(r + 1, 2 - 3 * x1[r] + 0.5 * x2[r]);
  }
  TVector res;
  ASSERT_TRUE(MultiLinReg(&X, &y, true, &b, nullptr, r2, &res));
  EXPECT_NEAR(b.GetVal(1), 2, 1e-12);
  EXPECT_NEAR(b.GetVal(2), -1.5, 1e-12);
  EXPECT_NEAR(b.GetVal(3), 0.5, 1e-12);
  EXPECT_NEAR(b.GetVal(4), -1.5, 1e-12);
  EXPECT_NEAR(r2, 1.0, 1e-14);
  for (int i = 1; i <= 6; ++i) EXPECT_NEAR(res.GetVal(i), 0.0, 1e-12);
  // Without intercept: the fit through the origin of y = 3 x is exact.
  X.Resize(1, 3);
  y.Resize(3);
  for (int r = 1; r <= 3; ++r) {
    X.SetVal(1, r, r);
    y.SetVal(r, 3 * r);
  }
  ASSERT_TRUE(MultiLinReg(&X, &y, false, &b, &se, r2, nullptr));
  EXPECT_EQ(b.GetVal(1), 0.0);
  EXPECT_NEAR(b.GetVal(2), 3.0, 1e-14);
  // Wrong length of y, absent arguments.
  y.Resize(4);
  EXPECT_FALSE(MultiLinReg(&X, &y, true, &b, &se, r2, nullptr));
  EXPECT_FALSE(MultiLinReg(nullptr, &y, true, &b, &se, r2, nullptr));
}

TEST(RidgeReg, OrthogonalDesignClosedForm) {
  // Centred orthogonal columns x1 = (1, -1, 1, -1), x2 = (1, 1, -1, -1): X^T X = 4 I, so
  // the ridge slopes are X^T y / (4 + lambda). y = (3, 1, 4, 1): mean 2.25, X^T y = 5, -1.
  TMatrix X;
  TVector y, b, res;
  X.Resize(2, 4);
  y.Resize(4);
  const double x1[] = {1, -1, 1, -1}, x2[] = {1, 1, -1, -1}, yv[] = {3, 1, 4, 1};
  for (int r = 0; r < 4; ++r) {
    X.SetVal(1, r + 1, x1[r] + 10);  // an offset the intercept absorbs
    X.SetVal(2, r + 1, x2[r]);
    y.SetVal(r + 1, yv[r]);
  }
  for (double lambda : {0.0, 1.0, 6.5}) {
    ASSERT_TRUE(RidgeReg(&X, &y, lambda, &b, &res));
    EXPECT_NEAR(b.GetVal(2), 5 / (4 + lambda), 1e-14);
    EXPECT_NEAR(b.GetVal(3), -1 / (4 + lambda), 1e-14);
    EXPECT_NEAR(b.GetVal(1), 2.25 - 10 * b.GetVal(2), 1e-13);
    EXPECT_NEAR(res.GetVal(1), 3 - b.GetVal(1) - 11 * b.GetVal(2) - b.GetVal(3), 1e-13);
  }
  EXPECT_FALSE(RidgeReg(&X, &y, -1, &b, nullptr));
  EXPECT_FALSE(RidgeReg(&X, &y, NAN, &b, nullptr));

  // Standardized: each column has standard deviation sqrt(4/3), so z^T z = 3 and the
  // standardized slopes are z^T y / (3 + lambda) = (5, -1) / sqrt(4/3) / (3 + lambda).
  TVector means, sds;
  X.SetVal(2, 1, 1);
  ASSERT_TRUE(RidgeRegStd(&X, &y, 2.0, &b, &means, &sds, &res));
  const double s = std::sqrt(4.0 / 3);
  EXPECT_NEAR(b.GetVal(1), 2.25, 1e-14);
  EXPECT_NEAR(b.GetVal(2), 5 / s / 5, 1e-14);
  EXPECT_NEAR(b.GetVal(3), -1 / s / 5, 1e-14);
  EXPECT_NEAR(means.GetVal(1), 10, 1e-14);
  EXPECT_NEAR(sds.GetVal(2), s, 1e-14);
  EXPECT_NEAR(res.GetVal(2), 1 - 2.25 - b.GetVal(2) * (-1 / s) - b.GetVal(3) * (1 / s), 1e-13);
}
