#include "output.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <system_error>

#include "errors.h"

namespace nuvstat {

namespace {

std::string NonFiniteText(double v) {
  if (std::isnan(v)) return "NaN";
  return v > 0 ? "Inf" : "-Inf";
}

// Negative zero reads as a sign without meaning in a table of results.
double NoNegativeZero(double v) { return v == 0.0 ? 0.0 : v; }

std::string CellText(const Cell& c, bool Short) {
  switch (c.What) {
    case Cell::kNumber: return Short ? ShortText(c.Value) : RoundTripText(c.Value);
    case Cell::kText: return c.Text;
    case Cell::kMissing: break;
  }
  return {};
}

// ---- aligned text ---------------------------------------------------------

// Position of the decimal point, or where it would stand, so that the numbers
// of a column line up on it.
size_t PointPos(const std::string& s) {
  const size_t p = s.find_first_of(".eE");
  return p == std::string::npos ? s.size() : p;
}

struct ColumnLayout {
  size_t Left = 0;   // widest part before the point
  size_t Right = 0;  // widest part from the point on
  size_t Width = 0;
};

void WriteText(const Report& R, std::string& out) {
  for (const auto& [key, value] : R.Info) out += key + ": " + CellText(value, false) + "\n";
  for (const Table& t : R.Tables) {
    out += "\n" + t.Title + "\n";
    const size_t nc = t.Columns.size();
    std::vector<std::vector<std::string>> text(t.Rows.size());
    std::vector<ColumnLayout> layout(nc);
    size_t labelWidth = t.KeyHeader.size();
    // Rounding noise (2e-16 beside values near 1) reads as 0 in the table where the
    // table asks for it; CSV and JSON keep every digit.
    std::vector<double> columnMax(nc, 0.0);
    for (const auto& row : t.Rows)
      for (size_t c = 0; c < nc && c < row.size(); ++c)
        if (row[c].What == Cell::kNumber && std::isfinite(row[c].Value))
          columnMax[c] = std::max(columnMax[c], std::fabs(row[c].Value));
    for (size_t r = 0; r < t.Rows.size(); ++r) {
      labelWidth = std::max(labelWidth, t.RowLabels[r].size());
      text[r].resize(nc);
      for (size_t c = 0; c < nc && c < t.Rows[r].size(); ++c) {
        const Cell& cell = t.Rows[r][c];
        std::string s = cell.What == Cell::kMissing ? "n/a" : CellText(cell, true);
        if (t.ZeroNoise && cell.What == Cell::kNumber &&
            std::fabs(cell.Value) < 1e-12 * columnMax[c])
          s = "0";
        if (cell.What == Cell::kNumber && std::isfinite(cell.Value)) {
          const size_t p = PointPos(s);
          layout[c].Left = std::max(layout[c].Left, p);
          layout[c].Right = std::max(layout[c].Right, s.size() - p);
        }
        text[r][c] = std::move(s);
      }
    }
    for (size_t c = 0; c < nc; ++c) {
      size_t w = std::max(t.Columns[c].size(), layout[c].Left + layout[c].Right);
      for (size_t r = 0; r < t.Rows.size(); ++r) w = std::max(w, text[r][c].size());
      layout[c].Width = w;
    }
    auto pad = [](std::string& line, size_t n) { line.append(n, ' '); };
    std::string line = t.KeyHeader;
    pad(line, labelWidth - t.KeyHeader.size());
    for (size_t c = 0; c < nc; ++c) {
      line += "  ";
      pad(line, layout[c].Width - t.Columns[c].size());
      line += t.Columns[c];
    }
    out += line + "\n";
    for (size_t r = 0; r < t.Rows.size(); ++r) {
      line = t.RowLabels[r];
      pad(line, labelWidth - line.size());
      for (size_t c = 0; c < nc; ++c) {
        line += "  ";
        const std::string& s = text[r][c];
        const Cell* cell = c < t.Rows[r].size() ? &t.Rows[r][c] : nullptr;
        if (cell != nullptr && cell->What == Cell::kNumber && std::isfinite(cell->Value)) {
          // Point-aligned inside a right-aligned block of Left + Right characters.
          const size_t p = PointPos(s);
          const size_t block = layout[c].Left + layout[c].Right;
          pad(line, layout[c].Width - block + layout[c].Left - p);
          line += s;
          pad(line, layout[c].Right - (s.size() - p));
        } else {
          pad(line, layout[c].Width - s.size());
          line += s;
        }
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
  }
}

// ---- CSV --------------------------------------------------------------------

std::string CsvField(const std::string& s) {
  const bool quote = s.find_first_of(",\"\r\n") != std::string::npos ||
                     (!s.empty() && (s.front() == ' ' || s.back() == ' '));
  if (!quote) return s;
  std::string q = "\"";
  for (char ch : s) {
    if (ch == '"') q += '"';
    q += ch;
  }
  return q + "\"";
}

void WriteCsv(const Report& R, std::string& out) {
  bool first = true;
  for (const Table& t : R.Tables) {
    if (!first) out += "\n";
    first = false;
    // A table's first header cell names the table, so that the blocks of a
    // report stay apart: "loadings:variable,PC1,PC2".
    std::string line = CsvField(R.Tables.size() > 1 ? t.Name + ":" + t.KeyHeader : t.KeyHeader);
    for (const std::string& h : t.Columns) line += "," + CsvField(h);
    out += line + "\n";
    for (size_t r = 0; r < t.Rows.size(); ++r) {
      line = CsvField(t.RowLabels[r]);
      for (const Cell& c : t.Rows[r]) line += "," + CsvField(CellText(c, false));
      out += line + "\n";
    }
  }
}

// ---- JSON -------------------------------------------------------------------

std::string JsonString(const std::string& s) {
  std::string q = "\"";
  for (unsigned char ch : s) {
    switch (ch) {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      default:
        if (ch < 0x20) {
          static const char hex[] = "0123456789abcdef";
          q += "\\u00";
          q += hex[ch >> 4];
          q += hex[ch & 15];
        } else {
          q += static_cast<char>(ch);
        }
    }
  }
  return q + "\"";
}

// JSON has no NaN or infinity: those, like figures not computed, are null.
std::string JsonValue(const Cell& c) {
  if (c.What == Cell::kText) return JsonString(c.Text);
  if (c.What == Cell::kNumber && std::isfinite(c.Value)) return RoundTripText(c.Value);
  return "null";
}

void WriteJson(const Report& R, std::string& out) {
  out += "{\n  \"command\": " + JsonString(R.Command);
  for (const auto& [key, value] : R.Info)
    out += ",\n  " + JsonString(key) + ": " + JsonValue(value);
  for (const Table& t : R.Tables) {
    out += ",\n  " + JsonString(t.Name) + ": [";
    for (size_t r = 0; r < t.Rows.size(); ++r) {
      out += r == 0 ? "\n    {" : ",\n    {";
      out += JsonString(t.KeyHeader) + ": " + JsonString(t.RowLabels[r]);
      for (size_t c = 0; c < t.Columns.size(); ++c) {
        const Cell cell = c < t.Rows[r].size() ? t.Rows[r][c] : Cell::Missing();
        out += ", " + JsonString(t.Columns[c]) + ": " + JsonValue(cell);
      }
      out += "}";
    }
    out += t.Rows.empty() ? "]" : "\n  ]";
  }
  out += "\n}\n";
}

}  // namespace

std::string RoundTripText(double v) {
  if (!std::isfinite(v)) return NonFiniteText(v);
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, NoNegativeZero(v));
  return std::string(buf, res.ptr);
}

std::string ShortText(double v) {
  if (!std::isfinite(v)) return NonFiniteText(v);
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, NoNegativeZero(v),
                                 std::chars_format::general, 6);
  return std::string(buf, res.ptr);
}

void WriteReport(const Report& R, Format F, std::FILE* Out) {
  std::string out;
  switch (F) {
    case Format::Table: WriteText(R, out); break;
    case Format::Csv: WriteCsv(R, out); break;
    case Format::Json: WriteJson(R, out); break;
  }
  if (std::fwrite(out.data(), 1, out.size(), Out) != out.size() || std::fflush(Out) != 0)
    throw ToolError("cannot write the results: " +
                    std::generic_category().message(errno));
}

}  // namespace nuvstat
