// Complex arithmetic in extended precision.
#pragma once

#include "Nuv_complex/complex_types.h"

namespace nuv {

/// re + i*im.
NUV_API TComplex Cpx(Extended re, Extended im);

/// sqrt(re^2 + im^2), without overflow or underflow of the squares.
NUV_API Extended CpxAbs(const TComplex& a);
/// re^2 + im^2.
NUV_API Extended CpxAbsSqr(const TComplex& a);

NUV_API TComplex CpxAdd(const TComplex& a, const TComplex& b);
NUV_API TComplex CpxSub(const TComplex& a, const TComplex& b);
NUV_API TComplex CpxNeg(const TComplex& a);
NUV_API TComplex CpxConj(const TComplex& a);
NUV_API TComplex CpxMult(const TComplex& a, const TComplex& b);

/// a / b with d = b.re^2 + b.im^2. Raises ENUVComplexError "CpxDiv: division
/// by zero" when d is 0 (also when it underflows to 0), and when finite
/// operands give an infinite or undefined quotient. NaN or infinite operands
/// with d > 0 give the IEEE quotient.
NUV_API TComplex CpxDiv(const TComplex& a, const TComplex& b);

}  // namespace nuv
