// Allocation helpers: huge or failing allocations become a false result that
// the caller turns into its unit's "not enough memory" error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace nuv {

/// True when Count elements of Size bytes each fit in a size_t byte count.
inline bool ByteCountFits(std::size_t Count, std::size_t Size) {
  return Size == 0 || Count <= std::numeric_limits<std::size_t>::max() / Size;
}

/// Resizes V to N elements (new ones = Fill); false, with V unchanged, when
/// the memory cannot be had.
template <class T, class A>
bool TryResize(std::vector<T, A>& V, std::size_t N, const T& Fill = T()) {
  if (!ByteCountFits(N, sizeof(T))) return false;
  try {
    V.resize(N, Fill);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

/// A new vector of N copies of Fill in Out (swapped in only on success).
template <class T, class A>
bool TryAllocate(std::vector<T, A>& Out, std::size_t N, const T& Fill = T()) {
  if (!ByteCountFits(N, sizeof(T))) return false;
  try {
    std::vector<T, A> fresh(N, Fill);
    Out.swap(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

/// A new vector of N elements built without a value in Out: with an
/// allocator that default-initializes, their contents are unspecified.
template <class T, class A>
bool TryAllocateUninit(std::vector<T, A>& Out, std::size_t N) {
  if (!ByteCountFits(N, sizeof(T))) return false;
  try {
    std::vector<T, A> fresh(N);
    Out.swap(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

}  // namespace nuv
