// TCurveFit: descriptive statistics from the running sums and the stored pairs, mean
// angles, and the ANOVA of a regression.
#include <cmath>
#include <utility>

#include "Nuv_math2/curvefit.h"

namespace nuv {

namespace {

constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;

Extended StdDevOf(Extended Sum, Extended SumSq, int32_t N) {
  const Extended n = N;
  return std::sqrt(std::fabs((SumSq - Sum * Sum / n) / (n - 1)));
}

// Sample skewness and kurtosis of rows 1..N of column Col. The matrix gives 0 below four
// values anyway; returning early keeps it away from the capacity rows beyond the pairs.
std::pair<double, double> SkewKurtOfColumn(const TMatrix& Data, int32_t Col, int32_t N) {
  double s = 0.0, k = 0.0;
  if (N >= 4) Data.SkewKurtSample(Col, 1, Col, N, s, k);
  return {s, k};
}

bool QuartilesOfColumn(const TMatrix& Data, int32_t Col, int32_t N, double& q1, double& q2,
                       double& q3) {
  q1 = q2 = q3 = 0.0;
  // Rows 1..0 would clip to row 1, a capacity row that holds no pair.
  if (N < 1) return false;
  return Data.Quartiles(Col, 1, Col, N, q1, q2, q3);
}

}  // namespace

double TCurveFit::GetMeanX() const {
  return FNumData <= 0 ? 0.0 : static_cast<double>(sumx / FNumData);
}

double TCurveFit::GetMeanY() const {
  return FNumData <= 0 ? 0.0 : static_cast<double>(sumy / FNumData);
}

double TCurveFit::GetMeanDiff() const {
  return FNumData <= 0 ? 0.0 : static_cast<double>(sumDiff / FNumData);
}

double TCurveFit::GetStdDevX() const {
  return FNumData < 3 ? 0.0 : static_cast<double>(StdDevOf(sumx, sumxq, FNumData));
}

double TCurveFit::GetStdDevY() const {
  return FNumData < 3 ? 0.0 : static_cast<double>(StdDevOf(sumy, sumyq, FNumData));
}

double TCurveFit::GetStdDevDiff() const {
  return FNumData < 3 ? 0.0 : static_cast<double>(StdDevOf(sumDiff, SumDiffq, FNumData));
}

double TCurveFit::GetRxy() const {
  if (FNumData <= 2 || sumxq <= 0 || sumyq <= 0) return 0.0;
  const Extended n = FNumData;
  const Extended sxx = sumxq - sumx * sumx / n;
  const Extended syy = sumyq - sumy * sumy / n;
  if (sxx == 0 || syy == 0) return 0.0;
  return static_cast<double>((sumxy - sumx * sumy / n) / std::sqrt(std::fabs(sxx * syy)));
}

void TCurveFit::CalcStatistics(int32_t& NumData, double& MeanX, double& MeanY, double& StdevX,
                               double& StdevY, double& MeanDiff, double& StdevDiff,
                               double& rxy) const {
  MeanX = MeanY = StdevX = StdevY = MeanDiff = StdevDiff = rxy = 0.0;
  NumData = FNumData;
  if (FNumData > 0) {
    MeanX = GetMeanX();
    MeanY = GetMeanY();
    MeanDiff = GetMeanDiff();
  }
  if (FNumData > 2) {
    StdevX = GetStdDevX();
    StdevY = GetStdDevY();
    StdevDiff = GetStdDevDiff();
    rxy = GetRxy();
  }
}

double TCurveFit::GetSkewnessX() const { return SkewKurtOfColumn(*FData, 1, FNumData).first; }

double TCurveFit::GetSkewnessY() const { return SkewKurtOfColumn(*FData, 2, FNumData).first; }

double TCurveFit::GetKurtosisX() const { return SkewKurtOfColumn(*FData, 1, FNumData).second; }

double TCurveFit::GetKurtosisY() const { return SkewKurtOfColumn(*FData, 2, FNumData).second; }

bool TCurveFit::QuartilesX(double& q1, double& q2, double& q3) const {
  return QuartilesOfColumn(*FData, 1, FNumData, q1, q2, q3);
}

bool TCurveFit::QuartilesY(double& q1, double& q2, double& q3) const {
  return QuartilesOfColumn(*FData, 2, FNumData, q1, q2, q3);
}

double TCurveFit::CalcMeanDegrees(int32_t Nc) const {
  const double* v = Nc == 1 ? ColX() : ColY();
  double S = 0.0, C = 0.0;
  for (int32_t i = 0; i < FNumData; ++i) {
    const double a = v[i] / kDegPerRad;
    S += std::sin(a);
    C += std::cos(a);
  }
  if (C == 0.0) return S > 0.0 ? 90.0 : (S < 0.0 ? 270.0 : 0.0);
  const double e = std::atan(S / C) * kDegPerRad;
  double result = C < 0.0 ? e + 180.0 : (S < 0.0 ? e + 360.0 : e);
  // A direction a rounding error below 0 would come out as 360 itself.
  if (result >= 360.0) result -= 360.0;
  return result;
}

double TCurveFit::GetMeanXDegrees() const { return CalcMeanDegrees(1); }

double TCurveFit::GetMeanYDegrees() const { return CalcMeanDegrees(2); }

void TCurveFit::CalcAnovaReg(int32_t NumVars, bool IncludeConst, int32_t& dfreg, int32_t& dfres,
                             int32_t& dftotal, double& SSE, double& SSR, double& SST,
                             double& MSE, double& MSR, double& F) const {
  const Extended n = FNumData;
  dfreg = NumVars;
  Extended m = 0;
  if (IncludeConst) {
    dftotal = FNumData - 1;
    if (FNumData > 0) m = sumx / n;
  } else {
    dftotal = FNumData;
  }
  dfres = dftotal - dfreg;
  SSE = static_cast<double>(SumDiffq);
  SSR = static_cast<double>(sumyq - 2 * m * sumy + n * m * m);
  SST = static_cast<double>(sumxq - 2 * m * sumx + n * m * m);
  // No degrees of freedom leave nothing to average: 0 rather than a division by zero.
  MSE = dfres > 0 ? SSE / dfres : 0.0;
  MSR = dfreg > 0 ? SSR / dfreg : 0.0;
  if (dfres <= 0 || dfreg <= 0 || MSR == 0.0)
    F = 0.0;
  else if (MSE == 0.0)
    F = 1e10;
  else
    F = MSR / MSE;
}

}  // namespace nuv
