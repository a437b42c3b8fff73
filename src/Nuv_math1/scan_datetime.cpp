#include "Nuv_math1/scan_datetime.h"

#include <limits>

namespace nuv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exactly Count digits at i.
bool ReadFixed(const std::string& s, size_t i, size_t Count, int32_t& Value) {
  if (i + Count > s.size()) return false;
  int32_t v = 0;
  for (size_t k = i; k < i + Count; ++k) {
    if (!IsDigit(s[k])) return false;
    v = v * 10 + (s[k] - '0');
  }
  Value = v;
  return true;
}

bool IsLeap(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int32_t DaysInMonth(int32_t y, int32_t m) {
  static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 in the proleptic Gregorian calendar (era arithmetic on
// 400-year cycles, which start on 1 March).
int64_t DaysFromCivil(int32_t y, int32_t m, int32_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// 1899-12-30, day 0 of the day count, is 25569 days before 1970-01-01.
constexpr int64_t kDayCountOffset = 25569;

}  // namespace

bool ScanDateTime(const std::string& Instring, int32_t& StartPos, double& Value) {
  const std::string& s = Instring;
  if (StartPos < 1 || static_cast<size_t>(StartPos) > s.size()) return false;
  size_t i = static_cast<size_t>(StartPos) - 1;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;

  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  if (!ReadFixed(s, i, 4, year) || i + 4 >= s.size() || s[i + 4] != '-' ||
      !ReadFixed(s, i + 5, 2, month) || i + 7 >= s.size() || s[i + 7] != '-' ||
      !ReadFixed(s, i + 8, 2, day))
    return false;
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  size_t end = i + 10;

  double dayFraction = 0;
  int32_t hour = 0;
  int32_t minute = 0;
  if (end < s.size() && (s[end] == ' ' || s[end] == 'T') && ReadFixed(s, end + 1, 2, hour) &&
      end + 3 < s.size() && s[end + 3] == ':' && ReadFixed(s, end + 4, 2, minute) && hour <= 23 &&
      minute <= 59) {
    size_t k = end + 6;
    double seconds = 0;
    int32_t whole = 0;
    if (k < s.size() && s[k] == ':' && ReadFixed(s, k + 1, 2, whole) && whole <= 59) {
      seconds = whole;
      k += 3;
      if (k + 1 < s.size() && s[k] == '.' && IsDigit(s[k + 1])) {
        double scale = 0.1;
        for (++k; k < s.size() && IsDigit(s[k]); ++k) {
          seconds += (s[k] - '0') * scale;
          scale *= 0.1;
        }
      }
    }
    end = k;
    dayFraction = (hour * 3600.0 + minute * 60.0 + seconds) / 86400.0;
  }
  if (end >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;

  const auto days = static_cast<double>(DaysFromCivil(year, month, day) + kDayCountOffset);
  Value = days < 0 ? days - dayFraction : days + dayFraction;
  StartPos = static_cast<int32_t>(end + 1);
  return true;
}

}  // namespace nuv
