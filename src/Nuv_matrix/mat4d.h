// TMat4D: a four-dimensional array of doubles addressed by column, row,
// layer and time slot (all from 1): a stack of images with several layers
// recorded at several points in time. The elements live in one contiguous
// buffer, slot outermost and the columns of one row contiguous: element
// (x, y, z, t) is at ((((t - 1) * layers + z - 1) * rows + y - 1) * columns + x - 1),
// which is also the element order of its binary file. Index arithmetic is
// 64-bit: an array may hold more than 2^31 elements.
//
// Operations are defined by topic: mat4d_core.cpp (storage, addressing,
// filling, search, assignment, checksum), mat4d_stats.cpp (block and
// per-pixel statistics, percentiles), mat4d_copy.cpp (copies to and from
// TMatrix, TMat3D, plain arrays and other 4-D arrays), mat4d_reshape.cpp
// (cutting, resampling, transposing, mirroring) and mat4d_file.cpp (the
// binary file of 4096-byte records, see docs/formats.md).
//
// Progress goes either to the object's OnPercentDone (through PercDone) or to
// the library-wide hook (ProcStat + 1, then MathFeedBackProc) after every
// (pixels of the block div 100 + 1)-th column-row pixel; each operation says
// which. A handler that resizes the array while an operation runs stops that
// operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Nuv_matrix/array_buffer.h"
#include "Nuv_matrix/mat3d.h"
#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// (Sender, column, row, layer, slot, value): one element read by TMat4D.ReadBinary.
using TOnReadMat4DElementEvent = std::function<void(TObject* Sender, int32_t ix, int32_t iy,
                                                    int32_t il, int32_t it, double Value)>;

/// A 4-D array read from XML before it replaces an array's contents.
struct TMat4DXmlContent {
  int32_t Counts[4] = {};
  std::string DataID;
  TDoubleBuffer Data;  ///< in storage order
};

class NUV_API TMat4D : public TComponent {
 public:
  /// 1 x 1 x 1 x 1, the element 0.0.
  explicit TMat4D(TComponent* AOwner = nullptr);
  ~TMat4D() override;

  // --- storage, addressing and element access (mat4d_core.cpp) -------------
  int32_t NrOfColumns() const { return FNumX; }
  int32_t NrOfRows() const { return FNumY; }
  int32_t NrOfLayers() const { return FNumZ; }
  int32_t NrOfTimeSlots() const { return FNumT; }
  /// Resize with one count changed; a count <= 0 becomes 1.
  void SetNCols(int32_t Nc) { Resize(Nc < 1 ? 1 : Nc, FNumY, FNumZ, FNumT); }
  void SetNRows(int32_t Nr) { Resize(FNumX, Nr < 1 ? 1 : Nr, FNumZ, FNumT); }
  void SetNLayers(int32_t Nl) { Resize(FNumX, FNumY, Nl < 1 ? 1 : Nl, FNumT); }
  void SetNTSlots(int32_t Nt) { Resize(FNumX, FNumY, FNumZ, Nt < 1 ? 1 : Nt); }
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// Element (Nx, Ny, Nz, Nt); 0.0 outside the array.
  double GetVal(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    if (!Inside(Nx, Ny, Nz, Nt)) return 0.0;
    return FMat[Index(Nx, Ny, Nz, Nt)];
  }
  /// Stores the element; ignored outside the array. Fires nothing.
  void SetVal(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt, double Value) {
    if (Inside(Nx, Ny, Nz, Nt)) FMat[Index(Nx, Ny, Nz, Nt)] = Value;
  }
  /// The whole buffer in element order (slot outermost, column innermost).
  const double* Data() const { return FMat.data(); }
  double* Data() { return FMat.data(); }
  /// Number of elements (columns x rows x layers x slots).
  size_t ElementCount() const { return FMat.size(); }

  /// Nothing happens (result true) when a count is <= 0 or all four equal the present
  /// ones. Otherwise keeps the elements whose indices stay valid (new ones 0.0) and fires
  /// OnChange. Always true. Raises ENUVMatrixError "not enough memory on heap", the
  /// array unchanged.
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  /// Resize, then Fill(0) if it returned true.
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  /// 0-based address ((iy - 1) columns + ix - 1) layers + il - 1 of a position within
  /// one slot (layers of a pixel adjacent); -1 for an index outside the array, -2 when
  /// columns x rows x layers exceeds 2147483647.
  int32_t Lin3DAddr(int32_t ix, int32_t iy, int32_t il) const;
  /// The inverse of Lin3DAddr; false (outputs untouched) for LinAddr < 0 or beyond
  /// columns x rows x layers - 1.
  bool ConvertLinTo3DAddr(int32_t LinAddr, int32_t& ix, int32_t& iy, int32_t& il) const;
  /// Size of the data in megabytes (2^20 bytes).
  double MemoryConsumed() const;

  /// Every element := Value; fires OnChange.
  void Fill(double Value);
  /// Elements (i, i, i, i) for i = 1..min of the four counts := Value; fires OnChange.
  void FillDiag(double Value);
  /// Every element of layer Layer in every slot := Value; nothing for a layer outside
  /// 1..NrOfLayers. Fires nothing.
  void FillLayer(int32_t Layer, double Value);
  /// RangeLow + u (RangeHigh - RangeLow), u uniform in [0, 1), drawn in the order column,
  /// row, layer, slot (slot innermost). Fires OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// GRandom() StdDev + Mean, drawn in the same order. Fires OnChange.
  void FillRandomGauss(double Mean, double StdDev);

  // Ranges below are made valid per dimension ((0, 0) is all).
  void MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    MakeValidRange(LowCol, HighCol, FNumX);
  }
  void MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    MakeValidRange(LowRow, HighRow, FNumY);
  }
  void MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const {
    MakeValidRange(LowLayer, HighLayer, FNumZ);
  }
  void MakeValidTSlotRange(int32_t& LowTSlot, int32_t& HighTSlot) const {
    MakeValidRange(LowTSlot, HighTSlot, FNumT);
  }

  /// Position of the element closest to Value: the first of equally close ones in the
  /// order column, row, layer, slot (slot innermost); all indices 0 when none is closer
  /// than uc_MaxDouble.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double Value,
            int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx, int32_t& TimeSlotIx) const;

  /// Copies the four counts, DataID, the elements and the three events of a TMat4D,
  /// without OnChange; other sources as the component base (EConvertError).
  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;
  /// Nothing for an absent source; otherwise takes its counts and elements and fires
  /// OnChange. Library-wide progress per pixel. DataID and events are not copied.
  void Clone(const TMat4D* MatSource);
  /// Checksum of the elements fed in the order column (outermost), row, layer, slot
  /// (innermost): 64 hex digits. PercDone with one step per column-row pixel.
  std::string CRCofData() const;

  // --- XML (mat4d_xml.cpp; docs/formats.md) -------------------------------------------
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
  static void ParseXMLElement(TXmlReader& R, TMat4DXmlContent& C);
  /// Takes C (its storage swapped in, nothing allocated) and fires OnChange.
  void CommitXML(TMat4DXmlContent& C);

  // --- statistics (mat4d_stats.cpp) -----------------------------------------
  /// Smallest and largest value of the block; NaN is never taken, and with no comparable
  /// value the start values uc_MaxReal and -uc_MaxReal stay. Library-wide progress.
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Minimum,
              double& Maximum) const;
  /// Mean and variance (divisor n - 1; 1.0 for two or fewer elements) of the block.
  /// Library-wide progress.
  void MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
               int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
               double& Mean, double& Variance) const;
  /// Sum of the block. Library-wide progress.
  double Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
             int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  /// Sum of the squares of the block. Library-wide progress.
  double SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot) const;
  /// Number of elements v of the block with RangeLow <= v <= RangeHigh (at most 2147483647).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t LowLayer, int32_t HighLayer, int32_t LowTimeslot,
                      int32_t HighTimeslot, double RangeLow, double RangeHigh) const;
  /// The value of rank k = n Prob / 100 (rounded half to even, at most n - 1; Prob
  /// clipped to 0..100) among the n elements of the block. Five random draws (column,
  /// row, layer and slot offsets from the uniform generator, not reseeded) pick a
  /// dominant value d; when k falls among the elements equal to d the result is d without
  /// a selection. NaN Prob gives NaN. Raises ENUVMatrixError "not enough memory on heap"
  /// when the work copy cannot be had.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot) const;
  /// The same over SampleSize elements drawn with replacement after reseeding the
  /// generator from the clock; the whole block (as above) when SampleSize <= 0 or not
  /// smaller than the block.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot, int32_t SampleSize) const;
  /// Per-pixel statistics over the layers and slots of the block into DestMat, resized to
  /// the block's columns x rows; pixel (x, y) goes to (x - LowCol + 1, y - LowRow + 1)
  /// through its SetVal. Mean; maximum and minimum (NaN never taken; start values
  /// -uc_MaxReal and uc_MaxReal); population standard deviation (divisor n). Nothing for
  /// an absent DestMat. Library-wide progress per pixel.
  void MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                            int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                            int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  void MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  void MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  void StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                              int32_t LowTimeSlot, int32_t HighTimeSlot) const;

  // --- copies (mat4d_copy.cpp) -----------------------------------------------
  /// Each element (x, y, z, t) of the source block goes to (x - SrcLowCol + DestCol, ...);
  /// positions outside the receiver are dropped. Nothing for an absent source. A copy
  /// within one array reads the original values. Library-wide progress per source pixel;
  /// OnChange once at the end.
  void CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol,
                int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLayer, int32_t SrcHighLayer,
                int32_t SrcLowTSlot, int32_t SrcHighTSlot, int32_t DestCol, int32_t DestRow,
                int32_t DestLayer, int32_t DestTSlot);
  /// Layer Layer of slot TimeSlot over the column and row ranges into DestMat, resized to
  /// the block; (x, y) goes to (x - LowCol + 1, y - LowRow + 1) through its SetVal.
  /// Raises ENUVMatrixError "specified layer beyond data range" or "specified time slot
  /// beyond data range" before DestMat is touched. Nothing for an absent DestMat.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                         int32_t HighRow, int32_t Layer, int32_t TimeSlot) const;
  /// Slot TimeSlot over the column, row and layer ranges into DestMat, resized to the
  /// block. Raises "specified time slot beyond data range" for a bad slot.
  void CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                           int32_t HighRow, int32_t LowLay, int32_t HighLay,
                           int32_t TimeSlot) const;
  /// Layer and slot are checked (layer first). The source ranges are made valid against
  /// this array's columns and rows; source position (c, r) goes to
  /// (c - SrcLowCol + LayLowCol, r - SrcLowRow + LayLowRow) where that lies inside, with
  /// SrcMat.GetVal(c, r) (0.0 outside SrcMat). Fires nothing.
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                         int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer, int32_t TimeSlot,
                         int32_t LayLowCol, int32_t LayLowRow);
  /// The same in three dimensions into slot TimeSlot (only the slot is checked); the
  /// source ranges are made valid against this array's columns, rows and layers.
  void CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                           int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLay,
                           int32_t SrcHighLay, int32_t TimeSlot, int32_t DestCol, int32_t DestRow,
                           int32_t DestLayer);
  /// Src[i] goes to layer FirstLayer + i of pixel (Col, Row) in slot TimeSlot, up to the
  /// last layer. Col, Row, FirstLayer and TimeSlot are checked in that order ("specified
  /// column/row/layer/time slot beyond data range"). Fires nothing.
  void Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                          int32_t TimeSlot);

  // --- reshaping (mat4d_reshape.cpp) ------------------------------------------
  /// Keeps only the block (the ranges made valid); fires OnChange. PercDone with two steps
  /// per layer of each slot of the block.
  void Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
           int32_t HighLayer, int32_t LowTimeslot, int32_t HighTimeslot);
  /// Replaces the array by blocks of XDiv x YDiv x ZDiv x TDiv elements, each starting at
  /// (x' - 1) XDiv + (XOffset mod XDiv) + 1 (and so on): their sum divided by the full
  /// block size (elements beyond the edge count as 0.0) when Average, otherwise their
  /// first element (0.0 beyond the edge). Does nothing when a divisor is <= 0. Fires
  /// OnChange; PercDone once per new (slot, layer) pair. Raises "not enough memory on heap".
  void Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv,
                int32_t ZOffset, int32_t TDiv, int32_t TOffset, bool Average);
  /// Exchanges columns and rows in every layer and slot; fires OnChange and returns true.
  /// PercDone over 2 x columns x rows pixel steps; polls AbortMathProc before each group
  /// of columns and, when it is set, returns false with the array as it was. Raises
  /// "not enough memory on heap".
  bool Transpose();
  /// Reverse the order along one dimension; fire OnChange.
  void MirrorColumns();
  void MirrorRows();
  void MirrorLayers();
  void MirrorTimeSlots();

  // --- binary file (mat4d_file.cpp, docs/formats.md) --------------------------
  // Files that cannot be opened, created, read or written, and files that end before
  // the data they claim, raise EInOutError unless stated otherwise. A failing call leaves
  // the array, and for reading calls the file, unchanged. Progress: PercDone after every
  // (elements transferred div 100)-th element.

  /// Writes the slots TSlotStart..TSlotEnd (TSlotEnd clipped to NrOfTimeSlots; either
  /// <= 0 means all; a reversed range is exchanged) to a new file, replacing an existing
  /// one. Raises ENUVMatrixError "specified time slot beyond data range" for TSlotStart
  /// above NrOfTimeSlots, before the file is touched.
  void SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;
  /// Takes the file's columns, rows, layers and DataID and its slots TSlotStart..TSlotEnd
  /// (clipped to the file; either <= 0 means all); fires OnChange. Raises
  /// "specified time slot beyond data range" for TSlotStart beyond the file's slots and
  /// ENUVMatrixError "cannot resize, memory low" for a header whose counts are not
  /// positive, a file shorter than the data it claims, a read error or a lack of memory.
  void LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// Reads the same slots without storing them: fires OnReadElement for every element in
  /// file order, the slot counted from 1 at the first slot read.
  void ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;
  /// Reads layer Layer of slot TSlot of the file into the same layer and slot of the
  /// array (file column c, row r to array column c, row r); fires nothing. Raises
  /// "specified time slot beyond data range" (TSlot outside the file's slots or above
  /// NrOfTimeSlots), "specified layer beyond data range" (outside the file's layers or
  /// above NrOfLayers), "specified column beyond data range" / "specified row beyond data
  /// range" (the file's columns or rows exceed the array's).
  void ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot);
  /// The same layer into Data: columns entries of rows values, Data[c - 1][r - 1].
  void ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot,
                 TDouble2DArray& Data) const;
  /// The five header fields. True when all four counts are positive and the file holds
  /// the elements they claim.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID);
  /// Appends the slots TSlotStart..TSlotEnd (as SaveBinary) to an existing file, right
  /// after its last element. Raises ENUVMatrixError "X,Y,Z of matrices do not match" when
  /// the file's columns, rows or layers differ and "specified time slot beyond data range"
  /// as SaveBinary. Every check is made before the first write; a write that fails is
  /// undone as far as the device allows.
  void AppendToBinaryFile(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;

  // --- events -----------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TOnPercentDoneEvent& OnPercentDone() const { return FOnPercentDone; }
  void SetOnPercentDone(TOnPercentDoneEvent Handler) { FOnPercentDone = std::move(Handler); }
  const TOnReadMat4DElementEvent& OnReadElement() const { return FOnReadElement; }
  void SetOnReadElement(TOnReadMat4DElementEvent Handler) { FOnReadElement = std::move(Handler); }
  void Changed() {
    if (FOnChange) FOnChange(this);
  }
  /// Fires OnPercentDone(Self, PercentDone) if assigned; Sender is not passed on.
  void PercDone(TObject* Sender, int32_t PercentDone);
  /// Fires OnReadElement(Self, ix, iy, il, it, Value) if assigned; Sender is not passed on.
  void ReadElement(TObject* Sender, int32_t ix, int32_t iy, int32_t il, int32_t it, double Value);

 private:
  bool Inside(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    return Nx >= 1 && Nx <= FNumX && Ny >= 1 && Ny <= FNumY && Nz >= 1 && Nz <= FNumZ &&
           Nt >= 1 && Nt <= FNumT;
  }
  size_t Index(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    return ((static_cast<size_t>(Nt - 1) * static_cast<size_t>(FNumZ) +
             static_cast<size_t>(Nz - 1)) *
                static_cast<size_t>(FNumY) +
            static_cast<size_t>(Ny - 1)) *
               static_cast<size_t>(FNumX) +
           static_cast<size_t>(Nx - 1);
  }
  [[noreturn]] void RaiseNoHeap() const;
  [[noreturn]] void RaiseBeyond(const char* What) const;
  /// Takes Storage (of Nc x Nr x Nl x Nt elements) as the new buffer.
  void Commit(TDoubleBuffer& Storage, int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  template <class Op>
  void PerPixelToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                        int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                        int32_t HighTimeSlot) const;

  int32_t FNumX = 1;
  int32_t FNumY = 1;
  int32_t FNumZ = 1;
  int32_t FNumT = 1;
  std::string FDataID;
  TDoubleBuffer FMat;
  TNotifyEvent FOnChange;
  TOnPercentDoneEvent FOnPercentDone;
  TOnReadMat4DElementEvent FOnReadElement;
};

}  // namespace nuv
