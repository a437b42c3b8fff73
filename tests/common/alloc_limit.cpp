// Replaces the global allocation functions (all forms, so that every new is
// paired with its delete through malloc and free, which the sanitizers still
// see) and refuses requests above the ceiling of alloc_limit.h.
#include "common/alloc_limit.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace nuv_test {

namespace {

std::atomic<std::size_t> gCeiling{0};
std::atomic<uint64_t> gRefused{0};
std::atomic<uint64_t> gCountdown{0};  ///< requests until the one that fails; 0 unarmed
std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

void Count(void* p) {
  if (p == nullptr) return;
  const std::size_t live = gLive.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) +
                           malloc_usable_size(p);
  std::size_t peak = gPeak.load(std::memory_order_relaxed);
  while (live > peak && !gPeak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
}

void Release(void* p) {
  if (p == nullptr) return;
  gLive.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
  std::free(p);
}

bool Refused(std::size_t Bytes) {
  const std::size_t ceiling = gCeiling.load(std::memory_order_relaxed);
  bool refuse = ceiling != 0 && Bytes > ceiling;
  uint64_t left = gCountdown.load(std::memory_order_relaxed);
  while (left != 0 && !gCountdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  refuse = refuse || left == 1;
  if (refuse) gRefused.fetch_add(1, std::memory_order_relaxed);
  return refuse;
}

void* Allocate(std::size_t Bytes, std::size_t Align) {
  if (Refused(Bytes)) return nullptr;
  if (Bytes == 0) Bytes = 1;
  void* p = nullptr;
  if (Align <= alignof(std::max_align_t))
    p = std::malloc(Bytes);
  else if (posix_memalign(&p, Align, Bytes) != 0)
    p = nullptr;
  Count(p);
  return p;
}

void* AllocateOrThrow(std::size_t Bytes, std::size_t Align) {
  void* p = Allocate(Bytes, Align);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void SetAllocationCeiling(std::size_t Bytes) { gCeiling.store(Bytes, std::memory_order_relaxed); }
std::size_t AllocationCeiling() { return gCeiling.load(std::memory_order_relaxed); }
uint64_t RefusedAllocations() { return gRefused.load(std::memory_order_relaxed); }
void FailAllocationNumber(uint64_t N) { gCountdown.store(N, std::memory_order_relaxed); }
std::size_t LiveBytes() { return gLive.load(std::memory_order_relaxed); }
std::size_t PeakBytes() { return gPeak.load(std::memory_order_relaxed); }
void ResetPeakBytes() { gPeak.store(gLive.load(std::memory_order_relaxed), std::memory_order_relaxed); }

}  // namespace nuv_test

using nuv_test::Allocate;
using nuv_test::AllocateOrThrow;
using nuv_test::Release;

constexpr std::size_t kPlain = alignof(std::max_align_t);

void* operator new(std::size_t n) { return AllocateOrThrow(n, kPlain); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n, kPlain); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, kPlain); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, kPlain); }
void* operator new(std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
