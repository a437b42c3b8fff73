#include "input.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "errors.h"
#include "foundation/frame.h"
#include "progress.h"
#include "sample_data.h"

namespace nuvstat {

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A Ctrl-C while the read blocks interrupts it (the handler is installed
// without SA_RESTART so that it can): that is the interrupt, not a read error.
std::string ReadStdin() {
  std::string text;
  char buf[65536];
  for (;;) {
    errno = 0;
    const size_t got = std::fread(buf, 1, sizeof buf, stdin);
    text.append(buf, got);
    if (std::ferror(stdin) != 0) {
      if (errno != EINTR)
        throw ToolError("cannot read standard input: " + std::string(std::strerror(errno)));
      CheckInterrupted();
      std::clearerr(stdin);
      continue;
    }
    if (got == 0) return text;
  }
}

// Fails early with the system's reason, which the matrix reader does not report.
void CheckReadable(const std::string& File) {
  struct stat st {};
  if (::stat(File.c_str(), &st) != 0)
    throw ToolError("cannot open " + Quoted(File) + ": " + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) throw ToolError("cannot open " + Quoted(File) + ": it is a directory");
  std::FILE* f = std::fopen(File.c_str(), "rb");
  if (f == nullptr) throw ToolError("cannot open " + Quoted(File) + ": " + std::strerror(errno));
  std::fclose(f);
}

// Cells quoted in messages may hold any bytes: keep text and valid UTF-8, show the rest as '?'.
std::string Printable(const std::string& s) {
  std::string out;
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool ok = len > 0 && i + len <= n && (len == 1 ? b >= 0x20 && b != 0x7f : b >= 0xc2);
    for (size_t k = 1; ok && k < len; ++k)
      ok = (static_cast<unsigned char>(s[i + k]) & 0xc0) == 0x80;
    if (ok) {
      out.append(s, i, len);
      i += len;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

[[noreturn]] void RaiseLoadError(const std::string& Source, const nuv::TCSVImportInfo& Info) {
  std::string where = Source;
  if (Info.ErrorLine > 0) {
    where += ", line " + std::to_string(Info.ErrorLine);
    if (Info.ErrorColumn > 0) where += ", column " + std::to_string(Info.ErrorColumn);
  }
  throw ToolError(where + ": " +
                  (Info.ErrorText.empty() ? "not a table" : Printable(Info.ErrorText)));
}

// The statistics have no use for infinite values: refuse them up front.
void RejectNonFinite(const DataSet& Data) {
  const nuv::TDataTable& t = *Data.Table;
  for (size_t k = 0; k < Data.TableCols.size(); ++k) {
    const int32_t c = Data.TableCols[k];
    const double* col = t.NumericData->ColData(c);
    for (int32_t r = 0; r < t.NrOfRows(); ++r)
      if (t.GetIsNumber(c, r + 1) && !std::isfinite(col[r]))
        throw ToolError(Data.Source + ": data row " + std::to_string(r + 1) + ", column " +
                        std::to_string(c) + " (" + Quoted(Data.Names[k]) +
                        "): infinite values cannot be analysed");
  }
}

// The numeric columns over the rows where none of them is missing.
void CompleteRows(DataSet& Data) {
  const nuv::TDataTable& t = *Data.Table;
  const int32_t n = t.NrOfRows();
  std::vector<int32_t> rows;
  for (int32_t r = 1; r <= n; ++r) {
    bool complete = true;
    for (int32_t c : Data.TableCols) complete = complete && t.GetIsNumber(c, r);
    if (complete) rows.push_back(r);
  }
  const auto p = static_cast<int32_t>(Data.TableCols.size());
  Data.Mat = std::make_unique<nuv::TMatrix>();
  Data.Mat->Resize(p, static_cast<int32_t>(rows.size()));
  for (int32_t k = 1; k <= p; ++k) {
    const double* src = t.NumericData->ColData(Data.TableCols[static_cast<size_t>(k - 1)]);
    double* dst = Data.Mat->ColData(k);
    for (size_t i = 0; i < rows.size(); ++i) dst[i] = src[rows[i] - 1];
  }
}

}  // namespace

DataSet LoadData(const std::string& File) {
  DataSet data;
  data.Table = std::make_unique<nuv::TDataTable>();
  nuv::TCSVImportOptions opt;
  opt.CommentChar = '#';
  nuv::TCSVImportInfo info;
  bool ok = false;
  SetProgressLabel("reading");
  if (File.empty()) {
    data.Source = "bundled Iris sample";
    if (kIrisCsv[0] == '\0') throw ToolError("this build has no bundled sample: give a FILE");
    ok = data.Table->ImportFromCSVText(kIrisCsv, opt, info);
  } else if (File == "-") {
    data.Source = "stdin";
    const std::string text = ReadStdin();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) throw ToolError("stdin: no data");
    ok = data.Table->ImportFromCSVText(text, opt, info);
  } else {
    data.Source = File;
    CheckReadable(File);
    ok = data.Table->ImportFromCSV(File, opt, info);
  }
  CheckInterrupted();
  if (!ok) RaiseLoadError(data.Source, info);
  for (const std::string& w : info.Warnings)
    std::fprintf(stderr, "nuvstat: %s: warning: %s\n", data.Source.c_str(), Printable(w).c_str());
  const nuv::TDataTable& t = *data.Table;
  data.FileRows = t.NrOfRows();
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c) {
    const nuv::TCSVColumnInfo& ci = info.Columns[static_cast<size_t>(c - 1)];
    const std::string name = info.HasHeader ? Printable(t.GetColName(c)) : "V" + std::to_string(c);
    if (ci.Kind == nuv::ckNumeric) {
      data.TableCols.push_back(c);
      data.Names.push_back(name);
      data.Missing.push_back(ci.EmptyCells);
    } else {
      data.Others.push_back(
          {name, ci.Kind == nuv::ckNominal ? "nominal" : "text", ci.Labels, ci.EmptyCells});
    }
  }
  if (data.TableCols.empty()) throw ToolError(data.Source + ": no numeric column");
  RejectNonFinite(data);
  CompleteRows(data);
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

int32_t FindColumn(const DataSet& Data, const std::string& NameOrNumber) {
  for (size_t c = 0; c < Data.Names.size(); ++c)
    if (Data.Names[c] == NameOrNumber) return static_cast<int32_t>(c);
  int32_t number = 0;
  const char* first = NameOrNumber.data();
  const char* last = first + NameOrNumber.size();
  const auto res = std::from_chars(first, last, number);
  if (res.ec == std::errc() && res.ptr == last && number >= 1 && number <= Data.NCols())
    return number - 1;
  std::string names;
  for (const std::string& n : Data.Names) names += (names.empty() ? "" : ", ") + n;
  throw ToolError(Data.Source + ": no column " + Quoted(NameOrNumber) + " (the columns are " +
                  names + ", or numbers 1 to " + std::to_string(Data.NCols()) + ")");
}

}  // namespace nuvstat
