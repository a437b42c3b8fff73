#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;

namespace {

// Reads text from position 1 and also returns the position after it.
template <class T, class F>
bool ScanAll(F Scan, const std::string& text, T& value, int32_t& pos) {
  pos = 1;
  return Scan(text, pos, value);
}

}  // namespace

TEST(ScanRadix, RoundTripsAndPositions) {
  for (int32_t v : {0, 1, 255, 0x7FFFFFFF, -1, std::numeric_limits<int32_t>::min(), -123456789}) {
    int32_t got = 0, pos = 0;
    EXPECT_TRUE(ScanAll(ScanHex, Hex(v, 8), got, pos));
    EXPECT_EQ(got, v);
    EXPECT_EQ(pos, 9);
    EXPECT_TRUE(ScanAll(ScanOctal, Octal(v, 11), got, pos));
    EXPECT_EQ(got, v);
    EXPECT_TRUE(ScanAll(ScanBin, Bin(v, 32), got, pos));
    EXPECT_EQ(got, v);
    EXPECT_TRUE(ScanAll(ScanDecimal, Decimal(v, 10), got, pos));
    EXPECT_EQ(got, v);
  }
  // Blanks skipped, reading stops at the first foreign character.
  int32_t value = 7, pos = 3;
  EXPECT_TRUE(ScanHex("x   ffZ", pos, value));
  EXPECT_EQ(value, 255);
  EXPECT_EQ(pos, 7);
  EXPECT_TRUE(ScanBin("1012", pos = 1, value));
  EXPECT_EQ(value, 5);
  EXPECT_EQ(pos, 4);
  // Failures leave value and position alone.
  value = 7;
  for (const char* bad : {"", "   ", "G1", "1FFFFFFFF", "-1"}) {
    pos = 1;
    EXPECT_FALSE(ScanHex(bad, pos, value)) << bad;
    EXPECT_EQ(value, 7);
    EXPECT_EQ(pos, 1);
  }
  EXPECT_FALSE(ScanOctal("40000000000", pos, value));  // 2^32
  EXPECT_FALSE(ScanBin(std::string(33, '1'), pos, value));
  EXPECT_FALSE(ScanDecimal("2147483648", pos, value));
  EXPECT_TRUE(ScanDecimal("-2147483648", pos, value));
  EXPECT_FALSE(ScanHex("FF", pos = 0, value));
  EXPECT_FALSE(ScanHex("FF", pos = 3, value));
  EXPECT_EQ(value, std::numeric_limits<int32_t>::min());
}

TEST(ScanFPNum, ReadsEveryWrittenForm) {
  double v = 0;
  int32_t pos = 0;
  // Engineering texts back to their values (4k7 = 4.7e3, 1.23m = 1.23e-3).
  const std::pair<const char*, double> eng[] = {
      {"4.7k", 4700},  {"4k7", 4700},    {"-4.7k", -4700}, {"1.23m", 0.00123}, {"0.00", 0},
      {"1.50a", 1.5e-18}, {"2.50f", 2.5e-15}, {"3.30p", 3.3e-12}, {"47.0n", 47e-9},
      {"220u", 220e-6}, {"220\xC2\xB5", 220e-6}, {"1.50M", 1.5e6}, {"2.20G", 2.2e9},
      {"3.30T", 3.3e12}, {"3m3", 0.0033}};
  for (const auto& [text, want] : eng) {
    EXPECT_TRUE(ScanAll(ScanFPNum, text, v, pos)) << text;
    EXPECT_REL_NEAR(v, want, kTol0);
    EXPECT_EQ(pos, static_cast<int32_t>(std::string(text).size()) + 1) << text;
  }
  // Round trips of the scientific and exponent layouts at full precision.
  for (double x : {1234.5, -0.015625, 6.02214076e23, -1.602176634e-19, 0.0}) {
    EXPECT_TRUE(ScanAll(ScanFPNum, strf(x, 26, -1), v, pos));
    EXPECT_REL_NEAR(v, x, kTol0);
    EXPECT_TRUE(ScanAll(ScanFPNum, MakeEFormat(x, 8, 15), v, pos));
    EXPECT_REL_NEAR(v, x, 1e-14);
    EXPECT_TRUE(ScanAll(ScanFPNum, strf(x, 1, 6), v, pos));
    EXPECT_TRUE(ScanAll(ScanFPNum, EEngStr(x, 9), v, pos));
    EXPECT_REL_NEAR(v, x, 1e-8);
  }
  EXPECT_TRUE(ScanAll(ScanFPNum, strf(1234.5, 10, -2), v, pos));
  EXPECT_EQ(v, 1234.0);  // " 1.234E+03"
  EXPECT_TRUE(ScanAll(ScanFPNum, "NaN", v, pos));
  EXPECT_TRUE(std::isnan(v));
  EXPECT_TRUE(ScanAll(ScanFPNum, "-Infinity", v, pos));
  EXPECT_EQ(v, -HUGE_VAL);
  EXPECT_TRUE(ScanAll(ScanFPNum, "1E+9999", v, pos));
  EXPECT_EQ(v, HUGE_VAL);
  EXPECT_TRUE(ScanAll(ScanFPNum, "-1e-9999", v, pos));
  EXPECT_TRUE(v == 0 && std::signbit(v));
  // What is not part of the number stays unread.
  EXPECT_TRUE(ScanAll(ScanFPNum, "5mm", v, pos));
  EXPECT_EQ(v, 5);
  EXPECT_EQ(pos, 2);
  EXPECT_TRUE(ScanAll(ScanFPNum, "2.5e", v, pos));
  EXPECT_EQ(pos, 4);
  EXPECT_TRUE(ScanAll(ScanFPNum, "4.7k5", v, pos));
  EXPECT_EQ(v, 4700);
  EXPECT_EQ(pos, 5);
  v = 3;
  for (const char* bad : {"**********", ".", "-", "E5", "k7", "info", "nano"}) {
    EXPECT_FALSE(ScanAll(ScanFPNum, bad, v, pos)) << bad;
    EXPECT_EQ(v, 3);
  }
}

TEST(ScanDegrees, ReadsEachLayout) {
  double v = 0;
  int32_t pos = 0;
  // 12 deg 5' 30" = 12 + 5/60 + 30/3600 = 12.091666...
  for (TDegreeFormat f : {dfDecDegrees, dfDegDecMinutes, dfDegMinDecSeconds, dfPlainNumber}) {
    for (double a : {12.0 + 5.0 / 60 + 30.0 / 3600, -0.5, -33.875, 0.0, 359.99}) {
      const std::string text = DegreeToStr(a, f, 6);
      EXPECT_TRUE(ScanAll(ScanDegrees, text, v, pos)) << text;
      EXPECT_NEAR(v, a, 5e-7) << text;  // 6 decimals of a degree at worst
      EXPECT_EQ(pos, static_cast<int32_t>(text.size()) + 1) << text;
    }
  }
  EXPECT_TRUE(ScanAll(ScanDegrees, "-0\xC2\xB0 30'", v, pos));
  EXPECT_EQ(v, -0.5);
  EXPECT_TRUE(ScanAll(ScanDegrees, "10\xC2\xB0 rest", v, pos));
  EXPECT_EQ(v, 10);
  EXPECT_EQ(pos, 5);  // after the two bytes of the degree sign
  v = 1;
  for (const char* bad : {"10\xC2\xB0 75'", "10.5\xC2\xB0 30'", "10\xC2\xB0 30.5' 10\"", "\xC2\xB0"})
    EXPECT_FALSE(ScanAll(ScanDegrees, bad, v, pos)) << bad;
  EXPECT_EQ(v, 1);
}

TEST(ScanValidity, WholeTextChecks) {
  EXPECT_TRUE(IsValidDouble(" -1.5e-3 "));
  EXPECT_TRUE(IsValidDouble("7"));
  EXPECT_FALSE(IsValidDouble("1e999"));
  EXPECT_FALSE(IsValidDouble("4k7"));
  EXPECT_FALSE(IsValidDouble("NaN"));
  EXPECT_FALSE(IsValidDouble("1.5 2"));
  EXPECT_FALSE(IsValidDouble(""));
  EXPECT_TRUE(IsValidFPNum("4k7"));
  EXPECT_TRUE(IsValidFPNum(" Inf"));
  EXPECT_FALSE(IsValidFPNum("4k7x"));
  EXPECT_TRUE(IsValidHex("00ff"));
  EXPECT_FALSE(IsValidHex("0x1F"));
  EXPECT_TRUE(IsValidOct("777"));
  EXPECT_FALSE(IsValidOct("8"));
  EXPECT_TRUE(IsValidBin("1010"));
  EXPECT_FALSE(IsValidBin("102"));
  EXPECT_TRUE(IsValidDecInt("+42"));
  EXPECT_FALSE(IsValidDecInt("4 2"));
  EXPECT_FALSE(IsValidDecInt("99999999999"));

  EXPECT_EQ(StrToIntDefault(" -17 ", 5), -17);
  EXPECT_EQ(StrToIntDefault("", 5), 5);
  EXPECT_EQ(StrToIntDefault("12a", 5), 5);
  EXPECT_EQ(StrToIntDefault("2147483647", 5), 2147483647);
  EXPECT_EQ(StrToIntDefault("2147483648", 5), 5);
  EXPECT_EQ(StrToIntDefault("1.0", 5), 5);
}
