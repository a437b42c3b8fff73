#include "foundation/textfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

#include "foundation/exceptions.h"
#include "foundation/load_rules.h"
#include "foundation/strings.h"

namespace nuv {

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 20;
constexpr std::size_t kWriteChunk = std::size_t{1} << 16;

// Separators between numbers: blanks, tabs, line ends and the other control
// characters, as in Pascal's Read.
inline bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Reason(int err) { return std::generic_category().message(err); }

}  // namespace

// ---------------------------------------------------------------- TTextReader

TTextReader::TTextReader() = default;

TTextReader::TTextReader(const std::string& FileName) { Open(FileName); }

TTextReader::~TTextReader() { Close(); }

bool TTextReader::Open(const std::string& FileName) {
  Close();
  FFile = std::fopen(FileName.c_str(), "rb");
  if (FFile == nullptr) return false;
  std::setvbuf(FFile, nullptr, _IONBF, 0);  // the reader buffers for itself
  // A small file needs no megabyte of buffer; a large one, a pipe or a device
  // gets the whole chunk. Either way the buffer grows for a longer word.
  const int64_t size = KnownFileSize(FileName);
  const std::size_t chunk = size >= 0 && static_cast<uint64_t>(size) < kReadChunk
                                ? std::max<std::size_t>(static_cast<std::size_t>(size) + 1, 4096)
                                : kReadChunk;
  try {
    FBuf.resize(chunk);
  } catch (const std::bad_alloc&) {
    Close();
    return false;
  }
  // A directory opens on some systems but fails on the first read.
  Fill();
  if (FFailed) {
    Close();
    return false;
  }
  return true;
}

void TTextReader::Close() {
  if (FFile != nullptr) std::fclose(FFile);
  FFile = nullptr;
  FPos = FEnd = 0;
  FRead = 0;
  FAtEnd = false;
  FFailed = false;
}

bool TTextReader::Rewind() {
  if (FFile == nullptr) return false;
  std::clearerr(FFile);
  if (std::fseek(FFile, 0, SEEK_SET) != 0) return false;
  FPos = FEnd = 0;
  FRead = 0;
  FAtEnd = false;
  FFailed = false;
  return true;
}

bool TTextReader::Fill() {
  if (FFile == nullptr || FAtEnd) return false;
  if (FPos > 0) {
    std::memmove(FBuf.data(), FBuf.data() + FPos, FEnd - FPos);
    FEnd -= FPos;
    FPos = 0;
  }
  if (FEnd == FBuf.size()) {
    // One word longer than the buffer: let the buffer grow with it.
    try {
      FBuf.resize(FBuf.size() * 2);
    } catch (const std::bad_alloc&) {
      FAtEnd = FFailed = true;
      return false;
    }
  }
  const std::size_t got = std::fread(FBuf.data() + FEnd, 1, FBuf.size() - FEnd, FFile);
  if (got == 0) {
    FAtEnd = true;
    FFailed = std::ferror(FFile) != 0;
    return false;
  }
  FEnd += got;
  FRead += static_cast<int64_t>(got);
  return true;
}

bool TTextReader::Eof() { return !Available(); }

bool TTextReader::NextBlock(const char*& First, const char*& Last) {
  if (!Available()) return false;
  First = FBuf.data() + FPos;
  Last = FBuf.data() + FEnd;
  FPos = FEnd;
  return true;
}

void TTextReader::PutBack(std::size_t Count) { FPos -= std::min(Count, FPos); }

bool TTextReader::Seek(int64_t Pos) {
  // Where long is 32 bits, positions beyond it are refused rather than wrapped.
  if (FFile == nullptr || Pos < 0 || Pos > std::numeric_limits<long>::max()) return false;
  std::clearerr(FFile);
  if (std::fseek(FFile, static_cast<long>(Pos), SEEK_SET) != 0) return false;
  FPos = FEnd = 0;
  FRead = Pos;
  FAtEnd = false;
  FFailed = false;
  return true;
}

bool TTextReader::SeekEof() { return !SkipBlanks(); }

bool TTextReader::SkipBlanks() {
  for (;;) {
    while (FPos < FEnd && IsSeparator(FBuf[FPos])) ++FPos;
    if (FPos < FEnd) return true;
    if (!Fill()) return false;
  }
}

bool TTextReader::NextWord(const char*& First, const char*& Last) {
  if (!SkipBlanks()) return false;
  std::size_t i = FPos + 1;
  for (;;) {
    while (i < FEnd && !IsSeparator(FBuf[i])) ++i;
    if (i < FEnd) break;
    // Fill moves the unread bytes to the front even when nothing more comes.
    const std::size_t offset = i - FPos;
    const bool more = Fill();
    i = FPos + offset;
    if (!more) break;  // the word ends with the file
  }
  First = FBuf.data() + FPos;
  Last = FBuf.data() + i;
  FPos = i;
  return true;
}

bool TTextReader::ReadDouble(double& Value) {
  if (!SkipBlanks()) return false;
  // Fast path: parse in place and accept when the number ends at a separator
  // inside the buffer (or at the end of the file); everything else, a leading
  // "+", a range error or a malformed word, goes the general way.
  const char* first = FBuf.data() + FPos;
  const char* end = FBuf.data() + FEnd;
  if (*first != '+') {
    double v = 0.0;
    const auto r = std::from_chars(first, end, v);
    if (r.ec == std::errc() && (r.ptr < end ? IsSeparator(*r.ptr) : FAtEnd)) {
      Value = v;
      FPos = static_cast<std::size_t>(r.ptr - FBuf.data());
      return true;
    }
  }
  const char* last = nullptr;
  if (!NextWord(first, last)) return false;
  return detail::ParseDoubleToken(first, last, Value);
}

bool TTextReader::ReadInt32(int32_t& Value) {
  const char* first = nullptr;
  const char* last = nullptr;
  if (!NextWord(first, last)) return false;
  return detail::ParseInt32Token(first, last, Value);
}

bool TTextReader::ReadChar(char& c) {
  if (!Available()) return false;
  c = FBuf[FPos++];
  return true;
}

bool TTextReader::ReadLine(std::string& Line) {
  Line.clear();
  return NextLine(&Line);
}

bool TTextReader::SkipLine() { return NextLine(nullptr); }

bool TTextReader::NextLine(std::string* Line) {
  if (!Available()) return false;
  for (;;) {
    std::size_t i = FPos;
    while (i < FEnd && FBuf[i] != '\n' && FBuf[i] != '\r') ++i;
    if (Line != nullptr) Line->append(FBuf.data() + FPos, i - FPos);
    if (i < FEnd) {
      const char end = FBuf[i];
      FPos = i + 1;
      if (end == '\r' && Available() && FBuf[FPos] == '\n') ++FPos;
      return true;
    }
    FPos = FEnd;
    if (!Fill()) return true;  // last line without a line end
  }
}

// ---------------------------------------------------------------- TTextWriter

TTextWriter::TTextWriter(const std::string& FileName) : FFileName(FileName) {
  errno = 0;
  FFile = std::fopen(FileName.c_str(), "wb");
  if (FFile == nullptr) {
    const int err = errno != 0 ? errno : ENOENT;
    throw EInOutError("Cannot create file \"" + FileName + "\": " + Reason(err));
  }
  std::setvbuf(FFile, nullptr, _IONBF, 0);  // the writer buffers for itself
  FBuf.reserve(kWriteChunk);
}

TTextWriter::~TTextWriter() {
  if (FFile == nullptr) return;
  if (!FBuf.empty()) std::fwrite(FBuf.data(), 1, FBuf.size(), FFile);
  std::fclose(FFile);
}

void TTextWriter::RaiseWriteError(int Err) {
  // The file stays as far as written; further writes go nowhere.
  FBuf.clear();
  std::fclose(FFile);
  FFile = nullptr;
  throw EInOutError("Write error on file \"" + FFileName + "\": " + Reason(Err));
}

void TTextWriter::Write(std::string_view Text) {
  if (FFile == nullptr) return;
  if (FBuf.size() + Text.size() > kWriteChunk) {
    Flush();
    if (Text.size() >= kWriteChunk) {
      errno = 0;
      if (std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size())
        RaiseWriteError(errno != 0 ? errno : EIO);
      return;
    }
  }
  FBuf.append(Text);
}

void TTextWriter::Write(char c) { Write(std::string_view(&c, 1)); }

void TTextWriter::WriteLine(std::string_view Text) {
  Write(Text);
  Write(std::string_view("\r\n", 2));
}

void TTextWriter::Flush() {
  if (FFile == nullptr || FBuf.empty()) return;
  errno = 0;
  if (std::fwrite(FBuf.data(), 1, FBuf.size(), FFile) != FBuf.size())
    RaiseWriteError(errno != 0 ? errno : EIO);
  FBuf.clear();
}

void TTextWriter::Close() {
  if (FFile == nullptr) return;
  Flush();
  std::FILE* f = FFile;
  FFile = nullptr;
  errno = 0;
  if (std::fclose(f) != 0)
    throw EInOutError("Write error on file \"" + FFileName + "\": " + Reason(errno != 0 ? errno : EIO));
}

}  // namespace nuv
