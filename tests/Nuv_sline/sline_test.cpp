// TSLine: construction forms, intersections, angles, distances, coordinates,
// direction, clipping and the error messages.
#include <cmath>

#include "Nuv_sline/Nuv_sline.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;
using nuv_test::kTol1;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A x + B y + C at (x, y), for checking that a point lies on a line.
double Residual(const TSLine& l, double x, double y) {
  return l.ParA() * x + l.ParB() * y + l.ParC();
}

}  // namespace

TEST(TSLine, StartsAsTheXAxisAndKeepsAAndBFromBothBeingZero) {
  TSLine l;
  EXPECT_EQ(l.ParA(), 0.0);
  EXPECT_EQ(l.ParB(), 1.0);
  EXPECT_EQ(l.ParC(), 0.0);
  EXPECT_FALSE(l.SubstituteInf());
  EXPECT_THROW_MSG(l.SetParB(0), ENUVSLineError, "parameter A and B must not both be zero");
  EXPECT_EQ(l.ParB(), 1.0);
  l.SetParA(2);
  l.SetParB(0);
  EXPECT_EQ(l.ParB(), 0.0);
  EXPECT_THROW_MSG(l.SetParA(0), ENUVSLineError, "parameter A and B must not both be zero");
  EXPECT_EQ(l.ParA(), 2.0);
  l.SetParC(-3.5);
  EXPECT_EQ(l.ParC(), -3.5);
  // The error is outside the library's ENUVError branch.
  bool caughtAsNUV = false;
  try {
    try {
      l.SetParA(0);
    } catch (const ENUVError&) {
      caughtAsNUV = true;
    }
  } catch (const Exception&) {
  }
  EXPECT_FALSE(caughtAsNUV);
}

TEST(TSLine, LineFromTwoPointsWithSlopeInterceptDirectionAndDistance) {
  TSLine l;
  EXPECT_TRUE(l.LineFrom2Points(0, 0, 1, 1));
  EXPECT_EQ(l.ParA(), -1.0);
  EXPECT_EQ(l.ParB(), 1.0);
  EXPECT_EQ(l.ParC(), 0.0);
  EXPECT_EQ(l.GetSlope(), 1.0);
  EXPECT_EQ(l.GetIntercept(), 0.0);
  EXPECT_REL_NEAR(l.GetDirect(), kPi / 4, kTol0);
  EXPECT_REL_NEAR(l.Distance(1, 0), 1 / std::sqrt(2.0), kTol0);
  double k = 9, d = 9;
  l.CalcKDForm(k, d);
  EXPECT_EQ(k, 1.0);
  EXPECT_EQ(d, 0.0);
  // Coinciding points leave the line as it was.
  EXPECT_FALSE(l.LineFrom2Points(2.5, -1, 2.5, -1));
  EXPECT_EQ(l.ParA(), -1.0);
  EXPECT_EQ(l.ParB(), 1.0);
  // A general pair: both points on the line, slope (y2 - y1)/(x2 - x1).
  EXPECT_TRUE(l.LineFrom2Points(-1.5, 2.25, 3.5, -0.75));
  EXPECT_EQ(Residual(l, -1.5, 2.25), 0.0);
  EXPECT_EQ(Residual(l, 3.5, -0.75), 0.0);
  EXPECT_REL_NEAR(l.GetSlope(), -3.0 / 5.0, kTol0);
  EXPECT_REL_NEAR(l.GetIntercept(), 2.25 - 1.5 * 3.0 / 5.0, kTol0);
  EXPECT_REL_NEAR(l.CalcY(0.5), 2.25 - 2.0 * 3.0 / 5.0, kTol0);
  EXPECT_REL_NEAR(l.CalcX(0.75), 1.0, kTol1);
  // Distance to a point whose foot is known: (0, 0) from y = x + 2 is sqrt(2).
  l.LineFromSlopeIcpt(1, 2);
  EXPECT_EQ(l.ParA(), 1.0);
  EXPECT_EQ(l.ParB(), -1.0);
  EXPECT_EQ(l.ParC(), 2.0);
  EXPECT_REL_NEAR(l.Distance(0, 0), std::sqrt(2.0), kTol0);
  EXPECT_EQ(l.Distance(1, 3), 0.0);
  // hypot: coefficients whose squares overflow still give the distance.
  l.SetParA(1e200);
  l.SetParB(-1e200);
  l.SetParC(0);
  EXPECT_REL_NEAR(l.Distance(1, 0), 1 / std::sqrt(2.0), kTol0);
}

TEST(TSLine, DirectionCoversEveryQuadrantAndTheAxes) {
  TSLine l;
  // The direction vector (B, -A) of the line through (0, 0) and (cos t, sin t) is
  // (cos t, sin t), so the direction is t.
  for (int i = 0; i < 16; ++i) {
    const double t = (i + 0.5) * kPi / 8;
    l.LineFrom2Points(0, 0, std::cos(t), std::sin(t));
    EXPECT_REL_NEAR(l.GetDirect(), t, kTol1) << i;
  }
  const double axes[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (int i = 0; i < 4; ++i) {
    l.LineFrom2Points(0, 0, axes[i][0], axes[i][1]);
    EXPECT_REL_NEAR(l.GetDirect(), i * kPi / 2, kTol0) << i;
  }
  l.LineThroughPoint(1, 2, kPi / 3);
  EXPECT_REL_NEAR(l.GetDirect(), kPi / 3, kTol1);
  EXPECT_ABS_NEAR(Residual(l, 1, 2), 0.0, 4e-16);  // C = -A px - B py, rounded once
}

TEST(TSLine, IntersectionAngleNormalAndParallel) {
  TSLine a, b;
  a.LineFrom2Points(0, 1, 4, 3);  // y = x/2 + 1
  b.LineFrom2Points(0, 4, 2, 0);  // y = -2x + 4
  double x = 0, y = 0;
  EXPECT_TRUE(a.InterSection(&b, x, y));
  EXPECT_REL_NEAR(x, 1.2, kTol0);  // x/2 + 1 = -2x + 4
  EXPECT_REL_NEAR(y, 1.6, kTol0);
  EXPECT_REL_NEAR(a.AngleBetweenLines(&b), kPi / 2, kTol0);  // slopes 1/2 and -2
  TSLine c;
  c.LineFromSlopeIcpt(1, 0);
  // Slopes 1/2 and 1: tan of the angle is (1 - 1/2)/(1 + 1/2) = 1/3.
  EXPECT_REL_NEAR(a.AngleBetweenLines(&c), std::atan(1.0 / 3.0), kTol0);
  EXPECT_EQ(a.AngleBetweenLines(&a), 0.0);
  // Parallel lines: false, x and y untouched.
  TSLine p;
  p.ParallelLine(5, -7, &a);
  EXPECT_EQ(p.ParA(), a.ParA());
  EXPECT_EQ(p.ParB(), a.ParB());
  EXPECT_EQ(Residual(p, 5, -7), 0.0);
  x = 11;
  y = 12;
  EXPECT_FALSE(a.InterSection(&p, x, y));
  EXPECT_EQ(x, 11);
  EXPECT_EQ(y, 12);
  // The normal through a point meets the line at its foot, at a right angle.
  TSLine n;
  n.NormalLine(3, 0, &a);
  EXPECT_EQ(Residual(n, 3, 0), 0.0);
  EXPECT_REL_NEAR(n.AngleBetweenLines(&a), kPi / 2, kTol0);
  EXPECT_TRUE(n.InterSection(&a, x, y));
  EXPECT_REL_NEAR(std::hypot(x - 3, y), a.Distance(3, 0), kTol1);
  // Absent lines change nothing.
  n.NormalLine(1, 1, nullptr);
  n.ParallelLine(1, 1, nullptr);
  EXPECT_EQ(Residual(n, 3, 0), 0.0);
  EXPECT_FALSE(n.InterSection(nullptr, x, y));
  EXPECT_EQ(n.AngleBetweenLines(nullptr), 0.0);
}

TEST(TSLine, NormalAndParallelOfTheLineItselfUseItsOriginalCoefficients) {
  TSLine l;
  l.LineFrom2Points(0, 1, 4, 3);  // A = -2, B = 4, C = -4
  l.NormalLine(1, 1, &l);
  EXPECT_EQ(l.ParA(), -4.0);
  EXPECT_EQ(l.ParB(), -2.0);
  EXPECT_EQ(Residual(l, 1, 1), 0.0);
  l.ParallelLine(2, 5, &l);
  EXPECT_EQ(l.ParA(), -4.0);
  EXPECT_EQ(l.ParB(), -2.0);
  EXPECT_EQ(Residual(l, 2, 5), 0.0);
}

TEST(TSLine, VerticalLinesRaiseUnlessInfinitiesAreSubstituted) {
  TSLine v;
  v.LineFrom2Points(2, 0, 2, 1);  // x = 2: A = -1, B = 0, C = 2
  EXPECT_THROW_MSG(v.GetSlope(), ENUVSLineError, "slope is infinite");
  EXPECT_THROW_MSG(v.GetIntercept(), ENUVSLineError,
                   "cannot calculate intercept (line is parallel to y axis)");
  double k = 5, d = 6;
  EXPECT_THROW_MSG(v.CalcKDForm(k, d), ENUVSLineError,
                   "cannot convert to k-d-form if ParB is zero");
  EXPECT_EQ(k, 5);
  EXPECT_EQ(d, 6);
  EXPECT_THROW_MSG(v.CalcY(1), ENUVSLineError, "cannot calculate y");
  EXPECT_EQ(v.CalcX(123), 2.0);
  EXPECT_REL_NEAR(v.GetDirect(), kPi / 2, kTol0);
  v.SetSubstituteInf(true);
  // (-x A - C) / 1e-100 = (1 - 2) * 1e100.
  EXPECT_REL_NEAR(v.CalcY(1), -1e100, kTol0);
  TSLine h;  // the x axis: A = 0
  EXPECT_THROW_MSG(h.CalcX(1), ENUVSLineError, "cannot calculate x");
  h.SetParC(-3);  // y = 3
  h.SetSubstituteInf(true);
  EXPECT_REL_NEAR(h.CalcX(1), 2e100, kTol0);
  EXPECT_EQ(h.CalcY(-8), 3.0);
}

TEST(TSLine, ClipBoxGivesTheBorderPointsInOrder) {
  TSLine l;  // the x axis
  double x1 = 9, y1 = 9, x2 = 9, y2 = 9;
  EXPECT_TRUE(l.ClipBox(-1, -1, 1, 1, x1, y1, x2, y2));
  EXPECT_EQ(x1, -1);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 1);
  EXPECT_EQ(y2, 0);
  EXPECT_FALSE(l.SubstituteInf());                       // as it was before the call
  EXPECT_FALSE(l.ClipBox(-1, 1, 1, 2, x1, y1, x2, y2));  // the box lies above the axis
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 0);
  EXPECT_EQ(y2, 0);
  // A vertical line meets the lower and the upper border.
  l.LineFrom2Points(0.5, 0, 0.5, 1);
  EXPECT_TRUE(l.ClipBox(0, -1, 1, 1, x1, y1, x2, y2));
  EXPECT_EQ(x1, 0.5);
  EXPECT_EQ(y1, -1);
  EXPECT_EQ(x2, 0.5);
  EXPECT_EQ(y2, 1);
  // y = x/2 through the box (0, 0)-(4, 4): the left border at (0, 0), the
  // right one at (4, 2).
  l.LineFromSlopeIcpt(0.5, 0);
  EXPECT_TRUE(l.ClipBox(0, 0, 4, 4, x1, y1, x2, y2));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 4);
  EXPECT_EQ(y2, 2);
  // y = 2x + 3 meets the box (0, 0)-(4, 4) only at the left border (0, 3) and
  // the top border (0.5, 4).
  l.LineFromSlopeIcpt(2, 3);
  EXPECT_TRUE(l.ClipBox(0, 0, 4, 4, x1, y1, x2, y2));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 3);
  EXPECT_EQ(x2, 0.5);
  EXPECT_EQ(y2, 4);
  // y = 8 - x touches the corner (4, 4) only: accepted there by the right
  // and again by the top border.
  l.LineFromSlopeIcpt(-1, 8);
  EXPECT_TRUE(l.ClipBox(0, 0, 4, 4, x1, y1, x2, y2));
  EXPECT_EQ(x1, 4);
  EXPECT_EQ(y1, 4);
  EXPECT_EQ(x2, 4);
  EXPECT_EQ(y2, 4);
}
