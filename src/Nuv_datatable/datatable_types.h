// Types of the data-table unit: names and labels, measurement scales, the
// per-column variable description, CSV delimiters and the resize event.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// A row or column name: UTF-8 text of at most MaxDTNameLength bytes. Longer
/// texts given to the table are cut at a character boundary.
using TDTNameStr = std::string;
/// The label of a nominal or ordinal category: UTF-8 text of at most
/// MaxNominalIDLength bytes, cut at a character boundary.
using TNominalIDStr = std::string;

inline constexpr int32_t MaxDTNameLength = 50;
inline constexpr int32_t MaxNominalIDLength = 10;
/// Label slots per column, numbered 1 .. MaxNominalIDs.
inline constexpr int32_t MaxNominalIDs = 150;

/// Measurement scale of a column.
enum TMScaleType : uint8_t { stUnknown, stNominal, stOrdinal, stInterval, stRatio };

inline constexpr const char* MScaleTypeNames[] = {"Unknown", "Nominal", "Ordinal", "Interval",
                                                  "Ratio"};

/// The description of one column: its scale type and the labels of its
/// categories. Slot k (1 .. MaxNominalIDs) is IDs[k - 1] when k <= IDs.size()
/// and empty otherwise, so a column without labels costs no label storage.
struct NUV_API TVTypeSpec {
  TMScaleType MScaleType = stInterval;
  std::vector<TNominalIDStr> IDs;

  /// The label in Slot, empty for an empty slot or a slot outside 1 .. MaxNominalIDs.
  const TNominalIDStr& ID(int32_t Slot) const;
  /// Writes Slot (1 .. MaxNominalIDs; others are ignored); trailing empty slots are dropped.
  void SetID(int32_t Slot, const TNominalIDStr& Label);
  /// The highest slot that holds a label, 0 when all are empty.
  int32_t UsedSlots() const { return static_cast<int32_t>(IDs.size()); }
};

// The tags of the table's XML. Their last value shares its name with the last
// value of the matrices' TMatXmlTag, so the enumeration lives in a namespace of
// its own and its other values are brought into nuv: write xmlColNames, and
// TDTxmlTags::xmlInvalid.
namespace dtxml {
enum TDTxmlTags : uint8_t {
  xmlDataTableId,
  xmlDataTableEndId,
  xmlComment,
  xmlSize,
  xmlColNames,
  xmlRowNames,
  xmlColAttrib,
  xmlRowAttrib,
  xmlColId,
  xmlRowId,
  xmlDataCells,
  xmlCellID,
  xmlVarType,
  xmlVarIdentifier,
  xmlInvalid
};
}  // namespace dtxml
using dtxml::TDTxmlTags;
using dtxml::xmlCellID;
using dtxml::xmlColAttrib;
using dtxml::xmlColId;
using dtxml::xmlColNames;
using dtxml::xmlComment;
using dtxml::xmlDataCells;
using dtxml::xmlDataTableEndId;
using dtxml::xmlDataTableId;
using dtxml::xmlRowAttrib;
using dtxml::xmlRowId;
using dtxml::xmlRowNames;
using dtxml::xmlSize;
using dtxml::xmlVarIdentifier;
using dtxml::xmlVarType;

/// The element names of the table's XML, indexed by TDTxmlTags (the end tag
/// of the root carries its slash; xmlInvalid names nothing).
inline constexpr const char* DTxmlTagNames[] = {
    "TDataTable", "/TDataTable", "Comment",    "Size",      "ColNames",
    "RowNames",   "ColAttribs",  "RowAttribs", "C",         "R",
    "Cells",      "CellStates",  "VarType",    "Label",     ""};

/// Field delimiters of CSV files; csvUnknown asks the reader to detect it.
enum TCSVDelimiters : uint8_t { csvComma, csvColon, csvSemicolon, csvTab, csvUnknown };

inline constexpr char CSVDelimiters[] = {',', ':', ';', '\t', '\0'};

/// (Sender, OldColumns, OldRows, NewColumns, NewRows)
using TDataTableResizeEvent = std::function<void(
    TObject* Sender, int32_t OldColumns, int32_t OldRows, int32_t NewColumns, int32_t NewRows)>;

/// Whether a CSV file has a header line (or a first column of row names):
/// no, yes, or decided from the file (see ImportFromCSV).
enum TCSVChoice : uint8_t { ccNo, ccYes, ccAuto };

/// How ImportFromCSV reads a file. The defaults read RFC 4180 files written
/// by spreadsheets, R, pandas and ExportAsCSV.
struct TCSVImportOptions {
  /// csvUnknown detects the delimiter (also runs of blanks) from the first lines.
  TCSVDelimiters Delimiter = csvUnknown;
  /// '.' or ','; a decimal comma needs another delimiter than the comma.
  char DecimalSeparator = '.';
  TCSVChoice Header = ccAuto;
  TCSVChoice RowNames = ccAuto;
  /// Further cell texts that mean "no value", compared byte for byte after the
  /// blanks around an unquoted cell are dropped (the built-in ones are listed
  /// with ImportFromCSV).
  std::vector<std::string> MissingWords;
  /// Physical lines skipped at the start before anything is read.
  int32_t SkipLines = 0;
  /// Lines whose first character is this one are skipped ('\0': none).
  char CommentChar = '\0';
};

/// What a column of an imported CSV file became.
enum TCSVColumnKind : uint8_t {
  ckNumeric,  ///< every non-missing cell a number: scale stInterval
  ckNominal,  ///< texts that fit the labels: scale stNominal, cells hold slot numbers
  ckText      ///< texts that cannot be labels: scale stUnknown, cells invalid
};

struct TCSVColumnInfo {
  TDTNameStr Name;
  TCSVColumnKind Kind = ckNumeric;
  int64_t EmptyCells = 0;    ///< empty cells and missing-value words (cell state bit 2)
  int64_t InvalidCells = 0;  ///< texts of a text column (cell state bit 1)
  int64_t Labels = 0;        ///< distinct texts of a nominal or text column
};

/// What ImportFromCSV found, and where it failed.
struct NUV_API TCSVImportInfo {
  char Delimiter = 0;  ///< the delimiter used; ' ' for runs of blanks
  bool HasHeader = false;
  bool HasRowNames = false;
  int64_t EmptyCells = 0;    ///< over all columns
  int64_t InvalidCells = 0;  ///< over all columns
  std::vector<TCSVColumnInfo> Columns;
  /// One line per column kept as text instead of nominal: its name and why.
  std::vector<std::string> Warnings;
  int32_t ErrorLine = 0;    ///< 1-based physical line of the failure, 0 if none
  int32_t ErrorColumn = 0;  ///< 1-based cell of that line, 0 if none
  std::string ErrorText;    ///< what went wrong, without the position; empty on success
  /// "line L, column C: <ErrorText>" (without the parts that are 0); empty on success.
  std::string ErrorMessage() const;
};

/// How ExportAsCSV writes a file.
struct TCSVExportOptions {
  /// csvUnknown writes commas.
  TCSVDelimiters Delimiter = csvComma;
  /// '.' or ','; a decimal comma with the comma delimiter is written as '.'.
  char DecimalSeparator = '.';
  bool Header = true;
  bool RowNames = false;
};

/// What ImportASC and ReadFromASC found, and where they failed.
struct NUV_API TASCImportInfo {
  int32_t ErrorLine = 0;    ///< 1-based line of the failure, 0 if none
  int32_t ErrorColumn = 0;  ///< 1-based item of that line, 0 if none
  std::string ErrorText;
  std::string ErrorMessage() const;
};

}  // namespace nuv
