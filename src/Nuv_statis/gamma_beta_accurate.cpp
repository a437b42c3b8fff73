#include "Nuv_statis/gamma_beta_accurate.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace nuv {
namespace statis_detail {

namespace {

constexpr Extended kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;
constexpr Extended kInvSqrt2Pi = 0.398942280401432677939946059934381868476L;
constexpr Extended kSqrt1_2 = 0.707106781186547524400844362104849039285L;
constexpr Extended kEps = LDBL_EPSILON;
// Lentz's floor: far below anything the fractions meet, far above the
// Extended underflow so that its reciprocal stays finite.
constexpr Extended kLentzFloor = 1e-4000L;
// The series and fractions need about 10 sqrt(a) terms near the centre; the
// cap only guards against a parameter far beyond the supported 10^6.
constexpr int kMaxTerms = 2000000;
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

/// ln r - t for r = 1 + t: log1p where t is small, the plain logarithm of the
/// directly computed ratio where 1 + t would have lost the digits of r.
inline Extended Log1pmx(Extended t, Extended r) {
  if (std::fabs(t) < 0.5L) return std::log1p(t) - t;
  return std::log(r) - t;
}

TTails FromLower(Extended LnLower) {
  TTails T;
  T.LnLower = LnLower > 0 ? 0 : LnLower;
  T.Lower = std::exp(T.LnLower);
  T.Upper = 1 - T.Lower;
  T.LnUpper = std::log1p(-T.Lower);
  return T;
}

TTails FromUpper(Extended LnUpper) {
  TTails T;
  T.LnUpper = LnUpper > 0 ? 0 : LnUpper;
  T.Upper = std::exp(T.LnUpper);
  T.Lower = 1 - T.Upper;
  T.LnLower = std::log1p(-T.Upper);
  return T;
}

/// Continued fraction of the incomplete beta (modified Lentz), valid and fast
/// for x below the mean (a + 1)/(a + b + 2).
Extended BetaFraction(Extended a, Extended b, Extended x) {
  const Extended qab = a + b;
  const Extended qap = a + 1;
  const Extended qam = a - 1;
  Extended c = 1;
  Extended d = 1 - qab * x / qap;
  if (std::fabs(d) < kLentzFloor) d = kLentzFloor;
  d = 1 / d;
  Extended h = d;
  for (int im = 1; im <= kMaxTerms; ++im) {
    const Extended m = im;
    const Extended m2 = 2 * m;
    Extended aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kLentzFloor) d = kLentzFloor;
    c = 1 + aa / c;
    if (std::fabs(c) < kLentzFloor) c = kLentzFloor;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kLentzFloor) d = kLentzFloor;
    c = 1 + aa / c;
    if (std::fabs(c) < kLentzFloor) c = kLentzFloor;
    d = 1 / d;
    const Extended del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEps) break;
  }
  return h;
}

}  // namespace

Extended StirlingRest(Extended z) {
  if (z >= 10) {
    // Asymptotic series sum B_2k / (2k (2k - 1) z^(2k - 1)); at z = 10 the
    // first omitted term is below 1e-17.
    const Extended w = 1 / (z * z);
    return (1.0L / 12 +
            w * (-1.0L / 360 +
                 w * (1.0L / 1260 +
                      w * (-1.0L / 1680 +
                           w * (1.0L / 1188 +
                                w * (-691.0L / 360360 + w * (1.0L / 156 + w * (-3617.0L / 122400)))))))) /
           z;
  }
  // Shift up by the recurrence Gamma(z + n) = z (z + 1) ... (z + n - 1) Gamma(z);
  // the terms are all below 30, so nothing cancels badly.
  int n = 0;
  Extended prod = 1;
  Extended zn = z;
  while (zn < 10) {
    prod *= zn;
    zn += 1;
    ++n;
  }
  return StirlingRest(zn) + (zn - 0.5L) * std::log(zn) - (z - 0.5L) * std::log(z) - n -
         std::log(prod);
}

Extended LnGammaAcc(Extended a) {
  return (a - 0.5L) * std::log(a) - a + kLnSqrt2Pi + StirlingRest(a);
}

Extended LnBetaAcc(Extended a, Extended b) {
  const Extended s = a + b;
  return -(a - 0.5L) * std::log1p(b / a) - (b - 0.5L) * std::log1p(a / b) - 0.5L * std::log(s) +
         kLnSqrt2Pi + StirlingRest(a) + StirlingRest(b) - StirlingRest(s);
}

// The tails at the ends of the support: all mass above the point, or all below it.
const TTails kAllAbove{0, 1, -kInf, 0, -kInf};
const TTails kAllBelow{1, 0, 0, -kInf, -kInf};

Extended LnGammaPrefix(Extended a, Extended x) {
  if (!(x > 0)) return -kInf;
  // a ln x - x - lnGamma(a) = a (ln r - (r - 1)) + ln(a)/2 - ln sqrt(2 pi) - rest(a), r = x/a
  const Extended t = (x - a) / a;
  return a * Log1pmx(t, x / a) + 0.5L * std::log(a) - kLnSqrt2Pi - StirlingRest(a);
}

TTails GammaTails(Extended a, Extended x) {
  if (!(x > 0)) return kAllAbove;
  if (std::isinf(x)) return kAllBelow;
  const Extended lnF = LnGammaPrefix(a, x);
  if (x < a + 1) {
    // P = x^a e^-x / Gamma(a + 1) * sum x^n / ((a + 1) ... (a + n)); the terms
    // fall from the start since x < a + 1.
    Extended term = 1;
    Extended sum = 1;
    Extended ap = a;
    for (int n = 0; n < kMaxTerms; ++n) {
      ap += 1;
      term *= x / ap;
      sum += term;
      if (term < sum * kEps) break;
    }
    TTails T2 = FromLower(lnF - std::log(a) + std::log(sum));
    T2.LnPrefix = lnF;
    return T2;
  }
  // Q = x^a e^-x / Gamma(a) * 1/(x + 1 - a - 1 (1 - a)/(x + 3 - a - 2 (2 - a)/(x + 5 - a - ...)))
  Extended b = x + 1 - a;
  Extended c = 1 / kLentzFloor;
  Extended d = 1 / b;
  Extended h = d;
  for (int i = 1; i <= kMaxTerms; ++i) {
    const Extended an = -static_cast<Extended>(i) * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kLentzFloor) d = kLentzFloor;
    c = b + an / c;
    if (std::fabs(c) < kLentzFloor) c = kLentzFloor;
    d = 1 / d;
    const Extended del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEps) break;
  }
  TTails T2 = FromUpper(lnF + std::log(h));
  T2.LnPrefix = lnF;
  return T2;
}

Extended LnBetaPrefix(Extended a, Extended b, Extended x, Extended y) {
  if (!(x > 0) || !(y > 0)) return -kInf;
  // a ln(x/x0) + b ln(y/y0) with x0 = a/(a + b), y0 = b/(a + b) splits into two
  // non-positive parts a (ln r - (r - 1)) because a (rx - 1) + b (ry - 1) = 0.
  const Extended s = a + b;
  const Extended rx = x * s / a;
  const Extended ry = y * s / b;
  const Extended tx = (x * s - a) / a;
  const Extended ty = (y * s - b) / b;
  return a * Log1pmx(tx, rx) + b * Log1pmx(ty, ry) + 0.5L * std::log(a * b / s) - kLnSqrt2Pi -
         StirlingRest(a) - StirlingRest(b) + StirlingRest(s);
}

TTails BetaTails(Extended a, Extended b, Extended x, Extended y) {
  if (!(x > 0)) return kAllAbove;
  if (!(y > 0)) return kAllBelow;
  const Extended lnP = LnBetaPrefix(a, b, x, y);
  TTails T;
  if (x * (a + b + 2) < a + 1) {
    const Extended cf = BetaFraction(a, b, x);
    T = FromLower(cf > 0 ? lnP + std::log(cf / a) : -kInf);
  } else {
    const Extended cf = BetaFraction(b, a, y);
    T = FromUpper(cf > 0 ? lnP + std::log(cf / b) : -kInf);
  }
  T.LnPrefix = lnP;
  return T;
}

double SolveInLogSpace(const std::function<TResidual(Extended u)>& Residual, bool Rising,
                       double v0) {
  const Extended uMin = std::log(static_cast<Extended>(std::numeric_limits<double>::denorm_min())) - 1;
  const Extended uMax = std::log(static_cast<Extended>(DBL_MAX)) + 1;
  Extended u = (v0 > 0 && std::isfinite(v0)) ? std::log(static_cast<Extended>(v0)) : 0;
  if (u < uMin) u = uMin;
  if (u > uMax) u = uMax;
  Extended lo = -kInf;
  Extended hi = kInf;
  Extended jump = 1;
  for (int it = 0; it < 200; ++it) {
    const TResidual r = Residual(u);
    if (r.h == 0 || std::isnan(r.h)) break;
    const bool rootAbove = Rising ? (r.h < 0) : (r.h > 0);
    if (rootAbove) {
      lo = u;
    } else {
      hi = u;
    }
    if (lo >= uMax) return std::numeric_limits<double>::infinity();
    if (hi <= uMin) return 0.0;
    Extended step = -r.h / r.dh;
    bool newton = std::isfinite(step);
    if (newton) {
      if (step > 8) step = 8;
      if (step < -8) step = -8;
    }
    Extended next = u + step;
    if (!newton || !(next > lo && next < hi)) {
      newton = false;
      if (std::isfinite(lo) && std::isfinite(hi)) {
        next = 0.5L * (lo + hi);
      } else {
        next = rootAbove ? u + jump : u - jump;
        if (jump < 64) jump *= 2;
      }
    }
    if (next < uMin) next = uMin;
    if (next > uMax) next = uMax;
    const Extended du = std::fabs(next - u);
    u = next;
    // A Newton step this small leaves an error of its square; a bisection
    // stops when the bracket is at the Extended resolution.
    if (newton && du < 1e-11L) break;
    if (!newton && (hi - lo) <= 8 * kEps * (1 + std::fabs(u))) break;
  }
  return static_cast<double>(std::exp(u));
}

double NormalQuantileAcc(double p) {
  if (p == 0.5) return 0.0;
  // Start by the rational approximation of Abramowitz and Stegun 26.2.23
  // (error below 4.5e-4), then Halley steps.
  const double q = p < 0.5 ? p : 1.0 - p;  // exact for p >= 0.5
  const double t = std::sqrt(-2.0 * std::log(q));
  double w = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                     (1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
  if (w < 0) w = 0;
  if (p > 0.25 && p < 0.75) {
    // Centre: solve erf(z / sqrt 2) / 2 = |p - 1/2|, exact subtraction, so that
    // z keeps its relative accuracy as it approaches 0.
    const Extended dTarget = std::fabs(static_cast<Extended>(p) - 0.5L);
    Extended z = w;
    for (int it = 0; it < 8; ++it) {
      const Extended g = 0.5L * std::erf(z * kSqrt1_2) - dTarget;
      const Extended phi = kInvSqrt2Pi * std::exp(-0.5L * z * z);
      const Extended dz = g / (phi * (1 + z * g / (2 * phi)));
      z -= dz;
      if (std::fabs(dz) <= 1e-17L * std::fabs(z)) break;
    }
    return static_cast<double>(p < 0.5 ? -z : z);
  }
  // Tails: Halley on ln T(w) = ln q with T(w) = erfc(w / sqrt 2) / 2.
  const Extended lnq = std::log(static_cast<Extended>(q));
  Extended z = w;
  for (int it = 0; it < 8; ++it) {
    const Extended T = 0.5L * std::erfc(z * kSqrt1_2);
    const Extended h = std::log(T) - lnq;
    const Extended r = kInvSqrt2Pi * std::exp(-0.5L * z * z) / T;  // -dh/dz
    const Extended h2 = z * r - r * r;                                // d2h/dz2
    const Extended dz = 2 * h * (-r) / (2 * r * r - h * h2);
    z -= dz;
    if (std::fabs(dz) <= 1e-17L * std::fabs(z)) break;
  }
  return static_cast<double>(p < 0.5 ? -z : z);
}

}  // namespace statis_detail
}  // namespace nuv
