// Critical values of the Wilcoxon signed-rank statistic: an exact table for
// 8 <= n <= 100, interpolated in the significance level by a parabola, and the
// normal approximation above.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// The two-sided levels of the signed-rank table, in the order of its columns.
inline constexpr double WilcoxonSRLevels[5] = {0.1, 0.05, 0.02, 0.01, 0.001};

/// Entry (n, WilcoxonSRLevels[LevelIx]) of the signed-rank table: the largest t with
/// P(W <= t) <= alpha/2, W the signed-rank sum of n untied values under the null
/// hypothesis, counted exactly over the 2^n sign patterns. -1 for n outside 8..100,
/// LevelIx outside 0..4, and the cells the table leaves empty (n = 8 from 0.01 on, n = 9
/// and 10 at 0.001).
NUV_API int32_t WilcoxonSRTableValue(int32_t n, int32_t LevelIx);

/// Critical value of the signed-rank statistic for n values at level Alpha (two-sided, or
/// one-sided with TwoSided false, which reads the table at 2 Alpha).
/// For 8 <= n <= 100 a parabola in ln(alpha) is fitted (least squares, TCurveFit) through
/// the table entries of the levels that row holds, and evaluated at ln Alpha; a negative
/// value becomes 0. For n > 100: round(n(n + 1)/4 - z sqrt(n(n + 1)(2n + 1)/24)) with z the
/// normal quantile at 1 - Alpha/2 (or 1 - Alpha). Values are rounded to nearest, halves to
/// even. Returns -1 unless 8 <= n <= 1000000 and 0.000499999 <= Alpha <= 0.20000001, and
/// where the critical value exceeds the 32-bit range: from n = 92830 on at the largest
/// level (one-sided 0.2), from n = 93298 on at the smallest (two-sided 0.0005); every
/// n <= 92829 fits.
NUV_API int32_t WilcoxonSRQuantile(int32_t n, double Alpha, bool TwoSided);

}  // namespace nuv
