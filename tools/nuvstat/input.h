// The data a subcommand works on: a CSV file, standard input or the bundled
// sample, read into a data table. Numeric columns are analysed; nominal and
// text columns are listed and left out; missing cells are skipped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "Nuv_matrix/Nuv_matrix.h"
#include "args.h"

namespace nuvstat {

/// A column that is not analysed: nominal (texts that make labels) or text.
struct OtherColumn {
  std::string Name;
  std::string Kind;     ///< "nominal" or "text"
  int32_t TableCol = 0; ///< its column in the table
  int64_t Labels = 0;   ///< distinct texts
  int64_t Missing = 0;  ///< empty cells and missing-value words
};

struct DataSet {
  std::unique_ptr<nuv::TDataTable> Table;  ///< the whole file
  /// The analysed columns over all rows of the file, NaN where a cell is missing;
  /// null when no cell is missing (Mat holds every row then).
  std::unique_ptr<nuv::TMatrix> All;
  /// The analysed columns over the rows where none of them is missing, for the
  /// commands that need complete rows (pca, regress, and corr/cov --complete).
  std::unique_ptr<nuv::TMatrix> Mat;
  std::vector<std::string> Names;     ///< of the analysed columns (V1, V2, ... without header)
  std::vector<int32_t> TableCols;     ///< the table column of each analysed column
  std::vector<int64_t> Missing;       ///< missing cells of each analysed column
  std::vector<OtherColumn> Others;    ///< the columns left out, in file order
  std::vector<std::string> TableNames;  ///< every table column's name, made unique
  int32_t FileRows = 0;               ///< data rows of the file
  std::string Source;                 ///< the file name, "stdin" or "bundled Iris sample"

  /// The analysed columns over all rows, NaN where a cell is missing.
  const nuv::TMatrix& AllRows() const { return All ? *All : *Mat; }
  int32_t NCols() const { return Mat->NrOfColumns(); }
  /// Complete rows (all of them when nothing is missing).
  int32_t NRows() const { return Mat->NrOfRows(); }
  int32_t LeftOutRows() const { return FileRows - NRows(); }
  bool AnyMissing() const {
    for (int64_t m : Missing)
      if (m > 0) return true;
    return false;
  }
};

/// Reads the input the options name (a file, standard input or the bundled
/// sample) through the data table's CSV import, guessing the header when asked
/// to. Raises ToolError for a missing or unreadable file, a malformed file (with
/// its line and column), a first line that could be a header or data, numbers
/// with a decimal comma read without --decimal ,, infinite or overflowing cells,
/// unknown --columns/--exclude, and data without a numeric column. Notes and the
/// reader's warnings go to stderr.
DataSet LoadData(const InputOptions& In);

/// Raises ToolError unless the data has at least MinRows rows, naming What needs them.
void RequireRows(const DataSet& Data, int32_t MinRows, const std::string& What);

/// The 0-based index of an analysed column given by name or by 1-based number;
/// ToolError if none.
int32_t FindColumn(const DataSet& Data, const std::string& NameOrNumber);

/// The table column (from 1) given by name or 1-based number among all columns of
/// the table; ToolError naming Option if none.
int32_t FindTableColumn(const DataSet& Data, const std::string& NameOrNumber,
                        const std::string& Option);

/// The group of every data row (-1 where the grouping cell is missing) by table column
/// Col (from 1), and the groups' names in order of first appearance: the labels of a
/// nominal column, the numbers of a numeric one as written back. ToolError for a column
/// of clashing texts.
std::vector<int32_t> GroupRows(const DataSet& Data, int32_t Col, std::vector<std::string>& Names);

}  // namespace nuvstat
