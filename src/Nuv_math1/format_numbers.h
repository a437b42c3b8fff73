// Decimal, fixed-point, scientific, engineering and normalized-exponent text.
#pragma once

#include <string>

#include "foundation/frame.h"

namespace nuv {

/// The NDigits lowest decimal digits of |Value|, zero-padded, with "-" for
/// Value < 0 (higher digits are cut off; NDigits 0 counts as 1).
NUV_API std::string Decimal(int32_t Value, uint8_t NDigits);

/// Decimals >= 0: fixed point (strff). Decimals = -2: scientific with a
/// two-digit exponent in Width characters; an exponent beyond +-99 gives a
/// field of stars. Other negative Decimals: scientific with four exponent
/// digits (" 1.2345E+0003" for Width 13). Fields too narrow widen, a Width
/// above MaxFieldWidth counts as MaxFieldWidth; NaN and infinities give "NaN",
/// "Inf", "-Inf" right-aligned in Width.
NUV_API std::string strf(double x, int32_t Width, int32_t Decimals);

/// Engineering text with a prefix a f p n u m k M G T ("4.7k"; negative
/// Digits put the prefix in place of the point, "4k7"). Digits is clipped to
/// -9..9; NaN and infinities give "NaN", "Inf", "-Inf".
NUV_API std::string EEngStr(double x, int32_t Digits);

/// " 0.dddE+nn" with Digits (2..15) mantissa digits, right-aligned in Width
/// (8..40) characters; longer texts are not cut. Exponents of three digits are
/// written in full. NaN and infinities give "NaN", "Inf", "-Inf" right-aligned.
NUV_API std::string MakeEFormat(double x, int32_t Width, int32_t Digits);

}  // namespace nuv
