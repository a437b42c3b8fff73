// Block statistics that TMatrix and the dense TIntMatrix compute alike:
// geometric and harmonic means, the central sums behind skewness and
// kurtosis, and the shape coefficients taken from them. Private to the
// matrix statistics.
#pragma once

#include <cmath>
#include <cstdint>

#include "Nuv_matrix/matrix_stats_block.h"

namespace nuv {
namespace detail {

/// exp(mean of ln x) over the block of Mat (0 for a zero element or an empty block).
/// Raises ENUVMatrixError "negative argument passed to GeometricMean" at the first
/// negative element.
template <class M, class T>
double GeometricMeanOf(const M& Mat, const T* Base, const TMatBlock& B) {
  bool zero = false;
  double logSum = 0.0;
  ForEachSpan(Base, Mat.ColStride(), Mat.NrOfRows(), B, [&](const T* p, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
      const T v = p[i];
      if (v < 0)
        RaiseComponentError<ENUVMatrixError>(&Mat, "negative argument passed to GeometricMean");
      if (v == 0) {
        zero = true;
      } else if (!zero) {
        logSum += std::log(static_cast<double>(v));
      }
    }
  });
  if (zero || B.Count() == 0) return 0.0;
  return std::exp(logSum / static_cast<double>(B.Rows()) / static_cast<double>(B.Cols()));
}

/// n / sum of 1/x over the block (0 for an empty block). Raises ENUVMatrixError
/// "negative or zero argument passed to HarmonicMean".
template <class M, class T>
double HarmonicMeanOf(const M& Mat, const T* Base, const TMatBlock& B) {
  double recSum = 0.0;
  ForEachSpan(Base, Mat.ColStride(), Mat.NrOfRows(), B, [&](const T* p, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
      const T v = p[i];
      if (v <= 0)
        RaiseComponentError<ENUVMatrixError>(&Mat,
                                             "negative or zero argument passed to HarmonicMean");
      recSum += 1.0 / static_cast<double>(v);
    }
  });
  const int64_t n = B.Count();
  if (n == 0) return 0.0;
  return static_cast<double>(n) / recSum;
}

/// The raw central sums Σd, Σd², Σd³, Σd⁴ of a block about its mean.
struct TCentralSums {
  int64_t N = 0;
  double S1 = 0, S2 = 0, S3 = 0, S4 = 0;

  /// Adds n values equal to d (the deviation of a value repeated n times).
  void AddRepeated(double d, int64_t n) {
    const double k = static_cast<double>(n);
    const double d2 = d * d;
    S1 += k * d;
    S2 += k * d2;
    S3 += k * d2 * d;
    S4 += k * d2 * d2;
  }
};

/// Central sums of the block about Mean (the block's own mean).
template <class T>
void AddCentralSums(const T* Base, int64_t Stride, int32_t NRows, const TMatBlock& B, double Mean,
                    TCentralSums& Cs) {
  ForEachSpan(Base, Stride, NRows, B, [&](const T* p, int64_t n) {
    double s1 = Cs.S1, s2 = Cs.S2, s3 = Cs.S3, s4 = Cs.S4;
    for (int64_t i = 0; i < n; ++i) {
      const double d = static_cast<double>(p[i]) - Mean;
      const double d2 = d * d;
      s1 += d;
      s2 += d2;
      s3 += d2 * d;
      s4 += d2 * d2;
    }
    Cs.S1 = s1;
    Cs.S2 = s2;
    Cs.S3 = s3;
    Cs.S4 = s4;
  });
}

/// Skewness and kurtosis from the central sums; returns the sample standard
/// deviation (0 when it is 0 or there are fewer than two values). Without a
/// spread the raw sums are returned.
inline double ShapeOf(const TCentralSums& cs, double& Skewness, double& Kurtosis) {
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

/// The sample-corrected shape coefficients; 0, 0 for fewer than four values.
inline void SampleShapeOf(const TCentralSums& cs, double& Skewness, double& Kurtosis) {
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

}  // namespace detail
}  // namespace nuv
