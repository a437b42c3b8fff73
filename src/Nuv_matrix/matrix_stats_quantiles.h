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
#include "foundation/frame.h"

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
template <class T, class W>
bool CopyBlock(const T* Base, int64_t Stride, int32_t NRows, const TMatBlock& B,
               std::vector<W>& Work) {
  const int64_t n = B.Count();
  Work.clear();
  if (!ByteCountFits(static_cast<size_t>(n), sizeof(W))) return false;
  try {
    Work.reserve(static_cast<size_t>(n));
  } catch (const std::exception&) {
    return false;
  }
  ForEachSpan(Base, Stride, NRows, B,
              [&](const T* p, int64_t k) { Work.insert(Work.end(), p, p + k); });
  return true;
}

/// Quartiles of the block of Mat (elements from Base) at the positions (n + 1) p;
/// false, with 0, 0, 0, for an empty block. Raises "not enough memory on heap".
template <class M, class T>
bool QuartilesOf(const M& Mat, const T* Base, const TMatBlock& B, double& Q1, double& Q2,
                 double& Q3) {
  Q1 = Q2 = Q3 = 0.0;
  const int64_t n = B.Count();
  if (n == 0) return false;
  // Only the order statistics that the quartiles interpolate between are
  // selected; sorting the whole work copy would give the same values.
  std::vector<T> work;
  if (!CopyBlock(Base, Mat.ColStride(), Mat.NrOfRows(), B, work))
    RaiseComponentError<ENUVMatrixError>(&Mat, "not enough memory on heap");
  QuartilesOf(work, Q1, Q2, Q3);
  return true;
}

/// The percentile of the block in a double work copy (0 for an empty block).
/// Raises "not enough memory on heap".
template <class M, class T>
double BlockPercentileOf(const M& Mat, const T* Base, const TMatBlock& B, double Prob) {
  if (B.Count() == 0) return 0.0;
  std::vector<double> work;
  if (!CopyBlock(Base, Mat.ColStride(), Mat.NrOfRows(), B, work))
    RaiseComponentError<ENUVMatrixError>(&Mat, "not enough memory on heap");
  return PercentileOf(work, Prob);
}

/// The percentile of SampleSize values drawn with replacement from the block
/// (0 < SampleSize < block count), after Randomize, column offset first. With
/// ZeroShortcut a rank that falls among the drawn zeros gives 0 without selecting.
template <class M, class T>
double SampledPercentileOf(const M& Mat, const T* Base, const TMatBlock& B, double Prob,
                           int32_t SampleSize, bool ZeroShortcut) {
  if (Prob < 0) Prob = 0;
  if (Prob > 100) Prob = 100;
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(SampleSize)))
    RaiseComponentError<ENUVMatrixError>(&Mat, "not enough memory on heap");
  Randomize();
  const int32_t cols = static_cast<int32_t>(B.Cols());
  const int32_t rows = static_cast<int32_t>(B.Rows());
  const size_t stride = static_cast<size_t>(Mat.ColStride());
  int64_t zeros = 0, negatives = 0;
  for (double& v : work) {
    const int32_t c = B.C1 + Random(cols);
    const int32_t r = B.R1 + Random(rows);
    v = static_cast<double>(Base[static_cast<size_t>(c - 1) * stride + static_cast<size_t>(r - 1)]);
    zeros += v == 0.0;
    negatives += v < 0.0;
  }
  if (!ZeroShortcut) return PercentileOf(work, Prob);
  const double P = Prob / 100;
  const double S = SampleSize;
  if (P <= static_cast<double>(negatives) / S || P >= static_cast<double>(negatives + zeros) / S)
    return PercentileOf(work, Prob);
  if (std::isnan(P)) return PercentileOf(work, Prob);
  return 0.0;
}

}  // namespace detail
}  // namespace nuv
