// Binary stream records and text files of both vector classes. The record is
// the first index, the last index and the elements, each one field of the
// element's codec: a 10-byte extended value for TVector, a 32-bit integer for
// TIntVector.
#include <cmath>
#include <filesystem>
#include <system_error>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"

namespace nuv {

namespace {

struct ExtendedCodec {
  static constexpr int64_t kBytes = X87ByteCount;
  static void Encode(double v, uint8_t* out) { ExtendedToX87Bytes(static_cast<Extended>(v), out); }
  static Extended Decode(const uint8_t* in) { return X87BytesToExtended(in); }
};

struct LongintCodec {
  static constexpr int64_t kBytes = 4;
  static void Encode(int32_t v, uint8_t* out) {
    const auto u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) out[k] = static_cast<uint8_t>(u >> (8 * k));
  }
  static int32_t Decode(const uint8_t* in) {
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(in[k]) << (8 * k);
    return static_cast<int32_t>(u);
  }
};

// Writes the record in blocks, one stream write per block instead of per field.
template <class Codec, class T>
void WriteRecord(TStream* Out, const T* Elems, int32_t First, int32_t Last) {
  constexpr int64_t kBlock = 4096;
  std::vector<uint8_t> buf(static_cast<size_t>(kBlock * Codec::kBytes));
  Codec::Encode(static_cast<T>(First), buf.data());
  Codec::Encode(static_cast<T>(Last), buf.data() + Codec::kBytes);
  int64_t used = 2;
  for (int32_t i = First; i <= Last; ++i) {
    if (used == kBlock) {
      Out->WriteBuffer(buf.data(), used * Codec::kBytes);
      used = 0;
    }
    Codec::Encode(Elems[i - 1], buf.data() + used * Codec::kBytes);
    ++used;
  }
  Out->WriteBuffer(buf.data(), used * Codec::kBytes);
}

// An index field of a record as an element index; false for values that cannot be one.
bool IndexFromField(Extended v, int32_t& Index) {
  const Extended r = std::nearbyint(v);
  if (!(r >= -2147483648.0L && r <= 2147483647.0L)) return false;
  Index = static_cast<int32_t>(r);
  return true;
}
bool IndexFromField(int32_t v, int32_t& Index) {
  Index = v;
  return true;
}

int64_t Remaining(TStream* S) { return S->Size() - S->Position(); }

// Bytes a text file needs at least for Count values: one digit and a separator each.
bool TextCanHold(const std::string& FileName, int64_t Count) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(FileName, ec);
  if (ec) return true;  // cannot tell: let the reading decide
  return Count <= 0 || static_cast<uint64_t>(Count) * 2 - 1 <= size;
}

// A decimal number read as a double and rounded (halves to even) into an integer element.
bool ReadElement(TTextReader& In, double& Value) { return In.ReadDouble(Value); }
bool ReadElement(TTextReader& In, int32_t& Value) {
  double d;
  if (!In.ReadDouble(d)) return false;
  const double r = std::nearbyint(d);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
  Value = static_cast<int32_t>(r);
  return true;
}

// The record loader shared by both classes; see the design notes for the size guard.
template <class Codec, class Vec>
bool LoadVectorRecord(Vec& V, TStream* In, bool AdjustVectorSize) {
  using T = typename Vec::ElemType;
  if (In == nullptr) return false;
  uint8_t field[Codec::kBytes];
  int32_t first = 0, last = 0;
  for (int32_t* index : {&first, &last}) {
    if (In->Read(field, Codec::kBytes) != Codec::kBytes) return false;
    if (!IndexFromField(Codec::Decode(field), *index)) return false;
  }
  const int64_t count = static_cast<int64_t>(last) - first + 1;
  // A header that claims more values than the stream holds is refused before any resizing.
  if (AdjustVectorSize && count > 0 && Remaining(In) < count * Codec::kBytes) return false;
  if (AdjustVectorSize) V.Resize(last);
  bool result = V.NrOfElem() >= last;
  if (result) {
    for (int64_t i = first; i <= last; ++i) {
      if (In->Read(field, Codec::kBytes) != Codec::kBytes) {
        result = false;  // every further field is missing as well
        break;
      }
      V.SetVal(static_cast<int32_t>(i), static_cast<T>(Codec::Decode(field)));
    }
  }
  V.Changed();
  return result;
}

template <class Vec>
bool LoadVectorText(Vec& V, const std::string& FileName, bool AdjustVectorSize) {
  using T = typename Vec::ElemType;
  TTextReader in;
  if (!in.Open(FileName)) return false;
  int32_t first = 0, last = 0;
  if (!in.ReadInt32(first) || !in.ReadInt32(last)) return false;
  const int64_t count = static_cast<int64_t>(last) - first + 1;
  if (AdjustVectorSize && !TextCanHold(FileName, count)) return false;
  if (AdjustVectorSize) V.Resize(last);
  const bool result = V.NrOfElem() >= last;
  if (result) {
    for (int64_t i = first; i <= last && !in.SeekEof(); ++i) {
      T value;
      if (ReadElement(in, value)) V.SetVal(static_cast<int32_t>(i), value);
    }
  }
  in.Close();
  V.Changed();
  return result;
}

// Clipping of the file writers: exchange a reversed range, then clip each end; no "all" rule.
void ClipFileRange(int32_t& First, int32_t& Last, int32_t NumElems) {
  if (Last < First) std::swap(First, Last);
  if (First < 1) First = 1;
  if (Last > NumElems) Last = NumElems;
}

template <class Format>
bool StoreVectorText(int32_t First, int32_t Last, const std::string& FileName, Format&& Fmt) {
  TTextWriter* out = nullptr;
  try {
    out = new TTextWriter(FileName);
  } catch (const EInOutError&) {
    return false;
  }
  // Once the file exists the result is true; a write error ends the writing quietly.
  try {
    out->WriteLine(std::to_string(First) + " " + std::to_string(Last));
    for (int32_t i = First; i <= Last; ++i) out->WriteLine(Fmt(i));
    out->Close();
  } catch (const EInOutError&) {
  }
  delete out;
  return true;
}

}  // namespace

// --- TVector ----------------------------------------------------------------

void TVector::SaveToStreamImpl(TStream* OutStream, int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  WriteRecord<ExtendedCodec>(OutStream, FVec.data(), LowElem, HighElem);
}

void TVector::SaveToStream(TMemoryStream*& OutStream, int32_t LowElem, int32_t HighElem) const {
  if (OutStream == nullptr) OutStream = new TMemoryStream();
  SaveToStreamImpl(OutStream, LowElem, HighElem);
}

void TVector::SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const {
  if (OutStream != nullptr) SaveToStreamImpl(OutStream, LowElem, HighElem);
}

bool TVector::LoadFromStreamImpl(TStream* InStream, bool AdjustVectorSize) {
  return LoadVectorRecord<ExtendedCodec>(*this, InStream, AdjustVectorSize);
}

bool TVector::LoadFromStream(TMemoryStream* InStream, bool AdjustVectorSize) {
  return LoadFromStreamImpl(InStream, AdjustVectorSize);
}

bool TVector::LoadFromStream(TFileStream* InStream, bool AdjustVectorSize) {
  return LoadFromStreamImpl(InStream, AdjustVectorSize);
}

bool TVector::StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                          const std::string& FileName) const {
  if (Precision < -2) Precision = 2;
  if (Precision > 20) Precision = 20;
  ClipFileRange(FirstElem, LastElem, FNElem);
  const double* p = FVec.data();
  if (Precision >= 0) {
    return StoreVectorText(FirstElem, LastElem, FileName,
                           [&](int32_t i) { return strff(p[i - 1], 1, Precision); });
  }
  // Scientific layout with four exponent digits in 13 or 26 characters.
  const int32_t width = Precision == -1 ? 13 : 26;
  return StoreVectorText(FirstElem, LastElem, FileName,
                         [&](int32_t i) { return strf(p[i - 1], width, -1); });
}

bool TVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize) {
  return LoadVectorText(*this, FileName, AdjustVectorSize);
}

bool TVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect) {
  if (!AutoDetect) return LoadFromFile(FileName, AdjustVectorSize);
  TTextReader in;
  if (!in.Open(FileName)) return false;
  int32_t count = 0;
  std::string line;
  while (in.ReadLine(line)) {
    if (!line.empty() && StringContains(line, "//dig") && count < INT32_MAX) ++count;
  }
  if (AdjustVectorSize) Resize(count);
  // Element k is the number on the k-th counted line, so comment and blank lines
  // between the values do not shift them.
  if (!in.Rewind()) return false;
  int32_t elem = 1;
  while (elem <= FNElem && in.ReadLine(line)) {
    if (line.empty() || !StringContains(line, "//dig")) continue;
    const size_t start = line.find_first_not_of(" \t");
    const size_t stop = line.find_first_of(" \t;,", start);
    double value;
    if (TextToDouble(std::string_view(line).substr(start, stop - start), value)) SetVal(elem, value);
    ++elem;
  }
  in.Close();
  Changed();
  return true;
}

// --- TIntVector -------------------------------------------------------------

void TIntVector::SaveToStreamImpl(TStream* OutStream, int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  WriteRecord<LongintCodec>(OutStream, FVec.data(), LowElem, HighElem);
}

void TIntVector::SaveToStream(TMemoryStream*& OutStream, int32_t LowElem,
                              int32_t HighElem) const {
  if (OutStream == nullptr) OutStream = new TMemoryStream();
  SaveToStreamImpl(OutStream, LowElem, HighElem);
}

void TIntVector::SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const {
  if (OutStream != nullptr) SaveToStreamImpl(OutStream, LowElem, HighElem);
}

bool TIntVector::LoadFromStreamImpl(TStream* InStream, bool AdjustVectorSize) {
  return LoadVectorRecord<LongintCodec>(*this, InStream, AdjustVectorSize);
}

bool TIntVector::LoadFromStream(TMemoryStream* InStream, bool AdjustVectorSize) {
  return LoadFromStreamImpl(InStream, AdjustVectorSize);
}

bool TIntVector::LoadFromStream(TFileStream* InStream, bool AdjustVectorSize) {
  return LoadFromStreamImpl(InStream, AdjustVectorSize);
}

bool TIntVector::StoreOnFile(int32_t FirstElem, int32_t LastElem,
                             const std::string& FileName) const {
  ClipFileRange(FirstElem, LastElem, FNElem);
  const int32_t* p = FVec.data();
  return StoreVectorText(FirstElem, LastElem, FileName,
                         [&](int32_t i) { return std::to_string(p[i - 1]); });
}

bool TIntVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize) {
  return LoadVectorText(*this, FileName, AdjustVectorSize);
}

}  // namespace nuv
