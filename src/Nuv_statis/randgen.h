// TRandGen: random numbers of an arbitrary distribution over an interval, drawn by
// rejection sampling against a table of relative probabilities.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// The interval [LowBorder, HighBorder] is cut into Resolution equal bins; bin i
/// (1-based) starts at Lambda[i] = LowBorder + (i - 1) (HighBorder - LowBorder) /
/// Resolution and carries the relative probability Probability[i], meant to lie in
/// 0..1. A draw picks a bin and a position inside it uniformly and accepts it with
/// the probability interpolated linearly from the bin's value towards the next bin's
/// (towards 0 in the last bin). Draws come from the process-wide uniform generator
/// (Random), so SetRandSeed makes a sequence reproducible; the object keeps no seed.
class NUV_API TRandGen : public TComponent {
 public:
  static constexpr int32_t MinResolution = 10;
  static constexpr int32_t MaxResolution = 4000;
  /// Attempts of one draw before the last position is returned whatever its outcome.
  static constexpr int32_t MaxAttempts = 100001;

  /// Resolution 500, every probability 1.0, both borders 0. Raises ENUVStatisError
  /// "Component \"<Name>\": not enough memory on heap".
  explicit TRandGen(TComponent* AOwner = nullptr);
  ~TRandGen() override;

  double LowBorder() const { return FLowBorder; }
  void SetLowBorder(double Value) { FLowBorder = Value; }
  double HighBorder() const { return FHighBorder; }
  void SetHighBorder(double Value) { FHighBorder = Value; }
  int32_t Resolution() const { return FResolution; }
  /// Count clamped to 10..4000; the table gets that many entries, all 1.0 (earlier
  /// values are lost). Raises ENUVStatisError "Component \"<Name>\": not enough
  /// memory", leaving resolution and table as they were.
  void SetResolution(int32_t Count);

  /// Entry Idx; 0 outside 1..Resolution.
  double GetProbability(int32_t Idx) const {
    return Idx >= 1 && Idx <= FResolution ? FDistVec[static_cast<size_t>(Idx - 1)] : 0.0;
  }
  /// Stores Value clamped to 0..1 (NaN stores 0) when Idx lies in 1..Resolution.
  void SetProbability(int32_t Idx, double Value);
  /// Lower edge of bin ix: LowBorder for ix <= 0, HighBorder for ix > Resolution.
  double GetLambda(int32_t ix) const;
  /// Bin holding Lambda: 0 below LowBorder, Resolution + 1 above HighBorder and at
  /// HighBorder itself, else floor((Lambda - LowBorder) Resolution / (HighBorder -
  /// LowBorder)) + 1.
  int32_t IndexOfLambda(double Lambda) const;

  // Filling the table: entry i gets the function's value at Lambda[i]. Nothing is
  // rescaled, so densities may leave entries above 1 (see Normalize, Standardize).

  /// Every entry 1.0.
  void UniformDistri();
  /// exp(-(Lambda - m)^2 / (2 s^2)), 1 at m. With s = 0 the entry at m is 1, the others 0.
  void NormalDistri(double m, double s);
  /// WeibullDensity(Lambda, beta, eta): shape beta, scale eta; 0 for Lambda <= 0.
  void WeibullDistri(double beta, double eta);
  /// tDistriDensity(Lambda, df).
  void tDistri(int32_t df);
  /// Chi2DistriDensity(Lambda, df), 0 below 0. The infinite density of df = 1 at 0 is
  /// replaced by its mean over the bin that starts there, so the table stays finite.
  void Chi2Distri(int32_t df);
  /// FDistriDensity(Lambda, df1, df2), 0 at and below 0.
  void FDistri(int32_t df1, int32_t df2);

  /// Maps the entries linearly onto 0..1 (smallest to 0, largest to 1); nothing
  /// changes when all entries are equal.
  void Normalize();
  /// Divides every entry by the largest; false, table unchanged, when that is 0.
  bool Standardize();

  /// One random number in [LowBorder, HighBorder) by rejection sampling: up to
  /// 100001 attempts, each drawing a bin k and a position r in [0, 1) and accepting
  /// when the level interpolated at r (p(k) to p(k + 1), the last bin p(k) to 0) is
  /// at least 1 or exceeds a further uniform draw. A table of zeros gives the
  /// position of the last attempt, uniformly distributed.
  double GetRandNum();
  /// The Random property: GetRandNum.
  double Random() { return GetRandNum(); }

 private:
  /// Table entry i (1-based) computed from Lambda[i] by F.
  template <class F>
  void FillFrom(F Value);

  double FLowBorder = 0.0;
  double FHighBorder = 0.0;
  int32_t FResolution = 500;
  std::vector<double> FDistVec;
};

}  // namespace nuv
