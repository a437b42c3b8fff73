// Covariance, correlation and cross-product matrices of a block of a data
// matrix (variables are columns, objects are rows).
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Element (i, j) of CovMat for columns LowCol..HighCol over rows LowRow..HighRow, divisor
/// n - 1: CovType 0 cross products, 1 covariance, 2 correlation (diagonal 1), 3 squared
/// correlation, 4 mean squared difference, other 0. (0, 0) means all columns or rows; a
/// reversed pair is exchanged; cells beyond DataMat read as 0. CovMat must already have
/// at least HighCol - LowCol + 1 columns and rows, else false. Clears AbortMathProc, reports
/// progress per row and per element, polls AbortMathProc before each column (false when
/// set). Fires CovMat's OnChange once. Raises ENUVMath2Error "CalcCovar: not enough memory".
NUV_API bool CalcCovar(const TMatrix* DataMat, TMatrix* CovMat, int32_t LowCol, int32_t HighCol,
                       int32_t LowRow, int32_t HighRow, int32_t CovType);

}  // namespace nuv
