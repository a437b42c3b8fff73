// Full-precision regularized incomplete gamma and beta functions and the
// bracketed Newton solver behind the chi-square, t and F distributions.
// Internal to the library (not exported, not part of the chief header): the
// quick approximations with their fixed tolerances are gamma_erf_beta.h.
//
// Everything is carried in Extended so that the log-space prefactors stay
// exact to about 1e-16 even when their exponents reach several hundred and
// the parameters reach 10^6; the callers round the results to double.
#pragma once

#include <cmath>

#include <functional>

#include "foundation/types.h"

namespace nuv {
namespace statis_detail {

/// Both tails of a distribution, each with its natural logarithm. The tail that
/// was computed directly is accurate relative to itself; the other one is
/// its complement and is accurate relative to 1 (its logarithm is formed by
/// log1p, so it keeps relative accuracy as long as it is not tiny).
struct TTails {
  Extended Lower = 0;
  Extended Upper = 1;
  Extended LnLower = 0;
  Extended LnUpper = 0;
  /// ln of the prefactor x^a e^-x / Gamma(a) or x^a y^b / B(a, b): the slope of
  /// either tail with respect to ln x.
  Extended LnPrefix = 0;
};

/// Stirling remainder lnGamma(z) - ((z - 1/2) ln z - z + ln(2 pi)/2), z > 0.
Extended StirlingRest(Extended z);

/// ln Gamma(a), a > 0, through the Stirling remainder.
Extended LnGammaAcc(Extended a);

/// ln B(a, b), a, b > 0, without the cancellation of three large lnGamma terms.
Extended LnBetaAcc(Extended a, Extended b);

/// ln(x^a e^-x / Gamma(a)), a > 0, x >= 0 (-inf at x = 0).
Extended LnGammaPrefix(Extended a, Extended x);

/// Regularized incomplete gamma P(a, x) and Q(a, x), a > 0.
TTails GammaTails(Extended a, Extended x);

/// ln(x^a y^b / B(a, b)) for x + y = 1, both given so that neither loses digits.
Extended LnBetaPrefix(Extended a, Extended b, Extended x, Extended y);

/// Regularized incomplete beta I_x(a, b) (Lower) and 1 - I_x(a, b) (Upper),
/// with x + y = 1 given separately.
TTails BetaTails(Extended a, Extended b, Extended x, Extended y);

/// Value and slope of the residual ln T(e^u) - ln target of a quantile search
/// in u = ln v, v > 0.
struct TResidual {
  Extended h = 0;
  Extended dh = 0;
};

/// The residual of a search on the lower (Lower) or upper tail of T, whose
/// log-density in u = ln v is T.LnPrefix.
inline TResidual TailResidual(const TTails& T, bool Lower, Extended LnTarget) {
  TResidual r;
  if (Lower) {
    r.h = T.LnLower - LnTarget;
    r.dh = std::exp(T.LnPrefix - T.LnLower);
  } else {
    r.h = T.LnUpper - LnTarget;
    r.dh = -std::exp(T.LnPrefix - T.LnUpper);
  }
  return r;
}

/// Searches v > 0 with Residual(ln v).h = 0 where h rises (Rising) or falls with u,
/// starting near v0. Newton steps in u, kept inside the bracket found so far
/// and replaced by bisection when they leave it; at most 200 evaluations.
/// Returns 0 when the root lies below the smallest double and +inf above
/// the largest.
double SolveInLogSpace(const std::function<TResidual(Extended u)>& Residual, bool Rising,
                       double v0);

/// Standard normal quantile to full double precision, p in (0, 1).
double NormalQuantileAcc(double p);

}  // namespace statis_detail
}  // namespace nuv
