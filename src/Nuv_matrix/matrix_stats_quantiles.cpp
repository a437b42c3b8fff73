// Quartiles, percentiles (over the block and over a random sample of it) and
// histograms of matrix blocks.
#include "Nuv_matrix/matrix_stats_quantiles.h"

#include <cmath>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_vector/histogram_bins.h"

namespace nuv {

using detail::MakeBlock;
using detail::TMatBlock;

// Only the order statistics that the quartiles interpolate between are
// selected; sorting the whole work copy would give the same values.
bool TMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        double& Q1, double& Q2, double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  const int64_t n = b.Count();
  if (n == 0) return false;
  std::vector<double> work;
  if (!detail::CopyBlock(FMat.data(), FRowsAlloc, FNRow, b, work)) RaiseNoHeap();
  const detail::TOrderPos pos[3] = {detail::QuartilePos(n, 0.25), detail::QuartilePos(n, 0.5),
                                    detail::QuartilePos(n, 0.75)};
  detail::SelectOrderPositions(work, pos, 3);
  Q1 = detail::Interpolate(work, pos[0]);
  Q2 = detail::Interpolate(work, pos[1]);
  Q3 = detail::Interpolate(work, pos[2]);
  return true;
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  if (b.Count() == 0) return 0.0;
  std::vector<double> work;
  if (!detail::CopyBlock(FMat.data(), FRowsAlloc, FNRow, b, work)) RaiseNoHeap();
  return detail::PercentileOf(work, Prob);
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow, int32_t SampleSize) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  const int64_t n = b.Count();
  // A sample that is not smaller than the block (or none) is the block itself.
  if (SampleSize <= 0 || SampleSize >= n) return Percentile(Prob, LowCol, LowRow, HighCol, HighRow);
  if (Prob < 0) Prob = 0;
  if (Prob > 100) Prob = 100;
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(SampleSize))) RaiseNoHeap();
  Randomize();
  const int32_t cols = static_cast<int32_t>(b.Cols());
  const int32_t rows = static_cast<int32_t>(b.Rows());
  int64_t zeros = 0, negatives = 0;
  for (double& v : work) {
    const int32_t c = b.C1 + Random(cols);
    const int32_t r = b.R1 + Random(rows);
    v = FMat[Index(c, r)];
    zeros += v == 0.0;
    negatives += v < 0.0;
  }
  const double P = Prob / 100;
  const double S = SampleSize;
  // A rank that falls among the drawn zeros is 0 without selecting.
  if (P <= static_cast<double>(negatives) / S || P >= static_cast<double>(negatives + zeros) / S)
    return detail::PercentileOf(work, Prob);
  if (std::isnan(P)) return detail::PercentileOf(work, Prob);
  return 0.0;
}

bool TMatrix::Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                        double LastBin, double BinWidth, TIntVector* Histo, int32_t& Underflow,
                        int32_t& Overflow, int32_t& MaxCnt) const {
  int32_t numBins = 0;
  if (Histo == nullptr || !detail::DoubleHistoBinCount(FirstBin, LastBin, BinWidth, numBins))
    return false;
  detail::THistoBinner<double> bins(Histo, numBins, FirstBin, BinWidth, LastBin + BinWidth,
                                    Underflow, Overflow, MaxCnt);
  const TMatBlock b = MakeBlock(*this, LoX, HiX, LoY, HiY);
  detail::ForEachSpan(FMat.data(), FRowsAlloc, FNRow, b, [&](const double* p, int64_t n) {
    for (int64_t i = 0; i < n; ++i) bins.Count(p[i]);
  });
  return true;
}

}  // namespace nuv
