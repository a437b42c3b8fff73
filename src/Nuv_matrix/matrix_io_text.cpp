// Delimited numeric text files (docs/formats.md): StoreOnFile writes them,
// LoadFromFile and LoadFromText read them. Reading parses the text in place,
// without an allocation per line or cell: a first pass finds the delimiter,
// the header and the number of data lines, a second parses every cell
// straight into the column-major work buffer. The matrix is touched only
// after the whole text has proved sound.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Nuv_matrix/matrix_core.h"

namespace nuv {

namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

/// Walks the physical lines of a text; CRLF, LF and CR all end a line. The
/// next LF and the next CR are found with memchr and remembered, so each is
/// searched for once over the whole text, whatever the line ends.
struct TLineScan {
  const char* P;
  const char* End;
  int64_t Line = 0;
  const char* NextLF = nullptr;
  const char* NextCR = nullptr;

  static const char* Find(const char* From, const char* To, char c) {
    const void* hit = std::memchr(From, c, static_cast<size_t>(To - From));
    return hit != nullptr ? static_cast<const char*>(hit) : To;
  }

  bool Next(const char*& First, const char*& Last) {
    if (P >= End) return false;
    if (NextLF == nullptr || NextLF < P) NextLF = Find(P, End, '\n');
    if (NextCR == nullptr || NextCR < P) NextCR = Find(P, End, '\r');
    First = P;
    const char* q = NextLF < NextCR ? NextLF : NextCR;
    Last = q;
    if (q < End) q += (*q == '\r' && q + 1 < End && q[1] == '\n') ? 2 : 1;
    P = q;
    ++Line;
    return true;
  }
};

/// A line that holds cells: neither blank nor a '#' comment.
inline bool IsContent(const char* First, const char* Last) {
  while (First < Last && IsBlank(*First)) ++First;
  return First < Last && *First != '#';
}

enum TCellResult { crCell, crEnd, crBadQuote };

/// Splits one line into cells. With a delimiter of ',', ';' or '\t' every
/// delimiter separates two cells (so "1,,2" and "1,2," hold an empty cell);
/// with ' ' any run of blanks and tabs separates, and leading or trailing
/// blanks make no cell. Blanks around a cell are dropped; a cell may be
/// quoted ("..."; a doubled quote inside stands for one).
struct TCellSplit {
  const char* Q;
  const char* Last;
  char Delim;
  bool Expect = true;  // a cell must follow (start of line or after a delimiter)

  TCellSplit(const char* First, const char* L, char D) : Q(First), Last(L), Delim(D) {}

  bool Separator(char c) const { return Delim == ' ' ? IsBlank(c) : c == Delim; }
  bool Skippable(char c) const { return c == ' ' || (c == '\t' && Delim != '\t'); }

  TCellResult Next(const char*& CellFirst, const char*& CellLast, bool& Quoted) {
    if (Delim == ' ') {
      while (Q < Last && IsBlank(*Q)) ++Q;
      if (Q == Last) return crEnd;
    } else {
      if (!Expect) return crEnd;
      while (Q < Last && Skippable(*Q)) ++Q;
    }
    Quoted = Q < Last && *Q == '"';
    if (Quoted) {
      CellFirst = ++Q;
      for (;;) {
        while (Q < Last && *Q != '"') ++Q;
        if (Q == Last) return crBadQuote;
        if (Q + 1 < Last && Q[1] == '"') {
          Q += 2;
          continue;
        }
        break;
      }
      CellLast = Q++;
      if (Delim != ' ')
        while (Q < Last && Skippable(*Q)) ++Q;
      if (Q < Last && !Separator(*Q)) return crBadQuote;
    } else {
      CellFirst = Q;
      while (Q < Last && !Separator(*Q)) ++Q;
      CellLast = Q;
      while (CellLast > CellFirst && Skippable(CellLast[-1])) --CellLast;
    }
    if (Delim != ' ') {
      Expect = Q < Last;  // at a delimiter
      if (Expect) ++Q;
    }
    return crCell;
  }
};

/// The delimiter of a line: tab, then ';', then ',', else blanks; quoted text is skipped.
char DetectDelimiter(const char* First, const char* Last) {
  bool tab = false, semi = false, comma = false, inQuote = false;
  for (const char* p = First; p < Last; ++p) {
    if (*p == '"') inQuote = !inQuote;
    if (inQuote) continue;
    tab |= *p == '\t';
    semi |= *p == ';';
    comma |= *p == ',';
  }
  return tab ? '\t' : (semi ? ';' : (comma ? ',' : ' '));
}

std::string Unquote(const char* First, const char* Last) {
  std::string s;
  for (const char* p = First; p < Last; ++p) {
    s += *p;
    if (*p == '"' && p + 1 < Last && p[1] == '"') ++p;
  }
  return s;
}

/// Cell text for a message, cut to a readable length.
std::string Shown(const char* First, const char* Last) {
  constexpr std::ptrdiff_t kMax = 40;
  if (Last - First <= kMax) return std::string(First, Last);
  return std::string(First, First + kMax) + "...";
}

struct TParsed {
  int32_t NCols = 0;
  int32_t NRows = 0;
  std::vector<double> Data;  ///< column-major, NRows per column
};

class TTextParser {
 public:
  TTextParser(const char* Text, size_t Size, TMatrixTextInfo& Info)
      : FBegin(Text), FEnd(Text + Size), FInfo(Info) {
    // A UTF-8 byte order mark is not part of the first cell.
    if (Size >= 3 && std::memcmp(Text, "\xEF\xBB\xBF", 3) == 0) FBegin += 3;
  }

  bool Run(TParsed& Out);

 private:
  bool Fail(int64_t Line, int64_t Column, std::string Text) {
    FInfo.ErrorLine = static_cast<int32_t>(std::min<int64_t>(Line, INT32_MAX));
    FInfo.ErrorColumn = static_cast<int32_t>(std::min<int64_t>(Column, INT32_MAX));
    FInfo.ErrorText = std::move(Text);
    return false;
  }
  /// Parses the data lines from Scan onwards; writes into Out (column-major
  /// with NRows per column) unless Out is null, when it only checks them.
  bool ParseData(TLineScan Scan, int64_t NCols, int64_t NRows, double* Out);
  /// The common line of plain numbers, parsed without splitting it first: true
  /// when it holds exactly NCols such cells. Anything else (quotes, a '+',
  /// an error) is left to the general splitter, which gives the same values
  /// and finds the error.
  bool FastLine(const char* Q, const char* Last, int64_t NCols, double* Out, size_t NRows,
                int64_t Row) const {
    const char d = FInfo.Delimiter;
    const bool blanks = d == ' ';
    double v = 0.0;
    for (int64_t col = 0; col < NCols; ++col) {
      if (blanks) {
        while (Q < Last && IsBlank(*Q)) ++Q;
      } else {
        while (Q < Last && (*Q == ' ' || (*Q == '\t' && d != '\t'))) ++Q;
      }
      if (Q == Last || *Q == '+' || *Q == '"') return false;
      const auto r = std::from_chars(Q, Last, v);
      if (r.ec != std::errc()) return false;
      Q = r.ptr;
      if (blanks) {
        if (Q < Last && !IsBlank(*Q)) return false;
      } else {
        while (Q < Last && (*Q == ' ' || (*Q == '\t' && d != '\t'))) ++Q;
        if (col + 1 < NCols) {
          if (Q == Last || *Q != d) return false;
          ++Q;
        }
      }
      if (Out != nullptr) Out[static_cast<size_t>(col) * NRows + static_cast<size_t>(Row)] = v;
    }
    if (blanks)
      while (Q < Last && IsBlank(*Q)) ++Q;
    return Q == Last;
  }
  bool ParseCell(const char* First, const char* Last, int64_t Line, int64_t Col, double& v) {
    if (First == Last) return Fail(Line, Col, "empty cell");
    if (!detail::ParseDoubleToken(First, Last, v))
      return Fail(Line, Col, "not a number: \"" + Shown(First, Last) + "\"");
    return true;
  }

  const char* FBegin;
  const char* FEnd;
  TMatrixTextInfo& FInfo;
};

bool TTextParser::Run(TParsed& Out) {
  TLineScan scan{FBegin, FEnd};
  const char *first = nullptr, *last = nullptr;
  bool found = false;
  while (scan.Next(first, last))
    if (IsContent(first, last)) {
      found = true;
      break;
    }
  if (!found) return Fail(0, 0, "no data");
  const char delim = DetectDelimiter(first, last);
  FInfo.Delimiter = delim;

  // The first line is a header when one of its cells is quoted or not a number.
  const int64_t firstLine = scan.Line;
  int64_t nc = 0;
  bool header = false;
  {
    TCellSplit split(first, last, delim);
    const char *cf, *cl;
    bool quoted = false;
    TCellResult res;
    double v;
    while ((res = split.Next(cf, cl, quoted)) == crCell) {
      ++nc;
      if (quoted || (cf != cl && !detail::ParseDoubleToken(cf, cl, v))) header = true;
    }
    if (res == crBadQuote) return Fail(firstLine, nc + 1, "unbalanced quote");
  }
  if (nc > INT32_MAX) return Fail(firstLine, 0, "too many columns");
  TLineScan data = scan;
  if (header) {
    TCellSplit split(first, last, delim);
    const char *cf, *cl;
    bool quoted = false;
    FInfo.ColNames.reserve(static_cast<size_t>(nc));
    while (split.Next(cf, cl, quoted) == crCell) FInfo.ColNames.push_back(Unquote(cf, cl));
  } else {
    // The first line is data: parse from it again.
    data.P = first;
    data.Line = firstLine - 1;
  }

  int64_t nr = 0;
  int64_t dataBytes = 0;
  {
    TLineScan count = data;
    while (count.Next(first, last))
      if (IsContent(first, last)) {
        ++nr;
        dataBytes += last - first;
      }
  }
  if (nr > INT32_MAX) return Fail(0, 0, "too many lines");
  // A sound line of nc cells has at least 2 nc - 1 characters. Text too short
  // for the size it implies holds a short line: find it without allocating.
  if (nr > 0 && static_cast<uint64_t>(nr) >
                    static_cast<uint64_t>(dataBytes) / static_cast<uint64_t>(2 * nc - 1)) {
    if (!ParseData(data, nc, nr, nullptr)) return false;
    return Fail(0, 0, "inconsistent cell counts");  // not reached: some line must fail
  }
  Out.NCols = static_cast<int32_t>(nc);
  Out.NRows = static_cast<int32_t>(nr);
  const size_t cells =
      static_cast<size_t>(std::max<int64_t>(nc, 1)) * static_cast<size_t>(std::max<int64_t>(nr, 1));
  if (!TryAllocate(Out.Data, cells, 0.0)) return Fail(0, 0, "not enough memory");
  return nr == 0 || ParseData(data, nc, nr, Out.Data.data());
}

bool TTextParser::ParseData(TLineScan Scan, int64_t NCols, int64_t NRows, double* Out) {
  const char *first, *last, *cf, *cl;
  bool quoted = false;
  int64_t row = 0;
  double v = 0.0;
  while (Scan.Next(first, last)) {
    if (!IsContent(first, last)) continue;
    if (FastLine(first, last, NCols, Out, static_cast<size_t>(NRows), row)) {
      ++row;
      continue;
    }
    TCellSplit split(first, last, FInfo.Delimiter);
    int64_t col = 0;
    TCellResult res;
    while ((res = split.Next(cf, cl, quoted)) == crCell) {
      if (col == NCols) break;
      if (!ParseCell(cf, cl, Scan.Line, col + 1, v)) return false;
      if (Out != nullptr)
        Out[static_cast<size_t>(col) * static_cast<size_t>(NRows) + static_cast<size_t>(row)] = v;
      ++col;
    }
    if (res == crBadQuote) return Fail(Scan.Line, col + 1, "unbalanced quote");
    if (res == crCell) {
      int64_t n = col + 1;
      while ((res = split.Next(cf, cl, quoted)) == crCell) ++n;
      return Fail(Scan.Line, NCols + 1,
                  std::to_string(n) + " cells where " + std::to_string(NCols) + " are expected");
    }
    if (col < NCols)
      return Fail(Scan.Line, col + 1,
                  std::to_string(col) + (col == 1 ? " cell" : " cells") + " where " +
                      std::to_string(NCols) + " are expected");
    ++row;
  }
  return true;
}

/// The whole of a file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& FileName, std::string& Text, TMatrixTextInfo& Info) {
  std::FILE* f = std::fopen(FileName.c_str(), "rb");
  if (f == nullptr) {
    Info.ErrorText = "cannot open the file";
    return false;
  }
  bool ok = true;
  try {
    // Read straight into the text when the size is known; a pipe or a file
    // that grows meanwhile is read on in doubling steps.
    size_t want = 1 << 16;
    if (std::fseek(f, 0, SEEK_END) == 0) {
      const long size = std::ftell(f);
      if (size > 0) want = static_cast<size_t>(size) + 1;
      std::rewind(f);
    }
    size_t have = 0;
    for (;;) {
      Text.resize(want);
      const size_t n = std::fread(&Text[have], 1, want - have, f);
      have += n;
      if (have < want) break;
      want *= 2;
    }
    Text.resize(have);
    if (std::ferror(f) != 0) {
      ok = false;
      Info.ErrorText = "cannot read the file";
    }
  } catch (const std::exception&) {
    ok = false;
    Info.ErrorText = "not enough memory";
  }
  std::fclose(f);
  return ok;
}

}  // namespace

bool TMatrix::StoreOnFile(const std::string& FileName, char Delimiter,
                          const std::vector<std::string>& ColNames) const {
  if (Delimiter != ',' && Delimiter != ';' && Delimiter != '\t' && Delimiter != ' ')
    Delimiter = ',';
  try {
    TTextWriter w(FileName);
    std::string line;
    if (!ColNames.empty() && FNCol > 0) {
      for (int32_t c = 0; c < FNCol; ++c) {
        if (c > 0) line += Delimiter;
        line += '"';
        if (static_cast<size_t>(c) < ColNames.size())
          for (char ch : ColNames[static_cast<size_t>(c)]) {
            // Line ends cannot live in a cell; a quote is doubled.
            if (ch == '\r' || ch == '\n') ch = ' ';
            line += ch;
            if (ch == '"') line += '"';
          }
        line += '"';
      }
      w.WriteLine(line);
    }
    if (FNCol > 0) {
      char buf[400];
      const size_t stride = static_cast<size_t>(FRowsAlloc);
      for (int32_t r = 0; r < FNRow; ++r) {
        line.clear();
        const double* p = FMat.data() + r;
        for (int32_t c = 0; c < FNCol; ++c) {
          if (c > 0) line += Delimiter;
          char* e = FormatDoubleText(buf, buf + sizeof(buf), p[static_cast<size_t>(c) * stride],
                                 FPrecis[0], FPrecis[1]);
          line.append(buf, e);
        }
        line += "\r\n";
        w.Write(line);
      }
    }
    w.Close();
  } catch (const std::exception&) {
    // A write error or no memory: what was written stays (the path may name
    // a device or a pipe, which must not be removed).
    return false;
  }
  return true;
}

bool TMatrix::LoadFromFile(const std::string& FileName, bool AdjustSize) {
  TMatrixTextInfo info;
  return LoadFromFile(FileName, AdjustSize, info);
}

bool TMatrix::LoadText(const char* Text, size_t Size, bool AdjustSize, TMatrixTextInfo& Info) {
  TParsed p;
  const bool parsed = LoadWithoutRaising([&] { return TTextParser(Text, Size, Info).Run(p); });
  if (!parsed) {
    if (Info.ErrorText.empty()) Info.ErrorText = "not enough memory";
    return false;
  }
  if (!CommitLoaded(p.Data, p.NCols, p.NRows, AdjustSize)) {
    Info.ErrorText = "the matrix is smaller than the data (" + std::to_string(p.NCols) +
                     " columns, " + std::to_string(p.NRows) + " rows)";
    return false;
  }
  Changed();
  return true;
}

bool TMatrix::LoadFromFile(const std::string& FileName, bool AdjustSize, TMatrixTextInfo& Info) {
  Info = TMatrixTextInfo();
  std::string text;
  return ReadWholeFile(FileName, text, Info) && LoadText(text.data(), text.size(), AdjustSize, Info);
}

bool TMatrix::LoadFromText(const std::string& Text, bool AdjustSize, TMatrixTextInfo& Info) {
  Info = TMatrixTextInfo();
  return LoadText(Text.data(), Text.size(), AdjustSize, Info);
}

}  // namespace nuv
