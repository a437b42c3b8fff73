#include "Nuv_math1/array_exchange.h"

#include <cstdint>
#include <cstring>

namespace nuv {

void ExChange(void* A, void* B, uint16_t Size) {
  if (A == nullptr || B == nullptr || A == B) return;
  auto* a = static_cast<unsigned char*>(A);
  auto* b = static_cast<unsigned char*>(B);
  const auto pa = reinterpret_cast<uintptr_t>(a);
  const auto pb = reinterpret_cast<uintptr_t>(b);
  const bool overlap = pa < pb ? pb - pa < Size : pa - pb < Size;
  if (overlap) {
    for (uint16_t i = 0; i < Size; ++i) {
      const unsigned char t = a[i];
      a[i] = b[i];
      b[i] = t;
    }
    return;
  }
  // Disjoint regions: the same result, exchanged a buffer at a time.
  unsigned char buf[256];
  size_t done = 0;
  while (done < Size) {
    const size_t len = Size - done < sizeof buf ? Size - done : sizeof buf;
    std::memcpy(buf, a + done, len);
    std::memcpy(a + done, b + done, len);
    std::memcpy(b + done, buf, len);
    done += len;
  }
}

}  // namespace nuv
