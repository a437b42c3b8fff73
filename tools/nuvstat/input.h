// The data a subcommand works on: a delimited text file, standard input or
// the bundled sample, read through the matrix's text-file reader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

namespace nuvstat {

struct DataSet {
  std::unique_ptr<nuv::TMatrix> Mat;  ///< one matrix column per data column
  std::vector<std::string> Names;     ///< a name for every column (V1, V2, ... without header)
  std::string Source;                 ///< the file name, "stdin" or "bundled Iris sample"

  int32_t NCols() const { return Mat->NrOfColumns(); }
  int32_t NRows() const { return Mat->NrOfRows(); }
};

/// Reads File ("-" standard input, empty the bundled sample). Raises ToolError
/// for a missing or unreadable file, a malformed cell (with its line and
/// column) and data without any number.
DataSet LoadData(const std::string& File);

/// Raises ToolError unless the data has at least MinRows rows, naming What needs them.
void RequireRows(const DataSet& Data, int32_t MinRows, const std::string& What);

/// The 0-based index of a column given by name or by 1-based number; ToolError if none.
int32_t FindColumn(const DataSet& Data, const std::string& NameOrNumber);

}  // namespace nuvstat
