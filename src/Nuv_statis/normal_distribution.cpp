#include "Nuv_statis/normal_distribution.h"

#include <cmath>

#include "Nuv_statis/gamma_beta_accurate.h"
#include "Nuv_statis/statis_internal.h"
#include "foundation/exceptions.h"
#include "foundation/messages.h"

namespace nuv {

double nDistriDensity(double x) {
  const Extended xe = x;
  return static_cast<double>(std::exp(-xe * xe / 2) * 0.39894228040143268L);
}

double nDistriIntegral(double x) {
  if (std::isnan(x)) return x;
  if (x == 0) return 0.5;
  const Extended xe = x;
  const statis_detail::TGammaPair g = statis_detail::IncompleteGammaExt(xe * xe / 2, 0.5L);
  // 0.5 (1 - P) below 0, with 1 - P taken from the branch that computes it.
  if (x > 0) return static_cast<double>(0.5L * (1 + g.P));
  return static_cast<double>(0.5L * g.Q);
}

double nDistriQuantile(double p) {
  if (!(p > 0 && p < 1)) return 0.0;
  return statis_detail::NormalQuantileAcc(p);
}

double FisherTransform(double r) {
  if (!(r > -1 && r < 1)) RaiseFunctionError<ENUVStatisError>("FisherTransform", "argument out of range");
  const Extended re = r;
  return static_cast<double>(0.5L * std::log((1 + re) / (1 - re)));
}

double FisherTransformInv(double z) {
  if (std::isnan(z)) return z;
  const Extended e = std::exp(2 * static_cast<Extended>(z));
  if (std::isinf(e)) return 1.0;
  return static_cast<double>((e - 1) / (std::exp(2 * static_cast<Extended>(z)) + 1));
}

double ConfidenceInterval(double alpha, double sigma, int32_t n) {
  if (n < 1) return 0.0;
  return static_cast<double>(nDistriQuantile(1 - alpha / 2) * static_cast<Extended>(sigma) /
                             std::sqrt(static_cast<Extended>(n)));
}

double CalcFishQ(double m1, double m2, double s1, double s2) {
  const Extended s1e = s1;
  const Extended s2e = s2;
  Extended v = s1e * s1e + s2e * s2e;
  if (v < 1e-6L) v = 1e-6L;
  const Extended d = static_cast<Extended>(m1) - m2;
  return static_cast<double>(d * d / v);
}

}  // namespace nuv
