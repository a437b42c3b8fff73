// Storage, element access, filling, copying, counting and the checksum of
// TMatrix. The elements are one column-major buffer of max(FNCol, 1) columns
// of max(FNRow, 1) rows; while both counts are positive the buffer holds
// exactly the matrix, so whole-matrix passes run over FMat in one sweep.
#include "Nuv_matrix/matrix_core.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_matrix/matrix_checksum.h"

namespace nuv {

namespace {

/// Cells of a buffer of Nc x Nr, or false when the count overflows size_t.
bool CellCount(int32_t Nc, int32_t Nr, size_t& Cells) {
  const size_t c = static_cast<size_t>(Nc);
  const size_t r = static_cast<size_t>(Nr);
  if (r != 0 && c > std::numeric_limits<size_t>::max() / r) return false;
  Cells = c * r;
  return true;
}

}  // namespace

TMatrix::TMatrix(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FMat, 1, 0.0)) RaiseNoHeap();
}

TMatrix::~TMatrix() = default;

void TMatrix::RaiseNoHeap() const {
  RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
}

bool TMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (Nc == FNCol && Nr == FNRow) return true;
  if (Nc < 0) Nc = 0;
  if (Nr < 0) Nr = 0;
  const int32_t colsAlloc = std::max(Nc, 1);
  const int32_t rowsAlloc = std::max(Nr, 1);
  size_t cells = 0;
  if (!CellCount(colsAlloc, rowsAlloc, cells)) RaiseNoHeap();
  if (rowsAlloc == FRowsAlloc) {
    // Same column stride: the kept columns stay where they are, new ones are
    // appended as zeros (resize gives the strong guarantee).
    if (!TryResize(FMat, cells, 0.0)) RaiseNoHeap();
  } else {
    std::vector<double> fresh;
    if (!TryAllocate(fresh, cells, 0.0)) RaiseNoHeap();
    const int32_t keepCols = std::min(colsAlloc, FColsAlloc);
    const size_t keepRows = static_cast<size_t>(std::min(rowsAlloc, FRowsAlloc));
    for (int32_t c = 0; c < keepCols; ++c)
      std::memcpy(fresh.data() + static_cast<size_t>(c) * static_cast<size_t>(rowsAlloc),
                  FMat.data() + static_cast<size_t>(c) * static_cast<size_t>(FRowsAlloc),
                  keepRows * sizeof(double));
    FMat.swap(fresh);
  }
  FColsAlloc = colsAlloc;
  FRowsAlloc = rowsAlloc;
  FNCol = Nc;
  FNRow = Nr;
  Changed();
  return true;
}

bool TMatrix::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!Resize(Nc, Nr)) return false;
  Fill(0.0);
  return true;
}

void TMatrix::Fill(double Value) {
  // A matrix without elements leaves its kept cell alone, so that growing it
  // again brings back what was there.
  if (FNCol > 0 && FNRow > 0) std::fill(FMat.begin(), FMat.end(), Value);
  Changed();
}

void TMatrix::FillDiag(double Value) {
  const int32_t n = std::min(FNCol, FNRow);
  double* p = FMat.data();
  const size_t step = static_cast<size_t>(FRowsAlloc) + 1;
  for (int32_t i = 0; i < n; ++i) p[static_cast<size_t>(i) * step] = Value;
  Changed();
}

void TMatrix::FillRandomUniform(double RangeLow, double RangeHigh) {
  if (FNCol > 0 && FNRow > 0) {
    const double span = RangeHigh - RangeLow;
    for (double& v : FMat) v = RangeLow + Random() * span;
  }
  Changed();
}

void TMatrix::FillRandomGauss(double Mean, double StdDev) {
  if (FNCol > 0 && FNRow > 0) {
    for (double& v : FMat) v = GRandom() * StdDev + Mean;
  }
  Changed();
}

void TMatrix::Clone(const TMatrix* MatSource) {
  if (MatSource == nullptr) return;
  Resize(MatSource->FNCol, MatSource->FNRow);
  if (MatSource == this && !FOnChange) {
    Changed();  // nothing moves, and no handler sees the writes
    return;
  }
  // The whole source at (1, 1): CopyFrom's copy, with its per-element events when a
  // handler listens, and its final Changed.
  CopyFrom(MatSource, 1, 1, MatSource->FNCol, MatSource->FNRow, 1, 1);
}

void TMatrix::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TMatrix*>(Source);
  if (src == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (src == this) return;
  std::vector<double> copy;
  try {
    copy = src->FMat;
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  } catch (const std::length_error&) {
    RaiseNoHeap();
  }
  std::string id = src->FDataID;
  TNotifyEvent onChange = src->FOnChange;
  TSortExchgEvent onSort = src->FOnSortExchange;
  TOnCalcDistanceEvent onDist = src->FOnCalcDist;
  FMat.swap(copy);
  FNCol = src->FNCol;
  FNRow = src->FNRow;
  FColsAlloc = src->FColsAlloc;
  FRowsAlloc = src->FRowsAlloc;
  FDataID.swap(id);
  FPrecis[0] = src->FPrecis[0];
  FPrecis[1] = src->FPrecis[1];
  FOnChange.swap(onChange);
  FOnSortExchange.swap(onSort);
  FOnCalcDist.swap(onDist);
}

void TMatrix::AssignTo(TPersistent* Dest) {
  if (auto* dest = dynamic_cast<TMatrix*>(Dest)) {
    dest->Assign(this);
    return;
  }
  TComponent::AssignTo(Dest);
}

void TMatrix::CopyFrom(const TMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  if (MatSource == nullptr) return;
  const int32_t nc = MatSource->FNCol;
  const int32_t nr = MatSource->FNRow;
  // A source without elements has no block to copy (clipping would give the
  // bound 0 and read outside it).
  if (nc < 1 || nr < 1) {
    Changed();
    return;
  }
  // Each bound is clipped on its own: (0, 0) is element 1, not "all".
  auto clip = [](int32_t v, int32_t n) { return v < 1 ? 1 : (v > n ? n : v); };
  SourceColLo = clip(SourceColLo, nc);
  SourceColHi = clip(SourceColHi, nc);
  SourceRowLo = clip(SourceRowLo, nr);
  SourceRowHi = clip(SourceRowHi, nr);
  if (SourceColHi < SourceColLo) std::swap(SourceColLo, SourceColHi);
  if (SourceRowHi < SourceRowLo) std::swap(SourceRowLo, SourceRowHi);
  const int32_t bc = SourceColHi - SourceColLo + 1;
  const int32_t br = SourceRowHi - SourceRowLo + 1;

  // The block, column-major; copied out first so that a matrix copied into
  // itself reads its original values.
  std::vector<double> block;
  const double* src = nullptr;
  size_t srcStride = 0;
  if (MatSource == this) {
    if (!TryAllocate(block, static_cast<size_t>(bc) * static_cast<size_t>(br), 0.0)) RaiseNoHeap();
    for (int32_t c = 0; c < bc; ++c)
      std::memcpy(block.data() + static_cast<size_t>(c) * static_cast<size_t>(br),
                  ColData(SourceColLo + c) + (SourceRowLo - 1),
                  static_cast<size_t>(br) * sizeof(double));
    src = block.data();
    srcStride = static_cast<size_t>(br);
  } else {
    src = MatSource->ColData(SourceColLo) + (SourceRowLo - 1);
    srcStride = static_cast<size_t>(MatSource->FRowsAlloc);
  }

  const int64_t dc0 = DestCol;
  const int64_t dr0 = DestRow;
  if (!FOnChange) {
    // The part of the block that lands inside the receiver, copied by columns.
    const int64_t cFirst = std::max<int64_t>(0, 1 - dc0);
    const int64_t cLast = std::min<int64_t>(bc - 1, FNCol - dc0);
    const int64_t rFirst = std::max<int64_t>(0, 1 - dr0);
    const int64_t rLast = std::min<int64_t>(br - 1, FNRow - dr0);
    if (cFirst <= cLast && rFirst <= rLast) {
      const size_t n = static_cast<size_t>(rLast - rFirst + 1);
      for (int64_t c = cFirst; c <= cLast; ++c)
        std::memcpy(ColData(static_cast<int32_t>(dc0 + c)) + (dr0 + rFirst - 1),
                    src + static_cast<size_t>(c) * srcStride + static_cast<size_t>(rFirst),
                    n * sizeof(double));
    }
  } else {
    // Each write fires OnChange, and a handler may resize either matrix: every write goes
    // through the checked setter, every read of another source through its checked
    // accessor (the receiver's own block comes from the copy made above).
    for (int32_t c = 0; c < bc; ++c)
      for (int32_t r = 0; r < br; ++r) {
        const int64_t tc = dc0 + c;
        const int64_t tr = dr0 + r;
        if (tc < 1 || tc > FNCol || tr < 1 || tr > FNRow) continue;
        const double v = MatSource == this
                             ? src[static_cast<size_t>(c) * srcStride + static_cast<size_t>(r)]
                             : MatSource->GetVal(SourceColLo + c, SourceRowLo + r);
        SetVal(static_cast<int32_t>(tc), static_cast<int32_t>(tr), v);
      }
  }
  Changed();
}

void TMatrix::CopyFromVec(TDims Dim, const TVector* VecSource, int32_t Source1stElem,
                          int32_t SourceLastElem, int32_t DestCol, int32_t DestRow) {
  if (VecSource == nullptr) return;
  VecSource->MakeValidElemRange(Source1stElem, SourceLastElem);
  for (int32_t e = Source1stElem; e <= SourceLastElem; ++e) {
    const int64_t off = static_cast<int64_t>(e) - Source1stElem;
    const int64_t tc = Dim == dimColumns ? DestCol + off : DestCol;
    const int64_t tr = Dim == dimColumns ? DestRow : DestRow + off;
    if (tc >= 1 && tc <= FNCol && tr >= 1 && tr <= FNRow)
      SetVal(static_cast<int32_t>(tc), static_cast<int32_t>(tr), VecSource->GetVal(e));
  }
  Changed();
}

void TMatrix::CopyFromVec(const TVector* VecSource, int32_t Source1stElem, int32_t SourceLastElem,
                          int32_t DestCol, int32_t DestRow) {
  CopyFromVec(dimRows, VecSource, Source1stElem, SourceLastElem, DestCol, DestRow);
}

void TMatrix::CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const {
  if (DestVec == nullptr) return;
  double* out = DestVec->Data();
  std::fill(out, out + DestVec->NrOfElem(), 0.0);
  MakeValidColRange(FirstCol, LastCol);
  if (FNCol > 0 && FNRow > 0) {
    Row = Row < 1 ? 1 : (Row > FNRow ? FNRow : Row);
    const int32_t len = std::min(LastCol - FirstCol + 1, DestVec->NrOfElem());
    const double* p = FMat.data() + Index(FirstCol, Row);
    const size_t stride = static_cast<size_t>(FRowsAlloc);
    for (int32_t k = 0; k < len; ++k) out[k] = p[static_cast<size_t>(k) * stride];
  }
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

void TMatrix::CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const {
  if (DestVec == nullptr) return;
  double* out = DestVec->Data();
  std::fill(out, out + DestVec->NrOfElem(), 0.0);
  MakeValidRowRange(FirstRow, LastRow);
  if (FNCol > 0 && FNRow > 0) {
    Col = Col < 1 ? 1 : (Col > FNCol ? FNCol : Col);
    const int32_t len = std::min(LastRow - FirstRow + 1, DestVec->NrOfElem());
    std::memcpy(out, ColData(Col) + (FirstRow - 1), static_cast<size_t>(len) * sizeof(double));
  }
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

int32_t TMatrix::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                             double RangeLow, double RangeHigh) const {
  if (!MakeValidRange(LowCol, HighCol, FNCol) || !MakeValidRange(LowRow, HighRow, FNRow)) return 0;
  const size_t n = static_cast<size_t>(HighRow - LowRow + 1);
  int64_t count = 0;
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    const double* p = ColData(c) + (LowRow - 1);
    // Branch-free so the compiler can vectorise; NaN fails both tests.
    int64_t inCol = 0;
    for (size_t i = 0; i < n; ++i) inCol += (p[i] >= RangeLow) & (p[i] <= RangeHigh);
    count += inCol;
  }
  return static_cast<int32_t>(count);
}

std::string TMatrix::CRCofData() const {
  detail::TDoubleCRC crc;
  if (FNCol > 0 && FNRow > 0) crc.Add(FMat.data(), FMat.size());
  return crc.Text();
}

}  // namespace nuv
