#include "input_text.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "errors.h"
#include "progress.h"

namespace nuvstat {

namespace {

}  // namespace

size_t PastLineEnd(std::string_view Text, size_t Pos) {
  const size_t n = Text.size();
  while (Pos < n && !IsLineEnd(Text[Pos])) ++Pos;
  if (Pos < n && Text[Pos] == '\r' && Pos + 1 < n && Text[Pos + 1] == '\n') return Pos + 2;
  return Pos < n ? Pos + 1 : n;
}

std::string ReadFileText(const std::string& File) {
  struct stat st {};
  if (::stat(File.c_str(), &st) != 0)
    throw ToolError("cannot open " + Quoted(File) + ": " + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) throw ToolError("cannot open " + Quoted(File) + ": it is a directory");
  std::FILE* f = std::fopen(File.c_str(), "rb");
  if (f == nullptr) throw ToolError("cannot open " + Quoted(File) + ": " + std::strerror(errno));
  std::string text;
  // The size is a hint only: the file may grow or shrink while it is read.
  if (S_ISREG(st.st_mode) && st.st_size > 0) text.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const size_t got = std::fread(buf, 1, sizeof buf, f);
    text.append(buf, got);
    if (got < sizeof buf) break;
  }
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (failed) throw ToolError("cannot read " + Quoted(File) + ": " + std::strerror(err));
  return text;
}

// The handler is installed without SA_RESTART, so a Ctrl-C interrupts a blocking read.
std::string ReadStdinText() {
  std::string text;
  char buf[65536];
  for (;;) {
    errno = 0;
    const size_t got = std::fread(buf, 1, sizeof buf, stdin);
    text.append(buf, got);
    if (std::ferror(stdin) != 0) {
      if (errno != EINTR)
        throw ToolError("cannot read standard input: " + std::string(std::strerror(errno)));
      CheckInterrupted();
      std::clearerr(stdin);
      continue;
    }
    if (got == 0) return text;
  }
}

RecordPlace FindRecord(std::string_view Text, int32_t Skip, int32_t Record) {
  const size_t n = Text.size();
  size_t pos = Text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  int32_t line = 1;
  for (int32_t s = 0; s < Skip && pos < n; ++s, ++line) pos = PastLineEnd(Text, pos);
  int32_t rec = 0;
  while (pos < n) {
    size_t q = pos;
    while (q < n && (Text[q] == ' ' || Text[q] == '\t')) ++q;
    if (q >= n) break;
    if (IsLineEnd(Text[q]) || Text[q] == '#') {
      pos = PastLineEnd(Text, pos);
      ++line;
      continue;
    }
    if (++rec == Record) return {line, pos};
    // A quoted cell may hold line ends: the record goes on past them.
    bool quoted = false;
    for (; pos < n; ++pos) {
      const char ch = Text[pos];
      if (ch == '"') {
        quoted = !quoted;
      } else if (IsLineEnd(ch)) {
        if (!quoted) break;
        if (ch == '\n' || pos + 1 >= n || Text[pos + 1] != '\n') ++line;
      }
    }
    pos = PastLineEnd(Text, pos);
    ++line;
  }
  return {};
}

std::vector<std::string> RecordCells(std::string_view Text, size_t Offset, char Delimiter,
                                     std::vector<bool>* Quoted) {
  std::vector<std::string> cells(1);
  std::vector<bool> wasQuoted(1, false);
  bool quoted = false;
  const size_t n = Text.size();
  for (size_t pos = Offset; pos < n; ++pos) {
    const char ch = Text[pos];
    if (ch == '"') {
      if (quoted && pos + 1 < n && Text[pos + 1] == '"') {
        cells.back() += '"';
        ++pos;
      } else {
        quoted = !quoted;
        wasQuoted.back() = true;
      }
      continue;
    }
    if (!quoted && IsLineEnd(ch)) break;
    const bool split = !quoted && (Delimiter == ' ' ? (ch == ' ' || ch == '\t') : ch == Delimiter);
    if (!split) {
      cells.back() += ch;
      continue;
    }
    if (Delimiter == ' ') {
      while (pos + 1 < n && (Text[pos + 1] == ' ' || Text[pos + 1] == '\t')) ++pos;
      if (cells.size() == 1 && cells.back().empty()) continue;  // leading blanks
    }
    cells.emplace_back();
    wasQuoted.push_back(false);
  }
  if (Quoted != nullptr) *Quoted = wasQuoted;
  for (std::string& c : cells) {
    const size_t b = c.find_first_not_of(" \t");
    const size_t e = c.find_last_not_of(" \t");
    c = b == std::string::npos ? std::string() : c.substr(b, e - b + 1);
  }
  return cells;
}

bool LooksNumeric(std::string_view Cell, char Decimal) {
  size_t i = 0;
  const size_t n = Cell.size();
  while (i < n && Cell[i] == ' ') ++i;
  if (i < n && (Cell[i] == '+' || Cell[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && Cell[i] >= '0' && Cell[i] <= '9') ++i, ++digits;
  if (i < n && Cell[i] == Decimal) {
    ++i;
    while (i < n && Cell[i] >= '0' && Cell[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (Cell[i] == 'e' || Cell[i] == 'E')) {
    ++i;
    if (i < n && (Cell[i] == '+' || Cell[i] == '-')) ++i;
    size_t exp = 0;
    while (i < n && Cell[i] >= '0' && Cell[i] <= '9') ++i, ++exp;
    if (exp == 0) return false;
  }
  while (i < n && Cell[i] == ' ') ++i;
  return i == n;
}

std::string Printable(const std::string& s) {
  std::string out;
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool ok = len > 0 && i + len <= n && (len == 1 ? b >= 0x20 && b != 0x7f : b >= 0xc2);
    for (size_t k = 1; ok && k < len; ++k)
      ok = (static_cast<unsigned char>(s[i + k]) & 0xc0) == 0x80;
    if (ok) {
      out.append(s, i, len);
      i += len;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

void Note(const std::string& Text) { std::fprintf(stderr, "nuvstat: %s\n", Text.c_str()); }

std::string AtLine(const std::string& Source, int32_t Line) {
  return Line > 0 ? Source + ", line " + std::to_string(Line) : Source;
}

}  // namespace nuvstat
