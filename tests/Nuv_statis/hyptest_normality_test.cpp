// Kolmogorov-Smirnov, Lilliefors and Shapiro-Wilk tests of normality.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/hyptest_helpers.h"
#include "Nuv_statis/reference/hyptest_reference.inc"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::SetValues;

namespace {
// nDistriIntegral, which the distances use, is accurate to about 1e-8.
constexpr double kNormalIntegralTol = 2e-8;
// scipy's Shapiro-Wilk runs in single precision: W agrees to about 1e-6 ...
constexpr double kSingleTol = 2e-6;
// ... and p, a steep function of ln(1 - W), to 1e-4 where it is small (n = 250, p = 1.6e-5).
constexpr double kSingleTolP = 5e-4;
}  // namespace

TEST(KSNormality, DistanceAgainstScipyAndTheSortInPlace) {
  TVector v;
  SetValues(v, kKSData);
  int exchanges = 0, changes = 0;
  v.SetOnSortExchange([&](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++exchanges; });
  v.SetOnChange([&](TObject*) { ++changes; });
  EXPECT_ABS_NEAR(PerformKSNormalityTest(&v, false), kKSD, kNormalIntegralTol);
  EXPECT_TRUE(std::is_sorted(v.Data(), v.Data() + v.NrOfElem()));
  EXPECT_GT(exchanges, 0);
  EXPECT_EQ(changes, 1);
  // sorted data stay as they are
  exchanges = changes = 0;
  EXPECT_ABS_NEAR(PerformKSNormalityTest(&v, true), kKSD, kNormalIntegralTol);
  EXPECT_EQ(exchanges + changes, 0);
  // one value: D = max(Phi(x), 1 - Phi(x))
  SetValues(v, {0.0});
  EXPECT_DOUBLE_EQ(PerformKSNormalityTest(&v, false), 0.5);
  SetValues(v, {1.0, std::nan(""), 0.5});
  EXPECT_TRUE(std::isnan(PerformKSNormalityTest(&v, false)));
  EXPECT_EQ(PerformKSNormalityTest(nullptr, false), -1.0);
}

TEST(Lilliefors, StandardizesTheCallersDataFirst) {
  TVector v;
  SetValues(v, kKSData);
  EXPECT_ABS_NEAR(PerformLillieforsTest(&v, false), kLillieD, kNormalIntegralTol);
  double m, var;
  v.MeanVar(0, 0, m, var);
  EXPECT_ABS_NEAR(m, 0.0, 1e-15);
  EXPECT_REL_NEAR(var, 1.0, 1e-14);
  EXPECT_TRUE(std::is_sorted(v.Data(), v.Data() + v.NrOfElem()));
  EXPECT_EQ(PerformLillieforsTest(nullptr, true), -1.0);
}

TEST(ShapiroWilk, WAndPAgainstScipy) {
  struct {
    const double* x;
    size_t n;
    double W, p;
  } const cases[] = {
      {kSW3, std::size(kSW3), kSW3W, kSW3P},     {kSW4, std::size(kSW4), kSW4W, kSW4P},
      {kSW5, std::size(kSW5), kSW5W, kSW5P},     {kSW6, std::size(kSW6), kSW6W, kSW6P},
      {kSW11, std::size(kSW11), kSW11W, kSW11P}, {kSW12, std::size(kSW12), kSW12W, kSW12P},
      {kSW30, std::size(kSW30), kSW30W, kSW30P}, {kSW250, std::size(kSW250), kSW250W, kSW250P},
  };
  TVector v;
  for (const auto& c : cases) {
    SetValues(v, c.x, c.n);
    const std::vector<double> before(v.Data(), v.Data() + c.n);
    double W = -1;
    const double p = ShapiroWilkTest(&v, W);
    EXPECT_REL_NEAR(W, c.W, kSingleTol) << "n " << c.n;
    EXPECT_REL_NEAR(p, c.p, kSingleTolP) << "n " << c.n;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), v.Data())) << "data are read only";
  }
  SetValues(v, nuv_test::IrwinHall(5000));
  double W;
  const double p = ShapiroWilkTest(&v, W);
  EXPECT_REL_NEAR(W, kSWIrwinHall5000W, kSingleTol);
  // 1 - W = 0.0025 magnifies the single-precision error of scipy's W in p.
  EXPECT_REL_NEAR(p, kSWIrwinHall5000P, 10 * kSingleTolP);
}

TEST(ShapiroWilk, ScaleDoesNotMatterAndBadInputGivesCodes) {
  TVector v;
  double W, Wscaled;
  SetValues(v, kSW12);
  const double p = ShapiroWilkTest(&v, W);
  // W is invariant under x -> a x + b, also where squares would underflow or overflow
  for (const double scale : {1e-170, 1e150}) {
    std::vector<double> x(std::begin(kSW12), std::end(kSW12));
    for (double& e : x) e = e * scale + 3 * scale;
    SetValues(v, x);
    EXPECT_REL_NEAR(ShapiroWilkTest(&v, Wscaled), p, 1e-12) << scale;
    EXPECT_REL_NEAR(Wscaled, W, 1e-13) << scale;
  }
  SetValues(v, {1.0, 2.0});
  EXPECT_EQ(ShapiroWilkTest(&v, W), -1.0);
  EXPECT_EQ(W, 0.0);
  v.Resize(5001);
  EXPECT_EQ(ShapiroWilkTest(&v, W), -1.0);
  EXPECT_EQ(ShapiroWilkTest(nullptr, W), -1.0);
  SetValues(v, {4.0, 4.0, 4.0, 4.0});
  EXPECT_EQ(ShapiroWilkTest(&v, W), -2.0);
  SetValues(v, {4.0, 1.0, INFINITY, 4.5});
  EXPECT_TRUE(std::isnan(ShapiroWilkTest(&v, W)));
  EXPECT_TRUE(std::isnan(W));
}
