#include "Nuv_statis/weibull_hypergeometric.h"

#include <cmath>

#include "Nuv_statis/statis_internal.h"
#include "foundation/exceptions.h"
#include "foundation/messages.h"

namespace nuv {

double WeibullDensity(double x, double k, double lambda) {
  if (std::isnan(x) || std::isnan(k) || std::isnan(lambda)) return x + k + lambda;
  if (x <= 0 || lambda <= 0) return 0.0;
  const Extended xe = x;
  const Extended ke = k;
  const Extended le = lambda;
  const Extended pw = std::exp(ke * std::log(xe / le));
  const Extended f = std::exp(-pw) * ke * std::exp((ke - 1) * std::log(xe)) / std::exp(ke * std::log(le));
  if (std::isfinite(f)) return static_cast<double>(f);
  // A power outside the Extended range: the same product in logarithms.
  if (!(ke > 0) || std::isinf(pw)) return 0.0;
  const Extended g = std::exp(std::log(ke) + (ke - 1) * std::log(xe) - ke * std::log(le) - pw);
  // an infinite shape or scale leaves no mass at any finite x
  return std::isnan(g) ? 0.0 : static_cast<double>(g);
}

double HyperGeoDistriDensity(double p, int32_t npop, int32_t nsample, int32_t k) {
  static const char* const kFunc = "HyperGeoDistriDensity";
  if (!(p >= 0 && p <= 1)) RaiseFunctionError<ENUVStatisError>(kFunc, "probability p must be between 0.0 and 1.0");
  const Extended M = std::nearbyint(static_cast<Extended>(npop) * p);
  if (npop < 1) RaiseFunctionError<ENUVStatisError>(kFunc, "npop must be greater than 0");
  if (npop < nsample) RaiseFunctionError<ENUVStatisError>(kFunc, "nsample must not be greater than npop");
  if (nsample < 1) RaiseFunctionError<ENUVStatisError>(kFunc, "nsample must not be less than 1");
  const Extended N = npop;
  const Extended n = nsample;
  const Extended kk = k;
  if (k < 0 || kk > M || k > nsample || kk < n - (N - M)) return 0.0;
  using statis_detail::LnGammaExt;
  const Extended ln = LnGammaExt(M + 1) - LnGammaExt(kk + 1) - LnGammaExt(M - kk + 1) + LnGammaExt(N - M + 1) -
                      LnGammaExt(n - kk + 1) - LnGammaExt(N - M - n + kk + 1) - LnGammaExt(N + 1) +
                      LnGammaExt(n + 1) + LnGammaExt(N - n + 1);
  return static_cast<double>(std::exp(ln));
}

}  // namespace nuv
