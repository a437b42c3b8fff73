// The exact p-value of the one-sample Kolmogorov-Smirnov statistic by the
// matrix method, with an asymptotic formula for large n·d², and its inverse.
#pragma once

#include <cstdint>

#include "Nuv_statis/ks_tests.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// P(D_n > d). The exact matrix-power method, or 2 exp(-(2.000071 + 0.331/sqrt n + 1.409/n) n d²)
/// when n d² > 7.24, or > 3.76 with n >= 100, or when the matrices would pass 1001 x 1001
/// (n d > 500). 1 for d <= 0, 0 for d >= 1, -1 for n < 1, NaN for a NaN d; always in 0..1.
NUV_API double KSPValue(int32_t n, double d);

/// The d with KSPValue(n, d) = alpha of the level, to within 1e-4 in p, found by the
/// relative-step iteration from the tabulated critical value (at most 1000 steps).
/// -1 for n < 1 or a level outside the enumeration.
NUV_API double KSQuantile(int32_t n, TSignifLevel level);

}  // namespace nuv
