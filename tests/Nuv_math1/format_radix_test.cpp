#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/test_util.h"

using namespace nuv;

TEST(FormatRadix, HexOctalBin) {
  EXPECT_EQ(Hex(255, 4), "00FF");
  EXPECT_EQ(Hex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(Hex(0x12345678, 3), "678");
  EXPECT_EQ(Hex(0xABC, 0), "C");
  EXPECT_EQ(Hex(1, 200), "00000001");  // clipped to 8
  EXPECT_EQ(Octal(8, 3), "010");
  EXPECT_EQ(Octal(-1, 11), "37777777777");  // 2^32 - 1 = 0o37777777777
  EXPECT_EQ(Octal(-1, 20).size(), 11u);
  EXPECT_EQ(Bin(5, 0), "1");
  EXPECT_EQ(Bin(5, 4), "0101");
  EXPECT_EQ(Bin(std::numeric_limits<int32_t>::min(), 255), "1" + std::string(31, '0'));
}

TEST(FormatRoman, GreedyPairsAndLimits) {
  EXPECT_EQ(Roman(1994), "MCMXCIV");
  EXPECT_EQ(Roman(1), "I");
  EXPECT_EQ(Roman(4), "IV");
  EXPECT_EQ(Roman(3888), "MMMDCCCLXXXVIII");
  EXPECT_EQ(Roman(29999), std::string(29, 'M') + "CMXCIX");
  EXPECT_EQ(Roman(0), "");
  EXPECT_EQ(Roman(30000), "");
  EXPECT_EQ(Roman(-5), "");
  EXPECT_EQ(Roman(std::numeric_limits<int32_t>::min()), "");
}

TEST(FormatFPNumToHex, KnownPatterns) {
  // IEEE 754 encodings: 1.0 = 3F800000 / 3FF0000000000000; x87 1.0 has the
  // biased exponent 3FFF and the explicit integer bit 8000000000000000.
  EXPECT_EQ(FPNumToHex(1.0f), "3F800000");
  EXPECT_EQ(FPNumToHex(-2.5f), "C0200000");
  EXPECT_EQ(FPNumToHex(1.0), "3FF0000000000000");
  EXPECT_EQ(FPNumToHex(-0.0), "8000000000000000");
  EXPECT_EQ(FPNumToHex(0.1), "3FB999999999999A");
  EXPECT_EQ(FPNumToHex(1.0L), "3FFF8000000000000000");
  EXPECT_EQ(FPNumToHex(-3.0L), "C000C000000000000000");
  EXPECT_EQ(FPNumToHex(std::numeric_limits<Extended>::infinity()), "7FFF8000000000000000");
  EXPECT_EQ(HexToDouble("3FF0000000000000"), 1.0);
  EXPECT_EQ(HexToSingle("3f800000"), 1.0f);
  // x87 pi, 0xC90FDAA22168C235 * 2^-62: exact in every Extended of 64 or more
  // mantissa bits (x87, quad).
  EXPECT_EQ(HexToExtended("4000C90FDAA22168C235"), std::ldexp(static_cast<Extended>(0xC90FDAA22168C235ull), -62));
}

TEST(FormatFPNumToHex, RoundTripsEveryClass) {
  const double dbl[] = {0.0,
                        -0.0,
                        std::numeric_limits<double>::denorm_min(),
                        -2.2250738585072009e-308,  // largest denormal
                        std::numeric_limits<double>::min(),
                        1.0 / 3.0,
                        -std::numeric_limits<double>::max(),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (double x : dbl) {
    const double y = HexToDouble(FPNumToHex(x));
    EXPECT_EQ(std::memcmp(&x, &y, 8), 0) << FPNumToHex(x);
  }
  // NaNs with payload and sign survive bit for bit, quiet and signalling, except
  // on 32-bit x86: its calling convention returns a double in an x87 register,
  // and loading a signalling NaN there sets its quiet bit (payload and sign kept).
  struct TNaN {
    const char* Text;
    const char* On32BitX86;
  };
  const TNaN nans[] = {{"7FF8000000000001", "7FF8000000000001"},
                       {"FFF0000000000ABC", "FFF8000000000ABC"},
                       {"7FF4000000000000", "7FFC000000000000"}};
  for (const TNaN& n : nans) {
    EXPECT_TRUE(std::isnan(HexToDouble(n.Text)));
#if defined(__i386__) || defined(_M_IX86)
    EXPECT_EQ(FPNumToHex(HexToDouble(n.Text)), n.On32BitX86);
#else
    EXPECT_EQ(FPNumToHex(HexToDouble(n.Text)), n.Text);
#endif
  }
  for (const char* text : {"00000000", "80000001", "7F7FFFFF", "FF800000", "7FC00123"})
    EXPECT_EQ(FPNumToHex(HexToSingle(text)), text);
  for (const char* text : {"00000000000000000000", "80000000000000000001", "3FFFAAAAAAAAAAAAAAAB",
                           "7FFEFFFFFFFFFFFFFFFF", "FFFF8000000000000000"})
    EXPECT_EQ(FPNumToHex(HexToExtended(text)), text);
  // Patterns only the x87 type holds survive bit for bit where Extended is x87;
  // elsewhere (quad on aarch64) they come back as the values they stand for.
  struct TX87Only {
    const char* Text;
    const char* Elsewhere;
  };
  const TX87Only x87Only[] = {
      {"FFFFC000000000000123", "FFFFC000000000000000"},  // NaN with payload: a quiet NaN
      {"7FFF8000000000000001", "7FFFC000000000000000"},  // signalling NaN
      {"00008000000000000000", "00018000000000000000"},  // pseudo-denormal: 2^-16382
      {"3FFF0000000000000001", "3FC08000000000000000"},  // unnormal: 2^-63
  };
  for (const TX87Only& p : x87Only)
    EXPECT_EQ(FPNumToHex(HexToExtended(p.Text)), LDBL_MANT_DIG == 64 ? p.Text : p.Elsewhere);
}

TEST(FormatFPNumToHex, BadTextRaisesRootError) {
  EXPECT_THROW_MSG(HexToDouble("3FF000000000000"), ENUVError,
                   "HexToDouble: invalid hex string \"3FF000000000000\"");
  EXPECT_THROW_MSG(HexToDouble("3FF000000000000G"), ENUVError,
                   "HexToDouble: invalid hex string \"3FF000000000000G\"");
  EXPECT_THROW_MSG(HexToSingle(" 3F80000"), ENUVError,
                   "HexToSingle: invalid hex string \" 3F80000\"");
  EXPECT_THROW_MSG(HexToExtended(""), ENUVError, "HexToExtended: invalid hex string \"\"");
  // The root class itself, not the unit's class.
  try {
    HexToDouble("x");
    ADD_FAILURE();
  } catch (const ENUVMath1Error&) {
    ADD_FAILURE() << "unit class raised";
  } catch (const ENUVError&) {
  }
}
