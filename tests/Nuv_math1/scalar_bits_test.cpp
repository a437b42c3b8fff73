#include <cstring>
#include <limits>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;

TEST(Bits, GrayCode) {
  // Reflected binary code of 0..7: 0 1 3 2 6 7 5 4 (Gray 1953).
  const uint16_t gray[8] = {0, 1, 3, 2, 6, 7, 5, 4};
  for (uint16_t w = 0; w < 8; ++w) EXPECT_EQ(GrayCode(w), gray[w]);
  EXPECT_EQ(GrayCode(0xFFFF), 0x8000);
  // Neighbours differ in exactly one bit.
  for (uint32_t w = 0; w < 0xFFFF; ++w) {
    const uint32_t d = GrayCode(static_cast<uint16_t>(w)) ^ GrayCode(static_cast<uint16_t>(w + 1));
    ASSERT_EQ(d & (d - 1), 0u);
    ASSERT_NE(d, 0u);
  }
}

TEST(Bits, DecodeEncodeOutOfRange) {
  EXPECT_EQ(DecodeBit(0), 1);
  EXPECT_EQ(DecodeBit(7), 128);
  EXPECT_EQ(DecodeBit(8), 0);
  EXPECT_EQ(DecodeBit(-1), 0);
  EXPECT_EQ(DecodeLong(3), 8);
  EXPECT_EQ(DecodeLong(30), 1 << 30);
  EXPECT_EQ(DecodeLong(31), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(DecodeLong(32), 0);
  EXPECT_EQ(DecodeLong(64), 0);
  EXPECT_EQ(DecodeLong(-1), 0);
  EXPECT_EQ(DecodeLong(std::numeric_limits<int32_t>::max()), 0);
  EXPECT_EQ(EncodeLong(8), 3);
  EXPECT_EQ(EncodeLong(1), 0);
  EXPECT_EQ(EncodeLong(0x60), 5);
  EXPECT_EQ(EncodeLong(-1), 0);
  EXPECT_EQ(EncodeLong(std::numeric_limits<int32_t>::min()), 31);
  EXPECT_EQ(EncodeLong(0), 31);
  for (int32_t n = 0; n < 32; ++n) EXPECT_EQ(EncodeLong(DecodeLong(n)), n);
}

TEST(Bits, CountReverseAndPowersOfTwo) {
  EXPECT_EQ(CountBits(0), 0);
  EXPECT_EQ(CountBits(255), 8);
  EXPECT_EQ(CountBits(0xA5), 4);
  // 00010010 -> 01001000, 10110100 -> 00101101.
  EXPECT_EQ(BitReversal(1), 128);
  EXPECT_EQ(BitReversal(0x0F), 0xF0);
  EXPECT_EQ(BitReversal(0x12), 0x48);
  EXPECT_EQ(BitReversal(0xB4), 0x2D);
  EXPECT_EQ(BitReversal(0xFF), 0xFF);
  for (int b = 0; b < 256; ++b) {
    const uint8_t r = BitReversal(static_cast<uint8_t>(b));
    ASSERT_EQ(BitReversal(r), b);
    ASSERT_EQ(CountBits(r), CountBits(static_cast<uint8_t>(b)));
    ASSERT_EQ((r & 1) != 0, (b & 128) != 0);
  }
  EXPECT_TRUE(CheckPowerOfTwo(0));
  EXPECT_TRUE(CheckPowerOfTwo(1));
  EXPECT_TRUE(CheckPowerOfTwo(64));
  EXPECT_TRUE(CheckPowerOfTwo(1 << 30));
  EXPECT_FALSE(CheckPowerOfTwo(96));
  EXPECT_FALSE(CheckPowerOfTwo(-1));
  EXPECT_FALSE(CheckPowerOfTwo(std::numeric_limits<int32_t>::max()));
  EXPECT_TRUE(CheckPowerOfTwo(std::numeric_limits<int32_t>::min()));  // the sign bit alone
}

TEST(Bits, ConvertEndian) {
  EXPECT_EQ(ConvertEndian(uint16_t{0x1234}), 0x3412);
  EXPECT_EQ(ConvertEndian(int32_t{0x01020304}), 0x04030201);
  EXPECT_EQ(ConvertEndian(int32_t{-2}), -16777217);  // FFFFFFFE -> FEFFFFFF
  // IEEE 754: 1.0 is 3FF0000000000000 (double) and 3F800000 (float).
  const double d = ConvertEndian(1.0);
  uint64_t du;
  std::memcpy(&du, &d, sizeof du);
  EXPECT_EQ(du, 0x000000000000F03Full);
  const float f = ConvertEndian(1.0f);
  uint32_t fu;
  std::memcpy(&fu, &f, sizeof fu);
  EXPECT_EQ(fu, 0x0000803Fu);
  // Round trips keep every bit, NaN payloads included.
  const double x = -2.385e-300;
  EXPECT_EQ(ConvertEndian(ConvertEndian(x)), x);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double back = ConvertEndian(ConvertEndian(nan));
  EXPECT_EQ(std::memcmp(&back, &nan, sizeof nan), 0);
}
