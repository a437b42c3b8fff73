#include "Nuv_math1/scalar_bits.h"

#include <array>
#include <cstring>

#include "foundation/bit_ops.h"

namespace nuv {

namespace {

constexpr std::array<uint8_t, 256> MakeBitReversalTable() {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) {
    int r = 0;
    for (int i = 0; i < 8; ++i) {
      if (b & (1 << i)) r |= 1 << (7 - i);
    }
    t[b] = static_cast<uint8_t>(r);
  }
  return t;
}

constexpr std::array<uint8_t, 256> kBitReversal = MakeBitReversalTable();
static_assert(kBitReversal[1] == 128 && kBitReversal[0xF0] == 0x0F, "bit reversal table");

}  // namespace

uint16_t GrayCode(uint16_t w) { return static_cast<uint16_t>(w ^ (w >> 1)); }

int32_t DecodeBit(int32_t n) { return (n >= 0 && n <= 7) ? (1 << n) : 0; }

int32_t DecodeLong(int32_t n) {
  if (n < 0 || n > 31) return 0;
  return static_cast<int32_t>(uint32_t{1} << n);
}

int32_t EncodeLong(int32_t v) {
  if (v == 0) return 31;
  return detail::CountTrailingZeros32(static_cast<uint32_t>(v));
}

int32_t CountBits(uint8_t b) { return detail::PopCount32(b); }

uint8_t BitReversal(uint8_t b) { return kBitReversal[b]; }

bool CheckPowerOfTwo(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  return (u & (u - 1u)) == 0;
}

double ConvertEndian(double x) {
  uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  u = detail::ByteSwap64(u);
  std::memcpy(&x, &u, sizeof u);
  return x;
}

float ConvertEndian(float x) {
  uint32_t u;
  std::memcpy(&u, &x, sizeof u);
  u = detail::ByteSwap32(u);
  std::memcpy(&x, &u, sizeof u);
  return x;
}

uint16_t ConvertEndian(uint16_t x) { return detail::ByteSwap16(x); }

int32_t ConvertEndian(int32_t x) {
  return static_cast<int32_t>(detail::ByteSwap32(static_cast<uint32_t>(x)));
}

}  // namespace nuv
