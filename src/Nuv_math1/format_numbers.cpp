#include "Nuv_math1/format_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "foundation/strings.h"

namespace nuv {

namespace {

// Mantissa digits beyond this are not significant for a double; wider fields
// are padded with blanks instead.
constexpr int64_t kMaxSciDigits = 60;

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};

std::string PadLeft(std::string text, int64_t Width) {
  if (Width > static_cast<int64_t>(text.size()))
    text.insert(0, static_cast<size_t>(Width - static_cast<int64_t>(text.size())), ' ');
  return text;
}

struct SciParts {
  bool Negative;
  std::string Mantissa;  // "d.ddd"
  int32_t Exponent;
};

// Correctly rounded mantissa and exponent of a finite x with Digits digits
// after the point.
SciParts SplitScientific(double x, int32_t Digits) {
  if (x == 0.0) x = 0.0;  // negative zero takes the blank sign
  char buf[kMaxSciDigits + 32];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                 std::chars_format::scientific, Digits);
  const char* e = buf;
  while (e < res.ptr && *e != 'e') ++e;
  SciParts parts{std::signbit(x), std::string(static_cast<const char*>(buf), e), 0};
  int32_t exponent = 0;
  const char* p = e + 1;
  if (p < res.ptr && (*p == '+' || *p == '-')) ++p;
  std::from_chars(p, res.ptr, exponent);
  parts.Exponent = (e + 1 < res.ptr && e[1] == '-') ? -exponent : exponent;
  return parts;
}

std::string ExponentText(int32_t Exponent, int32_t MinDigits) {
  std::string text(1, Exponent < 0 ? '-' : '+');
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::abs(Exponent));
  const auto n = static_cast<int32_t>(res.ptr - buf);
  if (n < MinDigits) text.append(static_cast<size_t>(MinDigits - n), '0');
  text.append(buf, res.ptr);
  return text;
}

// The scientific layout: sign or blank, "d.", Width - 9 digits, "E", exponent
// sign and four digits. Fields narrower than one digit after the point widen.
std::string SciText(double x, int64_t Width) {
  if (!std::isfinite(x)) return PadLeft(strff(x, 1, 0), Width);
  int64_t digits = Width - 9;
  if (digits < 1) digits = 1;
  if (digits > kMaxSciDigits) digits = kMaxSciDigits;
  const SciParts parts = SplitScientific(x, static_cast<int32_t>(digits));
  std::string text(1, parts.Negative ? '-' : ' ');
  text += parts.Mantissa;
  text += 'E';
  text += ExponentText(parts.Exponent, 4);
  return PadLeft(std::move(text), Width);
}

}  // namespace

std::string Decimal(int32_t Value, uint8_t NDigits) {
  const size_t n = NDigits == 0 ? 1 : NDigits;
  uint32_t magnitude = Value < 0 ? 0u - static_cast<uint32_t>(Value) : static_cast<uint32_t>(Value);
  const size_t sign = Value < 0 ? 1 : 0;
  std::string text(n + sign, '0');
  if (sign != 0) text[0] = '-';
  for (size_t i = text.size(); i > sign && magnitude != 0; --i) {
    text[i - 1] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  return text;
}

std::string strf(double x, int32_t Width, int32_t Decimals) {
  if (Width > MaxFieldWidth) Width = MaxFieldWidth;
  if (Decimals >= 0) return strff(x, Width, Decimals);
  if (Decimals != -2) return SciText(x, Width);
  std::string text = SciText(x, static_cast<int64_t>(Width) + 2);
  const size_t e = text.find('E');
  if (e == std::string::npos) return PadLeft(strff(x, 1, 0), Width);
  const bool fits = text[e + 2] == '0' && text[e + 3] == '0';
  text.erase(e + 2, 2);
  if (!fits) text.assign(text.size(), '*');
  return text;
}

std::string EEngStr(double x, int32_t Digits) {
  if (Digits < -9) Digits = -9;
  if (Digits > 9) Digits = 9;
  const int32_t b = Digits >= 2 ? Digits - 1 : (Digits <= -2 ? Digits + 1 : 0);
  const int32_t absB = std::abs(b);
  if (x == 0.0) return strff(0.0, 1, absB);
  if (!std::isfinite(x)) return strff(x, 1, 0);

  const double ax = std::fabs(x);
  const double lg = std::log10(ax);
  const auto e = static_cast<int32_t>(std::floor(lg));
  auto g = static_cast<int32_t>(std::floor(lg / 3.0));
  if (g < -6) g = -6;
  if (g > 4) g = 4;
  // Powers of ten up to 1e18 are exact, so scale by multiplying or dividing
  // with the exact one rather than with an inexact negative power.
  const double mantissa = g >= 0 ? ax / kPow10[3 * g] : ax * kPow10[-3 * g];
  int32_t decimals = absB + 3 * g - e;
  if (decimals < 0) decimals = 0;
  std::string text = strff(mantissa, 1, decimals);

  if (g != 0) {
    static constexpr char kPrefix[] = "afpnum_kMGT";
    const char letter = kPrefix[g + 6];
    const size_t point = text.find('.');
    if (b < 0 && point != std::string::npos)
      text[point] = letter;
    else
      text += letter;
  }
  if (x < 0) text.insert(0, 1, '-');
  return text;
}

std::string MakeEFormat(double x, int32_t Width, int32_t Digits) {
  if (Digits < 2) Digits = 2;
  if (Digits > 15) Digits = 15;
  if (Width < 8) Width = 8;
  if (Width > 40) Width = 40;
  if (!std::isfinite(x)) return PadLeft(strff(x, 1, 0), Width);
  const SciParts parts = SplitScientific(x, Digits - 1);
  std::string text(1, parts.Negative ? '-' : ' ');
  text += "0.";
  text += parts.Mantissa[0];
  text.append(parts.Mantissa, 2, std::string::npos);
  text += 'E';
  text += ExponentText(x == 0.0 ? parts.Exponent : parts.Exponent + 1, 2);
  return PadLeft(std::move(text), Width);
}

}  // namespace nuv
