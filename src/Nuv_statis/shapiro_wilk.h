// Significance of the Shapiro-Wilk W statistic under normality.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// P(W' <= W) for the W statistic of a complete sample of n values from a
/// normal population: the p-value of the test, by Royston's normalizing
/// transformation (Applied Statistics 44, 1995, Algorithm AS R94): exact for
/// n = 3, a fit in n for 4 <= n <= 11 and in ln n for 12 <= n <= 5000 (it is
/// applied unchanged above 5000). n1 is the number of uncensored values; only
/// complete samples (n1 = n) are supported. -1 for n < 3 or n1 != n; 1 for
/// W >= 1, 0 for W <= 0.
NUV_API double ShapiroWilkIntegral(double W, int32_t n, int32_t n1);

}  // namespace nuv
