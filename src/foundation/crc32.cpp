#include "foundation/crc32.h"

namespace nuv {
namespace detail {

namespace {
constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
}  // namespace

const std::array<uint32_t, 256> kCrc32Table = MakeCrc32Table();

}  // namespace detail

uint32_t CalcNextCRC32Block(const void* Data, std::size_t Count, uint32_t CRC) {
  const auto* p = static_cast<const uint8_t*>(Data);
  for (std::size_t i = 0; i < Count; ++i) CRC = CalcNextCRC32(p[i], CRC);
  return CRC;
}

}  // namespace nuv
