// TCurveFit: polynomial fits against numpy.polyfit and the transformed fits against
// numpy.polyfit / lstsq on the transformed data.
#include <cmath>
#include <limits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol4;

namespace {

#include "Nuv_math2/reference/curvefit_reference.inc"

template <size_t N>
void Load(TCurveFit& f, const double (&x)[N], const double (&y)[N]) {
  f.Init();
  for (size_t i = 0; i < N; ++i) f.EnterStatValue(x[i], y[i]);
}

template <size_t N>
void ExpectCoefs(const std::vector<double>& got, const double (&want)[N], double tol) {
  ASSERT_GE(got.size(), N);
  for (size_t i = 0; i < N; ++i) EXPECT_NEAR(got[i], want[i], tol * (1 + std::fabs(want[i]))) << i;
}

}  // namespace

TEST(TCurveFitPoly, AgainstNumpyPolyfit) {
  TCurveFit f;
  Load(f, kPolyX, kPolyY);
  std::vector<double> k;
  double q = -1;
  bool ns = true;
  // numpy.polyfit(x, y, order); FitQual: numpy.corrcoef(polyval, y)^2.
  ASSERT_TRUE(f.CalcPolyFit(1, k, q, ns));
  EXPECT_FALSE(ns);
  ASSERT_EQ(k.size(), 2u);
  ExpectCoefs(k, kPolyCoef1, 1e-13);
  EXPECT_REL_NEAR(q, kPolyFitQual1, 1e-14);
  ASSERT_TRUE(f.CalcPolyFit(3, k, q, ns));
  ExpectCoefs(k, kPolyCoef3, 1e-13);
  EXPECT_REL_NEAR(q, kPolyFitQual3, 1e-14);
  // A larger caller array keeps its length and its tail.
  k.assign(9, 42.0);
  ASSERT_TRUE(f.CalcPolyFit(5, k, q, ns));
  ASSERT_EQ(k.size(), 9u);
  ExpectCoefs(k, kPolyCoef5, 1e-13);
  EXPECT_EQ(k[8], 42.0);
  EXPECT_REL_NEAR(q, kPolyFitQual5, 1e-14);

  double shift = 0;
  ASSERT_TRUE(f.CalcCenteredPolyFit(3, k, shift, q, ns));
  EXPECT_REL_NEAR(shift, kPolyMeanX, 1e-15);
  ExpectCoefs(k, kPolyCentredCoef3, 1e-13);
  EXPECT_REL_NEAR(q, kPolyFitQual3, 1e-14);
  // A given shift is kept: about 0 the centred fit is the plain one.
  shift = 1e-300;
  ASSERT_TRUE(f.CalcCenteredPolyFit(3, k, shift, q, ns));
  EXPECT_EQ(shift, 1e-300);
  ExpectCoefs(k, kPolyCoef3, 1e-13);
}

TEST(TCurveFitPoly, RankDeficientAndWideDesigns) {
  TCurveFit f;
  Load(f, kRankDefX, kRankDefY);
  std::vector<double> k;
  double q;
  bool ns = false;
  // Four distinct x for a quintic: numpy's minimum-norm solution of the scaled design.
  ASSERT_TRUE(f.CalcPolyFit(5, k, q, ns));
  EXPECT_TRUE(ns);
  ExpectCoefs(k, kRankDefCoef5, 1e-12);
  EXPECT_NEAR(q, 1.0, 1e-2);
  // x from 0 to 100: the columns of the sextic span 12 decades, which a cut-off on the
  // unscaled singular values would mistake for rank deficiency.
  Load(f, kWideX, kWideY);
  ASSERT_TRUE(f.CalcPolyFit(6, k, q, ns));
  EXPECT_FALSE(ns);
  ExpectCoefs(k, kWideCoef6, 1e-11);
  double shift = 0;
  ASSERT_TRUE(f.CalcCenteredPolyFit(6, k, shift, q, ns));
  EXPECT_FALSE(ns);
  EXPECT_REL_NEAR(shift, 50.0, 1e-15);
  EXPECT_REL_NEAR(q, 1.0, 1e-12);

  // Order 0 is the mean; nothing to fit without pairs; a NaN is refused.
  TCurveFit g;
  ASSERT_FALSE(g.CalcPolyFit(2, k, q, ns));
  ASSERT_FALSE(g.CalcCenteredPolyFit(2, k, shift, q, ns));
  for (double y : {1.0, 2.0, 6.0}) g.EnterStatValue(y, y);
  ASSERT_TRUE(g.CalcPolyFit(0, k, q, ns));
  EXPECT_REL_NEAR(k[0], 3.0, 1e-15);
  EXPECT_EQ(q, 0.0);
  // Constant x: the variance rounds below zero, the scale falls back to 1.
  TCurveFit c;
  for (double y : {1.0, 2.0, 4.0, 8.0, 3.0}) c.EnterStatValue(0.7, y);
  shift = 0;
  ASSERT_TRUE(c.CalcCenteredPolyFit(2, k, shift, q, ns));
  EXPECT_TRUE(ns);
  EXPECT_REL_NEAR(k[0], 3.6, 1e-14);
  EXPECT_TRUE(std::isfinite(k[1]) && std::isfinite(k[2]));
  g.EnterStatValue(std::numeric_limits<double>::quiet_NaN(), 1);
  k.assign(3, 7.0);
  q = 7;
  ASSERT_FALSE(g.CalcPolyFit(2, k, q, ns));
  EXPECT_EQ(k[1], 7.0);
  EXPECT_EQ(q, 7.0);
  // The fit clears a pending abort request before it starts.
  AbortMathProc = true;
  ASSERT_TRUE(f.CalcPolyFit(2, k, q, ns));
  EXPECT_FALSE(AbortMathProc);
}

TEST(TCurveFitTransformed, AgainstNumpyOnTheTransformedData) {
  TCurveFit f;
  double k, d, q;
  using Fit2 = bool (TCurveFit::*)(double&, double&, double&) const;
  const struct {
    Fit2 fit;
    const double* y;
    const double* want;  // the two coefficients in the order of the outputs, R^2
  } cases[] = {{&TCurveFit::CalcReciLinFit, kReciLinY, kReciLinFit},
               {&TCurveFit::CalcHyperbolFit, kHyperbolY, kHyperbolFit},
               {&TCurveFit::CalcReciHyperbolFit, kReciHyperbolY, kReciHyperbolFit},
               {&TCurveFit::CalcLogFit, kLogY, kLogFit},
               {&TCurveFit::CalcReciLogFit, kReciLogY, kReciLogFit},
               {&TCurveFit::CalcPowerFit, kPowerY, kPowerFit},
               {&TCurveFit::CalcExponentialFit, kExponentialY, kExponentialFit}};
  int n = 0;
  for (const auto& c : cases) {
    f.Init();
    for (size_t i = 0; i < std::size(kTransX); ++i) f.EnterStatValue(kTransX[i], c.y[i]);
    ASSERT_TRUE((f.*c.fit)(k, d, q)) << n;
    // The extended-precision sums agree with numpy's QR to a few units of 1e-16 here.
    EXPECT_REL_NEAR(k, c.want[0], 1e-13) << n;
    EXPECT_REL_NEAR(d, c.want[1], 1e-13) << n;
    EXPECT_REL_NEAR(q, c.want[2], 1e-13) << n;
    ++n;
  }
  double a, b, cc;
  Load(f, kTransX, kHoerlY);
  ASSERT_TRUE(f.CalcHoerlFit(a, b, cc, q));
  EXPECT_REL_NEAR(a, kHoerlFit[0], 1e-13);
  EXPECT_REL_NEAR(b, kHoerlFit[1], 1e-13);
  EXPECT_REL_NEAR(cc, kHoerlFit[2], 1e-13);
  EXPECT_REL_NEAR(q, kHoerlFit[3], 1e-13);
  Load(f, kTransX, kGaussY);
  ASSERT_TRUE(f.CalcGaussFit(a, b, cc, q));
  EXPECT_REL_NEAR(a, kGaussFit[0], 1e-13);
  EXPECT_REL_NEAR(b, kGaussFit[1], 1e-13);
  EXPECT_REL_NEAR(cc, kGaussFit[2], 1e-13);
  EXPECT_REL_NEAR(q, kGaussFit[3], 1e-13);
}

TEST(TCurveFitTransformed, RefusesWhatTheTransformCannotTake) {
  TCurveFit f;
  double k = 1, d = 1, q = 1, a = 1;
  EXPECT_THROW_MSG(f.CalcPowerFit(k, d, q), ENUVMath2Error, "CalcPowerFit: not enough data points");
  f.EnterStatValue(1, 2);
  f.EnterStatValue(2, 3);
  EXPECT_THROW_MSG(f.CalcGaussFit(k, d, q, a), ENUVMath2Error,
                   "CalcGaussFit: not enough data points");
  EXPECT_THROW_MSG(f.CalcHoerlFit(k, d, q, a), ENUVMath2Error,
                   "CalcHoerlFit: not enough data points");
  // A zero y: every fit of 1/y or ln y says no, with zeros; the others still fit.
  f.EnterStatValue(3, 0);
  EXPECT_TRUE(f.ErrIndic().Contains(cfeYEQ0));
  EXPECT_FALSE(f.CalcReciLinFit(k, d, q));
  EXPECT_EQ(k + d + q, 0.0);
  EXPECT_FALSE(f.CalcReciHyperbolFit(k, d, q));
  EXPECT_FALSE(f.CalcReciLogFit(k, d, q));
  EXPECT_FALSE(f.CalcPowerFit(k, d, q));
  EXPECT_FALSE(f.CalcExponentialFit(k, d, q));
  EXPECT_FALSE(f.CalcGaussFit(k, d, q, a));
  EXPECT_TRUE(f.CalcHyperbolFit(k, d, q));
  EXPECT_TRUE(f.CalcLogFit(k, d, q));
  // Removing the pair keeps the refusal: its substitute still sits in the sums.
  f.RemoveStatValue(3);
  EXPECT_FALSE(f.CalcReciLinFit(k, d, q));
  // After FlipXY the zero is an x: the fits of 1/x and ln x refuse, those of ln y fit.
  f.EnterStatValue(4, 0);
  f.FlipXY();
  EXPECT_FALSE(f.CalcHyperbolFit(k, d, q));
  EXPECT_FALSE(f.CalcLogFit(k, d, q));
  EXPECT_TRUE(f.CalcReciLinFit(k, d, q));
  EXPECT_TRUE(f.CalcExponentialFit(k, d, q));
  // A negative x refuses the logarithms of x only.
  TCurveFit g;
  for (double x : {-1.0, 1.0, 2.0}) g.EnterStatValue(x, x * x + 1);
  EXPECT_FALSE(g.CalcLogFit(k, d, q));
  EXPECT_FALSE(g.CalcPowerFit(k, d, q));
  EXPECT_FALSE(g.CalcHoerlFit(k, d, q, a));
  EXPECT_TRUE(g.CalcExponentialFit(k, d, q));
  EXPECT_TRUE(g.CalcHyperbolFit(k, d, q));
  // Constant x; ln y on a parabola that opens upwards; an exponent beyond the range.
  TCurveFit c;
  for (double y : {1.0, 2.0, 3.0}) c.EnterStatValue(2.5, y);
  EXPECT_FALSE(c.CalcLogFit(k, d, q));
  EXPECT_FALSE(c.CalcReciLinFit(k, d, q));
  TCurveFit u;
  for (double x : {-1.0, 0.5, 2.0, 3.0}) u.EnterStatValue(x, std::exp(x * x));
  EXPECT_FALSE(u.CalcGaussFit(k, d, q, a));
  EXPECT_EQ(k + d + q + a, 0.0);
  TCurveFit e;
  for (double x : {1000.0, 1001.0}) e.EnterStatValue(x, std::exp(1700 - x));
  EXPECT_FALSE(e.CalcExponentialFit(k, d, q));  // a = e^1700
  EXPECT_EQ(k + d + q, 0.0);
  // A constant y fits exactly.
  TCurveFit h;
  for (double x : {1.0, 2.0, 4.0}) h.EnterStatValue(x, 3.0);
  ASSERT_TRUE(h.CalcPowerFit(k, d, q));
  EXPECT_REL_NEAR(k, 3.0, kTol4);
  EXPECT_NEAR(d, 0.0, 1e-15);
  EXPECT_EQ(q, 1.0);
}
