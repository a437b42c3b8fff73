// Convex2DHull against an independent hull: Andrew's monotone chain on exact
// integer arithmetic. Every test set lies on a grid of 2^-Shift, so each
// coordinate times 2^Shift is an integer below 2^62 and every orientation is
// decided exactly in 128 bits; the library's result must be the same corners
// (no collinear points, no repeats) counter-clockwise.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

__extension__ typedef __int128 Int128;

using Pts = std::vector<TPointDouble>;

struct IntPoint {
  int64_t x, y;
  bool operator<(const IntPoint& o) const { return x < o.x || (x == o.x && y < o.y); }
  bool operator==(const IntPoint& o) const { return x == o.x && y == o.y; }
};

IntPoint ToInt(const TPointDouble& p, int Shift) {
  const double sx = std::ldexp(p.x, Shift), sy = std::ldexp(p.y, Shift);
  EXPECT_EQ(sx, std::trunc(sx)) << "test point off its grid";
  EXPECT_EQ(sy, std::trunc(sy)) << "test point off its grid";
  return {static_cast<int64_t>(sx), static_cast<int64_t>(sy)};
}

Int128 Cross(const IntPoint& o, const IntPoint& a, const IntPoint& b) {
  return static_cast<Int128>(a.x - o.x) * (b.y - o.y) -
         static_cast<Int128>(a.y - o.y) * (b.x - o.x);
}

// The strict hull, counter-clockwise, by the monotone chain.
std::vector<IntPoint> ReferenceHull(const Pts& P, int Shift) {
  std::vector<IntPoint> s;
  for (const TPointDouble& p : P) s.push_back(ToInt(p, Shift));
  std::sort(s.begin(), s.end());
  s.erase(std::unique(s.begin(), s.end()), s.end());
  if (s.size() <= 2) return s;
  std::vector<IntPoint> h(2 * s.size());
  size_t k = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    while (k >= 2 && Cross(h[k - 2], h[k - 1], s[i]) <= 0) --k;
    h[k++] = s[i];
  }
  for (size_t i = s.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && Cross(h[k - 2], h[k - 1], s[i]) <= 0) --k;
    h[k++] = s[i];
  }
  h.resize(k - 1);
  return h;
}

// Hull equals the reference up to the corner it starts with.
::testing::AssertionResult SameCorners(const Pts& Hull, const std::vector<IntPoint>& Want,
                                       int Shift) {
  std::vector<IntPoint> got;
  for (const TPointDouble& p : Hull) got.push_back(ToInt(p, Shift));
  if (got.size() != Want.size())
    return ::testing::AssertionFailure()
           << got.size() << " corners, the reference has " << Want.size();
  if (got.empty()) return ::testing::AssertionSuccess();
  const auto it = std::find(Want.begin(), Want.end(), got[0]);
  if (it == Want.end()) return ::testing::AssertionFailure() << "first corner is not a corner";
  const size_t off = static_cast<size_t>(it - Want.begin());
  for (size_t i = 0; i < got.size(); ++i)
    if (!(got[i] == Want[(off + i) % Want.size()]))
      return ::testing::AssertionFailure() << "corner " << i << " differs";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult HullMatches(const Pts& P, int Shift) {
  Pts hull;
  Convex2DHull(P, hull);
  return SameCorners(hull, ReferenceHull(P, Shift), Shift);
}

// Uniform points on the grid 2^-53 of [0, 1) (Random() gives exactly these).
Pts RandomSquare(int n) {
  Pts p(static_cast<size_t>(n));
  for (TPointDouble& q : p) q = {Random(), Random()};
  return p;
}

// Points on a circle of radius 1, rounded to the grid 2^-40.
Pts Circle(int n, double phase) {
  Pts p;
  for (int i = 0; i < n; ++i) {
    const double a = phase + 2 * 3.14159265358979323846 * i / n;
    p.push_back({std::ldexp(std::nearbyint(std::ldexp(std::cos(a), 40)), -40),
                 std::ldexp(std::nearbyint(std::ldexp(std::sin(a), 40)), -40)});
  }
  return p;
}

// The angle around the centroid, counter-clockwise from straight below it.
double AngleFromBelow(const TPointDouble& p, double cx, double cy) {
  double a = std::atan2(p.y - cy, p.x - cx) + 0.5 * 3.14159265358979323846;
  if (a <= 0) a += 2 * 3.14159265358979323846;
  return a;
}

}  // namespace

TEST(Convex2DHull, SquareWithCentreGivesTheCornersFromBelowTheCentroid) {
  const Pts square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}};
  Pts hull;
  Convex2DHull(square, hull);
  // Counter-clockwise from straight below the centroid (1, 1): (2, 0) first.
  const Pts want = {{2, 0}, {2, 2}, {0, 2}, {0, 0}};
  ASSERT_EQ(hull.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(hull[i].x, want[i].x) << i;
    EXPECT_EQ(hull[i].y, want[i].y) << i;
  }
  EXPECT_EQ(PolygonArea(hull), 4.0);
}

TEST(Convex2DHull, TheScanAloneAnswersSetsWithAnInterior) {
  // Random sets, the dense circle and the square with its centre (the
  // centroid is one of the points) need no monotone chain; sets without an
  // interior do.
  SetRandSeed(99);
  const int64_t before = detail::HullScanFallbacks();
  Pts hull;
  for (int n : {4, 50, 5000}) {
    for (int rep = 0; rep < 10; ++rep) Convex2DHull(RandomSquare(n), hull);
  }
  Convex2DHull(Circle(1 << 12, 0.2), hull);
  Convex2DHull({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}, {1, 1}}, hull);
  EXPECT_EQ(detail::HullScanFallbacks(), before);
  Convex2DHull({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, hull);
  EXPECT_EQ(detail::HullScanFallbacks(), before + 1);
  EXPECT_EQ(hull.size(), 2u);
}

TEST(Convex2DHull, RandomSetsMatchTheMonotoneChainAndStartBelowTheCentroid) {
  SetRandSeed(2207);
  for (int n : {4, 5, 7, 10, 31, 100, 1000, 20000}) {
    for (int rep = 0; rep < 6; ++rep) {
      const Pts p = RandomSquare(n);
      Pts hull;
      Convex2DHull(p, hull);
      ASSERT_TRUE(SameCorners(hull, ReferenceHull(p, 53), 53)) << "n = " << n;
      long double sx = 0, sy = 0;
      for (const TPointDouble& q : p) sx += q.x, sy += q.y;
      const double cx = static_cast<double>(sx / n), cy = static_cast<double>(sy / n);
      for (size_t i = 1; i < hull.size(); ++i)
        EXPECT_LT(AngleFromBelow(hull[i - 1], cx, cy), AngleFromBelow(hull[i], cx, cy));
    }
  }
}

TEST(Convex2DHull, CollinearAndRepeatedPointsLeaveOnlyCorners) {
  SetRandSeed(31);
  // A small integer grid drawn with many repeats: edges full of points.
  for (int rep = 0; rep < 40; ++rep) {
    Pts p;
    const int n = 5 + rep * 7;
    for (int i = 0; i < n; ++i) p.push_back({double(Random(6)), double(Random(4))});
    ASSERT_TRUE(HullMatches(p, 0)) << "grid set " << rep;
  }
  // A triangle with every hull corner repeated and points along its edges.
  Pts tri;
  for (int k = 0; k < 3; ++k) {
    tri.push_back({0, 0});
    tri.push_back({64, 0});
    tri.push_back({0, 64});
  }
  for (int i = 1; i < 64; ++i) {
    tri.push_back({double(i), 0});
    tri.push_back({0, double(i)});
    tri.push_back({double(i), double(64 - i)});
    tri.push_back({double(i % 7 + 1), double(i % 5 + 1)});
  }
  EXPECT_TRUE(HullMatches(tri, 0));
  // Every point on one line: the two ends.
  Pts line;
  for (int i = 0; i < 50; ++i)
    line.push_back({double((i * 37) % 50), double(3 * ((i * 37) % 50) + 1)});
  EXPECT_TRUE(HullMatches(line, 0));
  // Equal points: one point; with one more point, two.
  EXPECT_TRUE(HullMatches(Pts(9, {2.5, -1}), 1));
  Pts two(9, {2.5, -1});
  two.push_back({4, 7});
  EXPECT_TRUE(HullMatches(two, 1));
}

TEST(Convex2DHull, DensePointsOnACircleAreAllCorners) {
  // 2^17 points: neighbours are 4.8e-5 rad apart, so near-equal angles are
  // the rule; every point is a corner.
  for (double phase : {0.0, 0.3}) {
    const Pts c = Circle(1 << 17, phase);
    Pts hull;
    Convex2DHull(c, hull);
    EXPECT_EQ(hull.size(), c.size());
    EXPECT_TRUE(SameCorners(hull, ReferenceHull(c, 40), 40));
  }
  // A few points on a circle with the interior filled.
  SetRandSeed(5);
  Pts p = Circle(12, 0.1);
  for (int i = 0; i < 500; ++i)
    p.push_back({std::ldexp(std::floor(std::ldexp(Random() - 0.5, 40)), -40),
                 std::ldexp(std::floor(std::ldexp(Random() - 0.5, 40)), -40)});
  EXPECT_TRUE(HullMatches(p, 40));
}

TEST(Convex2DHull, NearlyDegenerateSetsNeedExactTurns) {
  // Points on the line y = 3x + 1 at x up to 2^40, some moved by one unit off
  // it: the turns are products near 2^81, beyond what doubles hold exactly.
  SetRandSeed(77);
  const double big = std::ldexp(1.0, 40);
  for (int rep = 0; rep < 20; ++rep) {
    Pts p;
    for (int i = 0; i < 200; ++i) {
      const double x = std::floor(Random() * big);
      double y = 3 * x + 1;
      if (i % 23 == rep % 23) y += (i % 2 == 0) ? 1 : -1;
      p.push_back({x, y});
    }
    ASSERT_TRUE(HullMatches(p, 0)) << "set " << rep;
  }
  // A sliver: three far corners nearly in line with many points between.
  Pts sliver = {{0, 0}, {big, 3 * big + 1}, {big / 2, 1.5 * big + 1}};
  for (int i = 1; i < 100; ++i) sliver.push_back({double(i) * 1024, 3 * double(i) * 1024});
  EXPECT_TRUE(HullMatches(sliver, 0));
  // A thin triangle whose centroid lies within rounding of its long edge.
  Pts thin = {{0, 0}, {std::ldexp(1.0, 52), 1}, {std::ldexp(1.0, 51), 1}};
  for (int i = 0; i < 30; ++i) thin.push_back({std::ldexp(1.0, 45) * i, 0});
  EXPECT_TRUE(HullMatches(thin, 0));
}

TEST(Convex2DHull, SmallSetsAreCopiedWhenTheyAreAHullAndMendedOtherwise) {
  Pts hull = {{9, 9}};
  Convex2DHull({}, hull);
  EXPECT_TRUE(hull.empty());
  // Counter-clockwise triangle: a copy in the given order.
  const Pts ccw = {{1, 0}, {0, 1}, {0, 0}};
  Convex2DHull(ccw, hull);
  ASSERT_EQ(hull.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(hull[i].x, ccw[i].x);
  // Clockwise triangle and triangles with a repeat or in line: the true hull.
  EXPECT_TRUE(HullMatches({{0, 0}, {0, 1}, {1, 0}}, 0));
  EXPECT_TRUE(HullMatches({{0, 0}, {1, 1}, {0, 0}}, 0));
  EXPECT_TRUE(HullMatches({{0, 0}, {2, 2}, {1, 1}}, 0));
  EXPECT_TRUE(HullMatches({{3, 4}, {3, 4}}, 0));
  Convex2DHull({{3, 4}, {5, 6}}, hull);
  ASSERT_EQ(hull.size(), 2u);
  EXPECT_EQ(hull[0].x, 3);
}

TEST(Convex2DHull, LeavesOutPointsThatAreNotFiniteAndMayWriteOverItsInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Pts p = {{0, 0}, {nan, 1}, {4, 0}, {4, 4}, {1, inf}, {0, 4}, {2, 2}, {-inf, nan}};
  Convex2DHull(p, p);
  EXPECT_TRUE(SameCorners(p, ReferenceHull({{0, 0}, {4, 0}, {4, 4}, {0, 4}}, 0), 0));
  Pts none = {{nan, nan}, {inf, 0}};
  Convex2DHull(none, none);
  EXPECT_TRUE(none.empty());
  // Coordinates near the largest double, whose offsets from the centroid
  // (-m/2, -m/2) exceed it: the angles still order the corners from below.
  const double m = 1.6e308;
  Pts huge(5, {-m, -m});
  huge.insert(huge.end(), {{-m, m}, {m, m}, {0, 0}, {m, -m}, {m / 2, -m / 4}});
  const int64_t before = detail::HullScanFallbacks();
  Pts hull;
  Convex2DHull(huge, hull);
  const Pts want = {{m, -m}, {m, m}, {-m, m}, {-m, -m}};
  ASSERT_EQ(hull.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(hull[i].x, want[i].x) << i;
    EXPECT_EQ(hull[i].y, want[i].y) << i;
  }
  EXPECT_EQ(detail::HullScanFallbacks(), before);
}
