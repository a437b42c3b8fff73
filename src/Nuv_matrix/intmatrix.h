// TIntMatrix: a matrix of 32-bit integers, addressed column first like
// TMatrix, in one of two storage forms. Dense: one contiguous column-major
// buffer, as TMatrix. Sparse: the stored positions in ascending (column, row)
// order, growing on demand; positions not stored read as 0.
//
// Integer arithmetic (sums, products, SMult, SAdd) is 32-bit and wraps.
// Operations that only the dense form supports leave a sparse matrix alone
// and give their neutral result (false, 0, no change); docs/design.md lists
// them.
//
// The class is declared here whole; its operations are defined by topic:
// intmatrix_core.cpp (construction, forms, element access, sizing, copying),
// intmatrix_sparse.cpp (the sparse list), intmatrix_stats.cpp (block
// statistics), intmatrix_linalg.cpp (arithmetic and products),
// intmatrix_order.cpp (sorting, searching, mirroring) and intmatrix_io.cpp
// (files and streams).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Nuv_matrix/intmatrix_sparse.h"
#include "Nuv_matrix/matrix_core.h"

namespace nuv {

/// An integer matrix read from XML before it replaces a matrix's contents.
struct TIntMatrixXmlContent {
  bool Sparse = false;
  int32_t NCols = 0;
  int32_t NRows = 0;
  int32_t AllocBy = 1;
  std::string DataID;
  /// Dense: the whole storage, max(NCols, 1) x max(NRows, 1), column after column.
  std::vector<int32_t> Data;
  /// Sparse: the entries in list order.
  std::vector<TSpMatElemInt> Entries;
};

class NUV_API TIntMatrix : public TComponent {
 public:
  /// Dense, 1 column, 1 row, the element 0.
  explicit TIntMatrix(TComponent* AOwner = nullptr);
  /// Sparse and empty; AllocBy below 1 becomes 1. Owned by AOwner when given, otherwise
  /// by the caller. Raises ENUVMatrixError "not enough memory on heap".
  static TIntMatrix* CreateSparse(TComponent* AOwner, int32_t AllocBy);
  ~TIntMatrix() override;

  // --- sizes and forms (intmatrix_core.cpp) ---------------------------------
  int32_t NrOfColumns() const { return FNCol; }
  int32_t NrOfRows() const { return FNRow; }
  void SetNCols(int32_t Nc) { Resize(Nc < 0 ? 0 : Nc, FNRow); }
  void SetNRows(int32_t Nr) { Resize(FNCol, Nr < 0 ? 0 : Nr); }
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }
  bool IsSparse() const { return FIsSparse; }
  /// Sparse bookkeeping: entries in use, entries reported allocated, growth step, bounding
  /// box of the stored positions (empty: low 2147483647, high 1).
  int32_t SparseNumElem() const { return FSparseNumElem; }
  int32_t NumAllocated() const { return FNumAllocated; }
  int32_t AllocBy() const { return FAllocBy; }
  int32_t SparseLowCol() const { return FSparseLowCol; }
  int32_t SparseHighCol() const { return FSparseHighCol; }
  int32_t SparseLowRow() const { return FSparseLowRow; }
  int32_t SparseHighRow() const { return FSparseHighRow; }
  /// The stored entries in list order (column, then row, ascending); empty when dense.
  std::vector<TSpMatElemInt> SpMat() const;

  /// Dense to sparse (nothing if sparse): the elements that are not 0, column by column.
  /// NrOfColumns and NrOfRows are kept. Raises "not enough memory on heap".
  void ArrayToSparse(int32_t AllocBy);
  /// Sparse to dense (nothing if dense), sized to the bounding box's high corner; an
  /// empty sparse matrix becomes 1 x 1 holding 0. Raises "not enough memory on heap".
  void SparseToArray();

  /// Element (Nc, Nr); 0 outside the matrix and at positions not stored.
  int32_t GetVal(int32_t Nc, int32_t Nr) const {
    if (!FIsSparse) {
      if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return 0;
      return FMat[Index(Nc, Nr)];
    }
    if (Nc < FSparseLowCol || Nc > FSparseHighCol || Nr < FSparseLowRow || Nr > FSparseHighRow)
      return 0;
    return FSparse.Get(Nc, Nr);
  }
  /// Dense: stores inside the matrix. Sparse: any Nc, Nr >= 1; a new position is inserted
  /// in order, widens the bounding box and sets NrOfColumns, NrOfRows to its high corner.
  /// Fires OnChange when stored. Raises "not enough memory on heap".
  void SetVal(int32_t Nc, int32_t Nr, int32_t Value);
  /// Dense only: column Nc (1-based) as NrOfRows contiguous values; null when sparse.
  const int32_t* ColData(int32_t Nc) const {
    return FIsSparse ? nullptr : FMat.data() + Index(Nc, 1);
  }
  int32_t* ColData(int32_t Nc) { return FIsSparse ? nullptr : FMat.data() + Index(Nc, 1); }
  /// Distance between the starts of two neighbouring dense columns.
  int32_t ColStride() const { return FRowsAlloc; }

  /// Dense: as TMatrix.Resize, true. Sparse: sets the counts, drops the entries beyond
  /// them and returns false without OnChange. Equal counts: false at once.
  bool Resize(int32_t Nc, int32_t Nr);
  /// Resize, then Fill(0) only when Resize returned true.
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  /// Dense: every element. Sparse: every stored entry; 0 empties the list. OnChange.
  void Fill(int32_t Value);
  /// Same form only: dense as TMatrix.Clone; sparse copies the list, the allocation
  /// bookkeeping and the box (the counts are kept). OnChange.
  void Clone(const TIntMatrix* MatSource);
  /// As TMatrix.CopyFrom, through GetVal and SetVal (a sparse receiver is not enlarged
  /// beyond its counts either).
  void CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  void CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  void CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  /// Dense: as TMatrix. Sparse: column and row of every entry exchanged, list re-sorted,
  /// box exchanged, counts kept. Always true; OnChange.
  bool Transpose();
  /// Receiver dense. A dense MatB of equal size is added element-wise; a sparse MatB adds
  /// its entries when they lie inside the receiver. False otherwise. OnChange when true.
  bool Add(const TIntMatrix* MatB);
  void MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    MakeValidRange(LowCol, HighCol, FNCol);
  }
  void MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    MakeValidRange(LowRow, HighRow, FNRow);
  }

  // --- statistics (intmatrix_stats.cpp) -------------------------------------
  // Both forms: Sum wraps at 32 bits; MinMax starts at 2147483647 and -2147483647.
  int32_t Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  int32_t Trace() const;
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
              int32_t& Minimum, int32_t& Maximum) const;
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  void SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                double& Skewness, double& Kurtosis) const;
  void SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Skewness, double& Kurtosis) const;
  // Dense only (a sparse matrix gives 0, false, or leaves the outputs at their start).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t RangeLow, int32_t RangeHigh) const;
  /// Elements v of the block with (v AND Bitmask) = 0.
  int32_t CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                           uint32_t Bitmask) const;
  double GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  double HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  bool Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1,
                 double& Q2, double& Q3) const;
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow) const;
  /// Sampled percentile; always selects among the drawn values.
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  void MeanVec(TDims Dim, TVector* Means) const;
  void EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const;
  /// Four CRC-32 registers, one per byte of the little-endian element: 32 hex digits.
  /// Empty text for a sparse matrix.
  std::string CRCofData() const;

  // --- arithmetic and products, dense only (intmatrix_linalg.cpp) -----------
  bool Subtract(const TIntMatrix* MatB);
  void SMult(int32_t Scalar);
  void SAdd(int32_t Scalar);
  bool EMult(const TIntMatrix* MatB, TIntMatrix* MatRes);
  bool Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes);
  bool Multiply(const TIntVector* VecB, TIntVector* VecRes);
  bool MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes);
  bool TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes);
  bool TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes);
  void FillDiag(int32_t Value);

  // --- searching and reordering, dense only (intmatrix_order.cpp) -----------
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value,
            int32_t& ColIx, int32_t& RowIx) const;
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const;
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow);
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow);
  void MirrorColumns();
  void MirrorRows();
  void ExchangeColumns(int32_t c1, int32_t c2);
  void ExchangeRows(int32_t r1, int32_t r2);

  // --- events ---------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TOnPercentDoneEvent& OnPercentDone() const { return FOnPercentDone; }
  void SetOnPercentDone(TOnPercentDoneEvent Handler) { FOnPercentDone = std::move(Handler); }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent Handler) { FOnSortExchange = std::move(Handler); }
  void Changed() {
    if (FOnChange) FOnChange(this);
  }
  void SortExchange(uint8_t Kind, int32_t Index1, int32_t Index2, int32_t First, int32_t Last) {
    if (FOnSortExchange) FOnSortExchange(this, Kind, Index1, Index2, First, Last);
  }
  /// Fires OnPercentDone(Sender, PercentDone) if assigned.
  void PercDone(TObject* Sender, int32_t PercentDone) {
    if (FOnPercentDone) FOnPercentDone(Sender, PercentDone);
  }

  // --- persistence (intmatrix_io.cpp) ---------------------------------------
  // Dense matrices use the TMatrix formats (docs/formats.md); on a sparse matrix these
  // write nothing and load nothing (false).
  bool StoreOnFile(const std::string& FileName, char Delimiter = ',',
                   const std::vector<std::string>& ColNames = {}) const;
  /// Every cell must be an integer in the 32-bit range. False, unchanged, otherwise.
  bool LoadFromFile(const std::string& FileName, bool AdjustSize);
  bool LoadFromFile(const std::string& FileName, bool AdjustSize, TMatrixTextInfo& Info);
  void SaveToStream(TMemoryStream*& OutStream) const;
  void SaveToStream(TFileStream* OutStream) const;
  bool LoadFromStream(TMemoryStream* InStream, bool AdjustSize);
  bool LoadFromStream(TFileStream* InStream, bool AdjustSize);
  bool SaveBinary(const std::string& FileName) const;
  bool LoadBinary(const std::string& FileName, bool AdjustSize);
  /// As TMatrix.ReadBinaryHeader: 0, or a negative code.
  static int32_t ReadBinaryHeader(const std::string& FileName, int32_t& NCols, int32_t& NRows,
                                  std::string& DataID);
  /// Text file of (column, row, value) triples in list order (either form: a dense
  /// matrix writes its elements that are not 0). False when it cannot be written.
  bool StoreSparseMat(const std::string& FileName) const;
  /// Reads such a file; the matrix becomes sparse with its entries and counts. False,
  /// with the matrix unchanged, for a missing, malformed or truncated file.
  bool LoadSparseMat(const std::string& FileName);

  // --- XML (intmatrix_xml.cpp; docs/formats.md) ------------------------------
  // As the TMatrix forms. The element records the form: a dense matrix its
  // elements, a sparse one its AllocBy and stored entries; reading gives the
  // matrix the document's form, size, DataID and entries (AllocBy and the
  // bounding box as LoadSparseMat sets them) and fires OnChange once.
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
  static void ParseXMLElement(TXmlReader& R, TIntMatrixXmlContent& C);
  /// Takes C and fires OnChange; raises "not enough memory on heap" (the
  /// matrix unchanged) when the sparse list cannot be built.
  void CommitXML(TIntMatrixXmlContent& C);

 private:
  size_t Index(int32_t Nc, int32_t Nr) const {
    return static_cast<size_t>(Nc - 1) * static_cast<size_t>(FRowsAlloc) +
           static_cast<size_t>(Nr - 1);
  }
  [[noreturn]] void RaiseNoHeap() const;
  /// Counts one more stored entry: grows FNumAllocated by FAllocBy when full.
  void CountInsertion();
  /// Widens the box to (Nc, Nr) and sets the counts to its high corner.
  void WidenBox(int32_t Nc, int32_t Nr);
  /// Empty sparse state with FAllocBy entries reported allocated.
  void ResetSparse();
  /// Takes a dense buffer as the whole matrix.
  void TakeDense(std::vector<int32_t>& Data, int32_t Nc, int32_t Nr);
  /// The sparse state of LoadSparseMat: Sorted (ascending, unique) with the
  /// bounding box of its entries; all or nothing ("not enough memory on heap").
  void TakeSparse(const std::vector<TSpMatElemInt>& Sorted, int32_t Nc, int32_t Nr);
  friend struct TIntMatrixAccess;

  int32_t FNCol = 1;
  int32_t FNRow = 1;
  std::string FDataID;
  bool FIsSparse = false;
  int32_t FNumAllocated = 0;
  int32_t FAllocBy = 1;
  int32_t FSparseNumElem = 0;
  int32_t FSparseLowCol = 2147483647;
  int32_t FSparseHighCol = 1;
  int32_t FSparseLowRow = 2147483647;
  int32_t FSparseHighRow = 1;
  detail::TSparseIntList FSparse;
  /// Dense: max(FNCol, 1) columns of FRowsAlloc = max(FNRow, 1) rows, column after column.
  std::vector<int32_t> FMat;
  int32_t FColsAlloc = 1;
  int32_t FRowsAlloc = 1;
  TNotifyEvent FOnChange;
  TOnPercentDoneEvent FOnPercentDone;
  TSortExchgEvent FOnSortExchange;
};

}  // namespace nuv
