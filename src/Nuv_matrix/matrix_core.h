// TMatrix: the dense matrix of doubles, addressed column first (Elem[column,
// row], both from 1). The elements live in one contiguous column-major buffer:
// each column is contiguous and the column stride is the allocated row count,
// which never drops below one (a 0-column or 0-row matrix keeps one cell).
//
// The class is declared here whole; its operations are defined by topic:
// matrix_core.cpp (storage, copying, checksum), matrix_io*.cpp (text files,
// streams, binary files), matrix_linalg*.cpp (products, decompositions,
// norms), matrix_stats*.cpp (block statistics, normalization, sorting) and
// matrix_distance.cpp (object distances).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "foundation/frame.h"

namespace nuv {

class TMatrix;
class TMat3D;
class TIntMatrix;

/// (Sender, Row1, Row2, Distance): a user-defined distance between two rows.
using TOnCalcDistanceEvent =
    std::function<void(TObject* Sender, int32_t Row1, int32_t Row2, double& Distance)>;

enum TNormType : uint8_t { ntColwise, ntRowwise, ntSpectral, ntFrobenius };

enum TEdgeOp : uint8_t { eopMin, eopMax, eopSum, eopMean };

enum TDistMode : uint8_t { dmJaccard, dmManhattan, dmEuclid, dmEuclidSqr, dmDice, dmUserDef };

inline constexpr const char* DistModeId[] = {"Jaccard coefficient", "Manhattan", "Euclidean",
                                             "squared Euclidean",   "Dice coefficient",
                                             "user defined"};

/// Tags of the matrix XML persistence.
enum TMatXmlTag : uint8_t {
  xmlMatNumCols,
  xmlMatNumRows,
  xmlMatNumLayers,
  xmlMatNumTimeSlots,
  xmlMatCell,
  xmlMatBegin,
  xmlMatEnd,
  xmlInvalid
};

/// A matrix read from XML before it replaces a matrix's contents.
struct TMatrixXmlContent {
  int32_t NCols = 0;
  int32_t NRows = 0;
  int32_t Precis[2] = {15, -1};
  std::string DataID;
  /// The whole storage: max(NCols, 1) x max(NRows, 1) cells, column after column.
  std::vector<double> Data;
};

/// What LoadFromFile / LoadFromText learnt about a delimited text file, and
/// where it failed.
struct TMatrixTextInfo {
  std::vector<std::string> ColNames;  ///< from the header line; empty when there is none
  char Delimiter = 0;                 ///< ',', ';', '\t' or ' ' (any run of blanks)
  int32_t ErrorLine = 0;              ///< 1-based line of the first error, 0 if none
  int32_t ErrorColumn = 0;            ///< 1-based column (cell) of that error, 0 if none
  std::string ErrorText;              ///< what went wrong, empty on success
};

class NUV_API TMatrix : public TComponent {
 public:
  /// 1 column, 1 row, the element 0.0; Precision slots 15 and -1.
  explicit TMatrix(TComponent* AOwner = nullptr);
  ~TMatrix() override;

  // --- storage and element access (matrix_core.cpp) -------------------------
  int32_t NrOfColumns() const { return FNCol; }
  int32_t NrOfRows() const { return FNRow; }
  void SetNCols(int32_t Nc) { Resize(Nc < 0 ? 0 : Nc, FNRow); }
  void SetNRows(int32_t Nr) { Resize(FNCol, Nr < 0 ? 0 : Nr); }
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// Element (Nc, Nr); 0.0 outside the matrix.
  double GetVal(int32_t Nc, int32_t Nr) const {
    if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return 0.0;
    return FMat[Index(Nc, Nr)];
  }
  /// Stores the element and fires OnChange; outside the matrix nothing happens.
  void SetVal(int32_t Nc, int32_t Nr, double Value) {
    if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return;
    FMat[Index(Nc, Nr)] = Value;
    Changed();
  }
  /// Column Nc (1-based) as a contiguous array of NrOfRows values.
  const double* ColData(int32_t Nc) const { return FMat.data() + Index(Nc, 1); }
  double* ColData(int32_t Nc) { return FMat.data() + Index(Nc, 1); }
  /// Distance between the starts of two neighbouring columns.
  int32_t ColStride() const { return FRowsAlloc; }

  /// Keeps the cells that exist before and after, others 0.0; fires OnChange when the size
  /// changes. Negative counts become 0. Raises ENUVMatrixError "not enough memory on heap".
  bool Resize(int32_t Nc, int32_t Nr);
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  /// Exchanges the elements with Data, which holds Nc >= 1 columns of Nr >= 1
  /// rows one column after the other, so that a loader can fill its work
  /// storage and commit it without a copy; Data receives the old elements.
  /// Fires OnChange. False, with nothing changed, when the sizes do not fit.
  bool SwapStorage(std::vector<double>& Data, int32_t Nc, int32_t Nr);
  void Fill(double Value);
  void FillDiag(double Value);
  void FillRandomUniform(double RangeLow, double RangeHigh);
  void FillRandomGauss(double Mean, double StdDev);
  /// Resizes to the source's size and copies every element through SetVal, then Changed.
  void Clone(const TMatrix* MatSource);
  /// Copies size, elements, DataID, Precision and the three events of a TMatrix.
  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;
  /// Copies a source block (each bound clipped into the source; (0, 0) is (1, 1)) to
  /// DestCol, DestRow onwards through SetVal; no enlarging; OnChange at the end.
  void CopyFrom(const TMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  /// The same from layer SourceLayer of a TMat3D (SourceLayer clipped into 1..NrOfLayers).
  void CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t SourceLayer, int32_t DestCol,
                int32_t DestRow);
  /// The same from a TIntMatrix (either form), the integers becoming doubles.
  void CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  /// Copies vector elements along a row (dimColumns) or down a column (dimRows).
  void CopyFromVec(TDims Dim, const TVector* VecSource, int32_t Source1stElem,
                   int32_t SourceLastElem, int32_t DestCol, int32_t DestRow);
  void CopyFromVec(const TVector* VecSource, int32_t Source1stElem, int32_t SourceLastElem,
                   int32_t DestCol, int32_t DestRow);
  void CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  void CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      double RangeLow, double RangeHigh) const;
  std::string CRCofData() const;
  void MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    MakeValidRange(LowCol, HighCol, FNCol);
  }
  void MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    MakeValidRange(LowRow, HighRow, FNRow);
  }
  int32_t GetFPrecis(int32_t ix) const { return FPrecis[ix <= 1 ? 0 : 1]; }
  void SetFPrecis(int32_t ix, int32_t Value) {
    FPrecis[ix <= 1 ? 0 : 1] = Value < -1 ? -1 : (Value > 25 ? 25 : Value);
  }

  // --- events ---------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent Handler) { FOnSortExchange = std::move(Handler); }
  const TOnCalcDistanceEvent& OnCalcDistance() const { return FOnCalcDist; }
  void SetOnCalcDistance(TOnCalcDistanceEvent Handler) { FOnCalcDist = std::move(Handler); }
  void Changed() {
    if (FOnChange) FOnChange(this);
  }
  void SortExchange(uint8_t Kind, int32_t Index1, int32_t Index2, int32_t First, int32_t Last) {
    if (FOnSortExchange) FOnSortExchange(this, Kind, Index1, Index2, First, Last);
  }

  // --- persistence (matrix_io*.cpp) ----------------------------------------
  /// Delimited text: an optional header line of ColNames, then one line per row, the
  /// columns separated by Delimiter, numbers with "." and Precision[1] significant digits
  /// (see the design notes), lines ending in CRLF. False when the file cannot be created.
  bool StoreOnFile(const std::string& FileName, char Delimiter = ',',
                   const std::vector<std::string>& ColNames = {}) const;
  /// Reads a delimited text file (delimiter and header line detected, any line end).
  /// With AdjustSize false the matrix must already be large enough. False, with the
  /// matrix unchanged, for a missing, empty or malformed file.
  bool LoadFromFile(const std::string& FileName, bool AdjustSize);
  bool LoadFromFile(const std::string& FileName, bool AdjustSize, TMatrixTextInfo& Info);
  /// The same for text already in memory (standard input, a network buffer).
  bool LoadFromText(const std::string& Text, bool AdjustSize, TMatrixTextInfo& Info);
  /// The binary matrix record at the stream's position; an absent memory stream is created.
  void SaveToStream(TMemoryStream*& OutStream) const;
  void SaveToStream(TFileStream* OutStream) const;
  /// Reads a binary matrix record; false, with the matrix unchanged, for bad data.
  bool LoadFromStream(TMemoryStream* InStream, bool AdjustSize);
  bool LoadFromStream(TFileStream* InStream, bool AdjustSize);
  /// A file holding one binary matrix record.
  bool SaveBinary(const std::string& FileName) const;
  bool LoadBinary(const std::string& FileName, bool AdjustSize);
  /// The size and data identifier of a binary matrix file: 0, or a negative code.
  static int32_t ReadBinaryHeader(const std::string& FileName, int32_t& NCols, int32_t& NRows,
                                  std::string& DataID);

  // --- XML (matrix_xml.cpp; the scheme is in docs/formats.md) ----------------
  /// A new file holding the XML declaration and the matrix's element; false
  /// when the file cannot be created or written.
  bool SaveAsXMLFile(const std::string& FileName) const;
  /// The matrix's element at the position of an open text file (or stream),
  /// after an XML declaration when CreateHeader. Nothing for an absent file;
  /// raises the file's (stream's) EInOutError.
  void WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const;
  void WriteToXMLStream(TStream* OutStream, bool CreateHeader) const;
  /// Reads the first <TMatrix> element of the file (the first whose DataID
  /// equals DataID, when DataID is not empty); the whole document must be
  /// well-formed. The matrix takes size, elements, DataID and both Precision
  /// slots and fires OnChange once. False, with the matrix unchanged and the
  /// place of the fault in Info, otherwise; raises nothing.
  bool LoadFromXMLFile(const std::string& FileName, const std::string& DataID = std::string(),
                       TXmlReadInfo* Info = nullptr);
  /// The same from the position of an open text file (or stream; from its
  /// start unless FromCurrentPos), which is left right after the element's
  /// end tag; on failure it is put back where the read began.
  bool ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                           const std::string& DataID = std::string(),
                           TXmlReadInfo* Info = nullptr);
  bool ReadFromXMLStream(TStream* InStream, bool FromCurrentPos,
                         const std::string& DataID = std::string(), TXmlReadInfo* Info = nullptr);
  /// The element alone, for objects that embed a matrix in their own.
  void WriteXMLElement(TXmlWriter& W) const;
  /// Parses the <TMatrix> element whose start tag R has just read into C;
  /// raises EXmlReadError.
  static void ParseXMLElement(TXmlReader& R, TMatrixXmlContent& C);
  /// Takes C (whose storage is swapped in, nothing allocated) and fires OnChange.
  void CommitXML(TMatrixXmlContent& C);

  // --- linear algebra (matrix_linalg*.cpp) ----------------------------------
  bool Multiply(const TMatrix* MatB, TMatrix* MatRes);
  bool Multiply(const TVector* VecB, TVector* VecRes);
  bool MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes);
  bool TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes);
  bool TransposeAndMultiply(const TVector* VecB, TVector* VecRes);
  bool EMult(const TMatrix* MatB, TMatrix* MatRes);
  bool Add(const TMatrix* MatB);
  bool Subtract(const TMatrix* MatB);
  void SMult(double Scalar);
  void SAdd(double Scalar);
  bool Square(TMatrix* MatRes, double Norm);
  bool Transpose();
  void Diff(int32_t Order);
  double Trace() const;
  double Norm(TNormType nt) const;
  bool LUdecomposition(TMatrix* MatL, TMatrix* MatU) const;
  double Determinant() const;
  bool Invert();
  bool CholeskyDecomp(TMatrix* MatL);
  bool Balance();

  // --- statistics, normalization, sorting (matrix_stats*.cpp) --------------
  double Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Minimum,
              double& Maximum) const;
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  double GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  double HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  void SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                double& Skewness, double& Kurtosis) const;
  void SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Skewness, double& Kurtosis) const;
  bool Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1,
                 double& Q2, double& Q3) const;
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow) const;
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  bool Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                 double LastBin, double BinWidth, TIntVector* Histo, int32_t& Underflow,
                 int32_t& Overflow, int32_t& MaxCnt) const;
  double Correlate(const TMatrix* OtherMat) const;
  void MeanVec(TDims Dim, TVector* Means) const;
  void MeanCenterColumns(TVector* Means);
  void MeanCenterRows(TVector* Means);
  void StandardizeColumns(TVector* Means, TVector* StdDevs);
  void StandardizeRows(TVector* Means, TVector* StdDevs);
  void QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  void QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value,
            int32_t& ColIx, int32_t& RowIx) const;
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, double Value) const;
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow);
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow);
  void MirrorColumns();
  void MirrorRows();
  void ExchangeColumns(int32_t c1, int32_t c2);
  void ExchangeRows(int32_t r1, int32_t r2);
  void EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* DestVec) const;

  // --- object distances (matrix_distance.cpp) ------------------------------
  /// Distance or similarity of rows obj1 and obj2 by Mode (rows outside read as zeros).
  double DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2) const;
  /// All pairwise row distances into DMat: 0, or -1 (DMat not square), -2 (wrong size).
  int32_t CalcDistMat(TDistMode Mode, TMatrix* DMat) const;

 protected:
  size_t Index(int32_t Nc, int32_t Nr) const {
    return static_cast<size_t>(Nc - 1) * static_cast<size_t>(FRowsAlloc) +
           static_cast<size_t>(Nr - 1);
  }
  [[noreturn]] void RaiseNoHeap() const;
  /// Both LoadFromStream overloads: the binary record at In's position.
  bool LoadRecord(TStream* In, bool AdjustSize);
  /// LoadFromFile and LoadFromText: Size bytes of delimited text.
  bool LoadText(const char* Text, size_t Size, bool AdjustSize, TMatrixTextInfo& Info);
  /// The commit of a load (matrix_core.cpp). Data holds NCols x NRows
  /// loaded elements, column after column; with AdjustSize it holds the whole
  /// storage (max(NCols, 1) x max(NRows, 1) cells) and becomes the matrix's.
  /// Otherwise the elements fill the leading block, which must fit: false,
  /// with nothing changed, when it does not. Allocates nothing, fires nothing.
  bool CommitLoaded(std::vector<double>& Data, int32_t NCols, int32_t NRows, bool AdjustSize);

  int32_t FNCol = 1;
  int32_t FNRow = 1;
  std::string FDataID;
  int32_t FPrecis[2] = {15, -1};
  TNotifyEvent FOnChange;
  TSortExchgEvent FOnSortExchange;
  TOnCalcDistanceEvent FOnCalcDist;
  /// max(FNCol, 1) columns of FRowsAlloc = max(FNRow, 1) rows, column after column.
  std::vector<double> FMat;
  int32_t FColsAlloc = 1;
  int32_t FRowsAlloc = 1;
};

}  // namespace nuv
