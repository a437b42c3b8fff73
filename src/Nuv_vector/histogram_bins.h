// Counting values into the bins of a histogram vector, shared by the
// histograms of vectors and matrices. Values below FirstBin are underflow;
// values accepted below the acceptance limit whose bin number lies past the
// last bin are overflow like the values above the limit, so that no value is
// lost. Each counted value goes through the histogram's element setter.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "Nuv_vector/intvector.h"

namespace nuv {
namespace detail {

/// The bin count of a histogram with double bounds: round(|LastBin - FirstBin| / BinWidth),
/// halves to even. False for a BinWidth that is not positive or more than 500 bins.
inline bool DoubleHistoBinCount(double FirstBin, double LastBin, double BinWidth,
                                int32_t& NumBins) {
  if (!(BinWidth > 0)) return false;
  const double nb = std::nearbyint(std::fabs(LastBin - FirstBin) / BinWidth);
  if (!(nb <= 500)) return false;
  NumBins = static_cast<int32_t>(nb);
  return true;
}

template <class T>
class THistoBinner {
 public:
  /// Resizes Histo to NumBins (when it differs), clears it and zeroes the counters.
  THistoBinner(TIntVector* Histo, int32_t NumBins, T FirstBin, T BinWidth, T Limit,
               int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt)
      : histo_(Histo), numBins_(NumBins), first_(FirstBin), width_(BinWidth), limit_(Limit),
        under_(Underflow), over_(Overflow), maxCnt_(MaxCnt) {
    if (NumBins != Histo->NrOfElem()) Histo->Resize(NumBins);
    Histo->Clear();
    under_ = 0;
    over_ = 0;
    maxCnt_ = 0;
  }

  void Count(T x) {
    if (!(first_ <= x)) {
      ++under_;
      return;
    }
    if (!(x < limit_)) {
      ++over_;
      return;
    }
    T bin;
    if constexpr (std::is_floating_point_v<T>) {
      bin = std::floor((x - first_) / width_) + 1;
    } else {
      bin = (x - first_) / width_ + 1;
    }
    if (bin > numBins_) {
      ++over_;
      return;
    }
    const auto b = static_cast<int32_t>(bin);
    const int32_t count = histo_->GetVal(b) + 1;
    histo_->SetVal(b, count);
    if (count > maxCnt_) maxCnt_ = count;
  }

 private:
  TIntVector* histo_;
  int32_t numBins_;
  T first_, width_, limit_;
  int32_t& under_;
  int32_t& over_;
  int32_t& maxCnt_;
};

}  // namespace detail
}  // namespace nuv
