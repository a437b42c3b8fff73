// Splines: TCurveFit's interpolating and penalised splines against
// scipy.interpolate.CubicSpline and make_smoothing_spline, and PenalizedCubicSpline.
#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

#include "Nuv_math2/reference/curvefit_reference.inc"

void LoadSpline(TCurveFit& f) {
  f.Init();
  for (size_t i = 0; i < std::size(kSplX); ++i) f.EnterStatValue(kSplX[i], kSplY[i]);
}

template <class Eval>
void ExpectAlong(Eval eval, const double* want, double tol) {
  for (size_t i = 0; i < std::size(kSplT); ++i)
    EXPECT_NEAR(eval(kSplT[i]), want[i], tol * (1 + std::fabs(want[i]))) << kSplT[i];
}

// The distinct x of the spline data with the mean y at each.
void Knots(TVector& x, TVector& y) {
  std::vector<double> kx, ky;
  for (size_t i = 0; i < std::size(kSplX); ++i) {
    if (!kx.empty() && kx.back() == kSplX[i]) {
      ky.back() = (ky.back() + kSplY[i]) / 2;  // the one double knot
    } else {
      kx.push_back(kSplX[i]);
      ky.push_back(kSplY[i]);
    }
  }
  x.Resize(static_cast<int32_t>(kx.size()));
  y.Resize(static_cast<int32_t>(kx.size()));
  std::copy(kx.begin(), kx.end(), x.Data());
  std::copy(ky.begin(), ky.end(), y.Data());
}

}  // namespace

TEST(TCurveFitSpline, InterpolatingAgainstScipyCubicSpline) {
  TCurveFit f;
  LoadSpline(f);
  const auto spl = [&f](double t) { return f.CubicSpline(t); };
  // scipy.interpolate.CubicSpline(knots, mean y, bc_type=...) at 33 points.
  ExpectAlong(spl, kSplNatural, 1e-13);
  // Each setting takes effect at once; the end slopes by differences of 1e-7.
  const auto slope = [&f](double t) { return (f.CubicSpline(t + 1e-7) - f.CubicSpline(t)) / 1e-7; };
  f.SetSplineNaturalN(false);
  EXPECT_NEAR(slope(8.0 - 1e-7), 0.0, 1e-5);
  f.SetSplineNatural1(false);
  EXPECT_NEAR(slope(0.0), 0.0, 1e-5);
  f.SetSplineDerivY1(0.8);
  EXPECT_NEAR(slope(0.0), 0.8, 1e-5);
  f.SetSplineDerivYN(-1.2);
  ExpectAlong(spl, kSplClamped, 1e-13);
  f.SetSplineNatural1(true);
  ExpectAlong(spl, kSplMixed, 1e-13);
  // Beyond the ends the spline is the straight line with the end slope.
  EXPECT_NEAR(f.CubicSpline(10.0) - f.CubicSpline(8.0), -2.4, 1e-13);
  const double h = 1e-6, y0 = f.CubicSpline(0.0);
  EXPECT_NEAR((f.CubicSpline(-2.0) - y0) / -2.0, (f.CubicSpline(h) - y0) / h, 1e-5);
  EXPECT_NEAR(f.CubicSpline(-2.0) - f.CubicSpline(-1.0), f.CubicSpline(-1.0) - y0, 1e-13);
  // A new pair rebuilds the knots.
  f.EnterStatValue(9.0, 5.0);
  EXPECT_NEAR(f.CubicSpline(9.0), 5.0, 1e-14);
  EXPECT_TRUE(std::isnan(f.CubicSpline(std::numeric_limits<double>::quiet_NaN())));

  TCurveFit g;
  EXPECT_EQ(g.CubicSpline(1.0), 0.0);
  g.EnterStatValue(2.0, 3.0);
  g.EnterStatValue(2.0, 5.0);
  EXPECT_EQ(g.CubicSpline(-7.0), 4.0);  // one knot
  g.EnterStatValue(4.0, 8.0);
  EXPECT_NEAR(g.CubicSpline(3.0), 6.0, 1e-15);  // two natural ends: the line
  g.EnterStatValue(std::numeric_limits<double>::infinity(), 1.0);
  EXPECT_TRUE(std::isnan(g.CubicSpline(3.0)));
}

TEST(TCurveFitSpline, SmoothedAgainstScipyMakeSmoothingSpline) {
  TCurveFit f;
  LoadSpline(f);
  double q = -1;
  bool valid = false;
  const auto spl = [&](double t) { return f.SmoothedSpline(t, q, valid); };
  // make_smoothing_spline(knots, mean y, w=counts, lam=factor * h^3), h the mean spacing;
  // its fit quality over the 14 pairs.
  ExpectAlong(spl, kSplSmoothHalf, 1e-12);
  EXPECT_TRUE(valid);
  EXPECT_NEAR(q, kSplSmoothHalfFitQual, 1e-12);
  f.SetSplineSmoothingFactor(10.0);
  ExpectAlong(spl, kSplSmoothTen, 1e-12);
  EXPECT_NEAR(q, kSplSmoothTenFitQual, 1e-12);
  // Factor 0 interpolates the knots; an infinite one is the least-squares line.
  f.SetSplineSmoothingFactor(0.0);
  for (double t : {0.4, 2.5, 6.6}) EXPECT_NEAR(spl(t), f.CubicSpline(t), 1e-13);
  f.SetSplineSmoothingFactor(std::numeric_limits<double>::infinity());
  double k, d, lq;
  f.CalcLinFit(k, d, lq);
  for (double t : {-1.0, 0.0, 3.3, 8.0, 12.0}) EXPECT_NEAR(spl(t), k * t + d, 1e-12);
  EXPECT_NEAR(q, lq, 1e-12);
  f.SetSplineSmoothingFactor(-1.0);
  EXPECT_EQ(spl(1.0), 0.0);
  EXPECT_FALSE(valid);
  EXPECT_EQ(q, 0.0);
  TCurveFit g;
  g.SmoothedSpline(1.0, q, valid);
  EXPECT_FALSE(valid);
  g.EnterStatValue(1.0, 2.0);
  EXPECT_EQ(g.SmoothedSpline(5.0, q, valid), 2.0);
  EXPECT_TRUE(valid);
  EXPECT_EQ(q, 1.0);
  g.EnterStatValue(std::numeric_limits<double>::quiet_NaN(), 2.0);
  g.SmoothedSpline(5.0, q, valid);
  EXPECT_FALSE(valid);
}

TEST(PenalizedCubicSpline, AgainstScipyAndItsRefusals) {
  TVector x, y, w, g, m;
  Knots(x, y);
  const int n = x.NrOfElem();
  const struct {
    double lam;
    const double* want;
  } cases[] = {{0.01, kPen001}, {1.0, kPen1}, {100.0, kPen100}};
  // scipy.interpolate.make_smoothing_spline(x, y, lam=lam)(x)
  for (const auto& c : cases) {
    ASSERT_TRUE(PenalizedCubicSpline(&x, &y, nullptr, c.lam, &g, &m));
    ASSERT_EQ(g.NrOfElem(), n);
    ASSERT_EQ(m.NrOfElem(), n);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(g.GetVal(i + 1), c.want[i], 1e-12) << c.lam << " " << i;
    EXPECT_EQ(m.GetVal(1), 0.0);
    EXPECT_EQ(m.GetVal(n), 0.0);
  }
  w.Resize(n);
  for (int i = 1; i <= n; ++i) w.SetVal(i, i);
  // make_smoothing_spline(x, y, w=1..n, lam=1)(x)
  ASSERT_TRUE(PenalizedCubicSpline(&x, &y, &w, 1.0, &g, nullptr));
  for (int i = 0; i < n; ++i) EXPECT_NEAR(g.GetVal(i + 1), kPenW1[i], 1e-12) << i;
  // Lambda 0 interpolates; the output may be the input.
  TVector yy;
  yy.Clone(&y);
  ASSERT_TRUE(PenalizedCubicSpline(&x, &yy, nullptr, 0.0, &yy, nullptr));
  for (int i = 1; i <= n; ++i) EXPECT_EQ(yy.GetVal(i), y.GetVal(i));

  g.Resize(3);
  g.Fill(9.0);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, nullptr, -1.0, &g, nullptr));
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, nullptr, std::nan(""), &g, nullptr));
  EXPECT_FALSE(PenalizedCubicSpline(nullptr, &y, nullptr, 1.0, &g, nullptr));
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, nullptr, 1.0, nullptr, nullptr));
  w.SetVal(2, 0.0);
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, &w, 1.0, &g, nullptr));
  w.SetVal(2, inf);
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, &w, 1.0, &g, nullptr));
  w.Resize(n - 1);
  EXPECT_FALSE(PenalizedCubicSpline(&x, &y, &w, 1.0, &g, nullptr));
  TVector bad;
  bad.Clone(&x);
  bad.SetVal(4, bad.GetVal(3));
  EXPECT_FALSE(PenalizedCubicSpline(&bad, &y, nullptr, 1.0, &g, nullptr));
  bad.SetVal(4, inf);
  EXPECT_FALSE(PenalizedCubicSpline(&bad, &y, nullptr, 1.0, &g, nullptr));
  ASSERT_EQ(g.NrOfElem(), 3);
  EXPECT_EQ(g.GetVal(1), 9.0);
}
