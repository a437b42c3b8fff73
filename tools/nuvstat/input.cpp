#include "input.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "errors.h"
#include "input_guess.h"
#include "input_text.h"
#include "progress.h"
#include "sample_data.h"

namespace nuvstat {

namespace {

[[noreturn]] void RaiseLoadError(const std::string& Source, const nuv::TCSVImportInfo& Info) {
  std::string where = Source;
  if (Info.ErrorLine > 0) {
    where += ", line " + std::to_string(Info.ErrorLine);
    if (Info.ErrorColumn > 0) where += ", column " + std::to_string(Info.ErrorColumn);
  }
  throw ToolError(where + ": " +
                  (Info.ErrorText.empty() ? "not a table" : Printable(Info.ErrorText)));
}

// The text to read and its name in every report.
std::string InputText(const InputOptions& In, std::string& Source) {
  const bool sample = !In.Sample.empty() || (In.File.empty() && isatty(STDIN_FILENO) != 0);
  if (sample) {
    Source = "bundled Iris sample";
    if (kIrisCsv[0] == '\0') throw ToolError("this build has no bundled sample: give a FILE");
    if (In.Sample.empty())
      Note("no FILE given and standard input is a terminal: analysing the bundled Iris "
           "sample (--sample iris)");
    return kIrisCsv;
  }
  if (In.File.empty() || In.File == "-") {
    Source = "stdin";
    std::string text = ReadStdinText();
    CheckInterrupted();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) throw ToolError("stdin: no data");
    return text;
  }
  Source = In.File;
  return ReadFileText(In.File);
}

// Repeated names would make --y, --columns and the output's labels ambiguous:
// later copies become "a.2", "a.3", ... with a note.
void MakeNamesUnique(std::vector<std::string>& Names, const std::string& Source) {
  std::map<std::string, int> seen;
  for (const std::string& n : Names) seen.emplace(n, 0);
  std::map<std::string, int> count;
  for (std::string& n : Names) {
    const int k = ++count[n];
    if (k == 1) continue;
    std::string renamed;
    for (int i = k;; ++i) {
      renamed = n + "." + std::to_string(i);
      if (seen.emplace(renamed, 0).second) break;
    }
    Note(Source + ": note: the column name " + Quoted(n) + " repeats: copy " +
         std::to_string(k) + " is called " + Quoted(renamed));
    n = renamed;
  }
}

// The physical line and cell of a table cell, for messages.
std::string CellPlace(std::string_view Text, const InputOptions& In,
                      const nuv::TCSVImportInfo& Info, int32_t Col, int32_t Row,
                      std::string* CellText) {
  const RecordPlace p = FindRecord(Text, In.Skip, Row + (Info.HasHeader ? 1 : 0));
  const int32_t fileCol = Col + (Info.HasRowNames ? 1 : 0);
  if (p.Line == 0) return "data row " + std::to_string(Row) + ", column " + std::to_string(fileCol);
  if (CellText != nullptr) {
    const std::vector<std::string> cells = RecordCells(Text, p.Offset, Info.Delimiter);
    if (static_cast<size_t>(fileCol) <= cells.size())
      *CellText = cells[static_cast<size_t>(fileCol - 1)];
  }
  return "line " + std::to_string(p.Line) + ", column " + std::to_string(fileCol);
}

// The statistics have no use for infinite values: refuse them up front, telling a
// number too large for double precision from a written infinity.
void RejectNonFinite(const DataSet& Data, std::string_view Text, const InputOptions& In,
                     const nuv::TCSVImportInfo& Info) {
  const nuv::TDataTable& t = *Data.Table;
  for (size_t k = 0; k < Data.TableCols.size(); ++k) {
    const int32_t c = Data.TableCols[k];
    const double* col = t.NumericData->ColData(c);
    for (int32_t r = 0; r < t.NrOfRows(); ++r) {
      if (!std::isinf(col[r])) continue;
      std::string cell;
      const std::string place = CellPlace(Text, In, Info, c, r + 1, &cell);
      const bool written = cell.find_first_of("iI") != std::string::npos;
      throw ToolError(Data.Source + ", " + place + " (" + Quoted(Data.Names[k]) + "): " +
                      (written || cell.empty()
                           ? std::string("infinite values cannot be analysed")
                           : Quoted(Printable(cell)) +
                                 " overflows: it is beyond the range of double precision "
                                 "(about 1.8e308)"));
    }
  }
}

// --columns and --exclude by name or number among the table's columns.
std::vector<bool> ChosenColumns(const DataSet& Data, const InputOptions& In) {
  const auto nc = static_cast<size_t>(Data.Table->NrOfColumns());
  std::vector<bool> chosen(nc, In.Columns.empty());
  for (const std::string& c : In.Columns)
    chosen[static_cast<size_t>(FindTableColumn(Data, c, "--columns") - 1)] = true;
  for (const std::string& c : In.Exclude)
    chosen[static_cast<size_t>(FindTableColumn(Data, c, "--exclude") - 1)] = false;
  return chosen;
}

// The analysed columns over all rows, and over the rows where none is missing
// (one matrix when that is every row).
void BuildMatrices(DataSet& Data) {
  const nuv::TDataTable& t = *Data.Table;
  const int32_t n = t.NrOfRows();
  const auto p = static_cast<int32_t>(Data.TableCols.size());
  auto all = std::make_unique<nuv::TMatrix>();
  all->Resize(p, n);
  std::vector<uint8_t> complete(static_cast<size_t>(n), 1);
  for (int32_t k = 1; k <= p; ++k) {
    const double* src = t.NumericData->ColData(Data.TableCols[static_cast<size_t>(k - 1)]);
    double* dst = all->ColData(k);
    for (int32_t r = 0; r < n; ++r) {
      dst[r] = src[r];
      if (std::isnan(src[r])) complete[static_cast<size_t>(r)] = 0;
    }
  }
  std::vector<int32_t> rows;
  for (int32_t r = 0; r < n; ++r)
    if (complete[static_cast<size_t>(r)] != 0) rows.push_back(r);
  if (static_cast<int32_t>(rows.size()) == n) {
    Data.Mat = std::move(all);
    return;
  }
  Data.Mat = std::make_unique<nuv::TMatrix>();
  Data.Mat->Resize(p, static_cast<int32_t>(rows.size()));
  for (int32_t k = 1; k <= p; ++k) {
    const double* src = all->ColData(k);
    double* dst = Data.Mat->ColData(k);
    for (size_t i = 0; i < rows.size(); ++i) dst[i] = src[rows[i]];
  }
  Data.All = std::move(all);
}

}  // namespace

DataSet LoadData(const InputOptions& In) {
  DataSet data;
  data.Table = std::make_unique<nuv::TDataTable>();
  SetProgressLabel("reading");
  std::string text = InputText(In, data.Source);
  const ShapeGuess shape = GuessShape(text, In, data.Source);
  if (shape.PrependHeaderCell) {
    // The name of the row-names column is never shown; a bare word suits every delimiter.
    const std::string cell =
        std::string("row.names") + (shape.Delimiter == '\0' ? ',' : shape.Delimiter);
    text.insert(shape.HeaderStart, cell);
  } else if (shape.AppendHeaderCell) {
    text.insert(shape.HeaderEnd, 1, shape.Delimiter == '\0' ? ',' : shape.Delimiter);
  }
  nuv::TCSVImportOptions opt = ReaderOptions(In);
  opt.Header = shape.Header;
  opt.RowNames = shape.RowNames;
  nuv::TCSVImportInfo info;
  const bool ok = data.Table->ImportFromCSVText(text, opt, info);
  CheckInterrupted();
  if (!ok) RaiseLoadError(data.Source, info);
  for (const std::string& w : info.Warnings)
    Note(data.Source + ": warning: " + Printable(w));
  const nuv::TDataTable& t = *data.Table;
  data.FileRows = t.NrOfRows();
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c)
    data.TableNames.push_back(info.HasHeader ? Printable(t.GetColName(c))
                                             : "V" + std::to_string(c));
  MakeNamesUnique(data.TableNames, data.Source);
  const std::vector<bool> chosen = ChosenColumns(data, In);
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c) {
    const nuv::TCSVColumnInfo& ci = info.Columns[static_cast<size_t>(c - 1)];
    const std::string& name = data.TableNames[static_cast<size_t>(c - 1)];
    // A delimiter at the end of every line leaves an empty, unnamed last column.
    const bool unnamed = !info.HasHeader || name == "C-" + std::to_string(c);
    if (c == t.NrOfColumns() && c > 1 && unnamed && ci.Kind == nuv::ckNumeric &&
        ci.EmptyCells == t.NrOfRows())
      continue;
    if (!chosen[static_cast<size_t>(c - 1)]) continue;
    if (ci.Kind == nuv::ckNumeric) {
      data.TableCols.push_back(c);
      data.Names.push_back(name);
      data.Missing.push_back(ci.EmptyCells);
    } else {
      if (!In.Columns.empty())
        for (const std::string& w : In.Columns)
          if (FindTableColumn(data, w, "--columns") == c)
            throw ToolError(data.Source + ": --columns: column " + Quoted(name) +
                            " holds texts, not numbers");
      data.Others.push_back({name, ci.Kind == nuv::ckNominal ? "nominal" : "text", c, ci.Labels,
                             ci.EmptyCells});
    }
  }
  if (data.TableCols.empty()) throw ToolError(data.Source + ": no numeric column");
  RejectNonFinite(data, text, In, info);
  // The text may be as large as the table: give it back before the analysis.
  std::string().swap(text);
  BuildMatrices(data);
  return data;
}

void RequireRows(const DataSet& Data, int32_t MinRows, const std::string& What) {
  if (Data.NRows() >= MinRows) return;
  const std::string have = Data.LeftOutRows() > 0
                               ? std::to_string(Data.NRows()) + " rows without missing values"
                               : std::to_string(Data.NRows());
  throw ToolError(Data.Source + ": too few rows: " + What + " needs at least " +
                  std::to_string(MinRows) + ", the data has " + have);
}

namespace {

int32_t NumberIn(const std::string& Text, int32_t Count) {
  int32_t number = 0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, number);
  return res.ec == std::errc() && res.ptr == last && number >= 1 && number <= Count ? number : 0;
}

std::string NameList(const std::vector<std::string>& Names) {
  std::string list;
  for (const std::string& n : Names) list += (list.empty() ? "" : ", ") + n;
  return list;
}

}  // namespace

int32_t FindColumn(const DataSet& Data, const std::string& NameOrNumber) {
  for (size_t c = 0; c < Data.Names.size(); ++c)
    if (Data.Names[c] == NameOrNumber) return static_cast<int32_t>(c);
  const int32_t number = NumberIn(NameOrNumber, Data.NCols());
  if (number > 0) return number - 1;
  throw ToolError(Data.Source + ": no column " + Quoted(NameOrNumber) + " (the columns are " +
                  NameList(Data.Names) + ", or numbers 1 to " + std::to_string(Data.NCols()) + ")");
}

int32_t FindTableColumn(const DataSet& Data, const std::string& NameOrNumber,
                        const std::string& Option) {
  for (size_t c = 0; c < Data.TableNames.size(); ++c)
    if (Data.TableNames[c] == NameOrNumber) return static_cast<int32_t>(c + 1);
  const auto count = static_cast<int32_t>(Data.TableNames.size());
  const int32_t number = NumberIn(NameOrNumber, count);
  if (number > 0) return number;
  throw ToolError(Data.Source + ": " + Option + ": no column " + Quoted(NameOrNumber) +
                  " (the columns are " + NameList(Data.TableNames) + ", or numbers 1 to " +
                  std::to_string(count) + ")");
}

}  // namespace nuvstat
