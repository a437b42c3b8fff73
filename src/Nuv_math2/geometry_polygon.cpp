#include <cmath>
#include <cstddef>
#include <utility>

#include "Nuv_math2/geometry.h"
#include "Nuv_math2/geometry_orient.h"

namespace nuv {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// The factor one edge (B, C) contributes to the crossing product of Q: 0 when
// Q lies on the edge, -1 when the rightward ray from Q crosses it, else +1.
int CrossingFactor(const TPointDouble& Q, TPointDouble B, TPointDouble C) {
  if (Q.y == B.y && Q.y == C.y) {
    return (B.x <= Q.x && Q.x <= C.x) || (C.x <= Q.x && Q.x <= B.x) ? 0 : 1;
  }
  if (Q.x == B.x && Q.y == B.y) return 0;
  if (B.y > C.y) std::swap(B, C);
  if (Q.y <= B.y || Q.y > C.y) return 1;
  // The sign of (B - Q) x (C - Q), taken exactly; NaN counts as on the edge.
  return -detail::OrientSign(Q.x, Q.y, B.x, B.y, C.x, C.y);
}

}  // namespace

bool PointIsInsidePolygon(double x, double y, const std::vector<TPointDouble>& Poly) {
  if (Poly.empty() || std::isnan(x) || std::isnan(y)) return false;
  const TPointDouble Q{x, y};
  int t = -CrossingFactor(Q, Poly.back(), Poly.front());
  for (std::size_t i = 1; i < Poly.size() && t != 0; ++i)
    t *= CrossingFactor(Q, Poly[i - 1], Poly[i]);
  return t == 1;
}

double PolygonArea(const std::vector<TPointDouble>& Poly) {
  if (Poly.empty()) return 0.0;
  const std::size_t last = Poly.size() - 1;
  double sum = (Poly[last].x - Poly[0].x) * (Poly[last].y + Poly[0].y);
  for (std::size_t i = 0; i < last; ++i)
    sum += (Poly[i].x - Poly[i + 1].x) * (Poly[i].y + Poly[i + 1].y);
  return 0.5 * sum;
}

void OuterRectOfPolygon(const std::vector<TPointDouble>& Poly, double& MinX, double& MinY,
                        double& MaxX, double& MaxY) {
  if (Poly.empty()) return;
  double x0 = Poly[0].x, x1 = x0, y0 = Poly[0].y, y1 = y0;
  for (std::size_t i = 1; i < Poly.size(); ++i) {
    const TPointDouble& p = Poly[i];
    if (p.x < x0) x0 = p.x;
    if (p.x > x1) x1 = p.x;
    if (p.y < y0) y0 = p.y;
    if (p.y > y1) y1 = p.y;
  }
  MinX = x0;
  MinY = y0;
  MaxX = x1;
  MaxY = y1;
}

bool PointIsInsideConvexHull(double x, double y, const std::vector<TPointDouble>& Hull) {
  if (Hull.empty()) return false;
  const TPointDouble* P = &Hull.back();
  for (const TPointDouble& R : Hull) {
    // (x - P.x)(P.y - R.y) + (y - P.y)(R.x - P.x) > 0: (x, y) left of P -> R.
    if (detail::OrientSign(P->x, P->y, R.x, R.y, x, y) <= 0) return false;
    P = &R;
  }
  return true;
}

double SphereGreatCircleDist(double Radius, double Lat1, double Long1, double Lat2, double Long2) {
  const double phi1 = Lat1 * kDegToRad;
  const double phi2 = Lat2 * kDegToRad;
  const double halfDLong = std::sin(0.5 * (Long1 - Long2) * kDegToRad);
  // c = cos phi1 cos phi2 cos dLong + sin phi1 sin phi2, written as
  // cos(phi1 - phi2) - 2 cos phi1 cos phi2 sin^2(dLong / 2): the same value,
  // but exactly 1 for equal points, where the plain sum can round to 1 - 2^-53
  // (a distance of 1.5e-8 radians).
  double c = std::cos(phi1 - phi2) - 2.0 * std::cos(phi1) * std::cos(phi2) * halfDLong * halfDLong;
  // Rounding can push c of (nearly) equal or opposite points beyond +-1.
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  return Radius * std::acos(c);
}

}  // namespace nuv
