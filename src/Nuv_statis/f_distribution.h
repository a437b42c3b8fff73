// Fisher's F distribution with df1 (numerator) and df2 (denominator) degrees
// of freedom, to full double accuracy (relative error near 1e-14 over
// 1 <= df1, df2 <= 10^6).
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Density of F(df1, df2) at x. 0 for x < 0, x = +inf, df1 < 1 or df2 < 1; at
/// x = 0: +inf for df1 = 1, 1 for df1 = 2, 0 above.
NUV_API double FDistriDensity(double x, int32_t df1, int32_t df2);

/// P(F <= x) for F ~ F(df1, df2). 0 for x <= 0 or a df below 1; 1 for x = +inf.
NUV_API double FDistriIntegral(double x, int32_t df1, int32_t df2);

/// x with P(F <= x) = p. 0 for p <= 0, p >= 1 or a df below 1.
NUV_API double FDistriQuantile(double p, int32_t df1, int32_t df2);

}  // namespace nuv
