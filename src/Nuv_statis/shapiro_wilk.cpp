#include "Nuv_statis/shapiro_wilk.h"

#include <cmath>

namespace nuv {

namespace {

constexpr double kSqrt1_2 = 0.70710678118654752440;

/// P(Z > (y - m)/s) for a standard normal Z.
double UpperNormal(double y, double m, double s) { return 0.5 * std::erfc((y - m) / s * kSqrt1_2); }

}  // namespace

double ShapiroWilkIntegral(double W, int32_t n, int32_t n1) {
  if (n < 3 || n1 != n) return -1.0;
  if (std::isnan(W)) return W;
  if (W >= 1) return 1.0;
  if (W <= 0) return 0.0;
  if (n == 3) {
    // Exact: W of three normal values has the density of 6/pi (asin sqrt W - pi/3) on [3/4, 1].
    const double p = 1.90985931710274 * (std::asin(std::sqrt(W)) - 1.04719755119660);
    return p < 0 ? 0.0 : p;
  }
  const double an = n;
  const double y = std::log(1 - W);
  if (n <= 11) {
    // ln(1 - W) is bounded above by gamma; -ln(gamma - ln(1 - W)) is near normal.
    const double gamma = -2.273 + 0.459 * an;
    if (y >= gamma) return 0.0;
    const double m = 0.544 + an * (-0.39978 + an * (0.025054 + an * -6.714e-4));
    const double s = std::exp(1.3822 + an * (-0.77857 + an * (0.062767 + an * -0.0020322)));
    return UpperNormal(-std::log(gamma - y), m, s);
  }
  // ln(1 - W) is near normal with mean and log-deviation cubic and quadratic in ln n.
  const double u = std::log(an);
  const double m = -1.5861 + u * (-0.31082 + u * (-0.083751 + u * 0.0038915));
  const double s = std::exp(-0.4803 + u * (-0.082676 + u * 0.0030302));
  return UpperNormal(y, m, s);
}

}  // namespace nuv
