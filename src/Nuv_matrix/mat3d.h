// TMat3D: a three-dimensional array of doubles addressed by column, row and
// layer (all from 1): an image with several layers, or the weight cube of a
// self-organizing map. The elements live in one contiguous buffer in which
// the layers of one pixel are contiguous: element (x, y, z) is at
// ((x - 1) * NrOfRows + (y - 1)) * NrOfLayers + (z - 1), so each pixel's
// vector of layer values can be read as one array (PixelData).
//
// Operations are defined in mat3d.cpp (storage, filling, copies, checksum)
// and mat3d_stats.cpp (search, extremes, percentiles).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_matrix/array_buffer.h"
#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// A 3-D array read from XML before it replaces an array's contents.
struct TMat3DXmlContent {
  int32_t Counts[3] = {};
  std::string DataID;
  TDoubleBuffer Data;  ///< in storage order
};

class NUV_API TMat3D : public TComponent {
 public:
  /// 1 column, 1 row, 1 layer, the element 0.0.
  explicit TMat3D(TComponent* AOwner = nullptr);
  ~TMat3D() override;

  // --- storage and element access (mat3d.cpp) ------------------------------
  int32_t NrOfColumns() const { return FNumX; }
  int32_t NrOfRows() const { return FNumY; }
  int32_t NrOfLayers() const { return FNumZ; }
  /// Resize with one count changed; a count <= 0 becomes 1.
  void SetNCols(int32_t Nc) { Resize(Nc < 1 ? 1 : Nc, FNumY, FNumZ); }
  void SetNRows(int32_t Nr) { Resize(FNumX, Nr < 1 ? 1 : Nr, FNumZ); }
  void SetNLayers(int32_t Nl) { Resize(FNumX, FNumY, Nl < 1 ? 1 : Nl); }
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// Element (Nx, Ny, Nz); 0.0 outside the array.
  double GetVal(int32_t Nx, int32_t Ny, int32_t Nz) const {
    if (!Inside(Nx, Ny, Nz)) return 0.0;
    return FMat[Index(Nx, Ny, Nz)];
  }
  /// Stores the element; ignored outside the array. Fires nothing.
  void SetVal(int32_t Nx, int32_t Ny, int32_t Nz, double Value) {
    if (Inside(Nx, Ny, Nz)) FMat[Index(Nx, Ny, Nz)] = Value;
  }
  /// The NrOfLayers values of pixel (Nx, Ny) (both 1-based and inside the array).
  const double* PixelData(int32_t Nx, int32_t Ny) const { return FMat.data() + Index(Nx, Ny, 1); }
  double* PixelData(int32_t Nx, int32_t Ny) { return FMat.data() + Index(Nx, Ny, 1); }
  /// The whole buffer, pixel after pixel (column outer, row inner).
  const double* Data() const { return FMat.data(); }
  double* Data() { return FMat.data(); }

  /// Nothing happens (result true) when a count is <= 0 or all three equal the present
  /// ones. Otherwise keeps the elements whose indices stay valid (new ones 0.0) and fires
  /// OnChange. Always true. Raises ENUVMatrixError "not enough memory on heap", the
  /// array unchanged.
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl);
  /// Resize, then Fill(0) (which fires nothing).
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl);
  /// Every element := Value. Fires nothing.
  void Fill(double Value);
  /// Elements (i, i, i) for i = 1..min of the counts := Value; fires OnChange.
  void FillDiag(double Value);
  /// RangeLow + u (RangeHigh - RangeLow), u uniform in [0, 1); layer innermost. Fires OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// GRandom() StdDev + Mean in the same order. Fires OnChange.
  void FillRandomGauss(double Mean, double StdDev);
  /// Nothing for an absent source; otherwise takes its counts and elements and fires
  /// OnChange. DataID and events are not copied.
  void Clone(const TMat3D* MatSource);
  /// Checksum of the elements (column outermost, layer innermost): 64 hex digits.
  std::string CRCofData() const;

  // --- XML (mat3d_xml.cpp; docs/formats.md) -------------------------------------------
  // As the TMatrix forms: the element holds the counts, DataID and the elements
  // in storage order; reading takes all of them and fires OnChange once.
  bool SaveAsXMLFile(const std::string& FileName) const;
  void WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const;
  void WriteToXMLStream(TStream* OutStream, bool CreateHeader) const;
  bool LoadFromXMLFile(const std::string& FileName, const std::string& DataID = std::string(),
                       TXmlReadInfo* Info = nullptr);
  bool ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                           const std::string& DataID = std::string(),
                           TXmlReadInfo* Info = nullptr);
  bool ReadFromXMLStream(TStream* InStream, bool FromCurrentPos,
                         const std::string& DataID = std::string(), TXmlReadInfo* Info = nullptr);
  void WriteXMLElement(TXmlWriter& W) const;
  static void ParseXMLElement(TXmlReader& R, TMat3DXmlContent& C);
  /// Takes C (its storage swapped in, nothing allocated) and fires OnChange.
  void CommitXML(TMat3DXmlContent& C);

  void MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    MakeValidRange(LowCol, HighCol, FNumX);
  }
  void MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    MakeValidRange(LowRow, HighRow, FNumY);
  }
  void MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const {
    MakeValidRange(LowLayer, HighLayer, FNumZ);
  }

  /// Layer Layer of the column and row ranges (made valid; (0, 0) is all) into DestMat,
  /// resized to the block; (x, y) goes to (x - LowCol + 1, y - LowRow + 1) through its
  /// SetVal, so DestMat's OnChange fires per element when assigned. Nothing for an absent
  /// DestMat. Raises ENUVMatrixError "specified layer beyond data range" for a layer
  /// outside 1..NrOfLayers before DestMat is touched.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                         int32_t HighRow, int32_t Layer) const;
  /// Source positions (c, r) of SrcLowCol..SrcHighCol x SrcLowRow..SrcHighRow (taken as
  /// given: nothing for a reversed range) go to (c - SrcLowCol + LayLowCol,
  /// r - SrcLowRow + LayLowRow) of layer Layer where that lies inside the array, with
  /// SrcMat.GetVal(c, r) (0.0 outside SrcMat). Fires nothing; nothing for an absent
  /// SrcMat. Raises "specified layer beyond data range" for a bad layer.
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                         int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer, int32_t LayLowCol,
                         int32_t LayLowRow);

  // --- search and statistics (mat3d_stats.cpp) -----------------------------
  // Ranges are made valid per dimension ((0, 0) is all).

  /// Position of the element closest to Value (the first of equally close ones, column
  /// outer, layer inner); all indices 0 when none is closer than uc_MaxDouble.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, double Value, int32_t& ColIx, int32_t& RowIx,
            int32_t& LayerIx) const;
  /// Smallest and largest value of the block; NaN is never taken, and with no comparable
  /// value the start values uc_MaxReal and -uc_MaxReal stay. Progress: ProcStat + 1 and
  /// MathFeedBackProc after every (pixels of the block div 100 + 1)-th column-row pixel.
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, double& Minimum, double& Maximum) const;
  /// The value of rank n Prob / 100 (rounded half to even, at most n - 1; Prob clipped
  /// to 0..100) among the n elements of the block. NaN Prob gives NaN. Raises
  /// ENUVMatrixError "not enough memory on heap" when the work copy cannot be had.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer) const;
  /// The same over SampleSize elements drawn with replacement (column, row and layer
  /// offsets in that order) after reseeding the uniform generator from the clock; the
  /// whole block when SampleSize <= 0 or not smaller than the block.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                    int32_t SampleSize) const;

  // --- events ---------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  void Changed() {
    if (FOnChange) FOnChange(this);
  }

 private:
  bool Inside(int32_t Nx, int32_t Ny, int32_t Nz) const {
    return Nx >= 1 && Nx <= FNumX && Ny >= 1 && Ny <= FNumY && Nz >= 1 && Nz <= FNumZ;
  }
  size_t Index(int32_t Nx, int32_t Ny, int32_t Nz) const {
    return (static_cast<size_t>(Nx - 1) * static_cast<size_t>(FNumY) +
            static_cast<size_t>(Ny - 1)) *
               static_cast<size_t>(FNumZ) +
           static_cast<size_t>(Nz - 1);
  }
  [[noreturn]] void RaiseNoHeap() const;
  void CheckLayer(int32_t Layer) const;

  int32_t FNumX = 1;
  int32_t FNumY = 1;
  int32_t FNumZ = 1;
  std::string FDataID;
  TDoubleBuffer FMat;
  TNotifyEvent FOnChange;
};

}  // namespace nuv
