// The comb sort shared by SortArray and the containers' element sorts: gap
// shrink 10/13, passes until a gap-1 pass makes no exchange.
#pragma once

#include <cstdint>
#include <type_traits>

namespace nuv {
namespace detail {

// NaN counts as larger than every number and equal to another NaN, so that the
// comparison stays a strict weak order and the passes terminate: ascending
// sorts put NaN last, descending sorts put it first.
template <class T>
inline bool CombBefore(T a, T b) {
  if constexpr (std::is_floating_point_v<T>) {
    return a < b || (b != b && a == a);
  } else {
    return a < b;
  }
}

// Order policies: Swap(first, second) tells whether the pair is out of order.
// The plain policies are valid only for data without NaN; they compile to
// min/max instructions.
template <class T>
struct CombAscPlain {
  static bool Swap(T x, T y) { return y < x; }
};
template <class T>
struct CombDescPlain {
  static bool Swap(T x, T y) { return x < y; }
};
template <class T>
struct CombAscNaN {
  static bool Swap(T x, T y) { return CombBefore(y, x); }
};
template <class T>
struct CombDescNaN {
  static bool Swap(T x, T y) { return CombBefore(x, y); }
};

template <class T>
inline bool CombHasNaN(const T* a, int32_t n) {
  if constexpr (std::is_floating_point_v<T>) {
    bool bad = false;
    for (int32_t i = 0; i < n; ++i) bad |= (a[i] != a[i]);
    return bad;
  } else {
    (void)a;
    (void)n;
    return false;
  }
}

// Next gap of the shrink sequence, at least 1; 64-bit so that huge gaps do not overflow.
inline int32_t CombNextGap(int32_t gap) {
  const int64_t g = static_cast<int64_t>(gap) * 10 / 13;
  return g < 1 ? 1 : static_cast<int32_t>(g);
}

// Block length of the vectorized passes (one cache line of elements).
template <class T>
inline constexpr int32_t kCombBlock = static_cast<int32_t>(64 / sizeof(T));

// Compares and exchanges the pairs (i, i + gap) for i = From .. To - 1, branch-free.
template <class T, class Order>
inline void CombPassFrom(T* a, int32_t From, int32_t To, int32_t gap) {
  for (int32_t i = From; i < To; ++i) {
    const T x = a[i];
    const T y = a[i + gap];
    const bool s = Order::Swap(x, y);
    a[i] = s ? y : x;
    a[i + gap] = s ? x : y;
  }
}

// One pass with gap >= kCombBlock. The kCombBlock comparisons of a block touch
// disjoint elements and depend only on earlier blocks, so doing a block at once
// gives exactly the result of the element-by-element pass.
template <class T, class Order>
inline void CombPassWide(T* a, int32_t n, int32_t gap) {
  constexpr int32_t W = kCombBlock<T>;
  const int32_t m = n - gap;
  int32_t i = 0;
  for (; i <= m - W; i += W) {
    T* p = a + i;
    T* q = p + gap;
    T x[W];
    T y[W];
    T lo[W];
    T hi[W];
    for (int32_t j = 0; j < W; ++j) x[j] = p[j];
    for (int32_t j = 0; j < W; ++j) y[j] = q[j];
    for (int32_t j = 0; j < W; ++j) {
      const bool s = Order::Swap(x[j], y[j]);
      lo[j] = s ? y[j] : x[j];
      hi[j] = s ? x[j] : y[j];
    }
    for (int32_t j = 0; j < W; ++j) p[j] = lo[j];
    for (int32_t j = 0; j < W; ++j) q[j] = hi[j];
  }
  CombPassFrom<T, Order>(a, i, m, gap);
}

// One pass with a small gap > 1: element by element, branch-free.
template <class T, class Order>
inline void CombPassNarrow(T* a, int32_t n, int32_t gap) {
  CombPassFrom<T, Order>(a, 0, n - gap, gap);
}

// The gap-1 pass carries the travelling element in a register; returns
// whether any pair was exchanged.
template <class T, class Order>
inline bool CombPassOne(T* a, int32_t n) {
  T x = a[0];
  bool any = false;
  for (int32_t i = 0; i + 1 < n; ++i) {
    const T y = a[i + 1];
    const bool s = Order::Swap(x, y);
    any |= s;
    a[i] = s ? y : x;
    x = s ? x : y;
  }
  a[n - 1] = x;
  return any;
}

template <class T, class Order, class OnPass>
void CombSortWith(T* a, int32_t n, int32_t StartGap, OnPass& Pass) {
  int32_t gap = StartGap;
  for (;;) {
    gap = CombNextGap(gap);
    bool any = true;
    if (gap == 1) {
      any = CombPassOne<T, Order>(a, n);
    } else if (gap >= kCombBlock<T>) {
      CombPassWide<T, Order>(a, n, gap);
    } else {
      CombPassNarrow<T, Order>(a, n, gap);
    }
    Pass();
    if (gap == 1 && !any) return;
  }
}

/// Comb sort of Data[0..NumElems-1] with the gap starting at StartGap (>= 1);
/// Pass() runs after every pass. Nothing happens for NumElems <= 1.
template <class T, class OnPass>
void CombSort(T* Data, int32_t NumElems, int32_t StartGap, bool Ascending, OnPass&& Pass) {
  if (Data == nullptr || NumElems <= 1) return;
  if (StartGap < 1) StartGap = 1;
  if (CombHasNaN(Data, NumElems)) {
    if (Ascending) {
      CombSortWith<T, CombAscNaN<T>>(Data, NumElems, StartGap, Pass);
    } else {
      CombSortWith<T, CombDescNaN<T>>(Data, NumElems, StartGap, Pass);
    }
  } else if (Ascending) {
    CombSortWith<T, CombAscPlain<T>>(Data, NumElems, StartGap, Pass);
  } else {
    CombSortWith<T, CombDescPlain<T>>(Data, NumElems, StartGap, Pass);
  }
}

/// As CombSort, and Exchange(i, i + gap) (0-based) runs after every exchange,
/// so that callers can keep parallel data in step. An Exchange that tests
/// empty (an unassigned std::function) takes the CombSort path: the passes and
/// the result are the same, without the per-pair branch.
template <class T, class OnPass, class OnExchange>
void CombSortEvents(T* Data, int32_t NumElems, int32_t StartGap, bool Ascending, OnPass&& Pass,
                    OnExchange&& Exchange) {
  if (Data == nullptr || NumElems <= 1) return;
  if constexpr (std::is_constructible_v<bool, const std::decay_t<OnExchange>&>) {
    if (!static_cast<bool>(Exchange)) {
      CombSort(Data, NumElems, StartGap, Ascending, Pass);
      return;
    }
  }
  int32_t gap = StartGap < 1 ? 1 : StartGap;
  for (;;) {
    gap = CombNextGap(gap);
    bool any = false;
    const int32_t m = NumElems - gap;
    for (int32_t i = 0; i < m; ++i) {
      const T x = Data[i];
      const T y = Data[i + gap];
      if (Ascending ? CombBefore(y, x) : CombBefore(x, y)) {
        Data[i] = y;
        Data[i + gap] = x;
        any = true;
        Exchange(i, i + gap);
      }
    }
    Pass();
    if (gap == 1 && !any) return;
  }
}

}  // namespace detail
}  // namespace nuv
