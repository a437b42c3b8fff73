// The standard normal distribution, Fisher's z transformation, the normal
// confidence interval of a mean and Fisher's separation ratio.
#pragma once

#include <cstdint>

#include "foundation/exceptions.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// exp(-x^2/2) / sqrt(2 pi).
NUV_API double nDistriDensity(double x);

/// Phi(x) from the quick incomplete gamma P(1/2, x^2/2) (about 1e-8 relative,
/// in both tails). 0.5 at 0; 0 and 1 at -inf and +inf.
NUV_API double nDistriIntegral(double x);

/// z with Phi(z) = p, to full double precision. 0 for p <= 0, p >= 1 or NaN.
NUV_API double nDistriQuantile(double p);

/// 1/2 ln((1 + r)/(1 - r)). Raises ENUVStatisError unless -1 < r < 1.
NUV_API double FisherTransform(double r);

/// (e^(2z) - 1)/(e^(2z) + 1); +-1 where e^(2z) leaves the Extended range.
NUV_API double FisherTransformInv(double z);

/// nDistriQuantile(1 - alpha/2) sigma / sqrt(n), the half-width of the two-sided
/// normal confidence interval of a mean. 0 for n < 1.
NUV_API double ConfidenceInterval(double alpha, double sigma, int32_t n);

/// (m1 - m2)^2 / (s1^2 + s2^2), the variance floored at 1e-6.
NUV_API double CalcFishQ(double m1, double m2, double s1, double s2);

}  // namespace nuv
