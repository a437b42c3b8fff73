// Descriptive statistics over blocks of a TMatrix: sum, extremes, mean and
// variance, geometric and harmonic mean, skewness and kurtosis, correlation.
#include <cmath>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_stats_shape.h"

namespace nuv {

using detail::ForEachSpan;
using detail::MakeBlock;
using detail::TMatBlock;

double TMatrix::Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  const TMatBlock b = MakeBlock(*this, LoC, HiC, LoR, HiR);
  detail::TLaneSum s;
  ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const double* p, int64_t n) { s.Add(p, n); });
  return s.Total();
}

void TMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                     double& Minimum, double& Maximum) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::BlockMinMax(
      [&](auto&& Span, bool) {
        ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, Span);
        return true;
      },
      Minimum, Maximum);
}

void TMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Mean, double& Variance) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::TLaneSum2 s;
  ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const double* p, int64_t k) { s.Add(p, k); });
  // An empty block has no mean: it reports 0 and the variance of small samples.
  detail::MeanVarOf(b.Count(), s.Sum(), s.SumSq(), Mean, Variance);
}

double TMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  return detail::GeometricMeanOf(*this, FMat.data(),
                                 MakeBlock(*this, LowCol, HighCol, LowRow, HighRow));
}

double TMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                             int32_t HighRow) const {
  return detail::HarmonicMeanOf(*this, FMat.data(),
                                MakeBlock(*this, LowCol, HighCol, LowRow, HighRow));
}

namespace {

detail::TCentralSums CentralSums(const double* Base, int64_t Stride, int32_t NRows,
                                 const TMatBlock& B) {
  detail::TCentralSums cs;
  cs.N = B.Count();
  if (cs.N == 0) return cs;
  detail::TLaneSum s;
  ForEachSpan(Base, Stride, NRows, B, [&](const double* p, int64_t n) { s.Add(p, n); });
  detail::AddCentralSums(Base, Stride, NRows, B, s.Total() / static_cast<double>(cs.N), cs);
  return cs;
}

}  // namespace

void TMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                       double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::ShapeOf(CentralSums(FMat.data(), FRowsAlloc, FNRow, b), Skewness, Kurtosis);
}

void TMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::SampleShapeOf(CentralSums(FMat.data(), FRowsAlloc, FNRow, b), Skewness, Kurtosis);
}

double TMatrix::Correlate(const TMatrix* OtherMat) const {
  if (OtherMat == nullptr) return 0.0;
  if (OtherMat->FNCol != FNCol || OtherMat->FNRow != FNRow)
    RaiseComponentError<ENUVMatrixError>(this, "matrices do not match");
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int32_t c = 1; c <= FNCol; ++c) {
    const double* x = ColData(c);
    const double* y = OtherMat->ColData(c);
    for (int32_t r = 0; r < FNRow; ++r) {
      sx += x[r];
      sy += y[r];
      sxx += x[r] * x[r];
      syy += y[r] * y[r];
      sxy += x[r] * y[r];
    }
  }
  const double n = static_cast<double>(FNCol) * static_cast<double>(FNRow);
  if (n <= 2 || sxx <= 0 || syy <= 0) return 0.0;
  const double Sxx = sxx - sx * sx / n;
  const double Syy = syy - sy * sy / n;
  if (Sxx == 0 || Syy == 0) return 0.0;
  return (sxy - sx * sy / n) / std::sqrt(std::fabs(Sxx * Syy));
}

}  // namespace nuv
