// Polynomials given by their coefficients in ascending powers.
#pragma once

#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// Sum of Coeffs[i] * x^i for i = 0..Order, summed from the constant term up
/// with a running power. Raises ENUVMath1Error "Polynomial: invalid order of
/// polynomial" when Order < 0 or Order > Coeffs.size() - 1.
NUV_API double Polynomial(const std::vector<double>& Coeffs, int32_t Order, double x);

/// Sum of Coeffs[i] * (x - Center)^i for i = 0..Order; errors as Polynomial.
NUV_API double CenteredPolynomial(const std::vector<double>& Coeffs, int32_t Order, double Center,
                                  double x);

}  // namespace nuv
