// Blocks of a 4-D array and how they are scanned. Private to the matrix unit.
//
// A block is scanned in bands of whole block rows: for each band, every slot
// and layer of the block in turn (slot outer) gives the band's x-runs, which
// are one contiguous run when the block spans whole rows. A band holds up to
// 32768 pixels, so its runs are long enough to stream at memory speed and its
// per-pixel accumulators (256 KB each) stay in cache; after each band all its
// pixels are done, which is when progress is reported.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "Nuv_matrix/mat4d.h"

namespace nuv {
namespace detail {

/// A block with 1-based inclusive bounds, every range valid and non-empty.
struct T4DBlock {
  int32_t X1, X2, Y1, Y2, Z1, Z2, T1, T2;

  int64_t Cols() const { return int64_t{X2} - X1 + 1; }
  int64_t Rows() const { return int64_t{Y2} - Y1 + 1; }
  int64_t Layers() const { return int64_t{Z2} - Z1 + 1; }
  int64_t Slots() const { return int64_t{T2} - T1 + 1; }
  int64_t Pixels() const { return Cols() * Rows(); }
  int64_t Count() const { return Pixels() * Layers() * Slots(); }
};

/// The block of four ranges, each made valid ((0, 0) is all).
inline T4DBlock Make4DBlock(const TMat4D& M, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                            int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                            int32_t LowTSlot, int32_t HighTSlot) {
  M.MakeValidColRange(LowCol, HighCol);
  M.MakeValidRowRange(LowRow, HighRow);
  M.MakeValidLayerRange(LowLayer, HighLayer);
  M.MakeValidTSlotRange(LowTSlot, HighTSlot);
  return {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTSlot, HighTSlot};
}

/// Strides of the buffer of a NX x NY x NZ x NT array.
struct T4DShape {
  size_t NX, NY, NZ, NT;

  explicit T4DShape(const TMat4D& M)
      : NX(static_cast<size_t>(M.NrOfColumns())),
        NY(static_cast<size_t>(M.NrOfRows())),
        NZ(static_cast<size_t>(M.NrOfLayers())),
        NT(static_cast<size_t>(M.NrOfTimeSlots())) {}
  size_t Plane() const { return NX * NY; }
  /// Offset of (x, y, z, t), all 1-based.
  size_t At(int64_t x, int64_t y, int64_t z, int64_t t) const {
    return ((static_cast<size_t>(t - 1) * NZ + static_cast<size_t>(z - 1)) * NY +
            static_cast<size_t>(y - 1)) *
               NX +
           static_cast<size_t>(x - 1);
  }
};

/// Block rows per band: about 32768 pixels, at least one row.
inline int64_t BandRows(const T4DBlock& B) {
  return std::max<int64_t>(1, std::min<int64_t>(B.Rows(), 32768 / B.Cols()));
}

/// Calls Run(p, n, PixelOffset) for the runs of the band of block rows
/// Y..Y + Rows - 1, every slot and layer of the block in turn. PixelOffset
/// is the index of the run's first pixel within the band (row by row, block
/// columns). Run returns false to stop; then so does this.
template <class F>
bool ForEachBandRun(const double* Base, const T4DShape& S, const T4DBlock& B, int64_t Y,
                    int64_t Rows, F&& Run) {
  const int64_t cols = B.Cols();
  const bool wholeRows = cols == static_cast<int64_t>(S.NX);
  for (int64_t t = B.T1; t <= B.T2; ++t)
    for (int64_t z = B.Z1; z <= B.Z2; ++z) {
      const double* p = Base + S.At(B.X1, Y, z, t);
      if (wholeRows) {
        if (!Run(p, cols * Rows, int64_t{0})) return false;
        continue;
      }
      for (int64_t r = 0; r < Rows; ++r)
        if (!Run(p + static_cast<size_t>(r) * S.NX, cols, r * cols)) return false;
    }
  return true;
}

/// Scans the whole block band by band; after each band calls
/// AfterBand(Y, Rows), whose false stops the scan. Returns false when stopped.
template <class F, class G>
bool ScanBands(const double* Base, const T4DShape& S, const T4DBlock& B, F&& Run, G&& AfterBand) {
  const int64_t band = BandRows(B);
  for (int64_t y = B.Y1; y <= B.Y2; y += band) {
    const int64_t rows = std::min<int64_t>(band, B.Y2 - y + 1);
    if (!ForEachBandRun(Base, S, B, y, rows, Run)) return false;
    if (!AfterBand(y, rows)) return false;
  }
  return true;
}

}  // namespace detail
}  // namespace nuv
