// TDataTable: a table of numeric and nominal cells. Every column has a
// measurement scale; numeric cells hold doubles, nominal and ordinal cells the
// slot number of a label the column keeps. Every cell carries a state byte,
// rows and columns carry names and integer attributes, the table a comment.
// The values live in a TMatrix that the table owns or that the application
// lends it (AssignAnotherDataMatrix).
//
// Cell state bits: 1 no valid value, 2 empty, 4/8/16 free for the
// application, 32 imputed, 64 and 128 user marks. A cell is a number when bits
// 1 and 2 are clear.
//
// The class is declared here whole; its operations are defined by topic:
// datatable_core.cpp (storage, cells, events), datatable_names.cpp (names,
// attributes, scale types, labels), datatable_resize.cpp (size, insertion,
// removal), datatable_copy.cpp (copies, check sums, serialization),
// datatable_stats*.cpp (block statistics, covariance, normalization),
// datatable_marks.cpp, datatable_sort.cpp, datatable_csv*.cpp and
// datatable_asc.cpp (files).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Nuv_datatable/datatable_types.h"
#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"
#include "foundation/frame.h"

namespace nuv {

class NUV_API TDataTable : public TComponent {
 public:
  /// 1 column, 1 row holding 0 with state 0, names C-1 and R-1, attributes 0,
  /// scale stInterval, no labels, empty comment. Raises ENUVDataTableError
  /// "failed to initialize (out of memory)".
  explicit TDataTable(TComponent* AOwner = nullptr);
  /// Frees the owned matrix; a lent one is left alive with its OnChange and
  /// OnSortExchange cleared.
  ~TDataTable() override;

  /// The cell values, column first. Owned by the table unless lent.
  TMatrix* NumericData = nullptr;

  // --- storage and cells (datatable_core.cpp) --------------------------------
  int32_t NrOfColumns() const { return FNrOfCols; }
  int32_t NrOfRows() const { return FNrOfRows; }
  /// Resize with the other count unchanged.
  void SetNrCols(int32_t NrCols);
  void SetNrRows(int32_t NrRows);

  /// The stored value, rounded (halves to even) in nominal and ordinal columns; 0 outside.
  double GetElem(int32_t ACol, int32_t ARow) const;
  /// Stores the value; fires OnChange twice while the matrix handler is attached
  /// (once through the matrix, once itself). The cell state is kept.
  void SetElem(int32_t ACol, int32_t ARow, double Value);
  /// The label of the cell's slot in a nominal or ordinal column ("" otherwise
  /// and outside). A value outside 1 .. 150 gives its rounded decimal text cut
  /// to 10 characters; a NaN or infinite value gives "".
  TNominalIDStr GetElemNominal(int32_t ACol, int32_t ARow) const;
  /// Stores the slot of the label Value (case-insensitive lookup, a new label
  /// taking the first empty slot) and fires OnChange. An empty label stores 0.
  /// Raises ENUVDataTableError "number of available nominal values exceeded".
  void SetElemNominal(int32_t ACol, int32_t ARow, const TNominalIDStr& Value);
  uint8_t GetCellState(int32_t ACol, int32_t ARow) const;
  /// Fires OnChangeCellState when the byte changes.
  void SetCellState(int32_t ACol, int32_t ARow, uint8_t Value);
  bool GetIsEmpty(int32_t ACol, int32_t ARow) const { return (GetCellState(ACol, ARow) & 2) != 0; }
  /// Sets or clears bit 2 through SetCellState, then fires OnChange.
  void SetIsEmpty(int32_t ACol, int32_t ARow, bool Value);
  bool GetIsNumber(int32_t ACol, int32_t ARow) const;
  bool GetIsImputed(int32_t ACol, int32_t ARow) const {
    return (GetCellState(ACol, ARow) & 32) != 0;
  }
  /// Sets or clears bit 32 through SetCellState, then fires OnChange.
  void SetIsImputed(int32_t ACol, int32_t ARow, bool Value);

  /// Adopts NewDMat as the numeric storage (the application keeps ownership and
  /// keeps it alive while the table uses it); the table takes its size, every
  /// column becomes stInterval. Fires OnResize, then OnChange, OnChangeSetup,
  /// OnChangeNames, OnChangeAttrib, OnChangeCellState. Nothing for nullptr.
  void AssignAnotherDataMatrix(TMatrix* NewDMat);

  // --- names, attributes, scale types, labels (datatable_names.cpp) ----------
  const std::string& Comment() const { return FComment; }
  /// Stores Text without control characters; fires OnChangeSetup.
  void SetFComment(const std::string& Text);
  TDTNameStr GetColName(int32_t ColNr) const;
  TDTNameStr GetRowName(int32_t RowNr) const;
  /// Stores the first 50 bytes (cut at a character boundary); fires OnChangeNames.
  void SetColName(int32_t ColNr, const std::string& HLine);
  void SetRowName(int32_t RowNr, const std::string& HLine);
  /// The longest name in characters (UTF-8 sequences count once).
  int32_t MaxColNameLength() const;
  int32_t MaxRowNameLength() const;
  /// The first column (row) whose name equals the text, both trimmed and upper
  /// case; 0 if none.
  int32_t FindColIndex(const std::string& ColID) const;
  int32_t FindRowIndex(const std::string& RowID) const;
  int32_t GetColAttrib(int32_t ColNr) const;
  int32_t GetRowAttrib(int32_t RowNr) const;
  /// Fires OnChangeAttrib inside the table.
  void SetColAttrib(int32_t ColNr, int32_t Value);
  void SetRowAttrib(int32_t RowNr, int32_t Value);
  /// Every attribute := Attrib (or (a and not Mask) or (Attrib and Mask)); OnChangeAttrib.
  void SetColAttributes(int32_t Attrib);
  void SetColAttributes(int32_t Attrib, int32_t Mask);
  void SetRowAttributes(int32_t Attrib);
  void SetRowAttributes(int32_t Attrib, int32_t Mask);
  /// Extremes of the attributes of the clipped range; Col (Row) = the first
  /// index that holds it.
  int32_t MaxColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const;
  int32_t MinColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const;
  int32_t MaxRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const;
  int32_t MinRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const;
  /// The number of distinct attribute values (any 32-bit value counts).
  int32_t ColAttribLevels() const;
  int32_t RowAttribLevels() const;
  TMScaleType GetMScaleType(int32_t ColNr) const;
  /// Fires OnChangeSetup inside the table.
  void SetMScaleType(int32_t ColNr, TMScaleType MScaleType);
  /// The highest scale type of the clipped range, at least stNominal.
  TMScaleType FindHighestMLevel(int32_t FirstCol, int32_t LastCol) const;
  /// The lowest scale type of the clipped range, at most stRatio.
  TMScaleType FindLowestMLevel(int32_t FirstCol, int32_t LastCol) const;
  /// The 1-based numbers of the nominal and ordinal columns, in order.
  TIntArray ListOfCategorialVars() const;

  /// The first slot holding ID (cut to 10 bytes) in a nominal or ordinal column;
  /// with IgnoreCase compared in lower case. 0 if none, for an empty ID, or for
  /// another scale type.
  int32_t OrdinalOfNominalID(int32_t Col, const TNominalIDStr& ID, bool IgnoreCase) const;
  /// The slot of the label, adding it in the first empty slot when new (the
  /// column becomes stNominal and OnChangeSetup fires). 0 outside the table or
  /// for an empty label. Raises "number of available nominal values exceeded".
  int32_t AddNominalID(int32_t Col, const TNominalIDStr& MScaleID);
  TNominalIDStr GetNominalID(int32_t ColIx, int32_t OrdVal) const;
  /// Writes slot OrdVal (an empty label always, another only in a nominal or
  /// ordinal column); fires OnChangeSetup.
  void SetNominalID(int32_t ColIx, int32_t OrdVal, const TNominalIDStr& MScaleID);
  /// Empties all slots of the column; fires OnChangeSetup.
  void ClearNominalIDs(int32_t Col);

  // --- size and structure (datatable_resize.cpp) -----------------------------
  /// Keeps what exists before and after; new cells 0 with state 0, new columns
  /// C-<n> (stInterval, no labels), new rows R-<n>. Sizes below 1 become 1.
  /// Fires only OnResize. Raises ENUVDataTableError "not enough memory on heap".
  void Resize(int32_t NrCols, int32_t NrRows);
  /// 1 <= ix <= NrOfRows + 1; rows ix.. move down; the new row has an empty
  /// name, attribute 0, values 0, states 0. Fires OnResize, the setters'
  /// events and OnChangeSetup.
  void InsertRow(int32_t ix);
  /// 1 <= ix <= NrOfRows, at least 2 rows; later rows move up.
  void RemoveRow(int32_t ix);
  void InsertColumn(int32_t ix);
  void RemoveColumn(int32_t ix);
  /// Default names, states 0, attributes 0, stInterval without labels, empty
  /// comment, values 0; fires OnChange (fill), OnChangeNames, OnChangeAttrib,
  /// OnChangeCellState, OnChangeSetup. The size stays.
  void Clear();

  // --- copies, check sums, serialization (datatable_copy.cpp) ----------------
  /// Makes this table a copy of ExtTab (size, comment, names, attributes,
  /// scale types, labels, values, states). Fires OnChange, OnChangeCellState,
  /// OnChangeSetup, OnChangeNames, OnChangeAttrib, OnResize.
  void CopyContentsFrom(const TDataTable* ExtTab);
  /// False when the sizes differ; otherwise copies the states, fires OnChangeCellState.
  bool CopyCellStatesFrom(const TDataTable* ExtTab);
  /// Copies a block's values (GetElem) and states to (DestCol, DestRow)
  /// onwards; bounds clipped into the source, (0, 0) is (1, 1); positions
  /// outside this table dropped. Fires OnChange, OnChangeCellState.
  void CopyFrom(const TDataTable* ExtTab, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  /// 64 hexadecimal digits over comment, names, attributes, scale types and labels.
  std::string CRCofNamesAndAttributes() const;
  /// 64 hexadecimal digits over the cell states.
  std::string CRCofCellStates() const;
  /// Turns C columns and R rows into C R rows of (column label) (column and
  /// row index) and the value; see the design notes. Fires OnResize,
  /// OnChangeSetup, OnChangeNames, OnChangeAttrib, OnChangeCellState, OnChange.
  void Serialize(bool ColHeadsAsVar, bool IncludeColRowNumbers);

  // --- notifications ---------------------------------------------------------
  void ChangedData();
  void ChangedSetup();
  void ChangedNames();
  void ChangedAttrib();
  void ChangedCellStates();
  /// The numeric matrix's OnChange handler: calls ChangedData.
  void DataHasChanged(TObject* Sender);
  /// Fires OnPercentDone(this, Percent).
  void PercDone(TObject* Sender, int32_t Percent);

  void MakeValidColRange(int32_t& Lo, int32_t& Hi) const { MakeValidRange(Lo, Hi, FNrOfCols); }
  void MakeValidRowRange(int32_t& Lo, int32_t& Hi) const { MakeValidRange(Lo, Hi, FNrOfRows); }

  // --- block statistics (datatable_stats.cpp) --------------------------------
  // Blocks are clipped ((0, 0) is all). Numeric cells: columns of scale
  // stInterval or stRatio whose state has neither bit 1 nor bit 2; valid
  // cells: any column; marked cells: numeric cells sharing a bit 4..128 with
  // CellState.
  int32_t CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  int32_t CountValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  int32_t CountEmptyCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  int32_t CountImputedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  double SumOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                       int32_t& NumData) const;
  double SumOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                          uint8_t CellState, int32_t& NumData) const;
  /// Returns the count; mean 0 for none, variance 1 for fewer than 3 cells,
  /// otherwise the sample variance computed about the mean.
  int32_t MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            double& Mean, double& Variance) const;
  int32_t MeanVarOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                               uint8_t CellState, double& Mean, double& Variance) const;
  /// Returns the count; with no cell the extremes stay uc_MaxReal and -uc_MaxReal. NaN is
  /// never an extreme.
  int32_t MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Minimum, double& Maximum) const;
  /// Valid cells of any column sharing a bit 4..128 with CellState.
  int32_t MinMaxOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              uint8_t CellState, double& Minimum, double& Maximum) const;
  /// Valid cells of any column, nominal and ordinal values rounded.
  int32_t MinMaxOfValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Minimum, double& Maximum) const;
  /// exp(mean ln x) over the positive cells (NumData of them); 0 when a cell is 0 or
  /// none is positive. Raises ENUVMatrixError "negative argument passed to GeometricMean".
  double GeometricMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                 int32_t& NumData) const;
  /// n / sum(1/x); 0 for no cell. Raises ENUVMatrixError
  /// "negative or zero argument passed to HarmonicMean".
  double HarmonicMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                int32_t& NumData) const;
  /// Quartiles at (n + 1) p; 0 for no cell. Always true. Raises
  /// ENUVDataTableError "not enough memory on heap".
  bool QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Q1, double& Q2, double& Q3, int32_t& NumData) const;
  /// Interpolated at (n - 1) prob / 100, prob clipped to 0..100; 0 for no cell.
  /// Raises ENUVMatrixError "not enough memory on heap".
  double PercentileOfNumCells(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow, int32_t& NumData) const;
  double PercentileOfMarkedCells(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                 int32_t HighRow, uint8_t CellState, int32_t& NumData) const;
  /// Valid cells with CellState 255 or sharing a bit with it, in block order,
  /// into DestVect (resized to their count, kept at one element when none);
  /// returns the count.
  int32_t CopyCellsToVector(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            uint8_t CellState, TVector* DestVect) const;

  // --- covariance and normalization (datatable_covar.cpp) --------------------
  /// Mode 0 cross products, 1 covariance, 2 correlation, 3 squared correlation,
  /// 4 mean squared difference, between columns LoC..HiC over rows LoR..HiR,
  /// each pair over its commonly valid rows. Entries of pairs with fewer than 2
  /// such rows are 0. False for a too small CovarMat or when aborted. Clears
  /// AbortMathProc; one progress step per column.
  bool CalcCovar(TMatrix* CovarMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                 int32_t Mode);
  /// Interval and ratio columns: numeric cells x := (x - m) / s (only when the
  /// variance is above 0); Means[c], StdDevs[c] when given. OnChange once if any changed.
  void StandardizeNumCellColumns(TVector* Means, TVector* StdDevs);
  /// Raises ENUVDataTableError when a column is nominal or ordinal.
  void StandardizeNumCellRows(TVector* Means, TVector* StdDevs);
  void MeanCenterNumCellColumns(TVector* Means);
  void MeanCenterNumCellRows(TVector* Means);
  /// True when the stored values of the column take exactly two values v1 (row 1) and v2.
  bool CheckDichotomousColumn(int32_t col, double& v1, double& v2) const;
  bool IsConstantColumn(int32_t ColIx) const;

  // --- marks (datatable_marks.cpp) -------------------------------------------
  bool IfRowHasCellState(int32_t row, uint8_t CellState) const;
  bool IfColHasCellState(int32_t col, uint8_t CellState) const;
  int32_t CountMarkedCellsInRow(int32_t Row, uint8_t StateMask) const;
  int32_t CountMarkedCellsInColumn(int32_t Col, uint8_t StateMask) const;
  /// Writes Value into the cells sharing a bit with StateMask; OnChange when any.
  int32_t FillMarkedCells(double Value, uint8_t StateMask);
  void SetAllCellStates(uint8_t CellState);
  void UnmarkAllCells();
  void InvertCellStates(uint8_t StateMask);
  void ExchangeMarkings();

  // --- exchanging and sorting (datatable_sort.cpp) ---------------------------
  /// Exchanges values, attributes, names, scale descriptions and states; fires
  /// OnChange, OnChangeCellState, OnChangeAttrib, OnChangeNames, OnChangeSetup.
  void ExchangeColumns(int32_t c1, int32_t c2);
  void ExchangeRows(int32_t r1, int32_t r2);
  void MirrorColumns();
  void MirrorRows();
  /// Sorts the matrix block by a key row (column); states, and with
  /// IncludeHeaders names and attributes (for columns also scale
  /// descriptions), move with it. OnSortExchange fires per exchange.
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow, bool IncludeHeaders);
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow, bool IncludeHeaders);
  void SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  void SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  void SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);
  void SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  void SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);
  void SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  /// The matrix's OnSortExchange handler: keeps states (and headers) in step.
  void ExchangeDuringSort(TObject* Sender, uint8_t ExchgWhat, int32_t Index1, int32_t Index2,
                          int32_t First, int32_t Last);

  // --- files (datatable_csv*.cpp, datatable_asc.cpp) -------------------------
  /// Reads a CSV file (docs/formats.md) into the table. False, with the table
  /// unchanged and Info telling line, column and reason, when it fails. On
  /// success fires OnResize (size changed), OnChange, OnChangeSetup,
  /// OnChangeNames, OnChangeAttrib, OnChangeCellState.
  bool ImportFromCSV(const std::string& FileName, const TCSVImportOptions& Options,
                     TCSVImportInfo& Info);
  bool ImportFromCSV(const std::string& FileName, TCSVDelimiters Delimiter = csvUnknown);
  /// The same for CSV text in memory.
  bool ImportFromCSVText(std::string_view Text, const TCSVImportOptions& Options,
                         TCSVImportInfo& Info);
  /// Writes the table as CSV; "" on success, otherwise the error message.
  std::string ExportAsCSV(const std::string& FileName,
                          const TCSVExportOptions& Options = TCSVExportOptions()) const;
  std::string ExportAsCSVText(const TCSVExportOptions& Options = TCSVExportOptions()) const;
  /// Writes the table in the ASC layout (docs/formats.md); Precision decimals
  /// after the point, or the shortest exact text when negative. "" on success,
  /// otherwise the error message.
  std::string ExportAsASC(const std::string& FileName, int32_t Precision = -1) const;
  /// Reads an ASC file into the table: 0, or a negative code (see the design
  /// notes) with the table unchanged.
  int32_t ImportASC(const std::string& FileName);
  int32_t ImportASC(const std::string& FileName, TASCImportInfo& Info);
  /// Reads an ASC layout from the stream's position to its end.
  int32_t ReadFromASC(TStream* InStream, TASCImportInfo& Info);

  // --- XML (datatable_xml.cpp; the scheme is in docs/formats.md) --------------
  /// A new file with the XML declaration and the table's element: size,
  /// comment, names, attributes, scale types and labels, values and cell
  /// states. False when the file cannot be created or written.
  bool SaveAsXMLFile(const std::string& FileName) const;
  /// The element at the position of an open text file (stream), after an XML
  /// declaration when CreateHeader; raises the file's (stream's) EInOutError.
  void WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const;
  void WriteToXMLStream(TStream* OutStream, bool CreateHeader) const;
  /// Reads the first <TDataTable> element of a whole document (a file, or
  /// text in memory), or the next one from the position of an open text file
  /// or stream (from its start unless FromCurrentPos), which is then left
  /// right after the element or, on failure, where the read began. The table
  /// takes everything the element holds, as CopyContentsFrom would, and
  /// fires OnResize (size changed), OnChange, OnChangeCellState,
  /// OnChangeSetup, OnChangeNames, OnChangeAttrib. False, with the table
  /// unchanged and the place of the fault in Info; raises nothing.
  bool LoadFromXMLFile(const std::string& FileName, TXmlReadInfo* Info = nullptr);
  bool ReadFromXMLString(const std::string& XmlText, TXmlReadInfo* Info = nullptr);
  bool ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                           TXmlReadInfo* Info = nullptr);
  bool ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info = nullptr);
  /// The tag that an element name of the table's XML stands for (see
  /// DTxmlTagNames; "/TDataTable" is xmlDataTableEndId); TDTxmlTags::xmlInvalid
  /// for any other name.
  static TDTxmlTags ProcessXmlTag(std::string_view TagName);
  /// The element alone, for documents that embed a table.
  void WriteXMLElement(TXmlWriter& W) const;

  // --- events ----------------------------------------------------------------
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent H) { FOnChange = std::move(H); }
  const TNotifyEvent& OnChangeSetup() const { return FOnChangeSetup; }
  void SetOnChangeSetup(TNotifyEvent H) { FOnChangeSetup = std::move(H); }
  const TNotifyEvent& OnChangeNames() const { return FOnChangeNames; }
  void SetOnChangeNames(TNotifyEvent H) { FOnChangeNames = std::move(H); }
  const TNotifyEvent& OnChangeAttrib() const { return FOnChangeAttrib; }
  void SetOnChangeAttrib(TNotifyEvent H) { FOnChangeAttrib = std::move(H); }
  const TNotifyEvent& OnChangeCellState() const { return FOnChangeCellSt; }
  void SetOnChangeCellState(TNotifyEvent H) { FOnChangeCellSt = std::move(H); }
  const TOnPercentDoneEvent& OnPercentDone() const { return FOnPercentDone; }
  void SetOnPercentDone(TOnPercentDoneEvent H) { FOnPercentDone = std::move(H); }
  const TDataTableResizeEvent& OnResize() const { return FOnResize; }
  void SetOnResize(TDataTableResizeEvent H) { FOnResize = std::move(H); }
  const TSortExchgEvent& OnSortExchange() const { return FOnSortExchange; }
  void SetOnSortExchange(TSortExchgEvent H) { FOnSortExchange = std::move(H); }

 protected:
  // Internal helpers shared by the topic files.
  bool Inside(int32_t c, int32_t r) const {
    return c >= 1 && c <= FNrOfCols && r >= 1 && r <= FNrOfRows;
  }
  size_t StateIx(int32_t c, int32_t r) const {
    return static_cast<size_t>(c - 1) * static_cast<size_t>(FNrOfRows) + static_cast<size_t>(r - 1);
  }
  /// States of column c (1-based), FNrOfRows bytes.
  const uint8_t* ColStates(int32_t c) const { return FCState.data() + StateIx(c, 1); }
  uint8_t* ColStates(int32_t c) { return FCState.data() + StateIx(c, 1); }
  bool IsCategorial(int32_t c) const;
  bool IsNumericCol(int32_t c) const;
  void AttachMatrix(TMatrix* M);
  void FireResize(int32_t OldCols, int32_t OldRows);
  /// Resizes the per-row and per-column arrays, and Mat unless it is null, to
  /// NrCols x NrRows (both >= 1); all or nothing. Fires nothing. Raises
  /// "not enough memory on heap".
  void ResizeStorage(int32_t NrCols, int32_t NrRows, TMatrix* Mat);
  /// Fires OnChange, OnChangeCellState, OnChangeSetup, OnChangeNames, OnChangeAttrib.
  void FireAllChanges();
  [[noreturn]] void RaiseNoHeap() const;
  /// The first slot of Col holding Label (case-insensitive), whatever the scale; 0 if none.
  int32_t FindLabelSlot(int32_t Col, const TNominalIDStr& Label) const;
  int32_t AddLabel(int32_t Col, const TNominalIDStr& Label);
  /// The comb sort of the clipped rows (columns) by Keys (one per row or
  /// column of the table), moving names, attributes (scale descriptions) and
  /// the values and states of the other dimension's range. Fires
  /// OnSortExchange per exchange and OnChange at the end; false (nothing
  /// done, nothing fired) for a range of one line.
  template <class Key>
  bool SortByHeader(bool Rows, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow, std::vector<Key>& Keys);

  friend struct TDataTableAccess;

  TNotifyEvent FOnChange;
  TNotifyEvent FOnChangeSetup;
  TNotifyEvent FOnChangeNames;
  TNotifyEvent FOnChangeCellSt;
  TNotifyEvent FOnChangeAttrib;
  TOnPercentDoneEvent FOnPercentDone;
  TDataTableResizeEvent FOnResize;
  std::string FComment;
  std::vector<int32_t> FRowAtt;
  std::vector<int32_t> FColAtt;
  std::vector<TVTypeSpec> FVType;
  /// Column after column, FNrOfRows bytes each.
  std::vector<uint8_t> FCState;
  std::vector<TDTNameStr> FColName;
  std::vector<TDTNameStr> FRowName;
  int32_t FNrOfCols = 1;
  int32_t FNrOfRows = 1;
  bool FSortIncludeHd = false;
  TSortExchgEvent FOnSortExchange;
  bool FExtMatAssigned = false;
};

}  // namespace nuv
