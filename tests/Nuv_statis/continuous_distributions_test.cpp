// chi-square, t and F against the mpmath table of reference/ (50-digit
// evaluations, each tail computed directly; see make_tables.py there), at the
// 1e-12 relative accuracy these functions promise, plus their neutral values
// and the round trip of each quantile.
#include <cmath>
#include <cstdio>
#include <limits>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

enum TKind { kChi2Cdf, kChi2Pdf, kChi2Quantile, kTCdf, kTPdf, kTQuantile, kFCdf, kFPdf, kFQuantile };

struct TRef {
  TKind Kind;
  double X;
  int32_t A;
  int32_t B;
  double Want;
};

const TRef kRefs[] = {
#include "Nuv_statis/reference/distribution_reference.inc"
};

double Evaluate(const TRef& r) {
  switch (r.Kind) {
    case kChi2Cdf: return chi2DistriIntegral(r.X, r.A);
    case kChi2Pdf: return Chi2DistriDensity(r.X, r.A);
    case kChi2Quantile: return chi2DistriQuantile(r.X, r.A);
    case kTCdf: return tDistriIntegral(r.X, r.A);
    case kTPdf: return tDistriDensity(r.X, r.A);
    case kTQuantile: return tDistriQuantile(r.X, r.A);
    case kFCdf: return FDistriIntegral(r.X, r.A, r.B);
    case kFPdf: return FDistriDensity(r.X, r.A, r.B);
    case kFQuantile: return FDistriQuantile(r.X, r.A, r.B);
  }
  return 0;
}

const char* const kNames[] = {"chi2DistriIntegral", "Chi2DistriDensity", "chi2DistriQuantile",
                              "tDistriIntegral",    "tDistriDensity",    "tDistriQuantile",
                              "FDistriIntegral",    "FDistriDensity",    "FDistriQuantile"};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(ContinuousDistributions, MatchHighPrecisionReferenceTo1e12) {
  double worst[9] = {0};
  for (const TRef& r : kRefs) {
    const double got = Evaluate(r);
    const double err = r.Want == 0 ? std::fabs(got) : std::fabs(got - r.Want) / std::fabs(r.Want);
    if (err > worst[r.Kind]) worst[r.Kind] = err;
    EXPECT_LE(err, 1e-12) << kNames[r.Kind] << "(" << r.X << ", " << r.A << ", " << r.B << ") = " << got
                          << ", want " << r.Want;
  }
  for (int k = 0; k < 9; ++k) std::printf("  worst relative error of %-20s %.2e\n", kNames[k], worst[k]);
}

TEST(ContinuousDistributions, NeutralValuesAndLimits) {
  for (int32_t df : {0, -3}) {
    EXPECT_EQ(chi2DistriIntegral(2, df), 0.0);
    EXPECT_EQ(Chi2DistriDensity(2, df), 0.0);
    EXPECT_EQ(chi2DistriQuantile(0.5, df), 0.0);
    EXPECT_EQ(tDistriIntegral(2, df), 0.0);
    EXPECT_EQ(tDistriDensity(2, df), 0.0);
    EXPECT_EQ(tDistriQuantile(0.9, df), 0.0);
    EXPECT_EQ(FDistriIntegral(2, df, 3), 0.0);
    EXPECT_EQ(FDistriIntegral(2, 3, df), 0.0);
    EXPECT_EQ(FDistriDensity(2, 3, df), 0.0);
    EXPECT_EQ(FDistriQuantile(0.5, df, 3), 0.0);
  }
  for (double p : {0.0, 1.0, -0.5, 2.0, kNaN}) {
    EXPECT_EQ(chi2DistriQuantile(p, 4), 0.0);
    EXPECT_EQ(tDistriQuantile(p, 4), 0.0);
    EXPECT_EQ(FDistriQuantile(p, 4, 6), 0.0);
  }
  EXPECT_EQ(chi2DistriIntegral(-1, 3), 0.0);
  EXPECT_EQ(chi2DistriIntegral(0, 3), 0.0);
  EXPECT_EQ(chi2DistriIntegral(kInf, 3), 1.0);
  EXPECT_EQ(Chi2DistriDensity(-1, 3), 0.0);
  EXPECT_EQ(Chi2DistriDensity(0, 1), kInf);
  EXPECT_EQ(Chi2DistriDensity(0, 2), 0.5);
  EXPECT_EQ(Chi2DistriDensity(0, 3), 0.0);
  EXPECT_EQ(Chi2DistriDensity(kInf, 3), 0.0);
  EXPECT_EQ(tDistriIntegral(0, 7), 0.5);
  EXPECT_EQ(tDistriIntegral(-kInf, 7), 0.0);
  EXPECT_EQ(tDistriIntegral(kInf, 7), 1.0);
  EXPECT_EQ(tDistriDensity(kInf, 7), 0.0);
  EXPECT_EQ(tDistriQuantile(0.5, 7), 0.0);
  EXPECT_EQ(FDistriIntegral(0, 3, 4), 0.0);
  EXPECT_EQ(FDistriIntegral(kInf, 3, 4), 1.0);
  EXPECT_EQ(FDistriDensity(0, 1, 4), kInf);
  EXPECT_EQ(FDistriDensity(0, 2, 4), 1.0);
  EXPECT_EQ(FDistriDensity(0, 3, 4), 0.0);
  EXPECT_TRUE(std::isnan(chi2DistriIntegral(kNaN, 3)));
  EXPECT_TRUE(std::isnan(tDistriIntegral(kNaN, 3)));
  EXPECT_TRUE(std::isnan(FDistriIntegral(kNaN, 3, 4)));
  // a quantile that underflows the double range: chi-square(1) at 1e-300 is about 1.6e-600
  EXPECT_EQ(chi2DistriQuantile(1e-300, 1), 0.0);
}

TEST(ContinuousDistributions, QuantilesInvertTheirIntegrals) {
  // Closed forms: chi-square(2) is exponential with mean 2, t(1) Cauchy, t(2)
  // and F(2, 2) have algebraic distribution functions.
  EXPECT_REL_NEAR(chi2DistriIntegral(3, 2), -std::expm1(-1.5), 1e-15);
  EXPECT_REL_NEAR(chi2DistriQuantile(0.25, 2), -2 * std::log1p(-0.25), 1e-15);
  EXPECT_REL_NEAR(tDistriIntegral(-3, 1), std::atan(1.0 / 3) / M_PI, 1e-15);
  EXPECT_REL_NEAR(tDistriIntegral(1.5, 2), 0.5 + 0.5 * 1.5 / std::sqrt(2 + 2.25), 1e-15);
  EXPECT_REL_NEAR(FDistriIntegral(3, 2, 2), 3.0 / 4.0, 1e-15);
  for (int32_t df : {1, 2, 3, 7, 40, 1000, 250000}) {
    for (double p : {1e-200, 1e-30, 1e-5, 0.05, 0.4, 0.5, 0.6, 0.95, 1 - 1e-9, 1 - 0x1p-52}) {
      const double x = chi2DistriQuantile(p, df);
      if (x > 1e-300) {
        const double back = p <= 0.5 ? chi2DistriIntegral(x, df) : 1 - chi2DistriIntegral(x, df);
        EXPECT_REL_NEAR(back, p <= 0.5 ? p : 1 - p, 1e-9) << "chi2 df " << df << " p " << p;
      }
      const double t = tDistriQuantile(p, df);
      if (p < 0.5) {
        EXPECT_REL_NEAR(tDistriIntegral(t, df), p, 1e-9) << "t df " << df << " p " << p;
      }
      const double f = FDistriQuantile(p, df, 11);
      if (p < 0.5 && f > 1e-300) {
        EXPECT_REL_NEAR(FDistriIntegral(f, df, 11), p, 1e-9) << "F df " << df << " p " << p;
      }
    }
  }
}

TEST(ContinuousDistributions, ContinuousAcrossTheSeriesFractionSwitch) {
  // The incomplete gamma changes method at x/2 = df/2 + 1, the beta at
  // u = (a + 1)/(a + b + 2); one ulp apart the two methods differ by the
  // density times that ulp, to rounding.
  for (int32_t df : {1, 10, 1000, 1000000}) {
    const double x = df + 2.0;
    const double xb = std::nextafter(x, 0.0);
    EXPECT_NEAR(chi2DistriIntegral(x, df) - chi2DistriIntegral(xb, df), Chi2DistriDensity(x, df) * (x - xb), 4e-16)
        << "chi2 df " << df;
    const double d1 = df;
    const double d2 = 7;
    const double w = (d1 + 2) * d2 / ((d2 + 2) * d1);
    const double wb = std::nextafter(w, 0.0);
    const double wa = std::nextafter(w, 2 * w);
    EXPECT_NEAR(FDistriIntegral(wa, df, 7) - FDistriIntegral(wb, df, 7), FDistriDensity(w, df, 7) * (wa - wb), 4e-16)
        << "F df " << df;
  }
}
