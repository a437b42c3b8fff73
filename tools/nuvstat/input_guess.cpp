#include "input_guess.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "errors.h"
#include "input_text.h"

namespace nuvstat {

namespace {

enum class Kind : uint8_t { Missing, Number, Text };

// Records read below the first one to judge it: enough to see the columns' kinds,
// few enough that a column's texts stay below the reader's 150 labels.
constexpr int kPreviewLines = 100;

nuv::TCSVDelimiters DelimiterCode(char D) {
  switch (D) {
    case ',': return nuv::csvComma;
    case ':': return nuv::csvColon;
    case ';': return nuv::csvSemicolon;
    case '\t': return nuv::csvTab;
    default: return nuv::csvUnknown;
  }
}

// One table read from part of the text, with what the reader found.
struct Part {
  nuv::TDataTable Table;
  nuv::TCSVImportInfo Info;

  int32_t Rows() const { return Table.NrOfRows(); }
  int32_t Cols() const { return Table.NrOfColumns(); }
  nuv::TCSVColumnKind ColKind(int32_t c) const {
    return Info.Columns[static_cast<size_t>(c - 1)].Kind;
  }
  Kind CellKind(int32_t c, int32_t r) const {
    if (Table.GetIsEmpty(c, r)) return Kind::Missing;
    return ColKind(c) == nuv::ckNumeric ? Kind::Number : Kind::Text;
  }
  // A number, or a text the reader took as a label that still reads as one.
  bool NumberLike(int32_t c, int32_t r, char Decimal) const {
    const Kind k = CellKind(c, r);
    if (k != Kind::Text) return k == Kind::Number;
    return ColKind(c) == nuv::ckNominal && LooksNumeric(Table.GetElemNominal(c, r), Decimal);
  }
  bool NumericColumn(int32_t c) const {
    const auto& ci = Info.Columns[static_cast<size_t>(c - 1)];
    return ci.Kind == nuv::ckNumeric && ci.EmptyCells < Rows();
  }
  bool EmptyColumn(int32_t c) const {
    const auto& ci = Info.Columns[static_cast<size_t>(c - 1)];
    return ci.Kind == nuv::ckNumeric && ci.EmptyCells == Rows();
  }
};

// Numbers written with a decimal comma read as texts with the decimal point:
// a column of them would silently drop out of the analysis.
void RejectDecimalComma(const Part& Below, std::string_view Text, const InputOptions& In,
                        const std::string& Source, int32_t BelowFirstRecord) {
  if (In.Decimal != '.') return;
  for (int32_t c = 1; c <= Below.Cols(); ++c) {
    if (Below.ColKind(c) != nuv::ckNominal) continue;
    int32_t firstComma = 0;
    bool allNumbers = true;
    for (int32_t r = 1; r <= Below.Rows() && allNumbers; ++r) {
      if (Below.CellKind(c, r) == Kind::Missing) continue;
      const std::string label = Below.Table.GetElemNominal(c, r);
      allNumbers = LooksNumeric(label, ',');
      if (firstComma == 0 && label.find(',') != std::string::npos) firstComma = r;
    }
    if (!allNumbers || firstComma == 0) continue;
    const int32_t line = FindRecord(Text, In.Skip, BelowFirstRecord + firstComma - 1).Line;
    throw ToolError(AtLine(Source, line) + ", column " + std::to_string(c) + ": " +
                    Quoted(Printable(Below.Table.GetElemNominal(c, firstComma))) +
                    " is a number with a decimal comma: add --decimal ,");
  }
}

// A line of texts above columns of numbers further down is a header that the
// first lines hide (a title or a line of counts above it).
void RejectLateHeader(const Part& Below, std::string_view Text, const InputOptions& In,
                      const std::string& Source, int32_t BelowFirstRecord) {
  const int32_t rows = std::min(Below.Rows(), 3);
  for (int32_t r = 1; r <= rows; ++r) {
    bool allText = true, anyText = false, aboveNumbers = false;
    for (int32_t c = 1; c <= Below.Cols() && allText; ++c) {
      const Kind k = Below.CellKind(c, r);
      if (k == Kind::Missing) continue;
      allText = !Below.NumberLike(c, r, In.Decimal);
      anyText = true;
      bool numbersElsewhere = true, anyElsewhere = false;
      for (int32_t q = 1; q <= Below.Rows() && numbersElsewhere; ++q) {
        if (q == r || Below.CellKind(c, q) == Kind::Missing) continue;
        anyElsewhere = true;
        numbersElsewhere = Below.NumberLike(c, q, In.Decimal);
      }
      aboveNumbers = aboveNumbers || (numbersElsewhere && anyElsewhere);
    }
    if (!(allText && anyText && aboveNumbers)) continue;
    const int32_t line = FindRecord(Text, In.Skip, BelowFirstRecord + r - 1).Line;
    throw ToolError(AtLine(Source, line) +
                    ": a line of texts above columns of numbers, below the first line: if it is "
                    "the header, add --skip " + std::to_string(line - 1) +
                    " (if its texts mark missing values, add --na TEXT)");
  }
}

// A first line of distinct whole numbers, some outside the range of their column
// below, may be a header of years or codes.
bool MayBeNumberHeader(const Part& Top, const Part& Below) {
  const int32_t h = Top.Cols();
  if (h < 2) return false;
  std::vector<double> v;
  bool outside = false;
  for (int32_t c = 1; c <= h; ++c) {
    if (Top.CellKind(c, 1) != Kind::Number || !Below.NumericColumn(c)) return false;
    const double x = Top.Table.NumericData->GetVal(c, 1);
    if (x != std::floor(x)) return false;
    v.push_back(x);
    const double* col = Below.Table.NumericData->ColData(c);
    double mn = HUGE_VAL, mx = -HUGE_VAL;
    for (int32_t r = 0; r < Below.Rows(); ++r)
      if (!std::isnan(col[r])) mn = std::fmin(mn, col[r]), mx = std::fmax(mx, col[r]);
    outside = outside || x < mn || x > mx;
  }
  std::sort(v.begin(), v.end());
  return outside && std::adjacent_find(v.begin(), v.end()) == v.end();
}

}  // namespace

nuv::TCSVImportOptions ReaderOptions(const InputOptions& In) {
  nuv::TCSVImportOptions opt;
  opt.CommentChar = '#';
  opt.Delimiter = DelimiterCode(In.Delimiter);
  opt.DecimalSeparator = In.Decimal;
  opt.Header = In.Header == Choice::Yes  ? nuv::ccYes
               : In.Header == Choice::No ? nuv::ccNo
                                         : nuv::ccAuto;
  opt.RowNames = In.RowNames ? nuv::ccYes : nuv::ccAuto;
  opt.MissingWords = In.NaWords;
  opt.SkipLines = In.Skip;
  return opt;
}

ShapeGuess GuessShape(std::string_view Text, const InputOptions& In, const std::string& Source) {
  ShapeGuess g;
  const nuv::TCSVImportOptions base = ReaderOptions(In);
  g.Header = base.Header;
  g.RowNames = base.RowNames;
  const RecordPlace first = FindRecord(Text, In.Skip, 1);
  if (first.Line == 0) return g;
  const size_t n = Text.size();
  size_t end = first.Offset;
  while (end < n && !IsLineEnd(Text[end])) ++end;
  const std::string_view head = Text.substr(first.Offset, end - first.Offset);
  // A header cell holding a line end: leave the judgement to the reader.
  if (std::count(head.begin(), head.end(), '"') % 2 != 0) return g;
  const size_t restStart = PastLineEnd(Text, end);
  size_t stop = restStart;
  for (int lines = 0; stop < n && lines < kPreviewLines; ++lines) stop = PastLineEnd(Text, stop);

  nuv::TCSVImportOptions po = base;
  po.Header = nuv::ccNo;
  po.RowNames = nuv::ccNo;
  po.SkipLines = 0;
  Part below;
  const std::string_view rest = Text.substr(restStart, stop - restStart);
  if (rest.find_first_not_of(" \t\r\n") == std::string_view::npos ||
      !below.Table.ImportFromCSVText(rest, po, below.Info))
    return g;
  g.Delimiter = below.Info.Delimiter;
  g.FirstLine = first.Line;
  po.Delimiter = DelimiterCode(g.Delimiter);
  Part top;
  if (!top.Table.ImportFromCSVText(head, po, top.Info)) return g;
  const int32_t h = top.Cols();
  const int32_t m = below.Cols();
  // The records below the first one are numbered from 2.
  RejectDecimalComma(below, Text, In, Source, 2);
  RejectLateHeader(below, Text, In, Source, 2);

  bool headText = false;
  for (int32_t c = 1; c <= h; ++c) headText = headText || top.CellKind(c, 1) == Kind::Text;
  if (h == m - 1 && headText && In.Header != Choice::No) {
    // R writes the header without a cell above the row names; a trailing delimiter
    // on every data line leaves an empty last column instead.
    if (below.EmptyColumn(m)) {
      g.AppendHeaderCell = true;
    } else {
      g.PrependHeaderCell = true;
      g.RowNames = nuv::ccYes;
    }
    g.Header = nuv::ccYes;
    g.HeaderStart = first.Offset;
    g.HeaderEnd = end;
    return g;
  }
  if (h != m)
    throw ToolError(AtLine(Source, first.Line) + ": " + std::to_string(h) +
                    (h == 1 ? " cell" : " cells") + " where the lines below have " +
                    std::to_string(m) + ": if this line is not part of the table, add --skip " +
                    std::to_string(first.Line));
  if (In.Header != Choice::Auto) return g;

  int32_t textOverNumbers = 0, numberOverNumbers = 0;
  std::string aText, aNumber;
  std::vector<bool> quoted;
  const std::vector<std::string> cells = RecordCells(Text, first.Offset, g.Delimiter, &quoted);
  for (int32_t c = 1; c <= h; ++c) {
    if (!below.NumericColumn(c)) continue;
    Kind k = top.CellKind(c, 1);
    // A quoted number above unquoted ones is a name, as R writes "1", "2".
    const auto ci = static_cast<size_t>(c - 1);
    if (k == Kind::Number && ci < quoted.size() && quoted[ci]) k = Kind::Text;
    const std::string cell = ci < cells.size() ? cells[ci] : "";
    if (k == Kind::Text) {
      if (textOverNumbers++ == 0) aText = cell;
    } else if (k == Kind::Number) {
      if (numberOverNumbers++ == 0) aNumber = cell;
    }
  }
  const std::string line = std::to_string(first.Line);
  if (textOverNumbers > 0 && numberOverNumbers > 0)
    throw ToolError(AtLine(Source, first.Line) +
                    ": the first line of the table mixes numbers and texts above columns of " +
                    "numbers (" + Quoted(Printable(aNumber)) + ", " +
                    Quoted(Printable(aText)) +
                    "): add --skip " + line + " if it is not part of the table, --header yes " +
                    "if it names the columns, --header no if it is data");
  if (textOverNumbers > 0) {
    g.Header = nuv::ccYes;
  } else {
    g.Header = nuv::ccNo;
    bool anyNumbers = false;
    for (int32_t c = 1; c <= m; ++c) anyNumbers = anyNumbers || below.NumericColumn(c);
    if (headText && anyNumbers)
      Note(AtLine(Source, first.Line) + ": note: read as data, since its texts stand above " +
           "columns of texts as in the lines below; add --header yes if it names the columns");
    else if (MayBeNumberHeader(top, below))
      Note(AtLine(Source, first.Line) + ": note: read as data, though its whole numbers lie " +
           "outside the columns below; add --header yes if it names the columns");
  }
  return g;
}

}  // namespace nuvstat
