// Buffered text files: TTextReader reads lines and numbers, TTextWriter
// writes text with CRLF line ends. Both are locale-free.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/component.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Reads a text file through a large buffer. Lines may end with CRLF, LF or
/// CR. The number readers skip blanks, tabs and line ends before a number, as
/// Pascal's Read does, and stop right after it.
class NUV_API TTextReader : public TObject {
 public:
  TTextReader();
  /// Opens FileName; IsOpen() tells whether that worked.
  explicit TTextReader(const std::string& FileName);
  ~TTextReader() override;

  /// Opens FileName for reading (closing any file open before); false when it
  /// cannot be opened. Raises nothing.
  bool Open(const std::string& FileName);
  void Close();
  bool IsOpen() const { return FFile != nullptr; }
  /// Goes back to the start of the file; false when none is open.
  bool Rewind();

  /// True when no character is left (also when no file is open).
  bool Eof();
  /// Skips blanks, tabs and line ends, then tells whether the end is reached.
  bool SeekEof();
  /// True when a read failed on the device (the reader then acts as at the end).
  bool Failed() const { return FFailed; }
  /// Bytes of the file consumed so far (read and not merely buffered).
  int64_t Position() const { return FRead - static_cast<int64_t>(FEnd - FPos); }

  /// The next line without its line end; false (Line emptied) at the end.
  bool ReadLine(std::string& Line);
  /// Skips the rest of the current line and its line end; false at the end.
  bool SkipLine();
  /// The next character, line ends included as they are; false at the end.
  bool ReadChar(char& c);
  /// The next whitespace-delimited word parsed as a double (see TextToDouble).
  /// False at the end of the file, or when the word is not a number: the word
  /// is consumed all the same and Value keeps its value.
  bool ReadDouble(double& Value);
  /// As ReadDouble for a decimal 32-bit integer.
  bool ReadInt32(int32_t& Value);

  /// For readers that scan bytes themselves: all buffered bytes (reading
  /// more when none are), consumed at once; false at the end.
  bool NextBlock(const char*& First, const char*& Last);
  /// Gives back the last Count bytes of the last block (Count no larger
  /// than that block), which the next read returns again.
  void PutBack(std::size_t Count);
  /// Continues reading at byte Pos of the file; false (nothing changed) when
  /// the file cannot seek, as a pipe cannot.
  bool Seek(int64_t Pos);

 private:
  /// Keeps the unread bytes and appends more from the file; false when none came.
  bool Fill();
  /// Makes at least one byte available; false at the end.
  bool Available() { return FPos < FEnd || Fill(); }
  bool SkipBlanks();
  /// Reads up to and past the next line end, appending the line to Line when given.
  bool NextLine(std::string* Line);
  /// The next word, which stays in the buffer until the next read.
  bool NextWord(const char*& First, const char*& Last);

  std::FILE* FFile = nullptr;
  std::vector<char> FBuf;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  int64_t FRead = 0;  ///< bytes taken from the file since it was opened or rewound
  bool FAtEnd = false;
  bool FFailed = false;
};

/// Writes a new text file through a buffer. Errors raise EInOutError naming
/// the file: "Cannot create file \"<name>\": <reason>" and
/// "Write error on file \"<name>\": <reason>".
class NUV_API TTextWriter : public TObject {
 public:
  /// Creates FileName (an existing file is replaced).
  explicit TTextWriter(const std::string& FileName);
  /// Closes the file if still open; a write error at this point is lost, so
  /// writers that must know call Close.
  ~TTextWriter() override;

  void Write(std::string_view Text);
  void Write(char c);
  /// Text followed by CR LF.
  void WriteLine(std::string_view Text = std::string_view());
  /// Writes the buffer to the file.
  void Flush();
  /// Flushes and closes; raises on a failure. Later writes are ignored.
  void Close();
  const std::string& FileName() const { return FFileName; }

 private:
  [[noreturn]] void RaiseWriteError(int Err);
  std::string FFileName;
  std::FILE* FFile = nullptr;
  std::string FBuf;
};

}  // namespace nuv
