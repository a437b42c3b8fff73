// Internal: a block of a matrix copied into contiguous column-major storage,
// cells beyond the matrix read as 0, as GetVal reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Nuv_matrix/matrix_core.h"

namespace nuv {
namespace detail {

/// Columns LowCol..HighCol, rows LowRow..HighRow of M (any bounds) into Out, one column
/// after the other, NRows = HighRow - LowRow + 1 values each. False when Out cannot be had.
bool CopyBlock(const TMatrix* M, int32_t LowCol, int32_t HighCol, int32_t LowRow,
               int32_t HighRow, std::vector<double>& Out);

}  // namespace detail
}  // namespace nuv
