// Reading calendar dates and times of day.
#pragma once

#include <string>

#include "foundation/frame.h"

namespace nuv {

/// Reads "YYYY-MM-DD", optionally followed by a blank or "T" and "hh:mm",
/// ":ss" and a decimal fraction of the second ("2024-02-29 13:45:30.25").
/// Value is a day count like a TDateTime: whole days since 1899-12-30 plus
/// the fraction of the day; before that day the integer part counts back and
/// the time of day is still added to its magnitude (1899-12-29 06:00 is
/// -1.25). Years 1..9999 of the Gregorian calendar, months, days, hours 0..23,
/// minutes and seconds 0..59 are checked. A date whose time does not follow
/// the form is read without it. Position handling and failure as the Scan
/// functions of scan_numbers.h: 1-based StartPos, leading blanks skipped,
/// false with Value and StartPos unchanged on failure.
NUV_API bool ScanDateTime(const std::string& Instring, int32_t& StartPos, double& Value);

}  // namespace nuv
