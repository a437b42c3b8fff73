#include "Nuv_math1/scalar_trig.h"

#include <cmath>
#include <limits>

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Folds x into [-Half, Half] by whole turns of 2*Half; the fraction keeps its sign.
double CanonicalAngle(double x, double Turn, double Half) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (x > Turn) {
    const double r = x / Turn;
    x = (r - std::trunc(r)) * Turn;
  }
  if (x < -Turn) {
    const double r = -x / Turn;
    x = -(r - std::trunc(r)) * Turn;
  }
  if (x > Half) x -= Turn;
  if (x < -Half) x += Turn;
  return x;
}

[[noreturn]] void RaiseLogError() { throw EMathError("logarithm: invalid argument"); }

}  // namespace

double AngleToXAxis(double dx, double dy) {
  double a;
  if (dx != 0.0) {
    a = std::atan(dy / dx);
    if (dx < 0.0) a += kPi;
  } else {
    a = dy > 0.0 ? 0.5 * kPi : 1.5 * kPi;
  }
  if (a < 0.0) a += kTwoPi;
  if (a > kTwoPi) a -= kTwoPi;
  return a;
}

double CanonicalAngleRadians(double x) { return CanonicalAngle(x, kTwoPi, kPi); }

double CanonicalAngleDegrees(double x) { return CanonicalAngle(x, 360.0, 180.0); }

// log10 and log2 are the same quotients without the rounding of a division,
// so exact powers give exact results (lg(1000) = 3).
double lg(double x) {
  if (x <= 0.0) RaiseLogError();
  return std::log10(x);
}

double ld(double x) {
  if (x <= 0.0) RaiseLogError();
  return std::log2(x);
}

// The library's functions agree with (e - 1/e)/2 and (e + 1/e)/2 where those
// are accurate and stay accurate near 0 and finite up to the double range.
double sinh(double x) { return std::sinh(x); }

double cosh(double x) { return std::cosh(x); }

double tgh(double x) { return std::tanh(x); }

double tg(double x) {
  const double c = std::cos(x);
  if (c == 0.0) throw EMathError("tangens overflow");
  return std::sin(x) / c;
}

double cot(double x) {
  const double s = std::sin(x);
  if (s == 0.0) throw EMathError("cotangens overflow");
  return std::cos(x) / s;
}

}  // namespace nuv
