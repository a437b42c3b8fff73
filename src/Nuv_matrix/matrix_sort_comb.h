// The comb sort of matrix rows and columns. Without an exchange handler the
// keys are sorted in a work array together with a permutation of the lines,
// with exactly the comparisons and exchanges of the sort in place, and the
// matrix is permuted once at the end. Private to the matrix sorts.
#pragma once

#include <cstdint>

#include "Nuv_math1/sort_comb.h"

namespace nuv {
namespace detail {

// The pass gap is gap / 1.3 truncated, computed in 80-bit extended precision.
// 1.3 rounds below 13/10 in a 64-bit mantissa, so the quotient never falls
// short of gap * 10 / 13 and never reaches the next integer for any 32-bit
// gap: the integer rule gives the same sequence on every platform, also
// where long double is only a double (there 13 / 1.3 would truncate to 9).
inline int32_t MatCombNextGap(int32_t gap) { return CombNextGap(gap); }

inline constexpr int kPermBlock = 8;

/// Comb sort of Key[0..n-1] carrying Perm along; StartGap is n - 1.
template <class Order, class T>
void CombSortPermWith(T* Key, int32_t* Perm, int32_t n) {
  int32_t gap = n - 1;
  for (;;) {
    gap = MatCombNextGap(gap);
    bool any = false;
    if (gap == 1) {
      T x = Key[0];
      int32_t px = Perm[0];
      for (int32_t i = 0; i + 1 < n; ++i) {
        const T y = Key[i + 1];
        const int32_t py = Perm[i + 1];
        const bool s = Order::Swap(x, y);
        any |= s;
        Key[i] = s ? y : x;
        Perm[i] = s ? py : px;
        x = s ? x : y;
        px = s ? px : py;
      }
      Key[n - 1] = x;
      Perm[n - 1] = px;
      if (!any) return;
      continue;
    }
    const int32_t m = n - gap;
    int32_t i = 0;
    if (gap >= kPermBlock) {
      // The comparisons of a block touch disjoint pairs and depend only on
      // earlier blocks, so a block at once equals the pass pair by pair.
      for (; i + kPermBlock <= m; i += kPermBlock) {
        T* a = Key + i;
        T* b = a + gap;
        int32_t* pa = Perm + i;
        int32_t* pb = pa + gap;
        T x[kPermBlock], y[kPermBlock], lo[kPermBlock], hi[kPermBlock];
        int32_t px[kPermBlock], py[kPermBlock], plo[kPermBlock], phi[kPermBlock];
        for (int j = 0; j < kPermBlock; ++j) {
          x[j] = a[j];
          y[j] = b[j];
          px[j] = pa[j];
          py[j] = pb[j];
        }
        for (int j = 0; j < kPermBlock; ++j) {
          const bool s = Order::Swap(x[j], y[j]);
          lo[j] = s ? y[j] : x[j];
          hi[j] = s ? x[j] : y[j];
          plo[j] = s ? py[j] : px[j];
          phi[j] = s ? px[j] : py[j];
        }
        for (int j = 0; j < kPermBlock; ++j) {
          a[j] = lo[j];
          b[j] = hi[j];
          pa[j] = plo[j];
          pb[j] = phi[j];
        }
      }
    }
    for (; i < m; ++i) {
      const T x = Key[i];
      const T y = Key[i + gap];
      const int32_t px = Perm[i];
      const int32_t py = Perm[i + gap];
      const bool s = Order::Swap(x, y);
      Key[i] = s ? y : x;
      Key[i + gap] = s ? x : y;
      Perm[i] = s ? py : px;
      Perm[i + gap] = s ? px : py;
    }
  }
}

/// Sorts Key[0..n-1] (n >= 2) ascending or descending and leaves in Perm[j]
/// the original position of the key that ends at j. NaN counts as larger than
/// every number, so ascending sorts put it last.
template <class T>
void CombSortPerm(T* Key, int32_t* Perm, int32_t n, bool Ascending) {
  for (int32_t j = 0; j < n; ++j) Perm[j] = j;
  if (CombHasNaN(Key, n)) {
    if (Ascending) {
      CombSortPermWith<CombAscNaN<T>>(Key, Perm, n);
    } else {
      CombSortPermWith<CombDescNaN<T>>(Key, Perm, n);
    }
  } else if (Ascending) {
    CombSortPermWith<CombAscPlain<T>>(Key, Perm, n);
  } else {
    CombSortPermWith<CombDescPlain<T>>(Key, Perm, n);
  }
}

/// The sort in place with an exchange handler: KeyAt(i) reads the current key
/// of line i (0-based), Exchange(i, j) exchanges two lines, fires the event
/// and returns false when the sort must stop (the handler changed the shape
/// of the matrix). The NaN-aware order is used throughout, since a handler may
/// write NaN into the keys while the sort runs.
template <class KeyAt, class Exchange>
void CombSortLines(int32_t n, bool Ascending, KeyAt&& Key, Exchange&& Swap) {
  int32_t gap = n - 1;
  for (;;) {
    gap = MatCombNextGap(gap);
    bool any = false;
    for (int32_t i = 0; i + gap < n; ++i) {
      const auto x = Key(i);
      const auto y = Key(i + gap);
      if (Ascending ? CombBefore(y, x) : CombBefore(x, y)) {
        any = true;
        if (!Swap(i, i + gap)) return;
      }
    }
    if (gap == 1 && !any) return;
  }
}

}  // namespace detail
}  // namespace nuv
