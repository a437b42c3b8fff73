// Storage, filling, layer copies and the checksum of TMat3D, and the
// TMatrix.CopyFrom overload that reads one of its layers. The buffer is in
// element order (column outer, layer inner), so whole-array passes are one
// sweep and a layer is read at the stride NrOfLayers.
#include "Nuv_matrix/mat3d.h"

#include <algorithm>
#include <cstring>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_matrix/array_dims.h"
#include "Nuv_vector/byte_lane_crc.h"

namespace nuv {

TMat3D::TMat3D(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FMat, 1, 0.0)) RaiseNoHeap();
}

TMat3D::~TMat3D() = default;

void TMat3D::RaiseNoHeap() const {
  RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
}

void TMat3D::CheckLayer(int32_t Layer) const {
  if (Layer < 1 || Layer > FNumZ)
    RaiseComponentError<ENUVMatrixError>(this, "specified layer beyond data range");
}

bool TMat3D::Resize(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0) return true;
  if (Nc == FNumX && Nr == FNumY && Nl == FNumZ) return true;
  size_t cells = 0;
  if (!detail::ElementCount({Nc, Nr, Nl}, cells)) RaiseNoHeap();
  if (Nr == FNumY && Nl == FNumZ) {
    // Whole columns are kept or appended: the buffer grows or shrinks at its end.
    if (!TryResize(FMat, cells, 0.0)) RaiseNoHeap();
  } else {
    TDoubleBuffer fresh;
    if (!TryAllocate(fresh, cells, 0.0)) RaiseNoHeap();
    const size_t keepX = static_cast<size_t>(std::min(Nc, FNumX));
    const size_t keepY = static_cast<size_t>(std::min(Nr, FNumY));
    const size_t keepZ = static_cast<size_t>(std::min(Nl, FNumZ));
    for (size_t x = 0; x < keepX; ++x)
      for (size_t y = 0; y < keepY; ++y)
        std::memcpy(fresh.data() + (x * static_cast<size_t>(Nr) + y) * static_cast<size_t>(Nl),
                    FMat.data() + (x * static_cast<size_t>(FNumY) + y) * static_cast<size_t>(FNumZ),
                    keepZ * sizeof(double));
    FMat.swap(fresh);
  }
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  Changed();
  return true;
}

bool TMat3D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl) {
  if (!Resize(Nc, Nr, Nl)) return false;
  Fill(0.0);
  return true;
}

void TMat3D::Fill(double Value) { std::fill(FMat.begin(), FMat.end(), Value); }

void TMat3D::FillDiag(double Value) {
  const int32_t n = std::min({FNumX, FNumY, FNumZ});
  for (int32_t i = 1; i <= n; ++i) FMat[Index(i, i, i)] = Value;
  Changed();
}

void TMat3D::FillRandomUniform(double RangeLow, double RangeHigh) {
  const double span = RangeHigh - RangeLow;
  for (double& v : FMat) v = RangeLow + Random() * span;
  Changed();
}

void TMat3D::FillRandomGauss(double Mean, double StdDev) {
  for (double& v : FMat) v = GRandom() * StdDev + Mean;
  Changed();
}

void TMat3D::Clone(const TMat3D* MatSource) {
  if (MatSource == nullptr) return;
  if (MatSource != this) {
    Resize(MatSource->FNumX, MatSource->FNumY, MatSource->FNumZ);
    // An OnChange handler of the resize may have changed either array again.
    if (FMat.size() == MatSource->FMat.size())
      std::memcpy(FMat.data(), MatSource->FMat.data(), FMat.size() * sizeof(double));
  }
  Changed();
}

std::string TMat3D::CRCofData() const {
  detail::TByteLaneCRC<double> crc;
  crc.Add(FMat.data(), FMat.size());
  return crc.Text();
}

void TMat3D::CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t Layer) const {
  CheckLayer(Layer);
  if (DestMat == nullptr) return;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  // Without an OnChange handler DestMat is written directly; with one, every
  // value goes through its SetVal (and the handler may resize either object).
  const bool quiet = !DestMat->OnChange();
  DestMat->Resize(HighCol - LowCol + 1, HighRow - LowRow + 1);
  if (quiet) {
    const size_t nz = static_cast<size_t>(FNumZ);
    for (int32_t x = LowCol; x <= HighCol; ++x) {
      double* out = DestMat->ColData(x - LowCol + 1);
      const double* in = FMat.data() + Index(x, LowRow, Layer);
      for (int32_t r = 0; r <= HighRow - LowRow; ++r) out[r] = in[static_cast<size_t>(r) * nz];
    }
  } else {
    for (int32_t x = LowCol; x <= HighCol; ++x)
      for (int32_t y = LowRow; y <= HighRow; ++y)
        DestMat->SetVal(x - LowCol + 1, y - LowRow + 1, GetVal(x, y, Layer));
  }
}

void TMat3D::CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                               int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer,
                               int32_t LayLowCol, int32_t LayLowRow) {
  CheckLayer(Layer);
  if (SrcMat == nullptr) return;
  // Only the source positions whose targets lie inside the array are visited,
  // so a huge source range costs nothing.
  const auto cols = detail::TargetsInside(SrcLowCol, SrcHighCol, LayLowCol, FNumX);
  const auto rows = detail::TargetsInside(SrcLowRow, SrcHighRow, LayLowRow, FNumY);
  for (int64_t c = cols.Lo; c <= cols.Hi; ++c) {
    const auto tc = static_cast<int32_t>(c - SrcLowCol + LayLowCol);
    for (int64_t r = rows.Lo; r <= rows.Hi; ++r) {
      const auto tr = static_cast<int32_t>(r - SrcLowRow + LayLowRow);
      FMat[Index(tc, tr, Layer)] = SrcMat->GetVal(static_cast<int32_t>(c), static_cast<int32_t>(r));
    }
  }
}

void TMatrix::CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t SourceLayer,
                       int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) return;
  // Each bound is clipped on its own: (0, 0) is element 1, not "all".
  const int32_t nc = MatSource->NrOfColumns();
  const int32_t nr = MatSource->NrOfRows();
  SourceColLo = detail::ClipIndex(SourceColLo, nc);
  SourceColHi = detail::ClipIndex(SourceColHi, nc);
  SourceRowLo = detail::ClipIndex(SourceRowLo, nr);
  SourceRowHi = detail::ClipIndex(SourceRowHi, nr);
  if (SourceColHi < SourceColLo) std::swap(SourceColLo, SourceColHi);
  if (SourceRowHi < SourceRowLo) std::swap(SourceRowLo, SourceRowHi);
  const int32_t layer = detail::ClipIndex(SourceLayer, MatSource->NrOfLayers());
  const auto cols = detail::TargetsInside(SourceColLo, SourceColHi, DestCol, FNCol);
  const auto rows = detail::TargetsInside(SourceRowLo, SourceRowHi, DestRow, FNRow);
  if (!FOnChange) {
    const size_t nz = static_cast<size_t>(MatSource->NrOfLayers());
    for (int64_t c = cols.Lo; c <= cols.Hi; ++c) {
      const double* in =
          MatSource->PixelData(static_cast<int32_t>(c), static_cast<int32_t>(rows.Lo)) + (layer - 1);
      double* out = ColData(static_cast<int32_t>(c - SourceColLo + DestCol)) +
                    (rows.Lo - SourceRowLo + DestRow - 1);
      for (int64_t r = 0; r <= rows.Hi - rows.Lo; ++r) out[r] = in[static_cast<size_t>(r) * nz];
    }
  } else {
    // A handler may resize either object: read and write through the checked accessors.
    for (int64_t c = cols.Lo; c <= cols.Hi; ++c)
      for (int64_t r = rows.Lo; r <= rows.Hi; ++r)
        SetVal(static_cast<int32_t>(c - SourceColLo + DestCol),
               static_cast<int32_t>(r - SourceRowLo + DestRow),
               MatSource->GetVal(static_cast<int32_t>(c), static_cast<int32_t>(r), layer));
  }
  Changed();
}

}  // namespace nuv
