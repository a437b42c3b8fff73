#include "Nuv_math1/scan_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace nuv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Zero-based index of the first non-blank at or after the 1-based StartPos.
bool StartIndex(const std::string& s, int32_t StartPos, size_t& i) {
  if (StartPos < 1 || static_cast<size_t>(StartPos) > s.size()) return false;
  i = static_cast<size_t>(StartPos) - 1;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i < s.size();
}

// The 1-based position after zero-based index End, if it fits StartPos.
bool EndPosition(size_t End, int32_t& StartPos) {
  if (End >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  StartPos = static_cast<int32_t>(End + 1);
  return true;
}

int DigitValue(char c, uint32_t Base) {
  int d = -1;
  if (IsDigit(c))
    d = c - '0';
  else if (c >= 'A' && c <= 'F')
    d = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f')
    d = c - 'a' + 10;
  return d >= 0 && static_cast<uint32_t>(d) < Base ? d : -1;
}

bool ScanRadix(const std::string& s, int32_t& StartPos, int32_t& Value, uint32_t Base) {
  size_t i = 0;
  if (!StartIndex(s, StartPos, i)) return false;
  size_t j = i;
  uint64_t v = 0;
  for (; j < s.size(); ++j) {
    const int d = DigitValue(s[j], Base);
    if (d < 0) break;
    v = v * Base + static_cast<uint32_t>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (j == i || !EndPosition(j, StartPos)) return false;
  Value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

bool MatchNoCase(const std::string& s, size_t i, const char* Word) {
  for (; *Word != '\0'; ++Word, ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *Word) return false;
  }
  return true;
}

// The engineering prefix at i: its power of 1000 and its length in bytes.
bool PrefixAt(const std::string& s, size_t i, int32_t& Group, size_t& Length) {
  static constexpr char kLetters[] = "afpnum_kMGT";
  if (i + 1 < s.size() && s[i] == '\xC2' && s[i + 1] == '\xB5') {  // U+00B5 micro sign
    Group = -2;
    Length = 2;
    return true;
  }
  for (int32_t k = 0; k < 11; ++k) {
    if (k != 6 && s[i] == kLetters[k]) {
      Group = k - 6;
      Length = 1;
      return true;
    }
  }
  return false;
}

struct TFPForm {
  bool Sign;       // a leading "+" or "-"
  bool NonFinite;  // NaN, Inf, Infinity
  bool Exponent;   // E+nn
  bool Prefix;     // engineering prefixes
};

// Reads a number of the given form at the zero-based index i (no blanks);
// advances i past it. Overflow tells whether the magnitude exceeded double.
bool ReadFP(const std::string& s, size_t& i, const TFPForm& Form, double& Value, bool& Overflow) {
  const size_t n = s.size();
  size_t j = i;
  bool negative = false;
  Overflow = false;
  if (Form.Sign && j < n && (s[j] == '+' || s[j] == '-')) {
    negative = s[j] == '-';
    ++j;
  }
  if (Form.NonFinite) {
    double special = 0;
    size_t len = 0;
    if (MatchNoCase(s, j, "nan")) {
      special = std::numeric_limits<double>::quiet_NaN();
      len = 3;
    } else if (MatchNoCase(s, j, "infinity")) {
      special = std::numeric_limits<double>::infinity();
      len = 8;
    } else if (MatchNoCase(s, j, "inf")) {
      special = std::numeric_limits<double>::infinity();
      len = 3;
    }
    // A word that merely starts with "nan" or "inf" is not a number.
    if (len != 0 && j + len < n && IsAsciiLetter(s[j + len])) len = 0;
    if (len != 0) {
      Value = negative ? -special : special;
      i = j + len;
      return true;
    }
  }

  const size_t intBegin = j;
  while (j < n && IsDigit(s[j])) ++j;
  const size_t intEnd = j;
  size_t fracBegin = j;
  size_t fracEnd = j;
  bool point = false;
  if (j < n && s[j] == '.') {
    size_t k = j + 1;
    while (k < n && IsDigit(s[k])) ++k;
    if (k > j + 1 || intEnd > intBegin) {
      point = true;
      fracBegin = j + 1;
      fracEnd = k;
      j = k;
    }
  }
  if (intEnd == intBegin && fracEnd == fracBegin) return false;

  int64_t exp10 = 0;
  if (Form.Exponent && j < n && (s[j] == 'e' || s[j] == 'E')) {
    size_t k = j + 1;
    bool expNegative = false;
    if (k < n && (s[k] == '+' || s[k] == '-')) {
      expNegative = s[k] == '-';
      ++k;
    }
    if (k < n && IsDigit(s[k])) {
      int64_t e = 0;
      for (; k < n && IsDigit(s[k]); ++k)
        if (e < 1000000) e = e * 10 + (s[k] - '0');  // saturates far beyond any double
      exp10 = expNegative ? -e : e;
      j = k;
    }
  } else if (Form.Prefix && j < n) {
    int32_t group = 0;
    size_t len = 0;
    if (PrefixAt(s, j, group, len)) {
      const size_t k = j + len;
      if (!point && k < n && IsDigit(s[k])) {  // "4k7": the prefix stands for the point
        fracBegin = k;
        fracEnd = k;
        while (fracEnd < n && IsDigit(s[fracEnd])) ++fracEnd;
        exp10 = 3 * group;
        j = fracEnd;
      } else if (!(k < n && IsAsciiLetter(s[k]))) {
        exp10 = 3 * group;
        j = k;
      }
    }
  }

  // A canonical "int.frac e exp" text lets from_chars round correctly once.
  std::string canon;
  canon.reserve(intEnd - intBegin + fracEnd - fracBegin + 24);
  canon.append(s, intBegin, intEnd - intBegin);
  if (canon.empty()) canon += '0';
  canon += '.';
  canon.append(s, fracBegin, fracEnd - fracBegin);
  canon += 'e';
  char buf[24];
  const auto er = std::to_chars(buf, buf + sizeof buf, exp10);
  canon.append(buf, er.ptr);

  double v = 0;
  const auto res = std::from_chars(canon.data(), canon.data() + canon.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Decimal magnitude of the leading non-zero digit tells overflow from underflow.
    int64_t lead = static_cast<int64_t>(intEnd - intBegin) - 1;
    size_t k = intBegin;
    while (k < intEnd && s[k] == '0') {
      ++k;
      --lead;
    }
    if (k == intEnd)
      for (k = fracBegin; k < fracEnd && s[k] == '0'; ++k) --lead;
    Overflow = lead + exp10 > 0;
    v = Overflow ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (res.ec != std::errc() || res.ptr != canon.data() + canon.size()) {
    return false;
  }
  Value = negative ? -v : v;
  i = j;
  return true;
}

constexpr TFPForm kFPNumForm{true, true, true, true};
constexpr TFPForm kDoubleForm{true, false, true, false};
constexpr TFPForm kDegreeForm{true, true, true, false};
constexpr TFPForm kPartForm{false, false, false, false};  // minutes and seconds

// True when the whole of s, apart from blanks around it, is read by Scan.
template <class T, class F>
bool WholeText(const std::string& s, F Scan) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  if (b == e || e >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  auto pos = static_cast<int32_t>(b + 1);
  T value{};
  return Scan(s, pos, value) && static_cast<size_t>(pos) == e + 1;
}

}  // namespace

bool ScanHex(const std::string& Instring, int32_t& StartPos, int32_t& Value) {
  return ScanRadix(Instring, StartPos, Value, 16);
}

bool ScanOctal(const std::string& Instring, int32_t& StartPos, int32_t& Value) {
  return ScanRadix(Instring, StartPos, Value, 8);
}

bool ScanBin(const std::string& Instring, int32_t& StartPos, int32_t& Value) {
  return ScanRadix(Instring, StartPos, Value, 2);
}

bool ScanDecimal(const std::string& Instring, int32_t& StartPos, int32_t& Value) {
  size_t i = 0;
  if (!StartIndex(Instring, StartPos, i)) return false;
  const size_t n = Instring.size();
  bool negative = false;
  if (Instring[i] == '+' || Instring[i] == '-') {
    negative = Instring[i] == '-';
    ++i;
  }
  const size_t begin = i;
  uint64_t magnitude = 0;
  for (; i < n && IsDigit(Instring[i]); ++i) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(Instring[i] - '0');
    if (magnitude > 2147483648ull) return false;
  }
  if (i == begin || (!negative && magnitude > 2147483647ull)) return false;
  if (!EndPosition(i, StartPos)) return false;
  Value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                        : static_cast<int64_t>(magnitude));
  return true;
}

bool ScanFPNum(const std::string& Instring, int32_t& StartPos, double& Value) {
  size_t i = 0;
  if (!StartIndex(Instring, StartPos, i)) return false;
  double v = 0;
  bool overflow = false;
  if (!ReadFP(Instring, i, kFPNumForm, v, overflow) || !EndPosition(i, StartPos)) return false;
  Value = v;
  return true;
}

bool ScanDegrees(const std::string& Instring, int32_t& StartPos, double& Value) {
  const std::string& s = Instring;
  size_t j = 0;
  if (!StartIndex(s, StartPos, j)) return false;
  double degrees = 0;
  bool overflow = false;
  if (!ReadFP(s, j, kDegreeForm, degrees, overflow)) return false;
  double value = degrees;

  if (s.compare(j, 2, "\xC2\xB0") == 0) {
    j += 2;
    size_t k = j;
    while (k < s.size() && IsBlank(s[k])) ++k;
    double minutes = 0;
    if (ReadFP(s, k, kPartForm, minutes, overflow) && k < s.size() && s[k] == '\'') {
      ++k;
      // Minutes follow whole degrees only (trunc(NaN) != NaN fails too).
      if (!(minutes < 60.0) || degrees != std::trunc(degrees)) return false;
      double magnitude = std::fabs(degrees) + minutes / 60.0;
      j = k;
      while (k < s.size() && IsBlank(s[k])) ++k;
      double seconds = 0;
      if (ReadFP(s, k, kPartForm, seconds, overflow) && k < s.size() && s[k] == '"') {
        ++k;
        if (!(seconds < 60.0) || minutes != std::trunc(minutes)) return false;
        magnitude += seconds / 3600.0;
        j = k;
      }
      // The sign of the degrees covers the whole angle, also for "-0".
      value = std::signbit(degrees) ? -magnitude : magnitude;
    }
  }
  if (!EndPosition(j, StartPos)) return false;
  Value = value;
  return true;
}

bool IsValidDouble(const std::string& s) {
  return WholeText<double>(s, [](const std::string& t, int32_t& pos, double& v) {
    size_t i = 0;
    bool overflow = false;
    if (!StartIndex(t, pos, i) || !ReadFP(t, i, kDoubleForm, v, overflow) || overflow)
      return false;
    return EndPosition(i, pos);
  });
}

bool IsValidFPNum(const std::string& s) { return WholeText<double>(s, ScanFPNum); }

bool IsValidHex(const std::string& s) { return WholeText<int32_t>(s, ScanHex); }

bool IsValidOct(const std::string& s) { return WholeText<int32_t>(s, ScanOctal); }

bool IsValidBin(const std::string& s) { return WholeText<int32_t>(s, ScanBin); }

bool IsValidDecInt(const std::string& s) { return WholeText<int32_t>(s, ScanDecimal); }

int32_t StrToIntDefault(const std::string& s, int32_t Default) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  if (b == e || e >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return Default;
  auto pos = static_cast<int32_t>(b + 1);
  int32_t value = 0;
  if (!ScanDecimal(s, pos, value) || static_cast<size_t>(pos) != e + 1) return Default;
  return value;
}

}  // namespace nuv
