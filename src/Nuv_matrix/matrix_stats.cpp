// Descriptive statistics over blocks of a TMatrix: sum, extremes, mean and
// variance, geometric and harmonic mean, skewness and kurtosis, correlation.
#include <cmath>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_stats_block.h"

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
  detail::MeanVarFromSums(b.Count(), s.Sum(), s.SumSq(), Mean, Variance);
}

double TMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  bool zero = false;
  double logSum = 0.0;
  ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const double* p, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
      const double v = p[i];
      if (v < 0)
        RaiseComponentError<ENUVMatrixError>(this, "negative argument passed to GeometricMean");
      if (v == 0) {
        zero = true;
      } else if (!zero) {
        logSum += std::log(v);
      }
    }
  });
  const int64_t n = b.Count();
  if (zero || n == 0) return 0.0;
  return std::exp(logSum / static_cast<double>(b.Rows()) / static_cast<double>(b.Cols()));
}

double TMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                             int32_t HighRow) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  double recSum = 0.0;
  ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const double* p, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
      const double v = p[i];
      if (v <= 0)
        RaiseComponentError<ENUVMatrixError>(this,
                                             "negative or zero argument passed to HarmonicMean");
      recSum += 1.0 / v;
    }
  });
  const int64_t n = b.Count();
  if (n == 0) return 0.0;
  return static_cast<double>(n) / recSum;
}

namespace {

// The raw central sums Σd, Σd², Σd³, Σd⁴ of a block about its mean.
struct TCentralSums {
  int64_t N = 0;
  double S1 = 0, S2 = 0, S3 = 0, S4 = 0;
};

TCentralSums CentralSums(const double* Base, int64_t Stride, int32_t NRows, const TMatBlock& B) {
  TCentralSums cs;
  cs.N = B.Count();
  if (cs.N == 0) return cs;
  detail::TLaneSum s;
  ForEachSpan(Base, Stride, NRows, B, [&](const double* p, int64_t n) { s.Add(p, n); });
  const double m = s.Total() / static_cast<double>(cs.N);
  ForEachSpan(Base, Stride, NRows, B, [&](const double* p, int64_t n) {
    double s1 = cs.S1, s2 = cs.S2, s3 = cs.S3, s4 = cs.S4;
    for (int64_t i = 0; i < n; ++i) {
      const double d = p[i] - m;
      const double d2 = d * d;
      s1 += d;
      s2 += d2;
      s3 += d2 * d;
      s4 += d2 * d2;
    }
    cs.S1 = s1;
    cs.S2 = s2;
    cs.S3 = s3;
    cs.S4 = s4;
  });
  return cs;
}

// Skewness and kurtosis from the central sums; s is the sample standard
// deviation (0 when it is 0 or there are fewer than two values).
double ShapeOf(const TCentralSums& cs, double& Skewness, double& Kurtosis) {
  Skewness = cs.S3;
  Kurtosis = cs.S4;
  if (cs.N < 2) return 0.0;
  const double n = static_cast<double>(cs.N);
  const double s = std::sqrt((cs.S2 - cs.S1 * cs.S1 / n) / (n - 1));
  if (s != 0) {
    Skewness = cs.S3 / n / (s * s * s);
    Kurtosis = cs.S4 / n / (s * s * s * s) - 3;
  }
  return s;
}

}  // namespace

void TMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                       double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  ShapeOf(CentralSums(FMat.data(), FRowsAlloc, FNRow, b), Skewness, Kurtosis);
}

void TMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  const TCentralSums cs = CentralSums(FMat.data(), FRowsAlloc, FNRow, b);
  double g1, g2;
  const double s = ShapeOf(cs, g1, g2);
  // Constant data have no shape: correcting the raw sums (about 0) would report
  // a large kurtosis, so both stay 0 as for too few values.
  if (cs.N < 4 || s == 0) {
    Skewness = 0.0;
    Kurtosis = 0.0;
    return;
  }
  const double n = static_cast<double>(cs.N);
  Kurtosis = n * ((g2 + 3) * n) * (n + 1) / (n - 1) / (n - 2) / (n - 3) -
             3 * (n - 1) * (n - 1) / (n - 2) / (n - 3);
  Skewness = n * (g1 * n) / (n - 1) / (n - 2);
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
