#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

namespace {

std::string TmpFile(const char* name) { return std::string(NUV_TEST_TMP_DIR) + "/" + name; }

struct X87 {
  uint64_t mant;
  uint16_t se;
};

void ToBytes(X87 v, uint8_t* b) {
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(v.mant >> (8 * i));
  b[8] = static_cast<uint8_t>(v.se);
  b[9] = static_cast<uint8_t>(v.se >> 8);
}

}  // namespace

TEST(MemoryStream, ReadWriteSeekSize) {
  TMemoryStream ms;
  EXPECT_EQ(ms.Size(), 0);
  const char text[] = "abcdef";
  ms.WriteBuffer(text, 6);
  EXPECT_EQ(ms.Position(), 6);
  EXPECT_EQ(ms.Seek(2, soFromBeginning), 2);
  char buf[8] = {};
  EXPECT_EQ(ms.Read(buf, 8), 4);  // only "cdef" is left
  EXPECT_EQ(std::string(buf, 4), "cdef");
  EXPECT_EQ(ms.Read(buf, 1), 0);
  EXPECT_EQ(ms.Seek(-1, soFromEnd), 5);
  EXPECT_EQ(ms.Seek(-10, soFromCurrent), -1);  // before the start: unchanged
  EXPECT_EQ(ms.Position(), 5);
  // Writing past the end fills the gap with zeros.
  ms.SetPosition(8);
  ms.WriteBuffer("z", 1);
  EXPECT_EQ(ms.Size(), 9);
  EXPECT_EQ(ms.Memory()[6], 0);
  EXPECT_EQ(ms.Memory()[8], 'z');
  ms.SetSize(3);
  EXPECT_EQ(ms.Position(), 3);
  ms.WriteBuffer(ms.Memory(), 3);  // its own bytes, while the buffer grows
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ms.Memory()), 6), "abcabc");
  ms.SetSize(3);
  ms.SetPosition(0);
  EXPECT_THROW_MSG(ms.ReadBuffer(buf, 4), EInOutError, "Stream read error");
  ms.Clear();
  EXPECT_EQ(ms.Size(), 0);
  EXPECT_EQ(ms.Position(), 0);
}

TEST(FileStream, RoundTripAndOpenFailures) {
  const std::string name = TmpFile("streams_roundtrip.bin");
  {
    TFileStream fs(name, fmCreate);
    fs.WriteBuffer("hello world", 11);
    EXPECT_EQ(fs.Size(), 11);
    fs.SetPosition(6);
    char w[5];
    fs.ReadBuffer(w, 5);  // read after write at the same spot
    EXPECT_EQ(std::string(w, 5), "world");
    fs.Seek(0, soFromBeginning);
    fs.WriteBuffer("J", 1);  // write after read
  }
  TMemoryStream ms;
  ms.LoadFromFile(name);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ms.Memory()), 11), "Jello world");
  {
    TFileStream fs(name, fmOpenRead);
    EXPECT_EQ(fs.Size(), 11);
    EXPECT_EQ(fs.Write("x", 1), 0);  // read-only
    EXPECT_THROW_MSG(fs.WriteBuffer("x", 1), EInOutError,
                     "Stream write error on file \"" + name + "\"");
    char buf[20];
    EXPECT_EQ(fs.Read(buf, 20), 11);
  }
  {
    TFileStream fs(name, fmOpenReadWrite);
    fs.SetSize(5);
    EXPECT_EQ(fs.Size(), 5);
  }
  ms.LoadFromFile(name);
  EXPECT_EQ(ms.Size(), 5);

  const std::string missing = TmpFile("no_such_dir/x.bin");
  EXPECT_THROW_MSG(TFileStream(missing, fmOpenRead), EInOutError,
                   "Cannot open file \"" + missing + "\": No such file or directory");
  EXPECT_THROW_MSG(TFileStream(missing, fmCreate), EInOutError,
                   "Cannot create file \"" + missing + "\": No such file or directory");
  EXPECT_THROW(TFileStream(NUV_TEST_TMP_DIR, fmOpenRead), EInOutError);  // a directory
  // A failed load leaves the memory stream as it was.
  EXPECT_THROW(ms.LoadFromFile(missing), EInOutError);
  EXPECT_EQ(ms.Size(), 5);
}

// Bit patterns of the x87 double-extended format (Intel SDM vol. 1, 4.2.2
// and table 4-3): sign and 15-bit exponent (bias 16383) over a 64-bit
// mantissa with explicit integer bit.
TEST(ExtendedStream, KnownBytePatterns) {
  struct Case {
    Extended x;
    X87 bits;
  };
  const Case cases[] = {
      {1.0L, {0x8000000000000000u, 0x3FFF}},
      {-2.0L, {0x8000000000000000u, 0xC000}},
      {0.75L, {0xC000000000000000u, 0x3FFE}},
      {-0.0L, {0, 0x8000}},
      {std::numeric_limits<Extended>::infinity(), {0x8000000000000000u, 0x7FFF}},
  };
  uint8_t got[10], want[10];
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ExtendedToX87Bytes(cases[i].x, got);
    ToBytes(cases[i].bits, want);
    EXPECT_EQ(std::memcmp(got, want, 10), 0) << i;
    ExtendedToX87BytesSoft(cases[i].x, got);
    EXPECT_EQ(std::memcmp(got, want, 10), 0) << i;
    const Extended back = X87BytesToExtendedSoft(want);
    EXPECT_TRUE(back == cases[i].x && std::signbit(back) == std::signbit(cases[i].x)) << i;
  }
  // A double converted exactly: 0.1 = 0x3FB999999999999A as double.
  ExtendedToX87BytesSoft(static_cast<Extended>(0.1), got);
  ToBytes({0xCCCCCCCCCCCCD000u, 0x3FFB}, want);
  EXPECT_EQ(std::memcmp(got, want, 10), 0);
  // NaN keeps its sign and becomes the quiet NaN 0xC000000000000000.
  ExtendedToX87BytesSoft(-std::numeric_limits<Extended>::quiet_NaN(), got);
  EXPECT_TRUE(got[7] == 0xC0 && got[9] == 0xFF);
  ToBytes({0, 0x7FFF}, want);  // a pseudo-infinity is not a number
  EXPECT_TRUE(std::isnan(X87BytesToExtendedSoft(want)));

  // Where long double is x87 the portable path must agree with the hardware
  // layout, denormals included (2^-16445 is mantissa 1, exponent 0).
  if (LDBL_MANT_DIG != 64) return;
  for (const Extended x : {3.14159265358979323846L, -1e300L, LDBL_MIN / 4, std::ldexp(1.0L, -16445),
                           LDBL_MAX, -LDBL_MIN}) {
    ExtendedToX87BytesSoft(x, got);
    ExtendedToX87Bytes(x, want);
    EXPECT_EQ(std::memcmp(got, want, 10), 0) << static_cast<double>(x);
    EXPECT_TRUE(X87BytesToExtendedSoft(want) == x) << static_cast<double>(x);
  }
  // A pseudo-denormal decodes to the value of the smallest normal, 2^-16382.
  ToBytes({0x8000000000000000u, 0}, want);
  EXPECT_TRUE(X87BytesToExtendedSoft(want) == LDBL_MIN);
}

// Where long double is wider than x87 (aarch64's 128-bit quad; the test is
// skipped where it is x87 or double) a value rounds to the nearest x87 value,
// ties to even, and every finite x87 value comes back exactly.
TEST(ExtendedStream, WiderLongDoubleRoundsToNearestEven) {
  if (LDBL_MANT_DIG <= 64) GTEST_SKIP() << "long double is not wider than x87 here";
  const Extended one = 1.0L;
  struct Case {
    Extended x;
    X87 bits;
  };
  const Case cases[] = {
      {one + std::ldexp(one, -64), {0x8000000000000000u, 0x3FFF}},  // a tie: stays even
      {one + std::ldexp(one, -64) + std::ldexp(one, -65), {0x8000000000000001u, 0x3FFF}},
      {one + std::ldexp(one, -63) + std::ldexp(one, -64), {0x8000000000000002u, 0x3FFF}},  // tie, odd
      {-(2 - std::ldexp(one, -70)), {0x8000000000000000u, 0xC000}},  // carries into the exponent
      {LDBL_MAX, {0x8000000000000000u, 0x7FFF}},  // beyond the largest x87 value: infinity
      {std::ldexp(one, -16446), {0, 0}},          // half the smallest x87 denormal: a tie to 0
      {std::ldexp(3 * one, -16447), {1, 0}},      // three quarters of it: rounds up
  };
  uint8_t got[10], want[10];
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ExtendedToX87Bytes(cases[i].x, got);
    ToBytes(cases[i].bits, want);
    EXPECT_EQ(std::memcmp(got, want, 10), 0) << i;
  }
  const X87 exact[] = {{0xFFFFFFFFFFFFFFFFu, 0x7FFE}, {1, 0}, {0x7FFFFFFFFFFFFFFFu, 0x8000},
                       {0x8000000000000001u, 0x3FFF}, {0xC90FDAA22168C235u, 0x4000}};
  for (const X87& p : exact) {
    ToBytes(p, want);
    ExtendedToX87Bytes(X87BytesToExtended(want), got);
    EXPECT_EQ(std::memcmp(got, want, 10), 0) << p.mant;
  }
}

// Bit for bit through a stream, including patterns that only the x87 format
// has. Where long double is x87 the bytes are copied unchanged.
TEST(ExtendedStream, RoundTripsBitForBit) {
  const X87 patterns[] = {
      {0x8000000000000000u, 0x3FFF},  // 1
      {0x0000000000000001u, 0x0000},  // smallest denormal
      {0x7FFFFFFFFFFFFFFFu, 0x8000},  // largest negative denormal
      {0x8000000000000000u, 0x0000},  // pseudo-denormal
      {0x8000000000000000u, 0xFFFF},  // -Inf
      {0xC000000000000123u, 0x7FFF},  // quiet NaN with payload
      {0xA000000000000456u, 0xFFFF},  // signalling NaN with payload, negative
      {0, 0x8000},                    // -0
      {0xFFFFFFFFFFFFFFFFu, 0x7FFE},  // largest finite
  };
  TMemoryStream ms;
  uint8_t bytes[10];
  std::vector<Extended> values;
  for (const X87& p : patterns) {
    ToBytes(p, bytes);
    values.push_back(X87BytesToExtended(bytes));
    WriteExtendedToStream(&ms, values.back());
  }
  WriteLongintToStream(&ms, INT32_MIN);
  WriteLongintToStream(&ms, -2);
  ASSERT_EQ(ms.Size(), 9 * 10 + 8);
  if (LDBL_MANT_DIG == 64) {
    for (std::size_t i = 0; i < std::size(patterns); ++i) {
      ToBytes(patterns[i], bytes);
      EXPECT_EQ(std::memcmp(ms.Memory() + 10 * i, bytes, 10), 0) << i;
    }
  }
  ms.SetPosition(0);
  bool err = true;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const Extended v = ReadExtendedFromStream(&ms, err);
    EXPECT_FALSE(err);
    uint8_t a[10], b[10];
    ExtendedToX87Bytes(v, a);
    ExtendedToX87Bytes(values[i], b);
    EXPECT_EQ(std::memcmp(a, b, 10), 0) << i;
  }
  EXPECT_EQ(ReadLongintFromStream(&ms, err), INT32_MIN);
  EXPECT_FALSE(err);
  // -2 is FE FF FF FF in little-endian two's complement.
  EXPECT_EQ(ms.Memory()[94], 0xFE);
  EXPECT_EQ(ms.Memory()[97], 0xFF);
  EXPECT_EQ(ReadLongintFromStream(&ms, err), -2);
  EXPECT_FALSE(err);
}

TEST(ExtendedStream, TruncatedStreamSetsFlag) {
  TMemoryStream ms;
  WriteExtendedToStream(&ms, 1.0L);
  ms.SetSize(6);  // 00 00 00 00 00 00 of the mantissa survive
  ms.SetPosition(0);
  bool err = false;
  EXPECT_EQ(ReadExtendedFromStream(&ms, err), 0.0L);  // missing bytes count as 0
  EXPECT_TRUE(err);
  EXPECT_EQ(ms.Position(), 6);
  EXPECT_EQ(ReadExtendedFromStream(&ms, err), 0.0L);
  EXPECT_TRUE(err);

  ms.Clear();
  WriteLongintToStream(&ms, 0x01020304);
  ms.SetSize(3);
  ms.SetPosition(0);
  err = false;
  EXPECT_EQ(ReadLongintFromStream(&ms, err), 0x020304);
  EXPECT_TRUE(err);
  EXPECT_EQ(ReadLongintFromStream(nullptr, err), 0);
  EXPECT_TRUE(err);
  WriteExtendedToStream(nullptr, 1.0L);  // no-op
}
