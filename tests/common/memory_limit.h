// Makes huge allocations fail for real, so that tests can check the library's
// "not enough memory" paths: the address space is capped for the scope.
// AddressSanitizer reserves its shadow memory up front and cannot run under
// such a cap, and qemu-user does not pass the cap on to the program it runs,
// so the tests that need one are skipped there.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

#if defined(__SANITIZE_ADDRESS__)
#define NUV_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NUV_TEST_UNDER_ASAN 1
#endif
#endif

namespace nuv_test {

class ScopedAddressSpaceLimit {
 public:
  /// Bytes beyond what rlim_t holds (4 GiB and more on 32-bit targets, whose
  /// address space is smaller anyway) leave the limit as it is.
  explicit ScopedAddressSpaceLimit(uint64_t Bytes) {
    active_ = getrlimit(RLIMIT_AS, &old_) == 0;
    if (!active_) return;
    rlimit capped = old_;
    const rlim_t cap = Bytes > std::numeric_limits<rlim_t>::max() ? old_.rlim_max : static_cast<rlim_t>(Bytes);
    capped.rlim_cur = cap < old_.rlim_max ? cap : old_.rlim_max;
    active_ = setrlimit(RLIMIT_AS, &capped) == 0;
  }
  ~ScopedAddressSpaceLimit() {
    if (active_) setrlimit(RLIMIT_AS, &old_);
  }
  ScopedAddressSpaceLimit(const ScopedAddressSpaceLimit&) = delete;
  ScopedAddressSpaceLimit& operator=(const ScopedAddressSpaceLimit&) = delete;

 private:
  rlimit old_{};
  bool active_ = false;
};

/// True when a cap really makes a larger allocation fail (not so under qemu-user,
/// where the huge-size tests would instead fill gigabytes).
inline bool AddressSpaceCapHolds() {
  ScopedAddressSpaceLimit cap(uint64_t{1} << 30);
  void* volatile p = std::malloc(size_t{1} << 30);
  const bool holds = p == nullptr;
  std::free(p);
  return holds;
}

}  // namespace nuv_test

#if defined(NUV_TEST_UNDER_ASAN)
#define NUV_SKIP_WITHOUT_MEMORY_LIMIT() GTEST_SKIP() << "address-space cap unavailable under ASan"
#else
#define NUV_SKIP_WITHOUT_MEMORY_LIMIT()        \
  if (!nuv_test::AddressSpaceCapHolds())       \
  GTEST_SKIP() << "address-space cap not enforced here"
#endif
