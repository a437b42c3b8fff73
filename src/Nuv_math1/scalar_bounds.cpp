#include "Nuv_math1/scalar_bounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace nuv {

namespace {

template <class T>
T Confine(T x, T Bound1, T Bound2) {
  const T lo = Bound1 < Bound2 ? Bound1 : Bound2;
  const T hi = Bound1 < Bound2 ? Bound2 : Bound1;
  if (x < lo) return lo;
  if (x > hi) return hi;
  return x;
}

bool Between(double v, double a, double b) {
  return a <= b ? (a <= v && v <= b) : (b <= v && v <= a);
}

// Squares first (fast); hypot only where they overflow or lose precision.
double PlaneDistance(double dx, double dy) {
  const double d2 = dx * dx + dy * dy;
  if (d2 >= DBL_MIN && d2 <= DBL_MAX) return std::sqrt(d2);
  return std::hypot(dx, dy);
}

int32_t SaturateToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t SaturateToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

}  // namespace

bool WithinBounds(double x, double Bound1, double Bound2) { return Between(x, Bound1, Bound2); }

double ConfineValue(double x, double Bound1, double Bound2) { return Confine(x, Bound1, Bound2); }

float ConfineValue(float x, float Bound1, float Bound2) { return Confine(x, Bound1, Bound2); }

int32_t ConfineValue(int32_t x, int32_t Bound1, int32_t Bound2) {
  return Confine(x, Bound1, Bound2);
}

bool WithinRect(const TPointDouble& P, const TRectDouble& R) {
  return Between(P.x, R.x1, R.x2) && Between(P.y, R.y1, R.y2);
}

bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R) {
  const double x = Confine(P.x, R.x1, R.x2);
  const double y = Confine(P.y, R.y1, R.y2);
  // A NaN coordinate stays NaN and does not count as a change.
  const bool changed = (x != P.x && !std::isnan(P.x)) || (y != P.y && !std::isnan(P.y));
  P.x = x;
  P.y = y;
  return changed;
}

int32_t DistFromRect(const TPoint& P, const TRect& R) {
  // 64-bit differences: extreme coordinates cannot overflow.
  const int64_t px = P.X, py = P.Y;
  const int64_t left = R.Left, top = R.Top, right = R.Right, bottom = R.Bottom;
  if (left < px && px < right) {
    if (py < top) return SaturateToInt32(top - py);
    if (py > bottom) return SaturateToInt32(py - bottom);
    return 0;
  }
  if (top < py && py < bottom) {
    return SaturateToInt32(px <= left ? left - px : px - right);
  }
  const double dxs[2] = {static_cast<double>(left - px), static_cast<double>(px - right)};
  const double dys[2] = {static_cast<double>(top - py), static_cast<double>(py - bottom)};
  double best = std::numeric_limits<double>::infinity();
  for (double dx : dxs) {
    for (double dy : dys) best = std::min(best, std::nearbyint(std::sqrt(dx * dx + dy * dy)));
  }
  return SaturateToInt32(best);
}

double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2) {
  return PlaneDistance(P1.x - P2.x, P1.y - P2.y);
}

double EuclideanDistance(double x1, double y1, double x2, double y2) {
  return PlaneDistance(x1 - x2, y1 - y2);
}

int32_t IntPos(double x) { return SaturateToInt32(std::ceil(x)); }

int32_t IntNeg(double x) { return SaturateToInt32(std::floor(x)); }

}  // namespace nuv
