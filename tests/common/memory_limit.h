// Makes huge allocations fail for real, so that tests can check the library's
// "not enough memory" paths: the address space is capped for the scope.
// AddressSanitizer reserves its shadow memory up front and cannot run under
// such a cap, so the tests that need one are skipped there.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

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
  explicit ScopedAddressSpaceLimit(rlim_t Bytes) {
    active_ = getrlimit(RLIMIT_AS, &old_) == 0;
    if (!active_) return;
    rlimit capped = old_;
    capped.rlim_cur = Bytes < old_.rlim_max ? Bytes : old_.rlim_max;
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

}  // namespace nuv_test

#if defined(NUV_TEST_UNDER_ASAN)
#define NUV_SKIP_WITHOUT_MEMORY_LIMIT() GTEST_SKIP() << "address-space cap unavailable under ASan"
#else
#define NUV_SKIP_WITHOUT_MEMORY_LIMIT() (void)0
#endif
