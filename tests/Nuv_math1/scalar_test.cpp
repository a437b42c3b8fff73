#include <cmath>
#include <cstring>
#include <limits>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;
using nuv_test::kTol1;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
}  // namespace

// Interpolation references are hand computations of y0 + (y1 - y0)(x - x0)/(x1 - x0).
TEST(Interpol, EquallySpacedBothDirections) {
  const TDoubleArray t{0, 10, 20};
  const TIntArray ti{0, 10, 20};
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 0, 10, t), 5.0);
  EXPECT_DOUBLE_EQ(InterpolTable(12.0, 0, 10, ti), 24.0);  // last segment extended
  EXPECT_DOUBLE_EQ(InterpolTable(2.5, 10, 0, ti), 15.0);  // entry 0 at x = 10
  EXPECT_DOUBLE_EQ(InterpolTable(-2.0, 10, 0, t), 24.0);
  // Just below LastX, t * (n - 1) may round to n - 1: the last entry, not beyond it.
  const TDoubleArray g{1, 2, 4, 8, 16, 32, 64};
  EXPECT_REL_NEAR(InterpolTable(std::nextafter(2.1, 0.0), 0.3, 2.1, g), 64.0, kTol1);
  EXPECT_TRUE(std::isnan(InterpolTable(kNaN, 0, 10, t)));
  EXPECT_EQ(InterpolTable(-kInf, 0.3, 2.1, g), -kInf);
  EXPECT_THROW_MSG(InterpolTable(1.0, 0, 10, TIntArray{5}), ENUVMath1Error,
                   "InterpolTable: pivot array must contain at least 2 values");
  EXPECT_THROW_MSG(InterpolTable(1.0, 3, 3, t), ENUVMath1Error,
                   "InterpolTable: specified range of pivot array is zero");
}

TEST(Interpol, XYTableAndRect) {
  EXPECT_DOUBLE_EQ(InterpolXYTable(1.5, {{1, 2}, {10, 20}}), 15.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(0.0, {{1, 2}, {10, 20}}), 0.0);
  const TDouble2DArray u{{0, 1, 4, 5}, {0, 3, -3, 7}};
  EXPECT_DOUBLE_EQ(InterpolXYTable(4.5, u), 2.0);
  EXPECT_DOUBLE_EQ(InterpolXYTable(6.0, u), 17.0);
  EXPECT_TRUE(std::isnan(InterpolXYTable(kNaN, u)));
  EXPECT_DOUBLE_EQ(InterpolXYTable(3.0, {{0, 1, 2, 3}, {0, 2, 4}}), 6.0);  // shorter column rules
  EXPECT_THROW_MSG(InterpolXYTable(1.0, {}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain at least 2 rows");
  EXPECT_THROW_MSG(InterpolXYTable(1.0, {{1, 2}, {3, 4}, {5, 6}}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain 2 columns");
  EXPECT_THROW_MSG(InterpolXYTable(1.0, {{1, 2}}), ENUVMath1Error,
                   "InterpolXYTable: pivot array must contain 2 columns");
  EXPECT_DOUBLE_EQ(InterpolZofXYRect(1, 2, 3, 4, 0.5, 0.5), 2.5);  // mean of the corners
}

TEST(Angles, ToXAxisAndCanonical) {
  EXPECT_EQ(AngleToXAxis(1, 0), 0.0);
  EXPECT_REL_NEAR(AngleToXAxis(-1, 0), kPi, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(0, -1), 3 * kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(0, 0), 3 * kPi / 2, kTol0);
  EXPECT_REL_NEAR(AngleToXAxis(1, -1), 7 * kPi / 4, kTol0);
  EXPECT_LE(AngleToXAxis(1, -1e-300), 2 * kPi);
  EXPECT_TRUE(std::isnan(AngleToXAxis(kNaN, 1)));
  EXPECT_EQ(CanonicalAngleDegrees(540), 180.0);
  EXPECT_EQ(CanonicalAngleDegrees(-190), 170.0);
  EXPECT_EQ(CanonicalAngleDegrees(-180), -180.0);
  EXPECT_EQ(CanonicalAngleDegrees(-540), -180.0);
  EXPECT_EQ(CanonicalAngleDegrees(1e300), 0.0);
  EXPECT_TRUE(std::isnan(CanonicalAngleDegrees(-kInf)));
  EXPECT_REL_NEAR(CanonicalAngleRadians(3 * kPi / 2), -kPi / 2, kTol1);
}

TEST(Functions, LogarithmsHyperbolicTangents) {
  EXPECT_EQ(lg(1000.0), 3.0);
  EXPECT_EQ(ld(0.5), -1.0);
  EXPECT_REL_NEAR(lg(2.0), 0.30102999566398119521, kTol0);  // A&S table 4.1
  EXPECT_THROW_MSG(lg(0.0), EMathError, "logarithm: invalid argument");
  EXPECT_THROW_MSG(ld(-kInf), EMathError, "logarithm: invalid argument");
  // (e - 1/e)/2, (e + 1/e)/2, tanh 0.5 and sinh 710: mpmath at 30 digits.
  EXPECT_REL_NEAR(nuv::sinh(1.0), 1.1752011936438014568823818506, kTol0);
  EXPECT_REL_NEAR(nuv::cosh(1.0), 1.54308063481524377847790562076, kTol0);
  EXPECT_REL_NEAR(tgh(0.5), 0.462117157260009758502318483644, kTol0);
  EXPECT_REL_NEAR(nuv::sinh(710.0), 1.11699738308085551562682222906e308, kTol1);
  EXPECT_REL_NEAR(nuv::sinh(1e-10) / 1e-10, 1.0, kTol0);  // series x + x^3/6
  EXPECT_REL_NEAR(tg(kPi / 3), std::sqrt(3.0), kTol1);
  EXPECT_REL_NEAR(cot(kPi / 6), std::sqrt(3.0), kTol1);
  EXPECT_GT(tg(kPi / 2), 1e16);  // cos of the double nearest pi/2 is 6.1e-17, not 0
  EXPECT_THROW_MSG(cot(-0.0), EMathError, "cotangens overflow");
  EXPECT_TRUE(std::isnan(tg(kInf)));
}

TEST(Bounds, IntervalsRectsAndDistances) {
  EXPECT_FALSE(WithinBounds(kNaN, 0, 10));
  EXPECT_EQ(ConfineValue(12.5, 10.0, -3.0), 10.0);
  EXPECT_EQ(ConfineValue(kMin, kMax, int32_t{0}), 0);
  const TRectDouble r{4, 8, -2, 1};  // x in [-2, 4], y in [1, 8], reversed
  EXPECT_TRUE(WithinRect({-2, 8}, r));
  EXPECT_FALSE(WithinRect({4.0001, 5}, r));
  TPointDouble p{0, 5};
  EXPECT_FALSE(ConfinePointToRect(p, r));
  p = {9, -3};
  EXPECT_TRUE(ConfinePointToRect(p, r));
  EXPECT_EQ(p.x, 4.0);
  EXPECT_EQ(p.y, 1.0);
  const TRect q{0, 0, 10, 10};
  EXPECT_EQ(DistFromRect({0, 5}, q), 0);
  EXPECT_EQ(DistFromRect({5, -3}, q), 3);
  EXPECT_EQ(DistFromRect({13, 14}, q), 5);  // 3-4-5 to the corner
  EXPECT_EQ(DistFromRect({12, 12}, q), 3);  // sqrt 8 = 2.83
  EXPECT_EQ(DistFromRect({kMin, kMin}, TRect{kMax - 1, kMax - 1, kMax, kMax}), kMax);
  EXPECT_EQ(EuclideanDistance(TPointDouble{0, 0}, TPointDouble{3, 4}), 5.0);
  EXPECT_REL_NEAR(EuclideanDistance(0, 0, 1e200, 1e200), 1.41421356237309504880e200, kTol0);
  EXPECT_REL_NEAR(EuclideanDistance(0, 0, 3e-200, 4e-200), 5e-200, kTol0);
  EXPECT_EQ(IntPos(-2.5), -2);
  EXPECT_EQ(IntNeg(-2.5), -3);
  EXPECT_EQ(IntPos(1e10), kMax);
  EXPECT_EQ(IntNeg(-kInf), kMin);
  EXPECT_EQ(IntNeg(kNaN), 0);
}

TEST(Bits, CodesShiftsAndBytes) {
  const uint16_t gray[8] = {0, 1, 3, 2, 6, 7, 5, 4};  // reflected binary code of 0..7
  for (uint16_t w = 0; w < 8; ++w) EXPECT_EQ(GrayCode(w), gray[w]);
  EXPECT_EQ(DecodeBit(8), 0);
  EXPECT_EQ(DecodeLong(3), 8);
  EXPECT_EQ(DecodeLong(31), kMin);
  EXPECT_EQ(DecodeLong(32), 0);
  EXPECT_EQ(EncodeLong(8), 3);
  EXPECT_EQ(EncodeLong(0), 31);
  EXPECT_EQ(EncodeLong(kMin), 31);
  EXPECT_EQ(CountBits(255), 8);
  EXPECT_EQ(BitReversal(1), 128);
  EXPECT_EQ(BitReversal(0xB4), 0x2D);  // 10110100 -> 00101101
  for (int b = 0; b < 256; ++b) ASSERT_EQ(BitReversal(BitReversal(static_cast<uint8_t>(b))), b);
  EXPECT_TRUE(CheckPowerOfTwo(0));
  EXPECT_FALSE(CheckPowerOfTwo(96));
  EXPECT_TRUE(CheckPowerOfTwo(kMin));  // the sign bit alone
  EXPECT_EQ(ConvertEndian(uint16_t{0x1234}), 0x3412);
  EXPECT_EQ(ConvertEndian(int32_t{-2}), -16777217);  // FFFFFFFE -> FEFFFFFF
  const double d = ConvertEndian(1.0);  // IEEE 754: 3FF0000000000000
  uint64_t du;
  std::memcpy(&du, &d, sizeof du);
  EXPECT_EQ(du, 0x000000000000F03Full);
}
