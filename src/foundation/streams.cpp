#include "foundation/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include "foundation/exceptions.h"

#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace nuv {

namespace {

int SeekFile(std::FILE* f, int64_t pos) {
#if defined(_WIN32)
  return _fseeki64(f, pos, SEEK_SET);
#else
  return fseeko(f, static_cast<off_t>(pos), SEEK_SET);
#endif
}

int TruncateFile(std::FILE* f, int64_t size) {
#if defined(_WIN32)
  return _chsize_s(_fileno(f), size) == 0 ? 0 : -1;
#else
  return ftruncate(fileno(f), static_cast<off_t>(size));
#endif
}

// Size of the open file; -1 with errno set when it is not a regular file.
int64_t RegularFileSize(std::FILE* f) {
#if defined(_WIN32)
  struct _stat64 st;
  if (_fstat64(_fileno(f), &st) != 0) return -1;
  if ((st.st_mode & _S_IFREG) == 0) {
    errno = EISDIR;
    return -1;
  }
  return st.st_size;
#else
  struct stat st;
  if (fstat(fileno(f), &st) != 0) return -1;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  return static_cast<int64_t>(st.st_size);
#endif
}

std::string Reason(int err) { return std::generic_category().message(err); }

// New position for Seek, or -1 when it would lie before the start or overflow.
int64_t SeekTarget(int64_t Offset, TSeekOrigin Origin, int64_t Pos, int64_t Size) {
  int64_t base = 0;
  switch (Origin) {
    case soFromBeginning:
      base = 0;
      break;
    case soFromCurrent:
      base = Pos;
      break;
    case soFromEnd:
      base = Size;
      break;
    default:
      return -1;
  }
  if (Offset > 0 && base > INT64_MAX - Offset) return -1;
  const int64_t target = base + Offset;
  return target < 0 ? -1 : target;
}

}  // namespace

// ---------------------------------------------------------------- TStream

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count <= 0) return;
  if (Read(Buffer, Count) != Count) throw EInOutError("Stream read error" + ErrorContext());
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count <= 0) return;
  if (Write(Buffer, Count) != Count) throw EInOutError("Stream write error" + ErrorContext());
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (Source == nullptr) return 0;
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  if (Count <= 0) return 0;
  constexpr int64_t kChunk = 1 << 16;
  std::vector<uint8_t> buf(static_cast<std::size_t>(std::min(Count, kChunk)));
  int64_t left = Count;
  while (left > 0) {
    const int64_t n = std::min(left, kChunk);
    Source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return Count;
}

// ---------------------------------------------------------------- TMemoryStream

TMemoryStream::TMemoryStream() = default;
TMemoryStream::~TMemoryStream() = default;

bool TMemoryStream::Reserve(std::size_t NewSize) {
  try {
    FData.resize(NewSize);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || Buffer == nullptr) return 0;
  const int64_t avail = Size() - FPosition;
  if (avail <= 0) return 0;
  const int64_t n = std::min(Count, avail);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || Buffer == nullptr) return 0;
  if (FPosition > INT64_MAX - Count) throw EInOutError("Out of memory while expanding memory stream");
  const int64_t end = FPosition + Count;
  const auto* src = static_cast<const uint8_t*>(Buffer);
  if (end > Size()) {
    // Bytes of this stream written back into it must survive the reallocation.
    const auto at = reinterpret_cast<uintptr_t>(src);
    const auto base = reinterpret_cast<uintptr_t>(FData.data());
    const bool inside = !FData.empty() && at >= base && at < base + FData.size();
    const std::size_t offset = inside ? static_cast<std::size_t>(at - base) : 0;
    if (static_cast<uint64_t>(end) > SIZE_MAX || !Reserve(static_cast<std::size_t>(end)))
      throw EInOutError("Out of memory while expanding memory stream");
    if (inside) src = FData.data() + offset;
  }
  std::memmove(FData.data() + FPosition, src, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int64_t target = SeekTarget(Offset, Origin, FPosition, Size());
  if (target < 0) return -1;
  FPosition = target;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  if (static_cast<uint64_t>(NewSize) > SIZE_MAX || !Reserve(static_cast<std::size_t>(NewSize)))
    throw EInOutError("Out of memory while expanding memory stream");
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  std::vector<uint8_t>().swap(FData);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  if (Stream == nullptr) return;
  TMemoryStream fresh;
  fresh.CopyFrom(Stream, 0);
  FData.swap(fresh.FData);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream) const {
  if (Stream == nullptr) return;
  Stream->WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
  file.Flush();
}

// ---------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
  const char* how = "rb";
  switch (Mode) {
    case fmOpenRead:
      how = "rb";
      break;
    case fmOpenWrite:
    case fmOpenReadWrite:
      how = "r+b";
      break;
    case fmCreate:
      how = "w+b";
      break;
  }
  const char* verb = Mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"";
  errno = 0;
  FFile = std::fopen(FileName.c_str(), how);
  if (FFile == nullptr) {
    const int err = errno != 0 ? errno : ENOENT;
    throw EInOutError(verb + FileName + "\": " + Reason(err));
  }
  const int64_t size = RegularFileSize(FFile);
  if (size < 0) {
    const int err = errno;
    std::fclose(FFile);
    FFile = nullptr;
    throw EInOutError(verb + FileName + "\": " + Reason(err));
  }
  FSize = size;
  FWritable = Mode != fmOpenRead;
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

std::string TFileStream::ErrorContext() const { return " on file \"" + FFileName + "\""; }

void TFileStream::RaiseIOError(const char* What, int Err) const {
  throw EInOutError(std::string(What) + " error on file \"" + FFileName + "\": " + Reason(Err));
}

void TFileStream::SyncFor(bool Writing) {
  // The C library needs a positioning call between reading and writing.
  const int op = Writing ? 2 : 1;
  if (FLastOp != 0 && FLastOp != op) {
    if (SeekFile(FFile, FPosition) != 0) RaiseIOError(Writing ? "Write" : "Read", errno);
  }
  FLastOp = op;
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || Buffer == nullptr || FPosition >= FSize) return 0;
  SyncFor(false);
  const int64_t want = std::min(Count, FSize - FPosition);
  errno = 0;
  const std::size_t got = std::fread(Buffer, 1, static_cast<std::size_t>(want), FFile);
  if (got < static_cast<std::size_t>(want) && std::ferror(FFile)) {
    const int err = errno != 0 ? errno : EIO;
    std::clearerr(FFile);
    FLastOp = 0;
    SeekFile(FFile, FPosition);
    RaiseIOError("Read", err);
  }
  FPosition += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || Buffer == nullptr || !FWritable) return 0;
  SyncFor(true);
  errno = 0;
  const std::size_t put = std::fwrite(Buffer, 1, static_cast<std::size_t>(Count), FFile);
  FPosition += static_cast<int64_t>(put);
  FSize = std::max(FSize, FPosition);
  if (put < static_cast<std::size_t>(Count)) {
    const int err = errno != 0 ? errno : EIO;
    std::clearerr(FFile);
    RaiseIOError("Write", err);
  }
  return Count;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int64_t target = SeekTarget(Offset, Origin, FPosition, FSize);
  if (target < 0) return -1;
  if (SeekFile(FFile, target) != 0) return -1;
  FLastOp = 0;
  FPosition = target;
  return FPosition;
}

void TFileStream::SetSize(int64_t NewSize) {
  if (!FWritable) throw EInOutError("Cannot resize file \"" + FFileName + "\" opened for reading");
  if (NewSize < 0) NewSize = 0;
  Flush();
  if (TruncateFile(FFile, NewSize) != 0) RaiseIOError("Write", errno);
  FSize = NewSize;
  if (FPosition > NewSize) FPosition = NewSize;
  SeekFile(FFile, FPosition);
  FLastOp = 0;
}

void TFileStream::Flush() {
  if (!FWritable) return;
  if (std::fflush(FFile) != 0) {
    const int err = errno != 0 ? errno : EIO;
    std::clearerr(FFile);
    RaiseIOError("Write", err);
  }
}

}  // namespace nuv
