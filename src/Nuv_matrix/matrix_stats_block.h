// Scanning rectangular blocks of a column-major matrix: the clipped block, its
// contiguous spans, and lane accumulators that let the compiler keep eight
// independent partial results in SIMD registers. Private to the statistics.
#pragma once

#include <cstdint>
#include <limits>

#include "Nuv_matrix/matrix_core.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nuv {
namespace detail {

/// A clipped block, 1-based inclusive bounds; empty when a dimension has no
/// element (then High = Low - 1, as MakeValidRange leaves a 0 count).
struct TMatBlock {
  int32_t C1 = 1, C2 = 0, R1 = 1, R2 = 0;

  int64_t Cols() const { return C2 >= C1 ? int64_t{C2} - C1 + 1 : 0; }
  int64_t Rows() const { return R2 >= R1 ? int64_t{R2} - R1 + 1 : 0; }
  int64_t Count() const { return Cols() * Rows(); }
};

/// The block of a column range and a row range, each made valid ((0, 0) is all).
template <class M>
TMatBlock MakeBlock(const M& Mat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                           int32_t HighRow) {
  Mat.MakeValidColRange(LowCol, HighCol);
  Mat.MakeValidRowRange(LowRow, HighRow);
  TMatBlock b;
  b.C1 = LowCol;
  b.C2 = HighCol;
  b.R1 = LowRow;
  b.R2 = HighRow;
  return b;
}

/// Calls Span(p, len) for the contiguous pieces of the block in block order
/// (columns outer, rows inner). Whole columns of a matrix whose stride equals
/// its row count form one piece.
template <class T, class F>
void ForEachSpan(const T* Base, int64_t Stride, int32_t NRows, const TMatBlock& B, F&& Span) {
  const int64_t rows = B.Rows();
  const int64_t cols = B.Cols();
  if (rows == 0 || cols == 0) return;
  const T* first = Base + (B.C1 - 1) * Stride + (B.R1 - 1);
  if (B.R1 == 1 && B.R2 == NRows && Stride == rows) {
    Span(first, rows * cols);
    return;
  }
  for (int64_t c = 0; c < cols; ++c) Span(first + c * Stride, rows);
}

inline constexpr int kLanes = 8;

/// Sum in eight interleaved partial sums; the pieces may be fed one by one.
struct TLaneSum {
  double S[kLanes] = {};

  void Add(const double* p, int64_t n) {
    int64_t i = 0;
    for (; i + kLanes <= n; i += kLanes)
      for (int j = 0; j < kLanes; ++j) S[j] += p[i + j];
    for (int j = 0; i < n; ++i, ++j) S[j] += p[i];
  }
  double Total() const { return ((S[0] + S[1]) + (S[2] + S[3])) + ((S[4] + S[5]) + (S[6] + S[7])); }
};

/// Sums of x and x^2 in eight lanes each.
struct TLaneSum2 {
  double S[kLanes] = {};
  double Q[kLanes] = {};

  void Add(const double* p, int64_t n) {
    int64_t i = 0;
#if defined(__SSE2__)
    // The same eight lanes, two to a register (the compiler does not find
    // this for two accumulators per lane).
    __m128d s[4], q[4];
    for (int v = 0; v < 4; ++v) {
      s[v] = _mm_loadu_pd(S + 2 * v);
      q[v] = _mm_loadu_pd(Q + 2 * v);
    }
    for (; i + kLanes <= n; i += kLanes) {
      for (int v = 0; v < 4; ++v) {
        const __m128d x = _mm_loadu_pd(p + i + 2 * v);
        s[v] = _mm_add_pd(s[v], x);
        q[v] = _mm_add_pd(q[v], _mm_mul_pd(x, x));
      }
    }
    for (int v = 0; v < 4; ++v) {
      _mm_storeu_pd(S + 2 * v, s[v]);
      _mm_storeu_pd(Q + 2 * v, q[v]);
    }
#endif
    for (; i + kLanes <= n; i += kLanes) {
      for (int j = 0; j < kLanes; ++j) {
        const double x = p[i + j];
        S[j] += x;
        Q[j] += x * x;
      }
    }
    for (int j = 0; i < n; ++i, ++j) {
      S[j] += p[i];
      Q[j] += p[i] * p[i];
    }
  }
  static double Fold(const double* a) {
    return ((a[0] + a[1]) + (a[2] + a[3])) + ((a[4] + a[5]) + (a[6] + a[7]));
  }
  double Sum() const { return Fold(S); }
  double SumSq() const { return Fold(Q); }
};

/// Extremes in eight lanes. NaN is never taken (an unordered comparison keeps
/// the lane); a lane that saw nothing stays at +inf / -inf.
struct TLaneMinMax {
  double Mn[kLanes], Mx[kLanes];

  TLaneMinMax() {
    for (int j = 0; j < kLanes; ++j) {
      Mn[j] = std::numeric_limits<double>::infinity();
      Mx[j] = -std::numeric_limits<double>::infinity();
    }
  }
  void Add(const double* p, int64_t n) {
    int64_t i = 0;
#if defined(__SSE2__)
    // MINPD and MAXPD return their second operand when either is NaN, which
    // is x < m ? x : m and x > m ? x : m: NaN never enters a lane.
    __m128d mn[4], mx[4];
    for (int v = 0; v < 4; ++v) {
      mn[v] = _mm_loadu_pd(Mn + 2 * v);
      mx[v] = _mm_loadu_pd(Mx + 2 * v);
    }
    for (; i + kLanes <= n; i += kLanes) {
      for (int v = 0; v < 4; ++v) {
        const __m128d x = _mm_loadu_pd(p + i + 2 * v);
        mn[v] = _mm_min_pd(x, mn[v]);
        mx[v] = _mm_max_pd(x, mx[v]);
      }
    }
    for (int v = 0; v < 4; ++v) {
      _mm_storeu_pd(Mn + 2 * v, mn[v]);
      _mm_storeu_pd(Mx + 2 * v, mx[v]);
    }
#endif
    for (; i + kLanes <= n; i += kLanes) {
      for (int j = 0; j < kLanes; ++j) {
        const double x = p[i + j];
        Mn[j] = x < Mn[j] ? x : Mn[j];
        Mx[j] = x > Mx[j] ? x : Mx[j];
      }
    }
    for (int j = 0; i < n; ++i, ++j) {
      const double x = p[i];
      Mn[j] = x < Mn[j] ? x : Mn[j];
      Mx[j] = x > Mx[j] ? x : Mx[j];
    }
  }
  /// False when no comparable value was seen.
  bool Result(double& Minimum, double& Maximum) const {
    double mn = Mn[0], mx = Mx[0];
    for (int j = 1; j < kLanes; ++j) {
      mn = Mn[j] < mn ? Mn[j] : mn;
      mx = Mx[j] > mx ? Mx[j] : mx;
    }
    if (mn > mx) return false;
    Minimum = mn;
    Maximum = mx;
    return true;
  }
};

/// Minimum and maximum of a block whose spans ForEach(Span, Reporting) feeds
/// to Span(p, n) in block order; ForEach returns false when it stopped early,
/// and reports progress only when Reporting. NaN is never taken; of equal
/// zeros the first in block order (with its sign) is kept; with no comparable
/// value the start values uc_MaxReal and -uc_MaxReal stay.
template <class Each>
void BlockMinMax(Each&& ForEach, double& Minimum, double& Maximum) {
  Minimum = uc_MaxReal;
  Maximum = -uc_MaxReal;
  TLaneMinMax mm;
  const bool whole = ForEach(
      [&](const double* p, int64_t n) {
        mm.Add(p, n);
        return true;
      },
      true);
  double mn, mx;
  if (!mm.Result(mn, mx)) return;
  // The lanes cannot tell -0 from +0; the scan in block order keeps the first
  // zero it meets, so look that one up.
  if (whole && (mn == 0 || mx == 0)) {
    bool haveMn = mn != 0, haveMx = mx != 0;
    ForEach(
        [&](const double* p, int64_t n) {
          for (int64_t i = 0; i < n && !(haveMn && haveMx); ++i) {
            if (p[i] != 0) continue;
            if (!haveMn) mn = p[i];
            if (!haveMx) mx = p[i];
            haveMn = haveMx = true;
          }
          return !(haveMn && haveMx);
        },
        false);
  }
  Minimum = mn;
  Maximum = mx;
}

/// Mean and variance of n values from their sum S and sum of squares Q: mean
/// 0 for no value, variance 1.0 for two values or fewer, else (Q - S^2 / n) / (n - 1).
inline void MeanVarOf(int64_t n, double S, double Q, double& Mean, double& Variance) {
  Mean = n > 0 ? S / static_cast<double>(n) : 0.0;
  if (n <= 2) {
    Variance = 1.0;
    return;
  }
  const double dn = static_cast<double>(n);
  Variance = (Q - S * S / dn) / (dn - 1);
}

}  // namespace detail
}  // namespace nuv
