// Tests of normality: the Kolmogorov-Smirnov distance to the standard normal
// distribution, the Lilliefors statistic (the same distance after
// standardizing), and the Shapiro-Wilk test.
#pragma once

#include <cstdint>

#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Kolmogorov-Smirnov statistic D = max |F_n - Phi| of Data against the standard normal
/// distribution, the data taken as they stand. With Sorted false the caller's vector is
/// first sorted ascending in place (SortElems: OnSortExchange per exchange, then OnChange);
/// with Sorted true the elements must already be ascending. NaN when an element is NaN;
/// -1 for an absent vector. p-values: KSPValue.
NUV_API double PerformKSNormalityTest(TVector* Data, bool Sorted);

/// As PerformKSNormalityTest, after the optional sort the caller's vector is standardized
/// in place (TVector::Standardize: sample standard deviation, no event; a constant vector
/// stays as it is). p-values and critical values: LillieforsPValue, LillieforsQuantile.
NUV_API double PerformLillieforsTest(TVector* Data, bool Sorted);

/// Shapiro-Wilk test of Data (read only) for 3 <= n <= 5000 values: W = (sum a_i x_(i))^2 /
/// sum (x_i - mean)^2 with Royston's approximation of the coefficients a_i, and the
/// p-value ShapiroWilkIntegral(W, n, n) (small W, small p). Returns the p-value; W and the
/// result are NaN when a value is not finite. Codes with W = 0: -1 for an absent vector or
/// n outside 3..5000, -2 when all values are equal.
NUV_API double ShapiroWilkTest(const TVector* Data, double& W);

}  // namespace nuv
