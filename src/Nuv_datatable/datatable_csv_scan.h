// Splitting CSV text into records and fields (RFC 4180 with the variations
// that spreadsheets and statistics packages write). Private to the unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {
namespace detail {

/// One field of a record: the text between its quotes (doubled quotes still
/// doubled when Escaped) or the unquoted text without the blanks around it.
/// A plain number is parsed on the way (IsNum, Value).
struct TCSVField {
  const char* First;
  const char* Last;
  bool Quoted;
  bool Escaped;
  bool IsNum;
  double Value;

  std::string_view Text() const {
    return std::string_view(First, static_cast<size_t>(Last - First));
  }
};

/// The text of a field with doubled quotes made single.
std::string FieldText(const TCSVField& F);

/// Parses a whole field text as a number: an optional sign, digits with an
/// optional decimal separator and exponent, or Inf / Infinity (any case).
bool ParseCSVNumber(std::string_view Text, char Decimal, double& Value);

class TCSVScanner {
 public:
  enum TResult { rsRecord, rsEnd, rsError };

  /// Delim ',' ';' ':' '\t', or ' ' for runs of blanks and tabs. Lines
  /// whose first non-blank character is Comment ('\0': none) and blank lines
  /// are skipped. Numbers are recognised on the way when Decimal is '.'.
  TCSVScanner(const char* Begin, const char* End, char Delim, char Comment, char Decimal);

  /// The next record's fields; rsEnd after the last, rsError with ErrorText
  /// (at physical line ErrorLine, field ErrorCell).
  TResult Next(std::vector<TCSVField>& Fields);
  /// Skips Count physical lines (a quoted line end does not count: these are
  /// raw lines before any record).
  void SkipLines(int64_t Count);

  int64_t RecordLine() const { return FRecordLine; }
  const char* Position() const { return FP; }

  std::string ErrorText;
  int64_t ErrorLine = 0;
  int64_t ErrorCell = 0;

 private:
  /// Past the line end at FP (CR LF, LF or CR); counts the line.
  void EndLine();
  bool AtLineEnd() const { return FP == FEnd || *FP == '\n' || *FP == '\r'; }
  bool IsBlank(char c) const { return c == ' ' || (c == '\t' && FDelim != '\t'); }
  bool Fail(int64_t Line, int64_t Cell, std::string Text);
  bool QuotedField(TCSVField& F, int64_t Cell);

  const char* FP;
  const char* FEnd;
  char FDelim;
  char FComment;
  char FDecimal;
  int64_t FLine = 1;  ///< physical line of FP
  int64_t FRecordLine = 0;
};

/// Finds the delimiter of a CSV text from its first lines: among tab, ';',
/// ',' and ':' (without ',' when the decimal separator is ','), the first
/// that every sampled line holds equally often outside quotes; else the first
/// of them that the first line holds; else ' ' when the lines split into the
/// same number (>= 2) of blank-separated words; else ','.
char DetectCSVDelimiter(const char* Begin, const char* End, char Comment, char Decimal);

}  // namespace detail
}  // namespace nuv
