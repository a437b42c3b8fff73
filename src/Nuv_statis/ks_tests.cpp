#include "Nuv_statis/ks_tests.h"

#include <cmath>

#include "foundation/types.h"

namespace nuv {

namespace {

constexpr double kLillieA[7] = {6.32207539843126,   -17.1398870006148,  38.42812675101057, -45.93241384693391,
                                7.88697700041829,   29.79317711037858,  -18.48090137098585};
constexpr double kLillieB[7] = {12.940399038404,   -53.458334259532,  186.923866119699, -410.582178349305,
                                517.377862566267,  -343.581476222384, 92.123451358715};

/// sum c_i x^i by Horner's rule.
Extended Horner7(const double (&c)[7], Extended x) {
  Extended s = c[6];
  for (int i = 5; i >= 0; --i) s = s * x + c[i];
  return s;
}

}  // namespace

double KolmogSmir1SampleTestStat(int32_t n, TSignifLevel level) {
  if (level > Dot01 || n < 1) return -1.0;
  if (n <= 20) return KSCriticalValues[n - 1][level];
  return KSAsymptoticFactor[level] / std::sqrt(static_cast<double>(n));
}

double LillieforsPValue(int32_t n, double d) {
  if (n <= 5) return -1.0;
  if (std::isnan(d)) return d;
  Extended de = d;
  Extended ne = n;
  if (n > 100) {
    de *= std::pow(ne / 100, 0.49L);
    ne = 100;
  }
  const Extended np = ne + 2.78019L;
  const Extended e = -7.01256L * de * de * np + 2.99587L * de * std::sqrt(np) - 0.122119L +
                     0.97498L / std::sqrt(ne) + 1.67997L / ne;
  // An infinite d makes the two d terms cancel to NaN; the limit is 0.
  if (std::isnan(e)) return 0.0;
  return static_cast<double>(std::exp(e < 0 ? e : 0));
}

double LillieforsQuantile(int32_t n, double alpha) {
  const Extended x = 1 - static_cast<Extended>(alpha);
  const Extended r = static_cast<Extended>(n) * Horner7(kLillieA, x) + Horner7(kLillieB, x);
  if (!(r > 0)) return 0.0;
  return static_cast<double>(1 / std::sqrt(r));
}

}  // namespace nuv
