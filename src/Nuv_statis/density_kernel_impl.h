// The kernel sum of density_kernel.h, included once per instruction set with
// NUV_DENSITY_NS naming the namespace of that variant.
#include <cstdint>
#include <cstring>

#include "Nuv_statis/density_kernel.h"

namespace nuv::detail::NUV_DENSITY_NS {
namespace {

constexpr double kLog2e = 1.4426950408889634074;
// ln 2 in two parts; the high one has 32 significant bits, so k ln2Hi is exact for |k| < 2^21.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
// Adding 1.5 2^52 rounds to an integer held in the low bits of the mantissa.
constexpr double kShifter = 6755399441055744.0;

inline uint64_t Bits(double d) {
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

inline double FromBits(uint64_t u) {
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}

// e^x for x <= 0 without branches or calls, so that loops over it vectorize: x = k ln 2 + r
// with |r| <= ln2/2, e^r by its Taylor polynomial of degree 13 (truncation below 4e-18),
// and 2^k applied as two factors 2^k1 2^k2 that are normal numbers for every k down to
// -1443, so denormal results are rounded once. NaN stays NaN; x < -1000 counts as -1000,
// whose exponential is 0 like every one below -745.2.
inline double ExpNonPositive(double x) {
  x = x < -1000.0 ? -1000.0 : x;
  const double kd = x * kLog2e + kShifter;
  const double k = kd - kShifter;
  const double r = (x - k * kLn2Hi) - k * kLn2Lo;
  double p = 1.0 / 6227020800.0;
  p = p * r + 1.0 / 479001600.0;
  p = p * r + 1.0 / 39916800.0;
  p = p * r + 1.0 / 3628800.0;
  p = p * r + 1.0 / 362880.0;
  p = p * r + 1.0 / 40320.0;
  p = p * r + 1.0 / 5040.0;
  p = p * r + 1.0 / 720.0;
  p = p * r + 1.0 / 120.0;
  p = p * r + 1.0 / 24.0;
  p = p * r + 1.0 / 6.0;
  p = p * r + 0.5;
  p = p * r + 1.0;
  p = p * r + 1.0;
  // The low bits of kd and k1d hold 2^51 + k and 2^51 + k1 (two's complement); adding the
  // exponent bias and shifting the 2^51 out leaves the bits of 2^k1 and 2^(k - k1).
  const double k1d = k * 0.5 + kShifter;
  const uint64_t kb = Bits(kd), k1b = Bits(k1d);
  const double s1 = FromBits((k1b + 1023u) << 52);
  const double s2 = FromBits((kb - k1b + 1023u) << 52);
  return p * s1 * s2;
}

// Unused where the header is compiled on its own, as every public header is.
[[maybe_unused]] double Sum(const double* x, const double* InvWidth, int64_t n, double t) {
  constexpr int kLanes = 8;
  double acc[kLanes] = {0, 0, 0, 0, 0, 0, 0, 0};
  int64_t j = 0;
  for (; j + kLanes <= n; j += kLanes)
    for (int k = 0; k < kLanes; ++k) {
      const double u = (t - x[j + k]) * InvWidth[j + k];
      acc[k] += InvWidth[j + k] * ExpNonPositive(-0.5 * u * u);
    }
  for (int k = 0; j < n; ++j, ++k) {
    const double u = (t - x[j]) * InvWidth[j];
    acc[k] += InvWidth[j] * ExpNonPositive(-0.5 * u * u);
  }
  return ((acc[0] + acc[1]) + (acc[2] + acc[3])) + ((acc[4] + acc[5]) + (acc[6] + acc[7]));
}

}  // namespace
}  // namespace nuv::detail::NUV_DENSITY_NS
