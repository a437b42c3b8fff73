// What TVector and TIntVector share: storage, element access, sizing,
// copying, element-wise arithmetic, searching, sorting and descriptive
// statistics. One implementation serves both element types; where the
// integer vector behaves differently the code says so with `if constexpr`.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

class TVector;
class TIntVector;

template <class T>
class NUV_API TVectorCore : public TComponent {
  static_assert(std::is_same_v<T, double> || std::is_same_v<T, int32_t>,
                "vectors hold doubles or 32-bit integers");

 public:
  using ElemType = T;
  /// The vector class of this element type: the operations that take a second vector
  /// take one of the receiver's own class (TVector::Add takes a const TVector*).
  using VectorType = std::conditional_t<std::is_same_v<T, double>, TVector, TIntVector>;

  /// One element, value 0, IsEmpty true.
  explicit TVectorCore(TComponent* AOwner = nullptr);
  ~TVectorCore() override;

  // --- storage and element access -----------------------------------------
  int32_t NrOfElem() const { return FNElem; }
  /// Element Elem (1-based); 0 outside 1..NrOfElem.
  T GetVal(int32_t Elem) const {
    return Elem >= 1 && Elem <= FNElem ? FVec[static_cast<size_t>(Elem - 1)] : T(0);
  }
  /// Stores Value inside 1..NrOfElem, clears IsEmpty and fires OnChange; outside does nothing.
  void SetVal(int32_t Elem, T Value) {
    if (Elem < 1 || Elem > FNElem) return;
    FVec[static_cast<size_t>(Elem - 1)] = Value;
    FIsEmpty = false;
    Changed();
  }
  /// Keeps the elements that stay valid, new ones are 0; fires OnChange when the size changes.
  /// False for NE <= 0. Raises ENUVVectorError "not enough memory" when storage cannot be had.
  bool Resize(int32_t NE);
  void MakeValidElemRange(int32_t& LowElem, int32_t& HighElem) const {
    MakeValidRange(LowElem, HighElem, FNElem);
  }
  bool IsEmpty() const { return FIsEmpty; }
  void SetIsEmpty(bool Value) { FIsEmpty = Value; }
  /// Direct access to the contiguous elements (element 1 at index 0).
  const T* Data() const { return FVec.data(); }
  T* Data() { return FVec.data(); }

  // --- events ---------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent Handler) { FOnSortExchange = std::move(Handler); }
  /// Fires OnChange(Self) if assigned.
  void Changed() {
    if (FOnChange) FOnChange(this);
  }

  // --- copying and filling --------------------------------------------------
  /// From a vector of the same element type: copies size, elements, IsEmpty and both
  /// events, firing nothing. Anything else raises EConvertError.
  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;
  /// Resizes to the source's size and copies every element through SetVal, then Changed.
  void Clone(const VectorType* VecSource);
  /// Copies source elements SourceElemLo..SourceElemHi (each bound clipped into the source,
  /// no "all" rule) to DestElem onwards through SetVal; no resizing; Changed at the end.
  void CopyFrom(const VectorType* VecSource, int32_t SourceElemLo, int32_t SourceElemHi,
                int32_t DestElem);
  /// Every element := Value; IsEmpty false; Changed.
  void Fill(T Value);
  /// Every element := 0; IsEmpty true; Changed.
  void Clear();
  /// Every element := |element|; Changed.
  void AbsVal();
  /// Euclidean length.
  double CalcVecLeng() const;
  /// Checksum: one CRC-32 register per byte of the element type, as upper-case hex.
  std::string CRCofData() const;

  // --- element-wise arithmetic and comparison -------------------------------
  /// Raise ENUVVectorError "vectors have different dimensions" for other sizes.
  void Add(const VectorType* OtherVec);
  void Subtract(const VectorType* OtherVec);
  void SMult(T Scalar);
  T DotProduct(const VectorType* OtherVec) const;
  /// Sum of element i times OtherVec element i + ElemShift (missing elements count 0).
  T Correlate(const VectorType* OtherVec, int32_t ElemShift) const;
  /// 0 for different sizes, fewer than 2 elements or a constant vector.
  double PearsonCorrCoeff(const VectorType* OtherVec) const;
  /// Raises ENUVVectorError "EuclideanDistance: dimensions of vectors do not match".
  double EuclideanDistance(const VectorType* OtherVec) const;
  /// Index of the element closest to Value in the clipped range; the first of equals wins.
  /// NaN elements are never closest; a NaN Value gives 0.
  int32_t Find(int32_t LowElem, int32_t HighElem, T Value) const;
  /// Bisection in a sorted vector; without an exact match the closer neighbour, the higher
  /// one on a tie.
  int32_t FindInSortedVector(bool Ascending, T Value) const;

  // --- statistics -----------------------------------------------------------
  /// Extremes of the clipped range (see the design notes for the start values and NaN).
  void MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum) const;
  void MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum, int32_t& MinIx,
              int32_t& MaxIx) const;
  /// Mean and sample variance; variance 1 for fewer than 3 values.
  void MeanVar(int32_t LowElem, int32_t HighElem, double& Mean, double& Variance) const;
  T Sum(int32_t LowElem, int32_t HighElem) const;
  double GeometricMean(int32_t LowElem, int32_t HighElem) const;
  double HarmonicMean(int32_t LowElem, int32_t HighElem) const;
  void SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  void SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness,
                      double& Kurtosis) const;
  /// Most frequent value of the range; the smallest of equally frequent ones.
  T Mode(int32_t LowElem, int32_t HighElem) const;
  /// Quartiles at the positions (n + 1) p of the sorted range.
  bool Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2, double& Q3) const;
  /// Percentile (prob in percent, clipped to 0..100) at the position (n - 1) p.
  double Percentile(double Prob, int32_t LowElem, int32_t HighElem) const;

  // --- reordering -----------------------------------------------------------
  /// Comb sort of the clipped range; OnSortExchange per exchange, then Changed.
  void SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast);
  /// Reverses the elements; Changed.
  void Mirror();
  /// Reseeds the uniform generator from the clock and makes NrOfElem random exchanges.
  void ShuffleElems();

 protected:
  void SkewKurtIntern(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis,
                      int32_t& NumData) const;
  /// SkewKurtIntern's work; returns the sample standard deviation (0 when undefined).
  double SkewKurtCore(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis,
                      int32_t& NumData) const;
  void SortExchange(uint8_t Kind, int32_t Index1, int32_t Index2, int32_t First, int32_t Last) {
    if (FOnSortExchange) FOnSortExchange(this, Kind, Index1, Index2, First, Last);
  }
  /// Copies size, elements, IsEmpty and both events from Source; fires nothing.
  void AssignCore(const TVectorCore& Source);
  /// Raises ENUVVectorError "not enough memory on heap".
  [[noreturn]] void RaiseNoHeap() const;
  /// A work copy of the clipped range; raises "not enough memory on heap" when it cannot be had.
  std::vector<T> RangeCopy(int32_t LowElem, int32_t HighElem) const;
  void CheckSameSize(const TVectorCore* OtherVec) const;

  int32_t FNElem = 1;
  bool FIsEmpty = true;
  std::vector<T> FVec;
  TNotifyEvent FOnChange;
  TSortExchgEvent FOnSortExchange;
};

extern template class TVectorCore<double>;
extern template class TVectorCore<int32_t>;

}  // namespace nuv
