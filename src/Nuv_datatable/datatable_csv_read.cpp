// ImportFromCSV: a CSV text becomes the table. The whole text is parsed into
// work storage first (values, states, labels, names); the table changes only
// when everything has proved sound, so a failed import leaves it as it was.
//
// Columns: a column whose non-missing cells are all numbers is interval; any
// other column is nominal with its distinct texts as labels, unless it has
// more than 150 of them or two of them make the same label (cut to 10 bytes,
// compared without case, as the table looks labels up): then it is kept as a
// text column of scale stUnknown with invalid cells, and a warning says why.
#include <algorithm>
#include <cmath>
#include <exception>
#include <forward_list>
#include <limits>
#include <unordered_map>

#include "Nuv_datatable/datatable_csv_scan.h"
#include "Nuv_datatable/datatable_internal.h"
#include "foundation/memory.h"

namespace nuv {

namespace {

using detail::TCSVField;
using detail::TCSVScanner;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
/// Records after the first that decide whether it is a header.
constexpr int kHeaderSample = 200;

enum TCellKind : uint8_t { ceMissing, ceNumber, ceQuotedNumber, ceText };

/// Missing-value words of unquoted cells (an empty cell, quoted or not, is missing too).
const char* const kMissingWords[] = {"NA", "NaN", "nan", "NAN", "null", "NULL", "Null", "?"};

struct TClassifier {
  char Decimal;
  const std::vector<std::string>* Extra;

  bool IsMissingWord(std::string_view t, bool Quoted) const {
    if (t.empty()) return true;
    for (const std::string& w : *Extra)
      if (t == w) return true;
    if (Quoted) return false;
    for (const char* w : kMissingWords)
      if (t == w) return true;
    return false;
  }

  TCellKind Classify(const TCSVField& F, double& Value) const {
    if (F.IsNum) {
      Value = F.Value;
      return ceNumber;
    }
    const std::string_view t = F.Text();
    if (F.Escaped) {
      const std::string s = detail::FieldText(F);
      if (IsMissingWord(s, true)) return ceMissing;
      return detail::ParseCSVNumber(s, Decimal, Value) ? ceQuotedNumber : ceText;
    }
    if (IsMissingWord(t, F.Quoted)) return ceMissing;
    if (detail::ParseCSVNumber(t, Decimal, Value)) return F.Quoted ? ceQuotedNumber : ceNumber;
    return ceText;
  }
};

/// The distinct texts of a column in order of first appearance.
struct TTextDict {
  std::unordered_map<std::string_view, int32_t> Ids;
  std::vector<std::string_view> Texts;
  /// Unescaped texts that are not in the buffer; a list keeps them in place
  /// and, unlike a deque, allocates nothing for the many columns without any.
  std::forward_list<std::string> Owned;

  int32_t Intern(const TCSVField& F) {
    std::string_view t = F.Text();
    std::string unescaped;
    if (F.Escaped) {
      unescaped = detail::FieldText(F);
      t = unescaped;
    }
    const auto it = Ids.find(t);
    if (it != Ids.end()) return it->second;
    if (F.Escaped) {
      Owned.push_front(std::move(unescaped));
      t = Owned.front();
    }
    const auto id = static_cast<int32_t>(Texts.size());
    Ids.emplace(t, id);
    Texts.push_back(t);
    return id;
  }
  void Clear() {
    Ids.clear();
    Texts.clear();
    Owned.clear();
  }
};

/// A column while the text is read; its values and states live in the
/// import's column-major work buffers.
struct TColAcc {
  std::vector<int32_t> Ids;  ///< text id per cell (-1 none), made at the first text
  TTextDict Dict;
  int64_t NNum = 0, NQNum = 0, NText = 0, NMissing = 0;
};

struct TImport {
  const char* Begin;
  const char* End;
  const TCSVImportOptions& Opt;
  TCSVImportInfo& Info;
  char Delim = ',';
  TClassifier Cls{'.', nullptr};

  bool Fail(int64_t Line, int64_t Cell, std::string Text) {
    Info.ErrorLine = static_cast<int32_t>(std::min<int64_t>(Line, INT32_MAX));
    Info.ErrorColumn = static_cast<int32_t>(std::min<int64_t>(Cell, INT32_MAX));
    Info.ErrorText = std::move(Text);
    return false;
  }
  bool ScanFail(const TCSVScanner& s) { return Fail(s.ErrorLine, s.ErrorCell, s.ErrorText); }

  TCSVScanner Scanner() const {
    TCSVScanner s(Begin, End, Delim, Opt.CommentChar, Opt.DecimalSeparator);
    s.SkipLines(Opt.SkipLines);
    return s;
  }

  bool DecideHeader(bool& Header, bool& RowNames);
  bool Run(detail::TTableContent& Out);
};

bool TImport::DecideHeader(bool& Header, bool& RowNames) {
  Header = Opt.Header == ccYes;
  RowNames = Opt.RowNames == ccYes;
  if (Opt.Header != ccAuto && Opt.RowNames != ccAuto) return true;
  TCSVScanner s = Scanner();
  std::vector<TCSVField> first, f;
  const TCSVScanner::TResult r = s.Next(first);
  if (r == TCSVScanner::rsError) return ScanFail(s);
  if (r == TCSVScanner::rsEnd) return true;
  const size_t nc = first.size();
  std::vector<TCellKind> head(nc);
  double v = 0.0;
  for (size_t j = 0; j < nc; ++j) head[j] = Cls.Classify(first[j], v);
  // Per column of the sample: any text, any number (quoted numbers count as
  // texts when the sample also holds unquoted numbers, as in files that quote
  // their texts only).
  std::vector<uint8_t> text(nc, 0), num(nc, 0), qnum(nc, 0);
  bool unquoted = false;
  for (int k = 0; k < kHeaderSample; ++k) {
    const TCSVScanner::TResult rr = s.Next(f);
    if (rr != TCSVScanner::rsRecord) break;  // errors are reported by the full pass
    for (size_t j = 0; j < std::min(nc, f.size()); ++j) {
      const TCellKind kind = Cls.Classify(f[j], v);
      text[j] |= kind == ceText;
      num[j] |= kind == ceNumber;
      qnum[j] |= kind == ceQuotedNumber;
      unquoted = unquoted || kind == ceNumber;
    }
  }
  bool headerVote = false, dataVote = false, anyText = false;
  for (size_t j = 0; j < nc; ++j) {
    const bool headText = head[j] == ceText || (head[j] == ceQuotedNumber && unquoted);
    const bool headNum = head[j] == ceNumber || (head[j] == ceQuotedNumber && !unquoted);
    const bool colNum = !text[j] && (num[j] || (qnum[j] && !unquoted));
    anyText = anyText || headText;
    headerVote = headerVote || (headText && colNum);
    dataVote = dataVote || headNum;
  }
  if (Opt.Header == ccAuto) Header = headerVote || (!dataVote && anyText);
  if (Opt.RowNames == ccAuto) {
    // A header whose first cell is empty over named columns: the first column
    // holds row names (as R's write.csv writes them).
    bool namedOthers = false;
    for (size_t j = 1; j < nc; ++j) namedOthers = namedOthers || head[j] != ceMissing;
    RowNames = Header && nc >= 2 && first[0].First == first[0].Last && namedOthers;
  }
  return true;
}

/// A fresh work buffer of N elements. Large ones are advised for huge pages
/// before their first write: page faults, not parsing, otherwise dominate the
/// import of a large file. Throws std::bad_alloc when the memory cannot be had.
template <class T>
void SizeWorkBuffer(std::vector<T>& V, size_t N) {
  if (!detail::TryReserveLarge(V, N)) throw std::bad_alloc();
  V.resize(N);
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

bool TImport::Run(detail::TTableContent& Out) {
  if (Opt.DecimalSeparator != '.' && Opt.DecimalSeparator != ',')
    return Fail(0, 0, "the decimal separator must be '.' or ','");
  Cls = TClassifier{Opt.DecimalSeparator, &Opt.MissingWords};
  // A byte order mark is not part of the first cell.
  if (End - Begin >= 3 && std::string_view(Begin, 3) == "\xEF\xBB\xBF") Begin += 3;
  if (Opt.Delimiter == csvUnknown) {
    TCSVScanner s = Scanner();
    Delim = detail::DetectCSVDelimiter(s.Position(), End, Opt.CommentChar, Opt.DecimalSeparator);
  } else {
    Delim = CSVDelimiters[Opt.Delimiter > csvUnknown ? csvComma : Opt.Delimiter];
  }
  if (Delim == Opt.DecimalSeparator)
    return Fail(0, 0, "the decimal separator cannot be the delimiter");
  Info.Delimiter = Delim;
  bool header = false, rowNames = false;
  if (!DecideHeader(header, rowNames)) return false;
  Info.HasHeader = header;
  Info.HasRowNames = rowNames;

  TCSVScanner s = Scanner();
  std::vector<TCSVField> f;
  TCSVScanner::TResult r = s.Next(f);
  if (r == TCSVScanner::rsError) return ScanFail(s);
  if (r == TCSVScanner::rsEnd) return Fail(0, 0, "no data");
  const size_t width = f.size();
  const size_t skip = rowNames ? 1 : 0;
  if (width <= skip) return Fail(s.RecordLine(), 1, "no data columns beside the row names");
  const size_t nc = width - skip;
  if (nc > static_cast<size_t>(INT32_MAX)) return Fail(0, 0, "too many columns");
  std::vector<TDTNameStr> colNames(nc);
  std::vector<TDTNameStr> rowNameList;
  if (header) {
    for (size_t j = 0; j < nc; ++j) colNames[j] = detail::CutName(detail::FieldText(f[j + skip]));
    r = s.Next(f);
  }
  // The values and states go straight into column-major work buffers with a
  // row stride that bounds the number of records: the line ends that follow,
  // and no more rows than the bytes left can fill (a cell takes one byte at
  // least). The stride grows should a file of lone CR line ends exceed it.
  const auto restBytes = static_cast<size_t>(End - s.Position());
  size_t stride = static_cast<size_t>(std::count(s.Position(), End, '\n'));
  if (restBytes > 0 && End[-1] != '\n') ++stride;  // a last line without its end
  stride = std::max<size_t>(1, std::min(stride, restBytes / nc + 1));
  std::vector<double> vals;
  std::vector<uint8_t> sts;
  SizeWorkBuffer(vals, nc * stride);
  SizeWorkBuffer(sts, nc * stride);
  std::vector<TColAcc> cols(nc);
  size_t rows = 0;
  bool unquotedNumbers = false;
  double v = 0.0;
  for (; r == TCSVScanner::rsRecord; r = s.Next(f)) {
    if (f.size() != width) {
      const int64_t cell = static_cast<int64_t>(std::min(f.size(), width)) + 1;
      return Fail(s.RecordLine(), cell,
                  std::to_string(f.size()) + (f.size() == 1 ? " cell" : " cells") + " where " +
                      std::to_string(width) + " are expected");
    }
    if (rows == static_cast<size_t>(INT32_MAX)) return Fail(s.RecordLine(), 0, "too many rows");
    if (rows == stride) {
      const size_t wider = std::min(2 * stride, restBytes / nc + 1);
      std::vector<double> v2;
      std::vector<uint8_t> s2;
      SizeWorkBuffer(v2, nc * wider);
      SizeWorkBuffer(s2, nc * wider);
      for (size_t j = 0; j < nc; ++j) {
        std::copy_n(vals.data() + j * stride, rows, v2.data() + j * wider);
        std::copy_n(sts.data() + j * stride, rows, s2.data() + j * wider);
      }
      vals.swap(v2);
      sts.swap(s2);
      stride = wider;
    }
    if (rowNames) {
      const std::string name = detail::FieldText(f[0]);
      rowNameList.push_back(name.empty() ? detail::DefaultName('R', static_cast<int64_t>(rows) + 1)
                                         : detail::CutName(name));
    }
    double* vr = vals.data() + rows;
    uint8_t* sr = sts.data() + rows;
    const TCSVField* fr = f.data() + skip;
    for (size_t j = 0; j < nc; ++j, vr += stride, sr += stride) {
      const TCSVField& fld = fr[j];
      if (fld.IsNum) {  // the common case, without the classifier's call
        unquotedNumbers = true;
        ++cols[j].NNum;
        *vr = fld.Value;
        *sr = 0;
        continue;
      }
      TColAcc& c = cols[j];
      switch (Cls.Classify(fld, v)) {
        case ceNumber:
          unquotedNumbers = true;
          ++c.NNum;
          *vr = v;
          *sr = 0;
          break;
        case ceQuotedNumber:
          ++c.NQNum;
          *vr = v;
          *sr = 0;
          break;
        case ceMissing:
          ++c.NMissing;
          *vr = kNaN;
          *sr = 2;
          break;
        case ceText:
          ++c.NText;
          if (c.Ids.empty()) {
            detail::TryReserveLarge(c.Ids, stride);
            c.Ids.assign(stride, -1);
          }
          if (c.Ids.size() < stride) c.Ids.resize(stride, -1);
          c.Ids[rows] = c.Dict.Intern(fld);
          *vr = kNaN;
          *sr = 1;
          break;
      }
    }
    ++rows;
  }
  if (r == TCSVScanner::rsError) return ScanFail(s);
  if (rows == 0) return Fail(0, 0, "no data");

  // Columns of texts that also hold numbers take every non-missing cell as a
  // label, in order: their texts are read once more.
  std::vector<uint8_t> categorial(nc, 0), mixed(nc, 0);
  bool anyMixed = false;
  for (size_t j = 0; j < nc; ++j) {
    const TColAcc& c = cols[j];
    categorial[j] = c.NText > 0 || (c.NQNum > 0 && unquotedNumbers);
    mixed[j] = categorial[j] && c.NNum + c.NQNum > 0;
    anyMixed = anyMixed || mixed[j];
  }
  if (anyMixed) {
    TCSVScanner s2 = Scanner();
    if (header) s2.Next(f);
    for (size_t j = 0; j < nc; ++j)
      if (mixed[j]) {
        cols[j].Dict.Clear();
        cols[j].Ids.assign(rows, -1);
      }
    for (size_t row = 0; row < rows && s2.Next(f) == TCSVScanner::rsRecord; ++row)
      for (size_t j = 0; j < nc; ++j)
        if (mixed[j] && sts[j * stride + row] != 2)
          cols[j].Ids[row] = cols[j].Dict.Intern(f[j + skip]);
  }

  // Rows are packed to the final stride (nothing moves when the bound was exact).
  if (stride != rows) {
    for (size_t j = 1; j < nc; ++j) {
      std::copy_n(vals.data() + j * stride, rows, vals.data() + j * rows);
      std::copy_n(sts.data() + j * stride, rows, sts.data() + j * rows);
    }
    vals.resize(nc * rows);
    sts.resize(nc * rows);
  }
  const size_t nr = rows;
  Out.Cols = static_cast<int32_t>(nc);
  Out.Rows = static_cast<int32_t>(rows);
  Out.VType.assign(nc, TVTypeSpec());
  Out.ColAtt.assign(nc, 0);
  Out.RowAtt.assign(nr, 0);
  Out.ColNames.resize(nc);
  Info.Columns.resize(nc);
  for (size_t j = 0; j < nc; ++j) {
    TColAcc& c = cols[j];
    TCSVColumnInfo& ci = Info.Columns[j];
    const std::string name =
        colNames[j].empty() ? detail::DefaultName('C', static_cast<int64_t>(j) + 1) : colNames[j];
    Out.ColNames[j] = name;
    ci.Name = name;
    ci.EmptyCells = c.NMissing;
    if (!categorial[j]) continue;
    double* val = vals.data() + j * nr;
    uint8_t* st = sts.data() + j * nr;
    const size_t distinct = c.Dict.Texts.size();
    ci.Labels = static_cast<int64_t>(distinct);
    std::string why;
    if (distinct > static_cast<size_t>(MaxNominalIDs)) {
      why = std::to_string(distinct) + " distinct texts, more than the " +
            std::to_string(MaxNominalIDs) + " labels of a nominal column";
    } else {
      std::unordered_map<std::string, size_t> seen;
      for (size_t k = 0; k < distinct && why.empty(); ++k) {
        const TNominalIDStr label = detail::CutLabel(c.Dict.Texts[k]);
        const auto ins = seen.emplace(UTF8LowerCase(label), k);
        if (!ins.second)
          why = "the texts " + Quoted(c.Dict.Texts[ins.first->second]) + " and " +
                Quoted(c.Dict.Texts[k]) + " make the same label " + Quoted(label);
      }
    }
    if (why.empty()) {
      ci.Kind = ckNominal;
      TVTypeSpec& vt = Out.VType[j];
      vt.MScaleType = stNominal;
      for (size_t k = 0; k < distinct; ++k)
        vt.SetID(static_cast<int32_t>(k) + 1, detail::CutLabel(c.Dict.Texts[k]));
      for (size_t i = 0; i < nr; ++i) {
        const bool missing = st[i] == 2;
        st[i] = missing ? 2 : 0;
        val[i] = missing ? kNaN : static_cast<double>(c.Ids[i] + 1);
      }
    } else {
      ci.Kind = ckText;
      Out.VType[j].MScaleType = stUnknown;
      Info.Warnings.push_back("column " + Quoted(name) + ": " + why + "; kept as a text column");
      for (size_t i = 0; i < nr; ++i) {
        const bool missing = st[i] == 2;
        st[i] = missing ? 2 : 1;
        val[i] = kNaN;
        ci.InvalidCells += missing ? 0 : 1;
      }
    }
    c = TColAcc();
  }
  Out.Data.swap(vals);
  Out.States.swap(sts);
  for (const TCSVColumnInfo& ci : Info.Columns) {
    Info.EmptyCells += ci.EmptyCells;
    Info.InvalidCells += ci.InvalidCells;
  }
  if (rowNames) {
    Out.RowNames.swap(rowNameList);
  } else {
    Out.RowNames.reserve(nr);
    for (size_t i = 0; i < nr; ++i)
      Out.RowNames.push_back(detail::DefaultName('R', static_cast<int64_t>(i) + 1));
  }
  return true;
}

}  // namespace

bool TDataTable::ImportFromCSVText(std::string_view Text, const TCSVImportOptions& Options,
                                   TCSVImportInfo& Info) {
  Info = TCSVImportInfo();
  detail::TTableContent content;
  try {
    TImport imp{Text.data(), Text.data() + Text.size(), Options, Info};
    if (!imp.Run(content)) return false;
  } catch (const std::bad_alloc&) {
    Info = TCSVImportInfo();
    Info.ErrorText = "not enough memory";
    return false;
  }
  try {
    detail::ReplaceContent(*this, content);
  } catch (const ENUVDataTableError&) {
    Info.ErrorText = "not enough memory";
    return false;
  }
  return true;
}

bool TDataTable::ImportFromCSV(const std::string& FileName, const TCSVImportOptions& Options,
                               TCSVImportInfo& Info) {
  Info = TCSVImportInfo();
  TMemoryStream text;
  if (!detail::ReadWholeFile(FileName, text, Info.ErrorText)) return false;
  const auto* p = reinterpret_cast<const char*>(text.Memory());
  return ImportFromCSVText(std::string_view(p, static_cast<size_t>(text.Size())), Options, Info);
}

bool TDataTable::ImportFromCSV(const std::string& FileName, TCSVDelimiters Delimiter) {
  TCSVImportOptions opt;
  opt.Delimiter = Delimiter;
  TCSVImportInfo info;
  return ImportFromCSV(FileName, opt, info);
}

}  // namespace nuv
