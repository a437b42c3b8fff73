// TRandGen: the bin table, the filling operations and the rejection sampling.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol3;

namespace {

// 10 bins on 0..10: every bin one unit wide.
void TenBins(TRandGen& g) {
  g.SetLowBorder(0);
  g.SetHighBorder(10);
  g.SetResolution(10);
}

}  // namespace

TEST(TRandGen, CreateResolutionAndProbabilityClamping) {
  TRandGen g;
  EXPECT_EQ(g.Resolution(), 500);
  EXPECT_EQ(g.LowBorder(), 0.0);
  EXPECT_EQ(g.HighBorder(), 0.0);
  EXPECT_EQ(g.GetProbability(1), 1.0);
  EXPECT_EQ(g.GetProbability(500), 1.0);
  EXPECT_EQ(g.GetProbability(0), 0.0);
  EXPECT_EQ(g.GetProbability(501), 0.0);

  g.SetResolution(5);
  EXPECT_EQ(g.Resolution(), 10);
  g.SetResolution(10000);
  EXPECT_EQ(g.Resolution(), 4000);
  EXPECT_EQ(g.GetProbability(4000), 1.0);
  EXPECT_EQ(g.GetProbability(4001), 0.0);

  TenBins(g);
  g.SetProbability(3, 1.7);
  EXPECT_EQ(g.GetProbability(3), 1.0);
  g.SetProbability(3, -2);
  EXPECT_EQ(g.GetProbability(3), 0.0);
  g.SetProbability(4, 0.375);
  EXPECT_EQ(g.GetProbability(4), 0.375);
  g.SetProbability(5, std::nan(""));
  EXPECT_EQ(g.GetProbability(5), 0.0);
  g.SetProbability(0, 0.5);   // outside: nothing happens
  g.SetProbability(11, 0.5);
  EXPECT_EQ(g.GetProbability(11), 0.0);
  // A new resolution, even the same one, starts again from all 1.0.
  g.SetResolution(10);
  EXPECT_EQ(g.GetProbability(3), 1.0);
  EXPECT_EQ(g.GetProbability(4), 1.0);
}

TEST(TRandGen, LambdaAndIndexOfLambda) {
  TRandGen g;
  TenBins(g);
  EXPECT_EQ(g.GetLambda(3), 2.0);
  EXPECT_EQ(g.GetLambda(1), 0.0);
  EXPECT_EQ(g.GetLambda(10), 9.0);
  EXPECT_EQ(g.GetLambda(0), 0.0);
  EXPECT_EQ(g.GetLambda(-4), 0.0);
  EXPECT_EQ(g.GetLambda(11), 10.0);
  EXPECT_EQ(g.IndexOfLambda(2.5), 3);
  EXPECT_EQ(g.IndexOfLambda(2.0), 3);
  EXPECT_EQ(g.IndexOfLambda(0.0), 1);
  EXPECT_EQ(g.IndexOfLambda(9.999), 10);
  EXPECT_EQ(g.IndexOfLambda(10.0), 11);
  EXPECT_EQ(g.IndexOfLambda(10.5), 11);
  EXPECT_EQ(g.IndexOfLambda(-1.0), 0);
  // Degenerate borders give an index inside 0..Resolution + 1, never a crash.
  g.SetHighBorder(0);
  EXPECT_EQ(g.IndexOfLambda(0.0), 1);
  g.SetLowBorder(-1e308);
  g.SetHighBorder(1e308);  // the width overflows
  for (double x : {-1e308, 0.0, 1e308, std::nan("")}) {
    EXPECT_GE(g.IndexOfLambda(x), 0);
    EXPECT_LE(g.IndexOfLambda(x), 11);
  }
}

TEST(TRandGen, NormalizeAndStandardize) {
  TRandGen g;
  TenBins(g);
  for (int i = 1; i <= 10; ++i) g.SetProbability(i, 0.4);
  g.SetProbability(1, 0.2);
  g.SetProbability(2, 0.6);
  g.Normalize();
  EXPECT_EQ(g.GetProbability(1), 0.0);
  EXPECT_EQ(g.GetProbability(2), 1.0);
  EXPECT_REL_NEAR(g.GetProbability(3), 0.5, kTol1);
  EXPECT_REL_NEAR(g.GetProbability(10), 0.5, kTol1);

  // Equal entries: Normalize leaves them.
  for (int i = 1; i <= 10; ++i) g.SetProbability(i, 0.3);
  g.Normalize();
  EXPECT_EQ(g.GetProbability(7), 0.3);

  // Densities above 1 come down to a largest entry of exactly 1.
  g.NormalDistri(5, 1);
  EXPECT_EQ(g.GetProbability(6), 1.0);  // the entry at 5
  g.tDistri(1);
  EXPECT_TRUE(g.Standardize());
  EXPECT_EQ(g.GetProbability(1), 1.0);  // t(1) peaks at 0
  EXPECT_REL_NEAR(g.GetProbability(2), 0.5, kTol1);  // 1 / (1 + 1^2)

  for (int i = 1; i <= 10; ++i) g.SetProbability(i, 0.0);
  EXPECT_FALSE(g.Standardize());
  EXPECT_EQ(g.GetProbability(4), 0.0);
}

TEST(TRandGen, FillingDistributionsFollowTheDensities) {
  // 16 bins of width 0.5 on -2..6: entry i sits at -2 + (i - 1) / 2, so entries
  // 1, 5, 7 and 11 are -2, 0, 1 and 3.
  TRandGen g;
  g.SetLowBorder(-2);
  g.SetHighBorder(6);
  g.SetResolution(16);

  g.UniformDistri();
  for (int i = 1; i <= 16; ++i) EXPECT_EQ(g.GetProbability(i), 1.0);

  g.NormalDistri(1, 2);
  EXPECT_EQ(g.GetProbability(7), 1.0);
  EXPECT_REL_NEAR(g.GetProbability(1), std::exp(-0.5 * 9 / 4), kTol1);
  EXPECT_REL_NEAR(g.GetProbability(11), std::exp(-0.5 * 4 / 4), kTol1);
  g.NormalDistri(1, 0);  // a spike: 1 at the mean, 0 elsewhere
  EXPECT_EQ(g.GetProbability(7), 1.0);
  EXPECT_EQ(g.GetProbability(8), 0.0);

  // scipy.stats.t.pdf([-2, 0, 3], 5), scipy 1.10.1
  g.tDistri(5);
  EXPECT_REL_NEAR(g.GetProbability(1), 0.06509031032621647, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(5), 0.37960668982249446, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(11), 0.017292578800222967, kTol3);

  // scipy.stats.chi2.pdf([1, 3], 3), scipy 1.10.1; 0 at and below 0 for df 3
  g.Chi2Distri(3);
  EXPECT_EQ(g.GetProbability(1), 0.0);
  EXPECT_EQ(g.GetProbability(5), 0.0);
  EXPECT_REL_NEAR(g.GetProbability(7), 0.2419707245191434, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(11), 0.1541803298037693, kTol3);

  // One degree of freedom: the pole at 0 becomes the bin's mean density,
  // scipy.stats.chi2.cdf(0.5, 1) / 0.5, and chi2.pdf(1, 1), scipy 1.10.1
  g.Chi2Distri(1);
  EXPECT_REL_NEAR(g.GetProbability(5), 1.0409997556260933, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(7), 0.2419707245191434, kTol3);
  EXPECT_TRUE(g.Standardize());
  EXPECT_EQ(g.GetProbability(5), 1.0);
  EXPECT_REL_NEAR(g.GetProbability(7), 0.2419707245191434 / 1.0409997556260933, kTol3);

  // scipy.stats.f.pdf([1, 3], 4, 7), scipy 1.10.1; 0 at and below 0
  g.FDistri(4, 7);
  EXPECT_EQ(g.GetProbability(1), 0.0);
  EXPECT_EQ(g.GetProbability(5), 0.0);
  EXPECT_REL_NEAR(g.GetProbability(7), 0.42813813455400407, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(11), 0.06356530428878356, kTol3);

  // scipy.stats.weibull_min.pdf([1, 3], 1.5, scale=2), scipy 1.10.1
  g.WeibullDistri(1.5, 2);
  EXPECT_EQ(g.GetProbability(1), 0.0);
  EXPECT_REL_NEAR(g.GetProbability(7), 0.372391688219422, kTol3);
  EXPECT_REL_NEAR(g.GetProbability(11), 0.1463042640445423, kTol3);
}

namespace {

struct TFit {
  double Chi2 = 0;
  int Cells = 0;  // cells that can receive draws
};

// Pearson's statistic of the draws counted in half bins against the shape the
// sampler must give: inside bin k the density is proportional to min(1, b(r)),
// b the level interpolated linearly from p(k) to p(k + 1) (to 0 in the last bin),
// averaged here over 256 points of each half.
TFit HalfBinChiSquare(TRandGen& g, int32_t Draws) {
  const int32_t n = g.Resolution();
  std::vector<double> expected(static_cast<size_t>(2 * n), 0.0);
  double total = 0;
  for (int32_t k = 1; k <= n; ++k) {
    const double pk = g.GetProbability(k);
    const double next = k < n ? g.GetProbability(k + 1) : 0.0;
    for (int h = 0; h < 2; ++h) {
      double sum = 0;
      for (int q = 0; q < 256; ++q) {
        const double r = 0.5 * h + (q + 0.5) / 512;
        sum += std::fmin(1.0, pk + (next - pk) * r);
      }
      expected[static_cast<size_t>(2 * (k - 1) + h)] = sum;
      total += sum;
    }
  }
  std::vector<double> observed(expected.size(), 0.0);
  const double lo = g.LowBorder();
  const double width = (g.HighBorder() - lo) / (2 * n);
  for (int32_t d = 0; d < Draws; ++d) {
    const double x = g.GetRandNum();
    EXPECT_GE(x, lo);
    EXPECT_LT(x, g.HighBorder());
    const auto cell = static_cast<size_t>(std::floor((x - lo) / width));
    if (cell < observed.size()) observed[cell] += 1;
  }
  TFit fit;
  for (size_t c = 0; c < expected.size(); ++c) {
    const double e = Draws * expected[c] / total;
    if (e > 0) {
      fit.Chi2 += (observed[c] - e) * (observed[c] - e) / e;
      ++fit.Cells;
    } else {
      EXPECT_EQ(observed[c], 0.0) << "cell " << c;
    }
  }
  return fit;
}

}  // namespace

TEST(TRandGen, DrawsFollowTheTable) {
  // Critical values at alpha = 1e-6 for 17 and 19 degrees of freedom (cells - 1):
  // scipy.stats.chi2.ppf(1 - 1e-6, [17, 19]), scipy 1.10.1
  const double crit17 = 60.13061423590449;
  const double crit19 = 63.67705228560063;
  SetRandSeed(20240611);
  TRandGen g;
  TenBins(g);
  // Bin 6 (p 0 to 0) can never be drawn; bins 5 and 7 fall to and rise from 0.
  const double p[10] = {0.2, 0.5, 1.0, 0.8, 0.3, 0.0, 0.0, 0.6, 0.9, 0.7};
  for (int i = 1; i <= 10; ++i) g.SetProbability(i, p[i - 1]);
  TFit fit = HalfBinChiSquare(g, 200000);
  EXPECT_EQ(fit.Cells, 18);
  EXPECT_LT(fit.Chi2, crit17);

  // All ones: even over every bin but the last, which falls linearly towards
  // HighBorder (its halves hold 3/4 and 1/4 of a full bin's half).
  g.UniformDistri();
  fit = HalfBinChiSquare(g, 200000);
  EXPECT_EQ(fit.Cells, 20);
  EXPECT_LT(fit.Chi2, crit19);

  // Densities above 1 (Weibull shape 4, peak 1.47 near 1): where the level
  // reaches 1 every attempt is accepted.
  g.SetHighBorder(2.5);
  g.WeibullDistri(4, 1);
  EXPECT_GT(g.GetProbability(5), 1.0);
  fit = HalfBinChiSquare(g, 200000);
  EXPECT_EQ(fit.Cells, 20);
  EXPECT_LT(fit.Chi2, crit19);
}

TEST(TRandGen, SeededDrawsRepeatAndZeroTableStaysInside) {
  TRandGen g;
  g.SetLowBorder(-3);
  g.SetHighBorder(4);
  g.NormalDistri(0.5, 1);
  SetRandSeed(77);
  std::vector<double> first;
  for (int i = 0; i < 50; ++i) first.push_back(g.GetRandNum());
  SetRandSeed(77);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(g.Random(), first[static_cast<size_t>(i)]);

  // Every attempt fails on a table of zeros; the last position is returned.
  g.SetResolution(10);
  for (int i = 1; i <= 10; ++i) g.SetProbability(i, 0.0);
  for (int i = 0; i < 5; ++i) {
    const double x = g.GetRandNum();
    EXPECT_GE(x, -3.0);
    EXPECT_LT(x, 4.0);
  }
}
