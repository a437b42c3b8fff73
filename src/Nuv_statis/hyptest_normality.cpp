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

// Phi^-1(p) for 0 < p <= 1/2: Acklam's rational approximation (relative error below
// 1.2e-9) and one Halley step on Phi(z) = p through erf or erfc, which takes it to 5e-16 at
// a tenth of the cost of nDistriQuantile's iteration.
double NormalQuantileLowerHalf(double p) {
  constexpr double a[6] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                           1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  constexpr double b[5] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                           6.680131188771972e+01, -1.328068155288572e+01};
  constexpr double c[6] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                           -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  constexpr double d[4] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                           3.754408661907416e+00};
  double z;
  if (p < 0.02425) {
    const double q = std::sqrt(-2 * std::log(p));
    z = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  } else {
    const double q = p - 0.5, r = q * q;
    z = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  }
  // Phi(z) - p; near the centre from erf against the exact p - 1/2, so that z keeps its
  // relative accuracy as it approaches 0.
  const double e = p > 0.25 ? 0.5 * std::erf(z / std::sqrt(2.0)) - (p - 0.5)
                            : 0.5 * std::erfc(-z / std::sqrt(2.0)) - p;
  const double u = e * std::sqrt(2 * 3.14159265358979323846) * std::exp(0.5 * z * z);
  return z - u / (1 + 0.5 * z * u);
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
    a[static_cast<size_t>(i)] = -NormalQuantileLowerHalf((i + 1 - 0.375) / (n + 0.25));
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
