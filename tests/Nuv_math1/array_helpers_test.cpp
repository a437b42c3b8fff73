#include <cmath>
#include <string>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "common/test_util.h"

using namespace nuv;

TEST(Polynomial, ValuesAndOrderErrors) {
  // 1 + 2*2 + 3*4 = 17; centered at 1 and taken at 3, the same.
  const std::vector<double> c{1, 2, 3};
  EXPECT_EQ(Polynomial(c, 2, 2.0), 17.0);
  EXPECT_EQ(Polynomial(c, 1, -1.5), -2.0);
  EXPECT_EQ(CenteredPolynomial(c, 2, 1.0, 3.0), 17.0);
  // Sum of 0.5^i for i = 0..10 is 2 - 2^-10 exactly.
  EXPECT_EQ(Polynomial(std::vector<double>(11, 1.0), 10, 0.5), 2.0 - 1.0 / 1024.0);
  const char* msg = "Polynomial: invalid order of polynomial";
  EXPECT_THROW_MSG(Polynomial(c, 3, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(Polynomial(c, -1, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(CenteredPolynomial(c, 3, 0.0, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(Polynomial(std::vector<double>{}, 0, 2.0), ENUVMath1Error, msg);
}

TEST(MinMaxSignumExChange, TiesAndExchanges) {
  EXPECT_TRUE(Min(2, 3) == 2 && Max(2, 3) == 3);
  // +0 and -0 are equal: the first argument comes back, sign and all.
  EXPECT_FALSE(std::signbit(Max(0.0, -0.0)));
  EXPECT_TRUE(std::signbit(Max(-0.0, 0.0)));
  EXPECT_TRUE(std::signbit(Min(-0.0, 0.0)));
  EXPECT_TRUE(Signum(0.0) == 1 && Signum(-0.0) == 1 && Signum(-1e-300) == -1);
  std::string s = "left", t = "right";
  ExChange(s, t);
  Extended x = 1.5L, y = -2.25L;
  ExChange(x, y);
  int64_t p = -5, q = int64_t{1} << 40;
  ExChange(p, q);
  EXPECT_TRUE(s == "right" && t == "left" && x == -2.25L && p == int64_t{1} << 40);
  // Byte-wise, longer than the internal buffer, and overlapping regions byte by
  // byte upward: "abcd" with A at 0, B at 1, Size 2 -> bacd -> bcad.
  std::vector<unsigned char> m(600, 1), n(600, 2);
  ExChange(m.data(), n.data(), 600);
  EXPECT_TRUE(m == std::vector<unsigned char>(600, 2) && n == std::vector<unsigned char>(600, 1));
  char buf[] = "abcd";
  ExChange(buf, buf + 1, 2);
  ExChange(nullptr, buf, 2);
  EXPECT_STREQ(buf, "bcad");
}

TEST(TKahanSum, CompensatesWhatPlainSummationLoses) {
  // 1 then 10^6 terms of 2^-53: each plain addition rounds back to 1; the exact
  // sum 1 + 500000 * 2^-52 is a double (spacing above 1 is 2^-52).
  TKahanSum ks;
  EXPECT_TRUE(ks.Sum == 0 && ks.cps == 0);
  const double tiny = std::ldexp(1.0, -53);
  double plain = 1.0;
  ks.Add(1.0);
  for (int i = 0; i < 1000000; ++i) {
    ks.Add(tiny);
    plain += tiny;
  }
  EXPECT_EQ(plain, 1.0);
  EXPECT_EQ(ks.Sum, 1.0 + 500000.0 * std::ldexp(1.0, -52));
  // Ten doubles nearest 0.1 add up to 1.0000000000000000555, nearest double 1
  // (plain summation gives 0.9999999999999999).
  ks.Reset();
  for (int i = 0; i < 10; ++i) ks.Add(0.1);
  EXPECT_EQ(ks.Sum, 1.0);
  TComponent owner;
  (new TKahanSum(&owner))->Add(2.5);
}
