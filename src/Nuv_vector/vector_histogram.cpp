// Histograms of both vector classes into a TIntVector.
#include <cmath>

#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"

namespace nuv {

namespace {

// Resizes and clears the histogram and zeroes the counters.
void StartHistogram(TIntVector* Histo, int32_t NumBins, int32_t& Underflow, int32_t& Overflow,
                    int32_t& MaxCnt) {
  if (NumBins != Histo->NrOfElem()) Histo->Resize(NumBins);
  Histo->Clear();
  Underflow = 0;
  Overflow = 0;
  MaxCnt = 0;
}

// One count into a bin through the element setter, so Histo fires OnChange per value.
void CountInBin(TIntVector* Histo, int32_t Bin, int32_t& MaxCnt) {
  const int32_t count = Histo->GetVal(Bin) + 1;
  Histo->SetVal(Bin, count);
  if (count > MaxCnt) MaxCnt = count;
}

}  // namespace

bool TVector::Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                        double BinWidth, TIntVector* Histo, int32_t& Underflow,
                        int32_t& Overflow, int32_t& MaxCnt) const {
  if (Histo == nullptr || !(BinWidth > 0)) return false;
  const double nb = std::nearbyint(std::fabs(LastBin - FirstBin) / BinWidth);
  if (!(nb <= 500)) return false;
  const int32_t numBins = static_cast<int32_t>(nb);
  StartHistogram(Histo, numBins, Underflow, Overflow, MaxCnt);
  const double upper = LastBin + BinWidth;
  for (int64_t i = FirstElem; i <= LastElem; ++i) {
    const double x = GetVal(static_cast<int32_t>(i));
    if (!(FirstBin <= x)) {
      ++Underflow;
    } else if (x < upper) {
      const double bin = std::floor((x - FirstBin) / BinWidth) + 1;
      // The accepted values reach past the last bin; those are overflow, not lost.
      if (bin <= numBins) {
        CountInBin(Histo, static_cast<int32_t>(bin), MaxCnt);
      } else {
        ++Overflow;
      }
    } else {
      ++Overflow;
    }
  }
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
  const int32_t numBins = static_cast<int32_t>(nb);
  StartHistogram(Histo, numBins, Underflow, Overflow, MaxCnt);
  const int64_t upper = static_cast<int64_t>(LastBin) + BinWidth;
  for (int64_t i = FirstElem; i <= LastElem; ++i) {
    const int64_t v = GetVal(static_cast<int32_t>(i));
    if (v < FirstBin) {
      ++Underflow;
    } else if (v < upper) {
      const int64_t bin = (v - FirstBin) / BinWidth + 1;
      if (bin <= numBins) {
        CountInBin(Histo, static_cast<int32_t>(bin), MaxCnt);
      } else {
        ++Overflow;
      }
    } else {
      ++Overflow;
    }
  }
  return true;
}

}  // namespace nuv
