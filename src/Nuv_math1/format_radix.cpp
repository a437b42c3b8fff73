#include "Nuv_math1/format_radix.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace nuv {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The NDigits lowest digits of Value's pattern in base 2^Bits.
std::string RadixText(int32_t Value, uint8_t NDigits, uint32_t Bits, uint32_t MaxDigits) {
  uint32_t n = NDigits == 0 ? 1u : NDigits;
  if (n > MaxDigits) n = MaxDigits;
  uint64_t pattern = static_cast<uint32_t>(Value);
  const uint64_t mask = (1u << Bits) - 1u;
  std::string text(n, '0');
  for (uint32_t i = n; i > 0; --i) {
    text[i - 1] = kDigits[pattern & mask];
    pattern >>= Bits;
  }
  return text;
}

std::string BytesToHex(const uint8_t* Bytes, size_t Count) {
  // Bytes are little-endian; the text starts with the most significant one.
  std::string text(2 * Count, '0');
  for (size_t i = 0; i < Count; ++i) {
    const uint8_t b = Bytes[Count - 1 - i];
    text[2 * i] = kDigits[b >> 4];
    text[2 * i + 1] = kDigits[b & 15];
  }
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void HexToBytes(const std::string& s, uint8_t* Bytes, size_t Count, const char* FuncName) {
  bool ok = s.size() == 2 * Count;
  for (size_t i = 0; ok && i < Count; ++i) {
    const int hi = HexValue(s[2 * i]);
    const int lo = HexValue(s[2 * i + 1]);
    ok = hi >= 0 && lo >= 0;
    if (ok) Bytes[Count - 1 - i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  if (!ok) RaiseFunctionError<ENUVError>(FuncName, "invalid hex string \"" + s + "\"");
}

void StoreLE(uint64_t v, uint8_t* Bytes, size_t Count) {
  for (size_t i = 0; i < Count; ++i) Bytes[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t LoadLE(const uint8_t* Bytes, size_t Count) {
  uint64_t v = 0;
  for (size_t i = Count; i > 0; --i) v = (v << 8) | Bytes[i - 1];
  return v;
}

#if defined(__x86_64__) || defined(__i386__) || defined(_M_IX86)
#define NUV_X87_LONG_DOUBLE (LDBL_MANT_DIG == 64)
#else
#define NUV_X87_LONG_DOUBLE 0
#endif

// The 10-byte little-endian x87 layout: 64-bit significand with explicit
// integer bit, then 15-bit biased exponent and the sign.
void ExtendedToX87(Extended x, uint8_t* Bytes) {
#if NUV_X87_LONG_DOUBLE
  std::memcpy(Bytes, &x, 10);
#else
  uint32_t se = std::signbit(x) ? 0x8000u : 0u;
  uint64_t mant = 0;
  if (std::isnan(x)) {
    se |= 0x7FFFu;
    mant = 0xC000000000000000ull;
  } else if (std::isinf(x)) {
    se |= 0x7FFFu;
    mant = 0x8000000000000000ull;
  } else if (x != 0) {
    int e = 0;
    const long double m = std::frexp(std::fabs(x), &e);  // x = m * 2^e, m in [0.5, 1)
    int32_t biased = e - 1 + 16383;
    if (biased >= 0x7FFF) {
      se |= 0x7FFFu;
      mant = 0x8000000000000000ull;
    } else if (biased <= 0) {
      mant = static_cast<uint64_t>(std::ldexp(m, 63 + biased));
      se |= 0u;
    } else {
      mant = static_cast<uint64_t>(std::ldexp(m, 64));
      se |= static_cast<uint32_t>(biased);
    }
  }
  StoreLE(mant, Bytes, 8);
  StoreLE(se, Bytes + 8, 2);
#endif
}

Extended X87ToExtended(const uint8_t* Bytes) {
#if NUV_X87_LONG_DOUBLE
  Extended x = 0;
  std::memcpy(&x, Bytes, 10);
  return x;
#else
  const uint64_t mant = LoadLE(Bytes, 8);
  const uint32_t se = static_cast<uint32_t>(LoadLE(Bytes + 8, 2));
  const int32_t biased = static_cast<int32_t>(se & 0x7FFFu);
  long double v;
  if (biased == 0x7FFF)
    v = (mant << 1) == 0 ? HUGE_VALL : NAN;
  else
    v = std::ldexp(static_cast<long double>(mant), (biased == 0 ? 1 : biased) - 16383 - 63);
  return (se & 0x8000u) != 0 ? -v : v;
#endif
}

}  // namespace

std::string Hex(int32_t Value, uint8_t NDigits) { return RadixText(Value, NDigits, 4, 8); }

std::string Octal(int32_t Value, uint8_t NDigits) { return RadixText(Value, NDigits, 3, 11); }

std::string Bin(int32_t Value, uint8_t NDigits) { return RadixText(Value, NDigits, 1, 32); }

std::string FPNumToHex(float x) {
  uint32_t bits = 0;
  std::memcpy(&bits, &x, 4);
  uint8_t bytes[4];
  StoreLE(bits, bytes, 4);
  return BytesToHex(bytes, 4);
}

std::string FPNumToHex(double x) {
  uint64_t bits = 0;
  std::memcpy(&bits, &x, 8);
  uint8_t bytes[8];
  StoreLE(bits, bytes, 8);
  return BytesToHex(bytes, 8);
}

std::string FPNumToHex(Extended x) {
  uint8_t bytes[10];
  ExtendedToX87(x, bytes);
  return BytesToHex(bytes, 10);
}

float HexToSingle(const std::string& s) {
  uint8_t bytes[4];
  HexToBytes(s, bytes, 4, "HexToSingle");
  const auto bits = static_cast<uint32_t>(LoadLE(bytes, 4));
  float x = 0;
  std::memcpy(&x, &bits, 4);
  return x;
}

double HexToDouble(const std::string& s) {
  uint8_t bytes[8];
  HexToBytes(s, bytes, 8, "HexToDouble");
  const uint64_t bits = LoadLE(bytes, 8);
  double x = 0;
  std::memcpy(&x, &bits, 8);
  return x;
}

Extended HexToExtended(const std::string& s) {
  uint8_t bytes[10];
  HexToBytes(s, bytes, 10, "HexToExtended");
  return X87ToExtended(bytes);
}

std::string Roman(int32_t Value) {
  static constexpr int32_t kValues[13] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  static constexpr const char* kLetters[13] = {"M",  "CM", "D",  "CD", "C",  "XC", "L",
                                               "XL", "X",  "IX", "V",  "IV", "I"};
  std::string text;
  if (Value < 1 || Value > 29999) return text;
  for (int i = 0; i < 13; ++i) {
    while (Value >= kValues[i]) {
      text += kLetters[i];
      Value -= kValues[i];
    }
  }
  return text;
}

}  // namespace nuv
