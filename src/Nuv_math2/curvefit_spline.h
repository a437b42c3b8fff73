// The penalised (smoothing) cubic spline of weighted data, the free function behind
// TCurveFit::SmoothedSpline.
#pragma once

#include "Nuv_vector/Nuv_vector.h"
#include "foundation/frame.h"

namespace nuv {

/// The natural cubic spline g that minimises
///   sum_i w_i (y_i - g(x_i))^2 + Lambda * integral g''(t)^2 dt
/// (Reinsch's algorithm, O(n)). x must be strictly ascending; Weights may be absent (all
/// 1). Lambda 0 interpolates, infinity gives the weighted least-squares line. Fitted
/// receives g(x_i) and SecondDeriv (may be absent) g''(x_i), 0 at both ends; both are
/// resized to n and fire OnChange. Between knots g is the cubic with these values and
/// second derivatives; beyond the end knots it is linear. False, with the outputs
/// unchanged, for an absent x, y or Fitted, lengths that differ, x not strictly ascending,
/// a non-finite x or y, a weight that is not positive and finite, or a negative or NaN
/// Lambda. Raises ENUVMath2Error "PenalizedCubicSpline: not enough memory".
NUV_API bool PenalizedCubicSpline(const TVector* x, const TVector* y, const TVector* Weights,
                                  double Lambda, TVector* Fitted, TVector* SecondDeriv);

}  // namespace nuv
