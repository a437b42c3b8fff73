// Column and row means, mean-centring, standardization and quantile
// normalization, and the edge vectors (per-row or per-column extremes, sums
// and means). Row-wise work runs down the contiguous columns and keeps one
// accumulator per row, which adds each row's elements in column order.
#include <cmath>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_stats_quantiles.h"

namespace nuv {

namespace {

// Mean and variance of n values from their sums, with the rule of small
// samples (variance 1 for two values or fewer; no values have mean 0).
void MeanVarOf(double s, double s2, int64_t n, double& Mean, double& Variance) {
  const double dn = static_cast<double>(n);
  Mean = n > 0 ? s / dn : 0.0;
  Variance = n <= 2 ? 1.0 : (s2 - s * s / dn) / (dn - 1);
}

// A rounding error can leave a variance slightly below 0 for constant data;
// its standard deviation is reported as 0 rather than NaN.
double StdDevOf(double Variance) { return Variance < 0 ? 0.0 : std::sqrt(Variance); }

// Per-row sums of x (and x^2) over all columns into work arrays of NrOfRows.
void RowSums(const double* Base, int64_t Stride, int32_t NCol, int32_t NRow, double* S,
             double* S2) {
  for (int32_t r = 0; r < NRow; ++r) S[r] = 0.0;
  if (S2 != nullptr)
    for (int32_t r = 0; r < NRow; ++r) S2[r] = 0.0;
  for (int32_t c = 0; c < NCol; ++c) {
    const double* p = Base + c * Stride;
    for (int32_t r = 0; r < NRow; ++r) S[r] += p[r];
    if (S2 != nullptr)
      for (int32_t r = 0; r < NRow; ++r) S2[r] += p[r] * p[r];
  }
}

}  // namespace

void TMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr) return;
  if (Dim == dimColumns) {
    Means->SetVecSize(FNCol);
    for (int32_t c = 1; c <= FNCol; ++c) {
      detail::TLaneSum s;
      s.Add(ColData(c), FNRow);
      Means->SetVal(c, FNRow > 0 ? s.Total() / FNRow : 0.0);
    }
    return;
  }
  std::vector<double> sums;
  if (!TryAllocate(sums, static_cast<size_t>(FNRow))) RaiseNoHeap();
  RowSums(FMat.data(), FRowsAlloc, FNCol, FNRow, sums.data(), nullptr);
  Means->SetVecSize(FNRow);
  for (int32_t r = 1; r <= FNRow; ++r)
    Means->SetVal(r, FNCol > 0 ? sums[static_cast<size_t>(r - 1)] / FNCol : 0.0);
}

void TMatrix::MeanCenterColumns(TVector* Means) {
  if (Means != nullptr) Means->SetVecSize(FNCol);
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* p = ColData(c);
    detail::TLaneSum s;
    s.Add(p, FNRow);
    const double mean = FNRow > 0 ? s.Total() / FNRow : 0.0;
    for (int32_t r = 0; r < FNRow; ++r) p[r] -= mean;
    if (Means != nullptr) Means->SetVal(c, mean);
  }
  Changed();
}

void TMatrix::MeanCenterRows(TVector* Means) {
  std::vector<double> mean;
  if (!TryAllocate(mean, static_cast<size_t>(FNRow))) RaiseNoHeap();
  RowSums(FMat.data(), FRowsAlloc, FNCol, FNRow, mean.data(), nullptr);
  for (double& m : mean) m = FNCol > 0 ? m / FNCol : 0.0;
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* p = ColData(c);
    for (int32_t r = 0; r < FNRow; ++r) p[r] -= mean[static_cast<size_t>(r)];
  }
  if (Means != nullptr) {
    Means->SetVecSize(FNRow);
    for (int32_t r = 1; r <= FNRow; ++r) Means->SetVal(r, mean[static_cast<size_t>(r - 1)]);
  }
  Changed();
}

void TMatrix::StandardizeColumns(TVector* Means, TVector* StdDevs) {
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* p = ColData(c);
    detail::TLaneSum2 s;
    s.Add(p, FNRow);
    double mean, var;
    MeanVarOf(s.Sum(), s.SumSq(), FNRow, mean, var);
    if (var > 0) {
      const double sd = std::sqrt(var);
      for (int32_t r = 0; r < FNRow; ++r) p[r] = (p[r] - mean) / sd;
    }
    if (Means != nullptr) Means->SetVal(c, mean);
    if (StdDevs != nullptr) StdDevs->SetVal(c, StdDevOf(var));
  }
  Changed();
}

void TMatrix::StandardizeRows(TVector* Means, TVector* StdDevs) {
  std::vector<double> mean, sd;
  if (!TryAllocate(mean, static_cast<size_t>(FNRow)) ||
      !TryAllocate(sd, static_cast<size_t>(FNRow)))
    RaiseNoHeap();
  RowSums(FMat.data(), FRowsAlloc, FNCol, FNRow, mean.data(), sd.data());
  // A row without positive variance is left as it is: subtracting 0 and
  // dividing by 1 keep every element bit for bit.
  std::vector<double> shift(mean.size()), scale(mean.size());
  for (size_t r = 0; r < mean.size(); ++r) {
    double var;
    MeanVarOf(mean[r], sd[r], FNCol, mean[r], var);
    const bool scaled = var > 0;
    shift[r] = scaled ? mean[r] : 0.0;
    scale[r] = scaled ? std::sqrt(var) : 1.0;
    sd[r] = StdDevOf(var);
  }
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* p = ColData(c);
    for (size_t r = 0; r < shift.size(); ++r) p[r] = (p[r] - shift[r]) / scale[r];
  }
  for (int32_t r = 1; r <= FNRow; ++r) {
    if (Means != nullptr) Means->SetVal(r, mean[static_cast<size_t>(r - 1)]);
    if (StdDevs != nullptr) StdDevs->SetVal(r, sd[static_cast<size_t>(r - 1)]);
  }
  Changed();
}

namespace {

// Median and |median - RefQuant percentile| of the values in Work.
void QuantileSpread(std::vector<double>& Work, double RefQuant, double& Median, double& Diff) {
  const double q = detail::PercentileOf(Work, RefQuant);
  Median = detail::PercentileOf(Work, 50);
  Diff = std::fabs(Median - q);
}

}  // namespace

void TMatrix::QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(FNRow))) RaiseNoHeap();
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* p = ColData(c);
    std::copy(p, p + FNRow, work.begin());
    double m, d;
    QuantileSpread(work, RefQuant, m, d);
    if (d > 0)
      for (int32_t r = 0; r < FNRow; ++r) p[r] = (p[r] - m) / d;
    if (Medians != nullptr) Medians->SetVal(c, m);
    if (QuantDiffs != nullptr) QuantDiffs->SetVal(c, d);
  }
  Changed();
}

void TMatrix::QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs) {
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(FNCol))) RaiseNoHeap();
  const size_t stride = static_cast<size_t>(FRowsAlloc);
  for (int32_t r = 1; r <= FNRow; ++r) {
    double* p = FMat.data() + (r - 1);
    for (size_t c = 0; c < work.size(); ++c) work[c] = p[c * stride];
    double m, d;
    QuantileSpread(work, RefQuant, m, d);
    if (d > 0)
      for (size_t c = 0; c < work.size(); ++c) p[c * stride] = (p[c * stride] - m) / d;
    if (Medians != nullptr) Medians->SetVal(r, m);
    if (QuantDiffs != nullptr) QuantDiffs->SetVal(r, d);
  }
  Changed();
}

void TMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const {
  if (DestVec == nullptr) return;
  const bool extreme = EdgeOp == eopMin || EdgeOp == eopMax;
  if (Orient == orVertical) {
    // One value per column, over its rows.
    DestVec->SetVecSize(FNCol);
    for (int32_t c = 1; c <= FNCol; ++c) {
      double v;
      if (extreme) {
        double mn, mx;
        MinMax(c, 1, c, FNRow, mn, mx);
        v = EdgeOp == eopMin ? mn : mx;
      } else {
        detail::TLaneSum s;
        s.Add(ColData(c), FNRow);
        v = s.Total();
        if (EdgeOp == eopMean) v = FNRow > 0 ? v / FNRow : 0.0;
      }
      DestVec->SetVal(c, v);
    }
    return;
  }
  // One value per row, over its columns.
  std::vector<double> acc, acc2;
  if (!TryAllocate(acc, static_cast<size_t>(FNRow))) RaiseNoHeap();
  if (extreme) {
    // Both extremes are kept: a row whose minimum stays above its maximum saw
    // no comparable value and reports the start value. NaN is never taken.
    if (!TryAllocate(acc2, static_cast<size_t>(FNRow))) RaiseNoHeap();
    const double inf = HUGE_VAL;
    for (size_t r = 0; r < acc.size(); ++r) {
      acc[r] = inf;
      acc2[r] = -inf;
    }
    for (int32_t c = 1; c <= FNCol; ++c) {
      const double* p = ColData(c);
      for (size_t r = 0; r < acc.size(); ++r) {
        acc[r] = p[r] < acc[r] ? p[r] : acc[r];
        acc2[r] = p[r] > acc2[r] ? p[r] : acc2[r];
      }
    }
    for (size_t r = 0; r < acc.size(); ++r) {
      if (acc[r] > acc2[r]) {
        acc[r] = uc_MaxDouble;
        acc2[r] = -uc_MaxDouble;
      }
    }
    if (EdgeOp == eopMax) acc.swap(acc2);
  } else {
    RowSums(FMat.data(), FRowsAlloc, FNCol, FNRow, acc.data(), nullptr);
    if (EdgeOp == eopMean)
      for (double& v : acc) v = FNCol > 0 ? v / FNCol : 0.0;
  }
  DestVec->SetVecSize(FNRow);
  for (int32_t r = 1; r <= FNRow; ++r) DestVec->SetVal(r, acc[static_cast<size_t>(r - 1)]);
}

}  // namespace nuv
