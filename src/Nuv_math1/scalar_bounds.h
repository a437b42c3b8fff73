// Bounds, rectangles, plane distances and rounding to integers.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// min(Bound1, Bound2) <= x <= max(Bound1, Bound2); false when any is NaN.
NUV_API bool WithinBounds(double x, double Bound1, double Bound2);

/// x clipped into the interval of the two bounds, given in either order.
NUV_API double ConfineValue(double x, double Bound1, double Bound2);
NUV_API float ConfineValue(float x, float Bound1, float Bound2);
NUV_API int32_t ConfineValue(int32_t x, int32_t Bound1, int32_t Bound2);

/// P inside R or on its border; each coordinate pair of R in either order.
NUV_API bool WithinRect(const TPointDouble& P, const TRectDouble& R);

/// Clips P into R (bounds in either order); true if P changed.
NUV_API bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R);

/// Integer distance of P from R: 0 inside or on the border, the distance to
/// the nearest side beside the rectangle, else to the nearest corner (rounded).
/// Saturates at the largest 32-bit integer.
NUV_API int32_t DistFromRect(const TPoint& P, const TRect& R);

/// sqrt((x1 - x2)^2 + (y1 - y2)^2), without overflow for large coordinates.
NUV_API double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2);
NUV_API double EuclideanDistance(double x1, double y1, double x2, double y2);

/// Smallest integer >= x. NaN gives 0; values beyond the 32-bit range saturate.
NUV_API int32_t IntPos(double x);
/// Largest integer <= x. NaN gives 0; values beyond the 32-bit range saturate.
NUV_API int32_t IntNeg(double x);

}  // namespace nuv
