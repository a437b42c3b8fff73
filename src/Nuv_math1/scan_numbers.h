// Readers for the number and angle texts that the formatting functions write.
//
// Every Scan function has the shape
//   bool ScanX(const std::string& Instring, int32_t& StartPos, T& Value)
// StartPos is 1-based. Blanks and tabs at StartPos are skipped, then the
// longest text of the reader's form is read. On success Value holds the number
// and StartPos the position of the first character not read (size + 1 at the
// end); the result is true. When no number of the form starts there (or
// StartPos lies outside 1..size, or the number does not fit Value), the result
// is false and Value and StartPos are left unchanged. No Scan or IsValid
// function raises.
//
// The IsValid functions are true when the whole text, apart from blanks and
// tabs around it, is one number of the reader's form.
#pragma once

#include <string>

#include "foundation/frame.h"

namespace nuv {

/// Hexadecimal digits (either case) as a 32-bit pattern: "FFFFFFFF" is -1.
/// More than 32 significant bits fail.
NUV_API bool ScanHex(const std::string& Instring, int32_t& StartPos, int32_t& Value);

/// Octal digits as a 32-bit pattern: "37777777777" is -1.
NUV_API bool ScanOctal(const std::string& Instring, int32_t& StartPos, int32_t& Value);

/// Binary digits as a 32-bit pattern (up to 32 significant bits).
NUV_API bool ScanBin(const std::string& Instring, int32_t& StartPos, int32_t& Value);

/// An optional "+" or "-" and decimal digits within the 32-bit signed range.
NUV_API bool ScanDecimal(const std::string& Instring, int32_t& StartPos, int32_t& Value);

/// A floating-point number as strf, strff, EEngStr and MakeEFormat write it:
/// optional sign, digits with an optional ".", then either an exponent
/// ("E+03", "e-7", "E+0012") or an engineering prefix a f p n u (or "µ") m k M
/// G T, appended ("4.7k") or in place of the point ("4k7"). A prefix letter
/// followed by another ASCII letter is not read as a prefix. "NaN", "Inf" and
/// "Infinity" (any case, with a sign) are read too, unless a further ASCII
/// letter follows them. Magnitudes beyond the
/// range of double give infinity, those below it zero.
NUV_API bool ScanFPNum(const std::string& Instring, int32_t& StartPos, double& Value);

/// An angle as DegreeToStr writes it, in decimal degrees: "12.5°",
/// "-0° 30.00'", "12°  5' 30.0\"" or a plain "12.5". Minutes and seconds are
/// magnitudes below 60 after whole degrees, and the sign of the degrees
/// applies to the whole angle; minutes or seconds of 60 or more, or after
/// fractional degrees, fail.
NUV_API bool ScanDegrees(const std::string& Instring, int32_t& StartPos, double& Value);

/// Plain decimal floating-point text (sign, digits, ".", exponent) whose value
/// does not overflow a double; no prefixes, no NaN or Inf.
NUV_API bool IsValidDouble(const std::string& s);

/// Text that ScanFPNum reads completely.
NUV_API bool IsValidFPNum(const std::string& s);

/// Text that ScanHex reads completely.
NUV_API bool IsValidHex(const std::string& s);

/// Text that ScanOctal reads completely.
NUV_API bool IsValidOct(const std::string& s);

/// Text that ScanBin reads completely.
NUV_API bool IsValidBin(const std::string& s);

/// Text that ScanDecimal reads completely.
NUV_API bool IsValidDecInt(const std::string& s);

/// The decimal integer in s (IsValidDecInt's form); Default when s is empty
/// or not such an integer. Never raises.
NUV_API int32_t StrToIntDefault(const std::string& s, int32_t Default);

}  // namespace nuv
