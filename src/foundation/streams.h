// The platform's byte streams: TStream, TMemoryStream and TFileStream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/component.h"
#include "foundation/nuv_export.h"

namespace nuv {

enum TSeekOrigin : uint8_t { soFromBeginning, soFromCurrent, soFromEnd };

/// How TFileStream opens its file: fmCreate creates it (an existing file is
/// emptied) for reading and writing; the others open an existing file.
enum TFileMode : uint8_t { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

/// A sequence of bytes with a position. A position beyond the end is allowed;
/// writing there extends the stream (a memory stream fills the gap with zeros).
class NUV_API TStream : public TObject {
 public:
  /// Copies up to Count bytes from the position into Buffer and advances;
  /// returns the number of bytes read (less than Count at the end, 0 for Count <= 0).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  /// Writes Count bytes at the position and advances; returns the bytes written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  /// Moves the position and returns the new one. A target before the start
  /// leaves the position unchanged and returns -1.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual int64_t Position() const = 0;
  void SetPosition(int64_t Pos) { Seek(Pos, soFromBeginning); }
  virtual int64_t Size() const = 0;
  /// Truncates or extends the stream; the position is kept but clipped to the new size.
  virtual void SetSize(int64_t NewSize) = 0;

  /// Reads exactly Count bytes or raises EInOutError "Stream read error" (with
  /// the file name for file streams).
  void ReadBuffer(void* Buffer, int64_t Count);
  /// Writes exactly Count bytes or raises EInOutError "Stream write error".
  void WriteBuffer(const void* Buffer, int64_t Count);
  /// Copies Count bytes from Source's position into this stream; Count = 0
  /// copies all of Source from its start. Raises EInOutError when Source ends
  /// early. Returns the bytes copied.
  int64_t CopyFrom(TStream* Source, int64_t Count);

 protected:
  /// Appended to read and write error messages ("" or " on file \"name\"").
  virtual std::string ErrorContext() const { return std::string(); }
};

/// A stream over a growable buffer in memory.
class NUV_API TMemoryStream : public TStream {
 public:
  TMemoryStream();
  ~TMemoryStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  /// Raises EInOutError "Out of memory while expanding memory stream" when the
  /// buffer cannot grow; the stream is then unchanged.
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Position() const override { return FPosition; }
  int64_t Size() const override { return static_cast<int64_t>(FData.size()); }
  /// New bytes are zero. Raises like Write when memory is short.
  void SetSize(int64_t NewSize) override;

  /// The Size() bytes of the stream (nullptr may be returned for an empty one).
  uint8_t* Memory() { return FData.data(); }
  const uint8_t* Memory() const { return FData.data(); }
  /// Empties the stream and sets the position to 0.
  void Clear();

  /// Replaces the content by the whole of Stream (from its start); position 0.
  /// Raises EInOutError when Stream cannot be read; this stream is then unchanged.
  void LoadFromStream(TStream* Stream);
  /// Writes the whole content (not only from the position) to Stream.
  void SaveToStream(TStream* Stream) const;
  /// Replaces the content by the file's bytes; position 0. Raises EInOutError
  /// when the file cannot be opened or read; the stream is then unchanged.
  void LoadFromFile(const std::string& FileName);
  /// Writes the whole content to a new file. Raises EInOutError on failure.
  void SaveToFile(const std::string& FileName) const;

 private:
  bool Reserve(std::size_t NewSize);
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

/// A buffered stream over a file.
class NUV_API TFileStream : public TStream {
 public:
  /// Opens or creates FileName. Raises EInOutError
  /// "Cannot create file \"<name>\": <reason>" or "Cannot open file \"<name>\": <reason>".
  TFileStream(const std::string& FileName, TFileMode Mode);
  /// Closes the file; a failure to write the last buffered bytes is lost
  /// here, so writers that must know call Flush first.
  ~TFileStream() override;

  /// Raises EInOutError "Read error on file \"<name>\": <reason>" on a device error.
  int64_t Read(void* Buffer, int64_t Count) override;
  /// Returns 0 on a stream opened with fmOpenRead. Raises EInOutError
  /// "Write error on file \"<name>\": <reason>" on a device error.
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Position() const override { return FPosition; }
  int64_t Size() const override { return FSize; }
  /// Raises EInOutError on failure or on a stream opened with fmOpenRead.
  void SetSize(int64_t NewSize) override;

  /// Writes buffered bytes to the file; raises EInOutError on failure.
  void Flush();
  const std::string& FileName() const { return FFileName; }

 protected:
  std::string ErrorContext() const override;

 private:
  [[noreturn]] void RaiseIOError(const char* What, int Err) const;
  void SyncFor(bool Writing);

  std::string FFileName;
  std::FILE* FFile = nullptr;
  bool FWritable = false;
  int FLastOp = 0;  // 0 none or after a seek, 1 read, 2 write
  int64_t FPosition = 0;
  int64_t FSize = 0;
};

}  // namespace nuv
