#include "Nuv_vector/vector.h"

#include <cmath>

#include "Nuv_math1/Nuv_math1.h"

namespace nuv {

TVector::TVector(TComponent* AOwner) : TVectorCore<double>(AOwner) {}

void TVector::SetVecLeng(double x) {
  const double len = CalcVecLeng();
  if (len == 0) throw ENUVVectorError("vector has zero length");
  const double f = x / len;
  for (double& v : FVec) v *= f;
  Changed();
}

void TVector::FillRandomUniform(double RangeLow, double RangeHigh) {
  const double span = RangeHigh - RangeLow;
  for (double& v : FVec) v = RangeLow + Random() * span;
  FIsEmpty = false;
  Changed();
}

void TVector::FillRandomGauss(double Mean, double StdDev) {
  for (double& v : FVec) v = GRandom() * StdDev + Mean;
  FIsEmpty = false;
  Changed();
}

double TVector::MeanCenter() {
  double mean, var;
  MeanVar(0, 0, mean, var);
  for (double& v : FVec) v -= mean;
  return mean;
}

void TVector::Standardize(double& Mean, double& StdDev) {
  double var;
  MeanVar(0, 0, Mean, var);
  StdDev = std::sqrt(var);
  if (!(StdDev > 0)) return;
  for (double& v : FVec) v = (v - Mean) / StdDev;
}

void TVector::QNormalize(double RefQuant, double& Median, double& QuantDiff) {
  Median = Percentile(50, 0, 0);
  QuantDiff = std::fabs(Median - Percentile(RefQuant, 0, 0));
  if (!(QuantDiff > 0)) return;
  for (double& v : FVec) v = (v - Median) / QuantDiff;
}

}  // namespace nuv
