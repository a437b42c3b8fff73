// Mann-Whitney U, Shapiro-Wilk, Kolmogorov-Smirnov critical values and the
// Lilliefors approximations.
#include <cmath>
#include <limits>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(MannWhitneyU, ExactCountsMatchGaussianBinomials) {
  // Exact integer coefficients of the Gaussian binomial [n1 + n2, n1]_q over
  // C(n1 + n2, n1), by Python big integers (counts of 3 x 3: 1 1 2 3 3 3 3 2 1 1).
  struct {
    int32_t n1, n2, u;
    double pmf, cdf;
  } const cases[] = {
      {3, 3, 0, 0.05, 0.05},
      {3, 3, 2, 0.1, 0.2},
      {3, 3, 4, 0.15, 0.5},
      {3, 3, 9, 0.05, 1.0},
      {2, 2, 2, 1.0 / 3, 2.0 / 3},
      {10, 12, 0, 1.5464411749241471e-6, 1.5464411749241471e-6},
      {10, 12, 15, 0.00024743058798786353, 0.0010067332048756197},
      {10, 12, 37, 0.0086631634619250718, 0.070118735753410676},
      {10, 12, 60, 0.02576370997423629, 0.51288185498711815},
      {10, 12, 119, 1.5464411749241471e-6, 0.99999845355882508},
      {25, 40, 200, 8.9361765322324114e-7, 1.3440024800619417e-5},
      {25, 40, 350, 0.00070437470283532365, 0.021617950707882289},
      {25, 40, 999, 1.5344773877995398e-18, 1.0},
      {100, 100, 1000, 1.0586127998530163e-28, 2.8723550143618725e-27},
      {100, 100, 4000, 4.9154611003343763e-5, 0.007188544260578844},
      {100, 100, 5000, 0.000972571734583764, 0.50048628586729188},
  };
  for (const auto& c : cases) {
    EXPECT_REL_NEAR(UDistriDensity(c.u, c.n1, c.n2), c.pmf, 1e-13)
        << c.n1 << "x" << c.n2 << " u " << c.u;
    EXPECT_REL_NEAR(UDistriDensity(c.u, c.n2, c.n1), c.pmf, 1e-13) << "swapped";
    EXPECT_REL_NEAR(UDistriIntegral(c.u, c.n1, c.n2), c.cdf, 1e-13)
        << c.n1 << "x" << c.n2 << " u " << c.u;
  }
  // the quantile is the smallest u reaching p
  EXPECT_EQ(UDistriQuantile(3, 3, 0.05), 0);
  EXPECT_EQ(UDistriQuantile(3, 3, 0.0500001), 1);
  EXPECT_EQ(UDistriQuantile(3, 3, 0.5), 4);
  EXPECT_EQ(UDistriQuantile(10, 12, 0.07), 37);
  EXPECT_EQ(UDistriQuantile(10, 12, 0.0702), 38);
  EXPECT_EQ(UDistriQuantile(1, 1, 0.6), 1);
}

TEST(MannWhitneyU, NeutralValuesAndTheApproximationBeyondTheLimit) {
  EXPECT_EQ(UDistriDensity(-1, 3, 3), 0.0);
  EXPECT_EQ(UDistriDensity(10, 3, 3), 0.0);
  EXPECT_EQ(UDistriDensity(1, 0, 3), 0.0);
  EXPECT_EQ(UDistriIntegral(-1, 3, 3), 0.0);
  EXPECT_EQ(UDistriIntegral(9, 3, 3), 1.0);
  EXPECT_EQ(UDistriIntegral(2, 3, -1), 0.0);
  EXPECT_EQ(UDistriQuantile(3, 3, 0), -1);
  EXPECT_EQ(UDistriQuantile(3, 3, 1), -1);
  EXPECT_EQ(UDistriQuantile(3, 3, kNaN), -1);
  EXPECT_EQ(UDistriQuantile(0, 3, 0.5), -1);
  // 101 x 100 is past the exact limit of 10000 pairs: Phi((u + 1/2 - n1 n2/2) / sigma),
  // sigma^2 = n1 n2 (n1 + n2 + 1)/12 (mpmath.ncdf)
  EXPECT_REL_NEAR(UDistriIntegral(4000, 101, 100), 0.0054594037100619565, 1e-12);
  EXPECT_REL_NEAR(UDistriIntegral(5050, 101, 100), 0.50048376474471205, 1e-12);
  EXPECT_REL_NEAR(UDistriDensity(5050, 101, 100), 0.00096752948942409564, 1e-9);
  const int32_t q = UDistriQuantile(101, 100, 0.0054594037100619565);
  EXPECT_EQ(q, 4000);
  // huge samples neither allocate nor overflow
  EXPECT_EQ(UDistriIntegral(1000000000, 50000, 50000), 0.0);  // z = -55
  EXPECT_NEAR(UDistriIntegral(1250000000, 50000, 50000), 0.5, 1e-7);
  EXPECT_GT(UDistriQuantile(40000, 50000, 0.5), 0);
}

TEST(ShapiroWilk, MatchesRoystonsAlgorithmAsShippedByScipy) {
  // scipy.stats.shapiro 1.10.1 (AS R94 in single precision) on seeded samples:
  // (n, W, p-value)
  struct {
    int32_t n;
    double W, p, tol;
  } const cases[] = {
      // n = 3 is exact, 6/pi (asin sqrt W - pi/3), here by mpmath (scipy's single
      // precision gives 0.95738035 and 0.39625061)
      {3, 0.9995021820068359, 0.95738399719150457, 1e-13},
      {3, 0.9033518433570862, 0.3962518610627106, 1e-13},
      {4, 0.8609840273857117, 0.2637500464916229, 1e-5},     // small-n branch
      {7, 0.9019736051559448, 0.34309980273246765, 1e-5},
      {11, 0.9027210474014282, 0.19949686527252197, 1e-5},   // its last n
      {12, 0.9822491407394409, 0.991062581539154, 1e-5},     // ln n branch from 12
      {12, 0.9378596544265747, 0.47085240483283997, 1e-5},
      {20, 0.8298882246017456, 0.0024986902717500925, 1e-5},
      {50, 0.8091427683830261, 1.4333119224829716e-06, 1e-5},
      {200, 0.9940544962882996, 0.6087027788162231, 1e-5},
      {1000, 0.9976783990859985, 0.17250770330429077, 1e-5},
      {1000, 0.7952563762664795, 1.1296158165001514e-33, 1e-5},
      {4000, 0.9997551441192627, 0.943941593170166, 1e-5},
  };
  for (const auto& c : cases) {
    EXPECT_REL_NEAR(ShapiroWilkIntegral(c.W, c.n, c.n), c.p, c.tol) << "n " << c.n << " W " << c.W;
  }
  EXPECT_EQ(ShapiroWilkIntegral(0.9, 2, 2), -1.0);
  EXPECT_EQ(ShapiroWilkIntegral(0.9, 10, 8), -1.0);  // censored samples are not supported
  EXPECT_EQ(ShapiroWilkIntegral(1.0, 10, 10), 1.0);
  EXPECT_EQ(ShapiroWilkIntegral(0.0, 10, 10), 0.0);
  EXPECT_EQ(ShapiroWilkIntegral(0.7, 3, 3), 0.0);   // below the least W of three values, 3/4
  EXPECT_EQ(ShapiroWilkIntegral(0.3, 4, 4), 0.0);  // ln(1 - W) beyond the bound gamma(4) = -0.437
  EXPECT_TRUE(std::isnan(ShapiroWilkIntegral(kNaN, 10, 10)));
}

TEST(KolmogorovSmirnov, TableEndsAndLevelsOutsideTheEnumeration) {
  EXPECT_EQ(KolmogSmir1SampleTestStat(1, Dot20), 0.900);
  EXPECT_EQ(KolmogSmir1SampleTestStat(1, Dot01), 0.995);
  EXPECT_EQ(KolmogSmir1SampleTestStat(20, Dot05), 0.294);
  EXPECT_EQ(KolmogSmir1SampleTestStat(20, Dot01), 0.356);
  EXPECT_EQ(KolmogSmir1SampleTestStat(7, Dot10), 0.438);
  EXPECT_EQ(KolmogSmir1SampleTestStat(21, Dot05), 1.358 / std::sqrt(21.0));
  EXPECT_EQ(KolmogSmir1SampleTestStat(400, Dot20), 1.073 / 20);
  EXPECT_EQ(KolmogSmir1SampleTestStat(5, static_cast<TSignifLevel>(5)), -1.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(50, static_cast<TSignifLevel>(200)), -1.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(0, Dot05), -1.0);
  EXPECT_EQ(KolmogSmir1SampleTestStat(-7, Dot05), -1.0);
  EXPECT_EQ(SignifLevelAlpha[Dot20], 0.20);
  EXPECT_EQ(SignifLevelAlpha[Dot01], 0.01);
  EXPECT_EQ(static_cast<int>(Dot05), 3);
}

TEST(Lilliefors, PValueAndQuantile) {
  // Dallal-Wilkinson formula evaluated by hand in Python floats:
  // exp(-7.01256 d^2 (n + 2.78019) + 2.99587 d sqrt(n + 2.78019) - 0.122119 + 0.97498/sqrt n + 1.67997/n)
  EXPECT_REL_NEAR(LillieforsPValue(20, 0.19), 0.05668722076278928, 1e-14);
  EXPECT_REL_NEAR(LillieforsPValue(50, 0.1), 0.22869174713104076, 1e-14);
  // above 100 the statistic is rescaled by (n/100)^0.49 and n set to 100
  EXPECT_REL_NEAR(LillieforsPValue(400, 0.05), 0.01790208282857655, 1e-14);
  EXPECT_REL_NEAR(LillieforsPValue(400, 0.05), LillieforsPValue(100, 0.05 * std::pow(4.0, 0.49)), 1e-14);
  EXPECT_EQ(LillieforsPValue(10, 0.01), 1.0);  // exponent above 0 is clipped
  EXPECT_EQ(LillieforsPValue(5, 0.2), -1.0);
  EXPECT_EQ(LillieforsPValue(-3, 0.2), -1.0);
  EXPECT_EQ(LillieforsPValue(6, 0.0), 1.0);
  EXPECT_EQ(LillieforsPValue(30, std::numeric_limits<double>::infinity()), 0.0);
  for (double d = 0; d < 1; d += 0.01) EXPECT_LE(LillieforsPValue(37, d), 1.0);

  // The fitted critical values against a simulated table: statsmodels 0.13.5,
  // statsmodels.stats._lilliefors_critical_values.normal_crit_vals[n] at the 90th, 95th
  // and 97.5th percentiles. Between alpha 0.10 and 0.025 and from n = 6 the fit stays
  // within 0.0016 of it (1967's original table differs from both by up to 0.016).
  struct {
    int32_t n;
    double q90, q95, q975;
  } const simulated[] = {{6, 0.29713753, 0.32338252, 0.3456671},
                         {10, 0.24098605, 0.26202351, 0.2809226},
                         {15, 0.2011939, 0.21891697, 0.23499116},
                         {20, 0.1762829, 0.19190794, 0.20610189},
                         {30, 0.14586121, 0.15878307, 0.17058849},
                         {50, 0.11431303, 0.12444044, 0.1337458},
                         {100, 0.08173283, 0.08900091, 0.09564506}};
  constexpr double kFitTol = 0.002;
  for (const auto& c : simulated) {
    EXPECT_NEAR(LillieforsQuantile(c.n, 0.10), c.q90, kFitTol) << c.n;
    EXPECT_NEAR(LillieforsQuantile(c.n, 0.05), c.q95, kFitTol) << c.n;
    EXPECT_NEAR(LillieforsQuantile(c.n, 0.025), c.q975, kFitTol) << c.n;
  }
  // Every digit of the fourteen coefficients: 1 / sqrt(n A(1 - alpha) + B(1 - alpha)) with
  // the two sextics typed anew into mpmath 1.2.1 and evaluated at 40 digits.
  EXPECT_REL_NEAR(LillieforsQuantile(20, 0.05), 0.19341767584284564616, nuv_test::kTol1);
  EXPECT_REL_NEAR(LillieforsQuantile(100, 0.01), 0.10118198611344001679, nuv_test::kTol1);
  EXPECT_REL_NEAR(LillieforsQuantile(7, 0.2), 0.2506551541413003298, nuv_test::kTol1);
  EXPECT_EQ(LillieforsQuantile(-50, 0.05), 0.0);  // no real root: the neutral 0
}
