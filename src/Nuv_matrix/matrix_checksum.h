// The data checksum of the double containers: eight independent CRC-32
// registers, register k fed byte k (little-endian numbering) of every element
// in the container's element order. Private to the matrix unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "Nuv_math1/Nuv_math1.h"
#include "foundation/crc32.h"

namespace nuv {
namespace detail {

class TDoubleCRC {
 public:
  /// Feeds Count elements in order. The eight registers are separate chains,
  /// so the table look-ups of one element overlap.
  void Add(const double* p, size_t Count) {
    uint32_t r0 = R[0], r1 = R[1], r2 = R[2], r3 = R[3], r4 = R[4], r5 = R[5], r6 = R[6],
             r7 = R[7];
    for (size_t i = 0; i < Count; ++i) {
      uint64_t b;
      std::memcpy(&b, &p[i], 8);
      r0 = CalcNextCRC32(static_cast<uint8_t>(b), r0);
      r1 = CalcNextCRC32(static_cast<uint8_t>(b >> 8), r1);
      r2 = CalcNextCRC32(static_cast<uint8_t>(b >> 16), r2);
      r3 = CalcNextCRC32(static_cast<uint8_t>(b >> 24), r3);
      r4 = CalcNextCRC32(static_cast<uint8_t>(b >> 32), r4);
      r5 = CalcNextCRC32(static_cast<uint8_t>(b >> 40), r5);
      r6 = CalcNextCRC32(static_cast<uint8_t>(b >> 48), r6);
      r7 = CalcNextCRC32(static_cast<uint8_t>(b >> 56), r7);
    }
    R[0] = r0, R[1] = r1, R[2] = r2, R[3] = r3, R[4] = r4, R[5] = r5, R[6] = r6, R[7] = r7;
  }

  /// The complemented registers R0..R7, 8 upper-case hexadecimal digits each.
  std::string Text() const {
    std::string text;
    text.reserve(64);
    for (uint32_t r : R) text += Hex(static_cast<int32_t>(~r), 8);
    return text;
  }

 private:
  uint32_t R[8] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                   0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
};

}  // namespace detail
}  // namespace nuv
