#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/test_util.h"

using namespace nuv;

TEST(FormatDegreeToStr, Layouts) {
  EXPECT_EQ(DegreeToStr(12.5, dfDecDegrees, 2), "12.50\xC2\xB0");
  EXPECT_EQ(DegreeToStr(12.5, dfPlainNumber, 2), "12.50");
  EXPECT_EQ(DegreeToStr(12.5, dfDegDecMinutes, 2), "12\xC2\xB0 30.00'");
  // 12.5042 deg = 12 deg 30' 15.12"
  EXPECT_EQ(DegreeToStr(12.5042, dfDegMinDecSeconds, 1), "12\xC2\xB0 30' 15.1\"");
  EXPECT_EQ(DegreeToStr(10.0 + 5.0 / 60, dfDegMinDecSeconds, 0), "10\xC2\xB0  5'   0\"");
  // 59.9999 minutes rounded to 2 decimals is a whole degree, not "11 60.00'".
  EXPECT_EQ(DegreeToStr(10.0 + 59.9999 / 60, dfDegDecMinutes, 2), "11\xC2\xB0  0.00'");
  EXPECT_EQ(DegreeToStr(-0.5, dfDegDecMinutes, 0).substr(0, 5), "-0\xC2\xB0 ");
  EXPECT_EQ(DegreeToStr(-10.25, dfDegDecMinutes, 1), "-10\xC2\xB0 15.0'");
  EXPECT_EQ(DegreeToStr(1.0, dfDecDegrees, 20), "1.00000000\xC2\xB0");  // Decimals clipped to 8
  EXPECT_EQ(DegreeToStr(std::nan(""), dfDegMinDecSeconds, 2), "NaN\xC2\xB0");
  EXPECT_EQ(DegreeToStr(-HUGE_VAL, dfPlainNumber, 2), "-Inf");
  // No overflow of Angle * 3600 for the largest angles: whole degrees, 0 minutes.
  const std::string big = DegreeToStr(1e308, dfDegMinDecSeconds, 8);
  EXPECT_EQ(big.substr(big.size() - 19), "\xC2\xB0  0'  0.00000000\"");
}

TEST(FormatConvertDegrees, TableAndMessages) {
  double d = 10, m = 30.5, s = 0;
  ConvertDegrees(d, m, s, dfDegDecMinutes, dfDegMinDecSeconds);
  EXPECT_EQ(d, 10);
  EXPECT_EQ(m, 30);
  EXPECT_EQ(s, 30);

  d = 12.75, m = 0, s = 0;  // 12.75 deg = 12 deg 45' 0"
  ConvertDegrees(d, m, s, dfDecDegrees, dfDegMinDecSeconds);
  EXPECT_EQ(d, 12);
  EXPECT_EQ(m, 45);
  EXPECT_EQ(s, 0);
  ConvertDegrees(d, m, s, dfDegMinDecSeconds, dfDecDegrees);
  EXPECT_EQ(d, 12.75);
  EXPECT_EQ(m, 0);

  d = 1, m = 7, s = 30;  // 7' 30" = 7.5'
  ConvertDegrees(d, m, s, dfDegMinDecSeconds, dfDegDecMinutes);
  EXPECT_EQ(m, 7.5);
  EXPECT_EQ(s, 0);

  // Negative angles keep their magnitude in the minutes both ways.
  d = -10.5, m = 0, s = 0;
  ConvertDegrees(d, m, s, dfDecDegrees, dfDegDecMinutes);
  EXPECT_EQ(d, -10);
  EXPECT_EQ(m, 30);
  ConvertDegrees(d, m, s, dfDegDecMinutes, dfDecDegrees);
  EXPECT_EQ(d, -10.5);
  d = -0.25, m = 0, s = 0;
  ConvertDegrees(d, m, s, dfDecDegrees, dfDegDecMinutes);
  ConvertDegrees(d, m, s, dfDegDecMinutes, dfDecDegrees);
  EXPECT_EQ(d, -0.25);

  d = 5, m = 61, s = 70;
  EXPECT_THROW_MSG(ConvertDegrees(d, m, s, dfDegDecMinutes, dfDecDegrees), ENUVMath1Error,
                   "ConvertDegrees: invalid range of minutes");
  m = 60;
  EXPECT_THROW_MSG(ConvertDegrees(d, m, s, dfDegDecMinutes, dfDecDegrees), ENUVMath1Error,
                   "ConvertDegrees: invalid range of seconds");
  s = std::nan("");
  EXPECT_THROW_MSG(ConvertDegrees(d, m, s, dfDegDecMinutes, dfDecDegrees), ENUVMath1Error,
                   "ConvertDegrees: invalid range of seconds");
  EXPECT_EQ(d, 5);  // nothing changed before the error
  EXPECT_EQ(m, 60);
}

TEST(FormatRoundDegrees, StepTable) {
  auto round = [](int32_t d, int32_t m, int32_t s, bool up) {
    RoundDegrees(d, m, s, up);
    return std::vector<int32_t>{d, m, s};
  };
  using V = std::vector<int32_t>;
  EXPECT_EQ(round(7, 10, 0, false), (V{5, 0, 0}));
  EXPECT_EQ(round(7, 10, 0, true), (V{10, 0, 0}));
  EXPECT_EQ(round(0, 0, 50, true), (V{0, 1, 0}));
  EXPECT_EQ(round(0, 0, 50, false), (V{0, 0, 30}));
  EXPECT_EQ(round(15, 0, 0, true), (V{15, 0, 0}));     // on a step: unchanged
  EXPECT_EQ(round(15, 0, 1, true), (V{20, 0, 0}));
  EXPECT_EQ(round(400, 0, 0, true), (V{360, 0, 0}));
  EXPECT_EQ(round(400, 0, 0, false), (V{360, 0, 0}));
  EXPECT_EQ(round(0, 25, 40, false), (V{0, 20, 0}));
  EXPECT_EQ(round(0, 59, 59, true), (V{1, 0, 0}));
  EXPECT_EQ(round(0, 99, 0, false), (V{0, 30, 0}));    // minutes clipped to 59
  EXPECT_EQ(round(0, 0, 0, true), (V{0, 0, 0}));
  EXPECT_EQ(round(3, -1, 7, true), (V{0, 0, 0}));
}
