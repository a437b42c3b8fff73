// TCurveFit: models fitted by least squares after a transformation that makes them
// linear, from the reciprocal and logarithmic running sums in constant time.
#include <array>
#include <cfloat>
#include <cmath>
#include <initializer_list>

#include "Nuv_math2/curvefit.h"

namespace nuv {

namespace {

// A centred sum of squares below this fraction of its raw sum is rounding residue:
// the variable does not vary.
constexpr Extended kNoSpread = 64 * LDBL_EPSILON;

struct TLinearised {
  double Intercept = 0.0;
  double Slope1 = 0.0;
  double Slope2 = 0.0;
  double FitQual = 0.0;
};

bool AllFinite(const TLinearised& L) {
  return std::isfinite(L.Intercept) && std::isfinite(L.Slope1) && std::isfinite(L.Slope2) &&
         std::isfinite(L.FitQual);
}

double Clip01(Extended r2) {
  return r2 < 0 ? 0.0 : (r2 > 1 ? 1.0 : static_cast<double>(r2));
}

// v = Intercept + Slope1 u from the sums of u, v, u^2, v^2 and u v over n pairs.
bool FitLine(Extended n, Extended Su, Extended Sv, Extended Suu, Extended Svv, Extended Suv,
             TLinearised& L) {
  const Extended suu = Suu - Su * Su / n;
  const Extended suv = Suv - Su * Sv / n;
  const Extended svv = Svv - Sv * Sv / n;
  if (!(suu > kNoSpread * std::fabs(Suu))) return false;
  const Extended slope = suv / suu;
  L.Slope1 = static_cast<double>(slope);
  L.Intercept = static_cast<double>((Sv - slope * Su) / n);
  L.FitQual = svv <= kNoSpread * std::fabs(Svv) ? 1.0 : Clip01(suv * suv / (suu * svv));
  return AllFinite(L);
}

// v = Intercept + Slope1 u1 + Slope2 u2 from the sums of u1, u2, v, their squares and
// cross products over n pairs.
bool FitPlane(Extended n, Extended S1, Extended S2, Extended Sv, Extended S11, Extended S22,
              Extended S12, Extended S1v, Extended S2v, Extended Svv, TLinearised& L) {
  const Extended s11 = S11 - S1 * S1 / n;
  const Extended s22 = S22 - S2 * S2 / n;
  const Extended s12 = S12 - S1 * S2 / n;
  const Extended s1v = S1v - S1 * Sv / n;
  const Extended s2v = S2v - S2 * Sv / n;
  const Extended svv = Svv - Sv * Sv / n;
  if (!(s11 > kNoSpread * std::fabs(S11)) || !(s22 > kNoSpread * std::fabs(S22))) return false;
  const Extended det = s11 * s22 - s12 * s12;
  // Collinear predictors leave a determinant of rounding size.
  if (!(det > 1024 * LDBL_EPSILON * s11 * s22)) return false;
  const Extended b1 = (s22 * s1v - s12 * s2v) / det;
  const Extended b2 = (s11 * s2v - s12 * s1v) / det;
  L.Slope1 = static_cast<double>(b1);
  L.Slope2 = static_cast<double>(b2);
  L.Intercept = static_cast<double>((Sv - b1 * S1 - b2 * S2) / n);
  L.FitQual = svv <= kNoSpread * std::fabs(Svv) ? 1.0 : Clip01((b1 * s1v + b2 * s2v) / svv);
  return AllFinite(L);
}

// The checks that every transformed fit shares: enough pairs (else it raises) and none of
// the Refused conditions among the entered values.
bool Admissible(const char* Name, int32_t N, int32_t Needed, TCurveFitErrors Errs,
                std::initializer_list<TCurveFitError> Refused) {
  if (N < Needed) RaiseFunctionError<ENUVMath2Error>(Name, "not enough data points");
  for (const TCurveFitError e : Refused)
    if (Errs.Contains(e)) return false;
  return true;
}

// v = d + k u from the sums S = (u, v, u^2, v^2, u v); k, d, FitQual are 0 unless it fits.
bool FitTransformedLine(const char* Name, int32_t N, TCurveFitErrors Errs,
                        std::initializer_list<TCurveFitError> Refused,
                        const std::array<Extended, 5>& S, double& k, double& d, double& FitQual) {
  k = d = FitQual = 0.0;
  TLinearised L;
  if (!Admissible(Name, N, 2, Errs, Refused) || !FitLine(N, S[0], S[1], S[2], S[3], S[4], L))
    return false;
  k = L.Slope1;
  d = L.Intercept;
  FitQual = L.FitQual;
  return true;
}

// a := e^a for the models fitted through ln y; all outputs 0 when it overflows.
bool ExpOfIntercept(double& a, double& b, double& FitQual) {
  a = std::exp(a);
  if (std::isfinite(a)) return true;
  a = b = FitQual = 0.0;
  return false;
}

}  // namespace

bool TCurveFit::CalcReciLinFit(double& k, double& d, double& FitQual) const {
  return FitTransformedLine("CalcReciLinFit", FNumData, FErrIndic, {cfeYEQ0},
                            {sumx, sum1byy, sumxq, sum1byyq, sumxbyy}, k, d, FitQual);
}

bool TCurveFit::CalcHyperbolFit(double& k, double& d, double& FitQual) const {
  return FitTransformedLine("CalcHyperbolFit", FNumData, FErrIndic, {cfeXEQ0},
                            {sum1byx, sumy, sum1byxq, sumyq, sumybyx}, k, d, FitQual);
}

bool TCurveFit::CalcReciHyperbolFit(double& k, double& d, double& FitQual) const {
  return FitTransformedLine("CalcReciHyperbolFit", FNumData, FErrIndic, {cfeXEQ0, cfeYEQ0},
                            {sum1byx, sum1byy, sum1byxq, sum1byyq, sum1byxy}, k, d, FitQual);
}

bool TCurveFit::CalcLogFit(double& k, double& d, double& FitQual) const {
  return FitTransformedLine("CalcLogFit", FNumData, FErrIndic, {cfeXLE0},
                            {sumlnx, sumy, sumlnxq, sumyq, sumylnx}, k, d, FitQual);
}

bool TCurveFit::CalcReciLogFit(double& k, double& d, double& FitQual) const {
  return FitTransformedLine("CalcReciLogFit", FNumData, FErrIndic, {cfeXLE0, cfeYEQ0},
                            {sumlnx, sum1byy, sumlnxq, sum1byyq, sumlnxbyy}, k, d, FitQual);
}

bool TCurveFit::CalcPowerFit(double& a, double& b, double& FitQual) const {
  return FitTransformedLine("CalcPowerFit", FNumData, FErrIndic, {cfeXLE0, cfeYLE0},
                            {sumlnx, sumlny, sumlnxq, sumlnyq, sumlnxlny}, b, a, FitQual) &&
         ExpOfIntercept(a, b, FitQual);
}

bool TCurveFit::CalcExponentialFit(double& a, double& b, double& FitQual) const {
  return FitTransformedLine("CalcExponentialFit", FNumData, FErrIndic, {cfeYLE0},
                            {sumx, sumlny, sumxq, sumlnyq, sumxlny}, b, a, FitQual) &&
         ExpOfIntercept(a, b, FitQual);
}

bool TCurveFit::CalcHoerlFit(double& a, double& b, double& c, double& FitQual) const {
  a = b = c = FitQual = 0.0;
  TLinearised L;
  if (!Admissible("CalcHoerlFit", FNumData, 3, FErrIndic, {cfeXLE0, cfeYLE0}) ||
      !FitPlane(FNumData, sumx, sumlnx, sumlny, sumxq, sumlnxq, sumxlnx, sumxlny, sumlnxlny,
                sumlnyq, L))
    return false;
  const double ea = std::exp(L.Intercept), eb = std::exp(L.Slope1);
  if (!std::isfinite(ea) || !std::isfinite(eb)) return false;
  a = ea;
  b = eb;
  c = L.Slope2;
  FitQual = L.FitQual;
  return true;
}

bool TCurveFit::CalcGaussFit(double& Amplitude, double& Mean, double& StdDev,
                             double& FitQual) const {
  Amplitude = Mean = StdDev = FitQual = 0.0;
  TLinearised L;
  if (!Admissible("CalcGaussFit", FNumData, 3, FErrIndic, {cfeYLE0}) ||
      !FitPlane(FNumData, sumx, sumxq, sumlny, sumxq, sumx4, sumx3, sumxlny, sumxqlny, sumlnyq,
                L))
    return false;
  // ln y = c0 + c1 x + c2 x^2 is a Gaussian only when the parabola opens downwards.
  const double c0 = L.Intercept, c1 = L.Slope1, c2 = L.Slope2;
  if (!(c2 < 0.0)) return false;
  const double mean = -c1 / (2 * c2);
  const double sd = std::sqrt(-1.0 / (2 * c2));
  const double amp = std::exp(c0 - c1 * c1 / (4 * c2));
  if (!std::isfinite(mean) || !std::isfinite(sd) || !std::isfinite(amp)) return false;
  Amplitude = amp;
  Mean = mean;
  StdDev = sd;
  FitQual = L.FitQual;
  return true;
}

}  // namespace nuv
