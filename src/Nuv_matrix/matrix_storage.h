// The column-major buffer behind TMatrix and the dense TIntMatrix: resizing
// that keeps the cells existing before and after, and transposition in
// cache-sized tiles. Private to the matrix unit.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/memory.h"

namespace nuv {
namespace detail {

/// Cells of a buffer of Nc x Nr, or false when the count overflows size_t.
inline bool CellCount(int32_t Nc, int32_t Nr, size_t& Cells) {
  const size_t c = static_cast<size_t>(Nc);
  const size_t r = static_cast<size_t>(Nr);
  if (r != 0 && c > std::numeric_limits<size_t>::max() / r) return false;
  Cells = c * r;
  return true;
}

/// Makes Mat a buffer of max(Nc, 1) columns of max(Nr, 1) rows (Nc, Nr >= 0), keeping
/// the cells that exist in both the old and the new buffer, the others 0. False, with
/// everything unchanged, when the memory cannot be had.
template <class T>
bool ResizeColMajor(std::vector<T>& Mat, int32_t& ColsAlloc, int32_t& RowsAlloc, int32_t Nc,
                    int32_t Nr) {
  static_assert(std::is_trivially_copyable_v<T>, "cells are copied bytewise");
  const int32_t colsAlloc = std::max(Nc, 1);
  const int32_t rowsAlloc = std::max(Nr, 1);
  size_t cells = 0;
  if (!CellCount(colsAlloc, rowsAlloc, cells)) return false;
  if (rowsAlloc == RowsAlloc) {
    // Same column stride: the kept columns stay where they are, new ones are
    // appended as zeros (resize gives the strong guarantee).
    if (!TryResize(Mat, cells, T(0))) return false;
  } else {
    std::vector<T> fresh;
    if (!TryAllocate(fresh, cells, T(0))) return false;
    const int32_t keepCols = std::min(colsAlloc, ColsAlloc);
    const size_t keepRows = static_cast<size_t>(std::min(rowsAlloc, RowsAlloc));
    for (int32_t c = 0; c < keepCols; ++c)
      std::memcpy(fresh.data() + static_cast<size_t>(c) * static_cast<size_t>(rowsAlloc),
                  Mat.data() + static_cast<size_t>(c) * static_cast<size_t>(RowsAlloc),
                  keepRows * sizeof(T));
    Mat.swap(fresh);
  }
  ColsAlloc = colsAlloc;
  RowsAlloc = rowsAlloc;
  return true;
}

/// Transposes the rows x cols column-major block src (stride ls) into dst (stride ld),
/// in square tiles so that both sides stay in cache.
template <class T>
void TransposeBlocked(const T* src, size_t ls, T* dst, size_t ld, size_t rows, size_t cols) {
  constexpr size_t kTile = 32;
  for (size_t c0 = 0; c0 < cols; c0 += kTile) {
    const size_t c1 = c0 + kTile < cols ? c0 + kTile : cols;
    for (size_t r0 = 0; r0 < rows; r0 += kTile) {
      const size_t r1 = r0 + kTile < rows ? r0 + kTile : rows;
      for (size_t c = c0; c < c1; ++c) {
        const T* s = src + c * ls;
        for (size_t r = r0; r < r1; ++r) dst[r * ld + c] = s[r];
      }
    }
  }
}

/// In-place transposition of an n x n column-major matrix, tile pair by tile pair.
template <class T>
void TransposeSquare(T* a, size_t n) {
  constexpr size_t kTile = 32;
  for (size_t c0 = 0; c0 < n; c0 += kTile) {
    const size_t c1 = c0 + kTile < n ? c0 + kTile : n;
    // The diagonal tile.
    for (size_t c = c0; c < c1; ++c)
      for (size_t r = c + 1; r < c1; ++r) std::swap(a[c * n + r], a[r * n + c]);
    for (size_t r0 = c1; r0 < n; r0 += kTile) {
      const size_t r1 = r0 + kTile < n ? r0 + kTile : n;
      for (size_t c = c0; c < c1; ++c) {
        T* col = a + c * n;
        for (size_t r = r0; r < r1; ++r) std::swap(col[r], a[r * n + c]);
      }
    }
  }
}

/// Transposes the whole buffer (so that the kept cell of a matrix without rows or
/// columns moves with it) and exchanges the allocated counts. False, unchanged, when
/// the memory cannot be had.
template <class T>
bool TransposeColMajor(std::vector<T>& Mat, int32_t& ColsAlloc, int32_t& RowsAlloc) {
  const size_t cols = static_cast<size_t>(ColsAlloc);
  const size_t rows = static_cast<size_t>(RowsAlloc);
  if (cols == rows) {
    TransposeSquare(Mat.data(), rows);
  } else {
    std::vector<T> fresh;
    if (!TryAllocate(fresh, cols * rows, T(0))) return false;
    TransposeBlocked(Mat.data(), rows, fresh.data(), cols, rows, cols);
    Mat.swap(fresh);
  }
  std::swap(ColsAlloc, RowsAlloc);
  return true;
}

}  // namespace detail
}  // namespace nuv
