// Searching a matrix block for the element closest to a value, and bisection
// in a sorted column.
#include <cmath>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_stats_block.h"

namespace nuv {

void TMatrix::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value,
                   int32_t& ColIx, int32_t& RowIx) const {
  ColIx = 0;
  RowIx = 0;
  const detail::TMatBlock b = detail::MakeBlock(*this, LowCol, HighCol, LowRow, HighRow);
  double best = uc_MaxDouble;
  for (int32_t c = b.C1; c <= b.C2; ++c) {
    const double* p = ColData(c);
    for (int32_t r = b.R1; r <= b.R2; ++r) {
      // A NaN distance is never smaller, so NaN elements (and a NaN Value) are never found.
      const double d = std::fabs(p[r - 1] - Value);
      if (d < best) {
        best = d;
        ColIx = c;
        RowIx = r;
      }
    }
  }
}

// A column outside the matrix, or a matrix without rows, has no row to
// report: the result is 0.
int32_t TMatrix::FindInSortedColumn(int32_t Col, bool ColIsAscending, double Value) const {
  if (Col < 1 || Col > FNCol || FNRow < 1) return 0;
  const double* a = ColData(Col);  // row r at a[r - 1]
  int32_t lo = 1, hi = FNRow;
  while (hi - lo > 1) {
    const int32_t mid = lo + (hi - lo) / 2;
    const double v = a[mid - 1];
    if (v == Value) return mid;
    if (ColIsAscending ? Value > v : Value < v) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return std::fabs(a[lo - 1] - Value) < std::fabs(a[hi - 1] - Value) ? lo : hi;
}

}  // namespace nuv
