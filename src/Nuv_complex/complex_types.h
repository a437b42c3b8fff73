// The complex records, the constants 0 and 1 and the comparison tolerance.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// re + i*im.
struct TComplex {
  Extended re = 0.0L;
  Extended im = 0.0L;
};

/// r * exp(i*phi), phi in radians.
struct TComplexPolar {
  Extended r = 0.0L;
  Extended phi = 0.0L;
};

inline constexpr TComplex COMPLEX_0{0.0L, 0.0L};
inline constexpr TComplex COMPLEX_1{1.0L, 0.0L};

/// Tolerance of CpxIsNearEqual and CpxIsZero; 1e-15 at start. An application
/// setting shared by all threads (not synchronised: set it before starting them).
extern NUV_API Extended CpxNearZero;

}  // namespace nuv
