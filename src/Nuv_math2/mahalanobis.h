// The Mahalanobis distance of two vectors under an inverse covariance matrix.
#pragma once

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// sqrt(sum_i (x_i - y_i) sum_j InvCov(j, i) (x_j - y_j)). Raises ENUVVectorError, checked
/// in this order: "MahalanobisDistance: dimensions of vectors do not match" (also for an
/// absent vector), "...: inverse covariance matrix is not quadratric", "...: dimension of
/// vectors and inverse covariance matrix do not match" (also for an absent matrix), and
/// "...: the inverse covariance matrix must be symmetric and positive definite" when the
/// squared distance is negative.
NUV_API double MahalanobisDistance(const TVector* x, const TVector* y, const TMatrix* InvCov);

}  // namespace nuv
