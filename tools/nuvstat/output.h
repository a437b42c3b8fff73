// The results of a subcommand as named tables, written as an aligned text
// table, as CSV or as JSON. A command fills a Report completely before
// anything is written, so an error or an interruption never leaves half a
// result on stdout.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "args.h"

namespace nuvstat {

/// A number, or a figure that was not computed (n/a, empty, null). Kept small:
/// a table of scores has a cell for every row of the data.
struct Cell {
  enum Kind : uint8_t { kNumber, kMissing };
  Kind What = kMissing;
  double Value = 0.0;

  static Cell Number(double v) { return Cell{kNumber, v}; }
  static Cell Missing() { return Cell{}; }
};

/// A fact about the run: a text or a number.
struct Fact {
  bool IsText = true;
  std::string Text;
  double Value = 0.0;

  static Fact Str(std::string s) { return Fact{true, std::move(s), 0.0}; }
  static Fact Number(double v) { return Fact{false, {}, v}; }
};

struct Table {
  std::string Name;                  ///< JSON key and CSV section name ("loadings")
  std::string Title;                 ///< heading of the text form
  std::string KeyHeader;             ///< header of the row-label column ("column")
  std::vector<std::string> Columns;  ///< headers of the value columns
  std::vector<std::string> RowLabels;
  /// With a GroupHeader, each row also has a group, written before its label.
  std::string GroupHeader;
  std::vector<std::string> Groups;
  std::vector<std::vector<Cell>> Rows;  ///< one Cell per value column
  /// With a TextHeader, each row also ends in a text (a test's decision), written
  /// after the value columns.
  std::string TextHeader;
  std::vector<std::string> Texts;
  /// The text form shows values below 1e-12 of their column's largest as 0: for results
  /// where such values are rounding noise (loadings, scores, matrices), not p values.
  bool ZeroNoise = false;
  /// Columns of p values: the text form shows those below 1e-300 as "< 1e-300".
  std::vector<size_t> PColumns;
  std::vector<size_t> PRows;  ///< rows of p values, in a table of mixed figures
  /// Left out of the text and JSON forms (a table of counts that are all equal),
  /// still written when --table asks for it in CSV.
  bool Hidden = false;

  void AddRow(std::string Label, std::vector<Cell> Cells) {
    RowLabels.push_back(std::move(Label));
    Rows.push_back(std::move(Cells));
  }
};

struct Report {
  std::string Command;
  /// Facts about the run ("source", "rows", ...), in order; shown above the tables.
  std::vector<std::pair<std::string, Fact>> Info;
  std::vector<Table> Tables;
};

/// Writes the report in the chosen form, a block at a time; raises ToolError when the
/// stream fails. CSV holds one table, the one named CsvTable (the first when empty),
/// so that it loads as it stands; the facts above the tables are left out there.
void WriteReport(const Report& R, Format F, const std::string& CsvTable, std::FILE* Out);

/// Shortest text that reads back as the same double ("NaN", "Inf", "-Inf" for the
/// others); whole numbers below 1e15 in full ("1000000", never "1e+06").
std::string RoundTripText(double v);
/// Six significant digits, as the text table shows numbers.
std::string ShortText(double v);

}  // namespace nuvstat
