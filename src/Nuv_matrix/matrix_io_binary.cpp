// The binary matrix record (docs/formats.md): streams and binary files.
// Loading reads and checks the whole record into a work buffer before the
// matrix is touched, and never allocates more than the bytes the stream
// actually holds, so a truncated, corrupted or lying file leaves the matrix
// as it was.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_io_format.h"

namespace nuv {

namespace {

// Result codes shared by the readers; ReadBinaryHeader returns them.
constexpr int32_t kOk = 0;
constexpr int32_t kCannotOpen = -1;
constexpr int32_t kNotMatrix = -2;
constexpr int32_t kBadVersion = -3;
constexpr int32_t kBadHeader = -4;
constexpr int32_t kTruncated = -5;
constexpr int32_t kBadChecksum = -6;
constexpr int32_t kNoMemory = -7;

struct TRecordHead {
  int32_t NCols = 0;
  int32_t NRows = 0;
  int32_t Precis[2] = {15, -1};
  std::string DataID;
  uint64_t Cells = 0;
  uint32_t Crc = 0xFFFFFFFFu;  ///< running register over the bytes read so far
};

/// Reads and checks the header and DataID at the stream's position, and that
/// the rest of the record (elements and checksum) is present.
int32_t ReadHead(TStream* S, TRecordHead& H) {
  uint8_t hdr[matio::kHeaderBytes];
  const int64_t got = S->Read(hdr, static_cast<int64_t>(matio::kHeaderBytes));
  if (got < 8 || std::memcmp(hdr, matio::kSignature, sizeof(matio::kSignature)) != 0)
    return kNotMatrix;
  if (matio::GetU16(hdr + 6) != matio::kVersion) return kBadVersion;
  if (got < static_cast<int64_t>(matio::kHeaderBytes)) return kTruncated;
  H.NCols = static_cast<int32_t>(matio::GetU32(hdr + 8));
  H.NRows = static_cast<int32_t>(matio::GetU32(hdr + 12));
  H.Precis[0] = static_cast<int32_t>(matio::GetU32(hdr + 16));
  H.Precis[1] = static_cast<int32_t>(matio::GetU32(hdr + 20));
  const uint32_t idLen = matio::GetU32(hdr + 24);
  if (H.NCols < 0 || H.NRows < 0) return kBadHeader;
  for (int32_t p : H.Precis)
    if (p < -1 || p > 25) return kBadHeader;
  H.Crc = matio::UpdateCrc(H.Crc, hdr, matio::kHeaderBytes);

  const int64_t avail = S->Size() - S->Position();
  H.Cells = static_cast<uint64_t>(H.NCols) * static_cast<uint64_t>(H.NRows);
  // Compared piecewise so that no claimed size can overflow the sum.
  if (avail < 0 || static_cast<uint64_t>(avail) < idLen + matio::kCrcBytes) return kTruncated;
  const uint64_t rest = static_cast<uint64_t>(avail) - idLen - matio::kCrcBytes;
  if (H.Cells > rest / 8) return kTruncated;

  try {
    H.DataID.resize(idLen);
  } catch (const std::exception&) {
    return kNoMemory;
  }
  if (idLen > 0 && S->Read(&H.DataID[0], idLen) != static_cast<int64_t>(idLen)) return kTruncated;
  H.Crc = matio::UpdateCrc(H.Crc, H.DataID.data(), idLen);
  return kOk;
}

/// Reads a whole record: header, elements (column by column) and checksum.
int32_t ReadRecord(TStream* S, TRecordHead& H, std::vector<double>& Data) {
  const int32_t code = ReadHead(S, H);
  if (code != kOk) return code;
  if (!TryAllocate(Data, static_cast<size_t>(H.Cells), 0.0)) return kNoMemory;
  const int64_t bytes = static_cast<int64_t>(H.Cells * 8);
  if (bytes > 0 && S->Read(Data.data(), bytes) != bytes) return kTruncated;
  H.Crc = matio::UpdateCrc(H.Crc, Data.data(), static_cast<size_t>(bytes));
  if (!matio::kHostLittleEndian) matio::SwapDoubles(Data.data(), Data.size());
  uint8_t tail[matio::kCrcBytes];
  if (S->Read(tail, matio::kCrcBytes) != static_cast<int64_t>(matio::kCrcBytes)) return kTruncated;
  if (matio::GetU32(tail) != ~H.Crc) return kBadChecksum;
  return kOk;
}

/// Runs a reader; on any failure the stream goes back to where it was.
template <class F>
bool Rewinding(TStream* S, F&& Reader) {
  const int64_t start = S->Position();
  const bool ok = LoadWithoutRaising(Reader);
  if (!ok) S->Seek(start, soFromBeginning);
  return ok;
}

// Serialises the record in chunks: header and DataID, then the elements as
// they lie in the buffer (column after column), then the CRC of all of it.
void WriteRecord(TStream* S, int32_t NCols, int32_t NRows, const int32_t Precis[2],
                 const std::string& DataID, const double* Elems, size_t Cells) {
  uint8_t hdr[matio::kHeaderBytes];
  std::memcpy(hdr, matio::kSignature, sizeof(matio::kSignature));
  matio::PutU16(hdr + 6, matio::kVersion);
  matio::PutU32(hdr + 8, static_cast<uint32_t>(NCols));
  matio::PutU32(hdr + 12, static_cast<uint32_t>(NRows));
  matio::PutU32(hdr + 16, static_cast<uint32_t>(Precis[0]));
  matio::PutU32(hdr + 20, static_cast<uint32_t>(Precis[1]));
  matio::PutU32(hdr + 24, static_cast<uint32_t>(DataID.size()));
  uint32_t crc = matio::UpdateCrc(0xFFFFFFFFu, hdr, sizeof(hdr));
  crc = matio::UpdateCrc(crc, DataID.data(), DataID.size());
  S->WriteBuffer(hdr, sizeof(hdr));
  S->WriteBuffer(DataID.data(), static_cast<int64_t>(DataID.size()));

  constexpr size_t kChunk = 1 << 14;  // doubles per write
  std::unique_ptr<double[]> swapped;
  if (!matio::kHostLittleEndian) swapped.reset(new double[kChunk]);
  for (size_t done = 0; done < Cells;) {
    const size_t n = std::min(kChunk, Cells - done);
    const void* bytes = Elems + done;
    if (!matio::kHostLittleEndian) {
      std::memcpy(swapped.get(), Elems + done, n * 8);
      matio::SwapDoubles(swapped.get(), n);
      bytes = swapped.get();
    }
    crc = matio::UpdateCrc(crc, bytes, n * 8);
    S->WriteBuffer(bytes, static_cast<int64_t>(n * 8));
    done += n;
  }
  uint8_t tail[matio::kCrcBytes];
  matio::PutU32(tail, ~crc);
  S->WriteBuffer(tail, sizeof(tail));
}

}  // namespace

void TMatrix::SaveToStream(TMemoryStream*& OutStream) const {
  if (OutStream == nullptr) OutStream = new TMemoryStream();
  const size_t cells = FNCol > 0 && FNRow > 0 ? FMat.size() : 0;
  WriteRecord(OutStream, FNCol, FNRow, FPrecis, FDataID, FMat.data(), cells);
}

void TMatrix::SaveToStream(TFileStream* OutStream) const {
  if (OutStream == nullptr) return;
  const size_t cells = FNCol > 0 && FNRow > 0 ? FMat.size() : 0;
  WriteRecord(OutStream, FNCol, FNRow, FPrecis, FDataID, FMat.data(), cells);
}

bool TMatrix::LoadRecord(TStream* In, bool AdjustSize) {
  if (In == nullptr) return false;
  TRecordHead h;
  std::vector<double> data;
  const bool ok = Rewinding(In, [&] {
    if (ReadRecord(In, h, data) != kOk) return false;
    if (!AdjustSize) return h.NCols <= FNCol && h.NRows <= FNRow;
    if (h.Cells > 0) return true;
    // A record without elements still needs the kept cell line of its empty
    // dimension, which no byte of the record fills: within the allowance only.
    const int64_t cells = int64_t{std::max(h.NCols, 1)} * std::max(h.NRows, 1);
    return WithinUnfilledAllowance(cells, sizeof(double)) &&
           TryAllocate(data, static_cast<size_t>(cells), 0.0);
  });
  if (!ok) return false;
  CommitLoaded(data, h.NCols, h.NRows, AdjustSize);
  FDataID.swap(h.DataID);
  FPrecis[0] = h.Precis[0];
  FPrecis[1] = h.Precis[1];
  Changed();
  return true;
}

bool TMatrix::LoadFromStream(TMemoryStream* InStream, bool AdjustSize) {
  return LoadRecord(InStream, AdjustSize);
}

bool TMatrix::LoadFromStream(TFileStream* InStream, bool AdjustSize) {
  return LoadRecord(InStream, AdjustSize);
}

bool TMatrix::SaveBinary(const std::string& FileName) const {
  try {
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
    f.Flush();
  } catch (const std::exception&) {
    // What was written stays: the path may name a device or a pipe, which
    // must not be removed.
    return false;
  }
  return true;
}

bool TMatrix::LoadBinary(const std::string& FileName, bool AdjustSize) {
  std::unique_ptr<TFileStream> f;
  try {
    f = std::make_unique<TFileStream>(FileName, fmOpenRead);
  } catch (const std::exception&) {
    return false;  // cannot be opened, or no memory for the stream
  }
  return LoadFromStream(f.get(), AdjustSize);
}

int32_t TMatrix::ReadBinaryHeader(const std::string& FileName, int32_t& NCols, int32_t& NRows,
                                  std::string& DataID) {
  NCols = 0;
  NRows = 0;
  DataID.clear();
  std::unique_ptr<TFileStream> f;
  try {
    f = std::make_unique<TFileStream>(FileName, fmOpenRead);
  } catch (const std::exception&) {
    return kCannotOpen;  // also when there is no memory for the stream
  }
  TRecordHead h;
  int32_t code = kOk;
  try {
    code = ReadHead(f.get(), h);
  } catch (const EInOutError&) {
    code = kTruncated;
  } catch (const std::exception&) {
    code = kNoMemory;
  }
  if (code != kOk) return code;
  NCols = h.NCols;
  NRows = h.NRows;
  DataID.swap(h.DataID);
  return kOk;
}

}  // namespace nuv
