#include "foundation/asc_header.h"

#include <string_view>

#include "foundation/strings.h"
#include "foundation/textfile.h"

namespace nuv {

namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first blank-delimited word of Line, stopping also at ";".
std::string_view FirstWord(std::string_view Line) {
  std::size_t b = 0;
  while (b < Line.size() && IsBlank(Line[b])) ++b;
  std::size_t e = b;
  while (e < Line.size() && !IsBlank(Line[e]) && Line[e] != ';') ++e;
  return Line.substr(b, e - b);
}

bool ParseCount(const std::string& Line, int32_t Min, int32_t& Count) {
  int32_t n = 0;
  if (!TextToInt32(FirstWord(Line), n) || n < Min) return false;
  Count = n;
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != b[i]) return false;
  }
  return true;
}

// Three or four TRUE/FALSE words before an optional ";" comment.
bool ParseFlags(std::string_view Line, bool* Flags) {
  const std::size_t semi = Line.find(';');
  if (semi != std::string_view::npos) Line = Line.substr(0, semi);
  int count = 0;
  std::size_t i = 0;
  for (;;) {
    while (i < Line.size() && IsBlank(Line[i])) ++i;
    if (i == Line.size()) break;
    std::size_t e = i;
    while (e < Line.size() && !IsBlank(Line[e])) ++e;
    const std::string_view word = Line.substr(i, e - i);
    if (count == 4) return false;
    if (EqualsNoCase(word, "TRUE"))
      Flags[count] = true;
    else if (EqualsNoCase(word, "FALSE"))
      Flags[count] = false;
    else
      return false;
    ++count;
    i = e;
  }
  return count >= 3;
}

}  // namespace

int32_t ParseHeaderOfASC(const std::string* Lines, int32_t NLines, std::string& Comment,
                         int32_t& NumCols, int32_t& NumRows, bool& RowAttrib, bool& ColNames,
                         bool& RowNames, bool& ColAttrib) {
  Comment.clear();
  NumCols = 0;
  NumRows = 0;
  RowAttrib = ColNames = RowNames = ColAttrib = false;
  if (NLines < 1) return ascBadColumnCount;
  Comment = Lines[0];
  if (NLines < 2 || !ParseCount(Lines[1], 1, NumCols)) return ascBadColumnCount;
  if (NLines < 3 || !ParseCount(Lines[2], 0, NumRows)) return ascBadRowCount;
  bool flags[4] = {false, false, false, false};
  if (NLines < 4 || !ParseFlags(Lines[3], flags)) return ascBadFlags;
  RowAttrib = flags[0];
  ColNames = flags[1];
  RowNames = flags[2];
  ColAttrib = flags[3];
  return ascOK;
}

int32_t ReadHeaderOfASC(const std::string& FileName, std::string& Comment, int32_t& NumCols,
                        int32_t& NumRows, bool& RowAttrib, bool& ColNames, bool& RowNames,
                        bool& ColAttrib) {
  Comment.clear();
  NumCols = NumRows = 0;
  RowAttrib = ColNames = RowNames = ColAttrib = false;
  try {
    TTextReader reader;
    if (!reader.Open(FileName)) return ascCannotOpen;
    std::string lines[4];
    int32_t n = 0;
    while (n < 4 && reader.ReadLine(lines[n])) ++n;
    return ParseHeaderOfASC(lines, n, Comment, NumCols, NumRows, RowAttrib, ColNames, RowNames,
                            ColAttrib);
  } catch (const std::exception&) {
    // No memory for a line: the file cannot be read, and the outputs say nothing.
    Comment.clear();
    NumCols = NumRows = 0;
    RowAttrib = ColNames = RowNames = ColAttrib = false;
    return ascCannotOpen;
  }
}

}  // namespace nuv
