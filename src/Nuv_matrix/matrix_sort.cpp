// Sorting rows by a key column and columns by a key row, mirroring and
// exchanging whole columns and rows (the work is in matrix_order_impl.h).
#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_order_impl.h"

namespace nuv {

void TMatrix::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                       int32_t HighCol, int32_t HighRow) {
  detail::SortRowsOf(*this, SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow);
}

void TMatrix::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                       int32_t HighCol, int32_t HighRow) {
  detail::SortColsOf(*this, SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow);
}

void TMatrix::MirrorColumns() { detail::MirrorColumnsOf(*this); }

void TMatrix::MirrorRows() { detail::MirrorRowsOf(*this); }

void TMatrix::ExchangeColumns(int32_t c1, int32_t c2) { detail::ExchangeColumnsOf(*this, c1, c2); }

void TMatrix::ExchangeRows(int32_t r1, int32_t r2) { detail::ExchangeRowsOf(*this, r1, r2); }

}  // namespace nuv
