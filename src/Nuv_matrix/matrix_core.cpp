// Storage, element access, filling, copying, counting and the checksum of
// TMatrix. The elements are one column-major buffer of max(FNCol, 1) columns
// of max(FNRow, 1) rows; while both counts are positive the buffer holds
// exactly the matrix, so whole-matrix passes run over FMat in one sweep.
#include "Nuv_matrix/matrix_core.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_matrix/matrix_copy.h"
#include "Nuv_matrix/matrix_order_impl.h"
#include "Nuv_matrix/matrix_storage.h"
#include "Nuv_vector/byte_lane_crc.h"

namespace nuv {

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
  if (!detail::ResizeColMajor(FMat, FColsAlloc, FRowsAlloc, Nc, Nr)) RaiseNoHeap();
  FNCol = Nc;
  FNRow = Nr;
  Changed();
  return true;
}

bool TMatrix::SwapStorage(std::vector<double>& Data, int32_t Nc, int32_t Nr) {
  if (Nc < 1 || Nr < 1 || Data.size() != static_cast<size_t>(Nc) * static_cast<size_t>(Nr))
    return false;
  FMat.swap(Data);
  FColsAlloc = FNCol = Nc;
  FRowsAlloc = FNRow = Nr;
  Changed();
  return true;
}

bool TMatrix::CommitLoaded(std::vector<double>& Data, int32_t NCols, int32_t NRows,
                           bool AdjustSize) {
  if (AdjustSize) {
    FMat.swap(Data);
    FNCol = NCols;
    FNRow = NRows;
    FColsAlloc = std::max(NCols, 1);
    FRowsAlloc = std::max(NRows, 1);
    return true;
  }
  if (NCols > FNCol || NRows > FNRow) return false;
  if (NRows > 0)
    for (int32_t c = 0; c < NCols; ++c)
      std::memcpy(FMat.data() + static_cast<size_t>(c) * static_cast<size_t>(FRowsAlloc),
                  Data.data() + static_cast<size_t>(c) * static_cast<size_t>(NRows),
                  static_cast<size_t>(NRows) * sizeof(double));
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

void TMatrix::FillDiag(double Value) { detail::FillDiagOf(*this, Value); }

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
  detail::CopyBlockFrom(*this, MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi,
                        DestCol, DestRow);
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
  // NaN fails both tests.
  return detail::CountInBlockOf(*this, LowCol, HighCol, LowRow, HighRow, [&](double v) {
    return static_cast<int>((v >= RangeLow) & (v <= RangeHigh));
  });
}

std::string TMatrix::CRCofData() const {
  // A matrix without elements feeds no byte.
  return detail::ByteLaneCRCText(FMat.data(), FNCol > 0 && FNRow > 0 ? FMat.size() : 0);
}

}  // namespace nuv
