// Runs tests: the exact distribution, the bit-sequence test and the serial test.
#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/hyptest_helpers.h"
#include "Nuv_statis/reference/hyptest_reference.inc"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::SetValues;

namespace {

void SetBits(TBitFld& b, const std::vector<int>& bits) {
  b.SetSize(static_cast<int32_t>(bits.size()) - 1);
  b.Clear();
  for (size_t i = 0; i < bits.size(); ++i) b.SetBit(static_cast<int32_t>(i), bits[i] != 0);
}

}  // namespace

TEST(ExactRunsTest, AgainstExactCounting) {
  EXPECT_DOUBLE_EQ(ExactRunsTest(5, 5, 2), 2.0 / 252.0);
  // P(R <= r) by exact counting with Python integers, also beyond 32-bit coefficients
  // (C(50, 25) = 1.26e14; C(2000, 1000) = 2e600 is far beyond double)
  for (size_t i = 0; i < std::size(kRunsN1); ++i) {
    EXPECT_REL_NEAR(ExactRunsTest(kRunsN1[i], kRunsN2[i], kRunsR[i]), kRunsP[i], 1e-12)
        << kRunsN1[i] << " + " << kRunsN2[i] << ", " << kRunsR[i] << " runs";
    EXPECT_REL_NEAR(ExactRunsTest(kRunsN2[i], kRunsN1[i], kRunsR[i]), kRunsP[i], 1e-12)
        << "swapped";
  }
  // all runs counted: exactly 1 (clipped), and runs far beyond the maximum cost nothing
  EXPECT_EQ(ExactRunsTest(25, 25, 51), 1.0);
  EXPECT_EQ(ExactRunsTest(25, 25, 2147483647), 1.0);
  EXPECT_EQ(ExactRunsTest(5, 5, 1), 0.0);
  EXPECT_EQ(ExactRunsTest(0, 7, 1), 0.0);
  EXPECT_EQ(ExactRunsTest(0, 7, 5), 0.0);
  EXPECT_EQ(ExactRunsTest(-3, 7, 5), 0.0);
  EXPECT_DOUBLE_EQ(ExactRunsTest(1, 1, 2), 1.0);
}

TEST(RunsTest, ExactBranchForShortSequences) {
  TBitFld b;
  double p = -5;
  // 0000011111: 2 runs of 5 + 5
  SetBits(b, {0, 0, 0, 0, 0, 1, 1, 1, 1, 1});
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_DOUBLE_EQ(p, 2.0 / 252.0);
  // 0101010101: 10 runs, P(R <= 10) = 1
  SetBits(b, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  EXPECT_FALSE(RunsTest(&b, p));
  EXPECT_DOUBLE_EQ(p, 1.0);
  // 7 ones and 12 zeros in 10 runs
  SetBits(b, {1, 1, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0});
  RunsTest(&b, p);
  EXPECT_EQ(p, ExactRunsTest(7, 12, 10));
  // all bits equal: a single kind, p = 0 and true
  SetBits(b, std::vector<int>(20, 1));
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_EQ(p, 0.0);
  EXPECT_FALSE(RunsTest(nullptr, p));
  EXPECT_EQ(p, -1.0);
  // Up to 25 of each kind the exact distribution serves, from 26 on the normal one: one
  // run of ones, then one of zeros. Exact: 2/C(36, 11) (Python math.comb); normal:
  // scipy.stats.norm.cdf(z), scipy 1.10.1, up to nDistriIntegral's 1e-8.
  std::vector<int> two(25, 1);
  two.resize(36, 0);
  SetBits(b, two);
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_REL_NEAR(p, 3.32886546326316e-09, 1e-12);
  two.assign(26, 1);
  two.resize(36, 0);
  SetBits(b, two);
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_REL_NEAR(p, 5.7283510700848695e-09, 1e-7);
}

TEST(RunsTest, NormalBranchCountsRunsAcrossStorageWords) {
  // 200 bits: blocks of 1, 2, 3, ... alternating ones and zeros cross the 64-bit words
  std::vector<int> bits;
  int value = 1;
  for (int len = 1; bits.size() < 200; ++len, value ^= 1)
    for (int k = 0; k < len && bits.size() < 200; ++k) bits.push_back(value);
  int64_t n1 = 0, runs = 1;
  for (size_t i = 0; i < bits.size(); ++i) {
    n1 += bits[i];
    if (i > 0 && bits[i] != bits[i - 1]) ++runs;
  }
  const double n0 = 200.0 - static_cast<double>(n1);
  const double S = 2.0 * static_cast<double>(n1) * n0, N = 200;
  const double z =
      (static_cast<double>(runs) - S / N - 1) / std::sqrt(S * (S - N) / (N * N * (N - 1)));
  TBitFld b;
  SetBits(b, bits);
  double p;
  EXPECT_TRUE(RunsTest(&b, p));  // far too few runs
  EXPECT_LT(z, 0.0);
  // Phi(z), scipy.stats.norm.cdf(z) up to nDistriIntegral's 1e-8
  EXPECT_REL_NEAR(p, 0.5 * std::erfc(-z / std::sqrt(2.0)), 1e-8);
  // the mirror image: too many runs gives the upper tail, 1 - Phi(z)
  std::vector<int> alt(200);
  for (size_t i = 0; i < alt.size(); ++i) alt[i] = (i % 2 == 0) || (i % 7 == 0);
  n1 = 0;
  runs = 1;
  for (size_t i = 0; i < alt.size(); ++i) {
    n1 += alt[i];
    if (i > 0 && alt[i] != alt[i - 1]) ++runs;
  }
  const double m0 = 200.0 - static_cast<double>(n1), T = 2.0 * static_cast<double>(n1) * m0;
  const double z2 =
      (static_cast<double>(runs) - T / N - 1) / std::sqrt(T * (T - N) / (N * N * (N - 1)));
  SetBits(b, alt);
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_GT(z2, 0.0);
  EXPECT_REL_NEAR(p, 0.5 * std::erfc(z2 / std::sqrt(2.0)), 1e-8);
  // 26 ones and no zero: sigma = 0, p = 0
  SetBits(b, std::vector<int>(26, 1));
  EXPECT_TRUE(RunsTest(&b, p));
  EXPECT_EQ(p, 0.0);
}

TEST(RunsTestSerial, BitsAboveTheMedian) {
  TVector v;
  double p = 3;
  // median 5.5: below, below, ..., then above: two runs of 5 + 5
  SetValues(v, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0});
  EXPECT_TRUE(RunsTestSerial(&v, p));
  EXPECT_DOUBLE_EQ(p, 2.0 / 252.0);
  SetValues(v, {1.0, 10.0, 2.0, 9.0, 3.0, 8.0, 4.0, 7.0, 5.0, 6.0});
  EXPECT_FALSE(RunsTestSerial(&v, p));
  EXPECT_DOUBLE_EQ(p, 1.0);
  EXPECT_FALSE(RunsTestSerial(nullptr, p));
  EXPECT_EQ(p, -1.0);
}
