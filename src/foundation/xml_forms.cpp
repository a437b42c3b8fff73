// The read forms of the XML layer: a whole file, an open text file and a
// stream, each turning every fault into a false result with its place.
#include <new>

#include "foundation/exceptions.h"
#include "foundation/load_rules.h"
#include "foundation/streams.h"
#include "foundation/textfile.h"
#include "foundation/xml.h"

namespace nuv {

namespace {

class TTextFileSource : public TXmlBlockSource {
 public:
  explicit TTextFileSource(TTextReader& R) : FR(R) {}
  bool NextBlock(const char*& First, const char*& Last) override {
    return FR.NextBlock(First, Last);
  }
  void PutBack(std::size_t Count) override { FR.PutBack(Count); }

 private:
  TTextReader& FR;
};

/// Any stream read in blocks; what the reader leaves is given back by seeking.
class TStreamSource : public TXmlBlockSource {
 public:
  explicit TStreamSource(TStream& S) : FS(S) {}
  bool NextBlock(const char*& First, const char*& Last) override {
    FBuf.resize(std::size_t{1} << 16);
    const int64_t got = FS.Read(FBuf.data(), static_cast<int64_t>(FBuf.size()));
    if (got <= 0) return false;
    First = FBuf.data();
    Last = First + got;
    return true;
  }
  void PutBack(std::size_t Count) override {
    FS.Seek(-static_cast<int64_t>(Count), soFromCurrent);
  }

 private:
  TStream& FS;
  std::vector<char> FBuf;
};

void SetInfo(TXmlReadInfo* Info, int32_t Line, int32_t Column, const std::string& Text) {
  if (Info == nullptr) return;
  Info->ErrorLine = Line;
  Info->ErrorColumn = Column;
  Info->ErrorText = Text;
}

/// Runs a read; true when it found no fault.
bool Run(TXmlReader& R, bool WholeDocument, TXmlReadInfo* Info,
         TXmlReadFunction Read) {
  SetInfo(Info, 0, 0, std::string());
  try {
    if (WholeDocument) R.SetWholeDocument();
    R.Prolog();
    Read(R);
    if (WholeDocument) R.FinishDocument();
    return true;
  } catch (const EXmlReadError& e) {
    SetInfo(Info, e.Line(), e.Column(), e.what());
  } catch (const std::bad_alloc&) {
    SetInfo(Info, 0, 0, "not enough memory");
  } catch (const std::length_error&) {
    SetInfo(Info, 0, 0, "not enough memory");
  } catch (const std::exception& e) {
    // Device errors of the stream, and a unit's own "not enough memory".
    SetInfo(Info, 0, 0, e.what());
  }
  return false;
}

}  // namespace

bool LoadXmlFile(const std::string& FileName, TXmlReadInfo* Info,
                 TXmlReadFunction Read) {
  try {
    TTextReader file;
    if (!file.Open(FileName)) {
      SetInfo(Info, 0, 0, "cannot open the file");
      return false;
    }
    TTextFileSource source(file);
    TXmlReader reader(source, KnownFileSize(FileName));
    if (!Run(reader, true, Info, Read)) return false;
    if (file.Failed()) {
      SetInfo(Info, 0, 0, "cannot read the file");
      return false;
    }
    return true;
  } catch (const std::exception&) {
    SetInfo(Info, 0, 0, "not enough memory");
    return false;
  }
}

bool ReadXmlString(const std::string& Text, TXmlReadInfo* Info,
                   TXmlReadFunction Read) {
  TXmlReader reader(Text.data(), Text.size());
  return Run(reader, true, Info, Read);
}

bool ReadXmlText(TTextReader* InFile, bool FromCurrentPos, TXmlReadInfo* Info,
                 TXmlReadFunction Read) {
  if (InFile == nullptr || !InFile->IsOpen()) {
    SetInfo(Info, 0, 0, "no open file");
    return false;
  }
  if (!FromCurrentPos) InFile->Rewind();
  const int64_t start = InFile->Position();
  TTextFileSource source(*InFile);
  TXmlReader reader(source, -1);
  if (Run(reader, false, Info, Read)) {
    reader.ReturnUnused();
    return true;
  }
  InFile->Seek(start);
  return false;
}

bool ReadXmlStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info,
                   TXmlReadFunction Read) {
  if (InStream == nullptr) {
    SetInfo(Info, 0, 0, "no stream");
    return false;
  }
  if (!FromCurrentPos) InStream->Seek(0, soFromBeginning);
  const int64_t start = InStream->Position();
  const int64_t left = BytesLeft(InStream);
  // A memory stream is read in place.
  if (auto* mem = dynamic_cast<TMemoryStream*>(InStream)) {
    const char* data = left > 0 ? reinterpret_cast<const char*>(mem->Memory()) + start : "";
    TXmlReader reader(data, static_cast<std::size_t>(left));
    if (!Run(reader, false, Info, Read)) return false;
    mem->Seek(start + reader.Consumed(), soFromBeginning);
    return true;
  }
  try {
    TStreamSource source(*InStream);
    TXmlReader reader(source, left);
    if (Run(reader, false, Info, Read)) {
      reader.ReturnUnused();
      return true;
    }
  } catch (const std::exception& e) {
    SetInfo(Info, 0, 0, e.what());
  }
  InStream->Seek(start, soFromBeginning);
  return false;
}

}  // namespace nuv
