#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

// GRandom's cache and LongRand's states are per thread: a fresh thread starts
// from the library's load-time state.
template <class F>
void InFreshThread(F f) {
  std::thread t(f);
  t.join();
}

}  // namespace

TEST(BRandom, ProbabilityAndDraws) {
  SetRandSeed(20240607);
  const double next = Random();
  SetRandSeed(20240607);
  // p >= 1 decides without a draw.
  EXPECT_TRUE(BRandom(1.0));
  EXPECT_TRUE(BRandom(2.5));
  EXPECT_EQ(Random(), next);
  EXPECT_FALSE(BRandom(0.0));
  EXPECT_FALSE(BRandom(-1.0));
  EXPECT_FALSE(BRandom(std::numeric_limits<double>::quiet_NaN()));
  // Frequency of p = 0.3 over 10^5 draws: sigma = sqrt(0.21 / 10^5) = 0.00145; allow 5 sigma.
  int hits = 0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) hits += BRandom(0.3) ? 1 : 0;
  EXPECT_NEAR(hits / static_cast<double>(n), 0.3, 0.0073);
}

TEST(CRandom, CauchyQuartiles) {
  // The Cauchy distribution puts half its mass within one Scale of Center
  // (CDF 1/2 + atan((x - c)/s)/pi); sigma of the fraction is 0.5/sqrt(n).
  SetRandSeed(77);
  const int n = 100000;
  int inside = 0, below = 0;
  for (int i = 0; i < n; ++i) {
    const double c = CRandom(2.0, 3.0);
    ASSERT_FALSE(std::isnan(c));
    if (c >= -1.0 && c <= 5.0) ++inside;
    if (c < 2.0) ++below;
  }
  EXPECT_NEAR(inside / static_cast<double>(n), 0.5, 0.008);
  EXPECT_NEAR(below / static_cast<double>(n), 0.5, 0.008);
}

TEST(GRandom, CachedSecondDeviate) {
  InFreshThread([] {
    SetRandSeed(12345);
    // The polar method by hand: draw pairs until 0 < s < 1.
    double p, q, s;
    int draws = 0;
    do {
      p = 2.0 * Random() - 1.0;
      q = 2.0 * Random() - 1.0;
      draws += 2;
      s = p * p + q * q;
    } while (!(s > 0.0 && s < 1.0));
    const double f = std::sqrt(-2.0 * std::log(s) / s);
    const double after = Random();
    SetRandSeed(12345);
    EXPECT_EQ(GRandom(), q * f);
    EXPECT_EQ(GRandom(), p * f);  // from the cache: no draw
    EXPECT_EQ(Random(), after);
    EXPECT_GE(draws, 2);
  });
}

TEST(GRandom, Moments) {
  InFreshThread([] {
    SetRandSeed(99);
    const int n = 200000;
    double sum = 0.0, sum2 = 0.0;
    for (int i = 0; i < n; ++i) {
      const double g = GRandom();
      sum += g;
      sum2 += g * g;
    }
    const double mean = sum / n;
    // Standard errors 1/sqrt(n) = 0.0022 and sqrt(2/n) = 0.0032; allow 5 sigma.
    EXPECT_NEAR(mean, 0.0, 0.011);
    EXPECT_NEAR(sum2 / n - mean * mean, 1.0, 0.016);
  });
}

TEST(LongRand, SeededSequences) {
  // By hand (32-bit shifts, remainders with the seed's sign), exact fractions
  // rounded to doubles with Python's fractions module.
  // Seed 1: S = (1, 257, 65537) -> (1187, 252631, 58591), ...
  EXPECT_REL_NEAR(LongRand(1), 0.2979690208513005, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.6968748289645016, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.6440085868716272, kTol1);
  // Seed -1: a = -1, a xor (a shl 8) = 255, a xor (a shl 16) = 65535.
  EXPECT_REL_NEAR(LongRand(-1), 0.29415270847754954, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.3957487079368429, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.3834046768227818, kTol1);
  EXPECT_REL_NEAR(LongRand(123456789), 0.9715454786547152, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.04369184231243671, kTol1);
  EXPECT_REL_NEAR(LongRand(0), 0.6405228147211792, kTol1);
}

TEST(LongRand, ReseedingReproducesAndZeroSeeds) {
  std::vector<double> first, again;
  first.push_back(LongRand(-2147483647 - 1));
  for (int i = 0; i < 1000; ++i) first.push_back(LongRand(0));
  again.push_back(LongRand(-2147483647 - 1));
  for (int i = 0; i < 1000; ++i) again.push_back(LongRand(0));
  EXPECT_EQ(first, again);
  for (double v : first) {
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
  }
  // A seed that is a multiple of 990923 leaves every state at 0.
  EXPECT_EQ(LongRand(990923), 0.0);
  EXPECT_EQ(LongRand(0), 0.0);
  EXPECT_EQ(LongRand(0), 0.0);
  EXPECT_EQ(LongRand(-2 * 990923), 0.0);
  EXPECT_EQ(LongRand(0), 0.0);
  EXPECT_GT(LongRand(1), 0.0);
}

TEST(LongRand, FreshThreadStartsFromUniformDraws) {
  InFreshThread([] {
    // The states start as three uniform draws * 990000, rounded, in the order S1, S2, S3.
    SetRandSeed(5);
    const double s1 = std::nearbyint(Random() * 990000.0);
    const double s2 = std::nearbyint(Random() * 990000.0);
    const double s3 = std::nearbyint(Random() * 990000.0);
    const double e = std::fmod(s1 * 1187, 1001003) / 1001003 + std::fmod(s2 * 983, 990923) / 990923 +
                     std::fmod(s3 * 1283, 1400423) / 1400423;
    SetRandSeed(5);
    EXPECT_REL_NEAR(LongRand(0), e - std::floor(e), kTol1);
  });
}
