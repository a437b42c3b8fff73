// Selection of the few order statistics that quartiles and percentiles need,
// instead of sorting the whole work copy. NaN counts as larger than every
// number, as in the library's sorts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace nuv {
namespace detail {

/// An interpolation position in a sorted array: a[K] + (a[K + 1] - a[K]) * F, or a[K] when F is 0.
struct TOrderPos {
  int64_t K = 0;
  double F = 0.0;
};

/// Quartile position (n + 1) p counted from 1, clipped to the first and last value.
inline TOrderPos QuartilePos(int64_t n, double p) {
  const double pos = static_cast<double>(n + 1) * p;
  const int64_t k = static_cast<int64_t>(std::floor(pos));
  if (k < 1) return {0, 0.0};
  if (k >= n) return {n - 1, 0.0};
  return {k - 1, pos - static_cast<double>(k)};
}

/// Percentile position (n - 1) Prob / 100 counted from 0; Prob in 0..100.
inline TOrderPos PercentilePos(int64_t n, double Prob) {
  if (Prob >= 100) return {n - 1, 0.0};
  const double pos = static_cast<double>(n - 1) * Prob / 100.0;
  const int64_t k = static_cast<int64_t>(std::floor(pos));
  return {k, pos - static_cast<double>(k)};
}

template <class T>
void SelectIndices(T* a, int64_t lo, int64_t hi, const int64_t* idx, int64_t count) {
  // Invariant: every element of [lo, hi) lies between those before and after it in order.
  while (count > 0 && hi - lo > 1) {
    if (idx[0] == lo) {
      // The smallest of the range: one scan is cheaper than a selection.
      std::iter_swap(a + lo, std::min_element(a + lo, a + hi));
      ++lo;
      ++idx;
      --count;
      continue;
    }
    const int64_t mid = count / 2;
    const int64_t km = idx[mid];
    std::nth_element(a + lo, a + km, a + hi);
    SelectIndices(a, lo, km, idx, mid);
    lo = km + 1;
    idx += mid + 1;
    count -= mid + 1;
  }
}

/// Reorders a so that every value the positions read holds its sorted-order value.
template <class T>
void SelectOrderPositions(std::vector<T>& a, const TOrderPos* pos, int count) {
  int64_t m = static_cast<int64_t>(a.size());
  if constexpr (std::is_floating_point_v<T>) {
    const auto firstNaN = std::partition(a.begin(), a.end(), [](T x) { return !std::isnan(x); });
    m = firstNaN - a.begin();
  }
  int64_t idx[8];
  int64_t nIdx = 0;
  for (int q = 0; q < count && nIdx < 7; ++q) {
    idx[nIdx++] = pos[q].K;
    if (pos[q].F != 0.0) idx[nIdx++] = pos[q].K + 1;
  }
  std::sort(idx, idx + nIdx);
  nIdx = std::unique(idx, idx + nIdx) - idx;
  // Positions in the NaN tail are already in place.
  while (nIdx > 0 && idx[nIdx - 1] >= m) --nIdx;
  SelectIndices(a.data(), 0, m, idx, nIdx);
}

template <class T>
double Interpolate(const std::vector<T>& a, const TOrderPos& pos) {
  const double lo = static_cast<double>(a[static_cast<size_t>(pos.K)]);
  if (pos.F == 0.0) return lo;
  const double hi = static_cast<double>(a[static_cast<size_t>(pos.K + 1)]);
  return lo + (hi - lo) * pos.F;
}

/// The quartiles at the positions (n + 1) p of the values in Work (reordered;
/// at least one value).
template <class T>
void QuartilesOf(std::vector<T>& Work, double& Q1, double& Q2, double& Q3) {
  const auto n = static_cast<int64_t>(Work.size());
  const TOrderPos pos[3] = {QuartilePos(n, 0.25), QuartilePos(n, 0.5), QuartilePos(n, 0.75)};
  SelectOrderPositions(Work, pos, 3);
  Q1 = Interpolate(Work, pos[0]);
  Q2 = Interpolate(Work, pos[1]);
  Q3 = Interpolate(Work, pos[2]);
}

}  // namespace detail
}  // namespace nuv
