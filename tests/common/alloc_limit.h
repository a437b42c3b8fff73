// Allocation failures on demand, for the allocation-failure tests and the
// fuzz harnesses. A program linked with alloc_limit.cpp replaces the global
// operator new, which then fails with std::bad_alloc, in the program and in
// the library alike, for any request above a ceiling, and for the n-th
// request from a chosen moment on. Unarmed (the default) it behaves as usual.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nuv_test {

/// Requests above Bytes fail from now on; 0 lifts the ceiling.
void SetAllocationCeiling(std::size_t Bytes);
std::size_t AllocationCeiling();
/// Requests refused so far.
uint64_t RefusedAllocations();

/// The N-th request from now fails (1: the next one); 0 disarms.
void FailAllocationNumber(uint64_t N);

/// Bytes allocated through operator new and not yet freed (as the C library
/// counts them), and the most there were since the last ResetPeakBytes.
std::size_t LiveBytes();
std::size_t PeakBytes();
void ResetPeakBytes();

/// The ceiling for the lifetime of the object; the one before is restored.
class ScopedAllocationCeiling {
 public:
  explicit ScopedAllocationCeiling(std::size_t Bytes) : FOld(AllocationCeiling()) {
    SetAllocationCeiling(Bytes);
  }
  ~ScopedAllocationCeiling() { SetAllocationCeiling(FOld); }
  ScopedAllocationCeiling(const ScopedAllocationCeiling&) = delete;
  ScopedAllocationCeiling& operator=(const ScopedAllocationCeiling&) = delete;

 private:
  std::size_t FOld;
};

}  // namespace nuv_test
