// Angles, logarithms, hyperbolic and trigonometric helpers.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// Direction of (dx, dy) in radians counter-clockwise from the positive x axis,
/// in [0, 2*pi]; (0, 0) gives 3*pi/2, NaN components give NaN.
NUV_API double AngleToXAxis(double dx, double dy);

/// x folded into [-pi, pi] by whole turns; NaN for a NaN or infinite x.
NUV_API double CanonicalAngleRadians(double x);
/// x folded into [-180, 180] by whole turns; NaN for a NaN or infinite x.
NUV_API double CanonicalAngleDegrees(double x);

/// Decimal logarithm. Raises EMathError "logarithm: invalid argument" for x <= 0.
NUV_API double lg(double x);
/// Binary logarithm. Raises EMathError "logarithm: invalid argument" for x <= 0.
NUV_API double ld(double x);

/// Hyperbolic sine and cosine (accurate near 0 and up to the double range).
NUV_API double sinh(double x);
NUV_API double cosh(double x);
/// Hyperbolic tangent.
NUV_API double tgh(double x);

/// sin x / cos x. Raises EMathError "tangens overflow" when cos x is 0.
NUV_API double tg(double x);
/// cos x / sin x. Raises EMathError "cotangens overflow" when sin x is 0.
NUV_API double cot(double x);

}  // namespace nuv
