// The comparison helpers mean what their names say: a relative check stays
// relative below 1, the floor form and the absolute check are explicit.
#include <gtest/gtest-spi.h>

#include <cmath>
#include <limits>

#include "common/test_util.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(ToleranceHelpers, RelativeIsRelativeAtEveryScale) {
  EXPECT_REL_NEAR(1e-300 * (1 + 1e-9), 1e-300, 2e-9);
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(2e-300, 1e-300, 1e-9), "relative tolerance");
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(1.5e-6, 1e-6, 1e-6), "relative tolerance");
  EXPECT_REL_NEAR(-3e8 * (1 - 1e-12), -3e8, 2e-12);
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(-3e8 * (1 - 1e-10), -3e8, 1e-12), "relative");
  // 0 is only near 0
  EXPECT_REL_NEAR(0.0, 0.0, 0.0);
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(1e-300, 0.0, 0.5), "relative");
}

TEST(ToleranceHelpers, FloorAndAbsoluteAreExplicit) {
  constexpr double kFloor = 1e-12;
  EXPECT_REL_NEAR_FLOOR(5e-13, 0.0, 1e-9, kFloor);
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR_FLOOR(2e-12, 0.0, 1e-9, kFloor), "floor");
  EXPECT_REL_NEAR_FLOOR(1e3 * (1 + 1e-10), 1e3, 1e-9, kFloor);  // the relative part governs
  EXPECT_ABS_NEAR(1e-7, 0.0, 1e-6);
  EXPECT_NONFATAL_FAILURE(EXPECT_ABS_NEAR(1e3 + 1e-3, 1e3, 1e-6), "absolute tolerance");
}

TEST(ToleranceHelpers, NaNAndInfinitiesMatchExactly) {
  EXPECT_REL_NEAR(kNaN, kNaN, 0.0);
  EXPECT_ABS_NEAR(kInf, kInf, 0.0);
  EXPECT_REL_NEAR_FLOOR(-kInf, -kInf, 0.0, 0.0);
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(1.0, kNaN, 1.0), "relative");
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(kNaN, 1.0, 1.0), "relative");
  EXPECT_NONFATAL_FAILURE(EXPECT_ABS_NEAR(kInf, -kInf, 1e300), "absolute");
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR(kInf, 1e308, 1.0), "relative");
  EXPECT_NONFATAL_FAILURE(EXPECT_REL_NEAR_FLOOR(kNaN, 0.0, 1.0, 1.0), "floor");
}
