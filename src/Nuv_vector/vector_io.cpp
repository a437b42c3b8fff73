// Binary stream records and text files of both vector classes. The record is
// the first index, the last index and the elements, each one field of the
// element's codec: a 10-byte extended value for TVector, a 32-bit integer for
// TIntVector.
#include <algorithm>
#include <cmath>
#include <memory>

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

// Fields per stream read or write: one call per block instead of per field.
constexpr int64_t kFieldBlock = 1024;

// Writes the record block by block (the only allocation is the stream's own).
template <class Codec, class T>
void WriteRecord(TStream* Out, const T* Elems, int32_t First, int32_t Last) {
  uint8_t buf[kFieldBlock * Codec::kBytes];
  Codec::Encode(static_cast<T>(First), buf);
  Codec::Encode(static_cast<T>(Last), buf + Codec::kBytes);
  int64_t used = 2;
  for (int32_t i = First; i <= Last; ++i) {
    if (used == kFieldBlock) {
      Out->WriteBuffer(buf, used * Codec::kBytes);
      used = 0;
    }
    Codec::Encode(Elems[i - 1], buf + used * Codec::kBytes);
    ++used;
  }
  Out->WriteBuffer(buf, used * Codec::kBytes);
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

// Values read for consecutive indices, some of which may be unreadable (they
// leave their elements as they are). The flags are kept only once a value
// fails, so sound input costs nothing for them.
template <class T>
class TReadValues {
 public:
  bool Reserve(int64_t Claimed, int64_t ItemBytes, int64_t Available) {
    return FValues.Reserve(Claimed, ItemBytes, Available);
  }
  bool Append(const T& Value, bool Readable) {
    if (!Readable && FReadable.Count() == 0) {
      if (!FReadable.Reserve(FValues.Count() + 1, 1, -1)) return false;
      for (int64_t k = 0; k < FValues.Count(); ++k)
        if (!FReadable.Append(1)) return false;
    }
    if (FReadable.Count() > 0 || !Readable)
      if (!FReadable.Append(Readable ? 1 : 0)) return false;
    return FValues.Append(Value);
  }
  int64_t Count() const { return FValues.Count(); }
  bool Readable(int64_t k) const { return FReadable.Count() == 0 || FReadable[k] != 0; }
  const T& operator[](int64_t k) const { return FValues[k]; }

 private:
  TLoadBuffer<T> FValues;
  TLoadBuffer<uint8_t> FReadable;
};

// Elements a load adds to a vector of OldSize elements, growing it to
// NewSize, that none of the Read values for First, First + 1, ... fills.
int64_t UnfilledGrowth(int32_t OldSize, int32_t NewSize, int64_t First, int64_t Read) {
  if (NewSize <= OldSize) return 0;
  const int64_t lo = std::max<int64_t>(First, int64_t{OldSize} + 1);
  const int64_t hi = std::min<int64_t>(First + Read - 1, NewSize);
  const int64_t filled = hi >= lo ? hi - lo + 1 : 0;
  return int64_t{NewSize} - OldSize - filled;
}

// The commit of a load, after everything has been read: the only allocation
// comes first, so that running out of memory (Resize raises before anything
// has changed) gives false with the vector as it was; then the values go in
// through SetVal, indices outside the vector skipped, and OnChange fires.
// Exceptions from the application's change handlers pass.
template <class Vec, class T>
bool CommitValues(Vec& V, int32_t Size, int64_t First, const TReadValues<T>& Values) {
  const int32_t old = V.NrOfElem();
  if (Size != old) {
    try {
      V.Resize(Size);
    } catch (const ENUVVectorError&) {
      if (V.NrOfElem() == old) return false;
      throw;
    }
  }
  const int64_t lo = std::max<int64_t>(First, 1);
  const int64_t hi = std::min<int64_t>(First + Values.Count() - 1, Size);
  for (int64_t i = lo; i <= hi; ++i)
    if (Values.Readable(i - First)) V.SetVal(static_cast<int32_t>(i), Values[i - First]);
  V.Changed();
  return true;
}

// What a loader read: the size the vector is to take, the first index and the
// values; Announce when a sound input does not fit a vector that may not grow.
template <class T>
struct TVectorLoad {
  int32_t Size = 0;
  int64_t First = 1;
  TReadValues<T> Values;
  bool Announce = false;
};

// The reading phase returned false: a sound input that does not fit still
// fires OnChange, as the class's rule says.
template <class Vec, class T>
bool Refused(Vec& V, const TVectorLoad<T>& L) {
  if (L.Announce) V.Changed();
  return false;
}

// The record loader shared by both classes. The values are read into scratch
// storage first, so a short or unreadable record leaves the vector as it was.
template <class Codec, class Vec>
bool LoadVectorRecord(Vec& V, TStream* In, bool AdjustVectorSize) {
  using T = typename Vec::ElemType;
  if (In == nullptr) return false;
  TVectorLoad<T> load;
  const bool read = LoadWithoutRaising([&] {
    uint8_t field[Codec::kBytes];
    int32_t first = 0, last = 0;
    for (int32_t* index : {&first, &last}) {
      if (In->Read(field, Codec::kBytes) != Codec::kBytes) return false;
      if (!IndexFromField(Codec::Decode(field), *index)) return false;
    }
    const int64_t count = int64_t{last} - first + 1;
    // The allocation rule: the values must be in the stream, and the vector
    // grows beyond them only within the allowance.
    if (!InputCanFill(count, Codec::kBytes, BytesLeft(In))) return false;
    load.Size = AdjustVectorSize && last > 0 ? last : V.NrOfElem();
    load.First = first;
    if (!WithinUnfilledAllowance(
            UnfilledGrowth(V.NrOfElem(), load.Size, first, std::max<int64_t>(count, 0)), sizeof(T)))
      return false;
    if (load.Size < last) {
      load.Announce = true;  // nothing is read
      return false;
    }
    if (!load.Values.Reserve(count, Codec::kBytes, BytesLeft(In))) return false;
    uint8_t block[kFieldBlock * Codec::kBytes];
    for (int64_t done = 0; done < count;) {
      const int64_t n = std::min(kFieldBlock, count - done);
      if (In->Read(block, n * Codec::kBytes) != n * Codec::kBytes) return false;
      for (int64_t k = 0; k < n; ++k)
        if (!load.Values.Append(static_cast<T>(Codec::Decode(block + k * Codec::kBytes)), true))
          return false;
      done += n;
    }
    return true;
  });
  if (!read) return Refused(V, load);
  return CommitValues(V, load.Size, load.First, load.Values);
}

template <class Vec>
bool LoadVectorText(Vec& V, const std::string& FileName, bool AdjustVectorSize) {
  using T = typename Vec::ElemType;
  TVectorLoad<T> load;
  const bool read = LoadWithoutRaising([&] {
    TTextReader in;
    if (!in.Open(FileName)) return false;
    int32_t first = 0, last = 0;
    if (!in.ReadInt32(first) || !in.ReadInt32(last)) return false;
    load.Size = AdjustVectorSize && last > 0 ? last : V.NrOfElem();
    load.First = first;
    if (load.Size < last) {
      load.Announce = true;  // too small and not to be resized: nothing is read
      return false;
    }
    // A value takes at least one character and a separator; the scratch
    // storage grows with the values actually read, whatever the header says.
    const int64_t count = int64_t{last} - first + 1;
    const int64_t fileSize = KnownFileSize(FileName);
    if (!load.Values.Reserve(count, 2, fileSize < 0 ? -1 : fileSize - in.Position() + 1))
      return false;
    for (int64_t k = 0; k < count && !in.SeekEof(); ++k) {
      T value{};
      const bool readable = ReadElement(in, value);
      if (!load.Values.Append(value, readable)) return false;
    }
    // A device error (or no memory for a long word) is no end of the file.
    if (in.Failed()) return false;
    // The vector grows only as far as the values read fill it (and the allowance).
    return WithinUnfilledAllowance(
        UnfilledGrowth(V.NrOfElem(), load.Size, first, load.Values.Count()), sizeof(T));
  });
  if (!read) return Refused(V, load);
  return CommitValues(V, load.Size, load.First, load.Values);
}

// Clipping of the file writers: exchange a reversed range, then clip each end; no "all" rule.
void ClipFileRange(int32_t& First, int32_t& Last, int32_t NumElems) {
  if (Last < First) std::swap(First, Last);
  if (First < 1) First = 1;
  if (Last > NumElems) Last = NumElems;
}

template <class Format>
bool StoreVectorText(int32_t First, int32_t Last, const std::string& FileName, Format&& Fmt) {
  std::unique_ptr<TTextWriter> out;
  try {
    out = std::make_unique<TTextWriter>(FileName);
  } catch (const std::exception&) {
    return false;  // not created, or no memory for the writer
  }
  // Once the file exists the result is true; a write error (or running out of
  // memory) ends the writing quietly.
  try {
    out->WriteLine(std::to_string(First) + " " + std::to_string(Last));
    for (int32_t i = First; i <= Last; ++i) out->WriteLine(Fmt(i));
    out->Close();
  } catch (const std::exception&) {
  }
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
  TReadValues<double> values;
  const bool read = LoadWithoutRaising([&] {
    TTextReader in;
    if (!in.Open(FileName)) return false;
    // Element k is the number that starts the k-th line holding a digit, so
    // comment and blank lines between the values do not shift them. One pass
    // reads them into scratch storage that grows with them.
    std::string line;
    while (values.Count() < INT32_MAX && in.ReadLine(line)) {
      if (line.empty() || !StringContains(line, "//dig")) continue;
      const size_t start = line.find_first_not_of(" \t");
      const size_t stop = line.find_first_of(" \t;,", start);
      double value = 0.0;
      const bool readable =
          TextToDouble(std::string_view(line).substr(start, stop - start), value);
      if (!values.Append(value, readable)) return false;
    }
    return !in.Failed();
  });
  if (!read) return false;
  // A count of 0 is no size: the vector keeps its own.
  const auto count = static_cast<int32_t>(values.Count());
  return CommitValues(*this, AdjustVectorSize && count > 0 ? count : FNElem, 1, values);
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
