// The chi-square distribution with df degrees of freedom, to full double
// accuracy (relative error near 1e-15 over 1 <= df <= 10^6).
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Density of chi-square(df) at x. 0 for x < 0, x = +inf or df < 1; at x = 0:
/// +inf for df = 1, 0.5 for df = 2, 0 above.
NUV_API double Chi2DistriDensity(double x, int32_t df);

/// P(X <= x) for X ~ chi-square(df). 0 for x <= 0 or df < 1; 1 for x = +inf.
NUV_API double chi2DistriIntegral(double x, int32_t df);

/// x with P(X <= x) = p. 0 for p <= 0, p >= 1 (the neutral value, as for
/// nDistriQuantile) or df < 1; results below the smallest double are 0.
NUV_API double chi2DistriQuantile(double p, int32_t df);

}  // namespace nuv
