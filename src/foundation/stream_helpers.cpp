#include "foundation/stream_helpers.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && \
    (defined(__x86_64__) || defined(__i386__) || defined(_M_IX86))
#define NUV_LDOUBLE_IS_X87 1
#else
#define NUV_LDOUBLE_IS_X87 0
#endif

namespace nuv {

namespace {

constexpr int kBias = 16383;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

void PutBytes(uint64_t Mant, uint16_t SignExp, uint8_t* Bytes) {
  for (int i = 0; i < 8; ++i) Bytes[i] = static_cast<uint8_t>(Mant >> (8 * i));
  Bytes[8] = static_cast<uint8_t>(SignExp);
  Bytes[9] = static_cast<uint8_t>(SignExp >> 8);
}

}  // namespace

void ExtendedToX87BytesSoft(Extended x, uint8_t* Bytes) {
  const uint16_t sign = std::signbit(x) ? 0x8000u : 0u;
  if (std::isnan(x)) {
    PutBytes(kIntegerBit | (kIntegerBit >> 1), static_cast<uint16_t>(sign | 0x7FFFu), Bytes);
    return;
  }
  if (std::isinf(x)) {
    PutBytes(kIntegerBit, static_cast<uint16_t>(sign | 0x7FFFu), Bytes);
    return;
  }
  if (x == 0) {
    PutBytes(0, sign, Bytes);
    return;
  }
  int e = 0;
  const long double m = std::frexp(std::fabs(x), &e);  // |x| = m * 2^e, m in [0.5, 1)
  // A normal x87 value is mant * 2^(E - bias - 63) with mant in [2^63, 2^64).
  int E = e + kBias - 1;
  int keep = 64;  // mantissa bits of m that the x87 value holds
  if (E <= 0) {
    keep = 64 - (1 - E);  // denormal: fewer bits, biased exponent 0
    E = 0;
  }
  const long double t = std::ldexp(m, keep);  // below 2^64
  uint64_t mant = static_cast<uint64_t>(t);
  const long double rest = t - static_cast<long double>(mant);
  if (rest > 0.5L || (rest == 0.5L && (mant & 1u) != 0)) {
    ++mant;
    if (mant == 0) {  // carried out of 64 bits
      mant = kIntegerBit;
      ++E;
    }
  }
  if (E == 0 && (mant & kIntegerBit) != 0) E = 1;  // rounded up to the smallest normal
  if (E >= 0x7FFF) {
    PutBytes(kIntegerBit, static_cast<uint16_t>(sign | 0x7FFFu), Bytes);
    return;
  }
  PutBytes(mant, static_cast<uint16_t>(sign | static_cast<uint16_t>(E)), Bytes);
}

Extended X87BytesToExtendedSoft(const uint8_t* Bytes) {
  uint64_t mant = 0;
  for (int i = 7; i >= 0; --i) mant = (mant << 8) | Bytes[i];
  const uint16_t se = static_cast<uint16_t>(Bytes[8] | (Bytes[9] << 8));
  const bool negative = (se & 0x8000u) != 0;
  const int E = se & 0x7FFF;
  long double v;
  if (E == 0x7FFF) {
    v = mant == kIntegerBit ? std::numeric_limits<long double>::infinity()
                            : std::numeric_limits<long double>::quiet_NaN();
  } else if (mant == 0) {
    v = 0.0L;
  } else {
    // Denormals and pseudo-denormals share the exponent of the smallest normal.
    v = std::ldexp(static_cast<long double>(mant), (E == 0 ? 1 : E) - kBias - 63);
  }
  return negative ? -v : v;
}

void ExtendedToX87Bytes(Extended x, uint8_t* Bytes) {
#if NUV_LDOUBLE_IS_X87
  std::memcpy(Bytes, &x, X87ByteCount);
#else
  ExtendedToX87BytesSoft(x, Bytes);
#endif
}

Extended X87BytesToExtended(const uint8_t* Bytes) {
#if NUV_LDOUBLE_IS_X87
  long double v = 0.0L;  // also clears the padding bytes
  std::memcpy(&v, Bytes, X87ByteCount);
  return v;
#else
  return X87BytesToExtendedSoft(Bytes);
#endif
}

void WriteExtendedToStream(TStream* Stream, Extended x) {
  if (Stream == nullptr) return;
  uint8_t bytes[X87ByteCount];
  ExtendedToX87Bytes(x, bytes);
  Stream->WriteBuffer(bytes, X87ByteCount);
}

Extended ReadExtendedFromStream(TStream* Stream, bool& ReadError) {
  uint8_t bytes[X87ByteCount] = {};
  if (Stream == nullptr) {
    ReadError = true;
    return 0.0L;
  }
  ReadError = Stream->Read(bytes, X87ByteCount) != X87ByteCount;
  return X87BytesToExtended(bytes);
}

void WriteLongintToStream(TStream* Stream, int32_t Value) {
  if (Stream == nullptr) return;
  const uint32_t u = static_cast<uint32_t>(Value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                            static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
  Stream->WriteBuffer(bytes, 4);
}

int32_t ReadLongintFromStream(TStream* Stream, bool& ReadError) {
  uint8_t bytes[4] = {};
  if (Stream == nullptr) {
    ReadError = true;
    return 0;
  }
  ReadError = Stream->Read(bytes, 4) != 4;
  const uint32_t u = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                     (static_cast<uint32_t>(bytes[2]) << 16) |
                     (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(u);
}

}  // namespace nuv
