// The ASC text layout of a data table (docs/formats.md): the four header
// lines that ReadHeaderOfASC reads, the column names and attributes, one line
// per row with its attribute, name and values, and sections after the data
// with the scale types, the labels and the cell states. Files of the curve
// fitter (two columns, unquoted names, no sections) read as well.
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {

constexpr int32_t kASCBadAttribute = -5;
constexpr int32_t kASCBadValue = -6;
constexpr int32_t kASCBadText = -7;
constexpr int32_t kASCNoMemory = -8;

void AppendQuoted(std::string& Out, std::string_view t) {
  Out += '"';
  for (char c : t) {
    Out += c;
    if (c == '"') Out += '"';
  }
  Out += '"';
}

void AppendValue(std::string& Out, double v, int32_t Precision) {
  char buf[400];
  char* e = Precision >= 0 && std::isfinite(v) && std::fabs(v) < 1e300
                ? FormatDoubleText(buf, buf + sizeof buf, v, 0, std::min(Precision, 60))
                : FormatDoubleText(buf, buf + sizeof buf, v, 0, -1);
  Out.append(buf, e);
}

/// Reads the text item by item with line and item numbers for messages.
struct TASCCursor {
  const char* P;
  const char* End;
  int64_t Line = 1;
  int64_t Item = 0;

  /// Skips blanks and line ends; false at the end.
  bool Skip() {
    while (P < End) {
      const char c = *P;
      if (c == '\n' || c == '\r') {
        if (c == '\r' && P + 1 < End && P[1] == '\n') ++P;
        ++P;
        ++Line;
        Item = 0;
      } else if (c == ' ' || c == '\t') {
        ++P;
      } else {
        return true;
      }
    }
    return false;
  }
  /// The next blank-delimited word.
  bool Word(std::string_view& W) {
    if (!Skip()) return false;
    const char* b = P;
    while (P < End && *P != ' ' && *P != '\t' && *P != '\n' && *P != '\r') ++P;
    W = std::string_view(b, static_cast<size_t>(P - b));
    ++Item;
    return true;
  }
  /// A name, quoted ("..." with "" for a quote) or a plain word.
  bool Name(std::string& N) {
    if (!Skip()) return false;
    ++Item;
    N.clear();
    if (*P != '"') {
      const char* b = P;
      while (P < End && *P != ' ' && *P != '\t' && *P != '\n' && *P != '\r') ++P;
      N.assign(b, P);
      return true;
    }
    ++P;
    for (;;) {
      if (P >= End || *P == '\n' || *P == '\r') return false;
      if (*P == '"') {
        if (P + 1 < End && P[1] == '"') {
          N += '"';
          P += 2;
          continue;
        }
        ++P;
        return P >= End || *P == ' ' || *P == '\t' || *P == '\n' || *P == '\r';
      }
      N += *P++;
    }
  }
  /// The rest of the current line (P then at its line end).
  std::string_view RestOfLine() {
    const char* b = P;
    while (P < End && *P != '\n' && *P != '\r') ++P;
    return std::string_view(b, static_cast<size_t>(P - b));
  }
};

struct TASCReader {
  TASCCursor Cur;
  TASCImportInfo& Info;

  int32_t Fail(int32_t Code, std::string Text) {
    if (Cur.P >= Cur.End && Code != kASCNoMemory) Text = "the file ends early: " + Text;
    Info.ErrorLine = static_cast<int32_t>(std::min<int64_t>(Cur.Line, INT32_MAX));
    Info.ErrorColumn = static_cast<int32_t>(std::min<int64_t>(Cur.Item, INT32_MAX));
    Info.ErrorText = std::move(Text);
    return Code;
  }

  bool Int(int32_t& V) {
    std::string_view w;
    return Cur.Word(w) && TextToInt32(w, V);
  }
  bool Value(double& V) {
    std::string_view w;
    return Cur.Word(w) && detail::ParseDoubleToken(w.data(), w.data() + w.size(), V);
  }

  int32_t Run(detail::TTableContent& Out, size_t& Consumed);
  int32_t Sections(detail::TTableContent& Out);
};

int32_t TASCReader::Run(detail::TTableContent& Out, size_t& Consumed) {
  const char* begin = Cur.P;
  std::string lines[4];
  int32_t n = 0;
  while (n < 4 && Cur.P < Cur.End) {
    lines[n++] = std::string(Cur.RestOfLine());
    if (Cur.P < Cur.End) {
      if (*Cur.P == '\r' && Cur.P + 1 < Cur.End && Cur.P[1] == '\n') ++Cur.P;
      ++Cur.P;
      ++Cur.Line;
    }
  }
  int32_t nc = 0, nr = 0;
  bool rowAtt = false, colNames = false, rowNames = false, colAtt = false;
  const int32_t code =
      ParseHeaderOfASC(lines, n, Out.Comment, nc, nr, rowAtt, colNames, rowNames, colAtt);
  if (code != ascOK) {
    Cur.Line = n + (n < 4 ? 1 : 0);
    Cur.Item = 0;
    static const char* const kWhat[] = {"", "", "the number of columns is missing or invalid",
                                        "the number of rows is missing or invalid",
                                        "the line of flags is missing or invalid"};
    return Fail(code, kWhat[-code]);
  }
  // Every value takes at least two bytes (a digit and a separator): a header
  // that claims more than the rest of the text can hold is refused before
  // anything is allocated.
  const auto rest = static_cast<uint64_t>(Cur.End - Cur.P);
  if (static_cast<uint64_t>(nc) * static_cast<uint64_t>(nr) > rest / 2 + 1)
    return Fail(kASCBadValue, "the file is too short for " + std::to_string(nc) + " columns and " +
                                  std::to_string(nr) + " rows");
  // The table keeps one row at least: a file of no rows gives one empty row.
  const int32_t rows = nr < 1 ? 1 : nr;
  const auto c = static_cast<size_t>(nc), r = static_cast<size_t>(rows);
  try {
    Out.Cols = nc;
    Out.Rows = rows;
    Out.Data.assign(c * r, 0.0);
    Out.States.assign(c * r, 0);
    Out.ColAtt.assign(c, 0);
    Out.RowAtt.assign(r, 0);
    Out.VType.assign(c, TVTypeSpec());
    Out.ColNames.resize(c);
    Out.RowNames.resize(r);
  } catch (const std::exception&) {
    return Fail(kASCNoMemory, "not enough memory");
  }
  std::string name;
  for (size_t j = 0; j < c; ++j) {
    if (colNames) {
      if (!Cur.Name(name)) return Fail(kASCBadText, "a column name is missing or malformed");
      Out.ColNames[j] = detail::CutName(name);
    } else {
      Out.ColNames[j] = detail::DefaultName('C', static_cast<int64_t>(j) + 1);
    }
  }
  if (colAtt)
    for (size_t j = 0; j < c; ++j)
      if (!Int(Out.ColAtt[j]))
        return Fail(kASCBadAttribute, "a column attribute is missing or not an integer");
  for (size_t i = 0; i < static_cast<size_t>(nr); ++i) {
    if (rowAtt && !Int(Out.RowAtt[i]))
      return Fail(kASCBadAttribute, "a row attribute is missing or not an integer");
    if (rowNames) {
      if (!Cur.Name(name)) return Fail(kASCBadText, "a row name is missing or malformed");
      Out.RowNames[i] = detail::CutName(name);
    } else {
      Out.RowNames[i] = detail::DefaultName('R', static_cast<int64_t>(i) + 1);
    }
    for (size_t j = 0; j < c; ++j)
      if (!Value(Out.Data[j * r + i]))
        return Fail(kASCBadValue, "a value is missing or not a number");
  }
  if (nr < 1) Out.RowNames[0] = detail::DefaultName('R', 1);
  const int32_t sec = Sections(Out);
  Consumed = static_cast<size_t>(Cur.P - begin);
  return sec;
}

// The sections after the data: ";scales", ";labels <column>", ";states" and ";end".
int32_t TASCReader::Sections(detail::TTableContent& Out) {
  const auto nc = static_cast<size_t>(Out.Cols);
  const auto nr = static_cast<size_t>(Out.Rows);
  std::string_view w;
  while (Cur.Skip()) {
    if (!Cur.Word(w)) break;
    if (w == ";end") {
      Cur.RestOfLine();
      if (Cur.P < Cur.End) {
        if (*Cur.P == '\r' && Cur.P + 1 < Cur.End && Cur.P[1] == '\n') ++Cur.P;
        ++Cur.P;
      }
      return ascOK;
    }
    if (w == ";scales") {
      for (size_t j = 0; j < nc; ++j) {
        if (!Cur.Word(w)) return Fail(kASCBadText, "a scale type is missing");
        int k = 0;
        while (k < 5 && w != MScaleTypeNames[k]) ++k;
        if (k == 5) return Fail(kASCBadText, "unknown scale type \"" + std::string(w) + "\"");
        Out.VType[j].MScaleType = static_cast<TMScaleType>(k);
      }
    } else if (w == ";labels") {
      int32_t col = 0, count = 0;
      if (!Int(col) || col < 1 || static_cast<size_t>(col) > nc || !Int(count) || count < 0 ||
          count > MaxNominalIDs)
        return Fail(kASCBadText, "a labels line needs a column number and a count up to 150");
      std::string label;
      for (int32_t k = 1; k <= count; ++k) {
        if (!Cur.Name(label)) return Fail(kASCBadText, "a label is missing or malformed");
        Out.VType[static_cast<size_t>(col - 1)].SetID(k, detail::CutLabel(label));
      }
    } else if (w == ";states") {
      int32_t count = 0;
      if (!Int(count) || count < 0)
        return Fail(kASCBadText, "a states line needs the number of states that follow");
      for (int32_t k = 0; k < count; ++k) {
        int32_t col = 0, row = 0, st = 0;
        if (!Int(col) || !Int(row) || !Int(st) || col < 1 || static_cast<size_t>(col) > nc ||
            row < 1 || static_cast<size_t>(row) > nr || st < 0 || st > 255)
          return Fail(kASCBadText, "a cell state needs a column, a row and a byte");
        Out.States[static_cast<size_t>(col - 1) * nr + static_cast<size_t>(row - 1)] =
            static_cast<uint8_t>(st);
      }
    } else {
      return Fail(kASCBadText,
                  "unexpected text after the data: \"" + std::string(w.substr(0, 40)) + "\"");
    }
  }
  return ascOK;
}

}  // namespace

std::string TDataTable::ExportAsASC(const std::string& FileName, int32_t Precision) const {
  std::string out;
  try {
    std::string comment = ReplaceCharInString(FComment, '\n', ' ');
    comment = ReplaceCharInString(comment, '\r', ' ');
    if (comment.empty()) comment = "Exported by NUV TDataTable component: " + FileName;
    out += comment + "\r\n";
    out += std::to_string(FNrOfCols) + "\t;nr. of columns\r\n";
    out += std::to_string(FNrOfRows) + "\t;nr. of rows\r\n";
    out += "TRUE TRUE TRUE TRUE\t;row attributes, column names, row names, column attributes\r\n";
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      if (c > 1) out += '\t';
      AppendQuoted(out, FColName[static_cast<size_t>(c - 1)]);
    }
    out += "\r\n";
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      if (c > 1) out += '\t';
      out += std::to_string(FColAtt[static_cast<size_t>(c - 1)]);
    }
    out += "\r\n";
    for (int32_t r = 1; r <= FNrOfRows; ++r) {
      out += std::to_string(FRowAtt[static_cast<size_t>(r - 1)]);
      out += '\t';
      AppendQuoted(out, FRowName[static_cast<size_t>(r - 1)]);
      for (int32_t c = 1; c <= FNrOfCols; ++c) {
        out += '\t';
        AppendValue(out, NumericData->GetVal(c, r), Precision);
      }
      out += "\r\n";
    }
    out += ";scales";
    for (const TVTypeSpec& vt : FVType) {
      out += '\t';
      out += MScaleTypeNames[vt.MScaleType <= stRatio ? vt.MScaleType : stUnknown];
    }
    out += "\r\n";
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      const TVTypeSpec& vt = FVType[static_cast<size_t>(c - 1)];
      if (vt.UsedSlots() == 0) continue;
      out += ";labels\t" + std::to_string(c) + "\t" + std::to_string(vt.UsedSlots());
      for (int32_t k = 1; k <= vt.UsedSlots(); ++k) {
        out += '\t';
        AppendQuoted(out, vt.ID(k));
      }
      out += "\r\n";
    }
    const auto nonZero = static_cast<int64_t>(FCState.size()) -
                         std::count(FCState.begin(), FCState.end(), uint8_t{0});
    out += ";states\t" + std::to_string(nonZero) + "\r\n";
    for (int32_t c = 1; c <= FNrOfCols; ++c)
      for (int32_t r = 1; r <= FNrOfRows; ++r) {
        const uint8_t s = FCState[StateIx(c, r)];
        if (s != 0)
          out += std::to_string(c) + "\t" + std::to_string(r) + "\t" + std::to_string(s) + "\r\n";
      }
    out += ";end\r\n";
  } catch (const std::bad_alloc&) {
    return ComponentMessage(this, "not enough memory on heap");
  }
  return detail::WriteTextFile(this, FileName, out);
}

namespace {

int32_t ReadASCText(TDataTable& T, std::string_view Text, TASCImportInfo& Info, size_t& Consumed) {
  detail::TTableContent content;
  TASCReader reader{TASCCursor{Text.data(), Text.data() + Text.size()}, Info};
  int32_t code = ascOK;
  try {
    code = reader.Run(content, Consumed);
  } catch (const std::bad_alloc&) {
    code = reader.Fail(kASCNoMemory, "not enough memory");
  }
  if (code != ascOK) return code;
  try {
    detail::ReplaceContent(T, content);
  } catch (const ENUVDataTableError&) {
    Info.ErrorText = "not enough memory";
    return kASCNoMemory;
  }
  return ascOK;
}

}  // namespace

int32_t TDataTable::ImportASC(const std::string& FileName, TASCImportInfo& Info) {
  Info = TASCImportInfo();
  TMemoryStream text;
  if (!detail::ReadWholeFile(FileName, text, Info.ErrorText)) return ascCannotOpen;
  size_t used = 0;
  return ReadASCText(*this,
                     std::string_view(reinterpret_cast<const char*>(text.Memory()),
                                      static_cast<size_t>(text.Size())),
                     Info, used);
}

int32_t TDataTable::ImportASC(const std::string& FileName) {
  TASCImportInfo info;
  return ImportASC(FileName, info);
}

int32_t TDataTable::ReadFromASC(TStream* InStream, TASCImportInfo& Info) {
  Info = TASCImportInfo();
  if (InStream == nullptr) {
    Info.ErrorText = "no stream";
    return ascCannotOpen;
  }
  const int64_t start = InStream->Position();
  const int64_t avail = InStream->Size() - start;
  std::string text;
  try {
    text.resize(static_cast<size_t>(avail > 0 ? avail : 0));
    if (!text.empty()) InStream->ReadBuffer(&text[0], static_cast<int64_t>(text.size()));
  } catch (const std::exception&) {
    InStream->SetPosition(start);
    Info.ErrorText = "cannot read the stream";
    return ascCannotOpen;
  }
  size_t used = 0;
  const int32_t code = ReadASCText(*this, text, Info, used);
  // A refused block leaves the stream where it started; a read one right after it.
  InStream->SetPosition(code == ascOK ? start + static_cast<int64_t>(used) : start);
  return code;
}

}  // namespace nuv
