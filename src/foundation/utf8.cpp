#include "foundation/utf8.h"

namespace nuv {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the byte does not
// start one (overlong forms, surrogates and values above U+10FFFF refused).
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return 1;
  std::size_t len = 0;
  if (b >= 0xC2 && b <= 0xDF)
    len = 2;
  else if (b >= 0xE0 && b <= 0xEF)
    len = 3;
  else if (b >= 0xF0 && b <= 0xF4)
    len = 4;
  else
    return 0;
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (b == 0xE0 && b1 < 0xA0) return 0;
  if (b == 0xED && b1 >= 0xA0) return 0;
  if (b == 0xF0 && b1 < 0x90) return 0;
  if (b == 0xF4 && b1 >= 0x90) return 0;
  return len;
}

void AppendUTF8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

uint32_t ToLower(uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x130 || c == 0x131) return c;      // the dotted and dotless i have no simple pair
  if (c >= 0x100 && c <= 0x137) return c | 1;  // pairs even/odd
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;  // pairs odd/even
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

uint32_t ToUpper(uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c == 0x130 || c == 0x131) return c;
  if (c >= 0x100 && c <= 0x137) return c & ~1u;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return c & ~1u;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

template <class Map>
std::string ConvertCase(std::string_view s, Map&& M) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = SequenceLength(s, i);
    if (len == 0) {  // keep invalid bytes as they are
      out += s[i++];
      continue;
    }
    if (len == 1) {
      out += static_cast<char>(M(static_cast<unsigned char>(s[i])));
      ++i;
      continue;
    }
    std::size_t j = i;
    AppendUTF8(out, M(NextCodePoint(s, j)));
    i = j;
  }
  return out;
}

}  // namespace

uint32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const std::size_t len = SequenceLength(s, i);
  const auto b = static_cast<unsigned char>(s[i]);
  if (len <= 1) {
    ++i;
    return b;
  }
  uint32_t cp = len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
  for (std::size_t k = 1; k < len; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
  i += len;
  return cp;
}

std::string_view CutUTF8(std::string_view s, std::size_t MaxBytes) {
  if (s.size() <= MaxBytes) return s;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = SequenceLength(s, i);
    const std::size_t step = len == 0 ? 1 : len;
    if (i + step > MaxBytes) break;
    i += step;
  }
  return s.substr(0, i);
}

int32_t UTF8Length(std::string_view s) {
  int32_t n = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = SequenceLength(s, i);
    i += len == 0 ? 1 : len;
    ++n;
  }
  return n;
}

std::string UTF8LowerCase(std::string_view s) { return ConvertCase(s, ToLower); }

std::string UTF8UpperCase(std::string_view s) { return ConvertCase(s, ToUpper); }

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace nuv
