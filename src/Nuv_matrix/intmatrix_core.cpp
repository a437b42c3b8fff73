// TIntMatrix construction, the two storage forms and the conversions between
// them, element access, sizing, filling, copying and transposition.
#include <algorithm>
#include <limits>
#include <new>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/matrix_copy.h"
#include "Nuv_matrix/matrix_storage.h"

namespace nuv {

namespace {

constexpr int32_t kEmptyLow = 2147483647;

}  // namespace

TIntMatrix::TIntMatrix(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FMat, 1, 0)) RaiseNoHeap();
}

TIntMatrix* TIntMatrix::CreateSparse(TComponent* AOwner, int32_t AllocBy) {
  // Built without owner first, so that a failure leaves nothing in AOwner's list.
  auto* m = new TIntMatrix(nullptr);
  m->FMat.clear();
  m->FMat.shrink_to_fit();
  m->FIsSparse = true;
  m->FAllocBy = AllocBy < 1 ? 1 : AllocBy;
  m->ResetSparse();
  if (AOwner != nullptr) AOwner->InsertComponent(m);
  return m;
}

TIntMatrix::~TIntMatrix() = default;

void TIntMatrix::RaiseNoHeap() const {
  RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
}

void TIntMatrix::ResetSparse() {
  FSparse.Clear();
  FSparseNumElem = 0;
  FNumAllocated = FAllocBy;
  FSparseLowCol = kEmptyLow;
  FSparseLowRow = kEmptyLow;
  FSparseHighCol = 1;
  FSparseHighRow = 1;
  FNCol = 0;
  FNRow = 0;
}

void TIntMatrix::CountInsertion() {
  if (FSparseNumElem < FNumAllocated) return;
  // The reported allocation grows by FAllocBy; a count beyond 32 bits is as
  // good as no memory.
  if (FNumAllocated > std::numeric_limits<int32_t>::max() - FAllocBy) RaiseNoHeap();
  FNumAllocated += FAllocBy;
}

void TIntMatrix::WidenBox(int32_t Nc, int32_t Nr) {
  FSparseLowCol = std::min(FSparseLowCol, Nc);
  FSparseHighCol = std::max(FSparseHighCol, Nc);
  FSparseLowRow = std::min(FSparseLowRow, Nr);
  FSparseHighRow = std::max(FSparseHighRow, Nr);
  FNCol = FSparseHighCol;
  FNRow = FSparseHighRow;
}

std::vector<TSpMatElemInt> TIntMatrix::SpMat() const {
  std::vector<TSpMatElemInt> out;
  if (FIsSparse) FSparse.CopyTo(out);
  return out;
}

void TIntMatrix::SetVal(int32_t Nc, int32_t Nr, int32_t Value) {
  if (!FIsSparse) {
    if (Nc < 1 || Nc > FNCol || Nr < 1 || Nr > FNRow) return;
    FMat[Index(Nc, Nr)] = Value;
    Changed();
    return;
  }
  if (Nc <= 0 || Nr <= 0) return;
  if (int32_t* v = FSparse.Find(Nc, Nr)) {
    *v = Value;
  } else {
    const int32_t allocated = FNumAllocated;
    if (FSparseNumElem == std::numeric_limits<int32_t>::max()) RaiseNoHeap();
    CountInsertion();
    try {
      FSparse.Insert(Nc, Nr, Value);
    } catch (const std::bad_alloc&) {
      FNumAllocated = allocated;
      RaiseNoHeap();
    }
    ++FSparseNumElem;
    WidenBox(Nc, Nr);
  }
  Changed();
}

void TIntMatrix::TakeDense(std::vector<int32_t>& Data, int32_t Nc, int32_t Nr) {
  FMat.swap(Data);
  FNCol = Nc;
  FNRow = Nr;
  FColsAlloc = std::max(Nc, 1);
  FRowsAlloc = std::max(Nr, 1);
}

void TIntMatrix::ArrayToSparse(int32_t AllocBy) {
  if (FIsSparse) return;
  const int32_t step = AllocBy < 1 ? 1 : AllocBy;
  // The list is built aside; the matrix changes only once it is complete.
  std::vector<TSpMatElemInt> entries;
  detail::TSparseIntList list;
  int32_t lowC = kEmptyLow, highC = 1, lowR = kEmptyLow, highR = 1;
  int64_t allocated = step;
  try {
    for (int32_t c = 1; c <= FNCol; ++c) {
      const int32_t* p = FMat.data() + Index(c, 1);
      for (int32_t r = 1; r <= FNRow; ++r) {
        if (p[r - 1] == 0) continue;
        entries.push_back({c, r, p[r - 1]});
        lowC = std::min(lowC, c);
        highC = c;
        lowR = std::min(lowR, r);
        highR = std::max(highR, r);
      }
    }
    list.Assign(entries);
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  } catch (const std::length_error&) {
    RaiseNoHeap();
  }
  const int64_t n = static_cast<int64_t>(entries.size());
  if (n > allocated) allocated += (n - allocated + step - 1) / step * step;
  if (allocated > std::numeric_limits<int32_t>::max()) RaiseNoHeap();
  FIsSparse = true;
  FAllocBy = step;
  FSparse = std::move(list);
  FSparseNumElem = static_cast<int32_t>(n);
  FNumAllocated = static_cast<int32_t>(allocated);
  FSparseLowCol = lowC;
  FSparseHighCol = highC;
  FSparseLowRow = lowR;
  FSparseHighRow = highR;
  std::vector<int32_t>().swap(FMat);
  FColsAlloc = 1;
  FRowsAlloc = 1;
}

void TIntMatrix::SparseToArray() {
  if (!FIsSparse) return;
  const bool empty = FSparseNumElem == 0;
  const int32_t nc = empty ? 1 : FSparseHighCol;
  const int32_t nr = empty ? 1 : FSparseHighRow;
  std::vector<int32_t> data;
  int32_t colsAlloc = 0, rowsAlloc = 0;  // no cell to keep
  if (!detail::ResizeColMajor(data, colsAlloc, rowsAlloc, nc, nr)) RaiseNoHeap();
  std::fill(data.begin(), data.end(), 0);
  const size_t stride = static_cast<size_t>(rowsAlloc);
  FSparse.ForEach([&](const TSpMatElemInt& e) {
    // After a Resize the box may have been lowered below dropped positions: all
    // kept entries lie inside it.
    if (e.colidx <= nc && e.rowidx <= nr)
      data[static_cast<size_t>(e.colidx - 1) * stride + static_cast<size_t>(e.rowidx - 1)] =
          e.value;
  });
  FIsSparse = false;
  TakeDense(data, nc, nr);
  FSparse.Clear();
  FSparseNumElem = 0;
  FNumAllocated = 0;
}

bool TIntMatrix::Resize(int32_t Nc, int32_t Nr) {
  if (Nc == FNCol && Nr == FNRow) return false;
  if (Nc < 0) Nc = 0;
  if (Nr < 0) Nr = 0;
  if (!FIsSparse) {
    if (!detail::ResizeColMajor(FMat, FColsAlloc, FRowsAlloc, Nc, Nr)) RaiseNoHeap();
    FNCol = Nc;
    FNRow = Nr;
    Changed();
    return true;
  }
  FNCol = Nc;
  FNRow = Nr;
  FSparseHighCol = std::min(FSparseHighCol, Nc);
  FSparseHighRow = std::min(FSparseHighRow, Nr);
  FSparseLowCol = std::min(FSparseLowCol, FSparseHighCol);
  FSparseLowRow = std::min(FSparseLowRow, FSparseHighRow);
  FSparse.RemoveIf(
      [&](const TSpMatElemInt& e) { return e.colidx > Nc || e.rowidx > Nr; });
  FSparseNumElem = static_cast<int32_t>(FSparse.Size());
  return false;
}

bool TIntMatrix::ResizeAndClear(int32_t Nc, int32_t Nr) {
  if (!Resize(Nc, Nr)) return false;
  Fill(0);
  return true;
}

void TIntMatrix::Fill(int32_t Value) {
  if (!FIsSparse) {
    // A matrix without elements leaves its kept cell alone.
    if (FNCol > 0 && FNRow > 0) std::fill(FMat.begin(), FMat.end(), Value);
  } else if (Value != 0) {
    FSparse.ForEachValue([Value](int32_t& v) { v = Value; });
  } else {
    // Emptied, reallocated to FAllocBy entries.
    ResetSparse();
  }
  Changed();
}

void TIntMatrix::Clone(const TIntMatrix* MatSource) {
  if (MatSource == nullptr || MatSource->FIsSparse != FIsSparse) return;
  if (!FIsSparse) {
    Resize(MatSource->FNCol, MatSource->FNRow);
    if (MatSource != this) {
      if (!FOnChange) {
        if (FNCol > 0 && FNRow > 0 && MatSource->FNCol == FNCol && MatSource->FNRow == FNRow)
          std::copy(MatSource->FMat.begin(), MatSource->FMat.end(), FMat.begin());
      } else {
        // Each write fires OnChange; a handler may even resize either matrix,
        // so every access goes through the checked accessors.
        for (int32_t c = 1; c <= MatSource->FNCol; ++c)
          for (int32_t r = 1; r <= MatSource->FNRow; ++r) SetVal(c, r, MatSource->GetVal(c, r));
      }
    }
    Changed();
    return;
  }
  if (MatSource != this) {
    detail::TSparseIntList copy;
    try {
      copy = MatSource->FSparse;
    } catch (const std::bad_alloc&) {
      RaiseNoHeap();
    }
    FSparse = std::move(copy);
    FNumAllocated = MatSource->FNumAllocated;
    FAllocBy = MatSource->FAllocBy;
    FSparseNumElem = MatSource->FSparseNumElem;
    FSparseLowCol = MatSource->FSparseLowCol;
    FSparseHighCol = MatSource->FSparseHighCol;
    FSparseLowRow = MatSource->FSparseLowRow;
    FSparseHighRow = MatSource->FSparseHighRow;
  }
  Changed();
}

void TIntMatrix::CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                          int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                          int32_t DestRow) {
  detail::CopyBlockFrom(*this, MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi,
                        DestCol, DestRow);
}

void TMatrix::CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                       int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow) {
  detail::CopyBlockFrom(*this, MatSource, SourceColLo, SourceRowLo, SourceColHi, SourceRowHi,
                        DestCol, DestRow);
}

// As the TMatrix copies: the vector is zeroed, the clipped line copied as far
// as the vector reaches, the vector fires OnChange once, the matrix never.
void TIntMatrix::CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol,
                              int32_t LastCol) const {
  if (DestVec == nullptr) return;
  int32_t* out = DestVec->Data();
  std::fill(out, out + DestVec->NrOfElem(), 0);
  MakeValidColRange(FirstCol, LastCol);
  if (FNCol > 0 && FNRow > 0) {
    Row = Row < 1 ? 1 : (Row > FNRow ? FNRow : Row);
    const int32_t len = std::min(LastCol - FirstCol + 1, DestVec->NrOfElem());
    for (int32_t k = 0; k < len; ++k) out[k] = GetVal(FirstCol + k, Row);
  }
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

void TIntMatrix::CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow,
                              int32_t LastRow) const {
  if (DestVec == nullptr) return;
  int32_t* out = DestVec->Data();
  std::fill(out, out + DestVec->NrOfElem(), 0);
  MakeValidRowRange(FirstRow, LastRow);
  if (FNCol > 0 && FNRow > 0) {
    Col = Col < 1 ? 1 : (Col > FNCol ? FNCol : Col);
    const int32_t len = std::min(LastRow - FirstRow + 1, DestVec->NrOfElem());
    if (!FIsSparse) {
      std::copy(ColData(Col) + (FirstRow - 1), ColData(Col) + (FirstRow - 1) + len, out);
    } else {
      for (int32_t k = 0; k < len; ++k) out[k] = GetVal(Col, FirstRow + k);
    }
  }
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

bool TIntMatrix::Transpose() {
  if (!FIsSparse) {
    if (!detail::TransposeColMajor(FMat, FColsAlloc, FRowsAlloc)) RaiseNoHeap();
    std::swap(FNCol, FNRow);
    Changed();
    return true;
  }
  // The list order after exchanging column and row is restored by sorting;
  // the sorted list does not depend on how it is sorted.
  std::vector<TSpMatElemInt> entries;
  try {
    FSparse.CopyTo(entries);
    for (TSpMatElemInt& e : entries) std::swap(e.colidx, e.rowidx);
    std::sort(entries.begin(), entries.end(), [](const TSpMatElemInt& a, const TSpMatElemInt& b) {
      return detail::TSparseIntList::Key(a) < detail::TSparseIntList::Key(b);
    });
    FSparse.Assign(entries);
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  std::swap(FSparseLowCol, FSparseLowRow);
  std::swap(FSparseHighCol, FSparseHighRow);
  Changed();
  return true;
}

bool TIntMatrix::Add(const TIntMatrix* MatB) {
  if (MatB == nullptr || FIsSparse) return false;
  if (!MatB->FIsSparse) {
    if (MatB->FNCol != FNCol || MatB->FNRow != FNRow) return false;
    // Wrapping addition: computed in unsigned arithmetic.
    if (FNCol > 0 && FNRow > 0) {
      const int32_t* b = MatB->FMat.data();
      int32_t* a = FMat.data();
      for (size_t i = 0; i < FMat.size(); ++i)
        a[i] = static_cast<int32_t>(static_cast<uint32_t>(a[i]) + static_cast<uint32_t>(b[i]));
    }
  } else {
    if (FNCol < MatB->FSparseHighCol || FNRow < MatB->FSparseHighRow) return false;
    MatB->FSparse.ForEach([&](const TSpMatElemInt& e) {
      // A box lowered by Resize bounds the entries, so each lies inside.
      int32_t& a = FMat[Index(e.colidx, e.rowidx)];
      a = static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(e.value));
    });
  }
  Changed();
  return true;
}

}  // namespace nuv
