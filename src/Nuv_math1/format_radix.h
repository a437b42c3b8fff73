// Hexadecimal, octal, binary and Roman numerals, and the bit patterns of
// floating-point numbers as hexadecimal text.
#pragma once

#include <string>

#include "foundation/frame.h"

namespace nuv {

/// The NDigits lowest hexadecimal digits (upper case) of the 32-bit pattern of
/// Value, zero-padded; NDigits is clipped to 1..8 (0 counts as 1).
NUV_API std::string Hex(int32_t Value, uint8_t NDigits);

/// As Hex in base 8; NDigits is clipped to 1..11.
NUV_API std::string Octal(int32_t Value, uint8_t NDigits);

/// As Hex in base 2; NDigits is clipped to 1..32.
NUV_API std::string Bin(int32_t Value, uint8_t NDigits);

/// IEEE 754 bit pattern, most significant byte first, in upper-case
/// hexadecimal: 8 digits for float, 16 for double, 20 for Extended (the
/// 10-byte x87 layout on every platform).
NUV_API std::string FPNumToHex(float x);
NUV_API std::string FPNumToHex(double x);
NUV_API std::string FPNumToHex(Extended x);

/// Inverses of FPNumToHex: exactly 8, 16 or 20 hexadecimal digits (either
/// case), most significant byte first. Any other text raises ENUVError with
/// "HexToDouble: invalid hex string \"<text>\"" (and the like).
NUV_API float HexToSingle(const std::string& s);
NUV_API double HexToDouble(const std::string& s);
NUV_API Extended HexToExtended(const std::string& s);

/// Roman numeral of 1..29999 (thousands repeat "M"); empty text otherwise.
NUV_API std::string Roman(int32_t Value);

}  // namespace nuv
