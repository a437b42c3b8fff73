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

namespace detail {
/// Runs Grow, which changes a vector with the strong guarantee; false when
/// the memory cannot be had.
template <class F>
bool WithoutAllocationFailure(F&& Grow) {
  try {
    Grow();
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}
}  // namespace detail

/// Resizes V to N elements (new ones = Fill); false, with V unchanged, when
/// the memory cannot be had.
template <class T, class A>
bool TryResize(std::vector<T, A>& V, std::size_t N, const T& Fill = T()) {
  return ByteCountFits(N, sizeof(T)) && detail::WithoutAllocationFailure([&] { V.resize(N, Fill); });
}

/// A new vector of N copies of Fill in Out (swapped in only on success).
template <class T, class A>
bool TryAllocate(std::vector<T, A>& Out, std::size_t N, const T& Fill = T()) {
  return ByteCountFits(N, sizeof(T)) && detail::WithoutAllocationFailure([&] {
           std::vector<T, A> fresh(N, Fill);
           Out.swap(fresh);
         });
}

/// A new vector of N elements built without a value in Out: with an
/// allocator that default-initializes, their contents are unspecified.
template <class T, class A>
bool TryAllocateUninit(std::vector<T, A>& Out, std::size_t N) {
  return ByteCountFits(N, sizeof(T)) && detail::WithoutAllocationFailure([&] {
           std::vector<T, A> fresh(N);
           Out.swap(fresh);
         });
}

/// Room for N elements in V; false, with V unchanged, when it cannot be had.
template <class T, class A>
bool TryReserve(std::vector<T, A>& V, std::size_t N) {
  return ByteCountFits(N, sizeof(T)) && detail::WithoutAllocationFailure([&] { V.reserve(N); });
}

namespace detail {
/// Asks the system to back the whole 2 MiB pages inside [Data, Data + Bytes)
/// with huge pages, so that a large buffer written once costs few page faults.
/// A hint only; does nothing for small buffers or where it is not supported.
void AdviseHugePages(const void* Data, std::size_t Bytes);

/// Room for N elements in V, advised for huge pages before anything touches
/// it; false, with V unchanged, when it cannot be had.
template <class T, class A>
bool TryReserveLarge(std::vector<T, A>& V, std::size_t N) {
  if (!TryReserve(V, N)) return false;
  AdviseHugePages(V.data(), V.capacity() * sizeof(T));
  return true;
}
}  // namespace detail

/// Appends Value (growing V geometrically); false, with V unchanged, when V cannot grow.
template <class T, class A>
bool TryAppend(std::vector<T, A>& V, const T& Value) {
  return detail::WithoutAllocationFailure([&] { V.push_back(Value); });
}

}  // namespace nuv
