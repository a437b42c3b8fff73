#include "Nuv_statis/f_distribution.h"

#include <cmath>
#include <limits>

#include "Nuv_statis/gamma_beta_accurate.h"

namespace nuv {

using statis_detail::BetaTails;
using statis_detail::TTails;

namespace {

/// Both tails of I_x(df1/2, df2/2) at x = df1 w/(df1 w + df2), the F
/// distribution's tails at w.
TTails TailsAt(Extended d1, Extended d2, Extended w) {
  const Extended den = d1 * w + d2;
  return BetaTails(0.5L * d1, 0.5L * d2, d1 * w / den, d2 / den);
}

/// Paulson's normal approximation to the F distribution solved for w:
/// ((1 - c2) w^(1/3) - (1 - c1)) / sqrt(c2 w^(2/3) + c1) = z, c = 2/(9 df).
double PaulsonStart(double z, double d1, double d2) {
  const double c1 = 2.0 / (9.0 * d1);
  const double c2 = 2.0 / (9.0 * d2);
  const double A = 1.0 - c2;
  const double B = 1.0 - c1;
  const double qa = A * A - z * z * c2;
  const double disc = A * A * B * B - qa * (B * B - z * z * c1);
  if (qa <= 0 || disc < 0) return 0.0;
  const double y = (A * B + (z >= 0 ? 1.0 : -1.0) * std::sqrt(disc)) / qa;
  if (y <= 0 || (A * y - B) * z < 0) return 0.0;
  return y * y * y;
}

}  // namespace

double FDistriDensity(double x, int32_t df1, int32_t df2) {
  if (std::isnan(x)) return x;
  if (df1 < 1 || df2 < 1 || x < 0 || std::isinf(x)) return 0.0;
  if (x == 0) {
    if (df1 == 1) return std::numeric_limits<double>::infinity();
    return df1 == 2 ? 1.0 : 0.0;
  }
  // With u = d1 x/(d1 x + d2): f(x) = u^a (1 - u)^b / (B(a, b) x).
  const Extended d1 = df1;
  const Extended d2 = df2;
  const Extended w = x;
  const Extended den = d1 * w + d2;
  const Extended lnP = statis_detail::LnBetaPrefix(0.5L * d1, 0.5L * d2, d1 * w / den, d2 / den);
  return static_cast<double>(std::exp(lnP) / w);
}

double FDistriIntegral(double x, int32_t df1, int32_t df2) {
  if (std::isnan(x)) return x;
  if (df1 < 1 || df2 < 1 || x <= 0) return 0.0;
  if (std::isinf(x)) return 1.0;
  return static_cast<double>(TailsAt(df1, df2, x).Lower);
}

double FDistriQuantile(double p, int32_t df1, int32_t df2) {
  if (df1 < 1 || df2 < 1 || !(p > 0 && p < 1)) return 0.0;
  const Extended d1 = df1;
  const Extended d2 = df2;
  const Extended a = 0.5L * d1;
  const Extended b = 0.5L * d2;
  const bool lower = p <= 0.5;
  const double target = lower ? p : 1.0 - p;
  const Extended lnTarget = std::log(static_cast<Extended>(target));
  double v0 = PaulsonStart(statis_detail::NormalQuantileAcc(p), df1, df2);
  if (v0 == 0 || target < 1e-6) {
    // Far tails: I_x ~ x^a / (a B) for small x, 1 - I_x ~ y^b / (b B) for small y.
    const Extended lnB = statis_detail::LnBetaAcc(a, b);
    const Extended ratio = d2 / d1;
    v0 = static_cast<double>(lower ? ratio * std::exp((lnTarget + std::log(a) + lnB) / a)
                                   : ratio * std::exp(-(lnTarget + std::log(b) + lnB) / b));
    if (!(v0 > 0) || std::isinf(v0)) v0 = 1.0;
  }
  auto residual = [&](Extended u) {
    return statis_detail::TailResidual(TailsAt(d1, d2, std::exp(u)), lower, lnTarget);
  };
  return statis_detail::SolveInLogSpace(residual, lower, v0);
}

}  // namespace nuv
