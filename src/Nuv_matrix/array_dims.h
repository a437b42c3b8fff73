// Element counts and index clipping shared by the 3-D and 4-D arrays.
// Private to the matrix unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace nuv {
namespace detail {

/// The product of non-negative counts as an element count; false when the
/// element count or its byte count as doubles overflows size_t.
inline bool ElementCount(std::initializer_list<int64_t> Counts, size_t& N) {
  constexpr size_t kMax = std::numeric_limits<size_t>::max() / sizeof(double);
  size_t n = 1;
  for (const int64_t c : Counts) {
    if (c < 0) return false;
    const auto u = static_cast<size_t>(c);
    if (u != 0 && n > kMax / u) return false;
    n *= u;
  }
  N = n;
  return true;
}

/// v clipped into 1..Count (Count >= 1).
inline int32_t ClipIndex(int32_t v, int32_t Count) { return v < 1 ? 1 : (v > Count ? Count : v); }

/// The sub-range of First..Last (source indices) whose targets i - First + Dest
/// lie inside 1..Count; empty (Lo > Hi) when none does.
struct TTargetRange {
  int64_t Lo, Hi;
};
inline TTargetRange TargetsInside(int64_t First, int64_t Last, int64_t Dest, int64_t Count) {
  const int64_t lo = First + 1 - Dest > First ? First + 1 - Dest : First;
  const int64_t hi = First + Count - Dest < Last ? First + Count - Dest : Last;
  return {lo, hi};
}

}  // namespace detail
}  // namespace nuv
