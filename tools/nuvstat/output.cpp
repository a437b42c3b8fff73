#include "output.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "errors.h"

namespace nuvstat {

namespace {

// Negative zero reads as a sign without meaning in a table of results.
double NoNegativeZero(double v) { return v == 0.0 ? 0.0 : v; }

const char* NonFiniteText(double v) {
  if (std::isnan(v)) return "NaN";
  return v > 0 ? "Inf" : "-Inf";
}

// Number text into a caller's buffer of at least 32 bytes; returns the length.
size_t FormatNumber(double v, bool Short, char* Buf) {
  if (!std::isfinite(v)) {
    const char* t = NonFiniteText(v);
    std::memcpy(Buf, t, std::strlen(t));
    return std::strlen(t);
  }
  // Counts and other whole numbers read best in full, in every form.
  if (std::fabs(v) < 1e15 && v == std::floor(v)) {
    const auto res = std::to_chars(Buf, Buf + 32, static_cast<long long>(v));
    return static_cast<size_t>(res.ptr - Buf);
  }
  const auto res = Short ? std::to_chars(Buf, Buf + 32, NoNegativeZero(v),
                                         std::chars_format::general, 6)
                         : std::to_chars(Buf, Buf + 32, NoNegativeZero(v));
  return static_cast<size_t>(res.ptr - Buf);
}

/// Collects output and hands it to the stream in large blocks.
class Sink {
 public:
  explicit Sink(std::FILE* Out) : FOut(Out) { FBuf.reserve(kBlock + 4096); }
  void Put(const char* s, size_t n) {
    FBuf.append(s, n);
    if (FBuf.size() >= kBlock) Flush();
  }
  void Put(const std::string& s) { Put(s.data(), s.size()); }
  void Put(const char* s) { Put(s, std::strlen(s)); }
  void Pad(size_t n) { FBuf.append(n, ' '); }
  void Flush() {
    if (!FBuf.empty() && std::fwrite(FBuf.data(), 1, FBuf.size(), FOut) != FBuf.size())
      Fail();
    FBuf.clear();
  }
  void Finish() {
    Flush();
    if (std::fflush(FOut) != 0) Fail();
  }

 private:
  [[noreturn]] static void Fail() {
    throw ToolError("cannot write the results: " + std::generic_category().message(errno));
  }
  static constexpr size_t kBlock = 1 << 20;
  std::FILE* FOut;
  std::string FBuf;
};

std::string FactText(const Fact& f) { return f.IsText ? f.Text : RoundTripText(f.Value); }

// ---- aligned text ---------------------------------------------------------

// Position of the decimal point, or where it would stand, so that the numbers
// of a column line up on it.
size_t PointPos(const char* s, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (s[i] == '.' || s[i] == 'e') return i;
  return n;
}

struct ColumnLayout {
  size_t Left = 0;   // widest part before the point
  size_t Right = 0;  // widest part from the point on
  size_t Other = 0;  // widest text that is not a finite number (n/a, NaN)
  size_t Width = 0;
};

class TextTable {
 public:
  explicit TextTable(const Table& T) : FT(T), FLayout(T.Columns.size()), FMax(T.Columns.size()) {}

  void Write(Sink& Out) {
    Measure();
    const size_t nc = FT.Columns.size();
    if (!FT.GroupHeader.empty()) {
      Out.Put(FT.GroupHeader);
      Out.Pad(FGroupWidth - FT.GroupHeader.size() + 2);
    }
    Out.Put(FT.KeyHeader);
    Out.Pad(FLabelWidth - FT.KeyHeader.size());
    for (size_t c = 0; c < nc; ++c) {
      Out.Pad(2 + FLayout[c].Width - FT.Columns[c].size());
      Out.Put(FT.Columns[c]);
    }
    if (!FT.TextHeader.empty()) Out.Put("  " + FT.TextHeader);
    Out.Put("\n");
    std::string line;
    char buf[32];
    for (size_t r = 0; r < FT.Rows.size(); ++r) {
      line.clear();
      if (!FT.GroupHeader.empty()) {
        line = FT.Groups[r];
        line.append(FGroupWidth - line.size() + 2, ' ');
      }
      line += FT.RowLabels[r];
      line.append(FLabelWidth - FT.RowLabels[r].size(), ' ');
      for (size_t c = 0; c < nc; ++c) {
        line += "  ";
        size_t n = 0;
        bool aligned = false;
        Text(r, c, buf, n, aligned);
        const ColumnLayout& l = FLayout[c];
        if (aligned) {
          // Point-aligned inside a right-aligned block of Left + Right characters.
          const size_t p = PointPos(buf, n);
          line.append(l.Width - l.Left - l.Right + l.Left - p, ' ');
          line.append(buf, n);
          line.append(l.Right - (n - p), ' ');
        } else {
          line.append(l.Width - n, ' ');
          line.append(buf, n);
        }
      }
      if (!FT.TextHeader.empty()) line += "  " + FT.Texts[r];
      while (!line.empty() && line.back() == ' ') line.pop_back();
      line += '\n';
      Out.Put(line);
    }
  }

 private:
  // The text of one cell; Aligned when it is a number to line up on its point.
  void Text(size_t r, size_t c, char* Buf, size_t& N, bool& Aligned) const {
    const Cell cell = c < FT.Rows[r].size() ? FT.Rows[r][c] : Cell::Missing();
    Aligned = false;
    if (cell.What == Cell::kMissing) {
      std::memcpy(Buf, "n/a", 3);
      N = 3;
      return;
    }
    // Rounding noise (2e-16 beside values near 1) reads as 0 where the table asks
    // for it; CSV and JSON keep every digit.
    if (IsP(r, c) && cell.Value < kSmallestP) {
      // Below the smallest p a double can hold well; CSV and JSON keep the value.
      std::memcpy(Buf, "< 1e-300", 8);
      N = 8;
      return;
    }
    if (FT.ZeroNoise && std::fabs(cell.Value) < 1e-12 * FMax[c]) {
      Buf[0] = '0';
      N = 1;
    } else {
      N = FormatNumber(cell.Value, true, Buf);
    }
    Aligned = std::isfinite(cell.Value);
  }

  bool IsP(size_t r, size_t c) const {
    return std::find(FT.PColumns.begin(), FT.PColumns.end(), c) != FT.PColumns.end() ||
           std::find(FT.PRows.begin(), FT.PRows.end(), r) != FT.PRows.end();
  }

  static constexpr double kSmallestP = 1e-300;

  void Measure() {
    const size_t nc = FT.Columns.size();
    FLabelWidth = FT.KeyHeader.size();
    FGroupWidth = FT.GroupHeader.size();
    for (const std::string& g : FT.Groups) FGroupWidth = std::max(FGroupWidth, g.size());
    for (size_t r = 0; r < FT.Rows.size(); ++r) {
      FLabelWidth = std::max(FLabelWidth, FT.RowLabels[r].size());
      for (size_t c = 0; c < nc && c < FT.Rows[r].size(); ++c)
        if (FT.Rows[r][c].What == Cell::kNumber && std::isfinite(FT.Rows[r][c].Value))
          FMax[c] = std::max(FMax[c], std::fabs(FT.Rows[r][c].Value));
    }
    char buf[32];
    for (size_t r = 0; r < FT.Rows.size(); ++r)
      for (size_t c = 0; c < nc; ++c) {
        size_t n = 0;
        bool aligned = false;
        Text(r, c, buf, n, aligned);
        ColumnLayout& l = FLayout[c];
        if (aligned) {
          const size_t p = PointPos(buf, n);
          l.Left = std::max(l.Left, p);
          l.Right = std::max(l.Right, n - p);
        } else {
          l.Other = std::max(l.Other, n);
        }
      }
    for (size_t c = 0; c < nc; ++c) {
      ColumnLayout& l = FLayout[c];
      l.Width = std::max({FT.Columns[c].size(), l.Left + l.Right, l.Other});
    }
  }

  const Table& FT;
  std::vector<ColumnLayout> FLayout;
  std::vector<double> FMax;
  size_t FLabelWidth = 0;
  size_t FGroupWidth = 0;
};

void WriteText(const Report& R, Sink& Out) {
  for (const auto& [key, value] : R.Info) Out.Put(key + ": " + FactText(value) + "\n");
  for (const Table& t : R.Tables) {
    if (t.Hidden) continue;
    Out.Put("\n" + t.Title + "\n");
    TextTable(t).Write(Out);
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

void WriteCsv(const Table& t, Sink& Out) {
  std::string line;
  char buf[32];
  const bool grouped = !t.GroupHeader.empty();
  line = grouped ? CsvField(t.GroupHeader) + "," : std::string();
  line += CsvField(t.KeyHeader);
  for (const std::string& h : t.Columns) line += "," + CsvField(h);
  if (!t.TextHeader.empty()) line += "," + CsvField(t.TextHeader);
  Out.Put(line + "\n");
  for (size_t r = 0; r < t.Rows.size(); ++r) {
    line = grouped ? CsvField(t.Groups[r]) + "," : std::string();
    line += CsvField(t.RowLabels[r]);
    for (const Cell& c : t.Rows[r]) {
      line += ',';
      if (c.What == Cell::kNumber) line.append(buf, FormatNumber(c.Value, false, buf));
    }
    if (!t.TextHeader.empty()) line += "," + CsvField(t.Texts[r]);
    line += '\n';
    Out.Put(line);
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
void AppendJsonNumber(std::string& Line, const Cell& c) {
  if (c.What == Cell::kNumber && std::isfinite(c.Value)) {
    char buf[32];
    Line.append(buf, FormatNumber(c.Value, false, buf));
  } else {
    Line += "null";
  }
}

void WriteJson(const Report& R, Sink& Out) {
  Out.Put("{\n  \"command\": " + JsonString(R.Command));
  for (const auto& [key, value] : R.Info) {
    std::string line = ",\n  " + JsonString(key) + ": ";
    if (value.IsText)
      line += JsonString(value.Text);
    else
      AppendJsonNumber(line, Cell::Number(value.Value));
    Out.Put(line);
  }
  std::string line;
  for (const Table& t : R.Tables) {
    if (t.Hidden) continue;
    Out.Put(",\n  " + JsonString(t.Name) + ": [");
    // The keys are the same in every row: quote them once.
    const std::string key = JsonString(t.KeyHeader) + ": ";
    std::vector<std::string> keys;
    for (const std::string& h : t.Columns) keys.push_back(", " + JsonString(h) + ": ");
    for (size_t r = 0; r < t.Rows.size(); ++r) {
      line = r == 0 ? "\n    {" : ",\n    {";
      if (!t.GroupHeader.empty())
        line += JsonString(t.GroupHeader) + ": " + JsonString(t.Groups[r]) + ", ";
      line += key + JsonString(t.RowLabels[r]);
      for (size_t c = 0; c < keys.size(); ++c) {
        line += keys[c];
        AppendJsonNumber(line, c < t.Rows[r].size() ? t.Rows[r][c] : Cell::Missing());
      }
      if (!t.TextHeader.empty())
        line += ", " + JsonString(t.TextHeader) + ": " + JsonString(t.Texts[r]);
      line += '}';
      Out.Put(line);
    }
    Out.Put(t.Rows.empty() ? "]" : "\n  ]");
  }
  Out.Put("\n}\n");
}

}  // namespace

std::string RoundTripText(double v) {
  char buf[32];
  return std::string(buf, FormatNumber(v, false, buf));
}

std::string ShortText(double v) {
  char buf[32];
  return std::string(buf, FormatNumber(v, true, buf));
}

void WriteReport(const Report& R, Format F, const std::string& CsvTable, std::FILE* Out) {
  Sink sink(Out);
  switch (F) {
    case Format::Table: WriteText(R, sink); break;
    case Format::Csv: {
      const Table* chosen = nullptr;
      for (const Table& t : R.Tables)
        if (chosen == nullptr && (t.Name == CsvTable || CsvTable.empty())) chosen = &t;
      if (chosen == nullptr)
        throw ToolError("this " + R.Command + " report has no table \"" + CsvTable + "\"");
      WriteCsv(*chosen, sink);
      break;
    }
    case Format::Json: WriteJson(R, sink); break;
  }
  sink.Finish();
}

}  // namespace nuvstat
