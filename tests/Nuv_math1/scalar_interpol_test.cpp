#include <cmath>
#include <limits>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

// Expected values are hand computations of the straight-line segments:
// y = y0 + (y1 - y0) * (x - x0) / (x1 - x0).

TEST(InterpolTable, EquallySpacedBothDirections) {
  const TDoubleArray t{0, 10, 20};
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 0, 10, t), 5.0);
  EXPECT_DOUBLE_EQ(InterpolTable(7.5, 0, 10, t), 15.0);
  EXPECT_DOUBLE_EQ(InterpolTable(0.0, 0, 10, t), 0.0);
  EXPECT_DOUBLE_EQ(InterpolTable(10.0, 0, 10, t), 20.0);
  // Beyond the ends: the slope of the end segment is 10 per 5 units.
  EXPECT_DOUBLE_EQ(InterpolTable(12.0, 0, 10, t), 24.0);
  EXPECT_DOUBLE_EQ(InterpolTable(-5.0, 0, 10, t), -10.0);
  // FirstX 10, LastX 0: entry 0 sits at x = 10, so x = 2.5 is 3/4 of the way.
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 10, 0, t), 15.0);
  EXPECT_DOUBLE_EQ(InterpolTable(0.0, 10, 0, t), 20.0);
  EXPECT_DOUBLE_EQ(InterpolTable(10.0, 10, 0, t), 0.0);
  EXPECT_DOUBLE_EQ(InterpolTable(-2.0, 10, 0, t), 24.0);
  // Integer entries give the same numbers.
  const TIntArray ti{0, 10, 20};
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 0, 10, ti), 5.0);
  EXPECT_DOUBLE_EQ(InterpolTable(12.0, 0, 10, ti), 24.0);
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 10, 0, ti), 15.0);
}

TEST(InterpolTable, LastSegmentAndOddInputs) {
  // 7 entries over [0.3, 2.1]: just below LastX must stay inside the table.
  const TDoubleArray t{1, 2, 4, 8, 16, 32, 64};
  const double below = std::nextafter(2.1, 0.0);
  EXPECT_REL_NEAR(InterpolTable(below, 0.3, 2.1, t), 64.0, kTol1);
  EXPECT_DOUBLE_EQ(InterpolTable(2.1, 0.3, 2.1, t), 64.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(InterpolTable(nan, 0, 10, t)));
  EXPECT_TRUE(std::isnan(InterpolTable(1.0, nan, 10, t)));
  EXPECT_EQ(InterpolTable(inf, 0.3, 2.1, t), inf);
  EXPECT_EQ(InterpolTable(-inf, 0.3, 2.1, t), -inf);
}

TEST(InterpolTable, Errors) {
  EXPECT_THROW_MSG(InterpolTable(1.0, 0, 10, TDoubleArray{5}), ENUVMath1Error,
                   "InterpolTable: pivot array must contain at least 2 values");
  EXPECT_THROW_MSG(InterpolTable(1.0, 0, 10, TIntArray{}), ENUVMath1Error,
                   "InterpolTable: pivot array must contain at least 2 values");
  EXPECT_THROW_MSG(InterpolTable(1.0, 3, 3, TDoubleArray{1, 2}), ENUVMath1Error,
                   "InterpolTable: specified range of pivot array is zero");
}

TEST(InterpolXYTable, SegmentsAndExtrapolation) {
  const TDouble2DArray t{{1, 2}, {10, 20}};
  EXPECT_DOUBLE_EQ(InterpolXYTable(1.5, t), 15.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(0.0, t), 0.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(1.0, t), 10.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(2.0, t), 20.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(3.0, t), 30.0);
  // Unequal spacing: (0,0) (1,3) (4,-3) (5,7).
  const TDouble2DArray u{{0, 1, 4, 5}, {0, 3, -3, 7}};
  EXPECT_DOUBLE_EQ(InterpolXYTable(2.5, u), 0.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(4.0, u), -3.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(4.5, u), 2.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(6.0, u), 17.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(-1.0, u), -3.0);
  EXPECT_TRUE(std::isnan(InterpolXYTable(std::numeric_limits<double>::quiet_NaN(), u)));
  // Columns of unequal length are read up to the shorter one.
  const TDouble2DArray ragged{{0, 1, 2, 3}, {0, 2, 4}};
  EXPECT_DOUBLE_EQ(InterpolXYTable(3.0, ragged), 6.0);
}

TEST(InterpolXYTable, Errors) {
  EXPECT_THROW_MSG(InterpolXYTable(1.0, TDouble2DArray{{1}, {2}}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain at least 2 rows");
  EXPECT_THROW_MSG(InterpolXYTable(1.0, TDouble2DArray{}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain at least 2 rows");
  EXPECT_THROW_MSG(InterpolXYTable(1.0, TDouble2DArray{{1, 2}, {3, 4}, {5, 6}}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain 2 columns");
  EXPECT_THROW_MSG(InterpolXYTable(1.0, TDouble2DArray{{1, 2}}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain 2 columns");
}

TEST(InterpolZofXYRect, CornersAndCentre) {
  // Corners Z1 (0,0), Z2 (Fx=1), Z3 (Fy=1), Z4 (both 1); the centre is their mean.
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0, 0), 1.0);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0, 1), 2.0);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 1, 0), 3.0);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 1, 1), 4.0);
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0.5, 0.5), 2.5);
}
