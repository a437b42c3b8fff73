// Page hints for large work buffers.
#include "foundation/memory.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace nuv {
namespace detail {

void AdviseHugePages(const void* Data, std::size_t Bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kHuge = std::uintptr_t(1) << 21;
  if (Data == nullptr || Bytes < 2 * kHuge) return;
  const auto first = reinterpret_cast<std::uintptr_t>(Data);
  const std::uintptr_t begin = (first + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t end = (first + Bytes) & ~(kHuge - 1);
  // Only a hint: without it the first write of every 4 KiB page faults on its
  // own, which costs more than the writes themselves on virtual machines.
  if (end > begin) (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)Data;
  (void)Bytes;
#endif
}

}  // namespace detail
}  // namespace nuv
