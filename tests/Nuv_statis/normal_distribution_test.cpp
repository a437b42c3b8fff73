// Normal distribution, Fisher's z, the confidence interval, Fisher's ratio,
// the Weibull and hypergeometric densities. References: mpmath 1.2.1 at 40
// digits (npdf, ncdf, findroot on ncdf for quantiles, atanh, tanh) and exact
// fractions worked by hand where stated.
#include <cmath>
#include <limits>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol2;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kIterTol = 1e-7;
}  // namespace

TEST(NormalDistribution, DensityAndIntegralInBothBranchesAndTails) {
  EXPECT_REL_NEAR(nDistriDensity(0), 0.39894228040143268, kTol1);
  EXPECT_REL_NEAR(nDistriDensity(1.3), 0.17136859204780735, kTol1);
  EXPECT_REL_NEAR(nDistriDensity(-5), 1.4867195147342977e-6, kTol2);
  EXPECT_EQ(nDistriDensity(kInf), 0.0);

  EXPECT_EQ(nDistriIntegral(0), 0.5);
  // mpmath.ncdf(x): |x| < sqrt 3 uses the series of P(1/2, x^2/2), above the fraction
  EXPECT_REL_NEAR(nDistriIntegral(1.5), 0.93319279873114193, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(1.8), 0.9640696808870742, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(0.3), 0.61791142218895263, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(-0.5), 0.3085375387259869, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(-1.7), 0.044565462758543044, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(6), 0.99999999901341235, kIterTol);
  // the lower tail keeps its relative accuracy where 1 - (1 - gG) would give 0
  EXPECT_REL_NEAR(nDistriIntegral(-8), 6.2209605742717841e-16, kIterTol);
  EXPECT_REL_NEAR(nDistriIntegral(-20), 2.7536241186062337e-89, kIterTol);
  EXPECT_EQ(nDistriIntegral(-40), 0.0);  // 3.66e-350 underflows
  EXPECT_EQ(nDistriIntegral(kInf), 1.0);
  EXPECT_EQ(nDistriIntegral(-kInf), 0.0);
  EXPECT_EQ(nDistriIntegral(1e300), 1.0);
  EXPECT_TRUE(std::isnan(nDistriIntegral(kNaN)));
}

TEST(NormalDistribution, QuantileIsAccurateEverywhereAndNeutralOutside) {
  EXPECT_EQ(nDistriQuantile(0), 0.0);
  EXPECT_EQ(nDistriQuantile(1), 0.0);
  EXPECT_EQ(nDistriQuantile(-0.5), 0.0);
  EXPECT_EQ(nDistriQuantile(1.5), 0.0);
  EXPECT_EQ(nDistriQuantile(kNaN), 0.0);
  EXPECT_EQ(nDistriQuantile(0.5), 0.0);
  // findroot on mpmath.ncdf
  struct {
    double p, z;
  } const cases[] = {{1e-300, -37.047096299361199},
                     {1e-100, -21.273453560965324},
                     {1e-20, -9.2623400897984076},
                     {3e-9, -5.8167577401258282},
                     {0.01, -2.3263478740408411},
                     {0.3, -0.52440051270804082},
                     {0.500000000001, 2.5065728237018605e-12},
                     {0.975, 1.9599639845400539},
                     {0.999999999999, 7.0344869100478352},
                     {1 - 0x1p-53, 8.2095361516013869}};
  for (const auto& c : cases) EXPECT_REL_NEAR(nDistriQuantile(c.p), c.z, 1e-14) << "p = " << c.p;
  // 0.25 and 0.75 are exact mirrors across the switch between centre and tails
  EXPECT_EQ(nDistriQuantile(0.75), -nDistriQuantile(0.25));
  // It inverts nDistriIntegral to that function's own accuracy over the whole range.
  for (double lg = -300; lg <= -0.5; lg += 3.7) {
    const double p = std::pow(10.0, lg);
    const double lower = nDistriIntegral(nDistriQuantile(p));
    EXPECT_REL_NEAR(lower, p, 2e-8) << "p = " << p;
    const double upper = 1 - nDistriIntegral(nDistriQuantile(1 - p));
    if (p > 1e-15) {
      // 1 - p itself is rounded to half an ulp of 1
      constexpr double kUpperRoundingFloor = 2.3e-16;
      EXPECT_REL_NEAR_FLOOR(upper, p, 2e-8, kUpperRoundingFloor) << "1 - p = " << 1 - p;
    }
  }
}

TEST(NormalDistribution, FisherTransformConfidenceIntervalAndRatio) {
  EXPECT_THROW_MSG(FisherTransform(1), ENUVStatisError, "FisherTransform: argument out of range");
  EXPECT_THROW_MSG(FisherTransform(-1), ENUVStatisError, "FisherTransform: argument out of range");
  EXPECT_THROW_MSG(FisherTransform(kNaN), ENUVStatisError, "FisherTransform: argument out of range");
  EXPECT_EQ(FisherTransform(0), 0.0);
  EXPECT_REL_NEAR(FisherTransform(0.5), 0.54930614433405485, kTol1);  // atanh(0.5)
  EXPECT_REL_NEAR(FisherTransformInv(0.75), 0.63514895238728732, kTol1);  // tanh(0.75)
  EXPECT_REL_NEAR(FisherTransformInv(FisherTransform(-0.9)), -0.9, kTol2);
  EXPECT_EQ(FisherTransformInv(0), 0.0);
  EXPECT_EQ(FisherTransformInv(400), 1.0);
  EXPECT_EQ(FisherTransformInv(1e6), 1.0);  // e^(2z) overflows: the limit, not NaN
  EXPECT_EQ(FisherTransformInv(-1e6), -1.0);

  // z(0.975) = 1.9599639845400539 (findroot on mpmath.ncdf): 1.96 * 2 / sqrt(16)
  EXPECT_REL_NEAR(ConfidenceInterval(0.05, 2, 16), 1.9599639845400539 * 0.5, 1e-14);
  EXPECT_EQ(ConfidenceInterval(0.05, 2, 0), 0.0);
  EXPECT_EQ(ConfidenceInterval(0.05, 2, -4), 0.0);

  EXPECT_REL_NEAR(CalcFishQ(1, 0, 0, 0), 1e6, kTol1);  // the variance floor
  EXPECT_REL_NEAR(CalcFishQ(3, 1, 1, 1), 2.0, kTol1);
  EXPECT_REL_NEAR(CalcFishQ(-2, 2, 0.5, 1.5), 16 / 2.5, kTol1);
}

TEST(WeibullHypergeometric, WeibullDensity) {
  // mpmath: exp(-(x/l)^k) k x^(k-1) / l^k
  EXPECT_REL_NEAR(WeibullDensity(1.3, 2.5, 2), 0.46595733134311317, kTol2);
  EXPECT_REL_NEAR(WeibullDensity(0.5, 0.7, 1.5), 0.40819126722097802, kTol2);
  EXPECT_REL_NEAR(WeibullDensity(1.001, 2000, 1), 9.1818432278179841, 1e-12);
  // k = 1 is the exponential density
  EXPECT_REL_NEAR(WeibullDensity(3, 1, 2), std::exp(-1.5) / 2, kTol2);
  EXPECT_EQ(WeibullDensity(0, 2, 1), 0.0);
  EXPECT_EQ(WeibullDensity(-1, 2, 1), 0.0);
  EXPECT_EQ(WeibullDensity(1, 2, 0), 0.0);
  EXPECT_EQ(WeibullDensity(1, 2, -3), 0.0);
  // powers far outside any range stay finite: no inf * 0
  EXPECT_EQ(WeibullDensity(50, 1e5, 1), 0.0);
  EXPECT_EQ(WeibullDensity(1e-300, 1e5, 1), 0.0);
  EXPECT_EQ(WeibullDensity(0.5, kInf, 1), 0.0);
}

TEST(WeibullHypergeometric, HypergeometricMessagesInOrderAndValues) {
  const char* const kP = "HyperGeoDistriDensity: probability p must be between 0.0 and 1.0";
  const char* const kNpop = "HyperGeoDistriDensity: npop must be greater than 0";
  const char* const kGreater = "HyperGeoDistriDensity: nsample must not be greater than npop";
  const char* const kLess = "HyperGeoDistriDensity: nsample must not be less than 1";
  EXPECT_THROW_MSG(HyperGeoDistriDensity(1.5, 0, 11, 3), ENUVStatisError, kP);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(-0.1, 10, 5, 3), ENUVStatisError, kP);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(kNaN, 10, 5, 3), ENUVStatisError, kP);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(0.5, 0, 0, 0), ENUVStatisError, kNpop);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(0.5, 10, 11, 3), ENUVStatisError, kGreater);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(0.5, 10, 0, 0), ENUVStatisError, kLess);
  EXPECT_THROW_MSG(HyperGeoDistriDensity(0.5, 10, -3, 0), ENUVStatisError, kLess);

  // M = round(20 * 0.3) = 6: C(6, 2) C(14, 3) / C(20, 5) = 15 * 364 / 15504
  EXPECT_REL_NEAR(HyperGeoDistriDensity(0.3, 20, 5, 2), 5460.0 / 15504.0, 1e-8);
  // M = round(10 * 0.25) = round(2.5) = 2, halves to even: 3 successes are impossible
  EXPECT_EQ(HyperGeoDistriDensity(0.25, 10, 5, 3), 0.0);
  // C(2, 2) C(8, 3) / C(10, 5) = 56 / 252
  EXPECT_REL_NEAR(HyperGeoDistriDensity(0.25, 10, 5, 2), 56.0 / 252.0, 1e-8);
  EXPECT_EQ(HyperGeoDistriDensity(0.3, 20, 5, -1), 0.0);
  EXPECT_EQ(HyperGeoDistriDensity(0.3, 20, 5, 6), 0.0);   // k > nsample
  EXPECT_EQ(HyperGeoDistriDensity(0.9, 20, 5, 2), 0.0);   // k < nsample - (npop - M) = 3
  // the probabilities of all k sum to 1
  double s = 0;
  for (int k = 0; k <= 7; ++k) s += HyperGeoDistriDensity(0.35, 23, 7, k);
  EXPECT_NEAR(s, 1.0, 1e-8);
  // the largest population: M / npop for a sample of one, no integer overflow
  EXPECT_NEAR(HyperGeoDistriDensity(0.5, 2147483647, 1, 1), 1073741824.0 / 2147483647.0, 1e-6);
}
