// Locale-free number text and the base library's string helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/nuv_export.h"
#include "foundation/types.h"

namespace nuv {

/// The widest field the number formatters pad to: a larger Width counts as this.
inline constexpr int32_t MaxFieldWidth = 1024;

/// Fixed-point text of x with Decimals digits after "." (none and no point for
/// Decimals <= 0), a "-" when x < 0, right-aligned with blanks to at least
/// Width characters (at most MaxFieldWidth). NaN and infinities give "NaN",
/// "Inf" and "-Inf".
NUV_API std::string strff(double x, int32_t Width, int32_t Decimals);

/// Number text that reads back as written, into [P, End) (32 bytes suffice
/// for every form but fixed point of huge values): "NaN", "Inf", "-Inf" as
/// strff writes them; fixed point with Decimals places when Decimals >= 0;
/// else SigDigits significant digits, or the shortest text that reads back to
/// the identical double when SigDigits is 0 or >= 15. Returns the end of the
/// text. Independent of the locale.
NUV_API char* FormatDoubleText(char* P, char* End, double v, int32_t SigDigits, int32_t Decimals);

/// Whether Line matches Pattern. A pattern that is exactly one of the class
/// names below tests for a character class; any other pattern is a plain,
/// case-sensitive substring (the empty pattern matches every line).
///   "//dig"   a decimal digit, or the word NaN, Inf or Infinity in any case
///             (so every line that holds a number, also one strff wrote for
///             a NaN or an infinity)
///   "//alpha" an ASCII letter
///   "//space" a blank or a tab
NUV_API bool StringContains(std::string_view Line, std::string_view Pattern);

/// Copy of s with every OldChar replaced by NewChar.
NUV_API std::string ReplaceCharInString(std::string_view s, char OldChar, char NewChar);

/// Copy of s without the control characters (codes below 32, and 127).
/// Bytes of 128 and above (UTF-8 sequences) are kept.
NUV_API std::string RemoveControlChars(std::string_view s);

/// Reads a name fed one character c at a time; returns true once the name in
/// Name is complete (State is then qssComplete). Start with State = qssIdle;
/// the next character after a complete name starts the next one.
/// - Blanks, tabs, CR and LF before a name are skipped.
/// - A name that starts with QuoteChar runs to the matching QuoteChar; inside
///   it a doubled QuoteChar stands for one. The character after the closing
///   quote ends the name and is consumed (it is normally the separator).
/// - Any other name is unquoted and ends at a blank, tab, CR or LF, which is
///   consumed; quote characters inside it are kept.
/// Name is emptied when a new name starts. At the end of the input, feeding
/// one blank completes a pending name.
NUV_API bool ParseQuotedName(char c, char QuoteChar, std::string& Name, TQuotedStrState& State);

/// Latin-1 (ISO 8859-1) bytes of UTF-8 text, one byte per character: code
/// points above U+00FF and malformed UTF-8 bytes become '?'.
NUV_API std::string Utf8ToLatin1(std::string_view s);

/// UTF-8 text of Latin-1 bytes (every byte is the code point of its value).
NUV_API std::string Latin1ToUtf8(std::string_view s);

/// Parses a decimal floating-point number: blanks, tabs, CR and LF around it,
/// an optional "+" or "-", digits with an optional "." and exponent, or
/// NaN / Inf / Infinity in any case (as strff writes them). The whole text
/// must be used. A value beyond the range of double becomes an infinity, one
/// below it zero or a denormal. False, with Value unchanged, otherwise.
/// Independent of the locale.
NUV_API bool TextToDouble(std::string_view Text, double& Value);

/// Parses a decimal 32-bit integer with optional sign and surrounding
/// blanks; false, with Value unchanged, when malformed or out of range.
NUV_API bool TextToInt32(std::string_view Text, int32_t& Value);

namespace detail {
/// Parses the number in [First, Last) exactly (no blanks); the end of the
/// number must be Last. Shared by TextToDouble and the text reader.
NUV_API bool ParseDoubleToken(const char* First, const char* Last, double& Value);
NUV_API bool ParseInt32Token(const char* First, const char* Last, int32_t& Value);
}  // namespace detail

}  // namespace nuv
