// Angles as text in degrees, minutes and seconds, and conversions between
// the three angle layouts.
#pragma once

#include <string>

#include "foundation/frame.h"

namespace nuv {

/// Angle text in the layout Format: "12.50°", "12° 30.00'", "12° 30' 15.0\""
/// or a plain "12.50". Decimals is clipped to 0..8; ordinals beyond
/// dfPlainNumber write a plain number. NaN and infinities give "NaN", "Inf" or
/// "-Inf", followed by "°" except in the plain layout.
NUV_API std::string DegreeToStr(double Angle, TDegreeFormat Format, int32_t Decimals);

/// Converts Deg, Min, Sec from SourceFormat to TargetFormat. Minutes and
/// seconds are magnitudes; the sign of the angle is that of Deg, so
/// (-10, 30, 0) in degrees and minutes is -10.5 degrees.
/// Raises ENUVMath1Error "ConvertDegrees: invalid range of minutes" (or
/// "... seconds") when Min (Sec) is outside 0..60 or NaN, before changing anything.
NUV_API void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat SourceFormat,
                            TDegreeFormat TargetFormat);

/// Rounds the angle down (RoundUp false) or up to the nearest entry of the
/// step table 1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360 in its largest
/// non-zero unit. Any negative part sets all three to 0.
NUV_API void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp);

}  // namespace nuv
