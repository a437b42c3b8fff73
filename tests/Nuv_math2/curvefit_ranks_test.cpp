// TCurveFit: Spearman's rho, Kendall's tau and Kruskal's gamma.
#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol2;

namespace {

#include "Nuv_math2/reference/curvefit_reference.inc"

// Reads the cached pair counts.
class CountProbe : public TCurveFit {
 public:
  void Counts(int64_t& C, int64_t& D, int64_t& T1, int64_t& T2) const {
    double p;
    KendallsTau(p);
    C = FKendallConcord;
    D = FKendallDiscord;
    T1 = FKendallTies1;
    T2 = FKendallTies2;
  }
};

// Every pair of pairs classified by the signs of its differences; a NaN counts nowhere.
void AllPairs(const std::vector<double>& x, const std::vector<double>& y, int64_t& C, int64_t& D,
              int64_t& T1, int64_t& T2) {
  C = D = T1 = T2 = 0;
  for (size_t i = 0; i < x.size(); ++i)
    for (size_t j = i + 1; j < x.size(); ++j) {
      if (std::isnan(x[i]) || std::isnan(x[j]) || std::isnan(y[i]) || std::isnan(y[j])) continue;
      const int sx = x[i] < x[j] ? -1 : (x[j] < x[i] ? 1 : 0);
      const int sy = y[i] < y[j] ? -1 : (y[j] < y[i] ? 1 : 0);
      if (sx * sy > 0) ++C;
      if (sx * sy < 0) ++D;
      if (sx != 0 && sy == 0) ++T1;
      if (sx == 0 && sy != 0) ++T2;
    }
}

}  // namespace

TEST(TCurveFitRanks, AgainstScipyOnDataWithTies) {
  TCurveFit f;
  for (size_t i = 0; i < std::size(kRankX); ++i) f.EnterStatValue(kRankX[i], kRankY[i]);
  EXPECT_REL_NEAR(f.GetSpearman(), kRankSpearman, kTol2);
  double p = -1;
  EXPECT_REL_NEAR(f.KendallsTau(p), kRankTau, kTol2);
  // ErfApprox is good to about 1e-7.
  EXPECT_NEAR(p, kRankTauP, 2e-7);
  EXPECT_REL_NEAR(f.GetKruskalGamma(), kRankGamma, kTol2);
  // The counts are cached until the pairs change.
  f.EnterStatValue(0, 7);
  EXPECT_NE(f.KendallsTau(p), kRankTau);
  f.RemoveStatValue(f.NumData());
  EXPECT_REL_NEAR(f.KendallsTau(p), kRankTau, kTol2);
}

TEST(TCurveFitRanks, CountsEqualTheAllPairsDefinition) {
  SetRandSeed(4711);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int n : {3, 4, 15, 16, 17, 33, 64, 250, 1111}) {
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
      // Few distinct values, so ties of every kind are frequent; -0 ties with 0.
      const int a = Random(7), b = Random(6);
      x[i] = a == 0 ? -0.0 : (a == 1 ? 0.0 : (a == 6 ? inf : a - 3.5));
      y[i] = b == 5 ? -inf : b * 0.75;
    }
    if (n > 20) {
      x[3] = nan;
      y[11] = nan;
    }
    CountProbe f;
    for (int i = 0; i < n; ++i) f.EnterStatValue(x[i], y[i]);
    int64_t C, D, T1, T2, c, d, t1, t2;
    f.Counts(C, D, T1, T2);
    AllPairs(x, y, c, d, t1, t2);
    EXPECT_EQ(C, c) << n;
    EXPECT_EQ(D, d) << n;
    EXPECT_EQ(T1, t1) << n;
    EXPECT_EQ(T2, t2) << n;
    // Exchanging x and y exchanges the two kinds of ties.
    f.FlipXY();
    f.Counts(C, D, T1, T2);
    EXPECT_EQ(C, c);
    EXPECT_EQ(T1, t2);
    EXPECT_EQ(T2, t1);
  }
}

TEST(TCurveFitRanks, LargeCountsTinyDifferencesAndDegenerateData) {
  // 70000 rising pairs make 2449965000 concordant pairs, beyond 32 bits.
  CountProbe f;
  for (int i = 0; i < 70000; ++i) f.EnterStatValue(i, 3.0 * i);
  int64_t C, D, T1, T2;
  f.Counts(C, D, T1, T2);
  EXPECT_EQ(C, int64_t{70000} * 69999 / 2);
  double p = -1;
  EXPECT_EQ(f.KendallsTau(p), 1.0);
  EXPECT_EQ(f.GetKruskalGamma(), 1.0);
  EXPECT_EQ(f.GetSpearman(), 1.0);
  // Differences of 1e-200 have a product that underflows: their signs still order them.
  TCurveFit t;
  for (int i = 1; i <= 5; ++i) t.EnterStatValue(i * 1e-200, -i * 1e-200);
  EXPECT_EQ(t.KendallsTau(p), -1.0);
  EXPECT_EQ(t.GetKruskalGamma(), -1.0);
  EXPECT_EQ(t.GetSpearman(), -1.0);

  TCurveFit e;
  EXPECT_EQ(e.KendallsTau(p), 0.0);
  EXPECT_EQ(p, 0.0);
  e.EnterStatValue(1, 2);
  e.EnterStatValue(2, 1);
  EXPECT_EQ(e.GetSpearman(), 0.0);  // fewer than three pairs
  EXPECT_EQ(e.KendallsTau(p), 0.0);
  e.EnterStatValue(3, 0);
  EXPECT_REL_NEAR(e.GetSpearman(), -1.0, kTol1);
  // Constant x: no ranks to correlate, and no pair is concordant or discordant.
  TCurveFit c;
  for (double y : {3.0, 1.0, 2.0, 5.0}) c.EnterStatValue(4, y);
  EXPECT_EQ(c.GetSpearman(), 0.0);
  p = -1;
  EXPECT_EQ(c.KendallsTau(p), 0.0);
  EXPECT_EQ(p, 0.0);
  EXPECT_EQ(c.GetKruskalGamma(), 0.0);
  c.EnterStatValue(std::numeric_limits<double>::quiet_NaN(), 1);
  EXPECT_TRUE(std::isnan(c.GetSpearman()));
}
