// TIntMatrix element-wise and scalar arithmetic and products, dense form
// only. Arithmetic wraps at 32 bits: it is formed in unsigned integers, where
// wrapping is defined, and converted back.
#include <new>
#include <vector>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/intmatrix_kernels.h"
#include "Nuv_matrix/matrix_order_impl.h"
#include "Nuv_matrix/matrix_product_into.h"

namespace nuv {

namespace {

inline int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
inline uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

bool DenseSameSize(const TIntMatrix* A, const TIntMatrix* B) {
  return !A->IsSparse() && !B->IsSparse() && A->NrOfColumns() == B->NrOfColumns() &&
         A->NrOfRows() == B->NrOfRows();
}

/// Cells of the dense matrix M that are elements (0 for a matrix without elements).
size_t ElemCells(const TIntMatrix& M) {
  return M.NrOfColumns() > 0 && M.NrOfRows() > 0
             ? static_cast<size_t>(M.NrOfColumns()) * static_cast<size_t>(M.NrOfRows())
             : 0;
}

/// Sizes VecRes to n and lets Compute(y) fill it through scratch storage (VecRes may be
/// VecB, and its handler may resize it). Fires VecRes's OnChange once.
template <class F>
void IntVectorProductInto(const TIntMatrix* Self, TIntVector* VecRes, int32_t n, F&& Compute) {
  std::vector<int32_t> tmp;
  if (!TryAllocate(tmp, static_cast<size_t>(n)))
    RaiseComponentError<ENUVMatrixError>(Self, "not enough memory on heap");
  try {
    Compute(tmp.data());
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMatrixError>(Self, "not enough memory on heap");
  }
  VecRes->SetIntVecSize(n);
  const int32_t len = n < VecRes->NrOfElem() ? n : VecRes->NrOfElem();
  std::copy(tmp.begin(), tmp.begin() + len, VecRes->Data());
  VecRes->SetIsEmpty(false);
  VecRes->Changed();
}

}  // namespace

bool TIntMatrix::Subtract(const TIntMatrix* MatB) {
  if (MatB == nullptr || !DenseSameSize(this, MatB)) return false;
  const int32_t* b = MatB->FMat.data();
  int32_t* a = FMat.data();
  for (size_t i = 0, n = ElemCells(*this); i < n; ++i) a[i] = Wrap(U(a[i]) - U(b[i]));
  Changed();
  return true;
}

void TIntMatrix::SMult(int32_t Scalar) {
  if (FIsSparse) return;
  int32_t* a = FMat.data();
  for (size_t i = 0, n = ElemCells(*this); i < n; ++i) a[i] = Wrap(U(a[i]) * U(Scalar));
  Changed();
}

void TIntMatrix::SAdd(int32_t Scalar) {
  if (FIsSparse) return;
  int32_t* a = FMat.data();
  for (size_t i = 0, n = ElemCells(*this); i < n; ++i) a[i] = Wrap(U(a[i]) + U(Scalar));
  Changed();
}

bool TIntMatrix::EMult(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || MatRes->FIsSparse || !DenseSameSize(this, MatB))
    return false;
  // Element-wise, so a result that is also an operand is overwritten only where it has
  // been read already.
  MatRes->Resize(FNCol, FNRow);
  // The resize fires MatRes's handler, which might have changed any of the three.
  if (!DenseSameSize(this, MatB) || !DenseSameSize(this, MatRes)) return false;
  const int32_t* a = FMat.data();
  const int32_t* b = MatB->FMat.data();
  int32_t* r = MatRes->FMat.data();
  for (size_t i = 0, n = ElemCells(*this); i < n; ++i) r[i] = Wrap(U(a[i]) * U(b[i]));
  MatRes->Changed();
  Changed();
  return true;
}

bool TIntMatrix::Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse || MatRes->FIsSparse ||
      FNCol != MatB->FNRow)
    return false;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, MatB->FNCol, FNRow, [&](int32_t* c, int64_t ldc) {
    detail::IntGemm(FNRow, MatB->FNCol, FNCol, FMat.data(), 1, FRowsAlloc, MatB->FMat.data(), 1,
                    MatB->FRowsAlloc, c, ldc);
  });
  Changed();
  return true;
}

bool TIntMatrix::MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse || MatRes->FIsSparse ||
      FNCol != MatB->FNCol)
    return false;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, MatB->FNRow, FNRow, [&](int32_t* c, int64_t ldc) {
    detail::IntGemm(FNRow, MatB->FNRow, FNCol, FMat.data(), 1, FRowsAlloc, MatB->FMat.data(),
                    MatB->FRowsAlloc, 1, c, ldc);
  });
  Changed();
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FIsSparse || MatB->FIsSparse || MatRes->FIsSparse ||
      FNRow != MatB->FNRow)
    return false;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, MatB->FNCol, FNCol, [&](int32_t* c, int64_t ldc) {
    detail::IntGemm(FNCol, MatB->FNCol, FNRow, FMat.data(), FRowsAlloc, 1, MatB->FMat.data(), 1,
                    MatB->FRowsAlloc, c, ldc);
  });
  Changed();
  return true;
}

bool TIntMatrix::Multiply(const TIntVector* VecB, TIntVector* VecRes) {
  // A vector cannot have 0 elements, so a matrix without rows has no product to hold.
  if (VecB == nullptr || VecRes == nullptr || FIsSparse || FNCol != VecB->NrOfElem() || FNRow < 1)
    return false;
  IntVectorProductInto(this, VecRes, FNRow, [&](int32_t* y) {
    detail::IntGemm(FNRow, 1, FNCol, FMat.data(), 1, FRowsAlloc, VecB->Data(), 1, 0, y, FNRow);
  });
  Changed();
  return true;
}

bool TIntMatrix::TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || FIsSparse || FNRow != VecB->NrOfElem() || FNCol < 1)
    return false;
  IntVectorProductInto(this, VecRes, FNCol, [&](int32_t* y) {
    detail::IntGemvT(FNRow, FNCol, FMat.data(), FRowsAlloc, VecB->Data(), y);
  });
  Changed();
  return true;
}

void TIntMatrix::FillDiag(int32_t Value) {
  if (!FIsSparse) detail::FillDiagOf(*this, Value);
}

}  // namespace nuv
