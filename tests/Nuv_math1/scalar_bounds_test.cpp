#include <cmath>
#include <limits>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
}  // namespace

TEST(Bounds, WithinAndConfine) {
  EXPECT_TRUE(WithinBounds(5, 0, 10));
  EXPECT_TRUE(WithinBounds(5, 10, 0));
  EXPECT_TRUE(WithinBounds(10, 10, 0));
  EXPECT_TRUE(WithinBounds(0, 10, 0));
  EXPECT_FALSE(WithinBounds(-1e-300, 10, 0));
  EXPECT_FALSE(WithinBounds(kNaN, 0, 10));
  EXPECT_EQ(ConfineValue(12.5, 10.0, -3.0), 10.0);
  EXPECT_EQ(ConfineValue(-4.0, 10.0, -3.0), -3.0);
  EXPECT_EQ(ConfineValue(2.385, -3.0, 10.0), 2.385);
  EXPECT_EQ(ConfineValue(7.5f, 2.0f, 1.0f), 2.0f);
  EXPECT_EQ(ConfineValue(int32_t{-7}, int32_t{5}, int32_t{-2}), -2);
  EXPECT_EQ(ConfineValue(kMin, kMax, int32_t{0}), 0);
  EXPECT_EQ(ConfineValue(int32_t{3}, int32_t{3}, int32_t{3}), 3);
}

TEST(Rects, WithinAndConfinePoint) {
  const TRectDouble r{4, 8, -2, 1};  // x in [-2, 4], y in [1, 8], given reversed
  EXPECT_TRUE(WithinRect({0, 5}, r));
  EXPECT_TRUE(WithinRect({4, 8}, r));
  EXPECT_TRUE(WithinRect({-2, 1}, r));
  EXPECT_FALSE(WithinRect({4.0001, 5}, r));
  EXPECT_FALSE(WithinRect({0, 0.5}, r));
  EXPECT_FALSE(WithinRect({kNaN, 5}, r));
  TPointDouble p{0, 5};
  EXPECT_FALSE(ConfinePointToRect(p, r));
  EXPECT_EQ(p.x, 0.0);
  EXPECT_EQ(p.y, 5.0);
  p = {9, -3};
  EXPECT_TRUE(ConfinePointToRect(p, r));
  EXPECT_EQ(p.x, 4.0);
  EXPECT_EQ(p.y, 1.0);
  p = {-5, 5};
  EXPECT_TRUE(ConfinePointToRect(p, r));
  EXPECT_EQ(p.x, -2.0);
  EXPECT_EQ(p.y, 5.0);
}

TEST(DistFromRect, SidesCornersAndExtremes) {
  const TRect r{0, 0, 10, 10};
  EXPECT_EQ(DistFromRect({0, 5}, r), 0);
  EXPECT_EQ(DistFromRect({5, 5}, r), 0);
  EXPECT_EQ(DistFromRect({10, 10}, r), 0);
  EXPECT_EQ(DistFromRect({5, -3}, r), 3);
  EXPECT_EQ(DistFromRect({5, 13}, r), 3);
  EXPECT_EQ(DistFromRect({-4, 5}, r), 4);
  EXPECT_EQ(DistFromRect({14, 5}, r), 4);
  // Corners: 3-4-5 triangles; (12, 12) is sqrt 8 = 2.83 -> 3; (-1, -1) is 1.41 -> 1.
  EXPECT_EQ(DistFromRect({13, 14}, r), 5);
  EXPECT_EQ(DistFromRect({-3, -4}, r), 5);
  EXPECT_EQ(DistFromRect({-3, 14}, r), 5);
  EXPECT_EQ(DistFromRect({12, 12}, r), 3);
  EXPECT_EQ(DistFromRect({-1, -1}, r), 1);
  // Beyond the 32-bit range the distance saturates instead of wrapping.
  const TRect big{kMax - 1, kMax - 1, kMax, kMax};
  EXPECT_EQ(DistFromRect({kMin, kMin}, big), kMax);
  EXPECT_EQ(DistFromRect({kMax, kMin}, TRect{kMin, kMax - 1, kMax, kMax}), kMax);
}

TEST(EuclideanDistance, PlaneAndRange) {
  EXPECT_EQ(EuclideanDistance(TPointDouble{0, 0}, TPointDouble{3, 4}), 5.0);
  EXPECT_EQ(EuclideanDistance(1, 2, 4, -2), 5.0);
  EXPECT_EQ(EuclideanDistance(2.385, -1, 2.385, -1), 0.0);
  // Squares out of range: sqrt 2 * 1e200 (sqrt 2 = 1.41421356237309504880) and 5e-200.
  EXPECT_REL_NEAR(EuclideanDistance(0, 0, 1e200, 1e200), 1.41421356237309504880e200, kTol0);
  EXPECT_REL_NEAR(EuclideanDistance(0, 0, 3e-200, 4e-200), 5e-200, kTol0);
  EXPECT_TRUE(std::isnan(EuclideanDistance(kNaN, 0, 0, 0)));
}

TEST(IntPosNeg, RoundingAndSaturation) {
  EXPECT_EQ(IntPos(2.5), 3);
  EXPECT_EQ(IntNeg(2.5), 2);
  EXPECT_EQ(IntPos(-2.5), -2);
  EXPECT_EQ(IntNeg(-2.5), -3);
  EXPECT_EQ(IntPos(3.0), 3);
  EXPECT_EQ(IntNeg(3.0), 3);
  EXPECT_EQ(IntPos(-0.5), 0);
  EXPECT_EQ(IntNeg(-0.5), -1);
  EXPECT_EQ(IntPos(2147483646.5), kMax);
  EXPECT_EQ(IntNeg(-2147483648.0), kMin);
  EXPECT_EQ(IntPos(1e10), kMax);
  EXPECT_EQ(IntNeg(-1e10), kMin);
  EXPECT_EQ(IntPos(std::numeric_limits<double>::infinity()), kMax);
  EXPECT_EQ(IntPos(kNaN), 0);
  EXPECT_EQ(IntNeg(kNaN), 0);
}
