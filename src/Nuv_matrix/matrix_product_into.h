// Where a matrix product goes: straight into the result's storage, or through
// scratch storage when the result is an operand or has a change handler that
// might resize the objects while the product runs. Shared by TMatrix and
// TIntMatrix; private to the matrix unit.
#pragma once

#include <cstdint>
#include <new>
#include <type_traits>
#include <vector>

#include "Nuv_matrix/matrix_copy.h"
#include "foundation/frame.h"

namespace nuv {
namespace detail {

/// Copies the nc x nr column-major block src (stride ld) into MatRes, as far as MatRes
/// reaches (a change handler may have resized it again, or given it another form).
template <class M, class T>
void CopyInto(M* MatRes, const T* src, int64_t ld, int32_t nc, int32_t nr) {
  if (!HasDenseStorage(*MatRes)) return;
  const int32_t cols = nc < MatRes->NrOfColumns() ? nc : MatRes->NrOfColumns();
  const int32_t rows = nr < MatRes->NrOfRows() ? nr : MatRes->NrOfRows();
  for (int32_t c = 1; c <= cols; ++c) {
    const T* s = src + static_cast<size_t>(c - 1) * static_cast<size_t>(ld);
    T* dst = MatRes->ColData(c);
    for (int32_t r = 0; r < rows; ++r) dst[r] = s[r];
  }
}

/// Resizes MatRes to nc x nr and lets Compute(c, ldc) fill its column-major storage,
/// through scratch storage when Aliased or when MatRes has a change handler. Fires
/// MatRes's OnChange once; memory failures raise Self's "not enough memory on heap".
template <class M, class F>
void ProductInto(const M* Self, M* MatRes, bool Aliased, int32_t nc, int32_t nr, F&& Compute) {
  using T = std::remove_pointer_t<decltype(MatRes->ColData(1))>;
  try {
    if (!Aliased && !MatRes->OnChange()) {
      MatRes->Resize(nc, nr);
      Compute(MatRes->ColData(1), static_cast<int64_t>(MatRes->ColStride()));
    } else {
      const int64_t ld = nr > 0 ? nr : 1;
      std::vector<T> tmp(static_cast<size_t>(ld) * static_cast<size_t>(nc > 0 ? nc : 1));
      Compute(tmp.data(), ld);
      MatRes->Resize(nc, nr);
      CopyInto(MatRes, tmp.data(), ld, nc, nr);
    }
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMatrixError>(Self, "not enough memory on heap");
  }
  MatRes->Changed();
}

}  // namespace detail
}  // namespace nuv
