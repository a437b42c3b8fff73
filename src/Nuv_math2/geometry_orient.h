// The orientation of three points, decided exactly. Private to the geometry
// code of Nuv_math2.
//
// OrientSign(a, b, c) is the sign of (b - a) x (c - a): +1 when a, b, c turn
// counter-clockwise, -1 clockwise, 0 when they are collinear. A floating-point
// determinant answers most calls; when its error bound cannot exclude the
// other sign, the determinant is summed exactly from error-free products and
// sums (Shewchuk's adaptive approach, here in one exact stage). The sign is
// exact for all finite coordinates unless the six coordinates of one call span
// more than about 2^450 in magnitude; a NaN or infinite coordinate gives 0.
#pragma once

#include <cmath>

namespace nuv {
namespace detail {

/// The exact sign of (b - a) x (c - a) when the floating-point filter fails.
int OrientSignExact(double ax, double ay, double bx, double by, double cx, double cy);

inline int OrientSign(double ax, double ay, double bx, double by, double cx, double cy) {
  // The determinant relative to c keeps the error bound of the filter small.
  const double detleft = (ax - cx) * (by - cy);
  const double detright = (ay - cy) * (bx - cx);
  const double det = detleft - detright;
  const double detsum = std::fabs(detleft) + std::fabs(detright);
  // (3 + 16 eps) eps with eps = 2^-53 bounds the error of det while the
  // products stay clear of underflow and overflow (Shewchuk's ccwerrboundA).
  constexpr double kErrBound = (3.0 + 16.0 * 0x1p-53) * 0x1p-53;
  if (detsum >= 0x1p-900 && detsum <= 0x1p1000) {
    const double bound = kErrBound * detsum;
    if (det >= bound) return 1;
    if (-det >= bound) return -1;
  } else if (detsum == 0.0 && (ax == cx || by == cy) && (ay == cy || bx == cx)) {
    return 0;  // both products have a factor that is exactly 0
  }
  return OrientSignExact(ax, ay, bx, by, cx, cy);
}

}  // namespace detail
}  // namespace nuv
