#include "Nuv_statis/t_distribution.h"

#include <cmath>

#include "Nuv_statis/gamma_beta_accurate.h"

namespace nuv {

using statis_detail::BetaTails;
using statis_detail::TResidual;
using statis_detail::TTails;

namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;
constexpr Extended kLnHalf = -0.693147180559945309417232121458176568L;

/// Both tails of I_x(df/2, 1/2) at x = df/(df + v^2): Lower/2 is P(T > v),
/// Upper/2 is P(0 < T < v).
TTails TailsAt(Extended nu, Extended v) {
  const Extended v2 = v * v;
  const Extended den = nu + v2;
  return BetaTails(0.5L * nu, 0.5L, nu / den, v2 / den);
}

}  // namespace

double tDistriDensity(double t, int32_t df) {
  if (std::isnan(t)) return t;
  if (df < 1 || std::isinf(t)) return 0.0;
  const Extended nu = df;
  const Extended tt = t;
  // (1 + t^2/nu)^(-(nu + 1)/2) / (sqrt(nu) B(nu/2, 1/2))
  const Extended lnf = -(0.5L * nu + 0.5L) * std::log1p(tt * tt / nu) -
                       statis_detail::LnBetaAcc(0.5L * nu, 0.5L) - 0.5L * std::log(nu);
  return static_cast<double>(std::exp(lnf));
}

double tDistriIntegral(double t, int32_t df) {
  if (std::isnan(t)) return t;
  if (df < 1) return 0.0;
  if (t == 0) return 0.5;
  const Extended tail = 0.5L * TailsAt(df, std::fabs(static_cast<Extended>(t))).Lower;
  return static_cast<double>(t < 0 ? tail : 1 - tail);
}

double tDistriQuantile(double p, int32_t df) {
  if (df < 1 || !(p > 0 && p < 1)) return 0.0;
  if (p == 0.5) return 0.0;
  const double q = p < 0.5 ? p : 1.0 - p;  // exact
  const Extended d = 0.5L - q;             // exact: P(0 < T < v) to be found
  Extended v;
  if (df == 1) {
    // Cauchy: P(T > v) = atan(1/v)/pi.
    v = q < 0.25 ? 1 / std::tan(kPi * q) : std::tan(kPi * d);
  } else if (df == 2) {
    // P(T > v) = (1 - v/sqrt(2 + v^2))/2.
    const Extended qq = q;
    v = 2 * d / std::sqrt(2 * qq * (1 - qq));
  } else {
    const Extended nu = df;
    const bool central = q >= 0.25;
    const Extended lnTarget = central ? std::log(d) : std::log(static_cast<Extended>(q));
    // Start: Cornish-Fisher expansion about the normal deviate; deep in the
    // tail of few degrees of freedom the power law P(T > v) ~ K v^-nu.
    const double z = statis_detail::NormalQuantileAcc(1.0 - q);
    const double z2 = z * z;
    const double g1 = (z2 + 1) * z / 4;
    const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
    const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
    const double g4 = ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) * z / 92160;
    const double n = df;
    double v0 = z + (g1 + (g2 + (g3 + g4 / n) / n) / n) / n;
    if (q < 0.01) {
      const Extended lnB = statis_detail::LnBetaAcc(0.5L * nu, 0.5L);
      const double vt = static_cast<double>(
          std::exp((0.5L * nu * std::log(nu) - std::log(nu) - lnB - std::log(static_cast<Extended>(q))) / nu));
      if (vt > v0) v0 = vt;
    }
    auto residual = [&](Extended u) {
      const TTails T = TailsAt(nu, std::exp(u));
      TResidual r;
      if (central) {
        r.h = kLnHalf + T.LnUpper - lnTarget;
        r.dh = 2 * std::exp(T.LnPrefix - T.LnUpper);
      } else {
        r.h = kLnHalf + T.LnLower - lnTarget;
        r.dh = -2 * std::exp(T.LnPrefix - T.LnLower);
      }
      return r;
    };
    v = statis_detail::SolveInLogSpace(residual, central, v0);
  }
  return static_cast<double>(p < 0.5 ? -v : v);
}

}  // namespace nuv
