// Special functions of statistics by the unit's quick approximations: the
// six-term Lanczos log-gamma, the incomplete gamma and beta functions with
// their 1e-8 stopping rules, the error function two ways, binomial
// coefficients. Accuracy is that of the approximations (about 1e-10 relative
// for LnGamma, 1e-8 for the iterative ones); the chi-square, t and F
// distributions do not use them.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// ln Gamma(x) by the six-term Lanczos form. 0 for x <= 0; +inf for x = +inf.
NUV_API double LnGamma(double x);

/// Regularized lower incomplete gamma P(a, x): series below x = a + 1, continued
/// fraction from there, each stopping at 1e-8 or after 99 passes. 0 for x <= 0
/// or a <= 0; 1 for x = +inf (a > 0).
NUV_API double IncompleteGamma(double x, double a);

/// Error function as +-P(1/2, x^2).
NUV_API double Erf(double x);

/// Error function by the closed-form complementary approximation (about 1e-7).
NUV_API double ErfApprox(double x);

/// ln B(a, b) from LnGamma. 0 if a < 0 or b < 0.
NUV_API double LnBeta(double a, double b);

/// Regularized incomplete beta I_x(a, b) by its continued fraction (1e-8, at
/// most 100 passes). 0 for x <= 0, 1 for x >= 1; 0 if a <= 0 or b <= 0, where
/// the fraction is undefined.
NUV_API double IncompleteBeta(double x, double a, double b);

/// Binomial coefficient from LnGamma, rounded (halves to even). 0 if n < 0,
/// k < 0 or k > n; coefficients beyond the 32-bit range give 2147483647.
NUV_API int32_t BinomCoeff(int32_t n, int32_t k);

/// ln of the binomial coefficient from LnGamma. -1 if n < 0, k < 0 or k > n.
NUV_API double LnBinomCoeff(int32_t n, int32_t k);

}  // namespace nuv
