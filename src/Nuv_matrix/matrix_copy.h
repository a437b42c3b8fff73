// Copying a block from one matrix into another (TMatrix, TIntMatrix, in
// either direction and between equal classes), with the clipping rule of
// CopyFrom. Private to the matrix unit.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/frame.h"

namespace nuv {
namespace detail {

template <class M, class = void>
struct THasSparseForm : std::false_type {};
template <class M>
struct THasSparseForm<M, std::void_t<decltype(std::declval<const M&>().IsSparse())>>
    : std::true_type {};

/// Whether a matrix keeps its elements in the column-major buffer.
template <class M>
bool HasDenseStorage(const M& Mat) {
  if constexpr (THasSparseForm<M>::value) {
    return !Mat.IsSparse();
  } else {
    return true;
  }
}

/// Copies the source block ColLo..ColHi x RowLo..RowHi (each bound clipped into the
/// source on its own, so (0, 0) is element 1; reversed bounds exchanged) to DestCol,
/// DestRow onwards; positions outside Dest are dropped, Dest is not enlarged. OnChange
/// once at the end (and per element through SetVal when a handler is assigned). A
/// source without elements copies nothing.
template <class D, class S>
void CopyBlockFrom(D& Dest, const S* Src, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                   int32_t RowHi, int32_t DestCol, int32_t DestRow) {
  if (Src == nullptr) return;
  using TS = std::remove_cv_t<std::remove_pointer_t<decltype(Src->ColData(1))>>;
  using TD = std::remove_pointer_t<decltype(Dest.ColData(1))>;
  const int32_t nc = Src->NrOfColumns();
  const int32_t nr = Src->NrOfRows();
  // A source without elements has no block to copy (clipping would give the
  // bound 0 and read outside it).
  if (nc < 1 || nr < 1) {
    Dest.Changed();
    return;
  }
  auto clip = [](int32_t v, int32_t n) { return v < 1 ? 1 : (v > n ? n : v); };
  ColLo = clip(ColLo, nc);
  ColHi = clip(ColHi, nc);
  RowLo = clip(RowLo, nr);
  RowHi = clip(RowHi, nr);
  if (ColHi < ColLo) std::swap(ColLo, ColHi);
  if (RowHi < RowLo) std::swap(RowLo, RowHi);
  const int32_t bc = ColHi - ColLo + 1;
  const int32_t br = RowHi - RowLo + 1;
  const bool self = static_cast<const void*>(Src) == static_cast<const void*>(&Dest);
  const int64_t dc0 = DestCol;
  const int64_t dr0 = DestRow;
  auto inside = [&](int64_t tc, int64_t tr) {
    return tc >= 1 && tc <= Dest.NrOfColumns() && tr >= 1 && tr <= Dest.NrOfRows();
  };

  if (!Dest.OnChange() && HasDenseStorage(Dest) && HasDenseStorage(*Src)) {
    // The block, column-major; copied out first when a matrix is copied into
    // itself, so that it reads its original values.
    std::vector<TS> block;
    const TS* src = Src->ColData(ColLo) + (RowLo - 1);
    size_t srcStride = static_cast<size_t>(Src->ColStride());
    if (self) {
      if (!TryAllocate(block, static_cast<size_t>(bc) * static_cast<size_t>(br)))
        RaiseComponentError<ENUVMatrixError>(&Dest, "not enough memory on heap");
      for (int32_t c = 0; c < bc; ++c)
        std::copy(src + static_cast<size_t>(c) * srcStride,
                  src + static_cast<size_t>(c) * srcStride + br,
                  block.data() + static_cast<size_t>(c) * static_cast<size_t>(br));
      src = block.data();
      srcStride = static_cast<size_t>(br);
    }
    // The part of the block that lands inside the receiver, copied by columns.
    const int64_t cFirst = std::max<int64_t>(0, 1 - dc0);
    const int64_t cLast = std::min<int64_t>(bc - 1, Dest.NrOfColumns() - dc0);
    const int64_t rFirst = std::max<int64_t>(0, 1 - dr0);
    const int64_t rLast = std::min<int64_t>(br - 1, Dest.NrOfRows() - dr0);
    if (cFirst <= cLast && rFirst <= rLast) {
      const size_t n = static_cast<size_t>(rLast - rFirst + 1);
      for (int64_t c = cFirst; c <= cLast; ++c) {
        const TS* from = src + static_cast<size_t>(c) * srcStride + static_cast<size_t>(rFirst);
        TD* to = Dest.ColData(static_cast<int32_t>(dc0 + c)) + (dr0 + rFirst - 1);
        std::transform(from, from + n, to, [](TS v) { return static_cast<TD>(v); });
      }
    }
  } else if (self) {
    std::vector<TS> block;
    if (!TryAllocate(block, static_cast<size_t>(bc) * static_cast<size_t>(br)))
      RaiseComponentError<ENUVMatrixError>(&Dest, "not enough memory on heap");
    for (int32_t c = 0; c < bc; ++c)
      for (int32_t r = 0; r < br; ++r)
        block[static_cast<size_t>(c) * static_cast<size_t>(br) + static_cast<size_t>(r)] =
            static_cast<TS>(Src->GetVal(ColLo + c, RowLo + r));
    for (int32_t c = 0; c < bc; ++c)
      for (int32_t r = 0; r < br; ++r)
        if (inside(dc0 + c, dr0 + r))
          Dest.SetVal(static_cast<int32_t>(dc0 + c), static_cast<int32_t>(dr0 + r),
                      static_cast<TD>(block[static_cast<size_t>(c) * static_cast<size_t>(br) +
                                            static_cast<size_t>(r)]));
  } else {
    // A handler may resize either matrix: read and write through the checked accessors.
    for (int32_t c = 0; c < bc; ++c)
      for (int32_t r = 0; r < br; ++r)
        if (inside(dc0 + c, dr0 + r))
          Dest.SetVal(static_cast<int32_t>(dc0 + c), static_cast<int32_t>(dr0 + r),
                      static_cast<TD>(Src->GetVal(ColLo + c, RowLo + r)));
  }
  Dest.Changed();
}

}  // namespace detail
}  // namespace nuv
