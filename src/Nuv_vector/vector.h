// TVector: the one-dimensional array of doubles, indexed from 1.
#pragma once

#include <cstdint>
#include <string>

#include "Nuv_vector/vector_core.h"

namespace nuv {

class TIntVector;
class TMemoryStream;
class TFileStream;
class TStream;

/// Sample spacing rules of TVector::Integrate.
enum TIntegMethod : uint8_t { imSimple, imTrapezoidal, imSimpson };

class NUV_API TVector : public TVectorCore<double> {
 public:
  explicit TVector(TComponent* AOwner = nullptr);

  /// NrOfElem setter: Resize only for NE > 0 different from the current size.
  void SetVecSize(int32_t NE) {
    if (NE > 0 && NE != FNElem) Resize(NE);
  }
  double Leng() const { return CalcVecLeng(); }
  /// Scales the vector to length x. Raises ENUVVectorError "vector has zero length".
  void SetVecLeng(double x);


  /// Element i := RangeLow + u (RangeHigh - RangeLow), u uniform, in element order.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// Element i := g StdDev + Mean, g a standard normal deviate from GRandom.
  void FillRandomGauss(double Mean, double StdDev);

  /// Counts elements FirstElem..LastElem (unclipped: outside indices read 0) into
  /// round(|LastBin - FirstBin| / BinWidth) bins of Histo (resized to that, then cleared).
  /// Values at or beyond the end of the last bin count as overflow. False, with nothing
  /// changed, for more than 500 bins or a BinWidth that is not positive.
  bool Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                 double BinWidth, TIntVector* Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;
  /// Subtracts the mean from every element and returns it; no event.
  double MeanCenter();
  /// (x - mean) / stddev for every element unless stddev <= 0; no event.
  void Standardize(double& Mean, double& StdDev);
  /// (x - median) / |median - RefQuant percentile| unless that difference is <= 0; no event.
  void QNormalize(double RefQuant, double& Median, double& QuantDiff);
  /// Integral of the elements as samples at x = 1, 2, ... from BoundLow to BoundHigh.
  double Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const;

  /// Record: first index, last index, the elements, each as a 10-byte extended value.
  /// An absent memory stream is created and returned (the caller owns it).
  void SaveToStream(TMemoryStream*& OutStream, int32_t LowElem, int32_t HighElem) const;
  void SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const;
  /// Reads a record written by SaveToStream; false for absent, short or impossible data.
  bool LoadFromStream(TMemoryStream* InStream, bool AdjustVectorSize);
  bool LoadFromStream(TFileStream* InStream, bool AdjustVectorSize);
  /// Text file: "first last" header line, one value per line (CRLF). Precision 0..20
  /// decimals, -1 and -2 scientific in 13 and 26 characters; below -2 counts as 2.
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                   const std::string& FileName) const;
  /// Reads the text file of StoreOnFile; false when it cannot be opened, its header is bad,
  /// the vector is too small for it, or the file is far too short for the header's range.
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize);
  /// With AutoDetect, reads a headerless list: one value per line holding a digit.
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect);

 private:
  bool LoadFromStreamImpl(TStream* InStream, bool AdjustVectorSize);
  void SaveToStreamImpl(TStream* OutStream, int32_t LowElem, int32_t HighElem) const;
};

}  // namespace nuv
