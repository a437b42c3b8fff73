// Sorting rows and columns, mirroring, exchanging, searching and counting in
// a dense column-major matrix, shared by TMatrix and the dense TIntMatrix.
// M is the matrix class: ColData(c) gives column c's contiguous elements,
// ColStride() the distance between columns. Private to the matrix unit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "Nuv_matrix/matrix_sort_comb.h"
#include "Nuv_matrix/matrix_stats_block.h"
#include "foundation/frame.h"

namespace nuv {
namespace detail {

template <class M>
[[noreturn]] void RaiseMatrixNoHeap(const M& Mat) {
  RaiseComponentError<ENUVMatrixError>(&Mat, "not enough memory on heap");
}

// Key indices outside the matrix read as 0 like any element outside it, so
// every key is equal and nothing moves; the sort then only fires OnChange.
// With an OnSortExchange handler each exchange happens in the matrix and is
// reported at once; without one the keys are sorted with a permutation and the
// rows are moved once, which ends in the same arrangement.
template <class M>
void SortRowsOf(M& Mat, int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow) {
  using T = std::remove_pointer_t<decltype(Mat.ColData(1))>;
  Mat.MakeValidColRange(LowCol, HighCol);
  Mat.MakeValidRowRange(LowRow, HighRow);
  if (HighRow - LowRow <= 0) return;
  const int32_t n = HighRow - LowRow + 1;
  const bool keyInMatrix = SortColIx >= 1 && SortColIx <= Mat.NrOfColumns();
  const bool keyOutside = keyInMatrix && (SortColIx < LowCol || SortColIx > HighCol);
  if (!keyInMatrix) {
    Mat.Changed();
    return;
  }
  const size_t stride = static_cast<size_t>(Mat.ColStride());
  T* const base = Mat.ColData(1);
  T* keyCol = base + static_cast<size_t>(SortColIx - 1) * stride + (LowRow - 1);
  if (Mat.OnSortExchange()) {
    const int32_t nc = Mat.NrOfColumns(), nr = Mat.NrOfRows();
    CombSortLines(
        n, Ascending, [&](int32_t i) { return keyCol[i]; },
        [&](int32_t i, int32_t j) {
          T* a = base + static_cast<size_t>(LowCol - 1) * stride + (LowRow - 1 + i);
          T* b = a + (j - i);
          for (int32_t c = LowCol; c <= HighCol; ++c, a += stride, b += stride) std::swap(*a, *b);
          if (keyOutside) std::swap(keyCol[i], keyCol[j]);
          Mat.SortExchange(2, LowRow + i, LowRow + j, LowCol, HighCol);
          return Mat.ColData(1) == base && Mat.NrOfColumns() == nc && Mat.NrOfRows() == nr;
        });
    Mat.Changed();
    return;
  }
  std::vector<T> key, tmp;
  std::vector<int32_t> perm;
  if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(tmp, static_cast<size_t>(n)) ||
      !TryAllocate(perm, static_cast<size_t>(n)))
    RaiseMatrixNoHeap(Mat);
  std::copy(keyCol, keyCol + n, key.begin());
  CombSortPerm(key.data(), perm.data(), n, Ascending);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    T* p = base + static_cast<size_t>(c - 1) * stride + (LowRow - 1);
    for (int32_t j = 0; j < n; ++j) tmp[static_cast<size_t>(j)] = p[perm[static_cast<size_t>(j)]];
    std::copy(tmp.begin(), tmp.end(), p);
  }
  // The sorted keys are the key elements in their final order.
  if (keyOutside) std::copy(key.begin(), key.end(), keyCol);
  Mat.Changed();
}

template <class M>
void SortColsOf(M& Mat, int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow) {
  using T = std::remove_pointer_t<decltype(Mat.ColData(1))>;
  Mat.MakeValidColRange(LowCol, HighCol);
  Mat.MakeValidRowRange(LowRow, HighRow);
  if (HighCol - LowCol <= 0) return;
  const int32_t n = HighCol - LowCol + 1;
  const bool keyInMatrix = SortRowIx >= 1 && SortRowIx <= Mat.NrOfRows();
  const bool keyOutside = keyInMatrix && (SortRowIx < LowRow || SortRowIx > HighRow);
  if (!keyInMatrix) {
    Mat.Changed();
    return;
  }
  const size_t stride = static_cast<size_t>(Mat.ColStride());
  const int32_t segLen = HighRow >= LowRow ? HighRow - LowRow + 1 : 0;
  T* const base = Mat.ColData(1);
  T* keyRow = base + static_cast<size_t>(LowCol - 1) * stride + (SortRowIx - 1);
  auto seg = [&](int32_t j) {
    return base + static_cast<size_t>(LowCol - 1 + j) * stride + (LowRow - 1);
  };
  if (Mat.OnSortExchange()) {
    const int32_t nc = Mat.NrOfColumns(), nr = Mat.NrOfRows();
    CombSortLines(
        n, Ascending, [&](int32_t i) { return keyRow[static_cast<size_t>(i) * stride]; },
        [&](int32_t i, int32_t j) {
          std::swap_ranges(seg(i), seg(i) + segLen, seg(j));
          if (keyOutside)
            std::swap(keyRow[static_cast<size_t>(i) * stride],
                      keyRow[static_cast<size_t>(j) * stride]);
          Mat.SortExchange(1, LowCol + i, LowCol + j, LowRow, HighRow);
          return Mat.ColData(1) == base && Mat.NrOfColumns() == nc && Mat.NrOfRows() == nr;
        });
    Mat.Changed();
    return;
  }
  std::vector<T> key, tmp;
  std::vector<int32_t> perm;
  std::vector<char> done;
  if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(tmp, static_cast<size_t>(segLen)) ||
      !TryAllocate(perm, static_cast<size_t>(n)) || !TryAllocate(done, static_cast<size_t>(n)))
    RaiseMatrixNoHeap(Mat);
  for (size_t j = 0; j < key.size(); ++j) key[j] = keyRow[j * stride];
  CombSortPerm(key.data(), perm.data(), n, Ascending);
  // Column segment j receives the old segment perm[j]; each cycle of the
  // permutation is walked with one saved segment.
  for (int32_t s = 0; s < n; ++s) {
    if (done[static_cast<size_t>(s)] || perm[static_cast<size_t>(s)] == s) continue;
    std::copy(seg(s), seg(s) + segLen, tmp.begin());
    int32_t j = s;
    for (;;) {
      done[static_cast<size_t>(j)] = 1;
      const int32_t k = perm[static_cast<size_t>(j)];
      if (k == s) {
        std::copy(tmp.begin(), tmp.end(), seg(j));
        break;
      }
      std::copy(seg(k), seg(k) + segLen, seg(j));
      j = k;
    }
  }
  if (keyOutside)
    for (size_t j = 0; j < key.size(); ++j) keyRow[j * stride] = key[j];
  Mat.Changed();
}

template <class M>
void MirrorColumnsOf(M& Mat) {
  const size_t rows = static_cast<size_t>(Mat.NrOfRows());
  for (int32_t a = 1, b = Mat.NrOfColumns(); a < b; ++a, --b)
    std::swap_ranges(Mat.ColData(a), Mat.ColData(a) + rows, Mat.ColData(b));
  Mat.Changed();
}

template <class M>
void MirrorRowsOf(M& Mat) {
  for (int32_t c = 1; c <= Mat.NrOfColumns(); ++c)
    std::reverse(Mat.ColData(c), Mat.ColData(c) + Mat.NrOfRows());
  Mat.Changed();
}

// Indices outside the matrix exchange nothing and fire nothing.
template <class M>
void ExchangeColumnsOf(M& Mat, int32_t c1, int32_t c2) {
  const int32_t nc = Mat.NrOfColumns();
  if (c1 < 1 || c1 > nc || c2 < 1 || c2 > nc) return;
  if (c1 != c2)
    std::swap_ranges(Mat.ColData(c1), Mat.ColData(c1) + Mat.NrOfRows(), Mat.ColData(c2));
  Mat.Changed();
}

template <class M>
void ExchangeRowsOf(M& Mat, int32_t r1, int32_t r2) {
  const int32_t nr = Mat.NrOfRows();
  if (r1 < 1 || r1 > nr || r2 < 1 || r2 > nr) return;
  if (r1 != r2)
    for (int32_t c = 1; c <= Mat.NrOfColumns(); ++c)
      std::swap(Mat.ColData(c)[r1 - 1], Mat.ColData(c)[r2 - 1]);
  Mat.Changed();
}

/// |a - b| without overflow: double for doubles, 64-bit for integers.
inline double AbsDiff(double a, double b) { return std::fabs(a - b); }
inline int64_t AbsDiff(int32_t a, int32_t b) { return std::llabs(int64_t{a} - int64_t{b}); }

/// The element of the block closest to Value; the first of equals wins (columns outer).
/// A NaN distance is never smaller, so NaN elements (and a NaN Value) are never found.
template <class M, class T>
void FindOf(const M& Mat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
            T Value, int32_t& ColIx, int32_t& RowIx) {
  ColIx = 0;
  RowIx = 0;
  const TMatBlock b = MakeBlock(Mat, LowCol, HighCol, LowRow, HighRow);
  double best = uc_MaxDouble;
  for (int32_t c = b.C1; c <= b.C2; ++c) {
    const T* p = Mat.ColData(c);
    for (int32_t r = b.R1; r <= b.R2; ++r) {
      const double d = static_cast<double>(AbsDiff(p[r - 1], Value));
      if (d < best) {
        best = d;
        ColIx = c;
        RowIx = r;
      }
    }
  }
}

// A column outside the matrix, or a matrix without rows, has no row to
// report: the result is 0.
template <class M, class T>
int32_t FindInSortedColumnOf(const M& Mat, int32_t Col, bool ColIsAscending, T Value) {
  if (Col < 1 || Col > Mat.NrOfColumns() || Mat.NrOfRows() < 1) return 0;
  const T* a = Mat.ColData(Col);  // row r at a[r - 1]
  int32_t lo = 1, hi = Mat.NrOfRows();
  while (hi - lo > 1) {
    const int32_t mid = lo + (hi - lo) / 2;
    const T v = a[mid - 1];
    if (v == Value) return mid;
    if (ColIsAscending ? Value > v : Value < v) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return AbsDiff(a[lo - 1], Value) < AbsDiff(a[hi - 1], Value) ? lo : hi;
}

/// Number of elements of the block for which In(v) is true.
template <class M, class Pred>
int32_t CountInBlockOf(const M& Mat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                       int32_t HighRow, Pred&& In) {
  if (!MakeValidRange(LowCol, HighCol, Mat.NrOfColumns()) ||
      !MakeValidRange(LowRow, HighRow, Mat.NrOfRows()))
    return 0;
  const size_t n = static_cast<size_t>(HighRow - LowRow + 1);
  int64_t count = 0;
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const auto* p = Mat.ColData(c) + (LowRow - 1);
    // Branch-free so the compiler can vectorise.
    int64_t inCol = 0;
    for (size_t i = 0; i < n; ++i) inCol += In(p[i]);
    count += inCol;
  }
  return static_cast<int32_t>(count);
}

/// Elements (i, i), i = 1..min(columns, rows), := Value; OnChange.
template <class M, class T>
void FillDiagOf(M& Mat, T Value) {
  const int32_t n = std::min(Mat.NrOfColumns(), Mat.NrOfRows());
  if (n > 0) {
    T* p = Mat.ColData(1);
    const size_t step = static_cast<size_t>(Mat.ColStride()) + 1;
    for (int32_t i = 0; i < n; ++i) p[static_cast<size_t>(i) * step] = Value;
  }
  Mat.Changed();
}

}  // namespace detail
}  // namespace nuv
