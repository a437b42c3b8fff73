// TMatrix products: matrix by matrix (plain, either factor transposed, the
// scaled cross product Square) and matrix by vector.
//
// Results are written straight into the result's storage and the result
// fires OnChange once at the end instead of once per element. A result that
// is also an operand is computed into scratch storage first, so A.Multiply(A, A)
// gives A squared rather than garbage.
#include <cstdint>
#include <new>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_kernels.h"
#include "Nuv_matrix/matrix_product_into.h"

namespace nuv {

namespace {

[[noreturn]] void RaiseNoHeapOf(const TMatrix* M) {
  RaiseComponentError<ENUVMatrixError>(M, "not enough memory on heap");
}

/// Sizes VecRes to n and lets Compute(y) fill it; scratch storage when VecRes is VecB or
/// has a change handler.
template <class F>
void VectorProductInto(const TMatrix* Self, const TVector* VecB, TVector* VecRes, int32_t n,
                       F&& Compute) {
  try {
    if (VecRes != VecB && !VecRes->OnChange()) {
      VecRes->SetVecSize(n);
      Compute(VecRes->Data());
    } else {
      std::vector<double> tmp(static_cast<size_t>(n));
      Compute(tmp.data());
      VecRes->SetVecSize(n);
      const int32_t len = n < VecRes->NrOfElem() ? n : VecRes->NrOfElem();
      double* dst = VecRes->Data();
      for (int32_t i = 0; i < len; ++i) dst[i] = tmp[static_cast<size_t>(i)];
    }
  } catch (const std::bad_alloc&) {
    RaiseNoHeapOf(Self);
  }
  VecRes->SetIsEmpty(false);
  VecRes->Changed();
}

}  // namespace

bool TMatrix::Multiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNRow) return false;
  const int32_t nc = MatB->FNCol;
  const int32_t nr = FNRow;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, nc, nr, [&](double* c, int64_t ldc) {
    detail::MatKernels().Gemm(nr, nc, FNCol, FMat.data(), 1, FRowsAlloc, MatB->FMat.data(), 1,
                              MatB->FRowsAlloc, c, ldc, 0, 0);
  });
  Changed();
  return true;
}

bool TMatrix::MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNCol != MatB->FNCol) return false;
  const int32_t nc = MatB->FNRow;
  const int32_t nr = FNRow;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, nc, nr, [&](double* c, int64_t ldc) {
    detail::MatKernels().Gemm(nr, nc, FNCol, FMat.data(), 1, FRowsAlloc, MatB->FMat.data(),
                              MatB->FRowsAlloc, 1, c, ldc, 0, 0);
  });
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || FNRow != MatB->FNRow) return false;
  const int32_t nc = MatB->FNCol;
  const int32_t nr = FNCol;
  const bool aliased = MatRes == this || MatRes == MatB;
  detail::ProductInto(this, MatRes, aliased, nc, nr, [&](double* c, int64_t ldc) {
    detail::MatKernels().Gemm(nr, nc, FNRow, FMat.data(), FRowsAlloc, 1, MatB->FMat.data(), 1,
                              MatB->FRowsAlloc, c, ldc, 0, 0);
  });
  Changed();
  return true;
}

bool TMatrix::Multiply(const TVector* VecB, TVector* VecRes) {
  // A vector cannot have 0 elements, so a matrix without rows has no product to hold.
  if (VecB == nullptr || VecRes == nullptr || FNCol != VecB->NrOfElem() || FNRow < 1)
    return false;
  VectorProductInto(this, VecB, VecRes, FNRow, [&](double* y) {
    detail::MatKernels().Gemv(FNRow, FNCol, FMat.data(), FRowsAlloc, VecB->Data(), y);
  });
  Changed();
  return true;
}

bool TMatrix::TransposeAndMultiply(const TVector* VecB, TVector* VecRes) {
  if (VecB == nullptr || VecRes == nullptr || FNRow != VecB->NrOfElem() || FNCol < 1)
    return false;
  VectorProductInto(this, VecB, VecRes, FNCol, [&](double* y) {
    detail::MatKernels().GemvT(FNRow, FNCol, FMat.data(), FRowsAlloc, VecB->Data(), y);
  });
  Changed();
  return true;
}

bool TMatrix::Square(TMatrix* MatRes, double Norm) {
  if (MatRes == nullptr) return false;
  const int32_t n = FNCol;
  const bool aliased = MatRes == this || MatRes->OnChange();
  // Columns go in panels: the progress steps and abort polls of a panel's columns come
  // first, then one blocked product fills the panel's upper part, which is then scaled
  // and mirrored.
  constexpr int32_t kPanel = 128;
  std::vector<double> scratch;
  double* c = nullptr;
  int64_t ldc = 0;
  try {
    if (aliased) {
      ldc = n > 0 ? n : 1;
      scratch.resize(static_cast<size_t>(ldc) * static_cast<size_t>(n > 0 ? n : 1));
      c = scratch.data();
    } else {
      MatRes->Resize(n, n);
      c = MatRes->ColData(1);
      ldc = MatRes->ColStride();
    }
    const detail::TMatKernels& k = detail::MatKernels();
    const int64_t lda = FRowsAlloc;
    for (int32_t i0 = 0; i0 < n; i0 += kPanel) {
      const int32_t i1 = i0 + kPanel < n ? i0 + kPanel : n;
      for (int32_t i = i0; i < i1; ++i) {
        if (AbortRequested()) {
          // An aborted square still leaves MatRes resized, holding the finished columns:
          // with scratch storage these are the leading i0 x i0 block.
          if (aliased) {
            MatRes->Resize(n, n);
            detail::CopyInto(MatRes, c, ldc, i0, i0);
          }
          return false;
        }
        ProgressStep();
      }
      k.Gemm(i1, i1 - i0, FNRow, FMat.data(), lda, 1, FMat.data() + i0 * lda, 1, lda,
             c + i0 * ldc, ldc, detail::kGemmUpper, i0);
      for (int32_t i = i0; i < i1; ++i) {
        double* ci = c + i * ldc;
        for (int32_t j = 0; j <= i; ++j) {
          const double v = ci[j] / Norm;
          ci[j] = v;
          c[j * ldc + i] = v;
        }
      }
    }
    if (aliased) {
      MatRes->Resize(n, n);
      detail::CopyInto(MatRes, c, ldc, n, n);
    }
  } catch (const std::bad_alloc&) {
    RaiseNoHeapOf(this);
  }
  return true;
}

}  // namespace nuv
