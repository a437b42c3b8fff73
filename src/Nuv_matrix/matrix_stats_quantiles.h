// Work copies of matrix blocks and the order statistics taken from them:
// quartile positions (n + 1) p and the rounded percentile rank. Private to the
// matrix statistics and normalization.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <vector>

#include "Nuv_matrix/matrix_stats_block.h"
#include "Nuv_vector/order_stats.h"

namespace nuv {
namespace detail {

/// 0-based rank of the percentile Prob (percent, clipped to 0..100) among n
/// values: n Prob / 100 rounded half to even, at most n - 1.
inline int64_t PercentileRank(int64_t n, double Prob) {
  if (Prob < 0) Prob = 0;
  if (Prob > 100) Prob = 100;
  const double k = std::nearbyint(static_cast<double>(n) * Prob / 100);
  return k > static_cast<double>(n - 1) ? n - 1 : static_cast<int64_t>(k);
}

/// True when one of the n values is NaN (one branch-free pass).
inline bool AnyNaN(const double* p, int64_t n) {
  bool bad = false;
  for (int64_t i = 0; i < n; ++i) bad |= p[i] != p[i];
  return bad;
}

/// The value of the percentile rank of Prob in Work (reordered; NaN counts as
/// the largest value). 0 for no values, NaN for a NaN Prob.
inline double PercentileOf(std::vector<double>& Work, double Prob) {
  const int64_t n = static_cast<int64_t>(Work.size());
  if (n == 0) return 0.0;
  if (std::isnan(Prob)) return std::numeric_limits<double>::quiet_NaN();
  TOrderPos pos;
  pos.K = PercentileRank(n, Prob);
  if (AnyNaN(Work.data(), n)) {
    SelectOrderPositions(Work, &pos, 1);
  } else {
    std::nth_element(Work.begin(), Work.begin() + pos.K, Work.end());
  }
  return Work[static_cast<size_t>(pos.K)];
}

/// Copies the block (columns outer, rows inner) into Work; false when the
/// memory cannot be had.
inline bool CopyBlock(const double* Base, int64_t Stride, int32_t NRows, const TMatBlock& B,
                      std::vector<double>& Work) {
  const int64_t n = B.Count();
  Work.clear();
  if (!ByteCountFits(static_cast<size_t>(n), sizeof(double))) return false;
  try {
    Work.reserve(static_cast<size_t>(n));
  } catch (const std::exception&) {
    return false;
  }
  ForEachSpan(Base, Stride, NRows, B,
              [&](const double* p, int64_t k) { Work.insert(Work.end(), p, p + k); });
  return true;
}

}  // namespace detail
}  // namespace nuv
