// The element buffer of the 3-D and 4-D arrays: a vector of doubles whose
// elements are not cleared when it is sized without a value, so that a
// buffer about to be overwritten whole (a file read into it, a transposed
// copy) is written once, not twice. Sizing with a value fills as usual.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace nuv {

template <class T>
struct TUninitAllocator {
  using value_type = T;

  TUninitAllocator() = default;
  template <class U>
  TUninitAllocator(const TUninitAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
  /// Default-initializes: a double keeps whatever the memory held.
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const TUninitAllocator&, const TUninitAllocator&) { return true; }
  friend bool operator!=(const TUninitAllocator&, const TUninitAllocator&) { return false; }
};

using TDoubleBuffer = std::vector<double, TUninitAllocator<double>>;

}  // namespace nuv
