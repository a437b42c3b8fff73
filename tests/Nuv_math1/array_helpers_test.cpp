#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

TEST(Polynomial, ValuesAndOrderErrors) {
  // 1 + 2*2 + 3*4 = 17.
  const std::vector<double> c{1, 2, 3};
  EXPECT_EQ(Polynomial(c, 2, 2.0), 17.0);
  EXPECT_EQ(Polynomial(c, 0, 2.0), 1.0);
  EXPECT_EQ(Polynomial(c, 1, -1.5), -2.0);
  // Centered at 1: 1 + 2*(3-1) + 3*(3-1)^2 = 17.
  EXPECT_EQ(CenteredPolynomial(c, 2, 1.0, 3.0), 17.0);
  // The sum of x^i for i = 0..10 at x = 0.5 is 2 - 2^-10 exactly.
  const std::vector<double> ones(11, 1.0);
  EXPECT_EQ(Polynomial(ones, 10, 0.5), 2.0 - 1.0 / 1024.0);
  const char* msg = "Polynomial: invalid order of polynomial";
  EXPECT_THROW_MSG(Polynomial(c, 3, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(Polynomial(c, -1, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(CenteredPolynomial(c, 3, 0.0, 2.0), ENUVMath1Error, msg);
  EXPECT_THROW_MSG(Polynomial(std::vector<double>{}, 0, 2.0), ENUVMath1Error, msg);
}

TEST(MinMaxSignum, TiesGiveTheFirstArgument) {
  EXPECT_EQ(Min(2, 3), 2.0);
  EXPECT_EQ(Max(2, 3), 3.0);
  EXPECT_EQ(Min(-1, -4), -4.0);
  // +0 and -0 are equal: the first argument comes back, sign and all.
  EXPECT_FALSE(std::signbit(Max(0.0, -0.0)));
  EXPECT_TRUE(std::signbit(Max(-0.0, 0.0)));
  EXPECT_TRUE(std::signbit(Min(-0.0, 0.0)));
  EXPECT_FALSE(std::signbit(Min(0.0, -0.0)));
  EXPECT_EQ(Signum(0.0), 1);
  EXPECT_EQ(Signum(-0.0), 1);
  EXPECT_EQ(Signum(-1e-300), -1);
  EXPECT_EQ(Signum(5.0), 1);
  EXPECT_EQ(Signum(-INFINITY), -1);
}

TEST(ExChange, TypedAndByteWise) {
  int32_t a = 1, b = 2;
  ExChange(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  std::string s = "left", t = "right";
  ExChange(s, t);
  EXPECT_EQ(s, "right");
  EXPECT_EQ(t, "left");
  Extended x = 1.5L, y = -2.25L;
  ExChange(x, y);
  EXPECT_EQ(x, -2.25L);
  char16_t c = u'a', d = u'z';
  ExChange(c, d);
  EXPECT_EQ(c, u'z');
  int64_t p = -5, q = int64_t{1} << 40;
  ExChange(p, q);
  EXPECT_EQ(p, int64_t{1} << 40);
  bool u = true, v = false;
  ExChange(u, v);
  EXPECT_FALSE(u);

  // Byte-wise over a length beyond the internal buffer.
  std::vector<unsigned char> m(600), n(600);
  for (size_t i = 0; i < m.size(); ++i) {
    m[i] = static_cast<unsigned char>(i);
    n[i] = static_cast<unsigned char>(255 - i % 256);
  }
  const auto m0 = m, n0 = n;
  ExChange(m.data(), n.data(), 600);
  EXPECT_EQ(m, n0);
  EXPECT_EQ(n, m0);
  double e = 3.0, f = 4.0;
  ExChange(&e, &f, sizeof(double));
  EXPECT_EQ(e, 4.0);
  EXPECT_EQ(f, 3.0);
  // Overlapping regions go byte by byte upward: "abcd" with A at 0, B at 1,
  // Size 2: swap (0,1) -> bacd, swap (1,2) -> bcad.
  char buf[] = "abcd";
  ExChange(buf, buf + 1, 2);
  EXPECT_STREQ(buf, "bcad");
  ExChange(nullptr, buf, 2);
  ExChange(buf, buf, 2);
  EXPECT_STREQ(buf, "bcad");
}

TEST(TKahanSum, CompensatesWhatPlainSummationLoses) {
  TKahanSum ks;
  EXPECT_EQ(ks.Sum, 0.0);
  EXPECT_EQ(ks.cps, 0.0);
  // 1 followed by 10^6 terms of 2^-53: every plain addition rounds back to 1,
  // the exact sum is 1 + 10^6 * 2^-53 (representable: 10^6 < 2^53 and the
  // spacing above 1 is 2^-52, so rounding gives 1 + 500000 * 2^-52 exactly).
  const double tiny = std::ldexp(1.0, -53);
  ks.Add(1.0);
  double plain = 1.0;
  for (int i = 0; i < 1000000; ++i) {
    ks.Add(tiny);
    plain += tiny;
  }
  EXPECT_EQ(plain, 1.0);
  EXPECT_EQ(ks.Sum, 1.0 + 500000.0 * std::ldexp(1.0, -52));
  ks.Reset();
  EXPECT_EQ(ks.Sum, 0.0);
  EXPECT_EQ(ks.cps, 0.0);
  // 0.1 ten times: the sum of the ten doubles nearest 0.1 is 1.0000000000000000555;
  // its nearest double is 1, whereas plain summation gives 0.9999999999999999.
  for (int i = 0; i < 10; ++i) ks.Add(0.1);
  EXPECT_EQ(ks.Sum, 1.0);
  // Owned by a component and named like any other.
  TComponent owner;
  auto* owned = new TKahanSum(&owner);
  owned->Add(2.5);
  EXPECT_EQ(owned->Sum, 2.5);
}
