// Conversion between rectangular and polar form.
#pragma once

#include "Nuv_complex/complex_types.h"

namespace nuv {

/// r = CpxAbs(a), phi = atan2(im, re) in (-pi, pi]; the negative real axis
/// (also with im = -0) gives +pi, and 0 gives (0, 0).
NUV_API TComplexPolar ConvertRectToPolar(const TComplex& a);

/// (r*cos phi, r*sin phi).
NUV_API TComplex ConvertPolarToRect(const TComplexPolar& p);

}  // namespace nuv
