#include "Nuv_math1/format_radix.h"

#include <cstring>

#include "foundation/stream_helpers.h"

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
  ExtendedToX87Bytes(x, bytes);
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
  return X87BytesToExtended(bytes);
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
