// The containers' data checksum: one CRC-32 register per byte position of the
// element type, register k fed byte k (little-endian numbering) of every
// element in order; the text is the complemented registers, register 0 first,
// 8 upper-case hexadecimal digits each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "Nuv_math1/Nuv_math1.h"
#include "foundation/crc32.h"

namespace nuv {
namespace detail {

/// The registers of a checksum fed in pieces: Add the elements in order, any
/// number of calls, then read Text.
template <class T>
class TByteLaneCRC {
 public:
  static constexpr size_t kBytes = sizeof(T);
  static_assert(kBytes == 4 || kBytes == 8, "elements of 32 or 64 bits");

  TByteLaneCRC() {
    for (uint32_t& r : FReg) r = 0xFFFFFFFFu;
  }

  void Add(const T* Data, size_t Count) {
    using Bits = std::conditional_t<kBytes == 8, uint64_t, uint32_t>;
    // The registers are independent chains whose table look-ups overlap. They
    // must stay in general registers: packed into vector registers (as the
    // compiler's straight-line vectoriser would do) every look-up costs
    // shuffles and the loop runs about three times slower.
    uint32_t reg[kBytes];
    for (size_t k = 0; k < kBytes; ++k) reg[k] = FReg[k];
    for (size_t i = 0; i < Count; ++i) {
      Bits bits;
      std::memcpy(&bits, &Data[i], kBytes);
      for (size_t k = 0; k < kBytes; ++k) {
        reg[k] = CalcNextCRC32(static_cast<uint8_t>(bits >> (8 * k)), reg[k]);
#if defined(__GNUC__)
        __asm__("" : "+r"(reg[k]));
#endif
      }
    }
    for (size_t k = 0; k < kBytes; ++k) FReg[k] = reg[k];
  }

  /// The complemented registers, register 0 first, 8 upper-case hexadecimal digits each.
  std::string Text() const {
    std::string text;
    text.reserve(8 * kBytes);
    for (uint32_t r : FReg) text += Hex(static_cast<int32_t>(~r), 8);
    return text;
  }

 private:
  uint32_t FReg[kBytes];
};

template <class T>
std::string ByteLaneCRCText(const T* Data, size_t Count) {
  TByteLaneCRC<T> crc;
  crc.Add(Data, Count);
  return crc.Text();
}

}  // namespace detail
}  // namespace nuv
