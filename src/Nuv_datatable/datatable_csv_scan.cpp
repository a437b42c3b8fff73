// The CSV scanner: records and fields in one pass over the text, numbers
// parsed in place while the field is found.
#include "Nuv_datatable/datatable_csv_scan.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace nuv {
namespace detail {

std::string FieldText(const TCSVField& F) {
  if (!F.Escaped) return std::string(F.First, F.Last);
  std::string s;
  s.reserve(static_cast<size_t>(F.Last - F.First));
  for (const char* p = F.First; p < F.Last; ++p) {
    s += *p;
    if (*p == '"' && p + 1 < F.Last && p[1] == '"') ++p;
  }
  return s;
}

namespace {

inline bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

bool EqualsNoCase(std::string_view a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

}  // namespace

bool ParseCSVNumber(std::string_view Text, char Decimal, double& Value) {
  if (Text.empty()) return false;
  bool neg = false;
  std::string_view t = Text;
  if (t[0] == '+' || t[0] == '-') {
    neg = t[0] == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  if (!((t[0] >= '0' && t[0] <= '9') || t[0] == Decimal)) {
    // from_chars would also take NaN, which is a missing value here.
    if (EqualsNoCase(t, "inf") || EqualsNoCase(t, "infinity")) {
      Value = neg ? -HUGE_VAL : HUGE_VAL;
      return true;
    }
    return false;
  }
  char buf[128];
  if (Decimal != '.') {
    if (t.size() >= sizeof buf) return false;
    size_t k = 0;
    for (char c : t) {
      if (c == '.') return false;
      buf[k++] = c == Decimal ? '.' : c;
    }
    t = std::string_view(buf, k);
  }
  double v = 0.0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ptr != t.data() + t.size()) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the range of double: infinity, or zero for a tiny value.
    const size_t e = t.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < t.size() && t[e + 1] == '-';
    v = tiny ? 0.0 : HUGE_VAL;
  } else if (r.ec != std::errc()) {
    return false;
  }
  Value = neg ? -v : v;
  return true;
}

TCSVScanner::TCSVScanner(const char* Begin, const char* End, char Delim, char Comment, char Decimal)
    : FP(Begin), FEnd(End), FDelim(Delim), FComment(Comment), FDecimal(Decimal) {}

bool TCSVScanner::Fail(int64_t Line, int64_t Cell, std::string Text) {
  ErrorLine = Line;
  ErrorCell = Cell;
  ErrorText = std::move(Text);
  return false;
}

void TCSVScanner::EndLine() {
  if (FP == FEnd) return;
  if (*FP == '\r' && FP + 1 < FEnd && FP[1] == '\n') ++FP;
  ++FP;
  ++FLine;
}

void TCSVScanner::SkipLines(int64_t Count) {
  for (int64_t i = 0; i < Count && FP < FEnd; ++i) {
    while (!AtLineEnd()) ++FP;
    EndLine();
  }
}

bool TCSVScanner::QuotedField(TCSVField& F, int64_t Cell) {
  const int64_t startLine = FLine;
  ++FP;  // the opening quote
  F.First = FP;
  F.Quoted = true;
  for (;;) {
    const void* q = std::memchr(FP, '"', static_cast<size_t>(FEnd - FP));
    // Line ends inside the quotes belong to the field but still count as lines.
    const char* stop = q != nullptr ? static_cast<const char*>(q) : FEnd;
    for (const char* p = FP; p < stop; ++p)
      if (*p == '\n' || (*p == '\r' && !(p + 1 < stop && p[1] == '\n'))) ++FLine;
    FP = stop;
    if (FP == FEnd) return Fail(startLine, Cell, "a quoted cell has no closing quote");
    if (FP + 1 < FEnd && FP[1] == '"') {
      F.Escaped = true;
      FP += 2;
      continue;
    }
    break;
  }
  F.Last = FP++;
  while (FP < FEnd && IsBlank(*FP)) ++FP;
  if (!AtLineEnd() && !(FDelim == ' ' ? (*FP == ' ' || *FP == '\t') : *FP == FDelim))
    return Fail(FLine, Cell, "text after the closing quote of a cell");
  return true;
}

TCSVScanner::TResult TCSVScanner::Next(std::vector<TCSVField>& Fields) {
  Fields.clear();
  // Blank lines and comment lines hold no record.
  for (;;) {
    if (FP >= FEnd) return rsEnd;
    const char* p = FP;
    while (p < FEnd && (*p == ' ' || *p == '\t')) ++p;
    if (p == FEnd || *p == '\n' || *p == '\r' || (FComment != '\0' && *p == FComment)) {
      FP = p;
      while (!AtLineEnd()) ++FP;
      EndLine();
      continue;
    }
    break;
  }
  FRecordLine = FLine;
  const bool blanks = FDelim == ' ';
  const bool fastNumbers = FDecimal == '.';
  if (blanks)
    while (FP < FEnd && (*FP == ' ' || *FP == '\t')) ++FP;
  for (;;) {
    TCSVField f{FP, FP, false, false, false, 0.0};
    const int64_t cell = static_cast<int64_t>(Fields.size()) + 1;
    if (!blanks)
      while (FP < FEnd && IsBlank(*FP)) ++FP;
    if (FP < FEnd && *FP == '"') {
      if (!QuotedField(f, cell)) return rsError;
    } else {
      f.First = FP;
      bool done = false;
      if (fastNumbers && FP < FEnd && StartsNumber(*FP)) {
        // The common plain number ends right at a delimiter or line end.
        const auto r = std::from_chars(FP, FEnd, f.Value);
        if (r.ec == std::errc() && r.ptr > FP) {
          const char* e = r.ptr;
          const char* q = e;
          while (q < FEnd && (*q == ' ' || (*q == '\t' && FDelim != '\t'))) ++q;
          if (q == FEnd || *q == '\n' || *q == '\r' || (!blanks && *q == FDelim) ||
              (blanks && q > e)) {
            f.IsNum = true;
            f.Last = e;
            FP = q;
            done = true;
          }
        }
      }
      if (!done) {
        if (blanks) {
          while (FP < FEnd && *FP != ' ' && *FP != '\t' && *FP != '\n' && *FP != '\r') ++FP;
        } else {
          while (FP < FEnd && *FP != FDelim && *FP != '\n' && *FP != '\r') ++FP;
        }
        f.Last = FP;
        while (f.Last > f.First && (f.Last[-1] == ' ' || f.Last[-1] == '\t')) --f.Last;
        while (FP < FEnd && IsBlank(*FP)) ++FP;
      }
    }
    Fields.push_back(f);
    if (AtLineEnd()) break;
    // At a delimiter (or a run of blanks).
    if (blanks) {
      while (FP < FEnd && (*FP == ' ' || *FP == '\t')) ++FP;
      if (AtLineEnd()) break;
    } else {
      ++FP;
    }
  }
  EndLine();
  return rsRecord;
}

namespace {

/// Counts of the candidate delimiters outside quotes on one line (quotes may
/// carry over to the next line).
void CountLine(const char* p, const char* e, bool& InQuote, int64_t* Count, int64_t& Words) {
  bool inWord = false;
  for (; p < e; ++p) {
    const char c = *p;
    if (c == '"') InQuote = !InQuote;
    if (InQuote) continue;
    Count[0] += c == '\t';
    Count[1] += c == ';';
    Count[2] += c == ',';
    Count[3] += c == ':';
    const bool blank = c == ' ' || c == '\t';
    if (!blank && !inWord) ++Words;
    inWord = !blank;
  }
}

}  // namespace

char DetectCSVDelimiter(const char* Begin, const char* End, char Comment, char Decimal) {
  constexpr int kSample = 20;
  static const char kCand[4] = {'\t', ';', ',', ':'};
  int64_t first[4] = {0, 0, 0, 0};
  int64_t firstWords = 0;
  bool consistent[4] = {true, true, true, true};
  bool wordsConsistent = true;
  bool inQuote = false;
  int lines = 0;
  const char* p = Begin;
  while (p < End && lines < kSample) {
    const char* e = p;
    while (e < End && *e != '\n' && *e != '\r') ++e;
    const char* s = p;
    while (s < e && (*s == ' ' || *s == '\t')) ++s;
    const bool skip = !inQuote && (s == e || (Comment != '\0' && *s == Comment));
    if (!skip) {
      int64_t cnt[4] = {0, 0, 0, 0};
      int64_t words = 0;
      const bool continued = inQuote;
      CountLine(p, e, inQuote, cnt, words);
      if (!continued) {
        if (lines == 0) {
          for (int k = 0; k < 4; ++k) first[k] = cnt[k];
          firstWords = words;
        } else {
          for (int k = 0; k < 4; ++k) consistent[k] = consistent[k] && cnt[k] == first[k];
          wordsConsistent = wordsConsistent && words == firstWords;
        }
        ++lines;
      }
    }
    p = e;
    if (p < End && *p == '\r' && p + 1 < End && p[1] == '\n') ++p;
    if (p < End) ++p;
  }
  for (int k = 0; k < 4; ++k) {
    if (kCand[k] == Decimal) continue;
    if (consistent[k] && first[k] > 0) return kCand[k];
  }
  for (int k = 0; k < 4; ++k) {
    if (kCand[k] == Decimal) continue;
    if (first[k] > 0) return kCand[k];
  }
  if (lines > 0 && wordsConsistent && firstWords >= 2) return ' ';
  return ',';
}

}  // namespace detail
}  // namespace nuv
