// Searching, sorting, mirroring and exchanging in a dense TIntMatrix (the
// work is shared with TMatrix in matrix_order_impl.h). A sparse matrix is
// left alone: no change, no event, the search results 0.
#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/matrix_order_impl.h"

namespace nuv {

void TIntMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t Value, int32_t& ColIx, int32_t& RowIx) const {
  ColIx = 0;
  RowIx = 0;
  if (!FIsSparse) detail::FindOf(*this, LowCol, HighCol, LowRow, HighRow, Value, ColIx, RowIx);
}

int32_t TIntMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const {
  return FIsSparse ? 0 : detail::FindInSortedColumnOf(*this, Col, ColIsAscending, Value);
}

void TIntMatrix::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow) {
  if (!FIsSparse)
    detail::SortRowsOf(*this, SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow);
}

void TIntMatrix::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow) {
  if (!FIsSparse)
    detail::SortColsOf(*this, SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow);
}

void TIntMatrix::MirrorColumns() {
  if (!FIsSparse) detail::MirrorColumnsOf(*this);
}

void TIntMatrix::MirrorRows() {
  if (!FIsSparse) detail::MirrorRowsOf(*this);
}

void TIntMatrix::ExchangeColumns(int32_t c1, int32_t c2) {
  if (!FIsSparse) detail::ExchangeColumnsOf(*this, c1, c2);
}

void TIntMatrix::ExchangeRows(int32_t r1, int32_t r2) {
  if (!FIsSparse) detail::ExchangeRowsOf(*this, r1, r2);
}

}  // namespace nuv
