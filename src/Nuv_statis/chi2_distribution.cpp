#include "Nuv_statis/chi2_distribution.h"

#include <cmath>
#include <limits>

#include "Nuv_statis/gamma_beta_accurate.h"

namespace nuv {

using statis_detail::GammaTails;
using statis_detail::TTails;

double Chi2DistriDensity(double x, int32_t df) {
  if (std::isnan(x)) return x;
  if (df < 1 || x < 0 || std::isinf(x)) return 0.0;
  if (x == 0) {
    if (df == 1) return std::numeric_limits<double>::infinity();
    return df == 2 ? 0.5 : 0.0;
  }
  // x^(a-1) e^(-x/2) / (2^a Gamma(a)) = [(x/2)^a e^(-x/2) / Gamma(a)] / x
  const Extended a = 0.5L * df;
  const Extended z = 0.5L * static_cast<Extended>(x);
  return static_cast<double>(std::exp(statis_detail::LnGammaPrefix(a, z)) / x);
}

double chi2DistriIntegral(double x, int32_t df) {
  if (std::isnan(x)) return x;
  if (df < 1 || x <= 0) return 0.0;
  return static_cast<double>(GammaTails(0.5L * df, 0.5L * static_cast<Extended>(x)).Lower);
}

double chi2DistriQuantile(double p, int32_t df) {
  if (df < 1 || !(p > 0 && p < 1)) return 0.0;
  const Extended a = 0.5L * df;
  const bool lower = p <= 0.5;
  const Extended lnTarget = std::log(static_cast<Extended>(lower ? p : 1.0 - p));
  // Start: Wilson-Hilferty cube of a normal deviate, or in the far lower tail
  // for few degrees of freedom P ~ (x/2)^a / Gamma(a + 1).
  const double z = statis_detail::NormalQuantileAcc(p);
  const double c = 2.0 / (9.0 * df);
  const double wh = 1.0 - c + z * std::sqrt(c);
  double v0 = df * wh * wh * wh;
  if (lower && (wh <= 0 || df < -1.24 * std::log(p))) {
    v0 = static_cast<double>(
        2 * std::exp((std::log(static_cast<Extended>(p)) + statis_detail::LnGammaAcc(a + 1)) / a));
  }
  auto residual = [&](Extended u) {
    return statis_detail::TailResidual(GammaTails(a, 0.5L * std::exp(u)), lower, lnTarget);
  };
  return statis_detail::SolveInLogSpace(residual, lower, v0);
}

}  // namespace nuv
