// The data a subcommand works on: a CSV file, standard input or the bundled
// sample, read into a data table. Numeric columns are analysed; nominal and
// text columns are listed and left out; missing cells are skipped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "Nuv_matrix/Nuv_matrix.h"

namespace nuvstat {

/// A column that is not analysed: nominal (texts that make labels) or text.
struct OtherColumn {
  std::string Name;
  std::string Kind;     ///< "nominal" or "text"
  int64_t Labels = 0;   ///< distinct texts
  int64_t Missing = 0;  ///< empty cells and missing-value words
};

struct DataSet {
  std::unique_ptr<nuv::TDataTable> Table;  ///< the whole file
  /// The numeric columns over the rows where none of them is missing, for the
  /// commands that need complete rows (corr, cov, pca, regress).
  std::unique_ptr<nuv::TMatrix> Mat;
  std::vector<std::string> Names;     ///< of the numeric columns (V1, V2, ... without header)
  std::vector<int32_t> TableCols;     ///< the table column of each numeric column
  std::vector<int64_t> Missing;       ///< missing cells of each numeric column
  std::vector<OtherColumn> Others;    ///< the columns left out, in file order
  int32_t FileRows = 0;               ///< data rows of the file
  std::string Source;                 ///< the file name, "stdin" or "bundled Iris sample"

  int32_t NCols() const { return Mat->NrOfColumns(); }
  /// Complete rows (all of them when nothing is missing).
  int32_t NRows() const { return Mat->NrOfRows(); }
  int32_t LeftOutRows() const { return FileRows - NRows(); }
};

/// Reads File ("-" standard input, empty the bundled sample) through the data
/// table's CSV import. Raises ToolError for a missing or unreadable file, a
/// malformed file (with its line and column), infinite values, and data
/// without a numeric column. Columns kept as text are reported on stderr.
DataSet LoadData(const std::string& File);

/// Raises ToolError unless the data has at least MinRows rows, naming What needs them.
void RequireRows(const DataSet& Data, int32_t MinRows, const std::string& What);

/// The 0-based index of a column given by name or by 1-based number; ToolError if none.
int32_t FindColumn(const DataSet& Data, const std::string& NameOrNumber);

}  // namespace nuvstat
