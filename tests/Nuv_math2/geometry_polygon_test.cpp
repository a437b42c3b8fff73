// Point in polygon, area, bounding rectangle, point in convex hull and the
// great-circle distance.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;
using nuv_test::kTol4;

namespace {

using Pts = std::vector<TPointDouble>;

constexpr double kPi = 3.14159265358979323846;
const Pts kSquare = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};

// Independent reference for integer polygons and query points on the grid of
// halves: on the boundary (exact integer cross products) or, off it, inside
// by the even-odd rule with a rightward ray and half-open edges.
int RefClass(const Pts& poly, double qx, double qy) {  // 0 boundary, 1 inside, -1 outside
  const int64_t x = static_cast<int64_t>(2 * qx), y = static_cast<int64_t>(2 * qy);
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const int64_t ax = static_cast<int64_t>(2 * poly[j].x),
                  ay = static_cast<int64_t>(2 * poly[j].y);
    const int64_t bx = static_cast<int64_t>(2 * poly[i].x),
                  by = static_cast<int64_t>(2 * poly[i].y);
    const int64_t cross = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    if (cross == 0 && std::min(ax, bx) <= x && x <= std::max(ax, bx) && std::min(ay, by) <= y &&
        y <= std::max(ay, by))
      return 0;
    if ((ay > y) != (by > y)) {
      // x of the crossing, compared exactly: ax + (y - ay)(bx - ax)/(by - ay) > x.
      const int64_t num = (y - ay) * (bx - ax), den = by - ay;
      if ((den > 0) ? (num > (x - ax) * den) : (num < (x - ax) * den)) inside = !inside;
    }
  }
  return inside ? 1 : -1;
}

}  // namespace

TEST(Polygon, SquareAreaInsideEdgeOutsideAndRectangle) {
  EXPECT_EQ(PolygonArea(kSquare), 4.0);
  EXPECT_EQ(PolygonArea(Pts(kSquare.rbegin(), kSquare.rend())), -4.0);
  EXPECT_TRUE(PointIsInsidePolygon(1, 1, kSquare));
  EXPECT_FALSE(PointIsInsidePolygon(2, 1, kSquare));  // on an edge
  EXPECT_FALSE(PointIsInsidePolygon(1, 0, kSquare));  // on the lower edge (horizontal)
  EXPECT_FALSE(PointIsInsidePolygon(1, 2, kSquare));  // on the upper edge
  EXPECT_FALSE(PointIsInsidePolygon(2, 2, kSquare));  // a vertex
  EXPECT_FALSE(PointIsInsidePolygon(3, 1, kSquare));
  EXPECT_FALSE(PointIsInsidePolygon(3, 2, kSquare));  // in line with the upper edge
  EXPECT_FALSE(PointIsInsidePolygon(-1, 0, kSquare));
  EXPECT_TRUE(PointIsInsideConvexHull(1, 1, kSquare));
  EXPECT_FALSE(PointIsInsideConvexHull(0, 1, kSquare));
  EXPECT_FALSE(PointIsInsideConvexHull(1, 2, kSquare));
  EXPECT_FALSE(PointIsInsideConvexHull(1, -0.5, kSquare));
  // The same square clockwise has no point strictly left of every edge.
  EXPECT_FALSE(PointIsInsideConvexHull(1, 1, Pts(kSquare.rbegin(), kSquare.rend())));

  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  OuterRectOfPolygon({{0, 0}, {1, 5}, {4, -2}}, x0, y0, x1, y1);
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(y0, -2);  // the last vertex counts
  EXPECT_EQ(x1, 4);
  EXPECT_EQ(y1, 5);
  OuterRectOfPolygon({{-3, 7}}, x0, y0, x1, y1);
  EXPECT_EQ(x0, -3);
  EXPECT_EQ(x1, -3);
  EXPECT_EQ(y0, 7);
  EXPECT_EQ(y1, 7);
}

TEST(Polygon, ConcavePolygonAgreesWithAnExactReferenceOnAGridOfHalves) {
  // A star-like polygon with horizontal and vertical edges, a spike and
  // vertices on the grid rows, so that the ray meets vertices and edges.
  const Pts poly = {{0, 0}, {6, 0}, {6, 2}, {4, 2}, {5, 5}, {3, 3}, {1, 6}, {2, 2}, {0, 3}};
  int inside = 0, boundary = 0;
  for (int iy = -2; iy <= 14; ++iy) {
    for (int ix = -2; ix <= 14; ++ix) {
      const double x = 0.5 * ix, y = 0.5 * iy;
      const int want = RefClass(poly, x, y);
      EXPECT_EQ(PointIsInsidePolygon(x, y, poly), want == 1) << x << ", " << y;
      inside += want == 1;
      boundary += want == 0;
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_GT(boundary, 20);
  // Area by the shoelace formula on the integer vertices (by hand): 18.5,
  // whichever vertex the list starts with (so every edge closes it once).
  for (size_t k = 0; k < poly.size(); ++k) {
    Pts rotated(poly.begin() + static_cast<long>(k), poly.end());
    rotated.insert(rotated.end(), poly.begin(), poly.begin() + static_cast<long>(k));
    EXPECT_EQ(PolygonArea(rotated), 18.5) << k;
  }
}

TEST(Polygon, PointsExactlyOnASlantedEdgeAreOnTheEdge) {
  // Q lies exactly on the edge B-C (all three on y = 3x, every 3x exact), but
  // the rounded determinant is not 0: found by a search with Python's exact
  // fractions (fractions.Fraction), the rounded value being 2.2e-16 and 5.6e-17.
  const TPointDouble Q1{0.0010622452463697682, 0.0031867357391093046};
  const TPointDouble B1{0.5159623488383929, 1.5478870465151786};
  const TPointDouble C1{-1.253301841526655, -3.759905524579965};
  const TPointDouble Q2{0.004592002637705539, 0.013776007913116617};
  const TPointDouble B2{0.8303967955924172, 2.4911903867772516};
  const TPointDouble C2{-0.15124706667906174, -0.4537412000371852};
  for (const auto& e :
       {std::vector<TPointDouble>{Q1, B1, C1}, std::vector<TPointDouble>{Q2, B2, C2}}) {
    const Pts tri = {e[2], {3, -2}, e[1]};  // counter-clockwise
    EXPECT_FALSE(PointIsInsidePolygon(e[0].x, e[0].y, tri));
    EXPECT_FALSE(PointIsInsideConvexHull(e[0].x, e[0].y, tri));
    // A step towards the third corner is inside.
    EXPECT_TRUE(PointIsInsidePolygon(e[0].x + 1e-9, e[0].y, tri));
    EXPECT_TRUE(PointIsInsideConvexHull(e[0].x + 1e-9, e[0].y, tri));
  }
}

TEST(Polygon, EmptyAndDegenerateInputsHaveDefinedResults) {
  const Pts none;
  EXPECT_FALSE(PointIsInsidePolygon(0, 0, none));
  EXPECT_FALSE(PointIsInsideConvexHull(0, 0, none));
  EXPECT_EQ(PolygonArea(none), 0.0);
  double x0 = 7, y0 = 8, x1 = 9, y1 = 10;
  OuterRectOfPolygon(none, x0, y0, x1, y1);
  EXPECT_EQ(x0, 7);
  EXPECT_EQ(y0, 8);
  EXPECT_EQ(x1, 9);
  EXPECT_EQ(y1, 10);
  const Pts one = {{1, 1}};
  EXPECT_EQ(PolygonArea(one), 0.0);
  EXPECT_FALSE(PointIsInsidePolygon(1, 1, one));
  EXPECT_FALSE(PointIsInsideConvexHull(1, 1, one));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(PointIsInsidePolygon(nan, 1, kSquare));
  EXPECT_FALSE(PointIsInsidePolygon(1, nan, kSquare));
  EXPECT_FALSE(PointIsInsideConvexHull(nan, 1, kSquare));
  const Pts withNaN = {{0, 0}, {2, 0}, {nan, 2}, {0, 2}};
  EXPECT_FALSE(PointIsInsidePolygon(1, 1, withNaN));
}

TEST(SphereGreatCircleDist, AgreesWithTheHaversineFormula) {
  // A quarter of the equator: 6371 * pi / 2.
  EXPECT_REL_NEAR(SphereGreatCircleDist(6371, 0, 0, 0, 90), 6371 * kPi / 2, kTol0);
  EXPECT_REL_NEAR(SphereGreatCircleDist(1, 90, 0, -90, 0), kPi, kTol0);
  // Equal points give 0 at every latitude: the plain cosine sum rounds to
  // 1 - 2^-53 at some of these, which would give 9.5e-5 on this sphere.
  for (int i = -240; i <= 240; ++i) {
    const double lat = 0.37 * i, lon = 1.13 * i;
    EXPECT_EQ(SphereGreatCircleDist(6371, lat, lon, lat, lon), 0.0) << lat;
  }
  // (129, 0) lies beyond the pole: it is the point (51, 180). The cosine sum
  // rounds to 1 + 2^-52 there, which the clip turns into a distance of 0.
  EXPECT_EQ(SphereGreatCircleDist(6371, 129, 0, 51, 180), 0.0);
  // Haversine: 2 R asin(sqrt(sin^2(dphi/2) + cos phi1 cos phi2 sin^2(dlambda/2))),
  // well conditioned where the arccosine is; pairs within 0.05 rad of 0 or pi,
  // where the arccosine of the cosine sum loses digits, are skipped.
  SetRandSeed(8);
  int compared = 0;
  for (int i = 0; i < 2000; ++i) {
    const double lat1 = 180 * Random() - 90, lat2 = 180 * Random() - 90;
    const double lon1 = 360 * Random() - 180, lon2 = 360 * Random() - 180;
    const double p1 = lat1 * kPi / 180, p2 = lat2 * kPi / 180, dl = (lon2 - lon1) * kPi / 180;
    const long double s1 = std::sin((p2 - p1) / 2.0L), s2 = std::sin(dl / 2.0L);
    const long double a = s1 * s1 + std::cos(static_cast<long double>(p1)) *
                                        std::cos(static_cast<long double>(p2)) * s2 * s2;
    const double theta = static_cast<double>(2 * std::asin(std::sqrt(a)));
    if (theta < 0.05 || theta > kPi - 0.05) continue;
    ++compared;
    EXPECT_REL_NEAR(SphereGreatCircleDist(2.5, lat1, lon1, lat2, lon2), 2.5 * theta, kTol4);
  }
  EXPECT_GT(compared, 1800);
}
