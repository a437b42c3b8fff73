// Copies of TMat4D: blocks between 4-D arrays, layers to and from TMatrix,
// time slots to and from TMat3D, and plain arrays into the layers of a pixel.
#include <algorithm>
#include <cstring>
#include <vector>

#include "Nuv_matrix/array_dims.h"
#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/mat4d_block.h"

namespace nuv {

using detail::Make4DBlock;
using detail::T4DBlock;
using detail::T4DShape;
using detail::TargetsInside;

void TMat4D::CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol,
                      int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLayer,
                      int32_t SrcHighLayer, int32_t SrcLowTSlot, int32_t SrcHighTSlot,
                      int32_t DestCol, int32_t DestRow, int32_t DestLayer, int32_t DestTSlot) {
  if (MatSource == nullptr) return;
  const T4DBlock b = Make4DBlock(*MatSource, SrcLowCol, SrcHighCol, SrcLowRow, SrcHighRow,
                                 SrcLowLayer, SrcHighLayer, SrcLowTSlot, SrcHighTSlot);
  // The part of the block whose targets lie inside the receiver.
  const auto xs = TargetsInside(b.X1, b.X2, DestCol, FNumX);
  const auto ys = TargetsInside(b.Y1, b.Y2, DestRow, FNumY);
  const auto zs = TargetsInside(b.Z1, b.Z2, DestLayer, FNumZ);
  const auto ts = TargetsInside(b.T1, b.T2, DestTSlot, FNumT);
  const bool any = xs.Lo <= xs.Hi && ys.Lo <= ys.Hi && zs.Lo <= zs.Hi && ts.Lo <= ts.Hi;
  const size_t nx = any ? static_cast<size_t>(xs.Hi - xs.Lo + 1) : 0;
  const size_t ny = any ? static_cast<size_t>(ys.Hi - ys.Lo + 1) : 0;
  const size_t nz = any ? static_cast<size_t>(zs.Hi - zs.Lo + 1) : 0;
  const size_t nt = any ? static_cast<size_t>(ts.Hi - ts.Lo + 1) : 0;
  const T4DShape from(*MatSource);
  const T4DShape to(*this);

  // Within one array the copied part is taken out first, so that overlapping
  // source and target read the original values.
  std::vector<double> aside;
  if (MatSource == this && any) {
    size_t cells = 0;
    if (!detail::ElementCount({static_cast<int64_t>(nx), static_cast<int64_t>(ny),
                               static_cast<int64_t>(nz), static_cast<int64_t>(nt)},
                              cells) ||
        !TryAllocate(aside, cells, 0.0))
      RaiseNoHeap();
    double* out = aside.data();
    for (int64_t t = ts.Lo; t <= ts.Hi; ++t)
      for (int64_t z = zs.Lo; z <= zs.Hi; ++z)
        for (int64_t y = ys.Lo; y <= ys.Hi; ++y, out += nx)
          std::memcpy(out, FMat.data() + from.At(xs.Lo, y, z, t), nx * sizeof(double));
  }
  auto sourceRow = [&](int64_t y, int64_t z, int64_t t) -> const double* {
    if (aside.empty()) return MatSource->FMat.data() + from.At(xs.Lo, y, z, t);
    return aside.data() +
           ((static_cast<size_t>(t - ts.Lo) * nz + static_cast<size_t>(z - zs.Lo)) * ny +
            static_cast<size_t>(y - ys.Lo)) *
               nx;
  };

  detail::THookProgress progress(b.Pixels(), FMat);
  const detail::TStorageWatch source(MatSource->FMat);
  const int64_t band = detail::BandRows(b);
  for (int64_t y0 = b.Y1; y0 <= b.Y2; y0 += band) {
    const int64_t rows = std::min<int64_t>(band, b.Y2 - y0 + 1);
    const int64_t yLo = std::max(y0, ys.Lo), yHi = std::min(y0 + rows - 1, ys.Hi);
    for (int64_t t = ts.Lo; any && t <= ts.Hi; ++t)
      for (int64_t z = zs.Lo; z <= zs.Hi; ++z)
        for (int64_t y = yLo; y <= yHi; ++y)
          std::memcpy(FMat.data() + to.At(xs.Lo - b.X1 + DestCol, y - b.Y1 + DestRow,
                                          z - b.Z1 + DestLayer, t - b.T1 + DestTSlot),
                      sourceRow(y, z, t), nx * sizeof(double));
    if (!progress.Done(rows * b.Cols()) || !source.Intact()) break;
  }
  Changed();
}

void TMat4D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t Layer, int32_t TimeSlot) const {
  if (Layer < 1 || Layer > FNumZ) RaiseBeyond("layer");
  if (TimeSlot < 1 || TimeSlot > FNumT) RaiseBeyond("time slot");
  if (DestMat == nullptr) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const bool quiet = !DestMat->OnChange();
  DestMat->Resize(HighCol - LowCol + 1, HighRow - LowRow + 1);
  if (quiet) {
    const size_t stride = static_cast<size_t>(DestMat->ColStride());
    double* out = DestMat->ColData(1);
    for (int32_t y = LowRow; y <= HighRow; ++y) {
      const double* row = FMat.data() + Index(LowCol, y, Layer, TimeSlot);
      double* o = out + (y - LowRow);
      for (int32_t c = 0; c <= HighCol - LowCol; ++c) o[static_cast<size_t>(c) * stride] = row[c];
    }
  } else {
    // Each write fires the handler, which may resize either object.
    for (int32_t x = LowCol; x <= HighCol; ++x)
      for (int32_t y = LowRow; y <= HighRow; ++y)
        DestMat->SetVal(x - LowCol + 1, y - LowRow + 1, GetVal(x, y, Layer, TimeSlot));
  }
}

void TMat4D::CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                                 int32_t HighRow, int32_t LowLay, int32_t HighLay,
                                 int32_t TimeSlot) const {
  if (TimeSlot < 1 || TimeSlot > FNumT) RaiseBeyond("time slot");
  if (DestMat == nullptr) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLay, HighLay);
  const int32_t nc = HighCol - LowCol + 1, nr = HighRow - LowRow + 1, nl = HighLay - LowLay + 1;
  const detail::TStorageWatch watch(FMat);
  DestMat->Resize(nc, nr, nl);
  if (watch.Intact() && DestMat->NrOfColumns() == nc && DestMat->NrOfRows() == nr &&
      DestMat->NrOfLayers() == nl) {
    // The 3-D buffer holds the layers of a pixel together: written pixel by pixel.
    double* out = DestMat->Data();
    const size_t plane = static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY);
    for (int32_t x = LowCol; x <= HighCol; ++x)
      for (int32_t y = LowRow; y <= HighRow; ++y) {
        const double* in = FMat.data() + Index(x, y, LowLay, TimeSlot);
        for (int32_t l = 0; l < nl; ++l) *out++ = in[static_cast<size_t>(l) * plane];
      }
  } else {
    // The OnChange handler of the resize changed one of the arrays: checked access.
    for (int32_t x = LowCol; x <= HighCol; ++x)
      for (int32_t y = LowRow; y <= HighRow; ++y)
        for (int32_t l = LowLay; l <= HighLay; ++l)
          DestMat->SetVal(x - LowCol + 1, y - LowRow + 1, l - LowLay + 1,
                          GetVal(x, y, l, TimeSlot));
  }
}

void TMat4D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                               int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer,
                               int32_t TimeSlot, int32_t LayLowCol, int32_t LayLowRow) {
  if (Layer < 1 || Layer > FNumZ) RaiseBeyond("layer");
  if (TimeSlot < 1 || TimeSlot > FNumT) RaiseBeyond("time slot");
  if (SrcMat == nullptr) return;
  MakeValidColRange(SrcLowCol, SrcHighCol);
  MakeValidRowRange(SrcLowRow, SrcHighRow);
  const auto cols = TargetsInside(SrcLowCol, SrcHighCol, LayLowCol, FNumX);
  const auto rows = TargetsInside(SrcLowRow, SrcHighRow, LayLowRow, FNumY);
  for (int64_t r = rows.Lo; r <= rows.Hi; ++r) {
    double* row = FMat.data() +
                  Index(static_cast<int32_t>(cols.Lo - SrcLowCol + LayLowCol),
                        static_cast<int32_t>(r - SrcLowRow + LayLowRow), Layer, TimeSlot);
    for (int64_t c = cols.Lo; c <= cols.Hi; ++c)
      row[c - cols.Lo] = SrcMat->GetVal(static_cast<int32_t>(c), static_cast<int32_t>(r));
  }
}

void TMat4D::CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                                 int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLay,
                                 int32_t SrcHighLay, int32_t TimeSlot, int32_t DestCol,
                                 int32_t DestRow, int32_t DestLayer) {
  if (TimeSlot < 1 || TimeSlot > FNumT) RaiseBeyond("time slot");
  if (SrcMat == nullptr) return;
  MakeValidColRange(SrcLowCol, SrcHighCol);
  MakeValidRowRange(SrcLowRow, SrcHighRow);
  MakeValidLayerRange(SrcLowLay, SrcHighLay);
  const auto cols = TargetsInside(SrcLowCol, SrcHighCol, DestCol, FNumX);
  const auto rows = TargetsInside(SrcLowRow, SrcHighRow, DestRow, FNumY);
  const auto lays = TargetsInside(SrcLowLay, SrcHighLay, DestLayer, FNumZ);
  for (int64_t l = lays.Lo; l <= lays.Hi; ++l)
    for (int64_t r = rows.Lo; r <= rows.Hi; ++r) {
      double* row = FMat.data() + Index(static_cast<int32_t>(cols.Lo - SrcLowCol + DestCol),
                                        static_cast<int32_t>(r - SrcLowRow + DestRow),
                                        static_cast<int32_t>(l - SrcLowLay + DestLayer), TimeSlot);
      for (int64_t c = cols.Lo; c <= cols.Hi; ++c)
        row[c - cols.Lo] = SrcMat->GetVal(static_cast<int32_t>(c), static_cast<int32_t>(r),
                                          static_cast<int32_t>(l));
    }
}

void TMat4D::Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row,
                                int32_t FirstLayer, int32_t TimeSlot) {
  if (Col < 1 || Col > FNumX) RaiseBeyond("column");
  if (Row < 1 || Row > FNumY) RaiseBeyond("row");
  if (FirstLayer < 1 || FirstLayer > FNumZ) RaiseBeyond("layer");
  if (TimeSlot < 1 || TimeSlot > FNumT) RaiseBeyond("time slot");
  const size_t n = std::min(Src.size(), static_cast<size_t>(FNumZ - FirstLayer + 1));
  const size_t plane = static_cast<size_t>(FNumX) * static_cast<size_t>(FNumY);
  double* p = FMat.data() + Index(Col, Row, FirstLayer, TimeSlot);
  for (size_t i = 0; i < n; ++i) p[i * plane] = Src[i];
}

}  // namespace nuv
