// Partial least squares regression by the SIMPLS algorithm.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// SIMPLS of the responses Y (m columns) on the predictors X (p columns), both with the same
/// N rows, centred by their column means, for NumComp components (clipped to 1..min(p, N-1);
/// fewer when the predictors' rank is exhausted). Each output may be absent except Coeffs and
/// gets one column per extracted component a: Weights (p rows) the X weights r_a, scaled so
/// that the scores t_a = X0 r_a have unit length; XLoadings (p rows) X0^T t_a; YLoadings
/// (m rows) Y0^T t_a; Scores (N rows) t_a. Coeffs gets m columns and p + 1 rows: row 1 the
/// intercepts, row k + 1 the coefficient of predictor k (B = R Q^T). Clears AbortMathProc;
/// a progress step and an abort poll per component. False when aborted, for fewer than
/// two rows, mismatched row counts or an absent argument.
/// Raises ENUVMath2Error "SimPLS: not enough memory".
NUV_API bool SimPLS(const TMatrix* X, const TMatrix* Y, int32_t NumComp, TMatrix* Weights,
                    TMatrix* XLoadings, TMatrix* YLoadings, TMatrix* Scores, TMatrix* Coeffs);

}  // namespace nuv
