// Storage, addressing, filling, search, assignment and the checksum of TMat4D.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_matrix/array_dims.h"
#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/mat4d_block.h"
#include "Nuv_vector/byte_lane_crc.h"

namespace nuv {

using detail::T4DBlock;
using detail::T4DShape;

TMat4D::TMat4D(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FMat, 1, 0.0)) RaiseNoHeap();
}

TMat4D::~TMat4D() = default;

void TMat4D::RaiseNoHeap() const {
  RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
}

void TMat4D::RaiseBeyond(const char* What) const {
  RaiseComponentError<ENUVMatrixError>(this, std::string("specified ") + What +
                                                 " beyond data range");
}

void TMat4D::Commit(TDoubleBuffer& Storage, int32_t Nc, int32_t Nr, int32_t Nl,
                    int32_t Nt) {
  FMat.swap(Storage);
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  FNumT = Nt;
}

bool TMat4D::Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0 || Nt <= 0) return true;
  if (Nc == FNumX && Nr == FNumY && Nl == FNumZ && Nt == FNumT) return true;
  size_t cells = 0;
  if (!detail::ElementCount({Nc, Nr, Nl, Nt}, cells)) RaiseNoHeap();
  if (Nc == FNumX && Nr == FNumY && Nl == FNumZ) {
    // Only the slot count changes: whole slots are kept or appended at the end.
    if (!TryResize(FMat, cells, 0.0)) RaiseNoHeap();
    FNumT = Nt;
  } else {
    TDoubleBuffer fresh;
    if (!TryAllocate(fresh, cells, 0.0)) RaiseNoHeap();
    const T4DShape from(*this);
    const size_t keepX = static_cast<size_t>(std::min(Nc, FNumX));
    const size_t nx = static_cast<size_t>(Nc), ny = static_cast<size_t>(Nr),
                 nz = static_cast<size_t>(Nl);
    for (int32_t t = 1; t <= std::min(Nt, FNumT); ++t)
      for (int32_t z = 1; z <= std::min(Nl, FNumZ); ++z)
        for (int32_t y = 1; y <= std::min(Nr, FNumY); ++y) {
          const size_t to = ((static_cast<size_t>(t - 1) * nz + static_cast<size_t>(z - 1)) * ny +
                             static_cast<size_t>(y - 1)) *
                            nx;
          std::memcpy(fresh.data() + to, FMat.data() + from.At(1, y, z, t),
                      keepX * sizeof(double));
        }
    Commit(fresh, Nc, Nr, Nl, Nt);
  }
  Changed();
  return true;
}

bool TMat4D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (!Resize(Nc, Nr, Nl, Nt)) return false;
  Fill(0.0);
  return true;
}

int32_t TMat4D::Lin3DAddr(int32_t ix, int32_t iy, int32_t il) const {
  if (ix < 1 || ix > FNumX || iy < 1 || iy > FNumY || il < 1 || il > FNumZ) return -1;
  if (int64_t{FNumX} * FNumY * FNumZ > std::numeric_limits<int32_t>::max()) return -2;
  return ((iy - 1) * FNumX + (ix - 1)) * FNumZ + (il - 1);
}

bool TMat4D::ConvertLinTo3DAddr(int32_t LinAddr, int32_t& ix, int32_t& iy, int32_t& il) const {
  if (LinAddr < 0 || LinAddr >= int64_t{FNumX} * FNumY * FNumZ) return false;
  il = LinAddr % FNumZ + 1;
  ix = (LinAddr / FNumZ) % FNumX + 1;
  iy = LinAddr / FNumZ / FNumX + 1;
  return true;
}

double TMat4D::MemoryConsumed() const {
  return static_cast<double>(FNumX) / 1048576 * FNumY * FNumZ * FNumT * 8;
}

void TMat4D::Fill(double Value) {
  std::fill(FMat.begin(), FMat.end(), Value);
  Changed();
}

void TMat4D::FillDiag(double Value) {
  const int32_t n = std::min({FNumX, FNumY, FNumZ, FNumT});
  for (int32_t i = 1; i <= n; ++i) FMat[Index(i, i, i, i)] = Value;
  Changed();
}

void TMat4D::FillLayer(int32_t Layer, double Value) {
  if (Layer < 1 || Layer > FNumZ) return;
  const T4DShape s(*this);
  for (int32_t t = 1; t <= FNumT; ++t) {
    double* p = FMat.data() + s.At(1, 1, Layer, t);
    std::fill(p, p + s.Plane(), Value);
  }
}

namespace {

// Visits every element in the order column, row, layer, slot (slot
// innermost): the order of the random draws and of the checksum.
template <class F>
void ForEachColumnMajor(TDoubleBuffer& Mat, const T4DShape& S, F&& Next) {
  const size_t slotStride = S.Plane() * S.NZ;
  for (size_t x = 0; x < S.NX; ++x)
    for (size_t y = 0; y < S.NY; ++y)
      for (size_t z = 0; z < S.NZ; ++z) {
        double* p = Mat.data() + (z * S.NY + y) * S.NX + x;
        for (size_t t = 0; t < S.NT; ++t) p[t * slotStride] = Next();
      }
}

}  // namespace

void TMat4D::FillRandomUniform(double RangeLow, double RangeHigh) {
  const double span = RangeHigh - RangeLow;
  ForEachColumnMajor(FMat, T4DShape(*this), [&] { return RangeLow + Random() * span; });
  Changed();
}

void TMat4D::FillRandomGauss(double Mean, double StdDev) {
  ForEachColumnMajor(FMat, T4DShape(*this), [&] { return GRandom() * StdDev + Mean; });
  Changed();
}

void TMat4D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                  int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                  double Value, int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx,
                  int32_t& TimeSlotIx) const {
  ColIx = RowIx = LayerIx = TimeSlotIx = 0;
  const T4DBlock b = detail::Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer,
                                         HighLayer, LowTimeSlot, HighTimeSlot);
  const T4DShape s(*this);
  // Scanned in buffer order; of equally close elements the one first in the
  // order column, row, layer, slot is kept, as a scan in that order would.
  double best = uc_MaxDouble;
  bool found = false;
  int32_t key[4] = {0, 0, 0, 0};
  for (int32_t t = b.T1; t <= b.T2; ++t)
    for (int32_t z = b.Z1; z <= b.Z2; ++z)
      for (int32_t y = b.Y1; y <= b.Y2; ++y) {
        const double* row = FMat.data() + s.At(1, y, z, t);
        for (int32_t x = b.X1; x <= b.X2; ++x) {
          const double d = std::fabs(row[x - 1] - Value);
          if (d < best) {
            best = d;
          } else if (!(found && d == best)) {
            continue;
          } else {
            const int32_t cand[4] = {x, y, z, t};
            if (!std::lexicographical_compare(cand, cand + 4, key, key + 4)) continue;
          }
          found = true;
          key[0] = x, key[1] = y, key[2] = z, key[3] = t;
        }
      }
  if (!found) return;
  ColIx = key[0];
  RowIx = key[1];
  LayerIx = key[2];
  TimeSlotIx = key[3];
}

void TMat4D::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TMat4D*>(Source);
  if (src == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (src == this) return;
  // Everything is copied aside first, so a failure leaves the target whole.
  TDoubleBuffer copy;
  try {
    copy = src->FMat;
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  } catch (const std::length_error&) {
    RaiseNoHeap();
  }
  std::string id = src->FDataID;
  TNotifyEvent onChange = src->FOnChange;
  TOnPercentDoneEvent onPercent = src->FOnPercentDone;
  TOnReadMat4DElementEvent onRead = src->FOnReadElement;
  Commit(copy, src->FNumX, src->FNumY, src->FNumZ, src->FNumT);
  FDataID.swap(id);
  FOnChange.swap(onChange);
  FOnPercentDone.swap(onPercent);
  FOnReadElement.swap(onRead);
}

void TMat4D::AssignTo(TPersistent* Dest) {
  if (auto* dest = dynamic_cast<TMat4D*>(Dest)) {
    dest->Assign(this);
    return;
  }
  TComponent::AssignTo(Dest);
}

void TMat4D::Clone(const TMat4D* MatSource) {
  if (MatSource == nullptr) return;
  Resize(MatSource->FNumX, MatSource->FNumY, MatSource->FNumZ, MatSource->FNumT);
  const T4DBlock all = detail::Make4DBlock(*this, 0, 0, 0, 0, 0, 0, 0, 0);
  detail::THookProgress progress(all.Pixels(), FMat);
  // An OnChange handler of the resize may have changed either array again:
  // then only the progress is reported.
  if (MatSource == this || FMat.size() != MatSource->FMat.size()) {
    progress.Done(all.Pixels());
  } else {
    const detail::TStorageWatch source(MatSource->FMat);
    const double* from = MatSource->FMat.data();
    double* to = FMat.data();
    detail::ScanBands(
        from, T4DShape(*this), all,
        [&](const double* p, int64_t n, int64_t) {
          std::memcpy(to + (p - from), p, static_cast<size_t>(n) * sizeof(double));
          return true;
        },
        [&](int64_t, int64_t rows) {
          return progress.Done(rows * all.Cols()) && source.Intact();
        });
  }
  Changed();
}

std::string TMat4D::CRCofData() const {
  // The checksum runs column first, slot innermost, across the buffer order:
  // a few columns at a time are gathered into a tile laid out in checksum
  // order, reading whole cache lines of each buffer row.
  const T4DShape s(*this);
  const size_t depth = s.NZ * s.NT;
  constexpr size_t kTile = size_t{1} << 18;  // doubles
  const size_t perColumn = s.NY * depth;
  const size_t tileCols = std::clamp<size_t>(kTile / perColumn, 1, 8);
  // A column too tall for the tile is taken a few rows at a time.
  const size_t tileRows = tileCols > 1 ? s.NY : std::clamp<size_t>(kTile / depth, 1, s.NY);
  std::vector<double> tile;
  if (!TryAllocate(tile, tileCols * tileRows * depth, 0.0)) RaiseNoHeap();
  const size_t slotStride = s.Plane() * s.NZ;
  detail::TPercentProgress<TMat4D> progress(*this, int64_t{FNumX} * FNumY, FMat);
  detail::TByteLaneCRC<double> crc;
  for (size_t x0 = 0; x0 < s.NX; x0 += tileCols) {
    const size_t bx = std::min(tileCols, s.NX - x0);
    for (size_t y0 = 0; y0 < s.NY; y0 += tileRows) {
      const size_t by = std::min(tileRows, s.NY - y0);
      for (size_t t = 0; t < s.NT; ++t)
        for (size_t z = 0; z < s.NZ; ++z)
          for (size_t y = 0; y < by; ++y) {
            const double* row = FMat.data() + t * slotStride + (z * s.NY + y0 + y) * s.NX + x0;
            double* out = tile.data() + (y * s.NZ + z) * s.NT + t;
            for (size_t i = 0; i < bx; ++i) out[i * by * depth] = row[i];
          }
      crc.Add(tile.data(), bx * by * depth);
      if (!progress.Done(static_cast<int64_t>(bx * by))) return crc.Text();
    }
  }
  return crc.Text();
}

void TMat4D::PercDone(TObject* /*Sender*/, int32_t PercentDone) {
  if (FOnPercentDone) FOnPercentDone(this, PercentDone);
}

void TMat4D::ReadElement(TObject* /*Sender*/, int32_t ix, int32_t iy, int32_t il, int32_t it,
                         double Value) {
  if (FOnReadElement) FOnReadElement(this, ix, iy, il, it, Value);
}

}  // namespace nuv
