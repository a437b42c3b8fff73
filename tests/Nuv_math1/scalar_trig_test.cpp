#include <cmath>
#include <limits>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;
using nuv_test::kTol1;

namespace {
constexpr double kPi = 3.14159265358979323846;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(AngleToXAxis, AxesQuadrantsAndOrigin) {
  // Directions of the axes and diagonals, counter-clockwise from +x.
  EXPECT_EQ(AngleToXAxis(1, 0), 0.0);
  EXPECT_REL_NEAR(AngleToXAxis(0, 1), kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(-1, 0), kPi, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(0, -1), 3 * kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(0, 0), 3 * kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(1, 1), kPi / 4, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(-1, 1), 3 * kPi / 4, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(-1, -1), 5 * kPi / 4, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(1, -1), 7 * kPi / 4, kTol0);
  // 30 degrees: (sqrt 3, 1).
  EXPECT_REL_NEAR(AngleToXAxis(std::sqrt(3.0), 1), kPi / 6, kTol1);
  // A hair below the positive x axis stays just under 2 pi.
  const double a = AngleToXAxis(1, -1e-300);
  EXPECT_LE(a, 2 * kPi);
  EXPECT_GT(a, 6.28);
  EXPECT_TRUE(std::isnan(AngleToXAxis(kNaN, 1)));
  EXPECT_TRUE(std::isnan(AngleToXAxis(1, kNaN)));
  EXPECT_REL_NEAR(AngleToXAxis(0, kInf), kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(-kInf, 1), kPi, kTol0);
}

TEST(CanonicalAngle, DegreesAtBoundaries) {
  EXPECT_EQ(CanonicalAngleDegrees(540), 180.0);
  EXPECT_EQ(CanonicalAngleDegrees(-190), 170.0);
  EXPECT_EQ(CanonicalAngleDegrees(190), -170.0);
  EXPECT_EQ(CanonicalAngleDegrees(180), 180.0);
  EXPECT_EQ(CanonicalAngleDegrees(-180), -180.0);
  EXPECT_EQ(CanonicalAngleDegrees(360), 0.0);
  EXPECT_EQ(CanonicalAngleDegrees(-360), 0.0);
  EXPECT_EQ(CanonicalAngleDegrees(720), 0.0);
  EXPECT_EQ(CanonicalAngleDegrees(-540), -180.0);
  // 1000 - 3*360 = -80; the fraction of 1000/360 carries its rounding.
  EXPECT_REL_NEAR(CanonicalAngleDegrees(1000), -80.0, kTol1);
  EXPECT_REL_NEAR(CanonicalAngleDegrees(-1000), 80.0, kTol1);
  EXPECT_EQ(CanonicalAngleDegrees(0), 0.0);
  // Far out: a whole number of turns in every representable step.
  EXPECT_EQ(CanonicalAngleDegrees(1e300), 0.0);
  EXPECT_TRUE(std::isnan(CanonicalAngleDegrees(kInf)));
  EXPECT_TRUE(std::isnan(CanonicalAngleDegrees(-kInf)));
  EXPECT_TRUE(std::isnan(CanonicalAngleDegrees(kNaN)));
}

TEST(CanonicalAngle, Radians) {
  EXPECT_REL_NEAR(CanonicalAngleRadians(3 * kPi), kPi, kTol1);
  EXPECT_REL_NEAR(CanonicalAngleRadians(-3 * kPi / 2), kPi / 2, kTol1);
  EXPECT_REL_NEAR(CanonicalAngleRadians(3 * kPi / 2), -kPi / 2, kTol1);
  EXPECT_REL_NEAR(CanonicalAngleRadians(7.0), 7.0 - 2 * kPi, kTol1);
  EXPECT_REL_NEAR(CanonicalAngleRadians(-7.0), 2 * kPi - 7.0, kTol1);
  EXPECT_EQ(CanonicalAngleRadians(1.0), 1.0);
  for (double x = -100.0; x <= 100.0; x += 0.37) {
    const double r = CanonicalAngleRadians(x);
    ASSERT_GE(r, -kPi) << x;
    ASSERT_LE(r, kPi) << x;
  }
  EXPECT_TRUE(std::isnan(CanonicalAngleRadians(kInf)));
}

TEST(Logarithms, ValuesAndErrors) {
  EXPECT_EQ(lg(1000.0), 3.0);
  EXPECT_EQ(lg(0.01), -2.0);
  EXPECT_EQ(lg(1.0), 0.0);
  EXPECT_EQ(ld(1024.0), 10.0);
  EXPECT_EQ(ld(0.5), -1.0);
  // log10(2) = 0.30102999566398119521 (A&S table 4.1); ln 10 / ln 2 = 3.3219280948873623.
  EXPECT_REL_NEAR(lg(2.0), 0.30102999566398119521, kTol0);
  EXPECT_REL_NEAR(ld(10.0), 3.32192809488736234787, kTol0);
  EXPECT_EQ(lg(kInf), kInf);
  EXPECT_TRUE(std::isnan(ld(kNaN)));
  EXPECT_THROW_MSG(lg(0.0), EMathError, "logarithm: invalid argument");
  EXPECT_THROW_MSG(lg(-1.0), EMathError, "logarithm: invalid argument");
  EXPECT_THROW_MSG(ld(0.0), EMathError, "logarithm: invalid argument");
  EXPECT_THROW_MSG(ld(-kInf), EMathError, "logarithm: invalid argument");
}

TEST(Hyperbolic, ClosedFormsNearZeroAndLarge) {
  // sinh 1 = (e - 1/e)/2, cosh 1 = (e + 1/e)/2, tanh 0.5: mpmath at 30 digits.
  EXPECT_REL_NEAR(nuv::sinh(1.0), 1.1752011936438014568823818506, kTol0);
  EXPECT_REL_NEAR(nuv::cosh(1.0), 1.54308063481524377847790562076, kTol0);
  EXPECT_REL_NEAR(tgh(0.5), 0.462117157260009758502318483644, kTol0);
  EXPECT_REL_NEAR(nuv::sinh(-1.0), -1.1752011936438014568823818506, kTol0);
  EXPECT_EQ(nuv::cosh(0.0), 1.0);
  EXPECT_EQ(tgh(0.0), 0.0);
  // Near 0 the series x + x^3/6 decides: relative accuracy is kept.
  EXPECT_REL_NEAR(nuv::sinh(1e-10) / 1e-10, 1.0, kTol0);
  EXPECT_REL_NEAR(tgh(1e-10) / 1e-10, 1.0, kTol0);
  // sinh 710 = 1.11699738308085551563e308 (mpmath) is finite although e^710 is not.
  EXPECT_REL_NEAR(nuv::sinh(710.0), 1.11699738308085551562682222906e308, kTol1);
  EXPECT_EQ(tgh(1000.0), 1.0);
  EXPECT_EQ(tgh(-1000.0), -1.0);
  EXPECT_EQ(nuv::cosh(1000.0), kInf);
}

TEST(Tangent, ValuesAndOverflowMessages) {
  EXPECT_REL_NEAR(tg(kPi / 4), 1.0, kTol1);
  EXPECT_REL_NEAR(cot(kPi / 4), 1.0, kTol1);
  EXPECT_REL_NEAR(tg(kPi / 3), std::sqrt(3.0), kTol1);
  EXPECT_REL_NEAR(cot(kPi / 6), std::sqrt(3.0), kTol1);
  EXPECT_EQ(tg(0.0), 0.0);
  // cos of the double nearest pi/2 is 6.12e-17, not 0: no overflow there.
  EXPECT_GT(tg(kPi / 2), 1e16);
  EXPECT_THROW_MSG(cot(0.0), EMathError, "cotangens overflow");
  EXPECT_THROW_MSG(cot(-0.0), EMathError, "cotangens overflow");
  EXPECT_TRUE(std::isnan(tg(kInf)));
  EXPECT_TRUE(std::isnan(cot(kNaN)));
}
