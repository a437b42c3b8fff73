#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/test_util.h"

using namespace nuv;

TEST(FormatDecimal, CutsPadsAndSigns) {
  EXPECT_EQ(Decimal(7, 3), "007");
  EXPECT_EQ(Decimal(12345, 3), "345");
  EXPECT_EQ(Decimal(-5, 3), "-005");
  EXPECT_EQ(Decimal(0, 0), "0");  // 0 digits count as 1
  EXPECT_EQ(Decimal(98, 1), "8");
  // |INT32_MIN| = 2147483648 does not fit int32; ten digits, two padded zeros.
  EXPECT_EQ(Decimal(std::numeric_limits<int32_t>::min(), 12), "-002147483648");
}

TEST(FormatStrf, FixedAndScientificLayouts) {
  EXPECT_EQ(strf(-3.25, 8, 2), "   -3.25");
  EXPECT_EQ(strf(3.25, 1, 0), "3");  // 3.25 rounds to 3
  EXPECT_EQ(strf(0.0, 4, 1), " 0.0");
  // S(x, 13): sign blank, 4 digits after the point, four exponent digits.
  EXPECT_EQ(strf(1234.5, 13, -1), " 1.2345E+0003");
  EXPECT_EQ(strf(-0.015625, 13, -1), "-1.5625E-0002");  // 2^-6 exactly
  EXPECT_EQ(strf(1234.5, 26, -1).size(), 26u);
  EXPECT_EQ(strf(1234.5, 26, -1), " 1.23450000000000000E+0003");

  // Two-digit exponent form: S(x, 12) with "00" taken out of the exponent.
  const std::string e = strf(1234.5, 10, -2);
  EXPECT_EQ(e.size(), 10u);
  EXPECT_EQ(e.substr(6), "E+03");
  EXPECT_EQ(e.substr(0, 5), " 1.23");
  EXPECT_EQ(strf(-0.5, 10, -2), "-5.000E-01");
  EXPECT_EQ(strf(1e150, 10, -2), "**********");
  EXPECT_EQ(strf(-1e-150, 10, -2), "**********");
  EXPECT_EQ(strf(9.9999, 10, -2), " 1.000E+01");  // rounding carries into the exponent
}

TEST(FormatStrf, NarrowWidthsAndNonFinite) {
  // Too narrow for one digit after the point: the field widens.
  EXPECT_EQ(strf(1234.5, 3, -1), " 1.2E+0003");
  EXPECT_EQ(strf(0.0, 3, -2), " 0.0E+00");
  EXPECT_EQ(strf(-0.0, 13, -1), " 0.0000E+0000");
  EXPECT_EQ(strf(12345.678, 2, 1), "12345.7");
  EXPECT_EQ(strf(std::nan(""), 10, -2), "       NaN");
  EXPECT_EQ(strf(-HUGE_VAL, 13, -1), "         -Inf");
  EXPECT_EQ(strf(HUGE_VAL, 6, 2), "   Inf");
  // Widths are clipped: a field of 2^31 - 1 blanks would take 2 GiB.
  for (int32_t decimals : {3, -1, -2}) {
    EXPECT_EQ(strf(1.5, 2147483647, decimals).size(), static_cast<size_t>(MaxFieldWidth));
    EXPECT_EQ(strf(1.5, MaxFieldWidth - 1, decimals).size(), static_cast<size_t>(MaxFieldWidth - 1));
  }
  EXPECT_EQ(strff(-2.0, 2147483647, 1).size(), static_cast<size_t>(MaxFieldWidth));
  EXPECT_EQ(strff(-2.0, 2147483647, 1).substr(MaxFieldWidth - 4), "-2.0");
}

TEST(FormatEEngStr, PrefixesAndDigits) {
  EXPECT_EQ(EEngStr(4700, 2), "4.7k");
  EXPECT_EQ(EEngStr(4700, -2), "4k7");
  EXPECT_EQ(EEngStr(0.00123, 3), "1.23m");
  EXPECT_EQ(EEngStr(-4700, 2), "-4.7k");
  EXPECT_EQ(EEngStr(0, 3), "0.00");
  EXPECT_EQ(EEngStr(0, -4), "0.000");
  // One value per prefix, 3 significant digits (g = floor(log10|x| / 3)).
  EXPECT_EQ(EEngStr(1.5e-18, 3), "1.50a");
  EXPECT_EQ(EEngStr(2.5e-15, 3), "2.50f");
  EXPECT_EQ(EEngStr(3.3e-12, 3), "3.30p");
  EXPECT_EQ(EEngStr(47e-9, 3), "47.0n");
  EXPECT_EQ(EEngStr(220e-6, 3), "220u");
  EXPECT_EQ(EEngStr(12.5, 3), "12.5");
  EXPECT_EQ(EEngStr(1.5e6, 3), "1.50M");
  EXPECT_EQ(EEngStr(2.2e9, 3), "2.20G");
  EXPECT_EQ(EEngStr(3.3e12, 3), "3.30T");
  // Beyond T and a: the mantissa grows or shrinks, the prefix stays.
  EXPECT_EQ(EEngStr(1.5e16, 3), "15000T");
  EXPECT_EQ(EEngStr(1e-20, 3), "0.0100a");
  // Prefix in place of the point, or appended when there is none.
  EXPECT_EQ(EEngStr(0.0033, -2), "3m3");
  EXPECT_EQ(EEngStr(47000, -2), "47k");
  EXPECT_EQ(EEngStr(12.5, -3), "12.5");  // no prefix, the point stays
  // |Digits| <= 1: no decimals; Digits clipped to 9.
  EXPECT_EQ(EEngStr(4700, 1), "5k");
  EXPECT_EQ(EEngStr(1.0, 99), "1.00000000");
  EXPECT_EQ(EEngStr(std::nan(""), 3), "NaN");
  EXPECT_EQ(EEngStr(-HUGE_VAL, 3), "-Inf");
  EXPECT_FALSE(EEngStr(5e-324, 3).empty());
}

TEST(FormatMakeEFormat, MantissaExponentAndWidth) {
  EXPECT_EQ(MakeEFormat(0, 8, 4), " 0.0000E+00");
  EXPECT_EQ(MakeEFormat(1234.5, 8, 4), " 0.1234E+04");  // 1.2345 has a tie; even rounding
  EXPECT_EQ(MakeEFormat(1234.5, 14, 4), "    0.1234E+04");
  EXPECT_EQ(MakeEFormat(-0.000123456, 12, 6), "-0.123456E-03");
  EXPECT_EQ(MakeEFormat(0.5, 1, 1), " 0.50E+00");       // Digits 2, Width 8
  EXPECT_EQ(MakeEFormat(1.0, 99, 2).size(), 40u);       // Width clipped to 40
  EXPECT_EQ(MakeEFormat(1e200, 8, 3), " 0.100E+201");    // three exponent digits in full
  EXPECT_EQ(MakeEFormat(std::nan(""), 8, 4), "     NaN");
}
