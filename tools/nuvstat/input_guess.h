// The shape of a CSV text judged from its first lines, before the whole of it
// is read: whether the first line is a header, whether R left the header one
// cell short (row names below it), and the inputs that would give a wrong
// answer if read as they stand.
#pragma once

#include <string>
#include <string_view>

#include "Nuv_datatable/Nuv_datatable.h"
#include "args.h"

namespace nuvstat {

/// The reader's options for the input options (decisions left to the reader).
nuv::TCSVImportOptions ReaderOptions(const InputOptions& In);

struct ShapeGuess {
  nuv::TCSVChoice Header = nuv::ccAuto;
  nuv::TCSVChoice RowNames = nuv::ccAuto;
  /// Where the header line starts and its content ends, when a cell is to be
  /// added to it: at the front (R's header without the row-names cell) or at the
  /// end (data lines that end with a delimiter, the header without it).
  bool PrependHeaderCell = false;
  bool AppendHeaderCell = false;
  size_t HeaderStart = 0;
  size_t HeaderEnd = 0;
  char Delimiter = '\0';  ///< of the first lines; ' ' for runs of blanks
  int32_t FirstLine = 0;  ///< physical line of the first record
};

/// Judges the first record against the up to 100 records below it. Raises
/// ToolError, naming the option to add, for a first line that mixes numbers and
/// texts above columns of numbers (--header, --skip), a first line with another
/// number of cells than the lines below (--skip), a later line of texts above
/// columns of numbers (--skip), and numbers with a decimal comma read with the
/// decimal point (--decimal ,). Notes on stderr where the header guess could go
/// either way. When the first lines cannot be read, decides nothing: the whole
/// import then reports the fault.
ShapeGuess GuessShape(std::string_view Text, const InputOptions& In, const std::string& Source);

}  // namespace nuvstat
