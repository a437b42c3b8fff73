// The raw text of the input and where things stand in it: reading files and
// standard input whole, finding the physical line of a record, splitting one
// record into its cells, and telling number-like texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuvstat {

/// The whole file; ToolError with the system's reason when it cannot be read.
std::string ReadFileText(const std::string& File);

/// All of standard input; a Ctrl-C while it blocks is the interrupt.
std::string ReadStdinText();

/// True for CR and LF.
inline bool IsLineEnd(char ch) { return ch == '\n' || ch == '\r'; }

/// The offset just past the line end at or after Pos (CR LF, LF or CR), or the end.
size_t PastLineEnd(std::string_view Text, size_t Pos);

/// Where a record of the text starts: its physical line (from 1) and byte offset.
struct RecordPlace {
  int32_t Line = 0;  ///< 0 when the text has fewer records
  size_t Offset = 0;
};

/// The place of record Record (from 1, a header line included) after Skip physical
/// lines, passing over blank lines and lines starting with '#', as the reader does.
RecordPlace FindRecord(std::string_view Text, int32_t Skip, int32_t Record);

/// The cells of the record starting at Offset, split at Delimiter (' ' for runs of
/// blanks) outside quotes, quotes removed, blanks around the cells dropped; in
/// Quoted, when given, whether each cell was quoted.
std::vector<std::string> RecordCells(std::string_view Text, size_t Offset, char Delimiter,
                                     std::vector<bool>* Quoted = nullptr);

/// True for an optional sign, digits with at most one Decimal and an optional
/// exponent (blanks around allowed): a number the reader would take with Decimal.
bool LooksNumeric(std::string_view Cell, char Decimal);

/// "line L" of Source, or Source alone when Line is 0.
std::string AtLine(const std::string& Source, int32_t Line);

/// s with its text and valid UTF-8 kept and every other byte shown as '?': cells
/// quoted in messages may hold any bytes.
std::string Printable(const std::string& s);

/// s in double quotes, as messages show names and cells.
inline std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

/// "nuvstat: <Text>" on stderr: notes and warnings that do not stop the run.
void Note(const std::string& Text);

}  // namespace nuvstat
