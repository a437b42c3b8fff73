// Two-sample t tests and the Mann-Whitney U test.
#include "Nuv_statis/hyptest_twosample.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_statis/gamma_beta_accurate.h"
#include "Nuv_statis/mann_whitney_u.h"
#include "foundation/types.h"

namespace nuv {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Mean of the offsets v[i] - Ref and sum of squared deviations of v[0..n-1], n >= 1: two
// passes, the second one correcting the mean's rounding. Offsets from a value of the data
// keep means of data far from 0 (near 1e8 with unit spread) as accurate as their spread.
void OffsetMeanAndSS(const double* v, int64_t n, double Ref, double& Mean, double& SS) {
  double s = 0;
  for (int64_t i = 0; i < n; ++i) s += v[i] - Ref;
  Mean = s / static_cast<double>(n);
  double ss = 0, r = 0;
  for (int64_t i = 0; i < n; ++i) {
    const double d = v[i] - Ref - Mean;
    ss += d * d;
    r += d;
  }
  SS = std::max(0.0, ss - r * r / static_cast<double>(n));
  Mean += r / static_cast<double>(n);
}

// P(|T| >= |t|) for T ~ t(nu), nu > 0 not necessarily whole: I_x(nu/2, 1/2) at
// x = nu/(nu + t^2), formed with its complement so that neither loses digits.
double TTwoSided(double t, double nu) {
  if (std::isnan(t) || std::isnan(nu)) return kNaN;
  if (t == 0) return 1.0;
  const Extended tt = static_cast<Extended>(t) * t;
  const Extended den = nu + tt;
  return static_cast<double>(statis_detail::BetaTails(0.5L * nu, 0.5L, nu / den, tt / den).Lower);
}

// t, degrees of freedom and the code of the chosen variant; 0 when t is defined.
int32_t TStatistic(const TVector* Data1, const TVector* Data2, TtTestVersion Version, double& t,
                   double& DegFree) {
  t = DegFree = 0;
  if (Data1 == nullptr || Data2 == nullptr || Version > ttHeteroScedastic) return -1;
  const int64_t n1 = Data1->NrOfElem(), n2 = Data2->NrOfElem();
  double diff, se2;
  if (Version == ttPaired) {
    if (n1 != n2) return -3;
    if (n1 < 2) return -2;
    std::vector<double> d(static_cast<size_t>(n1));
    for (int64_t i = 0; i < n1; ++i)
      d[static_cast<size_t>(i)] = Data1->Data()[i] - Data2->Data()[i];
    double ss;
    OffsetMeanAndSS(d.data(), n1, 0.0, diff, ss);
    DegFree = static_cast<double>(n1 - 1);
    se2 = ss / DegFree / static_cast<double>(n1);
  } else {
    if (Version == ttHomoScedastic ? n1 + n2 < 3 : (n1 < 2 || n2 < 2)) return -2;
    double m1, ss1, m2, ss2;
    const double ref = Data1->Data()[0];
    OffsetMeanAndSS(Data1->Data(), n1, ref, m1, ss1);
    OffsetMeanAndSS(Data2->Data(), n2, ref, m2, ss2);
    diff = m1 - m2;
    const double d1 = static_cast<double>(n1), d2 = static_cast<double>(n2);
    if (Version == ttHomoScedastic) {
      DegFree = d1 + d2 - 2;
      se2 = (ss1 + ss2) / DegFree * (1 / d1 + 1 / d2);
    } else {
      const double q1 = ss1 / (d1 - 1) / d1, q2 = ss2 / (d2 - 1) / d2;
      se2 = q1 + q2;
      // With both variances 0 the Welch degrees of freedom are 0/0; the pooled ones stand in.
      DegFree = se2 > 0 ? se2 * se2 / (q1 * q1 / (d1 - 1) + q2 * q2 / (d2 - 1)) : d1 + d2 - 2;
    }
  }
  if (se2 == 0) {
    if (diff == 0) return -4;
    t = diff > 0 ? uc_MaxReal : -uc_MaxReal;
    return 0;
  }
  t = diff / std::sqrt(se2);
  return 0;
}

}  // namespace

double Perform2SampleTTest(const TVector* Data1, const TVector* Data2, TtTestVersion TestVersion,
                           double& t, double& DegFree) {
  const int32_t code = TStatistic(Data1, Data2, TestVersion, t, DegFree);
  if (code != 0) return code;
  if (std::fabs(t) == uc_MaxReal) return 0.0;
  return TTwoSided(t, DegFree);
}

double Perform2SampleTTest(const TVector* Data1, const TVector* Data2, TtTestVersion TestVersion,
                           double& t, double& DegFree, double& pLess, double& pGreater) {
  pLess = pGreater = -1;
  const double p = Perform2SampleTTest(Data1, Data2, TestVersion, t, DegFree);
  if (p < 0) return p;
  // The tail on the side of t is half the two-sided p-value; the other one its complement.
  const double tail = p / 2;
  if (std::isnan(p)) {
    pLess = pGreater = p;
  } else if (t < 0) {
    pLess = tail;
    pGreater = 1 - tail;
  } else {
    pGreater = tail;
    pLess = 1 - tail;
  }
  return p;
}

double PerformMannWhitneyUTest(const TVector* Data1, const TVector* Data2, double& U, double& z) {
  U = z = 0;
  if (Data1 == nullptr || Data2 == nullptr) return -1.0;
  const int64_t n1 = Data1->NrOfElem(), n2 = Data2->NrOfElem();
  std::vector<double> a(Data1->Data(), Data1->Data() + n1);
  std::vector<double> b(Data2->Data(), Data2->Data() + n2);
  const auto isNaN = [](double v) { return std::isnan(v); };
  if (std::any_of(a.begin(), a.end(), isNaN) || std::any_of(b.begin(), b.end(), isNaN)) {
    U = z = kNaN;
    return kNaN;
  }
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  // One merge over the tie groups of the pooled sample: a group with c1 values of Data1 and
  // c2 of Data2 above j values of Data2 adds c1 j + c1 c2/2 to U (counted twice here).
  uint64_t twiceU = 0;
  double tieSum = 0;  // sum of t^3 - t over the tie groups
  bool ties = false;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const double v = j == b.size() || (i < a.size() && a[i] < b[j]) ? a[i] : b[j];
    const size_t i0 = i, j0 = j;
    while (i < a.size() && a[i] == v) ++i;
    while (j < b.size() && b[j] == v) ++j;
    const uint64_t c1 = i - i0, c2 = j - j0;
    twiceU += 2 * c1 * j0 + c1 * c2;
    const double c = static_cast<double>(c1 + c2);
    if (c > 1) {
      ties = true;
      tieSum += (c - 1) * c * (c + 1);
    }
  }
  U = static_cast<double>(twiceU) / 2;
  const double d1 = static_cast<double>(n1), d2 = static_cast<double>(n2), N = d1 + d2;
  const double mu = d1 * d2 / 2;
  const double sigma = std::sqrt(d1 * d2 / 12 * ((N + 1) - tieSum / (N * (N - 1))));
  const double excess = std::max(std::fabs(U - mu) - 0.5, 0.0);
  z = excess == 0 || !(sigma > 0) ? 0.0 : std::copysign(excess / sigma, U - mu);
  if (!ties && n1 * n2 <= UDistriExactLimit) {
    const double lower = std::min(U, d1 * d2 - U);
    return std::min(1.0, 2 * UDistriIntegral(static_cast<int32_t>(lower), static_cast<int32_t>(n1),
                                             static_cast<int32_t>(n2)));
  }
  // 2 Phi(-|z|)
  return std::erfc(std::fabs(z) / std::sqrt(2.0));
}

}  // namespace nuv
