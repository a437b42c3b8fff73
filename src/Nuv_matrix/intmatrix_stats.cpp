// Block statistics of TIntMatrix. Sum, Trace, MinMax, MeanVar and the shape
// coefficients serve both forms (the sparse form reads its stored entries and
// counts the rest of the block as zeros); the others need the dense form.
#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/intmatrix_kernels.h"
#include "Nuv_matrix/matrix_order_impl.h"
#include "Nuv_matrix/matrix_stats_quantiles.h"
#include "Nuv_matrix/matrix_stats_shape.h"
#include "Nuv_vector/byte_lane_crc.h"

namespace nuv {

using detail::ForEachSpan;
using detail::MakeBlock;
using detail::TMatBlock;

namespace {

inline bool InBlock(const TSpMatElemInt& e, const TMatBlock& B) {
  return e.colidx >= B.C1 && e.colidx <= B.C2 && e.rowidx >= B.R1 && e.rowidx <= B.R2;
}

/// Count, exact sum and sum of squares of integers, in eight lanes.
struct TIntLaneSums {
  int64_t S[detail::kLanes] = {};
  double Q[detail::kLanes] = {};

  void Add(const int32_t* p, int64_t n) {
    int64_t i = 0;
    for (; i + detail::kLanes <= n; i += detail::kLanes)
      for (int j = 0; j < detail::kLanes; ++j) {
        const double x = p[i + j];
        S[j] += p[i + j];
        Q[j] += x * x;
      }
    for (int j = 0; i < n; ++i, ++j) {
      const double x = p[i];
      S[j] += p[i];
      Q[j] += x * x;
    }
  }
  int64_t Sum() const {
    int64_t s = 0;
    for (int64_t v : S) s += v;
    return s;
  }
  double SumSq() const { return detail::TLaneSum2::Fold(Q); }
};

}  // namespace

int32_t TIntMatrix::Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  const TMatBlock b = MakeBlock(*this, LoC, HiC, LoR, HiR);
  // 32-bit wrapping sum, formed in unsigned arithmetic.
  uint32_t s = 0;
  if (FIsSparse) {
    FSparse.ForEach([&](const TSpMatElemInt& e) {
      if (InBlock(e, b)) s += static_cast<uint32_t>(e.value);
    });
  } else {
    ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const int32_t* p, int64_t n) {
      uint32_t t = 0;
      for (int64_t i = 0; i < n; ++i) t += static_cast<uint32_t>(p[i]);
      s += t;
    });
  }
  return static_cast<int32_t>(s);
}

int32_t TIntMatrix::Trace() const {
  uint32_t s = 0;
  if (FIsSparse) {
    if (FSparseHighCol != FSparseHighRow) return 0;
    FSparse.ForEach([&](const TSpMatElemInt& e) {
      if (e.colidx == e.rowidx) s += static_cast<uint32_t>(e.value);
    });
    return static_cast<int32_t>(s);
  }
  if (FNCol != FNRow || FNCol < 1) return 0;
  const size_t step = static_cast<size_t>(FRowsAlloc) + 1;
  for (size_t i = 0; i < static_cast<size_t>(FNCol); ++i)
    s += static_cast<uint32_t>(FMat[i * step]);
  return static_cast<int32_t>(s);
}

void TIntMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        int32_t& Minimum, int32_t& Maximum) const {
  // The start values take part in the comparisons: -2147483648 is never a maximum.
  int32_t mn = 2147483647, mx = -2147483647;
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (FIsSparse) {
    FSparse.ForEach([&](const TSpMatElemInt& e) {
      if (!InBlock(e, b)) return;
      mn = e.value < mn ? e.value : mn;
      mx = e.value > mx ? e.value : mx;
    });
  } else {
    ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b,
                [&](const int32_t* p, int64_t n) { detail::IntMinMax(p, n, mn, mx); });
  }
  Minimum = mn;
  Maximum = mx;
}

namespace {

/// Count, sum and sum of squares of the block of a sparse list: the entries
/// inside it, the rest zeros.
struct TSparseBlockSums {
  int64_t Stored = 0;
  int64_t Sum = 0;
  double SumSq = 0;
};

TSparseBlockSums SparseSums(const detail::TSparseIntList& L, const TMatBlock& B) {
  TSparseBlockSums s;
  L.ForEach([&](const TSpMatElemInt& e) {
    if (!InBlock(e, B)) return;
    const double x = e.value;
    ++s.Stored;
    s.Sum += e.value;
    s.SumSq += x * x;
  });
  return s;
}

}  // namespace

void TIntMatrix::MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                         double& Mean, double& Variance) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (FIsSparse) {
    const TSparseBlockSums s = SparseSums(FSparse, b);
    detail::MeanVarOf(b.Count(), static_cast<double>(s.Sum), s.SumSq, Mean, Variance);
    return;
  }
  TIntLaneSums s;
  ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const int32_t* p, int64_t n) { s.Add(p, n); });
  detail::MeanVarOf(b.Count(), static_cast<double>(s.Sum()), s.SumSq(), Mean, Variance);
}

namespace {

detail::TCentralSums IntCentralSums(const TIntMatrix& M, const detail::TSparseIntList& L,
                                    const int32_t* Dense, const TMatBlock& B) {
  detail::TCentralSums cs;
  cs.N = B.Count();
  if (cs.N == 0) return cs;
  const double n = static_cast<double>(cs.N);
  if (Dense == nullptr) {
    const TSparseBlockSums s = SparseSums(L, B);
    const double m = static_cast<double>(s.Sum) / n;
    L.ForEach([&](const TSpMatElemInt& e) {
      if (InBlock(e, B)) cs.AddRepeated(e.value - m, 1);
    });
    cs.AddRepeated(-m, cs.N - s.Stored);
    return cs;
  }
  TIntLaneSums s;
  ForEachSpan(Dense, M.ColStride(), M.NrOfRows(), B,
              [&](const int32_t* p, int64_t k) { s.Add(p, k); });
  detail::AddCentralSums(Dense, M.ColStride(), M.NrOfRows(), B,
                         static_cast<double>(s.Sum()) / n, cs);
  return cs;
}

}  // namespace

void TIntMatrix::SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                          double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::ShapeOf(IntCentralSums(*this, FSparse, FIsSparse ? nullptr : FMat.data(), b), Skewness,
                  Kurtosis);
}

void TIntMatrix::SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                double& Skewness, double& Kurtosis) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  detail::SampleShapeOf(IntCentralSums(*this, FSparse, FIsSparse ? nullptr : FMat.data(), b),
                        Skewness, Kurtosis);
}

// --- dense only -------------------------------------------------------------

int32_t TIntMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                int32_t RangeLow, int32_t RangeHigh) const {
  if (FIsSparse) return 0;
  return detail::CountInBlockOf(*this, LowCol, HighCol, LowRow, HighRow, [&](int32_t v) {
    return static_cast<int>((v >= RangeLow) & (v <= RangeHigh));
  });
}

int32_t TIntMatrix::CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                     int32_t HighRow, uint32_t Bitmask) const {
  if (FIsSparse) return 0;
  return detail::CountInBlockOf(*this, LowCol, HighCol, LowRow, HighRow, [&](int32_t v) {
    return static_cast<int>((static_cast<uint32_t>(v) & Bitmask) == 0);
  });
}

double TIntMatrix::GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                 int32_t HighRow) const {
  if (FIsSparse) return 0.0;
  return detail::GeometricMeanOf(*this, FMat.data(),
                                 MakeBlock(*this, LowCol, HighCol, LowRow, HighRow));
}

double TIntMatrix::HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                int32_t HighRow) const {
  if (FIsSparse) return 0.0;
  return detail::HarmonicMeanOf(*this, FMat.data(),
                                MakeBlock(*this, LowCol, HighCol, LowRow, HighRow));
}

bool TIntMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Q1, double& Q2, double& Q3) const {
  if (FIsSparse) {
    Q1 = Q2 = Q3 = 0.0;
    return false;
  }
  return detail::QuartilesOf(*this, FMat.data(), MakeBlock(*this, LowCol, HighCol, LowRow, HighRow),
                             Q1, Q2, Q3);
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const {
  if (FIsSparse) return 0.0;
  return detail::BlockPercentileOf(*this, FMat.data(),
                                   MakeBlock(*this, LowCol, HighCol, LowRow, HighRow), Prob);
}

double TIntMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow, int32_t SampleSize) const {
  if (FIsSparse) return 0.0;
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (SampleSize <= 0 || SampleSize >= b.Count())
    return detail::BlockPercentileOf(*this, FMat.data(), b, Prob);
  return detail::SampledPercentileOf(*this, FMat.data(), b, Prob, SampleSize, false);
}

void TIntMatrix::MeanVec(TDims Dim, TVector* Means) const {
  if (Means == nullptr || FIsSparse) return;
  // Exact integer sums; the means are their quotients.
  if (Dim == dimColumns) {
    Means->SetVecSize(FNCol);
    for (int32_t c = 1; c <= FNCol; ++c) {
      int64_t s = 0;
      const int32_t* p = ColData(c);
      for (int32_t r = 0; r < FNRow; ++r) s += p[r];
      Means->SetVal(c, FNRow > 0 ? static_cast<double>(s) / FNRow : 0.0);
    }
    return;
  }
  std::vector<int64_t> sums;
  if (!TryAllocate(sums, static_cast<size_t>(FNRow), int64_t{0})) RaiseNoHeap();
  for (int32_t c = 1; c <= FNCol; ++c) {
    const int32_t* p = ColData(c);
    for (size_t r = 0; r < sums.size(); ++r) sums[r] += p[r];
  }
  Means->SetVecSize(FNRow);
  for (int32_t r = 1; r <= FNRow; ++r)
    Means->SetVal(r, FNCol > 0 ? static_cast<double>(sums[static_cast<size_t>(r - 1)]) / FNCol
                               : 0.0);
}

void TIntMatrix::EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const {
  if (DestVec == nullptr || FIsSparse) return;
  // Integers are always comparable, so an extreme over at least one element is
  // that element's value; the start values stay only for an empty line.
  const bool perColumn = Orient == orVertical;
  const int32_t lines = perColumn ? FNCol : FNRow;
  const int32_t across = perColumn ? FNRow : FNCol;
  std::vector<int64_t> sum;
  std::vector<int32_t> mn, mx;
  if (!TryAllocate(sum, static_cast<size_t>(lines), int64_t{0}) ||
      !TryAllocate(mn, static_cast<size_t>(lines), int32_t{2147483647}) ||
      !TryAllocate(mx, static_cast<size_t>(lines), int32_t{-2147483647 - 1}))
    RaiseNoHeap();
  for (int32_t c = 0; c < FNCol; ++c) {
    const int32_t* p = ColData(c + 1);
    for (int32_t r = 0; r < FNRow; ++r) {
      const size_t l = static_cast<size_t>(perColumn ? c : r);
      sum[l] += p[r];
      mn[l] = p[r] < mn[l] ? p[r] : mn[l];
      mx[l] = p[r] > mx[l] ? p[r] : mx[l];
    }
  }
  DestVec->SetVecSize(lines);
  for (int32_t l = 0; l < lines; ++l) {
    const size_t i = static_cast<size_t>(l);
    double v = 0.0;
    switch (EdgeOp) {
      case eopMin:
        v = across > 0 ? mn[i] : uc_MaxDouble;
        break;
      case eopMax:
        v = across > 0 ? mx[i] : -uc_MaxDouble;
        break;
      case eopSum:
        v = static_cast<double>(sum[i]);
        break;
      case eopMean:
        v = across > 0 ? static_cast<double>(sum[i]) / across : 0.0;
        break;
    }
    DestVec->SetVal(l + 1, v);
  }
}

std::string TIntMatrix::CRCofData() const {
  if (FIsSparse) return std::string();
  return detail::ByteLaneCRCText(FMat.data(), FNCol > 0 && FNRow > 0 ? FMat.size() : 0);
}

}  // namespace nuv
