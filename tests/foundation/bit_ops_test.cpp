// The plain bit operations (used where the compiler has no builtins) and the
// ones the library uses here, both against bit-by-bit definitions.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "foundation/bit_ops.h"

namespace {

int32_t OnesOneByOne(uint64_t w) {
  int32_t n = 0;
  for (int i = 0; i < 64; ++i) n += static_cast<int32_t>((w >> i) & 1u);
  return n;
}

int32_t LowestOne(uint64_t w) {
  int32_t i = 0;
  while (((w >> i) & 1u) == 0) ++i;
  return i;
}

uint64_t BytesReversed(uint64_t w, int Count) {
  uint64_t r = 0;
  for (int i = 0; i < Count; ++i) r |= ((w >> (8 * i)) & 0xFFu) << (8 * (Count - 1 - i));
  return r;
}

std::vector<uint64_t> Words() {
  std::vector<uint64_t> w{1, 2, 3, 0x80, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull,
                          0x00000000FFFFFFFFull, 0xFFFFFFFF00000000ull, 0x0123456789ABCDEFull};
  std::mt19937_64 gen(28);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t x = gen();
    w.push_back(x);
    w.push_back(x << (i % 64));  // many trailing zeros
  }
  return w;
}

}  // namespace

TEST(BitOps, CountsAndScansAgreeWithTheBitByBitDefinition) {
  namespace d = nuv::detail;
  EXPECT_EQ(d::plain_bits::PopCount64(0), 0);
  EXPECT_EQ(d::PopCount64(0), 0);
  for (const uint64_t w : Words()) {
    if (w == 0) continue;
    const uint32_t low = static_cast<uint32_t>(w);
    EXPECT_EQ(d::plain_bits::PopCount64(w), OnesOneByOne(w)) << w;
    EXPECT_EQ(d::PopCount64(w), OnesOneByOne(w)) << w;
    EXPECT_EQ(d::PopCount32(low), OnesOneByOne(low)) << w;
    EXPECT_EQ(d::plain_bits::CountTrailingZeros64(w), LowestOne(w)) << w;
    EXPECT_EQ(d::CountTrailingZeros64(w), LowestOne(w)) << w;
    if (low != 0) {
      EXPECT_EQ(d::CountTrailingZeros32(low), LowestOne(low)) << w;
    }
  }
}

TEST(BitOps, ByteSwapsReverseTheBytes) {
  namespace d = nuv::detail;
  EXPECT_EQ(d::plain_bits::ByteSwap64(0x0123456789ABCDEFull), 0xEFCDAB8967452301ull);
  EXPECT_EQ(d::plain_bits::ByteSwap32(0x01234567u), 0x67452301u);
  EXPECT_EQ(d::plain_bits::ByteSwap16(0x0123u), 0x2301u);
  for (const uint64_t w : Words()) {
    const uint32_t w32 = static_cast<uint32_t>(w);
    const uint16_t w16 = static_cast<uint16_t>(w);
    EXPECT_EQ(d::plain_bits::ByteSwap64(w), BytesReversed(w, 8)) << w;
    EXPECT_EQ(d::ByteSwap64(w), BytesReversed(w, 8)) << w;
    EXPECT_EQ(d::plain_bits::ByteSwap32(w32), BytesReversed(w32, 4)) << w;
    EXPECT_EQ(d::ByteSwap32(w32), BytesReversed(w32, 4)) << w;
    EXPECT_EQ(d::plain_bits::ByteSwap16(w16), BytesReversed(w16, 2)) << w;
    EXPECT_EQ(d::ByteSwap16(w16), BytesReversed(w16, 2)) << w;
  }
}
