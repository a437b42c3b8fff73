// The binary file of TMat4D (docs/formats.md): a 4096-byte header record,
// then the elements as one little-endian sequence in buffer order, the last
// 4096-byte record padded with zeros. Element E of the sequence is at byte
// 4096 + 8 E, so a slot range or a layer is one contiguous read.
//
// Every claim of a header is checked against the file's size before anything
// is allocated or changed; readers read into work storage and only then touch
// the array.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "Nuv_matrix/array_dims.h"
#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/matrix_io_format.h"

namespace nuv {

namespace {

constexpr int64_t kRecordBytes = 4096;
constexpr int64_t kValuesPerRecord = 512;
/// Columns, rows, layers, slots, the identifier's length byte and 255 characters.
constexpr size_t kHeaderUsed = 272;
constexpr size_t kSlotsOffset = 12;
constexpr size_t kIdOffset = 16;
constexpr size_t kMaxIdLength = 255;
constexpr int64_t kChunk = int64_t{1} << 17;  // values per read or write

constexpr double kZeros[kValuesPerRecord] = {};

struct THeader {
  int32_t NX = 0, NY = 0, NZ = 0, NT = 0;
  std::string DataID;  ///< UTF-8
};

[[noreturn]] void RaiseReadBeyond(const std::string& FName) {
  throw EInOutError("Read beyond end of file \"" + FName + "\"");
}

[[noreturn]] void RaiseBadHeader(const std::string& FName) {
  throw EInOutError("Invalid 4-D array header in file \"" + FName + "\"");
}

/// a b, false when it does not fit in int64 (a, b >= 0).
bool MulFits(int64_t a, int64_t b, int64_t& Product) {
  if (b != 0 && a > std::numeric_limits<int64_t>::max() / b) return false;
  Product = a * b;
  return true;
}

/// Reads the significant bytes of the header record; false when the file is shorter.
bool ReadHeader(TFileStream& F, THeader& H) {
  uint8_t b[kHeaderUsed];
  F.Seek(0, soFromBeginning);
  if (F.Read(b, kHeaderUsed) != static_cast<int64_t>(kHeaderUsed)) return false;
  H.NX = static_cast<int32_t>(matio::GetU32(b));
  H.NY = static_cast<int32_t>(matio::GetU32(b + 4));
  H.NZ = static_cast<int32_t>(matio::GetU32(b + 8));
  H.NT = static_cast<int32_t>(matio::GetU32(b + kSlotsOffset));
  const size_t n = b[kIdOffset];
  H.DataID = Latin1ToUtf8(std::string_view(reinterpret_cast<const char*>(b + kIdOffset + 1), n));
  return true;
}

/// Elements per slot of a header whose columns, rows and layers are positive.
bool SlotElements(const THeader& H, int64_t& N) {
  if (H.NX <= 0 || H.NY <= 0 || H.NZ <= 0) return false;
  size_t n = 0;
  if (!detail::ElementCount({H.NX, H.NY, H.NZ}, n)) return false;
  N = static_cast<int64_t>(n);
  return true;
}

/// Whether the file holds the elements First..First + Count - 1.
bool Holds(const TFileStream& F, int64_t First, int64_t Count) {
  const int64_t avail = (F.Size() - kRecordBytes) / 8;
  return F.Size() >= kRecordBytes && First <= avail && Count <= avail - First;
}

/// Reads Count values at the file's position into Out, reporting progress.
template <class P>
void ReadValues(TFileStream& F, double* Out, int64_t Count, P& Progress) {
  for (int64_t done = 0; done < Count;) {
    const int64_t n = std::min(kChunk, Count - done);
    F.ReadBuffer(Out + done, n * 8);
    if (!matio::kHostLittleEndian) matio::SwapDoubles(Out + done, static_cast<size_t>(n));
    done += n;
    Progress.Done(n);
  }
}

/// Writes Count values at the file's position, then zeros up to the end of
/// the record in which the value number End (counted from the first data
/// value of the file) ends. Stops with EInOutError when a progress handler
/// changes the array being written.
template <class P>
void WriteValues(TFileStream& F, const double* In, int64_t Count, int64_t End, P& Progress) {
  std::vector<double> swapped;
  if (!matio::kHostLittleEndian) swapped.resize(static_cast<size_t>(std::min(kChunk, Count)));
  for (int64_t done = 0; done < Count;) {
    const int64_t n = std::min(kChunk, Count - done);
    const double* p = In + done;
    if (!matio::kHostLittleEndian) {
      std::memcpy(swapped.data(), p, static_cast<size_t>(n) * 8);
      matio::SwapDoubles(swapped.data(), static_cast<size_t>(n));
      p = swapped.data();
    }
    F.WriteBuffer(p, n * 8);
    done += n;
    if (!Progress.Done(n))
      throw EInOutError("Write error on file \"" + F.FileName() +
                        "\": the array was changed while it was written");
  }
  const int64_t pad = (kValuesPerRecord - End % kValuesPerRecord) % kValuesPerRecord;
  F.WriteBuffer(kZeros, pad * 8);
}

/// The slots of an array of NT slots that SaveBinary and AppendToBinaryFile
/// write: Start beyond NT raises; End is clipped to NT; a bound <= 0 means
/// all; a reversed range is exchanged.
void ArraySlotRange(const TComponent* Comp, int32_t NT, int32_t& Start, int32_t& End) {
  if (Start > NT) RaiseComponentError<ENUVMatrixError>(Comp, "specified time slot beyond data range");
  if (Start <= 0 || End <= 0) {
    Start = 1;
    End = NT;
    return;
  }
  if (End > NT) End = NT;
  if (End < Start) std::swap(Start, End);
}

/// The slots of a file of NT slots that LoadBinary and ReadBinary read: Start
/// beyond NT raises; a bound <= 0 means all; End is clipped to NT; a reversed
/// range is exchanged.
void FileSlotRange(const TComponent* Comp, int32_t NT, int32_t& Start, int32_t& End) {
  if (Start > NT) RaiseComponentError<ENUVMatrixError>(Comp, "specified time slot beyond data range");
  if (Start <= 0 || End <= 0) {
    Start = 1;
    End = NT;
  }
  End = std::min(End, NT);
  if (End < Start) std::swap(Start, End);
}

/// The 4096 bytes of a header record, unused bytes zero.
std::vector<uint8_t> HeaderRecord(int32_t NX, int32_t NY, int32_t NZ, int32_t NT,
                                  const std::string& DataID) {
  std::vector<uint8_t> rec(static_cast<size_t>(kRecordBytes), 0);
  matio::PutU32(rec.data(), static_cast<uint32_t>(NX));
  matio::PutU32(rec.data() + 4, static_cast<uint32_t>(NY));
  matio::PutU32(rec.data() + 8, static_cast<uint32_t>(NZ));
  matio::PutU32(rec.data() + kSlotsOffset, static_cast<uint32_t>(NT));
  const std::string id = Utf8ToLatin1(DataID);
  const size_t n = std::min(id.size(), kMaxIdLength);
  rec[kIdOffset] = static_cast<uint8_t>(n);
  std::memcpy(rec.data() + kIdOffset + 1, id.data(), n);
  return rec;
}

}  // namespace

void TMat4D::SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const {
  ArraySlotRange(this, FNumT, TSlotStart, TSlotEnd);
  const int64_t perSlot = static_cast<int64_t>(FMat.size() / static_cast<size_t>(FNumT));
  const int64_t count = perSlot * (TSlotEnd - TSlotStart + 1);
  const std::vector<uint8_t> header =
      HeaderRecord(FNumX, FNumY, FNumZ, TSlotEnd - TSlotStart + 1, FDataID);
  TFileStream f(FName, fmCreate);
  f.WriteBuffer(header.data(), kRecordBytes);
  detail::TPercentProgress<TMat4D> progress(*this, count, FMat);
  WriteValues(f, FMat.data() + perSlot * (TSlotStart - 1), count, count, progress);
  f.Flush();
}

void TMat4D::LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  auto fail = [this] { RaiseComponentError<ENUVMatrixError>(this, "cannot resize, memory low"); };
  // No memory for the file's name or the identifier counts as no memory for the data.
  TDoubleBuffer data;
  THeader h;
  int32_t slots = 0;
  try {
    TFileStream f(FName, fmOpenRead);
    int64_t perSlot = 0;
    try {
      if (!ReadHeader(f, h) || !SlotElements(h, perSlot) || h.NT <= 0) fail();
    } catch (const EInOutError&) {
      fail();
    }
    FileSlotRange(this, h.NT, TSlotStart, TSlotEnd);
    slots = TSlotEnd - TSlotStart + 1;
    int64_t first = 0, count = 0;
    if (!MulFits(perSlot, TSlotStart - 1, first) || !MulFits(perSlot, slots, count) ||
        !Holds(f, first, count))
      fail();
    if (!TryAllocateUninit(data, static_cast<size_t>(count))) fail();
    detail::TPercentProgress<TMat4D> progress(*this, count, FMat);
    try {
      f.Seek(kRecordBytes + 8 * first, soFromBeginning);
      ReadValues(f, data.data(), count, progress);
    } catch (const EInOutError&) {
      fail();
    }
  } catch (const std::bad_alloc&) {
    fail();
  }
  Commit(data, h.NX, h.NY, h.NZ, slots);
  FDataID.swap(h.DataID);
  Changed();
}

void TMat4D::ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const {
  TFileStream f(FName, fmOpenRead);
  THeader h;
  int64_t perSlot = 0;
  if (!ReadHeader(f, h)) RaiseReadBeyond(FName);
  if (!SlotElements(h, perSlot) || h.NT <= 0) RaiseBadHeader(FName);
  FileSlotRange(this, h.NT, TSlotStart, TSlotEnd);
  int64_t first = 0, count = 0;
  if (!MulFits(perSlot, TSlotStart - 1, first) ||
      !MulFits(perSlot, TSlotEnd - TSlotStart + 1, count))
    RaiseBadHeader(FName);
  if (!Holds(f, first, count)) RaiseReadBeyond(FName);
  auto& self = const_cast<TMat4D&>(*this);
  detail::TPercentProgress<TMat4D> progress(*this, count, FMat);
  std::vector<double> buffer;
  if (!TryAllocate(buffer, static_cast<size_t>(std::min(kChunk, count)), 0.0)) RaiseNoHeap();
  f.Seek(kRecordBytes + 8 * first, soFromBeginning);
  int32_t x = 1, y = 1, z = 1, t = 1;
  for (int64_t done = 0; done < count;) {
    const int64_t n = std::min(kChunk, count - done);
    f.ReadBuffer(buffer.data(), n * 8);
    if (!matio::kHostLittleEndian) matio::SwapDoubles(buffer.data(), static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
      self.ReadElement(&self, x, y, z, t, buffer[static_cast<size_t>(i)]);
      progress.Done(1);
      if (++x > h.NX) {
        x = 1;
        if (++y > h.NY) {
          y = 1;
          if (++z > h.NZ) {
            z = 1;
            ++t;
          }
        }
      }
    }
    done += n;
  }
}

namespace {

/// Opens a file and checks one layer of one slot of it: the header, then the
/// slot and the layer against the file. Returns the element number of the
/// layer's first value; Plane is columns x rows of the file.
int64_t LocateLayer(const TComponent* Comp, TFileStream& F, const std::string& FName,
                    int32_t Layer, int32_t TSlot, THeader& H, int64_t& Plane) {
  if (!ReadHeader(F, H)) RaiseReadBeyond(FName);
  int64_t perSlot = 0;
  if (!SlotElements(H, perSlot) || H.NT <= 0) RaiseBadHeader(FName);
  if (TSlot < 1 || TSlot > H.NT)
    RaiseComponentError<ENUVMatrixError>(Comp, "specified time slot beyond data range");
  if (Layer < 1 || Layer > H.NZ)
    RaiseComponentError<ENUVMatrixError>(Comp, "specified layer beyond data range");
  Plane = int64_t{H.NX} * H.NY;
  int64_t slotEnd = 0;
  if (!MulFits(perSlot, TSlot, slotEnd)) RaiseReadBeyond(FName);
  const int64_t first = slotEnd - perSlot + Plane * (Layer - 1);
  if (!Holds(F, first, Plane)) RaiseReadBeyond(FName);
  return first;
}

}  // namespace

void TMat4D::ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot) {
  TFileStream f(FName, fmOpenRead);
  THeader h;
  int64_t plane = 0;
  const int64_t first = LocateLayer(this, f, FName, Layer, TSlot, h, plane);
  // The layer must fit into the array; checked again after reading, since a
  // progress handler may have resized the array.
  auto checkFits = [&] {
    if (Layer > FNumZ) RaiseBeyond("layer");
    if (h.NX > FNumX) RaiseBeyond("column");
    if (h.NY > FNumY) RaiseBeyond("row");
    if (TSlot > FNumT) RaiseBeyond("time slot");
  };
  checkFits();
  std::vector<double> data;
  if (!TryAllocate(data, static_cast<size_t>(plane), 0.0)) RaiseNoHeap();
  detail::TPercentProgress<TMat4D> progress(*this, plane, FMat);
  f.Seek(kRecordBytes + 8 * first, soFromBeginning);
  ReadValues(f, data.data(), plane, progress);
  checkFits();
  for (int32_t y = 1; y <= h.NY; ++y)
    std::memcpy(FMat.data() + Index(1, y, Layer, TSlot),
                data.data() + static_cast<size_t>(y - 1) * static_cast<size_t>(h.NX),
                static_cast<size_t>(h.NX) * sizeof(double));
}

void TMat4D::ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot,
                       TDouble2DArray& Data) const {
  TFileStream f(FName, fmOpenRead);
  THeader h;
  int64_t plane = 0;
  const int64_t first = LocateLayer(this, f, FName, Layer, TSlot, h, plane);
  std::vector<double> data;
  if (!TryAllocate(data, static_cast<size_t>(plane), 0.0)) RaiseNoHeap();
  detail::TPercentProgress<TMat4D> progress(*this, plane, FMat);
  f.Seek(kRecordBytes + 8 * first, soFromBeginning);
  ReadValues(f, data.data(), plane, progress);
  TDouble2DArray fresh;
  try {
    fresh.assign(static_cast<size_t>(h.NX), std::vector<double>(static_cast<size_t>(h.NY)));
  } catch (const std::exception&) {
    RaiseNoHeap();
  }
  const size_t nx = static_cast<size_t>(h.NX);
  for (size_t c = 0; c < nx; ++c)
    for (size_t r = 0; r < fresh[c].size(); ++r) fresh[c][r] = data[r * nx + c];
  Data.swap(fresh);
}

bool TMat4D::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                              int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID) {
  TFileStream f(FName, fmOpenRead);
  THeader h;
  if (!ReadHeader(f, h)) RaiseReadBeyond(FName);
  NrColumns = h.NX;
  NrRows = h.NY;
  NrLayers = h.NZ;
  NrTimeSlots = h.NT;
  DataID.swap(h.DataID);
  int64_t perSlot = 0, total = 0;
  return SlotElements(h, perSlot) && h.NT > 0 && MulFits(perSlot, h.NT, total) &&
         Holds(f, 0, total);
}

void TMat4D::AppendToBinaryFile(const std::string& FName, int32_t TSlotStart,
                                int32_t TSlotEnd) const {
  TFileStream f(FName, fmOpenReadWrite);
  THeader h;
  if (!ReadHeader(f, h)) RaiseReadBeyond(FName);
  if (h.NX != FNumX || h.NY != FNumY || h.NZ != FNumZ)
    RaiseComponentError<ENUVMatrixError>(this, "X,Y,Z of matrices do not match");
  if (h.NT < 0) RaiseBadHeader(FName);
  ArraySlotRange(this, FNumT, TSlotStart, TSlotEnd);
  const int32_t slots = TSlotEnd - TSlotStart + 1;
  if (int64_t{h.NT} + slots > std::numeric_limits<int32_t>::max()) RaiseBeyond("time slot");
  const int64_t perSlot = static_cast<int64_t>(FMat.size() / static_cast<size_t>(FNumT));
  int64_t stored = 0;
  if (!MulFits(perSlot, h.NT, stored) || !Holds(f, 0, stored)) RaiseReadBeyond(FName);
  const int64_t count = perSlot * slots;

  // The bytes the append overwrites within the file as it is (the rest of the
  // last record), kept to undo a failed write.
  const int64_t start = kRecordBytes + 8 * stored;
  const int64_t oldSize = f.Size();
  std::vector<uint8_t> kept(static_cast<size_t>(std::clamp<int64_t>(oldSize - start, 0, kRecordBytes)));
  f.Seek(start, soFromBeginning);
  f.ReadBuffer(kept.data(), static_cast<int64_t>(kept.size()));

  detail::TPercentProgress<TMat4D> progress(*this, count, FMat);
  uint8_t slotField[4];
  try {
    f.Seek(start, soFromBeginning);
    WriteValues(f, FMat.data() + perSlot * (TSlotStart - 1), count, stored + count, progress);
    // The header last: until the data are complete it still describes the file.
    matio::PutU32(slotField, static_cast<uint32_t>(h.NT + slots));
    f.Seek(kSlotsOffset, soFromBeginning);
    f.WriteBuffer(slotField, 4);
    f.Flush();
  } catch (...) {
    try {
      f.Seek(start, soFromBeginning);
      f.WriteBuffer(kept.data(), static_cast<int64_t>(kept.size()));
      matio::PutU32(slotField, static_cast<uint32_t>(h.NT));
      f.Seek(kSlotsOffset, soFromBeginning);
      f.WriteBuffer(slotField, 4);
      f.SetSize(oldSize);
    } catch (...) {
      // The device refuses even that; the original error is what the caller needs.
    }
    throw;
  }
}

}  // namespace nuv
