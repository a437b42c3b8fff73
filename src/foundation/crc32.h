// CRC-32 accumulation (IEEE 802.3 polynomial, reflected form 0xEDB88320).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

namespace detail {
NUV_API extern const std::array<uint32_t, 256> kCrc32Table;
}

/// Feeds one byte B into the CRC register CRC and returns the next register.
/// No initial or final inversion: callers choose the start value.
inline uint32_t CalcNextCRC32(uint8_t B, uint32_t CRC) {
  return detail::kCrc32Table[(CRC ^ B) & 0xFFu] ^ (CRC >> 8);
}

/// Feeds Count bytes at Data into CRC.
NUV_API uint32_t CalcNextCRC32Block(const void* Data, std::size_t Count, uint32_t CRC);

}  // namespace nuv
