// Principal components: the eigen decomposition of a covariance-type matrix
// of a data block, eigenvalues in descending order.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// CalcCovar of columns LowCol..HighCol (explicit bounds: the scratch matrix has order
/// HighCol - LowCol + 1, so (0, 0) fails unless DataMat has one column) and rows
/// LowRow..HighRow, then CalcEigVec into the eigen store. On success, with ScaleEigVals each
/// eigenvalue is divided by the sum of their absolute values (unless 0), and the positive
/// eigenvalues are moved to the front in descending order with their eigenvectors (a
/// selection that takes the first of equal values). False when either step fails or is
/// aborted, and for an order above 10000.
NUV_API bool CalcPrincComp(const TMatrix* DataMat, int32_t LowCol, int32_t HighCol,
                           int32_t LowRow, int32_t HighRow, int32_t CovType, bool ScaleEigVals);
NUV_API bool CalcPrincComp(const TMatrix* DataMat, int32_t LowCol, int32_t HighCol,
                           int32_t LowRow, int32_t HighRow, int32_t CovType);

}  // namespace nuv
