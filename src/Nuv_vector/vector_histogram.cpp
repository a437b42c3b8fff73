// Histograms of both vector classes into a TIntVector.
#include <cmath>

#include "Nuv_vector/histogram_bins.h"
#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"

namespace nuv {

bool TVector::Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                        double BinWidth, TIntVector* Histo, int32_t& Underflow,
                        int32_t& Overflow, int32_t& MaxCnt) const {
  int32_t numBins = 0;
  if (Histo == nullptr || !detail::DoubleHistoBinCount(FirstBin, LastBin, BinWidth, numBins))
    return false;
  detail::THistoBinner<double> bins(Histo, numBins, FirstBin, BinWidth, LastBin + BinWidth,
                                    Underflow, Overflow, MaxCnt);
  // The index range is not clipped: indices outside the vector read as 0.
  for (int64_t i = FirstElem; i <= LastElem; ++i) bins.Count(GetVal(static_cast<int32_t>(i)));
  return true;
}

bool TIntVector::Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin,
                           int32_t LastBin, int32_t BinWidth, TIntVector* Histo,
                           int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) const {
  if (BinWidth <= 0) BinWidth = 1;
  const int64_t nb = std::llabs(static_cast<int64_t>(LastBin) - FirstBin + 1) / BinWidth;
  if (nb <= 0 || nb > 500)
    throw ENUVVectorError("Component \"" + Name() + ".Histogram\": invalid number of bins");
  if (Histo == nullptr) return false;
  // Integer bins in 64 bits: the acceptance limit LastBin + BinWidth may pass 2^31.
  detail::THistoBinner<int64_t> bins(Histo, static_cast<int32_t>(nb), FirstBin, BinWidth,
                                     static_cast<int64_t>(LastBin) + BinWidth, Underflow,
                                     Overflow, MaxCnt);
  for (int64_t i = FirstElem; i <= LastElem; ++i) bins.Count(GetVal(static_cast<int32_t>(i)));
  return true;
}

}  // namespace nuv
