// Searching a matrix block for the element closest to a value, and bisection
// in a sorted column (the work is in matrix_order_impl.h).
#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_order_impl.h"

namespace nuv {

void TMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value,
                   int32_t& ColIx, int32_t& RowIx) const {
  detail::FindOf(*this, LowCol, HighCol, LowRow, HighRow, Value, ColIx, RowIx);
}

int32_t TMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, double Value) const {
  return detail::FindInSortedColumnOf(*this, Col, ColIsAscending, Value);
}

}  // namespace nuv
