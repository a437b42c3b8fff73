// Exact and tolerant comparison of complex numbers.
#pragma once

#include "Nuv_complex/complex_types.h"

namespace nuv {

/// Both parts exactly equal.
NUV_API bool CpxIsEqual(const TComplex& a, const TComplex& b);

/// Both parts differ by less than CpxNearZero (strictly).
NUV_API bool CpxIsNearEqual(const TComplex& a, const TComplex& b);

/// Both parts are 0 or of magnitude below CpxNearZero.
NUV_API bool CpxIsZero(const TComplex& a);

}  // namespace nuv
