// Null distribution of the Mann-Whitney statistic U for samples of n1 and n2
// values without ties: U counts the pairs (x from the first sample, y from
// the second) with x > y, 0 <= U <= n1 n2; the distribution is symmetric and
// the same for U1 and U2.
//
// Exact (by counting, relative error about 1e-14) when n1 n2 <= 10000, that is
// up to 100 x 100 or 10 x 1000; above that the normal approximation with
// continuity correction, mean n1 n2 / 2 and variance n1 n2 (n1 + n2 + 1)/12
// (absolute error about 1e-4 just past the limit, falling as the samples grow).
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Largest n1 n2 whose U distribution is counted exactly.
inline constexpr int64_t UDistriExactLimit = 10000;

/// P(U = U). 0 for U outside 0 ... n1 n2 or n1, n2 < 1.
NUV_API double UDistriDensity(int32_t U, int32_t n1, int32_t n2);

/// P(U <= U). 0 below 0, 1 from n1 n2 on; 0 for n1, n2 < 1.
NUV_API double UDistriIntegral(int32_t U, int32_t n1, int32_t n2);

/// Smallest u with P(U <= u) >= p. -1 for p outside (0, 1) or n1, n2 < 1.
NUV_API int32_t UDistriQuantile(int32_t n1, int32_t n2, double p);

}  // namespace nuv
