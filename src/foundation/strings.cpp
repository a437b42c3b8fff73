#include "foundation/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace nuv {

namespace {
constexpr int32_t kMaxDecimals = 60;

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Whether s holds nan, inf or infinity (any case) as a whole word.
bool HoldsNonFiniteWord(std::string_view s) {
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    if (!IsAlpha(s[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && IsAlpha(s[j])) ++j;
    const std::size_t len = j - i;
    if (len == 3 || len == 8) {
      char w[8];
      for (std::size_t k = 0; k < len; ++k) w[k] = Lower(s[i + k]);
      const std::string_view word(w, len);
      if (word == "nan" || word == "inf" || word == "infinity") return true;
    }
    i = j;
  }
  return false;
}

// The value of an in-range-failing number: zero for a number too small,
// an infinity for one too large (decided by the sign of its decimal exponent).
double OutOfRangeValue(const char* First, const char* Last) {
  bool negative = false;
  const char* p = First;
  if (p < Last && (*p == '-' || *p == '+')) negative = *p++ == '-';
  bool leadingZero = true;  // no non-zero digit before the point
  for (; p < Last && IsDigit(*p); ++p) leadingZero = leadingZero && *p == '0';
  while (p < Last && *p != 'e' && *p != 'E') ++p;
  bool tiny = leadingZero;
  if (p < Last) {
    ++p;
    tiny = p < Last && *p == '-';
  }
  const double v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  return negative ? -v : v;
}

}  // namespace

std::string strff(double x, int32_t Width, int32_t Decimals) {
  std::string text;
  if (std::isnan(x)) {
    text = "NaN";
  } else if (std::isinf(x)) {
    text = x > 0 ? "Inf" : "-Inf";
  } else {
    if (Decimals < 0) Decimals = 0;
    if (Decimals > kMaxDecimals) Decimals = kMaxDecimals;
    if (x == 0.0) x = 0.0;  // no sign on negative zero
    char buf[320 + kMaxDecimals];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, Decimals);
    text.assign(buf, res.ptr);
  }
  if (Width > MaxFieldWidth) Width = MaxFieldWidth;
  if (Width > static_cast<int32_t>(text.size()))
    text.insert(0, static_cast<size_t>(Width) - text.size(), ' ');
  return text;
}

bool StringContains(std::string_view Line, std::string_view Pattern) {
  if (Pattern == "//dig") {
    for (const char c : Line)
      if (IsDigit(c)) return true;
    return HoldsNonFiniteWord(Line);
  }
  if (Pattern == "//alpha") {
    for (const char c : Line)
      if (IsAlpha(c)) return true;
    return false;
  }
  if (Pattern == "//space") {
    for (const char c : Line)
      if (c == ' ' || c == '\t') return true;
    return false;
  }
  return Line.find(Pattern) != std::string_view::npos;
}

std::string ReplaceCharInString(std::string_view s, char OldChar, char NewChar) {
  std::string out(s);
  for (char& c : out)
    if (c == OldChar) c = NewChar;
  return out;
}

std::string RemoveControlChars(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u != 127) out.push_back(c);
  }
  return out;
}

namespace {

// Length of the well-formed UTF-8 sequence at p[0..n) (overlong forms,
// surrogates and code points above U+10FFFF are not well-formed), 0 if none.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t n) {
  const unsigned char b = p[0];
  if (b < 0x80) return 1;
  auto cont = [&](std::size_t i, unsigned char lo, unsigned char hi) {
    return i < n && p[i] >= lo && p[i] <= hi;
  };
  if (b >= 0xC2 && b <= 0xDF) return cont(1, 0x80, 0xBF) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = b == 0xED ? 0x9F : 0xBF;
    return cont(1, lo, hi) && cont(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;
    return cont(1, lo, hi) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

}  // namespace

std::string Utf8ToLatin1(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = Utf8SequenceLength(p + i, n - i);
    if (len == 1) {
      out.push_back(static_cast<char>(p[i]));
    } else if (len == 2 && p[i] <= 0xC3) {
      out.push_back(static_cast<char>(((p[i] & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu)));
    } else {
      out.push_back('?');
    }
    i += len == 0 ? 1 : len;
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

bool ParseQuotedName(char c, char QuoteChar, std::string& Name, TQuotedStrState& State) {
  switch (State) {
    case qssQuoted:
      if (c == QuoteChar)
        State = qssQuoteInQuoted;
      else
        Name.push_back(c);
      return false;
    case qssQuoteInQuoted:
      if (c == QuoteChar) {
        Name.push_back(c);
        State = qssQuoted;
        return false;
      }
      State = qssComplete;
      return true;
    case qssUnquoted:
      if (IsBlank(c)) {
        State = qssComplete;
        return true;
      }
      Name.push_back(c);
      return false;
    case qssIdle:
    case qssComplete:
    default:
      if (IsBlank(c)) return false;
      Name.clear();
      if (c == QuoteChar) {
        State = qssQuoted;
      } else {
        Name.push_back(c);
        State = qssUnquoted;
      }
      return false;
  }
}

namespace detail {

bool ParseDoubleToken(const char* First, const char* Last, double& Value) {
  if (First == Last) return false;
  const char* p = First;
  if (*p == '+') {
    ++p;
    if (p == Last || *p == '-' || *p == '+') return false;
  }
  double v = 0.0;
  const auto res = std::from_chars(p, Last, v, std::chars_format::general);
  if (res.ptr != Last) return false;
  if (res.ec == std::errc()) {
    Value = v;
    return true;
  }
  if (res.ec != std::errc::result_out_of_range) return false;
  long double w = 0.0L;
  const auto wide = std::from_chars(p, Last, w, std::chars_format::general);
  if (wide.ec == std::errc() && wide.ptr == Last)
    Value = static_cast<double>(w);
  else
    Value = OutOfRangeValue(First, Last);
  return true;
}

bool ParseInt32Token(const char* First, const char* Last, int32_t& Value) {
  if (First == Last) return false;
  const char* p = First;
  if (*p == '+') {
    ++p;
    if (p == Last || *p == '-' || *p == '+') return false;
  }
  int32_t v = 0;
  const auto res = std::from_chars(p, Last, v, 10);
  if (res.ec != std::errc() || res.ptr != Last) return false;
  Value = v;
  return true;
}

}  // namespace detail

bool TextToDouble(std::string_view Text, double& Value) {
  const std::string_view t = Trim(Text);
  return detail::ParseDoubleToken(t.data(), t.data() + t.size(), Value);
}

bool TextToInt32(std::string_view Text, int32_t& Value) {
  const std::string_view t = Trim(Text);
  return detail::ParseInt32Token(t.data(), t.data() + t.size(), Value);
}

char* FormatDoubleText(char* P, char* End, double v, int32_t SigDigits, int32_t Decimals) {
  if (std::isnan(v)) return std::copy_n("NaN", 3, P);
  if (std::isinf(v)) return v < 0 ? std::copy_n("-Inf", 4, P) : std::copy_n("Inf", 3, P);
  std::to_chars_result r;
  if (Decimals >= 0)
    r = std::to_chars(P, End, v, std::chars_format::fixed, Decimals);
  else if (SigDigits <= 0 || SigDigits >= 15)
    r = std::to_chars(P, End, v);
  else
    r = std::to_chars(P, End, v, std::chars_format::general, SigDigits);
  return r.ec == std::errc() ? r.ptr : P;
}

}  // namespace nuv
