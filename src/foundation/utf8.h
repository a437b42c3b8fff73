// UTF-8 text helpers: cutting at a character boundary, counting characters,
// case conversion of the common alphabets, and the UTF-16 code units of a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/nuv_export.h"

namespace nuv {

/// The longest prefix of s of at most MaxBytes bytes that does not end inside
/// a multi-byte character. Bytes that are not valid UTF-8 count as one
/// character each.
NUV_API std::string_view CutUTF8(std::string_view s, std::size_t MaxBytes);

/// The number of characters of s (a byte that is not valid UTF-8 counts as one).
NUV_API int32_t UTF8Length(std::string_view s);

/// Lower (upper) case of s: ASCII, Latin-1, Latin Extended-A, Greek and
/// Cyrillic letters are converted; everything else, invalid bytes included,
/// is kept. Independent of the locale.
NUV_API std::string UTF8LowerCase(std::string_view s);
NUV_API std::string UTF8UpperCase(std::string_view s);

/// s without leading and trailing bytes up to ' ' (blanks and control characters).
NUV_API std::string_view TrimBlanks(std::string_view s);

/// Decodes the character at s[i] and advances i; a byte that is not valid
/// UTF-8 decodes as itself (Latin-1).
NUV_API uint32_t NextCodePoint(std::string_view s, std::size_t& i);

/// Calls Unit(u) for each UTF-16 code unit of s (surrogate pairs above U+FFFF).
template <class F>
void ForEachUTF16Unit(std::string_view s, F&& Unit) {
  std::size_t i = 0;
  while (i < s.size()) {
    const uint32_t cp = NextCodePoint(s, i);
    if (cp >= 0x10000) {
      const uint32_t v = cp - 0x10000;
      Unit(static_cast<uint16_t>(0xD800 + (v >> 10)));
      Unit(static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      Unit(static_cast<uint16_t>(cp));
    }
  }
}

}  // namespace nuv
