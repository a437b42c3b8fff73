// Search, extremes and percentiles over blocks of a TMat3D. A block's
// elements are visited in buffer order (column outer, layer inner), one run
// per pixel, or one per column when the block spans all layers.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat3d.h"
#include "Nuv_matrix/matrix_stats_block.h"
#include "Nuv_matrix/matrix_stats_quantiles.h"

namespace nuv {

namespace {

/// A block of a 3-D array, every range valid and non-empty.
struct T3DBlock {
  int32_t X1, X2, Y1, Y2, Z1, Z2;

  int64_t Cols() const { return int64_t{X2} - X1 + 1; }
  int64_t Rows() const { return int64_t{Y2} - Y1 + 1; }
  int64_t Layers() const { return int64_t{Z2} - Z1 + 1; }
  int64_t Count() const { return Cols() * Rows() * Layers(); }
};

T3DBlock Make3DBlock(const TMat3D& M, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                     int32_t HighRow, int32_t LowLayer, int32_t HighLayer) {
  M.MakeValidColRange(LowCol, HighCol);
  M.MakeValidRowRange(LowRow, HighRow);
  M.MakeValidLayerRange(LowLayer, HighLayer);
  return {LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer};
}

/// Calls Run(p, n) for the runs of column x of the block, in buffer order.
template <class F>
bool ForEachColumnRun(const TMat3D& M, const T3DBlock& B, int32_t x, F&& Run) {
  const double* first = M.PixelData(x, B.Y1) + (B.Z1 - 1);
  if (B.Layers() == M.NrOfLayers()) return Run(first, B.Rows() * B.Layers());
  const size_t stride = static_cast<size_t>(M.NrOfLayers());
  for (int64_t r = 0; r < B.Rows(); ++r)
    if (!Run(first + static_cast<size_t>(r) * stride, B.Layers())) return false;
  return true;
}

}  // namespace

void TMat3D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                  int32_t LowLayer, int32_t HighLayer, double Value, int32_t& ColIx,
                  int32_t& RowIx, int32_t& LayerIx) const {
  ColIx = RowIx = LayerIx = 0;
  const T3DBlock b = Make3DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  // Buffer order is the search order: the first of equally close elements wins.
  double best = uc_MaxDouble;
  for (int32_t x = b.X1; x <= b.X2; ++x)
    for (int32_t y = b.Y1; y <= b.Y2; ++y) {
      const double* p = PixelData(x, y);
      for (int32_t z = b.Z1; z <= b.Z2; ++z) {
        const double d = std::fabs(p[z - 1] - Value);
        if (d < best) {
          best = d;
          ColIx = x;
          RowIx = y;
          LayerIx = z;
        }
      }
    }
}

void TMat3D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, double& Minimum, double& Maximum) const {
  const T3DBlock b = Make3DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  detail::BlockMinMax(
      [&](auto&& Span, bool Report) {
        detail::THookProgress progress(b.Cols() * b.Rows(), FMat);
        for (int32_t x = b.X1; x <= b.X2; ++x) {
          if (!ForEachColumnRun(*this, b, x, Span)) return false;
          if (Report && !progress.Done(b.Rows())) return false;
        }
        return true;
      },
      Minimum, Maximum);
}

double TMat3D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer) const {
  const T3DBlock b = Make3DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(b.Count()), 0.0)) RaiseNoHeap();
  double* out = work.data();
  for (int32_t x = b.X1; x <= b.X2; ++x)
    ForEachColumnRun(*this, b, x, [&](const double* p, int64_t n) {
      out = std::copy(p, p + n, out);
      return true;
    });
  return detail::PercentileOf(work, Prob);
}

double TMat3D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                          int32_t SampleSize) const {
  const T3DBlock b = Make3DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  if (SampleSize <= 0 || SampleSize >= b.Count())
    return Percentile(Prob, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(SampleSize), 0.0)) RaiseNoHeap();
  Randomize();
  for (double& v : work) {
    const int32_t x = b.X1 + Random(static_cast<int32_t>(b.Cols()));
    const int32_t y = b.Y1 + Random(static_cast<int32_t>(b.Rows()));
    const int32_t z = b.Z1 + Random(static_cast<int32_t>(b.Layers()));
    v = FMat[Index(x, y, z)];
  }
  return detail::PercentileOf(work, Prob);
}

}  // namespace nuv
