// TCurveFit: pairs, running sums, descriptive statistics, ANOVA, line, parabola, circle.
#include <cfloat>
#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol0;
using nuv_test::kTol1;
using nuv_test::kTol2;

namespace {

void Enter(TCurveFit& f, const std::vector<double>& x, const std::vector<double>& y) {
  for (size_t i = 0; i < x.size(); ++i) f.EnterStatValue(x[i], y[i]);
}

// The 33 sums in declaration order.
std::vector<Extended> SumList(const TCurveFitSums& s) {
  return {s.sumx,      s.sumy,      s.sumxq,     s.sumyq,     s.sumDiff,   s.SumDiffq,
          s.sumxy,     s.sumx2y,    s.sumxy2,    s.sumx3,     s.sumy3,     s.sumx4,
          s.sumy4,     s.sum1byy,   s.sum1byxy,  s.sum1byyq,  s.sumxbyy,   s.sumybyx,
          s.sum1byx,   s.sum1byxq,  s.sumlnx,    s.sumlnxlny, s.sumlnxq,   s.sumylny,
          s.sumylnx,   s.sumxlnx,   s.sumlnxbyy, s.sumlnybyx, s.sumlny,    s.sumlnyq,
          s.sumxlny,   s.sumxqlny,  s.sumyqlnx};
}

// Each sum's term for a pair of non-zero values, in the same order.
std::vector<Extended> Terms(Extended x, Extended y) {
  const Extended lx = x > 0 ? std::log(x) : 0, ly = y > 0 ? std::log(y) : 0;
  const bool px = x > 0, py = y > 0, both = px && py;
  return {x,           y,           x * x,      y * y,      x - y,       (x - y) * (x - y),
          x * y,       x * x * y,   x * y * y,  x * x * x,  y * y * y,   x * x * x * x,
          y * y * y * y, 1 / y,     1 / (x * y), 1 / (y * y), x / y,     y / x,
          1 / x,       1 / (x * x), lx,         both ? lx * ly : 0, lx * lx, y * ly,
          y * lx,      x * lx,      lx / y,     ly / x,     ly,          ly * ly,
          x * ly,      x * x * ly,  y * y * lx};
}

}  // namespace

TEST(TCurveFit, RunningSumsHoldTheirTermsAndSurviveRemoval) {
  const std::vector<double> x = {1.5, 2.25, 0.4, 7.0, 3.3}, y = {0.8, 5.5, 2.0, 1.25, 9.0};
  TCurveFit f;
  Enter(f, x, y);
  std::vector<Extended> want(33, 0);
  for (size_t i = 0; i < x.size(); ++i) {
    const std::vector<Extended> t = Terms(x[i], y[i]);
    for (size_t k = 0; k < 33; ++k) want[k] += t[k];
  }
  const std::vector<Extended> before = SumList(f.RunningSums());
  for (size_t k = 0; k < 33; ++k)
    EXPECT_REL_NEAR(static_cast<double>(before[k]), static_cast<double>(want[k]), kTol1) << k;
  EXPECT_TRUE(f.ErrIndic().Empty());

  // A pair with a negative x and a negative y leaves the logarithms out and flags both.
  EXPECT_EQ(f.EnterStatValue(-2.5, -1.75), 6);
  EXPECT_TRUE(f.ErrIndic().Contains(cfeXLE0));
  EXPECT_TRUE(f.ErrIndic().Contains(cfeYLE0));
  EXPECT_FALSE(f.ErrIndic().Contains(cfeXEQ0));
  EXPECT_EQ(f.RunningSums().sumlnx, before[20]);
  f.RemoveStatValue(6);
  const std::vector<Extended> after = SumList(f.RunningSums());
  for (size_t k = 0; k < 33; ++k)
    EXPECT_REL_NEAR(static_cast<double>(after[k]), static_cast<double>(before[k]), kTol1) << k;
  // The conditions and the extremes remember the removed pair.
  EXPECT_TRUE(f.ErrIndic().Contains(cfeXLE0));
  EXPECT_EQ(f.MinX(), -2.5);
  EXPECT_EQ(f.MinY(), -1.75);
  EXPECT_EQ(f.MaxY(), 9.0);
  EXPECT_EQ(f.NumData(), 5);

  // A zero x stands in the reciprocal sums as uc_MaxReal; removing it restores them.
  TCurveFit z;
  z.EnterStatValue(0.0, 3.0);
  const TCurveFitSums& s = z.RunningSums();
  EXPECT_TRUE(z.ErrIndic().Contains(cfeXEQ0));
  EXPECT_TRUE(z.ErrIndic().Contains(cfeXLE0));
  EXPECT_FALSE(z.ErrIndic().Contains(cfeYEQ0));
  EXPECT_EQ(s.sum1byx, static_cast<Extended>(uc_MaxReal));
  EXPECT_EQ(s.sum1byxq, static_cast<Extended>(uc_MaxReal) * uc_MaxReal);
  EXPECT_EQ(s.sumybyx, 3 * static_cast<Extended>(uc_MaxReal));
  EXPECT_EQ(s.sum1byxy, static_cast<Extended>(uc_MaxReal) / 3);
  EXPECT_EQ(s.sumlnybyx, 0);
  EXPECT_REL_NEAR(static_cast<double>(s.sumlny), std::log(3.0), kTol0);
  z.RemoveStatValue(1);
  for (Extended v : SumList(z.RunningSums())) EXPECT_EQ(v, 0);

  // Both zero: 1/(xy) takes M once; a y of 1e-31 counts as zero, yet its exact test
  // for ln x / y still adds the quotient.
  TCurveFit zz;
  zz.EnterStatValue(0.0, 0.0);
  EXPECT_EQ(zz.RunningSums().sum1byxy, static_cast<Extended>(uc_MaxReal));
  EXPECT_EQ(zz.ErrIndic().Bits, 0x0F);
  TCurveFit tiny;
  tiny.EnterStatValue(2.0, 1e-31);
  EXPECT_TRUE(tiny.ErrIndic().Contains(cfeYEQ0));
  EXPECT_FALSE(tiny.ErrIndic().Contains(cfeYLE0));
  EXPECT_EQ(tiny.RunningSums().sum1byy, static_cast<Extended>(uc_MaxReal));
  EXPECT_REL_NEAR(static_cast<double>(tiny.RunningSums().sumlnxbyy), std::log(2.0) / 1e-31, kTol1);
}

TEST(TCurveFit, StoresRemovesAndGrowsPairs) {
  TCurveFit f;
  EXPECT_EQ(f.NumData(), 0);
  EXPECT_EQ(f.MinX(), uc_MaxDouble);
  EXPECT_EQ(f.MaxY(), -uc_MaxDouble);
  for (int i = 1; i <= 2500; ++i) EXPECT_EQ(f.EnterStatValue(i, -i), i);
  for (int i : {1, 999, 1000, 1001, 2500}) {
    EXPECT_EQ(f.GetDataX(i), i);
    EXPECT_EQ(f.GetDataY(i), -i);
  }
  EXPECT_EQ(f.GetDataX(0), 0.0);
  EXPECT_EQ(f.GetDataY(2501), 0.0);
  f.Init();
  for (int i = 1; i <= 300; ++i) f.EnterStatValue(i, 2 * i);
  f.RemoveStatValue(1);
  ASSERT_EQ(f.NumData(), 299);
  for (int i = 1; i <= 299; ++i) ASSERT_EQ(f.GetDataX(i), i + 1);
  f.RemoveStatValue(0);
  f.RemoveStatValue(300);
  EXPECT_EQ(f.NumData(), 299);
  f.RemoveStatValue(150);
  EXPECT_EQ(f.GetDataX(149), 150);
  EXPECT_EQ(f.GetDataX(150), 152);
  EXPECT_EQ(f.GetDataY(298), 600);
  EXPECT_REL_NEAR(f.GetMeanX(), (45150.0 - 1 - 151) / 298, kTol1);
  f.Init();
  EXPECT_EQ(f.NumData(), 0);
  EXPECT_EQ(f.GetMeanX(), 0.0);
  EXPECT_EQ(f.GetDataX(1), 0.0);
}

TEST(TCurveFit, FlipXYEqualsEnteringTheExchangedPairs) {
  // Zero and negative x with positive y: the conditions differ between the columns.
  const std::vector<double> x = {0.0, 1.5, -2.0, 4.25, 3.0, 1e-31}, y = {2.0, 0.5, 3.5, 1.0, 6.0, 2.5};
  TCurveFit f, g;
  Enter(f, x, y);
  Enter(g, y, x);
  const double meanY = f.GetMeanY(), meanDiff = f.GetMeanDiff(), sdDiff = f.GetStdDevDiff();
  f.FlipXY();
  const std::vector<Extended> a = SumList(f.RunningSums()), b = SumList(g.RunningSums());
  for (size_t k = 0; k < 33; ++k) EXPECT_EQ(a[k], b[k]) << k;
  // The conditions belong to the values and move with them.
  EXPECT_EQ(f.ErrIndic().Bits, g.ErrIndic().Bits);
  EXPECT_EQ(f.MinX(), g.MinX());
  EXPECT_EQ(f.MaxY(), g.MaxY());
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(f.GetDataX(i), y[i - 1]);
    EXPECT_EQ(f.GetDataY(i), x[i - 1]);
  }
  EXPECT_EQ(f.GetMeanX(), meanY);
  EXPECT_EQ(f.GetMeanDiff(), -meanDiff);
  EXPECT_EQ(f.GetStdDevDiff(), sdDiff);
}

TEST(TCurveFit, StatisticsFromTheSumsAndThePairs) {
  TCurveFit f;
  int32_t n = -1;
  double mx = 1, my = 1, sx = 1, sy = 1, md = 1, sd = 1, r = 1;
  f.CalcStatistics(n, mx, my, sx, sy, md, sd, r);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(mx + my + sx + sy + md + sd + r, 0.0);
  // Two pairs give means but neither deviations nor r.
  f.EnterStatValue(1, 3);
  f.EnterStatValue(2, 5);
  EXPECT_EQ(f.GetStdDevX(), 0.0);
  EXPECT_EQ(f.GetRxy(), 0.0);
  f.CalcStatistics(n, mx, my, sx, sy, md, sd, r);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(mx, 1.5);
  EXPECT_EQ(sx, 0.0);
  f.Init();
  // Sxx = 10, Syy = 6, Sxy = 6: r = 6 / sqrt(60); x - y = -1, -2, -2, 0, 0.
  Enter(f, {1, 2, 3, 4, 5}, {2, 4, 5, 4, 5});
  f.CalcStatistics(n, mx, my, sx, sy, md, sd, r);
  EXPECT_EQ(n, 5);
  EXPECT_REL_NEAR(mx, 3.0, kTol1);
  EXPECT_REL_NEAR(my, 4.0, kTol1);
  EXPECT_REL_NEAR(sx, std::sqrt(2.5), kTol1);
  EXPECT_REL_NEAR(sy, std::sqrt(1.5), kTol1);
  EXPECT_REL_NEAR(md, -1.0, kTol1);
  EXPECT_REL_NEAR(sd, 1.0, kTol1);
  EXPECT_REL_NEAR(r, 6 / std::sqrt(60.0), kTol1);
  EXPECT_EQ(f.GetRxy(), r);
  // A constant y has no correlation.
  TCurveFit c;
  Enter(c, {1, 2, 3}, {4, 4, 4});
  EXPECT_EQ(c.GetRxy(), 0.0);

  double q1, q2, q3;
  TCurveFit e;
  EXPECT_FALSE(e.QuartilesX(q1, q2, q3));
  EXPECT_EQ(q1 + q2 + q3, 0.0);
  Enter(e, {4, 1, 3, 2}, {10, 1, 2, 3});
  ASSERT_TRUE(e.QuartilesX(q1, q2, q3));
  EXPECT_EQ(q1, 1.25);
  EXPECT_EQ(q2, 2.5);
  EXPECT_EQ(q3, 3.75);
  EXPECT_EQ(e.GetSkewnessX(), 0.0);  // fewer than four values below
  e.EnterStatValue(10, 4);
  // scipy.stats.skew([1, 2, 3, 4, 10], bias=False), scipy.stats.kurtosis(..., bias=False)
  EXPECT_REL_NEAR(e.GetSkewnessX(), 1.697056274847714, kTol2);
  EXPECT_REL_NEAR(e.GetKurtosisX(), 3.152000000000001, kTol2);
  EXPECT_REL_NEAR(e.GetSkewnessY(), 1.697056274847714, kTol2);
  EXPECT_REL_NEAR(e.GetKurtosisY(), 3.152000000000001, kTol2);
  ASSERT_TRUE(e.QuartilesY(q1, q2, q3));
  EXPECT_EQ(q2, 3.0);
}

TEST(TCurveFit, MeanAnglesStayInTheCircle) {
  const auto mean = [](std::vector<double> v) {
    TCurveFit f;
    for (double a : v) f.EnterStatValue(a, a);
    return f.GetMeanXDegrees();
  };
  EXPECT_REL_NEAR(mean({170, 190}), 180.0, kTol2);
  EXPECT_REL_NEAR(mean({300, 340}), 320.0, kTol2);
  EXPECT_REL_NEAR(mean({10, 30}), 20.0, kTol2);
  // A cosine sum of exactly 0 takes the sign of the sine sum.
  EXPECT_EQ(mean({0, 180}), 90.0);
  EXPECT_EQ(mean({360, 180}), 270.0);
  EXPECT_EQ(mean({}), 0.0);
  // The sine sum of 10 and 350 rounds to -9e-16: the direction is 0, not 360.
  const double d = mean({10, 350});
  EXPECT_LT(d, 360.0);
  EXPECT_NEAR(d, 0.0, 1e-12);
  TCurveFit f;
  f.EnterStatValue(0, 100);
  f.EnterStatValue(0, 140);
  EXPECT_REL_NEAR(f.GetMeanYDegrees(), 120.0, kTol2);
}

TEST(TCurveFit, AnovaOfARegression) {
  TCurveFit f;
  // Observed 1..5 against estimates that are off by +-0.5 at two points.
  Enter(f, {1, 2, 3, 4, 5}, {1.5, 2, 3, 4, 4.5});
  int32_t dfreg, dfres, dftot;
  double SSE, SSR, SST, MSE, MSR, F;
  f.CalcAnovaReg(1, true, dfreg, dfres, dftot, SSE, SSR, SST, MSE, MSR, F);
  EXPECT_EQ(dfreg, 1);
  EXPECT_EQ(dftot, 4);
  EXPECT_EQ(dfres, 3);
  EXPECT_REL_NEAR(SSE, 0.5, kTol1);
  EXPECT_REL_NEAR(SST, 10.0, kTol1);        // about the mean 3
  EXPECT_REL_NEAR(SSR, 6.5, kTol1);         // (y - 3)^2 summed
  EXPECT_REL_NEAR(MSE, 0.5 / 3, kTol1);
  EXPECT_REL_NEAR(MSR, 6.5, kTol1);
  EXPECT_REL_NEAR(F, 39.0, kTol1);
  f.CalcAnovaReg(2, false, dfreg, dfres, dftot, SSE, SSR, SST, MSE, MSR, F);
  EXPECT_EQ(dftot, 5);
  EXPECT_EQ(dfres, 3);
  EXPECT_REL_NEAR(SST, 55.0, kTol1);
  EXPECT_REL_NEAR(SSR, 1.5 * 1.5 + 4 + 9 + 16 + 4.5 * 4.5, kTol1);
  // SSE = 0: a perfect estimate.
  TCurveFit p;
  Enter(p, {1, 2, 4}, {1, 2, 4});
  p.CalcAnovaReg(1, true, dfreg, dfres, dftot, SSE, SSR, SST, MSE, MSR, F);
  EXPECT_EQ(SSE, 0.0);
  EXPECT_EQ(F, 1e10);
  // No residual degree of freedom: the mean square is 0 and so is F, never inf or NaN.
  p.CalcAnovaReg(2, true, dfreg, dfres, dftot, SSE, SSR, SST, MSE, MSR, F);
  EXPECT_EQ(dfres, 0);
  EXPECT_EQ(MSE, 0.0);
  EXPECT_EQ(F, 0.0);
}

TEST(TCurveFit, LineParabolaAndCircle) {
  TCurveFit f;
  double k = 1, d = 1, q = 1;
  EXPECT_THROW_MSG(f.CalcLinFit(k, d, q), ENUVMath2Error, "CalcLinFit: not enough data points");
  EXPECT_EQ(k + d + q, 0.0);
  Enter(f, {1, 2, 3}, {2, 4, 6});
  f.CalcLinFit(k, d, q);
  EXPECT_REL_NEAR(k, 2.0, kTol1);
  EXPECT_NEAR(d, 0.0, kTol1);
  EXPECT_REL_NEAR(q, 1.0, kTol1);
  // Least squares through (0, 1), (1, 2), (2, 2), (3, 4): Sxx = 5, Syy = 4.75, Sxy = 4.5.
  TCurveFit g;
  Enter(g, {0, 1, 2, 3}, {1, 2, 2, 4});
  g.CalcLinFit(k, d, q);
  EXPECT_REL_NEAR(k, 0.9, kTol1);
  EXPECT_REL_NEAR(d, 0.9, kTol1);
  EXPECT_REL_NEAR(q, 4.5 * 4.5 / (5 * 4.75), kTol1);
  TCurveFit v;
  Enter(v, {2, 2, 2}, {1, 5, 3});
  v.CalcLinFit(k, d, q);
  EXPECT_EQ(k, 0.0);
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(q, 0.0);

  double k0 = 1, k1 = 1, k2 = 1;
  g.RemoveStatValue(4);
  g.RemoveStatValue(3);
  EXPECT_THROW_MSG(g.CalcParabolFit(k0, k1, k2, q), ENUVMath2Error,
                   "CalcParabolFit: not enough data points");
  EXPECT_EQ(k0 + k1 + k2 + q, 0.0);
  TCurveFit p;
  for (double x : {-2.0, -0.5, 1.0, 2.5, 4.0, 7.0}) p.EnterStatValue(x, 3 - 2 * x + 0.5 * x * x);
  p.CalcParabolFit(k0, k1, k2, q);
  EXPECT_REL_NEAR(k0, 3.0, kTol2);
  EXPECT_REL_NEAR(k1, -2.0, kTol2);
  EXPECT_REL_NEAR(k2, 0.5, kTol2);
  EXPECT_REL_NEAR(q, 1.0, kTol2);

  double r = 1, dx = 1, dy = 1;
  TCurveFit c;
  Enter(c, {6, 1}, {2, 7});
  EXPECT_THROW_MSG(c.CalcCircleFit(r, dx, dy), ENUVMath2Error,
                   "CalcCircleFit: not enough data points");
  EXPECT_EQ(r + dx + dy, 0.0);
  // (1 + 5 cos t, 2 + 5 sin t) for t = 0, 90, 180, 270 degrees and a 3-4-5 point.
  Enter(c, {-4, 1, 4}, {2, -3, 6});
  c.CalcCircleFit(r, dx, dy);
  EXPECT_REL_NEAR(r, 5.0, kTol2);
  EXPECT_REL_NEAR(dx, 1.0, kTol2);
  EXPECT_REL_NEAR(dy, 2.0, kTol2);
  TCurveFit l;
  Enter(l, {0, 1, 2}, {1, 3, 5});
  EXPECT_THROW_MSG(l.CalcCircleFit(r, dx, dy), ENUVMath2Error, "CalcCircleFit: radius is infinite");
}
