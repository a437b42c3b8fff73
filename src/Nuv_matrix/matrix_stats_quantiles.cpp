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

bool TMatrix::Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        double& Q1, double& Q2, double& Q3) const {
  return detail::QuartilesOf(*this, FMat.data(), MakeBlock(*this, LowCol, HighCol, LowRow, HighRow),
                             Q1, Q2, Q3);
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow) const {
  return detail::BlockPercentileOf(*this, FMat.data(),
                                   MakeBlock(*this, LowCol, HighCol, LowRow, HighRow), Prob);
}

double TMatrix::Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow, int32_t SampleSize) const {
  const TMatBlock b = MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  // A sample that is not smaller than the block (or none) is the block itself.
  if (SampleSize <= 0 || SampleSize >= b.Count())
    return detail::BlockPercentileOf(*this, FMat.data(), b, Prob);
  return detail::SampledPercentileOf(*this, FMat.data(), b, Prob, SampleSize, true);
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
