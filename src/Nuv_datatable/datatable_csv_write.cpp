// ExportAsCSV: the table as CSV text that ImportFromCSV reads back to the
// same cells: numbers in their shortest exact form, labels and names quoted
// when they would otherwise read as something else, cells that are not
// numbers (state bit 1 or 2) as empty fields.
#include <cstring>

#include "Nuv_datatable/datatable_csv_scan.h"
#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {

const char* const kMissingLook[] = {"NA", "NaN", "nan", "NAN", "null", "NULL", "Null", "?"};

// A text needs quotes when it is empty, holds the delimiter, a quote or a line
// end, has blanks around it, starts like a comment, or would read as a
// number or a missing value.
bool NeedsQuotes(std::string_view t, char Delim, char Decimal) {
  if (t.empty()) return true;
  if (t.front() == ' ' || t.front() == '\t' || t.back() == ' ' || t.back() == '\t') return true;
  if (t.front() == '#') return true;
  for (char c : t)
    if (c == Delim || c == '"' || c == '\n' || c == '\r') return true;
  for (const char* w : kMissingLook)
    if (t == w) return true;
  double v = 0.0;
  return detail::ParseCSVNumber(t, Decimal, v);
}

void AppendText(std::string& Out, std::string_view t, bool Quote) {
  if (!Quote) {
    Out.append(t.data(), t.size());
    return;
  }
  Out += '"';
  for (char c : t) {
    Out += c;
    if (c == '"') Out += '"';
  }
  Out += '"';
}

}  // namespace

std::string TDataTable::ExportAsCSVText(const TCSVExportOptions& Options) const {
  const char delim = Options.Delimiter < csvUnknown ? CSVDelimiters[Options.Delimiter] : ',';
  const char decimal = Options.DecimalSeparator == ',' && delim != ',' ? ',' : '.';
  std::string out;
  auto text = [&](std::string_view t) { AppendText(out, t, NeedsQuotes(t, delim, decimal)); };
  if (Options.Header) {
    if (Options.RowNames) {
      out += "\"\"";
      out += delim;
    }
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      if (c > 1) out += delim;
      text(FColName[static_cast<size_t>(c - 1)]);
    }
    out += "\r\n";
  }
  char buf[32];
  for (int32_t r = 1; r <= FNrOfRows; ++r) {
    if (Options.RowNames) {
      text(FRowName[static_cast<size_t>(r - 1)]);
      out += delim;
    }
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      if (c > 1) out += delim;
      if ((FCState[StateIx(c, r)] & 3) != 0) continue;
      if (IsCategorial(c)) {
        text(GetElemNominal(c, r));
        continue;
      }
      char* e = FormatDoubleText(buf, buf + sizeof buf, NumericData->GetVal(c, r), 0, -1);
      if (decimal != '.')
        for (char* p = buf; p < e; ++p)
          if (*p == '.') *p = decimal;
      out.append(buf, e);
    }
    out += "\r\n";
  }
  return out;
}

std::string TDataTable::ExportAsCSV(const std::string& FileName,
                                    const TCSVExportOptions& Options) const {
  std::string text;
  try {
    text = ExportAsCSVText(Options);
  } catch (const std::bad_alloc&) {
    return ComponentMessage(this, "not enough memory on heap");
  }
  return detail::WriteTextFile(this, FileName, text);
}

}  // namespace nuv
