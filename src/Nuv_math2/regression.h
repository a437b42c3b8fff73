// Multiple linear regression and ridge regression by the singular value
// decomposition of the centred design matrix. Predictors are the columns of
// X, observations its rows; coefficient vectors hold the intercept first and
// then one slope per column (element k + 1 for column k).
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Least squares y = b0 + sum_k b_k x_k (b0 = 0 without Intercept). Coeffs and StdErrs get
/// p + 1 elements (p = columns of X), Residuals (may be absent, like StdErrs) the N residuals
/// y - fit. RSquared = 1 - RSS / TSS, TSS about the mean with an intercept and about 0
/// without (0 when TSS is 0). Standard errors use RSS / (N - parameters); with no degree of
/// freedom left they are NaN. The columns are centred (with Intercept) and scaled to unit
/// length before the decomposition, and singular values below 1e-14 of the largest are
/// dropped, so collinear predictors give the minimum-norm solution. Clears AbortMathProc;
/// false when aborted, the decomposition fails, y's length differs from N, or an argument
/// is absent. Raises ENUVMath2Error "MultiLinReg: not enough memory".
NUV_API bool MultiLinReg(const TMatrix* X, const TVector* y, bool Intercept, TVector* Coeffs,
                         TVector* StdErrs, double& RSquared, TVector* Residuals);

/// Ridge regression on the raw predictors: minimises |y - b0 - X b|^2 + Lambda |b|^2 with the
/// intercept b0 not penalised. Lambda 0 is least squares. False for Lambda < 0 or NaN and as
/// MultiLinReg. Raises ENUVMath2Error "RidgeReg: not enough memory".
NUV_API bool RidgeReg(const TMatrix* X, const TVector* y, double Lambda, TVector* Coeffs,
                      TVector* Residuals);

/// Ridge regression on standardized predictors (each column centred and divided by its
/// standard deviation, divisor N - 1; a constant column gets coefficient 0). Coeffs holds
/// b0 = mean of y and the coefficients of the standardized columns; Means and StdDevs (may
/// be absent) receive the columns' means and standard deviations to map them back.
/// Residuals as in RidgeReg. Raises ENUVMath2Error "RidgeRegStd: not enough memory".
NUV_API bool RidgeRegStd(const TMatrix* X, const TVector* y, double Lambda, TVector* Coeffs,
                         TVector* Means, TVector* StdDevs, TVector* Residuals);

}  // namespace nuv
