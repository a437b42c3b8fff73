// TIntVector: the one-dimensional array of 32-bit integers, indexed from 1.
// Products and sums of elements are 32-bit integer arithmetic and wrap.
#pragma once

#include <cstdint>
#include <string>

#include "Nuv_vector/vector_core.h"

namespace nuv {

class TMemoryStream;
class TFileStream;
class TStream;

class NUV_API TIntVector : public TVectorCore<int32_t> {
 public:
  explicit TIntVector(TComponent* AOwner = nullptr);

  /// NrOfElem setter: Resize only for NE > 0 different from the current size.
  void SetIntVecSize(int32_t NE) {
    if (NE > 0 && NE != FNElem) Resize(NE);
  }
  double Leng() const { return CalcVecLeng(); }


  /// Counts elements FirstElem..LastElem (unclipped) into |LastBin - FirstBin + 1| div
  /// BinWidth integer bins of Histo (BinWidth <= 0 counts as 1). Values at or beyond the
  /// end of the last bin count as overflow. Raises ENUVVectorError
  /// "Component \"<Name>.Histogram\": invalid number of bins" for 0 or more than 500 bins.
  bool Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin, int32_t LastBin,
                 int32_t BinWidth, TIntVector* Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;

  /// Record: first index, last index, the elements, each a 32-bit little-endian integer.
  void SaveToStream(TMemoryStream*& OutStream, int32_t LowElem, int32_t HighElem) const;
  void SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const;
  bool LoadFromStream(TMemoryStream* InStream, bool AdjustVectorSize);
  bool LoadFromStream(TFileStream* InStream, bool AdjustVectorSize);
  /// Text file: "first last" header line, one decimal integer per line (CRLF).
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const;
  /// Reads the text file; each value is read as a decimal number and rounded (halves to even).
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize);

 private:
  bool LoadFromStreamImpl(TStream* InStream, bool AdjustVectorSize);
  void SaveToStreamImpl(TStream* OutStream, int32_t LowElem, int32_t HighElem) const;
};

}  // namespace nuv
