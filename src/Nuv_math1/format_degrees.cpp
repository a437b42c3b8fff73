#include "Nuv_math1/format_degrees.h"

#include <cmath>

#include "foundation/strings.h"

namespace nuv {

namespace {

const char* const kDegreeSign = "\xC2\xB0";  // U+00B0 in UTF-8

// Values this far from an integer are taken as that integer, so that 12.5
// degrees does not come out as 12 degrees 29.99999 minutes.
constexpr double kSnap = 3e-12;

double Snap(double v) {
  const double r = std::nearbyint(v);
  return std::fabs(v - r) <= kSnap ? r : v;
}

// v rounded to Decimals decimals with halves away from zero; values too large
// to carry that many decimals are already as exact as they can be.
double RoundToDecimals(double v, int32_t Decimals) {
  const double scale = std::pow(10.0, Decimals);
  const double y = v * scale;
  if (!(std::fabs(y) < 4503599627370496.0)) return v;  // 2^52
  return std::round(y) / scale;
}

// The angle rounded to Decimals decimals of the unit (60 for minutes, 3600 for
// seconds) and snapped; angles whose scaled value overflows keep their value.
double RoundedAngle(double Angle, double Unit, int32_t Decimals) {
  const double y = Angle * Unit;
  if (!std::isfinite(y)) return Angle;
  return Snap(RoundToDecimals(y, Decimals) / Unit);
}

double Frac(double v) { return v - std::trunc(v); }

// The whole degrees of D with the sign kept for angles between -1 and 0.
std::string DegreesPart(double D) {
  const double whole = std::trunc(D);
  if (whole == 0.0 && D < 0) return "-0";
  return strff(whole, 1, 0);
}

}  // namespace

std::string DegreeToStr(double Angle, TDegreeFormat Format, int32_t Decimals) {
  if (Decimals < 0) Decimals = 0;
  if (Decimals > 8) Decimals = 8;
  const bool plain = Format != dfDecDegrees && Format != dfDegDecMinutes &&
                     Format != dfDegMinDecSeconds;
  if (plain) return strff(Angle, 1, Decimals);
  if (!std::isfinite(Angle)) return strff(Angle, 1, 0) + kDegreeSign;

  switch (Format) {
    case dfDecDegrees:
      return strff(Angle, 1, Decimals) + kDegreeSign;
    case dfDegDecMinutes: {
      const double D = RoundedAngle(Angle, 60.0, Decimals);
      std::string text = DegreesPart(D);
      text += kDegreeSign;
      text += ' ';
      text += strff(Frac(std::fabs(D)) * 60.0, Decimals + 3, Decimals);
      text += '\'';
      return text;
    }
    default: {
      const double D = RoundedAngle(Angle, 3600.0, Decimals);
      std::string text = DegreesPart(D);
      text += kDegreeSign;
      text += ' ';
      const double M = Snap(Frac(std::fabs(D)) * 60.0);
      text += strff(std::trunc(M), 2, 0);
      text += "' ";
      text += strff(Frac(M) * 60.0, Decimals + 3, Decimals);
      text += '"';
      return text;
    }
  }
}

void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat SourceFormat,
                    TDegreeFormat TargetFormat) {
  if (!(Min >= 0.0 && Min <= 60.0))
    RaiseFunctionError<ENUVMath1Error>("ConvertDegrees", "invalid range of minutes");
  if (!(Sec >= 0.0 && Sec <= 60.0))
    RaiseFunctionError<ENUVMath1Error>("ConvertDegrees", "invalid range of seconds");

  // Minutes and seconds are magnitudes, so they move a negative angle
  // further from zero; trunc keeps the sign of -0.5 as -0.
  const double sign = std::signbit(Deg) ? -1.0 : 1.0;
  if (TargetFormat == dfDecDegrees) {
    if (SourceFormat == dfDecDegrees) {
      Min = 0.0;
      Sec = 0.0;
    } else if (SourceFormat == dfDegDecMinutes) {
      Deg = std::trunc(Deg) + sign * Min / 60.0;
      Min = 0.0;
      Sec = 0.0;
    } else if (SourceFormat == dfDegMinDecSeconds) {
      Deg = std::trunc(Deg) + sign * (std::trunc(Min) / 60.0 + Sec / 3600.0);
      Min = 0.0;
      Sec = 0.0;
    }
  } else if (TargetFormat == dfDegDecMinutes) {
    if (SourceFormat == dfDecDegrees) {
      Min = Frac(std::fabs(Deg)) * 60.0;
      Deg = std::trunc(Deg);
      Sec = 0.0;
    } else if (SourceFormat == dfDegDecMinutes) {
      Sec = 0.0;
    } else if (SourceFormat == dfDegMinDecSeconds) {
      Min = Min + Sec / 60.0;
      Sec = 0.0;
    }
  } else if (TargetFormat == dfDegMinDecSeconds) {
    if (SourceFormat == dfDecDegrees) {
      const double minutes = Frac(std::fabs(Deg)) * 60.0;
      Min = std::trunc(minutes);
      Sec = Frac(minutes) * 60.0;
      Deg = std::trunc(Deg);
    } else if (SourceFormat == dfDegDecMinutes) {
      Sec = Frac(std::fabs(Min)) * 60.0;
      Min = std::trunc(Min);
    }
  }
}

void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp) {
  static constexpr int64_t kSteps[12] = {1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360};
  if (Deg < 0 || Min < 0 || Sec < 0) {
    Deg = 0;
    Min = 0;
    Sec = 0;
    return;
  }
  if (Min > 59) Min = 59;
  if (Sec > 59) Sec = 59;
  // Compare in whole seconds so that a step equal to the angle is found exactly.
  const int64_t total = static_cast<int64_t>(Deg) * 3600 + Min * 60 + Sec;

  // Index of the largest step (times unit) <= total, or of the smallest >= total,
  // among the first n entries; clipped to the table.
  auto pick = [&](int n, int64_t unit) {
    int i = 0;
    if (RoundUp) {
      while (i < n - 1 && kSteps[i] * unit < total) ++i;
    } else {
      while (i < n - 1 && kSteps[i + 1] * unit <= total) ++i;
    }
    return i;
  };

  if (Deg >= 1) {
    Deg = static_cast<int32_t>(kSteps[pick(12, 3600)]);
    Min = 0;
    Sec = 0;
  } else if (Min >= 1) {
    Sec = 0;
    const int i = pick(9, 60);
    if (kSteps[i] == 60) {
      Deg = 1;
      Min = 0;
    } else {
      Min = static_cast<int32_t>(kSteps[i]);
    }
  } else if (Sec >= 1) {
    const int i = pick(9, 1);
    if (kSteps[i] == 60) {
      Min = 1;
      Sec = 0;
    } else {
      Sec = static_cast<int32_t>(kSteps[i]);
    }
  }
}

}  // namespace nuv
