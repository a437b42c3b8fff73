#include "Nuv_statis/mann_whitney_u.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace nuv {

namespace {

/// The last distribution counted on this thread, as cumulative probabilities
/// (Cum[u] = P(U <= u)) and point probabilities.
struct TUCache {
  int32_t N1 = 0;
  int32_t N2 = 0;
  std::vector<double> Pmf;
  std::vector<double> Cum;
};
thread_local TUCache UCache;

/// Counts f(k, j), the distribution of U for sizes k and j, by the largest of
/// the k + j values: it belongs to the first sample with probability k/(k + j)
/// and then exceeds all j values of the second,
///   f(k, j)(u) = k/(k + j) f(k - 1, j)(u - j) + j/(k + j) f(k, j - 1)(u),
/// in probabilities so that only positive terms are ever added.
void CountExact(int32_t n1, int32_t n2, TUCache& c) {
  const int32_t a = std::min(n1, n2);  // the distribution is symmetric in n1, n2
  const int32_t b = std::max(n1, n2);
  std::vector<std::vector<double>> f(static_cast<size_t>(a) + 1);
  f[0].assign(1, 1.0);
  for (int32_t m = 1; m <= a + b; ++m) {
    const int32_t kLo = std::max(0, m - b);
    const int32_t kHi = std::min(m, a);
    for (int32_t k = kHi; k >= std::max(kLo, 1); --k) {
      const int32_t j = m - k;
      const double wk = static_cast<double>(k) / m;
      const double wj = static_cast<double>(j) / m;
      std::vector<double> next(static_cast<size_t>(k) * j + 1, 0.0);
      if (j > 0) {
        const std::vector<double>& same = f[k];  // f(k, j - 1)
        for (size_t u = 0; u < same.size(); ++u) next[u] = wj * same[u];
      }
      const std::vector<double>& less = f[k - 1];  // f(k - 1, j)
      double* dst = next.data() + j;
      for (size_t u = 0; u < less.size(); ++u) dst[u] += wk * less[u];
      f[k].swap(next);
    }
    // f(0, j) stays the point mass at 0; rows that fall out of range are freed.
    if (kLo > 0 && kLo - 1 < a) std::vector<double>().swap(f[kLo - 1]);
  }
  c.Pmf.swap(f[a]);
  c.Cum.resize(c.Pmf.size());
  double s = 0;
  for (size_t u = 0; u < c.Pmf.size(); ++u) {
    s += c.Pmf[u];
    c.Cum[u] = s;
  }
  // The upper half from the symmetric lower half keeps its tail digits.
  const size_t top = c.Pmf.size() - 1;
  for (size_t u = 0; u <= top / 2; ++u) c.Cum[top - u] = u == 0 ? 1.0 : 1.0 - c.Cum[u - 1];
  c.N1 = n1;
  c.N2 = n2;
}

const TUCache* Exact(int32_t n1, int32_t n2) {
  if (static_cast<int64_t>(n1) * n2 > UDistriExactLimit) return nullptr;
  TUCache& c = UCache;
  if (!((c.N1 == n1 && c.N2 == n2) || (c.N1 == n2 && c.N2 == n1))) CountExact(n1, n2, c);
  return &c;
}

/// Normal approximation of P(U <= u) with continuity correction.
double ApproxCum(double u, int32_t n1, int32_t n2) {
  const double nn = static_cast<double>(n1) * n2;
  const double mu = nn / 2;
  const double sigma = std::sqrt(nn * (static_cast<double>(n1) + n2 + 1) / 12);
  return 0.5 * std::erfc(-(u + 0.5 - mu) / (sigma * std::sqrt(2.0)));
}

}  // namespace

double UDistriDensity(int32_t U, int32_t n1, int32_t n2) {
  if (n1 < 1 || n2 < 1 || U < 0 || static_cast<int64_t>(U) > static_cast<int64_t>(n1) * n2) return 0.0;
  if (const TUCache* c = Exact(n1, n2)) return c->Pmf[static_cast<size_t>(U)];
  // Symmetric difference of the smaller tail.
  const double mid = static_cast<double>(n1) * n2 / 2;
  const double uu = U <= mid ? U : 2 * mid - U;
  return ApproxCum(uu, n1, n2) - ApproxCum(uu - 1, n1, n2);
}

double UDistriIntegral(int32_t U, int32_t n1, int32_t n2) {
  if (n1 < 1 || n2 < 1 || U < 0) return 0.0;
  const int64_t top = static_cast<int64_t>(n1) * n2;
  if (U >= top) return 1.0;
  if (const TUCache* c = Exact(n1, n2)) return c->Cum[static_cast<size_t>(U)];
  return ApproxCum(U, n1, n2);
}

int32_t UDistriQuantile(int32_t n1, int32_t n2, double p) {
  if (n1 < 1 || n2 < 1 || !(p > 0 && p < 1)) return -1;
  const int64_t top = static_cast<int64_t>(n1) * n2;
  if (top > INT32_MAX) return -1;
  if (const TUCache* c = Exact(n1, n2)) {
    const auto it = std::lower_bound(c->Cum.begin(), c->Cum.end(), p);
    return static_cast<int32_t>(std::min<int64_t>(it - c->Cum.begin(), top));
  }
  // Bisection on the integer grid, where the approximation rises with u.
  double lo = 0;
  double hi = static_cast<double>(top);
  while (hi - lo > 1) {
    const double mid = std::floor((lo + hi) / 2);
    if (ApproxCum(mid, n1, n2) >= p) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  const double u = ApproxCum(lo, n1, n2) >= p ? lo : hi;
  return static_cast<int32_t>(u);
}

}  // namespace nuv
