// Kolmogorov-Smirnov, Lilliefors and Shapiro-Wilk tests of normality.
#include "Nuv_statis/hyptest_normality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_statis/normal_distribution.h"
#include "Nuv_statis/shapiro_wilk.h"

namespace nuv {

namespace {

// D of the ascending values v[0..n-1] against Phi; NaN as soon as a value is NaN.
double KSDistanceToNormal(const double* v, int32_t n) {
  double D = 0;
  const double dn = n;
  for (int32_t i = 0; i < n; ++i) {
    const double F = nDistriIntegral(v[i]);
    if (std::isnan(F)) return F;
    D = std::max(D, std::max(std::fabs((i + 1) / dn - F), std::fabs(i / dn - F)));
  }
  return D;
}

constexpr int32_t kSWMinN = 3;
constexpr int32_t kSWMaxN = 5000;

// Royston's polynomial corrections, in u = 1/sqrt(n), of the two outermost coefficients.
constexpr double kSWOuter1[5] = {0.221157, -0.147981, -2.071190, 4.434685, -2.706056};
constexpr double kSWOuter2[5] = {0.042981, -0.293762, -1.752461, 5.682633, -3.582633};

double OuterCorrection(const double (&c)[5], double u) {
  return u * (c[0] + u * (c[1] + u * (c[2] + u * (c[3] + u * c[4]))));
}

// The positive half of the antisymmetric Shapiro-Wilk coefficients: a[i] belongs to the
// order statistic n - i (0-based), -a[i] to order statistic i. The expected normal order
// statistics are approximated by m_i = Phi^-1((i - 3/8)/(n + 1/4)); the two outermost
// coefficients get Royston's corrections and the rest is rescaled so that sum a^2 = 1.
void ShapiroWilkCoefficients(int32_t n, std::vector<double>& a) {
  const int32_t half = n / 2;
  a.assign(static_cast<size_t>(half), 0.0);
  if (n == 3) {
    a[0] = std::sqrt(0.5);
    return;
  }
  double sumSq = 0;
  for (int32_t i = 0; i < half; ++i) {
    a[static_cast<size_t>(i)] = -nDistriQuantile((i + 1 - 0.375) / (n + 0.25));
    sumSq += a[static_cast<size_t>(i)] * a[static_cast<size_t>(i)];
  }
  sumSq *= 2;
  const double root = std::sqrt(sumSq);
  const double u = 1 / std::sqrt(static_cast<double>(n));
  const double m1 = a[0];
  const double a1 = m1 / root + OuterCorrection(kSWOuter1, u);
  int32_t first;
  double eps;
  if (n > 5) {
    const double m2 = a[1];
    const double a2 = m2 / root + OuterCorrection(kSWOuter2, u);
    eps = (sumSq - 2 * m1 * m1 - 2 * m2 * m2) / (1 - 2 * a1 * a1 - 2 * a2 * a2);
    a[1] = a2;
    first = 2;
  } else {
    eps = (sumSq - 2 * m1 * m1) / (1 - 2 * a1 * a1);
    first = 1;
  }
  a[0] = a1;
  const double scale = 1 / std::sqrt(eps);
  for (int32_t i = first; i < half; ++i) a[static_cast<size_t>(i)] *= scale;
}

}  // namespace

double PerformKSNormalityTest(TVector* Data, bool Sorted) {
  if (Data == nullptr) return -1.0;
  if (!Sorted) Data->SortElems(true, 0, 0);
  return KSDistanceToNormal(Data->Data(), Data->NrOfElem());
}

double PerformLillieforsTest(TVector* Data, bool Sorted) {
  if (Data == nullptr) return -1.0;
  if (!Sorted) Data->SortElems(true, 0, 0);
  double mean, sd;
  Data->Standardize(mean, sd);
  return KSDistanceToNormal(Data->Data(), Data->NrOfElem());
}

double ShapiroWilkTest(const TVector* Data, double& W) {
  W = 0;
  const int32_t n = Data != nullptr ? Data->NrOfElem() : 0;
  if (n < kSWMinN || n > kSWMaxN) return -1.0;
  std::vector<double> x(Data->Data(), Data->Data() + n);
  for (const double v : x)
    if (!std::isfinite(v)) {
      W = std::numeric_limits<double>::quiet_NaN();
      return W;
    }
  std::sort(x.begin(), x.end());
  if (x.front() == x.back()) return -2.0;
  // Scaled to the largest magnitude, so that neither the squares of tiny spreads underflow
  // nor those of huge values overflow; W does not depend on the scale.
  const double scale = std::max(std::fabs(x.front()), std::fabs(x.back()));
  for (double& v : x) v /= scale;
  double mean = 0;
  for (const double v : x) mean += v;
  mean /= n;
  double ss = 0;
  for (const double v : x) ss += (v - mean) * (v - mean);
  // The coefficients depend on n only; a thread's last set is kept for repeated tests.
  thread_local int32_t cachedN = 0;
  thread_local std::vector<double> a;
  if (cachedN != n) {
    cachedN = 0;
    ShapiroWilkCoefficients(n, a);
    cachedN = n;
  }
  double sax = 0;
  for (int32_t i = 0; i < n / 2; ++i)
    sax +=
        a[static_cast<size_t>(i)] * (x[static_cast<size_t>(n - 1 - i)] - x[static_cast<size_t>(i)]);
  W = std::min(1.0, sax * sax / ss);
  return ShapiroWilkIntegral(W, n, n);
}

}  // namespace nuv
