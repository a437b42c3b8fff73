// One-way analysis of variance and PercentileOfArray.
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

struct TAnovaOut {
  double SSb = -7, SSw = -7, SSt = -7, F = -7;
  int32_t dfB = -7, dfW = -7, dfT = -7;
  double Run(const TVector& d, const TIntVector& g) {
    return Anova1F(&d, &g, SSb, SSw, SSt, dfB, dfW, dfT, F);
  }
};

void SetGroups(TIntVector& g, const std::vector<int32_t>& ids) {
  g.Resize(static_cast<int32_t>(ids.size()));
  for (size_t i = 0; i < ids.size(); ++i) g.SetVal(static_cast<int32_t>(i + 1), ids[i]);
}

}  // namespace

TEST(Anova1F, AgainstScipyWithGroupsInAnyOrder) {
  TVector d;
  TIntVector g;
  SetValues(d, kAnovaData);
  SetValues(g, kAnovaGroups);
  TAnovaOut o;
  const double p = o.Run(d, g);
  // scipy.stats.f_oneway(g1, g2, g3); sums of squares by numpy from the centred groups
  EXPECT_REL_NEAR(p, kAnovaP, 1e-13);
  EXPECT_REL_NEAR(o.F, kAnovaF, 1e-13);
  EXPECT_REL_NEAR(o.SSb, kAnovaSSB, 1e-13);
  EXPECT_REL_NEAR(o.SSw, kAnovaSSW, 1e-13);
  EXPECT_REL_NEAR(o.SSt, kAnovaSSB + kAnovaSSW, 1e-13);
  EXPECT_EQ(o.dfB, 2);
  EXPECT_EQ(o.dfW, 20);
  EXPECT_EQ(o.dfT, 22);
}

TEST(Anova1F, DataNearOneHundredMillionKeepTheirSumsOfSquares) {
  // Raw sums of x and x^2 lose everything here (x^2 = 1e16 has an ulp of 2).
  TVector d;
  TIntVector g;
  SetValues(d, kAnovaBigData);
  SetGroups(g, {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3});
  TAnovaOut o;
  const double p = o.Run(d, g);
  // exact rational sums of squares of the same doubles; scipy.stats.f.sf for p
  EXPECT_REL_NEAR(o.SSb, kAnovaBigSSB, 1e-13);
  EXPECT_REL_NEAR(o.SSw, kAnovaBigSSW, 1e-13);
  EXPECT_REL_NEAR(o.SSt, kAnovaBigSSB + kAnovaBigSSW, 1e-13);
  EXPECT_REL_NEAR(o.F, kAnovaBigF, 1e-13);
  EXPECT_REL_NEAR(p, kAnovaBigP, 1e-12);
}

TEST(Anova1F, CodesAndWhatTheyLeave) {
  TVector d;
  TIntVector g;
  TAnovaOut o;
  SetValues(d, {1.0, 2.0, 3.0, 4.0});
  SetGroups(g, {5, 5, 5, 5});
  EXPECT_EQ(o.Run(d, g), -1.0);  // one group
  EXPECT_EQ(o.SSb, -7.0);
  EXPECT_EQ(o.dfT, -7);
  SetGroups(g, {1, 2, 3, 4});
  EXPECT_EQ(o.Run(d, g), -2.0);  // as many groups as values
  EXPECT_EQ(o.F, -7.0);
  // identical values in two groups: no variation at all
  SetValues(d, {0.1, 0.1, 0.1, 0.1, 0.1});
  SetGroups(g, {1, 2, 1, 2, 2});
  EXPECT_EQ(o.Run(d, g), -3.0);
  EXPECT_EQ(o.F, 0.0);
  EXPECT_EQ(o.SSb, 0.0);
  EXPECT_EQ(o.SSw, 0.0);
  EXPECT_EQ(o.dfB, 1);
  EXPECT_EQ(o.dfW, 3);
  // constant within, different between: F = uc_MaxReal, p = 0
  SetValues(d, {0.1, 0.3, 0.1, 0.3, 0.3});
  EXPECT_EQ(o.Run(d, g), 0.0);
  EXPECT_EQ(o.F, uc_MaxReal);
  EXPECT_GT(o.SSb, 0.0);
  EXPECT_EQ(o.SSw, 0.0);
  // values beyond the shorter vector take no part
  SetValues(d, {1.0, 2.0, 3.0, 5.0, 1000.0});
  SetGroups(g, {1, 1, 2, 2});
  const double p = o.Run(d, g);
  EXPECT_EQ(o.dfT, 3);
  EXPECT_DOUBLE_EQ(o.SSw, 2.5);
  EXPECT_DOUBLE_EQ(o.SSb, 6.25);
  EXPECT_GT(p, 0.0);
  EXPECT_EQ(Anova1F(nullptr, &g, o.SSb, o.SSw, o.SSt, o.dfB, o.dfW, o.dfT, o.F), -1.0);
}

TEST(Anova1F, UpperTailKeepsSmallPValues) {
  // 4 groups of 11 values with F = 250 exactly: scipy.stats.f.sf(250, 3, 40) = 6.2e-26
  TVector d;
  TIntVector g;
  std::vector<double> x;
  std::vector<int32_t> ids;
  const double offsets[11] = {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5};  // SS 110 per group
  for (int32_t grp = 0; grp < 4; ++grp)
    for (const double e : offsets) {
      x.push_back(e);
      ids.push_back(grp);
    }
  // group means -3a, -a, a, 3a with 11 (9 + 1 + 1 + 9) a^2 = SSb = 3 * 250 * 440/40
  const double a = std::sqrt(37.5);
  const double shift[4] = {-3 * a, -a, a, 3 * a};
  for (size_t i = 0; i < x.size(); ++i) x[i] += shift[static_cast<size_t>(ids[i])];
  SetValues(d, x);
  SetGroups(g, ids);
  TAnovaOut o;
  const double p = o.Run(d, g);
  EXPECT_REL_NEAR(o.F, 250.0, 1e-13);
  EXPECT_REL_NEAR(p, kAnovaStrongP, 1e-10);
}

TEST(PercentileOfArray, PositionsInsideTheRange) {
  std::vector<double> a = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  double v = -1;
  // low = 0: k = round(p/100 (n)), as far as it stays in the range
  EXPECT_EQ(PercentileOfArray(a, 50, 0, 9, v), 0);
  EXPECT_EQ(v, 5.0);
  EXPECT_EQ(PercentileOfArray(a, 25, 0, 9, v), 0);
  EXPECT_EQ(v, 2.0);  // round(2.5) = 2, halves to even
  EXPECT_EQ(PercentileOfArray(a, 0, 0, 9, v), 0);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(PercentileOfArray(a, 100, 0, 9, v), 0);
  EXPECT_EQ(v, 9.0);  // clipped to the last index of the range
  // low > 0: the position counts from low, and only low..high is reordered
  a = {100, -100, 9, 8, 7, 6, 5, 50, -50};
  EXPECT_EQ(PercentileOfArray(a, 0, 2, 6, v), 0);
  EXPECT_EQ(v, 5.0);
  EXPECT_EQ(PercentileOfArray(a, 50, 2, 6, v), 0);
  EXPECT_EQ(v, 7.0);  // k = 2 + round(2.5) = 4
  EXPECT_EQ(PercentileOfArray(a, 100, 2, 6, v), 0);
  EXPECT_EQ(v, 9.0);
  EXPECT_EQ(a[0], 100.0);
  EXPECT_EQ(a[1], -100.0);
  EXPECT_EQ(a[7], 50.0);
  EXPECT_EQ(a[8], -50.0);
  // one element
  EXPECT_EQ(PercentileOfArray(a, 37, 5, 5, v), 0);
  EXPECT_EQ(v, a[5]);
}

TEST(PercentileOfArray, TheLastFailingCheckGivesTheCode) {
  std::vector<double> a = {3, 1, 2};
  const std::vector<double> before = a;
  double v = 5;
  EXPECT_EQ(PercentileOfArray(a, 50, -1, 2, v), -1);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(PercentileOfArray(a, 50, 0, 3, v), -1);
  EXPECT_EQ(PercentileOfArray(a, 50, 2, 1, v), -3);
  EXPECT_EQ(PercentileOfArray(a, 150, 2, 1, v), -2);  // the percent test comes last
  EXPECT_EQ(PercentileOfArray(a, -1, 5, 1, v), -2);   // all three fail
  EXPECT_EQ(PercentileOfArray(a, 50, 5, 1, v), -3);   // outside, then reversed
  EXPECT_EQ(PercentileOfArray(a, std::nan(""), 0, 2, v), -2);
  EXPECT_EQ(a, before);
  std::vector<double> empty;
  EXPECT_EQ(PercentileOfArray(empty, 50, 0, 0, v), -1);
}
