// Reshaping TMat4D: cutting a block out, resampling by blocks, exchanging
// columns and rows, mirroring. Cut, Resample and Transpose build the new
// buffer beside the old one and take it only when done, so an abort, a lack
// of memory or a handler that changes the array leaves the array as it was.
#include <algorithm>
#include <cstring>
#include <vector>

#include "Nuv_matrix/array_dims.h"
#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/mat4d_block.h"

namespace nuv {

using detail::T4DBlock;
using detail::T4DShape;

void TMat4D::Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                 int32_t LowLayer, int32_t HighLayer, int32_t LowTimeslot, int32_t HighTimeslot) {
  const T4DBlock b = detail::Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer,
                                         HighLayer, LowTimeslot, HighTimeslot);
  const T4DShape s(*this);
  TDoubleBuffer fresh;
  if (!TryAllocateUninit(fresh, static_cast<size_t>(b.Count()))) RaiseNoHeap();
  // Each layer of each slot counts as two steps: taken out and put back.
  detail::TPercentProgress<TMat4D> progress(*this, 2 * b.Slots() * b.Layers(), FMat);
  const size_t cols = static_cast<size_t>(b.Cols());
  const bool wholeRows = cols == s.NX;
  double* out = fresh.data();
  for (int32_t t = b.T1; t <= b.T2; ++t)
    for (int32_t z = b.Z1; z <= b.Z2; ++z) {
      if (wholeRows) {
        const size_t n = cols * static_cast<size_t>(b.Rows());
        std::memcpy(out, FMat.data() + s.At(1, b.Y1, z, t), n * sizeof(double));
        out += n;
      } else {
        for (int32_t y = b.Y1; y <= b.Y2; ++y, out += cols)
          std::memcpy(out, FMat.data() + s.At(b.X1, y, z, t), cols * sizeof(double));
      }
      if (!progress.Done(2)) return;
    }
  Commit(fresh, static_cast<int32_t>(b.Cols()), static_cast<int32_t>(b.Rows()),
         static_cast<int32_t>(b.Layers()), static_cast<int32_t>(b.Slots()));
  Changed();
}

namespace {

/// One dimension of a resampling: block size, offset (already mod the size)
/// and the count of the source.
struct TResampleAxis {
  int64_t Div, Off, N;

  /// Blocks along the axis: (N - Off - 1) div Div + 1, truncated toward zero.
  int64_t Blocks() const { return (N - Off - 1) / Div + 1; }
  /// First source index (0-based, may lie outside) of block b (0-based).
  int64_t Start(int64_t b) const { return b * Div + Off; }
  /// The part of block b inside 0..N - 1, as [Lo, Hi).
  int64_t Lo(int64_t b) const { return std::max<int64_t>(0, Start(b)); }
  int64_t Hi(int64_t b) const { return std::min<int64_t>(N, Start(b) + Div); }
};

}  // namespace

void TMat4D::Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv,
                      int32_t ZOffset, int32_t TDiv, int32_t TOffset, bool Average) {
  // A block size of 0 or below defines no blocks: nothing to resample.
  if (XDiv <= 0 || YDiv <= 0 || ZDiv <= 0 || TDiv <= 0) return;
  const TResampleAxis ax{XDiv, XOffset % XDiv, FNumX}, ay{YDiv, YOffset % YDiv, FNumY},
      az{ZDiv, ZOffset % ZDiv, FNumZ}, at{TDiv, TOffset % TDiv, FNumT};
  const int64_t nx = ax.Blocks(), ny = ay.Blocks(), nz = az.Blocks(), nt = at.Blocks();
  size_t cells = 0;
  TDoubleBuffer fresh;
  if (!detail::ElementCount({nx, ny, nz, nt}, cells) || !TryAllocate(fresh, cells, 0.0))
    RaiseNoHeap();
  const T4DShape s(*this);
  const double blockSize = static_cast<double>(XDiv) * YDiv * ZDiv * TDiv;
  detail::TPercentProgress<TMat4D> progress(*this, nt * nz, FMat);
  double* out = fresh.data();
  for (int64_t t = 0; t < nt; ++t)
    for (int64_t z = 0; z < nz; ++z) {
      for (int64_t y = 0; y < ny; ++y, out += nx) {
        if (!Average) {
          // The block's first element, 0.0 where it lies outside.
          const int64_t st = at.Start(t), sz = az.Start(z), sy = ay.Start(y);
          if (st < 0 || st >= at.N || sz < 0 || sz >= az.N || sy < 0 || sy >= ay.N) continue;
          const double* row = FMat.data() + s.At(1, sy + 1, sz + 1, st + 1);
          for (int64_t x = 0; x < nx; ++x) {
            const int64_t sx = ax.Start(x);
            if (sx >= 0 && sx < ax.N) out[x] = row[sx];
          }
          continue;
        }
        // The sum of the block's elements inside the array over the full block size.
        for (int64_t it = at.Lo(t); it < at.Hi(t); ++it)
          for (int64_t iz = az.Lo(z); iz < az.Hi(z); ++iz)
            for (int64_t iy = ay.Lo(y); iy < ay.Hi(y); ++iy) {
              const double* row = FMat.data() + s.At(1, iy + 1, iz + 1, it + 1);
              for (int64_t x = 0; x < nx; ++x) {
                double sum = 0.0;
                for (int64_t ix = ax.Lo(x); ix < ax.Hi(x); ++ix) sum += row[ix];
                out[x] += sum;
              }
            }
        for (int64_t x = 0; x < nx; ++x) out[x] /= blockSize;
      }
      if (!progress.Done(1)) return;
    }
  Commit(fresh, static_cast<int32_t>(nx), static_cast<int32_t>(ny), static_cast<int32_t>(nz),
         static_cast<int32_t>(nt));
  Changed();
}

bool TMat4D::Transpose() {
  const T4DShape s(*this);
  TDoubleBuffer fresh;
  if (!TryAllocateUninit(fresh, FMat.size())) RaiseNoHeap();
  // Each plane (one layer of one slot) is transposed a few columns at a time:
  // the source rows are read a cache line at a time and the target rows
  // written as a few sequential streams. The 2 x columns x rows pixel steps
  // are spread evenly over the work.
  constexpr size_t kCols = 8;
  const size_t plane = s.Plane();
  const size_t planes = s.NZ * s.NT;
  const int64_t totalSteps = 2 * static_cast<int64_t>(plane);
  detail::TPercentProgress<TMat4D> progress(*this, totalSteps, FMat);
  int64_t workDone = 0, stepsDone = 0;
  for (size_t p = 0; p < planes; ++p) {
    const double* src = FMat.data() + p * plane;
    double* dst = fresh.data() + p * plane;
    for (size_t x0 = 0; x0 < s.NX; x0 += kCols) {
      if (AbortRequested()) return false;
      const size_t bx = std::min(kCols, s.NX - x0);
      for (size_t y = 0; y < s.NY; ++y) {
        const double* in = src + y * s.NX + x0;
        for (size_t i = 0; i < bx; ++i) dst[(x0 + i) * s.NY + y] = in[i];
      }
      workDone += static_cast<int64_t>(bx * s.NY);
      const int64_t due = 2 * workDone / static_cast<int64_t>(planes);
      if (!progress.Done(due - stepsDone)) return false;
      stepsDone = due;
    }
  }
  Commit(fresh, FNumY, FNumX, FNumZ, FNumT);
  Changed();
  return true;
}

void TMat4D::MirrorColumns() {
  const size_t nx = static_cast<size_t>(FNumX);
  for (size_t r = 0; r < FMat.size(); r += nx) std::reverse(FMat.begin() + r, FMat.begin() + r + nx);
  Changed();
}

namespace {

/// Reverses the order of the Count blocks of Size elements in each group of
/// Count * Size elements of Data.
void MirrorBlocks(TDoubleBuffer& Data, size_t Size, size_t Count) {
  const size_t group = Size * Count;
  for (size_t g = 0; g < Data.size(); g += group) {
    double* p = Data.data() + g;
    for (size_t i = 0; i < Count / 2; ++i)
      std::swap_ranges(p + i * Size, p + (i + 1) * Size, p + (Count - 1 - i) * Size);
  }
}

}  // namespace

void TMat4D::MirrorRows() {
  MirrorBlocks(FMat, static_cast<size_t>(FNumX), static_cast<size_t>(FNumY));
  Changed();
}

void TMat4D::MirrorLayers() {
  MirrorBlocks(FMat, static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY),
               static_cast<size_t>(FNumZ));
  Changed();
}

void TMat4D::MirrorTimeSlots() {
  MirrorBlocks(FMat,
               static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY) * static_cast<size_t>(FNumZ),
               static_cast<size_t>(FNumT));
  Changed();
}

}  // namespace nuv
