#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

TEST(FormatRound125, ThreeDirections) {
  // m is the mantissa in [1, 10); the thresholds are 1.5/3/8 (nearest),
  // 1/2/5 inclusive (away from the axis) and 2/5/10 exclusive (towards it).
  EXPECT_REL_NEAR(Round125(0.0034), 0.005, kTol1);
  EXPECT_REL_NEAR(Round125(140), 100, kTol1);
  EXPECT_REL_NEAR(Round125(-2.9), -2, kTol1);
  EXPECT_REL_NEAR(Round125(8.5), 10, kTol1);
  EXPECT_REL_NEAR(Round125(1000), 1000, kTol1);  // exact decade stays
  EXPECT_REL_NEAR(RoundPos125(101), 200, kTol1);
  EXPECT_REL_NEAR(RoundPos125(100), 100, kTol1);
  EXPECT_REL_NEAR(RoundPos125(-101), -100, kTol1);
  EXPECT_REL_NEAR(RoundPos125(-0.049), -0.02, kTol1);
  EXPECT_REL_NEAR(RoundNeg125(-101), -200, kTol1);
  EXPECT_REL_NEAR(RoundNeg125(101), 100, kTol1);
  EXPECT_REL_NEAR(RoundNeg125(0.049), 0.02, kTol1);
  EXPECT_EQ(Round125(0.0), 0.0);
  EXPECT_TRUE(std::isnan(Round125(std::nan(""))));
  EXPECT_EQ(RoundPos125(-HUGE_VAL), -HUGE_VAL);
  // Ends of the double range: denormals are not flushed to zero.
  EXPECT_EQ(Round125(std::numeric_limits<double>::denorm_min()),
            std::numeric_limits<double>::denorm_min());  // 4.94e-324 -> 5e-324
  EXPECT_EQ(RoundPos125(1.7e308), HUGE_VAL);
}

TEST(FormatCalcScalePars, IncreasingAndDecreasing) {
  Extended start = -1, dist = -1;
  uint16_t sub = 0;
  // g = log10(97 / 5) = 1.288 < log10 2: distance 10, first tick 0.
  CalcScalePars(5, 0, 97, start, dist, sub);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(dist, 10);
  EXPECT_EQ(sub, 5);
  // Reversed: TickDist -10, Int(97 / -10) - 1 = -10 gives 100, advanced once to 90.
  CalcScalePars(5, 97, 0, start, dist, sub);
  EXPECT_EQ(start, 90);
  EXPECT_EQ(dist, -10);
  EXPECT_EQ(sub, 5);
  // 0.79 / 3 = 0.263: decade 0.1, h = 0.42 -> mantissa 2; (Int(-1.85) - 1) * 0.2 = -0.4
  // is more than a thousandth of a step before -0.37, so one advance to -0.2.
  CalcScalePars(3, -0.37L, 0.42L, start, dist, sub);
  EXPECT_NEAR(static_cast<double>(start), -0.2, 1e-15);
  EXPECT_NEAR(static_cast<double>(dist), 0.2, 1e-15);
  EXPECT_EQ(sub, 4);
  // 2000 / 4 = 500: h = log10 5 lies below the threshold log10 5 + 1e-10, so
  // an exact 5 takes the smaller step 2.
  CalcScalePars(4, 1000, 3000, start, dist, sub);
  EXPECT_EQ(start, 1000);
  EXPECT_EQ(dist, 200);
  EXPECT_EQ(sub, 4);
  // 3000 / 4 = 750: h = 0.875 -> mantissa 5.
  CalcScalePars(4, 1000, 4000, start, dist, sub);
  EXPECT_EQ(dist, 500);
  EXPECT_EQ(sub, 5);
  // No tick count: unit steps from Int(2.5) - 1 = 1, advanced to 3.
  CalcScalePars(0, 2.5L, 7.5L, start, dist, sub);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(dist, 1);
  EXPECT_EQ(sub, 5);
  CalcScalePars(0, 20, 0, start, dist, sub);
  EXPECT_EQ(start, 19);  // decreasing: no advance
  EXPECT_EQ(dist, 1);
  EXPECT_EQ(sub, 1);
}

TEST(FormatCalcScalePars, DegenerateRangesTerminate) {
  Extended start = -1, dist = -1;
  uint16_t sub = 0;
  CalcScalePars(5, 3, 3, start, dist, sub);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(dist, 0);
  EXPECT_EQ(sub, 1);
  const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
  const Extended inf = std::numeric_limits<Extended>::infinity();
  for (Extended lo : {nan, -inf, Extended(0)}) {
    CalcScalePars(5, lo, lo == 0 ? inf : Extended(1), start, dist, sub);
    EXPECT_EQ(dist, 0);
    EXPECT_EQ(sub, 1);
  }
  // A range far below the resolution of its start, with a huge tick count:
  // the advance is bounded and the tick is still at the start.
  CalcScalePars(std::numeric_limits<int32_t>::max(), 1e30L, 1e30L * (1 + 1e-18L), start, dist,
                sub);
  EXPECT_GT(dist, 0);
  EXPECT_NEAR(static_cast<double>(start / 1e30L), 1.0, 1e-15);
  CalcScalePars(5, -std::numeric_limits<Extended>::max(), std::numeric_limits<Extended>::max(),
                start, dist, sub);
  EXPECT_EQ(dist, 0);  // the range itself overflows
}
