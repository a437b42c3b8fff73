// Student's t distribution with df degrees of freedom, to full double accuracy
// (relative error near 1e-15 over 1 <= df <= 10^6). One-sided throughout:
// the integral is the lower distribution function P(T <= t).
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Density of t(df) at t. 0 for t = +-inf or df < 1.
NUV_API double tDistriDensity(double t, int32_t df);

/// P(T <= t) for T ~ t(df); 0.5 at t = 0. 0 for df < 1.
NUV_API double tDistriIntegral(double t, int32_t df);

/// t with P(T <= t) = p (negative for p < 0.5). 0 for p <= 0, p >= 1 or df < 1.
NUV_API double tDistriQuantile(double p, int32_t df);

}  // namespace nuv
