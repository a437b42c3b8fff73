// Private helpers of the binary matrix record: little-endian fields and a
// CRC-32 (the IEEE polynomial of the foundation's CalcNextCRC32, computed
// eight bytes at a time). See docs/formats.md for the byte layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace nuv {
namespace matio {

inline constexpr char kSignature[6] = {'N', 'U', 'V', 'M', 'A', 'T'};
inline constexpr uint16_t kVersion = 1;
/// Signature, version, columns, rows, two precision slots, DataID length.
inline constexpr size_t kHeaderBytes = 28;
inline constexpr size_t kCrcBytes = 4;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
inline constexpr bool kHostLittleEndian = false;
#else
inline constexpr bool kHostLittleEndian = true;
#endif

inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

/// Reverses the bytes of Count doubles in place (only needed on big-endian hosts).
inline void SwapDoubles(void* Data, size_t Count) {
  auto* p = static_cast<uint8_t*>(Data);
  for (size_t i = 0; i < Count; ++i, p += 8)
    for (int k = 0; k < 4; ++k) {
      const uint8_t t = p[k];
      p[k] = p[7 - k];
      p[7 - k] = t;
    }
}

using TCrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr TCrcTables MakeCrcTables() {
  TCrcTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFFu];
  return t;
}

inline constexpr TCrcTables kCrcTables = MakeCrcTables();

/// Feeds Count bytes into the register Crc (no inversions; start with
/// 0xFFFFFFFF and complement at the end for the standard CRC-32).
inline uint32_t UpdateCrc(uint32_t Crc, const void* Data, size_t Count) {
  const auto* p = static_cast<const uint8_t*>(Data);
  const auto& t = kCrcTables;
  while (Count >= 8) {
    const uint32_t lo = Crc ^ GetU32(p);
    const uint32_t hi = GetU32(p + 4);
    Crc = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFFu] ^ t[2][(hi >> 8) & 0xFFu] ^ t[1][(hi >> 16) & 0xFFu] ^ t[0][hi >> 24];
    p += 8;
    Count -= 8;
  }
  while (Count-- > 0) Crc = t[0][(Crc ^ *p++) & 0xFFu] ^ (Crc >> 8);
  return Crc;
}

}  // namespace matio
}  // namespace nuv
